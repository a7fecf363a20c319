// JokeManager: every joke once before any repeats, the record in jokes.bin byte by
// byte after each draw, and a jokes.bin that does not fit the jokes file.
#include "support/ArchiveRoundTrip.h"
#include "support/ScopedEnv.h"

#include "Managers/JokeManager.h"
#include "Managers/LocalizationTable.h"
#include "Managers/SaveGameManager.h"
#include "util/MathTools.h"

#include <CEGUI/String.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using archive_test::ByteWriter;
using archive_test::Bytes;

// jokes.bin: version 1, the entry count, then (joke number, shown flag) pairs.
Bytes JokesBin(const std::vector<std::pair<int, int>>& entries, int count = -1) {
  ByteWriter w;
  w.I32(1).I32(count < 0 ? (int)entries.size() : count);
  for (const auto& e : entries) w.I32(e.first).I32(e.second);
  return w;
}

class JokeManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    documents = fs::temp_directory_path() / ("brinemark_jokes_" + std::to_string(getpid()));
    fs::remove_all(documents);
    fs::create_directories(documents);
    docsEnv = std::make_unique<ScopedEnv>("ENGINE_DOCUMENTS_DIR", documents.c_str());
    SetJokes(3);
  }
  void TearDown() override {
    MathTools::SetUseFixedRandom(false);
    MathTools::SetTestRandReturnMax(false);
    JokeManager::CleanInstance();
    LocalizationTable::CleanInstance();
    SaveGameManagerProto::CleanInstance();
    docsEnv.reset();
    fs::remove_all(documents);
  }

  // Jokes "Joke 0" .. "Joke n-1".
  static void SetJokes(int count) {
    std::ostringstream text;
    for (int i = 0; i < count; ++i) text << "Joke " << i << "\n";
    std::istringstream in(text.str());
    LocalizationTable::GetInstance()->ReadJokes(in);
  }
  static JokeManager* Start() {
    JokeManager::CleanInstance();
    JokeManager* jokes = JokeManager::GetInstance();
    jokes->Initialize();
    return jokes;
  }
  static std::string Draw() {
    CEGUI::String text;
    JokeManager::GetInstance()->GetRandomJoke(text);
    return text.c_str();
  }

  fs::path JokesFile() const { return documents / "Fenwold/Brinemark/jokes.bin"; }
  Bytes ReadJokesFile() const {
    std::ifstream in(JokesFile(), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  void WriteJokesFile(const Bytes& bytes) const {
    fs::create_directories(JokesFile().parent_path());
    std::ofstream(JokesFile(), std::ios::binary).write((const char*)bytes.data(), (std::streamsize)bytes.size());
  }

  fs::path documents;
  std::unique_ptr<ScopedEnv> docsEnv;
};

TEST_F(JokeManagerTest, FixedDrawsComeInOrderAndEachIsRecordedOnDisk) {
  MathTools::SetUseFixedRandom(true);
  Start();
  EXPECT_FALSE(fs::exists(JokesFile()));
  EXPECT_EQ(Draw(), "Joke 0");
  EXPECT_EQ(ReadJokesFile(), JokesBin({{0, 1}, {1, 0}, {2, 0}}));
  EXPECT_EQ(Draw(), "Joke 1");
  EXPECT_EQ(ReadJokesFile(), JokesBin({{0, 1}, {1, 1}, {2, 0}}));
  EXPECT_EQ(Draw(), "Joke 2");
  EXPECT_EQ(ReadJokesFile(), JokesBin({{0, 1}, {1, 1}, {2, 1}}));
  EXPECT_EQ(JokeManager::GetInstance()->GetUnseenCount(), 0);

  // All read: any joke again, and nothing is written.
  fs::remove(JokesFile());
  EXPECT_EQ(Draw(), "Joke 0");
  EXPECT_FALSE(fs::exists(JokesFile()));
  for (const auto& entry : fs::directory_iterator(JokesFile().parent_path()))
    ADD_FAILURE() << "left behind: " << entry.path();
}

TEST_F(JokeManagerTest, TestMaximumDrawsFromTheTopAndRandomDrawsNeverRepeat) {
  MathTools::SetUseFixedRandom(true);
  MathTools::SetTestRandReturnMax(true);
  Start();
  EXPECT_EQ(Draw(), "Joke 2");
  EXPECT_EQ(Draw(), "Joke 1");
  EXPECT_EQ(Draw(), "Joke 0");
  EXPECT_EQ(Draw(), "Joke 2");  // every joke read: the largest number

  MathTools::SetUseFixedRandom(false);
  MathTools::SetTestRandReturnMax(false);
  SetJokes(7);
  fs::remove(JokesFile());
  for (unsigned seed : {1u, 42u, 977u}) {
    VSeedRandom(seed);
    Start();
    std::set<std::string> seen;
    for (int i = 0; i < 7; ++i) EXPECT_TRUE(seen.insert(Draw()).second) << "seed " << seed << " draw " << i;
    EXPECT_EQ(seen.size(), 7u);
    EXPECT_EQ(ReadJokesFile(), JokesBin({{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}}));
    fs::remove(JokesFile());
  }
}

TEST_F(JokeManagerTest, ANextStartKeepsTheReadJokesAndAGrownFileAddsUnreadOnes) {
  MathTools::SetUseFixedRandom(true);
  Start();
  Draw();
  Draw();
  // The jokes file grew from three to five jokes.
  SetJokes(5);
  JokeManager* jokes = Start();
  EXPECT_EQ(jokes->GetUnseen(), (std::vector<int>{2, 3, 4}));
  EXPECT_EQ(Draw(), "Joke 2");
  // The old entries keep their flags; the new joke is appended as read.
  EXPECT_EQ(ReadJokesFile(), JokesBin({{0, 1}, {1, 1}, {2, 1}}));
  EXPECT_EQ(Draw(), "Joke 3");
  EXPECT_EQ(ReadJokesFile(), JokesBin({{0, 1}, {1, 1}, {2, 1}, {3, 1}}));
}

TEST_F(JokeManagerTest, StoredEntriesAreFoundByJokeNumberAndOnlyValidJokesAreDrawn) {
  MathTools::SetUseFixedRandom(true);
  // Out of order, with numbers the jokes file does not have, and a count far
  // beyond the entries the file holds.
  WriteJokesFile(JokesBin({{2, 1}, {40, 1}, {-7, 1}, {0, 1}, {1, 0}}, 0x7FFFFFFF));
  JokeManager* jokes = Start();
  EXPECT_EQ(jokes->GetUnseen(), (std::vector<int>{1}));
  EXPECT_EQ(jokes->GetSeenTable().GetCount(), 5);
  EXPECT_EQ(Draw(), "Joke 1");
  EXPECT_EQ(ReadJokesFile(), JokesBin({{2, 1}, {40, 1}, {-7, 1}, {0, 1}, {1, 1}}));

  // Every joke read and the record longer than the jokes file: the draw stays
  // within the jokes there are.
  MathTools::SetTestRandReturnMax(true);
  EXPECT_EQ(Draw(), "Joke 2");
}

TEST_F(JokeManagerTest, WithoutJokesOrWithABrokenRecordNothingGoesWrong) {
  MathTools::SetUseFixedRandom(true);
  MathTools::SetTestRandReturnMax(true);  // a draw over nothing would give -1
  SetJokes(0);
  Start();
  EXPECT_EQ(Draw(), "");
  EXPECT_FALSE(fs::exists(JokesFile()));

  // A record of an unknown version, or cut short in its count, is not read: every
  // joke counts as unread.
  SetJokes(3);
  for (const Bytes& broken : {JokesBin({{0, 1}, {1, 1}, {2, 1}}), Bytes{1, 0, 0}}) {
    Bytes bytes = broken;
    if (bytes.size() > 4) bytes[0] = 99;
    WriteJokesFile(bytes);
    JokeManager* jokes = Start();
    EXPECT_FALSE(jokes->LoadSeenJokes());
    EXPECT_EQ(jokes->GetUnseenCount(), 3);
  }

  // Saving fails (jokes.bin is a folder): the joke still counts as read this run.
  fs::remove(JokesFile());
  fs::create_directories(JokesFile() / "inside");
  JokeManager* jokes = Start();
  EXPECT_EQ(Draw(), "Joke 2");
  EXPECT_EQ(jokes->GetUnseen(), (std::vector<int>{0, 1}));
  EXPECT_TRUE(fs::is_directory(JokesFile()));
}

TEST(SeenJokesTable, RoundTripsAndReadsNoMoreThanTheFileHoldsOrTheTableTakes) {
  SeenJokesTable table, fresh;
  table.Append(4, 1);
  table.Append(0, 0);
  Bytes written;
  EXPECT_TRUE(archive_test::RoundTripSerialize(table, fresh, &written));
  EXPECT_EQ(written, Bytes(ByteWriter().I32(2).I32(4).I32(1).I32(0).I32(0)));
  EXPECT_TRUE(fresh.IsShown(4));
  EXPECT_FALSE(fresh.IsShown(0));
  EXPECT_FALSE(fresh.IsShown(7));

  // 11001 entries stored: the first 11000 are kept and the rest is read past.
  ByteWriter big;
  big.I32(SeenJokesTable::MaxEntries + 1);
  for (int i = 0; i <= SeenJokesTable::MaxEntries; ++i) big.I32(i).I32(1);
  SeenJokesTable capped;
  EXPECT_TRUE(archive_test::LoadBytes(big, [&](VArchive& ar) { capped.Serialize(ar); }));
  EXPECT_EQ(capped.GetCount(), SeenJokesTable::MaxEntries);
  EXPECT_TRUE(capped.IsFull());
  EXPECT_FALSE(capped.Append(99999, 1));
  EXPECT_FALSE(capped.IsShown(SeenJokesTable::MaxEntries));

  // A negative count reads as empty; a count cut short leaves the table as it was.
  SeenJokesTable empty;
  empty.Append(1, 1);
  EXPECT_TRUE(archive_test::LoadBytes(ByteWriter().I32(-5), [&](VArchive& ar) { empty.Serialize(ar); }));
  EXPECT_EQ(empty.GetCount(), 0);
  SeenJokesTable kept;
  kept.Append(1, 1);
  archive_test::ReadArchive ar(Bytes{2, 0});
  kept.Serialize(*ar);
  EXPECT_FALSE(ar->IsOK());
  EXPECT_EQ(kept.GetCount(), 1);
}

}  // namespace
