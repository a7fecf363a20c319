// The editor-parser text format: entries, plain lines, groups and inheritance,
// reading from memory and from the file manager, and hostile input.
#include "util/EditorParser.h"

#include "support/LogCapture.h"

#include "engine/base/VisFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

using Larkspire::editor::EditorParser;
using Larkspire::editor::EditorParserGroup;

namespace {

void ParseText(EditorParser& doc, const std::string& text) { doc.Parse(text.data(), text.size()); }

// The sub-group of that name, or null; unlike GetSubGroup it creates nothing.
const EditorParserGroup* Find(const EditorParserGroup* group, const char* name) {
  if (!group) return nullptr;
  EditorParserGroup::GroupMap::const_iterator it = group->GetSubGroups().find(name);
  return it == group->GetSubGroups().end() ? nullptr : it->second.GetPtr();
}

// The value of a key, or "<absent>".
std::string Value(const EditorParserGroup* group, const char* key) {
  if (!group) return "<no group>";
  EditorParserGroup::ValueMap::const_iterator it = group->GetValues().find(key);
  return it == group->GetValues().end() ? "<absent>" : it->second.Str();
}

std::vector<std::string> Lines(const EditorParserGroup* group) {
  std::vector<std::string> out;
  for (const VString& l : group->GetPlainLines()) out.push_back(l.Str());
  return out;
}

}  // namespace

