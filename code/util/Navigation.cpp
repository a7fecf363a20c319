// The land path finder: A* over the shared walkability grid with a free-line
// shortcut, plus placement of points on walkable ground.
#include "util/Navigation.h"

#include "core/GameManager.h"
#include "util/NavigationTerrain.h"

#include "engine/base/VProfiling.h"
#include "engine/os/VOs.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace {

// The one map all path finders share.
NavigationMap* g_pSharedMap = nullptr;

int g_iProfileGetPath = -1;
int g_iProfileNeighbours = -1;

constexpr float kDiagonalFactor = 1.414f;
constexpr int kMaxEndPointMoves = 500;
constexpr int kMaxAdjustProbes = 500;
constexpr int kMaxRandomDraws = 1000;
constexpr float kNearPlayerDistance = 30.0f;

bool AtSea() { return GameManager::HasInstance() && GameManager::GetInstance()->IsPlayerAtSea(); }

float CellDistance(int c0, int r0, int c1, int r1) {
  const float dc = (float)(c1 - c0), dr = (float)(r1 - r0);
  return std::sqrt(dc * dc + dr * dr);
}

// A draw in 0..1 the way the game's random positions use it.
float RandomUnit() { return (float)VRandomInt() / 32767.0f; }

}  // namespace

Navigation::Navigation() {
  if (!g_pSharedMap) g_pSharedMap = new NavigationMap();
  m_spMap = g_pSharedMap;
  // Room for a node per cell: a long search then never moves the nodes it has made.
  m_nodes.reserve((size_t)GRID_SIDE * GRID_SIDE);
  m_cellCost.assign((size_t)GRID_SIDE * GRID_SIDE, 0.0f);
  if (g_iProfileGetPath < 0) {
    g_iProfileGetPath = VProfiling::RegisterElement("Get path", "Navigation");
    g_iProfileNeighbours = VProfiling::RegisterElement("Collect neighbors", "Navigation", g_iProfileGetPath);
  }
}

Navigation::~Navigation() {
  // The last finder to go takes the shared map with it.
  if (m_spMap && m_spMap->GetRefCount() == 1) g_pSharedMap = nullptr;
  m_spMap = nullptr;
}

void Navigation::Load(const char* imageFile) {
  if (m_spMap) m_spMap->Load(imageFile);
}

bool Navigation::IsWalkableAt(const VisVector_cl& position) const {
  return m_spMap && m_spMap->GetCellAt(position) < NavigationMap::FIRST_BLOCKED_COST;
}

float Navigation::GroundHeightAt(float x, float y) {
  return AtSea() ? 0.0f : NavigationTerrain::GroundHeight(x, y);
}

// ---- open list ---------------------------------------------------------------------------
// Stepped exactly as the standard library's push_heap and pop_heap step a heap
// (the hole down to a leaf along the cheaper child, the right one on a tie, then
// the last entry up from there), so equal nodes leave in the order they always
// have and routes do not change. Written out to choose the child without a branch
// and to fetch the grandchildren before the choice is known.

// Pop reads two keys at once, the left one in the low half.
static_assert(std::endian::native == std::endian::little);

void Navigation::OpenList::Push(float f, int node) {
  // Room for the reads ahead of Pop: up to twice the entries.
  if (2 * m_count + 16 >= m_keys.size()) {
    m_keys.resize(m_keys.size() * 2 + 4096);
    m_nodes.resize(m_keys.size());
  }
  uint32_t key;
  std::memcpy(&key, &f, sizeof key);
  SiftUp(m_count++, key, node);
}

void Navigation::OpenList::SiftUp(size_t hole, uint32_t key, int node) {
  uint32_t* const keys = m_keys.data();
  int* const nodes = m_nodes.data();
  while (hole > 0) {
    const size_t parent = (hole - 1) / 2;
    if (!(keys[parent] > key)) break;
    keys[hole] = keys[parent];
    nodes[hole] = nodes[parent];
    hole = parent;
  }
  keys[hole] = key;
  nodes[hole] = node;
}

