// SDL2 window, OpenGL context through GLEW, and the off-screen framebuffer.
#include "engine/render/VGLDevice.h"

#include "engine/base/VisError.h"
#include "engine/core/VisionApp.h"
#include "engine/os/VOs.h"
#include "engine/render/VHardwareCursor.h"

#include <GL/glew.h>
#include <SDL2/SDL.h>

#include <algorithm>
#include <tuple>
#if defined(__SANITIZE_ADDRESS__)
#include <dlfcn.h>
#include <link.h>

#include <cstring>
#include <string>
#include <vector>
#endif

namespace {

// The display library unloads the GL driver when the display closes, and memory
// the driver still holds then looks leaked to LeakSanitizer. Sanitizer builds keep
// the loaded driver modules mapped so that their memory stays reachable.
void KeepGLDriversLoaded() {
#if defined(__SANITIZE_ADDRESS__)
  std::vector<std::string> drivers;
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* out) {
        if (info->dlpi_name && strstr(info->dlpi_name, "/dri/"))
          static_cast<std::vector<std::string>*>(out)->push_back(info->dlpi_name);
        return 0;
      },
      &drivers);
  for (const std::string& driver : drivers) dlopen(driver.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
#endif
}

}  // namespace

VGLDevice& VGLDevice::GetInstance() {
  static VGLDevice device;
  return device;
}

namespace {
VVideoMode ToVideoMode(const SDL_DisplayMode& m) {
  const int bits = SDL_BYTESPERPIXEL(m.format) == 4 ? 32 : (int)SDL_BITSPERPIXEL(m.format);
  return VVideoMode{m.w, m.h, m.refresh_rate, bits};
}
}  // namespace

bool VGLDevice::ReadDisplays(std::vector<VDisplayModes>& out) {
  out.clear();
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    Vision::Error.Warning("Display modes not read: %s", SDL_GetError());
    return false;
  }
  const int displays = SDL_GetNumVideoDisplays();
  for (int d = 0; d < displays; ++d) {
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(d, &desktop) != 0) continue;
    VDisplayModes display;
    display.desktop = ToVideoMode(desktop);
    const int count = SDL_GetNumDisplayModes(d);
    for (int i = 0; i < count; ++i) {
      SDL_DisplayMode m;
      if (SDL_GetDisplayMode(d, i, &m) != 0) continue;
      const VVideoMode mode = ToVideoMode(m);
      if (mode.m_iBitsPerPixel == 32) display.modes.push_back(mode);
    }
    const auto key = [](const VVideoMode& m) { return std::tuple(m.m_iXRes, m.m_iYRes, m.m_iRefreshRate); };
    std::sort(display.modes.begin(), display.modes.end(), [&](const auto& a, const auto& b) { return key(a) < key(b); });
    display.modes.erase(std::unique(display.modes.begin(), display.modes.end(),
                                    [&](const auto& a, const auto& b) { return key(a) == key(b); }),
                        display.modes.end());
    out.push_back(display);
  }
  if (out.empty()) Vision::Error.Warning("Display modes not read: %s", displays < 0 ? SDL_GetError() : "no display");
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  return !out.empty();
}

bool VGLDevice::Open(const VVideoConfig& video, const VWindowConfig& window) {
  if (IsOpen()) return true;
  // Now and then (about one start in ten under Xvfb) GLEW finds no current GLX
  // display right after the context was made; a second window gets one.
  for (int attempt = 1; attempt < kOpenAttempts; ++attempt) {
    if (OpenOnce(video, window)) return true;
    if (!m_bGLStepFailed) return false;
    Vision::Error.Warning("Window not opened on attempt %d: trying again", attempt);
  }
  return OpenOnce(video, window);
}

bool VGLDevice::OpenOnce(const VVideoConfig& video, const VWindowConfig& window) {
  m_bGLStepFailed = false;
  // The program keeps its own signal handling.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    Vision::Error.Warning("Window not opened: %s", SDL_GetError());
    return false;
  }
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);

  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN;
  if (video.m_bFullScreen) flags |= SDL_WINDOW_FULLSCREEN;
  if (window.m_bBorderless) flags |= SDL_WINDOW_BORDERLESS;
  const int width = video.m_iXRes > 0 ? video.m_iXRes : 1280;
  const int height = video.m_iYRes > 0 ? video.m_iYRes : 720;
  SDL_Window* sdlWindow = SDL_CreateWindow(window.m_sTitle.AsChar(), window.m_iX, window.m_iY, width, height, flags);
  SDL_GLContext context = sdlWindow ? SDL_GL_CreateContext(sdlWindow) : nullptr;
  if (!context) {
    Vision::Error.Warning("Window not opened: %s", SDL_GetError());
    if (sdlWindow) SDL_DestroyWindow(sdlWindow);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return false;
  }
  KeepGLDriversLoaded();
  m_pWindow = sdlWindow;
  m_pContext = context;
  m_iWidth = width;
  m_iHeight = height;
  m_iPresented = 0;
  SDL_GL_MakeCurrent(sdlWindow, context);
  SDL_GL_SetSwapInterval(video.m_bWaitVRetrace ? 1 : 0);

  glewExperimental = GL_TRUE;
  const GLenum glew = glewInit();
  if (glew != GLEW_OK || !GLEW_VERSION_3_0 || !CreateFramebuffer()) {
    m_bGLStepFailed = true;
    Vision::Error.Warning("Window not opened: OpenGL 3.0 with framebuffer objects is required (%s)",
                          glew != GLEW_OK ? (const char*)glewGetErrorString(glew) : "framebuffer");
    Close();
    return false;
  }
  Vision::Error.SystemMessage("Window opened: %dx%d, OpenGL %s (%s)", width, height,
                              (const char*)glGetString(GL_VERSION), (const char*)glGetString(GL_RENDERER));
  Vision::HardwareCursor.ApplyToWindow();
  VSetMessageBoxWindow(m_pWindow);
  VSetCursorWindow(m_pWindow);
  return true;
}

