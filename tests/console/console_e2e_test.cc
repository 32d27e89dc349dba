#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/console/exercise_session.h"

namespace mvex::harness {
namespace {

TEST(ConsoleOutputTest, EscapeBytesShowAsAGlyphAndDoNotClearTheScreen) {
  ScreenSession session(exerciseOptions(
      {"print:first", "newline", "print:\\e[2J", "newline", "print:ready", "hold"}));
  ASSERT_TRUE(session.waitForText("ready")) << session.screen();
  EXPECT_EQ("first", session.row(1));
  EXPECT_EQ("\xef\x80\x9b[2J", session.row(2));  // U+F01B then the rest as text
  EXPECT_EQ(0xF01Bu, session.cell(2, 1));
  session.type("k");
  EXPECT_EQ(0, session.waitExit());
}

TEST(ConsoleOutputTest, BackspaceAfterTwoLettersLeavesThemAndAGlyph) {
  ScreenSession session(
      exerciseOptions({"print:ab\\b", "print:@", "newline", "print:ready", "hold"}));
  ASSERT_TRUE(session.waitForText("ready")) << session.screen();
  EXPECT_EQ("ab\xef\x80\x88@", session.row(1));
  EXPECT_EQ(0xF008u, session.cell(1, 3));
  session.type("k");
  EXPECT_EQ(0, session.waitExit());
}

TEST(ConsoleOutputTest, LocateMovesOnlyToValidPositionsAndKeepsZeroCoordinates) {
  const struct {
    std::string locate;
    int row, column;
  } kCases[] = {
      {"locate:5,10,1", 5, 10},  // valid
      {"locate:0,81,1", 3, 7},   // column past the screen: stays
      {"locate:-1,5,1", 3, 7},   // negative row: stays
      {"locate:25,5,1", 3, 7},   // below the text view: stays
      {"locate:0,1,1", 3, 1},    // keeps the row
      {"locate:9,0,1", 9, 7},    // keeps the column
      {"locate:0,0,1", 3, 7},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.locate);
    ScreenSession session(exerciseOptions(
        {"locate:3,7,1", c.locate, "print:@", "locate:20,1,1", "print:ready", "hold"}));
    ASSERT_TRUE(session.waitForText("ready")) << session.screen();
    EXPECT_EQ(std::make_pair(c.row, c.column), findCell(session, '@')) << session.screen();
    session.type("k");
    EXPECT_EQ(0, session.waitExit());
  }
}

TEST(ConsoleOutputTest, SkipColumnsMovesWithoutWritingAndWrapsToTheNextLine) {
  const std::string line(70, '.');
  ScreenSession session(exerciseOptions(
      {"print:" + line, "locate:1,2,1", "skip:32", "print:@", "locate:5,1,1", "print:" + line,
       "locate:5,60,1", "skip:32", "print:#", "locate:20,1,1", "print:ready", "hold"}));
  ASSERT_TRUE(session.waitForText("ready")) << session.screen();
  std::string expected = line;
  expected[33] = '@';
  EXPECT_EQ(expected, session.row(1));
  EXPECT_EQ(line, session.row(5));
  EXPECT_EQ(std::make_pair(6, 12), findCell(session, '#')) << session.screen();
  EXPECT_EQ("           #", session.row(6));
  session.type("k");
  EXPECT_EQ(0, session.waitExit());
}

TEST(ConsoleOutputTest, CursorQueriesReportTheTerminalsPosition) {
  ScreenSession session(
      recordingOptions({"locate:4,9,1", "col", "row", "print:abc", "col", "print:ready", "hold"}));
  ASSERT_TRUE(session.waitForText("ready")) << session.screen();
  session.type("k");
  EXPECT_EQ(0, session.waitExit());
  EXPECT_EQ("col=9\nrow=4\ncol=12\n", results(session));
}

TEST(ConsoleOutputTest, SilentTerminalFallsBackToTheTrackedPositionAndFinishes) {
  SessionOptions options =
      recordingOptions({"print:abc", "col", "print:de\\nxy", "col", "row", "print:ready", "hold"});
  options.answerQueries = false;
  ScreenSession session(std::move(options));
  ASSERT_TRUE(session.waitForText("xyready", std::chrono::seconds(20))) << session.screen();
  EXPECT_EQ("abcde", session.row(1));
  session.type("k");
  ASSERT_EQ(0, session.waitExit(std::chrono::seconds(20))) << session.screen();
  EXPECT_EQ("col=4\ncol=3\nrow=2\n", results(session));
}

}  // namespace
}  // namespace mvex::harness
