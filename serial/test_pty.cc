#include "serial/test_pty.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

namespace mvex {
namespace {

using Clock = std::chrono::steady_clock;

int msLeft(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return static_cast<int>(std::max<long long>(left, 0));
}

}  // namespace

bool openTestPty(TestPty& pty) {
  int master = -1;
  int slave = -1;
  if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) return false;
  UniqueFd masterFd(master);
  UniqueFd slaveFd(slave);
  const char* name = ::ttyname(slave);
  if (name == nullptr) return false;
  const int flags = ::fcntl(master, F_GETFL);
  if (flags < 0 || ::fcntl(master, F_SETFL, flags | O_NONBLOCK) != 0) return false;
  pty.slavePath = name;
  pty.master = std::move(masterFd);
  pty.slave = std::move(slaveFd);
  return true;
}

bool writeAllBytes(int fd, std::string_view bytes) {
  const auto deadline = Clock::now() + std::chrono::seconds(5);
  while (!bytes.empty()) {
    const ssize_t put = ::write(fd, bytes.data(), bytes.size());
    const int error = errno;
    if (put > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(put));
      continue;
    }
    if (put < 0 && error != EINTR && error != EAGAIN) return false;
    if (Clock::now() >= deadline) return false;
    pollfd entry{fd, POLLOUT, 0};
    (void)::poll(&entry, 1, msLeft(deadline));
  }
  return true;
}

std::string readBytes(int fd, std::size_t count, std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  std::string got;
  char chunk[4096];
  while (got.size() < count) {
    pollfd entry{fd, POLLIN, 0};
    const int ready = ::poll(&entry, 1, msLeft(deadline));
    if (ready == 0) break;
    if (ready < 0) {
      if (errno == EINTR) continue;
      break;
    }
    const ssize_t n = ::read(fd, chunk, std::min(sizeof chunk, count - got.size()));
    if (n > 0) {
      got.append(chunk, static_cast<std::size_t>(n));
    } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
      break;
    }
  }
  return got;
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  while (!condition()) {
    if (Clock::now() >= deadline) return condition();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

int openDescriptorCount() {
  DIR* dir = ::opendir("/proc/self/fd");
  if (dir == nullptr) return -1;
  int count = 0;
  while (const dirent* entry = ::readdir(dir)) {
    if (entry->d_name[0] != '.') ++count;
  }
  ::closedir(dir);
  return count;
}

bool sameSettings(const termios& a, const termios& b) {
  return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
         a.c_lflag == b.c_lflag && std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0 &&
         cfgetispeed(&a) == cfgetispeed(&b) && cfgetospeed(&a) == cfgetospeed(&b);
}

}  // namespace mvex
