// A soldier's loot bundle: the collectable he is sent to pick up and the one he
// carries on his back. Picking up, delivering and dropping come with the loot; the
// movement reads whether he carries (a carrier walks slower).
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VCallback.h"

class CollectableEntity;

class CarryComponent : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(CarryComponent)
 public:
  // Listens for destroyed entities: neither the target nor the item outlives its entity.
  CarryComponent();
  ~CarryComponent() override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  virtual void SetCarryTarget(CollectableEntity* target) { m_pCarryTarget = target; }
  virtual CollectableEntity* GetCarryTarget() const { return m_pCarryTarget; }
  virtual void SetCarryItem(CollectableEntity* item) { m_pCarriedItem = item; }
  virtual CollectableEntity* GetCarryItem() const { return m_pCarriedItem; }
  virtual bool IsCarrying() const { return m_pCarriedItem != nullptr; }

 private:
  CollectableEntity* m_pCarryTarget = nullptr;
  CollectableEntity* m_pCarriedItem = nullptr;
};
