#include "serial/serial_port.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "serial/test_pty.h"

namespace mvex {
namespace {

constexpr char kApplicationSettings[] = ":9600,N,8,1,CD0,DS,CS,RS";

class SerialPortTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(openTestPty(pty_)); }

  termios slaveSettings() {
    termios t{};
    EXPECT_EQ(0, tcgetattr(pty_.slave.get(), &t));
    return t;
  }

  // Gives the device settings of its own, far from what the port applies. A pseudo-terminal
  // keeps eight bits without parity whatever it is told, so those stay.
  termios setCookedAt1200() {
    termios t = slaveSettings();
    t.c_iflag = ICRNL | IXOFF;
    t.c_oflag = OPOST | ONLCR;
    t.c_cflag = CS8 | CREAD | CSTOPB | CRTSCTS;
    t.c_lflag = ISIG | ICANON | ECHO;
    t.c_cc[VMIN] = 3;
    EXPECT_EQ(0, cfsetspeed(&t, B1200));
    EXPECT_EQ(0, tcsetattr(pty_.slave.get(), TCSANOW, &t)) << strerror(errno);
    return slaveSettings();
  }

  TestPty pty_;
};

TEST_F(SerialPortTest, AppliesRawEightNoneOneWithOutputFlowControlForTheApplicationsText) {
  SerialPort port;
  ASSERT_EQ(0, port.openPort(pty_.slavePath + kApplicationSettings));
  ASSERT_TRUE(port.isOpen());
  const termios t = slaveSettings();
  EXPECT_EQ(0u, t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN));
  EXPECT_EQ(0u, t.c_oflag & OPOST);
  EXPECT_EQ(0u, t.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP | IXOFF | IGNPAR | PARMRK));
  EXPECT_EQ(IXON | IXANY, t.c_iflag & (IXON | IXANY));
  EXPECT_EQ(CS8, t.c_cflag & CSIZE);
  EXPECT_EQ(0u, t.c_cflag & (PARENB | CSTOPB | CRTSCTS));
  EXPECT_EQ(CLOCAL | CREAD | HUPCL, t.c_cflag & (CLOCAL | CREAD | HUPCL));
  EXPECT_EQ(1, t.c_cc[VMIN]);
  EXPECT_EQ(0, t.c_cc[VTIME]);
  EXPECT_EQ(B9600, cfgetospeed(&t));
  EXPECT_EQ(B9600, cfgetispeed(&t));
  EXPECT_TRUE(sameSettings(port.appliedSettings(), t));
}

TEST_F(SerialPortTest, SetsExactlyTheRateAskedForOnADeviceSetToAnother) {
  const struct {
    std::string settings;
    speed_t code;
  } kCases[] = {{":50", B50}, {":19200,N,8,1", B19200}, {":115200,N,8,1", B115200}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.settings);
    setCookedAt1200();
    SerialPort port;
    ASSERT_EQ(0, port.openPort(pty_.slavePath + c.settings));
    const termios t = slaveSettings();
    EXPECT_EQ(c.code, cfgetospeed(&t));
    EXPECT_EQ(c.code, cfgetispeed(&t));
  }
}

TEST_F(SerialPortTest, PutsTheDevicesOwnSettingsBackAtClose) {
  const termios before = setCookedAt1200();
  SerialPort port;
  ASSERT_EQ(0, port.openPort(pty_.slavePath + kApplicationSettings));
  ASSERT_FALSE(sameSettings(before, slaveSettings()));
  EXPECT_EQ(0, port.closePort());
  EXPECT_FALSE(port.isOpen());
  EXPECT_TRUE(sameSettings(before, slaveSettings()));
}

TEST_F(SerialPortTest, PutsTheDevicesOwnSettingsBackWhenDestroyedOpen) {
  const termios before = setCookedAt1200();
  const int descriptors = openDescriptorCount();
  {
    SerialPort port;
    ASSERT_EQ(0, port.openPort(pty_.slavePath + kApplicationSettings));
  }
  EXPECT_TRUE(sameSettings(before, slaveSettings()));
  EXPECT_EQ(descriptors, openDescriptorCount());
}

