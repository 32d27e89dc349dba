#ifndef MVEX_CONSOLE_CONSOLE_STATE_H_
#define MVEX_CONSOLE_CONSOLE_STATE_H_

#include <termios.h>

#include <optional>
#include <string>

#include "console/key_decoder.h"
#include "io/unique_fd.h"

namespace mvex {

/// How the console drives the terminal; decided once when it is opened.
enum class ConsoleMode { kPlain, kLinuxConsole, kOtherTerminal };

/// The terminal capabilities the console writes; an empty string is an absent capability.
struct Capabilities {
  std::string cm, ho, cs, cl, me, ve, vi, ks, ke, bl;
};

/// The one console state of the process, shared by the console's own files.
struct ConsoleState {
  ConsoleMode mode = ConsoleMode::kPlain;
  Capabilities caps;
  int rows = 24;
  int columns = 80;
  int trackedRow = 1;
  int trackedColumn = 1;
  bool cursorShown = true;
  int viewFirst = 0;  ///< 0 while the text view is unset
  int viewLast = 0;
  bool takenOver = false;       ///< raw mode is applied and must be given back
  bool terminalAnswers = true;  ///< false once a query went unanswered
  UniqueFd tty;                 ///< "/dev/tty", keys and query answers are read from it
  termios savedStdout{};
  termios savedTty{};
  int savedTtyFlags = 0;

  KeyQueue keys;
  std::optional<EscapeTable> escapeTable;
  std::string pendingInput;  ///< bytes read from the terminal, not yet decoded into keys
  bool ttyAtEnd = false;     ///< the terminal handle reported its end (hang-up)
  int plainByte = -1;        ///< plain mode: a byte of standard input read ahead
  bool plainAtEnd = false;   ///< plain mode: standard input reached its end
};

/// The process-wide console state.
ConsoleState& consoleState();

/// Writes all of `bytes` to standard output, retrying on EINTR and short writes; gives up
/// silently when standard output fails.
void writeOut(std::string_view bytes);

/// Writes capability `capability` expanded for (column, row), both 0-based.
void writeCapability(const std::string& capability, int column = 0, int row = 0);

/// Runs the window-size work deferred by the signal handler, when a change was signalled.
void serviceWindowChange();

/// Reads every byte the terminal handle holds right now into the pending input.
void readWaitingInput(ConsoleState& state);

/// Decodes the pending input into keys, in order, as far as the key queue has room.
void decodePendingInput(ConsoleState& state);

}  // namespace mvex

#endif  // MVEX_CONSOLE_CONSOLE_STATE_H_
