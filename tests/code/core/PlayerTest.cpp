// The player's side of a land battle: selecting units by click, drag and grouping
// keys, the move grid, queued and attack orders, their acknowledgements, and the
// escape area.
#include "components/NPCUnitComponent.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "core/Player.h"
#include "core/RtsManager.h"
#include "entities/Nation.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"
#include "Managers/GameSessionManager.h"
#include "Managers/RadarManager.h"
#include "Managers/SoundManager.h"
#include "Managers/SaveGameManager.h"
#include "util/MathTools.h"

#include "support/ScopedRadarGui.h"
#include "support/SoundTestEnvironment.h"

#include "engine/Vision.h"
#include "engine/core/TriggerBoxEntity.h"
#include "engine/core/VInputReplay.h"
#include "engine/core/VisParticleEffect.h"
#include "engine/core/VisParticleGroupManager.h"
#include "engine/physics/vPhysXModule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

// The unit orders a soldier receives: the message and the point p1 names.
class PlayerOrderLog : public IVObjectComponent {
  V_DECLARE_DYNCREATE(PlayerOrderLog)
 public:
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override {
    if (id < 150 || id > 170) return;
    ids.push_back(id);
    points.push_back(p1 ? *reinterpret_cast<const VisVector_cl*>(p1) : VisVector_cl(0, 0, 0));
    targets.push_back(p2);
  }
  int Count(int id) const { return (int)std::count(ids.begin(), ids.end(), id); }
  std::vector<int> ids;
  std::vector<VisVector_cl> points;
  std::vector<INT_PTR> targets;
};
V_IMPLEMENT_DYNCREATE(PlayerOrderLog, IVObjectComponent)
using OrderLog = PlayerOrderLog;

const int kPlayer = 1, kEnemy = 2, kWildlife = 3;
const UnitType kType = PIRATE_HERO;
const char* const kActivate = "sounds\\order_01.wav";
const char* const kOrder = "sounds\\order_02.wav";
const char* const kAttack = "sounds\\order_03.wav";

class PlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Vision::World.SetFlatTerrain(0.0f);
    VSeedRandom(20240611u);
    MathTools::SetGaussianRandomState(4242u);
    GameManager* game = GameManager::GetInstance();
    game->ResetNations();
    game->AddNation(new Nation(0, "None"));
    game->AddNation(new Nation(kPlayer, "Player"));
    game->AddNation(new Nation(kEnemy, "Enemy"));
    game->AddNation(new Nation(kWildlife, "Wildlife"));
    game->GetNation(kPlayer)->SetType(1);
    game->GetNation(kEnemy)->SetType(1);
    game->GetNation(kWildlife)->SetType(0);
    for (int other : {kEnemy, kWildlife}) {
      game->GetNation(kPlayer)->AddEnemy(other);
      game->GetNation(other)->AddEnemy(kPlayer);
    }
    game->SetLocation(1);
    SoundManager* sounds = SoundManager::GetInstance();
    sounds->AddSound(kType, SOUND_ACTIVATE, kActivate, false);
    sounds->AddSound(kType, SOUND_ORDER, kOrder, false);
    sounds->AddSound(kType, SOUND_ATTACK, kAttack, false);
    RtsManager::GlobalManager().OneTimeInit();
    player = RtsManager::GlobalManager().GetPlayer();
  }

  void TearDown() override {
    RtsManager::GlobalManager().OneTimeDeInit();
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
    VisParticleGroupManager_cl::GlobalManager().RemoveAllEffects();
    Vision::World.ClearTerrain();
    Vision::Key.Reset();
    RadarManager::CleanInstance();
    SoundManager::CleanInstance();
    GameSessionManager::CleanInstance();
    GameManager::CleanInstance();
    SaveGameManagerProto::CleanInstance();
    MathTools::SetGaussianRandomState(0);
  }

  // A unit of the nation with its soldiers in a formation of the given width; it
  // joins the player's or the enemy units as it is created.
  UnitEntity* MakeUnit(int nation, const VisVector_cl& at, int soldiers = 2, int width = 1) {
    const std::string params = "m_iNation=\"" + std::to_string(nation) + "\",m_iNumSoldiers=\"" +
                               std::to_string(soldiers) + "\",m_iUnitWidth=\"" + std::to_string(width) + "\"";
    auto* unit = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", at, nullptr, params.c_str()));
    unit->SetUnitType(kType);
    unit->SetVisibleBitmask(0xffffffffu);
    for (SoldierEntity* soldier : unit->GetSoldiers()) soldier->SetVisibleBitmask(0xffffffffu);
    return unit;
  }
  static OrderLog* Log(SoldierEntity* soldier) {
    auto* log = soldier->Components<OrderLog>();
    if (!log) {
      log = new OrderLog();
      soldier->AddComponent(log);
    }
    return log;
  }
  // The point a unit was last sent to: the centre of its target box.
  static VisVector_cl TargetOf(UnitEntity* unit) {
    const SelectionBox& box = unit->GetUnitTargetBox();
    VisVector_cl c(0, 0, 0);
    for (int i = 0; i < 4; ++i) c += box.GetPoint(i);
    return c / 4.0f;
  }
  // The unit sounds started so far, by file.
  static int Played(const char* file) {
    int n = 0;
    VSoundManager& sounds = VSoundManager::GlobalManager();
    for (int i = 0; i < sounds.GetInstanceCount(); ++i) {
      VSoundObject* obj = sounds.GetInstance(i);
      n += obj && obj->GetResource() && std::string(obj->GetResource()->GetFileName()) == file;
    }
    return n;
  }
  static VisTraceLineInfo_t GroundTrace(const VisVector_cl& at, float distance = 50.0f) {
    VisTraceLineInfo_t trace;
    trace.detected = true;
    trace.distance = distance;
    trace.touchPoint = at;
    trace.hitType = VisTraceLineInfo_t::HIT_TERRAIN;
    return trace;
  }
  static VisTraceLineInfo_t EntityTrace(VisBaseEntity_cl* entity, float distance = 40.0f) {
    VisTraceLineInfo_t trace = GroundTrace(entity->GetPosition(), distance);
    trace.colliderEntity = entity;
    trace.hitType = VisTraceLineInfo_t::HIT_ENTITY;
    return trace;
  }
  std::vector<UnitEntity*> Selection() const {
    std::vector<UnitEntity*> out;
    for (int i = 0; i < player->GetNumSelected(); ++i) out.push_back(player->GetSelectionAt((unsigned)i));
    return out;
  }

  SoundTestEnvironment audio;
  Player* player = nullptr;
};

void ExpectNear(const VisVector_cl& actual, const VisVector_cl& expected, float eps) {
  EXPECT_TRUE(actual.IsEqual(expected, eps)) << "(" << actual.x << ", " << actual.y << ", " << actual.z << ") vs ("
                                             << expected.x << ", " << expected.y << ", " << expected.z << ")";
}

// ---- selection ------------------------------------------------------------------------------

TEST_F(PlayerTest, CreatedUnitsJoinTheirSideAndThePlayerCharacterIsFound) {
  UnitEntity* own = MakeUnit(kPlayer, VisVector_cl(0, 0, 0));
  UnitEntity* enemy = MakeUnit(kEnemy, VisVector_cl(20, 0, 0));
  auto* hero = static_cast<UnitEntity*>(
      Vision::Game.CreateEntity("UnitEntity", VisVector_cl(5, 5, 0), nullptr, "m_iNation=\"1\",m_iNumSoldiers=\"1\""));
  hero->SetEntityKey("PlayerCharacter");
  player->UnitRemoved(hero);
  player->AddPlayerUnit(hero);
  EXPECT_EQ(player->GetPlayerUnitCount(), 2);
  EXPECT_EQ(player->GetPlayerUnit(0), own);
  EXPECT_EQ(player->GetEnemyUnitCount(), 1);
  EXPECT_EQ(player->GetEnemyUnit(0), enemy);
  EXPECT_EQ(player->GetPlayerCharacter(), hero);
}

