// Building damage: hits and repairs against armour, the damage levels, the clamped
// hit points, the saved block, and a building's fall: effect, hiding, 160, loot and
// its achievement, what hangs on it, and its rebirth.
#include "components/DestructableBuildingComponent.h"

#include "components/HealthBarComponent.h"
#include "components/StorageComponentProto.h"
#include "entities/BuildingBaseEntity.h"
#include "entities/CollectableEntity.h"
#include "entities/CollectableEntityTemplate.h"
#include "Managers/AchievementManager.h"
#include "Managers/SoundManager.h"

#include "support/ArchiveRoundTrip.h"
#include "support/ScratchScriptFixture.h"
#include "support/SoundTestEnvironment.h"

#include "engine/Vision.h"
#include "engine/core/VisLightSource.h"
#include "engine/core/VisParticleGroupManager.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using archive_test::Bytes;

TEST(DestructableBuildingComponentTest, HitsLoseAtLeastOnePointAndRepairsMendUpToTheMaximum) {
  const struct {
    int id, amount, armour, before, after;
  } cases[] = {
      {201, 3, 5, 100, 99},   // armour above the hit: still 1
      {201, 0, 0, 100, 95},   // no amount: 5
      {201, 12, 2, 50, 40},   //
      {201, 80, 0, 50, 0},    // never below 0
      {202, 0, 0, 90, 95},    // no amount: 5
      {202, 30, 9, 90, 100},  // armour plays no part; never above the maximum
      {202, 10, 0, 0, 0},     // ruins are not repaired
      {150, 10, 0, 60, 60},   // other messages change nothing
      {201, 0x7fffffff, -5, 60, 0},    // huge blows and repairs do not wrap round
      {202, 0x7fffffff, 0, 60, 100},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.id << " with " << c.amount << " against " << c.armour);
    DestructableBuildingComponent building;
    building.SetArmorValue(c.armour);
    building.SetHitPoints(c.before);
    building.MessageFunction(c.id, c.amount, 0);
    EXPECT_EQ(building.GetHitPoints(), c.after);
  }
}

TEST(DestructableBuildingComponentTest, HitPointsStayWithinZeroAndTheMaximumAndSetTheDamageLevel) {
  DestructableBuildingComponent building;
  EXPECT_EQ(building.GetDamageLevelCount(), 1);
  EXPECT_EQ(building.GetArmorValue(), 1);
  EXPECT_EQ(building.GetHitPoints(), 100);
  EXPECT_EQ(building.GetDropItems(), 1);
  building.SetHitPoints(150);
  EXPECT_EQ(building.GetHitPoints(), 100);
  building.SetHitPoints(-1);
  EXPECT_EQ(building.GetHitPoints(), 0);
  building.SetDamageLevelCount(0);
  EXPECT_EQ(building.GetDamageLevelCount(), 1);
  building.SetHitPoints(100);
  building.SetHitPointsMax(60);
  EXPECT_EQ(building.GetHitPoints(), 60) << "never above the maximum";
  building.SetHitPointsMax(200);
  EXPECT_EQ(building.GetHitPoints(), 60);

  const struct {
    int levels, current, maximum, level;
  } cases[] = {
      {4, 60, 100, 2}, {4, 100, 100, 0}, {4, 0, 100, 4}, {4, 99, 100, 1},
      {3, 1, 100, 3},  {4, 0, 0, 4},     {4, 0, -5, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.current << " of " << c.maximum << " in " << c.levels);
    DestructableBuildingComponent levels;
    levels.SetDamageLevelCount(c.levels);
    levels.SetHitPointsMax(c.maximum);
    levels.SetHitPoints(c.current);
    EXPECT_EQ(levels.GetCurrentDamageLevel(), c.level);
  }
}

