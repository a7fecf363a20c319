// The ship AI: when it decides, how it runs at and fires on its target, when the
// fight ends, its sails, escort, flight, paths and towns, attack decisions, the
// fights it hears of, the removal of unseen ships, collision avoidance and its
// saved block.
#include "SeaBattleFixture.h"

#include "components/AIShipComponent.h"
#include "components/CannonObserverComponent.h"
#include "components/NoiseListenerComponent.h"
#include "components/ShipPathComponent.h"
#include "core/ComponentMessages.h"
#include "entities/TownEntity.h"
#include "Managers/BattleManager.h"
#include "Managers/PauseManager.h"
#include "support/ArchiveRoundTrip.h"
#include "util/MathTools.h"

#include "engine/physics/vPhysXModule.h"
#include "engine/physics/vPhysXRigidBody.h"

#include <algorithm>
#include <cmath>

namespace {

class AIShipComponentTest : public SeaBattleFixture {
 protected:
  // An AI of the mode on the ship; no collision avoidance unless asked for, and a
  // brave captain unless told otherwise.
  static AIShipComponent* GiveAI(ShipEntity* ship, int mode, int attackNation = -1, bool avoid = false) {
    auto* ai = new AIShipComponent();
    ai->SetTryPreventCollision(avoid);
    ai->SetCoward(false);
    ship->AddComponent(ai);
    ai->SetAIMode(mode);
    ai->SetAttackTargetNation(attackNation);
    return ai;
  }
  // Three frames of 1/60 s: one decision each 0.04 s.
  static void NextDecision() { Frames(3); }
  // The heading of the last message 10 the log holds; NAN without one.
  static float LastHeading(const MessageLog* log) {
    float heading = NAN;
    for (const MessageLog::Entry& e : log->entries)
      if (e.id == VIS_MSG_USER_SHIP_SETTARGETHEADING) heading = *reinterpret_cast<const float*>(e.p1);
    return heading;
  }
  // Headings compared on the circle.
  static float Wrapped(float degrees) {
    float a = std::fmod(degrees, 360.0f);
    return a < 0.0f ? a + 360.0f : a;
  }
};

TEST_F(AIShipComponentTest, DecidesInItsFirstFrameAndThenEveryFortyMilliseconds) {
  naval_scenario::StartFixedStep(5u, 0.015f);
  ShipEntity* hunter = MakeShip("Hunter", 2, VisVector_cl(0, 0, 0));
  ShipEntity* prey = MakeShip("Prey", 1, VisVector_cl(100, 0, 0));
  GiveAI(hunter, AIShipComponent::AIMODE_ATTACK, 1);
  MessageLog* log = Listen(hunter);
  // The prey moves every frame, so every decision sends a new heading.
  std::vector<int> decided;
  for (int frame = 1; frame <= 10; ++frame) {
    prey->SetPosition(VisVector_cl(100, (float)frame, 0));
    const size_t before = log->entries.size();
    Frame();
    for (size_t i = before; i < log->entries.size(); ++i)
      if (log->entries[i].id == VIS_MSG_USER_SHIP_SETTARGETHEADING) decided.push_back(frame);
  }
  EXPECT_EQ(decided, (std::vector<int>{1, 4, 7, 10}));
}

TEST_F(AIShipComponentTest, AttackRunKeepsItsStateTillTheThresholdsAndTurnsAwayWhenTooClose) {
  ShipEntity* hunter = MakeShip("Hunter", 2, VisVector_cl(0, 0, 0));
  ShipEntity* prey = MakeShip("Prey", 1, VisVector_cl(50, 0, 0));
  AIShipComponent* ai = GiveAI(hunter, AIShipComponent::AIMODE_ATTACK, 1);
  MessageLog* log = Listen(hunter);
  struct Step {
    float distance;
    int stateAfter;
  };
  // Each transition takes effect for the next decision.
  const Step steps[] = {{50.0f, 1}, {65.0f, 1}, {71.0f, 0}, {65.0f, 0}, {55.0f, 1},
                        {7.0f, 2},  {10.0f, 2}, {12.0f, 2}, {12.5f, 1}};
  for (const Step& step : steps) {
    prey->SetPosition(VisVector_cl(step.distance, 0, 0));
    NextDecision();
    EXPECT_EQ(ai->GetApproachState(), step.stateAfter) << "at " << step.distance;
  }
  // Too close: straight away from the target.
  prey->SetPosition(VisVector_cl(7, 0, 0));
  NextDecision();  // state 1 -> 2, still on the run
  NextDecision();
  EXPECT_NEAR(Wrapped(LastHeading(log)), 180.0f, 1e-3f);
  // On the run: beside the point ahead of the target's bow, offset to a broadside.
  prey->SetPosition(VisVector_cl(40, 0, 0));
  NextDecision();  // back to the run
  NextDecision();
  EXPECT_EQ(ai->GetApproachState(), 1);
  EXPECT_NEAR(Wrapped(LastHeading(log)), Wrapped(ai->GetSideOffset()), 1e-3f);
}

TEST_F(AIShipComponentTest, BroadsideFiresOnlyAtAWantedShipWithNoOwnShipInTheSectorAndALoadedSide) {
  struct Case {
    const char* name;
    int attackNation;
    VisVector_cl other;
    int otherNation;
    bool ownInSector;
    bool leftLoading;
    std::vector<int> fired;
  };
  // The hunter (nation 2) looks along +x; its left side is +y.
  const Case cases[] = {
      {"enemy on the left", -1, VisVector_cl(0, 50, 0), 1, false, false, {51}},
      {"enemy on the right", -1, VisVector_cl(0, -50, 0), 1, false, false, {52}},
      {"beyond reach", -1, VisVector_cl(0, 71, 0), 1, false, false, {}},
      {"outside the spread", -1, VisVector_cl(20, 50, 0), 1, false, false, {}},
      {"own ship in the way", -1, VisVector_cl(0, 50, 0), 1, true, false, {}},
      {"left side reloading", -1, VisVector_cl(0, 50, 0), 1, false, true, {}},
      {"the nation attacked", 0, VisVector_cl(0, 50, 0), 0, false, false, {51}},
      {"an enemy of another nation", 0, VisVector_cl(0, 50, 0), 1, false, false, {}},
      {"own ship beside the nation attacked", 0, VisVector_cl(0, 50, 0), 0, true, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShipEntity* hunter = MakeShip("Hunter", 2, VisVector_cl(0, 0, 0));
    MakeShip("Other", c.otherNation, c.other);
    if (c.ownInSector) MakeShip("Mate", 2, VisVector_cl(0, c.other.y * 0.6f, 0));
    if (c.leftLoading) {
      auto* observer = new CannonObserverComponent();
      hunter->AddComponent(observer);
      observer->CannonLoading(CANNON_GROUP_LEFT);
    }
    GiveAI(hunter, AIShipComponent::AIMODE_ATTACK, c.attackNation);
    MessageLog* log = Listen(hunter);
    Frame();
    std::vector<int> fired;
    for (int id : log->Ids())
      if (id == VIS_MSG_USER_CANNON_IGNITE_LEFT || id == VIS_MSG_USER_CANNON_IGNITE_RIGHT) fired.push_back(id);
    EXPECT_EQ(fired, c.fired);
    for (const MessageLog::Entry& e : log->entries)
      if (e.id == VIS_MSG_USER_CANNON_IGNITE_LEFT || e.id == VIS_MSG_USER_CANNON_IGNITE_RIGHT) {
        EXPECT_EQ(e.p1, 1);
      }
    Vision::Game.RemoveAllEntities();
    naval_scenario::AddWarringNations("None", "Enemy");
  }
}

TEST_F(AIShipComponentTest, FightEndsInIdleWithoutHostilesWithin150AndThePathSendsTheShipSailing) {
  // Any hostile: an attacking AI ship of another nation keeps the fight going.
  ShipEntity* hunter = MakeShip("Hunter", 2, VisVector_cl(0, 0, 0));
  AIShipComponent* ai = GiveAI(hunter, AIShipComponent::AIMODE_ATTACK, -1);
  auto* path = new ShipPathComponent();
  hunter->AddComponent(path);
  ShipEntity* rival = MakeShip("Rival", 1, VisVector_cl(140, 0, 0));
  AIShipComponent* rivalAI = GiveAI(rival, AIShipComponent::AIMODE_ATTACK, 2);
  rivalAI->SetAIMode(AIShipComponent::AIMODE_ATTACK);
  Frame();
  EXPECT_EQ(ai->GetAIMode(), AIShipComponent::AIMODE_ATTACK);
  EXPECT_EQ(ai->GetTargetShip(), rival);
  rivalAI->SetAIMode(AIShipComponent::AIMODE_SAILING);  // no longer after us
  NextDecision();
  EXPECT_EQ(ai->GetAIMode(), AIShipComponent::AIMODE_SAILING);
  EXPECT_EQ(ai->GetAttackTargetNation(), -1);

  // A given nation: its closest ship must lie nearer than 150.
  ai->SetAttackTargetNation(1);
  ai->SetAIMode(AIShipComponent::AIMODE_ATTACK);
  rival->SetPosition(VisVector_cl(149, 0, 0));
  NextDecision();
  EXPECT_EQ(ai->GetAIMode(), AIShipComponent::AIMODE_ATTACK);
  rival->SetPosition(VisVector_cl(150, 0, 0));
  NextDecision();
  EXPECT_EQ(ai->GetAIMode(), AIShipComponent::AIMODE_SAILING);
  // Without a path component the ship stays idle.
  path->DisposeObject();
  ai->SetAttackTargetNation(1);
  ai->SetAIMode(AIShipComponent::AIMODE_ATTACK);
  NextDecision();
  EXPECT_EQ(ai->GetAIMode(), AIShipComponent::AIMODE_IDLE);
}

TEST_F(AIShipComponentTest, CowardFleesAtATenthOfItsHull) {
  struct Case {
    bool coward;
    int hull;
    int mode;
  };
  const Case cases[] = {{true, 10, AIShipComponent::AIMODE_ATTACK},
                        {true, 9, AIShipComponent::AIMODE_FLEE},
                        {false, 9, AIShipComponent::AIMODE_ATTACK}};
  for (const Case& c : cases) {
    ShipEntity* hunter = MakeShip("Hunter", 2, VisVector_cl(0, 0, 0), 0.0f, 95);
    hunter->GetStats()->GetHull().SetCurrent(c.hull);
    MakeShip("Prey", 1, VisVector_cl(100, 0, 0));
    AIShipComponent* ai = GiveAI(hunter, AIShipComponent::AIMODE_ATTACK, 1);
    ai->SetCoward(c.coward);
    Frame();
    EXPECT_EQ(ai->GetAIMode(), c.mode) << "coward " << c.coward << " hull " << c.hull;
    Vision::Game.RemoveAllEntities();
    naval_scenario::AddWarringNations("None", "Enemy");
  }
}

TEST_F(AIShipComponentTest, CalcSailModeByModeDistanceAndAvoidance) {
  ShipEntity* ship = MakeShip("Ship", 2, VisVector_cl(0, 0, 0));
  ShipEntity* other = MakeShip("Other", 1, VisVector_cl(0, 0, 0));
  AIShipComponent* ai = GiveAI(ship, AIShipComponent::AIMODE_IDLE);  // no frames: the fields stay as set
  struct Case {
    int mode;
    float distance;  // below 0: no target
    int avoidance;
    int sails;
  };
  using A = AIShipComponent;
  const Case cases[] = {
      {A::AIMODE_SAILING, -1, 5, 2},     {A::AIMODE_GOTO_TOWN, 10, 1, 2},  {A::AIMODE_IDLE, 40, 0, 0},
      {A::AIMODE_IDLE, 40, 5, 0},        {A::AIMODE_ATTACK, -1, 0, 0},     {A::AIMODE_ATTACK, -1, 5, 1},
      {A::AIMODE_ATTACK, 24.9f, 0, 1},   {A::AIMODE_ATTACK, 25, 0, 2},     {A::AIMODE_ATTACK, 25, 2, 1},
      {A::AIMODE_HOLD_FIRE, 22.9f, 0, 0}, {A::AIMODE_HOLD_FIRE, 23, 0, 1}, {A::AIMODE_HOLD_FIRE, 29.9f, 0, 1},
      {A::AIMODE_HOLD_FIRE, 30, 0, 2},   {A::AIMODE_HOLD_FIRE, 30, 3, 1},  {A::AIMODE_HOLD_FIRE, 10, 5, 1},
      {A::AIMODE_FLEE, -1, 0, 2},        {A::AIMODE_FLEE, -1, 4, 1},       {A::AIMODE_FLEE, 10, 0, 1},
      {A::AIMODE_FLEE, 40, 1, 1},
  };
  for (const Case& c : cases) {
    ai->SetAIMode(c.mode);
    other->SetPosition(VisVector_cl(c.distance, 0, 0));
    ai->SetTargetShip(c.distance < 0 ? nullptr : other);
    ai->SetAvoidance(c.avoidance, 1.0f);
    EXPECT_EQ(ai->CalcSailMode(), c.sails) << "mode " << c.mode << " at " << c.distance << " avoiding " << c.avoidance;
  }
}

TEST_F(AIShipComponentTest, EscortKeepsFifteenShortOfThePlayersShipAndFleesWithoutOne) {
  ShipEntity* player = MakeShip("Player", 1, VisVector_cl(0, 100, 0), 0.0f, 100, true);
  ShipEntity* escort = MakeShip("Escort", 1, VisVector_cl(0, 0, 0));
  AIShipComponent* ai = GiveAI(escort, AIShipComponent::AIMODE_HOLD_FIRE);
  MessageLog* log = Listen(escort);
  Frame();
  EXPECT_EQ(ai->GetTargetShip(), player);
  EXPECT_NEAR(Wrapped(LastHeading(log)), 90.0f, 1e-3f);
  EXPECT_EQ(ai->GetSailMode(), 2);
  // Nearer than 15: the point short of it lies behind, so the escort turns back.
  player->SetPosition(VisVector_cl(10, 0, 0));
  NextDecision();
  EXPECT_NEAR(Wrapped(LastHeading(log)), 180.0f, 1e-3f);
  EXPECT_EQ(ai->GetSailMode(), 0);
  player->GetStats()->SetPlayerShip(false);
  NextDecision();
  EXPECT_EQ(ai->GetAIMode(), AIShipComponent::AIMODE_FLEE);
}

TEST_F(AIShipComponentTest, FleeTurnsFromTheEnemiesCentre) {
  ShipEntity* runner = MakeShip("Runner", 2, VisVector_cl(0, 0, 0));
  MakeShip("A", 1, VisVector_cl(40, 30, 0));
  MakeShip("B", 1, VisVector_cl(40, -30, 0));
  AIShipComponent* ai = GiveAI(runner, AIShipComponent::AIMODE_FLEE);
  MessageLog* log = Listen(runner);
  Frame();
  EXPECT_NEAR(Wrapped(LastHeading(log)), 180.0f, 1e-3f);
  EXPECT_EQ(ai->GetTargetShip(), nullptr);
  EXPECT_EQ(log->Count(VIS_MSG_USER_SHIP_FULLSAILS), 1);
}

TEST_F(AIShipComponentTest, SailingFollowsThePathAndIdlesAtItsEnd) {
  ShipEntity* ship = MakeShip("Sailor", 2, VisVector_cl(0, 0, 0));
  AIShipComponent* ai = GiveAI(ship, AIShipComponent::AIMODE_SAILING);
  auto* path = new ShipPathComponent();
  ship->AddComponent(path);
  path->MakePathTo(VisVector_cl(0, 200, 0), false);
  MessageLog* log = Listen(ship);
  Frame();
  EXPECT_NEAR(Wrapped(LastHeading(log)), 90.0f, 1e-3f);
  EXPECT_EQ(log->Count(VIS_MSG_USER_SHIP_FULLSAILS), 1);
  EXPECT_EQ(ai->GetAIMode(), AIShipComponent::AIMODE_SAILING);
  // At the end of a path that does not go on, the ship idles.
  path->SetLooping(false);
  ship->SetPosition(VisVector_cl(0, 200, 0));
  path->ClearPath();
  path->AddWaypoint(VisVector_cl(0, 200, 0), false);
  path->AddWaypoint(VisVector_cl(0, 210, 0), false);
  NextDecision();
  EXPECT_EQ(ai->GetAIMode(), AIShipComponent::AIMODE_IDLE);
}

TEST_F(AIShipComponentTest, ShipOfThePlayersNationEntersItsTownAndOthersTurnBack) {
  auto* town = static_cast<TownEntity*>(Vision::Game.CreateEntity("TownEntity", VisVector_cl(0, 300, 0)));
  town->SetEntityKey("Port Saltby");
  struct Case {
    int nation;
    bool entered;
  };
  for (const Case& c : {Case{1, true}, Case{2, false}}) {
    ShipEntity* ship = MakeShip("Trader", c.nation, VisVector_cl(0, 0, 0));
    AIShipComponent* ai = GiveAI(ship, AIShipComponent::AIMODE_GOTO_TOWN);
    ai->SetOnManualPath(true);
    auto* path = new ShipPathComponent();
    ship->AddComponent(path);
    ai->SetTargetTown(town);
    // The berth lies 25 off the town's right side (-y for a town facing +x).
    ASSERT_TRUE(path->GetLastNode());
    EXPECT_TRUE(path->GetLastNode()->GetPosition().IsEqual(VisVector_cl(0, 275, 0), 1e-3f));
    MessageLog* log = Listen(ship);
    Frame();
    EXPECT_NEAR(Wrapped(LastHeading(log)), 90.0f, 1e-3f);
    EXPECT_TRUE(ship->GetStats()->GetLocation().IsEmpty());

    ShipStats* record = ship->GetStats();
    ship->SetPosition(VisVector_cl(0, 270, 0));
    NextDecision();
    if (c.entered) {
      EXPECT_STREQ(record->GetLocation().AsChar(), "Port Saltby");
      EXPECT_FALSE(Alive(ship));
    } else {
      EXPECT_TRUE(record->GetLocation().IsEmpty());
      EXPECT_TRUE(Alive(ship));
      // Back the way it came, and on that course again.
      EXPECT_TRUE(path->GetLastNode()->GetPosition().IsEqual(VisVector_cl(0, 0, 0), 1e-3f));
      EXPECT_EQ(ai->GetAIMode(), AIShipComponent::AIMODE_GOTO_TOWN);
      ship->Remove();
    }
  }
}

TEST_F(AIShipComponentTest, AttackDecisionRollsOncePerEncounter) {
  ShipEntity* ship = MakeShip("Guard", 1, VisVector_cl(0, 0, 0));
  AIShipComponent* ai = GiveAI(ship, AIShipComponent::AIMODE_SAILING);
  ShipEntity* raider = MakeShip("Raider", 2, VisVector_cl(80, 0, 0));
  AIShipComponent* raiderAI = GiveAI(raider, AIShipComponent::AIMODE_ATTACK, 1);
  MathTools::SetUseFixedRandom(true);  // every draw is 0
  ai->MakeAttackDecision(100.0f, 0);   // 0 < 0 fails: no attack this encounter
  EXPECT_EQ(ai->GetAIMode(), AIShipComponent::AIMODE_SAILING);
  ai->MakeAttackDecision(100.0f, 100);
  EXPECT_EQ(ai->GetAIMode(), AIShipComponent::AIMODE_SAILING);
  // Out of range ends the encounter; the next one rolls again.
  ai->MakeAttackDecision(50.0f, 100);
  // Hostile because it chases a ship of ours; it is told to attack our nation.
  raiderAI->SetAttackTargetNation(0);
  raiderAI->SetTargetShip(ship);
  ai->MakeAttackDecision(100.0f, 100);
  MathTools::SetUseFixedRandom(false);
  EXPECT_EQ(ai->GetAIMode(), AIShipComponent::AIMODE_ATTACK);
  EXPECT_EQ(ai->GetAttackTargetNation(), 2);
  EXPECT_EQ(raiderAI->GetAttackTargetNation(), 1);
  EXPECT_EQ(raiderAI->GetAIMode(), AIShipComponent::AIMODE_ATTACK);
}

TEST_F(AIShipComponentTest, NoiseOfAShipOfTheOwnNationJoinsItsFightDuringABattle) {
  ShipEntity* ship = MakeShip("Guard", 2, VisVector_cl(0, 0, 0));
  AIShipComponent* ai = GiveAI(ship, AIShipComponent::AIMODE_SAILING);
  ShipEntity* mate = MakeShip("Mate", 2, VisVector_cl(50, 0, 0));
  GiveAI(mate, AIShipComponent::AIMODE_ATTACK, 1);
  ShipEntity* stranger = MakeShip("Stranger", 0, VisVector_cl(50, 0, 0));
  GiveAI(stranger, AIShipComponent::AIMODE_ATTACK, 1);
  auto hear = [&](ShipEntity* source, float volume) {
    NoiseListenerComponent::HeardNoise noise{source, volume, 0};
    ship->SendMsg(300, reinterpret_cast<INT_PTR>(&noise), 0);
  };
  hear(mate, 1.0f);  // no battle yet
  EXPECT_EQ(ai->GetAIMode(), AIShipComponent::AIMODE_SAILING);
  BattleManager::GetInstance()->StartBattle();
  hear(stranger, 1.0f);
  hear(mate, 0.0f);
  EXPECT_EQ(ai->GetAIMode(), AIShipComponent::AIMODE_SAILING);
  hear(mate, 0.5f);
  EXPECT_EQ(ai->GetAIMode(), AIShipComponent::AIMODE_ATTACK);
  EXPECT_EQ(ai->GetAttackTargetNation(), 1);
}

TEST_F(AIShipComponentTest, UnseenRemovableShipIsRemovedAfterTenSeconds) {
  std::vector<MessageLog::Entry> seen;
  ShipEntity* watched = MakeShip("Watched", 2, VisVector_cl(0, 0, 0));
  ShipEntity* lost = MakeShip("Lost", 2, VisVector_cl(0, 500, 0));
  for (ShipEntity* ship : {watched, lost}) GiveAI(ship, AIShipComponent::AIMODE_IDLE)->SetCanRemove(1);
  GiveAI(MakeShip("Kept", 2, VisVector_cl(0, 900, 0)), AIShipComponent::AIMODE_IDLE);
  Listen(lost, &seen);
  Frames(599);
  EXPECT_TRUE(Alive(lost));
  for (int i = 0; i < 4; ++i) {
    watched->SetInViewLastFrame(true);
    Frame();
  }
  EXPECT_FALSE(Alive(lost));
  EXPECT_EQ(MessageLog::Count(seen, VIS_MSG_USER_SHIP_DIES), 1);
  EXPECT_TRUE(Alive(watched));
  EXPECT_EQ(EntitiesOf("ShipEntity").size(), 2u);
}

TEST_F(AIShipComponentTest, PausedOrSunkTheAIDecidesNothing) {
  ShipEntity* hunter = MakeShip("Hunter", 2, VisVector_cl(0, 0, 0));
  ShipEntity* prey = MakeShip("Prey", 1, VisVector_cl(0, 50, 0));
  AIShipComponent* ai = GiveAI(hunter, AIShipComponent::AIMODE_ATTACK, 1);
  MessageLog* log = Listen(hunter);
  PauseManager::GetInstance()->SetGamePause(true);
  ai->SetTargetShip(prey);
  prey->GetStats()->GetHull().SetCurrent(0);
  Frames(3);
  EXPECT_TRUE(log->entries.empty());
  EXPECT_EQ(ai->GetTargetShip(), nullptr);
  PauseManager::GetInstance()->SetGamePause(false);
  hunter->SendMsg(VIS_MSG_USER_SHIP_SINK, 0, 0);
  log->entries.clear();
  Frames(3);
  EXPECT_EQ(log->Count(VIS_MSG_USER_SHIP_SETTARGETHEADING), 0);
  EXPECT_FALSE(ai->IsActive());
}

TEST_F(AIShipComponentTest, MessagesSetModesAndForgetOnlyTheDeadTarget) {
  ShipEntity* ship = MakeShip("Ship", 2, VisVector_cl(0, 0, 0));
  ShipEntity* target = MakeShip("Target", 1, VisVector_cl(0, 50, 0));
  ShipEntity* other = MakeShip("Other", 1, VisVector_cl(0, 90, 0));
  AIShipComponent* ai = GiveAI(ship, AIShipComponent::AIMODE_IDLE);
  const std::pair<int, int> modes[] = {{13, 0}, {14, 1}, {15, 2}, {27, 4}, {28, 3}, {26, 5}};
  for (const auto& [message, mode] : modes) {
    ai->SetAttackTargetNation(1);
    ship->SendMsg(message, 0, 0);
    EXPECT_EQ(ai->GetAIMode(), mode) << message;
    EXPECT_EQ(ai->GetAttackTargetNation(), message == 26 ? -1 : 1) << message;
  }
  ai->SetTargetShip(target);
  ai->MessageFunction(VIS_MSG_USER_SHIP_DIES, reinterpret_cast<INT_PTR>(other), 0);
  EXPECT_EQ(ai->GetTargetShip(), target);
  ai->MessageFunction(VIS_MSG_USER_SHIP_DIES, reinterpret_cast<INT_PTR>(target), 0);
  EXPECT_EQ(ai->GetTargetShip(), nullptr);
}

// Collision avoidance over a physics world: ships with rigid bodies and a height field.
class AIShipAvoidanceTest : public AIShipComponentTest {
 protected:
  void SetUp() override {
    AIShipComponentTest::SetUp();
    physics = std::make_unique<vPhysXModule>();
    vPhysXModule::SetInstance(physics.get());
  }
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    vPhysXModule::SetInstance(nullptr);
    physics.reset();
    Vision::World.ClearTerrain();
    AIShipComponentTest::TearDown();
  }
  // A ship of nation 2 with a rigid body: a box 50 long, 10 wide, 11 high.
  ShipEntity* Obstacle(const VisVector_cl& at) {
    ShipEntity* ship = MakeShip("Obstacle", 2, at);
    auto* body = new vPhysXRigidBody();
    ship->AddComponent(body);
    return ship;
  }
  // Land (height 5) where y <= -10, sea (-5) where y >= 0.
  static void LandOnTheRight() {
    std::vector<float> heights;
    for (int row = 0; row < 21; ++row) {
      const float y = -100.0f + 10.0f * (float)row;
      heights.push_back(y <= -10.0f ? 5.0f : -5.0f);
      heights.push_back(y <= -10.0f ? 5.0f : -5.0f);
    }
    ASSERT_TRUE(Vision::World.SetHeightFieldTerrain(VisVector_cl(-100, -100, 0), 200.0f, 200.0f, 2, 21, heights));
  }

  std::unique_ptr<vPhysXModule> physics;
};

TEST_F(AIShipAvoidanceTest, AShipAheadOrLandTurnsTheShipAwayUnderBattleSails) {
  struct Case {
    const char* name;
    bool ship;
    bool land;
    int state;
    float heading;
  };
  // A ship ahead on the right (state 1) turns the runner left by 10 degrees; land on
  // the right (state 3) turns it by less, the freer the water.
  const Case cases[] = {
      {"open water", false, false, 0, NAN},
      {"ship ahead on the right", true, false, 1, 10.0f},
      {"land on the right", false, true, 3, NAN},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.ship) Obstacle(VisVector_cl(30, -12, 0));
    if (c.land) LandOnTheRight();
    ShipEntity* runner = MakeShip("Runner", 2, VisVector_cl(0, 0, 0));
    AIShipComponent* ai = GiveAI(runner, AIShipComponent::AIMODE_FLEE, -1, true);
    MessageLog* log = Listen(runner);
    Frame();
    EXPECT_EQ(ai->GetAvoidanceState(), c.state);
    EXPECT_EQ(ai->GetSailMode(), c.state ? 1 : 2);
    NextDecision();
    if (c.state == 0) {
      EXPECT_EQ(log->Count(VIS_MSG_USER_SHIP_SETTARGETHEADING), 0);
      EXPECT_EQ(ai->GetFreeWaterRatio(), 1.0f);
    } else if (c.state == 3) {
      const float q = 1.0f - std::min(ai->GetFreeWaterRatio(), 0.9f);
      EXPECT_GT(LastHeading(log), 0.0f);
      EXPECT_LE(LastHeading(log), 10.0f * q + 1e-3f);
    } else {
      EXPECT_NEAR(LastHeading(log), c.heading, 1e-3f);
      EXPECT_LT(ai->GetFreeWaterRatio(), 1.0f);
    }
    Vision::Game.RemoveAllEntities();
    Vision::World.ClearTerrain();
    naval_scenario::AddWarringNations("None", "Enemy");
  }
}

