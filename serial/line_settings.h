#ifndef MVEX_SERIAL_LINE_SETTINGS_H_
#define MVEX_SERIAL_LINE_SETTINGS_H_

#include <termios.h>

#include <cstdint>
#include <string>

#include "serial/port_spec.h"

namespace mvex {

/// The device path a port portSpec names: COMn and SER: give /dev/ttyS(n-1), a bare COM gives
/// /dev/modem, any other name is the path itself (absolute, or relative to the working
/// directory). Touches no device.
std::string devicePath(const PortSpec& portSpec);

/// Looks a line rate up in the table of supported rates. Returns true and stores the termios
/// speed code in `code` when the rate is supported; returns false and leaves `code` alone
/// otherwise (75, 110, 134 and 200 among them).
bool rateCode(uint32_t rate, speed_t& code);

/// Builds the terminal settings to apply at open from the settings `asRead` from the device,
/// the port portSpec and the speed code of its rate. Every flag the port portSpec does not decide
/// keeps its value from `asRead` (after cfmakeraw in raw mode). Touches no device.
termios lineSettings(const termios& asRead, const PortSpec& portSpec, speed_t code);

}  // namespace mvex

#endif  // MVEX_SERIAL_LINE_SETTINGS_H_
