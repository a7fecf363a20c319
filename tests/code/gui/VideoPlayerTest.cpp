// Video playback into "<videotexture>": the bundled clips frame by frame, the
// blocking intro and how it ends, the looping menu video, volume, device loss
// and the failure path.
#include "support/GuiTestEnvironment.h"
#include "support/LogCapture.h"
#include "support/VideoClips.h"

#include "core/VisMainApp.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameLoadingScreen.h"
#include "gui/VideoPlayer.h"

#include <CEGUI/CEGUI.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

namespace {

// A step exact in binary, shorter than every clip's frame time.
constexpr float kStep = 1.0f / 64.0f;

class VideoPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env.Start(kStep);
    gui = env.StartGui();
    app = VisMainApp::GetInstance();
    s_pass = nullptr;
    VisionApp_cl::SetEventPump([](VisionApp_cl&) {
      if (s_pass) s_pass();
    });
  }
  void TearDown() override {
    VisionApp_cl::SetEventPump(nullptr);
    s_pass = nullptr;
    VisMainApp::CleanInstance();
    env.Stop();
  }

  // Runs at every input poll of a blocking video, with the pass number from 1.
  void OnPass(std::function<void(int)> f) {
    static int count;
    count = 0;
    static std::function<void(int)> call;
    call = std::move(f);
    s_pass = [] { call(++count); };
  }

  // The clip id and frame number the texture shows; alpha checked on every pixel.
  static void ReadTexture(const VTextureObject* texture, int& id, int& frame, bool& opaque) {
    const int w = texture->GetTextureWidth(), h = texture->GetTextureHeight();
    const uint8_t* px = texture->GetPixels().data();
    id = ReadVideoPattern(px, w, h, 4, w * 4, false, 0);
    frame = ReadVideoPattern(px, w, h, 4, w * 4, false, 1);
    opaque = true;
    for (size_t i = 3; i < texture->GetPixels().size(); i += 4) opaque &= px[i] == 0xFF;
  }

  // Menu-video frames until the position reaches the seconds.
  void RunUntil(VideoPlayer_cl& player, double seconds) {
    for (int guard = 0; guard < 1000 && player.GetPosition() < seconds; ++guard) {
      env.Frame();
      player.UpdateMainMenuVideo();
    }
  }

  static inline std::function<void()> s_pass;
  GuiTestEnvironment env;
  GUIManager* gui = nullptr;
  VisMainApp* app = nullptr;
};

TEST_F(VideoPlayerTest, EveryClipDecodesIntoTheTextureUprightOpaqueAtTheDueFrame) {
  for (const VideoClip& clip : kVideoClips) {
    SCOPED_TRACE(clip.file);
    VideoPlayer_cl player;
    ASSERT_EQ(player.InitStreamingVideo(clip.file), 1);
    EXPECT_EQ(player.HasSound(), clip.sound);
    VTextureObject* texture = player.GetVideoTexture();
    ASSERT_NE(texture, nullptr);
    EXPECT_STREQ(texture->GetFilename(), "<videotexture>");
    EXPECT_EQ(texture->GetTextureWidth(), clip.width);
    EXPECT_EQ(texture->GetTextureHeight(), clip.height);
    EXPECT_EQ(texture->GetResourceFlags() & 0x200, 0x200);

    // Half-way through a frame's time that frame shows; the id in the top band
    // means the decoder's bottom-up rows were turned.
    for (int expected : {0, 3, clip.frames - 1}) {
      RunUntil(player, (expected + 0.5) / clip.fps);
      int id = -1, frame = -1;
      bool opaque = false;
      ReadTexture(texture, id, frame, opaque);
      EXPECT_EQ(id, clip.id);
      EXPECT_EQ(frame, expected);
      EXPECT_TRUE(opaque);
    }
    player.DeInitMainMenuVideo();
    EXPECT_EQ(player.GetVideoTexture(), nullptr);
    EXPECT_EQ(player.GetState(), VideoPlayer_cl::STATE_STOPPED);
  }
}

