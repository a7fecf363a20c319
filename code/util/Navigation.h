// The land path finder over the walkability grid of the current scene
// ("CollisionMap.dds"): an A* search with a straight-line shortcut, and helpers
// that move a point onto walkable ground or draw a random walkable point. One
// exists, made by GameManager at start-up; all share one NavigationMap.
#pragma once

#include "util/NavigationMap.h"

#include "engine/base/VisMath.h"

#include <cstdint>
#include <vector>

class Navigation {
 public:
  // Side of the two cost grids; cells beyond it are clamped onto its edge.
  static constexpr int GRID_SIDE = 512;
  // Longest chain of parents followed back from the target.
  static constexpr int MAX_TRACE_STEPS = 1000;

  Navigation();
  virtual ~Navigation();
  Navigation(const Navigation&) = delete;
  Navigation& operator=(const Navigation&) = delete;

  // Loads the shared map from a grey-scale picture (see NavigationMap::Load).
  void Load(const char* imageFile);
  void LoadMap(const char* imageFile) { Load(imageFile); }

  // True when the cell under the point is on the grid and walkable.
  bool IsWalkableAt(const VisVector_cl& position) const;
  bool HasMap() const { return m_spMap && m_spMap->HasCells(); }
  NavigationMap* GetMap() const { return m_spMap.GetPtr(); }

  // Appends a route from start to target to out. True when the straight line is
  // free or the grid search found a route; false (out holding start and target)
  // when the search found none, and false without touching a null out. With
  // randomize, open cells now and then cost double, so equal routes vary.
  bool GetPath(std::vector<VisVector_cl>* out, bool randomize, VisVector_cl start, VisVector_cl target);
  // Moves pos onto walkable ground by probing circles of growing radius; true
  // when it is (or already was) on walkable ground.
  bool AdjustPositionToAccessibleArea(VisVector_cl& pos);
  // A random walkable point of the terrain (or of 4000 x 4000 units around the
  // origin); without allowNearPlayer never within 30 units of the player.
  VisVector_cl GetAccessibleRandomPosition(bool allowNearPlayer);

  // Nodes expanded by the last grid search.
  int GetSearchStatistics() const { return m_iSearchStatistics; }

 private:
  static int GridIndex(int column, int row) {
    column = column < 0 ? 0 : column > GRID_SIDE - 1 ? GRID_SIDE - 1 : column;
    row = row < 0 ? 0 : row > GRID_SIDE - 1 ? GRID_SIDE - 1 : row;
    return column * GRID_SIDE + row;
  }
  // Moves an end point that is not walkable onto walkable ground towards the other.
  void MoveEndPointToWalkable(VisVector_cl& point, const VisVector_cl& other);
  // Height of the ground at a point: 0 at sea.
  static float GroundHeightAt(float x, float y);
  bool TryStraightLine(std::vector<VisVector_cl>* out, const VisVector_cl& start, const VisVector_cl& target);
  // A node of the grid search: its cell, its parent's cell, cost from the start
  // and parent (an index into m_nodes, -1 for none). Kept small, and with the
  // parent's cell at hand, so the search stays in cache. Cells are on the grid or
  // next to it, except the start's, which is kept apart (m_iStartColumn, m_iStartRow).
  struct SearchNode {
    int16_t column;
    int16_t row;
    int16_t parentColumn;
    int16_t parentRow;
    float g;
    int parent;
  };
  // The open list: a binary min-heap of nodes on f, the keys apart from the nodes
  // so the way down reads little, with room past the end for reading ahead.
  class OpenList {
   public:
    void Clear() { m_count = 0; }
    bool Empty() const { return m_count == 0; }
    // Inline (defined in the search's own file) so the search calls them directly.
    inline void Push(float f, int node);
    inline int Pop();
    // The node on top; the list must not be empty.
    int Top() const { return m_nodes[0]; }

   private:
    // Moves the entry up from the hole to where its key belongs, as push_heap does.
    inline void SiftUp(size_t hole, uint32_t key, int node);

    std::vector<uint32_t> m_keys;  // the bits of f: as f is never below 0 they order as f does
    std::vector<int> m_nodes;
    size_t m_count = 0;
  };
  // The grid search proper; the index of the target node, or -1. The start node is 0.
  int Search(int startColumn, int startRow, int targetColumn, int targetRow, bool randomize);

  int m_iSearchStatistics = 0;
  std::vector<SearchNode> m_nodes;
  int m_iStartColumn = 0;
  int m_iStartRow = 0;
  OpenList m_openList;
  // GRID_SIDE x GRID_SIDE, a float a cell to keep the search's part of it in cache:
  // g while in the open list, -g while in the closed list, else 0 (a cell is never
  // in both). A search sets back the cells of its nodes when it ends.
  std::vector<float> m_cellCost;
  std::vector<int> m_trace;
  VSmartPtr<NavigationMap> m_spMap;
};
