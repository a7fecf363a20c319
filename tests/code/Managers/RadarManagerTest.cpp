// The radar's marker list: one marker per entity, the attack alert over a selected
// unit's marker, removal, and markers of destroyed entities.
#include "Managers/RadarManager.h"

#include "entities/UnitEntity.h"
#include "Managers/SoundManager.h"

#include "support/SoundTestEnvironment.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class RadarManagerTest : public ::testing::Test {
 protected:
  void SetUp() override { Vision::World.SetFlatTerrain(0.0f); }
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
    Vision::World.ClearTerrain();
    RadarManager::CleanInstance();
    SoundManager::CleanInstance();
  }
  static UnitEntity* MakeUnit() {
    auto* unit = static_cast<UnitEntity*>(
        Vision::Game.CreateEntity("UnitEntity", VisVector_cl(0, 0, 0), nullptr, "m_iNumSoldiers=\"1\""));
    unit->SetUnitType(PIRATE_HERO);
    return unit;
  }
  static int UnderAttackPlays() {
    int n = 0;
    VSoundManager& sounds = VSoundManager::GlobalManager();
    for (int i = 0; i < sounds.GetInstanceCount(); ++i) {
      VSoundObject* obj = sounds.GetInstance(i);
      n += obj && obj->GetResource() && std::string(obj->GetResource()->GetFileName()) == "sounds\\order_03.wav";
    }
    return n;
  }
  SoundTestEnvironment audio;
  RadarManager* radar = RadarManager::GetInstance();
};

TEST_F(RadarManagerTest, OneMarkerPerEntityAndTheAttackAlertReplacesTheSelectionMark) {
  SoundManager::GetInstance()->AddSound(PIRATE_HERO, SOUND_UNDER_ATTACK, "sounds\\order_03.wav", false);
  UnitEntity* unit = MakeUnit();
  radar->Add(unit, TRACK_SELECTED_UNIT);
  radar->Add(unit, TRACK_SELECTED_UNIT);
  ASSERT_EQ(radar->GetNumMarkers(), 1);
  EXPECT_EQ(radar->GetMarker(0)->kind, TRACK_SELECTED_UNIT);
  EXPECT_EQ(radar->GetMarker(0)->position, unit->GetPosition());

  radar->Add(unit, TRACK_UNIT_UNDER_ATTACK);
  ASSERT_EQ(radar->GetNumMarkers(), 1);
  EXPECT_EQ(radar->GetMarker(0)->kind, TRACK_UNIT_UNDER_ATTACK);
  EXPECT_EQ(UnderAttackPlays(), 1);
  // Back to a selection mark: the alert stays.
  radar->Add(unit, TRACK_SELECTED_UNIT);
  EXPECT_EQ(radar->GetMarker(0)->kind, TRACK_UNIT_UNDER_ATTACK);
  EXPECT_EQ(UnderAttackPlays(), 1);

  radar->Remove(unit);
  EXPECT_EQ(radar->GetNumMarkers(), 0);
  radar->Remove(unit);  // none left: nothing
  radar->Add(nullptr, TRACK_TARGET);
  EXPECT_EQ(radar->GetNumMarkers(), 0);
}

TEST_F(RadarManagerTest, DestroyedEntitiesLeaveTheRadar) {
  UnitEntity* gone = MakeUnit();
  UnitEntity* kept = MakeUnit();
  radar->Add(gone, TRACK_SELECTED_UNIT);
  radar->Add(kept, TRACK_TARGET);
  gone->Remove();
  Vision::Game.FreeRemovedEntities();
  ASSERT_EQ(radar->GetNumMarkers(), 1);
  EXPECT_EQ(radar->GetMarker(0)->entity, kept);
  EXPECT_EQ(radar->FindMarker(gone), nullptr);
}

TEST_F(RadarManagerTest, PositionsAreMarkedOnceAndAResetDropsEveryMarker) {
  UnitEntity* unit = MakeUnit();
  radar->Add(VisVector_cl(1, 2, 3));
  radar->Add(VisVector_cl(1, 2, 3));
  radar->Add(VisVector_cl(1, 2, 4));
  radar->Add(unit, TRACK_TARGET);
  ASSERT_EQ(radar->GetNumMarkers(), 3);
  EXPECT_EQ(radar->GetMarker(0)->entity, nullptr);
  EXPECT_EQ(radar->GetMarker(0)->kind, TRACK_TARGET);

  radar->Remove(VisVector_cl(1, 2, 3));
  radar->Remove(VisVector_cl(9, 9, 9));
  ASSERT_EQ(radar->GetNumMarkers(), 2);
  EXPECT_EQ(radar->GetMarker(0)->position.z, 4.0f);

  radar->ResetTracking();
  EXPECT_EQ(radar->GetNumMarkers(), 0);
}

TEST_F(RadarManagerTest, TheNearestBlueprintFollowsTheSmallestReportedDistance) {
  UnitEntity* a = MakeUnit();
  UnitEntity* b = MakeUnit();
  EXPECT_FLOAT_EQ(radar->PollBlueprintDistance(nullptr, 5.0f), -1.0f);
  EXPECT_FLOAT_EQ(radar->PollBlueprintDistance(a, 300.0f), 300.0f);  // the first is tracked
  EXPECT_FLOAT_EQ(radar->PollBlueprintDistance(b, 400.0f), 300.0f);  // farther: a stays
  EXPECT_FLOAT_EQ(radar->PollBlueprintDistance(a, 500.0f), 500.0f);  // the tracked one moved away
  EXPECT_FLOAT_EQ(radar->PollBlueprintDistance(b, 400.0f), 400.0f);  // now b is nearer
  EXPECT_EQ(radar->GetNearestBlueprint(), b);

  // A collected blueprint no longer holds the place.
  b->Remove();
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(radar->GetNearestBlueprint(), nullptr);
  EXPECT_FLOAT_EQ(radar->PollBlueprintDistance(a, 600.0f), 600.0f);
}

}  // namespace
