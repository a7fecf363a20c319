// Delivery of platform input to the window procedure and the input devices.
#include "engine/core/VPlatformInput.h"

#include "engine/base/VisInput.h"
#include "engine/core/VisionApp.h"
#include "engine/os/VOs.h"

long VPlatformInput::SendWindowMessage(unsigned message, UINT_PTR wParam, INT_PTR lParam) {
  VisionApp_cl* app = Vision::GetApplication();
  WNDPROC proc = app && app->m_windowConfig.m_pWndProc ? app->m_windowConfig.m_pWndProc : &VisionWndProc;
  return proc(VVideo::GetWindowHandle(), message, wParam, lParam);
}

void VPlatformInput::Key(int engineKey, int scanCode, bool down) { Vision::Key.InjectKey(engineKey, scanCode, down); }

void VPlatformInput::MouseMove(int x, int y) {
  // The pointer is already there: recorded, not moved again.
  VTrackCursorPos(x, y);
  // The clip rectangle may have moved the cursor: the messages carry where it is.
  VPoint p;
  VGetCursorPos(p);
  UINT_PTR buttons = 0;
  if (Vision::Mouse.IsButtonPressed(VisMouse_cl::LEFT)) buttons |= MK_LBUTTON;
  if (Vision::Mouse.IsButtonPressed(VisMouse_cl::RIGHT)) buttons |= MK_RBUTTON;
  if (Vision::Mouse.IsButtonPressed(VisMouse_cl::MIDDLE)) buttons |= MK_MBUTTON;
  SendWindowMessage(WM_SETCURSOR, (UINT_PTR)VVideo::GetWindowHandle(), (INT_PTR)(HTCLIENT | (WM_MOUSEMOVE << 16)));
  const INT_PTR position = (INT_PTR)(((unsigned)p.x & 0xffffu) | (((unsigned)p.y & 0xffffu) << 16));
  SendWindowMessage(WM_MOUSEMOVE, buttons, position);
}

void VPlatformInput::MouseButton(int button, bool down) { Vision::Mouse.InjectButton(button, down); }

void VPlatformInput::MouseWheel(int notches) { Vision::Mouse.InjectWheel(notches); }

void VPlatformInput::Focus(bool gained) { SendWindowMessage(gained ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0); }
