// The fade frame (fade-out before game over, fade-in at a game's start) and the
// low-health overlay easing the tone mapper with the player ship's hit points.
#include "code/gui/GuiFrameTesting.h"

#include "engine/render/VPostProcessToneMapping.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/SoldierEntity.h"
#include "entities/SoldierStats.h"
#include "entities/UnitEntity.h"
#include "core/RtsManager.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameFadeOut.h"
#include "gui/FrameLowHPOverlay.h"

namespace {

class FadeOutTest : public GuiFrameTest {
 protected:
  FadeOutTest() { timeStep = 0.25f; }
  FrameFadeOut* Open() {
    gui->ShowFrame(WT_PAUSE);
    gui->ShowWindow(WT_FADE_OUT, nullptr);
    return dynamic_cast<FrameFadeOut*>(gui->FindWindowA(WT_FADE_OUT));
  }
};

TEST_F(FadeOutTest, FadeOutDarkensTheScreenOverItsLength) {
  FrameFadeOut* fade = Open();
  ASSERT_NE(fade, nullptr);
  CEGUI::Window* black = fade->GetComponent("FadeOutWindow");
  ASSERT_NE(black, nullptr);
  EXPECT_FLOAT_EQ(fade->StartFadeOut(), 3.0f);
  // The first pulse after the start is skipped; 3 s later the screen is black.
  SceneFrame();
  for (int i = 0; i < 6; ++i) SceneFrame();
  EXPECT_NEAR(black->getAlpha(), 0.5f, 1e-4f);
  for (int i = 0; i < 6; ++i) SceneFrame();
  EXPECT_FLOAT_EQ(black->getAlpha(), 1.0f);
  // After a fade-out the frame stays.
  for (int i = 0; i < 4; ++i) SceneFrame();
  EXPECT_EQ(gui->FindWindowA(WT_FADE_OUT), fade);
  ExpectNoCeguiFailure();
}

TEST_F(FadeOutTest, FadeInRemovesTheFrameWhenItEnds) {
  FrameFadeOut* fade = Open();
  ASSERT_NE(fade, nullptr);
  fade->StartFadeIn();
  EXPECT_TRUE(fade->IsFadingIn());
  EXPECT_FLOAT_EQ(fade->GetFadeInTimer(), 2.0f);
  for (int i = 0; i < 7; ++i) SceneFrame();
  ASSERT_EQ(gui->FindWindowA(WT_FADE_OUT), fade);
  EXPECT_FALSE(fade->isRequestingRemove());
  SceneFrame();
  EXPECT_EQ(gui->FindWindowA(WT_FADE_OUT), nullptr);
}

TEST_F(FadeOutTest, WithoutItsWidgetTheFadeOutWaitsThreeSecondsAndTheFadeInEndsAtOnce) {
  FrameFadeOut* fade = Open();
  ASSERT_NE(fade, nullptr);
  CeguiCompat::DestroyWindow(fade->GetComponent("FadeOutWindow"));
  ASSERT_EQ(fade->GetComponent("FadeOutWindow"), nullptr);
  EXPECT_FLOAT_EQ(fade->StartFadeOut(), 3.0f);
  EXPECT_EQ(fade->GetAnimationCount(), 0);
  fade->StartFadeIn();
  SceneFrame();
  EXPECT_EQ(gui->FindWindowA(WT_FADE_OUT), nullptr);
}

// The player's ship at sea: nation 1 holds it, its record has the hull's hit points.
class LowHPOverlayTest : public GuiFrameTest {
 protected:
  void SetUp() override {
    GuiFrameTest::SetUp();
    toneMapper = VPostProcessToneMapping::GetFromContext(VisRenderContext_cl::GetMainRenderContext());
    ASSERT_NE(toneMapper, nullptr);
    toneMapper->Reset();
    grading.m[0][1] = 0.25f;
    toneMapper->SetToneMapping(TONEMAP_GRADING, grading, 0.0f);
    toneMapper->SetValues(0.8f, 1.5f, 0.1f, 2.2f);

    GameManager* game = GameManager::GetInstance();
    game->AddNation(new Nation(0, "None"));
    game->AddNation(new Nation(1, "Player"));
    stats.SetPlayerShip(true);
    stats.GetHull().SetMaximum(100);
    stats.GetHull().SetCurrent(100);
    // The world owns its entities.
    ship = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", VisVector_cl(0, 0, 0)));
    ASSERT_NE(ship, nullptr);
    ship->SetStats(&stats);
    game->GetPlayerNation()->AddShip(ship);
    game->SetLocation(2);
    ASSERT_EQ(game->GetPlayerEntity(), ship);
  }
  void TearDown() override {
    GUIManager::CleanInstance();
    GameManager::CleanInstance();
    toneMapper->Reset();
    GuiFrameTest::TearDown();
  }
  void SetHitPoints(int current) { stats.GetHull().SetCurrent(current); }

