// Input devices: keyboard (engine key codes and scan codes), mouse, the input
// map of triggers, and the input callbacks that carry key and button events.
#pragma once

#include "engine/base/VCallback.h"
#include "engine/base/VString.h"

#include <map>
#include <vector>

// Engine key codes: ASCII-like for 13, 27, 32, 95; named constants for the rest.
enum VEngineKey_e {
  VGLK_MODIFIER_A = 4,  // Shift
  VGLK_MODIFIER_B = 5,  // Ctrl
  VGLK_NAMETAG = 6,
  VGLK_ENTER = 13,
  VGLK_ESC = 27,
  VGLK_SPACE = 32,
  VGLK_SPAWNER_DEBUG = 78,
  VGLK_THIRD_CLOSE = 95,
  VGLK_F1 = 112, VGLK_F2, VGLK_F3, VGLK_F4, VGLK_F5, VGLK_F6, VGLK_F7, VGLK_F8,
  VGLK_F9, VGLK_F10, VGLK_F11, VGLK_F12,
  VGLK_COUNT = 256
};

class VBASE_IMPEXP VisKey_cl {
 public:
  // Held, by engine key code / by scan code (set-1 numbering). A key in single-hit
  // mode answers true once per press.
  bool IsPressed(int key) const;
  bool IsPressed_SC(int scanCode) const;
  // Held, whatever the single-hit mode (the input map reads keys this way).
  bool IsHeld(int key) const { return key >= 0 && key < 256 && m_down[key]; }
  bool IsHeld_SC(int scanCode) const { return scanCode >= 0 && scanCode < 256 && m_downSC[scanCode]; }
  // A single-hit key reports a press once until it is released.
  void SetSingleHitMode(int key, bool on);
  void SetSingleHitMode_SC(int scanCode, bool on);
  // Forgets every pressed key.
  void Reset();
  // The platform layer and the input replay feed events here; either code may be
  // -1 when unknown. Fires VInputCallbacks::OnKeyDown / OnKeyUp after the state changed.
  void InjectKey(int key, int scanCode, bool down);
  // Per-frame bookkeeping: a released single-hit key is ready to report again.
  void Poll();

 private:
  bool ReadKey(int index, const bool* down, bool* singleHit, bool* consumed) const;
  bool m_down[256] = {};
  bool m_downSC[256] = {};
  mutable bool m_singleHit[256] = {};
  mutable bool m_singleHitSC[256] = {};
  mutable bool m_consumed[256] = {};
  mutable bool m_consumedSC[256] = {};
};

class VBASE_IMPEXP VisMouse_cl {
 public:
  enum Button { LEFT = 0, RIGHT = 1, MIDDLE = 2 };
  bool IsLeftButtonPressed() const { return m_buttons[LEFT]; }
  bool IsRightButtonPressed() const { return m_buttons[RIGHT]; }
  bool IsButtonPressed(int b) const { return b >= 0 && b < 3 && m_buttons[b]; }
  void SetPosition(float x, float y) { m_x = x; m_y = y; }
  void GetPosition(float& x, float& y) const { x = m_x; y = m_y; }
  float GetX() const { return m_x; }
  float GetY() const { return m_y; }
  // The wheel as read by the last Poll, and as read by the Poll before it.
  int GetWheelValue() const { return m_wheel; }
  int GetPreviousWheelValue() const { return m_prevWheel; }
  void ReleaseDevice() { m_released = true; }
  bool IsReleased() const { return m_released; }
  void SetInputFlags(int flags) { m_flags = flags; }
  int GetInputFlags() const { return m_flags; }
  // Platform feed. A button change fires VInputCallbacks::OnMouseButtonDown / Up.
  void InjectButton(int b, bool down);
  // Wheel notches add up until the next Poll reads them.
  void InjectWheel(int delta) { m_wheelEvents += delta; }
  void InjectMove(float x, float y) { m_x = x; m_y = y; }
  // Called once per frame: reads the wheel, so the turns since the last Poll show as
  // GetWheelValue() - GetPreviousWheelValue() for this frame, whether the events
  // came in before or after the call.
  void Poll() { m_prevWheel = m_wheel; m_wheel = m_wheelEvents; }

