#ifndef MVEX_TESTS_HARNESS_BOARD_LINE_H_
#define MVEX_TESTS_HARNESS_BOARD_LINE_H_

#include <termios.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "io/unique_fd.h"

namespace mvex::harness {

/// A pseudo-terminal pair standing in for the serial line. The program under test opens
/// devicePath() as its port; the test holds the other side and plays the board. The line starts
/// raw (no echo, no line editing), as a serial device does; the program sets its own settings.
class BoardLine {
 public:
  /// Opens the pair. On failure ok() is false and every operation does nothing.
  BoardLine();
  BoardLine(const BoardLine&) = delete;
  BoardLine& operator=(const BoardLine&) = delete;

  bool ok() const { return !path_.empty(); }
  /// The path the program opens as its port.
  const std::string& devicePath() const { return path_; }

  /// Sends `bytes` to the program (waits up to 10 s for room; collects what the program sends
  /// meanwhile). Does nothing once the board side is closed.
  void send(std::string_view bytes);
  /// Every byte the program sent that was collected so far (by pump() or a wait), including
  /// those collected before closeBoardSide().
  std::string received() const { return received_; }
  /// Collects until at least `count` bytes were received in all or `timeout` passed. Returns
  /// whether they were.
  [[nodiscard]] bool waitReceived(size_t count,
                                  std::chrono::milliseconds timeout = std::chrono::seconds(10));
  /// Collects until `text` occurs in received() or `timeout` passed. Returns whether it does.
  [[nodiscard]] bool waitReceivedText(std::string_view text,
                                      std::chrono::milliseconds timeout = std::chrono::seconds(10));
  /// Collects what is waiting, without blocking.
  void pump();
  /// Closes the board's side, as when the adapter is unplugged: the program's reads see the end
  /// of the line and its writes fail. What was waiting is collected first.
  void closeBoardSide();
  /// The line's current settings as the program left them; all zero when they cannot be read.
  termios lineSettings() const;

 private:
  [[nodiscard]] bool waitUntil(const std::function<bool()>& condition,
                               std::chrono::milliseconds timeout);

  UniqueFd master_;
  UniqueFd slave_;  // kept open so the board side never sees a hang-up between program runs
  std::string path_;
  std::string received_;
};

}  // namespace mvex::harness

#endif  // MVEX_TESTS_HARNESS_BOARD_LINE_H_
