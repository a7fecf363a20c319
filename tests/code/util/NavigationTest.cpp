// The navigation map and the land path finder: the cost of each pixel, the size
// limit, the fit over the terrain, walkability, path results and the placement of
// points on walkable ground.
#include "util/Navigation.h"
#include "util/NavigationMap.h"

#include "support/DdsFile.h"
#include "support/LogCapture.h"
#include "support/ScratchDataFolder.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

namespace {

class NavigationTest : public ::testing::Test {
 protected:
  void TearDown() override { Vision::World.ClearTerrain(); }

  // Writes the grid as CollisionMap.dds and loads it (no terrain: one unit a cell,
  // the grid centred on the origin).
  void LoadRows(Navigation& nav, const std::vector<std::string>& rows, int bits = 8) {
    dds_test::WriteDds((m_data.Path() / "CollisionMap.dds").string(), (int)rows[0].size(), (int)rows.size(),
                       dds_test::PixelsFromRows(rows), bits);
    Vision::File.ClearCache();
    nav.Load("CollisionMap.dds");
  }
  // The world centre of a cell of the loaded grid.
  static VisVector_cl Centre(const Navigation& nav, int column, int row) {
    VisVector_cl p = nav.GetMap()->CellToWorld(column, row);
    p.w = 1.0f;
    return p;
  }

  ScratchDataFolder m_data;
};

// Every point of a route lies on walkable ground.
void ExpectAllWalkable(const Navigation& nav, const std::vector<VisVector_cl>& route) {
  for (const VisVector_cl& p : route) EXPECT_TRUE(nav.IsWalkableAt(p)) << p.x << ", " << p.y;
}

TEST_F(NavigationTest, CostOfEachPixelByItsFirstByte) {
  const struct {
    int byte;
    int cost;
  } cases[] = {{0, 6}, {16, 6}, {17, 5}, {64, 5}, {65, 4}, {112, 4}, {113, 3},
               {160, 3}, {161, 2}, {208, 2}, {209, 1}, {255, 1}};
  std::vector<uint8_t> row;
  for (const auto& c : cases) {
    EXPECT_EQ(NavigationMap::CostFromByte((unsigned char)c.byte), c.cost) << c.byte;
    row.push_back((uint8_t)c.byte);
  }
  // The same through a loaded picture, in both pixel depths: 32-bit pixels read their first byte.
  for (int bits : {8, 32}) {
    dds_test::WriteDds((m_data.Path() / "Costs.dds").string(), (int)row.size(), 1, row, bits);
    Vision::File.ClearCache();
    NavigationMap map;
    ASSERT_TRUE(map.Load("Costs.dds"));
    for (size_t i = 0; i < row.size(); ++i) EXPECT_EQ(map.GetCell((int)i, 0), cases[i].cost) << bits << " bits, " << i;
    EXPECT_EQ(map.GetCell(-1, 0), NavigationMap::BLOCKED);
    EXPECT_EQ(map.GetCell((int)row.size(), 0), NavigationMap::BLOCKED);
  }
}

TEST_F(NavigationTest, WalkableOnlyOnTheGridAndOnlyOnceAMapIsLoaded) {
  Navigation nav;
  EXPECT_FALSE(nav.IsWalkableAt(VisVector_cl(0, 0, 0)));
  LoadRows(nav, {"....", ".#5.", "....", "...."});
  // Without a terrain one cell is one unit: columns and rows 0..3 cover -2.5..1.5.
  EXPECT_TRUE(nav.IsWalkableAt(Centre(nav, 0, 0)));
  EXPECT_FALSE(nav.IsWalkableAt(Centre(nav, 1, 1)));
  EXPECT_TRUE(nav.IsWalkableAt(Centre(nav, 2, 1)));  // cost 5 is still walkable
  EXPECT_FALSE(nav.IsWalkableAt(VisVector_cl(50, 0, 0)));
  EXPECT_FALSE(nav.IsWalkableAt(VisVector_cl(0, -50, 0)));
}

TEST_F(NavigationTest, PicturesLargerThan512AreRefusedAndTheOldGridStays) {
  Navigation nav;
  LoadRows(nav, {"..", "#."});
  const VisVector_cl blocked = Centre(nav, 0, 1), open = Centre(nav, 0, 0);
  for (auto size : {std::pair<int, int>{513, 4}, {4, 513}}) {
    dds_test::WriteDds((m_data.Path() / "Big.dds").string(), size.first, size.second,
                       std::vector<uint8_t>((size_t)size.first * size.second, 255));
    Vision::File.ClearCache();
    LogCapture log;
    nav.Load("Big.dds");
    EXPECT_TRUE(log.Contains("NavigationMap::Load() Abort: Map size exceeds max: 512"));
    EXPECT_FALSE(log.Contains("NavigationMap::Load() DONE"));
    EXPECT_EQ(nav.GetMap()->GetWidth(), 2);
    EXPECT_FALSE(nav.IsWalkableAt(blocked));
    EXPECT_TRUE(nav.IsWalkableAt(open));
  }
  // 512 itself is fine.
  dds_test::WriteDds((m_data.Path() / "Edge.dds").string(), 512, 2, std::vector<uint8_t>(1024, 255));
  Vision::File.ClearCache();
  LogCapture log;
  nav.Load("Edge.dds");
  EXPECT_TRUE(log.Contains("NavigationMap::Load() DONE"));
  EXPECT_EQ(nav.GetMap()->GetWidth(), 512);
}

TEST_F(NavigationTest, GridIsFittedOverTheTerrain) {
  // A terrain of 200 x 96 units from (-40, 10), a picture of 50 x 24: 4 units a cell.
  ASSERT_TRUE(Vision::World.SetHeightFieldTerrain(VisVector_cl(-40, 10, 0), 200.0f, 96.0f, 2, 2, {0, 0, 0, 0}));
  dds_test::WriteDds((m_data.Path() / "CollisionMap.dds").string(), 50, 24, std::vector<uint8_t>(50 * 24, 255));
  Vision::File.ClearCache();
  Navigation nav;
  LogCapture log;
  nav.Load("CollisionMap.dds");
  EXPECT_TRUE(log.Contains("NavigationMap::Load() Loading map CollisionMap.dds -> Size 50 x 24 Terrain: 200 x 96 "
                           "Terrain Position: -40, 10 => Scale 4.00, 4.00 Offset -60, -58"));
  const NavigationMap* map = nav.GetMap();
  // The terrain's corners fall into the corner cells.
  int column, row;
  map->WorldToCell(-39.0f, 11.0f, column, row);
  EXPECT_EQ(column, 0);
  EXPECT_EQ(row, 0);
  map->WorldToCell(159.0f, 105.0f, column, row);
  EXPECT_EQ(column, 49);
  EXPECT_EQ(row, 23);
  const VisVector_cl centre = map->CellToWorld(0, 0);
  EXPECT_FLOAT_EQ(centre.x, -38.0f);
  EXPECT_FLOAT_EQ(centre.y, 12.0f);
}

TEST_F(NavigationTest, StartAndTargetInOneCellGiveNoPath) {
  Navigation nav;
  LoadRows(nav, {"....", "....", "....", "...."});
  // A route of no length takes the grid search, which stops at once.
  const VisVector_cl point = Centre(nav, 1, 2);
  std::vector<VisVector_cl> out;
  EXPECT_FALSE(nav.GetPath(&out, false, point, point));
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0], point);
  EXPECT_EQ(out[1], point);
  EXPECT_FALSE(nav.GetPath(nullptr, false, point, Centre(nav, 3, 3)));
}

