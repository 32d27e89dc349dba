#include "bench/stats.h"

#include <gtest/gtest.h>

#include <string>

namespace mvex::bench {
namespace {

TEST(StatsTest, MedianTakesTheMiddleOrTheMeanOfTheTwoMiddleValues) {
  const struct {
    std::vector<double> values;
    double median;
  } kCases[] = {
      {{}, 0}, {{4}, 4}, {{3, 1, 2}, 2}, {{4, 1, 3, 2}, 2.5}, {{5, 5, 1, 9, 7}, 5},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(::testing::PrintToString(c.values));
    EXPECT_DOUBLE_EQ(c.median, median(c.values));
  }
}

TEST(StatsTest, PercentileUsesTheNearestRank) {
  std::vector<double> hundred;
  for (int i = 100; i >= 1; --i) hundred.push_back(i);
  const struct {
    std::vector<double> values;
    double fraction;
    double expected;
  } kCases[] = {
      {hundred, 0.95, 95}, {hundred, 0.5, 50}, {hundred, 1.0, 100},
      {hundred, 0.0, 1},   {{7, 3}, 0.95, 7},  {{}, 0.95, 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::to_string(c.values.size()) + " values at " + std::to_string(c.fraction));
    EXPECT_DOUBLE_EQ(c.expected, percentile(c.values, c.fraction));
  }
}

TEST(StatsTest, StandardDeviationOfThePopulation) {
  EXPECT_DOUBLE_EQ(2.0, standardDeviation({2, 4, 4, 4, 5, 5, 7, 9}));
  EXPECT_DOUBLE_EQ(0.0, standardDeviation({3}));
}

}  // namespace
}  // namespace mvex::bench
