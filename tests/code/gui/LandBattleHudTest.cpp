// The land head-up frame's exit button: inside the escape area it sends the player
// back to the map at the next update, outside it leads the player's units to the
// escape area; its glow pulses only while leaving is possible.
#include "code/gui/GuiFrameTesting.h"

#include "core/GameManager.h"
#include "core/Player.h"
#include "core/RtsManager.h"
#include "entities/Nation.h"
#include "entities/UnitEntity.h"
#include "gui/FrameLandBattleHud.h"

#include "engine/Vision.h"

#include <string>

namespace {

class LandBattleHudTest : public GuiFrameTest {
 protected:
  void SetUp() override {
    GuiFrameTest::SetUp();
    Vision::World.SetFlatTerrain(0.0f);
    game = GameManager::GetInstance();
    game->ResetNations();
    game->AddNation(new Nation(0, "None"));
    game->AddNation(new Nation(1, "Player"));
    game->SetLocation(1);
    game->SetCanTeleport(true);
    game->SetTeleportTarget("");
    RtsManager::GlobalManager().OneTimeInit();
    gui->ShowFrame(WT_LAND_BATTLE_HUD);
    hud = Get<FrameLandBattleHud>(WT_LAND_BATTLE_HUD);
    ASSERT_NE(hud, nullptr);
    ASSERT_NE(hud->GetExitButton(), nullptr);
    ASSERT_NE(hud->GetExitGlow(), nullptr);
    env.Frame();
  }
  void TearDown() override {
    RtsManager::GlobalManager().SetPlayerIsInsideEscapeArea(false);
    RtsManager::GlobalManager().OneTimeDeInit();
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
    Vision::World.ClearTerrain();
    GUIManager::CleanInstance();
    GameManager::CleanInstance();
    GuiFrameTest::TearDown();
  }
  std::string Target() const { return game->GetCurrentTeleportTarget().AsChar(); }

  GameManager* game = nullptr;
  FrameLandBattleHud* hud = nullptr;
};

TEST_F(LandBattleHudTest, InsideTheEscapeAreaTheExitTargetsTheCurrentTargetOrTheWorldAtTheNextUpdate) {
  RtsManager::GlobalManager().SetPlayerIsInsideEscapeArea(true);
  struct Case {
    const char* before;
    const char* after;
  };
  for (const Case& c : {Case{"", "scenes\\world01\\World.vscene"}, Case{"17-sea", "17-sea"}}) {
    game->SetTeleportTarget(c.before);
    Click(hud->GetExitButton());
    // The click only asks; the target is set by the next update.
    EXPECT_TRUE(hud->IsExitRequested());
    EXPECT_EQ(Target(), c.before);
    env.Frame();
    EXPECT_FALSE(hud->IsExitRequested());
    EXPECT_EQ(Target(), c.after);
  }
  ExpectNoCeguiFailure();
}

TEST_F(LandBattleHudTest, OutsideTheEscapeAreaTheExitLeadsThePlayersUnitsThere) {
  RtsManager::GlobalManager().SetPlayerIsInsideEscapeArea(false);
  VisBaseEntity_cl* escape = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(40, 30, 0));
  ASSERT_NE(escape, nullptr);
  escape->SetEntityKey("EscapeArea");
  auto* unit = static_cast<UnitEntity*>(
      Vision::Game.CreateEntity("UnitEntity", VisVector_cl(0, 0, 0), nullptr, "m_iNation=\"1\",m_iNumSoldiers=\"1\""));
  ASSERT_NE(unit, nullptr);
  ASSERT_EQ(RtsManager::GlobalManager().GetPlayer()->GetPlayerUnitCount(), 1);
  // Not selected: the button leads every unit out.
  ASSERT_EQ(RtsManager::GlobalManager().GetPlayer()->GetNumSelected(), 0);

  Click(hud->GetExitButton());
  EXPECT_FALSE(hud->IsExitRequested());
  ASSERT_TRUE(unit->GetUnitTargetBox().IsValid());
  VisVector_cl centre(0, 0, 0);
  for (int i = 0; i < 4; ++i) centre += unit->GetUnitTargetBox().GetPoint(i);
  centre = centre / 4.0f;
  EXPECT_NEAR(centre.x, 40.0f, 0.5f);
  EXPECT_NEAR(centre.y, 30.0f, 0.5f);
  env.Frame();
  EXPECT_EQ(Target(), "");
}

TEST_F(LandBattleHudTest, WithoutTeleportingTheExitDoesNothingAndTheGlowStaysHidden) {
  RtsManager::GlobalManager().SetPlayerIsInsideEscapeArea(true);
  game->SetCanTeleport(false);
  Click(hud->GetExitButton());
  EXPECT_FALSE(hud->IsExitRequested());
  for (int i = 0; i < 5; ++i) env.Frame();
  EXPECT_EQ(Target(), "");
  EXPECT_FALSE(hud->GetExitGlow()->isVisible());
}

TEST_F(LandBattleHudTest, TheGlowPulsesOnlyInsideTheEscapeAreaWithTheCursorOffTheButton) {
  CEGUI::Window* glow = hud->GetExitGlow();
  RtsManager::GlobalManager().SetPlayerIsInsideEscapeArea(false);
  env.Frame();
  EXPECT_FALSE(glow->isVisible());

  RtsManager::GlobalManager().SetPlayerIsInsideEscapeArea(true);
  // Phase 0.1 per frame: alpha max(sin(3 * phase), 0).
  env.Frame();
  EXPECT_TRUE(glow->isVisible());
  EXPECT_NEAR(glow->getAlpha(), std::sin(0.3f), 1e-4f);
  env.Frame();
  EXPECT_NEAR(glow->getAlpha(), std::sin(0.6f), 1e-4f);
  // Past half a period of the pulse the alpha rests at 0.
  for (int i = 0; i < 9; ++i) env.Frame();
  EXPECT_TRUE(glow->isVisible());
  EXPECT_EQ(glow->getAlpha(), 0.0f);

  hud->OnExitMouseEnters(CEGUI::EventArgs());
  env.Frame();
  EXPECT_FALSE(glow->isVisible());
  hud->OnExitMouseLeaves(CEGUI::EventArgs());
  env.Frame();
  EXPECT_TRUE(glow->isVisible());
}

}  // namespace
