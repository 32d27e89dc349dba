// A board that floods the line while the user presses Esc: nothing is lost or reordered, and the
// menu comes once everything received has been shown.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <thread>

#include "tests/app/app_session.h"
#include "tests/faults/fault_support.h"

namespace mvex::faults {
namespace {

/// `bytes` of numbered printable lines with CR LF ends: a lost, doubled or moved piece shows.
std::string floodText(size_t bytes) {
  std::string text;
  char line[80];
  for (int n = 0; text.size() < bytes; ++n) {
    std::snprintf(line, sizeof line,
                  "%08d ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz\r\n", n);
    text += line;
  }
  return text;
}

/// The end of the flood text that `shown` (screen output) begins with: how many bytes of
/// `expected` it repeats exactly.
size_t commonLength(const std::string& expected, const std::string& shown) {
  const size_t limit = std::min(expected.size(), shown.size());
  return std::mismatch(expected.begin(), expected.begin() + static_cast<ptrdiff_t>(limit),
                       shown.begin())
             .first -
         expected.begin();
}

TEST(FloodTest, EscDuringAFloodShowsTheMenuBetweenBytesAndLosesOrMovesNone) {
  FaultSession session;
  ASSERT_TRUE(session.go()) << session.screen->screen();
  // The flood comes right after the banner's last (empty) line, which may not have been read
  // from the terminal yet.
  const std::string bannerTail = "Press Esc to show options or quit\r\n\r\n";
  ASSERT_TRUE(session.screen->waitFor(
      [&] { return session.screen->output().find(bannerTail) != std::string::npos; }));
  const size_t bannerEnd = session.screen->output().find(bannerTail) + bannerTail.size();
  const std::string flood = floodText(size_t{384} * 1024);
  const std::string expected = apptest::onScreen(flood);
  std::thread board([&] { session.board.send(flood); });
  const bool flowing = session.screen->waitFor(
      [&] { return session.screen->output().size() > bannerEnd + size_t{32} * 1024; }, seconds(60));
  if (flowing) session.screen->pressEsc();
  // The menu comes once the drain has emptied the line; the flood waits in the line meanwhile.
  const bool menu =
      flowing && session.screen->waitFor([&] { return session.screen->output().ends_with("]]] "); },
                                         seconds(60));
  if (menu) session.screen->type("x");
  const bool all =
      menu && session.screen->waitFor(
                  [&] {
                    const std::string end = expected.substr(expected.size() - 80);
                    return session.screen->output().find(end, bannerEnd) != std::string::npos;
                  },
                  seconds(120));
  board.join();
  // The key has taken the menu off the screen before anything else is typed.
  EXPECT_TRUE(session.screen->waitFor([&] { return !session.screen->output().ends_with("]]] "); }));
  ASSERT_TRUE(all) << "flowing " << flowing << ", menu " << menu << ", shown "
                   << session.screen->output().size() - bannerEnd << " of " << expected.size()
                   << "\n"
                   << session.screen->screen();

  const std::string shown = session.screen->output().substr(bannerEnd);
  const size_t menuAt = shown.find("[[[ Quit ]]] ");
  ASSERT_NE(std::string::npos, menuAt);
  const size_t before = commonLength(expected, shown.substr(0, menuAt));
  EXPECT_EQ(std::string::npos, shown.substr(before, menuAt - before).find("ABC"))
      << "flood text between the shown prefix and the menu; expected "
      << testing::PrintToString(expected.substr(before, 60)) << ", shown "
      << testing::PrintToString(shown.substr(before, 60));
  // After the menu is taken off the screen the flood goes on where it stopped, if it was not
  // all shown before the drain caught up.
  const std::string rest = expected.substr(before);
  if (rest.empty()) {
    EXPECT_EQ(0, session.quit()) << session.screen->screen();
    return;
  }
  const size_t resumed = shown.find(rest.substr(0, 40), menuAt);
  ASSERT_NE(std::string::npos, resumed);
  EXPECT_EQ(std::string::npos, shown.substr(menuAt, resumed - menuAt).find("ABC"));
  const std::string after = shown.substr(resumed);
  const size_t same = commonLength(rest, after);
  EXPECT_EQ(rest.size(), same) << "differs near: " << rest.substr(same, 60)
                               << "\nshown: " << after.substr(same, 60);
  EXPECT_EQ(rest.size(), after.size());
  EXPECT_EQ(0, session.quit()) << session.screen->screen();
}

}  // namespace
}  // namespace mvex::faults
