#include "io/command.h"

#include <stdlib.h>
#include <sys/wait.h>

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

}  // namespace

int runCommand(const std::string& commandLine, TerminalHandover& terminal) {
  if (commandLine.empty()) return -1;
  // The shell would see the line only up to a 0x00 byte: a different command than asked for.
  if (commandLine.find('\0') != std::string::npos) return -1;
  int status;
  {
    const SuspendedTerminal suspended(terminal);
    status = ::system(commandLine.c_str());
  }
  return commandResult(status);
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
