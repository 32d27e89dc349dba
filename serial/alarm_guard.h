#ifndef MVEX_SERIAL_ALARM_GUARD_H_
#define MVEX_SERIAL_ALARM_GUARD_H_

#include <chrono>

namespace mvex {

/// Bounds one blocking device call: while it lives, a SIGALRM after `seconds` interrupts the
/// call (it then fails with EINTR). The constructor installs a handler that does nothing,
/// without SA_RESTART, and arms the alarm; the destructor cancels the alarm. The handler stays
/// installed afterwards: SIGALRM belongs to the serial line alone.
class AlarmGuard {
 public:
  explicit AlarmGuard(unsigned seconds);
  ~AlarmGuard();
  AlarmGuard(const AlarmGuard&) = delete;
  AlarmGuard& operator=(const AlarmGuard&) = delete;

  /// Whether the alarm's time has run out, so that an EINTR came from it and the call must
  /// not be repeated.
  bool expired() const;

 private:
  std::chrono::steady_clock::time_point deadline_;
};

}  // namespace mvex

#endif  // MVEX_SERIAL_ALARM_GUARD_H_
