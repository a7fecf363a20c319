// Health bars over ships, soldiers and buildings, with the GUI running: fade in,
// hold, fade out and removal; the fill from the owner's hit points; the enemy look;
// the player's low-hull pulse; each bar its own numbered widgets.
#include "components/HealthBarComponent.h"

#include "code/gui/GuiFrameTesting.h"
#include "components/DestructableBuildingComponent.h"
#include "core/GameManager.h"
#include "entities/BuildingBaseEntity.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/SoldierEntity.h"
#include "entities/SoldierStats.h"
#include "entities/UnitEntity.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameHealthBar.h"
#include "support/NavalScenario.h"

#include "engine/core/VisRenderContext.h"

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

class HealthBarComponentTest : public GuiFrameTest {
 protected:
  HealthBarComponentTest() { timeStep = 1.0f / 60.0f; }
  void SetUp() override {
    GuiFrameTest::SetUp();
    naval_scenario::AddWarringNations("Neutral", "Enemy");
    // The camera at the origin looks along +x.
    VisRenderContext_cl* context = VisRenderContext_cl::GetMainRenderContext();
    context->SetCameraPosition(VisVector_cl(0, 0, 0));
    context->SetCameraRotation(VisMatrix3x3_cl());
  }
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
    records.clear();
    naval_scenario::CleanBattleManagers();
    GuiFrameTest::TearDown();
  }

  ShipEntity* MakeShip(int nation, const VisVector_cl& at, int hullMax = 100, int hull = 100, bool player = false) {
    auto* ship = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", at));
    records.push_back(std::make_unique<ShipStats>());
    ShipStats* record = records.back().get();
    record->SetShipName("Gull");
    record->SetShipNation(nation);
    record->SetPlayerShip(player);
    record->GetHull().SetMaximum(hullMax);
    record->GetHull().SetCurrent(hull);
    ship->SetNation(nation);
    ship->SetStats(record);
    GameManager::GetInstance()->GetNation(nation)->AddShip(ship);
    return ship;
  }
  static HealthBarComponent* Bar(VisBaseEntity_cl* owner) { return owner->Components<HealthBarComponent>(); }
  static std::string Image(CEGUI::Window* window) {
    std::string value;
    CeguiCompat::GetProperty(window, "Image", value);
    return value;
  }
  // Frames until the bar reaches the state (or leaves its owner); at most 10 s.
  int FramesUntil(VisBaseEntity_cl* owner, int state) {
    for (int n = 1; n <= 600; ++n) {
      SceneFrame();
      if (!Bar(owner) || Bar(owner)->GetState() == state) return n;
    }
    return -1;
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) SceneFrame();
  }

  std::vector<std::unique_ptr<ShipStats>> records;
  SoldierStats soldierStats;
};

TEST_F(HealthBarComponentTest, ABarFadesInHoldsAndFadesOutUnderTheGuiRoot) {
  ShipEntity* ship = MakeShip(2, VisVector_cl(50, 0, 0));
  ship->ShowHealthBar(1.0f);
  ASSERT_NE(Bar(ship), nullptr);
  FrameHealthBar* frame = Bar(ship)->GetFrame();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->GetRootWindow()->getParent(), gui->GetBaseFrame());
  EXPECT_FLOAT_EQ(frame->GetAlpha(), 0.0f);

  const int fadeIn = FramesUntil(ship, HealthBarComponent::STATE_SHOWN);  // within a third of a second
  EXPECT_GE(fadeIn, 20);
  EXPECT_LE(fadeIn, 21);
  EXPECT_FLOAT_EQ(frame->GetAlpha(), 1.0f);
  const int hold = FramesUntil(ship, HealthBarComponent::STATE_FADING_OUT);
  EXPECT_GE(hold, 59);
  EXPECT_LE(hold, 61);
  const int fadeOut = FramesUntil(ship, HealthBarComponent::STATE_HIDDEN);  // within one second
  EXPECT_GE(fadeOut, 59);
  EXPECT_LE(fadeOut, 61);
  EXPECT_FLOAT_EQ(frame->GetAlpha(), 0.0f);

  // Placed over the ship: the projected top of its box is the bar's centre.
  ship->ShowHealthBar(1.0f);
  SceneFrame();
  const CEGUI::UVector2 at = frame->GetRootWindow()->getPosition();
  float x = 0.0f, y = 0.0f;
  ASSERT_TRUE(VisRenderContext_cl::GetMainRenderContext()->Project2D(ship->GetPosition(), x, y));
  EXPECT_FLOAT_EQ(at.d_x.d_offset, x - 32.0f);
  EXPECT_LE(at.d_y.d_offset, y - 32.0f);
  ExpectNoCeguiFailure();
}

