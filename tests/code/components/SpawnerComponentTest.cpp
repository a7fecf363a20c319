// Spawners: the spawn clock and soldier counts, noise triggers, units with room, the
// guard post's trigger boxes, the prison's circle of prisoners, the recruiting
// building's limits and achievement, the script object and the saved blocks.
#include "code/entities/SoldierFixture.h"

#include "Managers/TownManager.h"
#include "components/InfantryMovementComponent.h"
#include "components/InfantryPathComponent.h"
#include "components/NoiseListenerComponent.h"
#include "components/PrisonComponent.h"
#include "components/SoldierSpawner.h"
#include "components/SpawnerBaseComponent.h"
#include "components/UnitBuildingSpawnerComponent.h"
#include "core/GameManager.h"
#include "entities/FSM/WalkState.h"
#include "entities/HeroStats.h"
#include "entities/HeroUnitRecord.h"
#include "entities/PlayerStats.h"
#include "entities/UnitEntity.h"
#include "entities/UnitEntityTemplate.h"

#include "support/ArchiveRoundTrip.h"

#include "engine/core/TriggerBoxEntity.h"
#include "engine/core/VisTriggerSourceComponent.h"
#include "engine/core/VisTriggerTargetComponent.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

using namespace archive_test;

namespace {

// Hands its owner's messages on to a component that the owner does not hold.
class Relay : public IVObjectComponent {
 public:
  explicit Relay(IVObjectComponent* to) : m_to(to) {}
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override { m_to->MessageFunction(id, p1, p2); }

 private:
  IVObjectComponent* m_to;
};

class SpawnerTest : public SoldierFixture {
 protected:
  void TearDown() override {
    for (VisBaseEntity_cl* e : std::vector<VisBaseEntity_cl*>(TriggerBoxEntity_cl::GetObservedEntities()))
      TriggerBoxEntity_cl::RemoveObservedEntity(e);
    for (SpawnerBaseComponent* s : m_detached) {
      s->SetOwner(nullptr);
      delete s;
    }
    TownManager::CleanInstance();
    SoldierFixture::TearDown();
  }

  static UnitEntityTemplate* Template(int nation, int maxSoldiers = 0, int unitType = 0) {
    auto* t = new UnitEntityTemplate("UnitEntity");
    t->m_iNation = nation;
    t->m_iMaxNumSoldiers = maxSoldiers;
    t->m_iUnitType = unitType;
    return t;
  }
  // A spawner on a plain entity at the position.
  template <class T = SpawnerBaseComponent>
  T* MakeSpawner(const VisVector_cl& at = VisVector_cl(0, 0, 0)) {
    VisBaseEntity_cl* owner = Vision::Game.CreateEntity("VisBaseEntity_cl", at);
    auto* spawner = new T();
    EXPECT_TRUE(owner->AddComponent(spawner));
    return spawner;
  }
  // The building spawners refuse a plain owner; their behaviour needs only its pose.
  template <class T>
  T* OnPlainOwner(const VisVector_cl& at = VisVector_cl(0, 0, 0)) {
    VisBaseEntity_cl* owner = Vision::Game.CreateEntity("VisBaseEntity_cl", at);
    auto* spawner = new T();
    spawner->SetOwner(owner);
    m_detached.push_back(spawner);
    return spawner;
  }
  static void Frame() {
    Vision::Timer.Update();
    Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
    Vision::Game.RunThinkFunctions();
    Vision::Game.FreeRemovedEntities();
  }
  static int Soldiers(const SpawnerBaseComponent* spawner) {
    int n = 0;
    for (int i = 0; i < spawner->GetSpawnedUnitCount(); ++i)
      if (UnitEntity* unit = SpawnerBaseComponent::FindUnit(spawner->GetSpawnedUnit(i)->m_iUniqueID))
        n += unit->GetNumSoldiers();
    return n;
  }
  static float Yaw(const VisVector_cl& from, const VisVector_cl& to) {
    float a = std::atan2(to.y - from.y, to.x - from.x) * 180.0f / 3.14159265f;
    return a < -0.01f ? a + 360.0f : a;
  }

