#include "serial/alarm_guard.h"

#include <signal.h>
#include <unistd.h>

namespace mvex {
namespace {

// Does nothing: its only purpose is that the signal interrupts a blocked call instead of
// ending the process.
void ignoreAlarm(int) {}

}  // namespace

AlarmGuard::AlarmGuard(unsigned seconds)
    : deadline_(std::chrono::steady_clock::now() + std::chrono::seconds(seconds)) {
  struct sigaction action = {};
  action.sa_handler = ignoreAlarm;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART, so that the alarm cuts the call short
  (void)sigaction(SIGALRM, &action, nullptr);  // cannot fail for a valid signal and handler
  (void)alarm(seconds);                        // no other alarm is ever pending
}

AlarmGuard::~AlarmGuard() { (void)alarm(0); }

// The alarm is armed after the deadline is taken, so by the time it fires the deadline has
// passed; a margin keeps a slightly early clock reading from repeating a call with no alarm left.
bool AlarmGuard::expired() const {
  return std::chrono::steady_clock::now() + std::chrono::milliseconds(100) >= deadline_;
}

}  // namespace mvex
