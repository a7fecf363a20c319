// The player's ship by mouse: where the cursor meets the water, which side a left
// click fires, a right click's heading and sails, and the guards that hold fire.
#include "components/ShipMovementComponent.h"
#include "components/ShipSailComponent.h"
#include "core/ComponentMessages.h"
#include "core/Player.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "Managers/PauseManager.h"
#include "Managers/SpeechManager.h"

#include "support/GuiTestEnvironment.h"
#include "support/MessageRecorder.h"
#include "support/NavalScenario.h"

#include "engine/core/VisParticleGroupManager.h"
#include "engine/core/VisRenderContext.h"

#include <CEGUI/CEGUI.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

namespace {

class PlayerShipTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env.Start(1.0f / 60.0f);
    gui = env.StartGui();
    ASSERT_TRUE(gui->IsInitialized());
    naval_scenario::AddWarringNations("None", "Enemy");  // at sea (location 2)
    // The player's ship at the origin heading along +x (its left is +y).
    ship = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", VisVector_cl(0, 0, 0)));
    record.SetPlayerShip(true);
    record.SetShipNation(1);
    ship->SetStats(&record);
    ship->SetNation(1);
    GameManager::GetInstance()->GetNation(1)->AddShip(ship);
    sails = new ShipSailComponent();
    ship->AddComponent(sails);
    movement = new ShipMovementComponent();
    ship->AddComponent(movement);
    log = new MessageRecorder();
    ship->AddComponent(log);
    LookFrom(VisVector_cl(-100, 0, 20), VisVector_cl(0, 0, 0));
  }

  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
    VisParticleGroupManager_cl::GlobalManager().RemoveAllEffects();
    naval_scenario::CleanBattleManagers();
    env.Stop();
  }

  static void LookFrom(const VisVector_cl& from, const VisVector_cl& at) {
    VisRenderContext_cl* main = VisRenderContext_cl::GetMainRenderContext();
    VisMatrix3x3_cl rotation;
    VisMath_cl::MatrixLookAt(rotation, from, at, VisVector_cl(0, 0, 1));
    main->SetCameraPosition(from);
    main->SetCameraRotation(rotation);
  }
  static void Cursor(float x, float y) {
    CEGUI::System::getSingleton().getDefaultGUIContext().injectMousePosition(x, y);
  }

  GuiTestEnvironment env;
  GUIManager* gui = nullptr;
  ShipStats record;
  ShipEntity* ship = nullptr;
  ShipSailComponent* sails = nullptr;
  ShipMovementComponent* movement = nullptr;
  MessageRecorder* log = nullptr;
  Player player;
};

TEST_F(PlayerShipTest, ClickFiresTheSideTheCursorIsOnAndTheKeelLineCountsAsLeft) {
  const struct {
    float x, y;
    int message;
  } cases[] = {
      {640, 500, VIS_MSG_USER_CANNON_IGNITE_LEFT},   // on the keel line: a = b
      {300, 500, VIS_MSG_USER_CANNON_IGNITE_LEFT},   // left of it on screen: the ship's left (+y)
      {1000, 500, VIS_MSG_USER_CANNON_IGNITE_RIGHT},
      {1000, 380, VIS_MSG_USER_CANNON_IGNITE_RIGHT},  // far away: still fires
  };
  for (const auto& c : cases) {
    log->ids.clear();
    Cursor(c.x, c.y);
    EXPECT_TRUE(player.MakePlayerShipFireDecision()) << c.x << ", " << c.y;
    EXPECT_EQ(log->ids, std::vector<int>{c.message}) << c.x << ", " << c.y;
  }
}

TEST_F(PlayerShipTest, CursorOnTheWaterAndAboveTheHorizon) {
  Cursor(640, 360);
  EXPECT_TRUE(player.GetMousePositionOnZeroLevel().IsEqual(VisVector_cl(0, 0, 0), 1e-3f));
  Cursor(640, 500);
  const VisVector_cl near = player.GetMousePositionOnZeroLevel();
  EXPECT_FLOAT_EQ(near.z, 0.0f);
  EXPECT_LT(near.x, 0.0f);
  EXPECT_GT(near.x, -100.0f);

  // Above the horizon the ray never meets the water: no shot and no course.
  Cursor(640, 5);
  EXPECT_EQ(player.GetMousePositionOnZeroLevel(), VisVector_cl(0, 0, 0));
  const float heading = movement->GetTargetHeading();
  EXPECT_FALSE(player.MakePlayerShipFireDecision());
  EXPECT_FALSE(player.SetPlayerShipHeadingToMouse());
  EXPECT_TRUE(log->ids.empty());
  EXPECT_EQ(movement->GetTargetHeading(), heading);
  EXPECT_EQ(sails->GetSailMode(), SAILMODE_NONE);

  // A ray along the water (camera level, looking straight ahead) gives the zero
  // vector rather than a division by zero; so does a camera on the water.
  for (float height : {20.0f, 0.0f}) {
    LookFrom(VisVector_cl(-100, 0, height), VisVector_cl(0, 0, height));
    Cursor(640, 360);
    const VisVector_cl p = player.GetMousePositionOnZeroLevel();
    EXPECT_EQ(p, VisVector_cl(0, 0, 0)) << height;
    EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) << height;
    EXPECT_FALSE(player.MakePlayerShipFireDecision()) << height;
  }
}