TEST(DestructableBuildingComponentTest, TheBlockRoundTripsAndADamagedOneChangesNothing) {
  DestructableBuildingComponent saved;
  saved.SetDamageLevelCount(5);
  saved.SetHitPointsMax(300);
  saved.SetHitPoints(120);
  saved.SetArmorValue(7);
  saved.SetDropItems(0);
  const Bytes bytes = archive_test::SaveBytes([&](VArchive& ar) { saved.Serialize(ar); });

  DestructableBuildingComponent loaded;
  EXPECT_TRUE(archive_test::LoadBytes(bytes, [&](VArchive& ar) { loaded.Serialize(ar); }));
  EXPECT_EQ(loaded.GetDamageLevelCount(), 5);
  EXPECT_EQ(loaded.GetHitPointsMax(), 300);
  EXPECT_EQ(loaded.GetHitPoints(), 120);
  EXPECT_EQ(loaded.GetArmorValue(), 7);
  EXPECT_EQ(loaded.GetDropItems(), 0);

  for (size_t cut : {(size_t)4, (size_t)10}) {
    SCOPED_TRACE(cut);
    Bytes shortened(bytes.begin(), bytes.end() - (long)cut);
    DestructableBuildingComponent untouched;
    untouched.SetHitPoints(42);
    archive_test::LoadBytes(shortened, [&](VArchive& ar) { untouched.Serialize(ar); });
    EXPECT_EQ(untouched.GetHitPoints(), 42);
    EXPECT_EQ(untouched.GetHitPointsMax(), 100);
    EXPECT_EQ(untouched.GetArmorValue(), 1);
  }
}

// Counts the messages its owner receives.
class MessageCounter : public IVObjectComponent {
 public:
  explicit MessageCounter(std::vector<int>* ids) : m_ids(ids) {}
  void MessageFunction(int id, INT_PTR, INT_PTR) override { m_ids->push_back(id); }

 private:
  std::vector<int>* m_ids;
};

int Count(const std::vector<int>& ids, int id) { return (int)std::count(ids.begin(), ids.end(), id); }

class BuildingFallTest : public ScratchScriptFixture {
 protected:
  BuildingFallTest() : ScratchScriptFixture("building_fall_") {}
  void SetUp() override {
    ScratchScriptFixture::SetUp();
    if (HasFatalFailure()) return;
    Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data");
  }
  void ReleaseAfterEntities() override {
    SoundManager::CleanInstance();
    Vision::World.RemoveAllLightSources();
    AchievementManager::CleanInstance();
    Vision::Game.FreeRemovedEntities();
  }

  // A building at (50, 60, 0) that hears its own messages; with a destructible
  // component of 100 hit points.
  BuildingBaseEntity* MakeBuilding(bool dropItems = true) {
    auto* building = static_cast<BuildingBaseEntity*>(Vision::Game.CreateEntity("BuildingBaseEntity", VisVector_cl(50, 60, 0)));
    building->AddComponent(new MessageCounter(&heard));
    auto* destructable = new DestructableBuildingComponent();
    destructable->SetDropItems(dropItems ? 1 : 0);
    EXPECT_TRUE(building->AddComponent(destructable));
    return building;
  }
  static DestructableBuildingComponent* Of(BuildingBaseEntity* b) { return b->Components<DestructableBuildingComponent>(); }
  static int DroppedCount() {
    VisEntityCollection_cl found;
    Vision::Game.SearchEntity("Collectable_dropped_by_ship", found);
    return found.GetNumEntries();
  }

  std::vector<int> heard;
};

