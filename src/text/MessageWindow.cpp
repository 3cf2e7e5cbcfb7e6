#include "text/MessageWindow.h"

#include <algorithm>

#include "core/PlayMonitor.h"
#include "graphics/Renderer.h"
#include "graphics/Texture.h"
#include "text/ChoiceButton.h"
#include "text/Scenario.h"
#include "text/ScenarioController.h"
#include "text/ScenarioFiles.h"
#include "text/ScenarioReader.h"

namespace tessel {
namespace {

// Hands the tokens of the story to the window. Every operation lets the next
// listener have the token too. Each opens a release deferral: a script that
// the operation runs (a key-wait callback, a block in a choice text) may
// release the scenario layer, which must outlive the operation.
class WindowTextListener final : public ScenarioListener {
 public:
  explicit WindowTextListener(MessageWindow& window) : window_(window) {}

  bool OnCharacter(char16_t ch) override {
    ReleaseDeferral deferral;
    window_.DrawCharacter(ch, nullptr);
    return true;
  }
  bool OnRubyCharacter(char16_t ch, const std::u16string& ruby) override {
    ReleaseDeferral deferral;
    window_.DrawCharacter(ch, &ruby);
    return true;
  }
  bool OnParagraphEnd() override {
    ReleaseDeferral deferral;
    window_.ParagraphEnd();
    return true;
  }
  bool OnPageEnd() override {
    ReleaseDeferral deferral;
    window_.PageEnd();
    return true;
  }
  bool OnLineBreaks(int count) override {
    for (int i = 0; i < count; ++i) window_.NewLine();
    return true;
  }
  bool OnChoices(const std::vector<std::u16string>& texts,
                 const std::vector<std::u16string>& targets) override {
    ReleaseDeferral deferral;
    window_.ShowChoices(texts, targets);
    return true;
  }

