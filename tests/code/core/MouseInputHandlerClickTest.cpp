// The mouse handler in a small land scene seen from above: the pick ray over the
// ground and the soldiers, left clicks and drags, the right-button order, the hover
// cursor, and the left click at sea.
#include "core/MouseInputHandler.h"

#include "Managers/GameSessionManager.h"
#include "Managers/LocalizationTable.h"
#include "Managers/PauseManager.h"
#include "Managers/SoundManager.h"
#include "Managers/TownManager.h"
#include "Missions/MissionManager.h"
#include "components/BuildableBuildingComponent.h"
#include "components/HealthBarComponent.h"
#include "components/SpecialBuildingComponent.h"
#include "core/ComponentMessages.h"
#include "core/VEntityHighlightManager.h"
#include "core/GameManager.h"
#include "core/Player.h"
#include "core/RtsManager.h"
#include "components/DLC1SpecialCannonComponent.h"
#include "components/DestructableBuildingComponent.h"
#include "entities/BuildingBaseEntity.h"
#include "components/ShipMovementComponent.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"
#include "util/Navigation.h"
#include "support/DdsFile.h"
#include "support/GuiTestEnvironment.h"
#include "support/NavalScenario.h"
#include "support/ScratchDataFolder.h"

#include "engine/Vision.h"
#include "engine/core/VDynamicMesh.h"
#include "engine/core/VisRenderContext.h"
#include "engine/core/VisStaticGeometryInstance.h"
#include "engine/core/VisVisibilityCollector.h"
#include "engine/sound/VSoundManager.h"

#include <CEGUI/CEGUI.h>
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// Records the messages its owner receives.
class MessageProbe : public IVObjectComponent {
 public:
  void MessageFunction(int id, INT_PTR p1, INT_PTR) override { messages.push_back({id, p1}); }
  int Count(int id) const {
    int n = 0;
    for (const auto& m : messages) n += m.first == id;
    return n;
  }
  std::vector<std::pair<int, INT_PTR>> messages;
};

// Counts the pick traces and whether an entity had its click accuracy during them.
class TraceWatcher : public IVisCallbackHandler_cl {
 public:
  TraceWatcher() { GameManager::Callbacks.OnBeginMouseTrace.RegisterCallback(this); }
  ~TraceWatcher() override { GameManager::Callbacks.OnBeginMouseTrace.DeregisterCallback(this); }
  void OnHandleCallback(IVisCallbackDataObject_cl*) override { ++traces; }
  int traces = 0;
};

class MouseInputHandlerClickTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env.Start(1.0f / 60.0f);
    Vision::File.AddDataDirectory(data.Path().string().c_str());
    gui = env.StartGui();
    Vision::GetScriptManager()->SetGameScript(nullptr);
    RtsManager::GlobalManager().OneTimeInit();
    game = GameManager::GetInstance();
    game->OneTimeInit();
    // The campaign runs before the scene, as in the game: its settings (screen
    // size, field of view) are applied before the camera is placed.
    GameSessionManager::GetInstance();
    handler = game->GetMouseInputHandler();
    player = RtsManager::GlobalManager().GetPlayer();
    naval_scenario::AddWarringNations("None", "Enemy");
    game->SetLocation(1);

    // The camera 100 above the origin, turned 30 degrees and looking steeply down.
    VisMatrix3x3_cl rotation;
    rotation.SetEulerAngles(30.0f, 80.0f, 0.0f);
    Vision::Camera.SetPosition(VisVector_cl(0, 0, 100));
    Vision::Camera.SetRotationMatrix(rotation);
    // A land scene loaded by an earlier test leaves its narrower view on the context.
    VisRenderContext_cl::GetMainRenderContext()->SetFOV(90.0f, 0.0f);
    // Flat ground with its top at height 0, seen by the camera.
    ground = std::make_unique<VisStaticGeometryInstance_cl>(VisVector_cl(0, 0, -1), VisVector_cl(2000, 2000, 2),
                                                            VisMatrix3x3_cl());
    Collector()->Clear();
    Collector()->m_geometry.push_back(ground.get());

    mesh = new VDynamicMesh("mouse_soldier.model");
    ASSERT_TRUE(mesh->LoadFromXml("<model><bbox min=\"-0.5/-0.5/0\" max=\"0.5/0.5/2\"/></model>"));

    // Sounds of earlier tests would count as played here.
    VSoundManager::GlobalManager().SetInitialized(false);
    VSoundManager::GlobalManager().SetInitialized(true);
    // One file per acknowledgement, for every unit type.
    for (int type = 0; type < UNIT_TYPE_COUNT; ++type)
      for (const auto& [sound, file] : kSoundFiles) SoundManager::GetInstance()->AddSound((UnitType)type, sound, file, true);
    Vision::Key.Reset();
    for (int b = 0; b < 3; ++b) Vision::Mouse.InjectButton(b, false);
    gui->SetMouseOverGUI(false);
  }

  void TearDown() override {
    Vision::Key.Reset();
    for (int b = 0; b < 3; ++b) Vision::Mouse.InjectButton(b, false);
    Collector()->Clear();
    Vision::Game.RemoveAllEntities();
    ground.reset();
    mesh = nullptr;
    buildingMesh = nullptr;
    game->SetGameMode(GAME_MODE_CAMPAIGN);
    ships.clear();
    game->OneTimeDeInit();
    RtsManager::GlobalManager().OneTimeDeInit();
    naval_scenario::CleanBattleManagers();
    env.Stop();
    Vision::Message.ClearAll();
  }

  static VisVisibilityCollector_cl* Collector() {
    return VisRenderContext_cl::GetMainRenderContext()->GetVisibilityCollector();
  }

  // A unit of the nation at the position with one soldier per offset.
  UnitEntity* MakeUnit(int nation, const VisVector_cl& at, const std::vector<VisVector_cl>& offsets = {{0, 0, 0}}) {
    const std::string params = "m_iNation=\"" + std::to_string(nation) + "\",m_iNumSoldiers=\"0\"";
    auto* unit = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", at, nullptr, params.c_str()));
    for (const VisVector_cl& offset : offsets) {
      auto* soldier = static_cast<SoldierEntity*>(
          Vision::Game.CreateEntity("SoldierEntity", at + offset, nullptr,
                                    ("m_iNation=\"" + std::to_string(nation) + "\"").c_str()));
      soldier->SetMesh(mesh);
      soldier->SetClickTraceAccuracy(VIS_TRACEACC_AABOX);
      unit->AddSoldier(soldier);
    }
    unit->SetPosition(at);
    // A unit without a type has no voice.
    unit->SetUnitType(PLAYER_HERO);
    return unit;
  }
  static SoldierEntity* First(UnitEntity* unit) { return unit->GetSoldierAtIndex(0); }

  // An entity 6 wide and 4 high at the position, traced by its box: a building
  // (with the script, when given) or a plain BaseEntity.
  BaseEntity* MakeBlock(const VisVector_cl& at, bool building = true, const char* script = nullptr) {
    if (!buildingMesh) {
      buildingMesh = new VDynamicMesh("mouse_building.model");
      EXPECT_TRUE(buildingMesh->LoadFromXml("<model><bbox min=\"-3/-3/0\" max=\"3/3/4\"/></model>"));
    }
    const std::string params = script ? std::string("m_sBuildingScript=\"") + script + "\"" : std::string();
    auto* entity = static_cast<BaseEntity*>(Vision::Game.CreateEntity(building ? "BuildingBaseEntity" : "BaseEntity",
                                                                     at, nullptr, params.c_str()));
    entity->SetMesh(buildingMesh);
    entity->SetClickTraceAccuracy(VIS_TRACEACC_AABOX);
    return entity;
  }
  // Components change the model and click accuracy as they come; the box stays the
  // traced shape.
  template <class C>
  C* Attach(BaseEntity* entity, C* component) {
    EXPECT_TRUE(entity->AddComponent(component));
    entity->SetMesh(buildingMesh);
    entity->SetClickTraceAccuracy(VIS_TRACEACC_AABOX);
    return component;
  }

  // The player's character, a hero and a plain unit, all selected, each with a probe
  // on its soldier.
  struct Party {
    UnitEntity* character;
    UnitEntity* hero;
    UnitEntity* plain;
    MessageProbe* probes[3];
  };
  Party SelectParty() {
    Party party{};
    UnitEntity* units[3];
    for (int i = 0; i < 3; ++i) {
      units[i] = MakeUnit(1, VisVector_cl(20.0f + 3.0f * (float)i, -20, 0));
      party.probes[i] = new MessageProbe();
      First(units[i])->AddComponent(party.probes[i]);
    }
    player->UnitRemoved(units[0]);
    units[0]->SetEntityKey("PlayerCharacter");
    player->AddPlayerUnit(units[0]);
    units[1]->SetIsHero(true);
    party = {units[0], units[1], units[2], {party.probes[0], party.probes[1], party.probes[2]}};
    EXPECT_EQ(player->GetPlayerCharacter(), units[0]);
    player->ClearSelection();
    for (UnitEntity* unit : units) player->DoSelection(unit, false, false);
    EXPECT_EQ(player->GetNumSelected(), 3);
    return party;
  }
  // What each of the party received: 165, 164 or nothing (0).
  static std::vector<int> UseMessages(const Party& party) {
    std::vector<int> got;
    for (MessageProbe* probe : party.probes) {
      const int use = probe->Count(VIS_MSG_USER_UNIT_WALK_TO_USE), walk = probe->Count(VIS_MSG_USER_UNIT_WALK_TO);
      got.push_back(use && walk ? -1 : use ? VIS_MSG_USER_UNIT_WALK_TO_USE : walk ? VIS_MSG_USER_UNIT_WALK_TO : 0);
    }
    return got;
  }
  static bool Highlighted(VisBaseEntity_cl* entity) {
    return VEntityHighlightManager::HasInstance() && VEntityHighlightManager::GetInstance()->IsHighlighted(entity);
  }

  // The cursor on the screen pixel where the world point is seen.
  void PointAt(const VisVector_cl& world) {
    float x = 0, y = 0;
    ASSERT_TRUE(VisRenderContext_cl::GetMainRenderContext()->Project2D(world, x, y));
    MoveCursor(x, y);
  }
  static void MoveCursor(float x, float y) {
    Vision::Mouse.SetPosition(x, y);
    CEGUI::System::getSingleton().getDefaultGUIContext().injectMousePosition(x, y);
  }
  static void Button(int b, bool down) { Vision::Mouse.InjectButton(b, down); }
  static void Modifier(bool down) { Vision::Key.InjectKey(VGLK_MODIFIER_A, 0x2A, down); }
  void Step(int frames = 1) {
    for (int i = 0; i < frames; ++i) {
      Vision::Message.ClearFrame();
      handler->Update();
    }
  }

  // Sounds started so far from the file.
  static int Played(const std::string& file) {
    int n = 0;
    VSoundManager& sounds = VSoundManager::GlobalManager();
    for (int i = 0; i < sounds.GetInstanceCount(); ++i) {
      VSoundObject* s = sounds.GetInstance(i);
      if (s && s->GetResource() && file == s->GetResource()->GetFileName()) ++n;
    }
    return n;
  }
  static int AllPlayed() {
    int n = 0;
    for (const auto& entry : kSoundFiles) n += Played(entry.second);
    return n;
  }
  static std::string CursorImage() {
    const CEGUI::Image* image = CEGUI::System::getSingleton().getDefaultGUIContext().getMouseCursor().getDefaultImage();
    return image ? std::string(image->getName().c_str()) : std::string();
  }
  std::string CursorOf(CURSOR_TYPES kind) const { return gui->GetCursorImageName(kind); }
  static int WhiteLines() {
    int n = 0;
    for (const VisMessage_cl::Entry& e : Vision::Message.GetFrameEntries())
      n += e.kind == VisMessage_cl::Entry::Line && e.colour == 0xFFFFFFFFu;
    return n;
  }

  // The navigation grid from text rows: one unit a cell, the grid centred on the origin.
  void LoadWalkability(const std::vector<std::string>& rows) {
    dds_test::WriteDds((data.Path() / "MouseWalk.dds").string(), (int)rows[0].size(), (int)rows.size(),
                       dds_test::PixelsFromRows(rows));
    game->GetNavigation()->Load("MouseWalk.dds");
    ASSERT_TRUE(game->GetNavigation()->HasMap());
  }

  static inline const std::map<SoundTypes, std::string> kSoundFiles = {
      {SOUND_ACTIVATE, "sounds\\click.wav"},
      {SOUND_ORDER, "sounds\\order_01.wav"},
      {SOUND_NEGATIVE, "sounds\\order_02.wav"},
      {SOUND_ATTACK, "sounds\\order_03.wav"}};

  ScratchDataFolder data;
  GuiTestEnvironment env;
  GUIManager* gui = nullptr;
  GameManager* game = nullptr;
  MouseInputHandler* handler = nullptr;
  Player* player = nullptr;
  std::unique_ptr<VisStaticGeometryInstance_cl> ground;
  VSmartPtr<VDynamicMesh> mesh;
  VSmartPtr<VDynamicMesh> buildingMesh;
  std::vector<std::unique_ptr<ShipStats>> ships;
};

