// The bundled clips of data/cutscenes (made by scripts/make_video_data.py) and a
// reader of the pattern each frame carries: the top quarter holds the clip's id,
// the next quarter the frame number, 8 black or white cells each, most
// significant bit left.
#pragma once

#include <cstdint>

struct VideoClip {
  const char* file;  // below the data folder
  int id;
  int width, height;
  int fps, frames;
  bool sound;
};

inline constexpr VideoClip kVideoClips[] = {
    {"cutscenes/intro_movie.wmv", 1, 160, 120, 15, 30, true},
    {"cutscenes/Menuvideo.wmv", 2, 162, 90, 10, 15, false},
    {"cutscenes/cutscene1_walker.wmv", 3, 128, 96, 10, 12, false},
    {"cutscenes/cutscene1_jolie.wmv", 4, 128, 96, 10, 12, false},
    {"cutscenes/cutscene1_jack.wmv", 5, 128, 96, 10, 12, false},
};

// The value of band 0 (clip id) or 1 (frame number) in a picture of 3- or 4-byte
// pixels. The picture's top row is row 0 in memory unless bottomUp.
inline int ReadVideoPattern(const uint8_t* pixels, int width, int height, int bytesPerPixel, int rowStride,
                            bool bottomUp, int band) {
  const int cell = width / 8, quarter = height / 4;
  const int y = band * quarter + quarter / 2;
  const uint8_t* row = pixels + (size_t)(bottomUp ? height - 1 - y : y) * rowStride;
  int value = 0;
  for (int i = 0; i < 8; ++i) {
    const uint8_t* px = row + (size_t)(i * cell + cell / 2) * bytesPerPixel;
    const int light = (px[0] + px[1] + px[2]) / 3;
    value = (value << 1) | (light > 128 ? 1 : 0);
  }
  return value;
}
