// The grid search holds to the routes it was recorded finding on the benchmark's
// maps (NavigationRoutes.txt): the same points, the same result and the same
// number of expanded nodes, plain and with the random detours of a fixed seed. A
// faster search must break ties and draw its random numbers as before.
// Run with NAVIGATION_WRITE_ROUTES=1 to record the file afresh.
#include "tests/code/util/NavigationBenchMaps.h"
#include "util/Navigation.h"

#include "support/DdsFile.h"
#include "support/ScratchDataFolder.h"

#include "engine/Vision.h"
#include "engine/os/VOs.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using MapMaker = std::vector<uint8_t> (*)();

struct RouteCase {
  const char* name;
  MapMaker map;
  int startColumn, startRow, targetColumn, targetRow;
  bool randomize;
  unsigned seed;
};

const RouteCase kCases[] = {
    // Longer than a route is traced back: no route, every open cell expanded.
    {"serpentine", navigation_maps::Serpentine, 1, 1, 510, 510, false, 0},
    {"serpentine_short", navigation_maps::Serpentine, 1, 1, 10, 300, false, 0},
    {"cup", navigation_maps::Cup, 380, 250, 420, 250, false, 0},
    {"cup_out", navigation_maps::Cup, 420, 250, 380, 250, false, 0},
    {"blocks", navigation_maps::ScatteredBlocks, 1, 1, 510, 510, false, 0},
    {"blocks_across", navigation_maps::ScatteredBlocks, 505, 3, 4, 508, false, 0},
    {"blocks_random", navigation_maps::ScatteredBlocks, 1, 1, 510, 510, true, 5},
    {"cup_random", navigation_maps::Cup, 380, 250, 420, 250, true, 11},
};

struct Recorded {
  bool found = false;
  int expansions = 0;
  std::vector<VisVector_cl> route;
};

std::string RoutesFile() { return std::string(BRINEMARK_SOURCE_DIR) + "/tests/code/util/NavigationRoutes.txt"; }

// One case a block: "name found expansions points", then one "x y z" line a point.
std::map<std::string, Recorded> ReadRoutes() {
  std::map<std::string, Recorded> routes;
  std::ifstream in(RoutesFile());
  std::string name;
  int found = 0, expansions = 0;
  size_t points = 0;
  while (in >> name >> found >> expansions >> points) {
    Recorded& r = routes[name];
    r.found = found != 0;
    r.expansions = expansions;
    for (size_t i = 0; i < points; ++i) {
      VisVector_cl p;
      in >> p.x >> p.y >> p.z;
      r.route.push_back(p);
    }
  }
  return routes;
}

class NavigationRoutesTest : public ::testing::Test {
 protected:
  void TearDown() override { Vision::World.ClearTerrain(); }

  Recorded Run(const RouteCase& c) {
    dds_test::WriteDds((m_data.Path() / "CollisionMap.dds").string(), navigation_maps::kSide, navigation_maps::kSide,
                       c.map());
    Vision::File.ClearCache();
    Vision::World.ClearTerrain();
    Navigation nav;
    nav.Load("CollisionMap.dds");
    EXPECT_TRUE(nav.HasMap());
    VisVector_cl start = nav.GetMap()->CellToWorld(c.startColumn, c.startRow);
    VisVector_cl target = nav.GetMap()->CellToWorld(c.targetColumn, c.targetRow);
    start.w = target.w = 1.0f;
    VSeedRandom(c.seed);
    Recorded r;
    r.found = nav.GetPath(&r.route, c.randomize, start, target);
    r.expansions = nav.GetSearchStatistics();
    // A second search with the same finder gives the same again: nothing of the last one lingers.
    std::vector<VisVector_cl> again;
    VSeedRandom(c.seed);
    EXPECT_EQ(nav.GetPath(&again, c.randomize, start, target), r.found) << c.name;
    EXPECT_EQ(nav.GetSearchStatistics(), r.expansions) << c.name;
    EXPECT_EQ(again.size(), r.route.size()) << c.name;
    return r;
  }

  ScratchDataFolder m_data;
};

TEST_F(NavigationRoutesTest, RoutesOnTheBenchmarkMapsAreTheRecordedOnes) {
  if (std::getenv("NAVIGATION_WRITE_ROUTES")) {
    FILE* f = std::fopen(RoutesFile().c_str(), "w");
    ASSERT_NE(f, nullptr);
    for (const RouteCase& c : kCases) {
      const Recorded r = Run(c);
      std::fprintf(f, "%s %d %d %zu\n", c.name, r.found ? 1 : 0, r.expansions, r.route.size());
      for (const VisVector_cl& p : r.route) std::fprintf(f, "%.9g %.9g %.9g\n", p.x, p.y, p.z);
    }
    std::fclose(f);
    GTEST_SKIP() << "recorded " << RoutesFile();
  }
  const std::map<std::string, Recorded> recorded = ReadRoutes();
  ASSERT_EQ(recorded.size(), std::size(kCases)) << RoutesFile();
  for (const RouteCase& c : kCases) {
    SCOPED_TRACE(c.name);
    const Recorded& want = recorded.at(c.name);
    const Recorded got = Run(c);
    EXPECT_EQ(got.found, want.found);
    EXPECT_EQ(got.expansions, want.expansions);
    ASSERT_EQ(got.route.size(), want.route.size());
    for (size_t i = 0; i < want.route.size(); ++i) {
      // A different cell anywhere moves a point by a third of a cell at least.
      EXPECT_NEAR(got.route[i].x, want.route[i].x, 1e-3f) << i;
      EXPECT_NEAR(got.route[i].y, want.route[i].y, 1e-3f) << i;
      EXPECT_NEAR(got.route[i].z, want.route[i].z, 1e-3f) << i;
    }
  }
}

}  // namespace
