#ifndef MVEX_IO_COMMAND_H_
#define MVEX_IO_COMMAND_H_

#include <string>
#include <string_view>

namespace mvex {

/// Hands the user's terminal to an external command and takes it back afterwards. The console
/// implements it; io only calls it.
class TerminalHandover {
 public:
  virtual ~TerminalHandover() = default;
  /// Puts the terminal back into the state it had before the program started.
  virtual void suspend() = 0;
  /// Takes the terminal back into the program's own mode.
  virtual void resume() = 0;
};

/// Runs `commandLine` unchanged through the POSIX shell ("/bin/sh -c") and waits for it to end,
/// with the terminal suspended around it (resumed on every outcome). When the program leads its
/// terminal, the command runs as a process group of its own in the terminal's foreground (so
/// Ctrl+C reaches the command, not the program), and the foreground comes back afterwards. The
/// result is the command's exit code (0 to 255, 126 for a file that may not be executed); the raw
/// wait status when a signal ended it (signal number in the low 7 bits, 0x80 for a core file); -1
/// when no command ran: an empty line or a line holding a 0x00 byte (the terminal is not touched
/// then), no shell, or exit code 127 (no such command).
[[nodiscard]] int runCommand(const std::string& commandLine, TerminalHandover& terminal);

/// For a fatal-signal handler: sends `signal` to the command runCommand is running (its whole
/// process group when it has one of its own) and takes the terminal's foreground back from it,
/// so that the command does not outlive the program holding the terminal. Does nothing when
/// no command runs. Async-signal-safe.
void endRunningCommand(int signal);

/// `word` quoted for the POSIX shell as one argument whose bytes reach the command unchanged:
/// in single quotes, each ' written as '\''. A 0x00 byte cannot reach a command at all; a word
/// holding one is refused by `runCommand`.
std::string shellQuote(std::string_view word);

}  // namespace mvex

#endif  // MVEX_IO_COMMAND_H_
