// Scenario files come from a game's data: any bytes must lex without a read
// outside the text, every delivered string must be whole, and a file calling
// itself must stay within the call-stack cap.
//
// Input: one mode byte, then the file. Mode bit 0 picks how the text is built
// (as a file, or as units taken as stored, like a choice text).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "text/Encoding.h"
#include "text/Scenario.h"
#include "text/ScenarioListener.h"
#include "text/ScenarioReader.h"

namespace {

using tessel::Scenario;
using tessel::ScenarioReader;

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

volatile std::uint32_t sink;

void Touch(const std::u16string& text) {
  std::uint32_t sum = 0;
  for (char16_t unit : text) sum += unit;
  sink = sink + sum;
}

std::unique_ptr<Scenario> Build(bool as_file, std::string_view bytes) {
  if (as_file) return Scenario::FromFileBytes(bytes);
  std::u16string units(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  }
  return std::make_unique<Scenario>(std::move(units), false);
}

// Touches every string it is given; a call line enters a file whose text is
// the call name (so "@a@b@c" nests three deep, and a long run of "@" reaches
// the stack cap). Every other token it also toggles a second listener, so
// changes during dispatch are exercised.
class TouchingListener : public tessel::ScenarioListener {
 public:
  TouchingListener(ScenarioReader& reader, tessel::ScenarioListener* other)
      : reader_(reader), other_(other) {}

  bool ended = false;

  bool OnCharacter(char16_t ch) override { return Token(ch); }
  bool OnParagraphEnd() override { return Token(1); }
  bool OnLineEnd() override { return Token(2); }
  bool OnLineBreaks(int count) override {
    Check(count >= 1);
    return Token(3);
  }
  bool OnScriptBlock(const std::u16string& text, int line) override {
    Touch(text);
    const std::string utf8 = tessel::EncodeUtf8(text);
    Check(utf8.size() == tessel::Utf8Length(text));
    Check(tessel::IsValidUtf8(utf8));
    Check(line >= 0 && line <= reader_.CurrentLine());
    return Token(4);
  }
  bool OnRubyCharacter(char16_t ch, const std::u16string& ruby) override {
    Touch(ruby);
    return Token(ch);
  }
  bool OnChoices(const std::vector<std::u16string>& texts,
                 const std::vector<std::u16string>& targets) override {
    Check(!texts.empty() && texts.size() == targets.size());
    for (const auto& text : texts) Touch(text);
    for (const auto& target : targets) Touch(target);
    return Token(5);
  }
  bool OnScenarioEnd() override {
    ended = true;
    return Token(6);
  }
  bool OnPageEnd() override { return Token(7); }
  bool OnCall(const std::u16string& name) override {
    Touch(name);
    (void)tessel::ToShiftJis(name);
    const std::size_t depth = reader_.Depth();
    auto called = count_ % 2 == 0 ? Scenario::FromFileBytes(tessel::EncodeUtf8(name))
                                  : std::make_unique<Scenario>(name, false);
    const bool entered = reader_.Push(std::move(called));
    Check(entered == (depth < ScenarioReader::kMaxDepth));
    return Token(8);
  }

 private:
  bool Token(std::uint32_t value) {
    sink = sink + value;
    if (++count_ % 2 == 0) {
      if (reader_.HasListener(other_)) {
        reader_.RemoveListener(other_);
      } else {
        reader_.AddListener(other_);
      }
    }
    return true;
  }

  ScenarioReader& reader_;
  tessel::ScenarioListener* other_;
  std::uint64_t count_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The call trace goes to standard output; it would drown the fuzzer's log.
  if (std::freopen("/dev/null", "w", stdout) == nullptr) return 1;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool as_file = (data[0] & 1) == 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

  ScenarioReader reader(Build(as_file, bytes));
  tessel::ScenarioListener passive;  // base operations only
  TouchingListener listener(reader, &passive);
  reader.AddListener(&listener);
  reader.AddListener(&passive);

  constexpr int kMaxSteps = 5000;
  for (int step = 0; step < kMaxSteps; ++step) {
    listener.ended = false;
    reader.Step();
    const Scenario* current = reader.Current();
    Check(current != nullptr);
    Check(current->position >= 0 &&
          static_cast<std::size_t>(current->position) <= current->text.size());
    Check(reader.Depth() >= 1 && reader.Depth() <= ScenarioReader::kMaxDepth);
    if (listener.ended && reader.Depth() == 1) break;
  }
  return 0;
}