int Navigation::OpenList::Pop() {
  uint32_t* const keys = m_keys.data();
  int* const nodes = m_nodes.data();
  const int top = nodes[0];
  const size_t len = --m_count;  // entries left once the top is out
  const uint32_t key = keys[len];
  const int node = nodes[len];
  size_t hole = 0;
  if (len > 2) {
    const size_t limit = (len - 1) / 2;
    // Grandchildren past the end are read from the spare room and never used.
    uint64_t children;
    std::memcpy(&children, keys + 1, sizeof children);
    while (hole < limit) {
      const size_t grand = 4 * hole + 3;
      uint64_t underLeft, underRight;
      std::memcpy(&underLeft, keys + grand, sizeof underLeft);
      std::memcpy(&underRight, keys + grand + 2, sizeof underRight);
      const uint32_t left = (uint32_t)children, right = (uint32_t)(children >> 32);
      const bool takeLeft = right > left;
      const size_t child = 2 * hole + 2 - (size_t)takeLeft;
      keys[hole] = takeLeft ? left : right;
      nodes[hole] = nodes[child];
      hole = child;
      children = takeLeft ? underLeft : underRight;
    }
  }
  if (len >= 2 && (len & 1) == 0 && hole == (len - 2) / 2) {
    const size_t child = 2 * hole + 1;
    keys[hole] = keys[child];
    nodes[hole] = nodes[child];
    hole = child;
  }
  SiftUp(hole, key, node);
  return top;
}

// ---- path search -----------------------------------------------------------------------

bool Navigation::GetPath(std::vector<VisVector_cl>* out, bool randomize, VisVector_cl start, VisVector_cl target) {
  if (!out) return false;
  VProfiling::StartElement(g_iProfileGetPath);
  MoveEndPointToWalkable(target, start);
  MoveEndPointToWalkable(start, target);

  if (TryStraightLine(out, start, target)) {
    VProfiling::StopElement(g_iProfileGetPath);
    return true;
  }

  const NavigationMap& map = *m_spMap;
  int startColumn = 0, startRow = 0, targetColumn = 0, targetRow = 0;
  if (map.HasCells()) {
    map.WorldToCell(start.x, start.y, startColumn, startRow);
    map.WorldToCell(target.x, target.y, targetColumn, targetRow);
  }
  const int targetNode = map.HasCells() ? Search(startColumn, startRow, targetColumn, targetRow, randomize) : -1;

  // Trace back from the target to the start node (0), at most MAX_TRACE_STEPS
  // parents; a longer chain gives no route.
  m_trace.clear();
  bool traced = false;
  if (targetNode >= 0) {
    int node = targetNode;
    for (int steps = 0; node != 0 && m_nodes[node].parent >= 0 && steps < MAX_TRACE_STEPS; ++steps) {
      m_trace.push_back(node);
      node = m_nodes[node].parent;
    }
    traced = node == 0;
  }

  out->push_back(start);
  std::vector<VisVector_cl> points;
  const bool sea = AtSea();
  if (traced) {
    // The start cell and every cell of the chain but the target's.
    const auto cellPoint = [&](int column, int row) {
      VisVector_cl p = map.CellToWorld(column, row);
      p.z = sea ? 0.0f : NavigationTerrain::GroundHeightIfLoaded(p.x, p.y);
      p.w = 1.0f;
      points.push_back(p);
    };
    cellPoint(m_iStartColumn, m_iStartRow);
    for (size_t i = m_trace.size(); i-- > 1;) cellPoint(m_nodes[m_trace[i]].column, m_nodes[m_trace[i]].row);
  }
  const size_t count = points.size();
  for (size_t i = 0; i + 2 < count; ++i) {
    VisVector_cl average = (points[i] + points[i + 1] + points[i + 2]) * 0.333f;
    average.w = 1.0f;
    out->push_back(average);
  }
  if (count >= 2) {
    VisVector_cl average = (points[count - 2] + points[count - 1] + target) * 0.333f;
    average.w = 1.0f;
    out->push_back(average);
  }
  out->push_back(target);

  VProfiling::StopElement(g_iProfileGetPath);
  return count > 0;
}

