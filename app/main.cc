// mvexterm: a serial terminal for MORVEX boards.

#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "app/app_state.h"
#include "app/port_selection.h"
#include "app/start_up.h"
#include "console/console.h"
#include "io/data_file.h"
#include "io/text.h"
#include "serial/serial_port.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: mvexterm [PORT [BAUD [DELAY [COMPILER]]]]\n"
    "A serial terminal for MORVEX boards.\n"
    "\n"
    "  PORT      COM1 to COM4 (/dev/ttyS0 to /dev/ttyS3) or a device path such as\n"
    "            /dev/ttyUSB0; empty or absent: the first of COM1 to COM4 that opens\n"
    "  BAUD      line rate, default 9600 (8 data bits, no parity, 1 stop bit)\n"
    "  DELAY     pause after each terminal pass in milliseconds, one upload byte\n"
    "            per pass, default 20\n"
    "  COMPILER  command that compiles a source file for Load, default mvxcomp\n"
    "\n"
    "Press Esc at the board's \"> \" prompt for Load, Dump and Quit.\n";

constexpr std::string_view kVersion = "mvexterm " MVEX_VERSION "\n";

/// Writes a whole text to standard output; there is nobody to tell about a failure.
void writeOut(std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(STDOUT_FILENO, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    text.remove_prefix(static_cast<size_t>(n));
  }
}

}  // namespace

int main(int argc, char** argv) {
  const mvex::ArgumentList arguments(argc, argv);
  if (argc == 2) {
    const std::string only = arguments.commandArgument(1);
    if (only == "--help" || only == "--version") {
      writeOut(only == "--help" ? kUsage : kVersion);
      return 0;
    }
  }
  // The console is taken over first and given back last, after both channels below are closed.
  const mvex::ConsoleSession console;
  mvex::AppState app = mvex::startUp(arguments);
  mvex::SerialPort serial;
  mvex::DataFile file;
  mvex::Channels channels{serial, file};
  return mvex::selectPortAndRun(app, channels);
}
