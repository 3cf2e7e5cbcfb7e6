#include "graphics/Renderer.h"

namespace tessel {

// Layers arrive with the graphics family; until then a frame is its clear colour.
void Begin2D() {}
void DrawLayers() {}
void End2D() {}

}  // namespace tessel
