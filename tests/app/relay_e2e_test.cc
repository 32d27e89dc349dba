// The terminal loop: every byte from the board on the screen, every key to the board.

#include <gtest/gtest.h>

#include "tests/app/app_session.h"

namespace mvex::apptest {
namespace {

TEST(RelayE2eTest, ShowsBoardBytesWithGlyphsForControlBytesAndDropsZero) {
  AppSession app;
  ASSERT_TRUE(app.ready());
  app.board.send(
      std::string("AB\x1b[2JC\0D\x08"
                  "E\x0c\x0e\x0f|",
                  15));
  ASSERT_TRUE(app.screen->waitForText("|"))
      << app.screen->screen() << testing::PrintToString(app.screen->output());
  EXPECT_EQ("AB\uF01B[2JCD\uF008E\uF00C\uF00E\uF00F|", app.screen->row(6));
  EXPECT_EQ("***** MORVEX TERMINAL 1.02 *****", app.screen->row(2)) << "the screen was cleared";
}

TEST(RelayE2eTest, KeysGoToTheBoardAsTheirKeyStringsAndAreNotShownLocally) {
  AppSession app;
  ASSERT_TRUE(app.ready());
  app.screen->type("hello");
  app.screen->pressKey(VTERM_KEY_UP);
  app.screen->pressBackspace();
  app.screen->pressEnter();
  const std::string expected = "hello\xFF\x48\x08\x0D";
  ASSERT_TRUE(app.board.waitReceived(expected.size()));
  EXPECT_EQ(expected, app.sentToBoard());
  EXPECT_EQ("", app.screen->row(6)) << "keys are echoed by the board, not locally";
}

TEST(RelayE2eTest, ABurstIsShownCompletelyBeforeTheNextKeyIsSent) {
  // A long pacing delay: a burst split over two passes would finish only 300 ms after the key.
  AppSession app({"9600", "300"});
  ASSERT_TRUE(app.ready());
  // Hold the loop in the short menu so that the whole burst waits in the line's buffer.
  app.screen->pressEsc();
  ASSERT_TRUE(app.screen->waitForText("[[[ Quit ]]]"));
  std::string burst;
  for (int i = 0; i < 60; ++i) burst += "burst line " + std::to_string(i) + "\r\n";
  app.board.send(burst + "end of burst");
  app.screen->pump(milliseconds(100));
  app.screen->type("xk");  // x dismisses the menu; k goes to the board in the next pass
  ASSERT_TRUE(app.board.waitReceivedText("k"));
  app.screen->pump(milliseconds(100));
  EXPECT_NE(std::string::npos, app.screen->output().find(onScreen(burst + "end of burst")))
      << "the burst was not shown completely before the key was sent";
  EXPECT_EQ("k", app.board.received());
}

TEST(RelayE2eTest, LosesNoByteOfALongStream) {
  AppSession app;
  ASSERT_TRUE(app.ready());
  std::string sent;
  for (int i = 0; i < 2000; ++i) sent += std::to_string(i) + (i % 10 == 9 ? "\r\n" : " ");
  app.board.send(sent + "#done");
  ASSERT_TRUE(app.screen->waitForText("#done", seconds(20)));
  const std::string& output = app.screen->output();
  EXPECT_NE(std::string::npos, output.find(onScreen(sent + "#done"))) << "bytes lost or reordered";
}

}  // namespace
}  // namespace mvex::apptest
