// The sea and free cameras: following the player's ship and zooming, framing the
// ships, the height band of the battle camera, the fly cameras, the framing and
// transition camera, and the saved blocks.
#include "SeaBattleFixture.h"

#include "components/AIShipComponent.h"
#include "components/BattleCameraComponent.h"
#include "components/CameraInputComponent.h"
#include "components/CameraModeComponent.h"
#include "components/FreeCameraComponent.h"
#include "components/ShipBattleCameraComponent.h"
#include "components/ShipCameraComponent.h"
#include "components/SpaceCameraComponent.h"
#include "entities/CameraEntity.h"
#include "entities/GameCamera.h"
#include "support/ArchiveRoundTrip.h"

#include "engine/core/CameraPositionEntity.h"
#include "engine/core/VisRenderContext.h"

#include <cmath>

namespace {

using archive_test::Bytes;
using archive_test::LoadBytes;
using archive_test::RoundTripSerialize;
using archive_test::SaveBytes;

class SeaCamerasTest : public SeaBattleFixture {
 protected:
  void SetUp() override {
    SeaBattleFixture::SetUp();
    VisRenderContext_cl* context = VisRenderContext_cl::GetMainRenderContext();
    context->GetFOV(fovX, fovY);
    context->GetClipPlanes(nearClip, farClip);
    camera = static_cast<CameraEntity_cl*>(Vision::Game.CreateEntity("CameraEntity_cl", VisVector_cl(0, 0, 0)));
    camera->SetEntityKey("CameraEntity");
    camera->AddComponent(mode = new CameraModeComponent());
  }
  void TearDown() override {
    VisRenderContext_cl* context = VisRenderContext_cl::GetMainRenderContext();
    context->SetFOV(fovX, fovY);
    context->SetClipPlanes(nearClip, farClip);
    Vision::Camera.Detach();
    Vision::Key.Reset();
    Vision::Mouse.Poll();  // no wheel turn left for the next test
    Vision::Mouse.Poll();
    SeaBattleFixture::TearDown();
  }
  // A frame with the camera callback after the scene update.
  static void CameraFrame() {
    Vision::Key.Poll();
    Vision::Mouse.Poll();
    Frame();
    Vision::Callbacks.OnFrameUpdatePreRender.TriggerCallbacks();
  }
  static void CameraFrames(int n) {
    for (int i = 0; i < n; ++i) CameraFrame();
  }
  template <class T>
  T* Use(T* behaviour) {
    mode->SetCameraMode(behaviour);
    return behaviour;
  }
  // How far behind the smoothed target the sea camera sits, along its forward axis.
  float Behind(const ShipBattleCameraComponent* sea) const {
    return -(camera->GetPosition() - sea->GetTargetPosition()).Dot(camera->GetDirection());
  }

