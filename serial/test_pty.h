#ifndef MVEX_SERIAL_TEST_PTY_H_
#define MVEX_SERIAL_TEST_PTY_H_

#include <termios.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "io/unique_fd.h"

namespace mvex {

/// A pseudo-terminal pair standing in for a serial line in tests: the slave is the device the
/// serial port opens, the master plays the far end of the line.
struct TestPty {
  UniqueFd master;
  UniqueFd slave;
  std::string slavePath;
};

/// Opens a fresh pseudo-terminal pair with a non-blocking master. Returns false (and leaves
/// `pty` empty) when none can be had.
[[nodiscard]] bool openTestPty(TestPty& pty);

/// Writes all of `bytes` to `fd`, waiting for room up to a deadline. Returns whether every
/// byte was written.
[[nodiscard]] bool writeAllBytes(int fd, std::string_view bytes);

/// Reads from `fd` until `count` bytes have arrived or `limit` has passed; returns what came.
std::string readBytes(int fd, std::size_t count,
                      std::chrono::milliseconds limit = std::chrono::seconds(5));

/// Checks `condition` until it holds or `limit` has passed; returns its last value.
bool waitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds limit = std::chrono::seconds(5));

/// Number of descriptors this process has open.
int openDescriptorCount();

/// Whether two terminal settings agree in every flag, control character and speed.
bool sameSettings(const termios& a, const termios& b);

}  // namespace mvex

#endif  // MVEX_SERIAL_TEST_PTY_H_