TEST_F(MouseInputHandlerClickTest, ThePickRayFindsGroundAndSoldiersWithTheirClickAccuracyOnlyDuringTheTrace) {
  UnitEntity* own = MakeUnit(1, VisVector_cl(15, 9, 0));
  SoldierEntity* soldier = First(own);
  EXPECT_EQ(soldier->GetTraceAccuracy(), VIS_TRACEACC_NOCOLLISION);

  PointAt(VisVector_cl(15, 9, 1));
  Step();
  const VisTraceLineInfo_t& hover = handler->GetHoverEntityTrace();
  ASSERT_TRUE(hover.detected);
  EXPECT_EQ(hover.colliderEntity, soldier);
  ASSERT_TRUE(handler->GetHoverGroundTrace().detected);
  EXPECT_NEAR(handler->GetHoverGroundTrace().touchPoint.z, 0.0f, 1e-3f);
  EXPECT_EQ(soldier->GetTraceAccuracy(), VIS_TRACEACC_NOCOLLISION) << "back to the collision accuracy";

  // Open ground: the ground point under the cursor, no entity.
  PointAt(VisVector_cl(-20, 25, 0));
  Step();
  EXPECT_FALSE(handler->GetHoverEntityTrace().detected);
  EXPECT_NEAR(handler->GetHoverGroundTrace().touchPoint.x, -20.0f, 0.05f);
  EXPECT_NEAR(handler->GetHoverGroundTrace().touchPoint.y, 25.0f, 0.05f);
}

