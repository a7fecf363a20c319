// The name tag over a ship or a town: its panel, shown while the player holds the
// name-tag key near it.
#pragma once

#include "core/BaseComponent.h"

class NameTagComponent : public BaseComponent {
  V_DECLARE_DYNCREATE(NameTagComponent)
 public:
  NameTagComponent();
  ~NameTagComponent() override;

  // Ships and towns only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
};