TEST_F(PlayerTest, ClickOnAnOwnSoldierSelectsItsWholeUnitWithoutTheActivationSound) {
  ScopedRadarGui radarGui;
  ASSERT_TRUE(radarGui.IsReady());
  UnitEntity* unit = MakeUnit(kPlayer, VisVector_cl(0, 0, 0), 3);
  SoldierEntity* soldier = unit->GetSoldierAtIndex(1);
  player->SetSelected(soldier);
  EXPECT_EQ(Selection(), std::vector<UnitEntity*>{unit});
  EXPECT_EQ(Played(kActivate), 0);
  EXPECT_TRUE(player->IsSelected(soldier));
  EXPECT_TRUE(player->IsSelected(unit->GetSoldierAtIndex(2)));
  for (SoldierEntity* s : unit->GetSoldiers()) EXPECT_TRUE(s->IsShowSelectionEffectOn());
  // The unit is on the radar as a selected unit, once.
  ASSERT_NE(RadarManager::GetInstance()->FindMarker(unit), nullptr);
  EXPECT_EQ(RadarManager::GetInstance()->FindMarker(unit)->kind, TRACK_SELECTED_UNIT);

  // The unit itself clicked again: already selected, nothing new.
  player->SetSelected(unit);
  EXPECT_EQ(Played(kActivate), 0);
  EXPECT_EQ(RadarManager::GetInstance()->GetNumMarkers(), 1);

  // Another unit clicked directly: it replaces the first, with the acknowledgement.
  UnitEntity* other = MakeUnit(kPlayer, VisVector_cl(10, 0, 0));
  player->SetSelected(other);
  EXPECT_EQ(Selection(), std::vector<UnitEntity*>{other});
  EXPECT_EQ(Played(kActivate), 1);
  for (SoldierEntity* s : unit->GetSoldiers()) EXPECT_FALSE(s->IsShowSelectionEffectOn());
  EXPECT_EQ(RadarManager::GetInstance()->FindMarker(unit), nullptr);
  EXPECT_EQ(RtsManager::GlobalManager().GetFollowedUnit(), nullptr);
}

TEST_F(PlayerTest, EnemySoldiersAndNpcUnitsAreNeverSelected) {
  UnitEntity* own = MakeUnit(kPlayer, VisVector_cl(0, 0, 0));
  UnitEntity* enemy = MakeUnit(kEnemy, VisVector_cl(20, 0, 0));
  UnitEntity* npc = MakeUnit(kPlayer, VisVector_cl(40, 0, 0));
  npc->AddComponent(new NPCUnitComponent());

  const struct {
    const char* what;
    VisBaseEntity_cl* entity;
  } refused[] = {
      {"enemy soldier", enemy->GetSoldierAtIndex(0)},
      {"enemy unit", enemy},
      {"npc unit", npc},
  };
  for (const auto& c : refused) {
    // Added to the selection: nothing changes.
    player->SetSelected(own);
    player->AddToSelection(c.entity);
    EXPECT_EQ(Selection(), std::vector<UnitEntity*>{own}) << c.what;
    // Clicked (replacing): the selection is cleared and nothing takes its place.
    player->SetSelected(c.entity);
    EXPECT_EQ(player->GetNumSelected(), 0) << c.what;
  }
  // A soldier without a unit stands for nothing.
  auto* loner = static_cast<SoldierEntity*>(Vision::Game.CreateEntity("SoldierEntity", VisVector_cl(60, 0, 0)));
  loner->SetNation(kPlayer);
  player->SetSelected(loner);
  EXPECT_EQ(player->GetNumSelected(), 0);
}

