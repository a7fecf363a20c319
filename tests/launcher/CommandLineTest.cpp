// The launcher's option defaults and both passes of the command line.
#include "CommandLine.h"
#include "StartParameters.h"

#include "support/LogCapture.h"

#include "engine/base/VStrDictionary.h"

#include <gtest/gtest.h>

namespace {
class CommandLineTest : public ::testing::Test {
 protected:
  void SetUp() override { SetDefaultOptions(dict); }
  std::string Value(const char* key) const {
    const char* v = dict.Get(key);
    return v ? v : "<absent>";
  }
  VStrDictionary dict;
  LogCapture log;
};

struct OptionCase {
  const char* commandLine;
  const char* key;
  const char* expected;  // "<absent>" when the key must not exist
  const char* logLine;
  friend void PrintTo(const OptionCase& c, std::ostream* os) { *os << '"' << c.commandLine << '"'; }
};

class CommandLineCases : public CommandLineTest, public ::testing::WithParamInterface<OptionCase> {};

TEST_P(CommandLineCases, SetsTheKeyAndLogsTheOption) {
  const OptionCase& c = GetParam();
  ApplyCommandLine(dict, c.commandLine);
  EXPECT_EQ(Value(c.key), c.expected);
  EXPECT_TRUE(log.Contains(c.logLine)) << c.commandLine;
}

INSTANTIATE_TEST_SUITE_P(
    Options, CommandLineCases,
    ::testing::Values(
        OptionCase{"-ResolutionX=1024", "ResolutionX", "1024", "Command line option: ResolutionX=1024"},
        OptionCase{"-ResolutionX 1024", "ResolutionX", "1024", "Command line option: ResolutionX=1024"},
        OptionCase{"-resolutionx 1024", "ResolutionX", "1024", "Command line option: resolutionx=1024"},
        // A key as the last word takes the empty value.
        OptionCase{"-VSync 0 -ResolutionX", "ResolutionX", "", "Command line option: ResolutionX="},
        OptionCase{"-Windowed", "Windowed", "1", "Command line option: Windowed"},
        // Switches match only as written.
        OptionCase{"-windowed", "Windowed", "<absent>", "Command line option: windowed"},
        OptionCase{"-no_dinput_keyboard", "KeyboardUseDInput", "0", "Command line option: no_dinput_keyboard"},
        OptionCase{"-no_dinput_mouse", "MouseUseDInput", "0", "Command line option: no_dinput_mouse"},
        OptionCase{"-NO_DINPUT_MOUSE", "MouseUseDInput", "1", "Command line option: NO_DINPUT_MOUSE"},
        OptionCase{"-no_capture_mouse", "MouseCapture", "0", "Command line option: no_capture_mouse"},
        OptionCase{"-DisableMainMenuVideo", "DisableMainMenuVideo", "1", "Command line option: DisableMainMenuVideo"},
        OptionCase{"-Unknown 5", "Unknown", "<absent>", "Command line option: Unknown"}));

TEST_F(CommandLineTest, DefaultsAreWrittenInOrder) {
  const char* keys[] = {"KeyboardUseDInput", "MouseUseDInput", "MouseCapture", "VSync",
                        "ResolutionX",       "ResolutionY",    "Adapter",      "SSAO"};
  const char* values[] = {"1", "1", "1", "1", "1280", "720", "0", "1"};
  ASSERT_EQ(dict.GetCount(), 8);
  for (int i = 0; i < 8; ++i) {
    EXPECT_STREQ(dict.GetEntry(i)->m_key.AsChar(), keys[i]);
    EXPECT_STREQ(dict.GetEntry(i)->m_value.AsChar(), values[i]);
  }
}

TEST_F(CommandLineTest, WindowedOnTheSecondPassIsAKeyWithAnEmptyValue) {
  ApplyCommandLine(dict, "-Windowed");
  log.Clear();
  ApplyCommandLine(dict, "-Windowed");
  EXPECT_EQ(log.Lines(), std::vector<std::string>{"Command line option: Windowed="});
  EXPECT_EQ(Value("Windowed"), "");
  // The key still selects a window.
  EXPECT_EQ(StartParameters::FromDictionary(dict, 1).videoFlags, 0x8010);
}

TEST_F(CommandLineTest, MinusSignInsideAValueStartsAnotherOption) {
  ApplyCommandLine(dict, "-Adapter -1");
  EXPECT_EQ(Value("Adapter"), "-1");
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{"Command line option: Adapter=-1", "Command line option: 1"}));
}

TEST_F(CommandLineTest, SeveralOptionsInOneLine) {
  ApplyCommandLine(dict, "-ResolutionX 800 -ResolutionY=600 -Windowed -MouseUseDInput 0");
  EXPECT_EQ(Value("ResolutionX"), "800");
  EXPECT_EQ(Value("ResolutionY"), "600");
  EXPECT_EQ(Value("Windowed"), "1");
  EXPECT_EQ(Value("MouseUseDInput"), "0");
  // Known keys are replaced in place, never appended twice.
  EXPECT_EQ(dict.GetCount(), 9);
}

TEST_F(CommandLineTest, NullOrEmptyTextChangesNothing) {
  ApplyCommandLine(dict, nullptr);
  ApplyCommandLine(dict, "");
  EXPECT_EQ(dict.GetCount(), 8);
  EXPECT_TRUE(log.Lines().empty());
}
}  // namespace
