// A unit the player never selects, patrolling a scene path.
#include "components/NPCUnitComponent.h"

#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "entities/FSM/IdleState.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"
#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"
#include "engine/base/VarTable.h"
#include "engine/base/VisError.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VisCallbacks.h"

#include <cstring>
#include <vector>

namespace {
const char kBlockVersion = 2;
// Yellow, 0xRRGGBBAA.
const uint32_t kSpeechColour = 0xFFFF00FF;
}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(NPCUnitComponent, BaseComponent, &NPCUnitComponent::BuildVarList)

void NPCUnitComponent::BuildVarList(VARTABLE& t) {
  VAR_FLOAT(t, NPCUnitComponent, m_fReactRange, "Range to react from", "2.0");
  VAR_FLOAT(t, NPCUnitComponent, m_fSpeechTime, "How long text shown in seconds if 0.0 npc wont speak at all", "3.0");
}

NPCUnitComponent::~NPCUnitComponent() { Listen(false); }

int NPCUnitComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  if (object && object->IsOfType(UnitEntity::GetClassTypeId())) return 1;
  reason = "Component can only be added to instances of UnitEntity or derived classes.";
  return 0;
}

void NPCUnitComponent::Listen(bool on) {
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

void NPCUnitComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  BaseComponent::SetOwner(owner);
  Listen(owner != nullptr);
}

void NPCUnitComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) Update();
}

void NPCUnitComponent::Update() {
  if (!m_pOwner || !m_pOwner->IsOfType(UnitEntity::GetClassTypeId()) || !m_spFollowPath) return;
  auto* unit = static_cast<UnitEntity*>(m_pOwner);
  const int nodes = m_spFollowPath->GetPathNodeCount();
  if (nodes <= 0) return;
  // A path that lost nodes since the last move starts over.
  if (m_iCurrentNode < 0 || m_iCurrentNode >= nodes) m_iCurrentNode = 0;
  VisPathNode_cl* node = m_spFollowPath->GetPathNode(m_iCurrentNode);
  if (!node) return;

  int idle = 0;
  for (SoldierEntity* soldier : unit->GetSoldiers()) {
    StateMachine<SoldierEntity>* machine = soldier ? soldier->GetStateMachine() : nullptr;
    if (machine && machine->GetCurrentState() == IdleState::GetInstance()) ++idle;
  }
  if (idle <= unit->GetNumSoldiers() / 2) return;

  const VisVector_cl target = node->GetPosition();
  const std::vector<SoldierEntity*> soldiers = unit->GetSoldiers();
  for (SoldierEntity* soldier : soldiers)
    if (soldier) soldier->SendMsg(VIS_MSG_USER_UNIT_DESTINATION_REACHED, 0, 0);
  unit->SetTarget(target, VIS_MSG_USER_UNIT_MOVE, 0, false);
  m_iCurrentNode = m_iCurrentNode + 1 < nodes ? m_iCurrentNode + 1 : 0;
}

void NPCUnitComponent::UpdateTalking() {
  if (!m_pOwner || !m_pOwner->IsOfType(VisObject3D_cl::GetClassTypeId())) return;
  const VisVector_cl p = static_cast<VisObject3D_cl*>(m_pOwner)->GetPosition();
  Vision::Message.Print3D(p.x, p.y, p.z + SPEECH_HEIGHT, kSpeechColour, "%s", m_szSpeechText);
  m_fSpeechTimer -= Vision::Timer.GetTimeDifference();
}

void NPCUnitComponent::SetSpeechText(const char* text) {
  std::strncpy(m_szSpeechText, text ? text : "", SPEECH_TEXT_SIZE - 1);
  m_szSpeechText[SPEECH_TEXT_SIZE - 1] = '\0';
}

void NPCUnitComponent::Serialize(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kBlockVersion);
    ar << m_fReactRange;
    SaveGameManagerProto::EndBlock(ar);
    return;
  }
  SavedBlockReader block(ar, "NPCUnitComponent", kBlockVersion);
  if (!block.IsOpen()) return;
  float range = m_fReactRange;
  if (block.Has(2)) ar >> range;
  if (!block.End()) return;
  m_fReactRange = range;
}
