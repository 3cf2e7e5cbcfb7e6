#include "text/FontTestSupport.h"

#include <SDL_opengl.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <ostream>

extern "C" {
#include <lua.h>
}

#include "resource/BaseDirectory.h"
#include "script/ScriptHost.h"
#include "text/FontLookup.h"

namespace tessel::test {

std::string InstalledFont(const std::string& family) {
  std::optional<FontFile> file = FontconfigFamily(family);
  return file ? file->path : std::string();
}

std::vector<std::string> FamiliesOf(const std::string& path) {
  std::vector<std::string> families;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FILE, reinterpret_cast<const FcChar8*>(path.c_str()));
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
  for (int i = 0; fonts != nullptr && i < fonts->nfont; ++i) {
    FcChar8* family = nullptr;
    for (int n = 0; FcPatternGetString(fonts->fonts[i], FC_FAMILY, n, &family) == FcResultMatch;
         ++n) {
      families.emplace_back(reinterpret_cast<const char*>(family));
    }
  }
  if (fonts != nullptr) FcFontSetDestroy(fonts);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return families;
}

bool FontHasCharacter(const std::string& path, char32_t character) {
  int count = 0;
  FcPattern* face = FcFreeTypeQuery(reinterpret_cast<const FcChar8*>(path.c_str()), 0, nullptr,
                                    &count);
  if (face == nullptr) return false;
  FcCharSet* characters = nullptr;
  const bool has = FcPatternGetCharSet(face, FC_CHARSET, 0, &characters) == FcResultMatch &&
                   FcCharSetHasChar(characters, character) == FcTrue;
  FcPatternDestroy(face);
  return has;
}

void StartFontLibrary() {
  if (TTF_WasInit() == 0) {
    ASSERT_EQ(TTF_Init(), 0) << TTF_GetError();
  }
}

WorkingDirectory::WorkingDirectory(const std::filesystem::path& path)
    : previous_(std::filesystem::current_path()) {
  std::filesystem::current_path(path);
}
WorkingDirectory::~WorkingDirectory() { std::filesystem::current_path(previous_); }

BaseDirectoryScope::BaseDirectoryScope(const std::string& directory) {
  SetBaseDirectory(directory);
}
BaseDirectoryScope::~BaseDirectoryScope() { SetBaseDirectory(""); }

Picture FromSurface(SDL_Surface* surface) {
  Picture picture;
  if (surface == nullptr || surface->format->BytesPerPixel != 4) return picture;
  picture.width = surface->w;
  picture.height = surface->h;
  const SDL_PixelFormat* format = surface->format;
  SDL_LockSurface(surface);
  for (int y = 0; y < surface->h; ++y) {
    const auto* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(surface->pixels) +
                                                      y * surface->pitch);
    for (int x = 0; x < surface->w; ++x) {
      const Uint32 value = row[x];
      picture.pixels.push_back(Rgba{static_cast<std::uint8_t>((value & format->Rmask) >> format->Rshift),
                                    static_cast<std::uint8_t>((value & format->Gmask) >> format->Gshift),
                                    static_cast<std::uint8_t>((value & format->Bmask) >> format->Bshift),
                                    static_cast<std::uint8_t>((value & format->Amask) >> format->Ashift)});
    }
  }
  SDL_UnlockSurface(surface);
  return picture;
}

Picture FromTexture(const Texture& texture) {
  Picture picture;
  if (!texture.Uploaded()) return picture;
  const int texture_width = static_cast<int>(texture.TextureWidth());
  const int texture_height = static_cast<int>(texture.TextureHeight());
  std::vector<unsigned char> bytes(static_cast<std::size_t>(texture_width * texture_height * 4));
  glBindTexture(GL_TEXTURE_2D, texture.Name());
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
  picture.width = static_cast<int>(texture.ImageWidth());
  picture.height = static_cast<int>(texture.ImageHeight());
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const unsigned char* p = &bytes[static_cast<std::size_t>((y * texture_width + x) * 4)];
      picture.pixels.push_back(Rgba{p[0], p[1], p[2], p[3]});
    }
  }
  return picture;
}

}  // namespace tessel::test
