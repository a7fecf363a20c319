// The world map: opening and closing (with the game's pause), the M key, the map
// coordinates and the player's pulsing dot.
#include "code/gui/GuiFrameTesting.h"

#include "Managers/PauseManager.h"
#include "core/GameManager.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/TownEntity.h"
#include "Managers/TownManager.h"
#include "support/ScratchDataFolder.h"
#include "gui/FrameMap.h"

#include <algorithm>
#include <vector>

namespace {

struct MapCase {
  float x, y;
  int px, py;
};

TEST(FrameMapCoordinatesTest, WorldPositionsLandOnTheMapPicture) {
  const MapCase cases[] = {{0, 0, 492, 239}, {3000, -3000, 145, -108}, {-3000, 3000, 839, 586}};
  for (const MapCase& c : cases) {
    int px = 0, py = 0;
    FrameMap::WorldToMap(VisVector_cl(c.x, c.y, 123), px, py);
    EXPECT_EQ(px, c.px) << c.x;
    EXPECT_EQ(py, c.py) << c.y;
  }
}

class FrameMapTest : public GuiFrameTest {
 protected:
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    GameManager::CleanInstance();
    PauseManager::CleanInstance();
    GuiFrameTest::TearDown();
  }
  // The player's ship at the world map.
  void MakePlayerShip(const VisVector_cl& at) {
    GameManager* game = GameManager::GetInstance();
    game->AddNation(new Nation(0, "Neutral"));
    game->AddNation(new Nation(1, "Player"));
    stats.SetPlayerShip(true);
    ship = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", at));
    ship->SetStats(&stats);
    game->GetNation(1u)->AddShip(ship);
    game->SetLocation(0);
  }
  FrameMap* Map() { return dynamic_cast<FrameMap*>(gui->FindWindowA(WT_MAP)); }

  ScratchDataFolder data;
  ShipStats stats;
  ShipEntity* ship = nullptr;
};

TEST_F(FrameMapTest, TheMKeyOpensTheMapOnTopAndPausesTheGameUntilItCloses) {
  GameManager* game = GameManager::GetInstance();
  gui->SetExclamationForButton(2, true);
  Vision::Key.InjectKey(-1, 50, true);
  game->ProcessKeys();
  Vision::Key.InjectKey(-1, 50, false);
  Vision::Key.Poll();
  FrameMap* map = Map();
  ASSERT_NE(map, nullptr);
  EXPECT_TRUE(map->IsOpen());
  EXPECT_TRUE(gui->IsWindowVisible(WT_MAP));
  EXPECT_EQ(map->GetRootWindow()->getParent(), gui->GetBaseFrame());
  EXPECT_TRUE(map->GetRootWindow()->isAlwaysOnTop());
  EXPECT_TRUE(map->IsRequestingPause());
  EXPECT_TRUE(PauseManager::GetInstance()->IsGamePaused());
  EXPECT_FALSE(gui->GetExclamationForButton(2));

  // M again closes it; the frame goes after the GUI update.
  Vision::Key.InjectKey(-1, 50, true);
  game->ProcessKeys();
  Vision::Key.InjectKey(-1, 50, false);
  EXPECT_FALSE(map->IsOpen());
  EXPECT_FALSE(gui->IsWindowVisible(WT_MAP));
  EXPECT_FALSE(PauseManager::GetInstance()->IsGamePaused());
  env.Frame();
  EXPECT_EQ(gui->FindWindowA(WT_MAP), nullptr);
  ExpectNoCeguiFailure();
}

TEST_F(FrameMapTest, OpenedAgainInTheFrameItClosedItStays) {
  auto* map = static_cast<FrameMap*>(gui->GetWindow(WT_MAP));
  ASSERT_NE(map, nullptr);
  map->ToggleMap();
  map->ToggleMap();
  EXPECT_TRUE(map->isRequestingRemove());
  map->ToggleMap();
  env.Frame();
  ASSERT_EQ(gui->FindWindowA(WT_MAP), map);
  EXPECT_TRUE(map->IsOpen());
  EXPECT_TRUE(gui->IsWindowVisible(WT_MAP));
  EXPECT_TRUE(PauseManager::GetInstance()->IsGamePaused());
}

