// Sailing: the speed and turn rate of each sail setting, the speed approaching
// it and slowed by hull damage, turning toward a target heading with headings
// kept in [-180, 180), pausing, sinking and the game-area border.
#include "components/ShipMovementComponent.h"

#include "components/ShipSailComponent.h"
#include "core/ComponentMessages.h"
#include "entities/ShipStats.h"
#include "Managers/PauseManager.h"
#include "Managers/SpeechManager.h"
#include "Managers/TutorialManager.h"
#include "support/ArchiveRoundTrip.h"
#include "support/ShipTestWorld.h"
#include "util/MathTools.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <memory>

namespace {

class ShipMovementTest : public ShipTestWorld {
 protected:
  // A ship without configuration (moved directly) with a sail and a movement
  // component and a record of 100 hull points.
  ShipEntity* MakeShip(int nation = 2, const VisVector_cl& position = VisVector_cl(0, 0, 0)) {
    ShipEntity* ship = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", position));
    records.push_back(std::make_unique<ShipStats>());
    ShipStats* record = records.back().get();
    record->SetShipNation(nation);
    record->GetHull().SetMaximum(100);
    record->GetHull().SetCurrent(100);
    ship->SetStats(record);
    ship->SetNation(nation);
    GameManager::GetInstance()->GetNation(nation)->AddShip(ship);
    ship->AddComponent(new ShipSailComponent());
    movement = new ShipMovementComponent();
    ship->AddComponent(movement);
    return ship;
  }

  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    records.clear();
    PauseManager::CleanInstance();
    ShipTestWorld::TearDown();
  }

  static float Heading(ShipMovementComponent* m, float value) {
    m->MessageFunction(VIS_MSG_USER_SHIP_SETCURRENTHEADING, (INT_PTR)&value, 0);
    return value;
  }
  static void Target(VisTypedEngineObject_cl* ship, float value) {
    ship->SendMsg(VIS_MSG_USER_SHIP_SETTARGETHEADING, (INT_PTR)&value, 0);
  }

  std::vector<std::unique_ptr<ShipStats>> records;
  ShipMovementComponent* movement = nullptr;
};

struct SailCase {
  int message;
  float speed;
  float turnRate;
};

class ShipSailSpeedTest : public ShipMovementTest, public ::testing::WithParamInterface<SailCase> {};

TEST_P(ShipSailSpeedTest, EachSailModeSetsItsSpeedAndTurnRate) {
  const SailCase& c = GetParam();
  ShipEntity* ship = MakeShip();
  ship->SendMsg(c.message);
  EXPECT_FLOAT_EQ(movement->GetSpeedWithCurrentSails(), c.speed);
  EXPECT_FLOAT_EQ(movement->GetTurnSpeedWithCurrentSails(), c.turnRate);
}

INSTANTIATE_TEST_SUITE_P(Sails, ShipSailSpeedTest,
                         ::testing::Values(SailCase{VIS_MSG_USER_SHIP_NOSAILS, 5.0f, 5.0f},
                                           SailCase{VIS_MSG_USER_SHIP_BATTLESAILS, 10.0f, 50.0f},
                                           SailCase{VIS_MSG_USER_SHIP_FULLSAILS, 20.0f, 40.0f},
                                           // Raising from no sails goes through the sail component.
                                           SailCase{VIS_MSG_USER_SHIP_INCSAILMODE, 10.0f, 50.0f}));

TEST_F(ShipMovementTest, SpeedApproachesTheSailSpeedAndMovesTheShipAlongItsHeading) {
  ShipEntity* ship = MakeShip();
  ship->SendMsg(VIS_MSG_USER_SHIP_FULLSAILS);
  Frames(60);  // one second: 5 units per second of acceleration
  EXPECT_NEAR(movement->GetCurrentSpeed(), 5.0f, 1e-3f);
  EXPECT_NEAR(movement->GetLastForwardSpeed(), 7.5f, 1e-3f);
  Frames(200);
  EXPECT_FLOAT_EQ(movement->GetCurrentSpeed(), 20.0f);

  // Heading 0 sails along +x at 1.5 times the speed, per second.
  const VisVector_cl before = ship->GetPosition();
  Frames(60);
  const VisVector_cl moved = ship->GetPosition() - before;
  EXPECT_NEAR(moved.x, 30.0f, 0.3f);
  EXPECT_NEAR(moved.y, 0.0f, 1e-3f);

  // Striking the sails slows it down again.
  ship->SendMsg(VIS_MSG_USER_SHIP_NOSAILS);
  Frames(60);
  EXPECT_NEAR(movement->GetCurrentSpeed(), 15.0f, 1e-3f);
}

