// The stored form of a unit and what it hands the unit created from it.
#include "entities/UnitEntityTemplate.h"

#include "core/GameManager.h"
#include "entities/SoldierEntityTemplate.h"
#include "entities/UnitEntity.h"
#include "Managers/SaveGameManager.h"
#include "util/ArchiveLimits.h"

#include "engine/base/VArchive.h"
#include "engine/core/VScriptManager.h"

#include <type_traits>

namespace {

const char kTemplateVersion = 4;
// The C strings of the block were read into buffers of 260 characters. The entity
// parameters hold every variable of the unit and run longer; they are bounded as a
// soldier's are, so that a unit's stored form reads back what it wrote.
const int kMaxCStringLength = 259;
const int kMaxParameterLength = SoldierEntityTemplate::MAX_PARAMETER_LENGTH;

}  // namespace

UnitEntityTemplate::UnitEntityTemplate(const char* className) {
  m_sClassName = className ? className : "UnitEntity";
}

template <class Fn>
void UnitEntityTemplate::ForEachSharedField(UnitEntity& unit, UnitEntityTemplate& templ, Fn&& fn) {
  fn(unit.m_fBillboardDistance, templ.m_fBillboardDistance, TO_UNIT);
  fn(unit.m_iNation, templ.m_iNation, TO_UNIT);
  fn(unit.m_iNumSoldiers, templ.m_iNumSoldiers, TO_UNIT);
  fn(unit.m_iMaxNumSoldiers, templ.m_iMaxNumSoldiers, TO_UNIT);
  fn(unit.m_iUnitWidth, templ.m_iUnitWidth, TO_UNIT);
  fn(unit.m_sSoldierScriptFile, templ.m_sSoldierScriptFile, TO_UNIT);
  fn(unit.m_sTypeImage, templ.m_sUnitImage, TO_UNIT | SCRIPT_MAY_SET);
  fn(unit.m_sSkillImage, templ.m_sSkillImage, TO_UNIT | SCRIPT_MAY_SET);
  fn(unit.m_sImageSet, templ.m_sImageSet, TO_UNIT | SCRIPT_MAY_SET);
  fn(unit.m_sUnitTypeName, templ.m_sUnitName, TO_UNIT | SCRIPT_MAY_SET);
  fn(unit.m_sSecondName, templ.m_sSecondName, TO_UNIT | SCRIPT_MAY_SET);
  fn(unit.m_iUnitType, templ.m_iUnitType, TO_UNIT_IF_UNSET | SCRIPT_MAY_SET);
  // The unit takes its script by attaching it (OnEntityCreated).
  fn(unit.m_sUnitScript, templ.m_sUnitScript, 0);
}

void UnitEntityTemplate::TakeFieldsFrom(UnitEntity& unit) {
  ForEachSharedField(unit, *this, [](auto& unitField, auto& templField, int) { templField = unitField; });
}

void UnitEntityTemplate::OnEntityCreated(VisBaseEntity_cl* entity) {
  if (!entity || !entity->IsOfType(UnitEntity::GetClassTypeId())) return;
  UnitEntity* unit = static_cast<UnitEntity*>(entity);

  if (m_iUniqueID == 0) m_iUniqueID = GameManager::GetInstance()->GetNextUniqueID();
  unit->SetUniqueID(m_iUniqueID);

  ForEachSharedField(*unit, *this, [](auto& unitField, auto& templField, int rules) {
    if (rules & TO_UNIT) {
      unitField = templField;
    } else if (rules & TO_UNIT_IF_UNSET) {
      if constexpr (std::is_arithmetic_v<std::decay_t<decltype(unitField)>>)
        if (unitField == 0) unitField = templField;
    }
  });
  unit->m_sUnitName = m_sUnitName;

  VScriptResourceManager* scripts = Vision::GetScriptManager();
  if (unit->m_sSoldierScriptFile.IsEmpty() && scripts && scripts->GetGameScript()) {
    IVScriptInstance* game = scripts->GetGameScript();
    if (game->HasFunction("SelectHeroScript")) {
      // The selected hero comes with the campaign's player record; 0 until then.
      const int heroScriptId = 0;
      VString script;
      game->ExecuteFunctionArg("SelectHeroScript", "i>s", heroScriptId, &script);
      unit->m_sSoldierScriptFile = script;
    }
  }

  if (!m_sUnitScript.IsEmpty() && scripts && !scripts->GetScriptInstance(unit)) {
    unit->m_sUnitScript = m_sUnitScript;
    // Its "OnCreate" follows from the unit's initialisation, which comes next.
    if (IVScriptInstance* script = scripts->CreateScriptInstanceFromFile(m_sUnitScript.AsChar())) {
      scripts->SetScriptInstance(unit, script);
      // The script may have named and typed the unit.
      ForEachSharedField(*unit, *this, [](auto& unitField, auto& templField, int rules) {
        if (rules & SCRIPT_MAY_SET) templField = unitField;
      });
    }
  }
}

bool UnitEntityTemplate::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kTemplateVersion);
    ar << (m_iTemplateFlag != 0) << m_vPosition;
    ar << m_sClassName << m_sModelFile << m_sKey << m_sEntityParams;
    ar << m_vOrientation << m_vSecondVector;
    ar << m_fBillboardDistance << m_iNumSoldiers << m_iMaxNumSoldiers << m_iUnitWidth << m_iNation;
    ar << m_sSoldierScriptFile << m_iReserved1 << m_iReserved2;
    ar << m_sUnitScript << m_sUnitImage << m_sImageSet;
    ar << m_iUniqueID;
    ar << m_sUnitName << m_sSecondName << m_iUnitType << m_sSkillImage;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }

  SavedBlockReader block(ar, "UnitEntityTemplate", kTemplateVersion);
  if (!block.IsOpen()) return false;
  // Read into a copy: fields the block does not hold keep their values, and a
  // failed block changes nothing.
  UnitEntityTemplate read(*this);
  if (block.Has(2)) {
    bool flag = false;
    ar >> flag >> read.m_vPosition;
    if (!ArchiveLimits::ReadString(ar, read.m_sClassName, kMaxCStringLength) ||
        !ArchiveLimits::ReadString(ar, read.m_sModelFile, kMaxCStringLength) ||
        !ArchiveLimits::ReadString(ar, read.m_sKey, kMaxCStringLength) ||
        !ArchiveLimits::ReadString(ar, read.m_sEntityParams, kMaxParameterLength))
      return block.Fail();
    ar >> read.m_vOrientation >> read.m_vSecondVector;
    ar >> read.m_fBillboardDistance >> read.m_iNumSoldiers >> read.m_iMaxNumSoldiers >> read.m_iUnitWidth >>
        read.m_iNation;
    if (read.m_iNumSoldiers > UnitEntity::MAX_SOLDIERS_TO_CREATE) return block.Fail("asks for more soldiers than a unit holds");
    ar >> read.m_sSoldierScriptFile >> read.m_iReserved1 >> read.m_iReserved2;
    ar >> read.m_sUnitScript >> read.m_sUnitImage >> read.m_sImageSet;
    ar >> read.m_iUniqueID;
    ar >> read.m_sUnitName >> read.m_sSecondName;
    read.m_iTemplateFlag = flag ? 1 : 0;
  }
  if (block.Has(3)) ar >> read.m_iUnitType;
  if (block.Has(4)) ar >> read.m_sSkillImage;
  if (!block.End()) return false;
  *this = read;
  if (block.Has(2)) GameManager::GetInstance()->AddUniqueID(m_iUniqueID);
  return true;
}
