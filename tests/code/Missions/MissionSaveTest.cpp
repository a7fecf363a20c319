// The missions in a saved game: the manager's block with its rows and the mission
// objects of the ongoing ones, their scripts' values, old versions and damage.
#include "code/Missions/MissionFixture.h"

#include "Managers/SaveGameManager.h"
#include "support/ArchiveRoundTrip.h"

#include <algorithm>

#include "engine/core/VScriptManager.h"

namespace {

using archive_test::Bytes;
using archive_test::LoadBytes;
using archive_test::ReadArchive;
using archive_test::SaveBytes;

class MissionSaveTest : public MissionTest {
 protected:
  // A campaign with a completed story row, a tracked completed-but-unclosed side
  // quest and a faction mission whose script counted something.
  void Play() {
    LoadCatalogues();
    for (int id : {1, 10, 20}) Missions().OpenNextMission(id);
    Ongoing(1)->SetCompleted(1);
    Missions().Update();  // closes 1, tracks 10
    Missions().TrackMission(20);
    Ongoing(20)->SetCompleted(1);
    Ongoing(10)->GetScriptInstance()->SetGlobal("iCounted", 7);
  }
  static Bytes Save() {
    return SaveBytes([](VArchive& ar) { Missions().SerializeX(ar); });
  }
  static bool Load(const Bytes& bytes) {
    ReadArchive ar(bytes);
    const bool ok = Missions().SerializeX(*ar);
    return ok && ar->IsOK();
  }
};

TEST_F(MissionSaveTest, TheBlockReadsIntoAFreshCampaignAndWritesTheSameBytes) {
  Play();
  const Bytes first = Save();

  // A fresh campaign: the catalogues from the scripts, as a load starts one.
  Missions().ClearLists(true);
  LoadCatalogues();
  Missions().OpenNextMission(2);
  ASSERT_TRUE(LoadBytes(first, [](VArchive& ar) { EXPECT_TRUE(Missions().SerializeX(ar)); }));
  EXPECT_EQ(Save(), first);

  EXPECT_EQ(OngoingIds(), (std::vector<int>{10, 20}));
  EXPECT_TRUE(Missions().GetStoryMissionById(1).completed);
  EXPECT_FLOAT_EQ(Missions().GetFactionMissionById(10).reputationReward, 0.4f);  // from the scripts
  EXPECT_EQ(TrackedIds(), std::vector<int>{20});
  EXPECT_TRUE(Ongoing(20)->IsCompleted());
  EXPECT_TRUE(Ongoing(10)->IsExactType(FactionMissionProto::GetClassTypeId()));
  int counted = 0;
  ASSERT_NE(Ongoing(10)->GetScriptInstance(), nullptr);
  EXPECT_TRUE(Ongoing(10)->GetScriptInstance()->GetGlobal("iCounted", counted));
  EXPECT_EQ(counted, 7);

  // The loaded missions go on: the completed one closes in the next frame.
  Missions().Update();
  EXPECT_EQ(OngoingIds(), std::vector<int>{10});
}

TEST_F(MissionSaveTest, ADamagedBlockKeepsTheRunningMissions) {
  Play();
  const Bytes good = Save();
  const std::vector<int> ongoing = OngoingIds();
  BaseMissionProto* running = Ongoing(10);

  std::vector<Bytes> damaged;
  for (size_t cut : {good.size() - 1, good.size() / 2, (size_t)20}) damaged.emplace_back(good.begin(), good.begin() + cut);
  Bytes hugeCount = good;
  hugeCount[12] = 0x7f;  // the story list's count (after "ARCH" and the version) made huge
  damaged.push_back(hugeCount);
  Bytes newer = good;
  newer[8] = 3;
  damaged.push_back(newer);

  for (const Bytes& bytes : damaged) {
    SCOPED_TRACE(archive_test::Hex(bytes, 0, 16));
    EXPECT_FALSE(Load(bytes));
    EXPECT_EQ(OngoingIds(), ongoing);
    EXPECT_EQ(Ongoing(10), running);
    EXPECT_TRUE(Missions().GetStoryMissionById(1).completed);
  }
  EXPECT_EQ(Save(), good);
}

TEST_F(MissionSaveTest, TwoRowsCannotShareOneMissionObject) {
  Play();
  Bytes bytes = Save();
  // The second ongoing row's object written as a reference to the first one's:
  // find the last new-object tag and replace that object with index 0's reference.
  const Bytes tag = {0xfe, 0xff, 0xff, 0xff};
  const auto last = std::find_end(bytes.begin(), bytes.end(), tag.begin(), tag.end());
  ASSERT_NE(last, bytes.end());
  const Bytes endTag = {0x03, 0x00, 0x00, 0x00, 'E', 'O', 'A'};
  // The object ends with its own block's "EOA"; the row's "EOA" follows.
  auto objectEnd = std::search(last, bytes.end(), endTag.begin(), endTag.end()) + endTag.size();
  Bytes forged(bytes.begin(), last);
  const int firstObject = 0;
  for (int i = 0; i < 4; ++i) forged.push_back((uint8_t)(firstObject >> (8 * i)));
  forged.insert(forged.end(), objectEnd, bytes.end());
  const std::vector<int> ongoing = OngoingIds();
  EXPECT_FALSE(Load(forged));
  EXPECT_EQ(OngoingIds(), ongoing);
}

TEST_F(MissionSaveTest, AVersionOneBlockReadsNoLists) {
  Play();
  const std::vector<int> ongoing = OngoingIds();
  const Bytes v1 = SaveBytes([](VArchive& ar) {
    SaveGameManagerProto::BeginBlock(ar, 1);
    SaveGameManagerProto::EndBlock(ar);
  });
  ASSERT_TRUE(Load(v1));
  // The lists stay, but the objects of the ongoing rows are gone with the old game.
  EXPECT_EQ(OngoingIds(), ongoing);
  EXPECT_EQ(Ongoing(10), nullptr);
  EXPECT_TRUE(Missions().GetStoryMissionById(1).completed);
}

TEST_F(MissionSaveTest, AVersionTwoMissionObjectLoadsCompletedAndUntracked) {
  StoryLineMissionProto original;
  original.SetCompleted(1);
  original.SetTracking(true);
  original.m_bIsInConversation = 1;
  Bytes bytes = SaveBytes([&](VArchive& ar) { ar.WriteObject(&original); });
  // ... "ARCH", version, completed, tracked, "EOA": version 2 has no tracked word.
  const size_t version = bytes.size() - 7 - 4 - 4 - 1;
  ASSERT_EQ(bytes[version], 3);
  bytes[version] = 2;
  bytes.erase(bytes.end() - 7 - 4, bytes.end() - 7);

  BaseMissionProto* loaded = nullptr;
  ASSERT_TRUE(LoadBytes(bytes, [&](VArchive& ar) {
    loaded = static_cast<BaseMissionProto*>(ar.ReadObject(BaseMissionProto::GetClassTypeId()));
  }));
  ASSERT_NE(loaded, nullptr);
  EXPECT_TRUE(loaded->IsExactType(StoryLineMissionProto::GetClassTypeId()));
  EXPECT_TRUE(loaded->IsCompleted());
  EXPECT_FALSE(loaded->IsTracked());
  EXPECT_FALSE(loaded->IsInConversation());
  delete loaded;
}

TEST_F(MissionSaveTest, LoadedMissionsGetTheirScriptsBackAndTheTrackedOneIsToldAfterTheLoad) {
  Play();
  const Bytes bytes = Save();
  ASSERT_TRUE(Load(bytes));
  // A mission object saved without its script (say, its file was missing then)
  // gets one from its row.
  Vision::GetScriptManager()->RemoveScriptInstance(Ongoing(20));
  ASSERT_EQ(Ongoing(20)->GetScriptInstance(), nullptr);
  Missions().ReloadMissionScripts();
  ASSERT_NE(Ongoing(20)->GetScriptInstance(), nullptr);

  RadarManager::GetInstance()->Add(VisVector_cl(1, 1, 1));
  log.Clear();
  Missions().ResetTrackingOnLoadGame();
  EXPECT_EQ(RadarManager::GetInstance()->GetNumMarkers(), 0);
  EXPECT_EQ(log.Matching("UpdateTracking"), std::vector<std::string>{"Lua: m20 UpdateTracking"});
  ASSERT_NE(Missions().GetTrackedMissionData(), nullptr);
  EXPECT_EQ(Missions().GetTrackedMissionData()->id, 20);
}

}  // namespace
