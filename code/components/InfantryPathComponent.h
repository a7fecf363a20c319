// The path of one soldier: feeds the soldier's InfantryMovementComponent with the
// next waypoint, starts walking when a path appears and reports the arrival.
#pragma once

#include "components/BasePathComponent.h"

class SoldierEntity;

class InfantryPathComponent : public BasePathComponent {
  V_DECLARE_DYNCREATE(InfantryPathComponent)
 public:
  InfantryPathComponent();
  InfantryPathComponent(float stepLength, float reachDistance, bool looping);
  ~InfantryPathComponent() override;

  // Orders that plan a path: 153, 161, 164 and 165 (165 also names what to use);
  // 151 unless the soldier's unit steers with a path of its own.
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;
  // Hands the next waypoint to the movement component; without a path the walk
  // ends with message 157.
  void UpdateOwner() override;
  // A path while the soldier walks.
  bool IsFollowingPath() override;
  // The soldier stopped walking: the path moves on, or ends.
  virtual void OwnerStops();
  // Besides the frame update: a destroyed thing to use is forgotten.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  VisBaseEntity_cl* GetInteractionTarget() const { return m_pInteractionTarget; }

 private:
  // The owner as a soldier, or null.
  SoldierEntity* GetSoldier() const;
  // What to do with the thing to use once the soldier got there.
  void CheckArrival();
  void SetInteractionTarget(VisBaseEntity_cl* target);

  VisBaseEntity_cl* m_pInteractionTarget = nullptr;
};