TEST_F(NavigationTest, FreeStraightLineGivesPointsOneCellApartWithoutTheTarget) {
  Navigation nav;
  LoadRows(nav, std::vector<std::string>(8, std::string(16, '.')));
  const VisVector_cl start = Centre(nav, 1, 3), target = Centre(nav, 9, 3) + VisVector_cl(0.5f, 0, 0);
  std::vector<VisVector_cl> out;
  ASSERT_TRUE(nav.GetPath(&out, false, start, target));
  ASSERT_EQ(out.size(), 9u);  // 8.5 units: start and eight steps of one cell
  for (size_t i = 0; i < out.size(); ++i) {
    EXPECT_FLOAT_EQ(out[i].x, start.x + (float)i);
    EXPECT_FLOAT_EQ(out[i].y, start.y);
  }
}

TEST_F(NavigationTest, SearchGoesRoundAWallAndEndsAtTheTarget) {
  Navigation nav;
  LoadRows(nav, {
                    "..........",
                    "....#.....",
                    "....#.....",
                    "....#.....",
                    "....#.....",
                    "..........",
                });
  const VisVector_cl start = Centre(nav, 1, 3), target = Centre(nav, 8, 3);
  std::vector<VisVector_cl> out;
  ASSERT_TRUE(nav.GetPath(&out, false, start, target));
  EXPECT_EQ(out.front(), start);
  EXPECT_EQ(out.back(), target);
  // The route passes an end of the wall (smoothing may cut the corner, never the
  // wall's middle).
  bool passedEnd = false;
  for (const VisVector_cl& p : out) {
    passedEnd |= p.y > Centre(nav, 0, 4).y || p.y < Centre(nav, 0, 1).y;
    int column, row;
    nav.GetMap()->WorldToCell(p.x, p.y, column, row);
    EXPECT_FALSE(column == 4 && (row == 2 || row == 3)) << p.x << ", " << p.y;
  }
  EXPECT_TRUE(passedEnd);
  EXPECT_GT(nav.GetSearchStatistics(), 0);
}

