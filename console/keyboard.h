#ifndef MVEX_CONSOLE_KEYBOARD_H_
#define MVEX_CONSOLE_KEYBOARD_H_

#include <string>

#include "console/key_decoder.h"

namespace mvex {

/// One key as the application forwards it: empty (no key), one byte (an ordinary key), or
/// 0xFF and a scan code (a special key).
using KeyString = std::string;

/// Takes the next key without waiting; empty when none is waiting (always in plain mode).
[[nodiscard]] KeyString readKey();

/// Waits for the next key and returns it: an ordinary key's byte, a special key as
/// 255 + 256 * scan code. Returns -1 when no key can come any more (end of input).
int waitKey();

/// True when a key is waiting; the key stays for the next readKey or waitKey. In plain mode
/// true until standard input is known to be at its end.
[[nodiscard]] bool keyWaiting();

/// Sleeps `ms` milliseconds; from 100 up it ends early (at 50 ms steps) when a key is
/// waiting, -1 waits for a key. Below -1, and -1 in plain mode, it returns at once.
void sleepMs(int ms);

/// The `waitKey` form of `key`.
[[nodiscard]] int waitKeyValue(KeyCode key);

/// The `KeyString` form of `key`.
[[nodiscard]] KeyString keyString(KeyCode key);

}  // namespace mvex

#endif  // MVEX_CONSOLE_KEYBOARD_H_
