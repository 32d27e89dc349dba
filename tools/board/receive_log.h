#ifndef MVEX_TOOLS_BOARD_RECEIVE_LOG_H_
#define MVEX_TOOLS_BOARD_RECEIVE_LOG_H_

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "io/unique_fd.h"

namespace mvex {

/// A log of every byte the board receives, one line per byte: the microseconds since the log was
/// opened, a space, and the byte as two upper-case hex digits ("1234567 4C"). Each line is
/// written at once, so that a reader sees it while the board runs.
class ReceiveLog {
 public:
  /// Creates or empties the log file `path`; the clock starts now. Returns 0, or kCannotOpen when
  /// the file cannot be created (the log stays closed and records nothing).
  [[nodiscard]] int open(const std::string& path);

  /// True once open() succeeded.
  bool isOpen() const { return fd_.valid(); }

  /// Logs `count` bytes received at `when`. Returns 0 (also when the log is not open), or
  /// kInputOutput when the file did not take every line.
  [[nodiscard]] int record(const std::uint8_t* bytes, std::size_t count,
                           std::chrono::steady_clock::time_point when);

 private:
  UniqueFd fd_;
  std::chrono::steady_clock::time_point start_;
};

}  // namespace mvex

#endif  // MVEX_TOOLS_BOARD_RECEIVE_LOG_H_