  std::vector<SpawnerBaseComponent*> m_detached;
};

TEST_F(SpawnerTest, SpawnersGoOnEntitiesAndTheGuardPostAndPrisonOnBuildingsOnly) {
  VisBaseEntity_cl* entity = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));
  HeroStats notAnEntity;
  const std::string entityOnly = "Component can only be added to instances of VisBaseEntity_cl or derived classes.";
  const std::string buildingOnly = "Component can only be added to instances of BuildingBaseEntity or derived classes.";
  SpawnerBaseComponent base;
  UnitBuildingSpawnerComponent barracks;
  SoldierSpawner guard;
  PrisonComponent prison;
  struct Case {
    SpawnerBaseComponent* spawner;
    VisTypedEngineObject_cl* owner;
    std::string refusal;  // empty: accepted
  };
  const Case cases[] = {
      {&base, entity, ""},           {&barracks, entity, ""},          {&base, &notAnEntity, entityOnly},
      {&guard, entity, buildingOnly}, {&prison, entity, buildingOnly}, {&prison, &notAnEntity, entityOnly},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.spawner->GetTypeId()->GetClassName());
    VString reason;
    EXPECT_EQ(c.spawner->CanAttachToObject(c.owner, reason), c.refusal.empty() ? 1 : 0);
    if (!c.refusal.empty()) {
      EXPECT_EQ(std::string(reason.AsChar()), c.refusal);
    }
  }
}

TEST_F(SpawnerTest, SoldierCountsLimitTheSpawnsAndTheClockRunsHalfASecondThenThreeToFive) {
  Vision::Timer.SetFixedTimeStep(0.05f);
  struct Case {
    int count;
    int spawns;  // -1: more than the limited cases could make
  };
  for (const Case& c : {Case{4, 4}, Case{0, 0}, Case{-1, -1}}) {
    SCOPED_TRACE(c.count);
    SpawnerBaseComponent* spawner = MakeSpawner(VisVector_cl(10, 10, 0));
    spawner->AddUnit(Template(2));
    spawner->SetSoldierCount(c.count);
    EXPECT_FALSE(spawner->IsEnabled());
    std::vector<float> times;
    float t = 0.0f;
    int before = 0;
    for (int frame = 0; frame < 800; ++frame) {  // 40 s
      spawner->TriggerSpawning();
      Frame();
      t += 0.05f;
      const int now = Soldiers(spawner);
      if (now != before) times.push_back(t);
      before = now;
    }
    if (c.spawns >= 0) {
      EXPECT_EQ((int)times.size(), c.spawns);
      EXPECT_EQ(spawner->GetSoldierCount(), 0);
    } else {
      EXPECT_GT((int)times.size(), 6);
      EXPECT_EQ(spawner->GetSoldierCount(), -1) << "infinite stays infinite";
    }
    if (times.empty()) continue;
    EXPECT_NEAR(times[0], 0.525f, 0.026f) << "the first comes half a second after the trigger";
    for (size_t i = 1; i < times.size(); ++i) {
      EXPECT_GE(times[i] - times[i - 1], 3.0f - 0.001f);
      EXPECT_LE(times[i] - times[i - 1], 5.0f + 0.051f);
    }
  }
}

TEST_F(SpawnerTest, OnlyANoiseOfAnotherNationLouderThanZeroTriggersIt) {
  auto* unit = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(0, 0, 0)));
  unit->SetNation(2);
  auto* spawner = new SpawnerBaseComponent();
  ASSERT_TRUE(unit->AddComponent(spawner));
  SoldierEntity* friendly = MakeSoldier(VisVector_cl(5, 0, 0));
  friendly->SetNation(2);
  SoldierEntity* enemy = MakeSoldier(VisVector_cl(8, 3, 0));
  enemy->SetNation(1);
  auto* stranger = static_cast<BaseEntity*>(Vision::Game.CreateEntity("BaseEntity", VisVector_cl(-4, 0, 0)));
  stranger->SetNation(2);  // same number, but not a soldier, unit or building

  struct Case {
    const char* what;
    BaseEntity* source;
    float loudness;
    bool triggers;
  };
  const Case cases[] = {
      {"own nation", friendly, 1.0f, false},
      {"loudness 0", enemy, 0.0f, false},
      {"another nation", enemy, 0.5f, true},
      {"another kind of entity", stranger, 0.5f, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    spawner->SetEnabled(0);
    NoiseListenerComponent::HeardNoise noise{c.source, c.loudness, 0};
    unit->SendMsg(SpawnerBaseComponent::MSG_NOISE_HEARD, (INT_PTR)&noise, 0);
    EXPECT_EQ(spawner->IsEnabled(), c.triggers);
    if (c.triggers) {
      EXPECT_TRUE(spawner->GetTriggerPosition().IsEqual(c.source->GetPosition(), 1e-5f));
    }
  }
}

