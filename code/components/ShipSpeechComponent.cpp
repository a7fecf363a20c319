// A computer ship's lines: attacking, sinking and taunting the player.
#include "components/ShipSpeechComponent.h"

#include "components/AIShipComponent.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "entities/ShipEntity.h"
#include "gui/FrameSpeechBubble.h"
#include "gui/GUIManager.h"
#include "Managers/LocalizationTable.h"
#include "Managers/PauseManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SpeechManager.h"
#include "util/MathTools.h"

#include "engine/base/VArchive.h"
#include "engine/base/VarTable.h"
#include "engine/base/VisError.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VisCallbacks.h"
#include "engine/os/VOs.h"

#include <CEGUI/Window.h>

#include <cstdio>

namespace {

const char kBlockVersion = 2;
// The AI tells its ship that it turned to attack.
const int kMsgAIEngaged = 37;
// Nations whose ships taunt.
const int kFirstTauntingNation = 1;
const int kLastTauntingNation = 19;

const char* const kLineFormats[] = {"str_SHIP_SPEECH_ATTACKS_%i_%i", "str_SHIP_SPEECH_DESTROYED_%i_%i",
                                    "str_SHIP_SPEECH_IN_BATTLE_%i_%i"};

}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(ShipSpeechComponent, BaseComponent, &ShipSpeechComponent::BuildVarList)

void ShipSpeechComponent::BuildVarList(VARTABLE& t) {
  VAR_FLOAT(t, ShipSpeechComponent, m_fNPCReactRange, "NPC Range to react from", "30.0");
  VAR_FLOAT(t, ShipSpeechComponent, m_fSpeechDelay, "How long is the delay before the npc blurts another speech",
            "10.0");
}

ShipSpeechComponent::~ShipSpeechComponent() {
  if (m_bListening) Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
}

int ShipSpeechComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  if (object->IsOfType(ShipEntity::GetClassTypeId())) return 1;
  reason = "Component can only be added to instances of ShipEntity or derived classes.";
  return 0;
}

void ShipSpeechComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  BaseComponent::SetOwner(owner);
  if (owner && !m_bListening)
    Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  else if (!owner && m_bListening)
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  m_bListening = owner != nullptr;
}

void ShipSpeechComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) Update();
}

ShipEntity* ShipSpeechComponent::GetShip() const {
  return m_pOwner && m_pOwner->IsOfType(ShipEntity::GetClassTypeId()) ? static_cast<ShipEntity*>(m_pOwner) : nullptr;
}

void ShipSpeechComponent::MessageFunction(int id, INT_PTR, INT_PTR) {
  if (id == kMsgAIEngaged) {
    ShowLine(LINE_ATTACKS);
  } else if (id == VIS_MSG_USER_SHIP_SINK) {
    ShowLine(LINE_DESTROYED);
    m_bDestroyed = true;
  }
}

std::string ShipSpeechComponent::GetLineKey(Line line) const {
  const ShipEntity* ship = GetShip();
  const int nation = ship && ship->GetNation() > 0 ? ship->GetNation() : -1;
  char key[64];
  std::snprintf(key, sizeof(key), kLineFormats[line], nation, 0);
  return key;
}

bool ShipSpeechComponent::ShowLine(Line line) {
  ShipEntity* ship = GetShip();
  if (!ship) return false;
  const CEGUI::String text = LocalizationTable::GetInstance()->GetText(GetLineKey(line).c_str());
  SpeechManager* speech = SpeechManager::GetInstance();
  if (speech->HasBubble()) return false;
  GUIManager* gui = GUIManager::HasInstance() ? GUIManager::GetInstance() : nullptr;
  FrameSpeechBubble* bubble = gui ? gui->ShowSpeechBubble(LINE_SECONDS) : nullptr;
  // Without a bubble nothing is shown, and nothing keeps the next line back.
  if (!bubble) return false;
  CEGUI::Window* window = bubble->GetTextWindow();
  if (window) window->setText(text);
  bubble->SetEntity(ship);
  speech->SetSpeechBubbleBusy();
  // The line as the bubble holds it, for the log reader.
  Vision::Error.SystemMessage("ShipSpeechComponent: %s says \"%s\"", ship->GetObjectKey(),
                              window ? window->getText().c_str() : "");
  return true;
}

void ShipSpeechComponent::Update() {
  ShipEntity* ship = GetShip();
  if (!ship || ship->IsMarkedRemoved()) return;
  if (PauseManager::HasInstance() && PauseManager::GetInstance()->IsGamePaused()) return;
  VisBaseEntity_cl* player = GameManager::HasInstance() ? GameManager::GetInstance()->GetPlayerEntity() : nullptr;
  if (!player) return;

  if (!m_bSpoke) {
    if (MathTools::DistanceBetweenVectorsIgnoreZ(player->GetPosition(), ship->GetPosition()) > m_fNPCReactRange)
      return;
    const AIShipComponent* ai = ship->Components<AIShipComponent>();
    const int nation = ship->GetNation();
    if (!m_bDestroyed && (float)VRandomInt() / (float)V_RAND_MAX > TAUNT_CHANCE && ai &&
        ai->GetAIMode() == AIShipComponent::AIMODE_ATTACK && nation >= kFirstTauntingNation &&
        nation <= kLastTauntingNation) {
      const CEGUI::String taunt = LocalizationTable::GetInstance()->GetText(GetLineKey(LINE_IN_BATTLE).c_str());
      SpeechManager::GetInstance()->Say(ship, taunt, LINE_SECONDS);
    }
    // The roll is made: the next waits a whole delay.
    m_bSpoke = true;
    m_fDelayTimer = m_fSpeechDelay;
    return;
  }
  m_fDelayTimer -= Vision::Timer.GetTimeDifference();
  if (m_fDelayTimer > 0.0f) return;
  m_bSpoke = false;
  m_fDelayTimer = m_fSpeechDelay;
}

void ShipSpeechComponent::Serialize(VArchive& ar) {
  BaseComponent::Serialize(ar);
  SerializeX(ar);
}

bool ShipSpeechComponent::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kBlockVersion);
    ar << m_fNPCReactRange << m_fSpeechDelay;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "ShipSpeechComponent", kBlockVersion);
  if (!block.IsOpen()) return false;
  float range = m_fNPCReactRange, delay = m_fSpeechDelay;
  if (block.Has(2)) ar >> range >> delay;
  if (!block.End()) return false;
  m_fNPCReactRange = range;
  m_fSpeechDelay = delay;
  if (block.Has(2)) m_fDelayTimer = m_fSpeechDelay;
  return true;
}
