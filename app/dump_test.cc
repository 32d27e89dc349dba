#include "app/dump.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace mvex
