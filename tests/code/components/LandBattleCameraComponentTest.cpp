// The land camera: speeds and their caps, edge scrolling, the wheel, the height
// band, the pull-back, the bounds polygon, the in-game menu, following, the
// conversation shot, its script class and its saved block.
#include "components/CameraInputComponent.h"
#include "components/LandBattleCameraComponent.h"
#include "core/GameManager.h"
#include "core/Player.h"
#include "core/RtsManager.h"
#include "entities/CameraEntity.h"
#include "entities/UnitEntity.h"
#include "gui/GUIManager.h"
#include "support/ArchiveRoundTrip.h"
#include "support/GuiTestEnvironment.h"
#include "support/LogCapture.h"
#include "support/ScopedEnv.h"
#include "support/ScriptBindingFixture.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>

namespace {

VisPathNode_cl Corner(const VisVector_cl& p) { return VisPathNode_cl(p, VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0)); }

// An exact binary step, so that sums of steps carry no rounding.
const float kDt = 1.0f / 64.0f;

enum {
  FORWARD = 101,
  BACK = 102,
  LEFT = 103,
  RIGHT = 104,
  RAISE = 105,
  LOWER = 106,
  WHEEL_OUT = 111,
  WHEEL_IN = 112,
  FOLLOW = 127,
  UNFOLLOW = 128,
  TALK = 129,
  TALK_END = 130,
  BOOST = 133,
};

// What the camera input sends in one frame: held keys, the boost and the wheel.
struct Input {
  std::set<int> held;
  bool boost = false;
  int wheel = 0;  // < 0 zooms out (111), > 0 in (112)
};

class LandBattleCameraTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env.Start(kDt);
    Vision::Timer.Update();
    Vision::World.ClearTerrain();
  }
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    Vision::Mouse.InjectButton(VisMouse_cl::MIDDLE, false);
    GameManager::CleanInstance();
    Vision::Message.ClearAll();
    env.Stop();
  }

  // A camera entity at pos with the given yaw, carrying a fresh land camera.
  LandBattleCameraComponent* MakeCamera(const VisVector_cl& pos = VisVector_cl(0, 0, 60), float yaw = 0.0f) {
    entity = new CameraEntity_cl();
    entity->SetPosition(pos);
    entity->SetOrientation(yaw, 0.0f, 0.0f);
    camera = new LandBattleCameraComponent();
    EXPECT_TRUE(entity->AddComponent(camera));
    return camera;
  }

  // One frame: the input's messages in the order the camera input sends them, then the update.
  void Frame(const Input& in = Input()) {
    Vision::Timer.Update();
    for (int id = FORWARD; id <= LOWER; ++id) entity->SendMsg(id, in.held.count(id) ? 1 : 0, 0);
    if (in.boost) entity->SendMsg(BOOST, 1, 0);
    entity->SendMsg(WHEEL_OUT, in.wheel < 0 ? 1 : 0, 0);
    entity->SendMsg(WHEEL_IN, in.wheel > 0 ? 1 : 0, 0);
    camera->Update();
  }
  void Frames(int n, const Input& in = Input()) {
    for (int i = 0; i < n; ++i) Frame(in);
  }

  // The GUI cursor at a pixel, as the GUI's render hook takes it from the system cursor.
  void CursorAt(int x, int y) {
    VSetCursorPos(x, y);
    env.RenderGui();
  }
  GUIManager* StartGui() {
    GUIManager* gui = env.StartGui();
    EXPECT_TRUE(gui->IsInitialized());
    return gui;
  }

  GuiTestEnvironment env;
  CameraEntity_cl* entity = nullptr;
  LandBattleCameraComponent* camera = nullptr;
};

// ---- attaching --------------------------------------------------------------------------

TEST_F(LandBattleCameraTest, AttachingResetsTheTuningLiftsTheCameraOverTheGroundAndFindsTheBounds) {
  Vision::World.SetFlatTerrain(10.0f);
  VisPath_cl* bounds = new VisPath_cl(4, true);
  bounds->SetObjectKey("CameraBounds");
  Vision::Game.AddScenePath(bounds);

  entity = new CameraEntity_cl();
  entity->SetPosition(VisVector_cl(5, 6, 3));
  entity->SetOrientation(30.0f, 0.0f, 0.0f);
  camera = new LandBattleCameraComponent();
  // Values of a scene file are overwritten by the built-in ones on attach.
  camera->SetVariable("m_fMinHeight", "5");
  camera->SetVariable("m_fMaxSpeedFactor", "7");
  EXPECT_EQ(camera->GetMinHeight(), 5.0f);
  ASSERT_TRUE(entity->AddComponent(camera));

  EXPECT_EQ(camera->GetMinHeight(), 20.0f);
  EXPECT_EQ(camera->GetMaxHeight(), 60.0f);
  EXPECT_EQ(camera->GetDefaultTilt(), 45.0f);
  EXPECT_EQ(camera->GetMinHeightTiltOffset(), 0.0f);
  EXPECT_EQ(camera->GetMaxHeightTiltOffset(), 20.0f);
  EXPECT_EQ(camera->GetMoveSpeed(), VisVector_cl(120, 120, 4));
  EXPECT_EQ(camera->GetTurnSpeedMax(), 120.0f);
  EXPECT_EQ(camera->GetMiddleMouseButtonDragSensitivity(), 10.0f);
  EXPECT_EQ(camera->GetMaxSpeedFactor(), 1.0f);
  EXPECT_EQ(camera->GetCurrentHeight(), 60.0f);
  // Below terrain + minimum: raised there, and the entity with it; the tilt of the lowest hover.
  EXPECT_EQ(entity->GetPosition(), VisVector_cl(5, 6, 30));
  EXPECT_NEAR(entity->GetOrientation().x, 30.0f, 1e-4f);
  EXPECT_NEAR(entity->GetOrientation().y, 45.0f, 1e-4f);
  EXPECT_EQ(camera->GetPositionSprings().GetCurrent(), VisVector_cl(5, 6, 30));
  EXPECT_TRUE(camera->GetPositionSprings().x.enabled);
  EXPECT_EQ(camera->GetPositionSprings().x.k, 256.0f);
  EXPECT_EQ(camera->GetOrientationSprings().y.target, camera->GetOrientation().y);
  EXPECT_EQ(camera->GetBoundsPath(), bounds);

  entity->RemoveComponent(camera);
  EXPECT_EQ(camera->GetBoundsPath(), nullptr);
  delete camera;
}

