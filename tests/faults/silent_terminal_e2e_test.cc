// A terminal that never answers the cursor-position query: menus and file prompts still work.

#include <gtest/gtest.h>

#include "tests/faults/fault_support.h"
#include "tests/harness/file_text.h"

namespace mvex::faults {
namespace {

TEST(SilentTerminalTest, LoadAndDumpWorkWithoutAnswersToQueries) {
  harness::SessionOptions options;
  options.answerQueries = false;
  FaultSession session({"9600", "2"}, Starter::kExec, options);
  ASSERT_TRUE(session.go()) << session.screen->screen();
  ASSERT_TRUE(harness::writeFile(session.path("small.hex"), "0000: 01 02 03\n0003: 04\n"));

  ASSERT_TRUE(session.boardPrompt());
  ASSERT_TRUE(session.choose('l', "Hex or MVX file to load: ", "small.hex"))
      << session.screen->screen();
  ASSERT_TRUE(session.board.waitReceivedText("0000: 01 02 03\r0003: 04\r"))
      << session.board.received();

  session.board.send("\r\n");
  ASSERT_TRUE(session.boardPrompt());
  ASSERT_TRUE(session.choose('d', "File to write hex bytes: ", "out.hex"))
      << session.screen->screen();
  ASSERT_TRUE(session.board.waitReceivedText("Y")) << session.screen->screen();
  session.board.send("Y\r\n0000: 0A 0B\r\n> ");
  ASSERT_TRUE(session.screen->waitFor([&] {
    return harness::readFile(session.path("out.hex")).value_or("") == "0000: 0A 0B\r\nEND\n";
  })) << harness::readFile(session.path("out.hex")).value_or("(none)");
  EXPECT_EQ(0, session.quit()) << session.screen->screen();
  EXPECT_TRUE(session.settingsGivenBack()) << session.settingsReport();
}

}  // namespace
}  // namespace mvex::faults
