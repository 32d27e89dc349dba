#include "serial/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>

#include "io/error_number.h"
#include "serial/alarm_guard.h"
#include "serial/line_settings.h"

namespace mvex {
namespace {

constexpr unsigned kAlarmSeconds = 3;
constexpr std::chrono::milliseconds kReadWait(70);

// Opens the device within the alarm's time; a signal other than the alarm does not make the
// open fail.
UniqueFd openWithAlarm(const std::string& path) {
  AlarmGuard guard(kAlarmSeconds);
  while (true) {
    // O_CLOEXEC keeps commands run by the terminal from inheriting the line.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    const int error = errno;
    if (fd >= 0 || error != EINTR || guard.expired()) return UniqueFd(fd);
  }
}

int applySettings(int fd, int when, const termios& settings) {
  int rc = 0;
  do {
    rc = ::tcsetattr(fd, when, &settings);
  } while (rc != 0 && errno == EINTR);
  return rc;
}

// Puts `saved` back, sending queued output first. Output held back by flow control (an XOFF
// from the far end, or CTS down) would keep that wait going for ever, so the wait is bounded
// by the alarm and the queued output is then discarded instead.
void restoreSettings(int fd, const termios& saved) {
  int rc = 0;
  int error = 0;
  {
    AlarmGuard guard(kAlarmSeconds);
    rc = ::tcsetattr(fd, TCSAFLUSH, &saved);
    error = errno;
  }
  if (rc != 0 && error == EINTR) {
    (void)::tcflush(fd, TCIOFLUSH);  // best effort: the settings below matter more
    (void)applySettings(fd, TCSANOW, saved);
  }
}

}  // namespace

SerialPort::~SerialPort() {
  if (isOpen()) (void)closePort();  // always 0 for an open port
}

int SerialPort::openPort(std::string_view specText) {
  if (isOpen()) return kBadCall;
  PortSpec portSpec;
  if (parsePortSpec(specText, portSpec) != 0) return kBadCall;
  if (portSpec.irValue != 0) return kBadCall;
  speed_t code = B0;
  if (!rateCode(portSpec.baudRate, code)) return kBadCall;
  const int rc = openDevice(portSpec, code);
  if (rc != kSuccess) return rc;
  portNumber_ = portSpec.portNumber;
  portSpec_ = std::move(portSpec);
  bufferStart_ = bufferEnd_ = 0;
  return kSuccess;
}

int SerialPort::openDevice(const PortSpec& portSpec, speed_t code) {
  UniqueFd fd = openWithAlarm(devicePath(portSpec));
  if (!fd.valid()) return kCannotOpen;
  termios saved{};
  if (::tcgetattr(fd.get(), &saved) != 0) return kBadCall;  // not a terminal; fd closes
  termios working{};
  if (::tcflush(fd.get(), TCIOFLUSH) != 0 || ::tcgetattr(fd.get(), &working) != 0) {
    restoreSettings(fd.get(), saved);
    return kBadCall;
  }
  const termios applied = lineSettings(working, portSpec, code);
  if (applySettings(fd.get(), TCSAFLUSH, applied) != 0) {
    restoreSettings(fd.get(), saved);
    return kBadCall;
  }
  fd_ = std::move(fd);
  savedSettings_ = saved;
  appliedSettings_ = applied;
  return kSuccess;
}

int64_t SerialPort::bytesWaiting() {
  if (!isOpen()) return 0;
  const auto buffered = static_cast<int64_t>(bufferEnd_ - bufferStart_);
  // Bytes already read count first: the caller drains them without asking the driver on every
  // byte, and asks again only once they are used up.
  if (buffered > 0) return buffered;
  int pending = 0;
  if (::ioctl(fd_.get(), FIONREAD, &pending) != 0 || pending < 0) pending = 0;
  return pending;
}

// 1 when the device has something to read (or an error or hang-up to report), 0 when the
// wait ran out, -1 when the wait itself failed. poll, unlike select, works for any
// descriptor number.
int SerialPort::waitReadable(std::chrono::milliseconds wait) {
  const auto deadline = std::chrono::steady_clock::now() + wait;
  while (true) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd entry{fd_.get(), POLLIN, 0};
    const int rc = ::poll(&entry, 1, left.count() > 0 ? static_cast<int>(left.count()) : 0);
    const int error = errno;
    if (rc > 0) return 1;
    if (rc == 0) return 0;
    if (error != EINTR) return -1;
  }
}

int SerialPort::readByte(char& dest, int& count) {
  count = 0;
  if (!isOpen()) return kBadCall;
  if (bufferStart_ == bufferEnd_) {
    const int ready = waitReadable(kReadWait);
    if (ready < 0) return kBadCall;
    if (ready == 0) return kSuccess;
    ssize_t got = 0;
    int error = 0;
    do {
      got = ::read(fd_.get(), buffer_.data(), buffer_.size());
      error = errno;
    } while (got < 0 && error == EINTR);
    if (got < 0) return (error == EAGAIN || error == EWOULDBLOCK) ? kSuccess : kBadCall;
    bufferStart_ = 0;
    bufferEnd_ = static_cast<std::size_t>(got);
    if (got == 0) return kSuccess;
  }
  dest = buffer_[bufferStart_++];
  count = 1;
  return kSuccess;
}

bool SerialPort::waitForBytes(int timeoutMs) {
  if (!isOpen()) return false;
  if (bufferStart_ != bufferEnd_) return true;
  return waitReadable(std::chrono::milliseconds(timeoutMs > 0 ? timeoutMs : 0)) == 1;
}

int SerialPort::writeText(std::string_view text) {
  if (!isOpen()) return kBadCall;
  if (text.empty()) return kSuccess;
  AlarmGuard guard(kAlarmSeconds);
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t put = ::write(fd_.get(), text.data() + done, text.size() - done);
    const int error = errno;
    if (put > 0) {
      done += static_cast<std::size_t>(put);
    } else if (put < 0 && error == EINTR && !guard.expired()) {
      continue;
    } else {
      break;  // full output queue or a failing device: the rest is dropped
    }
  }
  return done == text.size() ? kSuccess : kInputOutput;
}

int SerialPort::closePort() {
  if (!isOpen()) return kBadCall;
  restoreSettings(fd_.get(), savedSettings_);
  fd_.reset();
  bufferStart_ = bufferEnd_ = 0;
  portNumber_ = 0;
  portSpec_ = PortSpec{};
  return kSuccess;
}

}  // namespace mvex
