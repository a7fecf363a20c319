// Adapters, video modes and the state of the (headless) video device.
#include "engine/core/VisionApp.h"

#include "engine/base/VisError.h"
#include "engine/os/VOs.h"
#include "engine/render/VGLDevice.h"

#include <cstdlib>
#include <string>

namespace {

struct FakeAdapter {
  VVideoMode desktop;
  bool hasDesktop = false;
  std::vector<VVideoMode> modes;  // 32-bit modes only
  std::string monitor;
};

std::vector<FakeAdapter> MakeDefaultAdapters() {
  FakeAdapter a;
  a.desktop = VVideoMode{1920, 1080, 60, 32};
  a.hasDesktop = true;
  const int sizes[][2] = {{640, 480},   {800, 600},  {1024, 768}, {1280, 720},
                          {1280, 1024}, {1366, 768}, {1600, 900}, {1920, 1080}};
  for (const auto& s : sizes) a.modes.push_back(VVideoMode{s[0], s[1], 60, 32});
  a.monitor = "\\\\.\\DISPLAY1";
  return {a};
}

// With a window the adapters are the displays SDL reports (read once per switch of
// ENGINE_VIDEO); headless, or when the displays cannot be read, the fixed list.
std::vector<FakeAdapter> ReadDisplayAdapters() {
  std::vector<VDisplayModes> displays;
  if (!VGLDevice::ReadDisplays(displays)) return MakeDefaultAdapters();
  std::vector<FakeAdapter> list;
  for (const VDisplayModes& d : displays) {
    FakeAdapter a;
    a.desktop = d.desktop;
    a.hasDesktop = true;
    a.modes = d.modes;
    a.monitor = "\\\\.\\DISPLAY" + std::to_string(list.size() + 1);
    list.push_back(a);
  }
  return list;
}

struct AdapterState {
  std::vector<FakeAdapter> list;
  bool read = false;
  bool fromDisplay = false;
  bool fake = false;  // set by a test: kept whatever ENGINE_VIDEO says
};

AdapterState& AdapterList() {
  static AdapterState state;
  return state;
}

std::vector<FakeAdapter>& Adapters() {
  AdapterState& s = AdapterList();
  if (s.fake) return s.list;
  const bool window = VVideo::WantsWindow();
  if (!s.read || s.fromDisplay != window) {
    s.list = window ? ReadDisplayAdapters() : MakeDefaultAdapters();
    s.read = true;
    s.fromDisplay = window;
  }
  return s.list;
}

struct VideoState {
  bool initialized = false;
  int width = 0, height = 0;
  bool fullScreen = false;
  VVideoConfig config;
};
VideoState g_video;

// Stands for the device handle the GUI renderer asks for; never dereferenced.
struct NullDevice {
  int unused = 0;
} g_nullDevice;

const FakeAdapter* AdapterAt(int adapter) {
  if (adapter < 0 || adapter >= (int)Adapters().size()) return nullptr;
  return &Adapters()[adapter];
}

}  // namespace

int VVideo::GetAdapterCount() { return (int)Adapters().size(); }

bool VVideo::GetAdapterMode(int adapter, VVideoMode& out) {
  const FakeAdapter* a = AdapterAt(adapter);
  if (!a || !a->hasDesktop) return false;
  out = a->desktop;
  return true;
}

int VVideo::GetAdapterModeCount(int adapter) {
  const FakeAdapter* a = AdapterAt(adapter);
  return a ? (int)a->modes.size() : 0;
}

bool VVideo::GetAdapterModeAt(int adapter, int i, VVideoMode& out) {
  const FakeAdapter* a = AdapterAt(adapter);
  if (!a || i < 0 || i >= (int)a->modes.size()) return false;
  out = a->modes[i];
  return true;
}

const char* VVideo::GetAdapterMonitorName(int adapter) {
  const FakeAdapter* a = AdapterAt(adapter);
  return a ? a->monitor.c_str() : "";
}

// The desktop is shown by the primary monitor.
const char* VVideo::GetDesktopMonitorName() { return "\\\\.\\DISPLAY1"; }

void* VVideo::GetD3DDevice() { return g_video.initialized ? &g_nullDevice : nullptr; }

bool VVideo::IsInitialized() { return g_video.initialized; }

int VVideo::GetCurrentWidth() { return g_video.width; }

int VVideo::GetCurrentHeight() { return g_video.height; }

bool VVideo::IsFullScreen() { return g_video.fullScreen; }

bool VVideo::ChangeResolution(int width, int height, bool fullScreen) {
  if (!g_video.initialized) return false;
  const FakeAdapter* a = AdapterAt(g_video.config.m_iAdapter);
  if (!a) return false;
  for (const VVideoMode& m : a->modes) {
    if (m.m_iXRes == width && m.m_iYRes == height) {
      g_video.width = g_video.config.m_iXRes = width;
      g_video.height = g_video.config.m_iYRes = height;
      g_video.fullScreen = g_video.config.m_bFullScreen = fullScreen;
      VSetClientSize(width, height);
      if (VGLDevice::GetInstance().IsOpen()) return VGLDevice::GetInstance().Resize(width, height, fullScreen);
      return true;
    }
  }
  return false;
}

// Headless there is no window.
void* VVideo::GetWindowHandle() { return VGLDevice::GetInstance().GetWindow(); }

const VVideoConfig& VVideo::GetCurrentConfig() { return g_video.config; }

void VVideo::SetFakeAdapters(const std::vector<std::vector<VVideoMode>>& adapters) {
  std::vector<FakeAdapter> list;
  for (size_t i = 0; i < adapters.size(); ++i) {
    FakeAdapter a;
    if (!adapters[i].empty()) {
      a.desktop = adapters[i].front();
      a.hasDesktop = true;
    }
    for (const VVideoMode& m : adapters[i])
      if (m.m_iBitsPerPixel == 32) a.modes.push_back(m);
    a.monitor = "\\\\.\\DISPLAY" + std::to_string(i + 1);
    list.push_back(a);
  }
  AdapterList().list = list;
  AdapterList().fake = true;
}

void VVideo::UseDefaultAdapters() { AdapterList() = AdapterState(); }

bool VVideo::IsHeadless() { return !VGLDevice::GetInstance().IsOpen(); }

bool VVideo::WantsWindow() {
  const char* mode = std::getenv("ENGINE_VIDEO");
  return mode && _stricmp(mode, "gl") == 0;
}

bool VVideo::Initialize(const VVideoConfig& config) {
  const char* mode = std::getenv("ENGINE_VIDEO");
  if (mode && *mode && _stricmp(mode, "null") != 0 && !WantsWindow())
    Vision::Error.Warning("ENGINE_VIDEO=%s is unknown (null or gl): running headless", mode);
  g_video.config = config;
  if (!AdapterAt(config.m_iAdapter)) {
    Vision::Error.Warning("Adapter %d does not exist: using adapter 0", config.m_iAdapter);
    g_video.config.m_iAdapter = 0;
  }
  g_video.width = config.m_iXRes;
  g_video.height = config.m_iYRes;
  g_video.fullScreen = config.m_bFullScreen;
  g_video.initialized = true;
  VSetClientSize(g_video.width, g_video.height);
  return true;
}

void VVideo::DeInitialize() {
  VGLDevice::GetInstance().Close();
  g_video = VideoState();
}
