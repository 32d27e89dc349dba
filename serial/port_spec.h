#ifndef MVEX_SERIAL_PORT_SPEC_H_
#define MVEX_SERIAL_PORT_SPEC_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mvex {

/// Parity of the line, with the codes the port portSpec uses.
enum class Parity { None = 0, Even = 1, Odd = 2, Space = 3, Mark = 4 };

/// Stop bits of the line, with the codes the port portSpec uses.
enum class StopBits { One = 0, OneAndHalf = 1, Two = 2 };

/// Longest device name a port portSpec may carry, in bytes.
inline constexpr std::size_t kMaxDeviceNameLength = 127;

/// Everything one port portSpec text says: the port's name and the settings to open it with.
struct PortSpec {
  uint32_t portNumber = 0;
  std::string deviceName;
  uint32_t baudRate = 300;
  Parity parity = Parity::Even;
  uint32_t dataBits = 7;
  StopBits stopBits = StopBits::One;
  uint32_t csValue = 1000, dsValue = 1000, cdValue = 0, opValue = 0;
  bool rsFlag = false, textMode = false, peFlag = false, dtFlag = false, feFlag = false,
       meFlag = false;
  uint32_t irValue = 0, tbValue = 0, rbValue = 0;

  /// Field-by-field equality.
  bool operator==(const PortSpec&) const = default;
};

/// Result of the name test: whether the name part is acceptable, and the port number it gives.
struct PortNameMatch {
  bool accepted = false;
  uint32_t portNumber = 0;
};

/// Tests the name at the start of a whole port portSpec text ("SER:", "COMn:", or any name
/// followed by a colon). A rejected name gives accepted false and port number 0.
PortNameMatch matchPortName(std::string_view text);

/// Reads a whole port portSpec text such as "COM1:9600,N,8,1,CD0,DS,CS,RS" into `portSpec`.
/// Returns 0 when every field was read; `portSpec` then holds the complete record.
/// Returns 1 when the text is not a valid port portSpec (including a device name longer than
/// 127 bytes or holding a NUL byte, and a number too large for 32 bits); `portSpec` is then
/// left unchanged.
[[nodiscard]] int parsePortSpec(std::string_view text, PortSpec& portSpec);

}  // namespace mvex

#endif  // MVEX_SERIAL_PORT_SPEC_H_
