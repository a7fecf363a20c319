// PNG through libpng; TGA (type 2, 24 or 32 bits) by its small header.
#include "engine/render/VImageFile.h"

#include "engine/base/VisError.h"

#include <png.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>

namespace {

struct FileCloser {
  void operator()(FILE* f) const {
    if (f) fclose(f);
  }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

// libpng reports errors by longjmp: nothing with a destructor lives in these frames
// between setjmp and the end of the libpng calls.
bool WritePngRows(FILE* file, const VImage& image, const std::vector<unsigned char>& rgb) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, (png_uint_32)image.width, (png_uint_32)image.height, 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < image.height; ++y) png_write_row(png, rgb.data() + (size_t)y * image.width * 3);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool ReadPng(const std::vector<unsigned char>& data, VImage& out) {
  png_image image = {};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data.data(), data.size())) return false;
  image.format = PNG_FORMAT_RGBA;
  if (image.width == 0 || image.height == 0 || image.width > 16384 || image.height > 16384) {
    png_image_free(&image);
    return false;
  }
  std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
    png_image_free(&image);
    return false;
  }
  out.width = (int)image.width;
  out.height = (int)image.height;
  out.rgba = std::move(pixels);
  return true;
}

bool ReadTga(const std::vector<unsigned char>& d, VImage& out) {
  if (d.size() < 18) return false;
  const size_t idLength = d[0];
  const int colourMapType = d[1], type = d[2];
  const int width = d[12] | (d[13] << 8), height = d[14] | (d[15] << 8);
  const int bits = d[16], descriptor = d[17];
  if (colourMapType != 0 || type != 2 || (bits != 24 && bits != 32) || width == 0 || height == 0) return false;
  const size_t bytes = (size_t)bits / 8;
  const size_t start = 18 + idLength;
  if (d.size() < start + (size_t)width * height * bytes) return false;
  const bool topDown = (descriptor & 0x20) != 0;
  out.width = width;
  out.height = height;
  out.rgba.assign((size_t)width * height * 4, 0);
  for (int y = 0; y < height; ++y) {
    const int row = topDown ? y : height - 1 - y;
    for (int x = 0; x < width; ++x) {
      const unsigned char* s = &d[start + ((size_t)y * width + x) * bytes];
      unsigned char* t = &out.rgba[((size_t)row * width + x) * 4];
      t[0] = s[2];
      t[1] = s[1];
      t[2] = s[0];
      t[3] = bytes == 4 ? s[3] : 255;
    }
  }
  return true;
}

}  // namespace

bool VImageFile::WritePng(const char* path, const VImage& image) {
  if (!path || image.width <= 0 || image.height <= 0 || image.rgba.size() != (size_t)image.width * image.height * 4) {
    Vision::Error.Warning("PNG not written: no picture");
    return false;
  }
  std::vector<unsigned char> rgb((size_t)image.width * image.height * 3);
  for (size_t i = 0, n = (size_t)image.width * image.height; i < n; ++i)
    for (int c = 0; c < 3; ++c) rgb[i * 3 + c] = image.rgba[i * 4 + c];
  FilePtr file(fopen(path, "wb"));
  if (!file) {
    Vision::Error.Warning("PNG not written: cannot create \"%s\"", path);
    return false;
  }
  bool ok = WritePngRows(file.get(), image, rgb);
  ok = fclose(file.release()) == 0 && ok;
  if (!ok) {
    Vision::Error.Warning("PNG not written: write to \"%s\" failed", path);
    remove(path);
  }
  return ok;
}

bool VImageFile::Read(const char* path, VImage& out) {
  std::ifstream in(path ? path : "", std::ios::binary);
  if (!path || !in) return false;
  const std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  static const unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  if (data.size() >= 8 && std::equal(kPngSignature, kPngSignature + 8, data.begin())) return ReadPng(data, out);
  return ReadTga(data, out);
}
