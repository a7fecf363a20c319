// The name tag over a ship: its name and level, shown while the player holds the
// name-tag key near it.
#pragma once

#include "core/BaseComponent.h"

class NameTagComponent : public BaseComponent {
  V_DECLARE_DYNCREATE(NameTagComponent)
 public:
  NameTagComponent();
  ~NameTagComponent() override;

  // Ships only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
};
