// The reader's call stack with its trace lines, and its listener list.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "text/RecordingListener.h"
#include "text/Scenario.h"
#include "text/ScenarioReader.h"

namespace tessel {
namespace {

using Tokens = std::vector<std::string>;
using test::RecordingListener;

std::unique_ptr<Scenario> Named(const std::u16string& text, const std::string& name) {
  auto scenario = std::make_unique<Scenario>(text, false);
  scenario->name = name;
  return scenario;
}

void StepTimes(ScenarioReader& reader, int steps) {
  for (int i = 0; i < steps; ++i) reader.Step();
}

TEST(ScenarioCallStack, CalledFileRunsThenReadingReturnsAfterTheCallLine) {
  testing::internal::CaptureStdout();
  ScenarioReader reader(Named(u"a@sub.tsl\nb", "main.tsl"));
  Tokens tokens;
  RecordingListener caller(&tokens);
  RecordingListener behind(&tokens, "2 ");
  caller.on_token = [&](const std::string& token) {
    if (token == "call sub.tsl") {
      EXPECT_TRUE(reader.Push(Named(u"x\ny", "sub.tsl")));
    }
  };
  reader.AddListener(&caller);
  reader.AddListener(&behind);

  StepTimes(reader, 2);
  EXPECT_EQ(reader.Depth(), 2u);
  EXPECT_EQ(reader.CurrentName(), "sub.tsl");
  StepTimes(reader, 4);
  EXPECT_EQ(reader.Depth(), 1u);
  EXPECT_EQ(reader.CurrentName(), "main.tsl");
  EXPECT_EQ(reader.CurrentLine(), 1);
  StepTimes(reader, 2);

  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "-> Push main.tsl\nLineNumber : 0\n"
            "\t-> Push sub.tsl\n\tLineNumber : 0\n"
            "\t\t<- Pop sub.tsl\n\t\tLineNumber : 1\n"
            "\tLeave point main.tsl\n\tLineNumber : 1\n");
  // A listener behind the one that pushed sees the new file's empty status;
  // the step that ends a called file delivers the character 0.
  EXPECT_EQ(tokens, (Tokens{"char a", "2 char a", "call sub.tsl", "2 char \\0", "char x",
                            "2 char x", "line", "2 line", "char y", "2 char y", "char \\0",
                            "2 char \\0", "char b", "2 char b", "end", "2 end"}));
}

TEST(ScenarioCallStack, TracesIndentOneTabPerScenario) {
  testing::internal::CaptureStdout();
  ScenarioReader reader(Named(u"", "main.tsl"));
  reader.Push(Named(u"", "a.tsl"));
  reader.Push(Named(u"", "b.tsl"));
  reader.Pop();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "-> Push main.tsl\nLineNumber : 0\n"
            "\t-> Push a.tsl\n\tLineNumber : 0\n"
            "\t\t-> Push b.tsl\n\t\tLineNumber : 0\n"
            "\t\t\t<- Pop b.tsl\n\t\t\tLineNumber : 0\n"
            "\t\tLeave point a.tsl\n\t\tLineNumber : 0\n");
}

TEST(ScenarioCallStack, FirstScenarioIsNeverPopped) {
  ScenarioReader reader(Named(u"a", "main.tsl"));
  testing::internal::CaptureStdout();
  reader.Pop();
  StepTimes(reader, 3);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(reader.Depth(), 1u);
}

TEST(ScenarioCallStack, ChoiceReadBeforeACallIsNotOfferedAgain) {
  ScenarioReader reader(Named(u"$A$a.tsl$$B$b.tsl$x$C$c.tsl$", "main.tsl"));
  Tokens tokens;
  RecordingListener listener(&tokens);
  reader.AddListener(&listener);
  reader.Step();
  // Picking a choice enters its target, as the scenario layer does.
  reader.Push(Named(u"s", "a.tsl"));
  StepTimes(reader, 4);
  EXPECT_EQ(tokens, (Tokens{"choices A>a.tsl|B>b.tsl", "char s", "char \\0", "char x",
                            "choices C>c.tsl"}));
}

TEST(ScenarioCallStack, IsCappedAtAThousandScenarios) {
  testing::internal::CaptureStdout();
  ScenarioReader reader(Named(u"@main.tsl\n", "main.tsl"));
  for (std::size_t i = 1; i < ScenarioReader::kMaxDepth; ++i) {
    ASSERT_TRUE(reader.Push(Named(u"", "deep.tsl")));
  }
  EXPECT_FALSE(reader.Push(Named(u"", "one-too-many.tsl")));
  EXPECT_FALSE(reader.Push(nullptr));
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(reader.Depth(), ScenarioReader::kMaxDepth);
  EXPECT_EQ(reader.CurrentName(), "deep.tsl");
  EXPECT_NE(out.find("Error : 1000 scenario files are open, one-too-many.tsl is not entered.\n"),
            std::string::npos);
}

TEST(ScenarioCallStack, SelfCallingFileStopsGrowingAtTheCap) {
  testing::internal::CaptureStdout();
  ScenarioReader reader(Named(u"@loop.tsl\n", "loop.tsl"));
  Tokens tokens;
  RecordingListener caller(&tokens);
  int refused = 0;
  caller.on_token = [&](const std::string& token) {
    if (token == "call loop.tsl" && !reader.Push(Named(u"@loop.tsl\n", "loop.tsl"))) ++refused;
  };
  reader.AddListener(&caller);
  StepTimes(reader, 999);
  EXPECT_EQ(reader.Depth(), ScenarioReader::kMaxDepth);
  EXPECT_EQ(refused, 0);
  reader.Step();
  EXPECT_EQ(refused, 1);
  EXPECT_EQ(reader.Depth(), ScenarioReader::kMaxDepth);
  // The refused call is skipped: every file then ends and returns to its
  // caller, and the story reaches its end.
  StepTimes(reader, 2000);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(reader.Depth(), 1u);
  EXPECT_EQ(tokens.back(), "end");
}

