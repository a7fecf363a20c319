#include "engine/base/VisError.h"

#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

// Sends the global log to a scratch file for one test.
class ErrorLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_path = "/tmp/errortest-" + std::to_string(getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
    Vision::Error.SetOutput(1, 0, 1, 0, 1, 0, m_path.c_str());
  }
  void TearDown() override {
    Vision::Error.CloseLog();
    Vision::Error.SetAssertHandler(nullptr);
    Vision::Message.ClearAll();
    Vision::Message.SetMaxNum(8);
    unlink(m_path.c_str());
  }
  std::string m_path;
};
}  // namespace

TEST_F(ErrorLogTest, LogFileGetsEveryKindOfLineInOrder) {
  EXPECT_EQ(Vision::Error.GetLogFileName(), m_path);
  Vision::Error.SystemMessage("Adding data directory \"%s\"", "..\\..\\..\\data");
  Vision::Error.Warning("missing %d", 3);
  Vision::Error.EngineMessage("UnitEntity property changed %s: %s", "m_iNation", "2");
  Vision::Error.AddReportGroupEntry(0, "Group");
  const std::vector<std::string> expected = {"Adding data directory \"..\\..\\..\\data\"", "Warning: missing 3",
                                             "UnitEntity property changed m_iNation: 2", "Report: Group"};
  EXPECT_EQ(ReadLines(m_path), expected);
  // A new log starts empty.
  Vision::Error.SetOutput(1, 0, 1, 0, 1, 0, m_path.c_str());
  Vision::Error.SystemMessage("fresh");
  EXPECT_EQ(ReadLines(m_path), std::vector<std::string>{"fresh"});
}

TEST_F(ErrorLogTest, FatalErrorReachesTheHandlerWithTheExactTextAndIsLogged) {
  LogCapture capture;
  try {
    Vision::Error.FatalError("Could not load %s", "vPhysX.rEradov(D)");
    FAIL() << "FatalError returned";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "fatal: Could not load vPhysX.rEradov(D)");
  }
  EXPECT_EQ(ReadLines(m_path), std::vector<std::string>{"Could not load vPhysX.rEradov(D)"});
  EXPECT_EQ(capture.Lines(), std::vector<std::string>{"Could not load vPhysX.rEradov(D)"});
}

TEST(ErrorDeathTest, FatalErrorWithoutHandlerExitsOneWithTheTextOnStandardError) {
  EXPECT_EXIT(
      {
        Vision::Error.SetFatalHandler(nullptr);
        Vision::Error.FatalError("Could not load %s", "SoundEnginePlugin");
      },
      ::testing::ExitedWithCode(1), "Could not load SoundEnginePlugin");
}

TEST(ErrorDeathTest, FatalErrorFlushesWhatOtherStreamsStillBuffer) {
  const std::string path = "/tmp/errortest-" + std::to_string(getpid()) + "-buffered.txt";
  EXPECT_EXIT(
      {
        Vision::Error.SetFatalHandler(nullptr);
        FILE* f = fopen(path.c_str(), "w");
        fputs("saved before the end", f);  // still in the stdio buffer
        Vision::Error.FatalError("stop");
      },
      ::testing::ExitedWithCode(1), "stop");
  EXPECT_EQ(ReadLines(path), std::vector<std::string>{"saved before the end"});
  unlink(path.c_str());
}

TEST_F(ErrorLogTest, AssertionsAreCountedLoggedAndGoOn) {
  std::vector<std::string> handled;
  Vision::Error.SetAssertHandler([&](const std::string& text) { handled.push_back(text); });
  Vision::Error.ResetAssertCount();
  bool ranOn = false;
  VASSERT(1 + 1 == 2);
  VASSERT_MSG(false, "Upgrade not found");
  ranOn = true;
  EXPECT_TRUE(ranOn);
  EXPECT_EQ(Vision::Error.GetAssertCount(), 1);
  ASSERT_EQ(handled.size(), 1u);
  const std::vector<std::string> lines = ReadLines(m_path);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], handled[0]);
  EXPECT_NE(lines[0].find("Assertion failed: Upgrade not found (false)"), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find("ErrorTest.cpp:"), std::string::npos) << lines[0];
  Vision::Error.ResetAssertCount();
}

TEST_F(ErrorLogTest, ScreenMessagesAreRecordedAndScrollingOnesMirroredInTheLog) {
  Vision::Message.SetMaxNum(1);
  Vision::Message.Add("Press '%s' for help.", "F1");
  Vision::Message.Add(2, "Saved screenshot %d", 7);
  EXPECT_EQ(Vision::Message.GetMessages(), std::vector<std::string>{"Saved screenshot 7"});
  Vision::Message.Print(10, 20, "FPS: %.1f", 60.0);
  Vision::Message.Print3D(1, 2, 3, 0xff0000ffu, "name");
  ASSERT_EQ(Vision::Message.GetFrameEntries().size(), 2u);
  EXPECT_EQ(Vision::Message.GetFrameEntries()[0].text, "FPS: 60.0");
  EXPECT_EQ(Vision::Message.GetFrameEntries()[0].y, 20.0f);
  EXPECT_EQ(Vision::Message.GetFrameEntries()[1].colour, 0xff0000ffu);
  const std::vector<std::string> expected = {"Screen message: Press 'F1' for help.", "Screen message: Saved screenshot 7"};
  EXPECT_EQ(ReadLines(m_path), expected) << "per-frame text stays out of the log";
  Vision::Message.ClearFrame();
  EXPECT_TRUE(Vision::Message.GetFrameEntries().empty());
  EXPECT_EQ(Vision::Message.GetMessages().size(), 1u);
}
