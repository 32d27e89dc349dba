#ifndef MVEX_CONSOLE_KEY_TEST_INPUT_H_
#define MVEX_CONSOLE_KEY_TEST_INPUT_H_

// Key input for exercising the key decoder without a terminal: an xterm's key strings and a
// byte source whose bytes are all waiting at once. Used by tests and the fuzz target only.

#include <string>
#include <utility>
#include <vector>

#include "console/key_decoder.h"

namespace mvex {

/// The key strings of an xterm in keypad-transmit mode, in the order the console enters them.
inline std::vector<KeySequence> xtermKeys() {
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

/// Bytes that are all waiting at once, as a terminal delivers one key's sequence or a paste.
class WaitingBytes final : public ByteSource {
 public:
  explicit WaitingBytes(std::string bytes) : bytes_(std::move(bytes)) {}
  int nextByte() override {
    if (at_ >= bytes_.size()) return -1;
    return static_cast<unsigned char>(bytes_[at_++]);
  }
  bool empty() const { return at_ >= bytes_.size(); }
  /// The bytes not read yet.
  std::string left() const { return bytes_.substr(at_); }

 private:
  std::string bytes_;
  size_t at_ = 0;
};

}  // namespace mvex

#endif  // MVEX_CONSOLE_KEY_TEST_INPUT_H_