struct HullCase {
  int maximum;
  int current;
  float factor;
};

class ShipHullSpeedTest : public ShipMovementTest, public ::testing::WithParamInterface<HullCase> {};

TEST_P(ShipHullSpeedTest, HullDamageSlowsTheShipDownToHalfSpeed) {
  const HullCase& c = GetParam();
  ShipEntity* ship = MakeShip();
  ship->GetStats()->GetHull().SetMaximum(c.maximum);
  ship->GetStats()->GetHull().SetCurrent(c.current);
  ship->SendMsg(VIS_MSG_USER_SHIP_FULLSAILS);
  Frames(300);
  EXPECT_FLOAT_EQ(movement->GetCurrentSpeed(), 20.0f * c.factor);
}

INSTANTIATE_TEST_SUITE_P(Hull, ShipHullSpeedTest,
                         ::testing::Values(HullCase{100, 30, 0.5f}, HullCase{100, 80, 0.8f}, HullCase{100, 100, 1.0f},
                                           HullCase{100, 0, 0.5f},
                                           // An empty or untracked maximum does not slow the ship.
                                           HullCase{0, 0, 1.0f}, HullCase{-1, 10000, 1.0f}));

TEST_F(ShipMovementTest, WithoutRecordTheShipDoesNotSail) {
  ShipEntity* ship = MakeShip();
  ship->SetStats(nullptr);
  ship->SendMsg(VIS_MSG_USER_SHIP_FULLSAILS);
  Frames(30);
  EXPECT_FLOAT_EQ(movement->GetCurrentSpeed(), 0.0f);
  EXPECT_FLOAT_EQ(ship->GetPosition().x, 0.0f);
}

TEST_F(ShipMovementTest, AShipKeepsTheHeadingItWasPlacedWith) {
  VisBaseEntity_cl* ship = Vision::Game.CreateEntity("ShipEntity", VisVector_cl(0, 0, 0));
  ship->SetOrientation(135.0f, 0.0f, 0.0f);
  auto* placed = new ShipMovementComponent();
  ASSERT_TRUE(ship->AddComponent(placed));
  EXPECT_FLOAT_EQ(placed->GetCurrentHeading(), 135.0f);
  EXPECT_FLOAT_EQ(placed->GetTargetHeading(), 135.0f);
}

TEST_F(ShipMovementTest, TurningOrdersAreWrappedIntoHalfTurns) {
  MakeShip();
  Heading(movement, 170.0f);
  movement->TurnLeft();
  EXPECT_FLOAT_EQ(movement->GetTargetHeading(), 175.0f);
  Heading(movement, 178.0f);
  movement->TurnLeft();
  EXPECT_FLOAT_EQ(movement->GetTargetHeading(), -177.0f);
  Heading(movement, -178.0f);
  movement->TurnRight();
  EXPECT_FLOAT_EQ(movement->GetTargetHeading(), 177.0f);
  movement->SetTargetHeading(540.0f);
  EXPECT_FLOAT_EQ(movement->GetTargetHeading(), -180.0f);
}

TEST_F(ShipMovementTest, TurnsTowardTheTargetWithLimitedTurnAcceleration) {
  ShipEntity* ship = MakeShip();
  ship->SendMsg(VIS_MSG_USER_SHIP_FULLSAILS);  // 40 degrees per second
  Target(ship, 90.0f);
  float last = movement->GetCurrentHeading();
  float lastStep = 0.0f;
  for (int i = 0; i < 5; ++i) {
    Frame();
    const float step = movement->GetCurrentHeading() - last;
    EXPECT_GT(step, lastStep);
    EXPECT_LE(step - lastStep, 2.0f * kStep + 1e-5f);  // grows by at most 2 x dt per frame
    EXPECT_LT(step, 40.0f * kStep);
    last = movement->GetCurrentHeading();
    lastStep = step;
  }
  // The turn cannot slow down at once: the ship swings a little past the target and
  // then holds its heading instead of swinging back.
  Frames(600);
  const float settled = movement->GetCurrentHeading();
  EXPECT_GE(settled, 90.0f);
  EXPECT_LT(settled, 93.0f);
  EXPECT_FLOAT_EQ(movement->GetTargetHeading(), settled);
  Frames(60);
  EXPECT_FLOAT_EQ(movement->GetCurrentHeading(), settled);
  EXPECT_NEAR(ship->GetOrientation().x, settled, 1e-3f);
}

