#include "tests/faults/fault_support.h"

#include <dirent.h>
#include <errno.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <sstream>

#include "tests/harness/file_text.h"
#include "tests/harness/paths.h"
#include "tests/harness/test_support.h"

namespace mvex::faults {
namespace {

/// The fields of /proc/PID/stat after the command name: [0] is the state, [1] the parent,
/// [2] the process group, [3] the session, ... Empty when the process is gone.
std::vector<std::string> statFields(pid_t pid) {
  const auto stat = harness::readFile("/proc/" + std::to_string(pid) + "/stat");
  if (!stat) return {};
  const size_t nameEnd = stat->rfind(')');
  if (nameEnd == std::string::npos) return {};
  std::istringstream rest(stat->substr(nameEnd + 1));
  std::vector<std::string> fields;
  for (std::string field; rest >> field;) fields.push_back(field);
  return fields;
}

/// Live processes whose stat field `index` (as statFields counts) equals `value`.
std::vector<pid_t> processesWith(size_t index, pid_t value) {
  std::vector<pid_t> found;
  DIR* proc = ::opendir("/proc");
  if (proc == nullptr) return found;
  while (const dirent* entry = ::readdir(proc)) {
    char* end = nullptr;
    const long pid = std::strtol(entry->d_name, &end, 10);
    if (end == entry->d_name || *end != '\0') continue;
    const auto fields = statFields(static_cast<pid_t>(pid));
    if (fields.size() <= index || fields[0] == "Z") continue;
    if (fields[index] == std::to_string(value)) found.push_back(static_cast<pid_t>(pid));
  }
  ::closedir(proc);
  return found;
}

}  // namespace

bool sameSettings(const termios& a, const termios& b) {
  return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
         a.c_lflag == b.c_lflag && std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

std::string settingsText(const termios& t) {
  std::ostringstream text;
  text << std::hex << "iflag=" << t.c_iflag << " oflag=" << t.c_oflag << " cflag=" << t.c_cflag
       << " lflag=" << t.c_lflag << " cc=";
  for (const cc_t c : t.c_cc) text << static_cast<int>(c) << ',';
  return text.str();
}

std::optional<double> cpuSeconds(pid_t pid) {
  const auto fields = statFields(pid);
  // utime and stime are fields 14 and 15 of the whole line, 11 and 12 after the name.
  if (fields.size() < 13) return std::nullopt;
  const double ticks = std::stod(fields[11]) + std::stod(fields[12]);
  return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

std::vector<pid_t> groupMembers(pid_t group) { return processesWith(2, group); }

std::vector<pid_t> sessionMembers(pid_t session) { return processesWith(3, session); }

std::string processName(pid_t pid) {
  auto name = harness::readFile("/proc/" + std::to_string(pid) + "/comm");
  if (!name) return "";
  if (name->ends_with('\n')) name->pop_back();
  return *name;
}

std::vector<pid_t> survivors(const std::vector<pid_t>& pids, milliseconds timeout) {
  std::vector<pid_t> left;
  for (const pid_t pid : pids) {
    // Each wait uses what is left of the one deadline.
    const auto start = std::chrono::steady_clock::now();
    if (!harness::waitProcessGone(pid, timeout)) left.push_back(pid);
    timeout -= std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - start);
    if (timeout < milliseconds(0)) timeout = milliseconds(0);
  }
  return left;
}

FaultSession::FaultSession(std::vector<std::string> arguments, Starter starter,
                           harness::SessionOptions base) {
  const char* script =
      starter == Starter::kExec
          ? "read go; exec \"$0\" \"$@\""
          : "set -m; trap : INT QUIT; read go; \"$0\" \"$@\"; echo \"ended $?\"; read done";
  base.argv = {harness::kShellPath, "-c", script, MVEX_EXTERM_PATH, board.devicePath()};
  base.argv.insert(base.argv.end(), arguments.begin(), arguments.end());
  screen = std::make_unique<harness::ScreenSession>(base);
  found = screen->terminalSettings();
}

bool FaultSession::start() {
  if (!board.ok() || !screen->started()) return false;
  screen->type("go\n");
  return screen->waitForText("Press Esc");
}

bool FaultSession::go() {
  const termios raw = board.lineSettings();
  if (!start()) return false;
  // The banner comes before the port is opened, and opening it discards what waits on the
  // line: the board speaks only once mvexterm has applied its own line settings.
  return screen->waitFor([&] { return !sameSettings(raw, board.lineSettings()); });
}

bool FaultSession::boardPrompt() {
  board.send("> ");
  return screen->waitFor([this] { return screen->output().ends_with("> "); });
}

bool FaultSession::openMenu(const std::string& text) {
  screen->pressEsc();
  return screen->waitFor([&] { return screen->output().ends_with(text); });
}

bool FaultSession::choose(char choice, const std::string& question, const std::string& name) {
  if (!openMenu("[[[ Load Dump Quit ]]] ")) return false;
  screen->type(std::string(1, choice));
  if (!screen->waitForText(question)) return false;
  screen->type(name);
  screen->pressEnter();
  return true;
}

pid_t FaultSession::externPid() const {
  for (const pid_t pid : sessionMembers(screen->pid())) {
    if (processName(pid) == "mvexterm") return pid;
  }
  return -1;
}

int FaultSession::quit() {
  if (!openMenu("Quit ]]] ")) return -1;
  screen->type("q");
  const int status = screen->waitExit();
  return status >= 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string FaultSession::settingsReport() const {
  return "before: " + settingsText(found) + "\nafter:  " + settingsText(screen->terminalSettings());
}

SmallDisk::SmallDisk(size_t bytes) {
  std::string pattern = "/tmp/mvex-disk-XXXXXX";
  if (const char* tmp = ::getenv("TMPDIR"); tmp != nullptr && *tmp != '\0') {
    pattern = std::string(tmp) + "/mvex-disk-XXXXXX";
  }
  if (::mkdtemp(pattern.data()) == nullptr) {
    refusal_ = std::string("no directory: ") + std::strerror(errno);
    return;
  }
  dir_ = pattern;
  const std::string options = "size=" + std::to_string(bytes) + ",mode=0700";
  if (::mount("tmpfs", dir_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
    refusal_ = std::string("mount refused: ") + std::strerror(errno);
    return;
  }
  mounted_ = true;
}

SmallDisk::~SmallDisk() {
  // Detaching drops the tmpfs with everything in it; the empty directory goes after it.
  if (mounted_) (void)::umount2(dir_.c_str(), MNT_DETACH);
  if (!dir_.empty()) (void)::rmdir(dir_.c_str());
}

}  // namespace mvex::faults
