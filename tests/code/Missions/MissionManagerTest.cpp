// The mission manager: catalogues and lookups, starting missions, the per-frame
// pass that closes completed and failed missions, tracking, rewards and the
// summary of mission reputation, as the game and its scripts drive them.
#include "code/Missions/MissionFixture.h"

#include "Managers/RadarManager.h"
#include "gui/GUIManager.h"

#include "engine/core/VScriptManager.h"

namespace {

TEST_F(MissionTest, CataloguesSkipIdZeroAndLookupsAnswerWithTheEmptyRow) {
  LoadCatalogues();
  ASSERT_EQ(Missions().GetStoryMissions().size(), 3u);
  EXPECT_FALSE(Missions().StoryMissionByIdExists(0));
  EXPECT_EQ(Missions().GetStoryMissionById(0).id, -1);
  EXPECT_FLOAT_EQ(Missions().GetFactionMissionById(11).reputationReward, -0.5f);

  // An id no catalogue holds cannot be started and counts as completed.
  Missions().OpenNextMission(0);
  Missions().OpenNextMission(99);
  EXPECT_TRUE(Missions().GetOngoingMissions().empty());
  EXPECT_TRUE(Missions().IsMissionCompleted(99));
  EXPECT_FALSE(Missions().IsMissionCompleted(1));

  // Each kind of row gets its own kind of mission object running the row's script.
  Missions().OpenNextMission(2);
  Missions().OpenNextMission(10);
  Missions().OpenNextMission(20);
  Missions().OpenNextMission(10);  // ongoing already
  EXPECT_EQ(OngoingIds(), (std::vector<int>{2, 10, 20}));
  EXPECT_TRUE(Ongoing(2)->IsExactType(StoryLineMissionProto::GetClassTypeId()));
  EXPECT_TRUE(Ongoing(10)->IsExactType(FactionMissionProto::GetClassTypeId()));
  EXPECT_TRUE(Ongoing(20)->IsExactType(SideQuestProto::GetClassTypeId()));
  ASSERT_NE(Ongoing(10)->GetScriptInstance(), nullptr);
  EXPECT_STREQ(Ongoing(10)->GetScriptInstance()->GetFileName(), "scripts/Missions/m10.lua");
  EXPECT_EQ(Missions().GetOngoingStoryMission().id, 2);
  EXPECT_EQ(Missions().GetOngoingFactionMissions().size(), 1u);
  EXPECT_EQ(Missions().GetOngoingSideQuests().size(), 1u);

  // Open lists leave out ongoing rows; the mansion's list keeps them.
  std::vector<int> open;
  for (const MissionData& row : Missions().GetOpenStoryMissions()) open.push_back(row.id);
  EXPECT_EQ(open, std::vector<int>{1});
  Missions().OpenStoryMissionById(3);
  EXPECT_EQ(Missions().GetOpenStoryMissions().size(), 2u);
  EXPECT_TRUE(Missions().GetOpenFactionMissions(1).empty());
  EXPECT_EQ(Missions().GetOpenAndOngoingFactionMissions(1).size(), 1u);
  EXPECT_EQ(Missions().GetOpenFactionMissions(2).size(), 1u);
}

TEST_F(MissionTest, OfTwoNeighbouringCompletionsTheSecondClosesInTheNextFrame) {
  LoadCatalogues();
  for (int id : {1, 2, 20}) Missions().OpenNextMission(id);
  Ongoing(1)->SetCompleted(1);
  Ongoing(2)->SetCompleted(1);
  log.Clear();

  Missions().Update();
  EXPECT_EQ(OngoingIds(), (std::vector<int>{2, 20}));
  EXPECT_EQ(log.Matching("Lua: UpdateMissions").size(), 1u);
  const MissionData one = Missions().GetStoryMissionById(1);
  EXPECT_TRUE(one.completed);
  EXPECT_FALSE(one.open);

  Missions().Update();
  EXPECT_EQ(OngoingIds(), std::vector<int>{20});
  EXPECT_EQ(log.Matching("Lua: UpdateMissions").size(), 2u);
  EXPECT_TRUE(Missions().IsMissionCompleted(2));
}

TEST_F(MissionTest, CompletedAndFailedInOneFrameCountsAsCompleted) {
  LoadCatalogues();
  Missions().OpenNextMission(20);
  Ongoing(20)->SetCompleted(1);
  Ongoing(20)->SetFailed(true);
  Missions().Update();
  EXPECT_TRUE(Missions().GetOngoingMissions().empty());
  EXPECT_TRUE(Missions().GetSideQuestById(20).completed);
}

struct RewardCase {
  int id;
  float before;
  float after;
};

class FactionRewardTest : public MissionTest, public ::testing::WithParamInterface<RewardCase> {};

TEST_P(FactionRewardTest, ClampsTheReputationAndOpensTheMansion) {
  const RewardCase& c = GetParam();
  LoadCatalogues();
  const MissionData row = Missions().GetFactionMissionById(c.id);
  Nation* nation = GameManager::GetInstance()->GetNation((unsigned)row.nation);
  ASSERT_NE(nation, nullptr);
  nation->SetReputation(c.before);
  nation->SetMansionAccessible(false);

  Missions().OpenNextMission(c.id);
  Ongoing(c.id)->SetCompleted(1);
  Missions().Update();
  EXPECT_FLOAT_EQ(nation->GetReputation(), c.after);
  EXPECT_TRUE(nation->GetMansionAccessible());
  EXPECT_TRUE(Missions().GetFactionMissionById(c.id).completed);
  EXPECT_TRUE(Missions().GetOpenAndOngoingFactionMissions(row.nation).empty());
}

INSTANTIATE_TEST_SUITE_P(Rewards, FactionRewardTest,
                         ::testing::Values(RewardCase{10, 0.8f, 1.0f}, RewardCase{11, 0.1f, 0.0f},
                                           RewardCase{11, 0.75f, 0.25f}));

TEST_F(MissionTest, AFailedMissionStaysOpenAndCanBeStartedAgain) {
  LoadCatalogues();
  Nation* corsairs = GameManager::GetInstance()->GetNation(1);
  corsairs->SetMansionAccessible(false);
  corsairs->SetReputation(0.5f);
  Missions().OpenNextMission(10);
  Ongoing(10)->SetFailed(true);
  log.Clear();

  Missions().Update();
  EXPECT_TRUE(Missions().GetOngoingMissions().empty());
  EXPECT_TRUE(corsairs->GetMansionAccessible());
  EXPECT_FLOAT_EQ(corsairs->GetReputation(), 0.5f);
  EXPECT_FALSE(log.Contains("Lua: UpdateMissions"));
  const MissionData row = Missions().GetFactionMissionById(10);
  EXPECT_TRUE(row.open);
  EXPECT_FALSE(row.completed);
  EXPECT_FALSE(Missions().IsMissionCompleted(10));

  Missions().OpenNextMission(10);
  ASSERT_NE(Ongoing(10), nullptr);
  EXPECT_FALSE(Ongoing(10)->IsFailed());
}

TEST_F(MissionTest, TheFirstOngoingMissionIsTrackedInTheFrameAfterItIsAdded) {
  LoadCatalogues();
  Missions().OpenNextMission(1);
  EXPECT_TRUE(TrackedIds().empty());
  Missions().Update();
  EXPECT_EQ(TrackedIds(), std::vector<int>{1});
  EXPECT_EQ(Missions().GetTrackedMissionData(), &Missions().GetOngoingMissions()[0]);

  // A new mission clears every mark and the radar; the next pass tracks the first.
  RadarManager* radar = RadarManager::GetInstance();
  radar->Add(VisVector_cl(1, 2, 3));
  log.Clear();
  Missions().OpenNextMission(20);
  EXPECT_TRUE(TrackedIds().empty());
  EXPECT_EQ(Missions().GetTrackedMissionData(), nullptr);
  EXPECT_EQ(radar->GetNumMarkers(), 0);
  EXPECT_EQ(log.Matching("UpdateTracking").size(), 1u);  // the missions ongoing before it
  Missions().Update();
  EXPECT_EQ(TrackedIds(), std::vector<int>{1});

  Missions().TrackMission(20);
  EXPECT_EQ(TrackedIds(), std::vector<int>{20});
  EXPECT_EQ(Missions().IsMissionTracked(20), 1);
  EXPECT_EQ(Missions().IsMissionTracked(1), 0);
  EXPECT_EQ(Missions().IsMissionTracked(99), 0);

  // After a load only the tracked mission hears of the tracking.
  log.Clear();
  Missions().ResetTrackingOnLoadGame();
  EXPECT_EQ(log.Matching("UpdateTracking"), std::vector<std::string>{"Lua: m20 UpdateTracking"});

  Missions().TrackMission(99);
  EXPECT_TRUE(TrackedIds().empty());
}

TEST_F(MissionTest, SceneHooksReachEveryOngoingMissionWhichOutlivesSceneChanges) {
  LoadCatalogues();
  for (int id : {1, 20}) Missions().OpenNextMission(id);
  log.Clear();
  Missions().EnterScene();
  Missions().ExitScene();
  EXPECT_EQ(log.Matching(" On"), (std::vector<std::string>{"Lua: m1 OnEnterScene", "Lua: m20 OnEnterScene",
                                                           "Lua: m1 OnExitScene", "Lua: m20 OnExitScene"}));

  // A scene change of the campaign keeps the missions; a world the campaign left
  // takes their objects, and a frame passes the rows without objects by.
  Missions().RegisterCallbacks();
  GameManager* game = GameManager::GetInstance();
  game->SetLocation(1);
  Vision::Callbacks.OnWorldDeInit.TriggerCallbacks();
  ASSERT_NE(Ongoing(1), nullptr);
  game->SetLocation(-1);
  Vision::Callbacks.OnWorldDeInit.TriggerCallbacks();
  EXPECT_EQ(OngoingIds(), (std::vector<int>{1, 20}));
  EXPECT_EQ(Ongoing(1), nullptr);
  SceneFrame();
  EXPECT_EQ(OngoingIds(), (std::vector<int>{1, 20}));
  EXPECT_EQ(Missions().GetTrackedMissionData(), nullptr);
  game->SetLocation(0);
  Missions().DeregisterCallbacks();
}

TEST_F(MissionTest, ConversationsOfOtherMissionsAreSeen) {
  LoadCatalogues();
  for (int id : {1, 20}) Missions().OpenNextMission(id);
  EXPECT_FALSE(Missions().HasMissionStartedConversation(-1));
  Ongoing(20)->m_bIsInConversation = 1;
  EXPECT_TRUE(Missions().HasMissionStartedConversation(-1));
  EXPECT_TRUE(Missions().HasMissionStartedConversation(1));
  EXPECT_FALSE(Missions().HasMissionStartedConversation(20));
}

TEST_F(MissionTest, TheNewMissionMarkWaitsForTheToolBar) {
  LoadCatalogues();
  Missions().AddOngoingMissionById(99);
  Missions().OpenNextMission(1);
  // No tool bar in this game yet: no mark is set, and nothing breaks.
  EXPECT_FALSE(gui->GetExclamationForButton(3));
  EXPECT_EQ(OngoingIds(), std::vector<int>{1});
}

}  // namespace