TEST_F(SpawnerTest, SoldiersFillTheLastUnitWithRoomThenANewOneAndRecordsFollowTheUnits) {
  SpawnerBaseComponent* spawner = MakeSpawner(VisVector_cl(20, 0, 0));
  spawner->SetSpawnOffset(VisVector_cl(0, 4, 0));
  spawner->Spawn();
  EXPECT_EQ(spawner->GetSpawnedUnitCount(), 0) << "nothing without templates";

  // Soldiers of the land test scene, who can walk.
  ASSERT_TRUE(Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data"));
  UnitEntityTemplate* walkers = Template(2, 2);
  walkers->m_sSoldierScriptFile = "scripts\\LandUnits\\LandTestSoldier.lua";
  spawner->AddUnit(walkers);
  spawner->TriggerSpawning(VisVector_cl(50, 50, 0));
  for (int i = 0; i < 3; ++i) {
    spawner->Spawn();
    SoldierEntity* soldier = spawner->GetLastSpawnedSoldier();
    ASSERT_NE(soldier, nullptr);
    EXPECT_NEAR(soldier->GetPosition().x, 20.0f, 0.5001f);
    EXPECT_NEAR(soldier->GetPosition().y, 4.0f, 0.5001f);
    // Sent walking (message 151) towards the trigger position.
    EXPECT_EQ(Current(soldier), WalkState::GetInstance());
    ASSERT_NE(soldier->GetMovementComponent(), nullptr);
    EXPECT_LT(MathTools::DistanceBetweenVectorsIgnoreZ(soldier->GetMovementComponent()->GetTarget(), VisVector_cl(50, 50, 0)), 8.0f);
  }
  ASSERT_EQ(spawner->GetSpawnedUnitCount(), 2) << "two soldiers fill the first unit";
  UnitEntity* first = SpawnerBaseComponent::FindUnit(spawner->GetSpawnedUnit(0)->m_iUniqueID);
  UnitEntity* second = SpawnerBaseComponent::FindUnit(spawner->GetSpawnedUnit(1)->m_iUniqueID);
  ASSERT_TRUE(first && second);
  EXPECT_NE(first->GetUniqueID(), second->GetUniqueID());
  EXPECT_EQ(first->GetNumSoldiers(), 2);
  EXPECT_EQ(second->GetNumSoldiers(), 1);
  EXPECT_EQ(first->GetNation(), 2);
  EXPECT_EQ(spawner->GetTemplate(0)->m_iUniqueID, 0) << "the template itself takes no id";

  // The emptied unit goes, and its record with it.
  first->ClearSoldiers(true);
  Frame();
  Frame();
  ASSERT_EQ(spawner->GetSpawnedUnitCount(), 1);
  EXPECT_EQ(spawner->GetSpawnedUnit(0)->m_iUniqueID, second->GetUniqueID());
}

TEST_F(SpawnerTest, AGuardPostLinksItsBoxesAndSendsOutOneOrTwoWhenSomeoneEnters) {
  auto* guard = OnPlainOwner<SoldierSpawner>(VisVector_cl(0, 0, 0));
  VisBaseEntity_cl* post = static_cast<VisBaseEntity_cl*>(guard->GetOwner());
  // The post's messages reach the spawner as a building's would.
  auto* relay = new Relay(guard);
  ASSERT_TRUE(post->AddComponent(relay));
  auto* box = static_cast<TriggerBoxEntity_cl*>(Vision::Game.CreateEntity("TriggerBoxEntity_cl", VisVector_cl(10, 0, 0)));
  box->SetBox(VisVector_cl(3, 3, 3));
  box->AttachToParent(post);
  guard->SetupTriggers();
  guard->SetupTriggers();  // twice changes nothing

  auto* on = dynamic_cast<VisTriggerTargetComponent_cl*>(post->GetComponentByName("ToggleOn"));
  auto* off = dynamic_cast<VisTriggerTargetComponent_cl*>(post->GetComponentByName("ToggleOff"));
  auto* enter = dynamic_cast<VisTriggerSourceComponent_cl*>(box->GetComponentByName("OnObjectEnter"));
  auto* leave = dynamic_cast<VisTriggerSourceComponent_cl*>(box->GetComponentByName("OnObjectLeave"));
  ASSERT_TRUE(on && off && enter && leave);
  EXPECT_EQ(enter->GetTargets(), std::vector<VisTriggerTargetComponent_cl*>{on});
  EXPECT_EQ(leave->GetTargets(), std::vector<VisTriggerTargetComponent_cl*>{off});
  EXPECT_TRUE(TriggerBoxEntity_cl::IsObservedEntity(post));

  guard->AddUnit(Template(2));
  guard->SetEnabled(1);
  guard->SetSoldierCount(5);
  // Leaving switches nothing on.
  post->SendMsg(VIS_MSG_TRIGGER, (INT_PTR)leave, (INT_PTR)off);
  EXPECT_EQ(guard->GetPendingSoldiers(), 0);

  VisBaseEntity_cl* intruder = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(30, 0, 0));
  TriggerBoxEntity_cl::AddObservedEntity(intruder);
  Frame();
  intruder->SetPosition(VisVector_cl(10, 1, 0));
  Frame();
  const int pending = guard->GetPendingSoldiers();
  EXPECT_GE(pending, 1);
  EXPECT_LE(pending, 2);
  for (int i = 0; i < 60; ++i) Frame();  // 15 s
  EXPECT_EQ(guard->GetPendingSoldiers(), 0);
  EXPECT_EQ(Soldiers(guard), pending);
  EXPECT_EQ(guard->GetSoldierCount(), 5 - pending);
}

