#include "app/start_up.h"

#include <gtest/gtest.h>

#include <vector>

namespace mvex {
namespace {

TEST(StartUpTest, DelayIsRoundedHalfToEvenWithZeroAndNonsenseMeaningTwenty) {
  const struct {
    const char* text;
    int32_t delay;
  } kCases[] = {
      {"", 20},
      {"0", 20},
      {"abc", 20},
      {"35", 35},
      {"2.5", 2},
      {"3.5", 4},
      {"-1", -1},
      {"-2.5", -2},
      {"0.4", 20},
      {"1e30", 2147483647},
      {"-1e30", -2147483647 - 1},
      {"nan", 20},
      {"&H10", 16},
      {"1d2", 100},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.delay, delayFromText(c.text));
  }
}

TEST(StartUpTest, FillsDefaultsForAbsentAndEmptyArguments) {
  const char* const argv[] = {"mvexterm", "", ""};
  const AppState app = startUp(ArgumentList(3, argv));
  EXPECT_EQ("", app.portName);
  EXPECT_EQ("9600", app.baudText);
  EXPECT_EQ(20, app.delayMs);
  EXPECT_EQ("mvxcomp", app.compilerCommand);
  EXPECT_EQ(",CD0,DS,CS,RS", app.portOptions);
  EXPECT_EQ("mvexterm.tmpbytes", app.tempFileName);
  EXPECT_EQ(32, app.progressCells);
  EXPECT_EQ(896, app.charsPerMark);
  EXPECT_FALSE(app.quitRequested);
  EXPECT_FALSE(app.uploading);
}

TEST(StartUpTest, TakesTheFourArgumentsAsGiven) {
  const char* const argv[] = {"mvexterm", "/dev/ttyUSB0", "19200", "5", "mycc -O", "ignored"};
  const AppState app = startUp(ArgumentList(6, argv));
  EXPECT_EQ("/dev/ttyUSB0", app.portName);
  EXPECT_EQ("19200", app.baudText);
  EXPECT_EQ(5, app.delayMs);
  EXPECT_EQ("mycc -O", app.compilerCommand);
}

}  // namespace
}  // namespace mvex
