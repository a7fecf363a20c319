// Achievements: the rule pass unlocks what the progress values have reached, and
// the achievement for having read every bottle joke; "achievements.bin" keeps the
// unlocks and the values of no campaign, written only when something new was
// unlocked and when the world unloads; the saved game's block carries the
// campaign's values.
#include "Managers/AchievementManager.h"
#include "Managers/JokeManager.h"
#include "Managers/LocalizationTable.h"
#include "Managers/SaveGameManager.h"
#include "engine/Vision.h"
#include "support/ArchiveRoundTrip.h"
#include "support/LogCapture.h"
#include "support/ScopedEnv.h"

#include <CEGUI/String.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using archive_test::ByteWriter;
using archive_test::Bytes;
using archive_test::LoadBytes;
using archive_test::ReadArchive;
using archive_test::SaveBytes;

class AchievementManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    documents = fs::temp_directory_path() / ("brinemark_achievements_" + std::to_string(getpid()));
    fs::remove_all(documents);
    fs::create_directories(documents);
    docsEnv = std::make_unique<ScopedEnv>("ENGINE_DOCUMENTS_DIR", documents.c_str());
    file = documents / "Fenwold" / "Brinemark" / "achievements.bin";
  }
  void TearDown() override {
    AchievementManager::CleanInstance();
    JokeManager::CleanInstance();
    LocalizationTable::CleanInstance();
    SaveGameManagerProto::CleanInstance();
    docsEnv.reset();
    fs::remove_all(documents);
  }
  AchievementManager* Achievements() { return AchievementManager::GetInstance(); }
  // The manager of the next start of the game: it reads the file.
  AchievementManager* Restarted() {
    AchievementManager::CleanInstance();
    return Achievements();
  }
  Bytes FileBytes() const {
    std::ifstream in(file, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  void WriteFile(const Bytes& bytes) const {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), (std::streamsize)bytes.size());
  }
  float Value(int id) {
    float value = -1.0f;
    return Achievements()->GetValue(id, value) ? value : -1.0f;
  }

  fs::path documents, file;
  std::unique_ptr<ScopedEnv> docsEnv;
};

// The file's records as the game writes them.
ByteWriter& AchievementRecord(ByteWriter& w, int id, bool unlocked, int version = 1) {
  return w.Str("ARCH").U8((uint8_t)version).I32(id).U8(unlocked).Str("EOA");
}
ByteWriter& ValueRecord(ByteWriter& w, int id, float value, bool bound, int version = 1) {
  return w.Str("ARCH").U8((uint8_t)version).I32(id).F32(value).U8(bound).Str("EOA");
}

TEST_F(AchievementManagerTest, ProgressValuesUnlockTheirAchievementAtTheThreshold) {
  const struct {
    int id;
    float threshold;
  } rules[] = {{1, 100}, {2, 99},   {23, 5}, {33, 50},  {38, 10}, {24, 100}, {30, 50}, {13, 1800},
               {16, 9},  {26, 300}, {40, 50}, {17, 20}, {18, 20}, {22, 5},   {12, 20}};
  for (const auto& rule : rules) {
    Achievements()->SetValue(rule.id, rule.threshold - 0.5f, true);
    EXPECT_FALSE(Achievements()->IsUnlocked(rule.id)) << rule.id;
    Achievements()->IncValue(rule.id, 0.5f, true);
    EXPECT_TRUE(Achievements()->IsUnlocked(rule.id)) << rule.id;
    EXPECT_TRUE(Achievements()->HasChanged());
  }
  // Falling back below the threshold keeps what was reached.
  Achievements()->SetValue(17, 0.0f, true);
  EXPECT_TRUE(Achievements()->IsUnlocked(17));
}

TEST_F(AchievementManagerTest, EachValueCountsOnlyForItsOwnAchievement) {
  Achievements()->SetValue(2, 99.5f, false);
  EXPECT_TRUE(Achievements()->IsUnlocked(2));
  Achievements()->SetValue(1, 99.5f, false);
  EXPECT_FALSE(Achievements()->IsUnlocked(1));
  Achievements()->IncValue(1, 0.5f, false);
  EXPECT_TRUE(Achievements()->IsUnlocked(1));

  // Values without a rule (25 and 39 are unlocked directly) unlock nothing.
  fs::remove(file);
  AchievementManager* fresh = Restarted();
  for (int id : {3, 25, 39, 47}) fresh->SetValue(id, 1e6f, true);
  for (int id = 0; id <= 47; ++id) EXPECT_FALSE(fresh->IsUnlocked(id)) << id;
  EXPECT_FALSE(fresh->HasChanged());
}

