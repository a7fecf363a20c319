// Fake adapters, their mode lists and the headless video state.
#include "engine/core/VisionApp.h"

#include <gtest/gtest.h>

namespace {

class VideoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    VVideo::DeInitialize();
    VVideo::UseDefaultAdapters();
  }
  void TearDown() override {
    VVideo::DeInitialize();
    VVideo::UseDefaultAdapters();
  }
  static VVideoConfig Config(int w, int h, bool fullScreen, int adapter = 0) {
    VVideoConfig c;
    c.m_iXRes = w;
    c.m_iYRes = h;
    c.m_bFullScreen = fullScreen;
    c.m_iAdapter = adapter;
    return c;
  }
};

TEST_F(VideoTest, DefaultAdapterShowsTheDesktopWithEightModes) {
  ASSERT_EQ(VVideo::GetAdapterCount(), 1);
  VVideoMode desktop;
  ASSERT_TRUE(VVideo::GetAdapterMode(0, desktop));
  EXPECT_EQ(desktop.m_iXRes, 1920);
  EXPECT_EQ(desktop.m_iYRes, 1080);
  EXPECT_EQ(desktop.m_iRefreshRate, 60);

  const int expected[][2] = {{640, 480},   {800, 600},  {1024, 768}, {1280, 720},
                             {1280, 1024}, {1366, 768}, {1600, 900}, {1920, 1080}};
  ASSERT_EQ(VVideo::GetAdapterModeCount(0), 8);
  for (int i = 0; i < 8; ++i) {
    VVideoMode m;
    ASSERT_TRUE(VVideo::GetAdapterModeAt(0, i, m));
    EXPECT_EQ(m.m_iXRes, expected[i][0]) << i;
    EXPECT_EQ(m.m_iYRes, expected[i][1]) << i;
    EXPECT_EQ(m.m_iRefreshRate, 60);
    EXPECT_EQ(m.m_iBitsPerPixel, 32);
  }
  VVideoMode none;
  EXPECT_FALSE(VVideo::GetAdapterModeAt(0, 8, none));
  EXPECT_FALSE(VVideo::GetAdapterMode(1, none));
  EXPECT_STREQ(VVideo::GetAdapterMonitorName(0), "\\\\.\\DISPLAY1");
  EXPECT_STREQ(VVideo::GetDesktopMonitorName(), VVideo::GetAdapterMonitorName(0));
}

TEST_F(VideoTest, FakeAdaptersKeepOnly32BitModesAndMayHaveNone) {
  VVideo::SetFakeAdapters({{{1024, 768, 75, 32}, {800, 600, 60, 16}, {1280, 720, 50, 32}}, {}});
  ASSERT_EQ(VVideo::GetAdapterCount(), 2);
  VVideoMode m;
  ASSERT_TRUE(VVideo::GetAdapterMode(0, m));
  EXPECT_EQ(m.m_iXRes, 1024);
  EXPECT_EQ(m.m_iRefreshRate, 75);
  ASSERT_EQ(VVideo::GetAdapterModeCount(0), 2);
  ASSERT_TRUE(VVideo::GetAdapterModeAt(0, 1, m));
  EXPECT_EQ(m.m_iXRes, 1280);
  EXPECT_EQ(m.m_iRefreshRate, 50);
  EXPECT_STREQ(VVideo::GetAdapterMonitorName(1), "\\\\.\\DISPLAY2");

  EXPECT_FALSE(VVideo::GetAdapterMode(1, m));
  EXPECT_EQ(VVideo::GetAdapterModeCount(1), 0);
}

TEST_F(VideoTest, CurrentSizeAndDeviceExistOnlyWhileInitialised) {
  EXPECT_EQ(VVideo::GetCurrentWidth(), 0);
  EXPECT_EQ(VVideo::GetCurrentHeight(), 0);
  EXPECT_EQ(VVideo::GetD3DDevice(), nullptr);
  EXPECT_FALSE(VVideo::IsInitialized());

  // Full screen takes the configured size too, listed or not.
  ASSERT_TRUE(VVideo::Initialize(Config(1000, 700, true)));
  EXPECT_EQ(VVideo::GetCurrentWidth(), 1000);
  EXPECT_EQ(VVideo::GetCurrentHeight(), 700);
  EXPECT_TRUE(VVideo::IsFullScreen());
  EXPECT_NE(VVideo::GetD3DDevice(), nullptr);
  EXPECT_TRUE(VVideo::IsHeadless());

  VVideo::DeInitialize();
  EXPECT_EQ(VVideo::GetCurrentWidth(), 0);
  EXPECT_EQ(VVideo::GetD3DDevice(), nullptr);
}

TEST_F(VideoTest, MissingAdapterFallsBackToTheFirst) {
  ASSERT_TRUE(VVideo::Initialize(Config(1280, 720, false, 3)));
  EXPECT_EQ(VVideo::GetCurrentConfig().m_iAdapter, 0);
}

TEST_F(VideoTest, ChangeResolutionTakesOnlyListedSizes) {
  EXPECT_FALSE(VVideo::ChangeResolution(1024, 768, true)) << "no device yet";
  ASSERT_TRUE(VVideo::Initialize(Config(1280, 720, false)));

  struct Case {
    int w, h;
    bool fullScreen, accepted;
    int expectW, expectH;
  };
  const Case cases[] = {
      {1024, 768, true, true, 1024, 768},
      {1000, 700, false, false, 1024, 768},
      {1366, 768, false, true, 1366, 768},
      {768, 1366, false, false, 1366, 768},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VVideo::ChangeResolution(c.w, c.h, c.fullScreen), c.accepted) << c.w << "x" << c.h;
    EXPECT_EQ(VVideo::GetCurrentWidth(), c.expectW);
    EXPECT_EQ(VVideo::GetCurrentHeight(), c.expectH);
    EXPECT_EQ(VVideo::GetCurrentConfig().m_iXRes, c.expectW);
  }
  EXPECT_FALSE(VVideo::IsFullScreen());
}

}  // namespace
