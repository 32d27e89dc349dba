// Start-up, the menus and the ways out of the program, on a real terminal.

#include <gtest/gtest.h>

#include "tests/app/app_session.h"

namespace mvex::apptest {
namespace {

TEST(StartE2eTest, ShowsTheFiveLineBannerAndEndsWithStatusZeroAfterQuit) {
  AppSession app;
  ASSERT_TRUE(app.ready()) << app.screen->screen();
  const std::vector<std::string> banner = {"", "***** MORVEX TERMINAL 1.02 *****",
                                           "Press reset switch for MORVEX menu",
                                           "Press Esc to show options or quit", ""};
  for (int row = 1; row <= 5; ++row) EXPECT_EQ(banner[row - 1], app.screen->row(row)) << row;
  EXPECT_EQ(6, app.screen->cursorRow());
  EXPECT_EQ(1, app.screen->cursorColumn());
  EXPECT_EQ(0, app.quit()) << app.screen->screen();
}

TEST(StartE2eTest, NamedPortThatCannotOpenSaysSoAndEndsAfterAKey) {
  harness::SessionOptions options;
  options.argv = {MVEX_EXTERM_PATH, "/nonexistent/ttyNONE"};
  harness::ScreenSession screen(options);
  ASSERT_TRUE(screen.waitForText("Can't open serial port. Press any key...")) << screen.screen();
  EXPECT_EQ("Press Esc to show options or quit", screen.row(4));
  EXPECT_EQ("Can't open serial port. Press any key...", screen.row(6));
  screen.pump(milliseconds(200));
  EXPECT_EQ(-1, screen.waitExit(milliseconds(100))) << "ended before a key was pressed";
}

TEST(StartE2eTest, FailurePathEndsWithStatusZeroOnAKey) {
  harness::SessionOptions options;
  options.argv = {MVEX_EXTERM_PATH, "/nonexistent/ttyNONE", "9600"};
  harness::ScreenSession screen(options);
  ASSERT_TRUE(screen.waitForText("Press any key...")) << screen.screen();
  screen.type("x");
  const int status = screen.waitExit();
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(0, WEXITSTATUS(status));
}

TEST(StartE2eTest, HelpAndVersionPrintAndEndWithStatusZero) {
  for (const std::string option : {"--help", "--version"}) {
    SCOPED_TRACE(option);
    harness::SessionOptions options;
    options.argv = {MVEX_EXTERM_PATH, option};
    harness::ScreenSession screen(options);
    const int status = screen.waitExit();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(0, WEXITSTATUS(status));
    EXPECT_NE(std::string::npos, screen.output().find("mvexterm")) << screen.output();
    EXPECT_EQ(std::string::npos, screen.output().find("MORVEX TERMINAL")) << screen.output();
  }
}

TEST(MenuE2eTest, FullMenuDismissedByAnyOtherKeyRestoresTheLineAndSendsNothing) {
  for (const bool arrow : {false, true}) {
    SCOPED_TRACE(arrow ? "arrow key" : "x");
    AppSession app;
    ASSERT_TRUE(app.ready());
    ASSERT_TRUE(app.boardPrompt("hello\r\n"));
    app.screen->pressEsc();
    ASSERT_TRUE(app.screen->waitForText("[[[ Load Dump Quit ]]]")) << app.screen->screen();
    EXPECT_EQ("> [[[ Load Dump Quit ]]]", app.screen->row(7));
    if (arrow) {
      app.screen->pressKey(VTERM_KEY_UP);
    } else {
      app.screen->type("x");
    }
    // The menu is blanked and the cursor stands right after the prompt again.
    EXPECT_TRUE(app.screen->waitFor([&] {
      return app.screen->row(7) == ">" && app.screen->cursorRow() == 7 &&
             app.screen->cursorColumn() == 3;
    })) << app.screen->screen()
        << "\ncursor " << app.screen->cursorRow() << "," << app.screen->cursorColumn();
    EXPECT_EQ("", app.sentToBoard());
  }
}

TEST(MenuE2eTest, PromptIsSeenAcrossAZeroByteButNotAfterAnotherByte) {
  const struct {
    std::string fromBoard;
    std::string shown;
    std::string menu;
  } kCases[] = {
      {std::string(">\0 ", 3), "> ", "[[[ Load Dump Quit ]]]"},
      {"> \r\n", "> \r\n", "[[[ Quit ]]]"},
      {"no prompt", "no prompt", "[[[ Quit ]]]"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.shown);
    AppSession app;
    ASSERT_TRUE(app.ready());
    app.board.send(c.fromBoard);
    ASSERT_TRUE(app.screen->waitFor([&] {
      return app.screen->output().ends_with(onScreen(c.shown));
    })) << testing::PrintToString(app.screen->output());
    app.screen->pressEsc();
    EXPECT_TRUE(app.screen->waitForText(c.menu)) << app.screen->screen();
    if (c.menu == "[[[ Quit ]]]") {
      EXPECT_EQ(std::string::npos, app.screen->screen().find("Load Dump"));
    }
  }
}

TEST(MenuE2eTest, ShortMenuAtTheBottomRowScrollsAndPutsTheCursorBack) {
  AppSession app;
  ASSERT_TRUE(app.ready());
  std::string lines;
  for (int i = 1; i <= 30; ++i) lines += "line " + std::to_string(i) + "\r\n";
  app.board.send(lines + "abc");
  ASSERT_TRUE(app.screen->waitFor([&] { return app.screen->row(24) == "abc"; }));
  app.screen->pressEsc();
  ASSERT_TRUE(app.screen->waitFor([&] { return app.screen->row(24) == "[[[ Quit ]]]"; }))
      << app.screen->screen();
  EXPECT_EQ("abc", app.screen->row(23));
  app.screen->type("l");  // Load is offered only at the board's prompt
  // The menu line is blanked and the cursor goes back behind "abc", now one row higher.
  EXPECT_TRUE(app.screen->waitFor([&] {
    return app.screen->row(24).empty() && app.screen->cursorRow() == 23 &&
           app.screen->cursorColumn() == 4;
  })) << app.screen->screen()
      << "\ncursor " << app.screen->cursorRow() << "," << app.screen->cursorColumn();
  EXPECT_EQ("abc", app.screen->row(23));
  EXPECT_EQ("", app.sentToBoard());
}

TEST(MenuE2eTest, QuitEchoesTheChoiceInUpperCaseAndEnds) {
  AppSession app;
  ASSERT_TRUE(app.ready());
  ASSERT_TRUE(app.boardPrompt());
  app.screen->pressEsc();
  ASSERT_TRUE(app.screen->waitForText("[[[ Load Dump Quit ]]]"));
  app.screen->type("q");
  const int status = app.screen->waitExit();
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(0, WEXITSTATUS(status));
  EXPECT_EQ("", app.board.received());
  // The terminal is given back without wiping what the session showed.
  EXPECT_EQ("***** MORVEX TERMINAL 1.02 *****", app.screen->row(2)) << app.screen->screen();
  EXPECT_NE(std::string::npos, app.screen->screen().find("[[[ Load Dump Quit ]]] Q"));
}

}  // namespace
}  // namespace mvex::apptest
