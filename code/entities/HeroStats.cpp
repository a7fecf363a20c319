// Hero records: skills from the game script, experience and levels, units, and
// the saved block.
#include "entities/HeroStats.h"

#include "entities/HeroUnitRecord.h"
#include "entities/SoldierStats.h"
#include "entities/UnitEntity.h"
#include "entities/UnitEntityTemplate.h"

#include "Managers/GameSessionManager.h"
#include "Managers/LocalizationTable.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SoundManager.h"
#include "core/GameManager.h"
#include "gui/GUIManager.h"
#include "util/ArchiveLimits.h"

#include "engine/base/VArchive.h"
#include "engine/base/VisError.h"
#include "engine/core/VScriptManager.h"

#include <algorithm>
#include <cstring>
#include <memory>

V_IMPLEMENT_DYNAMIC(HeroStats, VisTypedEngineObject_cl)

namespace {

// Every skill operation needs the game script; an assertion names what is missing.
IVScriptInstance* SkillScript() {
  VScriptResourceManager* manager = Vision::GetScriptManager();
  if (!manager) {
    Vision::Error.ReportAssert("pScriptMan", "ScriptManager not found!", __FILE__, __LINE__);
    return nullptr;
  }
  IVScriptInstance* script = manager->GetGameScript();
  if (!script || !script->IsValid()) {
    Vision::Error.ReportAssert("pScript", "Game script not loaded!", __FILE__, __LINE__);
    return nullptr;
  }
  return script;
}

// The signature of "GetSkill" and "GetSkillAt" after their two inputs.
const char* const kSkillOutputs = ">sssssiifffffffffffff";

// Calls a skill function with two inputs (a name or an index, and the skill group).
template <class First>
void CallSkillFunction(IVScriptInstance* script, const char* function, const char* inputs, First first, int group,
                       VString (&s)[5], int (&i)[2], float (&f)[13]) {
  std::string signature = std::string(inputs) + kSkillOutputs;
  script->ExecuteFunctionArg(function, signature.c_str(), first, group, &s[0], &s[1], &s[2], &s[3], &s[4], &i[0],
                             &i[1], &f[0], &f[1], &f[2], &f[3], &f[4], &f[5], &f[6], &f[7], &f[8], &f[9], &f[10],
                             &f[11], &f[12]);
}

// The default skill handed out for unknown names.
Skill& DefaultSkill() {
  static Skill skill;
  skill = Skill();
  return skill;
}

}  // namespace

HeroStats::HeroStats() : m_pCharacterTemplate(new UnitEntityTemplate("UnitEntity")), m_pSoldierStats(new SoldierStats()) {}

HeroStats::~HeroStats() {
  for (HeroUnitRecord* record : m_units) delete record;
  m_units.clear();
  m_skills.clear();
  if (m_pCharacterTemplate) m_pCharacterTemplate->DisposeObject();
  delete m_pSoldierStats;
}

// ---- skills -------------------------------------------------------------------------

Skill& HeroStats::GetSkillByName(const char* name) {
  for (Skill& skill : m_skills)
    if (name && skill.m_sName == name) return skill;
  return DefaultSkill();
}

bool HeroStats::HasSkill(const char* name) const {
  if (!name) return false;
  return std::any_of(m_skills.begin(), m_skills.end(), [&](const Skill& s) { return s.m_sName == name; });
}

void HeroStats::RemoveSkillByName(const char* name) {
  if (!name) return;
  auto it = std::find_if(m_skills.begin(), m_skills.end(), [&](const Skill& s) { return s.m_sName == name; });
  if (it != m_skills.end()) m_skills.erase(it);
}

int HeroStats::GetSkillGroup() const {
  int id = m_pCharacterTemplate ? m_pCharacterTemplate->m_iUnitType : 0;
  if (id == 2 || id == 4) return 2;
  if (id == 3 || id == 5) return 3;
  return 1;
}

