// A bird of the world map and sea scenes, flying towards a town or the player's
// ship; its script drives it.
#pragma once

#include "core/BaseEntity.h"

class AnimalEntity : public BaseEntity {
  V_DECLARE_DYNCREATE(AnimalEntity)
 public:
  // Forgets a target that leaves the world.
  AnimalEntity();
  ~AnimalEntity() override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  // What the bird flies towards; null for none (it picks one anew).
  void SetTarget(VisBaseEntity_cl* target) { m_pTarget = target; }
  VisBaseEntity_cl* GetTarget() const { return m_pTarget; }

 private:
  VisBaseEntity_cl* m_pTarget = nullptr;
};
