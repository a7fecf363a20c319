// The real video device (ENGINE_VIDEO=gl): an SDL2 window with an OpenGL
// compatibility context. Frames are drawn into an off-screen framebuffer that is
// copied to the window when presented, so the last frame stays readable for
// screenshots until the next frame starts.
#pragma once

#include "engine/base/VBase.h"
#include "engine/render/VImageFile.h"

#include "engine/core/VisionApp.h"

#include <string>
#include <vector>

// A display as SDL reports it: its desktop mode and its modes of 32 bits per pixel
// (four bytes), smallest first, each size and refresh rate once.
struct VDisplayModes {
  VVideoMode desktop;
  std::vector<VVideoMode> modes;
};

class VBASE_IMPEXP VGLDevice {
 public:
  static VGLDevice& GetInstance();

  // The displays of the windowing system, primary first. False, logged, when SDL's
  // video cannot start (no display) or it reports none.
  static bool ReadDisplays(std::vector<VDisplayModes>& out);

  // Opens the window of the configured size and title, the GL context (made
  // current; GLEW initialised) and the framebuffer. False, logged, when any step
  // fails (no display, no GL); nothing stays open then.
  bool Open(const VVideoConfig& video, const VWindowConfig& window);
  void Close();
  bool IsOpen() const { return m_pWindow != nullptr; }
  // The SDL_Window, null when closed.
  void* GetWindow() const { return m_pWindow; }
  int GetWidth() const { return m_iWidth; }
  int GetHeight() const { return m_iHeight; }
  bool Resize(int width, int height, bool fullScreen);
  // Replaces the GL context of the window by a new one: every GL object of the old
  // context (textures, framebuffers) is gone afterwards and the framebuffer is made
  // again. On failure (logged) the old context stays. Call through Vision::ResetVideoDevice,
  // which tells the owners of GL objects before and after.
  bool RebuildContext();

  // Makes the context current, binds the framebuffer and clears it to black.
  void BeginFrame();
  // Copies the framebuffer to the window and swaps.
  void Present();
  unsigned GetPresentCount() const { return m_iPresented; }
  // The framebuffer's pixels: the last presented frame, or the frame being drawn.
  bool ReadFrame(VImage& out);

 private:
  bool OpenOnce(const VVideoConfig& video, const VWindowConfig& window);
  bool CreateFramebuffer();
  void DestroyFramebuffer();

  void* m_pWindow = nullptr;
  void* m_pContext = nullptr;
  unsigned m_iFramebuffer = 0, m_iColour = 0, m_iDepth = 0;
  int m_iWidth = 0, m_iHeight = 0;
  unsigned m_iPresented = 0;
  bool m_bGLStepFailed = false;  // the last OpenOnce failed after the window was made
  static constexpr int kOpenAttempts = 3;
};
