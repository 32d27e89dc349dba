#include "io/command.h"

#include <errno.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

namespace mvex {
namespace {

constexpr int kNoSuchCommand = 127;

// The result for a status from system(): every way of not running the command is -1.
int commandResult(int status) {
  if (status == -1) return -1;
  if ((status & 0x7F) != 0) return status;  // ended by a signal: the raw status
  const int code = WEXITSTATUS(status);
  return code == kNoSuchCommand ? -1 : code;
}

// What a fatal-signal handler needs to end the running command: its process id (0 when none
// runs), whether it leads a process group of its own, and whether that group was given the
// terminal's foreground.
volatile sig_atomic_t gCommandPid = 0;
volatile sig_atomic_t gCommandOwnGroup = 0;
volatile sig_atomic_t gCommandHasTerminal = 0;

// Suspends the terminal for as long as it lives and resumes it on every path.
class SuspendedTerminal {
 public:
  explicit SuspendedTerminal(TerminalHandover& terminal) : terminal_(terminal) {
    terminal_.suspend();
  }
  SuspendedTerminal(const SuspendedTerminal&) = delete;
  SuspendedTerminal& operator=(const SuspendedTerminal&) = delete;
  ~SuspendedTerminal() { terminal_.resume(); }

 private:
  TerminalHandover& terminal_;
};

// Whether this process's group is the foreground group of the terminal on standard input.
bool leadsTerminal() {
  return ::isatty(STDIN_FILENO) == 1 && ::tcgetpgrp(STDIN_FILENO) == ::getpgrp();
}

// Gives the terminal's foreground to `group` with SIGTTOU held back: a process outside the
// foreground group that changes it would otherwise be stopped.
void giveForeground(pid_t group) {
  sigset_t hold;
  sigset_t previous;
  sigemptyset(&hold);
  sigaddset(&hold, SIGTTOU);
  (void)::pthread_sigmask(SIG_BLOCK, &hold, &previous);
  (void)::tcsetpgrp(STDIN_FILENO, group);  // the terminal may be gone; nothing to do then
  (void)::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

// Runs "/bin/sh -c commandLine" and waits for it; the wait status, or -1 when no process
// could be made. When this process leads the terminal, the shell runs as a job of its own in
// the terminal's foreground, as a shell runs a command: Ctrl+C and Ctrl+\ reach the command
// alone, and a fatal signal to this process can be passed on to the command's whole group.
int runShell(const std::string& commandLine) {
  const bool foreground = leadsTerminal();
  char shell[] = "sh";
  char option[] = "-c";
  char* const argv[] = {shell, option, const_cast<char*>(commandLine.c_str()), nullptr};
  const pid_t pid = ::fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    if (foreground) {
      (void)::setpgid(0, 0);
      giveForeground(::getpid());
    }
    ::execve("/bin/sh", argv, environ);
    ::_exit(127);
  }
  if (foreground) {
    (void)::setpgid(pid, pid);  // also done by the child; whichever runs first counts
    giveForeground(pid);
  }
  gCommandOwnGroup = foreground ? 1 : 0;
  gCommandHasTerminal = foreground ? 1 : 0;
  gCommandPid = pid;
  int status = 0;
  pid_t done;
  do {
    done = ::waitpid(pid, &status, 0);
  } while (done < 0 && errno == EINTR);
  gCommandPid = 0;
  if (foreground) giveForeground(::getpgrp());
  gCommandHasTerminal = 0;
  return done == pid ? status : -1;
}

}  // namespace

int runCommand(const std::string& commandLine, TerminalHandover& terminal) {
  if (commandLine.empty()) return -1;
  // The shell would see the line only up to a 0x00 byte: a different command than asked for.
  if (commandLine.find('\0') != std::string::npos) return -1;
  int status;
  {
    const SuspendedTerminal suspended(terminal);
    status = runShell(commandLine);
  }
  return commandResult(status);
}

void endRunningCommand(int signal) {
  const pid_t pid = gCommandPid;
  if (pid <= 0) return;
  (void)::kill(gCommandOwnGroup != 0 ? -pid : pid, signal);
  if (gCommandHasTerminal != 0) {
    gCommandHasTerminal = 0;
    giveForeground(::getpgrp());
  }
}

std::string shellQuote(std::string_view word) {
  std::string quoted = "'";
  for (char c : word) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  quoted += '\'';
  return quoted;
}

}  // namespace mvex
