#include "app/dump.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace mvex {
namespace {

TEST(DumpTest, AcceptsExactlyUpperCaseHexTextBytes) {
  const std::string accepted = " :\r\n0123456789ABCDEF";
  for (int value = 0; value < 256; ++value) {
    const char byte = static_cast<char>(value);
    SCOPED_TRACE(value);
    EXPECT_EQ(accepted.find(byte) != std::string::npos, isHexTextByte(byte));
  }
}

TEST(DumpTest, DropsThreeBytesWhateverTheyAreThenEndsAtTheFirstOtherByte) {
  int32_t count = 0;
  EXPECT_EQ(DumpAction::kDropped, dumpStep(count, 'x', 896));
  EXPECT_EQ(DumpAction::kDropped, dumpStep(count, '\0', 896));
  EXPECT_EQ(DumpAction::kDropped, dumpStep(count, 'A', 896));
  EXPECT_EQ(DumpAction::kAccepted, dumpStep(count, 'A', 896));
  EXPECT_EQ(4, count);
  EXPECT_EQ(DumpAction::kEnded, dumpStep(count, 'a', 896));
  EXPECT_EQ(4, count);
}

TEST(DumpTest, MarksComeAfter893AcceptedBytesAndThenEvery896) {
  int32_t count = 0;
  for (int i = 0; i < 3; ++i) (void)dumpStep(count, '0', 896);
  std::vector<int> marksAfter;
  for (int accepted = 1; accepted <= 32 * 896; ++accepted) {
    if (dumpStep(count, '0', 896) == DumpAction::kAcceptedWithMark) marksAfter.push_back(accepted);
  }
  ASSERT_EQ(32u, marksAfter.size());
  EXPECT_EQ(893, marksAfter.front());
  EXPECT_EQ(32 * 896 - 3, marksAfter.back());
  EXPECT_EQ(32 * 896 + 3, count);
}

TEST(DumpTest, ACountAtItsLargestGoesOnWithoutOverflowAndKeepsTheMarkSpacing) {
  // 2147483647 = 2396745 * 896 + 127: the count goes back by whole marks to 127 and on to 128,
  // so the next mark still comes 768 accepted bytes later, as it would have without the limit.
  const struct {
    int32_t charsPerMark;
    int32_t countAfter;
    int firstMarkAfter;
  } kCases[] = {
      {896, 128, 768},
      {1, 4, 1},
      {0, 4, 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.charsPerMark);
    int32_t count = std::numeric_limits<int32_t>::max();
    EXPECT_NE(DumpAction::kDropped, dumpStep(count, '0', c.charsPerMark));
    EXPECT_EQ(c.countAfter, count);
    int firstMarkAfter = 0;
    for (int accepted = 1; accepted <= 2000 && firstMarkAfter == 0; ++accepted) {
      if (dumpStep(count, '0', c.charsPerMark) == DumpAction::kAcceptedWithMark) {
        firstMarkAfter = accepted;
      }
    }
    EXPECT_EQ(c.firstMarkAfter, firstMarkAfter);
  }
}

}  // namespace
}  // namespace mvex
