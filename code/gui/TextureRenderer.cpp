// The decoder's side of the video frame hand-off.
#include "gui/TextureRenderer.h"

#include <cstdlib>
#include <cstring>

bool CTextureRenderer::CheckMediaType(const VVideoFormat& format) {
  return format.bitsPerPixel == 24 && format.bottomUp && format.width > 0 && format.height != 0;
}

void CTextureRenderer::SetMediaType(const VVideoFormat& format) {
  m_iWidth = format.width;
  m_iHeight = std::abs(format.height);
  m_iPitch = (m_iWidth * 3 + 3) & ~3;
}

void CTextureRenderer::DoRenderSample(const unsigned char* data, size_t size) {
  const size_t bytes = (size_t)m_iPitch * m_iHeight;
  if (!data || bytes == 0) return;
  if (!m_pFrameBuffer) m_pFrameBuffer = std::make_unique<uint8_t[]>(bytes);
  // The main thread still reads the previous frame: this one is dropped.
  if (m_iFrameReady.load(std::memory_order_acquire) != 0) return;
  std::memcpy(m_pFrameBuffer.get(), data, size < bytes ? size : bytes);
  m_iFrameReady.store(1, std::memory_order_release);
}
