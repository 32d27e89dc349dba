#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "serial/serial_port.h"
#include "serial/test_pty.h"

namespace mvex {
namespace {

using Clock = std::chrono::steady_clock;

constexpr char kApplicationSettings[] = ":9600,N,8,1,CD0,DS,CS,RS";
constexpr char kXoff = 0x13;
constexpr char kXon = 0x11;

// Bytes of every value except the start and stop characters, which the line discipline takes.
std::string lineBytes(std::size_t size) {
  std::string bytes;
  for (std::size_t i = 0; bytes.size() < size; ++i) {
    const char c = static_cast<char>(i * 7 % 256);
    if (c != kXoff && c != kXon) bytes.push_back(c);
  }
  return bytes;
}

class SerialPortIoTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(openTestPty(pty_));
    ASSERT_EQ(0, port_.openPort(pty_.slavePath + kApplicationSettings));
  }

  // Sends `bytes` from the far end and waits until the port counts `count` bytes waiting.
  void receive(std::string_view bytes, int64_t count) {
    ASSERT_TRUE(writeAllBytes(pty_.master.get(), bytes));
    ASSERT_TRUE(waitUntil([&] { return port_.bytesWaiting() == count; }))
        << "bytes waiting: " << port_.bytesWaiting();
  }

  TestPty pty_;
  SerialPort port_;
};

TEST_F(SerialPortIoTest, StopCharacterIsTakenByTheLineAndNeverReachesTheReader) {
  receive("\x41\x13\x42", 2);
  char dest = 0;
  int count = 0;
  EXPECT_EQ(0, port_.readByte(dest, count));
  EXPECT_EQ(1, count);
  EXPECT_EQ(0x41, dest);
  EXPECT_EQ(1, port_.bytesWaiting());
  EXPECT_EQ(0, port_.readByte(dest, count));
  EXPECT_EQ(1, count);
  EXPECT_EQ(0x42, dest);
  EXPECT_EQ(0, port_.bytesWaiting());
  // The byte after the stop character let the output run again.
  EXPECT_EQ(0, port_.writeText("Z"));
  EXPECT_EQ("Z", readBytes(pty_.master.get(), 1));
}

TEST_F(SerialPortIoTest, CountsAndReadsBufferedBytesExactlyAsTheyArrived) {
  const std::string sent = lineBytes(3000);
  receive(sent, static_cast<int64_t>(sent.size()));
  std::string got;
  for (std::size_t i = 0; i < sent.size(); ++i) {
    char dest = 0;
    int count = 0;
    ASSERT_EQ(0, port_.readByte(dest, count));
    ASSERT_EQ(1, count);
    got.push_back(dest);
    ASSERT_EQ(static_cast<int64_t>(sent.size() - got.size()), port_.bytesWaiting());
  }
  EXPECT_EQ(sent, got);
}

TEST_F(SerialPortIoTest, DeliversALongStreamUnchangedAndInOrder) {
  const std::string sent = lineBytes(50000);
  std::string got;
  std::size_t written = 0;
  const auto deadline = Clock::now() + std::chrono::seconds(20);
  while (got.size() < sent.size() && Clock::now() < deadline) {
    if (written < sent.size()) {
      const ssize_t put = ::write(pty_.master.get(), sent.data() + written,
                                  std::min<std::size_t>(sent.size() - written, 1000));
      if (put > 0) written += static_cast<std::size_t>(put);
    }
    do {
      char dest = 0;
      int count = 0;
      ASSERT_EQ(0, port_.readByte(dest, count));
      if (count == 1) got.push_back(dest);
    } while (port_.bytesWaiting() > 0);
  }
  ASSERT_EQ(sent.size(), got.size());
  EXPECT_TRUE(sent == got) << "the stream arrived changed";
}

TEST_F(SerialPortIoTest, ReadWithNothingReceivedWaitsAbout70MillisecondsAndLeavesDestAlone) {
  auto shortest = Clock::duration::max();
  auto reference = Clock::duration::max();
  for (int i = 0; i < 3; ++i) {
    auto start = Clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(70));
    reference = std::min(reference, Clock::now() - start);
    char dest = 'q';
    int count = 5;
    start = Clock::now();
    EXPECT_EQ(0, port_.readByte(dest, count));
    shortest = std::min(shortest, Clock::now() - start);
    EXPECT_EQ(0, count);
    EXPECT_EQ('q', dest);
  }
  const double ratio = std::chrono::duration<double>(shortest) / reference;
  EXPECT_GT(ratio, 0.5);
  EXPECT_LT(ratio, 4.0);
}

