#include "app/port_selection.h"

#include "app/terminal_loop.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "io/data_file.h"
#include "io/text.h"

namespace mvex {

namespace {

constexpr int kProbedPorts = 4;

int shutDown(AppState& app, Channels& channels) {
  (void)channels.serial.closePort();   // nothing left to do about a failed restore at the end
  (void)deleteFile(app.tempFileName);  // usually there is no temporary file to delete
  return 0;
}

int giveUp(AppState& app) {
  print("Can't open serial port. Press any key...");
  newLine();
  sleepMs(-1);
  (void)deleteFile(app.tempFileName);  // usually there is no temporary file to delete
  return 0;
}

}  // namespace

std::string portSpecText(const AppState& app) {
  return app.portName + ":" + app.baudText + ",N,8,1" + app.portOptions;
}

void openChannel(AppState& app, const PortOpener& open) {
  if (!app.portName.empty()) {
    app.status = open(portSpecText(app));
    return;
  }
  app.status = 1;
  for (int n = 1; n <= kProbedPorts && app.status != 0; ++n) {
    app.portName = "COM" + trimBlanks(integerText(n));
    app.status = open(portSpecText(app));
  }
}

int selectPortAndRun(AppState& app, Channels& channels) {
  openChannel(app, [&channels](const std::string& text) { return channels.serial.openPort(text); });
  if (app.status != 0) return giveUp(app);
  runTerminal(app, channels);
  return shutDown(app, channels);
}

}  // namespace mvex
