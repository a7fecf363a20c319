// SDL event translation.
#include "engine/render/VSDLEventPump.h"

#include "engine/base/VisError.h"
#include "engine/core/VPlatformInput.h"
#include "engine/core/VisionApp.h"
#include "engine/os/VKeyCodeTable.h"
#include "engine/render/VGLDevice.h"

#include <SDL2/SDL.h>

namespace {

int ButtonOf(Uint8 sdlButton) {
  switch (sdlButton) {
    case SDL_BUTTON_LEFT:
      return 0;
    case SDL_BUTTON_RIGHT:
      return 1;
    case SDL_BUTTON_MIDDLE:
      return 2;
    default:
      return -1;
  }
}

}  // namespace

void VSDLEventPump::Pump(VisionApp_cl& app) {
  if (!VGLDevice::GetInstance().IsOpen()) return;
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    switch (e.type) {
      case SDL_QUIT:
        Vision::Error.SystemMessage("Window closed: quitting");
        app.Quit();
        break;
      case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) VPlatformInput::Focus(true);
        if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) VPlatformInput::Focus(false);
        break;
      case SDL_MOUSEMOTION:
        VPlatformInput::MouseMove(e.motion.x, e.motion.y);
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        if (const int button = ButtonOf(e.button.button); button >= 0) {
          VPlatformInput::MouseMove(e.button.x, e.button.y);
          VPlatformInput::MouseButton(button, e.type == SDL_MOUSEBUTTONDOWN);
        }
        break;
      case SDL_MOUSEWHEEL:
        if (e.wheel.y != 0) VPlatformInput::MouseWheel(e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y);
        break;
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        // A held key is one press, as with a raw keyboard device.
        if (e.key.repeat) break;
        if (const VKeyCode* key = VKeyCodeTable::FromSDLScancode(e.key.keysym.scancode))
          VPlatformInput::Key(key->engineKey, key->scanCode, e.type == SDL_KEYDOWN);
        break;
      default:
        break;
    }
  }
}
