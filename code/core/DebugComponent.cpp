// Message names on screen, with repeats counted and reported at most once a second.
#include "core/DebugComponent.h"

#include "core/ComponentMessages.h"

#include "engine/base/VisError.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VisCallbacks.h"


V_IMPLEMENT_DYNCREATE(DebugComponent, IVObjectComponent)

DebugComponent::~DebugComponent() { Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this); }

void DebugComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  IVObjectComponent::SetOwner(owner);
  if (owner)
    Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  else
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
}

void DebugComponent::MessageFunction(int id, INT_PTR p1, INT_PTR p2) {
  const char* name = GetComponentMessageName(id);
  SendScreenMessage(name ? name : "Undefined Message ");
}

void DebugComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) Update();
}

void DebugComponent::SendScreenMessage(const char* text) {
  if (!text) text = "";
  if (m_sLastMessage == text) {
    ++m_iRepeatCount;
    return;
  }
  if (m_iRepeatCount > 0) FlushRepeats();
  Vision::Message.Add("%s", text);
  m_sLastMessage = text;
}

void DebugComponent::Update() {
  if (m_iRepeatCount <= 0) return;
  m_fElapsedMs += Vision::Timer.GetTimeDifference() * 1000.0f;
  if (m_fElapsedMs >= m_fIntervalMs) FlushRepeats();
}

void DebugComponent::FlushRepeats() {
  Vision::Message.Add("%s : (%d)", m_sLastMessage.AsChar(), m_iRepeatCount);
  m_iRepeatCount = 0;
  m_fElapsedMs = 0.0f;
}
