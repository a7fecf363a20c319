// The world pass: once a frame, from the main render context's camera, it fills
// the renderer's draw list (terrain or sea, static geometry, the entities' model
// boxes and bones coloured by nation, particles, debug lines, screen masks) and the
// context's visibility collector, and marks each entity as seen or not: inside the
// view volume and not hidden behind a static box (the sight line from the camera
// to its box's centre meets none). Headless the list is all there is; with a window DrawWithDevice draws it
// with OpenGL (flat shading, depth test) under the GUI.
#pragma once

#include "engine/base/VBase.h"
#include "engine/base/VisMath.h"
#include "engine/render/VisDrawList.h"

#include <unordered_map>
#include <vector>

class VisBaseEntity_cl;
class VisRenderContext_cl;
class VisStaticGeometryInstance_cl;
class VType;
class VisVariable_cl;

// A context camera's view volume: near and far planes and the four sides of the
// field of view, tested in the camera's own frame (x forward, y left, z up).
class VBASE_IMPEXP VisFrustum_cl {
 public:
  explicit VisFrustum_cl(const VisRenderContext_cl& context);
  bool IsPointInside(const VisVector_cl& world) const;
  // False only when all eight corners lie outside one plane (a box that may touch
  // the volume counts as inside).
  bool IsBoxInside(const VisVector_cl corners[8]) const;
  // An oriented box: local min and max, turned by 'rotation' and moved to 'position'.
  bool IsBoxInside(const VisBoundingBox_cl& local, const VisVector_cl& position, const VisMatrix3x3_cl& rotation) const;
  // Whether the horizontal plane at 'height' crosses the volume.
  bool CrossesPlane(float height) const;
  // The volume's eight corners in the world (near ones first).
  void GetCorners(VisVector_cl out[8]) const;

 private:
  VisVector_cl ToLocal(const VisVector_cl& world) const;
  VisVector_cl m_position;
  VisMatrix3x3_cl m_rotation;
  float m_tanX, m_tanY, m_near, m_far;
};

class VBASE_IMPEXP VisWorldRenderer_cl {
 public:
  static VisWorldRenderer_cl& GetInstance();

  // The world pass for the context (the main one when null).
  void BuildFrame(VisRenderContext_cl* context = nullptr);
  // Draws the list into the window's framebuffer; nothing without a window.
  void DrawWithDevice(const VisRenderContext_cl* context = nullptr);

  // Colour of a nation's entities (grey for 0, none or less).
  static void GetNationColour(int nation, float out[4]);
  // The entity's model box (scaled) as an item of that kind; false without a box.
  static bool MakeEntityBoxItem(const VisBaseEntity_cl* entity, int kind, VisDrawItem_t& out);
  // The entity's nation read through its engine variable "m_iNation"; -1 when its
  // class has none.
  int GetEntityNation(const VisBaseEntity_cl* entity);

 private:
  std::unordered_map<const VType*, VisVariable_cl*> m_nationVars;  // by class, null: none
  std::vector<VisStaticGeometryInstance_cl*> m_occluders;            // this frame's, reused
};
