#ifndef MVEX_APP_START_UP_H_
#define MVEX_APP_START_UP_H_

#include <cstdint>
#include <string_view>

#include "app/app_state.h"
#include "io/text.h"

namespace mvex {

/// The pacing delay a command-line text asks for: its number value rounded to the nearest whole
/// number, halves to the even neighbour, held inside the signed 32-bit range; 0 (also for a text
/// that is no number) becomes the default of 20 ms.
int32_t delayFromText(std::string_view text);

/// Reads the four positional arguments with their defaults, fixes the remaining settings and shows
/// the five-line banner. The port is not touched yet.
AppState startUp(const ArgumentList& arguments);

}  // namespace mvex

#endif  // MVEX_APP_START_UP_H_
