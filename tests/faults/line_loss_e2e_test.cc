// The board's side of the line vanishes while mvexterm runs, as when a USB adapter is unplugged.

#include <gtest/gtest.h>

#include <functional>

#include "tests/app/app_session.h"
#include "tests/faults/fault_support.h"
#include "tests/harness/file_text.h"

namespace mvex::faults {
namespace {

/// The share of the elapsed time mvexterm spends on the CPU while it is left alone for
/// `duration`; a negative value when it ended meanwhile.
double cpuShare(FaultSession& session, milliseconds duration) {
  const auto before = cpuSeconds(session.screen->pid());
  const auto start = std::chrono::steady_clock::now();
  session.screen->pump(duration);
  const auto after = cpuSeconds(session.screen->pid());
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  if (!before || !after) return -1;
  return (*after - *before) / elapsed.count();
}

TEST(LineLossTest, MvextermNeitherCrashesNorSpinsAndStillQuitsGivingTheTerminalBack) {
  const struct {
    const char* moment;
    std::function<bool(FaultSession&)> reach;  // brings mvexterm to the moment
    std::function<bool(FaultSession&)> leave;  // what Esc does there, before the menu
  } kCases[] = {
      {"idle", [](FaultSession& s) { return s.boardPrompt(); }, [](FaultSession&) { return true; }},
      {"uploading",
       [](FaultSession& s) {
         std::string hex = "0000: 01 02 03\n";
         for (int i = 0; i < 200; ++i) hex += "0010: 0A 0B 0C 0D\n";
         if (!harness::writeFile(s.path("big.hex"), hex)) return false;
         return s.boardPrompt() && s.choose('l', "Hex or MVX file to load: ", "big.hex") &&
                s.board.waitReceived(5);
       },
       [](FaultSession& s) {
         s.screen->pressEsc();
         return s.screen->waitForText("Cancelling upload.");
       }},
      {"dumping",
       [](FaultSession& s) {
         return s.boardPrompt() && s.choose('d', "File to write hex bytes: ", "out.hex") &&
                s.board.waitReceivedText("Y");
       },
       [](FaultSession& s) {
         s.screen->pressEsc();
         return s.screen->waitForText("Cancelling dump, displaying remaining output.");
       }},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.moment);
    FaultSession session;
    ASSERT_TRUE(session.go()) << session.screen->screen();
    ASSERT_TRUE(c.reach(session)) << session.screen->screen();
    session.board.closeBoardSide();
    session.screen->type("abc");  // keys for a line that is gone
    const double share = cpuShare(session, milliseconds(3000));
    ASSERT_GE(share, 0) << "mvexterm ended after the line vanished\n" << session.screen->screen();
    EXPECT_LT(share, 0.3) << "mvexterm spins on the vanished line";
    ASSERT_TRUE(c.leave(session)) << session.screen->screen();
    EXPECT_EQ(0, session.quit()) << session.screen->screen();
    EXPECT_TRUE(session.settingsGivenBack()) << session.settingsReport();
  }
}

}  // namespace
}  // namespace mvex::faults
