// The persistent record of one soldier: hit points, combat values, speed, and the
// stored form of the soldier, whose unique id ties the record to its entity.
#pragma once

#include "entities/CombatSkills.h"
#include "entities/Hitpoints.h"

class SoldierEntityTemplate;
class VArchive;

class SoldierStats {
 public:
  // The template is created with the record and owned by it.
  SoldierStats();
  virtual ~SoldierStats();
  SoldierStats(const SoldierStats&) = delete;
  SoldierStats& operator=(const SoldierStats&) = delete;

  // Block: "ARCH", version 2, the combat block, the hit-point block, the template's
  // block, "EOA". Reading a version 2 block makes a template when there is none.
  virtual bool SerializeX(VArchive& ar);
  // Every value of the other record, the template's included (the records stay
  // distinct objects: entities keep pointers to them).
  void CopyFrom(const SoldierStats& other);

  SoldierEntityTemplate* GetTemplate() const { return m_pTemplate; }

  Hitpoints m_Hitpoints;
  CombatSkills m_CombatSkills;
  float m_fSpeed = 0.0f;

 private:
  SoldierEntityTemplate* m_pTemplate = nullptr;
};