TEST_F(NavigationTest, PathsPreferCheapCells) {
  // Two ways round the wall: over costly ground (5) near by, or over open ground.
  Navigation nav;
  LoadRows(nav, {
                    "...........",
                    "...........",
                    "....#......",
                    "....#......",
                    "....#......",
                    "55555555555",
                    "55555555555",
                });
  std::vector<VisVector_cl> out;
  ASSERT_TRUE(nav.GetPath(&out, false, Centre(nav, 2, 4), Centre(nav, 7, 4)));
  for (const VisVector_cl& p : out) EXPECT_NE(nav.GetMap()->GetCellAt(p), 5) << p.x << ", " << p.y;
}

TEST_F(NavigationTest, EnclosedTargetGivesStartAndTargetOnly) {
  Navigation nav;
  LoadRows(nav, {
                    ".......",
                    "...###.",
                    "...#.#.",
                    "...###.",
                    ".......",
                });
  const VisVector_cl start = Centre(nav, 0, 2), target = Centre(nav, 4, 2);
  std::vector<VisVector_cl> out;
  EXPECT_FALSE(nav.GetPath(&out, false, start, target));
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0], start);
  EXPECT_EQ(out[1], target);
}

TEST_F(NavigationTest, BlockedEndPointsMoveOntoWalkableGround) {
  Navigation nav;
  LoadRows(nav, {
                    "..........",
                    "..........",
                    ".....##...",
                    ".....##...",
                    "..........",
                });
  const VisVector_cl start = Centre(nav, 1, 1), blockedTarget = Centre(nav, 6, 3);
  ASSERT_FALSE(nav.IsWalkableAt(blockedTarget));
  std::vector<VisVector_cl> out;
  nav.GetPath(&out, false, start, blockedTarget);
  ASSERT_FALSE(out.empty());
  ExpectAllWalkable(nav, out);
  EXPECT_LT(out.back().GetDistance2D(blockedTarget), 1.5f);
}

TEST_F(NavigationTest, RandomizedSearchesVaryOverOpenGround) {
  // A wall forces the grid search; the open field beyond offers many equal routes.
  std::vector<std::string> rows(12, std::string(24, '.'));
  for (int r = 0; r < 11; ++r) rows[r][4] = '#';
  Navigation nav;
  LoadRows(nav, rows);
  const VisVector_cl start = Centre(nav, 1, 1), target = Centre(nav, 20, 2);
  auto route = [&](bool randomize) {
    std::vector<VisVector_cl> out;
    nav.GetPath(&out, randomize, start, target);
    std::string key;
    for (const VisVector_cl& p : out) key += std::to_string((int)std::lround(p.x * 10)) + "," + std::to_string((int)std::lround(p.y * 10)) + ";";
    return key;
  };
  std::set<std::string> plain, randomized;
  VSeedRandom(3);
  for (int i = 0; i < 20; ++i) {
    plain.insert(route(false));
    randomized.insert(route(true));
  }
  EXPECT_EQ(plain.size(), 1u);
  EXPECT_GT(randomized.size(), 1u);
}

TEST_F(NavigationTest, AdjustPositionFindsTheNearestWalkableGround) {
  Navigation nav;
  VisVector_cl nowhere(0, 0, 0);
  EXPECT_FALSE(nav.AdjustPositionToAccessibleArea(nowhere));
  LoadRows(nav, {
                    ".........",
                    "#########",
                    "#########",
                    "#########",
                    "#########",
                });
  VisVector_cl open = Centre(nav, 4, 0);
  EXPECT_TRUE(nav.AdjustPositionToAccessibleArea(open));
  EXPECT_EQ(open, Centre(nav, 4, 0));

  VisVector_cl pos = Centre(nav, 4, 2);
  pos.z = 3.0f;
  ASSERT_TRUE(nav.AdjustPositionToAccessibleArea(pos));
  EXPECT_TRUE(nav.IsWalkableAt(pos));
  EXPECT_FLOAT_EQ(pos.z, 3.0f);
  EXPECT_LT(pos.GetDistance2D(Centre(nav, 4, 2)), 3.0f);

  // Nothing walkable: 500 probes, then false and the point stays.
  LoadRows(nav, {"###", "###", "###"});
  VisVector_cl stuck = Centre(nav, 1, 1);
  EXPECT_FALSE(nav.AdjustPositionToAccessibleArea(stuck));
  EXPECT_EQ(stuck, Centre(nav, 1, 1));
}

TEST_F(NavigationTest, RandomPositionsAreWalkableAndInsideTheTerrain) {
  ASSERT_TRUE(Vision::World.SetHeightFieldTerrain(VisVector_cl(0, 0, 2), 40.0f, 40.0f, 2, 2, {0, 0, 0, 0}));
  std::vector<std::string> rows(10, std::string(10, '#'));
  rows[7] = "......####";  // one walkable strip
  Navigation nav;
  LoadRows(nav, rows);
  VSeedRandom(11);
  for (int i = 0; i < 20; ++i) {
    const VisVector_cl p = nav.GetAccessibleRandomPosition(true);
    EXPECT_TRUE(nav.IsWalkableAt(p)) << p.x << ", " << p.y;
    EXPECT_FLOAT_EQ(p.z, 2.0f);  // on the ground
  }
}

}  // namespace
