// The one table of keyboard keys: the platform's key (SDL scancode), the engine key
// code, the set-1 (DirectInput) scan code and the name the input replay uses.
#pragma once

#include "engine/base/VBase.h"

struct VKeyCode {
  const char* name;   // as written in ENGINE_INPUT files, matched without regard to case
  int sdlScancode;    // SDL_Scancode value
  int engineKey;      // VisKey_cl::IsPressed numbering (0..255)
  int scanCode;       // VisKey_cl::IsPressed_SC numbering, set 1 with 0x80 for extended keys
};

class VBASE_IMPEXP VKeyCodeTable {
 public:
  // Null when the key is not in the table (the key is then ignored).
  static const VKeyCode* FromSDLScancode(int sdlScancode);
  static const VKeyCode* FromName(const char* name);
  static const VKeyCode* FromScanCode(int scanCode);
  static int GetCount();
  static const VKeyCode& GetAt(int index);
};
