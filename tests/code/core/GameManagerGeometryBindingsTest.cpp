// The message, window and geometry functions of the "GameManager" script table:
// range tests on the ground plane, random directions and path points from the
// game's seeded source, patrol paths, ground placement, the screen border, and
// localised messages and windows through the GUI.
#include "support/ScriptBindingFixture.h"

#include "code/gui/GuiFrameTesting.h"

#include "Managers/ArtifactManager.h"
#include "Managers/BattleManager.h"
#include "Managers/LocalizationTable.h"
#include "Managers/TutorialManager.h"
#include "core/BaseEntity.h"
#include "entities/SoldierEntity.h"
#include "gui/FrameInGameMessages.h"
#include "util/MathTools.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

using ::testing::HasSubstr;

namespace {

const int kInvisibilityPotion = 33;

class GeometryBindingsTest : public ScriptBindingFixture {
 protected:
  void SetUp() override {
    ScriptBindingFixture::SetUp();
    box = new VDynamicMesh("crate.model");
    ASSERT_TRUE(box->LoadFromXml("<model><bbox min=\"-1/-2/-2\" max=\"1/2/3\"/></model>"));
    VSeedRandom(1234);
  }
  void TearDown() override {
    ScriptBindingFixture::TearDown();
    box = nullptr;
    Vision::World.ClearTerrain();
    VVideo::DeInitialize();
    VisRenderContext_cl* main = VisRenderContext_cl::GetMainRenderContext();
    main->SetCameraPosition(VisVector_cl(0, 0, 0));
    main->SetCameraRotation(VisMatrix3x3_cl());
  }
  void ReleaseAfterEntities() override {
    ScriptBindingFixture::ReleaseAfterEntities();
    ArtifactManager::CleanInstance();
    BattleManager::CleanInstance();
    Vision::Game.RemoveAllScenePaths();
  }

  // How many values the expression gives.
  int Count(const std::string& call) { return (int)Number("select('#', " + call + ")"); }

  // A vector result as (x, y, z).
  VisVector_cl Vector(const std::string& expr) {
    VisVector_cl v(-999, -999, -999);
    Run("local v = " + expr + "\nResultX, ResultY, ResultZ = v.x, v.y, v.z");
    v.x = (float)Number("ResultX");
    v.y = (float)Number("ResultY");
    v.z = (float)Number("ResultZ");
    return v;
  }

  VisPath_cl* AddPath(const char* key, std::vector<VisVector_cl> nodes) {
    VisPath_cl* path = new VisPath_cl();
    path->SetObjectKey(key);
    for (const VisVector_cl& p : nodes) path->AddPathNode(VisPathNode_cl(p, VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0)));
    Vision::Game.AddScenePath(path);
    return path;
  }

  VSmartPtr<VDynamicMesh> box;
};

TEST_F(GeometryBindingsTest, IsInRangeMeasuresOnTheGroundPlaneOnly) {
  struct Case {
    const char* a;
    const char* b;
    const char* range;
    bool inRange;
  };
  const Case cases[] = {
      {"Vector(0, 0, 0)", "Vector(1, 0, 100)", "2", true},  // height ignored
      {"Vector(0, 0, 0)", "Vector(3, 4, 0)", "5", false},   // on the border: out
      {"Vector(0, 0, 0)", "Vector(3, 4, -7)", "5.01", true},
      {"Vector(2, 2, 0)", "Vector(2, 2, 9)", "0", false},
  };
  for (const Case& c : cases) {
    const std::string call = std::string("GameManager.IsInRange(") + c.a + ", " + c.b + ", " + c.range + ")";
    EXPECT_EQ(Bool(call), c.inRange) << call;
  }
}

TEST_F(GeometryBindingsTest, IsEntityInRangeMeasuresToTheEntitysGroundRectangle) {
  auto* crate = new BaseEntity();
  crate->SetMesh(box);
  crate->SetPosition(VisVector_cl(10, 0, 0));  // ground rectangle x 9..11, y -2..2
  auto* bare = new BaseEntity();                // no model: a point
  bare->SetPosition(VisVector_cl(-20, 0, 0));
  SetGlobalObject("crate", crate);
  SetGlobalObject("bare", bare);

  struct Case {
    const char* call;
    bool inRange;
  };
  const Case cases[] = {
      {"GameManager.IsEntityInRange(Vector(10, 1, 50), crate, 0)", false},  // inside, range 0
      {"GameManager.IsEntityInRange(Vector(10, 1, 50), crate, 0.5)", true},
      {"GameManager.IsEntityInRange(Vector(14, 0, 0), crate, 3)", false},  // 3 from the edge
      {"GameManager.IsEntityInRange(Vector(14, 0, 0), crate, 3.01, true)", true},
      {"GameManager.IsEntityInRange(Vector(14, 6, -30), crate, 5)", false},  // corner, 5 away
      {"GameManager.IsEntityInRange(Vector(14, 6, -30), crate, 5.01)", true},
      {"GameManager.IsEntityInRange(Vector(-17, 4, 0), bare, 5)", false},
      {"GameManager.IsEntityInRange(Vector(-17, 4, 0), bare, 5.5)", true},
  };
  for (const Case& c : cases) EXPECT_EQ(Bool(c.call), c.inRange) << c.call;

  // The box turns with the entity: a quarter turn makes it 4 long in x.
  crate->SetOrientation(90, 0, 0);
  EXPECT_TRUE(Bool("GameManager.IsEntityInRange(Vector(12.5, 0, 0), crate, 0.6)"));
}

