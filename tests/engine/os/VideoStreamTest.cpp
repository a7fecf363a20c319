// Video files against the engine clock: the format handed to the sink, the newest
// due frame only, pausing, seeking and stopping.
#include "engine/base/VisTimer.h"
#include "engine/os/VVideoStream.h"
#include "support/VideoClips.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Clip(const char* file) { return std::string(BRINEMARK_SOURCE_DIR "/data/") + file; }

// Keeps the clip id and frame number of every frame it is given.
class RecordingSink : public IVVideoSink {
 public:
  bool CheckMediaType(const VVideoFormat& f) override {
    offered = f;
    return accept;
  }
  void SetMediaType(const VVideoFormat& f) override { format = f; }
  void DoRenderSample(const unsigned char* data, size_t size) override {
    sizes.push_back(size);
    ids.push_back(ReadVideoPattern(data, format.width, format.height, 3, format.pitch, true, 0));
    frames.push_back(ReadVideoPattern(data, format.width, format.height, 3, format.pitch, true, 1));
  }
  bool accept = true;
  VVideoFormat offered, format;
  std::vector<size_t> sizes;
  std::vector<int> ids, frames;
};

class VideoStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Vision::Timer.Reset();
    Vision::Timer.SetFixedTimeStep(0.25f);
  }
  void TearDown() override {
    Vision::Timer.SetFixedTimeStep(0.0f);
    Vision::Timer.Reset();
  }
};

TEST_F(VideoStreamTest, OpensVideoFilesOnlyAndOffersBottomUpRowsOnPaddedPitch) {
  VVideoStream stream;
  EXPECT_FALSE(stream.Open(Clip("cutscenes/missing.wmv").c_str()));
  EXPECT_FALSE(stream.Open(Clip("settings.xml").c_str()));
  EXPECT_FALSE(stream.IsOpen());

  RecordingSink refusing;
  refusing.accept = false;
  ASSERT_TRUE(stream.Open(Clip("cutscenes/Menuvideo.wmv").c_str()));
  EXPECT_FALSE(stream.Connect(&refusing));
  EXPECT_FALSE(stream.Run());

  // 162 pixels of 3 bytes make 486 bytes, padded to 488.
  RecordingSink sink;
  ASSERT_TRUE(stream.Connect(&sink));
  EXPECT_EQ(sink.format.width, 162);
  EXPECT_EQ(sink.format.height, 90);
  EXPECT_EQ(sink.format.pitch, 488);
  EXPECT_EQ(sink.format.bitsPerPixel, 24);
  EXPECT_TRUE(sink.format.bottomUp);
  EXPECT_FALSE(stream.HasAudio());
  EXPECT_NEAR(stream.GetDuration(), 1.5, 0.01);

  VVideoStream intro;
  ASSERT_TRUE(intro.Open(Clip("cutscenes/INTRO_MOVIE.WMV").c_str()));  // any case
  EXPECT_TRUE(intro.HasAudio());
}

TEST_F(VideoStreamTest, HandsOverOnlyTheNewestDueFrameAndFollowsPauseSeekAndStop) {
  VVideoStream stream;
  RecordingSink sink;
  ASSERT_TRUE(stream.Open(Clip("cutscenes/Menuvideo.wmv").c_str()));
  ASSERT_TRUE(stream.Connect(&sink));
  ASSERT_TRUE(stream.Run());
  ASSERT_TRUE(stream.WaitForDueFrames(2000));
  ASSERT_EQ(sink.frames, std::vector<int>({0}));
  EXPECT_EQ(sink.sizes[0], 488u * 90u);
  EXPECT_EQ(sink.ids[0], 2);

  // At 0.25 s (10 frames a second) frames 1 and 2 are due: only 2 is handed over.
  Vision::Timer.Update();
  ASSERT_TRUE(stream.WaitForDueFrames(2000));
  Vision::Timer.Update();
  Vision::Timer.Update();
  ASSERT_TRUE(stream.WaitForDueFrames(2000));
  EXPECT_EQ(sink.frames, std::vector<int>({0, 2, 7}));

  ASSERT_TRUE(stream.Pause());
  Vision::Timer.Update();
  ASSERT_TRUE(stream.WaitForDueFrames(2000));
  EXPECT_DOUBLE_EQ(stream.GetCurrentPosition(), 0.75);
  EXPECT_EQ(sink.frames.size(), 3u);

  ASSERT_TRUE(stream.SetCurrentPosition(0.0));
  ASSERT_TRUE(stream.Run());
  ASSERT_TRUE(stream.WaitForDueFrames(2000));
  EXPECT_EQ(sink.frames.back(), 0);

  // The end: the position stops at the duration and the last frame is shown.
  for (int i = 0; i < 8; ++i) Vision::Timer.Update();
  ASSERT_TRUE(stream.WaitForDueFrames(2000));
  EXPECT_DOUBLE_EQ(stream.GetCurrentPosition(), stream.GetDuration());
  EXPECT_EQ(sink.frames.back(), 14);

  // Stopped, nothing more arrives; running again goes on from the stop.
  ASSERT_TRUE(stream.SetCurrentPosition(0.5));
  ASSERT_TRUE(stream.Stop());
  const size_t delivered = sink.frames.size();
  Vision::Timer.Update();
  EXPECT_TRUE(stream.WaitForDueFrames(2000));
  EXPECT_EQ(sink.frames.size(), delivered);
  ASSERT_TRUE(stream.Run());
  ASSERT_TRUE(stream.WaitForDueFrames(2000));
  EXPECT_EQ(sink.frames.back(), 5);
}

}  // namespace
