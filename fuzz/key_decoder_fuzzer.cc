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
#include "console/key_test_input.h"
#include "console/keyboard.h"
#include "fuzz/fuzz_check.h"

namespace mvex {
namespace {

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
