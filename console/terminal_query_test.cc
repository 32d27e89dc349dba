#include "console/terminal_query.h"

#include <gtest/gtest.h>

#include <string>

namespace mvex {
namespace {

TEST(TerminalQueryTest, FindsTheAnswerAmongKeysBeforeAndAfterIt) {
  const struct {
    std::string input;
    QueryKind kind;
    bool found;
    int first, second;
    size_t begin, end;
  } kCases[] = {
      {"\x1b[12;40R", QueryKind::kPosition, true, 12, 40, 0, 8},
      {"ab\x1b[1;1Rcd", QueryKind::kPosition, true, 1, 1, 2, 8},
      {"\x1bOA\x1b[3;7R", QueryKind::kPosition, true, 3, 7, 3, 9},
      {"\x1b[12;40", QueryKind::kPosition, false, 0, 0, 0, 0},
      {"\x1b[;40R", QueryKind::kPosition, false, 0, 0, 0, 0},
      {"\x1b[12R", QueryKind::kPosition, false, 0, 0, 0, 0},
      {"\x1b[8;24;80t", QueryKind::kSize, true, 24, 80, 0, 10},
      {"x\x1b[8;50;132t", QueryKind::kSize, true, 50, 132, 1, 12},
      {"\x1b[8;24;80t", QueryKind::kPosition, false, 0, 0, 0, 0},
      {"\x1b[24;80R", QueryKind::kSize, false, 0, 0, 0, 0},
      {"\x1b[1234567;1R", QueryKind::kPosition, false, 0, 0, 0, 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.input);
    const std::optional<QueryAnswer> answer = findAnswer(c.input, c.kind);
    ASSERT_EQ(c.found, answer.has_value());
    if (!answer) continue;
    EXPECT_EQ(c.first, answer->first);
    EXPECT_EQ(c.second, answer->second);
    EXPECT_EQ(c.begin, answer->begin);
    EXPECT_EQ(c.end, answer->end);
  }
}

}  // namespace
}  // namespace mvex
