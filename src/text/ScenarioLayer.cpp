#include "text/ScenarioLayer.h"

#include "graphics/LayerTable.h"
#include "graphics/Renderer.h"
#include "graphics/Texture.h"
#include "text/ChoiceButton.h"
#include "text/ScenarioController.h"

namespace tessel {

ScenarioLayer::ScenarioLayer(std::shared_ptr<FontData> main_font,
                             std::shared_ptr<FontData> ruby_font, int width, int height)
    : MessageWindow(std::move(main_font), std::move(ruby_font), width, height) {
  ShowPage();
}

ScenarioLayer::~ScenarioLayer() = default;

void ScenarioLayer::ShowPage() {
  // The whole page at alpha 1 with the usual blending.
  SetTexture(Page());
}

void ScenarioLayer::ResizePage(int width, int height) {
  Resize(width, height);
  SetSourceRect(SourceX(), SourceY(), SourceWidth(), SourceHeight());
}

bool ScenarioLayer::Gone() {
  if (!retired_ && !Registry().IsRegistered(this)) {
    retired_ = true;
    LayerTable::Remove(this);
    Withdraw();
  }
  return retired_;
}

void ScenarioLayer::BeginKeyWait() { callbacks_.CallBegin(); }

void ScenarioLayer::EndKeyWait() {
  callbacks_.CallEnd();
  Gone();
}

void ScenarioLayer::PlaceMarker() {
  const Pen pen = GetPen();
  if (static_cast<long long>(callbacks_.MarkerWidth()) + pen.x > Width()) {
    marker_ = Pen{0, pen.y + Box().LinePitch()};
  } else {
    marker_ = pen;
  }
  callbacks_.Place(marker_.x + X(), marker_.y + Y());
}

namespace {
bool g_ticks_before_drawing = false;
}  // namespace

void ScenarioLayer::SetTicksBeforeDrawing(bool on) { g_ticks_before_drawing = on; }
bool ScenarioLayer::TicksBeforeDrawing() { return g_ticks_before_drawing; }

void ScenarioLayer::TickKeyWait() {
  ReleaseDeferral deferral;
  if (Gone() || !Choices().empty()) return;
  ScenarioController* controller = ScenarioController::Instance();
  if (controller != nullptr && !controller->Running()) callbacks_.CallTick();
}

void ScenarioLayer::Draw() {
  ReleaseDeferral deferral;
  if (Gone()) return;
  EnsurePage();
  if (!TicksBeforeDrawing()) {
    TickKeyWait();
    if (Gone()) return;
  }
  if (!Choices().empty()) {
    for (const auto& button : Choices()) {
      button->SetLayerOffset(X(), Y());
      button->Draw();
    }
  }
  Layer::Draw();
}

}  // namespace tessel
