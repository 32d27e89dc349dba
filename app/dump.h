#ifndef MVEX_APP_DUMP_H_
#define MVEX_APP_DUMP_H_

#include <cstdint>

#include "app/app_state.h"

namespace mvex {

/// True for the bytes a hex listing is made of: upper-case hex digits, space, colon, CR and LF.
bool isHexTextByte(char byte);

/// What the capture does with one received byte.
enum class DumpAction { kDropped, kAccepted, kAcceptedWithMark, kEnded };

/// Classifies one received byte of a dump and counts it: the first three bytes are dropped, hex
/// text is accepted (with a progress mark each time the count reaches a multiple of
/// `charsPerMark`), and any other byte ends the capture without being counted.
DumpAction dumpStep(int32_t& dumpCount, char byte, int32_t charsPerMark);

/// Dump, chosen in the full menu: asks for a file name, sends the board "Y" and captures the hex
/// listing it prints into the file, with a progress bar, ending the file with "END" at the first
/// byte that is not hex text. Esc cancels, keeping what was captured. A file that could not be
/// written completely is reported after it is closed.
void dumpCapture(AppState& app, Channels& channels);

}  // namespace mvex

#endif  // MVEX_APP_DUMP_H_
