// Saving and rebuilding texture images, layers, their effects and the layer table.
#include "graphics/LayerSaves.h"

#include <algorithm>

#include "core/Clock.h"
#include "core/SaveSections.h"
#include "event/EventHandler.h"
#include "graphics/Layer.h"
#include "graphics/LayerEffect.h"
#include "graphics/LayerTable.h"
#include "graphics/TexImage.h"
#include "graphics/TextureSaves.h"
#include "script/ObjectSaves.h"

namespace tessel {
namespace {

constexpr std::size_t kMaxNameLength = 4096;
constexpr std::uint32_t kMaxTableSize = 1u << 20;

void WriteVector(SaveWriter& out, const Vector3& v) {
  out.F64(v.x);
  out.F64(v.y);
  out.F64(v.z);
}

Vector3 ReadVector(SaveReader& in) {
  Vector3 v;
  v.x = in.F64();
  v.y = in.F64();
  v.z = in.F64();
  return v;
}

std::vector<const Texture*> SavedTextures() {
  std::vector<const Texture*> textures;
  for (EngineObject* object : Registry().Objects()) {
    const char* kind = object->SaveKind();
    if (kind == nullptr) continue;
    if (std::string_view(kind) == TexImage::kSaveKind) {
      textures.push_back(&static_cast<TexImage*>(object)->GetTexture());
    } else if (std::string_view(kind) == Layer::kSaveKind) {
      textures.push_back(static_cast<Layer*>(object)->GetTexture());
    }
  }
  return textures;
}

std::uint32_t ReadTextureIndex(SaveReader& in) {
  const std::uint32_t index = in.U32();
  if (in.Ok() && !IsStagedTextureIndex(index)) in.Fail("a texture index is out of range");
  return index;
}

ObjectBuilder ReadTexImage(SaveReader& in) {
  const std::uint32_t index = ReadTextureIndex(in);
  if (!in.Ok()) return {};
  return [index]() -> std::unique_ptr<EngineObject> {
    std::shared_ptr<Texture> texture = RestoredTexture(index);
    if (!texture) texture = std::make_shared<Texture>();
    return std::make_unique<TexImage>(std::move(texture));
  };
}

ObjectBuilder ReadLayer(SaveReader& in) {
  const std::uint32_t index = ReadTextureIndex(in);
  Layer::State state;
  if (!Layer::ReadState(in, state)) return {};
  return [index, state]() -> std::unique_ptr<EngineObject> {
    auto layer = std::make_unique<Layer>(RestoredTexture(index));
    layer->LoadState(state);
    return layer;
  };
}

// An effect's common part; the kind's own fields follow it.
struct EffectState {
  std::uint64_t layer = 0;
  std::int32_t duration = 0;
  std::uint32_t elapsed = 0;
  bool skippable = false;
  bool skip_requested = false;
  bool armed = false;
};

EffectState ReadEffect(SaveReader& in) {
  EffectState state;
  state.layer = in.U64();
  state.duration = in.I32();
  state.elapsed = in.U32();
  state.skippable = in.Bool();
  state.skip_requested = in.Bool();
  state.armed = in.Bool();
  return state;
}

const void* HandleOf(std::uint64_t id) { return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(id)); }

ObjectBuilder ReadFade(SaveReader& in) {
  const EffectState state = ReadEffect(in);
  const bool fade_in = in.Bool();
  if (!in.Ok()) return {};
  return [state, fade_in]() -> std::unique_ptr<EngineObject> {
    auto effect = std::make_unique<FadeEffect>(HandleOf(state.layer), state.duration, state.skippable, fade_in);
    effect->Resume(state.elapsed, state.skip_requested, state.armed);
    return effect;
  };
}

ObjectBuilder ReadScripted(SaveReader& in) {
  const EffectState state = ReadEffect(in);
  std::string names[3];
  for (auto& name : names) name = in.String(kMaxNameLength);
  if (!in.Ok()) return {};
  return [state, names]() -> std::unique_ptr<EngineObject> {
    auto effect = std::make_unique<ScriptEffect>(HandleOf(state.layer), state.duration, state.skippable,
                                                 names[0], names[1], names[2]);
    effect->Resume(state.elapsed, state.skip_requested, state.armed);
    return effect;
  };
}

// Each slot's object id, 0 for an empty slot or a drawable that is no object.
void WriteLayerTable(SaveWriter& out) {
  const auto& slots = LayerTable::Slots();
  out.U32(static_cast<std::uint32_t>(slots.size()));
  for (Drawable* drawable : slots) {
    auto* object = dynamic_cast<EngineObject*>(drawable);
    out.U64(object != nullptr && object->SaveKind() != nullptr ? object->Id() : 0);
  }
}

std::function<void()> ReadLayerTable(SaveReader& in) {
  const std::uint32_t size = in.Count(8);
  if (in.Ok() && size > kMaxTableSize) in.Fail("the layer table is too large");
  std::vector<std::uint64_t> ids;
  for (std::uint32_t i = 0; i < size && in.Ok(); ++i) ids.push_back(in.U64());
  if (!in.Ok()) return {};
  return [ids] {
    LayerTable::Reset();
    LayerTable::Grow(static_cast<int>(ids.size()));
    for (std::size_t slot = 0; slot < ids.size(); ++slot) {
      if (auto* drawable = Registry().Find<Drawable>(HandleOf(ids[slot]))) {
        LayerTable::Set(static_cast<int>(slot), drawable);
      }
    }
    ForgetRestoredTextures();
  };
}

}  // namespace

