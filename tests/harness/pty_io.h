#ifndef MVEX_TESTS_HARNESS_PTY_IO_H_
#define MVEX_TESTS_HARNESS_PTY_IO_H_

#include <functional>
#include <string>
#include <string_view>

#include "tests/harness/deadline.h"

namespace mvex::harness {

/// Appends to `into` every byte that can be read from the non-blocking `fd` right now.
/// Returns the number of bytes appended, or -1 when the descriptor reports an error or end of
/// input (nothing more will come); bytes read before that stay appended.
int readAvailable(int fd, std::string& into);

/// Waits until `fd` has input or `sliceMs` milliseconds passed. Returns true when input waits.
bool waitReadable(int fd, int sliceMs);

/// Writes every byte of `bytes` to the non-blocking `fd`. While the descriptor is full it calls
/// `drain` (which should read the other direction, so that the peer can go on) and waits for
/// room until `deadline`. Returns the number of bytes written; fewer than asked on time-out or
/// error.
size_t writeAll(int fd, std::string_view bytes, const Deadline& deadline,
                const std::function<void()>& drain);

/// Sets O_NONBLOCK and FD_CLOEXEC on `fd`. Returns false when either cannot be set.
[[nodiscard]] bool makeNonBlockingPrivate(int fd);

/// Sets FD_CLOEXEC on `fd`, so that programs started later do not inherit it.
[[nodiscard]] bool makePrivate(int fd);

}  // namespace mvex::harness

#endif  // MVEX_TESTS_HARNESS_PTY_IO_H_
