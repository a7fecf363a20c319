// Name tags over ships and towns: which panel a ship gets (one player panel at a
// time), shown while the name-tag key is held and hidden in the same frame it is
// released, placed over the owner, kept where it was once the owner leaves the
// screen, and gone with the component.
#include "components/NameTagComponent.h"

#include "code/gui/GuiFrameTesting.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/TownEntity.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameEnemyShipInfo.h"
#include "gui/FramePlayerShipInfo.h"
#include "gui/FrameTownInfo.h"
#include "support/NavalScenario.h"

#include "engine/base/VisInput.h"
#include "engine/core/VisRenderContext.h"

#include <memory>
#include <string>
#include <vector>

namespace {

class ShipNameTagTest : public GuiFrameTest {
 protected:
  void SetUp() override {
    GuiFrameTest::SetUp();
    naval_scenario::AddWarringNations("Neutral", "Enemy");
    // The camera at the origin looks along +x.
    VisRenderContext_cl* context = VisRenderContext_cl::GetMainRenderContext();
    context->SetCameraPosition(VisVector_cl(0, 0, 0));
    context->SetCameraRotation(VisMatrix3x3_cl());
  }
  void TearDown() override {
    Vision::Key.Reset();
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
    records.clear();
    naval_scenario::CleanBattleManagers();
    GuiFrameTest::TearDown();
  }

  ShipEntity* MakeShip(int nation, const VisVector_cl& at, bool player = false) {
    auto* ship = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", at));
    records.push_back(std::make_unique<ShipStats>());
    records.back()->SetShipName("Gull");
    records.back()->SetShipNation(nation);
    records.back()->SetPlayerShip(player);
    ship->SetNation(nation);
    ship->SetStats(records.back().get());
    return ship;
  }
  static NameTagComponent* Tag(VisTypedEngineObject_cl* owner) {
    auto* tag = new NameTagComponent();
    EXPECT_TRUE(owner->AddComponent(tag));
    return tag;
  }
  // A town comes with its tag.
  static NameTagComponent* TownTag(const VisVector_cl& at) {
    VisBaseEntity_cl* town = Vision::Game.CreateEntity("TownEntity", at);
    return town->Components<NameTagComponent>();
  }
  static void HoldKey(bool down) { Vision::Key.InjectKey(VGLK_NAMETAG, NameTagComponent::NAME_TAG_SCAN_CODE, down); }
  static bool Shown(NameTagComponent* tag) { return tag->GetPanel() && tag->GetPanel()->GetRootWindow()->isVisible(); }
  static CEGUI::UVector2 Where(NameTagComponent* tag) { return tag->GetPanel()->GetRootWindow()->getPosition(); }
  static void Projected(const VisVector_cl& point, float& x, float& y) {
    ASSERT_TRUE(VisRenderContext_cl::GetMainRenderContext()->Project2D(point, x, y));
  }

