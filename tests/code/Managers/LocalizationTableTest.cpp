// LocalizationTable: the defines file, the string and jokes files, and the look-ups.
#include "support/LogCapture.h"

#include "Managers/LocalizationTable.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

std::string Utf8(const CEGUI::String& text) { return std::string(text.c_str()); }

// A language in a scratch folder: the defines file names the string and jokes
// files by absolute path.
class LocalizationTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = ::testing::TempDir() + "loc-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    m_dir = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(m_dir); }

  std::string Write(const char* name, const std::string& bytes) {
    const std::string path = m_dir + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  // The defines file with the two settings entries and further group text.
  std::string Defines(const std::string& strings, const std::string& jokes, const std::string& groups = "") {
    const std::string stringFile = Write("strings.txt", strings);
    const std::string jokesFile = Write("jokes.txt", jokes);
    return Write("_lang_defines.txt", "Localization\n{\n  settings\n  {\n    stringfile = " + stringFile +
                                          "\n    jokesfile = " + jokesFile + "\n  }\n" + groups + "}\n");
  }

  std::string m_dir;
};

TEST_F(LocalizationTableTest, StringFileLinesBecomeKeysAndTexts) {
  const std::string strings =
      "A note without an equals sign\n"
      "str_SPACED=  value with = inside\r\n"
      " \tstr_BLANKS \t= b\n"
      "str_TAB=\tkept tab\n"
      "str_TWICE = first\n"
      "str_CR = a\rb\r\n"
      "str_BROKEN = ok\xFFrest\n"
      "str_\xFF = the key itself is broken\n"
      "str_UNICODE = \xC3\x9C" "ber caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x90\x9F\n"
      "str_EMPTY =\n"
      "str_TWICE = second\n"
      "str_LAST = no line end";
  LocalizationTable table(Defines(strings, "").c_str());

  struct Case {
    const char* key;
    std::wstring text;
  } cases[] = {
      {"str_SPACED", L"value with = inside"},
      {"str_BLANKS", L"b"},
      {"str_TAB", L"\tkept tab"},
      {"str_TWICE", L"second"},
      {"str_CR", L"ab"},
      // Decoding stops at the first invalid sequence of the line, even in the key.
      {"str_BROKEN", L"ok"},
      {"str_\xFF", L""},
      {"str_UNICODE", L"\u00DCber caf\u00E9 \u20AC \U0001F41F"},
      {"str_EMPTY", L""},
      {"str_LAST", L"no line end"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(table.GetTexts().count(c.key)) << c.key;
    EXPECT_EQ(table.GetTexts().at(c.key), c.text) << c.key;
  }
  EXPECT_EQ(table.GetTexts().size(), std::size(cases));
  EXPECT_EQ(Utf8(table.GetText("str_UNICODE")), "\xC3\x9C" "ber caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x90\x9F");
}

TEST_F(LocalizationTableTest, TextsAreFormattedWithTypedArguments) {
  const std::string strings =
      "str_PERCENT = 100%% sure, %d stays\n"
      "str_SHIPS = %s has %d ships and %.1f%% hull\n"
      "str_LINES = one\\ntwo\\\\n\n"
      "str_ARG = [%s]\n";
  LocalizationTable table(Defines(strings, "").c_str());

  // Without arguments only "%%" is formatted: layout texts are never printf formats.
  EXPECT_EQ(Utf8(table.GetText("str_PERCENT")), "100% sure, %d stays");
  EXPECT_EQ(Utf8(table.GetText("str_SHIPS", L"Jolie", 3, 87.5f)), "Jolie has 3 ships and 87.5% hull");
  EXPECT_EQ(table.GetWideText("str_SHIPS", std::wstring(L"\u00C9mile"), 1, 0.0), L"\u00C9mile has 1 ships and 0.0% hull");
  // Backslash-n becomes a line break, scanning left to right.
  EXPECT_EQ(Utf8(table.GetText("str_LINES")), "one\ntwo\\\n");
  // The result is not bounded by the stored text's length.
  const std::wstring longArg(5000, L'x');
  EXPECT_EQ(table.GetWideText("str_ARG", longArg), L"[" + longArg + L"]");
}

TEST_F(LocalizationTableTest, MissingKeysStandForThemselves) {
  LocalizationTable table(Defines("str_KNOWN = Known\n", "").c_str());
  LogCapture log;

  EXPECT_EQ(Utf8(table.GetText(" \tstr_KNOWN \t\r\n")), "Known");
  EXPECT_EQ(Utf8(table.GetText("  str_MISSING \r\n")), "str_MISSING");
  EXPECT_EQ(Utf8(table.GetText(" \t ")), "");
  EXPECT_EQ(Utf8(table.GetText(nullptr)), "");
  // A missing key with a non-ASCII byte comes back as text, not as broken UTF-8.
  EXPECT_EQ(Utf8(table.GetText("caf\xE9")), "caf\xC3\xA9");

  EXPECT_EQ(table.GetWideText(" str_KNOWN "), L"Known");
  // The wide form gives the caller's key untrimmed, one character per byte.
  EXPECT_EQ(table.GetWideText("  str_MISSING \r\n"), L"  str_MISSING \r\n");
  EXPECT_EQ(table.GetWideText("caf\xC3\xA9"), L"caf\u00C3\u00A9");
  EXPECT_TRUE(log.Lines().empty());
}

TEST_F(LocalizationTableTest, DefineGroupsAndVoiceFiles) {
  const std::string groups =
      "  voices\n  {\n"
      "    str_AHOY_VO = sounds\\voice\\ahoy.wav\n"
      "    str_AHOY_VO_JOLIE = sounds\\voice\\ahoy_jolie.wav\n"
      "  }\n"
      "  sounds\n  {\n    cannon = sounds\\cannon.wav\n  }\n";
  LocalizationTable table(Defines("", "", groups).c_str());
  LogCapture log;

  EXPECT_EQ(table.GetNarrowText("str_AHOY_VO"), "sounds\\voice\\ahoy.wav");
  EXPECT_EQ(table.GetNarrowText("str_AHOY_VO_JOLIE"), "sounds\\voice\\ahoy_jolie.wav");
  EXPECT_EQ(table.FindNarrowText("cannon", table.GetDefines(LocalizationTable::DEFINES_SOUNDS)), "sounds\\cannon.wav");
  EXPECT_EQ(table.GetDefines(LocalizationTable::DEFINES_SETTINGS).size(), 2u);
  EXPECT_TRUE(log.Lines().empty());

  // Keys are exact: case and the sound group's keys do not answer for voices.
  for (const char* key : {"str_ahoy_vo", "cannon", "str_AHOY"}) {
    log.Clear();
    EXPECT_EQ(table.GetNarrowText(key), "ERROR") << key;
    EXPECT_EQ(log.Matching("Missing localization file key: " + std::string(key)).size(), 1u) << key;
  }
}

TEST_F(LocalizationTableTest, MissingDefinesLeaveTheTableEmpty) {
  LogCapture log;
  LocalizationTable none((m_dir + "/no_such_defines.txt").c_str());
  EXPECT_EQ(log.Matching("Missing localization settings key: stringfile").size(), 1u);
  EXPECT_EQ(log.Matching("Missing localization settings key: jokesfile").size(), 1u);
  EXPECT_TRUE(none.GetTexts().empty());
  EXPECT_EQ(none.GetJokeCount(), 0);
  EXPECT_EQ(Utf8(none.GetText("str_YES")), "str_YES");

  // Only the jokes file named: the strings stay empty, the jokes load.
  log.Clear();
  const std::string jokes = Write("only_jokes.txt", "A joke\n");
  LocalizationTable jokesOnly(
      Write("jokes_defines.txt", "Localization\n{\n settings\n {\n  jokesfile = " + jokes + "\n }\n}\n").c_str());
  EXPECT_EQ(log.Lines().size(), 1u);
  EXPECT_EQ(log.Matching("Missing localization settings key: stringfile").size(), 1u);
  EXPECT_EQ(jokesOnly.GetJokeCount(), 1);

  // A named file that does not exist is skipped without a word.
  log.Clear();
  LocalizationTable missingFile(
      Write("bad_defines.txt", "Localization\n{\n settings\n {\n  stringfile = nowhere.txt\n  jokesfile = "
                               "nowhere_either.txt\n }\n}\n")
          .c_str());
  EXPECT_TRUE(log.Lines().empty());
  EXPECT_TRUE(missingFile.GetTexts().empty());
}

TEST_F(LocalizationTableTest, ByteOrderMarkIsReportedOnceAndStaysInTheFirstKey) {
  LogCapture log;
  LocalizationTable table(Defines("\xEF\xBB\xBFstr_FIRST = first\nstr_SECOND = second\n\xEF\xBB\xBFstr_THIRD = third\n",
                                   "A joke without a mark\n")
                              .c_str());
  EXPECT_EQ(log.Matching("There is a byte order mark at the beginning of the file").size(), 1u);
  EXPECT_EQ(table.GetWideText("\xEF\xBB\xBFstr_FIRST"), L"first");
  EXPECT_EQ(table.GetWideText("str_FIRST"), L"str_FIRST");
  EXPECT_EQ(table.GetWideText("str_SECOND"), L"second");
  EXPECT_EQ(table.GetWideText("\xEF\xBB\xBFstr_THIRD"), L"third");

  // The jokes file is checked on its own.
  log.Clear();
  LocalizationTable jokes(Defines("", "\xEF\xBB\xBFJoke\n").c_str());
  EXPECT_EQ(log.Matching("There is a byte order mark").size(), 1u);
  ASSERT_EQ(jokes.GetJokeCount(), 1);
  EXPECT_EQ(Utf8(jokes.GetJoke(0)), "\xEF\xBB\xBFJoke");
}

TEST_F(LocalizationTableTest, JokesKeepTheirOrderAndTurnBackslashNIntoLineBreaks) {
  const std::string jokes =
      "First line\\nsecond line\n"
      "\n"
      "\r\n"
      "Kept as written \r\n"
      "Cut at \xC0 the broken byte\n"
      "Last without line end";
  LocalizationTable table(Defines("", jokes).c_str());

  ASSERT_EQ(table.GetJokeCount(), 4);
  EXPECT_EQ(Utf8(table.GetJoke(0)), "First line\nsecond line");
  EXPECT_EQ(Utf8(table.GetJoke(1)), "Kept as written \r");
  EXPECT_EQ(Utf8(table.GetJoke(2)), "Cut at ");
  EXPECT_EQ(Utf8(table.GetJoke(3)), "Last without line end");
  for (int outside : {-1, 4, 1000}) EXPECT_TRUE(table.GetJoke(outside).empty()) << outside;

  // Reading again replaces the list.
  std::istringstream again("Only one\n");
  table.ReadJokes(again);
  EXPECT_EQ(table.GetJokeCount(), 1);
}

// The bundled English language, found from the program folder as the game finds it.
TEST(LocalizationTableData, BundledLanguageLoadsFromTheProgramFolder) {
  LocalizationTable::CleanInstance();
  LogCapture log;
  LocalizationTable* table = LocalizationTable::GetInstance();
  EXPECT_TRUE(log.Lines().empty()) << log.Lines().front();

  EXPECT_EQ(Utf8(table->GetText("str_YES")), "Yes");
  EXPECT_EQ(Utf8(table->GetText("str_VIDEOMODE_KEEP_CHANGES", 30)),
            "Keep the new video mode?\nThe old one returns in 30 seconds.");
  EXPECT_GE(table->GetJokeCount(), 3);
  for (int i = 0; i < table->GetJokeCount(); ++i) EXPECT_FALSE(table->GetJoke(i).empty()) << i;
  // Besides the "str_" keys, the quality names of settings.xml are keys of their own.
  const std::set<std::string> qualityNames = {"Off", "On", "Low", "Medium", "High"};
  for (const auto& entry : table->GetTexts()) {
    if (!qualityNames.count(entry.first)) {
      EXPECT_EQ(entry.first.rfind("str_", 0), 0u) << entry.first;
    }
  }
  LocalizationTable::CleanInstance();
}

}  // namespace
