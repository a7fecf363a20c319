// 24-bit pictures: the box filter's means and the JPEG files of the save previews.
#include "engine/Vision.h"
#include "engine/render/VImageMap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

VImageMap Filled(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
  std::vector<uint8_t> rgb((size_t)w * h * 3);
  for (size_t i = 0; i < rgb.size(); i += 3) rgb[i] = r, rgb[i + 1] = g, rgb[i + 2] = b;
  return VImageMap(w, h, rgb);
}

TEST(ImageMap, TheBoxFilterTakesTheMeanOfTheCoveredArea) {
  struct Case {
    const char* what;
    int w, h;
    std::vector<uint8_t> grey;  // one value a pixel, rows from the top
    int outW, outH;
    std::vector<uint8_t> expected;
  } cases[] = {
      {"halved", 4, 2, {0, 100, 200, 40, 20, 60, 0, 0}, 2, 1, {45, 60}},
      // 3 -> 2: each target covers one and a half source pixels.
      {"thirds", 3, 1, {0, 90, 180}, 2, 1, {30, 150}},
      // 2 -> 3: the middle target straddles both.
      {"enlarged", 2, 1, {0, 90}, 3, 1, {0, 45, 90}},
      {"same size", 2, 1, {7, 9}, 2, 1, {7, 9}},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> rgb;
    for (uint8_t v : c.grey) rgb.insert(rgb.end(), {v, v, v});
    VImageMap map(c.w, c.h, rgb);
    ASSERT_TRUE(map.Scale(c.outW, c.outH)) << c.what;
    ASSERT_EQ(map.GetWidth(), c.outW);
    ASSERT_EQ(map.GetHeight(), c.outH);
    std::vector<uint8_t> got;
    for (size_t i = 0; i < map.GetData().size(); i += 3) got.push_back(map.GetData()[i]);
    EXPECT_EQ(got, c.expected) << c.what;
  }
  // A frame of the window, 1280 x 720, to the preview's size keeps its colour.
  VImageMap frame = Filled(1280, 720, 200, 100, 50);
  ASSERT_TRUE(frame.Scale(320, 200));
  EXPECT_EQ(frame.GetData()[0], 200);
  EXPECT_EQ(frame.GetData()[frame.GetData().size() - 1], 50);
  // Nothing to scale, or to no size.
  VImageMap empty;
  EXPECT_FALSE(empty.Scale(320, 200));
  EXPECT_FALSE(Filled(2, 2, 0, 0, 0).Scale(0, 200));
  EXPECT_TRUE(VImageMap(2, 2, std::vector<uint8_t>(5)).IsEmpty());
}

TEST(ImageMap, JpegFilesDecodeToThePictureWithinTheQuality) {
  VImageMap picture = Filled(320, 200, 30, 160, 220);
  std::vector<uint8_t> file;
  ASSERT_TRUE(picture.EncodeJpeg(70, file));
  ASSERT_GT(file.size(), 4u);
  EXPECT_EQ(file[0], 0xFF);
  EXPECT_EQ(file[1], 0xD8);
  VImageMap back;
  ASSERT_TRUE(VImageMap::DecodeJpeg(file, back));
  EXPECT_EQ(back.GetWidth(), 320);
  EXPECT_EQ(back.GetHeight(), 200);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(back.GetData()[(size_t)(100 * 320 + 160) * 3 + i], picture.GetData()[i], 4);

  // Damaged files are refused, never fatal.
  std::vector<uint8_t> cut(file.begin(), file.begin() + 20);
  EXPECT_FALSE(VImageMap::DecodeJpeg(cut, back));
  EXPECT_FALSE(VImageMap::DecodeJpeg(std::vector<uint8_t>{1, 2, 3}, back));
  EXPECT_FALSE(VImageMap::DecodeJpeg({}, back));
  EXPECT_FALSE(VImageMap().EncodeJpeg(70, file));
}

TEST(ImageMap, WithoutAWindowTheScreenCannotBeRead) {
  std::vector<uint8_t> buffer(64 * 64 * 3, 0xAB);
  EXPECT_FALSE(Vision::Game.WriteScreenToBuffer(0, 0, 64, 64, buffer.data()));
  EXPECT_EQ(buffer[0], 0xAB);
}

}  // namespace
