// The player ship panel's expanded rows, the enemy panel's hull without a maximum,
// the manager's panel shortcuts and the building tag that moves while hidden.
#include "code/gui/GuiFrameTesting.h"

#include "core/GameManager.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/TownEntity.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameBuildingInfo.h"
#include "gui/FrameEnemyShipInfo.h"
#include "gui/FramePlayerShipInfo.h"
#include "gui/FrameTownInfo.h"
#include "support/NavalScenario.h"

#include <memory>
#include <string>
#include <vector>

namespace {

const std::string kEmptyFace = "[image-size='w:36 h:36'][image='set:UnitFaces_01 image:EmptySmallMini']";

std::string Times(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
  return n;
}

// Rows of six faces, the last padded with empty faces whose markup is closed.
TEST(PlayerPanelRows, FacesFillWholeRowsOfSix) {
  struct Case {
    int faces, rows;
  } cases[] = {{0, 0}, {1, 1}, {6, 1}, {12, 2}, {13, 3}};
  for (const Case& c : cases) {
    int rows = 0;
    const std::string text = FramePlayerShipInfo::FaceRows(std::vector<std::string>(c.faces, "Pirate"), rows);
    EXPECT_EQ(rows, c.rows) << c.faces;
    EXPECT_EQ(Count(text, "image:PirateMini']"), (size_t)c.faces);
    EXPECT_EQ(Count(text, "[image-size='w:36 h:36']"), (size_t)(c.rows * 6)) << c.faces;
  }
  const std::string row = FramePlayerShipInfo::IconRow({"set:ShipIcons_01 image:Weapon2Icon"});
  EXPECT_EQ(row, "[image-size='w:36 h:36'][image='set:ShipIcons_01 image:Weapon2Icon']" + Times(kEmptyFace, 5));
}

class PlayerShipPanelTest : public GuiFrameTest {
 protected:
  void SetUp() override {
    GuiFrameTest::SetUp();
    naval_scenario::AddWarringNations("Neutral", "Enemy");
  }
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
    naval_scenario::CleanBattleManagers();
    GuiFrameTest::TearDown();
  }
  ShipEntity* MakeShip() {
    auto* ship = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", VisVector_cl(50, 0, 0)));
    record.SetShipName("Gull");
    record.SetShipNation(2);
    record.GetHull().SetMaximum(120);
    record.GetHull().SetCurrent(30);
    ship->SetNation(2);
    ship->SetStats(&record);
    return ship;
  }
  static std::string Text(CEGUI::Window* window) { return CeguiCompat::ToUtf8(window->getText()); }
  static CEGUI::Window* Child(BaseWindow* frame, const char* path) { return frame->GetRootWindow()->getChild(path); }

  ShipStats record;
};

TEST_F(PlayerShipPanelTest, TheManagerShowsAndHidesTheEnemyPanelAndAnUntrackedHullKeepsItsBar) {
  ShipEntity* ship = MakeShip();
  // Panels open over the frame on show, here the sea HUD.
  gui->ShowFrame(WT_BATTLE_HUD);
  gui->ShowShipInfo(ship);
  auto* panel = dynamic_cast<FrameEnemyShipInfo*>(gui->FindWindowA(WT_ENEMY_SHIP_INFO));
  ASSERT_NE(panel, nullptr);
  EXPECT_TRUE(gui->IsWindowVisible(WT_ENEMY_SHIP_INFO));
  EXPECT_FLOAT_EQ(Child(panel, "Hitpoints/Bar")->getWidth().d_scale, 0.25f);
  // An untracked hull (no maximum) leaves the bar as it was.
  record.GetHull().SetMaximum(0);
  panel->SetData(ship);
  EXPECT_FLOAT_EQ(Child(panel, "Hitpoints/Bar")->getWidth().d_scale, 0.25f);
  gui->HideShipInfo();
  EXPECT_FALSE(gui->IsWindowVisible(WT_ENEMY_SHIP_INFO));
  gui->ShowShipInfo(nullptr);
  EXPECT_FALSE(gui->IsWindowVisible(WT_ENEMY_SHIP_INFO));
  ExpectNoCeguiFailure();
}

TEST_F(PlayerShipPanelTest, ThePlayerPanelExpandsByItsRowsAndCollapsesWhenHidden) {
  FramePlayerShipInfo panel;
  ASSERT_TRUE(panel.Init());
  CEGUI::Window* root = panel.GetRootWindow();
  CEGUI::Window* more = Child(&panel, "Content/BtnMoar");
  CEGUI::Window* divider = Child(&panel, "Content/Divider");
  CEGUI::Window* header = Child(&panel, "Content/UpgradesHeader");
  CEGUI::Window* units = Child(&panel, "Content/Units");
  EXPECT_TRUE(more->isVisible());
  EXPECT_FLOAT_EQ(root->getHeight().d_offset, 133.0f);

  // No upgrades, no weapons: no header, the divider at 118; the faces' rows count.
  struct Case {
    int faces, rows;
  } cases[] = {{12, 2}, {13, 3}};
  for (const Case& c : cases) {
    root->show();
    panel.ExpandWith(nullptr, std::vector<std::string>(c.faces, "Pirate"));
    EXPECT_FALSE(panel.IsCollapsed());
    EXPECT_FALSE(header->isVisible());
    EXPECT_FALSE(more->isVisible());
    EXPECT_FLOAT_EQ(divider->getPosition().d_y.d_offset, 118.0f);
    EXPECT_FLOAT_EQ(divider->getPosition().d_x.d_offset, 10.0f);
    EXPECT_FLOAT_EQ(units->getPosition().d_y.d_offset, 128.0f);
    EXPECT_FLOAT_EQ(root->getHeight().d_offset, c.rows * 36.0f + 170.0f) << c.faces;
    // Hiding the panel collapses it.
    root->hide();
    EXPECT_TRUE(panel.IsCollapsed());
    EXPECT_TRUE(more->isVisible());
    EXPECT_FLOAT_EQ(root->getHeight().d_offset, 133.0f);
  }

  // A ship with a special weapon gets its row: the header shows, everything moves down.
  ShipStats ship;
  ship.AddSpecialWeapon(2);
  root->show();
  panel.ExpandWith(&ship, {"Pirate"});
  EXPECT_TRUE(header->isVisible());
  EXPECT_FLOAT_EQ(divider->getPosition().d_y.d_offset, 154.0f);
  EXPECT_FLOAT_EQ(root->getHeight().d_offset, 2 * 36.0f + 170.0f);
  EXPECT_NE(Text(Child(&panel, "Content/Upgrades")).find("Weapon2Icon"), std::string::npos);
  ExpectNoCeguiFailure();
}

TEST_F(PlayerShipPanelTest, TheBuildingTagMovesAlsoWhileHidden) {
  FrameBuildingInfo tag;
  ASSERT_TRUE(tag.Init());
  tag.GetRootWindow()->hide();
  tag.SetPosition(300, 200);
  EXPECT_EQ(tag.GetRootWindow()->getPosition(), CEGUI::UVector2(CEGUI::UDim(0, 208), CEGUI::UDim(0, 138)));
}

}  // namespace