TEST_F(HealthBarComponentTest, ABarHeldWithoutEndStaysUntilHiddenOrItsOwnerIsShownNowhere) {
  ShipEntity* ship = MakeShip(2, VisVector_cl(50, 0, 0));
  ship->ShowHealthBar(0.0f);
  Frames(600);
  ASSERT_NE(Bar(ship), nullptr);
  EXPECT_EQ(Bar(ship)->GetState(), HealthBarComponent::STATE_SHOWN);
  Bar(ship)->Show(2.0f);  // nothing while held
  EXPECT_EQ(Bar(ship)->GetHoldTimer(), 0.0f);
  ship->HideHealthBar();
  EXPECT_EQ(Bar(ship)->GetState(), HealthBarComponent::STATE_FADING_OUT);

  ship->ShowHealthBar(0.0f);
  SceneFrame();
  ship->SetVisibleBitmask(0);
  SceneFrame();
  EXPECT_EQ(Bar(ship)->GetState(), HealthBarComponent::STATE_FADING_OUT);
  EXPECT_GT(FramesUntil(ship, HealthBarComponent::STATE_HIDDEN), 0);
  // Shown nowhere, it cannot be shown again; it stays on the ship unless asked to go.
  ship->ShowHealthBar(1.0f);
  EXPECT_EQ(Bar(ship)->GetState(), HealthBarComponent::STATE_HIDDEN);
}

// The fill is current over maximum hull; an untracked record (maximum 0 or less)
// leaves the fill as it was rather than dividing by it.
TEST_F(HealthBarComponentTest, TheFillFollowsTheHullAndKeepsItsWidthWithoutAMaximum) {
  struct Case {
    int max, current;
    float fill;
  } cases[] = {{120, 30, 0.25f}, {120, 120, 1.0f}, {120, -5, 0.0f}, {100, 150, 1.0f}, {0, 30, 1.0f}, {-1, 30, 1.0f}};
  for (const Case& c : cases) {
    ShipEntity* ship = MakeShip(2, VisVector_cl(50, 0, 0), c.max, c.current);
    ship->ShowHealthBar(1.0f);
    SceneFrame();
    ASSERT_NE(Bar(ship)->GetFrame(), nullptr);
    const float fill = Bar(ship)->GetFrame()->GetHealth();
    EXPECT_FLOAT_EQ(fill, c.fill) << c.current << " of " << c.max;
    EXPECT_FALSE(std::isnan(fill));
    ship->Remove();
  }
  ExpectNoCeguiFailure();
}

TEST_F(HealthBarComponentTest, EnemiesGetTheEnemyLookAndOwnBuildingsDoNot) {
  ShipEntity* enemyShip = MakeShip(2, VisVector_cl(50, 0, 0));
  ShipEntity* ownShip = MakeShip(1, VisVector_cl(50, 5, 0));
  auto* soldier = static_cast<SoldierEntity*>(Vision::Game.CreateEntity("SoldierEntity", VisVector_cl(40, 0, 0)));
  soldier->SetNation(2);
  auto* building = static_cast<BuildingBaseEntity*>(Vision::Game.CreateEntity("BuildingBaseEntity", VisVector_cl(40, 5, 0)));
  building->SetNation(1);
  for (BaseEntity* owner : std::vector<BaseEntity*>{enemyShip, ownShip, soldier, building}) owner->ShowHealthBar(1.0f);

  auto background = [&](VisBaseEntity_cl* owner) { return Image(Bar(owner)->GetFrame()->GetBackground()); };
  auto fill = [&](VisBaseEntity_cl* owner) { return Image(Bar(owner)->GetFrame()->GetBar()); };
  EXPECT_EQ(background(enemyShip), "GUI_Window_01/HealthBarEnemyBG");
  EXPECT_EQ(fill(enemyShip), "GUI_Window_01/HealthBarEnemy");
  EXPECT_EQ(background(soldier), "GUI_Window_01/HealthBarEnemyBG");
  EXPECT_EQ(background(ownShip), "GUI_Window_01/HealthBarPlayerBG");
  EXPECT_EQ(background(building), "GUI_Window_01/HealthBarPlayerBG");
  EXPECT_EQ(fill(building), "GUI_Window_01/HealthBarPlayer");

  // Each bar is its own numbered copy.
  EXPECT_NE(Bar(enemyShip)->GetFrame()->GetRootWindow()->getName(), Bar(ownShip)->GetFrame()->GetRootWindow()->getName());
  EXPECT_NE(Bar(enemyShip)->GetFrame()->GetBar(), Bar(ownShip)->GetFrame()->GetBar());
  ExpectNoCeguiFailure();
}

