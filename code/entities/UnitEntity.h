// A land unit: a group of soldiers led and ordered as one.
#pragma once

#include "core/BaseEntity.h"

class UnitEntity : public BaseEntity {
  V_DECLARE_DYNCREATE(UnitEntity)
 public:
  UnitEntity();
  ~UnitEntity() override;
};
