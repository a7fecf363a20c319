// A piece of static scene geometry: a solid box placed in the world (the <collision>
// boxes of a scene). Physics bodies collide with it, physics ray casts report it as
// hit kind 4 and trace lines as hit type 2. The world owns it until it is unloaded.
#pragma once

#include "engine/core/VisTypedEngineObject.h"

class VBASE_IMPEXP VisStaticGeometryInstance_cl : public VisTypedEngineObject_cl {
  V_DECLARE_DYNAMIC(VisStaticGeometryInstance_cl)
 public:
  // A box of the given full size, centred on 'center' and turned by 'rotation'.
  VisStaticGeometryInstance_cl(const VisVector_cl& center, const VisVector_cl& size,
                               const VisMatrix3x3_cl& rotation);

  const VisVector_cl& GetCenter() const { return m_vCenter; }
  const VisVector_cl& GetSize() const { return m_vSize; }
  const VisMatrix3x3_cl& GetRotationMatrix() const { return m_mRotation; }
  // World-space box around the turned box.
  virtual void GetBoundingBox(VisBoundingBox_cl& out) const;
  // Entity the box came with in the scene (may be null); only its key is kept.
  const char* GetSourceKey() const { return GetObjectKey(); }

  // The engine's geometry type: 2 for the boxes and the terrain's surface.
  int GetGeometryType() const { return m_iGeometryType; }

  // Segment test: true when the segment from 'start' to 'end' enters the box; the
  // fraction along the segment (0 when 'start' is inside) and the outward normal
  // of the face it enters through.
  virtual bool IntersectSegment(const VisVector_cl& start, const VisVector_cl& end, float& fraction,
                                VisVector_cl& normal) const;

 protected:
  VisVector_cl m_vCenter;
  VisVector_cl m_vSize;
  VisMatrix3x3_cl m_mRotation;
  int m_iGeometryType = 2;
};
