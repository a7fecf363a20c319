// The name plate a land unit shows over itself: it goes with the unit, also when
// the GUI has already been shut down (as at the program's end, where the GUI goes
// before the engine's de-init reaches the units of a town scene).
#include "code/gui/GuiFrameTesting.h"

#include "core/GameManager.h"
#include "entities/UnitEntity.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameUnitInfo.h"

#include "engine/Vision.h"

namespace {

class UnitInfoTest : public GuiFrameTest {
 protected:
  void SetUp() override {
    GuiFrameTest::SetUp();
    Vision::World.SetFlatTerrain(0.0f);
    GameManager::GetInstance()->SetLocation(1);
    unit = static_cast<UnitEntity*>(
        Vision::Game.CreateEntity("UnitEntity", VisVector_cl(0, 0, 0), nullptr, "m_iNumSoldiers=\"1\""));
    ASSERT_NE(unit, nullptr);
    unit->SetUnitType(15);
    unit->ShowUnitInfo(true);
    ASSERT_NE(unit->GetUnitInfo(), nullptr);
    ASSERT_NE(unit->GetUnitInfo()->GetRootWindow(), nullptr);
  }
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
    Vision::World.ClearTerrain();
    GameManager::CleanInstance();
    GuiFrameTest::TearDown();
  }

  UnitEntity* unit = nullptr;
};

// Each plate is a numbered copy of the layout; its own widgets get the unit's name
// and an empty type line.
TEST_F(UnitInfoTest, EachPlateFillsItsOwnNumberedWidgets) {
  auto* second = static_cast<UnitEntity*>(
      Vision::Game.CreateEntity("UnitEntity", VisVector_cl(5, 0, 0), nullptr, "m_iNumSoldiers=\"1\""));
  second->SetUnitType(15);
  second->ShowUnitInfo(true);
  ASSERT_NE(second->GetUnitInfo(), nullptr);
  for (UnitEntity* u : {unit, second}) {
    FrameUnitInfo* plate = u->GetUnitInfo();
    CEGUI::Window* root = plate->GetRootWindow();
    ASSERT_NE(root, nullptr);
    ASSERT_TRUE(root->isChild("UnitName") && root->isChild("UnitType"));
    CEGUI::Window* name = root->getChild("UnitName");
    CEGUI::Window* type = root->getChild("UnitType");
    name->setText("");
    type->setText("stale");
    plate->SetData(u);
    const std::string text = CeguiCompat::ToUtf8(name->getText());
    EXPECT_EQ(text.rfind("[colour='FF", 0), 0u) << CeguiCompat::ToUtf8(root->getName()) << ": " << text;
    EXPECT_TRUE(type->getText().empty());
  }
  EXPECT_NE(unit->GetUnitInfo()->GetRootWindow()->getName(), second->GetUnitInfo()->GetRootWindow()->getName());
}

// A hidden plate stays where it is; shown, it stands 100 pixels up and left of the point.
TEST_F(UnitInfoTest, AHiddenPlateDoesNotMove) {
  FrameUnitInfo* plate = unit->GetUnitInfo();
  CEGUI::Window* root = plate->GetRootWindow();
  root->hide();
  const CEGUI::UVector2 before = root->getPosition();
  plate->SetPosition(300, 200);
  EXPECT_EQ(root->getPosition(), before);
  root->show();
  plate->SetPosition(300, 200);
  EXPECT_EQ(root->getPosition(), CEGUI::UVector2(CEGUI::UDim(0, 200), CEGUI::UDim(0, 100)));
}

TEST_F(UnitInfoTest, TheUnitTakesItsPlateOutOfTheRunningGui) {
  LogCapture log;
  CEGUI::Window* plate = unit->GetUnitInfo()->GetRootWindow();
  unit->DeInitFunction();
  EXPECT_EQ(unit->GetUnitInfo(), nullptr);
  EXPECT_FALSE(CEGUI::WindowManager::getSingleton().isAlive(plate));
  EXPECT_FALSE(log.Contains("Failed to REMOVE Unit Info!"));
}

TEST_F(UnitInfoTest, AUnitOutlivingTheGuiLetsItsPlateGoQuietly) {
  LogCapture log;
  // CEGUI and every window with it are gone.
  GUIManager::CleanInstance();
  unit->DeInitFunction();
  EXPECT_EQ(unit->GetUnitInfo(), nullptr);
  EXPECT_FALSE(log.Contains("Failed to REMOVE Unit Info!"));
}

}  // namespace
