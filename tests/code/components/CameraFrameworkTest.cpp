// The camera framework: owners the camera components accept, the behaviour's
// callbacks, the shared interpolation factor and swapping the active behaviour.
#include "CameraFixture.h"

#include "components/CameraBaseComponent.h"
#include "components/CameraInputComponent.h"
#include "components/CameraModeComponent.h"

#include <functional>
#include <memory>

namespace {

// A behaviour that counts its calls.
class CountingCamera : public CameraBaseComponent_cl {
 public:
  explicit CountingCamera(int* deleted = nullptr) : m_deleted(deleted) {}
  ~CountingCamera() override {
    if (m_deleted) ++*m_deleted;
  }
  void Init() override { ++inits; }
  void Update() override { ++updates; }
  int inits = 0, updates = 0;

 private:
  int* m_deleted;
};

class CameraFrameworkTest : public CameraFixture {};

TEST_F(CameraFrameworkTest, CameraComponentsAttachOnlyToCameraEntities) {
  VisBaseEntity_cl* plain = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));
  const std::function<IVObjectComponent*()> makers[] = {
      [] { return new CameraBaseComponent_cl(); },
      [] { return new CameraModeComponent(); },
      [] { return new CameraInputComponent(); },
  };
  for (const auto& make : makers) {
    std::unique_ptr<IVObjectComponent> component(make());
    SCOPED_TRACE(component->GetClassTypeName());
    VString reason;
    EXPECT_EQ(component->CanAttachToObject(plain, reason), 0);
    EXPECT_STREQ(reason.AsChar(), "Component can only be added to instances of CameraEntity_cl or derived classes.");
    EXPECT_FALSE(plain->AddComponent(component.get()));
    EXPECT_TRUE(camera->AddComponent(component.get()));
    camera->RemoveComponent(component.get());
  }
}

TEST_F(CameraFrameworkTest, BehaviourRunsInitOnSceneLoadedAndUpdateEveryFrameWhileAttached) {
  CountingCamera* behaviour = new CountingCamera();
  Frame();
  Vision::Callbacks.OnAfterSceneLoaded.TriggerCallbacks();
  EXPECT_EQ(behaviour->updates + behaviour->inits, 0);

  ASSERT_TRUE(camera->AddComponent(behaviour));
  Frames(3);
  Vision::Callbacks.OnAfterSceneLoaded.TriggerCallbacks();
  EXPECT_EQ(behaviour->updates, 3);
  EXPECT_EQ(behaviour->inits, 1);

  camera->RemoveComponent(behaviour);
  Frames(2);
  Vision::Callbacks.OnAfterSceneLoaded.TriggerCallbacks();
  EXPECT_EQ(behaviour->updates, 3);
  EXPECT_EQ(behaviour->inits, 1);
  // Deleted while attached: the callbacks must not reach freed memory.
  ASSERT_TRUE(camera->AddComponent(behaviour));
  delete behaviour;
  Frame();
  Vision::Callbacks.OnAfterSceneLoaded.TriggerCallbacks();
}

TEST_F(CameraFrameworkTest, InterpolationFactorIsSharedAndGrowsByTheFrameTime) {
  CameraBaseComponent_cl::ResetInterpolationFactor();
  CameraBaseComponent_cl a, b;
  VisVector_cl current(0, 0, 0, 7), target(100, -50, 10);
  Frame();
  a.Intepolate(current, target, 123.0f);  // the factor is 0 at first
  EXPECT_TRUE(current.IsEqual(VisVector_cl(0, 0, 0), 1e-6f));
  EXPECT_EQ(current.w, 1.0f);
  b.Intepolate(current, target, 0.0f);  // another camera moves by what the first left
  EXPECT_TRUE(current.IsEqual(target * kStep, 1e-4f));
  EXPECT_NEAR(CameraBaseComponent_cl::GetInterpolationFactor(), 2 * kStep, 1e-6f);
  CameraBaseComponent_cl::ResetInterpolationFactor();
}

TEST_F(CameraFrameworkTest, SetCameraModeReplacesTheBehaviourAndRunsItsInit) {
  CameraModeComponent* mode = new CameraModeComponent();
  ASSERT_TRUE(camera->AddComponent(mode));
  EXPECT_EQ(mode->GetCurrentCameraMode(), nullptr);

  int deleted = 0;
  CountingCamera* first = new CountingCamera(&deleted);
  mode->SetCameraMode(first);
  EXPECT_EQ(mode->GetCurrentCameraMode(), first);
  EXPECT_EQ(first->inits, 1);
  mode->SetCameraMode(first);  // the same behaviour again only starts over
  EXPECT_EQ(deleted, 0);
  EXPECT_EQ(first->inits, 2);

  CountingCamera* second = new CountingCamera(&deleted);
  mode->SetCameraMode(second);
  EXPECT_EQ(deleted, 1);
  EXPECT_EQ(mode->GetCurrentCameraMode(), second);
  EXPECT_EQ(second->inits, 1);

  mode->SetCameraMode(nullptr);
  EXPECT_EQ(deleted, 2);
  EXPECT_EQ(mode->GetCurrentCameraMode(), nullptr);
  EXPECT_EQ(camera->Components<CameraBaseComponent_cl>(), nullptr);
  Frame();  // nothing is left to update

  // Without an owner nothing happens.
  CameraModeComponent loose;
  CountingCamera* unused = new CountingCamera(&deleted);
  loose.SetCameraMode(unused);
  EXPECT_EQ(loose.GetCurrentCameraMode(), nullptr);
  EXPECT_EQ(unused->inits, 0);
  delete unused;
}

}  // namespace
