// Fuzzes parsePortSpec: whatever the text, the status is 0 or 1; a parsed record holds only
// values from the accepted sets, agrees with the name test, and reads back the same when
// written out again as a port spec; a refused text leaves the record untouched.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "serial/port_spec.h"

namespace mvex {
namespace {

// A record no parse can produce, to see that a refused text leaves it alone.
PortSpec sentinel() {
  PortSpec spec;
  spec.deviceName = "untouched";
  spec.baudRate = 12345;
  spec.parity = Parity::Mark;
  spec.irValue = 77;
  return spec;
}

std::string parityWord(const PortSpec& spec) {
  static constexpr const char* kWords[] = {"N", "E", "O", "S", "M"};
  if (spec.parity == Parity::Even && spec.peFlag) return "PE";
  return kWords[static_cast<int>(spec.parity)];
}

std::string stopBitsText(StopBits stopBits) {
  switch (stopBits) {
    case StopBits::One:
      return "1";
    case StopBits::OneAndHalf:
      return "1.5";
    case StopBits::Two:
      return "2";
  }
  return "?";
}

// The record written out as a port spec that names every field.
std::string portSpecText(const PortSpec& spec) {
  std::string text = spec.portNumber != 0 ? spec.deviceName : spec.deviceName + ":";
  text += std::to_string(spec.baudRate) + "," + parityWord(spec) + "," +
          std::to_string(spec.dataBits) + "," + stopBitsText(spec.stopBits);
  const struct {
    const char* prefix;
    uint32_t value;
  } kNumbers[] = {{"CS", spec.csValue}, {"DS", spec.dsValue}, {"CD", spec.cdValue},
                  {"OP", spec.opValue}, {"TB", spec.tbValue}, {"RB", spec.rbValue},
                  {"IR", spec.irValue}};
  for (const auto& number : kNumbers)
    text += std::string(",") + number.prefix + std::to_string(number.value);
  text += spec.textMode ? ",ASC" : ",BIN";
  if (spec.rsFlag) text += ",RS";
  if (spec.peFlag) text += ",PE";
  if (spec.dtFlag) text += ",DT";
  if (spec.feFlag) text += ",FE";
  if (spec.meFlag) text += ",ME";
  return text;
}

void checkParsed(std::string_view text, const PortSpec& spec) {
  const PortNameMatch name = matchPortName(text);
  MVEX_FUZZ_CHECK(name.accepted);
  MVEX_FUZZ_CHECK(spec.portNumber == name.portNumber);
  MVEX_FUZZ_CHECK(spec.deviceName.size() <= kMaxDeviceNameLength);
  MVEX_FUZZ_CHECK(spec.deviceName.find('\0') == std::string::npos);
  if (spec.portNumber != 0) {
    MVEX_FUZZ_CHECK(spec.deviceName == "COM" + std::to_string(spec.portNumber) + ":");
  } else {
    MVEX_FUZZ_CHECK(spec.deviceName == text.substr(0, text.find(':')));
  }
  const int parity = static_cast<int>(spec.parity);
  MVEX_FUZZ_CHECK(parity >= 0 && parity <= 4);
  MVEX_FUZZ_CHECK(spec.stopBits == StopBits::One || spec.stopBits == StopBits::OneAndHalf ||
                  spec.stopBits == StopBits::Two);
  PortSpec again;
  MVEX_FUZZ_CHECK(parsePortSpec(portSpecText(spec), again) == 0);
  MVEX_FUZZ_CHECK(again == spec);
}

}  // namespace
}  // namespace mvex

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace mvex;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  PortSpec spec = sentinel();
  const int status = parsePortSpec(text, spec);
  MVEX_FUZZ_CHECK(status == 0 || status == 1);
  if (status == 0) {
    checkParsed(text, spec);
  } else {
    MVEX_FUZZ_CHECK(spec == sentinel());
  }
  return 0;
}
