// The stored form of a bought ship upgrade: kept in the ship's record and saved
// with it, and able to make the upgrade entity again.
#pragma once

#include "entities/UpgradeTexts.h"

#include "engine/core/VisGame.h"

class VArchive;

class UpgradeEntityTemplate : public VisEntityTemplate_cl, public UpgradeTexts {
 public:
  UpgradeEntityTemplate();

  // Copies the upgrade's texts into an UpgradeEntity; other entities are left alone.
  void ApplyToEntity(VisBaseEntity_cl* entity) override;
  // Block: "ARCH", version 2, flag, position, class name, key, parameters,
  // orientation, scaling, script file, name, description, image, icon, "EOA".
  virtual bool SerializeX(VArchive& ar);
};