TEST_F(VideoPlayerTest, IntroPlaysFullScreenToItsEndThenCleansUp) {
  int shownOnMask = 0;
  OnPass([&](int) {
    const auto masks = VisScreenMask_cl::GetVisibleMasks();
    if (masks.size() != 1) return;
    float x, y, w, h;
    masks[0]->GetPos(x, y);
    masks[0]->GetTargetSize(w, h);
    if (x == 0 && y == 0 && w == 1280 && h == 720 && masks[0]->GetFiltering() &&
        std::string(masks[0]->GetTextureObject()->GetFilename()) == "<videotexture>")
      ++shownOnMask;
    EXPECT_TRUE(MusicManager::GetInstance()->IsPaused());
    EXPECT_TRUE(SoundManager::GetInstance()->IsPaused());
  });
  VideoPlayer_cl player;
  const unsigned presented = app->GetPresentCount();
  EXPECT_EQ(player.PlayVideo("cutscenes/intro_movie.wmv"), 1);
  EXPECT_EQ(player.GetState(), VideoPlayer_cl::STATE_STOPPED);
  EXPECT_DOUBLE_EQ(player.GetPosition(), player.GetDuration());
  // Every one of the 30 frames is due at some pass of 1/64 s; each is rendered once.
  EXPECT_EQ(player.GetShownFrameCount(), 30);
  EXPECT_EQ(app->GetPresentCount() - presented, 30u);
  EXPECT_GT(shownOnMask, 100);
  EXPECT_TRUE(VisScreenMask_cl::GetVisibleMasks().empty());
  EXPECT_EQ(player.GetVideoTexture(), nullptr);
  EXPECT_FALSE(MusicManager::GetInstance()->IsPaused());
  EXPECT_FALSE(SoundManager::GetInstance()->IsPaused());
  EXPECT_FALSE(gui->WaitAfterConversation());
}

TEST_F(VideoPlayerTest, EnterEscapeOrSpaceEndTheIntroAtOnceAndHoldOffTheInGameMenu) {
  for (int key : {VGLK_ENTER, VGLK_ESC, VGLK_SPACE}) {
    SCOPED_TRACE(key);
    int endedAt = 0;
    // Pressed at pass 10, between two video frames (15 a second, 64 passes a second).
    OnPass([&](int pass) {
      endedAt = pass;
      if (pass == 10) Vision::Key.InjectKey(key, -1, true);
    });
    VideoPlayer_cl player;
    EXPECT_EQ(player.PlayVideo("cutscenes/intro_movie.wmv"), 1);
    EXPECT_EQ(endedAt, 10);
    EXPECT_LT(player.GetPosition(), 0.2);
    EXPECT_EQ(player.GetState(), VideoPlayer_cl::STATE_STOPPED);
    EXPECT_TRUE(gui->WaitAfterConversation());
    EXPECT_FALSE(Vision::Key.IsHeld(key));  // the keyboard was reset
    env.Stop();
    env.Start(kStep);
    gui = env.StartGui();
  }
}

TEST_F(VideoPlayerTest, FocusLossEndsTheIntroButOnlyPausesTheMenuVideo) {
  OnPass([&](int pass) {
    if (pass == 5) app->SetFocus(false);
  });
  {
    VideoPlayer_cl intro;
    EXPECT_EQ(intro.PlayVideo("cutscenes/intro_movie.wmv"), 1);
    EXPECT_LT(intro.GetPosition(), 0.1);
    EXPECT_FALSE(gui->WaitAfterConversation());
  }

  app->SetFocus(true);
  VideoPlayer_cl menu;
  ASSERT_EQ(menu.InitStreamingVideo("cutscenes/Menuvideo.wmv"), 1);
  RunUntil(menu, 0.35);
  app->SetFocus(false);
  env.Frame();
  menu.UpdateMainMenuVideo();
  const double position = menu.GetPosition();
  for (int i = 0; i < 20; ++i) {
    env.Frame();
    menu.UpdateMainMenuVideo();
  }
  EXPECT_TRUE(menu.IsPausedForFocusLoss());
  EXPECT_EQ(menu.GetState(), VideoPlayer_cl::STATE_PAUSED);
  EXPECT_DOUBLE_EQ(menu.GetPosition(), position);

  app->SetFocus(true);
  env.Frame();
  menu.UpdateMainMenuVideo();
  EXPECT_FALSE(menu.IsPausedForFocusLoss());
  EXPECT_EQ(menu.GetState(), VideoPlayer_cl::STATE_PLAYING);
  RunUntil(menu, position + 0.2);
  int id, frame;
  bool opaque;
  ReadTexture(menu.GetVideoTexture(), id, frame, opaque);
  EXPECT_EQ(frame, 5);
}

