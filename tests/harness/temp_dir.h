#ifndef MVEX_TESTS_HARNESS_TEMP_DIR_H_
#define MVEX_TESTS_HARNESS_TEMP_DIR_H_

#include <string>
#include <string_view>

namespace mvex::harness {

/// A fresh, empty directory under $TMPDIR (or /tmp), removed with everything in it when the
/// object is destroyed. When it cannot be created, ok() is false and path() is empty.
class TempDir {
 public:
  TempDir();
  TempDir(TempDir&& other) noexcept;
  TempDir& operator=(TempDir&&) = delete;
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir();

  bool ok() const { return !path_.empty(); }
  /// The directory's absolute path, without a trailing slash.
  const std::string& path() const { return path_; }
  /// The path of `name` inside the directory (the file need not exist).
  std::string file(std::string_view name) const;

 private:
  std::string path_;
};

}  // namespace mvex::harness

#endif  // MVEX_TESTS_HARNESS_TEMP_DIR_H_
