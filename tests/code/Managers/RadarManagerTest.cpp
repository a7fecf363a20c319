// The sea radar: one marker per entity with its own indicator, the attack alert
// over a selected unit's marker, where indicators stand and point, the follow
// click, the loading screen, and markers of destroyed entities.
#include "support/GuiTestEnvironment.h"
#include "support/MessageRecorder.h"
#include "support/ScopedEnv.h"

#include "Managers/LandRadarManager.h"
#include "Managers/RadarManager.h"
#include "Managers/SettingsManager.h"
#include "Managers/SoundManager.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "core/VisMainApp.h"
#include "entities/UnitEntity.h"
#include "gui/FrameRadar.h"

#include "engine/Vision.h"
#include "engine/core/VisRenderContext.h"
#include "engine/sound/VSoundManager.h"

#include <CEGUI/CEGUI.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <unistd.h>

namespace {

// The camera at the origin looks along +x: +y is left, +z is up on a 1280x720 screen.
const VisVector_cl kAhead(100, 0, 0);
const VisVector_cl kAbove(100, 0, 1000);
const VisVector_cl kBelow(100, 0, -1000);
const VisVector_cl kRight(100, -1000, 0);

class RadarManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env.Start(0.1f);
    VSoundManager::GlobalManager().SetInitialized(true);
    gui = env.StartGui();
    VisRenderContext_cl* context = VisRenderContext_cl::GetMainRenderContext();
    context->SetCameraPosition(VisVector_cl(0, 0, 0));
    context->SetCameraRotation(VisMatrix3x3_cl());
    context->SetFOV(90.0f, 0.0f);
    RtsManager::GlobalManager().OneTimeInit();
    GameManager::GetInstance()->SetLocation(1);
    // The radar only works while the player has an entity.
    hero = new UnitEntity();
    hero->SetEntityKey("PlayerCharacter");
    hero->SetNation(RtsManager::GlobalManager().GetPlayerNation());
    BaseEntityDataObject created(&GameManager::Callbacks.OnUnitCreated, hero);
    GameManager::Callbacks.OnUnitCreated.TriggerCallbacks(&created);
    ASSERT_EQ(GameManager::GetInstance()->GetPlayerEntity(), hero);
  }
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
    RtsManager::GlobalManager().OneTimeDeInit();
    GameManager::CleanInstance();
    VSoundManager::GlobalManager().SetInitialized(false);
    env.Stop();
  }
  static UnitEntity* MakeUnit(const VisVector_cl& at = kAhead) {
    auto* unit = static_cast<UnitEntity*>(
        Vision::Game.CreateEntity("UnitEntity", at, nullptr, "m_iNumSoldiers=\"1\""));
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
  // The radar's update and the GUI's clean-up after it.
  void Update() {
    radar->Update();
    env.Frame();
  }
  static CEGUI::Vector2f TopLeft(const FrameRadar* indicator) {
    const CEGUI::UVector2 p = indicator->GetRootWindow()->getPosition();
    return CEGUI::Vector2f(p.d_x.d_offset, p.d_y.d_offset);
  }

  GuiTestEnvironment env;
  GUIManager* gui = nullptr;
  RadarManager* radar = RadarManager::GetInstance();
  UnitEntity* hero = nullptr;
};

TEST_F(RadarManagerTest, OneMarkerPerEntityAndTheAttackAlertReplacesTheSelectionMark) {
  SoundManager::GetInstance()->AddSound(PIRATE_HERO, SOUND_UNDER_ATTACK, "sounds\\order_03.wav", false);
  UnitEntity* unit = MakeUnit(kRight);
  radar->Add(unit, TRACK_SELECTED_UNIT);
  radar->Add(unit, TRACK_SELECTED_UNIT);
  ASSERT_EQ(radar->GetNumMarkers(), 1);
  ASSERT_EQ(gui->GetRadarIndicators().size(), 1u);
  const FrameRadar* selection = radar->GetMarker(0)->indicator;
  ASSERT_NE(selection, nullptr);
  EXPECT_EQ(radar->GetMarker(0)->kind, TRACK_SELECTED_UNIT);

  radar->Add(unit, TRACK_UNIT_UNDER_ATTACK);
  ASSERT_EQ(radar->GetNumMarkers(), 1);
  EXPECT_EQ(radar->GetMarker(0)->kind, TRACK_UNIT_UNDER_ATTACK);
  EXPECT_NE(radar->GetMarker(0)->indicator, selection);
  EXPECT_EQ(UnderAttackPlays(), 1);
  // The replaced indicator goes after the GUI update.
  env.Frame();
  EXPECT_EQ(gui->GetRadarIndicators().size(), 1u);

  // Back to a selection mark: the alert stays.
  radar->Add(unit, TRACK_SELECTED_UNIT);
  EXPECT_EQ(radar->GetMarker(0)->kind, TRACK_UNIT_UNDER_ATTACK);
  EXPECT_EQ(UnderAttackPlays(), 1);

  radar->Remove(unit);
  EXPECT_EQ(radar->GetNumMarkers(), 0);
  radar->Remove(unit);  // none left: nothing
  radar->Add(nullptr, TRACK_TARGET);
  env.Frame();
  EXPECT_EQ(radar->GetNumMarkers(), 0);
  EXPECT_TRUE(gui->GetRadarIndicators().empty());
}

