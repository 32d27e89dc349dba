#include "console/termcap.h"

#include <termcap.h>

namespace mvex {
namespace {

// tputs hands every byte to a plain function without context, so the bytes of one expansion
// are collected here for the length of that call.
std::string* gTputsSink = nullptr;

int collectByte(int byte) {
  if (gTputsSink != nullptr) gTputsSink->push_back(static_cast<char>(byte));
  return byte;
}

std::string runTputs(const char* expanded) {
  std::string bytes;
  gTputsSink = &bytes;
  (void)tputs(expanded, 1, collectByte);  // tputs only fails on a null string, excluded here
  gTputsSink = nullptr;
  return bytes;
}

}  // namespace

bool loadTermEntry(const char* term) {
  // The entry buffer is unused by ncurses but must exist for other termcap libraries.
  static char entry[4096];
  return tgetent(entry, term) == 1;
}

bool termFlag(const char* id) { return tgetflag(id) == 1; }

std::string termString(const char* id) {
  const char* value = tgetstr(id, nullptr);
  if (value == nullptr || value == reinterpret_cast<const char*>(-1)) return "";
  return value;
}

void setTermVariables(speed_t speed) {
  const std::string pad = termString("pc");
  PC = pad.empty() ? '\0' : pad[0];
  UP = nullptr;
  BC = nullptr;
  ospeed = static_cast<short>(speed);
}

std::string expandCapability(const std::string& capability, int column, int row) {
  if (capability.empty()) return "";
  const char* expanded = tgoto(capability.c_str(), column, row);
  if (expanded == nullptr) return "";
  return runTputs(expanded);
}

std::string plainCapability(const std::string& capability) {
  if (capability.empty()) return "";
  return runTputs(capability.c_str());
}

}  // namespace mvex
