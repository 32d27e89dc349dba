#ifndef MVEX_TOOLS_BOARD_BOARD_LINE_H_
#define MVEX_TOOLS_BOARD_BOARD_LINE_H_

#include <termios.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "io/unique_fd.h"

namespace mvex {

/// The board's end of the serial line: the master side of a new pseudo-terminal, or a device the
/// board serves. The descriptor is non-blocking and raw. Bytes to send wait in an output queue
/// that is written out as fast as the other side takes them, so the board never blocks on a full
/// line and keeps reading meanwhile.
class BoardLine {
 public:
  BoardLine() = default;
  BoardLine(const BoardLine&) = delete;
  BoardLine& operator=(const BoardLine&) = delete;
  /// Puts back the settings of a served device.
  ~BoardLine();

  /// Creates a pseudo-terminal pair; path() is then the slave's path, which the other side opens.
  /// The slave is opened and closed once at once, so that poll reports POLLHUP on the master until
  /// the other side opens it. Returns 0, or kCannotOpen (no pseudo-terminal) or kBadCall (its
  /// settings cannot be applied); on failure the line stays closed.
  [[nodiscard]] int openPseudoTerminal();

  /// Opens `path` (a serial device or another pseudo-terminal's slave) and makes it raw; its
  /// settings are put back when the line is destroyed. Returns 0, kCannotOpen when the device
  /// cannot be opened, or kBadCall when its settings cannot be read or applied; on failure the
  /// line stays closed.
  [[nodiscard]] int openDevice(const std::string& path);

  /// The path the other side opens.
  const std::string& path() const { return path_; }
  /// The descriptor to poll; -1 while closed.
  int fd() const { return fd_.get(); }

  /// Reads what is waiting, up to `capacity` bytes. Returns the count (0 when nothing waits), or
  /// -1 when the other side has closed the line or reading failed.
  [[nodiscard]] long readWaiting(std::uint8_t* buffer, std::size_t capacity);

  /// Adds bytes to the output queue.
  void queue(const std::string& bytes) { pending_ += bytes; }
  /// True while queued bytes wait to be written.
  bool hasPending() const { return pending_.size() > sent_; }
  /// Forgets the queued bytes (the other side went away).
  void dropPending();
  /// Writes as much of the queue as the line takes now, retrying on EINTR and stopping at
  /// EAGAIN. Returns 0, or kInputOutput when a write fails (the queue keeps the unsent bytes).
  [[nodiscard]] int writePending();

 private:
  UniqueFd fd_;
  std::string path_;
  std::optional<termios> savedSettings_;
  std::string pending_;
  std::size_t sent_ = 0;
};

}  // namespace mvex

#endif  // MVEX_TOOLS_BOARD_BOARD_LINE_H_
