// The sea scene's camera set-up and the teleport of the player's ship.
#include "code/components/SeaBattleFixture.h"

#include "components/CameraBaseComponent.h"
#include "components/CameraInputComponent.h"
#include "components/CameraModeComponent.h"
#include "components/ShipBattleCameraComponent.h"
#include "components/ShipMovementComponent.h"
#include "core/ComponentMessages.h"
#include "entities/CameraEntity.h"
#include "Managers/BattleManager.h"

#include "engine/core/VisRenderContext.h"
#include "engine/core/VisionApp.h"
#include "engine/sound/VSoundManager.h"

namespace {

class BattleManagerCameraTest : public SeaBattleFixture {
 protected:
  void SetUp() override {
    SeaBattleFixture::SetUp();
    VisRenderContext_cl::GetMainRenderContext()->GetFOV(fovX, fovY);
    // A 16:9 screen for the derived field of view.
    VVideoConfig video;
    video.m_iXRes = 1280;
    video.m_iYRes = 720;
    VVideo::Initialize(video);
  }
  void TearDown() override {
    VisRenderContext_cl::GetMainRenderContext()->SetFOV(fovX, fovY);
    VVideo::DeInitialize();
    VSoundManager::GlobalManager().SetListenerCamera(nullptr);
    Vision::Camera.Detach();
    SeaBattleFixture::TearDown();
  }
  static void CameraFrame() {
    Frame();
    Vision::Callbacks.OnFrameUpdatePreRender.TriggerCallbacks();
  }
  static std::vector<const VType*> ComponentTypes(VisBaseEntity_cl* entity) {
    std::vector<const VType*> types;
    for (int i = 0; i < entity->GetComponentCount(); ++i) types.push_back(entity->GetComponent(i)->GetTypeId());
    return types;
  }

