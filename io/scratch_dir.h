#ifndef MVEX_IO_SCRATCH_DIR_H_
#define MVEX_IO_SCRATCH_DIR_H_

// Real temporary files for tests: a fresh directory per test, removed with all it holds.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>

namespace mvex {

/// A new empty directory under $TMPDIR (or /tmp); removed with its contents when destroyed.
/// `path()` is empty when the directory could not be made.
class ScratchDir {
 public:
  ScratchDir() {
    const char* base = ::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp");
    pattern += "/mvex-test-XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  ~ScratchDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }

  /// The directory's absolute path.
  const std::string& path() const { return path_; }
  /// The path of `name` inside the directory.
  std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }

 private:
  std::string path_;
};

/// Writes `bytes` to `path`, replacing what it held. False when that failed.
inline bool writeWholeFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

/// The bytes of the file at `path`; the empty text when it cannot be read.
inline std::string readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace mvex

#endif  // MVEX_IO_SCRATCH_DIR_H_
