// Towns: the town script's values by name, the ship scripts of the town's harbour
// and its name tag.
#include "entities/TownEntity.h"

#include "components/NameTagComponent.h"
#include "Managers/SaveGameManager.h"
#include "util/ArchiveLimits.h"
#include "util/ComponentSetup.h"

#include "engine/base/VArchive.h"
#include "engine/base/VarTable.h"
#include "engine/core/VScriptManager.h"

namespace {

const char kDefaultTownScript[] = "scripts/towns/stronghold_pirate.lua";
const char kNoTownName[] = "str_TOWN_NONE";
const float kSpawnDistance = 25.0f;
const char kTownVersion = 7;
// Script paths and ship scripts are file names.
const int kMaxPathLength = 1024;

}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(TownEntity, StaticEntity, &TownEntity::BuildVarList)
V_IMPLEMENT_DYNCREATE(StrongholdEntity, TownEntity)

void TownEntity::BuildVarList(VARTABLE& t) {
  VAR_TEXT(t, TownEntity, m_sTownScript, VULPTYPE_SCRIPT_FILE, "town scriptfile", kDefaultTownScript);
  VAR_BOOL(t, TownEntity, m_bWorldLevel, "is this town in worldlevel", "0");
}

TownEntity::TownEntity() : m_sTownScript(kDefaultTownScript) {
  m_bSave = 0;
  SetTraceAccuracy(VIS_TRACEACC_AABOX);
}

TownEntity::~TownEntity() = default;

void TownEntity::CommonInit() {
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  if (!m_sTownScript.IsEmpty() && scripts && !scripts->GetScriptInstance(this)) {
    if (IVScriptInstance* script = scripts->CreateScriptInstanceFromFile(m_sTownScript.AsChar()))
      scripts->SetScriptInstance(this, script);
  }
  ComponentSetup::TakeOrAdd<NameTagComponent>(this);
}

void TownEntity::ReloadTownScript() {
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  if (m_sTownScript.IsEmpty() || !scripts) return;
  if (IVScriptInstance* script = scripts->CreateScriptInstanceFromFile(m_sTownScript.AsChar()))
    scripts->SetScriptInstance(this, script);
}

void TownEntity::SetScript(const char* file) {
  m_sTownScript = file;
  ReloadTownScript();
}

void TownEntity::SetSceneFile(const VString& file) { SetScriptValue("sSceneFile", file); }

VString TownEntity::GetSceneFile() {
  VString file;
  GetScriptValue("sSceneFile", file);
  return file;
}

void TownEntity::SetSceneType(int type) { SetScriptValue("iSceneType", type); }

int TownEntity::GetSceneType() {
  int type = 0;
  GetScriptValue("iSceneType", type);
  return type;
}

bool TownEntity::IsAccessible() {
  bool accessible = false;
  GetScriptValue("bIsAccessible", accessible);
  return accessible;
}

void TownEntity::SetAccessible(bool accessible) { SetScriptValue("bIsAccessible", accessible); }

bool TownEntity::IsFound() {
  bool found = false;
  GetScriptValue("bFound", found);
  return found;
}

void TownEntity::SetFound(bool found) { SetScriptValue("bFound", found); }

int TownEntity::GetMaxCollectableCount() {
  int count = 0;
  GetScriptValue("iMaxCollectables", count);
  return count;
}

void TownEntity::SetMaxCollectableCount(int count) { SetScriptValue("iMaxCollectables", count); }

const VString& TownEntity::GetTownNameKey() {
  if (m_sTownNameKey.IsEmpty() && (!GetScriptValue("sNameKey", m_sTownNameKey) || m_sTownNameKey.IsEmpty()))
    m_sTownNameKey = kNoTownName;
  return m_sTownNameKey;
}

void TownEntity::SetTownNameKey(const char* key) {
  if (key) SetScriptValue("sNameKey", key);
  m_sTownNameKey = key;
}

VisVector_cl TownEntity::GetSpawnPosition() const {
  VisVector_cl spawn = GetPosition() - GetRotationMatrix().GetColumn(0) * kSpawnDistance;
  spawn.w = 1.0f;
  return spawn;
}

void TownEntity::Serialize(VArchive& ar) {
  BaseEntity::Serialize(ar);
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kTownVersion);
    ar << m_sTownScript << (int)m_shipScripts.size();
    for (const VString& script : m_shipScripts) ar << script;
    ar << m_bWorldLevel;
    SaveGameManagerProto::EndBlock(ar);
    return;
  }

  SavedBlockReader block(ar, GetClassTypeName(), kTownVersion);
  if (!block.IsOpen()) return;
  // Versions 2 to 4 carried one to three values that nothing uses any more.
  const int version = block.GetVersion();
  if (version >= 2 && version <= 4) {
    for (int i = 0; i < version - 1; ++i) {
      int dropped = 0;
      ar >> dropped;
    }
  }
  VString script = m_sTownScript;
  std::vector<VString> shipScripts = m_shipScripts;
  int worldLevel = 1;
  if (block.Has(5) && !ArchiveLimits::ReadString(ar, script, kMaxPathLength)) return (void)block.Fail();
  if (block.Has(6)) {
    int count = 0;
    if (!ArchiveLimits::ReadCount(ar, count, 4)) return (void)block.Fail("ship script count");
    shipScripts.assign((size_t)count, VString());
    for (VString& ship : shipScripts)
      if (!ArchiveLimits::ReadString(ar, ship, kMaxPathLength)) return (void)block.Fail();
  }
  if (block.Has(7)) ar >> worldLevel;
  if (!block.End()) return;

  m_sTownScript = script;
  m_shipScripts = std::move(shipScripts);
  m_bWorldLevel = worldLevel;
  // Towns of the world map are never picked by trace lines; older blocks held only those.
  if (m_bWorldLevel) SetCanTrace(false);
  m_bSave = 0;
  SetTraceAccuracy(VIS_TRACEACC_AABOX);
}

void TownEntity::OnDeserializationCallback(void* context) {
  BaseEntity::OnDeserializationCallback(context);
  CommonInit();
}