TEST_F(MouseInputHandlerClickTest, OverAGuiWindowNothingIsTracedNorChanged) {
  UnitEntity* own = MakeUnit(1, VisVector_cl(15, 9, 0));
  player->SetSelected(First(own));
  ASSERT_EQ(player->GetNumSelected(), 1);
  PointAt(VisVector_cl(-20, 25, 0));
  Step();
  ASSERT_EQ(CursorImage(), CursorOf(CURSOR_DEFAULT));

  // A button under the cursor takes the press.
  CEGUI::Window* button = CEGUI::WindowManager::getSingleton().createWindow("CorallineLook/Button", "MouseTestButton");
  button->setArea(CEGUI::URect(CEGUI::UDim(0, 0), CEGUI::UDim(0, 0), CEGUI::UDim(1, 0), CEGUI::UDim(1, 0)));
  gui->GetBaseFrame()->addChild(button);
  PointAt(VisVector_cl(-20, 25, 0));
  Vision::Mouse.SetPosition(0, 0);  // the handler must not read the engine's cursor either
  TraceWatcher watcher;
  Button(0, true);
  ASSERT_TRUE(gui->IsMouseOverGUI());
  Step(3);
  EXPECT_EQ(watcher.traces, 0);
  EXPECT_FALSE(handler->IsLeftButtonDown());
  EXPECT_FALSE(handler->IsDragging());
  EXPECT_EQ(player->GetNumSelected(), 1) << "the press on the window did not clear the selection";
  EXPECT_EQ(WhiteLines(), 0);
  Button(0, false);
  gui->GetBaseFrame()->destroyChild(button);
}

TEST_F(MouseInputHandlerClickTest, ALeftPressOnGroundClearsOnceAndNotWithAModifier) {
  UnitEntity* own = MakeUnit(1, VisVector_cl(15, 9, 0));
  PointAt(VisVector_cl(-20, 25, 0));

  // With a modifier the selection stays.
  player->SetSelected(First(own));
  Modifier(true);
  Button(0, true);
  Step(3);
  EXPECT_EQ(player->GetNumSelected(), 1);
  Button(0, false);
  Step();
  Modifier(false);

  // Without: cleared on the first frame of the press only.
  Button(0, true);
  Step();
  EXPECT_EQ(player->GetNumSelected(), 0);
  player->DoSelection(own, false, false);
  Step(3);
  EXPECT_EQ(player->GetNumSelected(), 1);
  Button(0, false);
  Step();
}

TEST_F(MouseInputHandlerClickTest, AClickOnAnOwnSoldierSelectsItsUnitAndOnlyTheReleaseAcknowledges) {
  UnitEntity* own = MakeUnit(1, VisVector_cl(15, 9, 0), {{0, 0, 0}, {2, 0, 0}});
  UnitEntity* enemy = MakeUnit(2, VisVector_cl(-15, 20, 0));

  // An enemy soldier is not selected.
  PointAt(VisVector_cl(-15, 20, 1));
  Button(0, true);
  Step();
  Button(0, false);
  Step();
  EXPECT_EQ(player->GetNumSelected(), 0);
  EXPECT_FALSE(player->IsSelected(enemy));

  PointAt(VisVector_cl(17, 9, 1));
  Button(0, true);
  Step();
  EXPECT_EQ(player->GetSelectionAt(0), own);
  EXPECT_TRUE(handler->IsDragging());
  EXPECT_EQ(AllPlayed(), 0) << "the selection itself is silent";
  Button(0, false);
  Step();
  EXPECT_FALSE(handler->IsDragging());
  EXPECT_EQ(Played(kSoundFiles.at(SOUND_ACTIVATE)), 1);
  EXPECT_EQ(AllPlayed(), 1);
  Step(2);
  EXPECT_EQ(AllPlayed(), 1) << "once per release";
}

TEST_F(MouseInputHandlerClickTest, ADragSelectsTheOwnUnitsInsideTheScreenAlignedRectangle) {
  // The camera's axes at yaw 30: forward f and left s. The drag runs from the
  // origin to 20 f + 10 s, a rectangle that is not aligned with the world axes.
  const float c = std::cos(VIS_DEG2RAD(30.0f)), s = std::sin(VIS_DEG2RAD(30.0f));
  auto at = [&](float f, float l) { return VisVector_cl(f * c - l * s, f * s + l * c, 0.0f); };
  UnitEntity* centre = MakeUnit(1, at(10, 5));
  UnitEntity* leftCorner = MakeUnit(1, at(2, 9));  // inside, though west of both drag points
  UnitEntity* outside = MakeUnit(1, VisVector_cl(11, 2, 0));  // between the drag points in x and y, but outside
  UnitEntity* enemy = MakeUnit(2, at(12, 4));

  PointAt(at(0, 0));
  Button(0, true);
  Step();
  EXPECT_EQ(WhiteLines(), 0) << "the first frame only anchors the rectangle";
  PointAt(at(20, 10));
  Step();
  EXPECT_EQ(WhiteLines(), 4);
  const SelectionBox& box = handler->GetDragBox();
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(box.GetPoint(i).z, box.GetPoint(0).z, 1e-4f);
  EXPECT_NEAR(box.GetPoint(1).x, at(20, 0).x, 0.05f);
  EXPECT_NEAR(box.GetPoint(1).y, at(20, 0).y, 0.05f);
  EXPECT_NEAR(box.GetPoint(3).x, at(0, 10).x, 0.05f);
  EXPECT_NEAR(box.GetPoint(3).y, at(0, 10).y, 0.05f);

  EXPECT_TRUE(player->IsSelected(centre));
  EXPECT_TRUE(player->IsSelected(leftCorner));
  EXPECT_FALSE(player->IsSelected(outside));
  EXPECT_FALSE(player->IsSelected(enemy));
  EXPECT_EQ(player->GetNumSelected(), 2);
  Button(0, false);
  Step();
  EXPECT_EQ(Played(kSoundFiles.at(SOUND_ACTIVATE)), 1);
}

