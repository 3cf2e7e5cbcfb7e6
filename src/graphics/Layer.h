#pragma once

#include <memory>

#include "graphics/Drawable.h"
#include "graphics/Texture.h"
#include "script/EngineObject.h"

namespace tessel {

struct Vector3 {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

// A textured rectangle with opacity, blend factors, scale and rotation about a
// centre, and the piece of its picture that it shows. Owned by the registry
// (script handle); the layer table only refers to it.
class SaveReader;

class Layer : public Drawable, public EngineObject {
 public:
  static constexpr const char* kReleasedMessage = "This texture layer data has already released.\n";

  // Shows the whole picture. The layer is a second owner of the texture, so it
  // goes on drawing when the script releases the texture image.
  explicit Layer(std::shared_ptr<Texture> texture);

  static constexpr const char* kSaveKind = "layer";
  const char* SaveKind() const override { return kSaveKind; }
  // The texture's index and every attribute (LayerSaves.cpp).
  void SaveState(SaveWriter& out) const override;
  // Reads what SaveState wrote, checked; LoadState sets it on a layer.
  struct State {
    bool visible = true;
    int x = 0;
    int y = 0;
    double alpha = 1.0;
    Vector3 rotation;
    Vector3 centre;
    Vector3 scale;
    float source[4] = {};
    int blend_source = 0;
    int blend_destination = 0;
  };
  // The attributes without the texture, for layers that draw themselves too.
  void SaveAttributes(SaveWriter& out) const;
  static bool ReadState(SaveReader& in, State& state);
  void LoadState(const State& state);

  // Draws the quad with the layer's transform and blending; nothing for a
  // layer without a texture or with an empty one.
  void Draw() override;

  double Alpha() const { return alpha_; }
  // Values outside 0..1 are stored as given (GL clamps); NaN keeps the old value.
  void SetAlpha(double alpha);
  // The w x h piece whose top-left corner is at picture pixel (x, y), drawn at its natural size.
  void SetSourceRect(float x, float y, float width, float height);
  void SetScale(const Vector3& scale) { scale_ = scale; }
  void SetRotation(const Vector3& degrees) { rotation_ = degrees; }
  void SetTransformCenter(const Vector3& centre) { centre_ = centre; }
  // False (old factors kept) when GL would refuse either factor.
  bool SetBlend(int source_factor, int destination_factor);
  static bool IsSourceFactor(int factor);
  static bool IsDestinationFactor(int factor);

  const Vector3& Scale() const { return scale_; }
  const Vector3& Rotation() const { return rotation_; }
  const Vector3& TransformCenter() const { return centre_; }
  int BlendSource() const { return blend_source_; }
  int BlendDestination() const { return blend_destination_; }
  float SourceX() const { return source_x_; }
  float SourceY() const { return source_y_; }
  float SourceWidth() const { return source_width_; }
  float SourceHeight() const { return source_height_; }
  float U0() const { return u0_; }
  float V0() const { return v0_; }
  float Du() const { return du_; }
  float Dv() const { return dv_; }
  // The whole picture's size (not the shown piece); 0 without a texture.
  int ImageWidth() const;
  int ImageHeight() const;
  const Texture* GetTexture() const { return texture_.get(); }

 protected:
  // For drawables that draw themselves (the scenario layer): no texture,
  // alpha 1, scale 1, no rotation, centre 0, source origin 0; source size,
  // extents and blend factors are the derived class's to set.
  Layer();
  void SetTexture(std::shared_ptr<Texture> texture);

 private:
  std::shared_ptr<Texture> texture_;
  double alpha_ = 1.0;
  Vector3 rotation_;
  Vector3 centre_;
  Vector3 scale_{1.0, 1.0, 1.0};
  float source_x_ = 0;
  float source_y_ = 0;
  float source_width_ = 0;
  float source_height_ = 0;
  float u0_ = 0;
  float v0_ = 0;
  float du_ = 0;
  float dv_ = 0;
  int blend_source_ = 0x0302;       // GL_SRC_ALPHA
  int blend_destination_ = 0x0303;  // GL_ONE_MINUS_SRC_ALPHA
};

}  // namespace tessel
