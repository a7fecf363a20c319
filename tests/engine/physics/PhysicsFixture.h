// A fresh physics module installed for each test, an empty world, and helpers to
// make bodies and to step frames with a fixed frame time.
#pragma once

#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <memory>

class PhysicsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Vision::World.UnloadWorld();
    module = std::make_unique<vPhysXModule>();
    vPhysXModule::SetInstance(module.get());
    module->SetPhysicsTickCount(60, 8);
  }
  void TearDown() override {
    Vision::World.UnloadWorld();
    module.reset();
    vPhysXModule::SetInstance(nullptr);
  }

  // What the engine frame does after the scene update.
  void Step(int frames = 1, float dt = 1.0f / 60.0f) {
    for (int i = 0; i < frames; ++i) {
      module->OnRunPhysics(dt);
      module->FetchPhysicsResults();
    }
  }

  static VisBaseEntity_cl* MakeEntity(const VisVector_cl& pos) {
    auto* e = new VisBaseEntity_cl();
    e->SetPosition(pos);
    return e;
  }

  // A box body of the given full size centred on the owner's origin.
  static vPhysXRigidBody* AddBox(VisBaseEntity_cl* e, const VisVector_cl& size, float mass = 1.0f) {
    auto* body = new vPhysXRigidBody();
    body->SetBoxSize(size);
    body->SetLocalOffset(VisVector_cl(0, 0, 0));
    body->SetMass(mass);
    EXPECT_TRUE(e->AddComponent(body));
    return body;
  }

  // A model with only a bounding box, shared through the entity's reference.
  static void GiveModelBox(VisBaseEntity_cl* e, const char* min, const char* max) {
    VDynamicMesh* mesh = new VDynamicMesh("box.model");
    std::string xml = std::string("<model><bbox min=\"") + min + "\" max=\"" + max + "\"/></model>";
    EXPECT_TRUE(mesh->LoadFromXml(xml.c_str()));
    e->SetMesh(mesh);
  }

  std::unique_ptr<vPhysXModule> module;
};
