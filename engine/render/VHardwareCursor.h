// The graphics device's hardware cursor (Vision::HardwareCursor): visibility,
// position and image with its hotspot. The stand-in keeps the state so it can be
// read back; every call is skipped while the device is lost. With a window the
// cursor is the window's: an SDL colour cursor made from the pixels of the image
// file, found through the data folders.
#pragma once

#include "engine/render/VTextureObject.h"

class VBASE_IMPEXP VHardwareCursor {
 public:
  void ShowCursor(bool show);
  bool IsShown() const { return m_bShown; }
  // immediate: move at once instead of with the next present (no difference headless).
  void SetCursorPosition(int x, int y, bool immediate);
  int GetX() const { return m_iX; }
  int GetY() const { return m_iY; }
  // The image is kept referenced until it is replaced.
  void SetCursorProperties(unsigned hotspotX, unsigned hotspotY, VTextureObject* image);
  VTextureObject* GetImage() const { return m_spImage; }
  unsigned GetHotspotX() const { return m_iHotspotX; }
  unsigned GetHotspotY() const { return m_iHotspotY; }
  // How often an image was applied (tests tell a repeated set from a skipped one).
  int GetPropertiesCount() const { return m_iPropertiesCount; }
  // Back to the start state: hidden, at 0, 0, no image.
  void Reset();
  // The window opened or is about to close: the state goes onto its cursor, or
  // the window's cursor is released.
  void ApplyToWindow();
  void ReleaseWindowCursor();
  // True when the window shows the image (false headless or when it did not load).
  bool HasWindowCursor() const { return m_pWindowCursor != nullptr; }

 private:
  bool m_bShown = false;
  int m_iX = 0, m_iY = 0;
  unsigned m_iHotspotX = 0, m_iHotspotY = 0;
  VSmartPtr<VTextureObject> m_spImage;
  int m_iPropertiesCount = 0;
  void* m_pWindowCursor = nullptr;  // SDL_Cursor
  void ApplyImageToWindow();
};

namespace Vision {
VBASE_IMPEXP extern VHardwareCursor HardwareCursor;
}  // namespace Vision