TEST(EditorParser, LinesBecomeEntriesOrPlainLinesAfterCommentsAndBlanksAreCut) {
  struct Case {
    const char* line;
    const char* key;  // null: a plain line
    const char* value;
  };
  const Case cases[] = {
      {"key = value", "key", "value"},
      {"\t  spaced key \t=\t  inner  blanks stay \t\r", "spaced key", "inner  blanks stay"},
      {"path = a=b=c", "path", "a=b=c"},
      {"empty =", "empty", ""},
      {"x=1 // trailing comment", "x", "1"},
      {"url = http://host/page", "url", "http:"},
      {"=starts with equals", nullptr, "=starts with equals"},
      {"  just some words  ", nullptr, "just some words"},
      {"header : base", nullptr, "header : base"},
      {"a\rb = c", "a\rb", "c"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EditorParser doc;
    ParseText(doc, std::string(c.line) + "\n");
    const EditorParserGroup* root = doc.GetRoot();
    if (c.key) {
      ASSERT_EQ(root->GetValueCount(), 1);
      EXPECT_EQ(root->GetValue(0).first.Str(), c.key);
      EXPECT_EQ(root->GetValue(0).second.Str(), c.value);
      EXPECT_TRUE(root->GetPlainLines().empty());
    } else {
      EXPECT_EQ(root->GetValueCount(), 0);
      EXPECT_EQ(Lines(root), std::vector<std::string>{c.value});
    }
  }
}

TEST(EditorParser, SkipsEmptyCommentAndBlankOnlyLinesAndKeepsPlainLinesInOrder) {
  EditorParser doc;
  // Blank-only lines count as empty, even between a header and its "{".
  ParseText(doc, "// a comment\nfirst line\r\n\n   \t \ngroup\n \t\n{\n}\n// another\nsecond line\nthird");
  EXPECT_EQ(Lines(doc.GetRoot()), (std::vector<std::string>{"first line", "second line", "third"}));
  EXPECT_NE(Find(doc.GetRoot(), "group"), nullptr);
}

TEST(EditorParser, LaterDuplicatesReplaceEarlierKeysAndGroupsWhole) {
  EditorParser doc;
  ParseText(doc,
            "k = 1\nk = 2\n"
            "g\n{\n  a = 1\n  line\n}\n"
            "g\n{\n  b = 2\n}\n");
  EXPECT_EQ(Value(doc.GetRoot(), "k"), "2");
  const EditorParserGroup* g = Find(doc.GetRoot(), "g");
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(Value(g, "a"), "<absent>");
  EXPECT_EQ(Value(g, "b"), "2");
  EXPECT_TRUE(g->GetPlainLines().empty());
}

TEST(EditorParser, NestedGroupsAndInheritanceFromAnEarlierSibling) {
  EditorParser doc;
  ParseText(doc,
            "Localization\n"
            "{\n"
            "  settings\n"
            "  {\n"
            "    stringfile = strings.txt\n"
            "    jokesfile = jokes.txt\n"
            "    inherited line\n"
            "    deeper\n"
            "    {\n"
            "      d = 1\n"
            "    }\n"
            "  }\n"
            "  voices : settings\n"
            "  {\n"
            "    jokesfile = other.txt\n"
            "    str_HELLO_VO = hello.wav\n"
            "    own line\n"
            "  }\n"
            "  later : missing\n"
            "  {\n"
            "    x = 1\n"
            "  }\n"
            "  early : afterwards\n"
            "  {\n"
            "  }\n"
            "  afterwards\n"
            "  {\n"
            "    y = 1\n"
            "  }\n"
            "  inner\n"
            "  {\n"
            "    fromParent : settings\n"
            "    {\n"
            "    }\n"
            "  }\n"
            "}\n");
  const EditorParserGroup* loc = Find(doc.GetRoot(), "Localization");
  const EditorParserGroup* settings = Find(loc, "settings");
  const EditorParserGroup* voices = Find(loc, "voices");
  ASSERT_NE(settings, nullptr);
  ASSERT_NE(voices, nullptr);
  EXPECT_EQ(Value(settings, "jokesfile"), "jokes.txt");
  // Copied values, the group's own entries on top, plain lines appended.
  EXPECT_EQ(Value(voices, "stringfile"), "strings.txt");
  EXPECT_EQ(Value(voices, "jokesfile"), "other.txt");
  EXPECT_EQ(Value(voices, "str_HELLO_VO"), "hello.wav");
  EXPECT_EQ(Lines(voices), (std::vector<std::string>{"inherited line", "own line"}));
  // Sub-groups are shared with the base, not copied.
  EXPECT_EQ(Find(voices, "deeper"), Find(settings, "deeper"));
  EXPECT_EQ(Value(Find(voices, "deeper"), "d"), "1");
  // A base that is missing, defined later, or only in a parent gives an empty start.
  EXPECT_EQ(Value(Find(loc, "later"), "x"), "1");
  EXPECT_EQ(Find(loc, "later")->GetValueCount(), 1);
  EXPECT_EQ(Find(loc, "early")->GetValueCount(), 0);
  EXPECT_EQ(Find(Find(loc, "inner"), "fromParent")->GetValueCount(), 0);
  // The name is cut at the first ":".
  EXPECT_EQ(Find(loc, "voices : settings"), nullptr);
}

TEST(EditorParser, SharedSubGroupOutlivesTheGroupItCameFrom) {
  EditorParser doc;
  // "base" is replaced by a second definition; "child" keeps its sub-group alive.
  ParseText(doc, "base\n{\n sub\n {\n  v = 1\n }\n}\nchild : base\n{\n}\nbase\n{\n}\n");
  const EditorParserGroup* sub = Find(Find(doc.GetRoot(), "child"), "sub");
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(Find(Find(doc.GetRoot(), "base"), "sub"), nullptr);
  EXPECT_EQ(Value(sub, "v"), "1");
  EXPECT_EQ(sub->GetRefCount(), 1);
}

TEST(EditorParser, BracesOnlyCountAtTheStartOfTheirOwnLine) {
  EditorParser doc;
  // A header on the same line as "{" is a plain line; the following entries
  // belong to the enclosing group, and the top-level "}" ends the whole reading.
  ParseText(doc, "outer {\n  a = 1\n}\nb = 2\nlost\n{\n}\n");
  EXPECT_EQ(Lines(doc.GetRoot()), std::vector<std::string>{"outer {"});
  EXPECT_EQ(Value(doc.GetRoot(), "a"), "1");
  EXPECT_EQ(Value(doc.GetRoot(), "b"), "<absent>");
  EXPECT_TRUE(doc.GetRoot()->GetSubGroups().empty());

  // A header without a following "{" is an ordinary line; a missing "}" is
  // closed by the end of the input; "{ rest" and "} rest" ignore the rest.
  EditorParser doc2;
  ParseText(doc2, "notAGroup\nk = v\ng\n{ ignored\n  x = 1\n  inner\n  {\n    y = 2\n  } ignored");
  EXPECT_EQ(Lines(doc2.GetRoot()), std::vector<std::string>{"notAGroup"});
  EXPECT_EQ(Value(doc2.GetRoot(), "k"), "v");
  EXPECT_EQ(Value(Find(doc2.GetRoot(), "g"), "x"), "1");
  EXPECT_EQ(Value(Find(Find(doc2.GetRoot(), "g"), "inner"), "y"), "2");

  // A group whose body starts with "}" is empty; a lone "{" or "}" elsewhere is dropped.
  EditorParser doc3;
  ParseText(doc3, "empty\n{\n}\nodd\n{\n{\nz = 3\n}\n");
  EXPECT_EQ(Find(doc3.GetRoot(), "empty")->GetValueCount(), 0);
  const EditorParserGroup* odd = Find(doc3.GetRoot(), "odd");
  EXPECT_EQ(Value(odd, "z"), "3");
  EXPECT_TRUE(odd->GetPlainLines().empty());
}

TEST(EditorParser, ParseOfAGroupStopsRightAfterItsClosingLine) {
  std::istringstream in("k = v\n} trailing\nnext line\n");
  VSmartPtr<EditorParserGroup> group = new EditorParserGroup();
  group->Parse(in);
  EXPECT_EQ(Value(group, "k"), "v");
  std::string rest;
  std::getline(in, rest);
  EXPECT_EQ(rest, "next line");
}

TEST(EditorParser, ValuesAreListedInAscendingByteOrderOfTheKey) {
  EditorParser doc;
  ParseText(doc, "b = 2\n\xC3\xA9 = 5\na = 1\nB = 3\n_ = 4\n");
  const EditorParserGroup* root = doc.GetRoot();
  ASSERT_EQ(root->GetValueCount(), 5);
  const char* expected[] = {"B", "_", "a", "b", "\xC3\xA9"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(root->GetValue(i).first.Str(), expected[i]) << i;
  // Any order of indices gives the same answers; outside the range an empty pair.
  EXPECT_EQ(root->GetValue(3).second.Str(), "2");
  EXPECT_EQ(root->GetValue(0).second.Str(), "3");
  EXPECT_EQ(root->GetValue(-1), (std::pair<VString, VString>()));
  EXPECT_EQ(root->GetValue(5), (std::pair<VString, VString>()));
}

TEST(EditorParser, ByteOrderMarkStaysInFrontOfTheFirstName) {
  EditorParser doc;
  ParseText(doc, "\xEF\xBB\xBFLocalization\n{\n  a = 1\n}\n");
  EXPECT_EQ(Find(doc.GetRoot(), "Localization"), nullptr);
  EXPECT_EQ(Value(Find(doc.GetRoot(), "\xEF\xBB\xBFLocalization"), "a"), "1");
  // A caller walking the plain name gets an empty group, which is then kept.
  EditorParserGroup* made = doc.GetRoot()->GetSubGroup("Localization");
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->GetValueCount(), 0);
  EXPECT_EQ(doc.GetRoot()->GetSubGroup("Localization"), made);
  EXPECT_EQ(doc.GetRoot()->GetSubGroups().size(), 2u);
}

class EditorParserFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "editorparser-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir = pattern;
    std::filesystem::create_directories(dir + "/Localization");
    std::ofstream(dir + "/Localization/_lang_defines.txt") << "Localization\n{\n  settings\n  {\n    stringfile = s.txt\n  }\n}\n";
    Vision::File.RemoveAllDataDirectories();
    ASSERT_TRUE(Vision::File.AddDataDirectory(dir.c_str()));
  }
  void TearDown() override {
    Vision::File.RemoveAllDataDirectories();
    std::filesystem::remove_all(dir);
  }
  std::string dir;
};

