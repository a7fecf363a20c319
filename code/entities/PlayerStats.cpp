// The player's record: money, ships, unlocks, and the player's own levels.
#include "entities/PlayerStats.h"

#include "components/InfantryMovementComponent.h"
#include "entities/CollectableEntityTemplate.h"
#include "entities/Nation.h"
#include "entities/ShipStats.h"
#include "entities/SoldierEntity.h"
#include "entities/SoldierEntityTemplate.h"
#include "entities/SoldierStats.h"
#include "entities/UnitEntityTemplate.h"

#include "Managers/AchievementManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/SaveGameManager.h"
#include "core/GameManager.h"
#include "gui/FrameToolBar.h"
#include "gui/GUIManager.h"
#include "util/ArchiveLimits.h"

#include "engine/base/VArchive.h"
#include "engine/core/VScriptManager.h"

#include <algorithm>
#include <memory>

V_IMPLEMENT_DYNAMIC(PlayerStats, HeroStats)

namespace {

const int kAchievementAllUpgrades = 44;
const int kAchievementSixWeapons = 29;

template <class T>
bool Contains(const std::vector<T>& list, const T& value) {
  return std::find(list.begin(), list.end(), value) != list.end();
}

}  // namespace

PlayerStats::PlayerStats() : m_pLevelUpStats(new StatsIncrease()) {
  m_pCharacterTemplate->m_sUnitScript = "scripts\\LandUnits\\PlayerUnitScript.lua";
  Nation* nation = GameManager::GetInstance()->GetPlayerNation();
  m_pCharacterTemplate->m_iNation = nation ? nation->GetNationId() : 1;
}

PlayerStats::~PlayerStats() {
  for (ShipStats* ship : m_ships) delete ship;
  delete m_pLevelUpStats;
}

// ---- ships and unlocks -------------------------------------------------------------------

void PlayerStats::AddPlayerShip(ShipStats* ship) {
  if (ship && !Contains(m_ships, ship)) m_ships.push_back(ship);
}

bool PlayerStats::RemovePlayerShip(ShipStats* ship) {
  auto it = std::find(m_ships.begin(), m_ships.end(), ship);
  if (it == m_ships.end()) return false;
  m_ships.erase(it);
  return true;
}

bool PlayerStats::SellShip(ShipStats* ship) {
  if (!ship) return false;
  m_iMoney += ship->GetSellValue();
  // The player owns the record: once sold nobody else would free it.
  if (!RemovePlayerShip(ship)) return false;
  delete ship;
  return true;
}

bool PlayerStats::BuyShip(ShipStats* offer) {
  if (!offer) return false;
  m_iMoney -= offer->GetPrice();
  ShipStats* ship = new ShipStats();
  ship->CopyFrom(*offer);
  ship->SetUniqueID(GameManager::GetInstance()->GetNextUniqueID());
  m_ships.push_back(ship);
  return true;
}

void PlayerStats::UnlockUpgrade(int upgrade) {
  if (IsUpgradeUnlocked(upgrade)) return;
  m_unlockedUpgrades.push_back(upgrade);
  for (int i = 0; i <= 5; ++i)
    if (!IsUpgradeUnlocked(i)) return;
  AchievementManager* achievements = AchievementManager::GetInstance();
  if (!achievements->IsUnlocked(kAchievementAllUpgrades)) achievements->SetAchievement(kAchievementAllUpgrades);
}

bool PlayerStats::IsUpgradeUnlocked(int upgrade) const { return Contains(m_unlockedUpgrades, upgrade); }

void PlayerStats::UnlockWeapon(int weapon) {
  if (IsWeaponUnlocked(weapon)) return;
  m_unlockedWeapons.push_back(weapon);
  AchievementManager* achievements = AchievementManager::GetInstance();
  if (m_unlockedWeapons.size() > 5 && !achievements->IsUnlocked(kAchievementSixWeapons))
    achievements->SetAchievement(kAchievementSixWeapons);
}

