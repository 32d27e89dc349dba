#include "serial/line_settings.h"

#include <gtest/gtest.h>

#include <string>

namespace mvex {
namespace {

PortSpec parsed(const std::string& text) {
  PortSpec portSpec;
  EXPECT_EQ(0, parsePortSpec(text, portSpec)) << text;
  return portSpec;
}

TEST(DevicePathTest, MapsComNumbersToSerialDevicesAndKeepsOtherNames) {
  const struct {
    std::string text;
    std::string path;
  } kCases[] = {
      {"COM1:", "/dev/ttyS0"},   {"COM4:", "/dev/ttyS3"},       {"SER:", "/dev/ttyS0"},
      {"COM12:", "/dev/ttyS11"}, {"COM:", "/dev/modem"},        {"com:", "/dev/modem"},
      {"COM0:", "COM0"},         {"/dev/pts/7:", "/dev/pts/7"}, {"rel/port:", "rel/port"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.path, devicePath(parsed(c.text)));
  }
}

TEST(RateCodeTest, AcceptsEveryTableRateWithItsSpeedCode) {
  const struct {
    uint32_t rate;
    speed_t code;
  } kCases[] = {
      {0, B0},           {50, B50},           {150, B150},
      {300, B300},       {600, B600},         {1200, B1200},
      {1800, B1800},     {2400, B2400},       {4800, B4800},
      {9600, B9600},     {19200, B19200},     {38400, B38400},
      {57600, B57600},   {115200, B115200},   {230400, B230400},
      {460800, B460800}, {500000, B500000},   {576000, B576000},
      {921600, B921600}, {1000000, B1000000}, {1152000, B1152000},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.rate);
    speed_t code = B38400;
    ASSERT_TRUE(rateCode(c.rate, code));
    EXPECT_EQ(c.code, code);
  }
}

TEST(RateCodeTest, RefusesRatesOutsideTheTableAndLeavesTheCodeAlone) {
  for (uint32_t rate : {75u, 110u, 134u, 200u, 9601u, 2000000u}) {
    SCOPED_TRACE(rate);
    speed_t code = B4800;
    EXPECT_FALSE(rateCode(rate, code));
    EXPECT_EQ(B4800, code);
  }
}

// Settings as a device might report them: cooked input with echo, flow control of both
// directions, odd parity on six bits, two stop bits, a local line with RTS/CTS, no CREAD.
termios deviceSettings() {
  termios t{};
  t.c_iflag = ICRNL | IXON | IXANY | IXOFF | IGNPAR;
  t.c_oflag = OPOST | ONLCR;
  t.c_cflag = CS6 | PARENB | PARODD | CSTOPB | CLOCAL | CRTSCTS;
  t.c_lflag = ISIG | ICANON | ECHO | IEXTEN;
  t.c_cc[VMIN] = 4;
  t.c_cc[VTIME] = 2;
  t.c_cc[VSTART] = 0x01;
  t.c_cc[VSTOP] = 0x02;
  (void)cfsetospeed(&t, B1200);
  (void)cfsetispeed(&t, B1200);
  return t;
}

TEST(LineSettingsTest, MapsEachOptionToItsTerminalFlags) {
  constexpr tcflag_t kInputMask = IXON | IXANY | IXOFF | INPCK | ISTRIP | PARMRK | IGNPAR | ICRNL;
  constexpr tcflag_t kControlMask =
      CSIZE | PARENB | PARODD | CSTOPB | CLOCAL | CRTSCTS | HUPCL | CREAD;
  constexpr tcflag_t kLocalMask = ISIG | ICANON | XCASE | ECHO;
  constexpr tcflag_t kOn = CREAD | HUPCL;  // set by every raw case below without DT
  const struct {
    std::string text;
    tcflag_t input;
    tcflag_t control;
    tcflag_t local;
    cc_t vmin;
    cc_t vtime;
  } kCases[] = {
      {"X:9600,N,8,1,CD0,DS,CS,RS", IXON | IXANY, CS8 | PARODD | kOn | CLOCAL, 0, 1, 0},
      {"X:9600,N,8,1", 0, CS8 | PARODD | kOn | CRTSCTS, 0, 1, 0},
      {"X:9600,N,8,1,CS0", 0, CS8 | PARODD | kOn, 0, 1, 0},
      {"X:9600,N,8,1,RS", IXON | IXANY, CS8 | PARODD | kOn, 0, 1, 0},
      {"X:9600,N,8,1,CS0,CD0,DS500", 0, CS8 | PARODD | kOn, 0, 1, 0},
      {"X:9600,N,8,1,CS0,DS0,CD1", 0, CS8 | PARODD | kOn, 0, 1, 0},
      {"X:9600,N,8,1,CS0,DS0", 0, CS8 | PARODD | kOn | CLOCAL, 0, 1, 0},
      {"X:9600,N,8,1,CS0,DT", 0, CS8 | PARODD | CREAD, 0, 1, 0},
      {"X:9600,N,8,1,CS0,ME", IGNPAR, CS8 | PARODD | kOn, 0, 1, 0},
      {"X:9600,E,7,1,CS0", INPCK | ISTRIP, CS7 | PARENB | kOn, 0, 1, 0},
      {"X:9600,O,7,1,CS0", INPCK | ISTRIP, CS7 | PARENB | PARODD | kOn, 0, 1, 0},
      {"X:9600,S,7,1,CS0", 0, CS8 | PARODD | kOn, 0, 1, 0},
      {"X:9600,M,7,1,CS0", PARMRK | INPCK | ISTRIP, CS7 | PARENB | PARODD | kOn, 0, 1, 0},
      {"X:9600,N,5,1,CS0", 0, CS5 | PARODD | kOn, 0, 1, 0},
      {"X:9600,N,6,1,CS0", 0, CS6 | PARODD | kOn, 0, 1, 0},
      {"X:9600,N,7,1,CS0", 0, CS7 | PARODD | kOn, 0, 1, 0},
      {"X:9600,N,9,1,CS0", 0, CS8 | PARODD | kOn, 0, 1, 0},
      {"X:9600,N,8,2,CS0", 0, CS8 | PARODD | CSTOPB | kOn, 0, 1, 0},
      {"X:9600,N,8,1.5,CS0", 0, CS8 | PARODD | CSTOPB | kOn, 0, 1, 0},
      {"X:9600,N,8,1,CS0,LF", ICRNL, CS8 | PARODD | kOn, ISIG | ICANON | XCASE | ECHO, 4, 2},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    const termios t = lineSettings(deviceSettings(), parsed(c.text), B9600);
    EXPECT_EQ(c.input, t.c_iflag & kInputMask);
    EXPECT_EQ(c.control, t.c_cflag & kControlMask);
    EXPECT_EQ(c.local, t.c_lflag & kLocalMask);
    EXPECT_EQ(c.vmin, t.c_cc[VMIN]);
    EXPECT_EQ(c.vtime, t.c_cc[VTIME]);
    EXPECT_EQ(B9600, cfgetispeed(&t));
    EXPECT_EQ(B9600, cfgetospeed(&t));
  }
}

TEST(LineSettingsTest, RawModeTurnsOffOutputProcessingAndKeepsStartAndStopCharacters) {
  const termios t = lineSettings(deviceSettings(), parsed("X:9600,N,8,1,CD0,DS,CS,RS"), B9600);
  EXPECT_EQ(0u, t.c_oflag & OPOST);
  EXPECT_EQ(0u, t.c_lflag & (ECHO | IEXTEN));
  EXPECT_EQ(0x01, t.c_cc[VSTART]);
  EXPECT_EQ(0x02, t.c_cc[VSTOP]);
}

TEST(LineSettingsTest, ReplacesThePreviousSpeedForBothDirections) {
  for (speed_t code : {B0, B50, B19200, B115200, B1152000}) {
    SCOPED_TRACE(code);
    const termios t = lineSettings(deviceSettings(), parsed("X:9600"), code);
    EXPECT_EQ(code, cfgetospeed(&t));
    EXPECT_EQ(code, cfgetispeed(&t));
  }
}

}  // namespace
}  // namespace mvex
