// A bird of the world map and sea scenes, flying towards a town or the player's
// ship; its script drives it.
#pragma once

#include "core/BaseEntity.h"

class AnimalEntity : public BaseEntity {
  V_DECLARE_DYNCREATE(AnimalEntity)
 public:
  AnimalEntity();
  ~AnimalEntity() override;
};