TEST_F(EditorParserFileTest, ReadsThroughTheFileManagerRegardlessOfCaseAndSeparator) {
  EditorParser doc;
  ASSERT_TRUE(doc.ParseFile("localization\\_LANG_defines.txt"));
  EXPECT_EQ(Value(Find(Find(doc.GetRoot(), "Localization"), "settings"), "stringfile"), "s.txt");

  EditorParser missing;
  EXPECT_FALSE(missing.ParseFile("localization/nothere.txt"));
  EXPECT_FALSE(missing.ParseFile(nullptr));
  EXPECT_TRUE(missing.GetRoot()->GetSubGroups().empty());
}

TEST(EditorParserHostile, OverlongLinesAreDroppedAndTheirNeighboursKept) {
  const size_t max = EditorParserGroup::MaxLineLength;
  const std::string longValue(max, 'v');
  std::string text = "before = 1\n";
  text += "toolong = " + longValue + "\n";                    // over the limit: dropped
  text += std::string(max - 4, 'k') + " = 1\n";               // exactly the limit: kept
  text += "commented = 2 //" + std::string(4 * max, '/') + "\n";  // only the comment is long
  text += "after = 3\n";
  LogCapture log;
  EditorParser doc;
  ParseText(doc, text);
  const EditorParserGroup* root = doc.GetRoot();
  EXPECT_EQ(Value(root, "before"), "1");
  EXPECT_EQ(Value(root, "toolong"), "<absent>");
  EXPECT_EQ(Value(root, std::string(max - 4, 'k').c_str()), "1");
  EXPECT_EQ(Value(root, "commented"), "2");
  EXPECT_EQ(Value(root, "after"), "3");
  EXPECT_EQ(root->GetValueCount(), 4);
  EXPECT_EQ(log.Matching("longer than").size(), 1u);
}