TEST_F(AchievementManagerTest, ReadingEveryBottleJokeUnlocksItsAchievement) {
  std::istringstream none("");
  LocalizationTable::GetInstance()->ReadJokes(none);
  JokeManager::GetInstance()->Initialize();
  Achievements()->CheckAchievements();
  EXPECT_FALSE(Achievements()->IsUnlocked(6)) << "no jokes, none found";

  std::istringstream two("Joke 0\nJoke 1\n");
  LocalizationTable::GetInstance()->ReadJokes(two);
  JokeManager::GetInstance()->Initialize();
  CEGUI::String text;
  JokeManager::GetInstance()->GetRandomJoke(text);
  Achievements()->CheckAchievements();
  EXPECT_FALSE(Achievements()->IsUnlocked(6));
  JokeManager::GetInstance()->GetRandomJoke(text);
  Achievements()->CheckAchievements();
  EXPECT_TRUE(Achievements()->IsUnlocked(6));
}

TEST_F(AchievementManagerTest, TheFileKeepsTheUnlocksAndTheValuesOfNoCampaign) {
  Achievements()->IncValue(1, 60.0f, false);
  EXPECT_FALSE(Achievements()->IsUnlocked(1));
  EXPECT_FALSE(fs::exists(file)) << "nothing new, nothing written";
  Achievements()->IncValue(7, 3.0f, true);
  Achievements()->SetAchievement(25);
  Achievements()->IncValue(1, 40.0f, false);
  EXPECT_TRUE(Achievements()->IsUnlocked(1));

  // Archive version, file version 1, the unlocks by id, the values of no campaign.
  ByteWriter expected;
  expected.I32(Vision::GetArchiveVersion()).U8(1).I32(2);
  AchievementRecord(expected, 1, true);
  AchievementRecord(expected, 25, true);
  expected.I32(1);
  ValueRecord(expected, 1, 100.0f, false);
  EXPECT_EQ(FileBytes(), expected.Get());

  // The next start reads them back, and writes the same file again.
  AchievementManager* next = Restarted();
  EXPECT_TRUE(next->IsUnlocked(1));
  EXPECT_TRUE(next->IsUnlocked(25));
  EXPECT_FLOAT_EQ(Value(1), 100.0f);
  EXPECT_FLOAT_EQ(Value(7), -1.0f) << "the campaign's values are not the file's";
  fs::remove(file);
  ASSERT_TRUE(next->SaveAchievements());
  EXPECT_EQ(FileBytes(), expected.Get());
}

TEST_F(AchievementManagerTest, TheFileIsWrittenOnlyOnANewUnlockAndWhenTheWorldUnloads) {
  std::istringstream one("Joke 0\n");
  LocalizationTable::GetInstance()->ReadJokes(one);
  JokeManager::GetInstance()->Initialize();
  CEGUI::String text;
  JokeManager::GetInstance()->GetRandomJoke(text);

  // Every joke found: the first pass unlocks 6 and writes.
  Achievements()->SetValue(13, 0.0f, true);
  EXPECT_TRUE(Achievements()->IsUnlocked(6));
  EXPECT_TRUE(fs::exists(file));
  // The rule holds for good, and a value changes every frame at sea: no more writes.
  fs::remove(file);
  for (int frame = 0; frame < 3; ++frame) Achievements()->IncValue(13, 0.02f, true);
  EXPECT_FALSE(fs::exists(file));
  EXPECT_FALSE(Achievements()->HasChanged());

  // A direct unlock waits for the next write...
  Achievements()->SetAchievement(20);
  EXPECT_TRUE(Achievements()->HasChanged());
  EXPECT_FALSE(fs::exists(file));
  Achievements()->CheckAchievements();
  EXPECT_FALSE(fs::exists(file));
  // ...which the next new unlock makes,
  Achievements()->SetValue(22, 5.0f, true);
  ASSERT_TRUE(fs::exists(file));
  EXPECT_TRUE(Restarted()->IsUnlocked(20));

  // or the world's unload.
  Achievements()->SetAchievement(21);
  fs::remove(file);
  Vision::Callbacks.OnWorldDeInit.TriggerCallbacks();
  ASSERT_TRUE(fs::exists(file));
  EXPECT_TRUE(Restarted()->IsUnlocked(21));
}

