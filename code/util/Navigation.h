// The land path finder over the walkability grid of the current scene
// ("CollisionMap.dds"); one exists, made by GameManager at start-up.
#pragma once

#include "engine/base/VisMath.h"

class Navigation {
 public:
  Navigation();
  virtual ~Navigation();

  // True when the point lies on a walkable cell of the loaded grid. The grid and
  // the path search come with the land scenes; while no grid is loaded every
  // point reads as blocked.
  bool IsWalkableAt(const VisVector_cl& position) const;
  bool HasMap() const { return m_iWidth > 0 && m_iHeight > 0; }

 private:
  int m_iWidth = 0;
  int m_iHeight = 0;
};
