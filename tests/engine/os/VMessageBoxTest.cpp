// Headless message boxes: the scripted answer and the log line.
#include "engine/base/VisError.h"
#include "engine/os/VOs.h"
#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct LogCapture {
  std::vector<std::string> lines;
  LogCapture() {
    Vision::Error.SetLogListener([this](const std::string& line) { lines.push_back(line); });
  }
  ~LogCapture() { Vision::Error.SetLogListener(nullptr); }
};

struct AnswerCase {
  const char* env;  // null: unset
  int flags;
  int expected;
  const char* logged;
};

TEST(VMessageBoxTest, AnswerComesFromTheEnvironmentAndIsLogged) {
  const AnswerCase cases[] = {
      {nullptr, VMB_YESNO | VMB_ICONQUESTION, VIDYES, "yes"},
      {nullptr, VMB_OK, VIDOK, "ok"},
      {"no", VMB_YESNO, VIDNO, "no"},
      {"YES", VMB_YESNO, VIDYES, "yes"},
      {"No", VMB_YESNO | VMB_ICONEXCLAMATION, VIDNO, "no"},
      // Not a button of the box: the default button answers.
      {"yes", VMB_OK, VIDOK, "ok"},
      {"cancel", VMB_YESNO, VIDYES, "yes"},
      {"maybe", VMB_YESNO, VIDYES, "yes"},
  };
  for (const AnswerCase& c : cases) {
    SCOPED_TRACE(c.env ? c.env : "(unset)");
    ScopedEnv env("ENGINE_MESSAGEBOX", c.env);
    LogCapture log;
    testing::internal::CaptureStderr();
    EXPECT_EQ(c.expected, VMessageBox("Do you want to run in windowed mode?", "Brinemark", c.flags));
    std::string err = testing::internal::GetCapturedStderr();
    std::string line = std::string("Message box \"Brinemark\": Do you want to run in windowed mode? -> ") + c.logged;
    ASSERT_EQ(1u, log.lines.size());
    EXPECT_EQ(line, log.lines[0]);
    EXPECT_NE(std::string::npos, err.find(line + "\n"));
  }
}

TEST(VMessageBoxTest, WideBoxLogsUtf8OnOneLine) {
  ScopedEnv env("ENGINE_MESSAGEBOX", "no");
  LogCapture log;
  testing::internal::CaptureStderr();
  EXPECT_EQ(VIDNO, VMessageBoxW(L"Version 1.1\r\nDownload now?\n\u00e9", L"New update available!",
                                VMB_YESNO | VMB_ICONQUESTION));
  testing::internal::GetCapturedStderr();
  ASSERT_EQ(1u, log.lines.size());
  EXPECT_EQ("Message box \"New update available!\": Version 1.1 Download now? \xc3\xa9 -> no", log.lines[0]);
}

}  // namespace