// ---- keys and the speed boost -----------------------------------------------------------

TEST_F(LandBattleCameraTest, ForwardSpeedCapsAtTheMoveSpeedTimesTheSpeedFactor) {
  struct Case {
    float maxSpeedFactor;
    bool boost;
    float cap;
  } cases[] = {{1.0f, false, 120.0f}, {2.0f, false, 120.0f}, {2.0f, true, 240.0f}, {1.0f, true, 120.0f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "factor " << c.maxSpeedFactor << " boost " << c.boost);
    MakeCamera();
    camera->SetMaxSpeedFactor(c.maxSpeedFactor);
    Input in;
    in.held = {FORWARD};
    in.boost = c.boost;
    float last = 0.0f;
    for (int i = 0; i < 300; ++i) {
      Frame(in);
      ASSERT_GE(camera->GetVelocity().x, last);
      last = camera->GetVelocity().x;
    }
    EXPECT_EQ(camera->GetVelocity().x, c.cap);
    EXPECT_GT(camera->GetTarget().x, 100.0f);  // yaw 0: forward is +x
    EXPECT_NEAR(camera->GetTarget().y, 0.0f, 1e-3f);

    // Released, the speed falls back to 0 and stays there.
    Input none;
    if (c.boost) entity->SendMsg(BOOST, 0, 0);
    Frames(120, none);
    EXPECT_EQ(camera->GetVelocity().x, 0.0f);
    Vision::Game.RemoveAllEntities();
  }
}