bool HeroStats::StoreSkillOutputs(Skill& out, const VString (&s)[5], const int (&i)[2], const float (&f)[13]) {
  const char* name = s[0].AsChar();
  if (s[0].IsEmpty() || std::strstr("None", name)) return false;
  out.m_sName = s[0];
  out.m_sSecondText = s[1];
  out.m_sThirdText = s[2];
  out.m_sImage = s[3];
  out.m_sFifthText = s[4];
  out.m_bHeroSkill = i[0] != 0;
  out.m_bExcludedFromLearning = i[1] != 0;
  // Outputs 1-5 are values 1-5, 6 the damage factor, 7-11 values 8-12, 12-13 values 6-7.
  for (int n = 1; n <= 5; ++n) out.SetValue(n, f[n - 1]);
  out.SetValue(Skill::DAMAGE_FACTOR, f[5]);
  for (int n = 8; n <= 12; ++n) out.SetValue(n, f[n - 2]);
  out.SetValue(6, f[11]);
  out.SetValue(7, f[12]);
  return true;
}

void HeroStats::GetSkillInfo(Skill& out, const char* name) {
  IVScriptInstance* script = SkillScript();
  VString s[5];
  int i[2] = {0, 0};
  float f[13] = {};
  if (script && script->HasFunction("GetSkillInfo")) CallSkillFunction(script, "GetSkill", "si", name, GetSkillGroup(), s, i, f);
  if (!StoreSkillOutputs(out, s, i, f)) out = Skill();
}

void HeroStats::AddSkill(const char* name) {
  IVScriptInstance* script = SkillScript();
  if (!script || !script->HasFunction("GetSkill")) return;
  VString s[5];
  int i[2] = {0, 0};
  float f[13] = {};
  CallSkillFunction(script, "GetSkill", "si", name, GetSkillGroup(), s, i, f);
  Skill skill;
  if (StoreSkillOutputs(skill, s, i, f)) m_skills.push_back(skill);
}

std::vector<Skill> HeroStats::GetLearnableSkills(IVScriptInstance* script) const {
  std::vector<Skill> learnable;
  if (!script || !script->HasFunction("GetSkillAt") || !script->HasFunction("GetSkillCount")) return learnable;
  const int group = GetSkillGroup();
  int count = 0;
  script->ExecuteFunctionArg("GetSkillCount", "i>i", group, &count);
  for (int n = 1; n <= count; ++n) {
    VString s[5];
    int i[2] = {0, 0};
    float f[13] = {};
    CallSkillFunction(script, "GetSkillAt", "ii", n, group, s, i, f);
    Skill skill;
    if (!StoreSkillOutputs(skill, s, i, f)) continue;
    if (HasSkill(skill.m_sName.AsChar()) || skill.m_bExcludedFromLearning) continue;
    learnable.push_back(skill);
  }
  return learnable;
}

void HeroStats::AddNextSkill() {
  const std::vector<Skill> learnable = GetLearnableSkills(SkillScript());
  if (!learnable.empty()) AddSkill(learnable.front().m_sName.AsChar());
}

// ---- experience -----------------------------------------------------------------------

void HeroStats::AddExperience(int xp) {
  m_HeroSkills.m_iExperience += xp;
  const std::vector<int>& table = GameSessionManager::GetInstance()->GetLevelTable();
  while (m_HeroSkills.m_iLevel < (int)table.size() - 1 && m_HeroSkills.m_iExperience >= table[m_HeroSkills.m_iLevel]) {
    SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_LEVELUP, 1.0f, VisVector_cl(0, 0, 0), 10.0f, 400.0f, false);
    ++m_HeroSkills.m_iLevel;
    if (m_HeroSkills.m_iLevel % 3 == 0) AddNextSkill();
    ShowLevelUpMessage();
  }
}

void HeroStats::ShowLevelUpMessage() {
  const char* classKey = "";
  const char* path = m_pCharacterTemplate ? m_pCharacterTemplate->m_sUnitScript.AsChar() : "";
  if (std::strstr(path, "Pirate"))
    classKey = "str_HERO_CHARACTER_PIRATE";
  else if (std::strstr(path, "Corsair"))
    classKey = "str_HERO_CHARACTER_CORSAIR";
  else if (std::strstr(path, "Buccaneer"))
    classKey = "str_HERO_CHARACTER_BUCCANEER";
  LocalizationTable* texts = LocalizationTable::GetInstance();
  std::wstring className = *classKey ? texts->GetWideText(classKey) : std::wstring();
  GUIManager* gui = GUIManager::GetInstance();
  gui->ShowMessage(texts->GetText("str_HERO_LEVELUP", className), 5.0f, 2.0f);
  gui->ShowAdditionalMessage("", 5.0f, 2.0f);
}

