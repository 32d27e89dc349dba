#ifndef MVEX_IO_DATA_FILE_H_
#define MVEX_IO_DATA_FILE_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "io/unique_fd.h"

namespace mvex {

/// How a `DataFile` is opened: read from the start, or created and written from length 0.
enum class OpenMode { input, output };

/// A disk file read or written byte by byte through an 8192-byte buffer: the file a Load sends
/// and the file a Dump fills. Either closed or open; closing makes it reusable.
class DataFile {
 public:
  /// Size of the buffer between the file and the single-byte reads and writes.
  static constexpr size_t kBufferSize = 8192;
  /// Most bytes the put-back store holds.
  static constexpr int kPutBackSize = 4;

  DataFile() = default;
  DataFile(const DataFile&) = delete;
  DataFile& operator=(const DataFile&) = delete;
  /// Closes the file if it is still open, writing out what its buffer holds.
  ~DataFile();

  /// Opens `name`, with every backslash taken as a slash. `input` measures the length once and
  /// reads from byte 0; `output` creates the file or truncates it to 0 bytes and must be able to
  /// write it. 0 on success; 1 when already open (the open file stays untouched) or when an input
  /// file's length cannot be measured (pipe, terminal); 2 when the name cannot be opened in that
  /// mode (also a name holding a 0x00 byte). On failure the `DataFile` stays closed.
  [[nodiscard]] int openFile(const std::string& name, OpenMode mode);

  /// Reads the next byte: a given-back byte first, else one from the file. At the end of the
  /// file, on a read error or for an `output` file: `dest` 0, `count` 0, result 0. Not open: 1,
  /// `dest` and `count` untouched.
  [[nodiscard]] int readByte(char& dest, int& count);

  /// True when not open, or for `input` when no byte is given back and either the length
  /// measured at open has been read or a read found no byte. False for `output`.
  bool atEnd();

  /// Gives `byte` back so that the next `readByte` returns it first. 1 when not open; 3 when
  /// four bytes are already held (nothing is stored).
  [[nodiscard]] int putBackByte(char byte);

  /// Drops given-back bytes, then writes the bytes of `text` unchanged and, when `lineEnd`, one
  /// LF. 1 when not open (nothing written); 3 when the file did not take every byte: an `input`
  /// file, or a write-out of the buffer that failed. After a failed write-out every later write
  /// gives 3 too, so the file never holds a gap in the middle of what was written.
  [[nodiscard]] int writeText(std::string_view text, bool lineEnd = false);

  /// Writes out the buffer and closes the file; the `DataFile` is closed and reusable whatever
  /// the result. 1 when not open; 3 when any write since the open failed or the final write-out
  /// failed; 0 otherwise.
  [[nodiscard]] int closeFile();

  /// True between a successful `openFile` and `closeFile`.
  bool isOpen() const { return fd_.valid(); }

 private:
  bool fillBuffer();
  bool flushBuffer();
  bool put(std::string_view bytes);
  void clear();

  UniqueFd fd_;
  OpenMode mode_ = OpenMode::input;
  int64_t sizeAtOpen_ = 0;
  int64_t position_ = 0;  // bytes of the file handed out by readByte so far
  bool endSeen_ = false;
  bool writeFailed_ = false;
  std::array<char, kPutBackSize> putBack_{};
  int putBackCount_ = 0;
  // Input: bytes [bufferStart_, bufferEnd_) are read but not yet handed out.
  // Output: bytes [0, bufferEnd_) are written but not yet handed to the file.
  size_t bufferStart_ = 0;
  size_t bufferEnd_ = 0;
  std::array<char, kBufferSize> buffer_{};
};

/// Removes the file `name` (unchanged: backslashes stay). 0 on success and for the empty name;
/// 2 when there is no such file (also a name holding a 0x00 byte); 3 when access is denied;
/// 8 when the removal is not permitted; 1 for any other failure. The file stays on failure.
[[nodiscard]] int deleteFile(const std::string& name);

}  // namespace mvex

#endif  // MVEX_IO_DATA_FILE_H_
