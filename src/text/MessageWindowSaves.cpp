// Saving and rebuilding message windows and scenario layers.
#include "text/MessageWindowSaves.h"

#include "graphics/Texture.h"
#include "script/ObjectSaves.h"
#include "text/ChoiceButton.h"
#include "text/FontSaves.h"
#include "text/ScenarioLayer.h"

namespace tessel {
namespace {

constexpr std::size_t kMaxNameLength = 4096;
constexpr std::uint32_t kMaxWaitDepth = 1 << 16;
constexpr std::int32_t kMaxSide = 1 << 16;

void WritePen(SaveWriter& out, Pen pen) {
  out.I32(pen.x);
  out.I32(pen.y);
}

Pen ReadPen(SaveReader& in) {
  Pen pen;
  pen.x = in.I32();
  pen.y = in.I32();
  return pen;
}

bool ReadChoice(SaveReader& in, MessageWindow::SavedChoice& choice) {
  choice.target = ReadUnits(in, kMaxNameLength);
  choice.height = in.I32();
  choice.position = ReadPen(in);
  choice.highlighted = in.Bool();
  return choice.log.Read(in);
}

struct SavedLayer {
  Layer::State layer;
  MessageWindow::SavedState window;
  std::string callbacks[3];
  std::int32_t marker_width = 0;
  Pen placed;
  std::uint32_t since_placed = 0;
  Pen marker;
};

ObjectBuilder ReadScenarioLayer(SaveReader& in) {
  SavedLayer saved;
  if (!Layer::ReadState(in, saved.layer) || !MessageWindow::ReadWindow(in, saved.window)) return {};
  for (auto& name : saved.callbacks) name = in.String(kMaxNameLength);
  saved.marker_width = in.I32();
  saved.placed = ReadPen(in);
  saved.since_placed = in.U32();
  saved.marker = ReadPen(in);
  if (!in.Ok()) return {};
  return [saved]() -> std::unique_ptr<EngineObject> {
    auto layer = std::make_unique<ScenarioLayer>(RestoredFont(saved.window.main_font),
                                                 RestoredFont(saved.window.ruby_font),
                                                 saved.window.width, saved.window.height);
    layer->LoadState(saved.layer);
    layer->Callbacks().Set(saved.callbacks[0], saved.callbacks[1], saved.callbacks[2],
                           saved.marker_width);
    layer->Callbacks().Restore(saved.placed.x, saved.placed.y, saved.since_placed);
    layer->RestoreMarker(saved.marker);
    layer->LoadWindow(saved.window);
    return layer;
  };
}

}  // namespace

void MessageWindow::SaveWindow(SaveWriter& out) const {
  out.U32(SavedFontIndex(main_font_.get()));
  out.U32(SavedFontIndex(ruby_font_.get()));
  out.I32(width_);
  out.I32(height_);
  WritePen(out, pen_);
  out.U32(static_cast<std::uint32_t>(wait_.size()));
  for (int wait : wait_) out.I32(wait);
  out.Bool(enabled_);
  out.Bool(text_mode_);
  out.Bool(clear_on_resume_);
  out.Bool(new_line_on_resume_);
  out.Bool(overflowed_);
  page_log_.Write(out);
  out.U32(static_cast<std::uint32_t>(choices_.size()));
  for (const auto& button : choices_) {
    WriteUnits(out, button->Target());
    out.I32(button->ImageHeight());
    WritePen(out, Pen{button->Left() - button->OffsetX(), button->Top() - button->OffsetY()});
    out.Bool(button->Highlighted());
    button->Log().Write(out);
  }
}

bool MessageWindow::ReadWindow(SaveReader& in, SavedState& state) {
  state.main_font = in.U32();
  state.ruby_font = in.U32();
  state.width = in.I32();
  state.height = in.I32();
  state.pen = ReadPen(in);
  const std::uint32_t depth = in.Count(4);
  if (in.Ok() && depth > kMaxWaitDepth) in.Fail("a message window's wait stack is too deep");
  for (std::uint32_t i = 0; i < depth && in.Ok(); ++i) state.wait.push_back(in.I32());
  state.enabled = in.Bool();
  state.text_mode = in.Bool();
  state.clear_on_resume = in.Bool();
  state.new_line_on_resume = in.Bool();
  state.overflowed = in.Bool();
  state.page.Read(in);
  const std::uint32_t choices = in.Count(17);
  for (std::uint32_t i = 0; i < choices && in.Ok(); ++i) {
    state.choices.emplace_back();
    ReadChoice(in, state.choices.back());
  }
  if (in.Ok() && (!IsStagedFontIndex(state.main_font) || !IsStagedFontIndex(state.ruby_font))) {
    in.Fail("a message window's font index is out of range");
  }
  if (in.Ok() && (state.width < 1 || state.height < 1 || state.width > kMaxSide || state.height > kMaxSide)) {
    in.Fail("a message window's size is out of range");
  }
  return in.Ok();
}

void MessageWindow::LoadWindow(const SavedState& state) {
  pen_ = state.pen;
  wait_ = state.wait;
  enabled_ = state.enabled;
  text_mode_ = state.text_mode;
  current_listener_ = text_mode_ ? text_listener_.get() : muted_listener_.get();
  clear_on_resume_ = state.clear_on_resume;
  new_line_on_resume_ = state.new_line_on_resume;
  overflowed_ = state.overflowed;
  EnsurePage();
  page_log_ = state.page;
  if (page_->Uploaded()) page_log_.Replay(canvas_, main_font_.get(), ruby_font_.get());
  const Pen offset = ScreenOffset();
  for (const SavedChoice& saved : state.choices) {
    auto button = std::make_unique<ChoiceButton>(main_font_, ruby_font_, width_, saved.height,
                                                 saved.target, saved.log);
    button->SetPosition(saved.position.x, saved.position.y);
    button->SetLayerOffset(offset.x, offset.y);
    button->SetHighlighted(saved.highlighted);
    EventHandlerList::Add(button.get());
    choices_.push_back(std::move(button));
  }
}

void ScenarioLayer::SaveState(SaveWriter& out) const {
  SaveAttributes(out);
  SaveWindow(out);
  const KeyWaitCallbacks& callbacks = callbacks_;
  out.String(callbacks.BeginName());
  out.String(callbacks.TickName());
  out.String(callbacks.EndName());
  out.I32(callbacks.MarkerWidth());
  WritePen(out, Pen{callbacks.X(), callbacks.Y()});
  out.U32(callbacks.SincePlaced());
  WritePen(out, marker_);
}

void RegisterMessageWindowSaveSections(int order) {
  RegisterObjectKind(ScenarioLayer::kSaveKind, ReadScenarioLayer);
  RegisterObjectSection("scenario layers", order, {ScenarioLayer::kSaveKind});
}

}  // namespace tessel
