#include "text/ChoiceButton.h"

#include <algorithm>
#include <climits>
#include <optional>

#include "graphics/Renderer.h"
#include "graphics/Texture.h"
#include "text/Encoding.h"
#include "text/PageLog.h"
#include "text/Scenario.h"
#include "text/ScenarioFiles.h"
#include "text/ScenarioReader.h"
#include "text/TextCanvas.h"
#include "text/TextLayout.h"

namespace tessel {
namespace {

// Without a window the image cannot be made, but the button still lays out
// and takes the pointer, so its size does not depend on the texture's limit.
constexpr int kLimitWithoutWindow = 16384;

int LargestImage() {
  const int max_size = Texture::MaxSize();
  return max_size > 0 ? max_size : kLimitWithoutWindow;
}

// Reads the choice text token by token, as the scenario reader lexes it, and
// lays out its characters, ruby and backslash line breaks. With a canvas it
// draws them and runs the script blocks; without, it only measures.
class ChoiceTextLayout {
 public:
  ChoiceTextLayout(FontData& main_font, FontData& ruby_font, const TextBox& box, PageLog* log = nullptr)
      : main_font_(main_font), ruby_font_(ruby_font), box_(box), log_(log) {}

  // Returns the pen after the last token.
  Pen Run(ScenarioReader& reader, TextCanvas* canvas) {
    Scenario& scenario = *reader.Current();
    scenario.position = 0;
    scenario.line = 0;
    Pen pen{0, box_.ruby_line_skip};
    for (;;) {
      scenario.status = 0;
      scenario.script_text.clear();
      const char16_t ch = reader.NextToken();
      switch (scenario.status) {
        case 0:
          pen = Character(ch, nullptr, pen, canvas);
          break;
        case Scenario::kRuby:
          pen = Character(ch, &scenario.ruby_text, pen, canvas);
          break;
        case Scenario::kLineBreaks:
          for (int i = 0; i < scenario.backslash_count; ++i) pen = NextLine(pen, box_);
          break;
        case Scenario::kScriptBlock:
          if (canvas != nullptr) {
            RunScriptBlock(EncodeUtf8(scenario.script_text), scenario.name, scenario.script_line,
                           scenario.script_marks);
          }
          break;
        default:
          break;
      }
      if (scenario.status & Scenario::kEnd) return pen;
    }
  }

 private:
  Pen Character(char16_t ch, const std::u16string* ruby, Pen pen, TextCanvas* canvas) {
    if (ch == 0) return pen;
    const std::optional<GlyphMetrics> metrics = main_font_.Metrics(ch);
    if (!metrics) return pen;
    SurfacePtr ruby_image;
    if (ruby != nullptr && !ruby->empty()) ruby_image = ruby_font_.RenderText(*ruby);
    const std::optional<int> ruby_width =
        ruby_image ? std::optional<int>(ruby_image->w) : std::nullopt;
    const CharacterPlacement placement = PlaceCharacter(ch, *metrics, ruby_width, pen, box_);
    if (placement.drawn && canvas != nullptr) {
      if (ruby_image) {
        canvas->Draw(ruby_image.get(), placement.ruby_x, placement.ruby_y);
        if (log_ != nullptr) log_->Note(*ruby, ruby_font_, true, placement.ruby_x, placement.ruby_y);
      }
      const SurfacePtr glyph = main_font_.RenderText(std::u16string_view(&ch, 1));
      if (glyph) {
        canvas->Draw(glyph.get(), placement.glyph_x, placement.glyph_y);
        if (log_ != nullptr) {
          log_->Note(std::u16string_view(&ch, 1), main_font_, false, placement.glyph_x, placement.glyph_y);
        }
      }
    }
    return placement.pen;
  }

  FontData& main_font_;
  FontData& ruby_font_;
  TextBox box_;
  PageLog* log_;
};

}  // namespace

ChoiceButton::ChoiceButton(std::shared_ptr<FontData> main_font, std::shared_ptr<FontData> ruby_font,
                           int width, std::u16string_view text, std::u16string target)
    : target_(std::move(target)) {
  if (!main_font || !ruby_font) return;
  auto scenario = std::make_unique<Scenario>(std::u16string(text), false);
  scenario->name = "Alternative";
  ScenarioReader reader(std::move(scenario));
  if (reader.Current() == nullptr) return;

  TextBox box;
  box.width = width;
  box.height = INT_MAX;
  box.main_line_skip = main_font->LineSkip();
  box.ruby_line_skip = ruby_font->LineSkip();
  const Pen end = ChoiceTextLayout(*main_font, *ruby_font, box).Run(reader, nullptr);

  image_width_ = std::max(width, 0);
  const long long height = static_cast<long long>(end.y) + box.main_line_skip;
  image_height_ = static_cast<int>(std::clamp<long long>(height, 0, LargestImage()));
  if (image_width_ < 1 || image_height_ < 1) return;

  image_ = std::make_shared<Texture>(image_width_, image_height_);
  TextCanvas canvas(image_);
  canvas.SetClip(image_width_, image_height_);
  box.height = image_height_;
  ChoiceTextLayout(*main_font, *ruby_font, box, &log_).Run(reader, &canvas);
  canvas.Flush();
}

ChoiceButton::ChoiceButton(const std::shared_ptr<FontData>& main_font,
                           const std::shared_ptr<FontData>& ruby_font, int width, int height,
                           std::u16string target, PageLog log)
    : target_(std::move(target)),
      log_(std::move(log)),
      image_width_(std::clamp(width, 0, LargestImage())),
      image_height_(std::clamp(height, 0, LargestImage())) {
  if (image_width_ < 1 || image_height_ < 1) return;
  image_ = std::make_shared<Texture>(image_width_, image_height_);
  TextCanvas canvas(image_);
  canvas.SetClip(image_width_, image_height_);
  log_.Replay(canvas, main_font.get(), ruby_font.get());
}

ChoiceButton::~ChoiceButton() = default;

bool ChoiceButton::HitTest(int x, int y) const {
  const long long left = Left();
  const long long top = Top();
  return left <= x && x < left + image_width_ && top <= y && y < top + image_height_;
}

void ChoiceButton::Draw() {
  if (image_) DrawTexture(*image_, Left(), Top(), alpha_);
}

void ChoiceButton::Enter(int state) {
  state_ = state;
  highlighted_ = (state & kOver) != 0;
  alpha_ = highlighted_ ? 1.0 : 0.5;
}

bool ChoiceButton::OnMouseMotion(std::uint8_t, std::uint16_t x, std::uint16_t y, std::int16_t,
                                 std::int16_t) {
  const int state = HitTest(x, y) ? (state_ | kOver) : (state_ & ~kOver);
  if (state != state_) Enter(state);
  return true;
}

bool ChoiceButton::OnMouseButtonDown(std::uint8_t button, std::uint16_t, std::uint16_t) {
  if (button == SDL_BUTTON_LEFT && state_ == kOver) Enter(kOver | kPressed);
  return true;
}

bool ChoiceButton::OnMouseButtonUp(std::uint8_t button, std::uint16_t, std::uint16_t) {
  // A release over the button is a click, but the choice is taken by the
  // scenario layer, which gets the same release.
  if (button == SDL_BUTTON_LEFT && (state_ & kPressed) != 0) Enter(state_ & ~kPressed);
  return true;
}

}  // namespace tessel
