// Shows what happens to a ship: hit sparks, damage smoke, the stern wake, mist,
// muzzle flashes and collision splinters, from the effects the ship factory loads
// once for all ships. For now it holds the shared effect set only; the effects
// themselves come with the ship effects.
#pragma once

#include "engine/base/VCallback.h"
#include "engine/core/IVObjectComponent.h"

class ShipFactory;

class ShipFXComponent : public IVObjectComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(ShipFXComponent)
 public:
  ShipFXComponent();
  ~ShipFXComponent() override;

  // 3-D objects only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // With an owner it takes the factory's effect set, loading it when needed.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void OnHandleCallback(IVisCallbackDataObject_cl*) override {}

  ShipFactory* GetEffectSet() const { return m_pEffects; }

 private:
  ShipFactory* m_pEffects = nullptr;
};