TEST_F(LandBattleCameraTest, EachKeyDrivesItsAxisAndTheSideKeysMoveAlongTheCameraAxes) {
  MakeCamera(VisVector_cl(0, 0, 60), 90.0f);  // looking along +y: left is -x
  Frame();
  camera->SetCurrentHeight(40.0f);  // room to rise
  struct Case {
    int key;
    int axis;
    float sign;
  } cases[] = {{FORWARD, 0, 1}, {BACK, 0, -1}, {LEFT, 1, 1}, {RIGHT, 1, -1}, {RAISE, 2, 1}, {LOWER, 2, -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    Input in;
    in.held = {c.key};
    Frames(5, in);
    EXPECT_GT(camera->GetVelocity()[c.axis] * c.sign, 0.0f);
    Frames(200);
    EXPECT_EQ(camera->GetVelocity()[c.axis], 0.0f);
  }
  Input left;
  left.held = {LEFT};
  const VisVector_cl before = camera->GetTarget();
  Frames(20, left);
  EXPECT_LT(camera->GetTarget().x, before.x - 1.0f);
  EXPECT_NEAR(camera->GetTarget().y, before.y, 1e-3f);
}

// ---- the mouse ----------------------------------------------------------------------------

TEST_F(LandBattleCameraTest, TheCursorOnTheTopRowMovesForwardAndHoldsOffTheKeySlowDown) {
  StartGui();
  CursorAt(640, 360);
  MakeCamera();
  Frame();
  CursorAt(640, 1);
  Frames(10);  // no key held: the input sends 101 with 0 each frame
  EXPECT_TRUE(camera->IsForwardEdgeScrolling());
  EXPECT_FALSE(camera->IsSideEdgeScrolling());
  const float speed = camera->GetVelocity().x;
  EXPECT_GT(speed, 0.0f);
  // The key-release step leaves vx alone while the edge drives it.
  entity->SendMsg(FORWARD, 0, 0);
  EXPECT_EQ(camera->GetVelocity().x, speed);

  // Off the edge the speed falls away.
  CursorAt(640, 360);
  Frame();
  EXPECT_FALSE(camera->IsForwardEdgeScrolling());
  Frames(100);
  EXPECT_EQ(camera->GetVelocity().x, 0.0f);

  // The other edges, two pixels wide.
  struct Case {
    int x, y;
    int axis;
    float sign;
  } cases[] = {{640, 718, 0, -1}, {1, 360, 1, 1}, {1278, 360, 1, -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    CursorAt(c.x, c.y);
    Frames(5);
    EXPECT_GT(camera->GetVelocity()[c.axis] * c.sign, 0.0f);
    CursorAt(640, 360);
    Frames(100);
    EXPECT_EQ(camera->GetVelocity()[c.axis], 0.0f);
  }
  CursorAt(640, 717);  // three pixels from the bottom: not an edge
  Frames(3);
  EXPECT_EQ(camera->GetVelocity().x, 0.0f);
}

TEST_F(LandBattleCameraTest, AMiddleButtonDragMovesTheTargetFromWhereTheButtonWentDown) {
  StartGui();
  CursorAt(640, 360);
  MakeCamera();
  Frame();  // settles at the maximum height
  // The cursor travelled far since the last drag: pressing the button moves nothing.
  CursorAt(600, 300);
  Frame();
  CursorAt(600, 200);
  Vision::Mouse.InjectButton(VisMouse_cl::MIDDLE, true);
  VisVector_cl before = camera->GetTarget();
  Frame();
  EXPECT_EQ(camera->GetTarget(), before);

  // 100 pixels down, at height 60: one row of the rotation times 100 / 60.
  const VisMatrix3x3_cl r = entity->GetRotationMatrix();
  const float zAtDrag = camera->GetPosition().z;
  CursorAt(600, 300);
  Frame();
  // (The GUI's resolution-free cursor position differs from pixels / size by a hair.)
  const float step = 100.0f / zAtDrag;
  EXPECT_NEAR(camera->GetTarget().x, before.x + r(0, 0) * step, 0.01f * step);
  EXPECT_NEAR(camera->GetTarget().y, before.y + r(1, 0) * step, 0.01f * step);
  EXPECT_EQ(camera->GetDragStep(), VisVector_cl(0, 0, 0));

  // Held still: nothing more.
  before = camera->GetTarget();
  Frame();
  EXPECT_EQ(camera->GetTarget(), before);
  Vision::Mouse.InjectButton(VisMouse_cl::MIDDLE, false);
}

TEST_F(LandBattleCameraTest, OneWheelNotchGivesAnImpulseForATenthOfASecond) {
  MakeCamera();
  Frame();
  camera->SetCurrentHeight(40.0f);
  entity->SendMsg(WHEEL_OUT, 1, 0);
  EXPECT_FLOAT_EQ(camera->GetWheelImpulse(), 0.1f);
  camera->Update();
  // The impulse decays by the frame time; the wheel speed grows while it lasts.
  float elapsed = kDt;
  while (camera->GetWheelImpulse() > 0.0f) {
    EXPECT_NEAR(camera->GetWheelImpulse(), 0.1f - elapsed, 1e-6f);
    const float before = camera->GetWheelVelocity();
    Frame();
    elapsed += kDt;
    EXPECT_GE(camera->GetWheelVelocity(), before);
    ASSERT_LT(elapsed, 0.2f);
  }
  EXPECT_GE(elapsed, 0.1f);
  EXPECT_LT(elapsed, 0.1f + kDt);
  EXPECT_EQ(camera->GetWheelVelocity(), camera->GetMoveSpeed().z);  // capped at the vertical speed
  // Then it falls back to 0, and the camera has risen meanwhile.
  Frames(30);
  EXPECT_EQ(camera->GetWheelVelocity(), 0.0f);
  EXPECT_GT(camera->GetCurrentHeight(), 40.0f);
  const float height = camera->GetCurrentHeight();
  Frames(5);
  EXPECT_EQ(camera->GetCurrentHeight(), height);
}

// ---- height, tilt and pull-back ------------------------------------------------------------

TEST_F(LandBattleCameraTest, AHeightBelowTheBandSnapsToItAndStopsAllVerticalMotion) {
  Vision::World.SetFlatTerrain(7.0f);
  MakeCamera(VisVector_cl(0, 0, 40));
  Frame();
  Input down;
  down.held = {LOWER};
  down.wheel = 1;
  Frames(3, down);
  EXPECT_LT(camera->GetVelocity().z, 0.0f);
  camera->SetCurrentHeight(5.0f);
  Frame(down);
  EXPECT_EQ(camera->GetCurrentHeight(), 27.0f);
  EXPECT_EQ(camera->GetPosition().z, 27.0f);
  EXPECT_EQ(camera->GetVelocity().z, 0.0f);
  EXPECT_EQ(camera->GetWheelVelocity(), 0.0f);
  EXPECT_EQ(camera->GetWheelImpulse(), 0.0f);
  // Above the band the same.
  camera->SetCurrentHeight(200.0f);
  Frame();
  EXPECT_EQ(camera->GetCurrentHeight(), 67.0f);
}

TEST_F(LandBattleCameraTest, TheCameraStandsBackFurtherAndTiltsMoreTheHigherItHovers) {
  MakeCamera(VisVector_cl(10, 20, 60), 30.0f);
  struct Case {
    float height;
    float pullBack;
    float tilt;
  } cases[] = {
      {60.0f, -30.0f * 41.0f / 42.0f, 45.0f + 20.0f * 41.0f / 110.0f},  // the maximum: about 29.29
      {40.0f, -30.0f * 21.0f / 42.0f, 45.0f + 20.0f * 21.0f / 110.0f},
      {20.0f, -30.0f * 1.0f / 42.0f, 45.0f + 20.0f * 1.0f / 110.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.height);
    camera->SetCurrentHeight(c.height);
    Frame();
    EXPECT_NEAR(camera->GetPullBack(), c.pullBack, 1e-4f);
    EXPECT_NEAR(entity->GetOrientation().y, c.tilt, 1e-4f);
    // Back along the forward axis, at the hover height.
    const VisVector_cl forward = entity->GetRotationMatrix().GetColumn(0);
    const VisVector_cl expected(10.0f + forward.x * c.pullBack, 20.0f + forward.y * c.pullBack, c.height);
    EXPECT_TRUE(entity->GetPosition().IsEqual(expected, 1e-4f)) << entity->GetPosition().x;
    EXPECT_EQ(camera->GetPosition(), VisVector_cl(10, 20, c.height));
  }
}

TEST_F(LandBattleCameraTest, TheDebugPrintShowsTheCameraState) {
  MakeCamera();
  camera->SetDebugPrint(true);
  Vision::Message.ClearFrame();
  Frame();
  const auto& lines = Vision::Message.GetFrameEntries();
  const char* starts[] = {"Target Position ", "Offset ", "Position ", "Terrain Height: ", "Tilt: ", "Campos: "};
  const int rows[] = {585, 600, 615, 630, 645, 665};
  ASSERT_EQ(lines.size(), 6u);
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(lines[i].text.rfind(starts[i], 0), 0u) << lines[i].text;
    EXPECT_EQ(lines[i].x, 10.0f);
    EXPECT_EQ(lines[i].y, (float)rows[i]);
  }
  EXPECT_EQ(lines[1].text, "Offset 0.00 0.00 60.00");
}

// ---- bounds ------------------------------------------------------------------------------------

class LandBattleCameraBoundsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    square = new VisPath_cl(4, true);
    for (const VisVector_cl& p : {VisVector_cl(-10, -10, 0), VisVector_cl(10, -10, 0), VisVector_cl(10, 10, 0),
                                  VisVector_cl(-10, 10, 0)})
      square->AddPathNode(Corner(p));
  }
  VSmartPtr<VisPath_cl> square;
};