TEST_F(SerialPortIoTest, WritesTheBytesUnchangedWithNothingAdded) {
  std::string everyByte;
  for (int i = 0; i < 256; ++i) everyByte.push_back(static_cast<char>(i));
  const std::string kCases[] = {"", "Y", "\r\n", "\n", "\r", everyByte};
  for (const std::string& text : kCases) {
    SCOPED_TRACE(testing::PrintToString(text));
    EXPECT_EQ(0, port_.writeText(text));
    ASSERT_EQ(0, port_.writeText("!"));
    EXPECT_EQ(text + "!", readBytes(pty_.master.get(), text.size() + 1));
  }
}

TEST_F(SerialPortIoTest, HeldOutputReportsAShortWriteAndThePortKeepsWorking) {
  ASSERT_TRUE(writeAllBytes(pty_.master.get(), std::string(1, kXoff)));
  int result = 0;
  int sentBeforeStop = 0;
  ASSERT_TRUE(waitUntil([&] {
    result = port_.writeText("Z");
    if (result == 0) {
      ++sentBeforeStop;
      EXPECT_EQ("Z", readBytes(pty_.master.get(), 1));
    }
    return result != 0;
  }));
  EXPECT_EQ(3, result);
  // Only the stop character can have held the output so soon; the far end read every byte.
  EXPECT_LT(sentBeforeStop, 1000);
  EXPECT_TRUE(port_.isOpen());

  ASSERT_TRUE(writeAllBytes(pty_.master.get(), std::string(1, kXon)));
  ASSERT_TRUE(waitUntil([&] { return port_.writeText("Y") == 0; }));
  ASSERT_EQ(0, port_.writeText("!"));
  EXPECT_EQ("Y!", readBytes(pty_.master.get(), 2));
  EXPECT_EQ(0, port_.bytesWaiting());
}

TEST_F(SerialPortIoTest, CloseDiscardsBytesReceivedButNotRead) {
  receive("abc", 3);
  char dest = 0;
  int count = 0;
  ASSERT_EQ(0, port_.readByte(dest, count));
  ASSERT_EQ('a', dest);
  ASSERT_EQ(2, port_.bytesWaiting());
  ASSERT_EQ(0, port_.closePort());
  ASSERT_EQ(0, port_.openPort(pty_.slavePath + kApplicationSettings));
  EXPECT_EQ(0, port_.bytesWaiting());
  receive("d", 1);
  ASSERT_EQ(0, port_.readByte(dest, count));
  EXPECT_EQ(1, count);
  EXPECT_EQ('d', dest);
}

TEST_F(SerialPortIoTest, AHungUpLineGivesNoBytesRefusesWritesAndStaysOpen) {
  pty_.master.reset();  // the far end hangs up
  char dest = 'q';
  int count = 5;
  EXPECT_EQ(0, port_.readByte(dest, count));
  EXPECT_EQ(0, count);
  EXPECT_EQ('q', dest);
  EXPECT_EQ(0, port_.bytesWaiting());
  EXPECT_EQ(3, port_.writeText("Y"));
  EXPECT_TRUE(port_.isOpen());
  EXPECT_EQ(0, port_.closePort());
}

TEST_F(SerialPortIoTest, WaitForBytesEndsWhenAByteArrivesOrTheTimeRunsOut) {
  EXPECT_FALSE(port_.waitForBytes(20));
  std::thread board([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    (void)writeAllBytes(pty_.master.get(), "Z");
  });
  // Far longer than the board takes: only an early return lets the byte be read in time.
  const auto start = Clock::now();
  EXPECT_TRUE(port_.waitForBytes(20000));
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
  board.join();
  char dest = 0;
  int count = 0;
  EXPECT_EQ(0, port_.readByte(dest, count));
  EXPECT_EQ('Z', dest);
  // A byte already taken from the device counts as ready.
  receive("AB", 2);
  EXPECT_EQ(0, port_.readByte(dest, count));
  EXPECT_TRUE(port_.waitForBytes(0));
}

}  // namespace
}  // namespace mvex