TEST_F(FrameMapTest, ThePlayersDotPulsesAtItsPlaceAndTheCloseButtonClosesTheMap) {
  MakePlayerShip(VisVector_cl(0, 0, 0));
  static_cast<FrameMap*>(gui->GetWindow(WT_MAP))->ToggleMap();
  FrameMap* map = Map();
  ASSERT_NE(map, nullptr);
  CEGUI::Window* dot = map->GetComponent("MAP/Window/Map/PlayerDot_Proto");
  ASSERT_NE(dot, nullptr);
  EXPECT_TRUE(dot->isVisible());
  EXPECT_EQ(dot->getPosition().d_x.d_offset, 492.0f);
  EXPECT_EQ(dot->getPosition().d_y.d_offset, 239.0f);

  // Never below 0.2, and the pulse starts over after a full turn.
  float lowest = 1.0f, longest = 0.0f;
  for (int i = 0; i < 80; ++i) {
    env.Frame();
    lowest = std::min(lowest, dot->getAlpha());
    longest = std::max(longest, map->GetPulseTime());
  }
  EXPECT_GE(lowest, 0.2f - 1e-5f);
  EXPECT_LT(lowest, 0.3f);
  EXPECT_LE(longest, 6.283f + 0.1f + 1e-4f);

  Click(map->GetComponent("MAP/Window/CloseButton"));
  EXPECT_FALSE(map->IsOpen());
  EXPECT_FALSE(PauseManager::GetInstance()->IsGamePaused());
  env.Frame();
  EXPECT_EQ(gui->FindWindowA(WT_MAP), nullptr);
  ExpectNoCeguiFailure();
}

