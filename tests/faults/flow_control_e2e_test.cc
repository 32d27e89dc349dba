// XOFF from the board during an upload holds it; XON resumes it and nothing is lost.

#include <gtest/gtest.h>

#include "tests/faults/fault_support.h"
#include "tests/harness/file_text.h"

namespace mvex::faults {
namespace {

TEST(FlowControlTest, UploadHeldByXoffResumesAfterXonAndArrivesCompleteInOrder) {
  std::string hex = "0000: 00 01 02 03\n";
  for (int i = 1; i < 40; ++i) hex += "00" + std::to_string(10 + i) + ": 0A 1B 2C 3D\n";
  std::string wire = hex;
  for (char& c : wire) c = c == '\n' ? '\r' : c;

  FaultSession session({"9600", "2"});
  ASSERT_TRUE(session.go()) << session.screen->screen();
  ASSERT_TRUE(harness::writeFile(session.path("up.hex"), hex));
  ASSERT_TRUE(session.boardPrompt());
  ASSERT_TRUE(session.choose('l', "Hex or MVX file to load: ", "up.hex"));
  ASSERT_TRUE(session.board.waitReceived(40)) << session.screen->screen();
  session.board.send("\x13");
  // The line's output stops within a pass; what came before the stop is kept.
  session.screen->pump(milliseconds(200));
  session.board.pump();
  const size_t atStop = session.board.received().size();
  session.screen->pump(milliseconds(600));
  session.board.pump();
  EXPECT_EQ(atStop, session.board.received().size()) << "bytes came through while stopped";
  EXPECT_LT(atStop, wire.size());
  session.board.send("\x11");
  ASSERT_TRUE(session.board.waitReceived(wire.size()))
      << session.board.received().size() << " of " << wire.size();
  session.screen->pump(milliseconds(200));
  session.board.pump();
  EXPECT_EQ(wire, session.board.received());
  EXPECT_EQ(0, session.quit()) << session.screen->screen();
}

}  // namespace
}  // namespace mvex::faults