bool PlayerStats::IsWeaponUnlocked(int weapon) const { return Contains(m_unlockedWeapons, weapon); }

// A ship's type is its script: every ship class has its own.
void PlayerStats::UnlockShip(ShipStats* ship) {
  if (ship && !IsShipUnlocked(ship)) m_unlockedShips.push_back(ship->GetScript());
}

bool PlayerStats::IsShipUnlocked(ShipStats* ship) const { return ship && Contains(m_unlockedShips, ship->GetScript()); }

bool PlayerStats::CanUnlock(int n) const {
  CollectableEntityTemplate* blueprints = GameSessionManager::GetInstance()->GetCollectableByName("Blueprint");
  return (blueprints ? blueprints->m_iCount : 0) >= n;
}

// ---- levels ----------------------------------------------------------------------------------

void PlayerStats::AddExperience(int xp) {
  m_HeroSkills.m_iExperience += xp;
  const std::vector<int>& table = GameSessionManager::GetInstance()->GetLevelTable();
  while (m_HeroSkills.m_iLevel < (int)table.size() - 1) {
    int next = table[m_HeroSkills.m_iLevel + 1];
    if (m_HeroSkills.m_iExperience < next) break;
    ++m_HeroSkills.m_iLevel;
    GUIManager* gui = GUIManager::GetInstance();
    gui->ShowMessage("str_LEVEL_UP", 5.0f, 2.0f);
    gui->ShowAdditionalMessage("", 5.0f, 2.0f);
    AddLevelIncrease();
    ApplyLevelUpIncrease();
    if (m_HeroSkills.m_iLevel % 3 == 0) {
      ++m_iPendingLevelUps;
      // The tool bar marks its player button while a skill waits to be chosen.
      if (FrameToolBar* toolbar = gui->GetToolbar()) toolbar->LevelUp();
    }
  }
}

void PlayerStats::AddLevelIncrease() {
  VScriptResourceManager* manager = Vision::GetScriptManager();
  IVScriptInstance* script = manager ? manager->GetGameScript() : nullptr;
  if (!script || !script->IsValid() || !script->HasFunction("GetSoldierLevelUpStatsIncrease")) return;
  StatsIncrease level;
  script->ExecuteFunctionArg("GetSoldierLevelUpStatsIncrease", "i>iiiiiiiiiiif",
                             GUIManager::GetInstance()->GetSelectedPlayerCharacter(), &level.m_iMeleeMinDamage,
                             &level.m_iMeleeMaxDamage, &level.m_iSecondMeleeMinDamage, &level.m_iSecondMeleeMaxDamage,
                             &level.m_iRangedMinDamage, &level.m_iRangedMaxDamage, &level.m_iSecondRangedMinDamage,
                             &level.m_iSecondRangedMaxDamage, &level.m_iMeleeHitChance, &level.m_iRangedHitChance,
                             &level.m_iHitPoints, &level.m_fSpeed);
  m_pLevelUpStats->Add(level);
  // The player's soldier in the scene walks at its record's speed plus the increase.
  SoldierEntityTemplate* templ = m_pSoldierStats->GetTemplate();
  VisBaseEntity_cl* entity = templ ? GameManager::GetInstance()->FindEntityByUniqueID(templ->m_iUniqueID) : nullptr;
  if (!entity || !entity->IsOfType(SoldierEntity::GetClassTypeId())) return;
  if (InfantryMovementComponent* movement = static_cast<SoldierEntity*>(entity)->GetMovementComponent())
    movement->SetBaseSpeed(movement->GetSpeedFactor() * m_pSoldierStats->m_fSpeed + m_pLevelUpStats->m_fSpeed);
}

