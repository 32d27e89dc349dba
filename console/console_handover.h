#ifndef MVEX_CONSOLE_CONSOLE_HANDOVER_H_
#define MVEX_CONSOLE_CONSOLE_HANDOVER_H_

#include "console/console.h"
#include "io/command.h"

namespace mvex {

/// Gives the console's terminal to an external command and takes it over again afterwards.
/// When the console cannot take the terminal over again it carries on in plain mode.
class ConsoleHandover final : public TerminalHandover {
 public:
  /// Gives the terminal back as it was found (suspendConsole).
  void suspend() override { suspendConsole(); }
  /// Takes the terminal over again (resumeConsole).
  void resume() override { resumeConsole(); }
};

}  // namespace mvex

#endif  // MVEX_CONSOLE_CONSOLE_HANDOVER_H_
