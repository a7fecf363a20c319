// What mission scripts and the game's scripts reach: the "BaseMissionProto" class
// on a mission object and the "MissionManager" table.
#include "code/Missions/MissionFixture.h"

#include "core/BaseEntity.h"

#include "engine/core/VScriptManager.h"

namespace {

class MissionScriptTest : public MissionTest {
 protected:
  void SetUp() override {
    MissionTest::SetUp();
    LoadCatalogues();
    Missions().OpenNextMission(1);
    mission = Ongoing(1);
    ASSERT_NE(mission, nullptr);
    L = Vision::GetScriptManager()->GetMasterState();
    LUA_PushObjectProxy(L, mission);
    lua_setglobal(L, "mission");
  }
  bool Run(const char* code) { return Vision::GetScriptManager()->RunString(code); }

  BaseMissionProto* mission = nullptr;
  lua_State* L = nullptr;
};

TEST_F(MissionScriptTest, ScriptsFinishTheirMissionAndSetItsProperties) {
  ASSERT_TRUE(Run("mission:SetProperty('m_bIsInConversation', true)"));
  EXPECT_TRUE(mission->IsInConversation());
  ASSERT_TRUE(Run("assert(mission:GetProperty('m_bIsInConversation') == true);"
                  "assert(mission:GetProperty('m_bNoSuchFlag') == nil)"));

  ASSERT_TRUE(Run("mission:SetFailed(true)"));
  EXPECT_TRUE(mission->IsFailed());
  ASSERT_TRUE(Run("mission:SetCompleted(true)"));
  EXPECT_TRUE(mission->IsCompleted());

  // Errors leave the mission as it was.
  struct Bad {
    const char* code;
    const char* message;
  };
  const Bad bad[] = {
      {"mission:SetProperty('m_bNoSuchFlag', true)",
       "Attempted to assign a value to non-existent entity property 'm_bNoSuchFlag'."},
      {"mission:SetProperty('m_bTrackThis', 3)", "Expected bool"},
      {"mission:SetCompleted(1)", "Expected bool"},
      {"mission.SetCompleted(42, true)", "Expected native object of type BaseMissionProto*"},
  };
  for (const Bad& b : bad) {
    SCOPED_TRACE(b.code);
    log.Clear();
    EXPECT_FALSE(Run(b.code));
    EXPECT_EQ(log.Matching(b.message).size(), 1u);
  }
  EXPECT_FALSE(mission->IsTracked());
}

TEST_F(MissionScriptTest, OnlyTheTrackedMissionMarksItsTargetsButAnyEndsThem) {
  RadarManager* radar = RadarManager::GetInstance();
  BaseEntity* ship = static_cast<BaseEntity*>(Vision::Game.CreateEntity("BaseEntity", VisVector_cl(5, 6, 0)));
  LUA_PushObjectProxy(L, ship);
  lua_setglobal(L, "ship");

  ASSERT_TRUE(Run("mission:Track(ship); mission:TrackPosition(Vector(1, 2, 3))"));
  EXPECT_EQ(radar->GetNumMarkers(), 0);

  mission->SetTracking(true);
  ASSERT_TRUE(Run("mission:Track(ship); mission:Track(mission); mission:Track(7);"
                  "mission:TrackPosition(Vector(1, 2, 3)); mission:TrackPosition(Vector(1, 2, 3))"));
  ASSERT_EQ(radar->GetNumMarkers(), 2);
  EXPECT_EQ(radar->GetMarker(0)->entity, ship);
  EXPECT_EQ(radar->GetMarker(0)->kind, TRACK_TARGET);
  EXPECT_EQ(radar->GetMarker(1)->entity, nullptr);

  mission->SetTracking(false);
  ASSERT_TRUE(Run("mission:EndTrack(ship); mission:EndTrackPosition(Vector(1, 2, 3))"));
  EXPECT_EQ(radar->GetNumMarkers(), 0);
  log.Clear();
  EXPECT_FALSE(Run("mission:TrackPosition(5)"));
  EXPECT_TRUE(log.Contains("Expected VisVector_cl"));
  Vision::Game.RemoveAllEntities();
}

TEST_F(MissionScriptTest, TheMissionManagerTable) {
  ASSERT_TRUE(Run("assert(MissionManager.IsAccepted(1) and MissionManager.IsMissionOngoing(1));"
                  "assert(MissionManager.IsCompleted(1) == false and MissionManager.IsCompleted(99) == true)"));

  ASSERT_TRUE(Run("MissionManager.AddMission(20); MissionManager.OpenFactionMissionById(11)"));
  EXPECT_EQ(OngoingIds(), (std::vector<int>{1, 20}));

  // The summary is capped at 300 from above only.
  Missions().ResetReputationSummary();
  ASSERT_TRUE(Run("MissionManager.AddSummaryOfMissionReputation(500)"));
  EXPECT_EQ(Missions().GetSummaryOfMissionReputation(), 300);
  Missions().ResetReputationSummary();
  ASSERT_TRUE(Run("MissionManager.AddSummaryOfMissionReputation(-50);"
                  "assert(MissionManager.GetSummaryOfMissionReputation() == -50)"));

  mission->m_bIsInConversation = 1;
  ASSERT_TRUE(Run("assert(MissionManager.IsAnyMissionInConversation() == true);"
                  "assert(MissionManager.IsAnyMissionInConversation(1) == false)"));

  log.Clear();
  EXPECT_FALSE(Run("MissionManager.AddMission('two')"));
  EXPECT_TRUE(log.Contains("Expected int"));
  EXPECT_EQ(OngoingIds(), (std::vector<int>{1, 20}));
}

}  // namespace