  CameraEntity_cl* camera = nullptr;
  CameraModeComponent* mode = nullptr;
  float fovX = 0, fovY = 0, nearClip = 0, farClip = 0;
};

TEST_F(SeaCamerasTest, SeaCameraStartsBehindTheShipAndClosesHalfTheDistanceEachFrame) {
  ShipEntity* ship = MakeShip("Player", 1, VisVector_cl(0, 0, 0), 0.0f, 100, true);
  ShipBattleCameraComponent* sea = Use(new ShipBattleCameraComponent());
  CameraFrame();
  float h = 0, v = 0;
  VisRenderContext_cl::GetMainRenderContext()->GetFOV(h, v);
  EXPECT_NEAR(v, 58.71551f, 1e-4f);
  EXPECT_TRUE(camera->GetOrientation().IsEqual(VisVector_cl(-90, 45, 0), 1e-3f));
  // Zoom 25 of 0..25: the target starts on the ship and takes half the way to the
  // ship moved by 2 on x and y; the camera sits 130 behind it.
  EXPECT_TRUE(sea->GetTargetPosition().IsEqual(VisVector_cl(1, 1, 0), 1e-4f));
  EXPECT_NEAR(Behind(sea), 130.0f, 1e-3f);
  EXPECT_NEAR(camera->GetPosition().z, 130.0f * std::sqrt(0.5f), 1e-3f);
  EXPECT_GT(camera->GetPosition().y, 90.0f);

  ship->SetPosition(100, 0, 0);
  CameraFrame();
  EXPECT_TRUE(sea->GetTargetPosition().IsEqual(VisVector_cl(51.5f, 1.5f, 0), 1e-3f));
  CameraFrame();
  EXPECT_TRUE(sea->GetTargetPosition().IsEqual(VisVector_cl(76.75f, 1.75f, 0), 1e-3f));

  // Without a player ship the camera stays where it is.
  const VisVector_cl before = camera->GetPosition();
  GameManager::GetInstance()->GetNation(1)->RemoveShip(ship);
  CameraFrame();
  EXPECT_TRUE(camera->GetPosition().IsEqual(before, 1e-5f));
}

TEST_F(SeaCamerasTest, TheWheelMovesTheSeaCameraBetween90And130Behind) {
  MakeShip("Player", 1, VisVector_cl(0, 0, 0), 0.0f, 100, true);
  camera->AddComponent(new CameraInputComponent());
  ShipBattleCameraComponent* sea = Use(new ShipBattleCameraComponent());
  CameraFrames(2);

  // A notch away from the user: the impulse lasts 0.1 s and pulls the zoom in.
  Vision::Mouse.InjectWheel(1);
  CameraFrame();
  EXPECT_FLOAT_EQ(sea->GetWheelImpulse(), -(0.1f - kStep));
  EXPECT_LT(sea->GetZoomVelocity(), 0.0f);
  EXPECT_LT(sea->GetZoom(), 25.0f);
  for (int notch = 0; notch < 5; ++notch) {
    Vision::Mouse.InjectWheel(1);
    CameraFrames(10);
  }
  CameraFrames(120);
  EXPECT_EQ(sea->GetZoom(), 0.0f);
  EXPECT_EQ(sea->GetZoomVelocity(), 0.0f);
  EXPECT_NEAR(Behind(sea), 90.0f, 1e-3f);

  // Towards the user it goes back out, and stops at the maximum.
  for (int notch = 0; notch < 5; ++notch) {
    Vision::Mouse.InjectWheel(-1);
    CameraFrames(10);
  }
  CameraFrames(120);
  EXPECT_EQ(sea->GetZoom(), 25.0f);
  EXPECT_NEAR(Behind(sea), 130.0f, 1e-3f);
  EXPECT_EQ(sea->GetWheelImpulse(), 0.0f);
}

TEST_F(SeaCamerasTest, SeaCameraBlockKeepsItsValuesButStartsFullyZoomedOut) {
  ShipBattleCameraComponent saved;
  saved.SetForceCameraPosition(VisVector_cl(1, 2, 3));
  saved.SetForceCameraPrevTargetPosition(VisVector_cl(4, 5, 6));
  saved.SetZoomRange(1.0f, 12.0f);
  saved.SetZoom(10.0f);
  const Bytes bytes = SaveBytes([&](VArchive& ar) { saved.Serialize(ar); });
  // Writing starts the zoom over as well.
  EXPECT_EQ(saved.GetZoom(), 25.0f);
  EXPECT_EQ(saved.GetMinZoom(), 0.0f);
  EXPECT_EQ(saved.GetMaxZoom(), 25.0f);

  ShipBattleCameraComponent loaded;
  loaded.SetZoom(5.0f);
  loaded.SetZoomRange(2.0f, 8.0f);
  ASSERT_TRUE(LoadBytes(bytes, [&](VArchive& ar) { loaded.Serialize(ar); }));
  EXPECT_EQ(loaded.GetZoom(), 25.0f);
  EXPECT_EQ(loaded.GetMinZoom(), 0.0f);
  EXPECT_EQ(loaded.GetMaxZoom(), 25.0f);
  EXPECT_TRUE(loaded.GetForceCameraPrevTargetPosition().IsEqual(VisVector_cl(4, 5, 6), 0.0f));
}

TEST_F(SeaCamerasTest, EveryCameraBlockRoundTrips) {
  {
    ShipBattleCameraComponent a, b;
    a.SetForceCameraPosition(VisVector_cl(7, 8, 9));
    a.SetForceCameraPrevTargetPosition(VisVector_cl(-1, -2, -3));
    EXPECT_TRUE(RoundTripSerialize(a, b));
  }
  {
    ShipCameraComponent a, b;
    a.SetForceCameraPosition(VisVector_cl(1, 1, 1));
    a.SetOffset(VisVector_cl(0, -20, 30));
    EXPECT_TRUE(RoundTripSerialize(a, b));
    EXPECT_TRUE(b.GetOffset().IsEqual(VisVector_cl(0, -20, 30), 0.0f));
  }
  {
    BattleCameraComponent a, b;
    a.Init();
    a.SetPosition(VisVector_cl(5, 6, 70));
    a.SetDebugPrint(false);
    EXPECT_TRUE(RoundTripSerialize(a, b));
    EXPECT_TRUE(b.GetPosition().IsEqual(VisVector_cl(5, 6, 70), 0.0f));
  }
  {
    FreeCameraComponent a, b;
    a.SetSteps(2.5f, 1.5f);
    a.MessageFunction(116, 0, 0);
    EXPECT_TRUE(RoundTripSerialize(a, b));
    EXPECT_EQ(b.GetVelocity().x, 2.5f);
  }
  {
    SpaceCameraComponent a, b;
    a.Init();
    a.MessageFunction(124, 0, 0);
    a.MessageFunction(132, 0, 0);  // w 0 too
    EXPECT_TRUE(RoundTripSerialize(a, b));
    EXPECT_EQ(b.GetAngularVelocity().w, 0.0f);
  }
}

TEST_F(SeaCamerasTest, FreeCameraStopsWhenTheMessagesStopAndTheSpaceCameraDriftsUntil132) {
  camera->SetOrientation(90, 0, 0);  // facing +y
  FreeCameraComponent* free = Use(new FreeCameraComponent());
  free->SetSteps(2.0f, 3.0f);
  camera->SendMsg(116);
  camera->SendMsg(124);
  CameraFrames(3);
  EXPECT_TRUE(camera->GetPosition().IsEqual(VisVector_cl(0, 2, 0), 1e-4f));
  EXPECT_NEAR(camera->GetOrientation().x, 93.0f, 1e-3f);

  camera->SetPosition(0, 0, 0);
  camera->SetOrientation(90, 30, 0);  // the pitch does not tilt the motion
  SpaceCameraComponent* space = Use(new SpaceCameraComponent());
  EXPECT_EQ(space->GetMoveStep(), 0.01f);
  space->SetSteps(1.0f, 0.0f);
  camera->SendMsg(116);
  CameraFrames(5);
  EXPECT_TRUE(camera->GetPosition().IsEqual(VisVector_cl(0, 5, 0), 1e-4f));
  camera->SendMsg(132);
  CameraFrames(5);
  EXPECT_TRUE(camera->GetPosition().IsEqual(VisVector_cl(0, 5, 0), 1e-4f));
}

TEST_F(SeaCamerasTest, ShipCameraFramesTheShipsWithinItsZoomRangeAndJumpsFirst) {
  MakeShip("Player", 1, VisVector_cl(0, 0, 0), 0.0f, 100, true);
  MakeShip("Escort", 1, VisVector_cl(100, 0, 0));
  ShipEntity* attacker = MakeShip("Attacker", 2, VisVector_cl(0, 50, 0));
  attacker->AddComponent(new AIShipComponent());
  ShipEntity* idle = MakeShip("Idle", 2, VisVector_cl(0, 900, 0));
  AIShipComponent* idleAi = new AIShipComponent();
  idle->AddComponent(idleAi);
  idleAi->SetAIMode(AIShipComponent::AIMODE_IDLE);
  camera->SetPosition(0, 0, 1000);
  ShipCameraComponent* framing = Use(new ShipCameraComponent());
  CameraFrame();

  // Ships span x -10..110, y -3..53: centre (50, 25 + 10); extent 120 gives 2.4 -> 2.5.
  EXPECT_FLOAT_EQ(framing->GetZoom(), 2.5f);
  const VisVector_cl wanted(50.0f, -75.0f + 35.0f, 62.5f - 5.0f);
  EXPECT_TRUE(camera->GetPosition().IsEqual(wanted, 1e-3f));
  EXPECT_TRUE(framing->GetLookAt().IsEqual(VisVector_cl(50, 35, -5), 1e-3f));
  EXPECT_TRUE(camera->GetDirection().IsEqual((VisVector_cl(50, 35, -5) - wanted).GetNormalized(), 1e-4f));
  EXPECT_FALSE(framing->WillJump());

  // The idle ship joins when it attacks: the box grows, the zoom stops at 3.75 and
  // the camera eases by the frame's share of the way.
  idleAi->SetAIMode(AIShipComponent::AIMODE_ATTACK);
  CameraFrame();
  EXPECT_FLOAT_EQ(framing->GetZoom(), 3.75f);
  const VisVector_cl newWanted(50.0f, -112.5f + 460.0f, 93.75f - 5.0f);
  const VisVector_cl eased = wanted + (newWanted - wanted) * kStep;
  EXPECT_TRUE(camera->GetPosition().IsEqual(eased, 1e-2f));
}

TEST_F(SeaCamerasTest, BattleCameraStaysWithinItsHeightsAndTiltsWithHeight) {
  BattleCameraComponent* battle = Use(new BattleCameraComponent());
  CameraFrame();  // from height 0 straight up to the minimum
  EXPECT_FLOAT_EQ(camera->GetPosition().z, 50.0f);
  CameraFrame();
  EXPECT_NEAR(camera->GetOrientation().y, 36.0f, 1e-3f);
  ASSERT_FALSE(Vision::Message.GetFrameEntries().empty());
  EXPECT_EQ(Vision::Message.GetFrameEntries().back().text, "Position 0.00 0.00 50.00");

  // Released keys (the input sends every message each frame) move nothing.
  camera->SendMsg(101, 0);
  camera->SendMsg(105, 0);
  camera->SendMsg(109, 0);
  CameraFrame();
  EXPECT_TRUE(battle->GetPosition().IsEqual(VisVector_cl(0, 0, 50), 1e-5f));

  for (int i = 0; i < 400; ++i) {
    camera->SendMsg(105, 1);
    CameraFrame();
    ASSERT_LE(camera->GetPosition().z, 170.0f);
  }
  EXPECT_FLOAT_EQ(camera->GetPosition().z, 170.0f);
  CameraFrame();
  EXPECT_NEAR(camera->GetOrientation().y, 26.0f, 1e-3f);  // 10 degrees flatter at the top
  for (int i = 0; i < 400; ++i) {
    camera->SendMsg(106, 1);
    CameraFrame();
    ASSERT_GE(camera->GetPosition().z, 50.0f);
  }
  EXPECT_FLOAT_EQ(camera->GetPosition().z, 50.0f);

  // Forward follows the yaw and the tilt, and keeps the height.
  const VisVector_cl before = battle->GetPosition();
  camera->SendMsg(109, 1);
  camera->SendMsg(101, 1);
  CameraFrame();
  EXPECT_NEAR(battle->GetOrientation().x, 1.0f, 1e-4f);
  EXPECT_FLOAT_EQ(camera->GetPosition().z, 50.0f);
  const float deg = 3.14159265f / 180.0f;
  EXPECT_NEAR(battle->GetPosition().x - before.x, 2.0f * std::cos(deg) * std::cos(36 * deg), 1e-3f);
  EXPECT_NEAR(battle->GetPosition().y - before.y, 2.0f * std::sin(deg) * std::cos(36 * deg), 1e-3f);
}

TEST_F(SeaCamerasTest, GameCameraTurnsToItsTargetsAndMovesToCameraPositions) {
  auto* game = static_cast<GameCamera_cl*>(Vision::Game.CreateEntity("GameCamera_cl", VisVector_cl(0, 0, 100)));
  EXPECT_EQ(Vision::Camera.GetAttachedEntity(), game);
  ShipEntity* a = MakeShip("A", 1, VisVector_cl(100, 0, 0));
  ShipEntity* b = MakeShip("B", 2, VisVector_cl(100, 40, 0));
  game->AddTarget(a);
  game->AddTarget(b);
  game->AddTarget(nullptr);
  EXPECT_EQ(game->GetTargetCount(), 2);
  Frame();
  const VisVector_cl centre(100, 20, 0);
  EXPECT_TRUE(game->GetDirection().IsEqual((centre - game->GetPosition()).GetNormalized(), 1e-4f));
  // Boxes x 90..110, y -3..43, z 0..6.
  const float halfDiagonal = VisVector_cl(20, 46, 6).GetLength() * 0.5f;
  const float expected = 2.0f * std::atan(halfDiagonal / (centre - game->GetPosition()).GetLength()) * 57.2957795f;
  EXPECT_NEAR(game->GetFramingAngle(), expected, 1e-3f);

  // A target the world frees leaves the set.
  b->Remove();
  Frame();
  EXPECT_EQ(game->GetTargetCount(), 1);
  game->RemoveAllTargets();

  auto* spot = static_cast<CameraPositionEntity*>(
      Vision::Game.CreateEntity("CameraPositionEntity", VisVector_cl(60, 0, 100)));
  spot->SetOrientation(30, 10, 0);
  spot->SetNearClipDistance(10.0f);
  spot->SetFarClipDistance(5.0f);
  spot->SetFOV(70.0f);
  game->MoveTo(spot, true);
  float n = 0, f = 0, h = 0, v = 0;
  VisRenderContext_cl::GetMainRenderContext()->GetClipPlanes(n, f);
  VisRenderContext_cl::GetMainRenderContext()->GetFOV(h, v);
  EXPECT_EQ(n, 10.0f);
  EXPECT_FLOAT_EQ(f, 10.001f);
  EXPECT_EQ(h, 70.0f);
  Frames(30);
  EXPECT_TRUE(game->IsMoving());
  EXPECT_NEAR(game->GetPosition().x, 30.0f, 1e-3f);
  int frames = 30;
  while (game->IsMoving() && frames < 90) {
    Frame();
    ++frames;
  }
  EXPECT_NEAR(frames, 60, 1);  // one second at the default speed
  EXPECT_TRUE(game->GetPosition().IsEqual(VisVector_cl(60, 0, 100), 1e-4f));
  EXPECT_TRUE(game->GetOrientation().IsEqual(VisVector_cl(30, 10, 0), 1e-3f));
  game->SetPosition(0, 0, 0);
  Frame();
  EXPECT_TRUE(game->GetPosition().IsEqual(VisVector_cl(0, 0, 0), 0.0f));  // stopped for good

  game->MoveTo(nullptr, false);
  spot->SetNearClipDistance(0.0f);
  spot->SetFarClipDistance(0.0f);
  game->MoveTo(spot, false);  // at once, the clip planes kept
  EXPECT_TRUE(game->GetPosition().IsEqual(VisVector_cl(60, 0, 100), 0.0f));
  VisRenderContext_cl::GetMainRenderContext()->GetClipPlanes(n, f);
  EXPECT_EQ(n, 10.0f);
  EXPECT_FLOAT_EQ(f, 10.001f);
}

}  // namespace
