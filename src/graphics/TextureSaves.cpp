#include "graphics/TextureSaves.h"

#include <map>
#include <unordered_map>

#include "core/SavedObjectTable.h"
#include "core/SaveSections.h"
#include "graphics/Surface.h"

namespace tessel {
namespace {

constexpr std::size_t kMaxKindLength = 64;
constexpr std::int32_t kMaxSide = 1 << 16;

std::map<std::string, std::function<TextureMaker(SaveReader&)>>& Sources() {
  static auto& sources = *new std::map<std::string, std::function<TextureMaker(SaveReader&)>>;
  return sources;
}

using TextureTable = SavedObjectTable<Texture>;
static_assert(TextureTable::kNone == kNoTexture);
TextureTable& Table() {
  static auto& table = *new TextureTable;
  return table;
}

void WriteTable(SaveWriter& out, const std::vector<const Texture*>& textures) {
  auto& saved = Table().saved;
  saved.clear();
  std::vector<const Texture*> distinct;
  for (const Texture* texture : textures) {
    if (texture != nullptr && saved.emplace(texture, distinct.size()).second) distinct.push_back(texture);
  }
  out.U32(static_cast<std::uint32_t>(distinct.size()));
  for (const Texture* texture : distinct) {
    const bool known = Sources().count(texture->SourceKind()) != 0;
    out.String(known ? texture->SourceKind() : std::string("empty"));
    const auto& parameters = texture->SourceParameters();
    out.U32(known ? static_cast<std::uint32_t>(parameters.size()) : 0);
    if (known) out.Bytes(parameters.data(), parameters.size());
  }
}

TextureMaker ReadSource(SaveReader& in) {
  const std::string kind = in.String(kMaxKindLength);
  const std::uint32_t size = in.Count(1);
  std::vector<std::uint8_t> bytes(in.Ok() ? size : 0);
  in.Bytes(bytes.data(), bytes.size());
  if (!in.Ok()) return {};
  auto source = Sources().find(kind);
  if (source == Sources().end()) {
    in.Fail("a texture is of an unknown kind \"" + kind + "\"");
    return {};
  }
  SaveReader parameters(bytes);
  TextureMaker make = source->second(parameters);
  if (parameters.Ok() && !parameters.AtEnd()) parameters.Fail("unread bytes");
  if (!parameters.Ok() || !make) {
    in.Fail("a " + kind + " texture: " + parameters.Error());
    return {};
  }
  return make;
}

std::function<void()> ReadTable(SaveReader& in) {
  const std::uint32_t count = in.Count(8);
  std::vector<TextureMaker> makers;
  for (std::uint32_t i = 0; i < count && in.Ok(); ++i) makers.push_back(ReadSource(in));
  if (!in.Ok()) return {};
  Table().staged = count;
  return [makers = std::move(makers)] {
    auto& restored = Table().restored;
    restored.clear();
    for (const auto& make : makers) restored.push_back(make());
  };
}

void RegisterBuiltInSources() {
  RegisterTextureSource("empty", [](SaveReader&) -> TextureMaker {
    return [] { return std::make_shared<Texture>(); };
  });
  RegisterTextureSource("file", [](SaveReader& in) -> TextureMaker {
    std::string name = in.String(4096);
    if (!in.Ok()) return {};
    return [name] {
      SurfacePtr picture = LoadImage(name);
      auto texture = std::make_shared<Texture>(picture.get());
      SetFileSource(*texture, name);
      return texture;
    };
  });
  RegisterTextureSource("size", [](SaveReader& in) -> TextureMaker {
    const std::int32_t width = in.I32();
    const std::int32_t height = in.I32();
    if (in.Ok() && (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide)) {
      in.Fail("a blank picture's size is out of range");
    }
    if (!in.Ok()) return {};
    return [width, height] {
      auto texture = std::make_shared<Texture>(width, height);
      SetSizeSource(*texture, width, height);
      return texture;
    };
  });
}

}  // namespace

void RegisterTextureSource(const std::string& kind, std::function<TextureMaker(SaveReader&)> read) {
  Sources()[kind] = std::move(read);
}

void SetFileSource(Texture& texture, const std::string& file_name) {
  SaveWriter out;
  out.String(file_name);
  texture.SetSource("file", out.Take());
}

void SetSizeSource(Texture& texture, int width, int height) {
  SaveWriter out;
  out.I32(width);
  out.I32(height);
  texture.SetSource("size", out.Take());
}

std::uint32_t SavedTextureIndex(const Texture* texture) {
  return Table().IndexOf(texture);
}

bool IsStagedTextureIndex(std::uint32_t index) { return Table().IsStaged(index); }

std::shared_ptr<Texture> RestoredTexture(std::uint32_t index) { return Table().Restored(index); }

void RegisterTextureTable(int order, std::function<std::vector<const Texture*>()> textures) {
  RegisterBuiltInSources();
  RegisterSaveSection({"textures", order, [textures](SaveWriter& out) { WriteTable(out, textures()); },
                       ReadTable});
}

void ForgetRestoredTextures() { Table().restored.clear(); }

}  // namespace tessel