TEST_F(SpawnerTest, APrisonFreesItsPrisonersRoundItselfAndThePlayersJoinHisUnits) {
  MathTools::SetUseFixedRandom(true);
  auto* prison = OnPlainOwner<PrisonComponent>(VisVector_cl(100, 100, 0));
  for (int i = 0; i < 3; ++i) prison->AddUnit(Template(2));
  prison->TriggerSpawning(VisVector_cl(130, 100, 0));
  std::vector<SoldierEntity*> freed;
  for (int i = 0; i < 3; ++i) {
    prison->Spawn();
    freed.push_back(prison->GetLastSpawnedSoldier());
    ASSERT_NE(freed.back(), nullptr);
    EXPECT_EQ(prison->IsSpawnRequested(), i < 2);
  }
  const float expected[] = {0.0f, 120.0f, 240.0f};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const VisVector_cl& p = freed[(size_t)i]->GetPosition();
    EXPECT_NEAR(MathTools::DistanceBetweenVectorsIgnoreZ(p, VisVector_cl(100, 100, 0)), 1.0f, 1e-3f);
    EXPECT_NEAR(Yaw(VisVector_cl(100, 100, 0), p), expected[i], 0.05f);
    // Each walks on his own path to the trigger position.
    auto* path = freed[(size_t)i]->Components<InfantryPathComponent>();
    ASSERT_NE(path, nullptr);
    EXPECT_TRUE(path->GetEndPosition().IsEqual(VisVector_cl(130, 100, 0), 1e-3f));
  }
  prison->Spawn();
  EXPECT_EQ(prison->GetLastSpawnedSoldier(), nullptr) << "one prisoner per template";

  // The player's prisoners join a player unit with room, or nobody is freed.
  GameSessionManager* session = GameSessionManager::GetInstance();
  auto* own = OnPlainOwner<PrisonComponent>(VisVector_cl(0, 0, 0));
  own->AddUnit(Template(1));
  own->AddUnit(Template(1));
  own->TriggerSpawning();
  own->Spawn();
  EXPECT_EQ(own->GetLastSpawnedSoldier(), nullptr) << "no player unit with room";
  EXPECT_EQ(own->GetSpawnedUnitCount(), 0);

  auto* unit = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(30, 0, 0)));
  unit->SetNation(1);
  unit->SetMaxNumSoldiers(3);
  ASSERT_TRUE(session->GetPlayer());
  session->AddUnitToHero(session->GetPlayer(), unit);
  own->Spawn();
  SoldierEntity* joined = own->GetLastSpawnedSoldier();
  ASSERT_NE(joined, nullptr);
  EXPECT_EQ(joined->GetParentUnit(), unit);
  auto* path = joined->Components<InfantryPathComponent>();
  ASSERT_NE(path, nullptr);
  EXPECT_LT(MathTools::DistanceBetweenVectorsIgnoreZ(path->GetEndPosition(), unit->GetPosition()), 8.0f);
}

