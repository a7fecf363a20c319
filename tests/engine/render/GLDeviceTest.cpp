// The window (ENGINE_VIDEO=gl) on a private Xvfb display: engine start and stop,
// frames cleared and presented, screenshots of the last frame, SDL events through
// the window procedure and the devices, and the window's colour cursor.
#include "engine/Vision.h"
#include "engine/render/VDeviceReset.h"
#include "engine/render/VGLDevice.h"
#include "engine/render/VHardwareCursor.h"
#include "engine/render/VImageFile.h"
#include "support/LogCapture.h"
#include "support/ScopedEnv.h"
#include "support/XvfbDisplay.h"

#include <GL/gl.h>
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<unsigned> g_messages;

long RecordingWndProc(void* hwnd, unsigned message, UINT_PTR wParam, INT_PTR lParam) {
  g_messages.push_back(message);
  return VisionWndProc(hwnd, message, wParam, lParam);
}

const unsigned char* PixelAt(const VImage& image, int x, int y) {
  return &image.rgba[((size_t)y * image.width + x) * 4];
}

class GLDeviceTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (XvfbDisplay::IsInstalled()) s_display = std::make_unique<XvfbDisplay>(800, 600);
  }
  static void TearDownTestSuite() { s_display.reset(); }

  void SetUp() override {
    if (!s_display) GTEST_SKIP() << "Xvfb is not installed: no window can be tested";
    ASSERT_TRUE(s_display->IsRunning()) << s_display->Error();
    g_messages.clear();
    Vision::Key.Reset();
    app.m_videoConfig.m_iXRes = 320;
    app.m_videoConfig.m_iYRes = 240;
    app.m_windowConfig.SetWindowProc(&RecordingWndProc);
    Vision::SetApplication(&app);
  }
  void TearDown() override {
    app.DeInitEngine();
    Vision::HardwareCursor.Reset();
    for (const std::string& f : written) fs::remove(f);
  }
  bool Start() {
    ScopedEnv display("DISPLAY", s_display->Name().c_str());
    ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    ScopedEnv video("ENGINE_VIDEO", "gl");
    return app.InitEngine();
  }
  // One frame whose top-left quarter is red and the rest cleared.
  void DrawFrame() {
    app.BeginRendering();
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 120, 160, 120);  // GL counts rows from the bottom
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    app.EndRendering();
    app.UpdateScreen();
  }

  static std::unique_ptr<XvfbDisplay> s_display;
  VisionApp_cl app;
  std::vector<std::string> written;
};
std::unique_ptr<XvfbDisplay> GLDeviceTest::s_display;

}  // namespace

TEST_F(GLDeviceTest, TheEngineStartOpensTheWindowAndItsStopClosesIt) {
  LogCapture log;
  ASSERT_TRUE(Start());
  EXPECT_FALSE(VVideo::IsHeadless());
  EXPECT_NE(VVideo::GetWindowHandle(), nullptr);
  EXPECT_TRUE(log.Contains("Window opened: 320x240, OpenGL"));
  int w = 0, h = 0;
  SDL_GetWindowSize((SDL_Window*)VVideo::GetWindowHandle(), &w, &h);
  EXPECT_EQ(w, 320);
  EXPECT_EQ(h, 240);
  app.DeInitEngine();
  EXPECT_TRUE(VVideo::IsHeadless());
  EXPECT_EQ(VVideo::GetWindowHandle(), nullptr);
}