TEST_F(FrameMapTest, FoundTownsGetADotAndNamedOnesABigIcon) {
  auto town = [](const char* key, const char* nameKey, const VisVector_cl& at, bool found) {
    TownEntity* t = static_cast<TownEntity*>(Vision::Game.CreateEntity("TownEntity", at));
    t->SetEntityKey(key);
    t->SetTownNameKey(nameKey);
    t->SetScriptValue("bFound", found);
    return t;
  };
  // The towns keep their values in a script of their own.
  Vision::File.AddDataDirectory(data.Path().c_str());
  data.Write("scripts/towns/plain.lua", "bFound = false\nsNameKey = \"\"\n");
  TownEntity* named = town("Cove", "str_TOWN_SALTMARSH", VisVector_cl(0, 0, 0), false);
  TownEntity* slum = town("Slum", "str_TOWN_SL_HOLLOW", VisVector_cl(3000, -3000, 0), false);
  TownEntity* unknown = town("Far", "str_TOWN_FAR", VisVector_cl(100, 0, 0), false);
  TownEntity* nameless = town("Nameless", "", VisVector_cl(-3000, 3000, 0), false);
  for (TownEntity* t : {named, slum, unknown, nameless}) {
    const VString key = t->GetTownNameKey();
    t->SetScript("scripts/towns/plain.lua");
    t->SetTownNameKey(key.AsChar());
  }
  named->SetFound(true);
  slum->SetFound(true);
  nameless->SetFound(true);
  ASSERT_EQ(nameless->GetTownNameKey(), "str_TOWN_NONE");
  TownManager::GetInstance()->Initialize();

  auto* map = static_cast<FrameMap*>(gui->GetWindow(WT_MAP));
  ASSERT_NE(map, nullptr);
  CEGUI::Window* big = map->GetComponent("MAP/Window/Map/TownDot0");
  CEGUI::Window* small = map->GetComponent("MAP/Window/Map/TownDot1");
  ASSERT_NE(big, nullptr);
  ASSERT_NE(small, nullptr);
  EXPECT_EQ(map->GetComponent("MAP/Window/Map/TownDot2"), nullptr);
  EXPECT_TRUE(big->isVisible());
  EXPECT_EQ(big->getPosition().d_x.d_offset, 492.0f - 38.0f);
  EXPECT_EQ(big->getPosition().d_y.d_offset, 239.0f - 30.0f);
  EXPECT_EQ(big->getPixelSize().d_width, 96.0f);
  EXPECT_EQ(big->getPixelSize().d_height, 80.0f);
  EXPECT_EQ(big->getProperty("Image"), "WorldMap/str_TOWN_SALTMARSH");
  // Small dots: a town of the str_TOWN_SL... names, and a town without a name.
  EXPECT_EQ(small->getPosition().d_x.d_offset, 145.0f);
  EXPECT_EQ(small->getPosition().d_y.d_offset, -108.0f);
  EXPECT_EQ(small->getPixelSize().d_width, 10.0f);
  CEGUI::Window* none = map->GetComponent("MAP/Window/Map/TownDot3");
  ASSERT_NE(none, nullptr);
  EXPECT_EQ(none->getPosition().d_x.d_offset, 839.0f);
  EXPECT_EQ(none->getPosition().d_y.d_offset, 586.0f);
  EXPECT_EQ(none->getPixelSize().d_width, 10.0f);
  EXPECT_EQ(none->getProperty("Image"), "WorldMap/TownDot") << "the plain dot";

  // A town found later gets its dot on the next redraw; existing dots are reused.
  unknown->SetFound(true);
  map->UpdateTownDots();
  EXPECT_NE(map->GetComponent("MAP/Window/Map/TownDot2"), nullptr);
  EXPECT_EQ(map->GetComponent("MAP/Window/Map/TownDot0"), big);
  EXPECT_EQ(map->GetCreatedDots().size(), 4u);

  // Opened and closed with its button: the dots are destroyed, and made again on
  // the next opening.
  map->ToggleMap();
  EXPECT_TRUE(map->GetComponent("MAP/Window/Map/TownDot2")->isVisible());
  Click(map->GetComponent("MAP/Window/CloseButton"));
  EXPECT_TRUE(map->GetCreatedDots().empty());
  EXPECT_EQ(map->GetComponent("MAP/Window/Map/TownDot0"), nullptr);
  env.Frame();
  map = static_cast<FrameMap*>(gui->GetWindow(WT_MAP));
  ASSERT_NE(map, nullptr);
  EXPECT_EQ(map->GetCreatedDots().size(), 4u);
  TownManager::CleanInstance();
  ExpectNoCeguiFailure();
}

// Frames of an eighth of the pulse's turn (6.283 / 4 seconds).
class FrameMapPulseTest : public FrameMapTest {
 protected:
  FrameMapPulseTest() { timeStep = 6.283f / 4.0f / 8.0f; }
};

TEST_F(FrameMapPulseTest, ThePlayersDotPulsesOncePerQuarterOfTheWrap) {
  MakePlayerShip(VisVector_cl(100, 100, 0));
  auto* map = static_cast<FrameMap*>(gui->GetWindow(WT_MAP));
  ASSERT_NE(map, nullptr);
  map->ToggleMap();
  CEGUI::Window* dot = map->GetComponent("MAP/Window/Map/PlayerDot_Proto");
  ASSERT_NE(dot, nullptr);
  std::vector<float> alphas;
  for (int i = 0; i < 24; ++i) {
    env.Frame();
    alphas.push_back(dot->getAlpha());
  }
  for (int i = 0; i + 8 < 24; ++i) EXPECT_NEAR(alphas[i], alphas[i + 8], 1e-3f) << i;
  EXPECT_NEAR(*std::min_element(alphas.begin(), alphas.end()), 0.2f, 1e-3f);
  EXPECT_EQ(*std::max_element(alphas.begin(), alphas.end()), 1.0f);
  map->ToggleMap();
}

}  // namespace
