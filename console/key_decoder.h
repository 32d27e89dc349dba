#ifndef MVEX_CONSOLE_KEY_DECODER_H_
#define MVEX_CONSOLE_KEY_DECODER_H_

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace mvex {

/// One decoded key: 0 to 255 an ordinary key (its byte), 256 plus a scan code a special key.
using KeyCode = int;

/// Special keys as 256 plus their scan code.
inline constexpr KeyCode kKeyUp = 0x148;
inline constexpr KeyCode kKeyDown = 0x150;
inline constexpr KeyCode kKeyLeft = 0x14B;
inline constexpr KeyCode kKeyRight = 0x14D;
inline constexpr KeyCode kKeyInsert = 0x152;
inline constexpr KeyCode kKeyDelete = 0x153;
inline constexpr KeyCode kKeyHome = 0x147;
inline constexpr KeyCode kKeyEnd = 0x14F;
inline constexpr KeyCode kKeyPageUp = 0x149;
inline constexpr KeyCode kKeyPageDown = 0x151;
inline constexpr KeyCode kKeyF1 = 0x13B;

/// Holds up to 255 keys in arrival order; appending to a full queue drops the oldest key.
class KeyQueue {
 public:
  /// Appends `key`; when 255 keys are held the oldest is dropped first.
  void push(KeyCode key);
  /// The oldest key, or nothing when empty; the key stays queued.
  [[nodiscard]] std::optional<KeyCode> peek() const;
  /// Removes and returns the oldest key, or nothing when empty.
  std::optional<KeyCode> pop();
  [[nodiscard]] bool empty() const { return read_ == write_; }
  /// True when the next push would drop the oldest key.
  [[nodiscard]] bool full() const { return (write_ + 1) % slots_.size() == read_; }

 private:
  std::array<KeyCode, 256> slots_{};
  unsigned read_ = 0;
  unsigned write_ = 0;
};

/// Where the decoder takes its bytes from: one byte at a time, never waiting.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  /// The next waiting byte (0 to 255), or -1 when none is waiting right now.
  virtual int nextByte() = 0;
};

/// A capability string a key sends (starting with ESC) and the key it stands for.
struct KeySequence {
  std::string bytes;
  KeyCode key;
};

/// The tree of byte sequences that may follow an ESC, with the keys they complete.
class EscapeTable {
 public:
  /// Marks a mouse report: three more bytes follow, and no key results.
  static constexpr KeyCode kMouseReport = -2;

  /// Builds the tree from `sequences` in order (each one's leading ESC is left out, and
  /// sequences of one byte are skipped), then adds the mouse-report marker "[M". A sequence
  /// that repeats, extends or is a prefix of one entered earlier is skipped: the first wins.
  explicit EscapeTable(const std::vector<KeySequence>& sequences);

  /// Result of looking one byte up on a level.
  struct Step {
    bool found = false;
    KeyCode key = -1;  ///< the completed key when `next` is -1
    int next = -1;     ///< the next level when the sequence goes on
  };
  /// Looks `byte` up on level `level` (0 is the top level).
  [[nodiscard]] Step find(int level, unsigned char byte) const;

 private:
  struct Entry {
    unsigned char byte;
    KeyCode key;
    int next;
  };
  void add(const std::string& tail, KeyCode key);

  std::vector<std::vector<Entry>> levels_;
};

/// Decodes at most one key from `source`: 127 gives 8, LF gives 13, ESC with nothing waiting
/// gives 27, ESC plus a sequence of `table` gives its key. An unknown sequence drops every
/// waiting byte, an incomplete one drops what was read; both give nothing, as does an empty
/// source. `table` is built by `makeTable` the first time an ESC is followed by a byte.
std::optional<KeyCode> decodeKey(ByteSource& source, std::optional<EscapeTable>& table,
                                 std::vector<KeySequence> (*makeTable)());

}  // namespace mvex

#endif  // MVEX_CONSOLE_KEY_DECODER_H_
