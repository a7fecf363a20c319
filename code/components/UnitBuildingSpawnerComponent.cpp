// Recruiting into a hero's units.
#include "components/UnitBuildingSpawnerComponent.h"

#include "Managers/AchievementManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/SoundManager.h"
#include "components/InfantryPathComponent.h"
#include "entities/HeroStats.h"
#include "entities/PlayerStats.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"
#include "util/ComponentSetup.h"
#include "util/MathTools.h"

#include "engine/Vision.h"

V_IMPLEMENT_DYNCREATE_VARS(UnitBuildingSpawnerComponent, SpawnerBaseComponent,
                           &UnitBuildingSpawnerComponent::BuildVarList)

void UnitBuildingSpawnerComponent::BuildVarList(VARTABLE& t) {
  VAR_INT(t, UnitBuildingSpawnerComponent, m_iMaxUnitAmount, "Maximum number of units of this kind (-1 = infinite)",
          "6");
}

HeroStats* UnitBuildingSpawnerComponent::GetCurrentHero() const {
  if (m_pCurrentHero) return m_pCurrentHero;
  return GameSessionManager::HasInstance() ? GameSessionManager::GetInstance()->GetPlayer() : nullptr;
}

void UnitBuildingSpawnerComponent::Update() {
  m_bSpawnRequested = 1;
  SpawnerBaseComponent::Update();
}

void UnitBuildingSpawnerComponent::Spawn() {
  m_pLastSpawned = nullptr;
  UnitEntityTemplate* templ = ChooseTemplate();
  if (!templ || !m_pOwner) return;
  HeroStats* hero = GetCurrentHero();

  UnitEntity* unit = FindUnit(m_iUnitToSpawnTo);
  if (unit && HasRoom(unit)) {
    if (unit->GetHeroStats()) m_pCurrentHero = hero = unit->GetHeroStats();
  } else {
    // The hero's own unit and three more are all he leads: a further unit would be
    // refused, so recruiting ends.
    if (hero && hero->GetUnitRecordCount() >= HeroStats::MAX_UNITS) {
      m_iSoldierCount = 0;
      m_bSpawnRequested = 0;
      return;
    }
    unit = CreateUnit(*templ, static_cast<VisBaseEntity_cl*>(m_pOwner)->GetPosition());
    if (!unit) return;
    m_iUnitToSpawnTo = unit->GetUniqueID();
    if (GameSessionManager::HasInstance()) GameSessionManager::GetInstance()->AddUnitToHero(hero, unit);
    SoundManager::GetInstance()->PlaySound((UnitType)unit->GetUnitType(), SOUND_UNIT_READY, 1.0f, unit->GetPosition(),
                                           400.0f, 0.0f);
  }

  SoldierEntity* soldier = unit->AddSoldier(nullptr);
  if (soldier) {
    const auto* owner = static_cast<const VisBaseEntity_cl*>(m_pOwner);
    VisVector_cl offset = m_vSpawnOffset;
    offset.x += Uniform(-0.5f, 0.5f);
    offset.y += Uniform(-1.5f, 1.5f);
    PlaceSoldier(soldier, OwnerPoint(offset));
    VisVector_cl walkLocal = m_vWalkTargetOffset;
    walkLocal.x *= 1.0f + Uniform(0.0f, 1.0f);
    walkLocal.y *= 1.0f + Uniform(0.0f, 1.0f);
    walkLocal.z *= 1.0f + Uniform(0.0f, 1.0f);
    VisVector_cl destination = OwnerPoint(walkLocal + owner->GetRotationMatrix() * offset);
    if (HasTriggerPosition()) {
      destination = m_vTriggerPosition;
      destination.x += MathTools::GaussianRandom();
      destination.y += MathTools::GaussianRandom();
    }
    if (auto* path = ComponentSetup::TakeOrAdd<InfantryPathComponent>(soldier)) path->MakePathTo(destination, true);
    m_pLastSpawned = soldier;
  }

  if (!GameSessionManager::HasInstance()) return;
  const GameSessionManager* session = GameSessionManager::GetInstance();
  for (int type = FIRST_RECRUITED_TYPE; type <= LAST_RECRUITED_TYPE; ++type)
    if (!session->HasUnit(type)) return;
  AchievementManager* achievements = AchievementManager::GetInstance();
  if (!achievements->IsUnlocked(ACHIEVEMENT_ALL_UNITS)) achievements->SetAchievement(ACHIEVEMENT_ALL_UNITS);
}
