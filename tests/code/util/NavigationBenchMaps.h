// The three 512 x 512 walkability pictures of the path-search benchmark, shared
// with the test that holds the search to its recorded routes on them.
#pragma once

#include "engine/os/VOs.h"

#include <cstdint>
#include <vector>

namespace navigation_maps {

constexpr int kSide = 512;

// Walls across the whole grid every eighth column, each open at one end, the ends
// alternating: a search from one corner to the other expands every open cell.
inline std::vector<uint8_t> Serpentine() {
  std::vector<uint8_t> pixels((size_t)kSide * kSide, 255);
  for (int column = 4, wall = 0; column < kSide - 2; column += 8, ++wall) {
    const int gapRow = wall % 2 == 0 ? kSide - 2 : 1;
    for (int row = 0; row < kSide; ++row)
      if (row != gapRow) pixels[(size_t)row * kSide + column] = 0;
  }
  return pixels;
}

// Walls on three sides of a square from (100, 100) to (400, 400), open towards column 0.
inline std::vector<uint8_t> Cup() {
  std::vector<uint8_t> pixels((size_t)kSide * kSide, 255);
  for (int i = 100; i <= 400; ++i) {
    pixels[(size_t)100 * kSide + i] = 0;
    pixels[(size_t)400 * kSide + i] = 0;
    pixels[(size_t)i * kSide + 400] = 0;
  }
  return pixels;
}

// 900 blocks of 6 x 6 cells, mostly blocked with costly cells between, both corners open.
inline std::vector<uint8_t> ScatteredBlocks() {
  std::vector<uint8_t> pixels((size_t)kSide * kSide, 255);
  VSeedRandom(17u);
  for (int block = 0; block < 900; ++block) {
    const int column = VRandomInt() % (kSide - 8), row = VRandomInt() % (kSide - 8);
    for (int r = row; r < row + 6; ++r)
      for (int c = column; c < column + 6; ++c) pixels[(size_t)r * kSide + c] = (r + c) % 3 ? 0 : 100;
  }
  for (int r = 0; r < 10; ++r)
    for (int c = 0; c < 10; ++c) {
      pixels[(size_t)r * kSide + c] = 255;
      pixels[(size_t)(kSide - 1 - r) * kSide + (kSide - 1 - c)] = 255;
    }
  return pixels;
}

}  // namespace navigation_maps