TEST_F(GLDeviceTest, ScreenshotsHoldTheLastPresentedFrameUnderNewNames) {
  ASSERT_TRUE(Start());
  DrawFrame();
  EXPECT_EQ(VGLDevice::GetInstance().GetPresentCount(), 1u);

  std::string first, second;
  ASSERT_TRUE(Vision::Renderer.SaveScreenShot(&first));
  written.push_back(first);
  ASSERT_TRUE(Vision::Renderer.SaveScreenShot(&second));
  written.push_back(second);
  EXPECT_NE(first, second);
  EXPECT_EQ(fs::path(first).parent_path(), fs::path(VGetModuleFileName()).parent_path());
  EXPECT_EQ(fs::path(first).filename().string().rfind("Screenshot_", 0), 0u);

  VImage shot;
  ASSERT_TRUE(VImageFile::Read(first.c_str(), shot));
  ASSERT_EQ(shot.width, 320);
  ASSERT_EQ(shot.height, 240);
  const unsigned char* red = PixelAt(shot, 10, 10);
  EXPECT_EQ(red[0], 255);
  EXPECT_EQ(red[1], 0);
  EXPECT_EQ(red[2], 0);
  for (const auto& [x, y] : {std::pair{300, 10}, std::pair{10, 230}, std::pair{300, 230}}) {
    const unsigned char* black = PixelAt(shot, x, y);
    EXPECT_EQ(black[0] + black[1] + black[2], 0) << x << "," << y;
  }

  // The next frame starts cleared.
  app.BeginRendering();
  VImage during;
  ASSERT_TRUE(VGLDevice::GetInstance().ReadFrame(during));
  EXPECT_EQ(PixelAt(during, 10, 10)[0], 0);
  app.EndRendering();
}

TEST_F(GLDeviceTest, WindowEventsReachTheWindowProcedureTheDevicesAndTheQuitRequest) {
  ASSERT_TRUE(Start());
  SDL_Event e = {};
  e.type = SDL_KEYDOWN;
  e.key.keysym.scancode = SDL_SCANCODE_F8;
  SDL_PushEvent(&e);
  e = {};
  e.type = SDL_KEYDOWN;
  e.key.keysym.scancode = SDL_SCANCODE_A;
  e.key.repeat = 1;  // a held key repeats: not a new press
  SDL_PushEvent(&e);
  e = {};
  e.type = SDL_MOUSEMOTION;
  e.motion.x = 40;
  e.motion.y = 30;
  SDL_PushEvent(&e);
  e = {};
  e.type = SDL_MOUSEBUTTONDOWN;
  e.button.button = SDL_BUTTON_RIGHT;
  e.button.x = 41;
  e.button.y = 31;
  SDL_PushEvent(&e);
  e = {};
  e.type = SDL_MOUSEWHEEL;
  e.wheel.y = -1;
  SDL_PushEvent(&e);
  ASSERT_TRUE(app.Run());

  EXPECT_TRUE(Vision::Key.IsHeld(VGLK_F8));
  EXPECT_TRUE(Vision::Key.IsHeld_SC(0x42));
  EXPECT_FALSE(Vision::Key.IsHeld('A'));
  EXPECT_TRUE(Vision::Mouse.IsRightButtonPressed());
  EXPECT_EQ(Vision::Mouse.GetX(), 41.0f);
  EXPECT_EQ(Vision::Mouse.GetWheelValue() - Vision::Mouse.GetPreviousWheelValue(), -1);
  int moves = 0;
  for (unsigned m : g_messages) moves += m == WM_MOUSEMOVE;
  EXPECT_GE(moves, 2);

  e = {};
  e.type = SDL_QUIT;
  SDL_PushEvent(&e);
  EXPECT_TRUE(app.Run());
  EXPECT_FALSE(app.Run());
}

TEST_F(GLDeviceTest, TheHardwareCursorBecomesTheWindowsColourCursor) {
  ASSERT_TRUE(Start());
  const std::string file = std::string(BRINEMARK_SOURCE_DIR) + "/data/gui/textures/cursors/default.tga";
  VSmartPtr<VTextureObject> image = new VTextureObject(file.c_str());
  Vision::HardwareCursor.SetCursorProperties(0, 0, image);
  Vision::HardwareCursor.ShowCursor(true);
  EXPECT_TRUE(Vision::HardwareCursor.HasWindowCursor());
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
  Vision::HardwareCursor.ShowCursor(false);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);

  // The game names its textures as data files.
  ASSERT_TRUE(Vision::File.AddDataDirectory((std::string(BRINEMARK_SOURCE_DIR) + "/data").c_str()));
  VSmartPtr<VTextureObject> dataFile = new VTextureObject("GUI\\Textures\\Cursors\\Default.tga");
  Vision::HardwareCursor.SetCursorProperties(0, 0, dataFile);
  Vision::File.RemoveAllDataDirectories();
  EXPECT_TRUE(Vision::HardwareCursor.HasWindowCursor());

  LogCapture log;
  VSmartPtr<VTextureObject> missing = new VTextureObject("/nonexistent/cursor.tga");
  Vision::HardwareCursor.SetCursorProperties(0, 0, missing);
  EXPECT_FALSE(Vision::HardwareCursor.HasWindowCursor());
  EXPECT_TRUE(log.Contains("Cursor image \"/nonexistent/cursor.tga\" could not be read"));
}

