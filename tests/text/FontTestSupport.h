#pragma once

#include <SDL.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "graphics/Texture.h"
#include "support/Picture.h"
#include "support/TestSupport.h"

namespace tessel::test {

// Installed fonts the tests read their metrics from (fonts-dejavu-core,
// fonts-vlgothic); the path is empty when the family is missing.
std::string InstalledFont(const std::string& family);
// The family names fontconfig gives the file's faces.
std::vector<std::string> FamiliesOf(const std::string& path);
// Whether the file's first face has the character.
bool FontHasCharacter(const std::string& path, char32_t character);

// Starts the font library once per process (the engine's start-up does it
// for the real program).
void StartFontLibrary();

// Changes the working directory or the base directory for the life of the object.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::filesystem::path& path);
  ~WorkingDirectory();

 private:
  std::filesystem::path previous_;
};
class BaseDirectoryScope {
 public:
  explicit BaseDirectoryScope(const std::string& directory);
  ~BaseDirectoryScope();
};

// A 32-bit surface with masks as the font renderer makes them, by its masks.
Picture FromSurface(SDL_Surface* surface);
// The part of a texture that holds its picture, read back from OpenGL.
Picture FromTexture(const Texture& texture);

}  // namespace tessel::test
