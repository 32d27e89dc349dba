#ifndef MVEX_IO_UNIQUE_FD_H_
#define MVEX_IO_UNIQUE_FD_H_

#include <unistd.h>

#include <utility>

namespace mvex {

/// Owns one open file descriptor; closes it when destroyed or reset.
class UniqueFd {
 public:
  explicit UniqueFd(int fd = -1) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) reset(std::exchange(other.fd_, -1));
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { reset(); }

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  /// Gives up ownership without closing.
  int release() { return std::exchange(fd_, -1); }
  /// Closes the descriptor held (errors ignored) and takes `fd` instead.
  void reset(int fd = -1) {
    if (fd_ >= 0) (void)::close(fd_);  // nothing useful can be done about a failed close
    fd_ = fd;
  }

 private:
  int fd_;
};

}  // namespace mvex

#endif  // MVEX_IO_UNIQUE_FD_H_