TEST_F(PlayerTest, DragSelectsTheOwnUnitsInsideTheGroundQuadrilateralOnce) {
  UnitEntity* inside = MakeUnit(kPlayer, VisVector_cl(4, 3, 0));
  UnitEntity* corner = MakeUnit(kPlayer, VisVector_cl(6, 6, 0));  // inside the box, outside the diamond
  MakeUnit(kPlayer, VisVector_cl(30, 0, 0));
  MakeUnit(kEnemy, VisVector_cl(1, 1, 0));

  // The screen rectangle on the ground: a box, then a view turned by 45 degrees.
  player->SetLeftDragSelectionArea(VisVector_cl(-10, -10, 0), VisVector_cl(10, -10, 0), VisVector_cl(10, 10, 0),
                                   VisVector_cl(-10, 10, 0));
  player->CheckLeftDragSelection();
  EXPECT_EQ(Selection(), (std::vector<UnitEntity*>{inside, corner}));
  EXPECT_EQ(Played(kActivate), 0);

  player->ClearSelection();
  player->SetLeftDragSelectionArea(VisVector_cl(0, -10, 0), VisVector_cl(10, 0, 0), VisVector_cl(0, 10, 0),
                                   VisVector_cl(-10, 0, 0));
  player->CheckLeftDragSelection();
  EXPECT_EQ(Selection(), std::vector<UnitEntity*>{inside});

  // The area is used up: a second check selects nothing more.
  player->ClearSelection();
  player->CheckLeftDragSelection();
  EXPECT_EQ(player->GetNumSelected(), 0);
}

// ---- orders -----------------------------------------------------------------------------------

TEST_F(PlayerTest, MoveOrderLaysTheUnitsOnAGridAroundTheClick) {
  const VisVector_cl click(50, 60, 0);
  const std::vector<VisVector_cl> offsets = {{1.5f, 1.5f, 0}, {1.5f, 0, 0}, {1.5f, -1.5f, 0},
                                             {0, 1.5f, 0},    {0, 0, 0},    {0, -1.5f, 0},
                                             {-1.5f, 1.5f, 0}, {-1.5f, 0, 0}, {-1.5f, -1.5f, 0}};
  for (int count : {9, 5}) {
    std::vector<UnitEntity*> units;
    for (int i = 0; i < count; ++i) {
      units.push_back(MakeUnit(kPlayer, VisVector_cl(-100.0f - 10.0f * (float)i, 0, 0)));
      player->AddToSelection(units.back());
    }
    const int effects = VisParticleGroupManager_cl::GlobalManager().GetEffectCount();
    player->GiveTargetPosition(click, true);
    // Every grid point in use takes one unit, within the jitter of 0.1 per axis.
    std::vector<VisVector_cl> targets;
    for (UnitEntity* unit : units) {
      ASSERT_TRUE(unit->GetUnitTargetBox().IsValid());
      targets.push_back(TargetOf(unit) - click);
    }
    for (int k = 0; k < count; ++k) {
      auto found = std::find_if(targets.begin(), targets.end(),
                                [&](const VisVector_cl& t) { return t.IsEqual(offsets[k], 0.35f); });
      ASSERT_NE(found, targets.end()) << count << " units, offset " << k;
      targets.erase(found);
    }
    // One goto mark on land.
    EXPECT_EQ(VisParticleGroupManager_cl::GlobalManager().GetEffectCount(), effects + 1);
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
    player->CleanUp();
  }
}

TEST_F(PlayerTest, QueuedGroundOrderSendsTheWaypointAndNoMove) {
  UnitEntity* a = MakeUnit(kPlayer, VisVector_cl(0, 0, 0), 2);
  UnitEntity* b = MakeUnit(kPlayer, VisVector_cl(10, 0, 0), 3);
  MakeUnit(kPlayer, VisVector_cl(20, 0, 0));  // not selected
  player->AddToSelection(a);
  player->AddToSelection(b);
  std::vector<OrderLog*> logs;
  for (UnitEntity* unit : {a, b})
    for (SoldierEntity* s : unit->GetSoldiers()) logs.push_back(Log(s));

  const VisVector_cl point(30, 40, 0);
  VisTraceLineInfo_t nothing;
  player->GiveTarget(nothing, GroundTrace(point), true);
  ASSERT_EQ(logs.size(), 5u);
  for (OrderLog* log : logs) {
    EXPECT_EQ(log->ids, std::vector<int>{VIS_MSG_USER_UNIT_GROUND_ATTACK});
    ExpectNear(log->points[0], point, 1e-5f);
  }
  EXPECT_FALSE(a->GetUnitTargetBox().IsValid());
  EXPECT_EQ(Played(kOrder), 1);

  // Not queued: a move (151) to every soldier and the target box.
  player->GiveTarget(nothing, GroundTrace(point), false);
  for (OrderLog* log : logs) EXPECT_EQ(log->Count(VIS_MSG_USER_UNIT_MOVE), 1);
  EXPECT_TRUE(a->GetUnitTargetBox().IsValid());
}

