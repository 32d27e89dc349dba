#include "tools/board/board_line.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>

#include "io/error_number.h"

namespace mvex {
namespace {

// Raw, 8-bit clean, reads never wait: the board must see every byte exactly as sent.
int makeRaw(int fd) {
  termios settings{};
  if (::tcgetattr(fd, &settings) != 0) return kBadCall;
  ::cfmakeraw(&settings);
  settings.c_cflag |= CREAD | CLOCAL;
  settings.c_cc[VMIN] = 1;
  settings.c_cc[VTIME] = 0;
  if (::tcsetattr(fd, TCSANOW, &settings) != 0) return kBadCall;
  return kSuccess;
}

}  // namespace

BoardLine::~BoardLine() {
  if (fd_.valid() && savedSettings_) {
    (void)::tcsetattr(fd_.get(), TCSANOW, &*savedSettings_);  // nothing more to do at the end
  }
}

int BoardLine::openPseudoTerminal() {
  UniqueFd master(::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK));
  if (!master.valid() || ::grantpt(master.get()) != 0 || ::unlockpt(master.get()) != 0) {
    return kCannotOpen;
  }
  char name[128];
  if (::ptsname_r(master.get(), name, sizeof name) != 0) return kCannotOpen;
  if (makeRaw(master.get()) != kSuccess) return kBadCall;
  // Until some slave descriptor has been opened and closed, the master reports no hang-up, and
  // the board could not tell when the other side arrives.
  UniqueFd slave(::open(name, O_RDWR | O_NOCTTY));
  if (!slave.valid()) return kCannotOpen;
  slave.reset();
  fd_ = std::move(master);
  path_ = name;
  return kSuccess;
}

int BoardLine::openDevice(const std::string& path) {
  UniqueFd device(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK));
  if (!device.valid()) return kCannotOpen;
  termios saved{};
  if (::tcgetattr(device.get(), &saved) != 0) return kBadCall;
  if (makeRaw(device.get()) != kSuccess) {
    (void)::tcsetattr(device.get(), TCSANOW, &saved);  // best effort; the open fails anyway
    return kBadCall;
  }
  fd_ = std::move(device);
  path_ = path;
  savedSettings_ = saved;
  return kSuccess;
}

long BoardLine::readWaiting(std::uint8_t* buffer, std::size_t capacity) {
  while (true) {
    const ssize_t count = ::read(fd_.get(), buffer, capacity);
    if (count > 0) return static_cast<long>(count);
    const int error = errno;
    if (count < 0 && error == EINTR) continue;
    if (count < 0 && (error == EAGAIN || error == EWOULDBLOCK)) return 0;
    // End of file, or EIO from a pseudo-terminal master whose slave was closed.
    return -1;
  }
}

void BoardLine::dropPending() {
  pending_.clear();
  sent_ = 0;
}

int BoardLine::writePending() {
  while (hasPending()) {
    const ssize_t count = ::write(fd_.get(), pending_.data() + sent_, pending_.size() - sent_);
    if (count < 0) {
      const int error = errno;
      if (error == EINTR) continue;
      if (error == EAGAIN || error == EWOULDBLOCK) break;
      return kInputOutput;
    }
    sent_ += static_cast<std::size_t>(count);
  }
  if (!hasPending()) {
    dropPending();
  } else if (sent_ >= 65536) {
    // Keep a long answer that the other side reads slowly from growing the queue without end.
    pending_.erase(0, sent_);
    sent_ = 0;
  }
  return kSuccess;
}

}  // namespace mvex
