#include "resource/ResourceFile.h"

#include <sys/stat.h>

#include <cstdio>

#include "app/Globals.h"

namespace tessel {

std::optional<std::string> ReadResource(const std::string& name) {
  std::string path = BaseDirectory() + name;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  std::string text(static_cast<size_t>(info.st_size), '\0');
  size_t read = std::fread(text.data(), 1, text.size(), file);
  std::fclose(file);
  text.resize(read);
  return text;
}

}  // namespace tessel

#include <SDL.h>

namespace tessel {

SDL_RWops* OpenResource(const std::string& name) {
  std::string path = BaseDirectory() + name;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
  return SDL_RWFromFile(path.c_str(), "rb");
}

}  // namespace tessel