TEST_F(RadarManagerTest, WithoutAGuiNothingIsMarked) {
  GUIManager::CleanInstance();
  radar->Add(MakeUnit(), TRACK_TARGET);
  radar->Add(VisVector_cl(1, 2, 3));
  EXPECT_EQ(radar->GetNumMarkers(), 0);
}

TEST_F(RadarManagerTest, AnArrowPointsFromTheCentreTowardsItsUnitOnTheBorder) {
  struct Case {
    const char* what;
    VisVector_cl at;
    float rotation, x, y;  // the indicator's centre
  } cases[] = {
      {"above", kAbove, 0.0f, 640.0f, 31.0f},
      {"below", kBelow, 180.0f, 640.0f, 720.0f - 31.0f},
      {"right", kRight, 90.0f, 1280.0f - 31.0f, 360.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    UnitEntity* unit = MakeUnit(c.at);
    radar->Add(unit, TRACK_SELECTED_UNIT);
    Update();
    const RadarMarker* marker = radar->FindMarker(unit);
    ASSERT_NE(marker, nullptr);
    EXPECT_NEAR(marker->arrowRotation, c.rotation, 0.01f);
    EXPECT_NEAR(TopLeft(marker->indicator).d_x, c.x - 32.0f, 0.5f);
    EXPECT_NEAR(TopLeft(marker->indicator).d_y, c.y - 32.0f, 0.5f);
    EXPECT_TRUE(marker->indicator->GetUnit()->isVisible());
    radar->Remove(unit);
  }
}

TEST_F(RadarManagerTest, TargetsOnScreenShowTheCloseMarkerAndTheAttackAlertEndsOnScreen) {
  UnitEntity* target = MakeUnit(kAhead);
  UnitEntity* attacked = MakeUnit(kAbove);
  radar->Add(target, TRACK_TARGET);
  radar->Add(attacked, TRACK_UNIT_UNDER_ATTACK);
  Update();
  const FrameRadar* onScreen = radar->FindMarker(target)->indicator;
  EXPECT_TRUE(onScreen->GetCloseMarker()->isVisible());
  EXPECT_FALSE(onScreen->GetCross()->isVisible());
  EXPECT_NEAR(TopLeft(onScreen).d_x, 640.0f - 32.0f, 0.5f);
  const FrameRadar* alert = radar->FindMarker(attacked)->indicator;
  EXPECT_TRUE(alert->GetUnitGlow()->isVisible());

  // Off screen the target's cross shows; on screen the alert is gone.
  target->SetPosition(kBelow);
  attacked->SetPosition(kAhead);
  Update();
  EXPECT_TRUE(onScreen->GetCross()->isVisible());
  EXPECT_FALSE(onScreen->GetCloseMarker()->isVisible());
  EXPECT_EQ(radar->FindMarker(attacked), nullptr);
  EXPECT_EQ(gui->GetRadarIndicators().size(), 1u);
}

TEST_F(RadarManagerTest, TheBorderFollowsAChangeOfResolution) {
  radar->Update();
  EXPECT_FLOAT_EQ(radar->GetBorder().corners[2].x, 1280.0f - 31.0f);
  // The player picks another size in the options; applying it changes the mode.
  const std::filesystem::path documents =
      std::filesystem::temp_directory_path() / ("radar_settings_" + std::to_string(getpid()));
  ScopedEnv docsEnv("ENGINE_DOCUMENTS_DIR", documents.c_str());
  VisMainApp::GetInstance()->m_videoConfig.m_bWaitVRetrace = true;
  Vision::Game.GetDictionary().Set("Quality_0", "1600x900x60");
  const bool changed = SettingsManager::GetInstance()->ApplyResolution(true);
  SettingsManager::CleanInstance();
  VisMainApp::CleanInstance();
  Vision::Game.GetDictionary().DeleteAll();
  std::filesystem::remove_all(documents);
  ASSERT_TRUE(changed);
  ASSERT_EQ(VVideo::GetCurrentWidth(), 1600);
  radar->Update();
  EXPECT_FLOAT_EQ(radar->GetBorder().corners[2].x, 1600.0f - 31.0f);
  EXPECT_FLOAT_EQ(radar->GetBorder().corners[2].y, 900.0f - 31.0f);
  EXPECT_FLOAT_EQ(radar->GetBorder().centreX, 800.0f);
}

TEST_F(RadarManagerTest, AClickOnAUnitIndicatorMakesTheCameraFollowIt) {
  UnitEntity* unit = MakeUnit(kAbove);
  radar->Add(unit, TRACK_SELECTED_UNIT);
  radar->Add(VisVector_cl(1, 2, 3));
  FrameRadar* unitIndicator = radar->FindMarker(unit)->indicator;
  FrameRadar* positionIndicator = radar->GetMarker(1)->indicator;

  // No camera in the scene: nothing.
  radar->UnitClickedToBeFollowed(unitIndicator);
  EXPECT_EQ(RtsManager::GlobalManager().GetFollowedUnit(), nullptr);

  VisBaseEntity_cl* camera = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 50));
  camera->SetEntityKey("CameraEntity");
  auto* recorder = new MessageRecorder();
  camera->AddComponent(recorder);
  radar->UnitClickedToBeFollowed(positionIndicator);  // not a unit
  EXPECT_EQ(recorder->Count(VIS_MSG_USER_CAMERA_FOLLOW_START), 0);

  CEGUI::WindowEventArgs args(unitIndicator->GetUnitImage());
  unitIndicator->GetUnitImage()->fireEvent(CEGUI::PushButton::EventClicked, args);
  EXPECT_EQ(RtsManager::GlobalManager().GetFollowedUnit(), unit);
  EXPECT_EQ(recorder->Count(VIS_MSG_USER_CAMERA_FOLLOW_START), 1);
  EXPECT_TRUE(GameManager::GetInstance()->GetFollowCameraState());
}