TEST_F(VideoPlayerTest, MenuVideoLoopsWithoutAStop) {
  VideoPlayer_cl menu;
  ASSERT_EQ(menu.InitStreamingVideo("cutscenes/Menuvideo.wmv"), 1);
  double last = 0.0;
  int wraps = 0;
  // Two and a half rounds: after each end the next update shows frame 0 again.
  for (int i = 0; i < 240; ++i) {
    env.Frame();
    menu.UpdateMainMenuVideo();
    ASSERT_EQ(menu.GetState(), VideoPlayer_cl::STATE_PLAYING);
    if (menu.GetPosition() < last) {
      ++wraps;
      int id, frame;
      bool opaque;
      ReadTexture(menu.GetVideoTexture(), id, frame, opaque);
      EXPECT_EQ(frame, 0);
    }
    last = menu.GetPosition();
  }
  EXPECT_EQ(wraps, 2);
}

TEST_F(VideoPlayerTest, VolumeFollowsMasterTimesSpeechVolume) {
  struct Case {
    float master, speech;
    long volume;
  };
  // 500 * ln v, truncated; silent at 1e-7 and below.
  for (const Case& c : {Case{1.0f, 1.0f, 0}, Case{1.0f, 0.0f, -10000}, Case{0.5f, 1.0f, -346},
                        Case{0.5f, 0.5f, -693}, Case{1e-7f, 1.0f, -10000}}) {
    SCOPED_TRACE(c.master);
    SoundManager::GetInstance()->SetMasterVolume(c.master);
    SoundManager::GetInstance()->SetSpeechVolume(c.speech);
    VideoPlayer_cl player;
    ASSERT_EQ(player.InitStreamingVideo("cutscenes/intro_movie.wmv"), 1);
    EXPECT_EQ(player.GetAudioVolume(), c.volume);
  }
  VideoPlayer_cl player;
  ASSERT_EQ(player.InitStreamingVideo("cutscenes/intro_movie.wmv"), 1);
  player.SetVolume(0.25f);
  EXPECT_EQ(player.GetAudioVolume(), (long)(500.0 * std::log(0.25)));
}

TEST_F(VideoPlayerTest, AFileThatCannotPlayLogsResumesSoundAndReturnsZero) {
  for (const char* file : {"cutscenes/missing.wmv", "settings.xml"}) {
    SCOPED_TRACE(file);
    LogCapture log;
    VideoPlayer_cl player;
    EXPECT_EQ(player.PlayVideo(file), 0);
    EXPECT_TRUE(log.Contains("Video file not found or invalid !"));
    EXPECT_TRUE(log.Contains("Couldn't initialize DirectShow.\nPerhaps the necessary Codec for the video format is missing?"));
    EXPECT_FALSE(MusicManager::GetInstance()->IsPaused());
    EXPECT_FALSE(SoundManager::GetInstance()->IsPaused());
    EXPECT_EQ(player.GetVideoTexture(), nullptr);
    EXPECT_EQ(player.InitStreamingVideo(file), 0);
  }
}

