#ifndef MVEX_APP_LOAD_H_
#define MVEX_APP_LOAD_H_

#include <string>

#include "app/app_state.h"

namespace mvex {

/// The shell command line that compiles `fileName` into `tempFileName`: the compiler command as
/// typed (it may carry options), then both file names quoted so the shell takes them literally.
std::string compileCommandLine(const AppState& app);

/// Load, chosen in the full menu: asks for a file name and opens channel 2 for the upload, either
/// on a hex file (its first item begins with "0000:") or on the compiler's output for a source
/// file. Every path that starts no upload ends with a message (if any) and "> ".
void loadFile(AppState& app, Channels& channels);

/// One pass of a running upload: closes the file at its end, or sends its next byte, with CR
/// dropped and LF sent as CR. A byte the line did not take goes out again in the next pass.
void uploadStep(AppState& app, Channels& channels);

/// Esc during an upload: says so, closes the file and sends three CR bytes.
void cancelUpload(AppState& app, Channels& channels);

}  // namespace mvex

#endif  // MVEX_APP_LOAD_H_
