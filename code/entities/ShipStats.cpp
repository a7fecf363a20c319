// The ship record: special weapons, upgrades, the copy for bought ships and the
// saved block with its version gates.
#include "entities/ShipStats.h"

#include "entities/UpgradeEntity.h"
#include "entities/UpgradeEntityTemplate.h"
#include "Managers/SaveGameManager.h"
#include "util/ArchiveLimits.h"

#include "engine/base/VArchive.h"
#include "engine/base/VisError.h"
#include "engine/core/VisGame.h"

#include <algorithm>
#include <cstring>
#include <memory>

ShipStats::~ShipStats() {
  for (UpgradeEntityTemplate* upgrade : m_upgrades) upgrade->DisposeObject();
}

// ---- upgrades ---------------------------------------------------------------------

UpgradeEntityTemplate* ShipStats::GetUpgradeByName(const char* name) const {
  if (!name) return nullptr;
  for (UpgradeEntityTemplate* upgrade : m_upgrades) {
    const char* own = upgrade->m_sName.AsChar();
    if (own && *own && std::strcmp(own, name) == 0) return upgrade;
  }
  return nullptr;
}

UpgradeEntityTemplate* ShipStats::GetUpgrade(unsigned int i) const {
  return i < m_upgrades.size() ? m_upgrades[i] : nullptr;
}

void ShipStats::AddUpgrade(UpgradeEntityTemplate* upgrade) {
  if (!upgrade || CheckUpgradeByName(upgrade->m_sName.AsChar())) return;
  m_upgrades.push_back(upgrade);
  VisBaseEntity_cl* entity = Vision::Game.CreateEntity(*upgrade);
  if (entity && entity->IsOfType(UpgradeEntity::GetClassTypeId())) static_cast<UpgradeEntity*>(entity)->Buy();
  else if (entity) entity->Remove();
}

// ---- special weapons ----------------------------------------------------------------

bool ShipStats::AddSpecialWeapon(int type) {
  if (HasSpecialWeapon(type)) return false;
  m_specialWeapons.push_back(type);
  return true;
}

bool ShipStats::HasSpecialWeapon(int type) const {
  return std::find(m_specialWeapons.begin(), m_specialWeapons.end(), type) != m_specialWeapons.end();
}

void ShipStats::NextSpecialWeapon() {
  if (++m_iCurrentSpecialIndex >= (int)m_specialWeapons.size()) m_iCurrentSpecialIndex = 0;
  if (!m_specialWeapons.empty()) m_iCurrentSpecialWeapon = m_specialWeapons[m_iCurrentSpecialIndex];
}

void ShipStats::PrevSpecialWeapon() {
  if (--m_iCurrentSpecialIndex < 0) m_iCurrentSpecialIndex = (int)m_specialWeapons.size() - 1;
  if (!m_specialWeapons.empty()) m_iCurrentSpecialWeapon = m_specialWeapons[m_iCurrentSpecialIndex];
}

// ---- copy --------------------------------------------------------------------------

void ShipStats::CopyTo(ShipStats& t) const {
  t.m_sShipName = m_sShipName;
  t.m_sScript = m_sScript;
  t.m_sLocation = m_sLocation;
  t.m_bPlayerShip = m_bPlayerShip;
  t.m_iNation = m_iNation;
  t.m_iColorScheme = m_iColorScheme;
  t.m_numbers = m_numbers;
  t.m_iCurrentSpecialWeapon = m_iCurrentSpecialWeapon;
  t.m_fSpeedMultiplier = m_fSpeedMultiplier;
  t.m_fDamageFactor = m_fDamageFactor;
  t.m_fTurnMultiplier = m_fTurnMultiplier;
  t.m_fBallFlightFactor = m_fBallFlightFactor;
  t.m_fReloadFactor = m_fReloadFactor;
  t.m_fBoardingTime = m_fBoardingTime;
  t.m_hull = m_hull;
  t.m_sails = m_sails;
  t.m_iExperienceAmount = m_iExperienceAmount;
  t.m_vSavedPosition = m_vSavedPosition;
  t.m_vSavedOrientation = m_vSavedOrientation;
  t.m_sIcon = m_sIcon;
  t.m_iUniqueID = m_iUniqueID;
  t.m_spComponentStream = m_spComponentStream;
  t.m_fDamageRating = m_fDamageRating;
  t.m_fSpeedRating = m_fSpeedRating;
  t.m_fManeuveringRating = m_fManeuveringRating;
  t.m_fToughnessRating = m_fToughnessRating;
  t.m_iLevel = m_iLevel;
  t.m_iPrice = m_iPrice;
  t.m_iUnlockPrice = m_iUnlockPrice;
  t.m_iSellValue = m_iSellValue;
  t.m_specialWeapons = m_specialWeapons;
  t.m_sFlagTexture = m_sFlagTexture;
}

// ---- saved block ---------------------------------------------------------------------

