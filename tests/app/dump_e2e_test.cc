// Dump: the request, the capture into the file, the progress bar, cancel and failures.

#include <gtest/gtest.h>

#include "tests/app/app_session.h"

namespace mvex::apptest {
namespace {

/// Starts a dump into `fileName` and waits until the board received the request and the
/// progress bar stands on the screen.
bool startDump(AppSession& app, const std::string& fileName) {
  if (!app.boardPrompt()) return false;
  if (!app.choose('d', "File to write hex bytes: ", fileName)) return false;
  // The bar is drawn after the request; the cursor then stands in its first cell.
  return app.screen->waitForText("Extracting and saving...") && app.board.waitReceivedText("Y") &&
         app.screen->waitFor([&] {
           return app.screen->row(app.screen->cursorRow()).starts_with("|") &&
                  app.screen->cursorColumn() == 2;
         });
}

TEST(DumpE2eTest, CapturesTheListingExactlyAndEndsItWithEnd) {
  AppSession app;
  ASSERT_TRUE(app.ready());
  ASSERT_TRUE(startDump(app, "out.hex")) << app.screen->screen();
  const std::string hex = "0000: 01 02 0A FF\r\n0004: 3C\r\n";
  app.board.send("Y\r\n" + hex + "> ");
  ASSERT_TRUE(app.screen->waitFor([&] { return app.readFile("out.hex").ends_with("END\n"); }))
      << app.screen->screen();
  EXPECT_EQ(hex + "END\n", app.readFile("out.hex"));
  EXPECT_EQ("Y", app.sentToBoard());
  // The bar line, then the byte that ended the capture on the next line, then the board's space.
  ASSERT_TRUE(app.screen->waitFor([&] { return app.screen->output().ends_with("> "); }));
  const int row = app.screen->cursorRow();
  EXPECT_EQ("|                                |", app.screen->row(row - 1));
  EXPECT_EQ(">", app.screen->row(row));
  // The ">" went to the capture, so the prompt is not seen until the board sends it again.
  app.screen->pressEsc();
  EXPECT_TRUE(app.screen->waitForText("[[[ Quit ]]]")) << app.screen->screen();
}

TEST(DumpE2eTest, DropsThreeBytesAndEndsAtTheFirstByteOutsideHexText) {
  const struct {
    std::string fromBoard;
    std::string file;
  } kCases[] = {
      {"abc0000: 12\r\n>", "0000: 12\r\nEND\n"},
      {"Y\r\n0000: 1a 2B", "0000: 1END\n"},
      {std::string("Y\r\n0000:\t01", 10), "0000:END\n"},
      {std::string("Y\r\n00\0"
                   "00",
                   8),
       "00END\n"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.file);
    AppSession app;
    ASSERT_TRUE(app.ready());
    ASSERT_TRUE(startDump(app, "out.hex"));
    app.board.send(c.fromBoard);
    ASSERT_TRUE(app.screen->waitFor([&] { return app.readFile("out.hex").ends_with("END\n"); }))
        << app.screen->screen();
    EXPECT_EQ(c.file, app.readFile("out.hex"));
  }
}

TEST(DumpE2eTest, ProgressMarksComeAt893AcceptedBytesAndFillTheBarAt32Times896) {
  AppSession app;
  ASSERT_TRUE(app.ready());
  ASSERT_TRUE(startDump(app, "big.hex"));
  const int barRow = app.screen->cursorRow();
  const std::string text = hexListing(32 * 896 - 3);
  app.board.send("Y\r\n" + text.substr(0, 892));
  app.screen->pump(milliseconds(300));
  EXPECT_EQ("|                                |", app.screen->row(barRow));
  app.board.send(text.substr(892, 1));
  ASSERT_TRUE(app.screen->waitFor([&] { return app.screen->row(barRow).starts_with("|*"); }));
  EXPECT_EQ("|*                               |", app.screen->row(barRow));
  app.board.send(text.substr(893) + "> ");
  const std::string fullBar = "|" + std::string(32, '*') + "|";
  EXPECT_TRUE(app.screen->waitFor([&] {
    return app.readFile("big.hex").ends_with("END\n") && app.screen->row(barRow) == fullBar;
  })) << app.screen->row(barRow);
  EXPECT_EQ(text + "END\n", app.readFile("big.hex"));
}

TEST(DumpE2eTest, EscCancelsKeepingWhatWasCapturedWithoutEnd) {
  AppSession app;
  ASSERT_TRUE(app.ready());
  ASSERT_TRUE(startDump(app, "part.hex"));
  const std::string text = hexListing(900);
  app.board.send("Y\r\n" + text);
  ASSERT_TRUE(
      app.screen->waitFor([&] { return app.screen->screen().find("|*") != std::string::npos; }));
  app.screen->pressEsc();
  ASSERT_TRUE(app.screen->waitForText("Cancelling dump, displaying remaining output."))
      << app.screen->screen();
  app.screen->pump(milliseconds(200));
  const std::string kept = app.readFile("part.hex");
  EXPECT_GE(kept.size(), 893u);
  EXPECT_EQ(text.substr(0, kept.size()), kept) << "the file must hold what was accepted so far";
  // The board's prompt no longer counts after a cancel.
  app.board.send("\r\n");
  app.screen->pump(milliseconds(100));
  app.screen->pressEsc();
  EXPECT_TRUE(app.screen->waitForText("[[[ Quit ]]]")) << app.screen->screen();
}

TEST(DumpE2eTest, BoardThatNeverAnswersIsCancelledWithAnEmptyFile) {
  AppSession app;
  ASSERT_TRUE(app.ready());
  ASSERT_TRUE(startDump(app, "none.hex"));
  app.screen->pump(milliseconds(300));
  app.screen->type("abc");  // keys other than Esc are dropped during the capture
  app.screen->pressEsc();
  ASSERT_TRUE(app.screen->waitForText("Cancelling dump, displaying remaining output."));
  EXPECT_EQ("", app.readFile("none.hex"));
  EXPECT_TRUE(app.fileExists("none.hex"));
  EXPECT_EQ("Y", app.sentToBoard());
}

TEST(DumpE2eTest, UnwritablePathIsRefusedBeforeTheRequest) {
  AppSession app;
  ASSERT_TRUE(app.ready());
  ASSERT_TRUE(app.boardPrompt());
  ASSERT_TRUE(app.choose('d', "File to write hex bytes: ", "no/such/dir/out.hex"));
  ASSERT_TRUE(app.screen->waitForText("Can't open that file for output.")) << app.screen->screen();
  ASSERT_TRUE(app.screen->waitFor([&] { return app.screen->output().ends_with("> "); }));
  EXPECT_EQ("", app.sentToBoard());
}

TEST(DumpE2eTest, FullDiskIsReportedAfterTheFileIsClosed) {
  AppSession app;
  ASSERT_TRUE(app.ready());
  ASSERT_TRUE(startDump(app, "/dev/full"));
  app.board.send("Y\r\n0000: 01 02\r\n> ");
  ASSERT_TRUE(app.screen->waitForText("Can't write the whole file.")) << app.screen->screen();
}

}  // namespace
}  // namespace mvex::apptest