  float fovX = 0, fovY = 0;
};

// A behaviour left from another scene.
class OtherCamera : public CameraBaseComponent_cl {};

TEST_F(BattleManagerCameraTest, InitCameraMakesTheCameraEntityWithFreshComponentsInOrder) {
  BattleManager::GetInstance()->InitCamera();
  VisBaseEntity_cl* camera = Vision::Game.SearchEntity("CameraEntity");
  ASSERT_NE(camera, nullptr);
  EXPECT_TRUE(camera->IsOfType(CameraEntity_cl::GetClassTypeId()));
  EXPECT_TRUE(camera->GetPosition().IsEqual(VisVector_cl(30, 0, 400), 0.0f));
  const std::vector<const VType*> expected = {CameraModeComponent::GetClassTypeId(),
                                              ShipBattleCameraComponent::GetClassTypeId(),
                                              CameraInputComponent::GetClassTypeId()};
  EXPECT_EQ(ComponentTypes(camera), expected);
  EXPECT_EQ(camera->Components<CameraModeComponent>()->GetCurrentCameraMode(),
            camera->Components<ShipBattleCameraComponent>());
  EXPECT_EQ(Vision::Camera.GetAttachedEntity(), camera);
  EXPECT_EQ(VSoundManager::GlobalManager().GetListenerCamera(), &Vision::Camera);
  float h = 0, v = 0;
  VisRenderContext_cl::GetMainRenderContext()->GetFOV(h, v);
  EXPECT_FLOAT_EQ(v, 58.7155f);
  int w = 0, height = 0;
  VisRenderContext_cl::GetMainRenderContext()->GetSize(w, height);
  ASSERT_EQ(w * 9, height * 16);
  EXPECT_NEAR(h, 90.0f, 0.01f) << "derived from the vertical angle and the 16:9 aspect";

  // Again, over an entity that carries another behaviour: the same entity, each
  // component new, one behaviour.
  camera->SetPosition(1, 2, 3);
  IVObjectComponent* oldInput = camera->Components<CameraInputComponent>();
  camera->Components<CameraModeComponent>()->SetCameraMode(new OtherCamera());
  BattleManager::GetInstance()->InitCamera();
  EXPECT_EQ(Vision::Game.SearchEntity("CameraEntity"), camera);
  EXPECT_TRUE(camera->GetPosition().IsEqual(VisVector_cl(30, 0, 400), 0.0f));
  EXPECT_EQ(ComponentTypes(camera), expected);
  EXPECT_NE(camera->Components<CameraInputComponent>(), oldInput);
  // The input runs: the wheel reaches the sea camera.
  MakeShip("Player", 1, VisVector_cl(0, 0, 0), 0.0f, 100, true);
  CameraFrame();
  Vision::Mouse.InjectWheel(1);
  Vision::Mouse.Poll();
  CameraFrame();
  EXPECT_LT(camera->Components<ShipBattleCameraComponent>()->GetWheelImpulse(), 0.0f);
  Vision::Mouse.InjectWheel(-1);
  Vision::Mouse.Poll();
  Vision::Mouse.Poll();
}

TEST_F(BattleManagerCameraTest, TeleportMovesAndStopsTheShipAndCarriesTheCameraAlong) {
  ShipEntity* ship = MakeShip("Player", 1, VisVector_cl(0, 0, 0), 0.0f, 100, true);
  ShipMovementComponent* movement = new ShipMovementComponent();
  ship->AddComponent(movement);
  // A ship that does not sail off by itself.
  movement->SetSpeedFullSails(0.0f);
  movement->SetSpeedBattleSails(0.0f);
  movement->GetSpeedNoSails() = 0.0f;
  MessageLog* log = Listen(ship);
  BattleManager* battle = BattleManager::GetInstance();
  battle->InitCamera();
  VisBaseEntity_cl* camera = Vision::Game.SearchEntity("CameraEntity");
  auto* sea = camera->Components<ShipBattleCameraComponent>();
  for (int i = 0; i < 10; ++i) CameraFrame();
  movement->SetSpeedWithCurrentSails(5.0f);
  movement->SetTurnSpeedWithCurrentSails(2.0f);
  const VisVector_cl targetBefore = sea->GetTargetPosition();
  const VisVector_cl offsetBefore = camera->GetPosition() - ship->GetPosition();

  // On land nothing happens.
  GameManager::GetInstance()->SetLocation(1);
  battle->TeleportPlayerShip(VisVector_cl(500, 500, 0));
  EXPECT_TRUE(ship->GetPosition().IsEqual(VisVector_cl(0, 0, 0), 0.0f));
  EXPECT_EQ(log->Count(VIS_MSG_USER_SHIP_NOSAILS), 0);

  for (int location : {0, 2}) {
    SCOPED_TRACE(location);
    GameManager::GetInstance()->SetLocation(location);
    const VisVector_cl from = ship->GetPosition();
    const VisVector_cl to = from + VisVector_cl(400, -300, 0);
    const VisVector_cl target = sea->GetTargetPosition();
    log->entries.clear();
    battle->TeleportPlayerShip(to);
    EXPECT_TRUE(ship->GetPosition().IsEqual(to, 1e-4f));
    EXPECT_EQ(log->Ids(), std::vector<int>{VIS_MSG_USER_SHIP_NOSAILS});
    EXPECT_EQ(movement->GetSpeedWithCurrentSails(), 0.0f);
    EXPECT_EQ(movement->GetTurnSpeedWithCurrentSails(), 0.0f);
    EXPECT_TRUE(sea->GetTargetPosition().IsEqual(target + (to - from), 1e-3f));
    EXPECT_TRUE(sea->GetForceCameraPrevTargetPosition().IsEqual(VisVector_cl(-9999, -9999, -9999) + (to - from) *
                                                                    (location == 0 ? 1.0f : 2.0f),
                                                                1e-2f));
    // No sweep: at once the camera keeps its place behind the ship.
    CameraFrame();
    EXPECT_TRUE((camera->GetPosition() - ship->GetPosition()).IsEqual(offsetBefore, 0.05f));
  }
  EXPECT_FALSE(targetBefore.IsEqual(sea->GetTargetPosition(), 1.0f));
}

}  // namespace