TEST_F(ShipMovementTest, TurnsTheShortWayAcrossTheHalfTurnAndStaysInRange) {
  ShipEntity* ship = MakeShip();
  ship->SendMsg(VIS_MSG_USER_SHIP_BATTLESAILS);
  Heading(movement, 170.0f);
  Target(ship, -170.0f);  // 20 degrees away, across 180
  bool crossed = false;
  for (int i = 0; i < 600; ++i) {
    Frame();
    const float h = movement->GetCurrentHeading();
    ASSERT_GE(h, -180.0f);
    ASSERT_LT(h, 180.0f);
    crossed = crossed || h < 0.0f;
    ASSERT_TRUE(h >= 169.9f || h <= -160.0f) << "turned the long way, at " << h;
  }
  EXPECT_TRUE(crossed);
  EXPECT_NEAR(movement->GetCurrentHeading(), -170.0f, 7.0f);
}

TEST_F(ShipMovementTest, PauseStopsTurningAndSailingButNotTheWaves) {
  ShipEntity* ship = MakeShip();
  ship->SendMsg(VIS_MSG_USER_SHIP_FULLSAILS);
  Target(ship, 90.0f);
  Frames(30);
  PauseManager::GetInstance()->SetGamePause(true);
  const float heading = movement->GetCurrentHeading();
  const VisVector_cl position = ship->GetPosition();
  const VisVector_cl orientation = ship->GetOrientation();
  Frames(10);
  EXPECT_FLOAT_EQ(movement->GetCurrentHeading(), heading);
  EXPECT_TRUE(ship->GetPosition().IsEqual(position, 1e-6f));
  EXPECT_NE(ship->GetOrientation().z, orientation.z);  // the roll goes on
}

TEST_F(ShipMovementTest, SinkingStopsAllMovementForGood) {
  ShipEntity* ship = MakeShip();
  ship->SendMsg(VIS_MSG_USER_SHIP_FULLSAILS);
  Target(ship, 45.0f);
  Frames(30);
  ship->SendMsg(VIS_MSG_USER_SHIP_SINK);
  EXPECT_TRUE(movement->IsSinking());
  EXPECT_FLOAT_EQ(movement->GetSpeedWithCurrentSails(), 0.0f);
  const VisVector_cl position = ship->GetPosition();
  const VisVector_cl orientation = ship->GetOrientation();
  ship->SendMsg(VIS_MSG_USER_SHIP_FULLSAILS);
  Frames(30);
  EXPECT_TRUE(ship->GetPosition().IsEqual(position, 1e-6f));
  EXPECT_TRUE(ship->GetOrientation().IsEqual(orientation, 1e-6f));
}

TEST_F(ShipMovementTest, DisabledForOneFrameSkipsExactlyThatFrame) {
  ShipEntity* ship = MakeShip();
  ship->SendMsg(VIS_MSG_USER_SHIP_FULLSAILS);
  Frames(60);
  const float x = ship->GetPosition().x;
  ship->DisableMovementOneFrame();
  Frame();
  EXPECT_FLOAT_EQ(ship->GetPosition().x, x);
  EXPECT_EQ(ship->GetDisableMovementOneFrame(), 0);
  Frame();
  EXPECT_GT(ship->GetPosition().x, x);
}

// The game area of these tests: the square from -100 to 100, corners clockwise.
const char* const kAreaScript =
    "local corners = { [1] = {-100, -100}, [3] = {-100, 100}, [5] = {100, 100}, [7] = {100, -100} }\n"
    "function GetGameAreaPosition(i) return corners[i][1], corners[i][2] end\n";

