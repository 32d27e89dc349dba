#ifndef MVEX_CONSOLE_TERMCAP_H_
#define MVEX_CONSOLE_TERMCAP_H_

#include <termios.h>

#include <string>

namespace mvex {

/// Loads the capability entry of terminal type `term`. Returns true when an entry was found;
/// on false no capability may be fetched and the previous entry is no longer usable.
[[nodiscard]] bool loadTermEntry(const char* term);

/// True when the loaded entry has the boolean capability `id` (e.g. "am").
[[nodiscard]] bool termFlag(const char* id);

/// The string capability `id` as stored in the entry, or "" when absent.
[[nodiscard]] std::string termString(const char* id);

/// Sets the termcap library's own variables: the pad character from `pc` (NUL when absent),
/// no up or back-space strings, and the output speed `speed`.
void setTermVariables(speed_t speed);

/// Expands capability `capability` with the cursor-motion arguments (column, row, 0-based) and
/// applies its padding; returns the bytes to send. An empty capability gives "".
[[nodiscard]] std::string expandCapability(const std::string& capability, int column, int row);

/// Applies the padding of a capability that takes no arguments; returns the bytes to send.
[[nodiscard]] std::string plainCapability(const std::string& capability);

}  // namespace mvex

#endif  // MVEX_CONSOLE_TERMCAP_H_
