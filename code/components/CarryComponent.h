// A soldier's loot bundle: the collectable he is sent to pick up and the one he
// carries on his back, delivered (used, gone) or dropped where he stands. The
// movement reads whether he carries (a carrier walks slower).
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VCallback.h"
#include "engine/base/VRefCounter.h"

class CollectableEntity;
class VisParticleEffect_cl;
class VisParticleEffectFile_cl;

class CarryComponent : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(CarryComponent)
 public:
  // Listens for destroyed entities: neither the target nor the item outlives its entity.
  CarryComponent();
  ~CarryComponent() override;
  // With an owner it works every frame and holds the glow effect file.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // 162 delivers the carried item.
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;
  // The component's own data, then "ARCH", version 2, the carry target and the
  // carried item as object references, "EOA". A block that does not check out keeps
  // both as they were and lets go of the items it made.
  void Serialize(VArchive& ar) override;

  // Picks up a target in reach; keeps the carried item on the soldier's back.
  virtual void Update();
  virtual void SetCarryTarget(CollectableEntity* target) { m_pCarryTarget = target; }
  virtual CollectableEntity* GetCarryTarget() const { return m_pCarryTarget; }
  virtual void SetCarryItem(CollectableEntity* item) { m_pCarriedItem = item; }
  virtual CollectableEntity* GetCarryItem() const { return m_pCarriedItem; }
  virtual bool IsCarrying() const { return m_pCarriedItem != nullptr; }
  // A free, carriable target without a carrier closer than 4 (in x-y) is picked up;
  // farther away it stays the target. Otherwise the target is forgotten.
  virtual void CheckAndCollectCarryTarget();
  virtual void StartCarry(CollectableEntity* item);
  // The item this soldier carries is used and leaves his back.
  virtual void EndCarry();
  // The item this soldier carries lies on the ground beside him, free again.
  virtual void DropItem();
  // Delivery: EndCarry, and the item leaves the world.
  virtual void MoveToCargo();

  VisParticleEffectFile_cl* GetGlowEffectFile() const;
  // The glow on the carried item; null while nothing is carried.
  VisParticleEffect_cl* GetGlowEffect() const;

 private:
  // Ends the glow: removed when finished, detached, finished, forgotten.
  void EndGlow();

  CollectableEntity* m_pCarryTarget = nullptr;
  CollectableEntity* m_pCarriedItem = nullptr;
  VSmartPtr<VisParticleEffectFile_cl> m_spGlowEffectFile;
  VSmartPtr<VisParticleEffect_cl> m_spGlowEffect;
};
