// Fuzzes the key decoder with its escape table. The first byte picks the table: an xterm's key
// strings, or key strings taken from the input itself (as a terminal description may hold any);
// the rest are the bytes typed. Every key decoded has a key string of one byte or of 0xFF and a
// scan code, there are never more keys than bytes, and decoding ends within one call per byte.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "console/key_decoder.h"
#include "console/keyboard.h"
#include "fuzz/fuzz_check.h"

namespace mvex {
namespace {

// The keys the console looks up, in the order it enters them, with an xterm's strings.
std::vector<KeySequence> xtermKeys() {
  return {
      {"\x1bOA", kKeyUp},
      {"\x1bOB", kKeyDown},
      {"\x1bOD", kKeyLeft},
      {"\x1bOC", kKeyRight},
      {"\x1b[2~", kKeyInsert},
      {"\x1b[3~", kKeyDelete},
      {"\x1bOH", kKeyHome},
      {"\x1bOF", kKeyEnd},
      {"\x1b[5~", kKeyPageUp},
      {"\x1b[6~", kKeyPageDown},
      {"\x1bOP", kKeyF1},
      {"\x1bOQ", kKeyF1 + 1},
      {"\x1bOR", kKeyF1 + 2},
      {"\x1bOS", kKeyF1 + 3},
      {"\x1b[15~", kKeyF1 + 4},
      {"\x1b[17~", kKeyF1 + 5},
      {"\x1b[18~", kKeyF1 + 6},
      {"\x1b[19~", kKeyF1 + 7},
      {"\x1b[20~", kKeyF1 + 8},
      {"\x1b[21~", kKeyF1 + 9},
      {"\t", 9},
      {"\x7f", 8},
  };
}

// Every byte is waiting at once, as when a terminal delivers a paste.
class WaitingBytes final : public ByteSource {
 public:
  explicit WaitingBytes(std::string bytes) : bytes_(std::move(bytes)) {}
  int nextByte() override {
    if (at_ >= bytes_.size()) return -1;
    return static_cast<unsigned char>(bytes_[at_++]);
  }
  bool empty() const { return at_ >= bytes_.size(); }

 private:
  std::string bytes_;
  size_t at_ = 0;
};

void checkKey(KeyCode key) {
  MVEX_FUZZ_CHECK(key >= 0 && key < 512);
  const KeyString text = keyString(key);
  if (key < 256) {
    MVEX_FUZZ_CHECK(text.size() == 1 && static_cast<unsigned char>(text[0]) == key);
  } else {
    MVEX_FUZZ_CHECK(text.size() == 2 && text[0] == '\xff' &&
                    static_cast<unsigned char>(text[1]) == key - 256);
  }
}

}  // namespace
}  // namespace mvex

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace mvex;
  FuzzedDataProvider provider(data, size);
  // A table made here is used as it is; otherwise decodeKey makes the xterm one when needed.
  std::optional<EscapeTable> table;
  if (provider.ConsumeBool()) {
    // The same keys with strings from the input, each led by ESC as key capabilities are.
    std::vector<KeySequence> sequences = xtermKeys();
    for (KeySequence& sequence : sequences) {
      sequence.bytes = "\x1b" + provider.ConsumeRandomLengthString(6);
    }
    table.emplace(sequences);
  }
  const std::string typed = provider.ConsumeRemainingBytesAsString();
  WaitingBytes source(typed);
  size_t calls = 0;
  size_t keys = 0;
  while (!source.empty()) {
    MVEX_FUZZ_CHECK(calls < typed.size());  // every call takes at least one byte
    ++calls;
    if (const std::optional<KeyCode> key = decodeKey(source, table, xtermKeys)) {
      checkKey(*key);
      ++keys;
    }
  }
  MVEX_FUZZ_CHECK(keys <= typed.size());
  MVEX_FUZZ_CHECK(!decodeKey(source, table, xtermKeys).has_value());
  return 0;
}