TEST_F(VideoPlayerTest, CutsceneHidesAShownLoadingScreenAndShowsItAgain) {
  gui->ShowLoadingScreen();
  bool hidingDuring = false;
  OnPass([&](int pass) {
    if (pass == 3) hidingDuring = gui->GetLoadingScreen()->IsHiding();
  });
  VideoPlayer_cl player;
  EXPECT_EQ(player.PlayVideo("cutscenes/cutscene1_jack.wmv"), 1);
  EXPECT_TRUE(hidingDuring);
  EXPECT_TRUE(player.WasLoadingScreenVisible());
  EXPECT_TRUE(gui->IsLoadingScreenVisible());
  EXPECT_FLOAT_EQ(gui->GetLoadingScreen()->GetAlpha(), 1.0f);

  VideoPlayer_cl menu;
  ASSERT_EQ(menu.InitStreamingVideo("cutscenes/Menuvideo.wmv"), 1);
  EXPECT_TRUE(menu.WasLoadingScreenVisible());
  EXPECT_TRUE(gui->GetLoadingScreen()->IsHiding());
}

TEST_F(VideoPlayerTest, DeviceLossDropsTheTextureAndRestoreRebuildsItWithTheLastFrame) {
  VideoPlayer_cl menu;
  ASSERT_EQ(menu.InitStreamingVideo("cutscenes/Menuvideo.wmv"), 1);
  RunUntil(menu, 0.45);
  std::vector<uint8_t> before = menu.GetVideoTexture()->GetPixels();

  Vision::Callbacks.OnVideoDeviceLost.TriggerCallbacks();
  EXPECT_EQ(menu.GetVideoTexture(), nullptr);
  EXPECT_TRUE(menu.IsPausedForDeviceLoss());
  EXPECT_EQ(menu.GetState(), VideoPlayer_cl::STATE_STOPPED);
  env.Frame();
  menu.UpdateMainMenuVideo();  // nothing to draw into, nothing breaks

  Vision::Callbacks.OnVideoDeviceRestored.TriggerCallbacks();
  ASSERT_NE(menu.GetVideoTexture(), nullptr);
  EXPECT_EQ(menu.GetVideoTexture()->GetPixels(), before);
  EXPECT_EQ(menu.GetState(), VideoPlayer_cl::STATE_PLAYING);
  EXPECT_FALSE(menu.IsPausedForDeviceLoss());
}

TEST_F(VideoPlayerTest, AFrameTheTextureRefusesIsDroppedWithAWarning) {
  VideoPlayer_cl menu;
  ASSERT_EQ(menu.InitStreamingVideo("cutscenes/Menuvideo.wmv"), 1);
  menu.GetVideoTexture()->EnsureUnloaded();
  LogCapture log;
  RunUntil(menu, 0.3);
  EXPECT_TRUE(log.Contains("Failed to update the texture"));
  EXPECT_EQ(menu.GetState(), VideoPlayer_cl::STATE_PLAYING);
  EXPECT_EQ(menu.GetShownFrameCount(), 0);
}

TEST_F(VideoPlayerTest, TheGuiShowsTheTextureThroughTheVideoImage) {
  VideoPlayer_cl menu;
  ASSERT_EQ(menu.InitStreamingVideo("cutscenes/Menuvideo.wmv"), 1);
  CEGUI::Renderer* renderer = gui->GetCEGUIRenderer();
  CEGUI::Texture* first = CeguiCompat::CreateTextureOver(renderer, menu.GetVideoTexture());
  CEGUI::Texture* second = CeguiCompat::CreateTextureOver(renderer, menu.GetVideoTexture());
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first->getName(), second->getName());
  EXPECT_EQ(first->getSize(), CEGUI::Sizef(162, 90));

  ASSERT_TRUE(CeguiCompat::DefineImageOnTexture("VideoImage", first, 162, 90));
  ASSERT_TRUE(CeguiCompat::DefineImageOnTexture("VideoImage", second, 162, 90));  // replaced
  const CEGUI::Image& image = CEGUI::ImageManager::getSingleton().get("VideoImage/full_image");
  // Auto-scaled from the texture's size as native resolution: the whole display.
  EXPECT_EQ(image.getRenderedSize(), CEGUI::Sizef(1280, 720));
  CeguiCompat::DestroyImageset("VideoImage");
  EXPECT_FALSE(CeguiCompat::IsImagesetDefined("VideoImage"));
  renderer->destroyTexture(*first);
  renderer->destroyTexture(*second);
}

}  // namespace