TEST_F(ShipMovementTest, ThePlayersShipIsSteeredBackAtTheGameAreaBorder) {
  Write("scripts/Area.lua", kAreaScript);
  Vision::GetScriptManager()->SetGameScript(Vision::GetScriptManager()->CreateScriptInstanceFromFile("scripts/Area.lua"));
  GameManager::GetInstance()->SetLocation(0);
  GameSessionManager* session = GameSessionManager::GetInstance();
  session->InitGameArea();
  ASSERT_EQ(session->GetGameArea().size(), 4u);

  ShipEntity* ship = MakeShip(1, VisVector_cl(95, 0, 0));
  ship->GetStats()->SetPlayerShip(true);
  ASSERT_EQ(GameManager::GetInstance()->GetPlayerEntity(), ship);
  ship->SendMsg(VIS_MSG_USER_SHIP_BATTLESAILS);
  float side = 0.0f;
  while (session->IsPlayerShipInsideGameArea(&side)) {
    EXPECT_FALSE(movement->IsOverBorder());
    Frame();
  }
  ASSERT_TRUE(movement->IsOverBorder());
  // Without a running GUI no bubble is made, so nothing holds the hot keys.
  EXPECT_FALSE(SpeechManager::GetInstance()->HasBubble());
  Vision::Key.InjectKey(-1, 59, true);  // the tutorials key
  GameManager::GetInstance()->ProcessKeys();
  Vision::Key.Reset();
  EXPECT_TRUE(TutorialManager::GetInstance()->IsFastTutorial());
  TutorialManager::CleanInstance();
  EXPECT_FLOAT_EQ(movement->GetSpeedWithCurrentSails(), 10.0f);  // the first frame only says so

  // Each later frame outside: full sails and a heading pushed by the side value;
  // turning orders wait.
  const float target = movement->GetTargetHeading();
  movement->TurnLeft();
  EXPECT_FLOAT_EQ(movement->GetTargetHeading(), target);
  Frame();
  ASSERT_FALSE(session->IsPlayerShipInsideGameArea(&side));
  EXPECT_FLOAT_EQ(movement->GetSpeedWithCurrentSails(), 20.0f);
  EXPECT_FLOAT_EQ(movement->GetTurnSpeedWithCurrentSails(), 40.0f);
  EXPECT_NE(movement->GetTargetHeading(), target);

  // Back inside, the border lets go.
  ship->SetPosition(VisVector_cl(0, 0, 0));
  Frame();
  EXPECT_FALSE(movement->IsOverBorder());
  movement->TurnLeft();
  EXPECT_FLOAT_EQ(movement->GetTargetHeading(), MathTools::WrapAngle(movement->GetCurrentHeading() + 5.0f));
}

TEST_F(ShipMovementTest, OnlyThePlayersShipOnTheWorldMapKnowsTheBorder) {
  Write("scripts/Area.lua", kAreaScript);
  Vision::GetScriptManager()->SetGameScript(Vision::GetScriptManager()->CreateScriptInstanceFromFile("scripts/Area.lua"));
  GameSessionManager::GetInstance()->InitGameArea();
  ShipEntity* ship = MakeShip(1, VisVector_cl(150, 0, 0));
  ship->GetStats()->SetPlayerShip(true);
  Frames(3);  // location 2: a sea battle has no border
  EXPECT_FALSE(movement->IsOverBorder());
  GameManager::GetInstance()->SetLocation(0);
  ShipEntity* other = MakeShip(2, VisVector_cl(150, 50, 0));
  ShipMovementComponent* otherMovement = movement;
  Frames(3);
  EXPECT_FALSE(otherMovement->IsOverBorder());
  EXPECT_TRUE(ship->Components<ShipMovementComponent>()->IsOverBorder());
  (void)other;
}

TEST_F(ShipMovementTest, SaveBlockRoundTrips) {
  MakeShip();
  movement->SetSpeedFactor(1.5f);
  movement->SetTurnFactor(0.5f);
  movement->SetBoostTime(2.0f);
  Heading(movement, 33.0f);
  ShipMovementComponent fresh;
  auto io = [](ShipMovementComponent& m, VArchive& ar) { m.SerializeX(ar); };
  archive_test::Bytes written;
  ASSERT_TRUE(archive_test::RoundTrip(*movement, fresh, io, io, &written));
  EXPECT_FLOAT_EQ(fresh.GetCurrentHeading(), 33.0f);
  EXPECT_FLOAT_EQ(fresh.GetSpeedFactor(), 1.5f);
  EXPECT_FLOAT_EQ(fresh.GetBoostTime(), 2.0f);

  // A version-2 block has no factors: they stay as they were.
  archive_test::Bytes v2 = written;
  v2.resize(written.size() - 15);  // less the two factors and "EOA"
  v2.at(8) = 2;
  const uint8_t endTag[] = {3, 0, 0, 0, 'E', 'O', 'A'};
  v2.insert(v2.end(), std::begin(endTag), std::end(endTag));
  ShipMovementComponent old;
  ASSERT_TRUE(archive_test::LoadBytes(v2, [&](VArchive& ar) { old.SerializeX(ar); }));
  EXPECT_FLOAT_EQ(old.GetCurrentHeading(), 33.0f);
  EXPECT_FLOAT_EQ(old.GetSpeedFactor(), 1.0f);
}

}  // namespace
