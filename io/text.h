#ifndef MVEX_IO_TEXT_H_
#define MVEX_IO_TEXT_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mvex {

/// The process's command-line arguments, copied once at start-up and never changed.
class ArgumentList {
 public:
  /// Copies `argc` arguments from `argv`; a null entry is taken as the empty text.
  ArgumentList(int argc, const char* const* argv);

  /// Argument `index` unchanged (0 is the program's own name); the empty text for an index
  /// below 0 or beyond the last argument.
  std::string commandArgument(int index) const;

 private:
  std::vector<std::string> arguments_;
};

/// The number a text begins with: leading spaces (0x20 only) are skipped; "&H", "&O", "&B" and
/// "&" followed by an octal digit read hexadecimal, octal and binary digits in unsigned 64-bit
/// arithmetic that wraps and is then read as signed; anything else goes to strtod in the C locale
/// with "D"/"d" taken as the exponent letter. A text that holds no number gives 0.
double numberValue(std::string_view text);

/// The decimal digits of `n`, with "-" before a negative number and no blank.
std::string integerText(int32_t n);

/// `text` without its trailing spaces and 0x00 bytes and then without its leading spaces.
/// Tabs and other white space stay.
std::string trimBlanks(std::string_view text);

/// `text` with every byte a to z turned into A to Z; all other bytes stay.
std::string upperCase(std::string_view text);

/// The first `n` bytes of `text`; the empty text for n < 1, the whole text when n is beyond it.
std::string leftPart(std::string_view text, int n);

/// The 1-based position of the first occurrence of `pattern` in `text` starting at or after
/// `start`; 0 when there is none, when either text is empty or when `start` lies outside `text`.
int findText(int start, std::string_view text, std::string_view pattern);

/// A one-byte text holding the low 8 bits of `value` (0 gives the byte 0x00).
std::string charText(int value);

/// `n` spaces; the empty text for n < 1.
std::string blanks(int n);

}  // namespace mvex

#endif  // MVEX_IO_TEXT_H_
