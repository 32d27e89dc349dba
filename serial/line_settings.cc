#include "serial/line_settings.h"

namespace mvex {
namespace {

struct RateEntry {
  uint32_t rate;
  speed_t code;
};

constexpr RateEntry kRateTable[] = {
    {0, B0},           {50, B50},           {150, B150},
    {300, B300},       {600, B600},         {1200, B1200},
    {1800, B1800},     {2400, B2400},       {4800, B4800},
    {9600, B9600},     {19200, B19200},     {38400, B38400},
    {57600, B57600},   {115200, B115200},   {230400, B230400},
    {460800, B460800}, {500000, B500000},   {576000, B576000},
    {921600, B921600}, {1000000, B1000000}, {1152000, B1152000},
};

tcflag_t characterSize(uint32_t dataBits) {
  switch (dataBits) {
    case 5:
      return CS5;
    case 6:
      return CS6;
    case 7:
      return CS7;
    default:
      return CS8;
  }
}

void setFlag(tcflag_t& flags, tcflag_t flag, bool on) {
  if (on) {
    flags |= flag;
  } else {
    flags &= ~flag;
  }
}

void applyParity(termios& settings, Parity parity) {
  switch (parity) {
    case Parity::None:
      settings.c_cflag &= ~PARENB;
      break;
    case Parity::Even:
      settings.c_cflag |= PARENB;
      settings.c_cflag &= ~PARODD;
      settings.c_iflag |= INPCK | ISTRIP;
      break;
    case Parity::Odd:
      settings.c_cflag |= PARENB | PARODD;
      settings.c_iflag |= INPCK | ISTRIP;
      break;
    case Parity::Space:
      // The line has no space parity; eight data bits without parity stand in for it.
      settings.c_cflag &= ~(PARENB | CSIZE);
      settings.c_cflag |= CS8;
      break;
    case Parity::Mark:
      settings.c_cflag |= PARENB;
      settings.c_iflag |= PARMRK | INPCK | ISTRIP;
      break;
  }
}

}  // namespace

std::string devicePath(const PortSpec& portSpec) {
  if (portSpec.portNumber != 0) return "/dev/ttyS" + std::to_string(portSpec.portNumber - 1);
  const std::string& name = portSpec.deviceName;
  if (name.size() == 3 && (name[0] == 'C' || name[0] == 'c') &&
      (name[1] == 'O' || name[1] == 'o') && (name[2] == 'M' || name[2] == 'm')) {
    return "/dev/modem";
  }
  return name;
}

bool rateCode(uint32_t rate, speed_t& code) {
  for (const RateEntry& entry : kRateTable) {
    if (entry.rate == rate) {
      code = entry.code;
      return true;
    }
  }
  return false;
}

termios lineSettings(const termios& asRead, const PortSpec& portSpec, speed_t code) {
  termios settings = asRead;
  settings.c_iflag &= ~(IXON | IXANY | IXOFF);
  settings.c_cflag |= CREAD;
  if (portSpec.textMode) {
    settings.c_lflag |= ISIG | ICANON | XCASE;
  } else {
    cfmakeraw(&settings);
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
  }
  setFlag(settings.c_cflag, HUPCL, !portSpec.dtFlag);
  setFlag(settings.c_cflag, CLOCAL, portSpec.dsValue == 0 && portSpec.cdValue == 0);
  setFlag(settings.c_cflag, CRTSCTS, portSpec.csValue != 0 && !portSpec.rsFlag);
  // Both calls only fail for a code outside the table, which rateCode never gives.
  (void)cfsetospeed(&settings, code);
  (void)cfsetispeed(&settings, code);
  settings.c_cflag &= ~CSIZE;
  settings.c_cflag |= characterSize(portSpec.dataBits);
  applyParity(settings, portSpec.parity);
  setFlag(settings.c_iflag, IGNPAR, portSpec.meFlag);
  setFlag(settings.c_cflag, CSTOPB, portSpec.stopBits != StopBits::One);
  if (portSpec.rsFlag) settings.c_iflag |= IXON | IXANY;
  return settings;
}

}  // namespace mvex
