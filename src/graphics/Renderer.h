#pragma once

namespace tessel {

// Frame drawing of the layer table: a pixel-exact 2D projection around it.
void Begin2D();
void DrawLayers();
void End2D();

}  // namespace tessel
