// The hardware mouse cursor over the graphics device.
#include "Managers/MouseCursorManager.h"

#include "engine/core/VisCallbacks.h"
#include "engine/core/VisionApp.h"
#include "engine/render/VHardwareCursor.h"
#include "engine/render/VisRenderer.h"

MouseCursorManager::MouseCursorManager() : m_pDevice(VVideo::GetD3DDevice()) {
  Vision::Callbacks.OnVideoDeviceRestored.RegisterCallback(this);
}

MouseCursorManager::~MouseCursorManager() { Vision::Callbacks.OnVideoDeviceRestored.DeregisterCallback(this); }

void MouseCursorManager::ShowD3DCursor(bool show) {
  if (!m_pDevice || Vision::Renderer.IsDeviceLost()) return;
  Vision::HardwareCursor.ShowCursor(show);
}

void MouseCursorManager::SetD3DCursorPosition(VPoint point) {
  if (!m_pDevice || Vision::Renderer.IsDeviceLost()) return;
  m_position = point;
  Vision::HardwareCursor.SetCursorPosition(point.x, point.y, true);
}

void MouseCursorManager::SetD3DCursorImage(VTextureObject* texture, unsigned hotspotX, unsigned hotspotY) {
  if (texture == m_spCurrentImage || !texture || !m_pDevice || Vision::Renderer.IsDeviceLost()) return;
  m_spCurrentImage = texture;
  m_iHotspotX = hotspotX;
  m_iHotspotY = hotspotY;
  ApplyImage();
}

void MouseCursorManager::ResetD3DCursorImage() {
  if (!m_pDevice || !m_spCurrentImage) return;
  ApplyImage();
}

void MouseCursorManager::ApplyImage() {
  // The device cursor replaces the system one.
  VSetSystemCursorImage(nullptr);
  Vision::HardwareCursor.SetCursorProperties(m_iHotspotX, m_iHotspotY, m_spCurrentImage);
}

void MouseCursorManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnVideoDeviceRestored) ResetD3DCursorImage();
}
