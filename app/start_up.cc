#include "app/start_up.h"

#include <cmath>
#include <limits>

#include "console/console.h"

namespace mvex {

namespace {

constexpr int32_t kDefaultDelayMs = 20;
constexpr int32_t kBarUnits = 28676;

void printLine(std::string_view text) {
  print(text);
  newLine();
}

}  // namespace

int32_t delayFromText(std::string_view text) {
  const double value = numberValue(text);
  if (std::isnan(value)) return kDefaultDelayMs;
  // rint rounds halves to the even neighbour in the default rounding mode.
  const double rounded = std::rint(value);
  constexpr double kLowest = std::numeric_limits<int32_t>::min();
  constexpr double kHighest = std::numeric_limits<int32_t>::max();
  const double held = rounded < kLowest ? kLowest : (rounded > kHighest ? kHighest : rounded);
  const auto delay = static_cast<int32_t>(held);
  return delay == 0 ? kDefaultDelayMs : delay;
}

AppState startUp(const ArgumentList& arguments) {
  AppState app;
  app.portName = arguments.commandArgument(1);
  app.baudText = arguments.commandArgument(2);
  app.delayMs = delayFromText(arguments.commandArgument(3));
  app.compilerCommand = arguments.commandArgument(4);
  if (app.baudText.empty()) app.baudText = "9600";
  if (app.compilerCommand.empty()) app.compilerCommand = "mvxcomp";

  app.portOptions = ",CD0,DS,CS,RS";
  app.tempFileName = "mvexterm.tmpbytes";
  app.progressCells = 32;
  app.charsPerMark = kBarUnits / app.progressCells;

  newLine();
  printLine("***** MORVEX TERMINAL 1.02 *****");
  printLine("Press reset switch for MORVEX menu");
  printLine("Press Esc to show options or quit");
  newLine();

  app.quitRequested = false;
  app.uploading = false;
  app.lastChar = 0;
  app.prevChar = 0;
  return app;
}

}  // namespace mvex
