// The autoplayer's bookkeeping without a game: the path records that cross
// the process boundary, the order in which choice trees are explored, and
// the counts of the report.
#include <gtest/gtest.h>

#include "app/playtest/PathRunner.h"
#include "app/playtest/PlayReport.h"

namespace tessel {
namespace {

ChoiceRecord Choice(const std::string& file, int line, int count, int taken) {
  return ChoiceRecord{file, line, count, taken, "target.tsl"};
}

TEST(PathRecords, SurviveTheRoundTripWithAwkwardText) {
  ChoiceRecord choice = Choice("odd\tname.tsl", 12, 3, 2);
  ProblemRecord problem{ProblemKind::kScriptError, "a.tsl", 4, "line one\nline\\two\tend"};
  const std::string text = ChoiceLine(choice) + ReadLine("main.tsl") + AvailableLine("x/y.tsl") +
                           ProblemLine(problem) + "garbage line\n" + "choice\tshort\n" +
                           EndingLine("the story ended");
  const PathResult result = ParsePathResult(text);
  ASSERT_EQ(result.choices.size(), 1u);
  EXPECT_EQ(result.choices[0].file, "odd\tname.tsl");
  EXPECT_EQ(result.choices[0].line, 12);
  EXPECT_EQ(result.choices[0].count, 3);
  EXPECT_EQ(result.choices[0].taken, 2);
  EXPECT_EQ(result.scenarios_read, std::vector<std::string>{"main.tsl"});
  EXPECT_EQ(result.scenarios_available, std::vector<std::string>{"x/y.tsl"});
  ASSERT_EQ(result.problems.size(), 1u);
  EXPECT_EQ(result.problems[0].message, "line one\nline\\two\tend");
  EXPECT_EQ(result.problems[0].kind, ProblemKind::kScriptError);
  EXPECT_EQ(result.ending, "the story ended");
}

TEST(PathRecords, APathCutShortHasNoEnding) {
  const PathResult result = ParsePathResult(ReadLine("main.tsl") + "choice\tmain.tsl\t3");
  EXPECT_TRUE(result.ending.empty());
  EXPECT_TRUE(result.choices.empty());
}

TEST(LuaPositions, AreSplitOnlyWhenTheMessageStartsWithThem) {
  std::string file;
  int line = 0;
  ASSERT_TRUE(SplitLuaPosition("story/a.tsl:14: attempt to call nil", file, line));
  EXPECT_EQ(file, "story/a.tsl");
  EXPECT_EQ(line, 14);
  EXPECT_FALSE(SplitLuaPosition("attempt to call nil", file, line));
  EXPECT_FALSE(SplitLuaPosition("a.tsl: no line", file, line));
  EXPECT_FALSE(SplitLuaPosition(":3: no file", file, line));
}

TEST(ChoiceExploration, GoesDepthFirstAndTakesEveryChoiceOfAListOnce) {
  std::vector<std::string> explored;
  PathResult first;
  first.choices = {Choice("main.tsl", 3, 3, 0), Choice("a.tsl", 5, 2, 0)};
  const auto next = NextPrefixes(first, 0, explored);
  // The deepest list's other choice first, then main's second and third.
  ASSERT_EQ(next.size(), 3u);
  EXPECT_EQ(next[0], (std::vector<int>{0, 1}));
  EXPECT_EQ(next[1], (std::vector<int>{1}));
  EXPECT_EQ(next[2], (std::vector<int>{2}));

  // A later path meets a.tsl:5 again (branches join): nothing new there, but
  // its own list below the prefix is explored.
  PathResult joined;
  joined.choices = {Choice("main.tsl", 3, 3, 1), Choice("a.tsl", 5, 2, 0), Choice("b.tsl", 2, 2, 0)};
  const auto more = NextPrefixes(joined, 1, explored);
  ASSERT_EQ(more.size(), 1u);
  EXPECT_EQ(more[0], (std::vector<int>{1, 0, 1}));

  // The prefix's own lists are never re-expanded.
  PathResult replay;
  replay.choices = {Choice("main.tsl", 3, 3, 2)};
  EXPECT_TRUE(NextPrefixes(replay, 1, explored).empty());
}

TEST(Report, CountsPathsListsFilesAndMergesProblemsMetOnSeveralPaths) {
  RunSummary summary;
  summary.policy = ChoosePolicy::kAll;
  ProblemRecord shared{ProblemKind::kMissingFile, "main.tsl", 2, "picture 'x.png' does not exist"};
  for (int taken = 0; taken < 2; ++taken) {
    PathResult path;
    path.number = taken + 1;
    path.choices = {Choice("main.tsl", 5, 2, taken)};
    path.scenarios_read = {"main.tsl", taken == 0 ? "a.tsl" : "B.TSL"};
    path.scenarios_available = {"main.tsl", "a.tsl", "b.tsl", "funcdef.tsl", "spare.tsl"};
    path.problems = {shared};
    path.ending = "the story ended";
    summary.paths.push_back(path);
  }
  int status = -1;
  const std::string report = FormatReport(summary, status);
  EXPECT_EQ(status, 1);
  EXPECT_NE(report.find("Paths played: 2\n  p01: main.tsl:5#1 (the story ended)\n"
                        "  p02: main.tsl:5#2 (the story ended)\n"),
            std::string::npos)
      << report;
  EXPECT_NE(report.find("Choice lists: 1 seen, 2 of 2 choices taken\n  main.tsl:5: 2 choices, taken: 1 2\n"),
            std::string::npos)
      << report;
  EXPECT_NE(report.find("Scenario files reached: 3\n"), std::string::npos) << report;
  // Names match as Windows matches them; funcdef.tsl is no scenario.
  EXPECT_NE(report.find("Scenario files never reached: 1\n  spare.tsl\n"), std::string::npos) << report;
  EXPECT_NE(report.find("Problems: 1\n  main.tsl:2: missing file: picture 'x.png' does not exist [p01 p02]"),
            std::string::npos)
      << report;
}

TEST(Report, ADeadPathIsAProblemAndTimeRunningOutIsStatusThree) {
  RunSummary summary;
  PathResult died;
  died.number = 1;
  died.choices = {Choice("main.tsl", 5, 2, 0)};
  died.status = 139;
  summary.paths.push_back(died);
  int status = -1;
  std::string report = FormatReport(summary, status);
  EXPECT_EQ(status, 1);
  EXPECT_NE(report.find("main.tsl:5: panic: the engine ended without finishing the path (exit status "
                        "139) after its last choice [p01]"),
            std::string::npos)
      << report;

  summary.paths.clear();
  summary.timed_out = true;
  report = FormatReport(summary, status);
  EXPECT_EQ(status, 3);
  EXPECT_NE(report.find("Out of time"), std::string::npos);
}

TEST(ScreenshotNames, HoldPathOrderFileLineAndKindAndNothingAFileNameCannot) {
  EXPECT_EQ(ScreenshotName(2, 14, "ja_story.tsl", 14, "wait"), "p02-014-ja_story.tsl-L14-wait.png");
  EXPECT_EQ(ScreenshotName(1, 1, "story/a b.tsl", 3, "choice"), "p01-001-story_a_b.tsl-L3-choice.png");
  EXPECT_EQ(ScreenshotName(1, 1, "", 0, "wait"), "p01-001-_-L0-wait.png");
}

}  // namespace
}  // namespace tessel