TEST_F(GeometryBindingsTest, AnInvisiblePlayerHeroGivesNoResult) {
  auto* hero = new SoldierEntity();
  hero->SetPosition(VisVector_cl(0, 0, 0));
  auto* other = new SoldierEntity();
  other->SetPosition(VisVector_cl(0, 0, 0));
  SetGlobalObject("hero", hero);
  SetGlobalObject("other", other);

  EXPECT_TRUE(Bool("GameManager.IsEntityInRange(Vector(1, 0, 0), hero, 2)"));
  hero->MarkAsPlayerHero(true);
  EXPECT_TRUE(Bool("GameManager.IsEntityInRange(Vector(1, 0, 0), hero, 2)")) << "no potion yet";
  ArtifactManager::GetInstance()->ActivatePotion(kInvisibilityPotion, 30.0f, 1.0f);
  EXPECT_EQ(Count("GameManager.IsEntityInRange(Vector(1, 0, 0), hero, 2)"), 0);
  EXPECT_TRUE(Bool("GameManager.IsEntityInRange(Vector(1, 0, 0), other, 2)")) << "only the hero hides";
}

TEST_F(GeometryBindingsTest, RandomDirectionsAreFlatUnitVectorsFromTheSeededSource) {
  std::vector<VisVector_cl> first;
  VSeedRandom(77);
  for (int i = 0; i < 20; ++i) {
    const VisVector_cl v = Vector("GameManager.GetRandomVectorNormalized()");
    EXPECT_NEAR(v.GetLength(), 1.0f, 1e-5f);
    EXPECT_EQ(v.z, 0.0f);
    first.push_back(v);
  }
  VSeedRandom(77);
  for (const VisVector_cl& v : first) EXPECT_EQ(Vector("GameManager.GetRandomVectorNormalized()"), v);
}

TEST_F(GeometryBindingsTest, PatrolPathsSkipTheReservedShortAndNamelessOnes) {
  AddPath("CameraBounds", {{0, 0, 0}, {10, 0, 0}});
  AddPath("landing_zone", {{0, 0, 0}, {10, 0, 0}});
  EXPECT_TRUE(Bool("GameManager.GetRandomPatrolPath() == nil"));

  AddPath("MonkeyPath2", {{0, 0, 0}, {10, 0, 0}});
  AddPath("Short", {{0, 0, 0}});
  AddPath("", {{0, 0, 0}, {10, 0, 0}});
  EXPECT_TRUE(Bool("GameManager.GetRandomPatrolPath() == nil"));

  // Keys compare exactly: another spelling is a patrol path.
  SetGlobalObject("lower", AddPath("camerabounds", {{0, 0, 0}, {10, 0, 0}}));
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(Bool("GameManager.GetRandomPatrolPath() == lower"));

  SetGlobalObject("patrol", AddPath("Patrol", {{0, 0, 0}, {5, 5, 0}, {9, 0, 0}}));
  int lowerCount = 0, patrolCount = 0;
  for (int i = 0; i < 40; ++i) {
    ASSERT_EQ(Run("Picked = GameManager.GetRandomPatrolPath()"), "");
    lowerCount += Bool("Picked == lower");
    patrolCount += Bool("Picked == patrol");
  }
  EXPECT_EQ(lowerCount + patrolCount, 40);
  EXPECT_GT(lowerCount, 0);
  EXPECT_GT(patrolCount, 0);
}