TEST_F(BuildingFallTest, OnlyBuildingsTakeTheComponentWhichGivesThemLootABarAndAClickTrace) {
  VisBaseEntity_cl* plain = Vision::Game.CreateEntity("BaseEntity", VisVector_cl(0, 0, 0));
  DestructableBuildingComponent refused;
  VString reason;
  EXPECT_EQ(refused.CanAttachToObject(plain, reason), 0);
  EXPECT_STREQ(reason.AsChar(), "Component can only be added to instances of BuildingBaseEntity or derived classes.");

  BuildingBaseEntity* building = MakeBuilding();
  EXPECT_TRUE(building->IsAlive());
  StorageComponentProto* storage = building->Components<StorageComponentProto>();
  ASSERT_NE(storage, nullptr) << "made for the barrel";
  ASSERT_EQ(storage->GetCollectableCount(), 1u);
  EXPECT_STREQ(storage->GetCollectable(0)->m_sCollectableScriptFile.AsChar(), "/Scripts/Collectables/BarrelScript.lua");
  EXPECT_EQ(storage->GetCollectable(0)->m_vPosition, VisVector_cl(50, 60, 0));
  EXPECT_NE(building->Components<HealthBarComponent>(), nullptr);
  EXPECT_EQ(building->GetCollisionTraceAccuracy(), VIS_TRACEACC_OBOX);
  EXPECT_EQ(building->GetClickTraceAccuracy(), VIS_TRACEACC_POLYGONS);

  // A set collision trace stays; without drop items there is no barrel.
  auto* traced = static_cast<BuildingBaseEntity*>(Vision::Game.CreateEntity("BuildingBaseEntity", VisVector_cl(0, 0, 0)));
  traced->SetCollisionTraceAccuracy(VIS_TRACEACC_AABOX);
  auto* quiet = new DestructableBuildingComponent();
  quiet->SetDropItems(0);
  ASSERT_TRUE(traced->AddComponent(quiet));
  EXPECT_EQ(traced->GetCollisionTraceAccuracy(), VIS_TRACEACC_AABOX);
  EXPECT_EQ(traced->Components<StorageComponentProto>(), nullptr);
  quiet->AddDropItem();
  EXPECT_EQ(traced->Components<StorageComponentProto>(), nullptr);
}

TEST_F(BuildingFallTest, AFallingBuildingBurnsHidesAndDropsItsLootOnce) {
  BuildingBaseEntity* building = MakeBuilding();
  StorageComponentProto* storage = building->Components<StorageComponentProto>();
  storage->ClearCollectables();
  for (int i = 0; i < 3; ++i) {
    auto* money = new CollectableEntityTemplate();
    money->m_sType = "Money";
    storage->AddCollectable(money);
  }
  storage->AddCollectable(new CollectableEntityTemplate());
  AchievementManager* achievements = AchievementManager::GetInstance();
  float before = 0.0f;
  achievements->GetValue(12, before);
  const int effects = VisParticleGroupManager_cl::GlobalManager().GetEffectCount();
  // Kept as a loop, the effect sound shows whether it was played.
  SoundTestEnvironment audio;
  SoundManager* sound = SoundManager::GetInstance();
  sound->AddSFXSound(SOUND_SFX_BUILDING_DESTROY, "Sounds\\cannon_01.wav", false, true, 0.0f);

  Of(building)->MessageFunction(201, 60, 0);
  EXPECT_EQ(Count(heard, 160), 0);
  EXPECT_EQ(Of(building)->GetDestroyEffect(), nullptr);
  Of(building)->SetHitPoints(-1);
  EXPECT_FALSE(building->IsAlive());
  EXPECT_EQ(Count(heard, 160), 1);
  EXPECT_EQ(building->GetVisibleBitmask(), 0u);
  EXPECT_EQ(building->GetLightInfluenceBitMask(), 0u);
  VisParticleEffect_cl* fire = Of(building)->GetDestroyEffect();
  ASSERT_NE(fire, nullptr);
  EXPECT_EQ(fire->GetPosition(), VisVector_cl(50, 60, 0));
  EXPECT_FALSE(fire->GetHandleWhenVisible());
  EXPECT_EQ(VisParticleGroupManager_cl::GlobalManager().GetEffectCount(), effects + 1);
  EXPECT_TRUE(sound->IsSFXPlaying(SOUND_SFX_BUILDING_DESTROY));
  sound->StopSFXSound(SOUND_SFX_BUILDING_DESTROY, false);
  EXPECT_EQ(DroppedCount(), 4);
  EXPECT_EQ(storage->GetCollectableCount(), 0u);
  float after = 0.0f;
  ASSERT_TRUE(achievements->GetValue(12, after));
  EXPECT_FLOAT_EQ(after - before, 3.0f);

  // Already down: no second fall, and hits or repairs do not raise it.
  storage->AddCollectable(new CollectableEntityTemplate());
  Of(building)->SetHitPoints(0);
  Of(building)->MessageFunction(201, 10, 0);
  Of(building)->MessageFunction(202, 50, 0);
  EXPECT_EQ(Of(building)->GetHitPoints(), 0);
  EXPECT_EQ(Count(heard, 160), 1);
  EXPECT_EQ(Of(building)->GetDestroyEffect(), fire);
  EXPECT_EQ(VisParticleGroupManager_cl::GlobalManager().GetEffectCount(), effects + 1);
  EXPECT_FALSE(sound->IsSFXPlaying(SOUND_SFX_BUILDING_DESTROY));
  EXPECT_EQ(DroppedCount(), 4);

  // Reborn, it stands again; a new fall burns anew.
  building->Reborn();
  EXPECT_TRUE(building->IsAlive());
  EXPECT_EQ(Of(building)->GetDestroyEffect(), nullptr);
  EXPECT_TRUE(fire->IsFinished());
  Of(building)->SetHitPoints(0);
  EXPECT_EQ(Count(heard, 160), 2);
  EXPECT_NE(Of(building)->GetDestroyEffect(), nullptr);
  EXPECT_TRUE(sound->IsSFXPlaying(SOUND_SFX_BUILDING_DESTROY));
  sound->StopSFXSound(SOUND_SFX_BUILDING_DESTROY, false);
  EXPECT_EQ(DroppedCount(), 5);
}

