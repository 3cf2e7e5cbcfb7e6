#pragma once

#include <cstdint>
#include <memory>

#include "core/SaveStream.h"
#include "text/Font.h"

namespace tessel {

class Texture;

// Fonts are shared by their script objects, scenario layers and choice
// buttons, so a save holds each face once, in a table written before them
// (its file, size, colour and style); its holders store the face's index.
std::uint32_t SavedFontIndex(const FontData* font);
// While loading: an index read from a save, checked against the table read.
bool IsStagedFontIndex(std::uint32_t index);
// While applying: the face opened again for an index (null for none).
std::shared_ptr<FontData> RestoredFont(std::uint32_t index);

// The font table, fonts themselves, and the texture source of string images.
void RegisterFontSaveSections(int table_order, int object_order);

// Records how a string image was drawn, so a loaded game draws it again.
void SetStringSource(Texture& texture, const FontData& font, std::u16string_view text);

}  // namespace tessel
