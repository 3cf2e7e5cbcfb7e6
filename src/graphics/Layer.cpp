#include "graphics/Layer.h"

#include <SDL_opengl.h>

#include <cmath>

namespace tessel {
namespace {

// Texture coordinate of a picture position; 0 for an empty texture.
float Coordinate(float pixels, float texture_size) {
  return texture_size > 0 ? pixels / texture_size : 0.0f;
}

}  // namespace

Layer::Layer() = default;

Layer::Layer(std::shared_ptr<Texture> texture) { SetTexture(std::move(texture)); }

void Layer::SetTexture(std::shared_ptr<Texture> texture) {
  texture_ = std::move(texture);
  const float width = texture_ ? texture_->ImageWidth() : 0.0f;
  const float height = texture_ ? texture_->ImageHeight() : 0.0f;
  SetSourceRect(0, 0, width, height);
}

void Layer::SetAlpha(double alpha) {
  if (!std::isnan(alpha)) alpha_ = alpha;
}

void Layer::SetSourceRect(float x, float y, float width, float height) {
  source_x_ = x;
  source_y_ = y;
  source_width_ = width;
  source_height_ = height;
  const float texture_width = texture_ ? texture_->TextureWidth() : 0.0f;
  const float texture_height = texture_ ? texture_->TextureHeight() : 0.0f;
  u0_ = Coordinate(x, texture_width);
  v0_ = Coordinate(y, texture_height);
  du_ = Coordinate(width, texture_width);
  dv_ = Coordinate(height, texture_height);
}

bool Layer::IsSourceFactor(int factor) {
  switch (factor) {
    case GL_ZERO:
    case GL_ONE:
    case GL_SRC_COLOR:
    case GL_ONE_MINUS_SRC_COLOR:
    case GL_DST_COLOR:
    case GL_ONE_MINUS_DST_COLOR:
    case GL_SRC_ALPHA:
    case GL_ONE_MINUS_SRC_ALPHA:
    case GL_DST_ALPHA:
    case GL_ONE_MINUS_DST_ALPHA:
    case GL_CONSTANT_COLOR:
    case GL_ONE_MINUS_CONSTANT_COLOR:
    case GL_CONSTANT_ALPHA:
    case GL_ONE_MINUS_CONSTANT_ALPHA:
    case GL_SRC_ALPHA_SATURATE:
      return true;
    default:
      return false;
  }
}

bool Layer::IsDestinationFactor(int factor) {
  return factor != GL_SRC_ALPHA_SATURATE && IsSourceFactor(factor);
}

bool Layer::SetBlend(int source_factor, int destination_factor) {
  if (!IsSourceFactor(source_factor) || !IsDestinationFactor(destination_factor)) return false;
  blend_source_ = source_factor;
  blend_destination_ = destination_factor;
  return true;
}

int Layer::ImageWidth() const { return texture_ ? static_cast<int>(texture_->ImageWidth()) : 0; }

int Layer::ImageHeight() const { return texture_ ? static_cast<int>(texture_->ImageHeight()) : 0; }

void Layer::Draw() {
  // An empty texture draws nothing: a bound name 0 would show a white box.
  if (!texture_ || !texture_->Uploaded() || texture_->Name() == 0) return;
  glEnable(GL_BLEND);
  glEnable(GL_TEXTURE_2D);
  glBlendFunc(static_cast<GLenum>(blend_source_), static_cast<GLenum>(blend_destination_));
  glColor4d(1.0, 1.0, 1.0, alpha_);
  glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glBindTexture(GL_TEXTURE_2D, texture_->Name());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glPushMatrix();
  glTranslated(X(), Y(), 0);
  // A vertex p reaches the screen as position + c + S·Rx·Ry·Rz·(p − c).
  glTranslated(centre_.x, centre_.y, centre_.z);
  glScaled(scale_.x, scale_.y, scale_.z);
  glRotated(rotation_.x, 1, 0, 0);
  glRotated(rotation_.y, 0, 1, 0);
  glRotated(rotation_.z, 0, 0, 1);
  glTranslated(-centre_.x, -centre_.y, -centre_.z);
  const double w = source_width_;
  const double h = source_height_;
  glBegin(GL_TRIANGLE_STRIP);
  glTexCoord2f(u0_, v0_);
  glVertex2d(0, 0);
  glTexCoord2f(u0_ + du_, v0_);
  glVertex2d(w, 0);
  glTexCoord2f(u0_, v0_ + dv_);
  glVertex2d(0, h);
  glTexCoord2f(u0_ + du_, v0_ + dv_);
  glVertex2d(w, h);
  glEnd();
  glPopMatrix();
  glDisable(GL_BLEND);
  glDisable(GL_TEXTURE_2D);
}

}  // namespace tessel