TEST_F(PlayerTest, NearerTraceWinsAndNoTraceOrdersNothing) {
  UnitEntity* own = MakeUnit(kPlayer, VisVector_cl(0, 0, 0), 1);
  UnitEntity* enemy = MakeUnit(kEnemy, VisVector_cl(20, 0, 0), 1);
  player->AddToSelection(own);
  OrderLog* log = Log(own->GetSoldierAtIndex(0));
  VisTraceLineInfo_t nothing;
  player->GiveTarget(nothing, nothing, false);
  EXPECT_TRUE(log->ids.empty());
  // The ground in front of the enemy: a move.
  player->GiveTarget(EntityTrace(enemy, 60.0f), GroundTrace(VisVector_cl(10, 0, 0), 30.0f), false);
  EXPECT_EQ(log->ids, std::vector<int>{VIS_MSG_USER_UNIT_MOVE});
  // Equally far: the entity, an attack.
  player->GiveTarget(EntityTrace(enemy, 30.0f), GroundTrace(VisVector_cl(10, 0, 0), 30.0f), false);
  EXPECT_EQ(log->ids, (std::vector<int>{VIS_MSG_USER_UNIT_MOVE, VIS_MSG_USER_UNIT_ATTACK_ORDER}));
}

TEST_F(PlayerTest, RightClickOnAVisibleEnemySoldierAttacksItCarefully) {
  UnitEntity* own = MakeUnit(kPlayer, VisVector_cl(0, 0, 0), 5);
  UnitEntity* enemy = MakeUnit(kEnemy, VisVector_cl(30, 0, 0), 3);
  player->AddToSelection(own);
  std::vector<OrderLog*> logs;
  for (SoldierEntity* s : own->GetSoldiers()) logs.push_back(Log(s));
  SoldierEntity* clicked = enemy->GetSoldierAtIndex(2);

  VisTraceLineInfo_t nothing;
  player->GiveTarget(EntityTrace(clicked), nothing, false);
  EXPECT_EQ(Played(kAttack), 1);
  ASSERT_EQ(logs.size(), 5u);
  for (size_t i = 0; i < logs.size(); ++i) {
    ASSERT_EQ(logs[i]->ids, std::vector<int>{VIS_MSG_USER_UNIT_ATTACK_ORDER}) << i;
    EXPECT_EQ(logs[i]->targets[0], (INT_PTR)enemy) << i;
    // Soldiers 0 and 1 go for the clicked soldier, the others for any of its unit.
    const VisVector_cl& at = logs[i]->points[0];
    if (i < 2) {
      ExpectNear(at, clicked->GetPosition(), 1e-5f);
    } else {
      const bool ofTheUnit = std::any_of(enemy->GetSoldiers().begin(), enemy->GetSoldiers().end(),
                                         [&](SoldierEntity* s) { return s->GetPosition().IsEqual(at, 1e-5f); });
      EXPECT_TRUE(ofTheUnit) << i;
    }
  }

  // Hidden from the player (not visible): the same attack without the sound.
  clicked->SetVisibleBitmask(0);
  player->GiveTarget(EntityTrace(clicked), nothing, false);
  EXPECT_EQ(Played(kAttack), 1);
  EXPECT_EQ(logs[0]->Count(VIS_MSG_USER_UNIT_ATTACK_ORDER), 2);
}

