#ifndef MVEX_TESTS_HARNESS_FILE_TEXT_H_
#define MVEX_TESTS_HARNESS_FILE_TEXT_H_

#include <optional>
#include <string>
#include <string_view>

namespace mvex::harness {

/// Every byte of the file at `path`, or nullopt when it cannot be opened or read.
std::optional<std::string> readFile(const std::string& path);

/// Creates or truncates the file at `path` and writes exactly `contents` into it. Returns false
/// when the file cannot be created or fully written (a partly written file may remain).
[[nodiscard]] bool writeFile(const std::string& path, std::string_view contents);

}  // namespace mvex::harness

#endif  // MVEX_TESTS_HARNESS_FILE_TEXT_H_