TEST_F(SerialPortTest, RefusesBadTextsUnsupportedRatesAndUnopenableDevicesWithoutKeepingAnything) {
  char fileTemplate[] = "/tmp/mvex_serial_file_XXXXXX";
  const int fileFd = mkstemp(fileTemplate);
  ASSERT_GE(fileFd, 0);
  (void)::close(fileFd);
  const std::string regularFile = fileTemplate;
  const std::string device = pty_.slavePath;
  const struct {
    std::string text;
    int result;
  } kCases[] = {
      {device + ":9600,N,8,1,IR5", 1},
      {device + ":110,N,8,1", 1},
      {device + ":75", 1},
      {device + ":9600,Q", 1},
      {"COM1", 1},
      {"/nonexistent/mvex/port:9600,N,8,1", 2},
      {regularFile + ":9600,N,8,1", 1},
  };
  const termios before = setCookedAt1200();
  const int descriptors = openDescriptorCount();
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    SerialPort port;
    EXPECT_EQ(c.result, port.openPort(c.text));
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(descriptors, openDescriptorCount());
    EXPECT_TRUE(sameSettings(before, slaveSettings()));
  }
  (void)std::remove(regularFile.c_str());
}

TEST_F(SerialPortTest, OpensWithAZeroOrBareInterruptOption) {
  for (const char* option : {",IR0", ",IR", ",ir"}) {
    SCOPED_TRACE(option);
    SerialPort port;
    EXPECT_EQ(0, port.openPort(pty_.slavePath + kApplicationSettings + option));
    EXPECT_TRUE(port.isOpen());
  }
}

TEST_F(SerialPortTest, RefusesASecondOpenAndTheFirstKeepsWorking) {
  TestPty other;
  ASSERT_TRUE(openTestPty(other));
  SerialPort port;
  ASSERT_EQ(0, port.openPort(pty_.slavePath + kApplicationSettings));
  const termios otherBefore = [&] {
    termios t{};
    EXPECT_EQ(0, tcgetattr(other.slave.get(), &t));
    return t;
  }();
  EXPECT_EQ(1, port.openPort(other.slavePath + kApplicationSettings));
  EXPECT_EQ(1, port.openPort(pty_.slavePath + kApplicationSettings));
  termios otherAfter{};
  ASSERT_EQ(0, tcgetattr(other.slave.get(), &otherAfter));
  EXPECT_TRUE(sameSettings(otherBefore, otherAfter));

  ASSERT_TRUE(port.isOpen());
  EXPECT_EQ(0, port.writeText("ok"));
  EXPECT_EQ("ok", readBytes(pty_.master.get(), 2));
  ASSERT_TRUE(writeAllBytes(pty_.master.get(), "!"));
  ASSERT_TRUE(waitUntil([&] { return port.bytesWaiting() == 1; }));
  char dest = 0;
  int count = 0;
  EXPECT_EQ(0, port.readByte(dest, count));
  EXPECT_EQ(1, count);
  EXPECT_EQ('!', dest);
}

TEST_F(SerialPortTest, OperationsOnAClosedPortReportNotOpen) {
  SerialPort neverOpened;
  SerialPort closed;
  ASSERT_EQ(0, closed.openPort(pty_.slavePath + kApplicationSettings));
  ASSERT_TRUE(writeAllBytes(pty_.master.get(), "xyz"));
  ASSERT_TRUE(waitUntil([&] { return closed.bytesWaiting() == 3; }));
  ASSERT_EQ(0, closed.closePort());
  for (SerialPort* port : {&neverOpened, &closed}) {
    SCOPED_TRACE(port == &closed ? "closed" : "never opened");
    EXPECT_EQ(0, port->bytesWaiting());
    char dest = 'q';
    int count = 7;
    EXPECT_EQ(1, port->readByte(dest, count));
    EXPECT_EQ('q', dest);
    EXPECT_EQ(0, count);
    EXPECT_EQ(1, port->writeText("Y"));
    EXPECT_EQ(1, port->closePort());
    EXPECT_FALSE(port->isOpen());
  }
}

TEST_F(SerialPortTest, KeepsThePortNumberAndSpecOnlyWhileOpen) {
  SerialPort port;
  ASSERT_EQ(0, port.openPort(pty_.slavePath + kApplicationSettings + ",OP5"));
  EXPECT_EQ(0u, port.portNumber());
  EXPECT_EQ(pty_.slavePath, port.portSpec().deviceName);
  EXPECT_EQ(5u, port.portSpec().opValue);
  ASSERT_EQ(0, port.closePort());
  EXPECT_EQ(PortSpec{}, port.portSpec());
}

}  // namespace
}  // namespace mvex
