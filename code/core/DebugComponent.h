// Shows the names of the component messages its owner receives among the engine's
// screen messages, collapsing repeats into "<name> : (<count>)".
#pragma once

#include "engine/base/VCallback.h"
#include "engine/base/VString.h"
#include "engine/core/IVObjectComponent.h"

class DebugComponent : public IVObjectComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(DebugComponent)
 public:
  DebugComponent() = default;
  ~DebugComponent() override;

  // Per-frame updates while it has an owner.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  // A repeat of the last text is only counted; a different text first reports the
  // repeats counted so far, then shows itself.
  void SendScreenMessage(const char* text);
  // Reports the counted repeats once the interval has passed.
  virtual void Update();

  const char* GetLastMessage() const { return m_sLastMessage.AsChar(); }
  int GetRepeatCount() const { return m_iRepeatCount; }
  float GetIntervalMs() const { return m_fIntervalMs; }

 private:
  void FlushRepeats();

  int m_iRepeatCount = 0;
  float m_fElapsedMs = 0.0f;
  float m_fIntervalMs = 1000.0f;
  VString m_sLastMessage;  // a copy: callers may pass short-lived texts
};
