#include "text/FontSaves.h"

#include <unordered_map>
#include <vector>

#include "core/SavedObjectTable.h"
#include "core/SaveSections.h"
#include "graphics/Texture.h"
#include "graphics/TextureSaves.h"
#include "script/ObjectSaves.h"
#include "text/PageLog.h"
#include "text/ScenarioLayer.h"

namespace tessel {
namespace {

constexpr std::uint32_t kNoFont = SavedObjectTable<FontData>::kNone;
constexpr std::size_t kMaxNameLength = 4096;

using FontTable = SavedObjectTable<FontData>;
FontTable& Table() {
  static auto& table = *new FontTable;
  return table;
}

// A face as it is drawn now: file, size, colour and style.
struct FaceState {
  std::string name;
  std::int32_t size = 0;
  SDL_Color color{};
  std::int32_t style = 0;
};

void WriteFace(SaveWriter& out, const FontData& font) {
  out.String(font.OpenedName());
  out.I32(font.OpenedSize());
  const SDL_Color color = font.Color();
  out.U8(color.r);
  out.U8(color.g);
  out.U8(color.b);
  out.I32(font.Style());
}

FaceState ReadFace(SaveReader& in) {
  FaceState face;
  face.name = in.String(kMaxNameLength);
  face.size = in.I32();
  face.color.r = in.U8();
  face.color.g = in.U8();
  face.color.b = in.U8();
  face.style = in.I32();
  return face;
}

std::shared_ptr<FontData> OpenFace(const FaceState& face) {
  std::shared_ptr<FontData> data = Font::Open(face.name, face.size)->Data();
  data->SetColor(face.color.r, face.color.g, face.color.b);
  data->SetStyle(face.style);
  return data;
}

std::vector<const FontData*> SavedFaces() {
  std::vector<const FontData*> faces;
  for (EngineObject* object : Registry().Objects()) {
    if (auto* font = dynamic_cast<Font*>(object)) faces.push_back(font->Data().get());
    if (auto* layer = dynamic_cast<ScenarioLayer*>(object)) {
      faces.push_back(layer->MainFont().get());
      faces.push_back(layer->RubyFont().get());
    }
  }
  return faces;
}

void WriteTable(SaveWriter& out) {
  auto& saved = Table().saved;
  saved.clear();
  std::vector<const FontData*> distinct;
  for (const FontData* face : SavedFaces()) {
    if (face != nullptr && saved.emplace(face, distinct.size()).second) distinct.push_back(face);
  }
  out.U32(static_cast<std::uint32_t>(distinct.size()));
  for (const FontData* face : distinct) WriteFace(out, *face);
}

std::function<void()> ReadTable(SaveReader& in) {
  const std::uint32_t count = in.Count(16);
  std::vector<FaceState> faces;
  for (std::uint32_t i = 0; i < count && in.Ok(); ++i) faces.push_back(ReadFace(in));
  if (!in.Ok()) return {};
  Table().staged = count;
  return [faces] {
    auto& restored = Table().restored;
    restored.clear();
    for (const FaceState& face : faces) restored.push_back(OpenFace(face));
  };
}

TextureMaker ReadStringSource(SaveReader& in) {
  const FaceState face = ReadFace(in);
  const std::u16string text = ReadUnits(in, FontData::kMaxTextUnits);
  if (!in.Ok()) return {};
  return [face, text] {
    std::shared_ptr<FontData> font = OpenFace(face);
    SurfacePtr image = font->RenderText(text);
    auto texture = std::make_shared<Texture>(image.get());
    SetStringSource(*texture, *font, text);
    return texture;
  };
}

}  // namespace

void Font::SaveState(SaveWriter& out) const { out.U32(SavedFontIndex(data_.get())); }

std::uint32_t SavedFontIndex(const FontData* font) {
  return Table().IndexOf(font);
}

bool IsStagedFontIndex(std::uint32_t index) { return Table().IsStaged(index); }

std::shared_ptr<FontData> RestoredFont(std::uint32_t index) { return Table().Restored(index); }

void SetStringSource(Texture& texture, const FontData& font, std::u16string_view text) {
  SaveWriter out;
  WriteFace(out, font);
  WriteUnits(out, text);
  texture.SetSource("string", out.Take());
}

void RegisterFontSaveSections(int table_order, int object_order) {
  RegisterTextureSource("string", ReadStringSource);
  RegisterSaveSection({"fonts", table_order, WriteTable, ReadTable});
  RegisterObjectKind(Font::kSaveKind, [](SaveReader& in) -> ObjectBuilder {
    const std::uint32_t index = in.U32();
    if (in.Ok() && !IsStagedFontIndex(index)) in.Fail("a font index is out of range");
    if (!in.Ok()) return {};
    return [index]() -> std::unique_ptr<EngineObject> {
      std::shared_ptr<FontData> data = RestoredFont(index);
      if (!data) return nullptr;
      return std::make_unique<Font>(std::move(data));
    };
  });
  RegisterObjectSection("font objects", object_order, {Font::kSaveKind});
}

}  // namespace tessel
