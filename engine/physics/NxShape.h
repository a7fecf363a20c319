// A collision shape of a physics actor, and the description that makes one. All
// shapes of an actor share the actor's collision group and bitmask.
#pragma once

#include "engine/base/VString.h"
#include "engine/base/VisMath.h"

#include <vector>

class NxActor;

enum NxShapeType {
  NX_SHAPE_SPHERE = 1,
  NX_SHAPE_BOX = 2,
  NX_SHAPE_CAPSULE = 3,  // along the shape's local z axis
  NX_SHAPE_CONVEX = 4,
  NX_SHAPE_CAPSULE_Y = 5,  // along the shape's local y axis (ragdoll limbs)
};

// Collision filter words of a shape; the stand-in uses bits0 (the collision bitmask).
struct NxGroupsMask {
  unsigned bits0 = 0, bits1 = 0, bits2 = 0, bits3 = 0;
};

struct NxShapeDesc {
  NxShapeType type = NX_SHAPE_BOX;
  VisVector_cl localPosition{0, 0, 0};
  VisMatrix3x3_cl localRotation;
  VisVector_cl dimensions{0.5f, 0.5f, 0.5f};  // box: half extents
  float radius = 0.5f;                        // sphere and capsule
  float height = 1.0f;                        // capsules: between the two sphere centres
  std::vector<VisVector_cl> points;           // convex: hull points in shape space
  VString name;
};

class VBASE_IMPEXP NxShape {
 public:
  NxShapeType getType() const { return m_desc.type; }
  NxActor& getActor() const { return *m_pActor; }
  const VisVector_cl& getLocalPosition() const { return m_desc.localPosition; }
  const VisMatrix3x3_cl& getLocalOrientation() const { return m_desc.localRotation; }
  const VisVector_cl& getDimensions() const { return m_desc.dimensions; }
  float getRadius() const { return m_desc.radius; }
  float getHeight() const { return m_desc.height; }
  const std::vector<VisVector_cl>& getPoints() const { return m_desc.points; }
  const char* getName() const { return m_desc.name.AsChar(); }
  void setName(const char* name) { m_desc.name = name; }
  // The actor's collision group and bitmask (setting them sets the actor's).
  int getGroup() const;
  void setGroup(int group);
  NxGroupsMask getGroupsMask() const;
  void setGroupsMask(const NxGroupsMask& mask);
  void saveToDesc(NxShapeDesc& out) const { out = m_desc; }

 private:
  friend class NxActor;
  friend class vPhysXScene;
  NxShape(NxActor* actor, const NxShapeDesc& desc) : m_pActor(actor), m_desc(desc) {}
  NxActor* m_pActor;
  NxShapeDesc m_desc;
};
