// The campaign state: the player, heroes, inventory, ships and potions.
#include "Managers/GameSessionManager.h"

#include "entities/CollectableEntity.h"
#include "entities/CollectableEntityTemplate.h"
#include "entities/TownEntity.h"
#include "entities/HeroUnitRecord.h"
#include "entities/PlayerStats.h"
#include "entities/SoldierEntity.h"
#include "entities/SoldierEntityTemplate.h"
#include "entities/SoldierStats.h"
#include "entities/UnitEntity.h"
#include "entities/UnitEntityTemplate.h"

#include "core/GameManager.h"
#include "core/Player.h"
#include "core/RtsManager.h"
#include "gui/FrameFadeOut.h"
#include "gui/GUIManager.h"

#include "engine/base/VisError.h"
#include "engine/core/VScriptManager.h"
#include "engine/core/VisGame.h"

#include <algorithm>

GameSessionManager::GameSessionManager() {
  LoadLevelTable();
  m_bConstructing = true;
  StartNewGameSession();
  m_bConstructing = false;
}

GameSessionManager::~GameSessionManager() { ClearSession(); }

void GameSessionManager::ClearRecords() {
  delete m_pPlayer;
  m_pPlayer = nullptr;
  for (HeroStats* hero : m_heroes) delete hero;
  m_heroes.clear();
  for (SoldierStats* stats : m_npcCharacters) delete stats;
  m_npcCharacters.clear();
  for (SoldierStats* stats : m_deadSoldiers) delete stats;
  m_deadSoldiers.clear();
}

// ---- levels and soldier records ------------------------------------------------------

void GameSessionManager::LoadLevelTable() {
  m_levelTable.clear();
  VScriptResourceManager* manager = Vision::GetScriptManager();
  IVScriptInstance* script = manager ? manager->GetGameScript() : nullptr;
  if (script && !script->IsValid()) script = nullptr;
  int count = 0;
  if (script && script->HasFunction("GetLevelCount")) script->ExecuteFunctionArg("GetLevelCount", "*>i", &count);
  for (int level = 0; level <= count; ++level) {
    int exp = 0;
    if (script && script->HasFunction("GetLevelExp")) script->ExecuteFunctionArg("GetLevelExp", "i>i", level, &exp);
    m_levelTable.push_back(exp);
  }
}

int GameSessionManager::GetNextLevelExp(int level) const {
  return level + 1 >= 0 && level + 1 < (int)m_levelTable.size() ? m_levelTable[level + 1] : -1;
}

namespace {

int64_t RecordId(const SoldierStats* stats) { return stats->GetTemplate() ? stats->GetTemplate()->m_iUniqueID : 0; }

// The record of the soldier in the list (by unique id), or a new default one filled
// from the soldier and appended.
void TieSoldierToRecord(std::vector<SoldierStats*>& records, SoldierEntity* soldier) {
  for (SoldierStats* stats : records) {
    if (RecordId(stats) == soldier->GetUniqueID()) {
      soldier->SetStats(stats);
      return;
    }
  }
  SoldierStats* stats = new SoldierStats();
  soldier->SaveToTemplate(stats->GetTemplate());
  soldier->SetStats(stats);
  records.push_back(stats);
}

// Moves the soldier's record (by unique id) from the list to the dead records.
bool MoveRecord(std::vector<SoldierStats*>& records, SoldierEntity* soldier, std::vector<SoldierStats*>& dead) {
  for (auto it = records.begin(); it != records.end(); ++it) {
    if (RecordId(*it) != soldier->GetUniqueID()) continue;
    dead.push_back(*it);
    records.erase(it);
    return true;
  }
  return false;
}

HeroUnitRecord* FindUnitRecord(HeroStats* hero, UnitEntity* unit) {
  for (int i = 0; i < hero->GetUnitRecordCount(); ++i) {
    HeroUnitRecord* record = hero->GetUnitRecord(i);
    if (record->m_pTemplate && record->m_pTemplate->m_iUniqueID == unit->GetUniqueID()) return record;
  }
  return nullptr;
}

}  // namespace

void GameSessionManager::AddSoldierToUnit(HeroStats* hero, UnitEntity* unit, SoldierEntity* soldier) {
  if (!unit || !soldier) {
    Vision::Error.ReportAssert("pUnit && pSoldier", "", __FILE__, __LINE__);
    return;
  }
  if (unit->IsHero()) return;
  if (hero) {
    HeroUnitRecord* record = FindUnitRecord(hero, unit);
    if (record) TieSoldierToRecord(record->m_soldiers, soldier);
    return;
  }
  TieSoldierToRecord(m_npcCharacters, soldier);
}