TEST_F(GeometryBindingsTest, RandomPositionsSpreadAlongThePathAndStandOnTheGround) {
  SetGlobalObject("road", AddPath("Road", {{0, 0, 5}, {100, 0, 5}}));
  Vision::World.SetFlatTerrain(7.0f);

  // At sea (0 and 2) the point lies on the water; elsewhere on the terrain.
  struct Case {
    int location;
    bool terrain;
    float z;
  };
  const Case cases[] = {{0, true, 0.0f}, {2, true, 0.0f}, {1, true, 7.0f}, {1, false, 0.0f}};
  for (const Case& c : cases) {
    GameManager::GetInstance()->SetLocation(c.location);
    if (c.terrain)
      Vision::World.SetFlatTerrain(7.0f);
    else
      Vision::World.ClearTerrain();
    float lowest = 1e9f, highest = -1e9f;
    for (int i = 0; i < 50; ++i) {
      const VisVector_cl p = Vector("GameManager.GetRandomPositionFromPath(road)");
      EXPECT_EQ(p.y, 0.0f);
      EXPECT_EQ(p.z, c.z) << c.location;
      lowest = std::min(lowest, p.x);
      highest = std::max(highest, p.x);
    }
    // Drawn over the whole path, not bunched at its end.
    EXPECT_GE(lowest, 0.0f);
    EXPECT_LE(highest, 100.0f);
    EXPECT_LT(lowest, 25.0f);
    EXPECT_GT(highest, 75.0f);
  }

  // A height field answers with its absolute height (its offset counted once).
  ASSERT_TRUE(Vision::World.SetHeightFieldTerrain(VisVector_cl(-50, -50, 20), 200, 100, 2, 2, {0, 8, 0, 8}));
  const VisVector_cl p = Vector("GameManager.GetRandomPositionFromPath(road)");
  EXPECT_NEAR(p.z, Vision::World.GetHeightAtWorldPos(p.x, p.y), 1e-4f);
  EXPECT_GT(p.z, 20.0f);
}

TEST_F(GeometryBindingsTest, MoveObjectToGroundlevelPutsTheModelsBottomOnTheTerrain) {
  auto* crate = new BaseEntity();
  crate->SetMesh(box);  // bottom at -2
  crate->SetScaling(VisVector_cl(1, 1, 1.5f));
  auto* bare = new BaseEntity();
  SetGlobalObject("crate", crate);
  SetGlobalObject("bare", bare);

  struct Case {
    float terrain;  // NAN: none
    VisVector_cl start;
    float crateZ;
  };
  const Case cases[] = {
      {10.0f, {3, 4, 50}, 13.0f},
      {-4.0f, {3, 4, -50}, -1.0f},
      {NAN, {3, 4, 50}, 50.0f},  // without terrain nothing moves
  };
  for (const Case& c : cases) {
    if (std::isnan(c.terrain))
      Vision::World.ClearTerrain();
    else
      Vision::World.SetFlatTerrain(c.terrain);
    crate->SetPosition(c.start);
    bare->SetPosition(c.start);
    ASSERT_EQ(Run("GameManager.MoveObjectToGroundlevel(crate)\nGameManager.MoveObjectToGroundlevel(bare)"), "");
    EXPECT_EQ(crate->GetPosition(), VisVector_cl(3, 4, c.crateZ)) << c.terrain;
    EXPECT_EQ(bare->GetPosition(), c.start) << "no model: stays";
  }

  // The terrain height, forced or not, is the absolute height; 0 without terrain.
  BattleManager* battle = BattleManager::GetInstance();
  Vision::World.ClearTerrain();
  EXPECT_EQ(battle->GetTerrainHeight(VisVector_cl(3, 4, 9), true), 0.0f);
  ASSERT_TRUE(Vision::World.SetHeightFieldTerrain(VisVector_cl(0, 0, 20), 100, 100, 2, 2, {5, 5, 5, 5}));
  EXPECT_EQ(battle->GetTerrainHeight(VisVector_cl(3, 4, 9), true), 25.0f);
  EXPECT_EQ(battle->GetTerrainHeight(VisVector_cl(3, 4, 9), false), 25.0f);
  crate->SetPosition(VisVector_cl(3, 4, 0));
  ASSERT_EQ(Run("GameManager.MoveObjectToGroundlevel(crate)"), "");
  EXPECT_EQ(crate->GetPosition().z, 28.0f);
}

