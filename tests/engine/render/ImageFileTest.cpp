// Picture files: screenshots as PNG (read back here with libpng itself) and the
// PNG and TGA pictures the hardware cursor reads.
#include "engine/render/VImageFile.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A 3x2 picture with a different colour in every pixel and a transparent one.
VImage MakePicture() {
  VImage image;
  image.width = 3;
  image.height = 2;
  image.rgba = {255, 0, 0, 255,  0, 255, 0, 255,  0, 0, 255, 255,
                10, 20, 30, 0,   200, 100, 50, 128, 255, 255, 255, 255};
  return image;
}

// libpng's simplified reader, independent of the code under test.
bool ReadRgb(const std::string& path, int& width, int& height, std::vector<unsigned char>& rgb, int& colourType) {
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_read_info(png, info);
  width = (int)png_get_image_width(png, info);
  height = (int)png_get_image_height(png, info);
  colourType = png_get_color_type(png, info);
  const size_t rowBytes = png_get_rowbytes(png, info);
  rgb.assign(rowBytes * height, 0);
  for (int y = 0; y < height; ++y) png_read_row(png, rgb.data() + rowBytes * y, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  fclose(f);
  return true;
}

class ImageFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("image-file-test-" + std::to_string(getpid()));
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }
  std::string Path(const char* name) const { return (folder / name).string(); }
  void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream(path, std::ios::binary).write((const char*)bytes.data(), (std::streamsize)bytes.size());
  }
  fs::path folder;
};

}  // namespace

TEST_F(ImageFileTest, ScreenshotPngHoldsTheRgbOfEveryPixelFromTheTop) {
  const std::string path = Path("shot.png");
  ASSERT_TRUE(VImageFile::WritePng(path.c_str(), MakePicture()));
  int width = 0, height = 0, type = -1;
  std::vector<unsigned char> rgb;
  ASSERT_TRUE(ReadRgb(path, width, height, rgb, type));
  EXPECT_EQ(width, 3);
  EXPECT_EQ(height, 2);
  // Opaque: a transparent pixel of the frame must not vanish in a viewer.
  EXPECT_EQ(type, PNG_COLOR_TYPE_RGB);
  const std::vector<unsigned char> expected = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30, 200, 100, 50, 255, 255, 255};
  EXPECT_EQ(rgb, expected);

  VImage back;
  ASSERT_TRUE(VImageFile::Read(path.c_str(), back));
  EXPECT_EQ(back.width, 3);
  EXPECT_EQ(back.rgba[4 * 4 + 0], 200);
  EXPECT_EQ(back.rgba[3 * 4 + 3], 255);
}

TEST_F(ImageFileTest, NothingIsWrittenForAnEmptyPictureOrAnUnwritablePlace) {
  LogCapture log;
  VImage empty;
  EXPECT_FALSE(VImageFile::WritePng(Path("empty.png").c_str(), empty));
  VImage shortData = MakePicture();
  shortData.rgba.pop_back();
  EXPECT_FALSE(VImageFile::WritePng(Path("short.png").c_str(), shortData));
  EXPECT_FALSE(fs::exists(Path("empty.png")));
  EXPECT_FALSE(fs::exists(Path("short.png")));
  EXPECT_FALSE(VImageFile::WritePng(Path("missing/folder/shot.png").c_str(), MakePicture()));
  EXPECT_TRUE(log.Contains("PNG not written: cannot create"));
  EXPECT_FALSE(VImageFile::WritePng(nullptr, MakePicture()));
}

TEST_F(ImageFileTest, TgaIsReadInBothRowOrdersAndWithoutAlpha) {
  // 2x2, 32 bits (BGRA), rows from the bottom (descriptor 0x08).
  std::vector<unsigned char> bottomUp = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 32, 0x08};
  const unsigned char bottomRow[] = {1, 2, 3, 4, 5, 6, 7, 8};
  const unsigned char topRow[] = {9, 10, 11, 12, 13, 14, 15, 16};
  bottomUp.insert(bottomUp.end(), bottomRow, bottomRow + 8);
  bottomUp.insert(bottomUp.end(), topRow, topRow + 8);
  WriteBytes(Path("up.tga"), bottomUp);
  VImage image;
  ASSERT_TRUE(VImageFile::Read(Path("up.tga").c_str(), image));
  ASSERT_EQ(image.width, 2);
  ASSERT_EQ(image.height, 2);
  const std::vector<unsigned char> expected = {11, 10, 9, 12, 15, 14, 13, 16, 3, 2, 1, 4, 7, 6, 5, 8};
  EXPECT_EQ(image.rgba, expected);

  // The same file marked top-down (0x28), and a 24-bit one-pixel file with an id field.
  bottomUp[17] = 0x28;
  WriteBytes(Path("down.tga"), bottomUp);
  ASSERT_TRUE(VImageFile::Read(Path("down.tga").c_str(), image));
  EXPECT_EQ(image.rgba[0], 3);
  std::vector<unsigned char> rgb24 = {2, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 24, 0, 'i', 'd', 30, 20, 10};
  WriteBytes(Path("rgb.tga"), rgb24);
  ASSERT_TRUE(VImageFile::Read(Path("rgb.tga").c_str(), image));
  EXPECT_EQ(image.rgba, (std::vector<unsigned char>{10, 20, 30, 255}));
}

TEST_F(ImageFileTest, DamagedAndUnknownFilesAreRefused) {
  struct Case {
    const char* name;
    std::vector<unsigned char> bytes;
  };
  std::vector<unsigned char> truncatedTga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 4, 0, 32, 0x28, 1, 2, 3};
  std::vector<unsigned char> compressedTga = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 32, 0x28, 0, 0, 0, 0, 0};
  std::vector<unsigned char> paletteTga = {0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 8, 0x28, 0};
  std::vector<unsigned char> truncatedPng = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13, 'I', 'H'};
  const Case cases[] = {{"truncated.tga", truncatedTga},
                        {"compressed.tga", compressedTga},
                        {"palette.tga", paletteTga},
                        {"truncated.png", truncatedPng},
                        {"empty.tga", {}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(Path(c.name), c.bytes);
    VImage image;
    EXPECT_FALSE(VImageFile::Read(Path(c.name).c_str(), image));
  }
  VImage image;
  EXPECT_FALSE(VImageFile::Read(Path("absent.png").c_str(), image));
}
