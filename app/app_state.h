#ifndef MVEX_APP_APP_STATE_H_
#define MVEX_APP_APP_STATE_H_

#include <cstdint>
#include <string>

#include "console/keyboard.h"
#include "io/data_file.h"
#include "serial/serial_port.h"

namespace mvex {

/// The application's one state record: settings from the command line, fixed settings, the quit,
/// upload and dump flags, the last two received bytes, menu and file-name texts, the dump counter.
/// Created once by startUp and passed by reference to every part of the application.
struct AppState {
  std::string portName;
  std::string baudText;
  int32_t delayMs = 20;
  std::string compilerCommand;
  std::string portOptions;
  std::string tempFileName;
  int32_t progressCells = 32;
  int32_t charsPerMark = 896;

  int32_t status = 0;
  bool quitRequested = false;
  bool uploading = false;
  bool dumping = false;
  /// The upload byte in `currentByte` was not taken by the line and goes out again next pass.
  bool resendPending = false;

  int8_t lastChar = 0;
  int8_t prevChar = 0;
  int8_t currentByte = 0;
  KeyString typedKey;
  std::string choiceKey;
  std::string menuText;
  int32_t menuLength = 0;
  int32_t savedColumn = 0;
  std::string fileName;
  std::string firstItem;
  int32_t dumpCount = 0;
};

/// Channel 1, the serial port to the board, and channel 2, the data file of one transfer.
struct Channels {
  SerialPort& serial;
  DataFile& file;
};

}  // namespace mvex

#endif  // MVEX_APP_APP_STATE_H_
