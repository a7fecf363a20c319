// The campaign's record of one unit a hero leads: the unit's stored form (whose
// unique id identifies the unit), one record per soldier, and the town it was left in.
#pragma once

#include "engine/base/VString.h"

#include <vector>

class SoldierStats;
class UnitEntityTemplate;

class HeroUnitRecord {
 public:
  // The template is made with the class name "UnitEntity"; the record owns it and
  // the soldier records.
  HeroUnitRecord();
  ~HeroUnitRecord();
  HeroUnitRecord(const HeroUnitRecord&) = delete;
  HeroUnitRecord& operator=(const HeroUnitRecord&) = delete;

  UnitEntityTemplate* m_pTemplate;
  std::vector<SoldierStats*> m_soldiers;
  VString m_sTownName;  // empty while the unit stands in an escape area
};
