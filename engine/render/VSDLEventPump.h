// Takes the window's SDL events at the start of every engine frame and hands them
// to VPlatformInput: focus, cursor and mouse moves as window messages, keys
// through the key table, buttons and the wheel to the devices. Closing the window
// asks the application to quit.
#pragma once

#include "engine/base/VBase.h"

class VisionApp_cl;

class VBASE_IMPEXP VSDLEventPump {
 public:
  // Nothing without an open window.
  static void Pump(VisionApp_cl& app);
};
