// Enterable buildings: who counts for the entering range and where it ends, the
// highlight, entering (mansion rule, construction plots, message 158), the name
// tag and the save block.
#include "code/components/BuildingFixture.h"

#include "support/ArchiveRoundTrip.h"

#include "components/BuildableBuildingComponent.h"
#include "components/SpecialBuildingComponent.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameBuildingInfo.h"
#include "gui/FrameConstruct.h"
#include "util/ComponentSetup.h"

#include "engine/base/VArchive.h"
#include "engine/core/VisRenderContext.h"
#include "engine/core/VisVisibilityCollector.h"

namespace {

using archive_test::ByteWriter;
using archive_test::Bytes;

// The tavern model is 10 x 8: its box ends 5 units from its centre along x.
constexpr float kHalfLength = 5.0f;

class SpecialBuildingTest : public BuildingFixture {
 protected:
  SpecialBuildingComponent* MakeEnterable(WINDOW_TYPES type, BuildingBaseEntity** out = nullptr) {
    building = MakeBuilding("scripts\\buildings\\tavern.lua", "models\\buildings\\tavern.model");
    auto* special = new SpecialBuildingComponent();
    special->SetWindowType(type);
    EXPECT_TRUE(building->AddComponent(special));
    if (out) *out = building;
    return special;
  }
  BuildingBaseEntity* building = nullptr;
};

TEST_F(SpecialBuildingTest, OnlyBuildingsTakeIt) {
  SpecialBuildingComponent special;
  VString reason;
  EXPECT_EQ(special.CanAttachToObject(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(0, 0, 0)), reason), 0);
  EXPECT_STREQ(reason.AsChar(), "Component can only be added to instances of BuildingBaseEntity or derived classes.");
  EXPECT_EQ(special.CanAttachToObject(MakeBuilding("", nullptr), reason), 1);
}

TEST_F(SpecialBuildingTest, WhoCountsForTheEnteringRange) {
  struct Case {
    WINDOW_TYPES type;
    UnitKind unit;
    float gap;  // distance of the unit to the building's box
    bool inRange;
  };
  const Case cases[] = {
      {WT_BASIC_UNIT_BUILDING, HERO, 1.5f, true},      {WT_ADVANCED_UNIT_BUILDING, HERO, 1.5f, true},
      {WT_SPECIAL_UNIT_BUILDING, CHARACTER, 1.5f, true}, {WT_BASIC_UNIT_BUILDING, PLAIN, 1.5f, false},
      {WT_TAVERN, HERO, 1.5f, false},                  {WT_TAVERN, CHARACTER, 1.5f, true},
      {WT_TAVERN, CHARACTER, 2.0f, false},  // exactly at the entering distance: out
      {WT_BASIC_UNIT_BUILDING, HERO, 2.5f, false},
  };
  for (const Case& c : cases) {
    SpecialBuildingComponent* special = MakeEnterable(c.type);
    UnitEntity* unit = MakeUnit(c.unit, kHalfLength + c.gap);
    Frames(1);
    EXPECT_EQ(special->IsInRange(), c.inRange) << c.type << " " << c.unit << " " << c.gap;
    EXPECT_EQ(Highlighted(building), c.inRange);
    if (c.inRange) {
      EXPECT_EQ(VEntityHighlightManager::GetInstance()->GetHighlightColour(building),
                SpecialBuildingComponent::kHighlightColour);
      EXPECT_TRUE(special->EnterBuilding());
    } else {
      EXPECT_FALSE(special->EnterBuilding());
    }
    // Walking away takes the highlight off.
    unit->SetPosition(VisVector_cl(50, 0, 0));
    Frames(1);
    EXPECT_FALSE(Highlighted(building));
    building->Remove();
    RemoveUnit(unit);
  }
}

TEST_F(SpecialBuildingTest, TheMansionOpensOnlyForANationWithMissions) {
  SpecialBuildingComponent* special = MakeEnterable(WT_PIRATE_MANSION);
  MakeUnit(CHARACTER, kHalfLength + 1.0f);
  Frames(1);
  ASSERT_TRUE(special->IsInRange());
  TownManager::GetInstance()->GetCurrentTownInfo().sceneType = 3;
  MissionManager::GlobalManager().InitializeMissions();
  MissionManager::GlobalManager().LoadFactionMissions();
  ASSERT_FALSE(MissionManager::GlobalManager().GetFactionMissions().empty());
  EXPECT_FALSE(special->EnterBuilding()) << "the corsairs' only mission is not open yet";
  MissionManager::GlobalManager().OpenFactionMissionById(10);
  EXPECT_TRUE(special->EnterBuilding());
  GameManager::GetInstance()->GetNation(3)->SetMansionAccessible(false);
  EXPECT_FALSE(special->EnterBuilding()) << "a closed mansion";
}

