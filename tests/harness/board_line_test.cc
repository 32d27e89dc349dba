#include "tests/harness/board_line.h"

#include <gtest/gtest.h>

#include "tests/harness/screen_session.h"
#include "tests/harness/test_support.h"

namespace mvex::harness {
namespace {

using std::chrono::milliseconds;

SessionOptions onLine(const BoardLine& line, const std::string& script) {
  SessionOptions options;
  options.argv = shellScript(script, {line.devicePath()});
  return options;
}

TEST(BoardLineTest, BoardAndProgramExchangeBytes) {
  BoardLine line;
  ASSERT_TRUE(line.ok());
  ScreenSession program(onLine(
      line,
      "stty raw -echo <\"$1\"; printf ready >\"$1\"; head -c 5 <\"$1\" | tr a-z A-Z >\"$1\""));
  ASSERT_TRUE(line.waitReceivedText("ready")) << program.screen();
  line.send("hello");
  ASSERT_TRUE(line.waitReceived(10)) << line.received();
  EXPECT_EQ(0, program.waitExit()) << program.screen();
  line.pump();
  EXPECT_EQ("readyHELLO", line.received());
}

TEST(BoardLineTest, LineStartsRawSoBytesArriveUnchangedAndAreNotEchoed) {
  BoardLine line;
  ASSERT_TRUE(line.ok());
  EXPECT_EQ(0u, line.lineSettings().c_lflag & (ECHO | ICANON | ISIG));
  line.send("ab\r\x03");
  SessionOptions options = onLine(line, "head -c 4 <\"$1\" | od -An -tx1");
  options.stdoutToFile = true;
  ScreenSession program(std::move(options));
  EXPECT_EQ(0, program.waitExit()) << program.screen();
  EXPECT_EQ(" 61 62 0d 03\n", program.stdoutText());
  line.pump();
  EXPECT_EQ("", line.received());
}

TEST(BoardLineTest, SendsLongDataCompletelyWhileTheProgramReadsIt) {
  BoardLine line;
  ASSERT_TRUE(line.ok());
  SessionOptions options = onLine(line, "head -c 100000 <\"$1\" | wc -c");
  options.stdoutToFile = true;
  ScreenSession program(std::move(options));
  line.send(std::string(100000, 'x'));
  EXPECT_EQ(0, program.waitExit()) << program.screen();
  EXPECT_EQ("100000\n", program.stdoutText());
}

TEST(BoardLineTest, ClosingTheBoardSideEndsTheProgramsReading) {
  BoardLine line;
  ASSERT_TRUE(line.ok());
  ScreenSession program(
      onLine(line, "printf ready >\"$1\"; cat <\"$1\" >/dev/null 2>&1; echo line closed"));
  ASSERT_TRUE(line.waitReceivedText("ready"));
  line.closeBoardSide();
  EXPECT_TRUE(program.waitForText("line closed")) << program.screen();
  EXPECT_EQ(0, program.waitExit());
  line.send("ignored");
  line.pump();
  EXPECT_EQ("ready", line.received());
  EXPECT_FALSE(line.waitReceived(6, milliseconds(0)));
}

TEST(BoardLineTest, WaitsGiveUpAtTheirDeadline) {
  BoardLine line;
  ASSERT_TRUE(line.ok());
  EXPECT_FALSE(line.waitReceived(1, milliseconds(50)));
  EXPECT_FALSE(line.waitReceivedText("x", milliseconds(50)));
  EXPECT_EQ("", line.received());
}

}  // namespace
}  // namespace mvex::harness
