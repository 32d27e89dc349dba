#include "serial/port_spec.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

namespace mvex {
namespace {

constexpr std::string_view kBlanks = " \t";

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool equalsIgnoringCase(std::string_view text, std::string_view word) {
  if (text.size() != word.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (upper(text[i]) != word[i]) return false;
  }
  return true;
}

bool startsIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// Reads an unsigned decimal number that must take up the whole field. strtoul alone would
// accept "-1" and wrap numbers beyond 32 bits into small ones (4294976896 into 9600), so a
// sign of minus and any value that does not fit the 32-bit field are refused.
bool readNumber(std::string_view field, uint32_t& value) {
  if (field.empty() || field.find('-') != std::string_view::npos) return false;
  const std::string copy(field);
  char* end = nullptr;
  errno = 0;
  const unsigned long number = std::strtoul(copy.c_str(), &end, 10);
  const int error = errno;
  if (end != copy.c_str() + copy.size() || error == ERANGE) return false;
  if (number > std::numeric_limits<uint32_t>::max()) return false;
  value = static_cast<uint32_t>(number);
  return true;
}

bool readParity(std::string_view field, PortSpec& portSpec) {
  static constexpr struct {
    std::string_view word;
    Parity parity;
  } kParities[] = {{"N", Parity::None}, {"E", Parity::Even},  {"PE", Parity::Even},
                   {"O", Parity::Odd},  {"S", Parity::Space}, {"M", Parity::Mark}};
  for (const auto& entry : kParities) {
    if (equalsIgnoringCase(field, entry.word)) {
      portSpec.parity = entry.parity;
      if (entry.word == "PE") portSpec.peFlag = true;
      return true;
    }
  }
  return false;
}

bool readStopBits(std::string_view field, StopBits& stopBits) {
  const std::string copy(field);
  char* end = nullptr;
  const double value = std::strtod(copy.c_str(), &end);
  if (copy.empty() || end != copy.c_str() + copy.size()) return false;
  if (value == 1.0) {
    stopBits = StopBits::One;
  } else if (value == 1.5) {
    stopBits = StopBits::OneAndHalf;
  } else if (value == 2.0) {
    stopBits = StopBits::Two;
  } else {
    return false;
  }
  return true;
}

// A two-letter option prefix followed by nothing (value 0) or a number.
bool readPrefixValue(std::string_view rest, uint32_t& value) {
  if (rest.empty()) {
    value = 0;
    return true;
  }
  return readNumber(rest, value);
}

bool readOption(std::string_view field, PortSpec& portSpec) {
  static constexpr struct {
    std::string_view prefix;
    uint32_t PortSpec::*value;
  } kNumberOptions[] = {{"CS", &PortSpec::csValue}, {"DS", &PortSpec::dsValue},
                        {"CD", &PortSpec::cdValue}, {"OP", &PortSpec::opValue},
                        {"TB", &PortSpec::tbValue}, {"RB", &PortSpec::rbValue}};
  static constexpr struct {
    std::string_view word;
    bool PortSpec::*flag;
    bool value;
  } kWordOptions[] = {{"RS", &PortSpec::rsFlag, true},    {"LF", &PortSpec::textMode, true},
                      {"ASC", &PortSpec::textMode, true}, {"BIN", &PortSpec::textMode, false},
                      {"PE", &PortSpec::peFlag, true},    {"DT", &PortSpec::dtFlag, true},
                      {"FE", &PortSpec::feFlag, true},    {"ME", &PortSpec::meFlag, true}};
  for (const auto& option : kNumberOptions) {
    if (startsIgnoringCase(field, option.prefix)) {
      return readPrefixValue(field.substr(option.prefix.size()), portSpec.*option.value);
    }
  }
  for (const auto& option : kWordOptions) {
    if (equalsIgnoringCase(field, option.word)) {
      portSpec.*option.flag = option.value;
      return true;
    }
  }
  if (startsIgnoringCase(field, "IR")) return readPrefixValue(field.substr(2), portSpec.irValue);
  return false;
}

bool readField(std::size_t position, std::string_view field, PortSpec& portSpec,
               bool& stopBitsGiven) {
  switch (position) {
    case 1:
      return readNumber(field, portSpec.baudRate);
    case 2:
      return readParity(field, portSpec);
    case 3:
      return readNumber(field, portSpec.dataBits);
    case 4:
      stopBitsGiven = true;
      return readStopBits(field, portSpec.stopBits);
    default:
      return readOption(field, portSpec);
  }
}

// Scans the comma-separated settings after the name's colon, field by field.
bool readSettings(std::string_view settings, PortSpec& portSpec) {
  bool stopBitsGiven = false;
  std::size_t position = 1;
  std::size_t pos = 0;
  while (true) {
    pos = settings.find_first_not_of(kBlanks, pos);
    if (pos == std::string_view::npos) break;
    if (settings[pos] == ',') {
      ++position;
      ++pos;
      continue;
    }
    const std::size_t comma = settings.find(',', pos);
    std::string_view field =
        settings.substr(pos, comma == std::string_view::npos ? settings.npos : comma - pos);
    field = field.substr(0, field.find_last_not_of(kBlanks) + 1);
    if (!readField(position, field, portSpec, stopBitsGiven)) return false;
    ++position;
    if (comma == std::string_view::npos) break;
    pos = comma + 1;
  }
  if (!stopBitsGiven) {
    if (portSpec.baudRate > 110) {
      portSpec.stopBits = StopBits::One;
    } else {
      portSpec.stopBits = portSpec.dataBits == 5 ? StopBits::OneAndHalf : StopBits::Two;
    }
  }
  return true;
}

}  // namespace

PortNameMatch matchPortName(std::string_view text) {
  if (startsIgnoringCase(text, "SER:")) return {true, 1};
  if (text.size() <= 3) return {};
  if (!startsIgnoringCase(text, "COM")) {
    return {text.find(':') != std::string_view::npos, 0};
  }
  uint64_t number = 0;
  std::size_t pos = 3;
  for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
    number = number * 10 + static_cast<uint64_t>(text[pos] - '0');
    // Any count of digits is fine, but a number beyond 32 bits would wrap to another port.
    if (number > std::numeric_limits<uint32_t>::max()) return {};
  }
  if (pos == text.size() || text[pos] != ':') return {};
  return {true, static_cast<uint32_t>(number)};
}

int parsePortSpec(std::string_view text, PortSpec& portSpec) {
  const PortNameMatch name = matchPortName(text);
  if (!name.accepted) return 1;
  const std::size_t colon = text.find(':');
  PortSpec result;
  result.portNumber = name.portNumber;
  if (name.portNumber != 0) {
    result.deviceName = "COM" + std::to_string(name.portNumber) + ":";
  } else {
    result.deviceName = std::string(text.substr(0, colon));
  }
  // The name becomes a path for open(); a NUL byte would silently cut it short.
  if (result.deviceName.size() > kMaxDeviceNameLength ||
      result.deviceName.find('\0') != std::string::npos) {
    return 1;
  }
  if (!readSettings(text.substr(colon + 1), result)) return 1;
  portSpec = std::move(result);
  return 0;
}

}  // namespace mvex