TEST_F(MouseInputHandlerClickTest, ARightPressOnUnwalkableGroundPlaysNegativeAndItsReleaseOrdersNothing) {
  // West of x = 0 blocked, east open.
  std::vector<std::string> rows(64, std::string(32, '#') + std::string(32, '.'));
  LoadWalkability(rows);
  UnitEntity* own = MakeUnit(1, VisVector_cl(15, 9, 0));
  auto* probe = new MessageProbe();
  First(own)->AddComponent(probe);

  // Nothing selected: the order is allowed anywhere, and the press has no first
  // unit to read.
  PointAt(VisVector_cl(-10, 10, 0));
  Step();
  EXPECT_TRUE(handler->IsOrderAllowed());
  Button(1, true);
  Step();
  EXPECT_EQ(handler->GetRightButtonState(), 1);
  Button(1, false);
  Step();
  EXPECT_EQ(handler->GetRightButtonState(), 0);
  EXPECT_EQ(Played(kSoundFiles.at(SOUND_NEGATIVE)), 0);

  player->SetSelected(First(own));
  const int acknowledged = AllPlayed();
  own->GetUnitTargetBox().SetFlag(1);
  PointAt(VisVector_cl(-10, 10, 0));
  Step();
  EXPECT_FALSE(handler->IsOrderAllowed());
  EXPECT_EQ(CursorImage(), CursorOf(CURSOR_INVALID));
  Button(1, true);
  Step();
  EXPECT_EQ(Played(kSoundFiles.at(SOUND_NEGATIVE)), 1);
  EXPECT_EQ(own->GetUnitTargetBox().GetFlag(), 1) << "no order was started";
  Button(1, false);
  Step();
  EXPECT_TRUE(probe->messages.empty());
  EXPECT_EQ(AllPlayed(), acknowledged + 1);

  // The same click on open ground orders the unit there.
  PointAt(VisVector_cl(20, 10, 0));
  Step();
  EXPECT_TRUE(handler->IsOrderAllowed());
  EXPECT_EQ(CursorImage(), CursorOf(CURSOR_DEFAULT));
  Button(1, true);
  Step();
  EXPECT_NEAR(handler->GetOrderAnchorBox().GetPoint(0).x, 20.0f, 0.05f);
  EXPECT_NEAR(handler->GetOrderAnchorBox().GetPoint(0).y, 10.0f, 0.05f);
  EXPECT_EQ(own->GetUnitTargetBox().GetFlag(), 0) << "the old target box goes with the press";
  Button(1, false);
  Step();
  EXPECT_EQ(Played(kSoundFiles.at(SOUND_NEGATIVE)), 1);
  EXPECT_FALSE(probe->messages.empty()) << "the soldier got its move order";
}

TEST_F(MouseInputHandlerClickTest, TheHoverStepSetsTheCursorByWhatLiesUnderIt) {
  UnitEntity* own = MakeUnit(1, VisVector_cl(15, 9, 0));
  UnitEntity* enemy = MakeUnit(2, VisVector_cl(-15, 20, 0));
  UnitEntity* unseen = MakeUnit(2, VisVector_cl(-25, 5, 0));
  UnitEntity* neutral = MakeUnit(0, VisVector_cl(30, -10, 0));
  First(unseen)->SetVisibleBitmask(0);
  LoadWalkability(std::vector<std::string>(64, std::string(32, '#') + std::string(32, '.')));

  struct Case {
    const char* what;
    VisVector_cl point;
    bool select;
    CURSOR_TYPES before;
    CURSOR_TYPES expected;
  };
  const Case cases[] = {
      {"open ground", VisVector_cl(20, 10, 0), false, CURSOR_FINGER, CURSOR_DEFAULT},
      {"blocked ground, nothing selected", VisVector_cl(-10, 10, 0), false, CURSOR_FINGER, CURSOR_DEFAULT},
      {"blocked ground with a selection", VisVector_cl(-10, 10, 0), true, CURSOR_FINGER, CURSOR_INVALID},
      {"own soldier", VisVector_cl(15, 9, 1), false, CURSOR_DEFAULT, CURSOR_FINGER},
      {"own selected soldier", VisVector_cl(15, 9, 1), true, CURSOR_DEFAULT, CURSOR_FINGER},
      {"seen enemy", VisVector_cl(-15, 20, 1), false, CURSOR_DEFAULT, CURSOR_CROSSHAIR},
      {"unseen enemy", VisVector_cl(-25, 5, 1), false, CURSOR_FINGER, CURSOR_FINGER},
      {"soldier of nation 0", VisVector_cl(30, -10, 1), false, CURSOR_INVALID, CURSOR_INVALID},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    player->ClearSelection();
    if (c.select) player->SetSelected(First(own));
    gui->ChangeMouseCursor(c.before);
    PointAt(c.point);
    Step();
    EXPECT_EQ(CursorImage(), CursorOf(c.expected));
  }
  // The seen enemy showed its mouse-over effect; the unseen one did not.
  EXPECT_TRUE(First(enemy)->IsShowMouseHoverEffectOn());
  EXPECT_FALSE(First(unseen)->IsShowMouseHoverEffectOn());
  EXPECT_FALSE(First(neutral)->IsShowMouseHoverEffectOn());
}

