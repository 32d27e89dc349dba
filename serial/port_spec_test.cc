#include "serial/port_spec.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace mvex {

// Shows a whole record when a comparison fails.
void PrintTo(const PortSpec& s, std::ostream* out) {
  *out << "{port " << s.portNumber << ", name \"" << s.deviceName << "\", " << s.baudRate
       << " baud, parity " << static_cast<int>(s.parity) << ", " << s.dataBits << " bits, stop "
       << static_cast<int>(s.stopBits) << ", CS" << s.csValue << " DS" << s.dsValue << " CD"
       << s.cdValue << " OP" << s.opValue << " IR" << s.irValue << " TB" << s.tbValue << " RB"
       << s.rbValue << ", RS" << s.rsFlag << " text" << s.textMode << " PE" << s.peFlag << " DT"
       << s.dtFlag << " FE" << s.feFlag << " ME" << s.meFlag << "}";
}

namespace {

struct ParseCase {
  std::string text;
  int status;
  PortSpec expected;
};

void expectParses(const ParseCase& c) {
  SCOPED_TRACE(c.text);
  PortSpec portSpec;
  portSpec.deviceName = "untouched";
  ASSERT_EQ(c.status, parsePortSpec(c.text, portSpec));
  if (c.status == 0) {
    EXPECT_EQ(c.expected, portSpec);
  } else {
    EXPECT_EQ(PortSpec{.deviceName = "untouched"}, portSpec);
  }
}

TEST(PortSpecTest, ReadsTheApplicationsTextForTheFirstPort) {
  const PortSpec applicationSettings{.portNumber = 1,
                                     .deviceName = "COM1:",
                                     .baudRate = 9600,
                                     .parity = Parity::None,
                                     .dataBits = 8,
                                     .stopBits = StopBits::One,
                                     .csValue = 0,
                                     .dsValue = 0,
                                     .cdValue = 0,
                                     .rsFlag = true};
  PortSpec named = applicationSettings;
  named.portNumber = 0;
  named.deviceName = "/dev/pts/5";
  const ParseCase kCases[] = {
      {"COM1:9600,N,8,1,CD0,DS,CS,RS", 0, applicationSettings},
      {"/dev/pts/5:9600,N,8,1,CD0,DS,CS,RS", 0, named},
  };
  for (const auto& c : kCases) expectParses(c);
}

TEST(PortSpecTest, HandlesEveryDocumentedEdgeCase) {
  const ParseCase kCases[] = {
      {"COM2:", 0, {.portNumber = 2, .deviceName = "COM2:"}},
      {"com3:9600", 0, {.portNumber = 3, .deviceName = "COM3:", .baudRate = 9600}},
      {"SER:9600", 0, {.portNumber = 1, .deviceName = "COM1:", .baudRate = 9600}},
      {"COM:9600", 0, {.portNumber = 0, .deviceName = "COM", .baudRate = 9600}},
      {"COM0:9600", 0, {.portNumber = 0, .deviceName = "COM0", .baudRate = 9600}},
      {"COM1", 1, {}},
      {"COMX:9600", 1, {}},
      {"AB:", 1, {}},
      {"AB:9600", 0, {.deviceName = "AB", .baudRate = 9600}},
      {"COM1:9600,,8",
       0,
       {.portNumber = 1, .deviceName = "COM1:", .baudRate = 9600, .dataBits = 8}},
      {"COM1:9600,N,8,",
       0,
       {.portNumber = 1,
        .deviceName = "COM1:",
        .baudRate = 9600,
        .parity = Parity::None,
        .dataBits = 8,
        .stopBits = StopBits::One}},
      {"COM1: 9600 , n , 8 , 1.5",
       0,
       {.portNumber = 1,
        .deviceName = "COM1:",
        .baudRate = 9600,
        .parity = Parity::None,
        .dataBits = 8,
        .stopBits = StopBits::OneAndHalf}},
      {"COM1:9600,N,8,3", 1, {}},
      {"COM1:fast", 1, {}},
      {"COM1:9600,N,8,1,XX", 1, {}},
      {"COM1:9600,N,8,1,CS",
       0,
       {.portNumber = 1,
        .deviceName = "COM1:",
        .baudRate = 9600,
        .parity = Parity::None,
        .dataBits = 8,
        .csValue = 0}},
      {"COM1:9600,N,8,1,CS500",
       0,
       {.portNumber = 1,
        .deviceName = "COM1:",
        .baudRate = 9600,
        .parity = Parity::None,
        .dataBits = 8,
        .csValue = 500}},
      {"COM1:9600,N,8,1,CSX", 1, {}},
      {"COM1:110,N,5",
       0,
       {.portNumber = 1,
        .deviceName = "COM1:",
        .baudRate = 110,
        .parity = Parity::None,
        .dataBits = 5,
        .stopBits = StopBits::OneAndHalf}},
      {"COM1:110,N,8",
       0,
       {.portNumber = 1,
        .deviceName = "COM1:",
        .baudRate = 110,
        .parity = Parity::None,
        .dataBits = 8,
        .stopBits = StopBits::Two}},
      {"COM1:1200,N,5",
       0,
       {.portNumber = 1,
        .deviceName = "COM1:",
        .baudRate = 1200,
        .parity = Parity::None,
        .dataBits = 5,
        .stopBits = StopBits::One}},
      {"COM1:9600,N,8,1,ASC,BIN",
       0,
       {.portNumber = 1,
        .deviceName = "COM1:",
        .baudRate = 9600,
        .parity = Parity::None,
        .dataBits = 8,
        .textMode = false}},
      {"COM1:9600,N,8,1,IR",
       0,
       {.portNumber = 1,
        .deviceName = "COM1:",
        .baudRate = 9600,
        .parity = Parity::None,
        .dataBits = 8,
        .irValue = 0}},
  };
  for (const auto& c : kCases) expectParses(c);
}

TEST(PortSpecTest, ReadsEveryOptionInAnyCaseAndLetTheLastOccurrenceWin) {
  const ParseCase kCases[] = {
      {"com7:19200,o,6,2,cs9,ds8,cd7,op6,tb5,rb4,ir3,rs,lf,pe,dt,fe,me",
       0,
       {.portNumber = 7,
        .deviceName = "COM7:",
        .baudRate = 19200,
        .parity = Parity::Odd,
        .dataBits = 6,
        .stopBits = StopBits::Two,
        .csValue = 9,
        .dsValue = 8,
        .cdValue = 7,
        .opValue = 6,
        .rsFlag = true,
        .textMode = true,
        .peFlag = true,
        .dtFlag = true,
        .feFlag = true,
        .meFlag = true,
        .irValue = 3,
        .tbValue = 5,
        .rbValue = 4}},
      {"COM1:,PE,,2.0,CS1,CS2,BIN,ASC",
       0,
       {.portNumber = 1,
        .deviceName = "COM1:",
        .parity = Parity::Even,
        .stopBits = StopBits::Two,
        .csValue = 2,
        .textMode = true,
        .peFlag = true}},
      {"COM01:50,S,8,1.0",
       0,
       {.portNumber = 1,
        .deviceName = "COM1:",
        .baudRate = 50,
        .parity = Parity::Space,
        .dataBits = 8,
        .stopBits = StopBits::One}},
      {"COM1:0,M",
       0,
       {.portNumber = 1,
        .deviceName = "COM1:",
        .baudRate = 0,
        .parity = Parity::Mark,
        .stopBits = StopBits::Two}},
      {"ser:9600\t,\tE\t",
       0,
       {.portNumber = 1, .deviceName = "COM1:", .baudRate = 9600, .parity = Parity::Even}},
      {"COM1:9600,X", 1, {}},
      {"COM1:9600,N,8,1,RSX", 1, {}},
      {"COM1:9600,N,8,1,IRX", 1, {}},
      {"COM1:96 00", 1, {}},
      {"COM1:9600,N,8,1.25", 1, {}},
      {"COM1:9600,N,8,,",
       0,
       {.portNumber = 1,
        .deviceName = "COM1:",
        .baudRate = 9600,
        .parity = Parity::None,
        .dataBits = 8,
        .stopBits = StopBits::One}},
  };
  for (const auto& c : kCases) expectParses(c);
}

TEST(PortSpecTest, RefusesNumbersThatWouldWrapOrCarryASign) {
  const ParseCase kCases[] = {
      {"COM1:4294967295", 0, {.portNumber = 1, .deviceName = "COM1:", .baudRate = 4294967295u}},
      {"COM1:4294976896", 1, {}},  // would wrap to 9600
      {"COM1:99999999999999999999999", 1, {}},
      {"COM1:-1", 1, {}},
      {"COM1:9600,N,-8", 1, {}},
      {"COM1:9600,N,8,1,CS-1", 1, {}},
      {"COM4294967295:", 0, {.portNumber = 4294967295u, .deviceName = "COM4294967295:"}},
      {"COM4294967297:", 1, {}},  // would wrap to COM1
  };
  for (const auto& c : kCases) expectParses(c);
}

TEST(PortSpecTest, RefusesADeviceNameLongerThan127Bytes) {
  const std::string longest(127, 'd');
  expectParses({longest + ":9600", 0, {.deviceName = longest, .baudRate = 9600}});
  expectParses({longest + "d:9600", 1, {}});
}

TEST(PortSpecTest, RefusesADeviceNameHoldingANulByte) {
  expectParses({std::string("/dev/null\0x:9600", 16), 1, {}});
}

TEST(PortNameTest, AcceptsSerComNumbersAndAnyNameWithAColon) {
  const struct {
    std::string text;
    bool accepted;
    uint32_t portNumber;
  } kCases[] = {
      {"SER:", true, 1},          {"ser:9600", true, 1},
      {"SER", false, 0},          {"COM", false, 0},
      {"AB:", false, 0},          {"ABC:", true, 0},
      {"COM1", false, 0},         {"COM12:", true, 12},
      {"Com007:x", true, 7},      {"COMX:", false, 0},
      {"COM:", true, 0},          {"COM1X:", false, 0},
      {"/dev/x:9600", true, 0},   {"/dev/x", false, 0},
      {"COM99999:", true, 99999}, {"COM4294967296:", false, 0},
      {"SERIAL:", true, 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    const PortNameMatch match = matchPortName(c.text);
    EXPECT_EQ(c.accepted, match.accepted);
    EXPECT_EQ(c.portNumber, match.portNumber);
  }
}

}  // namespace
}  // namespace mvex
