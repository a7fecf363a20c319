// Triggers bound to keyboard, mouse and pad controls, read once per frame by the game.
#include "engine/base/VisInput.h"

#include <cmath>

namespace {
float g_pad[256] = {};

// Keyboard control values above 255 that the game binds (see VisInput.h).
enum CtrlRule { CTRL_ANY, CTRL_DOWN, CTRL_UP };
struct LargeKeyControl {
  unsigned control;
  int key;  // -1: no key
  CtrlRule ctrl;
};
const LargeKeyControl kLargeKeyControls[] = {
    {0xFF0000B9u, VGLK_F2, CTRL_ANY},  {0xFF0000BFu, VGLK_F8, CTRL_ANY},  {0xFF00009Au, -1, CTRL_ANY},
    {0x4007Bu, '1', CTRL_DOWN},        {0x4007Cu, '2', CTRL_DOWN},        {0x4007Du, '3', CTRL_DOWN},
    {0x4007Eu, '4', CTRL_DOWN},        {0x400007Bu, '1', CTRL_UP},        {0x400007Cu, '2', CTRL_UP},
    {0x400007Du, '3', CTRL_UP},        {0x400007Eu, '4', CTRL_UP},
};

bool IsKeyControlDown(unsigned control) {
  if (control < 256) return Vision::Key.IsHeld((int)control);
  for (const LargeKeyControl& c : kLargeKeyControls) {
    if (c.control != control) continue;
    if (c.key < 0 || !Vision::Key.IsHeld(c.key)) return false;
    const bool ctrl = Vision::Key.IsHeld(VGLK_MODIFIER_B);
    return c.ctrl == CTRL_ANY || (c.ctrl == CTRL_DOWN) == ctrl;
  }
  return false;
}
}  // namespace

void VSetPadControl(int control, float value) {
  if (control >= 0 && control < 256) g_pad[control] = value;
}

float VGetPadControl(int control) { return control >= 0 && control < 256 ? g_pad[control] : 0.0f; }

VInputMap::VInputMap(int triggers, int alternatives)
    : m_triggers(triggers > 0 ? triggers : 0), m_alternatives(alternatives > 0 ? alternatives : 0) {
  m_bindings.resize((size_t)m_triggers * (size_t)m_alternatives);
}

void VInputMap::Clear() {
  for (Binding& b : m_bindings) b = Binding();
}

float VInputMap::ReadControl(int device, unsigned control) const {
  switch (device) {
    case V_KEYBOARD:
      return IsKeyControlDown(control) ? 1.0f : 0.0f;
    case V_MOUSE: {
      const int delta = Vision::Mouse.GetWheelValue() - Vision::Mouse.GetPreviousWheelValue();
      if (control == VMOUSE_WHEEL_UP) return delta > 0 ? (float)delta : 0.0f;
      if (control == VMOUSE_WHEEL_DOWN) return delta < 0 ? (float)-delta : 0.0f;
      return control < 3 && Vision::Mouse.IsButtonPressed((int)control) ? 1.0f : 0.0f;
    }
    case V_PAD0:
      return control < 256 ? g_pad[control] : 0.0f;
    default:
      return 0.0f;
  }
}

namespace {
bool ValidDevice(int device) { return device == V_KEYBOARD || device == V_MOUSE || device == V_PAD0; }
}  // namespace

int VInputMap::MapTrigger(int trigger, int device, unsigned control, bool once) {
  if (trigger < 0 || trigger >= m_triggers || !ValidDevice(device)) return -1;
  for (int a = 0; a < m_alternatives; ++a) {
    Binding& b = m_bindings[(size_t)trigger * m_alternatives + a];
    if (b.device >= 0) continue;
    b = Binding();
    b.device = device;
    b.control = control;
    b.kind = once ? 0 : 1;
    return a;
  }
  return -1;
}

int VInputMap::MapTriggerValue(int trigger, int device, unsigned control, float deadZone) {
  int a = MapTrigger(trigger, device, control, false);
  if (a >= 0) m_bindings[(size_t)trigger * m_alternatives + a].deadZone = deadZone;
  return a;
}

int VInputMap::MapTriggerAxis(int trigger, int device, unsigned negControl, unsigned posControl, float deadZone) {
  int a = MapTrigger(trigger, device, posControl, false);
  if (a < 0) return -1;
  Binding& b = m_bindings[(size_t)trigger * m_alternatives + a];
  b.kind = 2;
  b.control2 = negControl;
  b.deadZone = deadZone;
  return a;
}

float VInputMap::GetTrigger(int trigger) {
  if (trigger < 0 || trigger >= m_triggers) return 0.0f;
  float best = 0.0f;
  for (int a = 0; a < m_alternatives; ++a) {
    Binding& b = m_bindings[(size_t)trigger * m_alternatives + a];
    if (b.device < 0) continue;
    float v = 0.0f;
    if (b.kind == 0) {
      const bool down = ReadControl(b.device, b.control) > 0.5f;
      v = down && !b.wasDown ? 1.0f : 0.0f;
      b.wasDown = down;
    } else {
      v = ReadControl(b.device, b.control);
      if (b.kind == 2) v -= ReadControl(b.device, b.control2);
      if (std::fabs(v) <= b.deadZone) v = 0.0f;
    }
    if (std::fabs(v) > std::fabs(best)) best = v;
  }
  return best;
}