 private:
  MessageWindow& window_;
};

// Stands in for the text listener while a choice is shown: the window then
// ignores the story.
class SilentListener final : public ScenarioListener {};

}  // namespace

MessageWindow::MessageWindow(std::shared_ptr<FontData> main_font,
                             std::shared_ptr<FontData> ruby_font, int width, int height)
    : page_(std::make_shared<Texture>(width, height)),
      canvas_(page_),
      main_font_(std::move(main_font)),
      ruby_font_(std::move(ruby_font)),
      width_(width),
      height_(height),
      text_listener_(std::make_unique<WindowTextListener>(*this)),
      muted_listener_(std::make_unique<SilentListener>()),
      current_listener_(text_listener_.get()) {
  canvas_.SetClip(width_, height_);
  pen_ = Pen{0, ruby_font_ ? ruby_font_->LineSkip() : 0};
}

MessageWindow::~MessageWindow() {
  // Buttons leave the handler list as they go; the listeners leave every reader.
  choices_.clear();
}

TextBox MessageWindow::Box() const {
  TextBox box;
  box.width = width_;
  box.height = height_;
  box.main_line_skip = main_font_ ? main_font_->LineSkip() : 0;
  box.ruby_line_skip = ruby_font_ ? ruby_font_->LineSkip() : 0;
  return box;
}

void MessageWindow::Enable() {
  enabled_ = true;
  if (ScenarioController* controller = ScenarioController::Instance()) {
    controller->AttachListener(current_listener_);
  }
}

void MessageWindow::Disable() {
  enabled_ = false;
  if (ScenarioController* controller = ScenarioController::Instance()) {
    controller->DetachListener(current_listener_);
  }
}

void MessageWindow::Withdraw() {
  EventHandlerList::Remove(this);
  for (const auto& button : choices_) EventHandlerList::Remove(button.get());
  if (ScenarioController* controller = ScenarioController::Instance()) {
    controller->DetachListener(text_listener_.get());
    controller->DetachListener(muted_listener_.get());
  }
  enabled_ = false;
}

void MessageWindow::EnsurePage() {
  if (page_->Uploaded() || page_tried_ || !HasGlContext()) return;
  // Made before the window existed: the first use with a window makes it.
  page_tried_ = true;
  if (!page_->Recreate(width_, height_)) return;
  canvas_.ForgetInk();
  page_log_.Clear();
  PageMade();
}

void MessageWindow::Resize(int width, int height) {
  width_ = width;
  height_ = height;
  page_->Recreate(width_, height_);
  page_tried_ = page_->Uploaded() || HasGlContext();
  canvas_.SetClip(width_, height_);
  canvas_.ForgetInk();
  page_log_.Clear();
  overflowed_ = false;
}

void MessageWindow::ChangeWait(int milliseconds) {
  if (!wait_.empty()) wait_.pop_back();
  wait_.push_back(std::max(milliseconds, 0));
}

void MessageWindow::PopExtraWait() {
  if (wait_.size() > 1) wait_.pop_back();
}

void MessageWindow::WaitAfterCharacter() {
  if (ScenarioController* controller = ScenarioController::Instance()) {
    controller->Wait(wait_.empty() ? 0 : wait_.back());
  }
}

void MessageWindow::DrawCharacter(char16_t ch, const std::u16string* ruby) {
  // Unit 0 is never text: the reader delivers it when a call or a choice
  // changed the scenario in the middle of a step.
  if (ch == 0 || !main_font_ || !ruby_font_) return;
  const std::optional<GlyphMetrics> metrics = main_font_->Metrics(ch);
  if (metrics) {
    EnsurePage();
    // An empty ruby, or one that renders to nothing, leaves a plain character.
    SurfacePtr ruby_image;
    if (ruby != nullptr && !ruby->empty()) ruby_image = ruby_font_->RenderText(*ruby);
    const std::optional<int> ruby_width =
        ruby_image ? std::optional<int>(ruby_image->w) : std::nullopt;
    const CharacterPlacement placement = PlaceCharacter(ch, *metrics, ruby_width, pen_, Box());
    pen_ = placement.pen;
    if (!placement.drawn) NoteOverflow();
    if (placement.drawn) {
      if (ruby_image) {
        canvas_.Draw(ruby_image.get(), placement.ruby_x, placement.ruby_y);
        page_log_.Note(*ruby, *ruby_font_, true, placement.ruby_x, placement.ruby_y);
      }
      // A glyph with no ink renders to nothing: nothing to upload, the pen moved on.
      const SurfacePtr glyph = main_font_->RenderText(std::u16string_view(&ch, 1));
      if (glyph) {
        canvas_.Draw(glyph.get(), placement.glyph_x, placement.glyph_y);
        page_log_.Note(std::u16string_view(&ch, 1), *main_font_, false, placement.glyph_x,
                       placement.glyph_y);
      }
      canvas_.Flush();
    }
  }
  WaitAfterCharacter();
}

void MessageWindow::NoteOverflow() {
  // Once a page: what follows the first character that did not fit is lost too.
  if (overflowed_) return;
  overflowed_ = true;
  NoteProblem(ProblemKind::kTextOverflow,
              "text does not fit in the message window (" + std::to_string(width_) + " x " +
                  std::to_string(height_) +
                  " pixels): from here to the end of the page it is not shown");
}

void MessageWindow::NewLine() { pen_ = NextLine(pen_, Box()); }

void MessageWindow::ClearPage() {
  EnsurePage();
  canvas_.Clear();
  page_log_.Clear();
  overflowed_ = false;
  pen_ = Pen{0, ruby_font_ ? ruby_font_->LineSkip() : 0};
  PopExtraWait();
}

void MessageWindow::ParagraphEnd() {
  if (ScenarioController* controller = ScenarioController::Instance()) controller->Stop();
  BeginKeyWait();
  if (Gone()) return;
  PlaceMarker();
  new_line_on_resume_ = true;
}

void MessageWindow::PageEnd() {
  if (ScenarioController* controller = ScenarioController::Instance()) controller->Stop();
  BeginKeyWait();
  if (Gone()) return;
  PlaceMarker();
  clear_on_resume_ = true;
}

void MessageWindow::Toggle() {
  ScenarioListener* previous = current_listener_;
  text_mode_ = !text_mode_;
  current_listener_ = text_mode_ ? text_listener_.get() : muted_listener_.get();
  if (ScenarioController* controller = ScenarioController::Instance()) {
    controller->DetachListener(previous);
    // A disabled window stays out of the story whichever listener is current.
    if (enabled_) controller->AttachListener(current_listener_);
  }
}

void MessageWindow::ShowChoices(const std::vector<std::u16string>& texts,
                                const std::vector<std::u16string>& targets) {
  const std::size_t count = std::min(texts.size(), targets.size());
  if (count == 0 || !main_font_ || !ruby_font_) return;
  Toggle();
  pen_.y -= ruby_font_->LineSkip();
  const Pen offset = ScreenOffset();
  for (std::size_t i = 0; i < count; ++i) {
    auto button =
        std::make_unique<ChoiceButton>(main_font_, ruby_font_, width_, texts[i], targets[i]);
    // A script block in the text may have released this very layer.
    if (Gone()) return;
    ChoiceButton& added = *button;
    choices_.push_back(std::move(button));
    EventHandlerList::Add(&added);
    added.SetPosition(pen_.x, pen_.y);
    added.SetLayerOffset(offset.x, offset.y);
    pen_.y += added.ImageHeight();
  }
  PlaceMarker();
  if (ScenarioController* controller = ScenarioController::Instance()) controller->Stop();
}

void MessageWindow::Advance() {
  if (!enabled_) return;
  ScenarioController* controller = ScenarioController::Instance();
  if (choices_.empty()) {
    if (controller == nullptr) return;
    if (controller->Running()) {
      // Return while the text is typed: the rest of the paragraph at once.
      if (wait_.size() == 1) wait_.push_back(0);
      return;
    }
    controller->Resume();
    if (clear_on_resume_) {
      ClearPage();
      clear_on_resume_ = false;
    }
    if (new_line_on_resume_) {
      NewLine();
      PopExtraWait();
      new_line_on_resume_ = false;
    }
    EndKeyWait();
    return;
  }

  if (std::none_of(choices_.begin(), choices_.end(),
                   [](const auto& button) { return button->Highlighted(); })) {
    return;
  }
  std::vector<std::unique_ptr<ChoiceButton>> buttons;
  buttons.swap(choices_);
  bool taken = false;
  for (auto& button : buttons) {
    EventHandlerList::Remove(button.get());
    // One file per choice, even if two lines overlap under the pointer.
    if (!taken && button->Highlighted()) {
      taken = true;
      std::unique_ptr<Scenario> scenario = LoadScenarioByTextName(button->Target());
      // A missing file was reported; the story goes on after the list.
      if (scenario && controller != nullptr && controller->Reader() != nullptr) {
        controller->Reader()->Push(std::move(scenario));
      }
    }
    button.reset();
  }
  ClearPage();
  Toggle();
  if (controller != nullptr) controller->Resume();
}

bool MessageWindow::Choose(std::size_t index) {
  if (!enabled_ || index >= choices_.size()) return false;
  for (std::size_t i = 0; i < choices_.size(); ++i) choices_[i]->SetHighlighted(i == index);
  Advance();
  return true;
}

void MessageWindow::MoveHighlight(int step) {
  if (!enabled_ || choices_.empty()) return;
  const int count = static_cast<int>(choices_.size());
  int at = -1;
  for (int i = 0; i < count && at < 0; ++i) {
    if (choices_[static_cast<std::size_t>(i)]->Highlighted()) at = i;
  }
  // From none highlighted, Down starts at the top and Up at the bottom; the
  // highlight stops at either end.
  const int next = at < 0 ? (step > 0 ? 0 : count - 1) : std::clamp(at + step, 0, count - 1);
  for (int i = 0; i < count; ++i) choices_[static_cast<std::size_t>(i)]->SetHighlighted(i == next);
}

bool MessageWindow::OnKeyDown(const SDL_keysym& key) {
  ReleaseDeferral deferral;
  if (!TakesInput() || Gone()) return true;
  if (key.sym == SDLK_RETURN) {
    Advance();
  } else if (key.sym == SDLK_DOWN || key.sym == SDLK_UP) {
    MoveHighlight(key.sym == SDLK_DOWN ? 1 : -1);
  }
  return true;
}

bool MessageWindow::OnMouseButtonUp(std::uint8_t button, std::uint16_t, std::uint16_t) {
  ReleaseDeferral deferral;
  if (TakesInput() && !Gone() && button == SDL_BUTTON_LEFT) Advance();
  return true;
}

}  // namespace tessel
