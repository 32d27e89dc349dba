// A Dump whose file cannot be written completely says so; a cancelled one keeps what it took.

#include <gtest/gtest.h>

#include "tests/app/app_session.h"
#include "tests/faults/fault_support.h"
#include "tests/harness/file_text.h"

namespace mvex::faults {
namespace {

/// Starts a dump into `fileName` and waits until the board received the request.
bool startDump(FaultSession& session, const std::string& fileName) {
  return session.go() && session.boardPrompt() &&
         session.choose('d', "File to write hex bytes: ", fileName) &&
         session.screen->waitForText("Extracting and saving...") &&
         session.board.waitReceivedText("Y");
}

TEST(FullDiskTest, DumpIntoDevFullSaysTheFileIsIncompleteAndGoesOn) {
  FaultSession session;
  ASSERT_TRUE(startDump(session, "/dev/full")) << session.screen->screen();
  session.board.send("Y\r\n0000: 01 02\r\n> ");
  ASSERT_TRUE(session.screen->waitForText("Can't write the whole file."))
      << session.screen->screen();
  EXPECT_EQ(0, session.quit()) << session.screen->screen();
}

TEST(FullDiskTest, DumpOntoADiskThatFillsKeepsWhatFitAndSaysTheFileIsIncomplete) {
  SmallDisk disk(size_t{16} * 1024);
  if (!disk.ok()) GTEST_SKIP() << "no small disk for the test: " << disk.refusal();
  FaultSession session;
  ASSERT_TRUE(startDump(session, disk.file("out.hex"))) << session.screen->screen();
  const std::string text = apptest::hexListing(size_t{48} * 1024);
  session.board.send("Y\r\n" + text + ">");
  ASSERT_TRUE(session.screen->waitForText("Can't write the whole file.", seconds(30)))
      << session.screen->screen();
  const std::string kept = harness::readFile(disk.file("out.hex")).value_or("");
  EXPECT_GE(kept.size(), 8u * 1024) << "the first write-outs fit on the disk";
  EXPECT_LT(kept.size(), text.size());
  EXPECT_EQ(text.substr(0, kept.size()), kept) << "the file holds the listing's first bytes";
  EXPECT_EQ(0, session.quit()) << session.screen->screen();
}

TEST(FullDiskTest, DumpCancelledWithEscKeepsEveryByteAcceptedSoFar) {
  FaultSession session;
  ASSERT_TRUE(startDump(session, "part.hex")) << session.screen->screen();
  // Three dropped bytes and this listing bring the count to 20 marks exactly, so the 20th mark
  // shows that the capture has taken the listing's last byte.
  const std::string text = apptest::hexListing(20 * 896 - 3);
  session.board.send("Y\r\n" + text);
  ASSERT_TRUE(session.screen->waitFor([&] {
    return session.screen->screen().find(std::string(20, '*')) != std::string::npos;
  })) << session.screen->screen();
  session.screen->pressEsc();
  ASSERT_TRUE(session.screen->waitForText("Cancelling dump, displaying remaining output."))
      << session.screen->screen();
  ASSERT_TRUE(session.screen->waitFor([&] {
    return harness::readFile(session.path("part.hex")).value_or("") == text;
  })) << harness::readFile(session.path("part.hex")).value_or("").size()
      << " bytes kept of " << text.size();
  EXPECT_EQ(0, session.quit()) << session.screen->screen();
}

}  // namespace
}  // namespace mvex::faults
