#ifndef MVEX_TESTS_FAULTS_FAULT_SUPPORT_H_
#define MVEX_TESTS_FAULTS_FAULT_SUPPORT_H_

#include <sys/types.h>
#include <termios.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/harness/board_line.h"
#include "tests/harness/screen_session.h"

namespace mvex::faults {

using std::chrono::milliseconds;
using std::chrono::seconds;

/// Whether two terminal settings agree in their flags and control characters.
bool sameSettings(const termios& a, const termios& b);
/// The flags and control characters of `t` as text, for failure messages.
std::string settingsText(const termios& t);

/// User plus system CPU time process `pid` used so far, in seconds; nullopt when it is gone.
std::optional<double> cpuSeconds(pid_t pid);
/// Every live process whose process group is `group` (zombies left out).
std::vector<pid_t> groupMembers(pid_t group);
/// Every live process whose session is `session` (zombies left out).
std::vector<pid_t> sessionMembers(pid_t session);
/// The command name of process `pid` (/proc/PID/comm without its line end); empty when gone.
std::string processName(pid_t pid);
/// Waits until every process of `pids` has ended or `timeout` passed; the ones still there.
std::vector<pid_t> survivors(const std::vector<pid_t>& pids, milliseconds timeout = seconds(10));

/// How mvexterm is started on its terminal.
enum class Starter {
  kExec,        ///< the session's shell replaces itself with mvexterm (same process id)
  kLoginShell,  ///< a job-control shell runs mvexterm as its foreground job, says "ended N"
                ///< with its exit status afterwards and stays, as a user's shell does
};

/// mvexterm on a real terminal and a board line the test drives. The program is held back by
/// a shell until go() so that the terminal's settings before the program touched them can be
/// read.
struct FaultSession {
  harness::BoardLine board;
  std::unique_ptr<harness::ScreenSession> screen;
  termios found{};  ///< the terminal's settings before mvexterm started

  /// Prepares mvexterm on the board line; `arguments` follow the port name.
  explicit FaultSession(std::vector<std::string> arguments = {"9600", "2"},
                        Starter starter = Starter::kExec, harness::SessionOptions base = {});

  /// Lets mvexterm start and waits until it shows its banner. Returns whether it did.
  [[nodiscard]] bool start();
  /// start(), then waits until mvexterm has set up the line. Returns whether it did.
  [[nodiscard]] bool go();
  /// The board shows its prompt and the test waits until it stands on the screen.
  [[nodiscard]] bool boardPrompt();
  /// Esc, then waits until `text` is the last thing shown.
  [[nodiscard]] bool openMenu(const std::string& text);
  /// Esc at the prompt, a menu choice, then `fileName` at `question`.
  [[nodiscard]] bool choose(char choice, const std::string& question, const std::string& name);
  /// mvexterm's process id; -1 when it does not run.
  pid_t externPid() const;
  /// Quits through the menu offered; the exit status, -1 when it did not end normally.
  int quit();
  /// Whether the terminal's settings now equal those found before the start.
  bool settingsGivenBack() const { return sameSettings(found, screen->terminalSettings()); }
  /// Both settings as text, for failure messages.
  std::string settingsReport() const;
  std::string path(const std::string& name) const { return screen->workDir() + "/" + name; }
};

/// A small tmpfs mounted on a fresh directory for as long as the object lives. ok() is false
/// when the machine refuses the mount (no privilege); the test then skips.
class SmallDisk {
 public:
  explicit SmallDisk(size_t bytes);
  ~SmallDisk();
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;
  bool ok() const { return mounted_; }
  /// Why the mount was refused, for the skip message.
  const std::string& refusal() const { return refusal_; }
  std::string file(const std::string& name) const { return dir_ + "/" + name; }

 private:
  std::string dir_;
  bool mounted_ = false;
  std::string refusal_;
};

}  // namespace mvex::faults

#endif  // MVEX_TESTS_FAULTS_FAULT_SUPPORT_H_
