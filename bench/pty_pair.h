#ifndef MVEX_BENCH_PTY_PAIR_H_
#define MVEX_BENCH_PTY_PAIR_H_

#include <string>

#include "io/unique_fd.h"

namespace mvex::bench {

/// One pseudo-terminal: the master the benchmark drives and the slave a program sees.
struct PtyPair {
  UniqueFd master;
  UniqueFd slave;
  std::string slavePath;
};

/// Opens a pseudo-terminal of `rows` x `columns` with a non-blocking master. Returns 0, or the
/// errno of the failing call, leaving `pty` without descriptors.
[[nodiscard]] int openPtyPair(int rows, int columns, PtyPair& pty);

/// Puts the slave of `pty` in raw mode (no echo, no line editing, no translation). Returns 0 or
/// the errno of the failing call; the settings are unchanged on failure.
[[nodiscard]] int makeSlaveRaw(const PtyPair& pty);

/// Whether a program has taken the slave out of canonical mode, the sign that it has opened and
/// configured the line. False when the settings cannot be read.
bool slaveIsRaw(const PtyPair& pty);

/// Writes every byte of `data` to `fd`, waiting (at most `timeoutMs` in all) while the descriptor
/// is full; retries on EINTR and continues after short writes. Returns 0, ETIMEDOUT, or the errno
/// of the failing call; part of `data` may have been written on failure.
[[nodiscard]] int writeAll(int fd, std::string_view data, int timeoutMs);

}  // namespace mvex::bench

#endif  // MVEX_BENCH_PTY_PAIR_H_
