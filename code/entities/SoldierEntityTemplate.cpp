// Stored form of a soldier.
#include "entities/SoldierEntityTemplate.h"

#include "entities/SoldierEntity.h"

#include "Managers/SaveGameManager.h"
#include "core/GameManager.h"
#include "util/ArchiveLimits.h"

#include "engine/base/VArchive.h"

SoldierEntityTemplate::SoldierEntityTemplate() {
  m_sClassName = "SoldierEntity";
  m_vPosition = VisVector_cl(0, 0, 0, 1);
  m_vOrientation = VisVector_cl(0, 0, 0, 1);
  m_vScaling = VisVector_cl(1, 1, 1, 1);
  m_bFlag = true;
}

bool SoldierEntityTemplate::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, 3);
    ar << m_bFlag << m_vPosition << m_sModelFile << m_sKey << m_sEntityParams << m_vOrientation << m_vScaling
       << m_iNation << m_iUniqueID << (int)m_weaponIds.size();
    for (int id : m_weaponIds) ar << id;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "SoldierEntityTemplate", 3);
  if (!block.IsOpen()) return false;
  SoldierEntityTemplate r(*this);
  if (block.Has(2)) {
    ar >> r.m_bFlag >> r.m_vPosition;
    if (!ArchiveLimits::ReadString(ar, r.m_sModelFile, MAX_NAME_LENGTH) ||
        !ArchiveLimits::ReadString(ar, r.m_sKey, MAX_NAME_LENGTH) ||
        !ArchiveLimits::ReadString(ar, r.m_sEntityParams, MAX_PARAMETER_LENGTH))
      return block.Fail();
    ar >> r.m_vOrientation >> r.m_vScaling >> r.m_iNation >> r.m_iUniqueID;
  }
  if (block.Has(3)) {
    int count = 0;
    if (!ArchiveLimits::ReadCount(ar, count, 4)) return block.Fail();
    r.m_weaponIds.assign((size_t)count, 0);
    for (int& id : r.m_weaponIds) ar >> id;
  }
  if (!block.End()) return false;
  *this = r;
  if (block.Has(2)) GameManager::GetInstance()->AddUniqueID(m_iUniqueID);
  return true;
}

void SoldierEntityTemplate::CopySharedFields(SoldierEntity& soldier, bool toTemplate) {
  GameManager* gm = GameManager::GetInstance();
  // Unique id: whichever side has none takes the next one, and both hold it.
  if (toTemplate) {
    if (soldier.GetUniqueID() == 0) soldier.SetUniqueID(gm->GetNextUniqueID());
    m_iUniqueID = soldier.GetUniqueID();
  } else {
    if (m_iUniqueID == 0) m_iUniqueID = gm->GetNextUniqueID();
    soldier.SetUniqueID(m_iUniqueID);
  }
  if (toTemplate)
    m_iNation = soldier.GetNation();
  else
    soldier.SetNation(m_iNation);
  // Weapons travel as their ids in GameManager's table.
  if (toTemplate) {
    m_weaponIds.clear();
    for (int i = 0; i < soldier.GetWeaponCount(); ++i) m_weaponIds.push_back(soldier.GetWeapon(i)->m_iId);
  } else {
    for (int id : m_weaponIds) soldier.AddWeapon(gm->GetWeapon(id));
  }
}

void SoldierEntityTemplate::TakeFieldsFrom(SoldierEntity& soldier) { CopySharedFields(soldier, true); }

void SoldierEntityTemplate::OnEntityCreated(VisBaseEntity_cl* entity) {
  if (!entity || !entity->IsOfType(SoldierEntity::GetClassTypeId())) return;
  CopySharedFields(*static_cast<SoldierEntity*>(entity), false);
}
