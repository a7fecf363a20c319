// Records of the units of heroes.
#include "entities/HeroUnitRecord.h"

#include "entities/SoldierStats.h"
#include "entities/UnitEntityTemplate.h"

HeroUnitRecord::HeroUnitRecord() : m_pTemplate(new UnitEntityTemplate("UnitEntity")) {}

HeroUnitRecord::~HeroUnitRecord() {
  for (SoldierStats* soldier : m_soldiers) delete soldier;
  if (m_pTemplate) m_pTemplate->DisposeObject();
}
