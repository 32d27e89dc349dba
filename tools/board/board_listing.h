#ifndef MVEX_TOOLS_BOARD_BOARD_LISTING_H_
#define MVEX_TOOLS_BOARD_BOARD_LISTING_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mvex {

/// Size of the simulated board's memory image: addresses 0000 to FFFF.
inline constexpr std::size_t kBoardMemorySize = 0x10000;

/// Number of bytes on one line of the board's memory listing.
inline constexpr std::size_t kListingBytesPerLine = 16;

/// One line of upload text: "AAAA: HH HH ..." as an address and the bytes that follow it.
struct UploadLine {
  std::size_t address = 0;
  std::vector<std::uint8_t> bytes;
};

/// Reads one line of upload text (without its line end): optional leading spaces or tabs, four
/// hex digits and a colon, then any number of two-digit hex byte values separated by spaces.
/// Hex digits may be upper or lower case; trailing spaces are allowed. Returns 0 and fills `line`,
/// or kBadCall when the text is not an upload line, leaving `line` untouched. The address range is
/// not checked here: a line may reach past the end of memory.
[[nodiscard]] int parseUploadLine(std::string_view text, UploadLine& line);

/// Formats `bytes`, which start at `address`, as listing lines of up to 16 bytes each:
/// "AAAA: HH HH ... HH" with upper-case hex digits and a CR LF line end. No bytes give "".
[[nodiscard]] std::string listingText(std::size_t address, std::span<const std::uint8_t> bytes);

/// The byte at `address` of the fixed listing the board prints in place of its memory when asked
/// to (a deterministic pattern that does not repeat within one line).
[[nodiscard]] std::uint8_t fixedListingByte(std::size_t address);

/// The first `count` bytes of the fixed listing, from address 0000.
[[nodiscard]] std::vector<std::uint8_t> fixedListingBytes(std::size_t count);

}  // namespace mvex

#endif  // MVEX_TOOLS_BOARD_BOARD_LISTING_H_
