#ifndef MVEX_TESTS_HARNESS_SCREEN_SESSION_H_
#define MVEX_TESTS_HARNESS_SCREEN_SESSION_H_

#include <sys/types.h>
#include <termios.h>
#include <vterm.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "io/unique_fd.h"
#include "tests/harness/program_start.h"
#include "tests/harness/temp_dir.h"

namespace mvex::harness {

/// How to run a program under test.
struct SessionOptions {
  std::vector<std::string> argv;  ///< program path (no PATH search) and its arguments
  int rows = 24, columns = 80;
  std::string workDir;        ///< empty: a fresh temporary directory, removed at the end
  EnvChanges env;             ///< set (value) or unset (nullopt); TERM=xterm unless overridden
  bool answerQueries = true;  ///< false: a terminal that never answers ESC[6n / ESC[18t
  bool stdoutToFile = false;  ///< true: standard output goes to stdoutPath() instead
};

/// A program running in a pseudo-terminal whose output is rendered by a terminal emulator
/// (libvterm, UTF-8). A reader thread of its own reads the program's output all the time, renders
/// it and answers the program's cursor-position and size queries at once, as a real terminal
/// does, whatever the test is doing meanwhile. The emulator turns key presses into the bytes the
/// program's current modes ask for. Every wait has a deadline. Every operation may be called
/// from any thread; they take one lock. Not copyable or movable: the emulator and the reader
/// thread call back into the object.
///
///   ScreenSession session({.argv = {kExtermPath, line.devicePath()}});
///   ASSERT_TRUE(session.waitForText("> ")) << session.screen();
///   session.pressEsc();
class ScreenSession {
 public:
  /// Starts the program. When it cannot be started, started() is false, nothing runs and the
  /// other operations do nothing or report an empty screen.
  explicit ScreenSession(SessionOptions options);
  /// Kills the program (and its process group) if it still runs, and reaps it.
  ~ScreenSession();
  ScreenSession(const ScreenSession&) = delete;
  ScreenSession& operator=(const ScreenSession&) = delete;

  /// Whether the program was executed.
  bool started() const { return pid_ > 0; }

  /// Writes `bytes` unchanged to the terminal, as if typed, and returns once the terminal took
  /// them all. When it takes none for 10 seconds (the program reads no input) it returns anyway;
  /// the rest stays queued and goes out when the program reads again.
  void type(std::string_view bytes);
  void pressEsc() { pressKey(VTERM_KEY_ESCAPE); }
  void pressEnter() { pressKey(VTERM_KEY_ENTER); }
  void pressBackspace() { pressKey(VTERM_KEY_BACKSPACE); }
  /// Types `key` as the terminal sends it in the modes the program set so far (output waiting
  /// to be read is rendered first, so a mode the program has just set counts), like type().
  void pressKey(VTermKey key);

  /// Waits until `text` stands on one row of the screen (blanks count, so "> " matches a ">"
  /// followed by an empty cell) or `timeout` passed. Returns whether it did.
  [[nodiscard]] bool waitForText(std::string_view text,
                                 std::chrono::milliseconds timeout = std::chrono::seconds(10));
  /// Waits until `condition` holds or `timeout` passed. Returns whether it held. The condition
  /// is checked at once and after each piece of rendered output (at least every 20 ms), while the
  /// session's lock is held: it may read the session (row(), output(), ...), no output is
  /// rendered while it runs, and so it should neither type nor wait for anything itself.
  [[nodiscard]] bool waitFor(const std::function<bool()>& condition,
                             std::chrono::milliseconds timeout = std::chrono::seconds(10));
  /// Lets the program run and its output be rendered for `duration`.
  void pump(std::chrono::milliseconds duration);

  /// Row `row` (1-based) as UTF-8, trailing blanks removed; empty for a row off the screen.
  std::string row(int row) const;
  /// Every row as row() gives it, joined with "\n"; for failure messages.
  std::string screen() const;
  /// The code point at a 1-based cell: ' ' for a cell never written, 0 off the screen.
  uint32_t cell(int row, int column) const;
  /// The cursor's 1-based position.
  int cursorRow() const;
  int cursorColumn() const;

  /// Waits for the program's end, and renders what it wrote up to its end. Returns the wait
  /// status from waitpid(); -1 when it was not started or did not end within `timeout`, in which
  /// case it is killed and reaped and its output no longer read. Later calls return the same
  /// status.
  int waitExit(std::chrono::milliseconds timeout = std::chrono::seconds(10));
  pid_t pid() const { return pid_; }

  /// The terminal's current settings, read on the program's side (also after it ended); all
  /// zero when they cannot be read.
  termios terminalSettings() const;
  /// A copy of every byte the program wrote to the terminal and the reader has taken so far, in
  /// order.
  std::string output() const;
  /// How often the bell rang.
  int bells() const;
  /// The program's working directory.
  const std::string& workDir() const { return workDir_; }
  /// The file that receives standard output with stdoutToFile; empty otherwise.
  const std::string& stdoutPath() const { return stdoutPath_; }
  /// What the program wrote to stdoutPath() so far; empty when there is none.
  std::string stdoutText() const;

 private:
  struct Callbacks;
  friend struct Callbacks;
  struct VTermDeleter {
    void operator()(VTerm* vt) const { vterm_free(vt); }
  };

  using Lock = std::unique_lock<std::recursive_mutex>;

  void setUpEmulator();
  void start();
  void readLoop();
  int readOnce();
  void drainOutput();
  void flushPending();
  void sendQueued(Lock& lock);
  void answer(std::string_view bytes);
  std::string rowText(int row, bool trim) const;
  void stopReader();
  void killAndReap();

  SessionOptions options_;
  std::optional<TempDir> ownWorkDir_;
  std::optional<TempDir> stdoutDir_;
  std::string workDir_;
  std::string stdoutPath_;
  std::unique_ptr<VTerm, VTermDeleter> vt_;
  VTermScreen* screen_ = nullptr;
  UniqueFd master_;  // set before the reader starts, closed after it ended
  UniqueFd slave_;
  pid_t pid_ = -1;

  // Everything below is shared with the reader thread and used only under mutex_. It is
  // recursive because waitFor's condition calls row() and the like while waitFor holds it.
  mutable std::recursive_mutex mutex_;
  std::condition_variable_any rendered_;  // notified after each piece of rendered output
  bool stopping_ = false;                 // asks the reader to end
  bool reaped_ = false;
  int status_ = -1;
  std::string output_;
  std::string pending_;   // bytes for the program: key strings and query answers, in order
  uint64_t queued_ = 0;   // bytes ever put into pending_
  uint64_t sent_ = 0;     // bytes ever taken out of pending_ (written, or dropped on an error)
  bool feeding_ = false;  // true while the program's output runs through the emulator
  int bells_ = 0;
  std::thread reader_;  // last: started when everything else exists, joined before it goes
};

}  // namespace mvex::harness

#endif  // MVEX_TESTS_HARNESS_SCREEN_SESSION_H_