TEST_F(LandBattleCameraBoundsTest, MovesInsideStandAcrossAnEdgeSlideAndIntoACornerStop) {
  struct Case {
    const char* what;
    VisVector_cl from, to, expected;
  } cases[] = {
      {"inside", {0, 0, 0}, {5, 4, 0}, {5, 4, 0}},
      {"across the right edge, slides up it", {9, -5, 0}, {11, -3, 0}, {9, -3, 0}},
      {"across the bottom edge, slides along it", {-2, -9, 0}, {1, -12, 0}, {1, -9, 0}},
      {"into the corner", {9, 8, 0}, {11, 11, 0}, {9, 8, 0}},
      {"onto the edge counts as out (look-ahead)", {9, 0, 0}, {10, 0, 0}, {9, 0, 0}},
      {"no move", {3, 3, 0}, {3, 3, 0}, {3, 3, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const VisVector_cl n = LandBattleCameraComponent::ClampToBounds(square, c.from, c.to);
    EXPECT_TRUE(n.IsEqual(c.expected, 1e-4f)) << n.x << ", " << n.y;
  }
}

TEST_F(LandBattleCameraBoundsTest, WithoutAPolygonNothingIsClamped) {
  VSmartPtr<VisPath_cl> two = new VisPath_cl(2, true);
  two->AddPathNode(Corner(VisVector_cl(-10, 0, 0)));
  two->AddPathNode(Corner(VisVector_cl(10, 0, 0)));
  const VisVector_cl far(50, 50, 0);
  EXPECT_EQ(LandBattleCameraComponent::ClampToBounds(nullptr, VisVector_cl(0, 0, 0), far), far);
  EXPECT_EQ(LandBattleCameraComponent::ClampToBounds(two, VisVector_cl(0, -5, 0), far), far);
}

// The bundled land scene: the camera starts where the scene says and cannot leave
// its bounds, however long it is pushed.
TEST_F(LandBattleCameraTest, TheLandSceneKeepsTheCameraInsideItsBounds) {
  ASSERT_TRUE(Vision::LoadWorld("scenes\\landtest\\LandTest"));
  VisBaseEntity_cl* start = Vision::Game.SearchEntity("CameraStartPosition");
  ASSERT_NE(start, nullptr);
  EXPECT_NEAR(start->GetOrientation().x, 0.0f, 1e-4f);  // along +x, towards both units
  MakeCamera(start->GetPosition(), start->GetOrientation().x);
  VisPath_cl* bounds = camera->GetBoundsPath();
  ASSERT_NE(bounds, nullptr);
  ASSERT_TRUE(bounds->IsClosed());
  ASSERT_GE(bounds->GetPathNodeCount(), 3);

  float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
  for (int i = 0; i < bounds->GetPathNodeCount(); ++i) {
    const VisVector_cl& p = bounds->GetPathNode(i)->GetPosition();
    minX = std::min(minX, p.x), maxX = std::max(maxX, p.x), minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
  }
  // Both units lie inside.
  for (const char* unit : {"Raiders", "Garrison"}) {
    ASSERT_NE(Vision::Game.SearchEntity(unit), nullptr) << unit;
    const VisVector_cl p = Vision::Game.SearchEntity(unit)->GetPosition();
    EXPECT_TRUE(p.x > minX && p.x < maxX && p.y > minY && p.y < maxY) << unit;
  }
  for (int key : {FORWARD, LEFT, BACK, RIGHT}) {
    SCOPED_TRACE(key);
    Input in;
    in.held = {key};
    in.boost = true;
    Frames(400, in);
    const VisVector_cl t = camera->GetTarget();
    EXPECT_TRUE(t.x > minX && t.x < maxX && t.y > minY && t.y < maxY) << t.x << ", " << t.y;
    Frames(100);
  }
  Vision::LoadWorld(nullptr);
}

// ---- the in-game menu -----------------------------------------------------------------------

TEST_F(LandBattleCameraTest, WithTheInGameMenuOpenOnlyVerticalAndWheelMotionStop) {
  GUIManager* gui = StartGui();
  gui->InitLayouts();
  MakeCamera();
  Frame();
  camera->SetCurrentHeight(40.0f);
  Input moving;
  moving.held = {FORWARD, LEFT, RAISE};
  Frames(20, moving);
  entity->SendMsg(WHEEL_OUT, 1, 0);
  ASSERT_GT(camera->GetVelocity().z, 0.0f);
  ASSERT_GT(camera->GetWheelVelocity(), 0.0f);
  const VisVector_cl speed = camera->GetVelocity();

  // The menu opens over the game's screen.
  gui->ShowFrame(WT_FADE_OUT);
  gui->ShowWindow(WT_INGAME_MENU, nullptr);
  ASSERT_TRUE(gui->IsWindowVisible(WT_INGAME_MENU));
  entity->SendMsg(FORWARD, 1, 0);
  EXPECT_EQ(camera->GetVelocity().z, 0.0f);
  EXPECT_EQ(camera->GetWheelVelocity(), 0.0f);
  EXPECT_EQ(camera->GetWheelImpulse(), 0.0f);
  EXPECT_EQ(camera->GetVelocity().x, speed.x);  // held W does not add either
  EXPECT_EQ(camera->GetVelocity().y, speed.y);
  // Messages that would start motion are ignored as well.
  entity->SendMsg(WHEEL_OUT, 1, 0);
  entity->SendMsg(FOLLOW, 1, 0);
  EXPECT_EQ(camera->GetWheelImpulse(), 0.0f);
  EXPECT_FALSE(camera->IsFollowing());
  gui->CloseWindow(WT_INGAME_MENU, true);
}

// ---- following ---------------------------------------------------------------------------------

TEST_F(LandBattleCameraTest, FollowStopsWithoutAFollowedUnitAnd128ClearsTheGameToggle) {
  MakeCamera();
  GameManager::GetInstance()->SetFollowCameraState(true);
  entity->SendMsg(FOLLOW, 0, 0);
  EXPECT_TRUE(camera->IsFollowing());
  ASSERT_EQ(RtsManager::GlobalManager().GetFollowedUnit(), nullptr);
  Frame();
  EXPECT_FALSE(camera->IsFollowing());
  EXPECT_FALSE(GameManager::GetInstance()->GetFollowCameraState());

  GameManager::GetInstance()->SetFollowCameraState(true);
  entity->SendMsg(FOLLOW, 0, 0);
  entity->SendMsg(UNFOLLOW, 0, 0);
  EXPECT_FALSE(camera->IsFollowing());
  EXPECT_FALSE(GameManager::GetInstance()->GetFollowCameraState());
}

TEST_F(LandBattleCameraTest, AFollowedUnitIsBroughtToTheScreenCentreUntilAKeyMovesTheCamera) {
  RtsManager& rts = RtsManager::GlobalManager();
  rts.OneTimeInit();
  // One of the player's own units, selected.
  rts.SetPlayerNation(1);
  auto* unit = new UnitEntity();
  unit->SetNation(1);
  unit->SetPosition(VisVector_cl(80, 30, 0));
  rts.GetPlayer()->AddPlayerUnit(unit);
  rts.GetPlayer()->SetSelected(unit);
  rts.SetCurrentSellectionToFollowedUnit();
  EXPECT_EQ(rts.GetFollowedUnit(), unit);
  MakeCamera();
  // The main camera looks from where the entity stands.
  auto place = [&] {
    VisRenderContext_cl* context = VisRenderContext_cl::GetMainRenderContext();
    context->SetCameraPosition(entity->GetPosition());
    context->SetCameraRotation(entity->GetRotationMatrix());
  };
  place();
  entity->SendMsg(FOLLOW, 0, 0);
  for (int i = 0; i < 600 && (camera->IsFollowedUnitOffCentre() || i < 2); ++i) {
    Frame();
    place();
  }
  EXPECT_TRUE(camera->IsFollowing());
  EXPECT_FALSE(camera->IsFollowedUnitOffCentre());
  float x = 0, y = 0;
  ASSERT_TRUE(VisRenderContext_cl::GetMainRenderContext()->Project2D(unit->GetPosition(), x, y));
  EXPECT_NEAR(x / 1280.0f, 0.5f, 0.4f);
  EXPECT_NEAR(y / 720.0f, 0.5f, 0.4f);

  // A key move while the unit is centred ends it.
  Input in;
  in.held = {LEFT};
  Frame(in);
  EXPECT_FALSE(camera->IsFollowing());
  rts.OneTimeDeInit();
}

// ---- conversation ----------------------------------------------------------------------------

TEST_F(LandBattleCameraTest, AConversationShotIsFlownToTheShortWayRoundAndLeftAgain) {
  MakeCamera(VisVector_cl(0, 0, 60), 170.0f);
  Frame();
  const VisVector_cl hover = camera->GetPosition();
  const VisVector_cl hoverOrientation = camera->GetOrientation();
  VisVector_cl shot(20, -10, 8);
  VisVector_cl facing(-170, 10, 0);
  entity->SendMsg(TALK, (INT_PTR)&shot, (INT_PTR)&facing);
  EXPECT_TRUE(camera->IsInConversation());
  // A second shot while one runs is ignored.
  VisVector_cl other(500, 500, 500);
  entity->SendMsg(TALK, (INT_PTR)&other, (INT_PTR)&facing);

  // Keys wait meanwhile... the flight turns through 180 to 190, never back through 0.
  float lowest = 1e9f, highest = -1e9f;
  int frames = 0;
  while (!camera->HasArrivedAtConversation() && frames < 2000) {
    Frame();
    ++frames;
    lowest = std::min(lowest, entity->GetOrientation().x);
    highest = std::max(highest, entity->GetOrientation().x);
  }
  ASSERT_TRUE(camera->HasArrivedAtConversation());
  EXPECT_GE(lowest, 170.0f - 1e-3f);
  EXPECT_GT(highest, 185.0f);
  EXPECT_LE(highest, 190.0f + 1e-3f);
  EXPECT_TRUE(entity->GetPosition().IsEqual(shot, 0.02f));
  // Arrived, it holds still.
  const VisVector_cl held = entity->GetPosition();
  Frames(10);
  EXPECT_EQ(entity->GetPosition(), held);

  entity->SendMsg(TALK_END, 0, 0);
  EXPECT_FALSE(camera->IsInConversation());
  EXPECT_EQ(camera->GetPosition(), hover);
  EXPECT_EQ(camera->GetOrientation(), hoverOrientation);
  // The pose springs restart where the shot left the camera.
  EXPECT_EQ(camera->GetPositionSprings().GetCurrent(), shot);
  Frame();
  EXPECT_EQ(camera->GetPosition(), hover);
  EXPECT_NEAR(entity->GetOrientation().x, 170.0f, 1e-3f);
}

TEST_F(LandBattleCameraTest, AShotFromTheNegativeSideTurnsThroughMinus180) {
  MakeCamera(VisVector_cl(0, 0, 60), -170.0f);
  Frame();
  VisVector_cl shot(0, 0, 30);
  VisVector_cl facing(170, 0, 0);
  entity->SendMsg(TALK, (INT_PTR)&shot, (INT_PTR)&facing);
  Frames(400);
  EXPECT_LT(entity->GetOrientation().x, -185.0f);
  EXPECT_GE(entity->GetOrientation().x, -190.0f - 1e-3f);
}

// ---- the saved block ----------------------------------------------------------------------

TEST_F(LandBattleCameraTest, TheVersion2BlockRoundTripsAndRestartsTheSprings) {
  MakeCamera(VisVector_cl(4, 5, 60));
  camera->SetMinHeight(12);
  camera->SetMaxHeight(90);
  camera->SetDefaultTilt(38);
  camera->SetMinHeightTiltOffset(3);
  camera->SetMaxHeightTiltOffset(25);
  camera->SetMoveSpeed(70, 80, 6);
  camera->SetMiddleMouseButtonDragSensitivity(4);
  Input in;
  in.held = {FORWARD};
  Frames(30, in);
  LandBattleCameraComponent fresh;

  archive_test::Bytes written;
  ASSERT_TRUE(archive_test::RoundTripSerialize(*camera, fresh, &written));
  EXPECT_EQ(fresh.GetMinHeight(), 12.0f);
  EXPECT_EQ(fresh.GetMaxHeight(), 90.0f);
  EXPECT_EQ(fresh.GetDefaultTilt(), 38.0f);
  EXPECT_EQ(fresh.GetMinHeightTiltOffset(), 3.0f);
  EXPECT_EQ(fresh.GetMaxHeightTiltOffset(), 25.0f);
  EXPECT_EQ(fresh.GetMoveSpeed(), VisVector_cl(70, 80, 6));
  EXPECT_EQ(fresh.GetTurnSpeedMax(), 120.0f);
  EXPECT_EQ(fresh.GetMiddleMouseButtonDragSensitivity(), 4.0f);

  // The block: "ARCH", version 2, five floats, the vector, two floats, "EOA".
  const archive_test::Bytes block = archive_test::ByteWriter()
                                        .Str("ARCH")
                                        .U8(2)
                                        .F32(12)
                                        .F32(90)
                                        .F32(38)
                                        .F32(3)
                                        .F32(25)
                                        .F32(70)
                                        .F32(80)
                                        .F32(6)
                                        .F32(1)
                                        .F32(120)
                                        .F32(4)
                                        .Str("EOA");
  ASSERT_GE(written.size(), block.size());
  EXPECT_EQ(archive_test::Bytes(written.end() - (long)block.size(), written.end()), block);

  // Writing restarts the pose springs at the current pose, at rest.
  for (const LandBattleCameraComponent::DampedSpring* s :
       {&camera->GetPositionSprings().x, &camera->GetPositionSprings().z, &camera->GetOrientationSprings().y}) {
    EXPECT_EQ(s->velocity, 0.0f);
    EXPECT_EQ(s->current, s->target);
    EXPECT_TRUE(s->enabled);
  }
  EXPECT_EQ(camera->GetPositionSprings().GetCurrent(), camera->GetPosition());
  EXPECT_EQ(camera->GetOrientationSprings().GetCurrent(), camera->GetOrientation());
  EXPECT_TRUE(fresh.GetPositionSprings().y.enabled);
}

TEST_F(LandBattleCameraTest, AnOlderBlockCarriesNoFieldsAndABadOneChangesNothing) {
  LandBattleCameraComponent source;
  const archive_test::Bytes whole = archive_test::SaveBytes([&](VArchive& ar) { source.Serialize(ar); });
  // The engine component's part comes first; the camera's block is the rest.
  const size_t blockSize = 4 + 4 + 1 + 5 * 4 + 16 + 2 * 4 + 4 + 3;
  ASSERT_GT(whole.size(), blockSize);
  const archive_test::Bytes head(whole.begin(), whole.end() - (long)blockSize);
  auto with = [&](const archive_test::Bytes& block) {
    archive_test::Bytes b = head;
    b.insert(b.end(), block.begin(), block.end());
    return b;
  };

  LandBattleCameraComponent older;
  older.SetMinHeight(33);
  EXPECT_TRUE(archive_test::LoadBytes(with(archive_test::ByteWriter().Str("ARCH").U8(1).Str("EOA")),
                                      [&](VArchive& ar) { older.Serialize(ar); }));
  EXPECT_EQ(older.GetMinHeight(), 33.0f);

  struct Case {
    const char* what;
    archive_test::Bytes block;
  } cases[] = {
      {"newer version", archive_test::ByteWriter().Str("ARCH").U8(3).Str("EOA")},
      {"wrong start tag", archive_test::ByteWriter().Str("ARCX").U8(2).Str("EOA")},
      {"wrong end tag", archive_test::ByteWriter()
                            .Str("ARCH")
                            .U8(2)
                            .F32(1)
                            .F32(2)
                            .F32(3)
                            .F32(4)
                            .F32(5)
                            .F32(6)
                            .F32(7)
                            .F32(8)
                            .F32(1)
                            .F32(9)
                            .F32(10)
                            .Str("EOX")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LogCapture log;
    LandBattleCameraComponent target;
    target.SetMinHeight(33);
    archive_test::ReadArchive ar(with(c.block));
    target.Serialize(*ar);
    EXPECT_FALSE(ar->IsOK());
    EXPECT_EQ(target.GetMinHeight(), 33.0f);
    EXPECT_EQ(target.GetMoveSpeed(), VisVector_cl(120, 120, 120));
  }
}

// ---- the script class ------------------------------------------------------------------------

class LandBattleCameraScriptTest : public ScriptBindingFixture {
 protected:
  void SetUp() override {
    ScriptBindingFixture::SetUp();
    if (HasFatalFailure()) return;
    entity = new CameraEntity_cl();
    entity->SetPosition(VisVector_cl(0, 0, 60));
    camera = new LandBattleCameraComponent();
    ASSERT_TRUE(entity->AddComponent(camera));
    SetGlobalObject("cam", static_cast<IVObjectComponent*>(camera));
    SetGlobalObject("other", static_cast<VisBaseEntity_cl*>(entity));
  }
  CameraEntity_cl* entity = nullptr;
  LandBattleCameraComponent* camera = nullptr;
};

TEST_F(LandBattleCameraScriptTest, EachMethodSetsItsPropertyAndReportsAWrongArgument) {
  struct Case {
    const char* method;
    float (LandBattleCameraComponent::*get)() const;
  } cases[] = {
      {"SetMinHeight", &LandBattleCameraComponent::GetMinHeight},
      {"SetMaxHeight", &LandBattleCameraComponent::GetMaxHeight},
      {"SetMinHeightTiltOffset", &LandBattleCameraComponent::GetMinHeightTiltOffset},
      {"SetMaxHeightTiltOffset", &LandBattleCameraComponent::GetMaxHeightTiltOffset},
      {"SetDefaultTilt", &LandBattleCameraComponent::GetDefaultTilt},
      {"SetMiddleMouseButtonDragSensitivity", &LandBattleCameraComponent::GetMiddleMouseButtonDragSensitivity},
      {"SetMaxSpeedFactor", &LandBattleCameraComponent::GetMaxSpeedFactor},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.method);
    const std::string m = c.method;
    EXPECT_EQ(Run("cam:" + m + "(17.5)"), "");
    EXPECT_EQ((camera->*c.get)(), 17.5f);
    // A missing number and a wrong object set nothing.
    EXPECT_NE(Run("cam:" + m + "()").find("Expected float"), std::string::npos);
    EXPECT_NE(Run("cam:" + m + "('high')").find("Expected float"), std::string::npos);
    EXPECT_NE(Run("cam." + m + "(other, 3)")
                  .find(ArgError(1, c.method, "Expected native object of type LandBattleCameraComponent*")),
              std::string::npos);
    EXPECT_NE(Run("cam." + m + "(nil, 3)").find("Expected native object of type LandBattleCameraComponent*"),
              std::string::npos);
    EXPECT_EQ((camera->*c.get)(), 17.5f);
  }
}

TEST_F(LandBattleCameraScriptTest, SetMoveSpeedTakesOneValueForAllAxesOrThree) {
  struct Case {
    const char* args;
    VisVector_cl expected;
  } cases[] = {
      {"50", {50, 50, 50}},
      {"60, 70, 8", {60, 70, 8}},
      {"30, -1, 9", {30, 30, 30}},  // a negative second value: the first for all
      {"40, 45", {40, 45, 30}},      // no vertical value: the vertical speed stays
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    EXPECT_EQ(Run(std::string("cam:SetMoveSpeed(") + c.args + ")"), "");
    EXPECT_EQ(camera->GetMoveSpeed(), c.expected);
  }
  EXPECT_EQ(camera->GetMoveSpeed().w, 1.0f);
  EXPECT_NE(Run("cam:SetMoveSpeed()").find("Expected float"), std::string::npos);
  EXPECT_NE(Run("cam.SetMoveSpeed(other, 5)").find("Expected native object of type LandBattleCameraComponent*"),
            std::string::npos);
  EXPECT_EQ(camera->GetMoveSpeed(), VisVector_cl(40, 45, 30));
}

TEST_F(LandBattleCameraScriptTest, TheBundledScriptTunesTheCameraCleanly) {
  ASSERT_TRUE(Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data"));
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  IVScriptInstance* script = scripts->CreateScriptInstanceFromFile("scripts\\LandBattleCameraScript.lua");
  ASSERT_NE(script, nullptr);
  scripts->SetScriptInstance(camera, script);
  ASSERT_TRUE(script->HasFunction("OnCreate"));
  EXPECT_TRUE(script->ExecuteFunctionArg("OnCreate", "*"));
  EXPECT_TRUE(log.Matching("rror").empty()) << log.Matching("rror").front();
  EXPECT_EQ(camera->GetMaxSpeedFactor(), 2.0f);
  EXPECT_EQ(camera->GetMoveSpeed(), VisVector_cl(120, 120, 4));
  EXPECT_EQ(camera->GetMinHeight(), 20.0f);
  EXPECT_EQ(camera->GetMaxHeight(), 60.0f);
  scripts->RemoveScriptInstance(camera);
}

// ---- replayed input -----------------------------------------------------------------------

// The whole way from replayed events: the engine's input, the camera input's wheel
// messages, the GUI cursor and the per-frame update of the behaviour.
class LandBattleCameraReplayTest : public ::testing::Test {
 protected:
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    GUIManager::CleanInstance();
    PauseManager::CleanInstance();
    MouseCursorManager::CleanInstance();
    app.DeInitEngine();
    Vision::Timer.SetFixedTimeStep(0.0f);
    Vision::File.RemoveAllDataDirectories();
    Vision::Mouse.InjectButton(VisMouse_cl::MIDDLE, false);
    Vision::Mouse.Poll();
    Vision::Mouse.Poll();
    if (!file.empty()) remove(file.c_str());
  }
  bool Start(const std::string& events) {
    char path[] = "/tmp/landcam-input-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return false;
    close(fd);
    file = path;
    std::ofstream(file, std::ios::binary) << events;
    ScopedEnv input("ENGINE_INPUT", file.c_str());
    ScopedEnv video("ENGINE_VIDEO", nullptr);
    Vision::File.RemoveAllDataDirectories();
    Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data");
    app.m_videoConfig.m_iXRes = 1280;
    app.m_videoConfig.m_iYRes = 720;
    Vision::SetApplication(&app);
    if (!app.InitEngine()) return false;
    Vision::Timer.SetFixedTimeStep(1.0f / 64.0f);
    return GUIManager::GetInstance()->Init(VVideo::GetD3DDevice());
  }
  // Runs the engine up to and including the frame.
  void RunTo(unsigned frame) {
    while (app.GetFrameCount() < frame) ASSERT_TRUE(app.Run());
  }

  VisionApp_cl app;
  std::string file;
};

TEST_F(LandBattleCameraReplayTest, ReplayedWheelAndMiddleButtonDragMoveTheCamera) {
  ASSERT_TRUE(Start(
      "1 move 640 360\n"
      "10 wheel 1\n"  // towards the player: lower
      "40 button middle down\n"
      "42 move 640 460\n"
      "44 move 540 460\n"
      "46 button middle up\n"));
  auto* entity = static_cast<CameraEntity_cl*>(Vision::Game.CreateEntity("CameraEntity_cl", VisVector_cl(0, 0, 60)));
  entity->SetEntityKey("CameraEntity");
  ASSERT_TRUE(entity->AddComponent(new CameraInputComponent()));
  auto* camera = new LandBattleCameraComponent();
  ASSERT_TRUE(entity->AddComponent(camera));

  RunTo(9);
  const float height = camera->GetCurrentHeight();
  const VisVector_cl target = camera->GetTarget();
  EXPECT_EQ(height, 60.0f);
  RunTo(30);
  EXPECT_LT(camera->GetCurrentHeight(), height - 0.1f);  // the wheel lowered it
  EXPECT_EQ(camera->GetWheelVelocity(), 0.0f);
  EXPECT_EQ(camera->GetTarget(), target);  // and moved nothing else

  RunTo(41);  // the button went down where the cursor was: no move yet
  EXPECT_EQ(camera->GetTarget(), target);
  RunTo(43);  // dragged down the screen: forward (+x, yaw 0)
  EXPECT_GT(camera->GetTarget().x, target.x + 0.5f);
  EXPECT_NEAR(camera->GetTarget().y, target.y, 1e-3f);
  const VisVector_cl afterDown = camera->GetTarget();
  RunTo(45);  // dragged left: the ground follows, the camera goes right (-y)
  EXPECT_LT(camera->GetTarget().y, afterDown.y - 0.5f);
  EXPECT_NEAR(camera->GetTarget().x, afterDown.x, 1e-3f);
  const VisVector_cl released = camera->GetTarget();
  RunTo(60);
  EXPECT_EQ(camera->GetTarget(), released);
  // The entity stands back from the moved target.
  EXPECT_LT(entity->GetPosition().x, released.x);
}

}  // namespace