void TexImage::SaveState(SaveWriter& out) const { out.U32(SavedTextureIndex(texture_.get())); }

void Layer::SaveAttributes(SaveWriter& out) const {
  out.Bool(Visible());
  out.I32(X());
  out.I32(Y());
  out.F64(alpha_);
  WriteVector(out, rotation_);
  WriteVector(out, centre_);
  WriteVector(out, scale_);
  for (float value : {source_x_, source_y_, source_width_, source_height_}) out.F32(value);
  out.I32(blend_source_);
  out.I32(blend_destination_);
}

void Layer::SaveState(SaveWriter& out) const {
  out.U32(SavedTextureIndex(texture_.get()));
  SaveAttributes(out);
}

bool Layer::ReadState(SaveReader& in, State& state) {
  state.visible = in.Bool();
  state.x = in.I32();
  state.y = in.I32();
  state.alpha = in.F64();
  state.rotation = ReadVector(in);
  state.centre = ReadVector(in);
  state.scale = ReadVector(in);
  for (float& value : state.source) value = in.F32();
  state.blend_source = in.I32();
  state.blend_destination = in.I32();
  if (in.Ok() && (!IsSourceFactor(state.blend_source) || !IsDestinationFactor(state.blend_destination))) {
    in.Fail("a layer's blend factors are not ones OpenGL takes");
  }
  return in.Ok();
}

void Layer::LoadState(const State& state) {
  SetVisible(state.visible);
  SetOffset(state.x, state.y);
  alpha_ = state.alpha;
  rotation_ = state.rotation;
  centre_ = state.centre;
  scale_ = state.scale;
  SetSourceRect(state.source[0], state.source[1], state.source[2], state.source[3]);
  SetBlend(state.blend_source, state.blend_destination);
}

void LayerEffect::SaveState(SaveWriter& out) const {
  out.U64(reinterpret_cast<std::uintptr_t>(layer_));
  out.I32(static_cast<std::int32_t>(duration_));
  out.U32(Ticks() - stopwatch_.Start());
  out.Bool(skippable_);
  out.Bool(skip_requested_);
  out.Bool(armed_);
}

void FadeEffect::SaveState(SaveWriter& out) const {
  LayerEffect::SaveState(out);
  out.Bool(fade_in_);
}

void ScriptEffect::SaveState(SaveWriter& out) const {
  LayerEffect::SaveState(out);
  out.String(start_);
  out.String(frame_);
  out.String(end_);
}

void RegisterGraphicsSaveSections() {
  RegisterTextureTable(200, SavedTextures);
  RegisterObjectKind(TexImage::kSaveKind, ReadTexImage);
  RegisterObjectKind(Layer::kSaveKind, ReadLayer);
  RegisterObjectSection("layers", 210, {TexImage::kSaveKind, Layer::kSaveKind});
  RegisterObjectKind(FadeEffect::kSaveKind, ReadFade);
  RegisterObjectKind(ScriptEffect::kSaveKind, ReadScripted);
  RegisterObjectSection("effects", 230, {FadeEffect::kSaveKind, ScriptEffect::kSaveKind});
  // After every floor's drawables (scenario layers too) exist again.
  RegisterSaveSection({"layer table", 600, WriteLayerTable, ReadLayerTable});
  // Effects of the game being replaced end without calling their scripts.
  AddSaveResetStep(
      "graphics",
      [] {
        for (EngineObject* object : Registry().Objects()) {
          if (auto* effect = dynamic_cast<LayerEffect*>(object)) effect->Discard();
        }
      },
      [] { LayerTable::Reset(); });
}

}  // namespace tessel
