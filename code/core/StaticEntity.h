// An entity that the save game recreates from a record rather than writing whole
// (towns derive from it).
#pragma once

#include "core/BaseEntity.h"

class StaticEntity : public BaseEntity {
  V_DECLARE_DYNCREATE(StaticEntity)
 public:
  StaticEntity() = default;
  int GetSerializeType() const override { return 1; }
};
