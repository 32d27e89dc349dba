#include "serial/alarm_guard.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>

#include "io/unique_fd.h"

namespace mvex {
namespace {

TEST(AlarmGuardTest, InterruptsABlockedCallInsteadOfRestartingItAndIsCancelledAfterwards) {
  int ends[2];
  ASSERT_EQ(0, ::pipe(ends));
  const UniqueFd readEnd(ends[0]);
  const UniqueFd writeEnd(ends[1]);
  {
    AlarmGuard guard(1);
    EXPECT_FALSE(guard.expired());
    char byte = 0;
    // Nothing is ever written: only the alarm can end this read.
    const ssize_t got = ::read(readEnd.get(), &byte, 1);
    const int error = errno;
    EXPECT_EQ(-1, got);
    EXPECT_EQ(EINTR, error);
    EXPECT_TRUE(guard.expired());
  }
  EXPECT_EQ(0u, ::alarm(0)) << "an alarm was left pending";
}

TEST(AlarmGuardTest, LeavesNoAlarmPendingWhenTheCallReturnsInTime) {
  { AlarmGuard guard(3); }
  EXPECT_EQ(0u, ::alarm(0));
}

}  // namespace
}  // namespace mvex
