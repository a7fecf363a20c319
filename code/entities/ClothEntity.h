// A scene entity whose mesh is a cloth: a ship's sails and flags, ropes. It is
// parented to its ship, scaled with it, traced by cannon balls and pushed by hits;
// a rope hangs between the bodies it is attached to. The cloth simulation itself is
// not here yet: a hit's push is kept as the pending push that the simulation
// applies, and a rope's ends are the places of its anchors.
#pragma once

#include "engine/base/VCallback.h"
#include "engine/base/VString.h"
#include "engine/core/VisBaseEntity.h"

#include <vector>

class ClothEntity : public VisBaseEntity_cl, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(ClothEntity)
 public:
  // A local push of the cloth: a velocity change within a radius around a point.
  struct Push {
    VisVector_cl position{0, 0, 0};
    VisVector_cl velocityChange{0, 0, 0};
    float radius = 0.0f;
  };

  // Cloth flags as the configuration names them ("NX_CLF_GRAVITY", ...).
  enum ClothFlag : unsigned {
    CLOTH_PRESSURE = 1,
    CLOTH_STATIC = 2,
    CLOTH_DISABLE_COLLISION = 4,
    CLOTH_SELFCOLLISION = 8,
    CLOTH_VISUALIZATION = 16,
    CLOTH_GRAVITY = 32,
    CLOTH_BENDING = 64,
    CLOTH_BENDING_ORTHO = 128,
    CLOTH_DAMPING = 256,
    CLOTH_COLLISION_TWOWAY = 512,
    CLOTH_TRIANGLE_COLLISION = 2048,
    CLOTH_TEARABLE = 4096,
    CLOTH_HARDWARE = 8192,
    CLOTH_COMDAMPING = 16384,
    CLOTH_VALIDBOUNDS = 32768,
    CLOTH_FLUID_COLLISION = 65536,
    CLOTH_DISABLE_DYNAMIC_CCD = 131072,
    CLOTH_ADHERE = 262144,
    CLOTH_HARD_STRETCH_LIMITATION = 524288,
    CLOTH_UNTANGLING = 1048576,
    CLOTH_INTER_COLLISION = 2097152,
  };
  // What the cloth is made from; the configuration file fills it.
  struct Description {
    float relativeGridSpacing = 0.25f;
    float thickness = 0.01f;
    float friction = 0.5f;
    int solverIterations = 5;
    float density = 1.0f;
    unsigned flags = CLOTH_GRAVITY;
  };
  // The entity's own cloth values. The configuration file overrides the stiffness,
  // damping and response values; when it does not load, these stand in for the
  // description too (grid spacing, iterations, thickness, friction, density, and the
  // flags of the switches).
  struct Parameters {
    float thickness = 0.01f;
    float selfCollisionThickness = 0.2f;
    float friction = 0.5f;
    float density = 1.0f;
    float bendingStiffness = 1.0f;
    float stretchingStiffness = 1.0f;
    float dampingCoefficient = 0.5f;
    float attachmentResponseCoefficient = 0.2f;
    float collisionResponseCoefficient = 0.2f;
    float relativeGridSpacing = 0.025f;
    int solverIterations = 3;
    bool gravity = true, bending = false, bendingOrtho = false, damping = false, comDamping = false,
         disableCollision = false, twoWayCollision = false, selfCollision = false, hardware = false,
         visualisation = false;
  };

  ClothEntity();
  ~ClothEntity() override;

  void SetConfigFile(const char* file) { m_sConfigFile = file; }
  const char* GetConfigFile() const { return m_sConfigFile.AsChar(); }
  // Builds the cloth from the configuration file (its fallback values when the file
  // does not load, with a warning); for now the entity keeps its mesh.
  void CommonInit();
  bool IsBuilt() const { return m_bBuilt; }
  const Description& GetDescription() const { return m_description; }
  const Parameters& GetParameters() const { return m_parameters; }
  // Presets the entity's values before CommonInit reads the configuration.
  void SetParameters(const Parameters& parameters) { m_parameters = parameters; }
  void SetStretchingStiffness(float stiffness) { m_parameters.stretchingStiffness = stiffness; }
  bool UsesConstraintCoefficient() const { return m_bUseConstraintCoefficient; }
  float GetConstraintDistance() const { return m_fConstraintDistance; }
  // Hangs the built cloth on an entity's rigid body (both ways): true when the cloth
  // is built and the entity has a vPhysXRigidBody, else false and the cloth stays free.
  bool AttachToEntity(VisBaseEntity_cl* entity);
  // The entities the cloth hangs on, in order; one that leaves the world drops out.
  const std::vector<VisBaseEntity_cl*>& GetAnchors() const { return m_anchors; }
  // Where the cloth is held: the place of each anchor, in order.
  std::vector<VisVector_cl> GetEndPoints() const;
  // Parents the linked collision entities and then the cloth to the parent.
  void AttachToParent(VisObject3D_cl* parent) override;
  // Scales the linked collision entities (and their offsets) and the cloth.
  int SetScaling(const VisVector_cl& scaling);
  using VisBaseEntity_cl::SetScaling;
  bool GetLocalSpaceWind() const { return m_bLocalSpaceWind != 0; }
  void SetLocalSpaceWind(int on) { m_bLocalSpaceWind = on; }
  const std::vector<VisTypedEngineObject_cl*>& GetLinks() const { return m_links; }

  // 12 (sails hit; p1 the hit record) pushes the cloth at the hit with 50 times the
  // projectile's velocity within 5.0; 24 with 100 times within 10.0. Then the
  // components.
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;
  void OnDeserializationCallback(void* context) override { CommonInit(); }
  // Entity data, then "ARCH", version 4, link count, links, configuration file, "EOA".
  void Serialize(VArchive& ar) override;
  // A destroyed linked entity leaves the links, a destroyed anchor the anchors.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  bool HasPendingPush() const { return m_bHasPush; }
  const Push& GetPendingPush() const { return m_push; }
  void ClearPendingPush() { m_bHasPush = false; }

 protected:
  static void BuildVarList(VARTABLE& t);
  void PushAt(const VisVector_cl& position, const VisVector_cl& velocityChange, float radius);
  bool ReadConfig();
  void UseFallbackValues();

  std::vector<VisTypedEngineObject_cl*> m_links;
  VString m_sConfigFile;
  int m_bLocalSpaceWind = 0;
  Push m_push;
  bool m_bHasPush = false;
  Description m_description;
  Parameters m_parameters;
  bool m_bUseConstraintCoefficient = false;
  float m_fConstraintDistance = 0.0f;
  bool m_bBuilt = false;
  std::vector<VisBaseEntity_cl*> m_anchors;
};