TEST_F(AIShipAvoidanceTest, ObstaclesOnBothSidesOrTheLeftGiveTheirStates) {
  struct Case {
    const char* name;
    std::vector<VisVector_cl> ships;
    int state;
  };
  const Case cases[] = {
      {"ship ahead on the left", {VisVector_cl(30, 12, 0)}, 2},
      {"ships on both beams", {VisVector_cl(30, 12, 0), VisVector_cl(30, -12, 0)}, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const VisVector_cl& at : c.ships) Obstacle(at);
    ShipEntity* runner = MakeShip("Runner", 2, VisVector_cl(0, 0, 0));
    AIShipComponent* ai = GiveAI(runner, AIShipComponent::AIMODE_IDLE, -1, true);
    Frame();
    EXPECT_EQ(ai->GetAvoidanceState(), c.state);
    Vision::Game.RemoveAllEntities();
    naval_scenario::AddWarringNations("None", "Enemy");
  }
}

TEST_F(AIShipAvoidanceTest, WithoutCollisionAvoidanceTheHeadingPassesUnchanged) {
  Obstacle(VisVector_cl(30, -12, 0));
  LandOnTheRight();
  ShipEntity* runner = MakeShip("Runner", 2, VisVector_cl(0, 0, 0));
  MakeShip("Enemy", 1, VisVector_cl(0, 50, 0));
  AIShipComponent* ai = GiveAI(runner, AIShipComponent::AIMODE_FLEE, -1, false);
  MessageLog* log = Listen(runner);
  Frames(7);
  EXPECT_EQ(ai->GetAvoidanceState(), 0);
  EXPECT_NEAR(Wrapped(LastHeading(log)), 270.0f, 1e-3f);
  EXPECT_EQ(log->Count(VIS_MSG_USER_SHIP_SETTARGETHEADING), 1);
  EXPECT_EQ(ai->GetSailMode(), 2);
}

