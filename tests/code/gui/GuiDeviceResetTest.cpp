// A device reset with the OpenGL GUI renderer in a window on a private Xvfb
// display: the GUI's textures keep their pixels over the new context, and the
// main menu shows its video on a new texture over the new engine texture.
#include "support/GuiTestEnvironment.h"
#include "support/ScopedEnv.h"
#include "support/XvfbDisplay.h"

#include "engine/render/VDeviceReset.h"
#include "gui/FrameMainMenu.h"
#include "gui/VideoPlayer.h"

#include <CEGUI/CEGUI.h>
#include <CEGUI/RendererModules/OpenGL/GLRenderer.h>
#include <CEGUI/RendererModules/OpenGL/Texture.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

std::vector<uint8_t> Pixels(CEGUI::Texture& texture) {
  std::vector<uint8_t> out((size_t)(texture.getSize().d_width * texture.getSize().d_height * 4));
  texture.blitToMemory(out.data());
  return out;
}

TEST(GuiDeviceResetTest, TexturesSurviveTheNewContextAndTheMenuVideoMovesToANewOne) {
  if (!XvfbDisplay::IsInstalled()) GTEST_SKIP() << "Xvfb is not installed: no window can be tested";
  XvfbDisplay display(1280, 720);
  ASSERT_TRUE(display.IsRunning()) << display.Error();
  ScopedEnv displayName("DISPLAY", display.Name().c_str());
  ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
  ScopedEnv video("ENGINE_VIDEO", "gl");

  GuiTestEnvironment env;
  env.Start(0.1f);
  ASSERT_FALSE(VVideo::IsHeadless());
  GUIManager* gui = env.StartGui();
  ASSERT_TRUE(gui->IsInitialized());
  ASSERT_NE(dynamic_cast<CEGUI::OpenGLRenderer*>(gui->GetCEGUIRenderer()), nullptr);
  gui->InitLayouts();

  // A GUI texture of known pixels.
  CEGUI::Renderer* renderer = gui->GetCEGUIRenderer();
  CEGUI::Texture& plain = renderer->createTexture("DeviceResetProbe", CEGUI::Sizef(4, 4));
  std::vector<uint8_t> pattern(4 * 4 * 4);
  for (size_t i = 0; i < pattern.size(); ++i) pattern[i] = (uint8_t)(i * 7 + 3);
  plain.loadFromMemory(pattern.data(), CEGUI::Sizef(4, 4), CEGUI::Texture::PF_RGBA);

  gui->ShowFrame(WT_MAIN_MENU);
  auto* menu = dynamic_cast<FrameMainMenu*>(gui->FindWindowA(WT_MAIN_MENU));
  ASSERT_NE(menu, nullptr);
  ASSERT_NE(menu->GetVideoTexture(), nullptr);
  const CEGUI::String oldName = menu->GetVideoTexture()->getName();
  env.Frame();

  ASSERT_TRUE(Vision::ResetVideoDevice());
  EXPECT_EQ(Pixels(plain), pattern);
  EXPECT_EQ(glIsTexture(static_cast<CEGUI::OpenGLTexture&>(plain).getOpenGLTexture()), GL_TRUE);

  auto* videoTexture = static_cast<CEGUI::OpenGLTexture*>(menu->GetVideoTexture());
  ASSERT_NE(videoTexture, nullptr);
  EXPECT_NE(videoTexture->getName(), oldName);
  const unsigned engineTexture = menu->GetVideoPlayer()->GetVideoTexture()->GetGLHandle();
  EXPECT_NE(engineTexture, 0u);
  EXPECT_EQ(videoTexture->getOpenGLTexture(), engineTexture);
  EXPECT_EQ(glIsTexture(engineTexture), GL_TRUE);

  // Frames go on into the new texture and the GUI draws them.
  const int shown = menu->GetVideoPlayer()->GetShownFrameCount();
  for (int i = 0; i < 5; ++i) {
    env.Frame();
    env.RenderGui();
  }
  EXPECT_GT(menu->GetVideoPlayer()->GetShownFrameCount(), shown);
  renderer->destroyTexture(plain);
  env.Stop();
}

}  // namespace