// ---- units --------------------------------------------------------------------------------

bool HeroStats::AddUnitRecord(HeroUnitRecord* record) {
  if (!record || (int)m_units.size() >= MAX_UNITS) return false;
  m_units.push_back(record);
  return true;
}

void HeroStats::DeleteUnitRecord(HeroUnitRecord* record) {
  auto it = std::find(m_units.begin(), m_units.end(), record);
  if (it == m_units.end()) return;
  m_units.erase(it);
  delete record;
}

UnitEntity* HeroStats::GetUnitByIndex(int i) const {
  HeroUnitRecord* record = GetUnitRecord(i);
  if (!record || !record->m_pTemplate) return nullptr;
  VisBaseEntity_cl* entity = GameManager::GetInstance()->FindEntityByUniqueID(record->m_pTemplate->m_iUniqueID);
  return entity && entity->IsOfType(UnitEntity::GetClassTypeId()) ? static_cast<UnitEntity*>(entity) : nullptr;
}

bool HeroStats::HasUnit(UnitType type) const {
  return std::any_of(m_units.begin(), m_units.end(), [&](const HeroUnitRecord* r) {
    return r->m_pTemplate && r->m_pTemplate->m_iUnitType == (int)type;
  });
}

// ---- saved block ------------------------------------------------------------------------

bool HeroStats::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, 2);
    m_HeroSkills.SerializeX(ar);
    m_pCharacterTemplate->SerializeX(ar);
    m_pSoldierStats->SerializeX(ar);
    ar << (int)m_units.size();
    for (HeroUnitRecord* record : m_units) {
      record->m_pTemplate->SerializeX(ar);
      ar << record->m_sTownName << (int)record->m_soldiers.size();
      for (SoldierStats* soldier : record->m_soldiers) soldier->SerializeX(ar);
    }
    ar << (int)m_skills.size();
    for (Skill& skill : m_skills) skill.SerializeX(ar);
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "HeroStats", 2);
  if (!block.IsOpen()) return false;
  // Everything is read aside and taken over only when the whole block is good.
  HeroSkills heroSkills = m_HeroSkills;
  UnitEntityTemplate character = *m_pCharacterTemplate;
  SoldierStats soldier;
  soldier.CopyFrom(*m_pSoldierStats);
  std::vector<std::unique_ptr<HeroUnitRecord>> units;
  std::vector<Skill> skills;
  if (block.Has(2)) {
    if (!heroSkills.SerializeX(ar) || !character.SerializeX(ar) || !soldier.SerializeX(ar)) return block.Fail();
    // Every item begins with at least an int32.
    int unitCount = 0;
    if (!ArchiveLimits::ReadCount(ar, unitCount, 4, MAX_UNITS)) return block.Fail();
    for (int u = 0; u < unitCount; ++u) {
      HeroUnitRecord* record = units.emplace_back(new HeroUnitRecord()).get();
      if (!record->m_pTemplate->SerializeX(ar)) return block.Fail();
      ar >> record->m_sTownName;
      int soldierCount = 0;
      if (!ArchiveLimits::ReadCount(ar, soldierCount, 4)) return block.Fail();
      for (int s = 0; s < soldierCount; ++s) {
        record->m_soldiers.push_back(new SoldierStats());
        if (!record->m_soldiers.back()->SerializeX(ar)) return block.Fail();
      }
    }
    int skillCount = 0;
    if (!ArchiveLimits::ReadCount(ar, skillCount, 4)) return block.Fail();
    skills.assign((size_t)skillCount, Skill());
    for (Skill& skill : skills)
      if (!skill.SerializeX(ar)) return block.Fail();
  }
  if (!block.End()) return false;
  if (!block.Has(2)) return true;
  m_HeroSkills = heroSkills;
  *m_pCharacterTemplate = character;
  m_pSoldierStats->CopyFrom(soldier);
  for (HeroUnitRecord* record : m_units) delete record;
  m_units.clear();
  for (auto& record : units) m_units.push_back(record.release());
  m_skills = std::move(skills);
  return true;
}
