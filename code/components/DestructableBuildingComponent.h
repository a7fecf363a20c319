// Hit points, armour and damage levels of a building. Cannon balls and soldiers hit
// it (201), repairs mend it (202); at 0 hit points it burns down once: an effect and
// a sound, the building hides, drops its loot and tells its other components (160).
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VCallback.h"
#include "engine/base/VRefCounter.h"
#include "engine/core/VisParticleEffect.h"

class VArchive;

class DestructableBuildingComponent : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(DestructableBuildingComponent)
 public:
  DestructableBuildingComponent();
  ~DestructableBuildingComponent() override;

  // Buildings only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // With an owner InitFunction runs, without one DeInitFunction.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void OnHandleCallback(IVisCallbackDataObject_cl*) override {}
  // 201: a hit of p1 (5 when 0) less armour, at least 1. 202: a repair of p1 (5 when
  // 0); a destroyed building is not repaired (only its rebirth brings it back).
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;

  // The loot barrel, a health bar and a polygon click trace for the owner.
  virtual void InitFunction();
  // Finishes and lets go of the destroy effect.
  virtual void DeInitFunction();

  int GetHitPoints() const { return m_iCurrentHitPoints; }
  // Clamped to [0, maximum]. Falling from above 0 to 0 destroys the building; rising
  // from 0 lets go of the old destroy effect, so a rebuilt building can burn again.
  void SetHitPoints(int hitPoints);
  int GetHitPointsMax() const { return m_iMaxHitPoints; }
  // A lower maximum lowers the current hit points with it.
  void SetHitPointsMax(int hitPoints);
  // SetHitPoints(current + delta), and the health bar shows for 3 s.
  void IncCurrentHitPoints(int delta);
  int GetArmorValue() const { return m_iArmorValue; }
  void SetArmorValue(int armour) { m_iArmorValue = armour; }
  int GetDamageLevelCount() const { return m_iDamageLevelCount; }
  // Below 1 stores 1.
  void SetDamageLevelCount(int count) { m_iDamageLevelCount = count < 1 ? 1 : count; }
  // 0 at full health up to the level count at 0 hit points; the count when the
  // maximum is 0 or less.
  int GetCurrentDamageLevel() const;
  int GetDropItems() const { return m_bDropItems; }
  void SetDropItems(int drop) { m_bDropItems = drop; }
  // With drop items on: a money barrel more in the owner's storage (made when missing).
  void AddDropItem();
  VisParticleEffect_cl* GetDestroyEffect() const { return m_spDestroyEffect; }

  // The component's own data, then "ARCH", version 2, level count, current and
  // maximum hit points, armour, drop items, "EOA". A block that does not check out
  // leaves the values as they were.
  void Serialize(VArchive& ar) override;

 protected:
  static void BuildVarList(VARTABLE& t);

 private:
  void Destroy();

  int m_iDamageLevelCount = 1;
  int m_iArmorValue = 1;
  int m_iCurrentHitPoints = 100;
  int m_iMaxHitPoints = 100;
  int m_bDropItems = 1;
  // Set by a read block: the loot is already in the storage's own block.
  bool m_bRestored = false;
  VSmartPtr<VisParticleEffect_cl> m_spDestroyEffect;
};