TEST_F(GLDeviceTest, AScriptedAnswerStillAnswersMessageBoxesOverTheWindow) {
  ASSERT_TRUE(Start());
  ScopedEnv answer("ENGINE_MESSAGEBOX", "no");
  LogCapture log;
  EXPECT_EQ(VMessageBox("Do you want to run in windowed mode?", "Brinemark", VMB_YESNO | VMB_ICONQUESTION), VIDNO);
  EXPECT_TRUE(log.Contains("Message box \"Brinemark\": Do you want to run in windowed mode? -> no"));
}

TEST_F(GLDeviceTest, WithAWindowTheAdaptersAreTheDisplaysAndHeadlessTheFixedList) {
  {
    ScopedEnv display("DISPLAY", s_display->Name().c_str());
    ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    ScopedEnv video("ENGINE_VIDEO", "gl");
    VVideo::UseDefaultAdapters();
    ASSERT_EQ(VVideo::GetAdapterCount(), 1);
    VVideoMode desktop;
    ASSERT_TRUE(VVideo::GetAdapterMode(0, desktop));
    EXPECT_EQ(desktop.m_iXRes, 800);
    EXPECT_EQ(desktop.m_iYRes, 600);
    ASSERT_GE(VVideo::GetAdapterModeCount(0), 1);
    bool listsDesktop = false;
    for (int i = 0; i < VVideo::GetAdapterModeCount(0); ++i) {
      VVideoMode m;
      ASSERT_TRUE(VVideo::GetAdapterModeAt(0, i, m));
      EXPECT_EQ(m.m_iBitsPerPixel, 32);
      EXPECT_LE(m.m_iXRes, 800);
      listsDesktop |= m.m_iXRes == 800 && m.m_iYRes == 600;
    }
    EXPECT_TRUE(listsDesktop);
    EXPECT_STREQ(VVideo::GetAdapterMonitorName(0), VVideo::GetDesktopMonitorName());
  }
  VVideoMode headless;
  ASSERT_TRUE(VVideo::GetAdapterMode(0, headless));
  EXPECT_EQ(headless.m_iXRes, 1920);
  EXPECT_EQ(VVideo::GetAdapterModeCount(0), 8);
}

TEST_F(GLDeviceTest, CursorMovesAndClipsDriveTheRealPointer) {
  ASSERT_TRUE(Start());
  SDL_Window* window = (SDL_Window*)VVideo::GetWindowHandle();
  SDL_RaiseWindow(window);
  SDL_SetWindowInputFocus(window);
  app.Run();  // takes the focus events
  auto pointer = [&] {
    int x = 0, y = 0, wx = 0, wy = 0;
    SDL_GetGlobalMouseState(&x, &y);
    SDL_GetWindowPosition(window, &wx, &wy);
    return std::pair{x - wx, y - wy};
  };

  VSetCursorPos(200, 150);
  EXPECT_EQ(pointer(), (std::pair{200, 150}));

  // A clip moves the pointer inside and confines it to the window and the rectangle.
  const VRect clip{10, 20, 110, 120};
  VClipCursor(&clip);
  EXPECT_EQ(pointer(), (std::pair{109, 119}));
  const SDL_Rect* rect = SDL_GetWindowMouseRect(window);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->x, 10);
  EXPECT_EQ(rect->y, 20);
  EXPECT_EQ(rect->w, 100);
  EXPECT_EQ(rect->h, 100);
  EXPECT_TRUE(SDL_GetWindowGrab(window));
  VSetCursorPos(40, 30);
  EXPECT_EQ(pointer(), (std::pair{40, 30}));
  VSetCursorPos(300, 230);
  EXPECT_EQ(pointer(), (std::pair{109, 119}));
  // Events report where the pointer went without moving it again.
  VTrackCursorPos(50, 60);
  EXPECT_EQ(pointer(), (std::pair{109, 119}));
  VPoint recorded;
  VGetCursorPos(recorded);
  EXPECT_EQ(recorded.x, 50);
  EXPECT_EQ(recorded.y, 60);

  VClipCursor(nullptr);
  EXPECT_EQ(SDL_GetWindowMouseRect(window), nullptr);
  EXPECT_FALSE(SDL_GetWindowGrab(window));
  VSetCursorPos(300, 230);
  EXPECT_EQ(pointer(), (std::pair{300, 230}));
}