TEST(EditorParserHostile, BinaryBytesAreKeptAsTheyAre) {
  const std::string text("k\0ey = v\xFF\x01\0al\n\x80\x00plain\n", 22);
  EditorParser doc;
  ParseText(doc, text);
  const EditorParserGroup* root = doc.GetRoot();
  ASSERT_EQ(root->GetValueCount(), 1);
  EXPECT_EQ(root->GetValue(0).first.Str(), std::string("k\0ey", 4));
  EXPECT_EQ(root->GetValue(0).second.Str(), std::string("v\xFF\x01\0al", 6));
  EXPECT_EQ(Lines(root), std::vector<std::string>{std::string("\x80\x00plain", 7)});
}

TEST(EditorParserHostile, DeepNestingIsCutAtTheLimitAndTheStructureAfterItKept) {
  const int levels = 100000;
  std::string text;
  for (int i = 0; i < levels; ++i) text += "g\n{\n";
  text += "deep = 1\n";
  for (int i = 0; i < levels; ++i) text += "}\n";
  text += "tail = 2\n";
  LogCapture log;
  EditorParser doc;
  ParseText(doc, text);
  EXPECT_EQ(Value(doc.GetRoot(), "tail"), "2");
  int depth = 0;
  const EditorParserGroup* g = doc.GetRoot();
  while ((g = Find(g, "g")) != nullptr) {
    ++depth;
    EXPECT_EQ(g->GetValueCount(), 0);
  }
  EXPECT_EQ(depth, EditorParserGroup::MaxDepth);
  EXPECT_EQ(log.Matching("nested deeper").size(), 1u);
}

TEST(EditorParserHostile, UnbalancedBracesGiveAWellFormedDocument) {
  struct Case {
    const char* text;
    size_t groups;  // at the top level
    int values;
  };
  const Case cases[] = {
      {"}\nk = v\n", 0, 0},                       // reading ends at once
      {"{\n{\n{\nk = v\n", 1, 0},                 // a group named "{"
      {"a\n{\n}\n}\n}\nk = v\n", 1, 0},           // surplus "}" ends the reading
      {"a\n{\nb\n{\nc\n{\nk = v\n", 1, 0},        // never closed
      {"a\n{\n}\n{\nk = v\n}\nz = 1\n", 2, 1},    // "{" after a group opens one named ""
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EditorParser doc;
    ParseText(doc, c.text);
    EXPECT_EQ(doc.GetRoot()->GetSubGroups().size(), c.groups);
    EXPECT_EQ(doc.GetRoot()->GetValueCount(), c.values);
  }
}

TEST(EditorParserHostile, InheritanceCannotBlowUpTheStoredText) {
  // One base of about 1 MB and many heirs would hold 200 MB if every copy were kept.
  std::string text = "base\n{\n";
  const std::string line(1000, 'x');
  for (int i = 0; i < 1000; ++i) text += line + "\n";
  text += "}\n";
  for (int i = 0; i < 200; ++i) text += "heir" + std::to_string(i) + " : base\n{\n}\n";
  text += "late = 1\n";
  LogCapture log;
  EditorParser doc;
  ParseText(doc, text);

  const EditorParserGroup* root = doc.GetRoot();
  const size_t heirs = root->GetSubGroups().size() - 1;
  EXPECT_GE(heirs, 1u);
  EXPECT_LT(heirs, 200u);
  EXPECT_EQ(Find(root, "heir0")->GetPlainLines().size(), 1000u);
  EXPECT_EQ(Value(root, "late"), "<absent>");
  EXPECT_EQ(log.Matching("reading stopped").size(), 1u);
  size_t stored = 0;
  for (const auto& entry : root->GetSubGroups())
    for (const VString& l : entry.second->GetPlainLines()) stored += l.GetLength();
  EXPECT_LE(stored, EditorParserGroup::MaxStoredBytes);
}
