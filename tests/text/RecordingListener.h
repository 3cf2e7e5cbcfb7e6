#pragma once

#include <functional>
#include <string>
#include <vector>

#include "text/Encoding.h"
#include "text/ScenarioListener.h"
#include "text/ScenarioReader.h"

namespace tessel::test {

// Writes every token it gets as one readable line ("char A", "ruby A:ka",
// "choices Yes>a.tsl|No>b.tsl", ...) into a shared log, so tests can check
// what each listener saw and in which order.
class RecordingListener : public ScenarioListener {
 public:
  explicit RecordingListener(std::vector<std::string>* log, std::string prefix = "")
      : log_(log), prefix_(std::move(prefix)) {}

  // Runs before a token is recorded; tests use it to change listeners or the
  // stack in the middle of a dispatch.
  std::function<void(const std::string& token)> on_token;
  bool result = true;

  bool OnCharacter(char16_t ch) override { return Record("char " + Utf8(std::u16string(1, ch))); }
  bool OnParagraphEnd() override { return Record("paragraph"); }
  bool OnLineEnd() override { return Record("line"); }
  bool OnLineBreaks(int count) override { return Record("breaks " + std::to_string(count)); }
  bool OnScriptBlock(const std::u16string& text, int line) override {
    return Record("script " + Utf8(text) + " @" + std::to_string(line));
  }
  bool OnRubyCharacter(char16_t ch, const std::u16string& ruby) override {
    return Record("ruby " + Utf8(std::u16string(1, ch)) + ":" + Utf8(ruby));
  }
  bool OnChoices(const std::vector<std::u16string>& texts,
                 const std::vector<std::u16string>& targets) override {
    std::string line = "choices ";
    if (texts.size() != targets.size()) return Record("choices of unequal length");
    for (std::size_t i = 0; i < texts.size(); ++i) {
      if (i > 0) line += "|";
      line += Utf8(texts[i]) + ">" + Utf8(targets[i]);
    }
    return Record(line);
  }
  bool OnPageEnd() override { return Record("page"); }
  bool OnScenarioEnd() override { return Record("end"); }
  bool OnCall(const std::u16string& name) override { return Record("call " + Utf8(name)); }

 private:
  static std::string Utf8(const std::u16string& text) {
    // The code unit 0 shows as "\0" so it stays visible in a log line.
    if (text == std::u16string(1, u'\0')) return "\\0";
    return EncodeUtf8(text);
  }
  bool Record(const std::string& token) {
    if (on_token) on_token(token);
    log_->push_back(prefix_ + token);
    return result;
  }

  std::vector<std::string>* log_;
  std::string prefix_;
};

}  // namespace tessel::test
