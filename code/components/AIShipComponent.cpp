// Ship AI state, modes, script and saved block.
#include "components/AIShipComponent.h"

#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "entities/ShipEntity.h"
#include "entities/TownEntity.h"
#include "Managers/SaveGameManager.h"
#include "util/ArchiveLimits.h"
#include "util/MathTools.h"

#include "engine/base/VArchive.h"
#include "engine/base/VarTable.h"
#include "engine/core/VScriptManager.h"

namespace {
const char kBlockVersion = 5;
// Mode orders without a stored name.
const int kMsgModeIdle = 26;
const int kMsgModeSailing = 27;
const int kMsgModeGotoTown = 28;
// Script file names are bounded like the editor's text fields.
const int kMaxScriptName = 1024;
}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(AIShipComponent, BaseComponent, &AIShipComponent::BuildVarList)

void AIShipComponent::BuildVarList(VARTABLE& t) {
  V_DEFINE_VAR(t, AIShipComponent, m_bTryPreventCollision, VULPTYPE_BOOL, "Disable the ships collision detection",
               "TRUE", nullptr);
  VAR_STRING(t, AIShipComponent, m_sScriptFile, "Script for this AI ship", "");
}

// Half of the AI captains are cowards.
AIShipComponent::AIShipComponent() : m_bCoward(MathTools::RandomFloat() < 0.5f) {
  GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
}

AIShipComponent::~AIShipComponent() { GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this); }

void AIShipComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data || data->m_pSender != &GameManager::Callbacks.OnEntityDestroyed) return;
  const VisBaseEntity_cl* gone = static_cast<BaseEntityDataObject*>(data)->m_pEntity;
  if (m_pTargetShip && static_cast<VisBaseEntity_cl*>(m_pTargetShip) == gone) m_pTargetShip = nullptr;
  if (m_pTargetTown && static_cast<VisBaseEntity_cl*>(m_pTargetTown) == gone) m_pTargetTown = nullptr;
}

int AIShipComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  return ShipEntity::AcceptsComponentOwner(object, reason);
}

void AIShipComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  BaseComponent::SetOwner(owner);
  if (owner) LoadScript();
}

void AIShipComponent::SetAIMode(int mode) {
  m_iMode = mode;
  if (mode == AIMODE_IDLE) m_iAttackTargetNation = -1;
}

void AIShipComponent::MessageFunction(int id, INT_PTR p1, INT_PTR) {
  switch (id) {
    case VIS_MSG_USER_SHIP_MODE_ATTACK: m_iMode = AIMODE_ATTACK; break;
    case VIS_MSG_USER_SHIP_MODE_HOLD_FIRE: m_iMode = AIMODE_HOLD_FIRE; break;
    case VIS_MSG_USER_SHIP_MODE_FLEE: m_iMode = AIMODE_FLEE; break;
    case VIS_MSG_USER_SHIP_SINK: m_bActive = false; break;
    case VIS_MSG_USER_SHIP_DIES:
      if (p1 && reinterpret_cast<ShipEntity*>(p1) == m_pTargetShip) m_pTargetShip = nullptr;
      break;
    case kMsgModeIdle: SetAIMode(AIMODE_IDLE); break;
    case kMsgModeSailing: m_iMode = AIMODE_SAILING; break;
    case kMsgModeGotoTown: m_iMode = AIMODE_GOTO_TOWN; break;
    default: break;
  }
}

// ---- script ----------------------------------------------------------------------

void AIShipComponent::SetScript(const char* file) {
  m_sScriptFile = file ? file : "";
  LoadScript();
}

void AIShipComponent::LoadScript() {
  if (m_sScriptFile.IsEmpty() || !m_pOwner) return;
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  if (!scripts) return;
  scripts->RemoveScriptInstance(m_pOwner);
  if (IVScriptInstance* script = scripts->CreateScriptInstanceFromFile(m_sScriptFile.AsChar(), m_pOwner))
    scripts->SetScriptInstance(m_pOwner, script);
}

void AIShipComponent::RemoveScript() {
  m_sScriptFile.Reset();
  if (m_pOwner && Vision::GetScriptManager()) Vision::GetScriptManager()->RemoveScriptInstance(m_pOwner);
}

// ---- saved block -------------------------------------------------------------------

void AIShipComponent::Serialize(VArchive& ar) {
  BaseComponent::Serialize(ar);
  SerializeX(ar);
}

bool AIShipComponent::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kBlockVersion);
    ar << m_iSailMode << m_fHeading << m_fDecisionTimer << m_fTargetTimer << m_fAvoidanceTimer;
    ar << m_iApproachState << m_iMode << m_iAvoidanceState << m_bActive << m_bOnManualPath;
    ar << m_sScriptFile << m_bCoward << m_fLifeTime << m_iCanRemove << m_iAttackTargetNation;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "AIShipComponent", kBlockVersion);
  if (!block.IsOpen()) return false;
  decltype(m_iSailMode) sailMode = m_iSailMode;
  decltype(m_fHeading) heading = m_fHeading;
  decltype(m_fDecisionTimer) decisionTimer = m_fDecisionTimer;
  decltype(m_fTargetTimer) targetTimer = m_fTargetTimer;
  decltype(m_fAvoidanceTimer) avoidanceTimer = m_fAvoidanceTimer;
  decltype(m_iApproachState) approach = m_iApproachState;
  decltype(m_iMode) mode = m_iMode;
  decltype(m_iAvoidanceState) avoidance = m_iAvoidanceState;
  decltype(m_bActive) active = m_bActive;
  decltype(m_bOnManualPath) manualPath = m_bOnManualPath;
  decltype(m_bCoward) coward = m_bCoward;
  decltype(m_fLifeTime) lifeTime = m_fLifeTime;
  decltype(m_iCanRemove) canRemove = m_iCanRemove;
  decltype(m_iAttackTargetNation) attackNation = m_iAttackTargetNation;
  VString script;
  if (block.Has(2)) {
    ar >> sailMode >> heading >> decisionTimer >> targetTimer >> avoidanceTimer;
    ar >> approach >> mode >> avoidance >> active >> manualPath;
    if (!ArchiveLimits::ReadString(ar, script, kMaxScriptName)) return block.Fail();
  }
  if (block.Has(3)) ar >> coward;
  if (block.Has(4)) ar >> lifeTime >> canRemove;
  if (block.Has(5)) ar >> attackNation;
  if (!block.End()) return false;
  m_bCoward = coward;
  m_fLifeTime = lifeTime;
  m_iCanRemove = canRemove;
  m_iAttackTargetNation = attackNation;
  if (block.Has(2)) {
    m_iSailMode = sailMode;
    m_fHeading = heading;
    m_fDecisionTimer = decisionTimer;
    m_fTargetTimer = targetTimer;
    m_fAvoidanceTimer = avoidanceTimer;
    m_iApproachState = approach;
    m_iMode = mode;
    m_iAvoidanceState = avoidance;
    m_bActive = active;
    m_bOnManualPath = manualPath;
    m_sScriptFile = script;
    LoadScript();
  }
  return true;
}
