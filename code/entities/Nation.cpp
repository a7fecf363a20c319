// Nations: reputation, enemies, ships and their saved block.
#include "entities/Nation.h"

#include "Managers/SaveGameManager.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "util/ArchiveLimits.h"

#include "engine/base/VArchive.h"

#include <algorithm>

namespace {
const char kVersion = 4;
// Longest name kept when a block is read.
const int kMaxNameLength = 1024;

float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }
}  // namespace

Nation::Nation(int id, const char* name) : m_iId(id), m_sName(name), m_ships(8, nullptr) {}

Nation::~Nation() = default;

void Nation::SetReputation(float r) { m_fReputation = Clamp01(r); }
void Nation::AddReputation(float d) { m_fReputation = Clamp01(m_fReputation + d); }
void Nation::DecReputation(float d) { m_fReputation = Clamp01(m_fReputation - d); }

void Nation::AddEnemy(int id) {
  if (id != m_iId) m_enemies.insert(id);
}
void Nation::AddEnemy(const Nation* nation) {
  if (nation) AddEnemy(nation->GetNationId());
}
void Nation::RemoveEnemy(int id) { m_enemies.erase(id); }
void Nation::RemoveEnemy(const Nation* nation) {
  if (nation) RemoveEnemy(nation->GetNationId());
}
bool Nation::IsEnemy(int id) const { return m_enemies.count(id) != 0; }
bool Nation::IsEnemy(const Nation* nation) const { return nation && IsEnemy(nation->GetNationId()); }

void Nation::AddShip(ShipEntity* ship) {
  const unsigned used = m_ships.GetValidSize();
  for (unsigned i = 0; i < used; ++i)
    if (m_ships.Get(i) == ship) return;
  m_ships.Insert(ship);
}

void Nation::RemoveShip(ShipEntity* ship) {
  if (!ship) return;
  const unsigned used = m_ships.GetValidSize();
  for (unsigned i = 0; i < used; ++i)
    if (m_ships.Get(i) == ship) {
      m_ships[i] = nullptr;
      return;
    }
}

void Nation::ResetShips() { m_ships.Reset(); }

ShipEntity* Nation::GetPlayerShip() const {
  const unsigned used = m_ships.GetValidSize();
  for (unsigned i = 0; i < used; ++i) {
    ShipEntity* ship = m_ships.Get(i);
    if (ship && ship->GetStats() && ship->GetStats()->IsPlayerShip()) return ship;
  }
  return nullptr;
}

bool Nation::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kVersion);
    ar << m_iId << m_bMansionAccessible << m_sName << m_fReputation;
    ar << (int)m_enemies.size();
    for (int id : m_enemies) ar << id;
    ar << (int)m_shipScripts.size();
    for (const VString& script : m_shipScripts) ar << script;
    ar << m_iType;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }

  SavedBlockReader block(ar, "Nation", kVersion);
  if (!block.IsOpen()) return false;
  int id = m_iId, type = m_iType;
  bool mansion = m_bMansionAccessible;
  char name[kMaxNameLength + 1] = "";
  float reputation = m_fReputation;
  std::vector<int> enemies;
  std::vector<VString> scripts = m_shipScripts;
  if (block.Has(2)) {
    ar >> id >> mansion;
    ar.ReadStringBinary(name, (int)sizeof(name));
    ar >> reputation;
  }
  if (block.Has(3)) {
    int count = 0;
    if (!ArchiveLimits::ReadCount(ar, count, 4)) return block.Fail();
    enemies.assign((size_t)count, 0);
    for (int& enemy : enemies) ar >> enemy;
    if (!ArchiveLimits::ReadCount(ar, count, 4)) return block.Fail();
    scripts.resize((size_t)count);
    for (VString& script : scripts) ar >> script;
  }
  if (block.Has(4)) ar >> type;
  if (!block.End()) return false;
  if (block.Has(2)) {
    m_iId = id;
    m_bMansionAccessible = mansion;
    m_sName = name;
    m_fReputation = Clamp01(reputation);
    // The ships of the loaded scene add themselves again.
    ResetShips();
  }
  if (block.Has(3)) {
    m_enemies.clear();
    for (int enemy : enemies) AddEnemy(enemy);
    m_shipScripts = std::move(scripts);
  }
  m_iType = type;
  return true;
}

VArchive& operator<<(VArchive& ar, Nation& nation) {
  nation.SerializeX(ar);
  return ar;
}

VArchive& operator>>(VArchive& ar, Nation& nation) {
  nation.SerializeX(ar);
  return ar;
}
