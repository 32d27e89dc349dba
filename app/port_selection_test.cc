#include "app/port_selection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mvex {
namespace {

/// Records every port spec text tried; the port whose text starts with `opens` opens.
struct RecordingOpener {
  explicit RecordingOpener(std::string opensPrefix, int failureResult = 2)
      : opens(std::move(opensPrefix)), failure(failureResult) {}
  std::string opens;
  int failure;
  std::vector<std::string> tried;
  PortOpener opener() {
    return [this](const std::string& text) {
      tried.push_back(text);
      return !opens.empty() && text.rfind(opens, 0) == 0 ? 0 : failure;
    };
  }
};

AppState settings(std::string port, std::string baud) {
  AppState app;
  app.portName = std::move(port);
  app.baudText = std::move(baud);
  app.portOptions = ",CD0,DS,CS,RS";
  return app;
}

TEST(PortSelectionTest, ProbesComOneToFourInOrderUntilOneOpens) {
  const struct {
    std::string opens;
    std::vector<std::string> tried;
    int status;
    std::string portName;
  } kCases[] = {
      {"COM1:", {"COM1:9600,N,8,1,CD0,DS,CS,RS"}, 0, "COM1"},
      {"COM2:", {"COM1:9600,N,8,1,CD0,DS,CS,RS", "COM2:9600,N,8,1,CD0,DS,CS,RS"}, 0, "COM2"},
      {"",
       {"COM1:9600,N,8,1,CD0,DS,CS,RS", "COM2:9600,N,8,1,CD0,DS,CS,RS",
        "COM3:9600,N,8,1,CD0,DS,CS,RS", "COM4:9600,N,8,1,CD0,DS,CS,RS"},
       2,
       "COM4"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.opens);
    RecordingOpener recorder(c.opens);
    AppState app = settings("", "9600");
    openChannel(app, recorder.opener());
    EXPECT_EQ(c.tried, recorder.tried);
    EXPECT_EQ(c.status, app.status);
    EXPECT_EQ(c.portName, app.portName);
  }
}

TEST(PortSelectionTest, NamedPortIsTriedOnceWithoutProbe) {
  RecordingOpener recorder("nothing opens");
  AppState app = settings("COM2", "19200");
  openChannel(app, recorder.opener());
  EXPECT_EQ(std::vector<std::string>{"COM2:19200,N,8,1,CD0,DS,CS,RS"}, recorder.tried);
  EXPECT_EQ(2, app.status);
  EXPECT_EQ("COM2", app.portName);
}

TEST(PortSelectionTest, RefusedBaudMakesEveryProbeFailWithTheLastResult) {
  RecordingOpener recorder("", 1);
  AppState app = settings("", "fast");
  openChannel(app, recorder.opener());
  ASSERT_EQ(4u, recorder.tried.size());
  EXPECT_EQ("COM4:fast,N,8,1,CD0,DS,CS,RS", recorder.tried.back());
  EXPECT_EQ(1, app.status);
}

}  // namespace
}  // namespace mvex