void VGLDevice::Close() {
  if (m_pWindow) {
    VSetMessageBoxWindow(nullptr);
    VSetCursorWindow(nullptr);
    Vision::HardwareCursor.ReleaseWindowCursor();
  }
  if (m_pContext) {
    SDL_GL_MakeCurrent((SDL_Window*)m_pWindow, (SDL_GLContext)m_pContext);
    DestroyFramebuffer();
    SDL_GL_DeleteContext((SDL_GLContext)m_pContext);
  }
  if (m_pWindow) {
    SDL_DestroyWindow((SDL_Window*)m_pWindow);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }
  m_pWindow = m_pContext = nullptr;
  m_iWidth = m_iHeight = 0;
}

bool VGLDevice::CreateFramebuffer() {
  glGenFramebuffers(1, &m_iFramebuffer);
  glGenRenderbuffers(1, &m_iColour);
  glGenRenderbuffers(1, &m_iDepth);
  glBindRenderbuffer(GL_RENDERBUFFER, m_iColour);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, m_iWidth, m_iHeight);
  glBindRenderbuffer(GL_RENDERBUFFER, m_iDepth);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, m_iWidth, m_iHeight);
  glBindRenderbuffer(GL_RENDERBUFFER, 0);
  glBindFramebuffer(GL_FRAMEBUFFER, m_iFramebuffer);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_iColour);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, m_iDepth);
  const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  glViewport(0, 0, m_iWidth, m_iHeight);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  return complete;
}

void VGLDevice::DestroyFramebuffer() {
  if (!m_iFramebuffer) return;
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glDeleteFramebuffers(1, &m_iFramebuffer);
  glDeleteRenderbuffers(1, &m_iColour);
  glDeleteRenderbuffers(1, &m_iDepth);
  m_iFramebuffer = m_iColour = m_iDepth = 0;
}

bool VGLDevice::Resize(int width, int height, bool fullScreen) {
  if (!IsOpen() || width <= 0 || height <= 0) return false;
  SDL_Window* window = (SDL_Window*)m_pWindow;
  SDL_SetWindowFullscreen(window, 0);
  SDL_SetWindowSize(window, width, height);
  if (fullScreen) SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN);
  SDL_GL_MakeCurrent(window, (SDL_GLContext)m_pContext);
  DestroyFramebuffer();
  m_iWidth = width;
  m_iHeight = height;
  return CreateFramebuffer();
}

bool VGLDevice::RebuildContext() {
  if (!IsOpen()) return false;
  SDL_Window* window = (SDL_Window*)m_pWindow;
  SDL_GL_MakeCurrent(window, (SDL_GLContext)m_pContext);
  DestroyFramebuffer();
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (!context) {
    Vision::Error.Warning("GL context not rebuilt: %s", SDL_GetError());
    SDL_GL_MakeCurrent(window, (SDL_GLContext)m_pContext);
    CreateFramebuffer();
    return false;
  }
  SDL_GL_DeleteContext((SDL_GLContext)m_pContext);
  m_pContext = context;
  SDL_GL_MakeCurrent(window, context);
  SDL_GL_SetSwapInterval(VVideo::GetCurrentConfig().m_bWaitVRetrace ? 1 : 0);
  return CreateFramebuffer();
}

void VGLDevice::BeginFrame() {
  if (!IsOpen()) return;
  SDL_GL_MakeCurrent((SDL_Window*)m_pWindow, (SDL_GLContext)m_pContext);
  glBindFramebuffer(GL_FRAMEBUFFER, m_iFramebuffer);
  glViewport(0, 0, m_iWidth, m_iHeight);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void VGLDevice::Present() {
  if (!IsOpen()) return;
  glBindFramebuffer(GL_READ_FRAMEBUFFER, m_iFramebuffer);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glBlitFramebuffer(0, 0, m_iWidth, m_iHeight, 0, 0, m_iWidth, m_iHeight, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  SDL_GL_SwapWindow((SDL_Window*)m_pWindow);
  // Drawing outside a frame still goes to the framebuffer.
  glBindFramebuffer(GL_FRAMEBUFFER, m_iFramebuffer);
  ++m_iPresented;
}

bool VGLDevice::ReadFrame(VImage& out) {
  if (!IsOpen()) return false;
  SDL_GL_MakeCurrent((SDL_Window*)m_pWindow, (SDL_GLContext)m_pContext);
  std::vector<unsigned char> pixels((size_t)m_iWidth * m_iHeight * 4);
  // Errors left by earlier drawing are not the read's.
  for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
  }
  glBindFramebuffer(GL_READ_FRAMEBUFFER, m_iFramebuffer);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, m_iWidth, m_iHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  glBindFramebuffer(GL_FRAMEBUFFER, m_iFramebuffer);
  if (glGetError() != GL_NO_ERROR) return false;
  // GL rows start at the bottom.
  out.width = m_iWidth;
  out.height = m_iHeight;
  out.rgba.resize(pixels.size());
  const size_t row = (size_t)m_iWidth * 4;
  for (int y = 0; y < m_iHeight; ++y)
    std::copy_n(pixels.begin() + (std::ptrdiff_t)(row * (m_iHeight - 1 - y)), row, out.rgba.begin() + (std::ptrdiff_t)(row * y));
  return true;
}
