// Frames of which many copies live at once (radar indicators, health bars, enemy
// ship panels, town and building tags): each copy has widget names of its own, a
// copy without its layout is made nowhere, and the radar indicators live in the
// GUI manager's list until the GUI update after they finish or the engine's end.
#include "code/gui/GuiFrameTesting.h"

#include "Managers/PauseManager.h"
#include "Managers/RadarManager.h"
#include "entities/BuildingBaseEntity.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/TownEntity.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameBuildingInfo.h"
#include "gui/FrameEnemyShipInfo.h"
#include "gui/FrameHealthBar.h"
#include "gui/FramePlayerShipInfo.h"
#include "gui/FrameRadar.h"
#include "gui/FrameTownInfo.h"
#include "components/HealthBarComponent.h"

#include "engine/core/VisCallbacks.h"

#include <cctype>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include <unistd.h>

namespace {

struct NumberedKind {
  WINDOW_TYPES type;
  const char* root;    // the layout's root name after the copy's number
  const char* widget;  // a widget of the copy, by its path below the root
};

const NumberedKind kNumberedKinds[] = {
    {WT_RADAR, "Radar", "Unit/Image"},
    {WT_HEALTH_BAR, "HealthBar", "Background/Bar"},
    {WT_ENEMY_SHIP_INFO, "ShipInfoEnemy", "Hitpoints/Bar"},
    {WT_TOWN_INFO, "TownInfo", "WealthPoints"},
    {WT_BUILDING_INFO, "BuildingInfo", "BuildingName"},
};

// A copy made as its owner makes it: radar indicators by the manager, the others
// by the component or entity that shows them.
BaseWindow* MakeCopy(GUIManager* gui, WINDOW_TYPES type) {
  std::unique_ptr<BaseWindow> frame;
  switch (type) {
    case WT_RADAR:
      return gui->ShowRadarIndicator(TRACK_TARGET);
    case WT_HEALTH_BAR:
      frame = std::make_unique<FrameHealthBar>();
      break;
    case WT_ENEMY_SHIP_INFO:
      frame = std::make_unique<FrameEnemyShipInfo>();
      break;
    case WT_TOWN_INFO:
      frame = std::make_unique<FrameTownInfo>();
      break;
    case WT_BUILDING_INFO:
      frame = std::make_unique<FrameBuildingInfo>();
      break;
    default:
      return nullptr;
  }
  return frame->Init() ? frame.release() : nullptr;
}

// The number in front of a copy's root name ("12Radar" -> 12); -1 without one.
int NumberOf(const CEGUI::Window* root, const char* name) {
  const std::string full = CeguiCompat::ToUtf8(root->getName());
  const size_t at = full.rfind(name);
  if (at == std::string::npos || at == 0 || at + std::string(name).size() != full.size()) return -1;
  return std::stoi(full.substr(0, at));
}

class NumberedFramesTest : public GuiFrameTest {
 protected:
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
    GuiFrameTest::TearDown();
  }
};