TEST_F(PlayerTest, SoldierOfAnUnalignedNationIsWalkedToNotAttacked) {
  UnitEntity* own = MakeUnit(kPlayer, VisVector_cl(0, 0, 0), 2);
  UnitEntity* wild = MakeUnit(kWildlife, VisVector_cl(30, 10, 0), 1);
  player->AddToSelection(own);
  OrderLog* log = Log(own->GetSoldierAtIndex(0));
  player->GiveTargetEntity(wild->GetSoldierAtIndex(0), true);
  EXPECT_EQ(log->ids, std::vector<int>{VIS_MSG_USER_UNIT_MOVE});
  ExpectNear(TargetOf(own), wild->GetSoldierAtIndex(0)->GetPosition(), 0.35f);
}

TEST_F(PlayerTest, EntityOrderOnAnOwnUnitOrdersNobody) {
  UnitEntity* a = MakeUnit(kPlayer, VisVector_cl(0, 0, 0), 2);
  UnitEntity* b = MakeUnit(kPlayer, VisVector_cl(10, 0, 0), 2);
  player->AddToSelection(a);
  player->AddToSelection(b);
  std::vector<OrderLog*> logs;
  for (UnitEntity* unit : {a, b})
    for (SoldierEntity* s : unit->GetSoldiers()) logs.push_back(Log(s));
  player->GiveTargetEntity(b, true);
  player->GiveTargetEntity(b->GetSoldierAtIndex(0), true);
  for (OrderLog* log : logs) EXPECT_TRUE(log->ids.empty());
  EXPECT_EQ(Played(kAttack), 0);
}

TEST_F(PlayerTest, OrderAcknowledgementWaitsForIdleSoldiersAndAnEmptySelectionSpeaksAtTheOrigin) {
  UnitEntity* unit = MakeUnit(kPlayer, VisVector_cl(10, 20, 0), 2);
  for (SoldierEntity* s : unit->GetSoldiers()) s->CreateStateMachine(STATE_IDLE);
  player->AddToSelection(unit);
  VisTraceLineInfo_t nothing;
  unit->GetSoldierAtIndex(0)->SetStateType(STATE_WALK);
  player->GiveTarget(nothing, GroundTrace(VisVector_cl(0, 0, 0)), true);
  EXPECT_EQ(Played(kOrder), 0);
  unit->GetSoldierAtIndex(0)->SetStateType(STATE_IDLE);
  player->GiveTarget(nothing, GroundTrace(VisVector_cl(0, 0, 0)), true);
  EXPECT_EQ(Played(kOrder), 1);

  // Soldiers the soldier code has not set up yet have no say: the acknowledgement is
  // spoken at the origin.
  UnitEntity* fresh = MakeUnit(kPlayer, VisVector_cl(30, 30, 0), 2);
  player->ClearSelection();
  player->AddToSelection(fresh);
  player->GiveTarget(nothing, GroundTrace(VisVector_cl(5, 5, 0)), true);
  VSoundManager& sounds = VSoundManager::GlobalManager();
  ASSERT_EQ(Played(kOrder), 2);
  VSoundObject* last = sounds.GetInstance(sounds.GetInstanceCount() - 1);
  ExpectNear(last->GetPosition(), VisVector_cl(0, 0, 0), 1e-6f);

  // Nothing selected: rank 0 has no voice, and no order goes anywhere.
  player->ClearSelection();
  const int before = sounds.GetInstanceCount();
  player->GiveTarget(nothing, GroundTrace(VisVector_cl(5, 5, 0)), false);
  EXPECT_EQ(sounds.GetInstanceCount(), before);
  EXPECT_FALSE(unit->GetUnitTargetBox().IsValid());
}

TEST_F(PlayerTest, HighestUnitRankIsTheFirstSelectedOrTheLowestOfSeveral) {
  EXPECT_EQ(GameSessionManager::GetInstance()->GetHighestUnitRank(), 0);
  UnitEntity* a = MakeUnit(kPlayer, VisVector_cl(0, 0, 0));
  UnitEntity* b = MakeUnit(kPlayer, VisVector_cl(10, 0, 0));
  a->SetUnitType(PIRATE_CANNONEER);
  b->SetUnitType(CORSAIR_HERO);
  player->AddToSelection(a);
  EXPECT_EQ(GameSessionManager::GetInstance()->GetHighestUnitRank(), PIRATE_CANNONEER);
  player->AddToSelection(b);
  EXPECT_EQ(GameSessionManager::GetInstance()->GetHighestUnitRank(), CORSAIR_HERO);
}

