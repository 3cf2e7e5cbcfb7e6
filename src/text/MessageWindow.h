#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "event/EventHandler.h"
#include "text/Font.h"
#include "text/PageLog.h"
#include "text/ScenarioListener.h"
#include "text/TextCanvas.h"
#include "text/TextLayout.h"

namespace tessel {

class ChoiceButton;
class Texture;

// The page of the story and what writes on it: the scenario text arrives
// through its listener, character by character, with line breaking and
// ruby; it stops the story at paragraph and page ends until Return or a left
// click, and shows choice lists as buttons. The scenario layer is the one
// kind of message window; it adds the layer, the marker and the callbacks.
class MessageWindow : public EventHandler {
 public:
  // Fonts are shared: a font released by its script lives on while in use.
  MessageWindow(std::shared_ptr<FontData> main_font, std::shared_ptr<FontData> ruby_font, int width,
                int height);
  ~MessageWindow() override;

  // Joins the story (its current listener goes to the reader) or leaves it.
  void Enable();
  void Disable();
  bool Enabled() const { return enabled_; }

  // A new blank page of that size; the pen stays where it was.
  void Resize(int width, int height);
  // Replaces the delay after each character (the top of the wait stack).
  void ChangeWait(int milliseconds);

  // What the listener does with the tokens of the story.
  void DrawCharacter(char16_t ch, const std::u16string* ruby);
  void NewLine();
  void ClearPage();
  void ParagraphEnd();
  void PageEnd();
  void ShowChoices(const std::vector<std::u16string>& texts,
                   const std::vector<std::u16string>& targets);
  // Return or a left click: skip the delays, end a key wait, or take the
  // highlighted choice.
  void Advance();
  // Takes choice `index` of the list shown, as a click on it would; false
  // when no list is shown or it has no such choice.
  bool Choose(std::size_t index);
  // Down (+1) or Up (-1) over the choices shown; Return then takes the line.
  void MoveHighlight(int step);

  bool OnKeyDown(const SDL_keysym& key) override;
  bool OnMouseButtonUp(std::uint8_t button, std::uint16_t x, std::uint16_t y) override;

  Pen GetPen() const { return pen_; }
  void SetPen(Pen pen) { pen_ = pen; }
  TextBox Box() const;
  int Width() const { return width_; }
  int Height() const { return height_; }
  const std::deque<int>& WaitStack() const { return wait_; }
  const std::vector<std::unique_ptr<ChoiceButton>>& Choices() const { return choices_; }
  bool TextMode() const { return text_mode_; }
  ScenarioListener* TextListener() const { return text_listener_.get(); }
  ScenarioListener* MutedListener() const { return muted_listener_.get(); }
  ScenarioListener* CurrentListener() const { return current_listener_; }
  const std::shared_ptr<Texture>& Page() const { return page_; }
  const TextCanvas& Canvas() const { return canvas_; }
  // What a save keeps of the window (MessageWindowSaves.cpp): its fonts'
  // indexes, size, pen, wait stack, key-wait state, the ink on its page and
  // the choices shown. Joining the story is the loader's, in the saved order.
  struct SavedChoice {
    std::u16string target;
    std::int32_t height = 0;
    Pen position;
    bool highlighted = false;
    PageLog log;
  };
  struct SavedState {
    std::uint32_t main_font = 0;
    std::uint32_t ruby_font = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    Pen pen;
    std::deque<int> wait;
    bool enabled = false;
    bool text_mode = true;
    bool clear_on_resume = false;
    bool new_line_on_resume = false;
    bool overflowed = false;
    PageLog page;
    std::vector<SavedChoice> choices;
  };
  void SaveWindow(SaveWriter& out) const;
  static bool ReadWindow(SaveReader& in, SavedState& state);
  void LoadWindow(const SavedState& state);

  const std::shared_ptr<FontData>& MainFont() const { return main_font_; }
  const std::shared_ptr<FontData>& RubyFont() const { return ruby_font_; }

 protected:
  // The key-wait hooks of the scenario layer.
  virtual void BeginKeyWait() {}
  virtual void EndKeyWait() {}
  virtual void PlaceMarker() {}
  // Whether Return and clicks reach the window at all.
  virtual bool TakesInput() const { return true; }
  // Screen position of the page, where choice buttons start their hit areas.
  virtual Pen ScreenOffset() const { return {}; }
  // After the page texture was made anew (lazily, once a window exists).
  virtual void PageMade() {}
  // True once a script run by the window's own operation has released it:
  // the operation then stops at once.
  virtual bool Gone() { return false; }

  // Takes the window out of the reader and the handler list (buttons too).
  void Withdraw();
  // Makes the blank page texture when it could not be made before (no window
  // yet) and there is a window now.
  void EnsurePage();

 private:
  void Toggle();
  void WaitAfterCharacter();
  void PopExtraWait();
  // Tells the play-tester that text of this page is lost below the bottom.
  void NoteOverflow();

  std::shared_ptr<Texture> page_;
  TextCanvas canvas_;
  PageLog page_log_;
  std::shared_ptr<FontData> main_font_;
  std::shared_ptr<FontData> ruby_font_;
  int width_;
  int height_;
  Pen pen_;
  std::unique_ptr<ScenarioListener> text_listener_;
  std::unique_ptr<ScenarioListener> muted_listener_;
  ScenarioListener* current_listener_;
  std::deque<int> wait_{0};
  std::vector<std::unique_ptr<ChoiceButton>> choices_;
  bool clear_on_resume_ = false;
  bool new_line_on_resume_ = false;
  bool enabled_ = false;
  // Which listener is current; each window has its own, so one layer's
  // choice never mutes another.
  bool text_mode_ = true;
  bool page_tried_ = false;
  bool overflowed_ = false;  // a character of this page did not fit
};

}  // namespace tessel
