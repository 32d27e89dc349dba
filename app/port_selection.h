#ifndef MVEX_APP_PORT_SELECTION_H_
#define MVEX_APP_PORT_SELECTION_H_

#include <functional>
#include <string>

#include "app/app_state.h"

namespace mvex {

/// Opens a port from its port spec text; 0 when it is open.
using PortOpener = std::function<int(const std::string& specText)>;

/// The port specification text for the current `portName`: name, ":", baud text, ",N,8,1" and the
/// option tail.
std::string portSpecText(const AppState& app);

/// Opens channel 1: the port named on the command line, once, or else the first of COM1 to COM4
/// that opens, leaving its name in `portName`. Leaves the result of the last attempt in `status`.
void openChannel(AppState& app, const PortOpener& open);

/// Opens the serial port, runs the terminal loop until Quit and ends the session (port closed,
/// temporary file deleted); or, when no port opens, says so and waits for a key. Returns the
/// process exit status, always 0.
int selectPortAndRun(AppState& app, Channels& channels);

}  // namespace mvex

#endif  // MVEX_APP_PORT_SELECTION_H_