TEST_F(SpawnerTest, TheRecruitingBuildingStopsAtAFullHeroAndRewardsAllUnitKinds) {
  GameSessionManager* session = GameSessionManager::GetInstance();
  PlayerStats* player = session->GetPlayer();
  ASSERT_NE(player, nullptr);
  auto* barracks = MakeSpawner<UnitBuildingSpawnerComponent>(VisVector_cl(0, 0, 0));
  EXPECT_EQ(barracks->GetCurrentHero(), player) << "the player's record by default";
  barracks->AddUnit(Template(1, 2, 7));
  barracks->SetSoldierCount(3);
  EXPECT_TRUE(barracks->IsSpawning());

  barracks->Spawn();
  barracks->Spawn();
  barracks->Spawn();
  EXPECT_EQ(player->GetUnitRecordCount(), 2) << "a full unit makes the next";
  EXPECT_EQ(barracks->GetSpawnedUnitCount(), 2);
  UnitEntity* last = SpawnerBaseComponent::FindUnit(barracks->GetUnitToSpawnToID());
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->GetHeroStats(), player);
  EXPECT_EQ(last->GetNumSoldiers(), 1);

  // His own unit and three more are all a hero leads.
  barracks->Spawn();
  barracks->Spawn();  // the third unit
  ASSERT_EQ(player->GetUnitRecordCount(), 3);
  barracks->SetSoldierCount(3);
  barracks->Spawn();  // joins the third
  barracks->TriggerSpawning();
  barracks->Spawn();
  EXPECT_EQ(barracks->GetSoldierCount(), 0);
  EXPECT_FALSE(barracks->IsSpawnRequested());
  EXPECT_FALSE(barracks->IsSpawning());
  EXPECT_EQ(player->GetUnitRecordCount(), 3);
  EXPECT_EQ(barracks->GetSpawnedUnitCount(), 3);

}

TEST_F(SpawnerTest, HoldingEveryKindFromSevenToFifteenUnlocksAchievementTwentySeven) {
  GameSessionManager* session = GameSessionManager::GetInstance();
  PlayerStats* player = session->GetPlayer();
  ASSERT_NE(player, nullptr);
  // Kinds 7 to 12 with two heroes, 13 and 14 with the player: 15 is missing.
  int type = 7;
  for (HeroStats* hero : {session->AddHero("Second", VisVector_cl(0, 0, 0)), session->AddHero("Third", VisVector_cl(0, 0, 0))}) {
    ASSERT_NE(hero, nullptr);
    for (int i = 0; i < 3; ++i) {
      auto* record = new HeroUnitRecord();
      record->m_pTemplate->m_iUnitType = type++;
      ASSERT_TRUE(hero->AddUnitRecord(record));
    }
  }
  for (int kind : {13, 14}) {
    auto* record = new HeroUnitRecord();
    record->m_pTemplate->m_iUnitType = kind;
    ASSERT_TRUE(player->AddUnitRecord(record));
  }
  AchievementManager* achievements = AchievementManager::GetInstance();
  auto* barracks = MakeSpawner<UnitBuildingSpawnerComponent>(VisVector_cl(0, 0, 0));
  barracks->AddUnit(Template(1, 4, 14));
  barracks->Spawn();
  EXPECT_FALSE(achievements->IsUnlocked(UnitBuildingSpawnerComponent::ACHIEVEMENT_ALL_UNITS));
  EXPECT_EQ(player->GetUnitRecordCount(), 3);

  // With a kind-14 unit given up, a kind-15 unit completes the set.
  player->DeleteUnitRecord(player->GetUnitRecord(2));
  barracks->ClearUnits();
  barracks->AddUnit(Template(1, 4, 15));
  barracks->SetUnitToSpawnTo(nullptr);
  barracks->SetSoldierCount(2);
  barracks->Spawn();
  EXPECT_TRUE(achievements->IsUnlocked(UnitBuildingSpawnerComponent::ACHIEVEMENT_ALL_UNITS));
}