TEST(GLDeviceWithoutDisplay, AWindowThatCannotOpenFailsTheEngineStart) {
  ScopedEnv display("DISPLAY", nullptr);
  ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
  ScopedEnv video("ENGINE_VIDEO", "gl");
  ScopedEnv sdl("SDL_VIDEODRIVER", "x11");
  LogCapture log;
  VisionApp_cl app;
  EXPECT_FALSE(app.InitEngine());
  EXPECT_TRUE(log.Contains("Window not opened:"));
  EXPECT_TRUE(log.Contains("Engine start failed: ENGINE_VIDEO=gl and no window"));
  EXPECT_TRUE(VVideo::IsHeadless());
  EXPECT_FALSE(VVideo::IsInitialized());
  std::string file = "x";
  EXPECT_FALSE(Vision::Renderer.SaveScreenShot(&file));
  EXPECT_TRUE(file.empty());
}

TEST_F(GLDeviceTest, AResetRebuildsTheContextBetweenLostAndRestored) {
  ASSERT_TRUE(Start());
  struct Handler : IVisCallbackHandler_cl {
    void OnHandleCallback(IVisCallbackDataObject_cl* data) override {
      const bool lost = data->m_pSender == &Vision::Callbacks.OnVideoDeviceLost;
      // The old context is current while the device is lost: its textures still answer.
      (lost ? textureAtLost : textureAtRestore) = glIsTexture(texture) == GL_TRUE;
      (lost ? contextAtLost : contextAtRestore) = SDL_GL_GetCurrentContext();
    }
    GLuint texture = 0;
    bool textureAtLost = false, textureAtRestore = true;
    void* contextAtLost = nullptr;
    void* contextAtRestore = nullptr;
  } handler;
  glGenTextures(1, &handler.texture);
  glBindTexture(GL_TEXTURE_2D, handler.texture);
  glBindTexture(GL_TEXTURE_2D, 0);
  Vision::Callbacks.OnVideoDeviceLost.RegisterCallback(&handler);
  Vision::Callbacks.OnVideoDeviceRestored.RegisterCallback(&handler);
  const bool reset = Vision::ResetVideoDevice();
  Vision::Callbacks.OnVideoDeviceLost.DeregisterCallback(&handler);
  Vision::Callbacks.OnVideoDeviceRestored.DeregisterCallback(&handler);

  EXPECT_TRUE(reset);
  EXPECT_TRUE(handler.textureAtLost);
  EXPECT_FALSE(handler.textureAtRestore);
  EXPECT_NE(handler.contextAtLost, nullptr);
  EXPECT_NE(handler.contextAtRestore, handler.contextAtLost);

  // The new context draws and presents as the old one did.
  DrawFrame();
  VImage frame;
  ASSERT_TRUE(VGLDevice::GetInstance().ReadFrame(frame));
  EXPECT_EQ(PixelAt(frame, 10, 10)[0], 255);
  EXPECT_EQ(PixelAt(frame, 300, 230)[0], 0);
}

namespace {

// The save previews read the back buffer as it lies: rows from the bottom, B, G, R.
TEST_F(GLDeviceTest, TheScreenIsReadIntoABufferFromTheBottomRowInBlueGreenRed) {
  ASSERT_TRUE(Start());
  DrawFrame();
  std::vector<unsigned char> buffer(320 * 240 * 3, 0x55);
  ASSERT_TRUE(Vision::Game.WriteScreenToBuffer(0, 0, 320, 240, buffer.data()));
  const unsigned char* topLeft = &buffer[(size_t)239 * 320 * 3];
  EXPECT_EQ(topLeft[0], 0);
  EXPECT_EQ(topLeft[1], 0);
  EXPECT_EQ(topLeft[2], 255);
  EXPECT_NE(buffer[2], 255);  // the bottom row is cleared
  // Outside the frame nothing is read.
  EXPECT_FALSE(Vision::Game.WriteScreenToBuffer(0, 0, 321, 240, buffer.data()));
}

}  // namespace
