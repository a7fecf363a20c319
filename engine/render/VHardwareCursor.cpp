// The hardware cursor stand-in: keeps what the game set.
#include "engine/render/VHardwareCursor.h"

#include "engine/render/VisRenderer.h"

VHardwareCursor Vision::HardwareCursor;

void VHardwareCursor::ShowCursor(bool show) {
  if (Vision::Renderer.IsDeviceLost()) return;
  m_bShown = show;
}

void VHardwareCursor::SetCursorPosition(int x, int y, bool) {
  if (Vision::Renderer.IsDeviceLost()) return;
  m_iX = x;
  m_iY = y;
}

void VHardwareCursor::SetCursorProperties(unsigned hotspotX, unsigned hotspotY, VTextureObject* image) {
  if (Vision::Renderer.IsDeviceLost()) return;
  m_iHotspotX = hotspotX;
  m_iHotspotY = hotspotY;
  m_spImage = image;
  ++m_iPropertiesCount;
}

void VHardwareCursor::Reset() {
  m_bShown = false;
  m_iX = m_iY = 0;
  m_iHotspotX = m_iHotspotY = 0;
  m_spImage = nullptr;
  m_iPropertiesCount = 0;
}