bool Navigation::TryStraightLine(std::vector<VisVector_cl>* out, const VisVector_cl& start, const VisVector_cl& target) {
  const NavigationMap& map = *m_spMap;
  const float step = map.GetScaleX();
  if (!map.HasCells() || step <= 0.0f) return false;
  const VisVector_cl lift(0.0f, 0.0f, 1.0f);
  if (NavigationTerrain::IsLineBlocked(start + lift, target + lift)) return false;
  VisVector_cl direction = target - start;
  if (direction.IsZero()) return false;
  direction.Normalize();
  const float length = start.GetDistance2D(target);

  std::vector<VisVector_cl> points;
  for (int i = 0;; ++i) {
    VisVector_cl p = start + direction * (step * (float)i);
    if (p.GetDistance2D(start) >= length) break;
    if (map.GetCellAt(p) >= NavigationMap::FIRST_BLOCKED_COST) return false;
    p.w = start.w;
    points.push_back(p);
  }
  out->insert(out->end(), points.begin(), points.end());
  return true;
}

int Navigation::Search(int startColumn, int startRow, int targetColumn, int targetRow, bool randomize) {
  const NavigationMap& map = *m_spMap;
  m_openList.Clear();
  m_nodes.clear();
  float* const cells = m_cellCost.data();
  const uint8_t* const costs = map.GetPaddedCosts();
  const ptrdiff_t stride = map.GetPaddedStride();
  m_iSearchStatistics = 0;

  const float startH = CellDistance(startColumn, startRow, targetColumn, targetRow);
  m_iStartColumn = startColumn;
  m_iStartRow = startRow;
  m_nodes.push_back(SearchNode{0, 0, 0, 0, 0.0f, -1});
  m_openList.Push(startH, 0);

  int found = -1;
  while (!m_openList.Empty()) {
    const int current = m_openList.Pop();
    // The next node on top is most often the next one taken: fetch it and its cell
    // while this one is expanded.
    if (!m_openList.Empty()) {
      const SearchNode& next = m_nodes[m_openList.Top()];
      __builtin_prefetch(&next);
      __builtin_prefetch(&cells[GridIndex(next.column, next.row)]);
    }
    const SearchNode stored = m_nodes[current];
    const struct {
      int column, row;
      float g;
      int parent, parentColumn, parentRow;
    } node = {current != 0 ? stored.column : m_iStartColumn, current != 0 ? stored.row : m_iStartRow,
              stored.g, stored.parent, stored.parentColumn, stored.parentRow};
    float& here = cells[GridIndex(node.column, node.row)];
    // A node replaced by a cheaper one for its cell is passed over: the same as
    // taking it out of the heap when the cheaper one came. (Only the start has g 0.)
    if (current != 0 && here != node.g) continue;
    if (here > 0.0f) here = 0.0f;  // out of the open list

    if (node.column == targetColumn && node.row == targetRow) {
      if (current != 0) found = current;
      break;
    }
    ++m_iSearchStatistics;

    // The walkable cells around it, but not the one it came from; a node is made
    // only for a neighbour that improves on what is known.
    VProfiling::StartElement(g_iProfileNeighbours);
    const bool hasParent = node.parent >= 0;
    // A node on the grid reads its neighbours from the padded bytes; only a start off
    // the grid needs the checked look-up.
    const bool inside = map.IsInside(node.column, node.row);
    const uint8_t* const around = costs + node.column + (ptrdiff_t)node.row * stride;
    for (int dr = -1; dr <= 1; ++dr) {
      const int row = node.row + dr;
      for (int dc = -1; dc <= 1; ++dc) {
        if (dc == 0 && dr == 0) continue;
        const int column = node.column + dc;
        const int value = inside ? (int)around[dc + (ptrdiff_t)dr * stride] : map.GetCell(column, row);
        if (value >= NavigationMap::FIRST_BLOCKED_COST) continue;
        if (hasParent && column == node.parentColumn && row == node.parentRow) continue;
        float cost = (float)value;
        if (randomize && value == 1 && VRandomInt() % 6 == 0) cost = 2.0f;
        if (dc != 0 && dr != 0) cost *= kDiagonalFactor;
        const float g = node.g + cost;
        // A walkable cell is on the grid, which is never wider than GRID_SIDE.
        float& next = cells[column * GRID_SIDE + row];
        if (next != 0.0f && std::fabs(next) <= g) continue;
        const int index = (int)m_nodes.size();
        // Both cells are on the grid or next to it here, well inside int16_t.
        m_nodes.push_back(SearchNode{(int16_t)column, (int16_t)row, (int16_t)node.column, (int16_t)node.row, g, current});
        next = g;
        m_openList.Push(g + CellDistance(column, row, targetColumn, targetRow), index);
      }
    }
    VProfiling::StopElement(g_iProfileNeighbours);
    // Into the closed list; the start's g of 0 only takes it out of the closed list.
    if (node.g != 0.0f) {
      here = -node.g;
    } else if (here < 0.0f) {
      here = 0.0f;
    }
  }
  // Every other cell is 0 already: after a long search clearing the whole grid in
  // one sweep is cheaper than visiting each node's cell.
  if (m_nodes.size() > m_cellCost.size() / 16) {
    std::fill(m_cellCost.begin(), m_cellCost.end(), 0.0f);
  } else {
    cells[GridIndex(m_iStartColumn, m_iStartRow)] = 0.0f;
    for (size_t i = 1; i < m_nodes.size(); ++i) cells[GridIndex(m_nodes[i].column, m_nodes[i].row)] = 0.0f;
  }
  return found;
}

