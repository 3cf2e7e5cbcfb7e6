#pragma once

namespace tessel {

class EngineObject;
class Texture;

// Frame drawing of the layer table: a pixel-exact 2D projection around it.
// The frame loop calls the three in order after clearing the screen.
void Begin2D();
void DrawLayers();
void End2D();

// The whole picture of a texture with its top-left corner at (x, y), blended
// over what is there with the given opacity (the choice buttons use it).
void DrawTexture(const Texture& texture, double x, double y, double alpha);

// True while DrawLayers walks the table (a drawable's script may run then).
bool IsDrawing();

// Unregisters an engine object now and destroys it now, or, while the table
// is being drawn, once the pass is over: a script run by one drawable may
// release that very drawable, or one the pass has still to reach.
void ReleaseWhenSafe(EngineObject* object);

// While one lives, ReleaseWhenSafe also keeps what it releases until the
// outermost such scope (or drawing pass) ends. An object whose operation runs
// scripts opens one, so a script that releases that very object does not free
// it under the operation.
class ReleaseDeferral {
 public:
  ReleaseDeferral();
  ~ReleaseDeferral();
  ReleaseDeferral(const ReleaseDeferral&) = delete;
  ReleaseDeferral& operator=(const ReleaseDeferral&) = delete;
};

}  // namespace tessel