TEST_F(AchievementManagerTest, AFileThatIsNotWholeChangesNothing) {
  auto body = [](int fileVersion) {
    ByteWriter w;
    w.I32(Vision::GetArchiveVersion()).U8((uint8_t)fileVersion).I32(1);
    AchievementRecord(w, 30, true);
    w.I32(1);
    ValueRecord(w, 3, 12.0f, false);
    return w;
  };
  Bytes whole = body(1);
  Bytes truncated(whole.begin(), whole.end() - 3);
  Bytes badTag = whole;
  badTag[9 + 4 + 3] = 'X';  // the first record's "ARCH"
  Bytes newerRecord = whole;
  newerRecord[9 + 8] = 2;  // the first record's version
  Bytes hugeCount = whole;
  hugeCount[5] = 0x7f;
  ByteWriter foreign;
  foreign.I32(-5).Raw(std::string(whole.begin() + 4, whole.end()));
  const struct {
    const char* what;
    Bytes bytes;
    bool loads;  // LoadAchievements' answer
    bool read;   // the records arrive
  } cases[] = {
      {"whole", whole, true, true},
      {"file version 0", body(0), true, false},
      {"cut short", truncated, false, false},
      {"a record's start tag", badTag, false, false},
      {"a record newer than the game", newerRecord, false, false},
      {"a count beyond the file", hugeCount, false, false},
      {"not an archive of the engine", foreign, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile(c.bytes);
    AchievementManager* fresh = Restarted();
    EXPECT_EQ(fresh->IsUnlocked(30), c.read);
    EXPECT_FLOAT_EQ(Value(3), c.read ? 12.0f : -1.0f);
    // A second read over what the manager holds keeps it when the file is not whole.
    fresh->SetValue(4, 1.0f, false);
    LogCapture log;
    EXPECT_EQ(fresh->LoadAchievements(), c.loads);
    EXPECT_FLOAT_EQ(Value(4), c.read ? -1.0f : 1.0f);
  }
  fs::remove(file);
  EXPECT_FALSE(Restarted()->LoadAchievements()) << "no file";
}

// The saved game's block -------------------------------------------------------

Bytes Block(AchievementManager* a) {
  return SaveBytes([&](VArchive& ar) { a->SerializeX(ar); });
}

TEST_F(AchievementManagerTest, TheSavedBlockCarriesTheCampaignsValuesAndReadsBackByteEqual) {
  Achievements()->SetValue(26, 120.0f, true);
  Achievements()->SetValue(13, 30.5f, true);
  Achievements()->SetValue(1, 50.0f, false);
  const Bytes saved = Block(Achievements());
  ByteWriter expected;
  expected.Str("ARCH").U8(1).I32(2);
  ValueRecord(expected, 13, 30.5f, true);
  ValueRecord(expected, 26, 120.0f, true);
  expected.Str("EOA");
  EXPECT_EQ(saved, expected.Get());

  // Read into another campaign: its own values go, the player's stay.
  Achievements()->SetValue(26, 3.0f, true);
  Achievements()->SetValue(18, 7.0f, true);
  Achievements()->SetValue(1, 55.0f, false);
  EXPECT_TRUE(LoadBytes(saved, [&](VArchive& ar) { EXPECT_TRUE(Achievements()->SerializeX(ar)); }));
  EXPECT_FLOAT_EQ(Value(26), 120.0f);
  EXPECT_FLOAT_EQ(Value(13), 30.5f);
  EXPECT_FLOAT_EQ(Value(18), -1.0f);
  EXPECT_FLOAT_EQ(Value(1), 55.0f) << "a value of the achievements file survives the load";
  EXPECT_EQ(Block(Achievements()), saved);
}

TEST_F(AchievementManagerTest, ASavedBlockNeverTakesOverAValueOfTheAchievementsFile) {
  Achievements()->SetValue(1, 55.0f, false);
  // Written by no game of ours: values outside the campaign, one of them the file's own.
  ByteWriter foreign;
  foreign.Str("ARCH").U8(1).I32(3);
  ValueRecord(foreign, 1, 99.0f, true);
  ValueRecord(foreign, 2, 40.0f, false);
  ValueRecord(foreign, 26, 120.0f, true);
  foreign.Str("EOA");
  EXPECT_TRUE(LoadBytes(foreign.Get(), [&](VArchive& ar) { EXPECT_TRUE(Achievements()->SerializeX(ar)); }));
  EXPECT_FLOAT_EQ(Value(1), 55.0f);
  EXPECT_FLOAT_EQ(Value(2), -1.0f);
  EXPECT_FLOAT_EQ(Value(26), 120.0f);
}

TEST_F(AchievementManagerTest, ADamagedSavedBlockKeepsTheRunningValues) {
  Achievements()->SetValue(26, 120.0f, true);
  const Bytes saved = Block(Achievements());
  Achievements()->SetValue(26, 3.0f, true);
  const Bytes running = Block(Achievements());
  const size_t record = 4 + 4 + 1 + 4;  // "ARCH", the version, the count
  const struct {
    const char* what;
    size_t at;
    uint8_t value;
  } damages[] = {
      {"newer block", 8, 2},
      {"wrong start tag", 7, 'X'},
      {"count beyond the block", 9, 0x7f},
      {"newer value record", record + 8, 2},
      {"wrong value record end tag", record + 8 + 1 + 4 + 4 + 1 + 6, 'X'},
      {"wrong end tag", saved.size() - 1, 'X'},
  };
  for (const auto& d : damages) {
    SCOPED_TRACE(d.what);
    Bytes bad = saved;
    ASSERT_LT(d.at, bad.size());
    bad[d.at] = d.value;
    LogCapture log;
    ReadArchive ar(bad);
    EXPECT_FALSE(Achievements()->SerializeX(*ar));
    EXPECT_FALSE(ar->IsOK());
    EXPECT_EQ(Block(Achievements()), running);
  }
  Bytes truncated(saved.begin(), saved.end() - 5);
  ReadArchive ar(truncated);
  LogCapture log;
  EXPECT_FALSE(Achievements()->SerializeX(*ar));
  EXPECT_EQ(Block(Achievements()), running);
}

}  // namespace
