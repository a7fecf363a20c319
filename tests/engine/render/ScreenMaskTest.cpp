// Textures made in memory and screen masks: pixels kept and replaced by
// rectangle, the draw list headless, and the quad drawn in a window (Xvfb).
#include "engine/Vision.h"
#include "engine/render/VGLDevice.h"
#include "engine/render/VImageFile.h"
#include "engine/render/VTextureManager.h"
#include "engine/render/VisScreenMask.h"
#include "support/ScopedEnv.h"
#include "support/XvfbDisplay.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

// 2 x 2 B, G, R, A: red, green on top; blue, white below.
const uint8_t kQuadrants[] = {0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255, 255, 255, 255, 255};

TEST(ScreenMaskTest, TexturesKeepTheirPixelsAndMasksListInDrawingOrder) {
  VSmartPtr<VTextureObject> texture = Vision::TextureManager.Create2DTextureObject("<t>", 2, 2, 2, 0x820);
  ASSERT_TRUE(texture);
  EXPECT_EQ(texture->GetPixels(), std::vector<uint8_t>(16, 0));
  EXPECT_EQ(Vision::TextureManager.Create2DTextureObject("<t>", 0, 2, 2, 0), nullptr);
  ASSERT_TRUE(texture->UpdateRect(0, 0, 0, 2, 2, 8, kQuadrants));
  EXPECT_EQ(std::memcmp(texture->GetPixels().data(), kQuadrants, 16), 0);
  // One pixel, rows of 12 bytes in the source.
  const uint8_t grey[12] = {9, 9, 9, 9};
  ASSERT_TRUE(texture->UpdateRect(0, 1, 1, 1, 1, 12, grey));
  EXPECT_EQ(texture->GetPixels()[12], 9);
  // Refused: another level, outside, too short a pitch; nothing changes.
  EXPECT_FALSE(texture->UpdateRect(1, 0, 0, 1, 1, 4, grey));
  EXPECT_FALSE(texture->UpdateRect(0, 1, 0, 2, 1, 8, grey));
  EXPECT_FALSE(texture->UpdateRect(0, 0, 0, 2, 1, 4, grey));
  EXPECT_EQ(texture->GetPixels()[0], 0);
  texture->EnsureUnloaded();
  EXPECT_FALSE(texture->UpdateRect(0, 0, 0, 1, 1, 4, grey));

  VSmartPtr<VisScreenMask_cl> late = new VisScreenMask_cl(), early = new VisScreenMask_cl(),
                              hidden = new VisScreenMask_cl(), bare = new VisScreenMask_cl();
  late->SetTextureObject(texture);
  late->SetOrder(5);
  early->SetTextureObject(texture);
  early->SetOrder(-1);
  hidden->SetTextureObject(texture);
  hidden->SetVisible(false);
  EXPECT_EQ(VisScreenMask_cl::GetVisibleMasks(), (std::vector<VisScreenMask_cl*>{early, late}));
  early = nullptr;
  EXPECT_EQ(VisScreenMask_cl::GetVisibleMasks(), (std::vector<VisScreenMask_cl*>{late}));
}

TEST(ScreenMaskTest, AWindowDrawsTheMaskOverTheSceneWithTheTexturesTopRowOnTop) {
  if (!XvfbDisplay::IsInstalled()) GTEST_SKIP() << "Xvfb is not installed: no window can be tested";
  XvfbDisplay display(400, 300);
  ASSERT_TRUE(display.IsRunning()) << display.Error();
  VisionApp_cl app;
  app.m_videoConfig.m_iXRes = 320;
  app.m_videoConfig.m_iYRes = 240;
  {
    ScopedEnv name("DISPLAY", display.Name().c_str());
    ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    ScopedEnv video("ENGINE_VIDEO", "gl");
    ASSERT_TRUE(app.InitEngine());
  }
  {
    VSmartPtr<VTextureObject> texture = Vision::TextureManager.Create2DTextureObject("<t>", 2, 2, 2, 0x820);
    ASSERT_NE(texture->GetGLHandle(), 0u);
    // Drawn black first: the update must reach the device.
    ASSERT_TRUE(texture->UpdateRect(0, 0, 0, 2, 2, 8, kQuadrants));
    VSmartPtr<VisScreenMask_cl> mask = new VisScreenMask_cl();
    mask->SetTextureObject(texture);
    mask->SetTargetSize(320, 240);
    mask->SetFiltering(false);
    app.BeginRendering();
    app.RenderScene();
    app.EndRendering();
    app.UpdateScreen();
    VImage frame;
    ASSERT_TRUE(VGLDevice::GetInstance().ReadFrame(frame));
    auto rgb = [&](int x, int y) {
      const uint8_t* p = &frame.rgba[((size_t)y * frame.width + x) * 4];
      return std::vector<int>{p[0], p[1], p[2]};
    };
    EXPECT_EQ(rgb(40, 40), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(rgb(280, 40), (std::vector<int>{0, 255, 0}));
    EXPECT_EQ(rgb(40, 200), (std::vector<int>{0, 0, 255}));
    EXPECT_EQ(rgb(280, 200), (std::vector<int>{255, 255, 255}));
    texture->ReleaseDeviceHandle();
    EXPECT_EQ(texture->GetGLHandle(), 0u);
    EXPECT_EQ(texture->GetPixels().size(), 16u);
  }
  app.DeInitEngine();
}

}  // namespace
