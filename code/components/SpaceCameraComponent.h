// A fly camera placed by scene files that keeps drifting and turning after a push
// until message 132 stops it.
#pragma once

#include "components/FreeCameraComponent.h"

class SpaceCameraComponent : public FreeCameraComponent {
  V_DECLARE_DYNCREATE(SpaceCameraComponent)
 public:
  SpaceCameraComponent();

  void Init() override;
  // 132 stops every motion; the rest as the free camera.
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;

 protected:
  bool KeepsMomentum() const override { return true; }
  const char* BlockOwner() const override { return "SpaceCameraComponent"; }
};
