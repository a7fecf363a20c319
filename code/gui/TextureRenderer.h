// The video renderer: takes the decoder's frames (24-bit B, G, R rows, lowest
// row first) on the decoder thread and keeps the latest one for the main thread.
// The frame-ready flag is the only hand-off: the decoder copies into the buffer
// only while it is 0 and then sets it (release); the main thread reads the buffer
// only after seeing 1 (acquire) and clears it when done. A frame arriving before
// the previous one was taken is dropped.
#pragma once

#include "engine/os/VVideoStream.h"

#include <atomic>
#include <cstdint>
#include <memory>

class CTextureRenderer : public IVVideoSink {
 public:
  // Only 24-bit bottom-up rows are taken.
  bool CheckMediaType(const VVideoFormat& format) override;
  // Width, height (absolute) and the row pitch, (width * 3 + 3) rounded down to a multiple of 4.
  void SetMediaType(const VVideoFormat& format) override;
  // Decoder thread.
  void DoRenderSample(const unsigned char* data, size_t size) override;

  int GetWidth() const { return m_iWidth; }
  int GetHeight() const { return m_iHeight; }
  int GetPitch() const { return m_iPitch; }

  // Main thread: true when a frame waits; the buffer may be read until ReleaseFrame.
  bool IsFrameReady() const { return m_iFrameReady.load(std::memory_order_acquire) != 0; }
  const uint8_t* GetFrameBuffer() const { return m_pFrameBuffer.get(); }
  void ReleaseFrame() { m_iFrameReady.store(0, std::memory_order_release); }

 private:
  int m_iWidth = 0;
  int m_iHeight = 0;
  int m_iPitch = 0;
  // Allocated on the first sample (decoder thread), before the flag is first set.
  std::unique_ptr<uint8_t[]> m_pFrameBuffer;
  std::atomic<int32_t> m_iFrameReady{0};
};