TEST_F(SpecialBuildingTest, AConstructionPlotOpensItsDialogOnlyWhileNothingIsBuilt) {
  SpecialBuildingComponent* special = MakeEnterable(WT_SHIPYARD);
  auto* buildable = new BuildableBuildingComponent();
  buildable->SetBuildTime(60.0f);
  ASSERT_TRUE(building->AddComponent(buildable));
  UnitEntity* character = MakeUnit(CHARACTER, kHalfLength + 1.0f);
  Frames(1);
  ASSERT_TRUE(buildable->CanConstruct());

  // Message 158 is how a unit arriving at the building enters it.
  building->SendMsg(158);
  auto* dialog = dynamic_cast<FrameConstruct*>(gui->FindWindowA(WT_CONSTRUCT));
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->GetRootWindow()->isVisible());
  gui->CloseWindow(WT_CONSTRUCT, true);

  building->SendMsg(203);
  ASSERT_TRUE(buildable->IsContructing());
  Frames(1);
  EXPECT_TRUE(special->EnterBuilding()) << "entered, but nothing opens";
  EXPECT_EQ(gui->FindWindowA(WT_CONSTRUCT), nullptr);
  EXPECT_EQ(gui->FindWindowA(WT_SHIPYARD), nullptr);
  (void)character;
}

TEST_F(SpecialBuildingTest, LeavingTheBuildingClosesItsScreen) {
  // The building screens come later; any frame kind shows the rule.
  SpecialBuildingComponent* special = MakeEnterable(WT_CONSTRUCT);
  special->ExitBuilding();  // nothing open: nothing happens
  gui->ShowFrame(WT_CONSTRUCT);
  BaseWindow* screen = gui->FindWindowA(WT_CONSTRUCT);
  ASSERT_NE(screen, nullptr);
  ASSERT_EQ(gui->GetCurrentFrame(), screen);
  special->ExitBuilding();
  EXPECT_EQ(gui->GetCurrentFrame(), nullptr);
  EXPECT_TRUE(screen->isRequestingRemove());
  SceneFrame();
  EXPECT_EQ(gui->FindWindowA(WT_CONSTRUCT), nullptr);

  // Another kind's screen stays.
  gui->ShowFrame(WT_FADE_OUT);
  special->ExitBuilding();
  ASSERT_NE(gui->GetCurrentFrame(), nullptr);
  EXPECT_FALSE(gui->GetCurrentFrame()->isRequestingRemove());
}

// ---- the name tag ----------------------------------------------------------------------

class NameTagTest : public SpecialBuildingTest {
 protected:
  void SetUp() override {
    SpecialBuildingTest::SetUp();
    context = VisRenderContext_cl::GetMainRenderContext();
    context->SetCameraPosition(VisVector_cl(-60, 0, 3));
    context->SetCameraRotation(VisMatrix3x3_cl());
  }
  void TearDown() override {
    Vision::Key.Reset();
    context->GetVisibilityCollector()->Clear();
    SpecialBuildingTest::TearDown();
  }
  void Seen(VisBaseEntity_cl* entity) { context->GetVisibilityCollector()->m_entities.push_back(entity); }
  VisRenderContext_cl* context = nullptr;
};