TEST_F(MouseInputHandlerClickTest, TheTooltipIsMadeOnLandAndStaysHiddenWithoutAText) {
  EXPECT_EQ(handler->GetTooltipWindow(), nullptr);
  PointAt(VisVector_cl(20, 10, 0));
  Step();
  CEGUI::Window* tooltip = handler->GetTooltipWindow();
  ASSERT_NE(tooltip, nullptr);
  EXPECT_EQ(std::string(tooltip->getName().c_str()), "Tooltip2");
  EXPECT_EQ(std::string(tooltip->getType().c_str()), "CorallineLook/SmallFrame");
  EXPECT_TRUE(tooltip->isMousePassThroughEnabled());
  EXPECT_EQ(tooltip->getParent(), gui->GetBaseFrame());
  EXPECT_FALSE(tooltip->isVisible());
  EXPECT_FLOAT_EQ(tooltip->getPosition().d_x.d_offset, handler->GetCursorX() + 15.0f);
  EXPECT_FLOAT_EQ(tooltip->getPosition().d_y.d_offset, handler->GetCursorY() + 15.0f);
  EXPECT_FLOAT_EQ(tooltip->getSize().d_height.d_offset, 21.0f);
  Step();
  EXPECT_EQ(handler->GetTooltipWindow(), tooltip) << "made once";
}

TEST_F(MouseInputHandlerClickTest, ALeftClickAtSeaThatFiresNeitherSelectsNorDrags) {
  game->SetLocation(2);
  // The player's ship heading along x at the origin; an own soldier stands where the
  // cursor points, on the ship's left.
  auto* ship = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", VisVector_cl(0, 0, 0)));
  ships.push_back(std::make_unique<ShipStats>());
  ships.back()->SetShipNation(1);
  ships.back()->SetPlayerShip(true);
  ship->SetNation(1);
  ship->SetStats(ships.back().get());
  game->GetNation(1)->AddShip(ship);
  auto* probe = new MessageProbe();
  ship->AddComponent(probe);
  UnitEntity* own = MakeUnit(1, VisVector_cl(10, 30, 0));

  PointAt(VisVector_cl(10, 30, 1));
  Button(0, true);
  Step(3);
  EXPECT_EQ(probe->Count(VIS_MSG_USER_CANNON_IGNITE_LEFT), 3) << "every held frame asks again";
  EXPECT_EQ(probe->Count(VIS_MSG_USER_CANNON_IGNITE_RIGHT), 0);
  EXPECT_FALSE(handler->IsDragging());
  EXPECT_EQ(WhiteLines(), 0);
  EXPECT_FALSE(player->IsSelected(own));
  Button(0, false);
  Step();
  EXPECT_EQ(AllPlayed(), 0) << "no drag frame, no acknowledgement";

  // Paused: the right button is not even noticed.
  PauseManager::GetInstance()->SetGamePause(true);
  Button(1, true);
  Step();
  EXPECT_EQ(handler->GetRightButtonState(), 0);
  Button(1, false);
  PauseManager::GetInstance()->SetGamePause(false);
}

TEST_F(MouseInputHandlerClickTest, ARightClickOnTheOpenSeaSteersThePlayersShip) {
  game->SetLocation(2);
  // The open sea: no ground geometry for the pick ray to find.
  Collector()->Clear();
  auto* ship = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", VisVector_cl(0, 0, 0)));
  ships.push_back(std::make_unique<ShipStats>());
  ships.back()->SetShipNation(1);
  ships.back()->SetPlayerShip(true);
  ship->SetNation(1);
  ship->SetStats(ships.back().get());
  game->GetNation(1)->AddShip(ship);
  auto* movement = new ShipMovementComponent();
  ship->AddComponent(movement);
  ASSERT_EQ(game->GetPlayerEntity(), ship);

  // A point on the water straight to the ship's left.
  PointAt(VisVector_cl(0, 40, 0));
  Step();
  Button(1, true);
  Step();
  Button(1, false);
  Step();
  EXPECT_NEAR(movement->GetTargetHeading(), 90.0f, 1.0f);
}

