#include "io/data_file.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "io/error_number.h"

namespace mvex {
namespace {

// Opens without blocking, so that a FIFO without a partner cannot hold the program; blocking
// reads and writes are restored once the file is open. Returns -1 on failure.
int openPath(const std::string& path, int flags) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_NOCTTY | O_CLOEXEC | O_NONBLOCK, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return -1;
  const int status = ::fcntl(fd, F_GETFL);
  if (status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) < 0) {
    (void)::close(fd);  // the open is given up either way
    return -1;
  }
  return fd;
}

// The length of an input file, with the read position put back at byte 0. kBadCall when the
// file has no end to seek to, kCannotOpen when it cannot be rewound.
int measureSize(int fd, int64_t& size) {
  const off_t end = ::lseek(fd, 0, SEEK_END);
  if (end < 0) return kBadCall;
  if (::lseek(fd, 0, SEEK_SET) != 0) return kCannotOpen;
  size = static_cast<int64_t>(end);
  return kSuccess;
}

}  // namespace

DataFile::~DataFile() {
  if (isOpen()) (void)closeFile();  // nobody is left to hear of a failure here
}

int DataFile::openFile(const std::string& name, OpenMode mode) {
  if (isOpen()) return kBadCall;
  // A name holding 0x00 would name a different, shorter file.
  if (name.find('\0') != std::string::npos) return kCannotOpen;
  std::string path = name;
  std::replace(path.begin(), path.end(), '\\', '/');

  int64_t size = 0;
  UniqueFd fd(openPath(path, mode == OpenMode::input ? O_RDONLY : O_WRONLY | O_CREAT | O_TRUNC));
  if (!fd.valid()) return kCannotOpen;
  if (mode == OpenMode::input) {
    const int measured = measureSize(fd.get(), size);
    if (measured != kSuccess) return measured;
  }
  clear();
  fd_ = std::move(fd);
  mode_ = mode;
  sizeAtOpen_ = size;
  return kSuccess;
}

int DataFile::readByte(char& dest, int& count) {
  if (!isOpen()) return kBadCall;
  if (putBackCount_ > 0) {
    dest = putBack_[static_cast<size_t>(--putBackCount_)];
    count = 1;
    return kSuccess;
  }
  // An output file's buffer holds bytes on their way out, none to read.
  if (mode_ == OpenMode::output || (bufferStart_ == bufferEnd_ && !fillBuffer())) {
    dest = 0;
    count = 0;
    return kSuccess;
  }
  dest = buffer_[bufferStart_++];
  ++position_;
  count = 1;
  return kSuccess;
}

bool DataFile::atEnd() {
  if (!isOpen()) return true;
  if (putBackCount_ > 0) return false;
  if (mode_ == OpenMode::output) return false;
  return endSeen_ || position_ >= sizeAtOpen_;
}

int DataFile::putBackByte(char byte) {
  if (!isOpen()) return kBadCall;
  if (putBackCount_ == kPutBackSize) return kInputOutput;
  putBack_[static_cast<size_t>(putBackCount_++)] = byte;
  return kSuccess;
}

int DataFile::writeText(std::string_view text, bool lineEnd) {
  if (!isOpen()) return kBadCall;
  putBackCount_ = 0;
  int result = kSuccess;
  if (!text.empty() && !put(text)) result = kInputOutput;
  if (lineEnd && !put("\n")) result = kInputOutput;
  return result;
}

int DataFile::closeFile() {
  if (!isOpen()) return kBadCall;
  if (mode_ == OpenMode::output) {
    if (!flushBuffer()) writeFailed_ = true;
    // A failed close of a written file can mean lost data (on network file systems); on Linux
    // the descriptor is gone even after EINTR, which is no failure of the data.
    if (::close(fd_.release()) != 0 && errno != EINTR) writeFailed_ = true;
  }
  const int result = writeFailed_ ? kInputOutput : kSuccess;
  clear();
  return result;
}

// Reads the next block into the empty buffer. False, with the end noted, when the file gives
// no byte: its end, or a read error, which ends the reading just the same.
bool DataFile::fillBuffer() {
  if (endSeen_) return false;
  ssize_t got;
  do {
    got = ::read(fd_.get(), buffer_.data(), buffer_.size());
  } while (got < 0 && errno == EINTR);
  if (got <= 0) {
    endSeen_ = true;
    return false;
  }
  bufferStart_ = 0;
  bufferEnd_ = static_cast<size_t>(got);
  return true;
}

// Hands every buffered byte to the file, continuing after short writes. On failure the
// bytes not taken are dropped.
bool DataFile::flushBuffer() {
  size_t done = 0;
  while (done < bufferEnd_) {
    const ssize_t wrote = ::write(fd_.get(), buffer_.data() + done, bufferEnd_ - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) break;
    done += static_cast<size_t>(wrote);
  }
  const bool complete = done == bufferEnd_;
  bufferEnd_ = 0;
  return complete;
}

bool DataFile::put(std::string_view bytes) {
  if (mode_ != OpenMode::output || writeFailed_) return false;
  while (!bytes.empty()) {
    if (bufferEnd_ == buffer_.size() && !flushBuffer()) {
      writeFailed_ = true;
      return false;
    }
    const size_t room = std::min(bytes.size(), buffer_.size() - bufferEnd_);
    std::copy_n(bytes.data(), room, buffer_.data() + bufferEnd_);
    bufferEnd_ += room;
    bytes.remove_prefix(room);
  }
  return true;
}

void DataFile::clear() {
  fd_.reset();
  mode_ = OpenMode::input;
  sizeAtOpen_ = 0;
  position_ = 0;
  endSeen_ = false;
  writeFailed_ = false;
  putBackCount_ = 0;
  bufferStart_ = 0;
  bufferEnd_ = 0;
}

int deleteFile(const std::string& name) {
  if (name.empty()) return kSuccess;
  if (name.find('\0') != std::string::npos) return kCannotOpen;
  if (std::remove(name.c_str()) == 0) return kSuccess;
  const int error = errno;
  switch (error) {
    case ENOENT:
      return kCannotOpen;
    case EACCES:
      return kInputOutput;
    case EPERM:
      return kNotPermitted;
    default:
      return kBadCall;
  }
}

}  // namespace mvex
