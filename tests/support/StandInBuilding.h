// A building for tests of code that only tells buildings apart from other entities:
// the game's own building class when the build has it, else a plain entity whose
// type record carries the building class name.
#pragma once

#include "core/BaseEntity.h"

#include "engine/Vision.h"

#include <memory>

class StandInBuilding : public BaseEntity {
 public:
  static VType* Type() {
    static std::unique_ptr<VType> type;
    if (!type)
      type = std::make_unique<VType>("BuildingBaseEntity", BaseEntity::GetClassTypeId(), nullptr,
                                     (int)sizeof(StandInBuilding));
    return type.get();
  }
  VType* GetTypeId() const override { return Type(); }

  static BaseEntity* Make(const VisVector_cl& at) {
    VType* real = VType::FindType("BuildingBaseEntity");
    if (real && real->CanCreate()) return static_cast<BaseEntity*>(Vision::Game.CreateEntity("BuildingBaseEntity", at));
    auto* building = new StandInBuilding();
    building->SetPosition(at);
    return building;
  }
};