bool ShipStats::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, CurrentVersion);
    ar << m_sShipName << m_sScript << m_sLocation << m_sIcon;
    ar << m_iNation << m_iColorScheme;
    m_hull.SerializeX(ar);
    m_sails.SerializeX(ar);
    ar << m_bPlayerShip << m_iUniqueID << m_iCurrentSpecialWeapon;
    ar << m_vSavedPosition << m_vSavedOrientation;
    ar << m_fSpeedMultiplier << m_fDamageFactor << m_fTurnMultiplier << m_fBallFlightFactor << m_fReloadFactor;
    ar << (int)m_numbers.size();
    for (int n : m_numbers) ar << n;
    ar << (int)m_upgrades.size();
    for (UpgradeEntityTemplate* upgrade : m_upgrades) upgrade->SerializeX(ar);
    if (m_spComponentStream) {
      ar << 1;
      m_spComponentStream->SerializeX(ar);
    } else {
      ar << 0;
    }
    ar << m_fBoardingTime;
    ar << m_fCannonBallDamage << m_fRocketDamage << m_fMineDamage << m_fMortarDamage << m_fMirvDamage;
    ar << m_fDamageRating << m_fSpeedRating << m_fManeuveringRating << m_fToughnessRating;
    ar << m_iPrice << m_iSellValue;
    ar << (int)m_specialWeapons.size();
    for (int w : m_specialWeapons) ar << w;
    ar << m_iLevel << m_iMinLoot << m_iMaxLoot << m_iUnlockPrice;
    ar << m_sFlagTexture;
    ar << m_bCanCapture;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }

  SavedBlockReader block(ar, "ShipStats", CurrentVersion);
  if (!block.IsOpen()) return false;
  ShipStatsValues r = *this;
  std::vector<std::unique_ptr<UpgradeEntityTemplate, void (*)(UpgradeEntityTemplate*)>> upgrades;
  if (block.Has(2)) {
    ar >> r.m_sShipName >> r.m_sScript >> r.m_sLocation >> r.m_sIcon;
    ar >> r.m_iNation >> r.m_iColorScheme;
    if (!r.m_hull.SerializeX(ar) || !r.m_sails.SerializeX(ar)) return block.Fail();
    ar >> r.m_bPlayerShip >> r.m_iUniqueID >> r.m_iCurrentSpecialWeapon;
    ar >> r.m_vSavedPosition >> r.m_vSavedOrientation;
    ar >> r.m_fSpeedMultiplier >> r.m_fDamageFactor >> r.m_fTurnMultiplier >> r.m_fBallFlightFactor >>
        r.m_fReloadFactor;
    int count = 0;
    if (!ArchiveLimits::ReadCount(ar, count, 4)) return block.Fail();
    r.m_numbers.resize((size_t)count);
    for (int& n : r.m_numbers) ar >> n;
    // An upgrade block is at least its two tags and its version.
    if (!ArchiveLimits::ReadCount(ar, count, 16)) return block.Fail();
    for (int i = 0; i < count; ++i) {
      upgrades.emplace_back(new UpgradeEntityTemplate(), [](UpgradeEntityTemplate* u) { u->DisposeObject(); });
      if (!upgrades.back()->SerializeX(ar)) return block.Fail();
    }
    int hasStream = 0;
    ar >> hasStream;
    if (hasStream && ar.IsOK()) {
      VSmartPtr<SerializableStream> stream = new SerializableStream("<ShipStream>");
      if (!stream->SerializeX(ar)) return block.Fail();
      r.m_spComponentStream = stream;
    }
  }
  if (block.Has(3)) ar >> r.m_fBoardingTime;
  if (block.Has(4))
    ar >> r.m_fCannonBallDamage >> r.m_fRocketDamage >> r.m_fMineDamage >> r.m_fMortarDamage >> r.m_fMirvDamage;
  if (block.Has(5)) ar >> r.m_fDamageRating >> r.m_fSpeedRating >> r.m_fManeuveringRating >> r.m_fToughnessRating;
  if (block.Has(6)) ar >> r.m_iPrice >> r.m_iSellValue;
  if (block.Has(7)) {
    int count = 0;
    if (!ArchiveLimits::ReadCount(ar, count, 4)) return block.Fail();
    r.m_specialWeapons.resize((size_t)count);
    for (int& w : r.m_specialWeapons) ar >> w;
  }
  // Blocks from before the list knew only the selected weapon.
  if (r.m_specialWeapons.empty() && r.m_iCurrentSpecialWeapon != 0)
    r.m_specialWeapons.push_back(r.m_iCurrentSpecialWeapon);
  if (block.Has(8)) ar >> r.m_iLevel;
  if (block.Has(9)) ar >> r.m_iMinLoot >> r.m_iMaxLoot;
  if (block.Has(10)) ar >> r.m_iUnlockPrice;
  if (block.Has(11)) ar >> r.m_sFlagTexture;
  if (block.Has(12)) ar >> r.m_bCanCapture;
  if (!block.End()) return false;
  static_cast<ShipStatsValues&>(*this) = r;
  for (auto& upgrade : upgrades) m_upgrades.push_back(upgrade.release());
  return true;
}

VArchive& operator<<(VArchive& ar, ShipStats& stats) {
  stats.SerializeX(ar);
  return ar;
}

VArchive& operator>>(VArchive& ar, ShipStats& stats) {
  stats.SerializeX(ar);
  return ar;
}
