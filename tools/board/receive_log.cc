#include "tools/board/receive_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "io/error_number.h"

namespace mvex {

int ReceiveLog::open(const std::string& path) {
  UniqueFd file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (!file.valid()) return kCannotOpen;
  fd_ = std::move(file);
  start_ = std::chrono::steady_clock::now();
  return kSuccess;
}

int ReceiveLog::record(const std::uint8_t* bytes, std::size_t count,
                       std::chrono::steady_clock::time_point when) {
  if (!fd_.valid() || count == 0) return kSuccess;
  const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(when - start_).count();
  std::string lines;
  for (std::size_t i = 0; i < count; ++i) {
    char line[40];
    const int length =
        std::snprintf(line, sizeof line, "%lld %02X\n", static_cast<long long>(micros), bytes[i]);
    lines.append(line, static_cast<std::size_t>(length));
  }
  std::size_t written = 0;
  while (written < lines.size()) {
    const ssize_t result = ::write(fd_.get(), lines.data() + written, lines.size() - written);
    if (result < 0) {
      if (errno == EINTR) continue;
      return kInputOutput;
    }
    written += static_cast<std::size_t>(result);
  }
  return kSuccess;
}

}  // namespace mvex