  std::vector<std::unique_ptr<ShipStats>> records;
};

TEST_F(ShipNameTagTest, EachKindOfOwnerGetsItsPanelUnderTheGuiRoot) {
  NameTagComponent* enemy = Tag(MakeShip(2, VisVector_cl(50, 0, 0)));
  NameTagComponent* own = Tag(MakeShip(1, VisVector_cl(50, 5, 0), true));
  // A ship of the player's nation that is not the player's own ship.
  NameTagComponent* escort = Tag(MakeShip(1, VisVector_cl(50, -5, 0), false));
  NameTagComponent* town = TownTag(VisVector_cl(60, 0, 0));
  EXPECT_NE(dynamic_cast<FrameEnemyShipInfo*>(enemy->GetPanel()), nullptr);
  EXPECT_NE(dynamic_cast<FramePlayerShipInfo*>(own->GetPanel()), nullptr);
  EXPECT_NE(dynamic_cast<FrameEnemyShipInfo*>(escort->GetPanel()), nullptr);
  EXPECT_NE(dynamic_cast<FrameTownInfo*>(town->GetPanel()), nullptr);
  for (NameTagComponent* tag : {enemy, own, escort, town}) {
    CEGUI::Window* root = tag->GetPanel()->GetRootWindow();
    EXPECT_EQ(root->getParent(), gui->GetBaseFrame());
    EXPECT_FALSE(root->isAlwaysOnTop());
    EXPECT_FALSE(root->isVisible());
  }
}

TEST_F(ShipNameTagTest, TwoPlayerShipsGetOnePlayerPanel) {
  NameTagComponent* first = Tag(MakeShip(1, VisVector_cl(50, 0, 0), true));
  LogCapture quiet;
  NameTagComponent* second = Tag(MakeShip(1, VisVector_cl(50, 5, 0), true));
  EXPECT_NE(first->GetPanel(), nullptr);
  EXPECT_EQ(second->GetPanel(), nullptr);
  HoldKey(true);
  SceneFrame();
  EXPECT_TRUE(Shown(first));
  ExpectNoCeguiFailure();
}

TEST_F(ShipNameTagTest, TheKeyShowsTheTagsOverTheirOwnersAndItsReleaseHidesThemAll) {
  ShipEntity* enemyShip = MakeShip(2, VisVector_cl(50, 10, 0));
  NameTagComponent* enemy = Tag(enemyShip);
  NameTagComponent* own = Tag(MakeShip(1, VisVector_cl(50, -10, 0), true));
  NameTagComponent* town = TownTag(VisVector_cl(60, 0, 0));
  SceneFrame();
  for (NameTagComponent* tag : {enemy, own, town}) EXPECT_FALSE(Shown(tag));

  HoldKey(true);
  SceneFrame();
  for (NameTagComponent* tag : {enemy, own, town}) {
    EXPECT_TRUE(Shown(tag));
    EXPECT_FALSE(tag->IsHidden());
  }
  float x = 0, y = 0;
  Projected(enemyShip->GetPosition(), x, y);
  EXPECT_EQ(Where(enemy), CEGUI::UVector2(CEGUI::UDim(0, x - 32), CEGUI::UDim(0, y - 32)));
  EXPECT_EQ(Where(own), CEGUI::UVector2(CEGUI::UDim(0.5f, 40), CEGUI::UDim(0.5f, -100)));
  Projected(VisVector_cl(60, 0, 0), x, y);
  EXPECT_EQ(Where(town), CEGUI::UVector2(CEGUI::UDim(0, x - 92), CEGUI::UDim(0, y - 62)));
  const CEGUI::String root = enemy->GetPanel()->GetRootWindow()->getName();
  EXPECT_EQ(CeguiCompat::ToUtf8(enemy->GetPanel()->GetComponent(root + "/ShipLevel")->getText()), "Enemy - Level 3");

  HoldKey(false);
  SceneFrame();
  for (NameTagComponent* tag : {enemy, own, town}) {
    EXPECT_FALSE(Shown(tag));
    EXPECT_TRUE(tag->IsHidden());
  }

  // An owner nobody may see shows no tag.
  HoldKey(true);
  enemyShip->SetVisibleBitmask(0);
  SceneFrame();
  EXPECT_FALSE(Shown(enemy));
  EXPECT_TRUE(Shown(town));
  env.RenderGui();
  ExpectNoCeguiFailure();
}

TEST_F(ShipNameTagTest, AShipLeavingTheScreenKeepsItsTagWhereItWasUntilTheKeyGoesUp) {
  ShipEntity* ship = MakeShip(2, VisVector_cl(50, 0, 0));
  NameTagComponent* tag = Tag(ship);
  HoldKey(true);
  SceneFrame();
  ASSERT_TRUE(Shown(tag));
  const CEGUI::UVector2 last = Where(tag);
  // Behind the camera.
  ship->SetPosition(VisVector_cl(-50, 0, 0));
  SceneFrame();
  EXPECT_TRUE(Shown(tag));
  EXPECT_EQ(Where(tag), last);
  // Far off to the side: in front of the camera but out of its view.
  ship->SetPosition(VisVector_cl(10, 400, 0));
  SceneFrame();
  EXPECT_TRUE(Shown(tag));
  EXPECT_EQ(Where(tag), last);
  HoldKey(false);
  SceneFrame();
  EXPECT_FALSE(Shown(tag));
}

TEST_F(ShipNameTagTest, ThePanelGoesWithItsComponent) {
  ShipEntity* ship = MakeShip(1, VisVector_cl(50, 0, 0), true);
  NameTagComponent* tag = Tag(ship);
  CEGUI::Window* root = tag->GetPanel()->GetRootWindow();
  tag->DisposeObject();
  EXPECT_FALSE(CEGUI::WindowManager::getSingleton().isAlive(root));
  EXPECT_FALSE(gui->GetBaseFrame()->isChild("ShipInfoPlayer"));
  // The next player ship may show its panel now.
  NameTagComponent* next = Tag(MakeShip(1, VisVector_cl(50, 5, 0), true));
  EXPECT_NE(next->GetPanel(), nullptr);
  EXPECT_FALSE(log.Contains("Failed to REMOVE nametag!"));
}

TEST_F(ShipNameTagTest, WithoutARunningGuiThereIsNoPanelAndNoComplaint) {
  GUIManager::CleanInstance();
  NameTagComponent* tag = Tag(MakeShip(2, VisVector_cl(50, 0, 0)));
  EXPECT_EQ(tag->GetPanel(), nullptr);
  HoldKey(true);
  SceneFrame();
  tag->DisposeObject();
  EXPECT_FALSE(log.Contains("nametag"));
}

}  // namespace
