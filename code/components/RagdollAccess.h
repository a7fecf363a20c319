// Calls on RagdollComponent that the physics ragdoll brings (bone actors, velocity,
// collision filtering, sleep time). Each call reaches the component's own operation
// when it has it and does nothing otherwise, so the callers need not wait for it.
#pragma once

#include "components/RagdollComponent.h"

#include "engine/physics/NxActor.h"

namespace RagdollAccess {

template <class R, class A, class B>
B BoneArgOf(A* (R::*)(B));
template <class R, class A, class B>
B BoneArgOf(A* (R::*)(B) const);

// The body of a bone (0 head, 1 left forearm, 2 right forearm, 3 chest, 4 left calf,
// 5 right calf); null for another value or without bodies.
template <class R = RagdollComponent>
NxActor* BoneActor(R* ragdoll, int bone) {
  if constexpr (requires { BoneArgOf(&R::GetBoneActor); }) {
    using Bone = decltype(BoneArgOf(&R::GetBoneActor));
    return ragdoll ? ragdoll->GetBoneActor(static_cast<Bone>(bone)) : nullptr;
  } else {
    (void)ragdoll;
    (void)bone;
    return nullptr;
  }
}

// The body that carries the ragdoll: the chest.
template <class R = RagdollComponent>
NxActor* MainActor(R* ragdoll) {
  return BoneActor(ragdoll, 3);
}

template <class R = RagdollComponent>
void SetVelocity(R* ragdoll, const VisVector_cl& velocity) {
  if constexpr (requires(R* r) { r->SetVelocity(velocity); })
    if (ragdoll) ragdoll->SetVelocity(velocity);
}

template <class R = RagdollComponent>
void SetCollision(R* ragdoll, unsigned mask, unsigned group) {
  if (!ragdoll) return;
  if constexpr (requires(R* r) { r->SetCollisionMask(mask); }) ragdoll->SetCollisionMask(mask);
  if constexpr (requires(R* r) { r->SetCollisionGroup(group); }) ragdoll->SetCollisionGroup(group);
}

template <class R = RagdollComponent>
void SetSleepTime(R* ragdoll, float seconds) {
  if (!ragdoll) return;
  if constexpr (requires(R* r) { r->SetSleepTime(seconds); }) ragdoll->SetSleepTime(seconds);
}

}  // namespace RagdollAccess
