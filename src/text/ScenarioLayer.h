#pragma once

#include <memory>

#include "graphics/Layer.h"
#include "text/KeyWaitCallbacks.h"
#include "text/MessageWindow.h"

namespace tessel {

// The on-screen page of the story: a layer (its script handle, placed and
// moved with the layer commands) whose picture is the message window's page,
// with the key-wait marker reported to the game's callbacks. Choice buttons
// are drawn under the page, whose empty parts are transparent.
//
// Scripts run inside its own operations (key-wait callbacks, blocks in choice
// texts) may release it: its handle dies and it leaves the layer table, the
// handler list and the reader at once, and it is destroyed when the
// outermost operation returns.
class ScenarioLayer : public Layer, public MessageWindow {
 public:
  // Sizes are checked by the caller (1 up to the largest texture).
  ScenarioLayer(std::shared_ptr<FontData> main_font, std::shared_ptr<FontData> ruby_font, int width,
                int height);
  ~ScenarioLayer() override;

  // A new blank page; the shown rectangle keeps its pixels and its texture
  // coordinates follow the new texture size.
  void ResizePage(int width, int height);

  static constexpr const char* kSaveKind = "scenario layer";
  const char* SaveKind() const override { return kSaveKind; }
  // Layer attributes, the window, the key-wait callbacks and marker.
  void SaveState(SaveWriter& out) const override;
  // A loaded game's key-wait marker.
  void RestoreMarker(Pen marker) { marker_ = marker; }

  KeyWaitCallbacks& Callbacks() { return callbacks_; }
  // Relative to the layer's origin, as last placed.
  Pen Marker() const { return marker_; }
  bool Retired() const { return retired_; }

  void Draw() override;

  // Calls the key-wait tick when the story waits on a key (no choice shown).
  void TickKeyWait();
  // Normally the tick is called from Draw, on every frame drawn. The resting
  // frame loop calls every shown window's tick itself before it decides
  // whether the frame needs drawing (a frame may be left out when the tick
  // changed nothing); then Draw must not call it a second time.
  static void SetTicksBeforeDrawing(bool on);
  static bool TicksBeforeDrawing();

 protected:
  void BeginKeyWait() override;
  void EndKeyWait() override;
  void PlaceMarker() override;
  bool TakesInput() const override { return Visible(); }
  Pen ScreenOffset() const override { return Pen{X(), Y()}; }
  bool Gone() override;
  void PageMade() override { ShowPage(); }

 private:
  void ShowPage();

  KeyWaitCallbacks callbacks_;
  Pen marker_;
  bool retired_ = false;
};

}  // namespace tessel
