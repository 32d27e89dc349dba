#ifndef MVEX_CONSOLE_CONSOLE_SIGNALS_H_
#define MVEX_CONSOLE_CONSOLE_SIGNALS_H_

#include <termios.h>

#include <string_view>

namespace mvex {

/// What the fatal-signal handler puts back before the process ends.
struct GiveBack {
  std::string_view bytes;  ///< written to standard output first
  termios stdoutSettings;
  termios ttySettings;
  int ttyFd;
  int ttyFlags;
};

/// Installs the fatal-signal handler for SIGABRT, SIGFPE, SIGILL, SIGSEGV, SIGTERM, SIGINT,
/// SIGQUIT and SIGHUP, saving the handlers found, and arms it with `giveBack`. The handler
/// ends an external command that is running (endRunningCommand), gives the terminal back,
/// puts the saved handler back and raises the signal again.
void installFatalSignals(const GiveBack& giveBack);

/// Replaces what the handler writes and restores; calls may come at any time while installed.
/// Bytes beyond the handler's fixed room (512) are cut off.
void armFatalSignals(const GiveBack& giveBack);

/// Makes the handler give nothing back (the terminal is not taken over right now).
void disarmFatalSignals();

/// Puts back the handlers saved by installFatalSignals; nothing when not installed.
void removeFatalSignals();

/// Installs the window-size handler, which only notes that the size changed.
void installWindowSignal();

/// Puts back the window-size handler found by installWindowSignal.
void removeWindowSignal();

/// True once after each window-size change; clears the note.
[[nodiscard]] bool takeWindowChange();

}  // namespace mvex

#endif  // MVEX_CONSOLE_CONSOLE_SIGNALS_H_
