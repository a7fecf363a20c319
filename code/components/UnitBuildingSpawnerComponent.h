// The recruiting building: raises soldiers into a unit of the chosen hero, making
// new units (up to the hero's limit) as they fill.
#pragma once

#include "components/SpawnerBaseComponent.h"

#include "entities/UnitEntityTemplate.h"

#include <cstdint>

class HeroStats;

class UnitBuildingSpawnerComponent : public SpawnerBaseComponent {
  V_DECLARE_DYNCREATE(UnitBuildingSpawnerComponent)
 public:
  // The achievement for holding every kind of recruitable unit, and those kinds.
  static constexpr int ACHIEVEMENT_ALL_UNITS = 27;
  static constexpr int FIRST_RECRUITED_TYPE = 7;
  static constexpr int LAST_RECRUITED_TYPE = 15;

  UnitBuildingSpawnerComponent() = default;

  // Always asks to spawn while soldiers are left.
  void Update() override;
  void Spawn() override;

  bool IsSpawning() const { return m_iSoldierCount > 0; }
  // The unit soldiers join while it has room (found by the template's unique id;
  // null forgets it).
  void SetUnitToSpawnTo(const UnitEntityTemplate* templ) { m_iUnitToSpawnTo = templ ? templ->m_iUniqueID : 0; }
  int64_t GetUnitToSpawnToID() const { return m_iUnitToSpawnTo; }
  // The campaign's player record when none was set.
  HeroStats* GetCurrentHero() const;
  void SetCurrentHero(HeroStats* hero) { m_pCurrentHero = hero; }
  int GetMaxUnitAmount() const { return m_iMaxUnitAmount; }

 protected:
  static void BuildVarList(VARTABLE& t);

 private:
  int m_iMaxUnitAmount = 6;
  int64_t m_iUnitToSpawnTo = 0;
  HeroStats* m_pCurrentHero = nullptr;
};
