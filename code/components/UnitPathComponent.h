// The path of a unit that moves along a path as a whole: a passive holder of the
// waypoints its orders plan and copy to every soldier; it never ticks itself.
#pragma once

#include "components/BasePathComponent.h"

class UnitPathComponent : public BasePathComponent {
  V_DECLARE_DYNCREATE(UnitPathComponent)
 public:
  UnitPathComponent();

  void UpdateTick() override {}
  void UpdateOwner() override {}
  void MessageFunction(int, INT_PTR, INT_PTR) override {}
};
