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

#include "tests/code/util/NavigationBenchMaps.h"
#include "tests/support/DdsFile.h"

#include "engine/Vision.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using navigation_maps::Cup;
using navigation_maps::kSide;
using navigation_maps::ScatteredBlocks;
using navigation_maps::Serpentine;

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