TEST_F(RadarManagerTest, TheLoadingScreenHidesEveryIndicatorAndLandMarkerUntilItHasGone) {
  UnitEntity* unit = MakeUnit(kRight);
  radar->Add(unit, TRACK_SELECTED_UNIT);
  LandRadarManager::GetInstance()->Add(unit, "gui\\textures\\radar\\LandRadarMarker.png");
  Update();
  const FrameRadar* indicator = radar->GetMarker(0)->indicator;
  VisScreenMask_cl* mask = LandRadarManager::GetInstance()->GetMarker(0)->mask;
  ASSERT_TRUE(indicator->GetRootWindow()->isVisible());
  ASSERT_TRUE(mask->IsVisible());

  gui->ShowLoadingScreen();
  EXPECT_FALSE(indicator->GetRootWindow()->isVisible());
  EXPECT_FALSE(mask->IsVisible());
  gui->HideLoadingScreen(100.0f, 0.0f);
  for (int i = 0; i < 5 && gui->IsLoadingScreenVisible(); ++i) env.Frame();
  ASSERT_FALSE(gui->IsLoadingScreenVisible());
  EXPECT_TRUE(indicator->GetRootWindow()->isVisible());
  EXPECT_TRUE(mask->IsVisible());
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
  env.Frame();
  EXPECT_TRUE(gui->GetRadarIndicators().empty());
}

TEST_F(RadarManagerTest, DestroyedEntitiesLeaveTheRadar) {
  UnitEntity* gone = MakeUnit();
  UnitEntity* kept = MakeUnit();
  radar->Add(gone, TRACK_SELECTED_UNIT);
  radar->Add(kept, TRACK_TARGET);
  LandRadarManager::GetInstance()->Add(gone, "gui\\textures\\radar\\LandRadarMarker.png");
  gone->Remove();
  Vision::Game.FreeRemovedEntities();
  ASSERT_EQ(radar->GetNumMarkers(), 1);
  EXPECT_EQ(radar->GetMarker(0)->entity, kept);
  EXPECT_EQ(radar->FindMarker(gone), nullptr);
  EXPECT_EQ(LandRadarManager::GetInstance()->GetNumMarkers(), 0);
  env.Frame();
  EXPECT_EQ(gui->GetRadarIndicators().size(), 1u);
}

TEST_F(RadarManagerTest, TheNearestBlueprintFollowsTheSmallestReportedDistance) {
  UnitEntity* a = MakeUnit();
  UnitEntity* b = MakeUnit();
  EXPECT_FLOAT_EQ(radar->GetNearestBlueprintDistance(), 100000.0f);
  EXPECT_FLOAT_EQ(radar->PollBlueprintDistance(nullptr, 5.0f), -1.0f);
  EXPECT_FLOAT_EQ(radar->PollBlueprintDistance(a, 300.0f), 300.0f);  // the first is tracked
  EXPECT_FLOAT_EQ(radar->PollBlueprintDistance(b, 400.0f), 300.0f);  // farther: a stays
  EXPECT_FLOAT_EQ(radar->PollBlueprintDistance(a, 500.0f), 500.0f);  // the tracked one moved away
  EXPECT_FLOAT_EQ(radar->PollBlueprintDistance(b, 400.0f), 400.0f);  // now b is nearer
  EXPECT_EQ(radar->GetNearestBlueprint(), b);

  // A blueprint destroyed without being collected no longer holds the place.
  b->Remove();
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(radar->GetNearestBlueprint(), nullptr);
  EXPECT_FLOAT_EQ(radar->GetNearestBlueprintDistance(), 100000.0f);
  EXPECT_FLOAT_EQ(radar->PollBlueprintDistance(a, 600.0f), 600.0f);
}

}  // namespace