TEST_F(GeometryBindingsTest, ClampToScreenFindsTheWaterUnderTheScreenBorder) {
  VVideoConfig config;
  config.m_iXRes = 800;
  config.m_iYRes = 600;
  // Without a screen there is nothing to clamp to.
  EXPECT_EQ(Count("GameManager.ClampToScreen(Vector(1, 0, 0))"), 0);
  ASSERT_TRUE(VVideo::Initialize(config));
  // 100 above the water, looking along +x, level.
  VisRenderContext_cl* main = VisRenderContext_cl::GetMainRenderContext();
  main->SetCameraPosition(VisVector_cl(0, 0, 100));
  main->SetCameraRotation(VisMatrix3x3_cl());

  // A point on screen comes back as itself.
  VisVector_cl p = Vector("GameManager.ClampToScreen(Vector(1, 0, 0))");
  EXPECT_NEAR(p.x, 2000.0f, 0.5f);
  EXPECT_NEAR(p.y, 0.0f, 0.01f);
  EXPECT_NEAR(p.z, 0.0f, 0.01f);

  // Far off to the left: the water under the left border.
  p = Vector("GameManager.ClampToScreen(Vector(0.1, 1, 0))");
  EXPECT_NEAR(p.z, 0.0f, 0.01f);
  float x = -1, y = -1;
  ASSERT_TRUE(main->Project2D(p, x, y));
  EXPECT_NEAR(x, 0.0f, 0.01f);
  EXPECT_GT(y, 300.0f);
  EXPECT_GT(p.y, 0.0f);

  // Rays that never reach the water ahead give no result, and no infinite point.
  const char* none[] = {
      "GameManager.ClampToScreen(Vector(1, 0, 0.05))",  // the horizon: parallel to the water
      "GameManager.ClampToScreen(Vector(1, 0, 0.1))",   // above it
      "GameManager.ClampToScreen(Vector(-1, 0, 0))",    // behind the camera
  };
  for (const char* call : none) EXPECT_EQ(Count(call), 0) << call;
}

TEST_F(GeometryBindingsTest, BadArgumentsRaiseTheirErrorsAndOptionalOnesAreQuiet) {
  auto* crate = new BaseEntity();
  SetGlobalObject("crate", crate);
  SetGlobalObject("road", AddPath("Road", {{0, 0, 0}, {1, 0, 0}}));
  auto* plain = new VisBaseEntity_cl();
  SetGlobalObject("plain", plain);

  struct Case {
    std::string call;
    std::string error;
  };
  const Case cases[] = {
      {"GameManager.IsInRange()", ArgError(2, "IsInRange", "Expected VisVector_cl")},
      {"GameManager.IsInRange(Vector(0, 0, 0), 5, 1)", ArgError(3, "IsInRange", "Expected VisVector_cl")},
      {"GameManager.IsInRange(Vector(0, 0, 0), Vector(0, 0, 0))", ArgError(4, "IsInRange", "Expected float")},
      {"GameManager.IsEntityInRange(Vector(0, 0, 0), road, 1)",
       ArgError(1, "IsEntityInRange", "Expected native object of type VisBaseEntity_cl*")},
      {"GameManager.IsEntityInRange(Vector(0, 0, 0), crate)", ArgError(4, "IsEntityInRange", "Expected float")},
      {"GameManager.ClampToScreen('ahead')", ArgError(2, "ClampToScreen", "Expected VisVector_cl")},
      {"GameManager.GetRandomPositionFromPath(crate)",
       ArgError(1, "GetRandomPositionFromPath", "Expected native object of type VisPath_cl*")},
      {"GameManager.MoveObjectToGroundlevel(plain)",
       ArgError(1, "MoveObjectToGroundlevel", "Expected native object of type BaseEntity*")},
      {"GameManager.ShowMessageArg('str_X')", ArgError(3, "ShowMessageArg", "Expected const char*")},
      {"GameManager.ShowMessageArgLocalize(nil, 'str_Y')",
       ArgError(2, "ShowMessageArgLocalize", "Expected const char*")},
      {"GameManager.ShowAdditionalMessageArgsLocalize('str_X', '3')",
       ArgError(3, "ShowAdditionalMessageArgsLocalize", "Expected int")},
      {"GameManager.PlayVideo()", ArgError(2, "PlayVideo", "Expected const char*")},
  };
  for (const Case& c : cases) EXPECT_THAT(Run(c.call), HasSubstr(c.error)) << c.call;

  // Without the GUI the messages and windows do nothing, and make no GUI.
  EXPECT_EQ(Run("GameManager.ShowMessage()\n"
                "GameManager.ShowMessageArg('str_X', 'a', 1, 2, 'p')\n"
                "GameManager.ShowMessageArgLocalize('str_X', 'str_Y')\n"
                "GameManager.ShowAdditionalMessage('str_X')\n"
                "GameManager.ShowAdditionalMessageArgsLocalize('str_X', 2)\n"
                "GameManager.ShowWindow(21)"),
            "");
  EXPECT_FALSE(Bool("GameManager.IsMansionWindowVisible()"));
  EXPECT_FALSE(GUIManager::HasInstance());
}