TEST_F(BuildingFallTest, WithoutDropItemsTheLootStaysAndWhatHangsOnTheBuildingGoesDownWithIt) {
  auto* holder = Vision::Game.CreateEntity("BaseEntity", VisVector_cl(0, 0, 0));
  holder->AddComponent(new MessageCounter(&heard));
  BuildingBaseEntity* building = MakeBuilding(false);
  building->AttachToParent(holder);
  auto* storage = new StorageComponentProto();
  ASSERT_TRUE(building->AddComponent(storage));
  storage->AddCollectable(new CollectableEntityTemplate());
  auto* flag = Vision::Game.CreateEntity("BaseEntity", VisVector_cl(0, 0, 0));
  flag->AddComponent(new MessageCounter(&heard));
  flag->AttachToParent(building);
  auto* pennant = Vision::Game.CreateEntity("BaseEntity", VisVector_cl(0, 0, 0));
  pennant->AddComponent(new MessageCounter(&heard));
  pennant->AttachToParent(flag);
  VisParticleEffect_cl* smoke =
      VisParticleGroupManager_cl::GlobalManager().LoadFromFile("Particles\\destroy_building.xml")->CreateParticleEffectInstance(
          VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0));
  smoke->AttachToParent(building);
  auto* lamp = new VisLightSource_cl();
  Vision::World.AddLightSource(lamp);
  lamp->AttachToParent(building);

  Of(building)->SetHitPoints(0);
  EXPECT_FALSE(lamp->IsEnabled());
  EXPECT_EQ(storage->GetCollectableCount(), 1u);
  EXPECT_EQ(DroppedCount(), 0);
  EXPECT_TRUE(smoke->IsFinished());
  for (VisBaseEntity_cl* e : {holder, flag, pennant}) {
    EXPECT_EQ(e->GetVisibleBitmask(), 0u);
    EXPECT_EQ(e->GetLightInfluenceBitMask(), 0u);
    EXPECT_EQ(e->GetComponentCount(), 0);
  }
  EXPECT_NE(building->Components<DestructableBuildingComponent>(), nullptr) << "the building keeps its own";
}

}  // namespace
