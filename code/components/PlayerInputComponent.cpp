// Keyboard control of the player's ship.
#include "components/PlayerInputComponent.h"

#include "components/CannonComponent.h"
#include "core/ComponentMessages.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "gui/GUIManager.h"
#include "Managers/PauseManager.h"
#include "Managers/SpeechManager.h"

#include "engine/base/VAction.h"
#include "engine/base/VarTable.h"
#include "engine/base/VisInput.h"
#include "engine/core/VisCallbacks.h"


namespace {

// Keyboard scan codes of the bindings.
const int kTurnLeftKeys[] = {0x1E, 0x4B};
const int kTurnRightKeys[] = {0x20, 0x4D};
const int kMoreSailKeys[] = {0x11, 0x48};
const int kLessSailKeys[] = {0x1F, 0x4C, 0x50};
const int kFireLeftKeys[] = {0x10, 0xCB, 0x47};
const int kFireRightKeys[] = {0x12, 0xCD, 0x49};
const int kSpecialKey = 0x39;

template <size_t N>
bool AnyHeld(const int (&keys)[N]) {
  for (int key : keys)
    if (Vision::Key.IsPressed_SC(key)) return true;
  return false;
}

bool InConversation() { return SpeechManager::HasInstance() && SpeechManager::GetInstance()->IsInConversation(); }

bool Paused() { return PauseManager::GetInstance()->IsAnyPaused(); }

// A HUD frame that took a click holds the keys off for a moment.
bool GuiBlocks() { return GUIManager::HasInstance() && GUIManager::GetInstance()->IsInputBlocked(); }

// The special weapons that charge while the key is held.
bool IsCharged(int weapon) {
  return weapon == PROJECTILE_HARPOON || weapon == PROJECTILE_MORTAR || weapon == PROJECTILE_HUMANCANNONBALL ||
         weapon == PROJECTILE_SLOWINGBARREL;
}

}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(PlayerInputComponent, BaseComponent, &PlayerInputComponent::BuildVarList)

void PlayerInputComponent::BuildVarList(VARTABLE& t) {
  V_DEFINE_VAR(t, PlayerInputComponent, m_bDoUpdate, VULPTYPE_BOOL, "Should the controls be handled", "TRUE", nullptr);
}

PlayerInputComponent::PlayerInputComponent() = default;

PlayerInputComponent::~PlayerInputComponent() { Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this); }

int PlayerInputComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  if (object->IsOfType("ShipEntity") || object->IsOfType("UnitEntity")) return 1;
  reason = "Component can only be added to instances of ShipEntity or derived classes.";
  return 0;
}

void PlayerInputComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  BaseComponent::SetOwner(owner);
  if (owner)
    Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  else
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
}

void PlayerInputComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) Update();
}

void PlayerInputComponent::MessageFunction(int id, INT_PTR, INT_PTR) {
  if (id == VIS_MSG_USER_SHIP_SINK) m_bDoUpdate = 0;
}

void PlayerInputComponent::Update() {
  if (InConversation() || !m_pOwner || !m_bDoUpdate || Paused()) return;
  if (!m_pOwner->IsExactType(ShipEntity::GetClassTypeId())) return;
  UpdateShip();
}

void PlayerInputComponent::UpdateShip() {
  if (Vision::Actions.IsConsoleOpen() || InConversation()) return;
  if (!GuiBlocks()) {
    if (AnyHeld(kTurnLeftKeys)) m_pOwner->SendMsg(VIS_MSG_USER_SHIP_TURNLEFT);
    if (AnyHeld(kTurnRightKeys)) m_pOwner->SendMsg(VIS_MSG_USER_SHIP_TURNRIGHT);
    if (AnyHeld(kMoreSailKeys)) m_pOwner->SendMsg(VIS_MSG_USER_SHIP_INCSAILMODE);
    if (AnyHeld(kLessSailKeys)) m_pOwner->SendMsg(VIS_MSG_USER_SHIP_DECSAILMODE);
    if (AnyHeld(kFireLeftKeys)) m_pOwner->SendMsg(VIS_MSG_USER_CANNON_IGNITE_LEFT, 1);
    if (AnyHeld(kFireRightKeys)) m_pOwner->SendMsg(VIS_MSG_USER_CANNON_IGNITE_RIGHT, 1);
  }

  // The charge goes on during a GUI block; the shot itself waits for its end (a
  // charge released meanwhile is dropped).
  ShipStats* stats = static_cast<ShipEntity*>(m_pOwner)->GetStats();
  const int weapon = stats ? stats->GetCurrentSpecialWeapon() : PROJECTILE_NONE;
  if (Vision::Key.IsPressed_SC(kSpecialKey)) {
    if (IsCharged(weapon)) {
      m_bCharging = true;
      m_pOwner->SendMsg(VIS_MSG_USER_CANNON_CHARGE_SPECIAL, weapon);
    } else {
      FireSpecial();
    }
  } else if (m_bCharging) {
    FireSpecial();
  }
}

void PlayerInputComponent::FireSpecial() {
  m_bCharging = false;
  if (!m_pOwner || !m_pOwner->IsOfType(ShipEntity::GetClassTypeId()) || GuiBlocks() || InConversation() ||
      Paused())
    return;
  ShipStats* stats = static_cast<ShipEntity*>(m_pOwner)->GetStats();
  const int weapon = stats ? stats->GetCurrentSpecialWeapon() : PROJECTILE_NONE;
  if (weapon != PROJECTILE_NONE) m_pOwner->SendMsg(VIS_MSG_USER_CANNON_FIRE_SPECIAL, weapon);
}