TEST_F(NumberedFramesTest, EveryCopyHasItsOwnNumberedWidgetsAndGoesWithThem) {
  for (const NumberedKind& kind : kNumberedKinds) {
    SCOPED_TRACE(kind.root);
    BaseWindow* first = MakeCopy(gui, kind.type);
    BaseWindow* second = MakeCopy(gui, kind.type);
    ASSERT_TRUE(first && second);
    CEGUI::Window* firstRoot = first->GetRootWindow();
    CEGUI::Window* secondRoot = second->GetRootWindow();
    ASSERT_TRUE(firstRoot && secondRoot);
    EXPECT_EQ(first->GetWindowType(), kind.type);
    const int n = NumberOf(firstRoot, kind.root);
    EXPECT_GT(n, 0) << firstRoot->getName();
    EXPECT_EQ(NumberOf(secondRoot, kind.root), n + 1) << secondRoot->getName();
    ASSERT_TRUE(firstRoot->isChild(kind.widget) && secondRoot->isChild(kind.widget));
    EXPECT_NE(firstRoot->getChild(kind.widget)->getNamePath(), secondRoot->getChild(kind.widget)->getNamePath());
    // Both copies can stand under the root sheet at once.
    if (!firstRoot->getParent()) gui->AddToTheBaseFrame(firstRoot);
    if (!secondRoot->getParent()) gui->AddToTheBaseFrame(secondRoot);
    EXPECT_EQ(firstRoot->getParent(), secondRoot->getParent());

    if (kind.type == WT_RADAR) {
      static_cast<FrameRadar*>(first)->SetRemoveRequest(true);
      static_cast<FrameRadar*>(second)->SetRemoveRequest(true);
      env.Frame();
      EXPECT_TRUE(gui->GetRadarIndicators().empty());
    } else {
      delete first;
      delete second;
    }
    EXPECT_FALSE(CEGUI::WindowManager::getSingleton().isAlive(firstRoot));
    EXPECT_FALSE(CEGUI::WindowManager::getSingleton().isAlive(secondRoot));
  }

  // The table's panels and tags are numbered copies too, and close by kind.
  for (WINDOW_TYPES type : {WT_ENEMY_SHIP_INFO, WT_TOWN_INFO, WT_BUILDING_INFO}) {
    BaseWindow* frame = gui->GetWindow(type);
    ASSERT_NE(frame, nullptr) << type;
    CEGUI::Window* root = frame->GetRootWindow();
    ASSERT_NE(root, nullptr) << type;
    EXPECT_TRUE(std::isdigit((unsigned char)root->getName()[0])) << root->getName();
    gui->ShowFrame(type);
    EXPECT_TRUE(gui->IsWindowVisible(type));
    gui->CloseWindow(type, true);
    EXPECT_EQ(gui->FindWindowA(type), nullptr);
    EXPECT_FALSE(CEGUI::WindowManager::getSingleton().isAlive(root));
  }
  // The player's panel is the one copy, without a number.
  FramePlayerShipInfo panel;
  ASSERT_TRUE(panel.Init());
  EXPECT_STREQ(panel.GetRootWindow()->getName().c_str(), "ShipInfoPlayer");
  env.Frame();
  env.RenderGui();
  ExpectNoCeguiFailure();
}

TEST_F(NumberedFramesTest, FinishedIndicatorsGoAfterTheGuiUpdateAndAllAtTheEnginesEnd) {
  FrameRadar* finished = gui->ShowRadarIndicator(TRACK_TARGET);
  FrameRadar* kept = gui->ShowRadarIndicator(TRACK_BLUEPRINT);
  ASSERT_TRUE(finished && kept);
  EXPECT_EQ(finished->GetRootWindow()->getParent(), gui->GetBaseFrame());
  CEGUI::Window* finishedRoot = finished->GetRootWindow();
  finished->SetRemoveRequest(true);

  // Before the frame, during the scene update: still there.
  BaseEntityDataObject pre(&GameManager::Callbacks.OnPreFrame, nullptr);
  GameManager::Callbacks.OnPreFrame.TriggerCallbacks(&pre);
  Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
  Vision::Callbacks.OnUpdateSceneFinished.TriggerCallbacks();
  EXPECT_EQ(gui->GetRadarIndicators().size(), 2u);
  BaseEntityDataObject post(&GameManager::Callbacks.OnPostFrame, nullptr);
  GameManager::Callbacks.OnPostFrame.TriggerCallbacks(&post);
  ASSERT_EQ(gui->GetRadarIndicators().size(), 1u);
  EXPECT_EQ(gui->GetRadarIndicators().front(), kept);
  EXPECT_FALSE(CEGUI::WindowManager::getSingleton().isAlive(finishedRoot));

  // An indicator's pause wish counts with the others'.
  kept->RequestPause(true);
  EXPECT_TRUE(gui->WantsGamePause());
  EXPECT_TRUE(PauseManager::GetInstance()->IsGamePaused());
  kept->RequestPause(false);
  EXPECT_FALSE(gui->WantsGamePause());
  EXPECT_FALSE(PauseManager::GetInstance()->IsGamePaused());

  // The engine's end takes every indicator, and the radar's markers with them.
  RadarManager* radar = RadarManager::GetInstance();
  radar->Add(VisVector_cl(1, 2, 3));
  radar->Add(VisVector_cl(4, 5, 6));
  ASSERT_EQ(gui->GetRadarIndicators().size(), 3u);
  CEGUI::Window* keptRoot = kept->GetRootWindow();
  Vision::Callbacks.OnEngineDeInit.TriggerCallbacks();
  EXPECT_TRUE(gui->GetRadarIndicators().empty());
  EXPECT_EQ(radar->GetNumMarkers(), 0);
  EXPECT_FALSE(CEGUI::WindowManager::getSingleton().isAlive(keptRoot));
  env.Frame();
  ExpectNoCeguiFailure();
}

