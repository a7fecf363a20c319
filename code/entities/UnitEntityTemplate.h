// The stored form of a unit: the engine template from which units are created and
// into which the campaign writes a unit it keeps between scenes.
#pragma once

#include "engine/base/VString.h"
#include "engine/core/VisGame.h"

#include <cstdint>

class UnitEntity;
class VArchive;

class UnitEntityTemplate : public VisEntityTemplate_cl {
 public:
  explicit UnitEntityTemplate(const char* className = "UnitEntity");
  ~UnitEntityTemplate() override = default;

  // Runs for the unit the engine creates from the template.
  void ApplyToEntity(VisBaseEntity_cl* entity) override { OnEntityCreated(entity); }
  // Hands the unique id (a fresh one when the template has none), the counts, the
  // nation, the scripts and the names to a UnitEntity.
  void OnEntityCreated(VisBaseEntity_cl* entity);
  // Every field the template shares with a unit, from the unit (UnitEntity::SaveToTemplate).
  void TakeFieldsFrom(UnitEntity& unit);

  // "ARCH", version 4 (see the cpp for the fields), "EOA".
  bool SerializeX(VArchive& ar);

  bool operator==(const UnitEntityTemplate& other) const { return m_iUniqueID == other.m_iUniqueID; }

  int m_iTemplateFlag = 1;
  float m_fBillboardDistance = 100.0f;
  int m_iNumSoldiers = 0;
  int m_iMaxNumSoldiers = 0;
  int m_iUnitWidth = 1;
  int m_iNation = 0;
  VString m_sUnitScript;
  VString m_sSoldierScriptFile;
  VString m_sUnitName;
  VString m_sSecondName;
  VString m_sUnitImage;
  VString m_sSkillImage;
  VString m_sImageSet;
  int m_iReserved1 = 0;
  int m_iReserved2 = 0;
  int m_iUnitType = 0;
  int64_t m_iUniqueID = 0;
  // A second engine vector of the stored form, kept as it was read.
  VisVector_cl m_vSecondVector{0, 0, 0, 1};

 private:
  // How a shared field travels; every field goes to the template.
  enum FieldRule {
    TO_UNIT = 1,           // to the unit created from the template
    TO_UNIT_IF_UNSET = 2,  // to the unit only while the unit's own value is 0
    SCRIPT_MAY_SET = 4,    // back to the template after a unit script is attached
  };
  // The one list of the fields a unit and its template share: fn(unit field,
  // template field, rules) for each.
  template <class Fn>
  static void ForEachSharedField(UnitEntity& unit, UnitEntityTemplate& templ, Fn&& fn);
};
