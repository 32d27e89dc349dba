#include "bench/pty_pair.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>

namespace mvex::bench {

int openPtyPair(int rows, int columns, PtyPair& pty) {
  int master = -1;
  int slave = -1;
  char name[256] = {};
  winsize size = {};
  size.ws_row = static_cast<unsigned short>(rows);
  size.ws_col = static_cast<unsigned short>(columns);
  if (openpty(&master, &slave, name, nullptr, &size) != 0) return errno;
  pty.master.reset(master);
  pty.slave.reset(slave);
  pty.slavePath = name;
  const int flags = fcntl(master, F_GETFL);
  if (flags < 0 || fcntl(master, F_SETFL, flags | O_NONBLOCK) != 0 ||
      fcntl(master, F_SETFD, FD_CLOEXEC) != 0 || fcntl(slave, F_SETFD, FD_CLOEXEC) != 0) {
    const int error = errno;
    pty.master.reset();
    pty.slave.reset();
    pty.slavePath.clear();
    return error;
  }
  return 0;
}

int makeSlaveRaw(const PtyPair& pty) {
  termios settings = {};
  if (tcgetattr(pty.slave.get(), &settings) != 0) return errno;
  cfmakeraw(&settings);
  settings.c_cc[VMIN] = 1;
  settings.c_cc[VTIME] = 0;
  if (tcsetattr(pty.slave.get(), TCSANOW, &settings) != 0) return errno;
  return 0;
}

bool slaveIsRaw(const PtyPair& pty) {
  termios settings = {};
  if (tcgetattr(pty.slave.get(), &settings) != 0) return false;
  return (settings.c_lflag & ICANON) == 0;
}

int writeAll(int fd, std::string_view data, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!data.empty()) {
    const ssize_t written = ::write(fd, data.data(), data.size());
    if (written > 0) {
      data.remove_prefix(static_cast<size_t>(written));
      continue;
    }
    const int error = errno;
    if (written < 0 && error == EINTR) continue;
    if (written < 0 && error != EAGAIN) return error;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return ETIMEDOUT;
    pollfd entry = {fd, POLLOUT, 0};
    (void)poll(&entry, 1, static_cast<int>(left.count()));  // the write above tells the outcome
  }
  return 0;
}

}  // namespace mvex::bench