// A GUI whose folder lacks the layouts of the numbered kinds: no copy can be made.
class NumberedFramesWithoutLayoutsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env.Start();
    folder = std::filesystem::temp_directory_path() / ("numbered_frames_" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::filesystem::copy(BRINEMARK_SOURCE_DIR "/data/gui", folder / "gui", std::filesystem::copy_options::recursive);
    for (const char* layout : {"Radar.layout", "HealthBar.layout", "ShipInfoEnemy.layout", "TownInfo.layout",
                               "BuildingInfo.layout", "ShipInfoPlayer.layout"})
      std::filesystem::remove(folder / "gui" / "layouts" / layout);
    // The copy's gui folder is found first; everything else comes from the data.
    Vision::File.RemoveAllDataDirectories();
    Vision::File.AddDataDirectory(folder.c_str());
    Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data");
    gui = env.StartGui();
    ASSERT_TRUE(gui->IsInitialized());
    gui->InitLayouts();
  }
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
    env.Stop();
    std::filesystem::remove_all(folder);
  }

  GuiTestEnvironment env;
  GUIManager* gui = nullptr;
  std::filesystem::path folder;
  LogCapture log;
};

TEST_F(NumberedFramesWithoutLayoutsTest, ACopyWhoseLayoutFailsIsMadeNowhere) {
  ASSERT_EQ(gui->GetLayout(WT_RADAR, "1"), nullptr);
  for (const NumberedKind& kind : kNumberedKinds) EXPECT_EQ(MakeCopy(gui, kind.type), nullptr) << kind.root;
  EXPECT_TRUE(gui->GetRadarIndicators().empty());
  FramePlayerShipInfo panel;
  EXPECT_FALSE(panel.Init());

  // The radar marks nothing without an indicator.
  RadarManager* radar = RadarManager::GetInstance();
  radar->Add(VisVector_cl(1, 2, 3));
  EXPECT_EQ(radar->GetNumMarkers(), 0);

  // A health bar without its frame does nothing, frame after frame.
  auto* building =
      static_cast<BuildingBaseEntity*>(Vision::Game.CreateEntity("BuildingBaseEntity", VisVector_cl(40, 0, 0)));
  building->ShowHealthBar(1.0f);
  ASSERT_NE(building->Components<HealthBarComponent>(), nullptr);
  EXPECT_EQ(building->Components<HealthBarComponent>()->GetFrame(), nullptr);
  for (int i = 0; i < 3; ++i) {
    Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
    env.Frame();
  }

  // The table keeps a panel without widgets, which the shortcuts do not show.
  ShipStats record;
  record.GetHull().SetMaximum(100);
  auto* ship = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", VisVector_cl(50, 0, 0)));
  ship->SetStats(&record);
  gui->ShowShipInfo(ship);
  ASSERT_NE(gui->FindWindowA(WT_ENEMY_SHIP_INFO), nullptr);
  EXPECT_EQ(gui->FindWindowA(WT_ENEMY_SHIP_INFO)->GetRootWindow(), nullptr);
  EXPECT_FALSE(gui->IsWindowVisible(WT_ENEMY_SHIP_INFO));
  gui->HideShipInfo();
  auto* town = static_cast<TownEntity*>(Vision::Game.CreateEntity("TownEntity", VisVector_cl(0, 0, 0)));
  gui->ShowTownInfo(town);
  EXPECT_FALSE(gui->IsWindowVisible(WT_TOWN_INFO));
  gui->HideTownInfo();
  ship->SetStats(nullptr);
}

}  // namespace