// The player's ship at low hull keeps its bar up in the low-health look and pulses
// its glow, a full pulse every 2 pi / 5 seconds.
TEST_F(HealthBarComponentTest, ThePlayersShipAtLowHullStaysShownAndBlinks) {
  GameManager* game = GameManager::GetInstance();
  ShipEntity* ship = MakeShip(1, VisVector_cl(50, 0, 0), 100, 30, true);
  ASSERT_EQ(game->GetPlayerEntity(), ship);
  game->SetPlayTheGame(true);
  Vision::Timer.Update();
  game->Update();
  ASSERT_TRUE(game->HasLowHitPoints());

  ship->ShowHealthBar(0.5f);
  FrameHealthBar* frame = Bar(ship)->GetFrame();
  ASSERT_NE(frame, nullptr);
  SceneFrame();
  EXPECT_TRUE(frame->IsLowHpBar());
  EXPECT_EQ(Image(frame->GetBackground()), "GUI_Window_01/HealthBarPlayerLowHpBG");
  EXPECT_TRUE(frame->GetGlow()->isVisible());
  SceneFrame();
  EXPECT_TRUE(frame->GetBackground()->isVisible()) << "the pulse brings the background back";

  // Far beyond its half second the bar is still up, and the glow went through a pulse.
  float lowest = 1.0f, highest = 0.0f;
  for (int i = 0; i < 300; ++i) {
    SceneFrame();
    EXPECT_NE(Bar(ship)->GetState(), HealthBarComponent::STATE_HIDDEN);
    lowest = std::min(lowest, frame->GetGlow()->getAlpha());
    highest = std::max(highest, frame->GetGlow()->getAlpha());
  }
  EXPECT_LT(lowest, 0.01f);
  EXPECT_GT(highest, 0.99f);
  const float before = frame->GetGlow()->getAlpha();
  Frames((int)std::lround(2.0 * M_PI / 5.0 * 60.0));  // one period
  EXPECT_NEAR(frame->GetGlow()->getAlpha(), before, 0.05f);
  ExpectNoCeguiFailure();
}

TEST_F(HealthBarComponentTest, FrameLevelLookSwitchesOnlyOnAChange) {
  ShipEntity* ship = MakeShip(1, VisVector_cl(50, 0, 0));
  ship->ShowHealthBar(1.0f);
  FrameHealthBar* frame = Bar(ship)->GetFrame();
  ASSERT_NE(frame, nullptr);
  frame->SetLowHpBar(true);
  EXPECT_FALSE(frame->GetBackground()->isVisible());
  frame->UpdateLowHpBlink(0.1f);
  EXPECT_TRUE(frame->GetBackground()->isVisible());
  // A second switch to the same look changes nothing: the background stays.
  frame->SetLowHpBar(true);
  EXPECT_TRUE(frame->GetBackground()->isVisible());
  frame->SetLowHpBar(false);
  EXPECT_FALSE(frame->GetGlow()->isVisible());
  EXPECT_EQ(Image(frame->GetBar()), "GUI_Window_01/HealthBarPlayer");

  // Half the fill is half the background's width.
  frame->SetHealth(0.5f);
  gui->GetBaseFrame()->setSize(CEGUI::USize(CEGUI::UDim(0, 1920), CEGUI::UDim(0, 1080)));
  EXPECT_FLOAT_EQ(frame->GetBar()->getPixelSize().d_width, frame->GetBackground()->getPixelSize().d_width * 0.5f);
}

// A dead soldier's bar fades out and then leaves the soldier.
TEST_F(HealthBarComponentTest, AKilledSoldiersBarFadesAndGoes) {
  GameManager::GetInstance()->SetLocation(1);
  auto* soldier = static_cast<SoldierEntity*>(Vision::Game.CreateEntity("SoldierEntity", VisVector_cl(40, 0, 0)));
  soldier->SetNation(2);
  soldierStats.m_Hitpoints.SetMaximum(100);
  soldierStats.m_Hitpoints.SetCurrent(100);
  soldier->SetStats(&soldierStats);
  soldier->ShowHealthBar(0.0f);
  Frames(30);
  soldier->KillSoldier();
  ASSERT_NE(Bar(soldier), nullptr);
  EXPECT_TRUE(Bar(soldier)->GetRemoveWhenHidden());
  EXPECT_EQ(Bar(soldier)->GetState(), HealthBarComponent::STATE_FADING_OUT);
  CEGUI::Window* root = Bar(soldier)->GetFrame()->GetRootWindow();
  const int frames = FramesUntil(soldier, -1);  // until it is gone
  EXPECT_GT(frames, 30);
  EXPECT_LE(frames, 65);
  EXPECT_EQ(Bar(soldier), nullptr);
  EXPECT_FALSE(CEGUI::WindowManager::getSingleton().isAlive(root) && root->getParent());
}

}  // namespace
