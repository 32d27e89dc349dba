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
  PortSpec record;
  record.deviceName = "untouched";
  record.baudRate = 12345;
  record.parity = Parity::Mark;
  record.irValue = 77;
  return record;
}

std::string parityWord(const PortSpec& record) {
  static constexpr const char* kWords[] = {"N", "E", "O", "S", "M"};
  if (record.parity == Parity::Even && record.peFlag) return "PE";
  return kWords[static_cast<int>(record.parity)];
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

// The record written out as a port record that names every field.
std::string portSpecText(const PortSpec& record) {
  std::string text = record.portNumber != 0 ? record.deviceName : record.deviceName + ":";
  text += std::to_string(record.baudRate) + "," + parityWord(record) + "," +
          std::to_string(record.dataBits) + "," + stopBitsText(record.stopBits);
  const struct {
    const char* prefix;
    uint32_t value;
  } kNumbers[] = {{"CS", record.csValue}, {"DS", record.dsValue}, {"CD", record.cdValue},
                  {"OP", record.opValue}, {"TB", record.tbValue}, {"RB", record.rbValue},
                  {"IR", record.irValue}};
  for (const auto& number : kNumbers)
    text += std::string(",") + number.prefix + std::to_string(number.value);
  text += record.textMode ? ",ASC" : ",BIN";
  if (record.rsFlag) text += ",RS";
  if (record.peFlag) text += ",PE";
  if (record.dtFlag) text += ",DT";
  if (record.feFlag) text += ",FE";
  if (record.meFlag) text += ",ME";
  return text;
}

void checkParsed(std::string_view text, const PortSpec& record) {
  const PortNameMatch name = matchPortName(text);
  MVEX_FUZZ_CHECK(name.accepted);
  MVEX_FUZZ_CHECK(record.portNumber == name.portNumber);
  MVEX_FUZZ_CHECK(record.deviceName.size() <= kMaxDeviceNameLength);
  MVEX_FUZZ_CHECK(record.deviceName.find('\0') == std::string::npos);
  if (record.portNumber != 0) {
    MVEX_FUZZ_CHECK(record.deviceName == "COM" + std::to_string(record.portNumber) + ":");
  } else {
    MVEX_FUZZ_CHECK(record.deviceName == text.substr(0, text.find(':')));
  }
  const int parity = static_cast<int>(record.parity);
  MVEX_FUZZ_CHECK(parity >= 0 && parity <= 4);
  MVEX_FUZZ_CHECK(record.stopBits == StopBits::One || record.stopBits == StopBits::OneAndHalf ||
                  record.stopBits == StopBits::Two);
  PortSpec again;
  MVEX_FUZZ_CHECK(parsePortSpec(portSpecText(record), again) == 0);
  MVEX_FUZZ_CHECK(again == record);
}

}  // namespace
}  // namespace mvex

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace mvex;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  PortSpec record = sentinel();
  const int status = parsePortSpec(text, record);
  MVEX_FUZZ_CHECK(status == 0 || status == 1);
  if (status == 0) {
    checkParsed(text, record);
  } else {
    MVEX_FUZZ_CHECK(record == sentinel());
  }
  return 0;
}
