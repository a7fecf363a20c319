// Path search over a 512 x 512 navigation grid. The worst case is a serpentine:
// walls across the whole grid every eighth column, each open at one end, the ends
// alternating, so that a search from one corner to the other expands every open
// cell (its route is longer than the 1000 steps a route is traced back, so the
// search ends without one). A cup of 300 x 300 cells open away from the target
// floods its inside before the route leaves it round the rim: a long search that
// finds its route. A field of scattered blocks is the common case. Reported as
// counters: node expansions per second, and the median and maximum time of one
// search in milliseconds.
#include "util/Navigation.h"

#include "tests/support/DdsFile.h"

#include "engine/Vision.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kSide = 512;

std::vector<uint8_t> Serpentine() {
  std::vector<uint8_t> pixels((size_t)kSide * kSide, 255);
  for (int column = 4, wall = 0; column < kSide - 2; column += 8, ++wall) {
    const int gapRow = wall % 2 == 0 ? kSide - 2 : 1;
    for (int row = 0; row < kSide; ++row)
      if (row != gapRow) pixels[(size_t)row * kSide + column] = 0;
  }
  return pixels;
}

// Walls on three sides of a square from (100, 100) to (400, 400), open towards column 0.
std::vector<uint8_t> Cup() {
  std::vector<uint8_t> pixels((size_t)kSide * kSide, 255);
  for (int i = 100; i <= 400; ++i) {
    pixels[(size_t)100 * kSide + i] = 0;
    pixels[(size_t)400 * kSide + i] = 0;
    pixels[(size_t)i * kSide + 400] = 0;
  }
  return pixels;
}

std::vector<uint8_t> ScatteredBlocks() {
  std::vector<uint8_t> pixels((size_t)kSide * kSide, 255);
  VSeedRandom(17u);
  for (int block = 0; block < 900; ++block) {
    const int column = VRandomInt() % (kSide - 8), row = VRandomInt() % (kSide - 8);
    for (int r = row; r < row + 6; ++r)
      for (int c = column; c < column + 6; ++c) pixels[(size_t)r * kSide + c] = (r + c) % 3 ? 0 : 100;
  }
  // Keep both corners open.
  for (int r = 0; r < 10; ++r)
    for (int c = 0; c < 10; ++c) {
      pixels[(size_t)r * kSide + c] = 255;
      pixels[(size_t)(kSide - 1 - r) * kSide + (kSide - 1 - c)] = 255;
    }
  return pixels;
}

double Percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, (size_t)(p * (double)(v.size() - 1) + 0.5))];
}

void RunSearches(benchmark::State& state, const std::vector<uint8_t>& pixels, int startColumn, int startRow,
                 int targetColumn, int targetRow) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "brinemark_navigation_bench";
  std::filesystem::create_directories(dir);
  dds_test::WriteDds((dir / "CollisionMap.dds").string(), kSide, kSide, pixels);
  Vision::File.AddDataDirectory(dir.c_str());
  Vision::World.ClearTerrain();
  Navigation nav;
  nav.Load("CollisionMap.dds");
  if (!nav.HasMap()) {
    state.SkipWithError("the grid did not load");
    return;
  }
  const VisVector_cl start = nav.GetMap()->CellToWorld(startColumn, startRow);
  const VisVector_cl target = nav.GetMap()->CellToWorld(targetColumn, targetRow);
  std::vector<VisVector_cl> route;
  route.reserve(4096);
  std::vector<double> ms;
  double expansions = 0.0;
  double seconds = 0.0;
  for (auto _ : state) {
    route.clear();
    const auto t0 = std::chrono::steady_clock::now();
    const bool found = nav.GetPath(&route, false, start, target);
    const auto t1 = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(found);
    const double s = std::chrono::duration<double>(t1 - t0).count();
    seconds += s;
    ms.push_back(s * 1000.0);
    expansions += nav.GetSearchStatistics();
  }
  state.counters["expansions_per_search"] = expansions / (double)ms.size();
  state.counters["expansions_per_second"] = seconds > 0.0 ? expansions / seconds : 0.0;
  state.counters["median_ms"] = Percentile(ms, 0.5);
  state.counters["max_ms"] = *std::max_element(ms.begin(), ms.end());
  state.counters["route_points"] = (double)route.size();
  Vision::File.RemoveAllDataDirectories();
  std::filesystem::remove_all(dir);
}

void BM_PathSearchSerpentine(benchmark::State& state) { RunSearches(state, Serpentine(), 1, 1, kSide - 2, kSide - 2); }
void BM_PathSearchCup(benchmark::State& state) { RunSearches(state, Cup(), 380, 250, 420, 250); }
void BM_PathSearchScatteredBlocks(benchmark::State& state) {
  RunSearches(state, ScatteredBlocks(), 1, 1, kSide - 2, kSide - 2);
}

BENCHMARK(BM_PathSearchSerpentine)->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_PathSearchCup)->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_PathSearchScatteredBlocks)->Unit(benchmark::kMillisecond)->Iterations(30);

}  // namespace

BENCHMARK_MAIN();
