// Ship tests with a physics step: sloops that keep their place without a captain,
// engine frames with (or without) the physics simulation between think and the
// finished-simulation callback, and the removed entities freed each frame.
#pragma once

#include "support/ShipTestWorld.h"

#include "components/AIShipComponent.h"
#include "components/ShipMovementComponent.h"
#include "entities/ProjectileEntity.h"

#include "engine/core/VisParticleGroupManager.h"
#include "engine/physics/vPhysXContactRecord.h"
#include "engine/physics/vPhysXModule.h"
#include "engine/physics/vPhysXRigidBody.h"

class SeaPhysicsTestWorld : public ShipTestWorld {
 protected:
  void SetUp() override {
    ShipTestWorld::SetUp();
    vPhysXModule::SetInstance(&physics);
  }
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    VisParticleGroupManager_cl::GlobalManager().RemoveAllEffects();
    ShipTestWorld::TearDown();
    vPhysXModule::SetInstance(nullptr);
  }

  // A sloop whose movement runs at no speed and without a captain, so that no
  // sails are set or headings steered behind a test's back.
  ShipEntity* StillSloop(const char* name, int nation, const VisVector_cl& at, float yaw = 0.0f,
                         bool playerShip = false) {
    ShipEntity* ship = MakeSloop(name, nation, at, yaw, playerShip);
    EXPECT_NE(ship, nullptr);
    if (!ship) return nullptr;
    ship->Components<ShipMovementComponent>()->SetSpeedFactor(0.0f);
    if (AIShipComponent* captain = ship->Components<AIShipComponent>()) captain->DisposeObject();
    return ship;
  }

  // One engine frame of the fixed step.
  void Step(bool withPhysics = true) {
    Vision::Timer.Update();
    Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
    Vision::Game.RunThinkFunctions();
    if (withPhysics) {
      physics.OnRunPhysics(Vision::Timer.GetTimeDifference());
      physics.FetchPhysicsResults();
    }
    Vision::Callbacks.OnPhysicsSimulationFinished.TriggerCallbacks();
    Vision::Game.FreeRemovedEntities();
  }
  // Frames until the condition holds (at most limit); the frames it took.
  template <class Pred>
  int StepUntil(Pred pred, int limit = 1200, bool withPhysics = true) {
    int frames = 0;
    while (!pred() && frames < limit) {
      Step(withPhysics);
      ++frames;
    }
    return frames;
  }

  static bool Alive(const VisBaseEntity_cl* entity) {
    for (VisBaseEntity_cl* e : Vision::Game.GetEntities())
      if (e == entity && !e->IsMarkedRemoved()) return true;
    return false;
  }
  static vPhysXRigidBody* Body(VisBaseEntity_cl* e) { return e->Components<vPhysXRigidBody>(); }
  // A contact of the projectile's body with the ship's, as the physics delivers it.
  static void Touch(ProjectileEntity* projectile, ShipEntity* ship) {
    vPhysXContactRecord contact;
    contact.participant[0].pObject = Body(ship);
    contact.participant[1].pObject = Body(projectile);
    contact.vPoint = projectile->GetPosition();
    projectile->SendMsg(VIS_MSG_PHYSICS_CONTACT, reinterpret_cast<INT_PTR>(&contact), VPHYSX_CONTACT_NOTIFY);
  }

  vPhysXModule physics;
};
