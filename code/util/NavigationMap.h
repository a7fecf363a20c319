// The walkability grid of a land or sea scene, made from the grey-scale picture
// "CollisionMap.dds" beside the scene, and the mapping between world and grid.
#pragma once

#include "engine/base/VRefCounter.h"
#include "engine/base/VisMath.h"
#include "engine/render/VTextureObject.h"

#include <cstdint>
#include <vector>

class NavigationMap : public VRefCounter {
 public:
  // Largest grid side; a bigger picture is refused.
  static constexpr int MAX_SIZE = 512;
  // Cost of a cell off the grid, or of any point while no cells are loaded.
  static constexpr int BLOCKED = 99999;
  // Cells of this cost and above are not walkable.
  static constexpr int FIRST_BLOCKED_COST = 6;

  NavigationMap() = default;
  ~NavigationMap() override = default;

  // Loads the picture and replaces the cells with the costs of its pixels' first
  // bytes, fitted over the terrain's extent. A picture wider or higher than
  // MAX_SIZE, or one that cannot be read, keeps the old cells; false then.
  bool Load(const char* imageFile);

  // Cost 1 (open) to 6 (blocked) of a pixel's first byte.
  static int CostFromByte(unsigned char b) { return 1 + (256 - (int)b) / 48; }

  bool HasCells() const { return !m_cells.empty(); }
  int GetWidth() const { return m_iWidth; }
  int GetHeight() const { return m_iHeight; }
  float GetScaleX() const { return m_fScaleX; }
  float GetScaleY() const { return m_fScaleY; }
  float GetOffsetX() const { return m_fOffsetX; }
  float GetOffsetY() const { return m_fOffsetY; }
  VTextureObject* GetTexture() const { return m_spTexture.GetPtr(); }

  // The cell under a world position (may lie off the grid).
  void WorldToCell(float x, float y, int& column, int& row) const {
    column = (int)((x + m_fOffsetX) / m_fScaleX + (float)m_iHalfWidth - 0.5f);
    row = (int)((y + m_fOffsetY) / m_fScaleY + (float)m_iHalfHeight - 0.5f);
  }
  // The centre of a cell in world x and y (z 0).
  VisVector_cl CellToWorld(int column, int row) const {
    return VisVector_cl(((float)(column - m_iHalfWidth) + 0.5f) * m_fScaleX - m_fOffsetX,
                        ((float)(row - m_iHalfHeight) + 0.5f) * m_fScaleY - m_fOffsetY, 0.0f);
  }
  bool IsInside(int column, int row) const {
    return column >= 0 && row >= 0 && column < m_iWidth && row < m_iHeight;
  }
  // BLOCKED off the grid.
  int GetCell(int column, int row) const {
    return IsInside(column, row) ? m_cells[(size_t)m_iWidth * row + column] : BLOCKED;
  }
  int GetCellAt(const VisVector_cl& position) const {
    if (m_cells.empty()) return BLOCKED;
    int column, row;
    WorldToCell(position.x, position.y, column, row);
    return GetCell(column, row);
  }
  bool IsWalkable(int column, int row) const { return GetCell(column, row) < FIRST_BLOCKED_COST; }

  // The costs again as bytes, in rows of GetPaddedStride() with a ring of blocked
  // cells round the grid: the path search reads a cell's neighbours without bounds
  // checks and with a quarter of the cache. Points at cell (0, 0); (column, row) is
  // at column + row * GetPaddedStride() for -1 <= column <= width, -1 <= row <= height.
  const uint8_t* GetPaddedCosts() const { return m_paddedCosts.data() + GetPaddedStride() + 1; }
  int GetPaddedStride() const { return m_iWidth + 2; }

 private:
  VSmartPtr<VTextureObject> m_spTexture;
  int m_iWidth = 0;
  int m_iHeight = 0;
  int m_iHalfWidth = 0;
  int m_iHalfHeight = 0;
  float m_fScaleX = 0.0f;
  float m_fScaleY = 0.0f;
  float m_fOffsetX = 0.0f;
  float m_fOffsetY = 0.0f;
  std::vector<int> m_cells;  // row-major, width x height
  std::vector<uint8_t> m_paddedCosts;  // (width + 2) x (height + 2), see GetPaddedCosts
};
