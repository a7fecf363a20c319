// The hardware cursor stand-in: keeps what the game set.
#include "engine/render/VHardwareCursor.h"

#include "engine/base/VisError.h"
#include "engine/base/VisFile.h"
#include "engine/render/VGLDevice.h"
#include "engine/render/VImageFile.h"
#include "engine/render/VisRenderer.h"

#include <SDL2/SDL.h>

#include <string>

VHardwareCursor Vision::HardwareCursor;

void VHardwareCursor::ShowCursor(bool show) {
  if (Vision::Renderer.IsDeviceLost()) return;
  m_bShown = show;
  if (VGLDevice::GetInstance().IsOpen()) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
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
  if (VGLDevice::GetInstance().IsOpen()) ApplyImageToWindow();
}

void VHardwareCursor::ApplyImageToWindow() {
  ReleaseWindowCursor();
  if (!m_spImage) return;
  // The texture is named like any data file (or by its path).
  std::string path;
  if (!Vision::File.ResolvePath(m_spImage->GetFilename(), path)) path = m_spImage->GetFilename();
  VImage pixels;
  if (!VImageFile::Read(path.c_str(), pixels)) {
    Vision::Error.Warning("Cursor image \"%s\" could not be read", m_spImage->GetFilename());
    return;
  }
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(pixels.rgba.data(), pixels.width, pixels.height, 32,
                                                            pixels.width * 4, SDL_PIXELFORMAT_RGBA32);
  if (!surface) return;
  const int hotX = (int)m_iHotspotX < pixels.width ? (int)m_iHotspotX : 0;
  const int hotY = (int)m_iHotspotY < pixels.height ? (int)m_iHotspotY : 0;
  SDL_Cursor* cursor = SDL_CreateColorCursor(surface, hotX, hotY);
  SDL_FreeSurface(surface);
  if (!cursor) {
    Vision::Error.Warning("Cursor image \"%s\" refused: %s", m_spImage->GetFilename(), SDL_GetError());
    return;
  }
  SDL_SetCursor(cursor);
  m_pWindowCursor = cursor;
}

void VHardwareCursor::ApplyToWindow() {
  if (!VGLDevice::GetInstance().IsOpen()) return;
  ApplyImageToWindow();
  SDL_ShowCursor(m_bShown ? SDL_ENABLE : SDL_DISABLE);
}

void VHardwareCursor::ReleaseWindowCursor() {
  if (!m_pWindowCursor) return;
  // The window goes back to the system arrow before the cursor is freed.
  SDL_SetCursor(SDL_GetDefaultCursor());
  SDL_FreeCursor((SDL_Cursor*)m_pWindowCursor);
  m_pWindowCursor = nullptr;
}

void VHardwareCursor::Reset() {
  m_bShown = false;
  m_iX = m_iY = 0;
  m_iHotspotX = m_iHotspotY = 0;
  m_spImage = nullptr;
  m_iPropertiesCount = 0;
  ReleaseWindowCursor();
  if (VGLDevice::GetInstance().IsOpen()) SDL_ShowCursor(SDL_DISABLE);
}