TEST(ScenarioCallStack, ReaderWithoutAScenarioDoesNothing) {
  ScenarioReader reader(nullptr);
  Tokens tokens;
  RecordingListener listener(&tokens);
  reader.AddListener(&listener);
  reader.Step();
  EXPECT_EQ(reader.Current(), nullptr);
  EXPECT_EQ(reader.CurrentName(), "");
  EXPECT_EQ(reader.CurrentLine(), 0);
  EXPECT_TRUE(tokens.empty());
}

class ScenarioListeners : public ::testing::Test {
 protected:
  ScenarioReader reader{Named(u"abc", "main.tsl")};
  Tokens tokens;
  RecordingListener first{&tokens, "1 "};
  RecordingListener second{&tokens, "2 "};
  RecordingListener third{&tokens, "3 "};
};

TEST_F(ScenarioListeners, FalseStopsDeliveryToLaterListeners) {
  reader.AddListener(&first);
  reader.AddListener(&second);
  first.result = false;
  EXPECT_FALSE(reader.Dispatch(u'x'));
  first.result = true;
  EXPECT_TRUE(reader.Dispatch(u'y'));
  EXPECT_EQ(tokens, (Tokens{"1 char x", "1 char y", "2 char y"}));
}

TEST_F(ScenarioListeners, AddedTwiceIsCalledOnce) {
  reader.AddListener(&first);
  reader.AddListener(&first);
  reader.Step();
  EXPECT_EQ(tokens, (Tokens{"1 char a"}));
}

TEST_F(ScenarioListeners, AddedDuringDispatchJoinsFromTheNextToken) {
  reader.AddListener(&first);
  first.on_token = [&](const std::string&) {
    reader.AddListener(&second);
    reader.AddListener(&third);
  };
  StepTimes(reader, 2);
  // Additions made in one dispatch join from the back of their queue.
  EXPECT_EQ(tokens, (Tokens{"1 char a", "1 char b", "3 char b", "2 char b"}));
}

TEST_F(ScenarioListeners, RemovedDuringDispatchIsNotCalledAgain) {
  reader.AddListener(&first);
  reader.AddListener(&second);
  reader.AddListener(&third);
  first.on_token = [&](const std::string&) { reader.RemoveListener(&second); };
  StepTimes(reader, 2);
  EXPECT_EQ(tokens, (Tokens{"1 char a", "3 char a", "1 char b", "3 char b"}));
  EXPECT_FALSE(reader.HasListener(&second));
}

TEST_F(ScenarioListeners, DestroyedDuringDispatchIsNotCalled) {
  auto doomed = std::make_unique<RecordingListener>(&tokens, "doomed ");
  reader.AddListener(&first);
  reader.AddListener(doomed.get());
  reader.AddListener(&third);
  // A script block that releases a scenario layer destroys its listeners.
  first.on_token = [&](const std::string&) { doomed.reset(); };
  StepTimes(reader, 2);
  EXPECT_EQ(tokens, (Tokens{"1 char a", "3 char a", "1 char b", "3 char b"}));
}

TEST_F(ScenarioListeners, LastChangeDuringDispatchWins) {
  reader.AddListener(&first);
  reader.AddListener(&second);
  first.on_token = [&](const std::string& token) {
    if (token != "char a") return;
    reader.RemoveListener(&second);  // disable, then enable again
    reader.AddListener(&second);
    reader.AddListener(&third);  // enable, then disable again
    reader.RemoveListener(&third);
  };
  StepTimes(reader, 2);
  EXPECT_EQ(tokens, (Tokens{"1 char a", "1 char b", "2 char b"}));
  EXPECT_TRUE(reader.HasListener(&second));
  EXPECT_FALSE(reader.HasListener(&third));
}

TEST_F(ScenarioListeners, RemovingAnUnknownListenerDoesNothing) {
  reader.AddListener(&first);
  reader.RemoveListener(&second);
  reader.RemoveListener(nullptr);
  reader.AddListener(nullptr);
  reader.Step();
  EXPECT_EQ(tokens, (Tokens{"1 char a"}));
}

TEST(ScenarioListenerLifetime, DestroyedListenerLeavesEveryReader) {
  Tokens tokens;
  ScenarioReader one(Named(u"ab", "one.tsl"));
  ScenarioReader two(Named(u"ab", "two.tsl"));
  RecordingListener stays(&tokens, "stays ");
  {
    RecordingListener gone(&tokens, "gone ");
    one.AddListener(&gone);
    two.AddListener(&gone);
    one.AddListener(&stays);
  }
  one.Step();
  two.Step();
  EXPECT_EQ(tokens, (Tokens{"stays char a"}));
}

TEST(ScenarioListenerLifetime, ListenerOutlivingItsReaderIsHarmless) {
  Tokens tokens;
  RecordingListener listener(&tokens);
  {
    ScenarioReader reader(Named(u"a", "main.tsl"));
    reader.AddListener(&listener);
    reader.Step();
  }
  // Teardown order: the reader went first; the listener's destructor must not
  // reach for it.
  EXPECT_EQ(tokens, (Tokens{"char a"}));
}

}  // namespace
}  // namespace tessel