 private:
  bool m_buttons[3] = {};
  float m_x = 0, m_y = 0;
  int m_wheel = 0, m_prevWheel = 0, m_wheelEvents = 0;
  bool m_released = false;
  int m_flags = 0;
};

// Event of the input callbacks: the engine key code and the scan code, or the mouse button.
class VBASE_IMPEXP VInputCallbackDataObject : public IVisCallbackDataObject_cl {
 public:
  VInputCallbackDataObject(VCallback* sender, int key, int scanCode, int button)
      : IVisCallbackDataObject_cl(sender), m_iKey(key), m_iScanCode(scanCode), m_iButton(button) {}
  int m_iKey;
  int m_iScanCode;
  int m_iButton;
};

class VBASE_IMPEXP VInputCallbacks {
 public:
  static VCallback OnKeyDown;
  static VCallback OnKeyUp;
  static VCallback OnMouseButtonDown;
  static VCallback OnMouseButtonUp;
};

// Devices a trigger can be bound to.
//  V_KEYBOARD: controls 0..255 are engine key codes. Larger values are looked up in
//    a table of the ones the game binds (VInputMap.cpp); any other never triggers:
//      0xFF0000B9 = F2 and 0xFF0000BF = F8 (debug keys, modifiers ignored);
//      0xFF00009A: bound to a control nothing reads; no key;
//      0x4007B..0x4007E = Ctrl + '1'..'4' (assign a group);
//      0x400007B..0x400007E = '1'..'4' without Ctrl (recall a group).
//    Ctrl is VGLK_MODIFIER_B; digits are their ASCII codes.
//  V_MOUSE: 0 left, 1 right, 2 middle button; 34 wheel up, 35 wheel down (notches
//    since the last Poll).
//  V_PAD0: controls 0..255, values set with VSetPadControl.
enum VInputDevice_e { V_KEYBOARD = 0, V_MOUSE = 1, V_PAD0 = 2 };
enum VMouseControl_e { VMOUSE_LEFT = 0, VMOUSE_RIGHT = 1, VMOUSE_MIDDLE = 2, VMOUSE_WHEEL_UP = 34, VMOUSE_WHEEL_DOWN = 35 };
enum VInputOption_e { VInputOptions_Once = 1, VInputOptions_Value = 2 };

// Map from trigger numbers to device controls, each with up to n alternatives.
class VBASE_IMPEXP VInputMap {
 public:
  VInputMap(int triggers, int alternatives);
  // A key-like binding: single-hit (reported once per press, as read by GetTrigger)
  // or, with once false, active while held. Returns the alternative slot used, or -1
  // for a bad trigger or device or when all alternatives are taken.
  // Keys and buttons read 1.0; pad controls count as pressed above 0.5.
  int MapTrigger(int trigger, int device, unsigned control, bool once = true);
  // A value binding with a dead zone.
  int MapTriggerValue(int trigger, int device, unsigned control, float deadZone);
  // An axis from two controls (negative, positive).
  int MapTriggerAxis(int trigger, int device, unsigned negControl, unsigned posControl, float deadZone);
  // Value of the trigger (0 when not active): the alternative with the largest
  // magnitude wins. Reading consumes the press of single-hit bindings.
  float GetTrigger(int trigger);
  bool IsTriggered(int trigger) { return GetTrigger(trigger) != 0.0f; }
  int GetNumTriggers() const { return m_triggers; }
  int GetNumAlternatives() const { return m_alternatives; }
  void Clear();

 private:
  struct Binding {
    int device = -1;
    unsigned control = 0, control2 = 0;
    int kind = 0;  // 0 once, 1 value, 2 axis
    float deadZone = 0.0f;
    bool wasDown = false;
  };
  int m_triggers, m_alternatives;
  std::vector<Binding> m_bindings;
  float ReadControl(int device, unsigned control) const;
};

// Tests and the platform layer can read/write pad state (controls 0..255).
VBASE_IMPEXP void VSetPadControl(int control, float value);
VBASE_IMPEXP float VGetPadControl(int control);

namespace Vision {
VBASE_IMPEXP extern VisKey_cl Key;
VBASE_IMPEXP extern VisMouse_cl Mouse;
}  // namespace Vision