TEST_F(PlayerTest, EffectsArePutOnTheTerrainWhenThereIsGroundBelow) {
  Vision::World.SetFlatTerrain(3.0f);
  struct PhysicsOn {
    PhysicsOn() { vPhysXModule::SetInstance(&module); }
    ~PhysicsOn() { vPhysXModule::SetInstance(nullptr); }
    vPhysXModule module;
  } physics;
  const struct {
    VisVector_cl start, position;
  } cases[] = {
      {{5, 5, 3.4f}, {5, 5, 3.1f}},   // ground 0.4 below: raised 0.1 above it
      {{5, 5, 4.9f}, {5, 5, 3.1f}},   // 1.9 above the ground: still within the ray
      {{5, 5, 10.0f}, {5, 5, 10.0f}}, // ground too far below: left as it is
  };
  for (const auto& c : cases) {
    VisVector_cl position = c.start;
    VisVector_cl orientation(7, 7, 7);
    player->GetTerrainEffectOrientation(position, orientation);
    ExpectNear(position, c.position, 1e-3f);
    // On flat ground the effect lies flat (the 90 degrees turn the look-at up into
    // the ground plane); without ground it keeps no orientation.
    if (c.start.z == c.position.z)
      ExpectNear(orientation, VisVector_cl(0, 0, 0), 1e-6f);
    else
      EXPECT_NEAR(std::fmod(std::fabs(orientation.y), 180.0f), 0.0f, 1e-3f);
  }

  // The goto mark of a move order lands on it.
  UnitEntity* unit = MakeUnit(kPlayer, VisVector_cl(0, 0, 3));
  player->AddToSelection(unit);
  VisParticleGroupManager_cl& particles = VisParticleGroupManager_cl::GlobalManager();
  const int before = particles.GetEffectCount();
  player->GiveTargetPosition(VisVector_cl(20, 20, 3.5f), true);
  ASSERT_EQ(particles.GetEffectCount(), before + 1);
  VisParticleEffect_cl* mark = particles.GetEffect(particles.GetEffectCount() - 1);
  ExpectNear(mark->GetPosition(), VisVector_cl(20, 20, 3.1f), 1e-3f);
  EXPECT_TRUE(mark->GetRemoveWhenFinished());
}

// ---- grouping keys ------------------------------------------------------------------------------

TEST_F(PlayerTest, CtrlDigitStoresAGroupAndTheDigitRecallsIt) {
  UnitEntity* a = MakeUnit(kPlayer, VisVector_cl(0, 0, 0));
  UnitEntity* b = MakeUnit(kPlayer, VisVector_cl(10, 0, 0));
  UnitEntity* c = MakeUnit(kPlayer, VisVector_cl(20, 0, 0));
  c->SetGroup(2);  // held group 2 before: assigning takes it away
  player->AddToSelection(a);
  player->AddToSelection(b);

  VInputReplay replay;
  ASSERT_EQ(replay.Parse("1 key LeftCtrl down\n"
                         "2 key 2 down\n"
                         "4 key 2 up\n"
                         "5 key LeftCtrl up\n"
                         "7 key 3 down\n"   // an empty group
                         "8 key 3 up\n"
                         "10 key 2 down\n"  // recall group 2
                         "11 key 2 up\n",
                         "grouping"),
            0);
  auto frames = [&](unsigned from, unsigned to) {
    for (unsigned f = from; f <= to; ++f) {
      replay.DeliverFrame(f);
      player->Update(0.1f);
    }
  };
  frames(1, 5);
  EXPECT_EQ(a->GetGroup(), 2);
  EXPECT_EQ(b->GetGroup(), 2);
  EXPECT_EQ(c->GetGroup(), -1);
  EXPECT_EQ(player->GetNumSelected(), 2);  // assigning keeps the selection

  frames(6, 8);
  EXPECT_EQ(player->GetNumSelected(), 0);

  player->AddToSelection(c);
  frames(9, 12);
  EXPECT_EQ(Selection(), (std::vector<UnitEntity*>{a, b}));
  EXPECT_EQ(Played(kActivate), 0);
}

