// The main render context and the camera that follows an entity.
#include "engine/Vision.h"
#include "engine/core/VisStaticGeometryInstance.h"
#include "engine/core/VisVisibilityCollector.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(RenderContext, OneAxisOfTheFieldOfViewIsDerivedFromTheOtherAndTheAspect) {
  VVideoConfig cfg;
  cfg.m_iXRes = 1280;
  cfg.m_iYRes = 720;
  VVideo::Initialize(cfg);
  VisRenderContext_cl ctx;
  struct Case {
    float h, v, expectH, expectV;
  };
  // tan(v/2) = tan(h/2) * 720 / 1280: 90 degrees across is 58.71551 down.
  const Case cases[] = {
      {0.0f, 58.71551f, 90.0f, 58.71551f},
      {70.0f, 0.0f, 70.0f, 42.9957f},
      {0.0f, 0.0f, 70.0f, 42.9957f},  // both 0 keep both
      {90.0f, 90.0f, 90.0f, 90.0f},   // both given are taken as they are
      {0.0f, 30.0f, 50.9420f, 30.0f},
  };
  for (const Case& c : cases) {
    ctx.SetFOV(c.h, c.v);
    float h, v;
    ctx.GetFOV(h, v);
    EXPECT_NEAR(h, c.expectH, 1e-3f) << c.h << " " << c.v;
    EXPECT_NEAR(v, c.expectV, 1e-3f) << c.h << " " << c.v;
  }
  // Without a size the axis stays 0 and follows the other at use (square).
  VVideo::DeInitialize();
  ctx.SetFOV(60.0f, 0.0f);
  float h, v;
  ctx.GetFOV(h, v);
  EXPECT_EQ(h, 60.0f);
  EXPECT_EQ(v, 0.0f);
  float tanX = 0, tanY = 0;
  ctx.GetHalfFovTangents(tanX, tanY);
  EXPECT_NEAR(tanX, std::tan(30.0f * 3.14159265f / 180.0f), 1e-6f);
  EXPECT_NEAR(tanY, tanX, 1e-6f);
}

TEST(RenderContext, SizeIsTheVideoSizeAndActivateMakesItCurrent) {
  VVideoConfig cfg;
  cfg.m_iXRes = 800;
  cfg.m_iYRes = 600;
  VVideo::Initialize(cfg);
  int w = 0, h = 0;
  VisRenderContext_cl::GetMainRenderContext()->GetSize(w, h);
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 600);
  VVideo::DeInitialize();
  VisRenderContext_cl::GetMainRenderContext()->GetSize(w, h);
  EXPECT_EQ(w, 0);

  VisRenderContext_cl other;
  other.Activate();
  EXPECT_EQ(VisRenderContext_cl::GetCurrentContext(), &other);
  VisRenderContext_cl::GetMainRenderContext()->Activate();
  EXPECT_EQ(VisRenderContext_cl::GetCurrentContext(), VisRenderContext_cl::GetMainRenderContext());
}

TEST(RenderContext, PickRayRunsBackThroughTheProjectedPoint) {
  VisRenderContext_cl ctx;
  ctx.SetCameraPosition(VisVector_cl(10, -20, 300));
  VisMatrix3x3_cl rot;
  rot.SetEulerAngles(30.0f, 40.0f, 0.0f);  // turned and looking down
  ctx.SetCameraRotation(rot);

  // Without a screen size the ray is the camera's forward axis.
  VisVector_cl dir = Vision::Game.GetTraceDirFromScreenPos(0.0f, 0.0f, 2.0f, &ctx);
  EXPECT_TRUE(dir.IsEqual(ctx.GetCameraDirection() * 2.0f, 1e-5f));

  VVideoConfig cfg;
  cfg.m_iXRes = 800;
  cfg.m_iYRes = 600;
  VVideo::Initialize(cfg);
  const VisVector_cl targets[] = {{400, 150, 0}, {250, 100, -30}, {500, -200, 20}};
  for (const VisVector_cl& target : targets) {
    float x = 0, y = 0;
    ASSERT_TRUE(ctx.Project2D(target, x, y));
    dir = Vision::Game.GetTraceDirFromScreenPos(x, y, 1000.0f, &ctx);
    EXPECT_NEAR(dir.GetLength(), 1000.0f, 0.01f);
    const VisVector_cl want = (target - ctx.GetCameraPosition()).GetNormalized() * 1000.0f;
    EXPECT_TRUE(dir.IsEqual(want, 0.05f)) << x << " " << y;
  }
  // The screen centre looks straight ahead; without a context the main one counts.
  dir = Vision::Game.GetTraceDirFromScreenPos(400.0f, 300.0f, 1.0f, &ctx);
  EXPECT_TRUE(dir.IsEqual(ctx.GetCameraDirection(), 1e-5f));
  VisRenderContext_cl* main = VisRenderContext_cl::GetMainRenderContext();
  EXPECT_TRUE(Vision::Game.GetTraceDirFromScreenPos(400.0f, 300.0f, 1.0f)
                  .IsEqual(main->GetCameraDirection().GetNormalized(), 1e-5f));
  VVideo::DeInitialize();
}

