// NPC speech: "Init" when the player comes near (or clicks), "Update" each frame
// until the script says the speech is over, then a pause before a looped NPC may
// speak again.
#include "components/SpeechComponent.h"

#include "core/GameManager.h"
#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"
#include "engine/base/VarTable.h"
#include "engine/core/VScriptManager.h"
#include "engine/core/VisBaseEntity.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisWorld.h"

#include <cmath>

namespace {
const char kBlockVersion = 2;
}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(SpeechComponent, BaseComponent, &SpeechComponent::BuildVarList)

void SpeechComponent::BuildVarList(VARTABLE& t) {
  VAR_FLOAT(t, SpeechComponent, m_fNPCReactRange, "NPC Range to react from", "10.0");
  VAR_FLOAT(t, SpeechComponent, m_fSpeechDelay, "How long is the delay before the npc blurts another speech", "10.0");
  VAR_BOOL(t, SpeechComponent, m_bActivationOnly, "Does the entity speak only when clicked?", "FALSE");
  VAR_BOOL(t, SpeechComponent, m_bLooped, "Does the NPC repeat the speach", "FALSE");
  VAR_STRING(t, SpeechComponent, m_szScriptFile, "Speech script file", "");
}

SpeechComponent::~SpeechComponent() { Listen(false); }

int SpeechComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  if (object && object->IsOfType(VisBaseEntity_cl::GetClassTypeId())) return 1;
  reason = "Component can only be added to instances of VisBaseEntity_cl or derived classes.";
  return 0;
}

void SpeechComponent::Listen(bool on) {
  if (on == m_bListening) return;
  m_bListening = on;
  if (on) {
    Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
    GameManager::Callbacks.OnUnitRemoved.RegisterCallback(this);
  } else {
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
    GameManager::Callbacks.OnUnitRemoved.DeregisterCallback(this);
  }
}

void SpeechComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  BaseComponent::SetOwner(owner);
  Listen(owner != nullptr);
  if (!owner) return;
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  if (!Vision::Editor.IsInEditor() && !m_szScriptFile.IsEmpty() && scripts) {
    if (IVScriptInstance* script = scripts->CreateScriptInstanceFromFile(m_szScriptFile.AsChar()))
      scripts->SetScriptInstance(this, script);
  }
  // Clickable, so the player can poke it.
  static_cast<VisBaseEntity_cl*>(owner)->SetTraceAccuracy(VIS_TRACEACC_OBOX);
}

IVScriptInstance* SpeechComponent::GetScript() const {
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  IVScriptInstance* script = scripts ? scripts->GetScriptInstance(const_cast<SpeechComponent*>(this)) : nullptr;
  return script && script->IsValid() ? script : nullptr;
}

void SpeechComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  // The player entity is asked for afresh each frame, so a removed unit leaves
  // nothing behind here.
  if (data && data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) Update();
}

bool SpeechComponent::PlayerInRange() const {
  VisBaseEntity_cl* player = GameManager::GetInstance()->GetPlayerEntity();
  if (!player || !m_pOwner) return false;
  const VisVector_cl a = player->GetPosition();
  const VisVector_cl b = static_cast<VisObject3D_cl*>(m_pOwner)->GetPosition();
  return std::hypot(a.x - b.x, a.y - b.y) < m_fNPCReactRange;
}

void SpeechComponent::Start(IVScriptInstance* script) {
  if (script->HasFunction("Init")) script->ExecuteFunctionArg("Init", "");
  m_bActive = true;
  m_iSpeechState = 0;
  // The pause before a repeat runs from the start of each speech's end, the first one too.
  m_fDelayTimer = m_fSpeechDelay;
}

void SpeechComponent::Update() {
  IVScriptInstance* script = GetScript();
  if (!m_pOwner || !script || !GameManager::GetInstance()->GetPlayerEntity()) return;
  if (PlayerInRange() && !m_bActivationOnly && !m_bActive) Start(script);
  if (m_bActive && m_iSpeechState < 1) {
    int state = m_iSpeechState;
    if (script->HasFunction("Update")) script->ExecuteFunctionArg("Update", "f>i", Vision::Timer.GetTimeDifference(), &state);
    m_iSpeechState = state;
    return;
  }
  if (!m_bActive || m_iSpeechState <= 0) return;
  if (m_bLooped) {
    m_fDelayTimer -= Vision::Timer.GetTimeDifference();
    if (m_fDelayTimer <= 0.0f) {
      m_fDelayTimer = m_fSpeechDelay;
      m_bActive = false;
      m_iSpeechState = 0;
    }
  } else {
    Vision::GetScriptManager()->RemoveScriptInstance(this);
  }
}

void SpeechComponent::Poked() {
  IVScriptInstance* script = GetScript();
  if (!m_pOwner || !script || m_bActive || !PlayerInRange()) return;
  Start(script);
}

void SpeechComponent::Serialize(VArchive& ar) {
  BaseComponent::Serialize(ar);
  SerializeX(ar);
}

bool SpeechComponent::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kBlockVersion);
    ar << m_fNPCReactRange << m_fSpeechDelay << m_bActivationOnly << m_bLooped << m_szScriptFile;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "SpeechComponent", kBlockVersion);
  if (!block.IsOpen()) return false;
  float range = m_fNPCReactRange, delay = m_fSpeechDelay;
  int activationOnly = m_bActivationOnly, looped = m_bLooped;
  VString file = m_szScriptFile;
  if (block.Has(2)) ar >> range >> delay >> activationOnly >> looped >> file;
  if (!block.End()) return false;
  m_fNPCReactRange = range;
  m_fSpeechDelay = delay;
  m_bActivationOnly = activationOnly;
  m_bLooped = looped;
  m_szScriptFile = file;
  return true;
}
