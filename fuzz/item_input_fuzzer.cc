// Fuzzes readItem on a real file holding the input: no item is longer than 4096 bytes or holds
// a 0x00 byte, the items together are never longer than the file, and reading items one after
// the other reaches the end within one call per byte of the file.
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "io/data_file.h"
#include "io/item_input.h"
#include "io/unique_fd.h"

namespace mvex {
namespace {

// An in-memory file, reachable by path through /proc, rewritten for each input.
class MemoryFile {
 public:
  MemoryFile() : fd_(::memfd_create("mvex_item_input", 0)) {
    MVEX_FUZZ_CHECK(fd_.valid());
    path_ = "/proc/self/fd/" + std::to_string(fd_.get());
  }
  void fill(const uint8_t* data, size_t size) {
    MVEX_FUZZ_CHECK(::ftruncate(fd_.get(), 0) == 0);
    size_t done = 0;
    while (done < size) {
      const ssize_t wrote = ::pwrite(fd_.get(), data + done, size - done, static_cast<off_t>(done));
      if (wrote < 0 && errno == EINTR) continue;
      MVEX_FUZZ_CHECK(wrote > 0);
      done += static_cast<size_t>(wrote);
    }
  }
  const std::string& path() const { return path_; }

 private:
  UniqueFd fd_;
  std::string path_;
};

}  // namespace
}  // namespace mvex

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace mvex;
  static MemoryFile memory;
  memory.fill(data, size);
  DataFile file;
  MVEX_FUZZ_CHECK(file.openFile(memory.path(), OpenMode::input) == 0);
  size_t calls = 0;
  size_t itemBytes = 0;
  while (!file.atEnd()) {
    MVEX_FUZZ_CHECK(calls <= size);  // every call uses up at least one byte
    ++calls;
    const std::string item = readItem(file);
    MVEX_FUZZ_CHECK(item.size() <= static_cast<size_t>(maxItemLength));
    MVEX_FUZZ_CHECK(item.find('\0') == std::string::npos);
    itemBytes += item.size();
    MVEX_FUZZ_CHECK(itemBytes <= size);
  }
  MVEX_FUZZ_CHECK(readItem(file).empty());
  MVEX_FUZZ_CHECK(file.closeFile() == 0);
  return 0;
}
