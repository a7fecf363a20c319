// The DDS reader: uncompressed 8- and 32-bit pictures, and every kind of file it
// must refuse without reading out of bounds.
#include "engine/Vision.h"
#include "support/LogCapture.h"
#include "support/ScratchDataFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

void Put32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = (unsigned char)(v >> (8 * i));
}

// A DDS file: magic, 124-byte header, pixel format, then the given pixel bytes.
Bytes MakeDds(uint32_t width, uint32_t height, uint32_t bits, uint32_t pfFlags, const Bytes& pixels,
              uint32_t fourCC = 0) {
  Bytes b(128 + pixels.size(), 0);
  std::copy(pixels.begin(), pixels.end(), b.begin() + 128);
  std::memcpy(b.data(), "DDS ", 4);
  Put32(b, 4, 124);
  Put32(b, 8, 0x100F);  // caps, height, width, pitch, pixel format
  Put32(b, 12, height);
  Put32(b, 16, width);
  Put32(b, 20, width * bits / 8);
  Put32(b, 76, 32);
  Put32(b, 80, pfFlags);
  Put32(b, 84, fourCC);
  Put32(b, 88, bits);
  if (bits == 32) {
    Put32(b, 92, 0x00ff0000);
    Put32(b, 96, 0x0000ff00);
    Put32(b, 100, 0x000000ff);
    Put32(b, 104, 0xff000000);
  } else {
    Put32(b, 92, 0xff);
  }
  Put32(b, 108, 0x1000);
  return b;
}

constexpr uint32_t kLuminance = 0x20000, kRgb = 0x40, kAlphaPixels = 0x1, kFourCC = 0x4;

TEST(DdsImageTest, ReadsEightAndThirtyTwoBitPictures) {
  VDdsImage image;
  const Bytes grey = {0, 16, 17, 208, 209, 255};
  ASSERT_TRUE(image.ReadFromMemory(MakeDds(3, 2, 8, kLuminance, grey).data(), 128 + grey.size()));
  EXPECT_EQ(image.GetWidth(), 3);
  EXPECT_EQ(image.GetHeight(), 2);
  EXPECT_EQ(image.GetBytesPerPixel(), 1);
  EXPECT_EQ(image.GetPitch(), 3);
  EXPECT_EQ(image.GetPixels(), grey);
  EXPECT_EQ(*image.GetPixel(0, 1), 208) << "rows from the top";

  // 32-bit: bytes as stored (B, G, R, A), so byte 0 of each pixel is the first channel.
  Bytes rgba;
  for (int i = 0; i < 4; ++i)
    for (unsigned char c : {(unsigned char)(i * 10), (unsigned char)1, (unsigned char)2, (unsigned char)255})
      rgba.push_back(c);
  Bytes file = MakeDds(2, 2, 32, kRgb | kAlphaPixels, rgba);
  file.push_back(0xAB);  // mip levels or padding after the top level are ignored
  ASSERT_TRUE(image.ReadFromMemory(file.data(), file.size()));
  EXPECT_EQ(image.GetBytesPerPixel(), 4);
  EXPECT_EQ(image.GetPitch(), 8);
  EXPECT_EQ(image.GetPixel(1, 1)[0], 30);
  EXPECT_EQ(image.GetPixels().size(), 16u);
}

TEST(DdsImageTest, RefusesCompressedOddAndDamagedFiles) {
  const Bytes four(4, 7), sixteen(16, 7);
  struct Case {
    const char* what;
    Bytes file;
  };
  std::vector<Case> cases = {
      {"empty", {}},
      {"short header", Bytes(100, 0)},
      {"compressed", MakeDds(4, 4, 0, kFourCC, sixteen, 0x31545844 /* DXT1 */)},
      {"24-bit", MakeDds(2, 2, 24, kRgb, Bytes(12, 1))},
      {"16-bit", MakeDds(2, 2, 16, kRgb, Bytes(8, 1))},
      {"no pixel kind", MakeDds(2, 2, 8, 0, four)},
      {"zero width", MakeDds(0, 2, 8, kLuminance, four)},
      {"too large", MakeDds(16385, 1, 8, kLuminance, four)},
      {"cut short", MakeDds(3, 3, 8, kLuminance, Bytes(8, 1))},
      {"huge claimed size", MakeDds(16384, 16384, 32, kRgb, four)},
  };
  Bytes badMagic = MakeDds(2, 2, 8, kLuminance, four);
  badMagic[0] = 'X';
  cases.push_back({"magic", badMagic});
  Bytes badSize = MakeDds(2, 2, 8, kLuminance, four);
  Put32(badSize, 4, 123);
  cases.push_back({"header size", badSize});
  Bytes cube = MakeDds(2, 2, 8, kLuminance, four);
  Put32(cube, 112, 0x200);
  cases.push_back({"cube map", cube});

  for (const Case& c : cases) {
    VDdsImage image;
    VString error;
    EXPECT_FALSE(image.ReadFromMemory(c.file.data(), c.file.size(), &error)) << c.what;
    EXPECT_FALSE(error.IsEmpty()) << c.what;
    EXPECT_EQ(image.GetWidth(), 0) << c.what;
    EXPECT_TRUE(image.GetPixels().empty()) << c.what;
  }
  VDdsImage image;
  EXPECT_FALSE(image.ReadFromMemory(nullptr, 200));
}

TEST(DdsImageTest, ReadsFilesThroughTheDataFoldersAndLogsRefusals) {
  ScratchDataFolder data;
  const Bytes pixels = {255, 0, 128, 64};
  const Bytes file = MakeDds(2, 2, 8, kLuminance, pixels);
  std::ofstream(data.Path() / "CollisionMap.dds", std::ios::binary)
      .write(reinterpret_cast<const char*>(file.data()), (std::streamsize)file.size());
  std::ofstream(data.Path() / "broken.dds", std::ios::binary) << "DDS not really";
  Vision::File.ClearCache();

  VDdsImage image;
  ASSERT_TRUE(image.ReadFromFile("\\collisionmap.DDS"));
  EXPECT_EQ(image.GetPixels(), pixels);

  LogCapture log;
  EXPECT_FALSE(image.ReadFromFile("broken.dds"));
  EXPECT_FALSE(image.ReadFromFile("missing.dds"));
  EXPECT_EQ(image.GetWidth(), 0);
  EXPECT_TRUE(log.Contains("broken.dds: too short"));
  EXPECT_TRUE(log.Contains("missing.dds not found"));
}

}  // namespace