class CameraTest : public ::testing::Test {
 protected:
  void TearDown() override {
    Vision::Camera.Detach();
    Vision::World.UnloadWorld();
  }
};

TEST_F(CameraTest, FollowsItsEntityWithTheOffsetOnEveryUpdate) {
  auto* e = new VisBaseEntity_cl();
  e->SetPosition(10, 20, 30);
  Vision::Camera.AttachToEntity(e, VisVector_cl(0, 0, 5));
  EXPECT_EQ(Vision::Camera.GetPosition().z, 35.0f);

  e->SetPosition(1, 2, 3);
  e->SetOrientation(90, 0, 0);
  EXPECT_EQ(Vision::Camera.GetPosition().x, 10.0f) << "moves only on Update";
  Vision::Camera.Update();
  EXPECT_EQ(Vision::Camera.GetPosition().x, 1.0f);
  EXPECT_EQ(Vision::Camera.GetPosition().z, 8.0f);
  const VisVector_cl dir = VisRenderContext_cl::GetMainRenderContext()->GetCameraDirection();
  const VisVector_cl want = e->GetDirection();
  EXPECT_NEAR(dir.x, want.x, 1e-5f);
  EXPECT_NEAR(dir.y, want.y, 1e-5f);

  Vision::Camera.Detach();
  e->SetPosition(50, 50, 50);
  Vision::Camera.Update();
  EXPECT_EQ(Vision::Camera.GetPosition().x, 1.0f);
  Vision::Camera.SetPosition(VisVector_cl(7, 7, 7));
  EXPECT_EQ(Vision::Camera.GetPosition().y, 7.0f);
}

TEST_F(CameraTest, LetsGoOfAnEntityTheWorldDestroys) {
  auto* e = new VisBaseEntity_cl();
  Vision::Camera.AttachToEntity(e, VisVector_cl(0, 0, 0));
  e->Remove();
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(Vision::Camera.GetAttachedEntity(), nullptr);
  Vision::Camera.Update();

  Vision::Camera.AttachToEntity(new VisBaseEntity_cl(), VisVector_cl(0, 0, 0));
  Vision::World.UnloadWorld();
  EXPECT_EQ(Vision::Camera.GetAttachedEntity(), nullptr);
}

TEST_F(CameraTest, WhatItSawOfTheStaticGeometryGoesWithTheWorld) {
  // As the world pass leaves it: the instance was seen last frame. The next frame's
  // mouse pick (before any pass) reads the list.
  auto* wall = new VisStaticGeometryInstance_cl(VisVector_cl(10, 0, 1), VisVector_cl(2, 2, 2), VisMatrix3x3_cl());
  Vision::World.AddStaticGeometryInstance(wall);
  VisVisibilityCollector_cl* seen = VisRenderContext_cl::GetMainRenderContext()->GetVisibilityCollector();
  seen->m_geometry.push_back(wall);
  Vision::World.UnloadWorld();
  EXPECT_TRUE(seen->GetVisibleStaticGeometryInstances().empty());
}

}  // namespace
