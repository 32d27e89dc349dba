#ifndef MVEX_TOOLS_BOARD_BOARD_LOGIC_H_
#define MVEX_TOOLS_BOARD_BOARD_LOGIC_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace mvex {

/// The resident menu and loader of the simulated MORVEX board, without any device: bytes go in
/// one at a time, and the bytes the board sends back are appended to a caller's string.
///
/// At the prompt "> " the board takes upload lines "AAAA: HH HH ..." ended by CR and stores their
/// bytes in a 64 KiB memory image; "END" ends an upload with "Loaded N bytes". The single byte "Y"
/// at the prompt answers "Y", CR, LF and a listing of the loaded memory, then the prompt. Every
/// other byte is echoed, a CR as CR LF; Ctrl-R presses the reset switch.
class BoardLogic {
 public:
  /// The byte that presses the reset switch from the line (Ctrl-R).
  static constexpr std::uint8_t kResetByte = 0x12;
  /// Longest line the board keeps; a longer one is answered with an error at its CR.
  static constexpr std::size_t kMaxLineLength = 512;

  /// A board with cleared memory. With `fixedListing`, the dump answers with that many bytes of
  /// the fixed listing (see fixedListingByte) instead of the memory image.
  explicit BoardLogic(std::optional<std::size_t> fixedListing = std::nullopt);

  /// Presses the reset switch: forgets the line typed so far and any upload in progress, keeps the
  /// memory, and appends the greeting and the prompt to `out`.
  void pressReset(std::string& out);

  /// Takes one received byte and appends the board's answer (possibly nothing) to `out`.
  void receiveByte(std::uint8_t byte, std::string& out);

  /// The memory image, 64 KiB.
  std::span<const std::uint8_t> memory() const { return memory_; }

  /// The first address and the length of the range loaded so far (from the lowest to the highest
  /// address any upload line stored); length 0 when nothing was loaded.
  std::size_t loadedBegin() const { return loadedBegin_; }
  std::size_t loadedLength() const { return loadedEnd_ - loadedBegin_; }

 private:
  void finishLine(std::string& out);
  void storeLine(std::size_t address, std::span<const std::uint8_t> bytes);
  void sendDump(std::string& out) const;
  void sendPrompt(std::string& out);
  void sendError(const char* message, std::string& out);

  std::vector<std::uint8_t> memory_;
  std::optional<std::size_t> fixedListing_;
  std::size_t loadedBegin_ = 0;
  std::size_t loadedEnd_ = 0;
  std::string line_;
  bool lineTooLong_ = false;
  bool loading_ = false;
  std::size_t bytesThisUpload_ = 0;
};

}  // namespace mvex

#endif  // MVEX_TOOLS_BOARD_BOARD_LOGIC_H_