TEST_F(NameTagTest, ShowsTheNameAtTheBoxTopWhileTheKeyIsHeldAndTheBuildingIsSeen) {
  SpecialBuildingComponent* special = MakeEnterable(WT_TAVERN);
  FrameBuildingInfo* tag = special->GetNameTag();
  ASSERT_NE(tag, nullptr);
  EXPECT_EQ(tag->GetRootWindow()->getParent(), gui->GetBaseFrame());
  Seen(building);

  Frames(1);
  EXPECT_FALSE(tag->IsVisible()) << "the key is not held";
  EXPECT_TRUE(special->IsNameTagHidden());

  Vision::Key.InjectKey(SpecialBuildingComponent::kNameTagKey, -1, true);
  Frames(1);
  ASSERT_TRUE(tag->IsVisible());
  EXPECT_EQ(CeguiCompat::ToUtf8(tag->GetNameWindow()->getText()), "[font='Woodstamp-23']Tavern");
  float x = 0.0f, y = 0.0f;
  ASSERT_TRUE(context->Project2D(VisVector_cl(0, 0, 6), x, y)) << "the top of the tavern's box";
  const CEGUI::UVector2 at = tag->GetRootWindow()->getPosition();
  EXPECT_FLOAT_EQ(at.d_x.d_offset, x - 92.0f);
  EXPECT_FLOAT_EQ(at.d_y.d_offset, y - 62.0f);

  // Unseen, or hidden by its masks, or off screen: the tag goes.
  context->GetVisibilityCollector()->Clear();
  Frames(1);
  EXPECT_FALSE(tag->IsVisible()) << "not seen by the camera";
  Seen(building);
  building->SetVisibleBitmask(0);
  Frames(1);
  EXPECT_FALSE(tag->IsVisible()) << "hidden building";
  building->SetVisibleBitmask(0xffffffffu);
  Frames(1);
  EXPECT_TRUE(tag->IsVisible());
  context->SetCameraPosition(VisVector_cl(60, 0, 3));
  Frames(1);
  EXPECT_FALSE(tag->IsVisible()) << "behind the camera";
  context->SetCameraPosition(VisVector_cl(-60, 0, 3));
  Frames(1);
  ASSERT_TRUE(tag->IsVisible());
  context->SetCameraRotation(VisMath_cl::EulerToMatrix(70.0f, 0.0f, 0.0f));
  Frames(1);
  EXPECT_FALSE(tag->IsVisible()) << "in front, but beside the screen";
  context->SetCameraRotation(VisMatrix3x3_cl());
  context->SetCameraPosition(VisVector_cl(-60, 0, 3));
  Frames(1);
  EXPECT_TRUE(tag->IsVisible());

  Vision::Key.InjectKey(SpecialBuildingComponent::kNameTagKey, -1, false);
  Frames(1);
  EXPECT_FALSE(tag->IsVisible()) << "the key was let go";

  // The component leaving takes the tag off the root sheet.
  CEGUI::Window* root = tag->GetRootWindow();
  building->RemoveComponent(special);
  EXPECT_EQ(special->GetNameTag(), nullptr);
  EXPECT_FALSE(gui->GetBaseFrame()->isChild(root));
  special->DisposeObject();
}

TEST_F(NameTagTest, WithoutTheRootSheetTheTagIsNotAdded) {
  gui->DeInitLayouts();
  GUIManager::CleanInstance();
  log.Clear();
  SpecialBuildingComponent* special = MakeEnterable(WT_TAVERN);
  EXPECT_EQ(special->GetNameTag(), nullptr);
  EXPECT_TRUE(log.Contains("Failed to ADD Name tag"));
  Vision::Key.InjectKey(SpecialBuildingComponent::kNameTagKey, -1, true);
  Seen(building);
  Frames(2);
  EXPECT_FALSE(special->IsNameTagHidden());
}

// ---- the save block -------------------------------------------------------------------

TEST_F(SpecialBuildingTest, TheBlockCarriesTheWindowTypeAndTheDistance) {
  SpecialBuildingComponent* special = MakeEnterable(WT_SHIPYARD);
  special->SetEnteringDistance(3.5f);
  SpecialBuildingComponent fresh;
  ASSERT_TRUE(archive_test::RoundTripSerialize(*special, fresh));
  EXPECT_EQ(fresh.GetWindowType(), WT_SHIPYARD);
  EXPECT_FLOAT_EQ(fresh.GetEnteringDistance(), 3.5f);

  // Version 1 keeps the editor's values; a damaged block changes nothing.
  struct Case {
    Bytes block;
    bool ok;
  };
  const Case cases[] = {
      {ByteWriter().Str("ARCH").U8(1).Str("EOA").Get(), true},
      {ByteWriter().Str("ARCH").U8(2).I32(7).F32(9.0f).Str("EOB").Get(), false},
      {ByteWriter().Str("ARCH").U8(3).Get(), false},
  };
  for (const Case& c : cases) {
    SpecialBuildingComponent reader;
    reader.SetWindowType(WT_TAVERN);
    archive_test::ReadArchive ar(c.block);
    EXPECT_EQ(reader.SerializeX(*ar), c.ok);
    EXPECT_EQ(reader.GetWindowType(), WT_TAVERN);
    EXPECT_FLOAT_EQ(reader.GetEnteringDistance(), 2.0f);
  }
}

}  // namespace
