#include "tests/harness/pty_io.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace mvex::harness {

int readAvailable(int fd, std::string& into) {
  int total = 0;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
      into.append(buffer, static_cast<size_t>(n));
      total += static_cast<int>(n);
      continue;
    }
    const int error = errno;
    if (n < 0 && error == EINTR) continue;
    if (n < 0 && (error == EAGAIN || error == EWOULDBLOCK)) return total;
    return total > 0 ? total : -1;  // end of input or an error such as EIO after a hang-up
  }
}

bool waitReadable(int fd, int sliceMs) {
  pollfd entry{fd, POLLIN, 0};
  const int ready = ::poll(&entry, 1, sliceMs);
  return ready > 0 && (entry.revents & (POLLIN | POLLHUP | POLLERR)) != 0;
}

size_t writeAll(int fd, std::string_view bytes, const Deadline& deadline,
                const std::function<void()>& drain) {
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n > 0) {
      written += static_cast<size_t>(n);
      continue;
    }
    const int error = errno;
    if (n < 0 && error == EINTR) continue;
    if (n < 0 && error != EAGAIN && error != EWOULDBLOCK) break;
    if (deadline.passed()) break;
    if (drain) drain();
    pollfd entry{fd, POLLOUT, 0};
    (void)::poll(&entry, 1, deadline.nextSlice(std::chrono::milliseconds(5)));  // only a pause
  }
  return written;
}

bool makePrivate(int fd) {
  const int flags = ::fcntl(fd, F_GETFD);
  return flags >= 0 && ::fcntl(fd, F_SETFD, flags | FD_CLOEXEC) == 0;
}

bool makeNonBlockingPrivate(int fd) {
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) return false;
  return makePrivate(fd);
}

}  // namespace mvex::harness