// ---- placement on walkable ground ----------------------------------------------------

void Navigation::MoveEndPointToWalkable(VisVector_cl& point, const VisVector_cl& other) {
  if (AtSea()) point.z = 0.0f;
  const NavigationMap& map = *m_spMap;
  // Without a grid nothing is walkable, and nothing is gained by moving.
  if (!map.HasCells() || IsWalkableAt(point)) return;

  // The first walkable cell around it, else the nearest walkable ground.
  int column, row;
  map.WorldToCell(point.x, point.y, column, row);
  bool moved = false;
  for (int dr = -1; dr <= 1 && !moved; ++dr) {
    for (int dc = -1; dc <= 1 && !moved; ++dc) {
      if ((dc == 0 && dr == 0) || !map.IsWalkable(column + dc, row + dr)) continue;
      VisVector_cl centre = map.CellToWorld(column + dc, row + dr);
      centre.z = GroundHeightAt(centre.x, centre.y);
      centre.w = 1.0f;
      point = centre;
      moved = true;
    }
  }
  if (!moved) AdjustPositionToAccessibleArea(point);

  for (int i = 0; i < kMaxEndPointMoves && !IsWalkableAt(point); ++i) {
    VisVector_cl toOther = other - point;
    if (toOther.GetLength() <= 1.0f) {
      point = other;
      break;
    }
    toOther.Normalize();
    point += toOther;
  }
}

bool Navigation::AdjustPositionToAccessibleArea(VisVector_cl& pos) {
  if (IsWalkableAt(pos)) return true;
  if (!HasMap()) return false;
  const float cell = m_spMap->GetScaleX();
  float radius = cell;
  float heading = 0.0f;  // degrees from +y, turning about the vertical
  int k = 0;
  for (int probe = 0; probe < kMaxAdjustProbes; ++probe) {
    ++k;
    float turn = (k % 2 ? -15.0f : 15.0f) * (float)k;
    if (turn > 360.0f) {
      k = 0;
      turn = 0.0f;
      radius += cell;
    }
    heading += turn;
    const float rad = heading * 3.14159265f / 180.0f;
    const VisVector_cl offset(-std::sin(rad) * radius, std::cos(rad) * radius, 0.0f);
    const VisVector_cl candidate = pos + offset;
    if (IsWalkableAt(candidate)) {
      pos = VisVector_cl(candidate.x, candidate.y, candidate.z, pos.w);
      return true;
    }
  }
  return false;
}

VisVector_cl Navigation::GetAccessibleRandomPosition(bool allowNearPlayer) {
  float originX = -2000.0f, originY = -2000.0f, width = 4000.0f, height = 4000.0f;
  NavigationTerrain::Extent extent;
  if (NavigationTerrain::GetExtent(extent)) {
    originX = extent.originX;
    originY = extent.originY;
    width = extent.sizeX;
    height = extent.sizeY;
  }
  VisBaseEntity_cl* player = GameManager::HasInstance() ? GameManager::GetInstance()->GetPlayerEntity() : nullptr;
  VisVector_cl pos;
  for (int draw = 0; draw < kMaxRandomDraws; ++draw) {
    pos = VisVector_cl(RandomUnit() * width + originX, RandomUnit() * height + originY, 0.0f);
    if (!allowNearPlayer && player && pos.GetDistance2D(player->GetPosition()) <= kNearPlayerDistance) continue;
    if (IsWalkableAt(pos)) break;
  }
  pos.z = GroundHeightAt(pos.x, pos.y);
  pos.w = 1.0f;
  return pos;
}
