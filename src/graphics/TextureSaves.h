#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/SaveStream.h"
#include "graphics/Texture.h"

namespace tessel {

// Makes a picture again from what Texture::SetSource recorded: a reader per
// kind parses and checks the parameters and returns the step that makes the
// texture (or an empty function after reader.Fail).
using TextureMaker = std::function<std::shared_ptr<Texture>()>;
void RegisterTextureSource(const std::string& kind, std::function<TextureMaker(SaveReader&)> read);

// The source of a picture loaded from a file and of a blank one of a size.
void SetFileSource(Texture& texture, const std::string& file_name);
void SetSizeSource(Texture& texture, int width, int height);

// Texture images and layers share textures, so a save holds each texture
// once, in a table written before them; they store their texture's index.
// kNoTexture stands for none.
constexpr std::uint32_t kNoTexture = 0xFFFFFFFFu;
std::uint32_t SavedTextureIndex(const Texture* texture);
// While loading: checks an index read from a save against the table read.
bool IsStagedTextureIndex(std::uint32_t index);
// While applying: the texture made for an index (null for kNoTexture).
std::shared_ptr<Texture> RestoredTexture(std::uint32_t index);

// The texture table section; `textures` lists every texture to save.
void RegisterTextureTable(int order, std::function<std::vector<const Texture*>()> textures);
// Forgets the textures made for a load once everything holds its own.
void ForgetRestoredTextures();

}  // namespace tessel
