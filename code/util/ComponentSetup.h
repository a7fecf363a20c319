// Components the game makes on demand: made, initialised and attached, and
// disposed of again when the owner refuses them.
#pragma once

#include "engine/core/VisTypedEngineObject.h"

namespace ComponentSetup {

// A new T attached to owner; null when the owner refuses it.
template <class T>
T* AddNew(VisTypedEngineObject_cl* owner) {
  T* component = new T();
  component->Initialize();
  if (owner->AddComponent(component)) return component;
  component->DisposeObject();
  return nullptr;
}

// The owner's T, made as by AddNew when it has none.
template <class T>
T* TakeOrAdd(VisTypedEngineObject_cl* owner) {
  if (T* existing = owner->Components<T>()) return existing;
  return AddNew<T>(owner);
}

}  // namespace ComponentSetup