void PlayerStats::ApplyLevelUpIncrease() {
  StatsIncrease missing = m_pLevelUpStats->Minus(m_AppliedIncrease);
  m_pSoldierStats->m_CombatSkills.IncreaseStats(&missing);
  Hitpoints& hp = m_pSoldierStats->m_Hitpoints;
  hp.SetMaximum(hp.GetMaximum() + missing.m_iHitPoints);
  hp.SetCurrent(hp.GetCurrent() + missing.m_iHitPoints);
  m_AppliedIncrease = *m_pLevelUpStats;
}

// ---- saved block --------------------------------------------------------------------------------

bool PlayerStats::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    HeroStats::SerializeX(ar);
    SaveGameManagerProto::BeginBlock(ar, BLOCK_VERSION);
    ar << (unsigned int)m_iMoney << m_iSelectedHeroScriptId << (int)m_ships.size();
    for (ShipStats* ship : m_ships) ship->SerializeX(ar);
    ar << m_iPendingLevelUps << (int)m_unlockedUpgrades.size();
    for (int upgrade : m_unlockedUpgrades) ar << upgrade;
    ar << (int)m_unlockedShips.size();
    for (const VString& name : m_unlockedShips) ar << name;
    ar << (int)m_unlockedWeapons.size();
    for (int weapon : m_unlockedWeapons) ar << weapon;
    m_pLevelUpStats->SerializeX(ar);
    m_AppliedIncrease.SerializeX(ar);
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  // The hero's block comes first; when it fails, the player's own is not read.
  if (!HeroStats::SerializeX(ar)) return false;
  SavedBlockReader block(ar, "PlayerStats", BLOCK_VERSION);
  if (!block.IsOpen()) return false;
  unsigned int money = (unsigned int)m_iMoney;
  int heroScriptId = m_iSelectedHeroScriptId, pendingLevelUps = m_iPendingLevelUps;
  std::vector<std::unique_ptr<ShipStats>> ships;
  std::vector<int> upgrades = m_unlockedUpgrades, weapons = m_unlockedWeapons;
  std::vector<VString> shipNames = m_unlockedShips;
  StatsIncrease levelUp = *m_pLevelUpStats, applied = m_AppliedIncrease;
  int count = 0;
  if (block.Has(2)) {
    ar >> money >> heroScriptId;
    if (!ArchiveLimits::ReadCount(ar, count, 4)) return block.Fail();
    for (int i = 0; i < count; ++i)
      if (!ships.emplace_back(new ShipStats())->SerializeX(ar)) return block.Fail();
  }
  if (block.Has(3)) ar >> pendingLevelUps;
  if (block.Has(4)) {
    if (!ArchiveLimits::ReadCount(ar, count, 4)) return block.Fail();
    upgrades.assign((size_t)count, 0);
    for (int& upgrade : upgrades) ar >> upgrade;
  }
  if (block.Has(5)) {
    if (!ArchiveLimits::ReadCount(ar, count, 4)) return block.Fail();
    shipNames.assign((size_t)count, VString());
    for (VString& name : shipNames) ar >> name;
  }
  if (block.Has(6)) {
    if (!ArchiveLimits::ReadCount(ar, count, 4)) return block.Fail();
    weapons.assign((size_t)count, 0);
    for (int& weapon : weapons) ar >> weapon;
  }
  if (block.Has(7) && !levelUp.SerializeX(ar)) return block.Fail();
  // Older saves stored the record with the increase already in it.
  if (block.Has(8)) {
    if (!applied.SerializeX(ar)) return block.Fail();
  } else {
    applied = levelUp;
  }
  if (!block.End()) return false;
  m_iMoney = (int)money;
  m_iSelectedHeroScriptId = heroScriptId;
  for (auto& ship : ships) m_ships.push_back(ship.release());
  m_iPendingLevelUps = pendingLevelUps;
  m_unlockedUpgrades = std::move(upgrades);
  m_unlockedShips = std::move(shipNames);
  m_unlockedWeapons = std::move(weapons);
  *m_pLevelUpStats = levelUp;
  m_AppliedIncrease = applied;
  return true;
}
