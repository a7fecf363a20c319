// Mission objects: flags, script and saved block.
#include "Missions/BaseMissionProto.h"

#include "Managers/SaveGameManager.h"

#include "engine/Vision.h"
#include "engine/base/VArchive.h"
#include "engine/base/VarTable.h"
#include "engine/core/VScriptManager.h"

namespace {
const int kBlockVersion = 3;
}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(BaseMissionProto, VisTypedEngineObject_cl, &BaseMissionProto::BuildVarList)
V_IMPLEMENT_DYNCREATE(StoryLineMissionProto, BaseMissionProto)
V_IMPLEMENT_DYNCREATE(FactionMissionProto, BaseMissionProto)
V_IMPLEMENT_DYNCREATE(SideQuestProto, BaseMissionProto)

void BaseMissionProto::BuildVarList(VARTABLE& t) {
  VAR_BOOL(t, BaseMissionProto, m_bCompleted, "Mission completed", "FALSE");
  VAR_BOOL(t, BaseMissionProto, m_bTrackThis, "Mission Tracking", "FALSE");
  VAR_BOOL(t, BaseMissionProto, m_bFailed, "Mission Failed", "FALSE");
  VAR_BOOL(t, BaseMissionProto, m_bIsInConversation, "This mission started the conversation", "FALSE");
}

BaseMissionProto::~BaseMissionProto() = default;

void BaseMissionProto::LoadScriptInstance(const VString& file) {
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  if (file.IsEmpty() || !scripts || scripts->GetScriptInstance(this)) return;
  if (IVScriptInstance* script = scripts->CreateScriptInstanceFromFile(file.AsChar(), this))
    scripts->SetScriptInstance(this, script);
}

IVScriptInstance* BaseMissionProto::GetScriptInstance() const {
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  return scripts ? scripts->GetScriptInstance(const_cast<BaseMissionProto*>(this)) : nullptr;
}

void BaseMissionProto::CallScriptFunction(const char* name) {
  IVScriptInstance* script = GetScriptInstance();
  if (script && script->IsValid() && script->HasFunction(name)) script->ExecuteFunctionArg(name, "*");
}

void BaseMissionProto::Serialize(VArchive& ar) {
  VisTypedEngineObject_cl::Serialize(ar);
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  if (ar.IsSaving()) {
    scripts->WriteScriptInstance(ar, GetScriptInstance());
    SaveGameManagerProto::BeginBlock(ar, kBlockVersion);
    ar << m_bCompleted << m_bTrackThis;
    SaveGameManagerProto::EndBlock(ar);
    return;
  }
  if (!ar.IsOK()) return;
  IVScriptInstance* script = scripts->ReadScriptInstance(ar, this);
  if (!ar.IsOK()) return;
  if (script) scripts->SetScriptInstance(this, script);
  SavedBlockReader block(ar, "BaseMissionProto", kBlockVersion);
  if (!block.IsOpen()) return;
  int completed = m_bCompleted;
  int tracked = m_bTrackThis;
  if (block.Has(2)) ar >> completed;
  if (block.Has(3)) ar >> tracked;
  if (!block.End()) return;
  m_bCompleted = completed ? 1 : 0;
  m_bTrackThis = tracked ? 1 : 0;
  m_bFailed = 0;
  m_bIsInConversation = 0;
}
