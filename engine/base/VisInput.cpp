// Keyboard and mouse state fed by the platform layer, and the input callbacks.
#include "engine/base/VisInput.h"

namespace Vision {
VisKey_cl Key;
VisMouse_cl Mouse;
}  // namespace Vision

VCallback VInputCallbacks::OnKeyDown;
VCallback VInputCallbacks::OnKeyUp;
VCallback VInputCallbacks::OnMouseButtonDown;
VCallback VInputCallbacks::OnMouseButtonUp;

bool VisKey_cl::ReadKey(int index, const bool* down, bool* singleHit, bool* consumed) const {
  if (index < 0 || index >= 256 || !down[index]) return false;
  if (!singleHit[index]) return true;
  if (consumed[index]) return false;
  consumed[index] = true;
  return true;
}

bool VisKey_cl::IsPressed(int key) const { return ReadKey(key, m_down, m_singleHit, m_consumed); }

bool VisKey_cl::IsPressed_SC(int scanCode) const { return ReadKey(scanCode, m_downSC, m_singleHitSC, m_consumedSC); }

void VisKey_cl::SetSingleHitMode(int key, bool on) {
  if (key >= 0 && key < 256) m_singleHit[key] = on;
}

void VisKey_cl::SetSingleHitMode_SC(int scanCode, bool on) {
  if (scanCode >= 0 && scanCode < 256) m_singleHitSC[scanCode] = on;
}

void VisKey_cl::Reset() {
  for (int i = 0; i < 256; ++i) {
    m_down[i] = m_downSC[i] = false;
    m_consumed[i] = m_consumedSC[i] = false;
  }
}

void VisKey_cl::InjectKey(int key, int scanCode, bool down) {
  if (key >= 0 && key < 256) {
    m_down[key] = down;
    if (!down) m_consumed[key] = false;
  }
  if (scanCode >= 0 && scanCode < 256) {
    m_downSC[scanCode] = down;
    if (!down) m_consumedSC[scanCode] = false;
  }
  VCallback& cb = down ? VInputCallbacks::OnKeyDown : VInputCallbacks::OnKeyUp;
  VInputCallbackDataObject data(&cb, key, scanCode, -1);
  cb.TriggerCallbacks(&data);
}

void VisKey_cl::Poll() {
  for (int i = 0; i < 256; ++i) {
    if (!m_down[i]) m_consumed[i] = false;
    if (!m_downSC[i]) m_consumedSC[i] = false;
  }
}

void VisMouse_cl::InjectButton(int b, bool down) {
  if (b < 0 || b >= 3) return;
  m_buttons[b] = down;
  VCallback& cb = down ? VInputCallbacks::OnMouseButtonDown : VInputCallbacks::OnMouseButtonUp;
  VInputCallbackDataObject data(&cb, -1, -1, b);
  cb.TriggerCallbacks(&data);
}