TEST_F(MouseInputHandlerClickTest, ARightClickOnABuildingOrTheGateCannonSendsTheSelectionToUseIt) {
  enum Kind { PLAIN_BUILDING, SPECIAL_BUILDING, DESTRUCTABLE_BUILDING, CANNON, CANNON_IN_CAMPAIGN };
  struct Case {
    const char* what;
    Kind kind;
    std::vector<int> expected;  // character, hero, plain unit
    bool used;                  // an order sound instead of the unit's own order
  };
  const int use = VIS_MSG_USER_UNIT_WALK_TO_USE, walk = VIS_MSG_USER_UNIT_WALK_TO;
  const Case cases[] = {
      {"a plain building", PLAIN_BUILDING, {use, use, walk}, true},
      {"a special building", SPECIAL_BUILDING, {use, use, walk}, true},
      {"a building that can be destroyed is attacked", DESTRUCTABLE_BUILDING, {0, 0, 0}, false},
      {"the gate cannon: only the leaders", CANNON, {use, use, 0}, true},
      {"the gate cannon outside the add-on is nothing to use", CANNON_IN_CAMPAIGN, {0, 0, 0}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Party party = SelectParty();
    const VisVector_cl at(-10, 10, 0);
    BaseEntity* target = MakeBlock(at, c.kind != CANNON && c.kind != CANNON_IN_CAMPAIGN);
    if (c.kind == SPECIAL_BUILDING) Attach(target, new SpecialBuildingComponent())->SetWindowType(WT_SHIPYARD);
    if (c.kind == DESTRUCTABLE_BUILDING) Attach(target, new DestructableBuildingComponent());
    if (c.kind == CANNON || c.kind == CANNON_IN_CAMPAIGN) Attach(target, new DLC1SpecialCannonComponent());
    game->SetGameMode(c.kind == CANNON_IN_CAMPAIGN ? GAME_MODE_CAMPAIGN : GAME_MODE_DLC);
    const int orders = Played(kSoundFiles.at(SOUND_ORDER));

    PointAt(at + VisVector_cl(0, 0, 4));
    Step();
    Button(1, true);
    Step();
    EXPECT_TRUE(UseMessages(party) == std::vector<int>({0, 0, 0})) << "nothing before the release";
    Button(1, false);
    Step();
    EXPECT_TRUE(UseMessages(party) == c.expected);
    if (c.used) {
      for (MessageProbe* probe : party.probes) EXPECT_EQ(probe->Count(VIS_MSG_USER_UNIT_MOVE), 0) << "no move order";
    }
    EXPECT_EQ(Played(kSoundFiles.at(SOUND_ORDER)) - orders, c.used ? 1 : 0);

    for (UnitEntity* unit : {party.character, party.hero, party.plain}) {
      player->UnitRemoved(unit);
      unit->Remove();
    }
    target->Remove();
    Vision::Game.FreeRemovedEntities();
  }
}

TEST_F(MouseInputHandlerClickTest, ALeftPressOnABuildingKeepsTheSelectionAndUsesItOnlyWithTheRightButtonHeld) {
  Party party = SelectParty();
  const VisVector_cl at(-10, 10, 0);
  MakeBlock(at);
  PointAt(at + VisVector_cl(0, 0, 4));

  // The left button alone: no use, the selection stays, a drag begins.
  Button(0, true);
  Step(2);
  EXPECT_EQ(player->GetNumSelected(), 3);
  EXPECT_TRUE(handler->IsDragging());
  EXPECT_TRUE(UseMessages(party) == std::vector<int>({0, 0, 0}));
  Button(0, false);
  Step();

  // Right held, then the left press: the use on the first frame only.
  Button(1, true);
  Step();
  ASSERT_EQ(handler->GetRightButtonState(), 1);
  Button(0, true);
  Step(3);
  const int use = VIS_MSG_USER_UNIT_WALK_TO_USE, walk = VIS_MSG_USER_UNIT_WALK_TO;
  EXPECT_TRUE(UseMessages(party) == std::vector<int>({use, use, walk}));
  EXPECT_EQ(party.probes[0]->Count(use), 1) << "once per press";
  EXPECT_TRUE(handler->IsDragging());
  Button(0, false);
  Button(1, false);
  Step();
}

TEST_F(MouseInputHandlerClickTest, TheHoverStepPointsAtBuildingsAndTheGateCannonWithTheirTooltips) {
  LocalizationTable::GetInstance()->LoadStringFile(BRINEMARK_SOURCE_DIR "/data/localization/strings_en.txt");
  {
    std::ofstream script(data.Path() / "MousePlot.lua");
    script << "sName = \"str_SHIPYARD\"\n";
  }
  TownInfo& town = TownManager::GetInstance()->GetCurrentTownInfo();
  town.sceneType = 1;
  ASSERT_TRUE(MissionManager::GlobalManager().GetOpenAndOngoingFactionMissions(1).empty());

  enum Kind { PLAIN, CANNON, CANNON_IN_CAMPAIGN, PLOT, UNNAMED_PLOT, SPECIAL, DESTRUCTABLE };
  struct Case {
    const char* what;
    Kind kind;
    int windowType;
    bool mansionVisited;
    CURSOR_TYPES expected;  // the cursor is CURSOR_INVALID before
    bool highlighted;
    const char* tooltip;  // null: hidden
  };
  const Case cases[] = {
      {"a building with no role", PLAIN, 0, false, CURSOR_INVALID, false, nullptr},
      {"the gate cannon", CANNON, 0, false, CURSOR_FINGER, true, nullptr},
      {"the gate cannon outside the add-on", CANNON_IN_CAMPAIGN, 0, false, CURSOR_INVALID, false, nullptr},
      {"a plot named by its script", PLOT, 0, false, CURSOR_FINGER, true, "Construction site: Shipyard"},
      {"a plot without a script", UNNAMED_PLOT, 0, false, CURSOR_FINGER, true, "Construction site: "},
      {"the mansion", SPECIAL, WT_PIRATE_MANSION, false, CURSOR_FINGER, true, "Mansion"},
      {"the visited mansion without missions", SPECIAL, WT_PIRATE_MANSION, true, CURSOR_FINGER, true,
       "The mansion has no missions for you right now."},
      {"the shipyard", SPECIAL, WT_SHIPYARD, false, CURSOR_FINGER, true, "Shipyard"},
      {"the alchemist", SPECIAL, WT_ALCHEMIST, false, CURSOR_FINGER, true, "Alchemist"},
      {"a unit building", SPECIAL, WT_BASIC_UNIT_BUILDING, false, CURSOR_FINGER, true, nullptr},
      {"the tavern", SPECIAL, WT_TAVERN, false, CURSOR_FINGER, true, nullptr},
      {"a building that can be destroyed", DESTRUCTABLE, 0, false, CURSOR_CROSSHAIR, true, nullptr},
  };
  const VisVector_cl at(-10, 10, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const bool cannon = c.kind == CANNON || c.kind == CANNON_IN_CAMPAIGN;
    BaseEntity* target = MakeBlock(at, !cannon, c.kind == PLOT ? "MousePlot.lua" : nullptr);
    if (cannon) Attach(target, new DLC1SpecialCannonComponent());
    if (c.kind == PLOT || c.kind == UNNAMED_PLOT) Attach(target, new BuildableBuildingComponent());
    if (c.kind == SPECIAL) Attach(target, new SpecialBuildingComponent())->SetWindowType((WINDOW_TYPES)c.windowType);
    if (c.kind == DESTRUCTABLE) Attach(target, new DestructableBuildingComponent());
    game->SetGameMode(c.kind == CANNON_IN_CAMPAIGN ? GAME_MODE_CAMPAIGN : GAME_MODE_DLC);
    town.mansionVisited = c.mansionVisited;

    gui->ChangeMouseCursor(CURSOR_INVALID);
    PointAt(at + VisVector_cl(0, 0, 4));
    Step();
    ASSERT_EQ(handler->GetHoverEntityTrace().colliderEntity, target);
    EXPECT_EQ(CursorImage(), CursorOf(c.expected));
    EXPECT_EQ(Highlighted(target), c.highlighted);
    if (c.highlighted) {
      EXPECT_EQ(VEntityHighlightManager::GetInstance()->GetHighlightColour(target), 0xC8FFFF64u);
    }
    CEGUI::Window* tooltip = handler->GetTooltipWindow();
    ASSERT_NE(tooltip, nullptr);
    EXPECT_EQ(tooltip->isVisible(), c.tooltip != nullptr);
    if (c.tooltip) {
      EXPECT_EQ(std::string(tooltip->getText().c_str()), c.tooltip);
      EXPECT_FLOAT_EQ(tooltip->getPosition().d_x.d_offset, handler->GetCursorX() + 15.0f);
      EXPECT_FLOAT_EQ(tooltip->getPosition().d_y.d_offset, handler->GetCursorY() + 15.0f);
      EXPECT_GT(tooltip->getSize().d_width.d_offset, 10.0f) << "wide enough for the text";
    }
    auto* bar = target->Components<HealthBarComponent>();
    EXPECT_EQ(bar != nullptr, c.kind == DESTRUCTABLE) << "only a building that can be destroyed shows its health";

    // Off the building: its hover highlight and the tooltip go.
    PointAt(VisVector_cl(20, 10, 0));
    Step();
    EXPECT_FALSE(Highlighted(target));
    EXPECT_FALSE(tooltip->isVisible());

    target->Remove();
    Vision::Game.FreeRemovedEntities();
  }
  town.mansionVisited = false;
}

TEST_F(MouseInputHandlerClickTest, TheHoverLeavesAHighlightItDidNotAdd) {
  BaseEntity* building = MakeBlock(VisVector_cl(-10, 10, 0));
  Attach(building, new DestructableBuildingComponent());
  VEntityHighlightManager::GetInstance()->AddHighlight(building, 0xFF00FF00u);
  PointAt(VisVector_cl(-10, 10, 4));
  Step();
  PointAt(VisVector_cl(20, 10, 0));
  Step();
  EXPECT_TRUE(Highlighted(building));
  EXPECT_EQ(VEntityHighlightManager::GetInstance()->GetHighlightColour(building), 0xFF00FF00u);
}

}  // namespace
