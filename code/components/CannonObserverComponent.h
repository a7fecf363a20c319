// Sits on a ship and turns the cannons' loading and ready reports into one
// readiness gauge per cannon group, from 0 (all loading) to 1 (all ready).
#pragma once

#include "components/CannonComponent.h"

#include "engine/core/IVObjectComponent.h"

class CannonObserverComponent : public IVObjectComponent {
  V_DECLARE_DYNCREATE(CannonObserverComponent)
 public:
  CannonObserverComponent();
  ~CannonObserverComponent() override;

  // Ships only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // 58 ready and 57 loading; p1 is the reporting cannon component (null counts
  // for group 0).
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;

  // Setting the left or right count also makes group 0 their sum.
  void SetCannonCount(int count, CannonGroup group);
  int GetCannonCount(CannonGroup group) const;
  float GetCannonGroupState(CannonGroup group) const;
  // One cannon of the group is ready again (the broadside gauge follows for left
  // and right).
  void CannonReady(CannonGroup group);
  // One cannon of the group starts loading.
  void CannonLoading(CannonGroup group);

 private:
  static bool IsValidGroup(int group) { return group >= 0 && group < 4; }
  float m_fGroupState[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  int m_iCannonCount[4] = {2, 1, 1, 1};
};