// With the GUI running: the texts the message frame receives and the windows.
class GeometryBindingsGuiTest : public GuiFrameTest {
 protected:
  void SetUp() override {
    GuiFrameTest::SetUp();
    if (HasFatalFailure()) return;
    RegisterLuaBindings();
    L = Vision::GetScriptManager()->GetMasterState();
    std::istringstream texts(
        "str_T_FOUND = Found %s\n"
        "str_T_ITEM = Cutlass\n"
        "str_T_LEFT = %d left\n");
    LocalizationTable::GetInstance()->ReadStrings(texts);
  }
  void TearDown() override {
    Vision::GetScriptManager()->Reset();
    TutorialManager::CleanInstance();
    GuiFrameTest::TearDown();
    LocalizationTable::CleanInstance();
  }

  std::string Run(const std::string& code) {
    std::string error;
    if (luaL_loadstring(L, code.c_str()) != 0 || lua_pcall(L, 0, 0, 0) != 0) error = lua_tostring(L, -1);
    lua_settop(L, 0);
    return error;
  }

  lua_State* L = nullptr;
};

TEST_F(GeometryBindingsGuiTest, MessagesReachTheirLinesWithTextsAndTimes) {
  struct Case {
    const char* call;
    bool upper;
    std::string text;
    float displayTime, fadeSpeed;
  };
  const Case cases[] = {
      {"GameManager.ShowMessage('str_T_ITEM')", true, "Cutlass", 5.0f, 3.0f},
      {"GameManager.ShowMessage('str_T_MISSING', 2, 1)", true, "str_T_MISSING", 2.0f, 1.0f},
      {"GameManager.ShowMessageArg('str_T_FOUND', 'rope', 4, 0.5, '> ')", true, "> Found rope", 4.0f, 0.5f},
      {"GameManager.ShowMessageArgLocalize('str_T_FOUND', 'str_T_ITEM')", true, "Found Cutlass", 5.0f, 3.0f},
      {"GameManager.ShowMessageArgLocalize('str_T_FOUND', 'str_T_ITEM', 5, 3, 'Ahoy: ', '')", true,
       "Ahoy: Found Cutlass", 5.0f, 3.0f},
      {"GameManager.ShowMessageArgLocalize('str_T_FOUND', 'str_T_ITEM', 5, 3, '', '!')", true, "Found Cutlass!",
       5.0f, 3.0f},
      {"GameManager.ShowAdditionalMessage('str_T_ITEM', 1)", false, "Cutlass", 1.0f, 3.0f},
      {"GameManager.ShowAdditionalMessageArgsLocalize('str_T_LEFT', 3.9, nil, nil, 'Ships: ')", false,
       "Ships: 3 left", 5.0f, 3.0f},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(Run(c.call), "") << c.call;
    auto* frame = dynamic_cast<FrameInGameMessages*>(gui->GetWindow(WT_INGAME_MESSAGES));
    ASSERT_NE(frame, nullptr);
    const InGameMessage& last = c.upper ? frame->GetUpperQueue().back() : frame->GetCenterQueue().back();
    EXPECT_EQ(std::string(last.text.c_str()), FrameInGameMessages::kPrefix + c.text) << c.call;
    EXPECT_EQ(last.displayTime, c.displayTime) << c.call;
    EXPECT_EQ(last.fadeSpeed, c.fadeSpeed) << c.call;
  }
  ExpectNoCeguiFailure();
}

TEST_F(GeometryBindingsGuiTest, ShowWindowWithoutAKindOpensNothing) {
  gui->ShowFrame(WT_PAUSE);
  ASSERT_EQ(Run("GameManager.ShowWindow()\nGameManager.ShowWindow(-1)"), "");
  EXPECT_EQ(gui->FindWindowA(WT_WELCOME), nullptr);
  ASSERT_EQ(Run("GameManager.ShowWindow(21)"), "");
  EXPECT_TRUE(gui->IsWindowVisible(WT_WELCOME));
  ASSERT_EQ(Run("Visible = GameManager.IsMansionWindowVisible()"), "");
  lua_getglobal(L, "Visible");
  EXPECT_TRUE(lua_isboolean(L, -1));
  EXPECT_FALSE(lua_toboolean(L, -1));
  lua_settop(L, 0);
}

TEST_F(GeometryBindingsGuiTest, PlayVideoOfAMissingFileOnlyLogs) {
  ASSERT_EQ(Run("GameManager.PlayVideo('cutscenes/none_such.wmv')"), "");
  EXPECT_TRUE(log.Contains("Couldn't initialize DirectShow."));
}

}  // namespace
