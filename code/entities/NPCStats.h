// Hit points and combat values of a figure that is no soldier of the campaign.
#pragma once

#include "entities/CombatSkills.h"
#include "entities/Hitpoints.h"

class VArchive;

class NPCStats {
 public:
  NPCStats() = default;
  virtual ~NPCStats() = default;

  // Block: "ARCH", version 2, the combat block, the hit-point block, "EOA".
  virtual bool SerializeX(VArchive& ar);

  Hitpoints m_Hitpoints;
  CombatSkills m_CombatSkills;
};
