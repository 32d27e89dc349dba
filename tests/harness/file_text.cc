#include "tests/harness/file_text.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include "io/unique_fd.h"

namespace mvex::harness {

std::optional<std::string> readFile(const std::string& path) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid()) return std::nullopt;
  std::string contents;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n > 0) {
      contents.append(buffer, static_cast<size_t>(n));
    } else if (n == 0) {
      return contents;
    } else if (errno != EINTR) {
      return std::nullopt;
    }
  }
}

bool writeFile(const std::string& path, std::string_view contents) {
  UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (!fd.valid()) return false;
  size_t written = 0;
  while (written < contents.size()) {
    const ssize_t n = ::write(fd.get(), contents.data() + written, contents.size() - written);
    if (n > 0) {
      written += static_cast<size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace mvex::harness
