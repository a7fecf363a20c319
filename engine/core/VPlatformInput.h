// The one path by which platform input reaches the engine and the game: the window's
// event pump and the input replay both deliver here. Window events become messages
// of the application's window procedure (VisionWndProc when none is installed);
// keys, buttons and the wheel go to the input devices as a raw input device would.
#pragma once

#include "engine/base/VBase.h"

enum VWindowMessageExtra_e { HTCLIENT = 1, MK_LBUTTON = 0x1, MK_RBUTTON = 0x2, MK_MBUTTON = 0x10 };

class VBASE_IMPEXP VPlatformInput {
 public:
  // A key by engine key code and scan code (either may be -1).
  static void Key(int engineKey, int scanCode, bool down);
  // The cursor moved to (x, y) in client co-ordinates: the system cursor takes the
  // position, then WM_SETCURSOR (HTCLIENT, WM_MOUSEMOVE) and WM_MOUSEMOVE (x in the
  // low, y in the high 16 bits; button flags MK_*) go to the window procedure.
  static void MouseMove(int x, int y);
  // Button 0 left, 1 right, 2 middle.
  static void MouseButton(int button, bool down);
  // Wheel notches, positive away from the user.
  static void MouseWheel(int notches);
  // WM_SETFOCUS or WM_KILLFOCUS.
  static void Focus(bool gained);
  // Sends one message to the application's window procedure.
  static long SendWindowMessage(unsigned message, UINT_PTR wParam, INT_PTR lParam);
};