void GameSessionManager::RemoveSoldierFromUnit(UnitEntity* unit, SoldierEntity* soldier) {
  if (!unit || !soldier) return;
  HeroStats* hero = unit->GetHeroStats();
  if (!hero) {
    MoveRecord(m_npcCharacters, soldier, m_deadSoldiers);
    return;
  }
  if (hero == m_pPlayer && soldier->GetStats() && soldier->GetStats() == m_pPlayer->GetSoldierStats()) PlayerDied();
  HeroUnitRecord* record = FindUnitRecord(hero, unit);
  if (!record) return;
  MoveRecord(record->m_soldiers, soldier, m_deadSoldiers);
  if (record->m_soldiers.empty()) hero->DeleteUnitRecord(record);
}

void GameSessionManager::PlayerDied() {
  GUIManager* gui = GUIManager::GetInstance();
  if (gui->IsWindowVisible(WT_MISSION_LOAD_BAR)) gui->CloseWindow(WT_MISSION_LOAD_BAR, false);
  m_bPlayerAlive = false;
  gui->ShowFrame(WT_FADE_OUT);
  if (BaseWindow* frame = gui->FindWindowA(WT_FADE_OUT)) static_cast<FrameFadeOut*>(frame)->StartFadeOut();
  gui->ShowMessage("str_GAME_OVER", 5.0f, 2.0f);
  gui->ShowAdditionalMessage("", 5.0f, 2.0f);
  GameManager::GetInstance()->PlayerDiedLoadSave(3.0f);
}

SoldierStats* GameSessionManager::GetSoldierStats(int unitType) const {
  SoldierStats* stats = new SoldierStats();
  VScriptResourceManager* manager = Vision::GetScriptManager();
  IVScriptInstance* script = manager ? manager->GetGameScript() : nullptr;
  if (!script || !script->IsValid() || !script->HasFunction("GetSoldierStats")) return stats;
  int maxHp = stats->m_Hitpoints.GetMaximum();
  CombatSkills& c = stats->m_CombatSkills;
  script->ExecuteFunctionArg("GetSoldierStats", "i>iiiiiiif", unitType, &maxHp, &c.m_iMeleeMinDamage,
                             &c.m_iMeleeMaxDamage, &c.m_iRangedMinDamage, &c.m_iRangedMaxDamage, &c.m_iMeleeHitChance,
                             &c.m_iRangedHitChance, &stats->m_fSpeed);
  stats->m_Hitpoints.SetMaximum(maxHp);
  return stats;
}

void GameSessionManager::AddCollectable(CollectableEntityTemplate* collectable) {
  if (!collectable) return;
  // One entry per kind: another of a kind the player owns raises its count.
  if (CollectableEntityTemplate* owned =
          collectable->m_sKey.IsEmpty() ? nullptr : GetCollectableByName(collectable->m_sKey.AsChar())) {
    ++owned->m_iCount;
    collectable->DisposeObject();
    return;
  }
  m_collectables.push_back(collectable);
}

CollectableEntityTemplate* GameSessionManager::GetCollectableByName(const char* name) const {
  if (!name) return nullptr;
  for (CollectableEntityTemplate* collectable : m_collectables)
    if (collectable->m_sKey == name) return collectable;
  return nullptr;
}

bool GameSessionManager::UseCollectableByName(const char* name) {
  CollectableEntityTemplate* entry = GetCollectableByName(name);
  if (!entry) return false;
  // The item is used through an entity made from its stored form.
  int used = 0;
  if (VisBaseEntity_cl* entity = Vision::Game.CreateEntity(*entry)) {
    if (entity->IsOfType(CollectableEntity::GetClassTypeId())) used = static_cast<CollectableEntity*>(entity)->Use();
    entity->DisposeObject();
  }
  if (entry->m_bRemoveWhenUsed && used && --entry->m_iCount < 1) {
    m_collectables.erase(std::find(m_collectables.begin(), m_collectables.end(), entry));
    entry->DisposeObject();
  }
  return true;
}

namespace {
// Eyepatches are kept by the town's name key, which outlives the town entity and
// is the same in every scene; those found outside any town share the empty key.
VString EyepatchKey(TownEntity* town) { return town ? town->GetTownNameKey() : VString(); }
}  // namespace

void GameSessionManager::AddEyepatchTown(TownEntity* town, const VisVector_cl& position) {
  m_eyepatches.push_back({EyepatchKey(town), position});
}

std::vector<VisVector_cl> GameSessionManager::GetCollectedEyepatches(TownEntity* town) const {
  const VString key = EyepatchKey(town);
  std::vector<VisVector_cl> positions;
  for (const Eyepatch& patch : m_eyepatches)
    if (patch.townNameKey == key) positions.push_back(patch.position);
  return positions;
}

// The rank of a unit is its unit type, which picks the voice of its acknowledgements.
// With several selected the lowest value speaks for them.
int GameSessionManager::GetHighestUnitRank() const {
  const Player* player = RtsManager::GlobalManager().GetPlayer();
  if (!player || player->GetNumSelected() == 0) return 0;
  int rank = player->GetSelectionAt(0)->GetUnitType();
  for (int i = 1; i < player->GetNumSelected(); ++i)
    if (const UnitEntity* unit = player->GetSelectionAt((unsigned)i)) rank = std::min(rank, unit->GetUnitType());
  return rank;
}
