#include "graphics/Renderer.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <memory>
#include <vector>

#include "graphics/WindowSize.h"
#include "graphics/LayerTable.h"
#include "graphics/Texture.h"
#include "script/EngineObject.h"

namespace tessel {
namespace {

// Wide enough that a layer rotated about x or y is not cut by the near and
// far planes; depth testing stays off, so nothing else changes.
constexpr double kNear = -100000.0;
constexpr double kFar = 100000.0;

bool g_begun = false;
int g_drawing_depth = 0;
int g_deferral_depth = 0;

std::vector<std::unique_ptr<EngineObject>>& Doomed() {
  static auto& doomed = *new std::vector<std::unique_ptr<EngineObject>>;
  return doomed;
}

void DestroyDoomedWhenIdle() {
  if (g_drawing_depth > 0 || g_deferral_depth > 0) return;
  // A destructor may release more, so swap first.
  std::vector<std::unique_ptr<EngineObject>> doomed;
  doomed.swap(Doomed());
  doomed.clear();
}

}  // namespace

void Begin2D() {
  g_begun = HasGlContext();
  if (!g_begun) return;
  // The window's real size: a window system may not have given the size asked for.
  const PixelSize size = DrawingSize();
  const int w = size.width;
  const int h = size.height;
  glPushAttrib(GL_ENABLE_BIT);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glViewport(0, 0, w, h);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  // One unit is one window pixel, origin top-left, y downwards.
  glOrtho(0, w, h, 0, kNear, kFar);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

void DrawLayers() {
  if (!g_begun) return;
  ++g_drawing_depth;
  // By index, reading each slot afresh: a drawable's script may add layers
  // (the table grows, maybe reallocating) or release them (their slots empty).
  const auto& slots = LayerTable::Slots();
  for (std::size_t i = 0; i < slots.size(); ++i) {
    Drawable* drawable = slots[i];
    if (drawable != nullptr && drawable->Visible()) drawable->Draw();
  }
  --g_drawing_depth;
  DestroyDoomedWhenIdle();  // what the pass released goes now
}

void End2D() {
  if (!g_begun) return;
  g_begun = false;
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glPopMatrix();
  glPopAttrib();
}

bool IsDrawing() { return g_drawing_depth > 0; }

void ReleaseWhenSafe(EngineObject* object) {
  std::unique_ptr<EngineObject> owned = Registry().Detach(object);
  if (owned && (IsDrawing() || g_deferral_depth > 0)) Doomed().push_back(std::move(owned));
}

ReleaseDeferral::ReleaseDeferral() { ++g_deferral_depth; }

ReleaseDeferral::~ReleaseDeferral() {
  --g_deferral_depth;
  DestroyDoomedWhenIdle();
}

void DrawTexture(const Texture& texture, double x, double y, double alpha) {
  if (!texture.Uploaded() || texture.Name() == 0) return;
  glEnable(GL_BLEND);
  glEnable(GL_TEXTURE_2D);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4d(1.0, 1.0, 1.0, alpha);
  glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glBindTexture(GL_TEXTURE_2D, texture.Name());
  const double right = x + texture.ImageWidth();
  const double bottom = y + texture.ImageHeight();
  glBegin(GL_TRIANGLE_STRIP);
  glTexCoord2f(texture.Left(), texture.Top());
  glVertex2d(x, y);
  glTexCoord2f(texture.Right(), texture.Top());
  glVertex2d(right, y);
  glTexCoord2f(texture.Left(), texture.Bottom());
  glVertex2d(x, bottom);
  glTexCoord2f(texture.Right(), texture.Bottom());
  glVertex2d(right, bottom);
  glEnd();
  glDisable(GL_BLEND);
  glDisable(GL_TEXTURE_2D);
}

}  // namespace tessel