// The saved block: older versions keep the fields they do not hold.
TEST_F(AIShipComponentTest, OlderBlocksReadTheirFieldsAndKeepTheRest) {
  auto block = [](char version) {
    return archive_test::SaveBytes([version](VArchive& ar) {
      ar << "ARCH" << version;
      ar << 2 << 45.0f << 0.01f << 0.3f << 0.05f;  // sails, heading, timers
      ar << 1 << 3 << 4 << true << true;             // approach, mode, avoidance, active, manual path
      ar << VString("");
      if (version >= 3) ar << false;                  // coward
      if (version >= 4) ar << 4.5f << 1;              // lifetime, can remove
      if (version >= 5) ar << 2;                      // attack nation
      ar << "EOA";
    });
  };
  for (int number : {2, 3, 4, 5}) {
    SCOPED_TRACE(number);
    const char version = (char)number;
    AIShipComponent ai;
    ai.SetCoward(true);
    EXPECT_TRUE(archive_test::LoadBytes(block(version), [&](VArchive& ar) { ai.SerializeX(ar); }));
    EXPECT_EQ(ai.GetSailMode(), 2);
    EXPECT_EQ(ai.GetHeading(), 45.0f);
    EXPECT_EQ(ai.GetApproachState(), 1);
    EXPECT_EQ(ai.GetAIMode(), AIShipComponent::AIMODE_GOTO_TOWN);
    EXPECT_EQ(ai.GetAvoidanceState(), 4);
    EXPECT_TRUE(ai.IsOnManualPath());
    EXPECT_EQ(ai.IsCoward(), version < 3);
    EXPECT_EQ(ai.GetLifeTime(), version >= 4 ? 4.5f : 10.0f);
    EXPECT_EQ(ai.CanRemove(), version >= 4 ? 1 : 0);
    EXPECT_EQ(ai.GetAttackTargetNation(), version >= 5 ? 2 : -1);
  }
}

}  // namespace
