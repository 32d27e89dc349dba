#include "tests/harness/temp_dir.h"

#include <stdlib.h>

#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

namespace mvex::harness {

namespace {

std::string temporaryRoot() {
  const char* root = ::getenv("TMPDIR");
  if (root == nullptr || root[0] != '/') return "/tmp";
  return root;
}

}  // namespace

TempDir::TempDir() {
  std::string pattern = temporaryRoot() + "/mvex_e2e.XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (::mkdtemp(buffer.data()) != nullptr) path_ = buffer.data();
}

TempDir::TempDir(TempDir&& other) noexcept : path_(std::exchange(other.path_, std::string())) {}

TempDir::~TempDir() {
  if (path_.empty()) return;
  std::error_code ignored;  // a directory that cannot be removed is left for the system to clear
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::file(std::string_view name) const {
  std::string result = path_;
  result += '/';
  result += name;
  return result;
}

}  // namespace mvex::harness