TEST_F(PlayerShipTest, NoFireDuringAConversationAPauseOrTheClickGuard) {
  Cursor(300, 500);
  const struct {
    const char* what;
    std::function<void(bool)> hold;
  } guards[] = {
      {"conversation",
       [&](bool on) {
         if (on)
           SpeechManager::GetInstance()->StartConversation(nullptr, VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0), false);
         else
           SpeechManager::GetInstance()->EndConversation();
       }},
      {"game pause", [](bool on) { PauseManager::GetInstance()->SetGamePause(on); }},
      {"full pause", [](bool on) { PauseManager::GetInstance()->SetFullPause(on); }},
      {"click guard", [&](bool on) { gui->SetBlockingTimer(on ? 1.0f : 0.0f); }},
  };
  for (const auto& g : guards) {
    g.hold(true);
    EXPECT_FALSE(player.MakePlayerShipFireDecision()) << g.what;
    g.hold(false);
    EXPECT_TRUE(player.MakePlayerShipFireDecision()) << g.what;
  }
  EXPECT_EQ(log->Count(VIS_MSG_USER_CANNON_IGNITE_LEFT), 4);

  // On land nothing fires.
  GameManager::GetInstance()->SetLocation(1);
  EXPECT_FALSE(player.MakePlayerShipFireDecision());
}

TEST_F(PlayerShipTest, RightClickOnAStillShipSetsFullSailsOnceAndTurnsTowardsTheCursor) {
  Cursor(300, 500);
  const VisVector_cl m = player.GetMousePositionOnZeroLevel();
  VisTraceLineInfo_t nothing;
  player.GiveTarget(nothing, nothing, false);
  EXPECT_EQ(sails->GetSailMode(), SAILMODE_FULL);
  EXPECT_EQ(log->ids, std::vector<int>{VIS_MSG_USER_SHIP_FULLSAILS});
  EXPECT_NEAR(movement->GetTargetHeading(), std::atan2(m.y, m.x) * 180.0f / 3.14159265f, 1e-3f);
  EXPECT_EQ(movement->GetTurnSpeed(), 0.0f);
  // The goto mark just above the water.
  VisParticleGroupManager_cl& particles = VisParticleGroupManager_cl::GlobalManager();
  ASSERT_GE(particles.GetEffectCount(), 1);
  VisParticleEffect_cl* mark = particles.GetEffect(particles.GetEffectCount() - 1);
  EXPECT_TRUE(mark->GetPosition().IsEqual(VisVector_cl(m.x, m.y, 0.2f), 1e-4f));

  // A second order on the still ship: the sails are set already.
  Cursor(1000, 500);
  EXPECT_TRUE(player.SetPlayerShipHeadingToMouse());
  EXPECT_EQ(log->Count(VIS_MSG_USER_SHIP_FULLSAILS), 1);
  EXPECT_LT(movement->GetTargetHeading(), 0.0f);
}

TEST_F(PlayerShipTest, HeadingsTowardsAPointAreWrappedIntoHalfTurns) {
  const struct {
    VisVector_cl point;
    float heading;
  } cases[] = {
      {{10, 0, 0}, 0.0f},
      {{0, 10, 0}, 90.0f},
      {{0, -10, 0}, -90.0f},
      {{-10, 0, 0}, -180.0f},  // straight behind: 180 is written as -180
      {{-10, -1, 0}, -174.2894f},
  };
  for (const auto& c : cases) {
    movement->SetTargetHeading(c.point);
    EXPECT_NEAR(movement->GetTargetHeading(), c.heading, 1e-3f) << c.point.x << ", " << c.point.y;
    EXPECT_GE(movement->GetTargetHeading(), -180.0f);
    EXPECT_LT(movement->GetTargetHeading(), 180.0f);
  }
}

}  // namespace
