// mvexboard: a simulated MORVEX board on a pseudo-terminal, for trying out and testing the
// terminal without a board at hand.

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>

#include "io/error_number.h"
#include "tools/board/board_line.h"
#include "tools/board/board_logic.h"
#include "tools/board/board_options.h"
#include "tools/board/board_server.h"
#include "tools/board/receive_log.h"

namespace {

// Reached by the signal handlers, so they cannot be anything but globals.
volatile std::sig_atomic_t stopRequested = 0;
volatile std::sig_atomic_t resetRequested = 0;

void onStopSignal(int) { stopRequested = 1; }
void onResetSignal(int) { resetRequested = 1; }

// A symbolic link to the line, removed when the board ends.
class LineLink {
 public:
  LineLink() = default;
  LineLink(const LineLink&) = delete;
  LineLink& operator=(const LineLink&) = delete;
  ~LineLink() {
    if (!path_.empty()) (void)::unlink(path_.c_str());  // already gone is as good as removed
  }

  // Makes `path` point at `target`. A symbolic link left behind by an earlier run is replaced;
  // any other file of that name is kept and the call fails.
  [[nodiscard]] int make(const std::string& path, const std::string& target) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
      (void)::unlink(path.c_str());  // the symlink() below reports any real trouble
    }
    if (::symlink(target.c_str(), path.c_str()) != 0) return mvex::kCannotOpen;
    path_ = path;
    return mvex::kSuccess;
  }

 private:
  std::string path_;
};

// Blocks the signals the board reacts to and installs their handlers; `waitMask` gets the mask
// that lets them through while the board waits.
void catchSignals(sigset_t& waitMask) {
  sigset_t handled;
  sigemptyset(&handled);
  for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGUSR1}) sigaddset(&handled, signal);
  (void)::sigprocmask(SIG_BLOCK, &handled, &waitMask);  // fails only for a bad "how"
  for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGUSR1}) sigdelset(&waitMask, signal);

  struct sigaction action {};
  sigemptyset(&action.sa_mask);
  action.sa_handler = onStopSignal;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) (void)::sigaction(signal, &action, nullptr);
  action.sa_handler = onResetSignal;
  (void)::sigaction(SIGUSR1, &action, nullptr);
  action.sa_handler = SIG_IGN;
  (void)::sigaction(SIGPIPE, &action, nullptr);
}

int fail(const std::string& message) {
  std::fprintf(stderr, "mvexboard: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  mvex::BoardOptions options;
  std::string error;
  if (mvex::parseBoardOptions(argc, argv, options, error) != mvex::kSuccess) {
    std::fprintf(stderr, "mvexboard: %s\n%s", error.c_str(), mvex::kBoardUsage);
    return 2;
  }
  if (options.help) {
    std::fputs(mvex::kBoardUsage, stdout);
    return 0;
  }
  sigset_t waitMask;
  catchSignals(waitMask);

  mvex::ReceiveLog log;
  if (!options.logPath.empty() && log.open(options.logPath) != mvex::kSuccess) {
    return fail("cannot create the log " + options.logPath);
  }
  mvex::BoardLine line;
  const int opened =
      options.devicePath.empty() ? line.openPseudoTerminal() : line.openDevice(options.devicePath);
  if (opened != mvex::kSuccess) {
    return fail(options.devicePath.empty() ? "cannot create a pseudo-terminal"
                                           : "cannot open and set up " + options.devicePath);
  }
  LineLink link;
  if (!options.linkPath.empty() && link.make(options.linkPath, line.path()) != mvex::kSuccess) {
    return fail("cannot make the link " + options.linkPath);
  }
  std::printf("%s\n", line.path().c_str());
  std::fflush(stdout);

  mvex::BoardLogic logic(options.fixedListing);
  const mvex::BoardSignalFlags flags{&stopRequested, &resetRequested};
  if (mvex::serveBoard(line, logic, log, options, flags, waitMask) != mvex::kSuccess) {
    return fail("the line or the log failed");
  }
  return 0;
}
