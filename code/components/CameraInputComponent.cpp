// Camera input: the trigger map and the per-frame camera messages.
#include "components/CameraInputComponent.h"

#include "components/CameraBaseComponent.h"
#include "entities/CameraEntity.h"
#include "gui/GUIManager.h"
#include "Managers/SpeechManager.h"

#include "engine/base/VAction.h"
#include "engine/base/VisInput.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisGame.h"

V_IMPLEMENT_DYNCREATE(CameraInputComponent, IVObjectComponent)

namespace {

const int kTriggerCount = 32;
const int kAlternatives = 4;
const float kDeadZone = 0.2f;

// Held movement keys by scan code, one message per row however many are held.
struct MoveRow {
  int message;
  int keys[3];
};
const MoveRow kMoveRows[] = {
    {101, {0x11, 0x48, -1}},  // W, numeric pad 8
    {102, {0x1F, 0x4C, 0x50}},  // S, numeric pad 5 and 2
    {103, {0x1E, 0x4B, -1}},  // A, numeric pad 4
    {104, {0x20, 0x4D, -1}},  // D, numeric pad 6
    {105, {0xC8, -1, -1}},    // cursor up
    {106, {0xD0, -1, -1}},    // cursor down
};

bool RowHeld(const MoveRow& row) {
  for (int key : row.keys)
    if (key >= 0 && Vision::Key.IsPressed_SC(key)) return true;
  return false;
}

bool MovementAllowed() {
  if (Vision::Actions.IsConsoleOpen()) return false;
  if (SpeechManager::HasInstance() && SpeechManager::GetInstance()->IsInConversation()) return false;
  return !(GUIManager::HasInstance() && GUIManager::GetInstance()->WaitAfterConversation());
}

}  // namespace

CameraInputComponent::CameraInputComponent() : m_pInputMap(new VInputMap(kTriggerCount, kAlternatives)) {}

CameraInputComponent::~CameraInputComponent() {
  Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  delete m_pInputMap;
}

int CameraInputComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!IVObjectComponent::CanAttachToObject(object, reason)) return 0;
  if (object && object->IsOfType(CameraEntity_cl::GetClassTypeId())) return 1;
  reason = CameraBaseComponent_cl::kOwnerReason;
  return 0;
}

void CameraInputComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  IVObjectComponent::SetOwner(owner);
  if (owner) {
    InitInputMap();
    Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  } else {
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  }
}

void CameraInputComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) Update();
}

void CameraInputComponent::InitInputMap() {
  if (!m_pInputMap) return;
  // Attaching again must not stack a second set of alternatives.
  m_pInputMap->Clear();
  VInputMap& map = *m_pInputMap;
  auto once = [&map](int trigger, unsigned control) { map.MapTrigger(trigger, V_KEYBOARD, control, true); };
  auto value = [&map](int trigger, unsigned control) { map.MapTriggerValue(trigger, V_KEYBOARD, control, kDeadZone); };

  once(0, 123);
  once(1, 124);
  once(2, 125);
  once(3, 126);
  const unsigned valueKeys[] = {161, 157, 139, 142};
  for (int i = 0; i < 4; ++i) value(4 + i, valueKeys[i]);
  value(8, 102);
  value(9, 103);
  once(12, 144);
  once(13, 163);
  const unsigned rangeKeys[] = {179, 173, 175, 177, 180, 174, 178, 172, 171, 170};
  for (int i = 0; i < 10; ++i) value(14 + i, rangeKeys[i]);
  once(24, 127);
  value(26, 76);
  value(27, 155);
  value(28, 143);
  map.MapTriggerAxis(31, V_MOUSE, VMOUSE_WHEEL_DOWN, VMOUSE_WHEEL_UP, 0.0f);
}

void CameraInputComponent::Update() {
  if (Vision::Actions.IsConsoleOpen() || !m_pOwner) return;
  VisTypedEngineObject_cl* owner = m_pOwner;
  auto trigger = [this](int t) { return m_pInputMap ? m_pInputMap->GetTrigger(t) : 0.0f; };
  auto send = [this, owner](int id, INT_PTR p1) {
    // A behaviour may take the camera entity's components away meanwhile.
    if (m_pOwner == owner) Vision::Game.SendMsg(owner, id, p1, 0);
  };

  const int hitMessages[] = {113, 114, 115, 131};
  for (int i = 0; i < 4; ++i)
    if (trigger(i) != 0.0f) send(hitMessages[i], 0);

  const int heldTriggers[] = {10, 11, 27, 28};
  for (int i = 0; i < 4; ++i) send(107 + i, trigger(heldTriggers[i]) != 0.0f ? 1 : 0);

  const bool allowed = MovementAllowed();
  for (const MoveRow& row : kMoveRows) send(row.message, allowed && RowHeld(row) ? 1 : 0);

  send(133, trigger(26) != 0.0f ? 1 : 0);

  const float wheel = trigger(31);
  send(111, wheel < 0.0f ? 1 : 0);
  send(112, wheel > 0.0f ? 1 : 0);
}
