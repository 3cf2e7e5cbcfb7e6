tessel_add_fuzzer(fuzz_image_decode
  image_decode_fuzz.cpp
  ${SRC}/graphics/GifTgaCodecs.cpp
  ${SRC}/graphics/ImageDecoder.cpp
  ${SRC}/graphics/ImageHeader.cpp
  ${SRC}/graphics/PngJpegCodecs.cpp)
target_link_libraries(fuzz_image_decode PRIVATE
  PkgConfig::SDL PkgConfig::SDL_IMAGE PkgConfig::PNG PkgConfig::JPEG PkgConfig::GIF)