  VPostProcessToneMapping* toneMapper = nullptr;
  VisMatrix4x4_cl grading;
  ShipStats stats;
  ShipEntity* ship = nullptr;
};

TEST_F(LowHPOverlayTest, ShowingSavesTheToneMapperAndAboveHalfHealthChangesNothing) {
  gui->ShowLowHPOverlay();
  FrameLowHPOverlay* overlay = gui->GetLowHPOverlay();
  ASSERT_NE(overlay, nullptr);
  EXPECT_EQ(gui->FindWindowA(WT_LOW_HP_OVERLAY), overlay);
  EXPECT_TRUE(overlay->IsVisible());
  EXPECT_EQ(overlay->GetToneMapper(), toneMapper);
  CEGUI::Window* root = overlay->GetRootWindow();
  EXPECT_EQ(root->getParent(), gui->GetBaseFrame());
  EXPECT_TRUE(root->isAlwaysOnTop());
  EXPECT_TRUE(root->isMousePassThroughEnabled());
  // Its widgets stay invisible.
  EXPECT_EQ(overlay->GetComponent("LowHPOverlay")->getAlpha(), 0.0f);
  EXPECT_EQ(overlay->GetComponent("LowHPOverlay/Image")->getAlpha(), 0.0f);

  const int writes = toneMapper->GetSetValuesCount();
  for (int hitPoints : {100, 60, 51}) {
    SetHitPoints(hitPoints);
    for (int i = 0; i < 5; ++i) env.Frame();
  }
  EXPECT_EQ(toneMapper->GetSetValuesCount(), writes);
  EXPECT_FLOAT_EQ(toneMapper->GetSaturation(), 0.8f);
  EXPECT_FLOAT_EQ(toneMapper->GetContrast(), 1.5f);
}

TEST_F(LowHPOverlayTest, AtOneHitPointTheColourDrainsTwiceAsFastAsTheEaseSpeed) {
  gui->ShowLowHPOverlay();
  SetHitPoints(1);
  // Updated twice per frame at 1 unit per second: 0.2 per frame of 0.1 s.
  env.Frame();
  EXPECT_NEAR(toneMapper->GetSaturation(), 0.8f * 0.8f, 1e-5f);
  // The contrast factor has reached 1.1 at once: 1.2 - 0.2 x 1.1 = 0.98 of the saved one.
  EXPECT_NEAR(toneMapper->GetContrast(), 1.5f * 0.98f, 1e-5f);
  for (int i = 0; i < 10; ++i) env.Frame();
  EXPECT_NEAR(toneMapper->GetSaturation(), 0.0f, 1e-3f);
  EXPECT_FLOAT_EQ(toneMapper->GetBrightness(), 0.1f);
  EXPECT_FLOAT_EQ(toneMapper->GetGamma(), 2.2f);

  // Three quarters of the way back up: ratio (38 - 1) / 50.
  SetHitPoints(38);
  for (int i = 0; i < 10; ++i) env.Frame();
  EXPECT_NEAR(toneMapper->GetSaturation(), 0.8f * 0.74f, 1e-3f);
  EXPECT_NEAR(toneMapper->GetContrast(), 1.5f * 1.2f - 1.5f * 0.2f * (1.0f + 0.26f * 0.1f), 1e-3f);
}

TEST_F(LowHPOverlayTest, OnLandTheHerosHitPointsDrainTheColour) {
  RtsManager::GlobalManager().OneTimeInit();
  GameManager* game = GameManager::GetInstance();
  game->SetLocation(1);
  auto* unit = new UnitEntity();
  unit->SetEntityKey("PlayerCharacter");
  unit->SetNation(1);
  BaseEntityDataObject created(&GameManager::Callbacks.OnUnitCreated, unit);
  GameManager::Callbacks.OnUnitCreated.TriggerCallbacks(&created);
  ASSERT_EQ(game->GetPlayerEntity(), unit);
  SoldierStats heroStats;
  heroStats.m_Hitpoints.SetMaximum(100);
  heroStats.m_Hitpoints.SetCurrent(1);
  auto* hero = new SoldierEntity();
  hero->SetStats(&heroStats);
  unit->AddSoldier(hero);
  // The ship at sea is sound; only the hero counts now.
  gui->ShowLowHPOverlay();
  env.Frame();
  EXPECT_NEAR(toneMapper->GetSaturation(), 0.8f * 0.8f, 1e-5f);
  EXPECT_NEAR(toneMapper->GetContrast(), 1.5f * 0.98f, 1e-5f);

  hero->SetStats(nullptr);
  GUIManager::CleanInstance();
  RtsManager::GlobalManager().OneTimeDeInit();
}

TEST_F(LowHPOverlayTest, HidingRestoresTheSavedSettingsAndShowingSavesThemAgain) {
  gui->ShowLowHPOverlay();
  SetHitPoints(1);
  for (int i = 0; i < 3; ++i) env.Frame();
  ASSERT_LT(toneMapper->GetSaturation(), 0.5f);

  gui->HideLowHPOverlay();
  FrameLowHPOverlay* overlay = gui->GetLowHPOverlay();
  ASSERT_NE(overlay, nullptr);
  EXPECT_FALSE(overlay->IsVisible());
  EXPECT_EQ(overlay->GetToneMapper(), nullptr);
  EXPECT_EQ(toneMapper->GetToneMapType(), TONEMAP_GRADING);
  EXPECT_EQ(toneMapper->GetColorMatrix().m[0][1], 0.25f);
  EXPECT_FLOAT_EQ(toneMapper->GetSaturation(), 0.8f);
  EXPECT_FLOAT_EQ(toneMapper->GetContrast(), 1.5f);
  // Hidden, it leaves the tone mapper alone.
  env.Frame();
  EXPECT_FLOAT_EQ(toneMapper->GetSaturation(), 0.8f);

  // Settings changed in between are the ones saved (and restored) next time.
  toneMapper->SetToneMapping(TONEMAP_SCALE, VisMatrix4x4_cl(), 0.0f);
  toneMapper->SetValues(0.6f, 1.0f, 0.0f, 1.0f);
  gui->ShowLowHPOverlay();
  EXPECT_EQ(gui->GetLowHPOverlay(), overlay);
  env.Frame();
  EXPECT_LT(toneMapper->GetSaturation(), 0.6f);
  // Deleting the overlay restores them as well.
  gui->CloseWindow(WT_LOW_HP_OVERLAY, true);
  EXPECT_EQ(gui->GetLowHPOverlay(), nullptr);
  EXPECT_EQ(toneMapper->GetToneMapType(), TONEMAP_SCALE);
  EXPECT_FLOAT_EQ(toneMapper->GetSaturation(), 0.6f);
  env.Frame();
}

TEST_F(LowHPOverlayTest, WithoutAPlayerOrWithUntrackedHitPointsNothingEases) {
  gui->ShowLowHPOverlay();
  const int writes = toneMapper->GetSetValuesCount();
  stats.GetHull().SetMaximum(-1);
  SetHitPoints(1);
  for (int i = 0; i < 3; ++i) env.Frame();
  stats.GetHull().SetMaximum(100);
  GameManager::GetInstance()->SetLocation(-1);
  ASSERT_EQ(GameManager::GetInstance()->GetPlayerEntity(), nullptr);
  for (int i = 0; i < 3; ++i) env.Frame();
  EXPECT_EQ(toneMapper->GetSetValuesCount(), writes);

  // A removal request (ending a battle) deletes the overlay after the GUI update.
  gui->CloseAllWindows();
  env.Frame();
  EXPECT_EQ(gui->GetLowHPOverlay(), nullptr);
  EXPECT_EQ(gui->FindWindowA(WT_LOW_HP_OVERLAY), nullptr);
}

}  // namespace