// Saved blocks ------------------------------------------------------------------------------

TEST_F(SpawnerTest, TheSpawnerBlockRoundTripsAndReadsTheOlderBlockWithoutAName) {
  auto io = [](SpawnerBaseComponent& s, VArchive& ar) { s.SerializeX(ar); };
  SpawnerBaseComponent original, fresh;
  original.SetSpawnOffset(VisVector_cl(1, 2, 3));
  original.SetWalkTargetOffset(VisVector_cl(-4, 5, 0));
  original.SetScriptFile("scripts/spawners/guard.lua");
  original.SetSoldierCount(-1);
  original.SetSpawnWaitTime(6.5f);
  original.SetSpawnWaitTimeRandom(0.25f);
  original.TriggerSpawning(VisVector_cl(7, 8, 9));
  original.SetSpawnerName("str_BARRACKS");
  original.AddUnit(Template(2, 6, 11));
  original.AddUnit(Template(3));
  ASSERT_TRUE(RoundTrip(original, fresh, io, io));
  EXPECT_EQ(fresh.GetTemplateCount(), 2);
  EXPECT_EQ(fresh.GetTemplate(0)->m_iUnitType, 11);
  EXPECT_EQ(fresh.GetSpawnerName(), "str_BARRACKS");
  EXPECT_TRUE(fresh.IsSpawnRequested());
  EXPECT_EQ(fresh.GetSoldierCount(), -1);

  // Version 2: everything but the name.
  const auto v2 = [](int templates) {
    ByteWriter w;
    w.Str("ARCH").U8(2);
    for (float f : {0.0f, 1.0f, 0.0f, 1.0f, 2.0f, 0.0f, 0.0f, 1.0f}) w.F32(f);
    w.Str("").I32(3).F32(0.5f).F32(4.0f).F32(1.0f).I32(1).I32(0);
    w.I32(templates).I32(0);
    for (float f : {10.0f, 20.0f, 0.0f, 1.0f}) w.F32(f);
    w.Str("EOA");
    return Bytes(w.Get());
  };
  SpawnerBaseComponent old;
  old.SetSpawnerName("kept");
  ASSERT_TRUE(LoadBytes(v2(0), [&](VArchive& ar) { EXPECT_TRUE(old.SerializeX(ar)); }));
  EXPECT_EQ(old.GetSoldierCount(), 3);
  EXPECT_TRUE(old.IsEnabled());
  EXPECT_TRUE(old.GetTriggerPosition().IsEqual(VisVector_cl(10, 20, 0), 1e-6f));
  EXPECT_EQ(old.GetSpawnerName(), "kept");

  // A block that claims more templates than it holds fails and changes nothing.
  SpawnerBaseComponent damaged;
  damaged.SetSoldierCount(9);
  {
    ReadArchive ar(v2(1000));
    EXPECT_FALSE(damaged.SerializeX(*ar));
    EXPECT_FALSE(ar->IsOK());
  }
  EXPECT_EQ(damaged.GetSoldierCount(), 9);
  EXPECT_EQ(damaged.GetTemplateCount(), 0);
}

