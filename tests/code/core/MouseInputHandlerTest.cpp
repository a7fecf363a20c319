// The mouse handler's trace collection follows the traceable game entities.
#include "core/MouseInputHandler.h"

#include "core/BaseEntity.h"
#include "core/GameManager.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

namespace {

TEST(MouseInputHandlerTest, TraceCollectionFollowsTraceableEntities) {
  BaseEntity* early = new BaseEntity();
  BaseEntity* hidden = new BaseEntity();
  hidden->SetCanTrace(0);
  VisBaseEntity_cl* plain = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));

  MouseInputHandler handler(nullptr);
  const VisEntityCollection_cl& traced = handler.GetTraceEntities();
  EXPECT_EQ(traced.GetNumEntries(), 0);
  IVisCallbackDataObject_cl loaded(&Vision::Callbacks.OnAfterSceneLoaded);
  handler.OnHandleCallback(&loaded);
  handler.OnHandleCallback(&loaded);
  EXPECT_EQ(traced.GetNumEntries(), 1);
  EXPECT_TRUE(traced.Contains(early));
  EXPECT_FALSE(traced.Contains(hidden));
  EXPECT_FALSE(traced.Contains(plain));

  // Entities made later join at creation and leave when the engine frees them.
  BaseEntity* later = new BaseEntity();
  EXPECT_TRUE(traced.Contains(later));
  early->Remove();
  Vision::Game.FreeRemovedEntities();
  EXPECT_FALSE(traced.Contains(early));
  EXPECT_EQ(traced.GetNumEntries(), 1);

  IVisCallbackDataObject_cl deInit(&Vision::Callbacks.OnEngineDeInit);
  handler.OnHandleCallback(&deInit);
  EXPECT_EQ(traced.GetNumEntries(), 0);
  Vision::World.UnloadWorld();
}

}  // namespace
