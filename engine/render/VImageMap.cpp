// 24-bit pictures: box-filter scaling and JPEG through libjpeg.
#include "engine/render/VImageMap.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <jpeglib.h>

namespace {

// Weights of the source pixels that one target pixel covers along one axis.
struct Span {
  int first = 0;
  std::vector<float> weights;
};

std::vector<Span> Spans(int source, int target) {
  std::vector<Span> spans((size_t)target);
  const double step = (double)source / target;
  for (int t = 0; t < target; ++t) {
    const double from = t * step, to = (t + 1) * step;
    Span& span = spans[(size_t)t];
    span.first = std::min((int)std::floor(from), source - 1);
    const int last = std::min(std::max((int)std::ceil(to) - 1, span.first), source - 1);
    double total = 0.0;
    for (int s = span.first; s <= last; ++s) {
      const double w = std::max(0.0, std::min(to, (double)s + 1.0) - std::max(from, (double)s));
      span.weights.push_back((float)w);
      total += w;
    }
    for (float& w : span.weights) w = total > 0.0 ? (float)(w / total) : 1.0f / (float)span.weights.size();
  }
  return spans;
}

// libjpeg reports errors by calling error_exit, which must not return.
struct JpegError {
  jpeg_error_mgr mgr;
  jmp_buf jump;
};

void OnJpegError(j_common_ptr info) { longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1); }
void OnJpegMessage(j_common_ptr) {}

}  // namespace

VImageMap::VImageMap(int width, int height, std::vector<uint8_t> rgb) {
  if (width <= 0 || height <= 0 || rgb.size() != (size_t)width * height * 3) return;
  m_iWidth = width;
  m_iHeight = height;
  m_rgb = std::move(rgb);
}

bool VImageMap::Scale(int width, int height) {
  if (IsEmpty() || width < 1 || height < 1) return false;
  if (width == m_iWidth && height == m_iHeight) return true;
  const std::vector<Span> columns = Spans(m_iWidth, width), rows = Spans(m_iHeight, height);
  // Across first, into floats; then down.
  std::vector<float> across((size_t)width * m_iHeight * 3);
  for (int y = 0; y < m_iHeight; ++y) {
    const uint8_t* src = m_rgb.data() + (size_t)y * m_iWidth * 3;
    float* dst = across.data() + (size_t)y * width * 3;
    for (int x = 0; x < width; ++x) {
      const Span& span = columns[(size_t)x];
      float r = 0, g = 0, b = 0;
      for (size_t i = 0; i < span.weights.size(); ++i) {
        const uint8_t* p = src + (size_t)(span.first + (int)i) * 3;
        r += span.weights[i] * p[0];
        g += span.weights[i] * p[1];
        b += span.weights[i] * p[2];
      }
      dst[x * 3] = r, dst[x * 3 + 1] = g, dst[x * 3 + 2] = b;
    }
  }
  std::vector<uint8_t> out((size_t)width * height * 3);
  for (int y = 0; y < height; ++y) {
    const Span& span = rows[(size_t)y];
    for (int x = 0; x < width * 3; ++x) {
      float v = 0;
      for (size_t i = 0; i < span.weights.size(); ++i)
        v += span.weights[i] * across[(size_t)(span.first + (int)i) * width * 3 + (size_t)x];
      out[(size_t)y * width * 3 + (size_t)x] = (uint8_t)std::clamp((int)std::lround(v), 0, 255);
    }
  }
  m_iWidth = width;
  m_iHeight = height;
  m_rgb = std::move(out);
  return true;
}

bool VImageMap::EncodeJpeg(int quality, std::vector<uint8_t>& out) const {
  out.clear();
  if (IsEmpty()) return false;
  jpeg_compress_struct info{};
  JpegError error{};
  info.err = jpeg_std_error(&error.mgr);
  error.mgr.error_exit = OnJpegError;
  error.mgr.output_message = OnJpegMessage;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  if (setjmp(error.jump)) {
    jpeg_destroy_compress(&info);
    free(buffer);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = (JDIMENSION)m_iWidth;
  info.image_height = (JDIMENSION)m_iHeight;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, std::clamp(quality, 1, 100), TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(m_rgb.data() + (size_t)info.next_scanline * m_iWidth * 3);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  out.assign(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  free(buffer);
  return true;
}

bool VImageMap::DecodeJpeg(const std::vector<uint8_t>& file, VImageMap& out) {
  out = VImageMap();
  if (file.empty()) return false;
  jpeg_decompress_struct info{};
  JpegError error{};
  info.err = jpeg_std_error(&error.mgr);
  error.mgr.error_exit = OnJpegError;
  error.mgr.output_message = OnJpegMessage;
  // Held outside the frame: nothing set after setjmp lives in a register.
  auto rgb = std::make_unique<std::vector<uint8_t>>();
  if (setjmp(error.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, file.data(), (unsigned long)file.size());
  if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  const int width = (int)info.output_width, height = (int)info.output_height;
  rgb->resize((size_t)width * height * 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = rgb->data() + (size_t)info.output_scanline * width * 3;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  out = VImageMap(width, height, std::move(*rgb));
  return !out.IsEmpty();
}
