#ifndef MVEX_SERIAL_SERIAL_PORT_H_
#define MVEX_SERIAL_SERIAL_PORT_H_

#include <termios.h>

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "io/unique_fd.h"
#include "serial/port_spec.h"

namespace mvex {

/// The serial line: a terminal device opened and configured from a port portSpec text.
/// A SerialPort is either closed or open; it is made closed. Results are 0 or an ErrorNumber.
class SerialPort {
 public:
  SerialPort() = default;
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;
  /// Closes the port (restoring the device's settings) if it is still open.
  ~SerialPort();

  /// Parses `specText`, opens the device it names (non-blocking, not as controlling
  /// terminal) and applies the line settings. Returns 0 and leaves the port open; 1 when the
  /// port is already open (it is not touched), the text is invalid, IR is not 0, the rate is
  /// not supported, or the device's settings cannot be read, flushed or applied (the device is
  /// then restored and closed); 2 when the device cannot be opened within 3 seconds. On every
  /// failure of a closed port it stays closed.
  [[nodiscard]] int openPort(std::string_view specText);

  /// Count of received bytes ready to read, never waiting: the bytes already taken from the
  /// device but not yet handed out, or, once those are used up, what the driver holds. Not 0
  /// exactly when a byte is ready. 0 on a closed port, and when the driver cannot be asked.
  int64_t bytesWaiting();

  /// Stores the next received byte in `dest` and sets `count` to 1; when nothing arrives
  /// within 70 ms, sets `count` to 0 and leaves `dest` alone. Returns 0, or 1 when the port is
  /// closed or the read fails (`dest` untouched, `count` 0, port still open).
  [[nodiscard]] int readByte(char& dest, int& count);

  /// Hands the bytes of `text` to the device unchanged, without waiting for room. Returns 0
  /// when every byte was taken (an empty text sends nothing); 3 when the device took only
  /// some or none of them (the rest is dropped, the port stays open); 1 when the port is
  /// closed.
  [[nodiscard]] int writeText(std::string_view text);

  /// Puts back the device's own settings read at open and closes it; unread received bytes
  /// are discarded. Returns 0 (failures of the restore or close are ignored), or 1 when the
  /// port is not open. The port is closed afterwards.
  int closePort();

  /// Waits at most `timeoutMs` milliseconds for a received byte (or a hang-up or error the
  /// next read will report); returns at once when one is ready. True when something is
  /// ready; false on a closed port or when the time ran out.
  bool waitForBytes(int timeoutMs);

  /// Whether the port is open.
  bool isOpen() const { return fd_.valid(); }

  /// Port number from the port portSpec the port was opened with (0 for a named device or a closed
  /// port).
  uint32_t portNumber() const { return portNumber_; }

  /// The port portSpec the open port was opened from (defaults when closed).
  const PortSpec& portSpec() const { return portSpec_; }

  /// The terminal settings applied at open (meaningful only while open).
  const termios& appliedSettings() const { return appliedSettings_; }

 private:
  static constexpr std::size_t kBufferSize = 4096;

  int openDevice(const PortSpec& portSpec, speed_t code);
  int waitReadable(std::chrono::milliseconds wait);

  UniqueFd fd_;
  termios savedSettings_{};
  termios appliedSettings_{};
  uint32_t portNumber_ = 0;
  PortSpec portSpec_;
  std::array<char, kBufferSize> buffer_{};
  std::size_t bufferStart_ = 0;
  std::size_t bufferEnd_ = 0;
};

}  // namespace mvex

#endif  // MVEX_SERIAL_SERIAL_PORT_H_