TEST_F(SpawnerTest, TheGuardPostAndPrisonBlocksFollowTheSpawnerBlock) {
  auto* guard = new SoldierSpawner();
  guard->GetPositions() = {VisVector_cl(1, 2, 3), VisVector_cl(4, 5, 6)};
  guard->SetSoldierCount(2);
  auto* guardCopy = new SoldierSpawner();
  EXPECT_TRUE(RoundTripSerialize(*guard, *guardCopy));
  EXPECT_EQ(guardCopy->GetPositions().size(), 2u);
  EXPECT_EQ(guardCopy->GetSoldierCount(), 2);
  delete guard;
  delete guardCopy;

  auto* prison = new PrisonComponent();
  prison->SetPropertyNumber("m_iInitialHitPoints", 350);
  auto* prisonCopy = new PrisonComponent();
  EXPECT_TRUE(RoundTripSerialize(*prison, *prisonCopy));
  EXPECT_EQ(prisonCopy->GetInitialHitPoints(), 350);
  delete prison;
  delete prisonCopy;
}

// The script object ------------------------------------------------------------------------

TEST_F(SpawnerTest, SpawnerScriptsFillTemplatesAndStartSpawningWithTheirErrorTexts) {
  SpawnerBaseComponent* spawner = MakeSpawner(VisVector_cl(0, 0, 0));
  VisBaseEntity_cl* target = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(3, 4, 0));
  LUA_PushObjectProxy(L, spawner);
  lua_setglobal(L, "spawner");
  LUA_PushObjectProxy(L, target);
  lua_setglobal(L, "target");

  ASSERT_EQ(Run("spawner:AddUnit(10, 5, 8, 2, 3, 'str_GUARDS')"), "");
  ASSERT_EQ(spawner->GetTemplateCount(), 1);
  const UnitEntityTemplate* t = spawner->GetTemplate(0);
  EXPECT_EQ(t->m_iUnitType, 10);
  EXPECT_EQ(t->m_iNumSoldiers, 5);
  EXPECT_EQ(t->m_iMaxNumSoldiers, 8);
  EXPECT_EQ(t->m_iUnitWidth, 2);
  EXPECT_EQ(t->m_iNation, 3);
  EXPECT_EQ(t->m_sClassName, "UnitEntity");
  EXPECT_EQ(spawner->GetSpawnerName(), "str_GUARDS");

  ASSERT_EQ(Run("spawner:SetSpawnWaitTime(2.5) spawner:SetSpawnWaitTimeRandom(0.5)"), "");
  EXPECT_FLOAT_EQ(spawner->GetSpawnWaitTime(), 2.5f);
  EXPECT_FLOAT_EQ(spawner->GetSpawnWaitTimeRandom(), 0.5f);
  ASSERT_EQ(Run("spawner:TriggerSpawning(target)"), "");
  EXPECT_TRUE(spawner->IsSpawnRequested());
  EXPECT_TRUE(spawner->GetTriggerPosition().IsEqual(VisVector_cl(3, 4, 0), 1e-6f));
  ASSERT_EQ(Run("spawner:TriggerSpawning() spawner:SetSpawnerEnable(false)"), "");
  EXPECT_TRUE(spawner->GetTriggerPosition().IsEqual(VisVector_cl(0, 0, 0), 1e-6f));
  EXPECT_FALSE(spawner->IsEnabled());
  ASSERT_EQ(Run("spawner:ClearUnits()"), "");
  EXPECT_EQ(spawner->GetTemplateCount(), 0);

  struct Case {
    const char* code;
    const char* error;
  };
  const Case errors[] = {
      {"spawner.ClearUnits(target)", "Expected native object of type SpawnerBaseComponent*"},
      {"spawner.TriggerSpawning(5)", "Expected native object of type SpawnerBaseComponent*"},
      {"spawner:SetSpawnWaitTime('soon')", "Expected float"},
      {"spawner:SetSpawnWaitTimeRandom()", "Expected float"},
  };
  for (const Case& c : errors) {
    SCOPED_TRACE(c.code);
    const std::string error = Run(c.code);
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
  }
}

}  // namespace
