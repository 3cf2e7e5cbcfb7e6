#pragma once

#include <memory>

#include "graphics/Texture.h"
#include "script/EngineObject.h"

namespace tessel {

// The script-visible texture image: one Texture, shared with the layers made
// from it. The registry owns the TexImage; the Texture has two kinds of owner,
// this TexImage and every Layer that shows it, so a script may release the
// image while layers still draw it and the GL texture goes with its last owner.
class TexImage : public EngineObject {
 public:
  static constexpr const char* kReleasedMessage = "This texture data has already released.\n";

  // An empty texture image (nothing to show).
  TexImage() : texture_(std::make_shared<Texture>()) {}
  explicit TexImage(SDL_Surface* source) : texture_(std::make_shared<Texture>(source)) {}
  TexImage(int width, int height) : texture_(std::make_shared<Texture>(width, height)) {}
  // A loaded game's image, on the texture its layers share again.
  explicit TexImage(std::shared_ptr<Texture> texture) : texture_(std::move(texture)) {}

  static constexpr const char* kSaveKind = "texture image";
  const char* SaveKind() const override { return kSaveKind; }
  void SaveState(SaveWriter& out) const override;  // LayerSaves.cpp

  Texture& GetTexture() const { return *texture_; }
  const std::shared_ptr<Texture>& SharedTexture() const { return texture_; }

 private:
  std::shared_ptr<Texture> texture_;
};

}  // namespace tessel
