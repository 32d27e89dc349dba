#ifndef MVEX_BENCH_SESSION_H_
#define MVEX_BENCH_SESSION_H_

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "bench/child_process.h"
#include "bench/pty_pair.h"

namespace mvex::bench {

using Clock = std::chrono::steady_clock;

/// A byte the program put on the serial line, with the moment the benchmark read it.
struct LineByte {
  Clock::time_point when;
  char byte;
};

/// One program under measurement: its serial line (a pseudo-terminal whose master plays the
/// board) and its screen (a second pseudo-terminal, 80x24, whose master plays the user's
/// terminal and answers cursor-position queries).
class Session {
 public:
  /// Opens both pseudo-terminals. Returns 0 or an errno; the session is unusable on failure.
  [[nodiscard]] int open();

  /// The path the program must be given as its serial port.
  const std::string& linePath() const { return line_.slavePath; }

  /// Starts `arguments` on the screen with TERM=xterm, HOME and the working directory `directory`;
  /// `inputFd` and `outputFd`, when not -1, replace the screen as standard input and output.
  /// Returns 0 or an errno; no program runs on failure.
  [[nodiscard]] int start(const std::vector<std::string>& arguments, const std::string& directory,
                          int inputFd = -1, int outputFd = -1);

  /// Waits until the program has configured the line and relays a board byte to the screen, so
  /// that measurements start from a settled program. False at the deadline.
  bool waitReady(Clock::time_point deadline);

  /// Queues `bytes` for the line; they are written while the session is pumped.
  void sendToLine(std::string bytes);
  /// Whether every queued line byte has been handed to the pseudo-terminal.
  bool lineQueueEmpty() const { return toLineOffset_ == toLine_.size(); }

  /// Types `bytes` on the keyboard (writes them to the screen master at once). Returns 0 or errno.
  [[nodiscard]] int type(std::string_view bytes);

  /// Relays data both ways until `done` returns true (true) or the deadline passes (false).
  /// `done` is checked after each transfer and at least every `checkMs` milliseconds.
  bool pumpUntil(Clock::time_point deadline, const std::function<bool()>& done, int checkMs = 100);
  /// Relays data for `duration` whatever happens.
  void pumpFor(std::chrono::milliseconds duration);

  /// Waits until `text` shows on the screen after the last call of `markScreen`. False at the
  /// deadline.
  bool waitForScreen(std::string_view text, Clock::time_point deadline);
  /// Forgets the screen output so far, for the next `waitForScreen`.
  void markScreen();

  /// Everything the program wrote to the screen since the last `markScreen`.
  const std::string& screen() const { return screen_; }
  /// Bytes the program sent on the line; timestamps are kept while `recordLine` is on.
  const std::string& lineText() const { return lineText_; }
  const std::vector<LineByte>& lineBytes() const { return lineBytes_; }
  void recordLine(bool on) { recordLine_ = on; }
  void clearLine();
  /// The moment the screen received its most recent bytes.
  Clock::time_point lastScreenRead() const { return lastScreenRead_; }

  ChildProcess& child() { return child_; }
  PtyPair& line() { return line_; }

  /// Ends the program (SIGTERM, then SIGKILL after `graceMs`) while keeping its screen drained.
  void stop(int graceMs);

 private:
  void pumpOnce(int timeoutMs);
  void readScreen();
  void readLine();
  void writeLine();
  void answerQueries(size_t from);

  PtyPair line_;
  PtyPair screenPty_;
  ChildProcess child_;
  std::string screen_;
  size_t searchFrom_ = 0;
  size_t queryFrom_ = 0;
  std::string lineText_;
  std::vector<LineByte> lineBytes_;
  bool recordLine_ = false;
  std::string toLine_;
  size_t toLineOffset_ = 0;
  Clock::time_point lastScreenRead_;
};

}  // namespace mvex::bench

#endif  // MVEX_BENCH_SESSION_H_
