list(APPEND TESSEL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ScreenSurface.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GifTgaCodecs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImageDecoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImageHeader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Layer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LayerEffect.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LayerTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PngJpegCodecs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Renderer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Surface.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Texture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextureManager.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WindowSize.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bind_effect.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bind_layer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bind_texture.cpp
)