// ---- nearest queries and escape area ---------------------------------------------------------------

TEST_F(PlayerTest, NearestQueriesSkipNationZeroAndTheAskingUnit) {
  UnitEntity* own = MakeUnit(kPlayer, VisVector_cl(0, 0, 0));
  UnitEntity* ownFar = MakeUnit(kPlayer, VisVector_cl(50, 0, 0));
  UnitEntity* enemyNear = MakeUnit(kEnemy, VisVector_cl(10, 0, 0));
  UnitEntity* enemyFar = MakeUnit(kEnemy, VisVector_cl(30, 0, 0));
  UnitEntity* disbanded = MakeUnit(kEnemy, VisVector_cl(1, 0, 0));
  disbanded->SetNation(0);
  EXPECT_EQ(player->GetClosestEnemyUnit(own), enemyNear);
  EXPECT_EQ(player->GetClosestEnemyUnit(enemyFar), ownFar);
  EXPECT_EQ(player->GetClosestPlayerUnit(own), ownFar);
  EXPECT_EQ(player->GetClosestPlayerUnit(enemyNear), enemyFar);
  SoldierEntity* nearest = player->GetNearestEnemySoldier(VisVector_cl(9, 0, 0));
  ASSERT_NE(nearest, nullptr);
  EXPECT_EQ(nearest->GetParentUnit(), enemyNear);
  EXPECT_EQ(player->GetClosestEnemyUnit(nullptr), nullptr);
}

TEST_F(PlayerTest, EscapeAreaSendsEachOwnSoldierInsideOnItsWayAndCountsThem) {
  UnitEntity* inside = MakeUnit(kPlayer, VisVector_cl(0, 0, 0), 3, 3);  // soldiers at x = 2, 0, -2
  UnitEntity* outside = MakeUnit(kPlayer, VisVector_cl(40, 0, 0), 2);
  UnitEntity* enemy = MakeUnit(kEnemy, VisVector_cl(1, 0, 0), 2);
  auto* trigger = static_cast<TriggerBoxEntity_cl*>(
      Vision::Game.CreateEntity("TriggerBoxEntity_cl", VisVector_cl(1, 0, 0)));
  trigger->SetBox(VisVector_cl(2, 2, 5));  // x from -1 to 3: two of the three soldiers
  std::vector<OrderLog*> logs;
  for (UnitEntity* unit : {inside, outside, enemy})
    for (SoldierEntity* s : unit->GetSoldiers()) logs.push_back(Log(s));

  EXPECT_EQ(player->HandleEscapeArea(trigger), 2);
  EXPECT_EQ(player->GetSoldiersInsideEscapeArea(), 2);
  int sent = 0;
  for (OrderLog* log : logs) sent += log->Count(VIS_MSG_USER_UNIT_DELIVER);
  EXPECT_EQ(sent, 2);
  for (SoldierEntity* s : inside->GetSoldiers())
    EXPECT_EQ(Log(s)->Count(VIS_MSG_USER_UNIT_DELIVER), trigger->IsInside(s->GetPosition()) ? 1 : 0);

  // The player character inside or not.
  EXPECT_FALSE(player->IsPlayerInside(trigger));
  inside->SetEntityKey("PlayerCharacter");
  player->UnitRemoved(inside);
  player->AddPlayerUnit(inside);
  EXPECT_TRUE(player->IsPlayerInside(trigger));
  trigger->SetPosition(VisVector_cl(100, 100, 0));
  EXPECT_EQ(player->HandleEscapeArea(trigger), 0);
  EXPECT_FALSE(player->IsPlayerInside(trigger));
}

}  // namespace
