// What the world pass draws in a frame, as a list: filled every frame from the
// main camera, headless too, and drawn by the window's device when there is one.
// Tests read it instead of pixels.
#pragma once

#include "engine/base/VisMath.h"

#include <cstdint>
#include <vector>

class VisBaseEntity_cl;

enum VisDrawKind_e {
  VIS_DRAW_TERRAIN = 1,     // the terrain height field (a = origin, b = size)
  VIS_DRAW_SEA = 2,         // the sea plane at height 0
  VIS_DRAW_STATIC_BOX = 3,  // a piece of static geometry
  VIS_DRAW_ENTITY_BOX = 4,  // an entity's model box (a = min, b = max in the entity's frame)
  VIS_DRAW_BONE = 5,        // one bone of an entity's skeleton (a = start, b = end, world)
  VIS_DRAW_PARTICLE = 6,    // a particle (a = position)
  VIS_DRAW_OUTLINE = 7,     // an entity drawn with a shader technique (colour from its pass)
  VIS_DRAW_LINE = 8,        // a debug line (a = start, b = end, world)
  VIS_DRAW_SCREENMASK = 9,  // a screen mask (a = x, y; b = width, height in pixels)
};

struct VisDrawItem_t {
  int kind = 0;
  const void* object = nullptr;  // the entity, geometry, effect or mask drawn
  VisVector_cl a{0, 0, 0};
  VisVector_cl b{0, 0, 0};
  VisVector_cl position{0, 0, 0};  // the object's world position (entities)
  VisMatrix3x3_cl rotation;        // the object's world rotation (entities)
  float colour[4] = {1, 1, 1, 1};  // red, green, blue, alpha in 0..1
  const char* technique = nullptr; // outlines: the technique's name
};

class VBASE_IMPEXP VisDrawList_cl {
 public:
  void Clear() { m_items.clear(); }
  void Add(const VisDrawItem_t& item) { m_items.push_back(item); }
  const std::vector<VisDrawItem_t>& GetItems() const { return m_items; }
  int Count(int kind) const;
  // The first item of that kind for the object; null when none.
  const VisDrawItem_t* Find(const void* object, int kind) const;

 private:
  std::vector<VisDrawItem_t> m_items;
};
