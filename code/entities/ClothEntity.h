// A scene entity whose mesh is a cloth: a ship's sails and flags, ropes. It is
// parented to its ship, scaled with it, traced by cannon balls and pushed by hits.
// The cloth simulation itself is not here yet: a hit's push is kept as the
// pending push that the simulation applies.
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

  ClothEntity();
  ~ClothEntity() override;

  void SetConfigFile(const char* file) { m_sConfigFile = file; }
  const char* GetConfigFile() const { return m_sConfigFile.AsChar(); }
  // Builds the cloth from the configuration; for now the entity keeps its mesh.
  void CommonInit();
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
  // A destroyed linked entity leaves the links.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  bool HasPendingPush() const { return m_bHasPush; }
  const Push& GetPendingPush() const { return m_push; }
  void ClearPendingPush() { m_bHasPush = false; }

 protected:
  static void BuildVarList(VARTABLE& t);
  void PushAt(const VisVector_cl& position, const VisVector_cl& velocityChange, float radius);

  std::vector<VisTypedEngineObject_cl*> m_links;
  VString m_sConfigFile;
  int m_bLocalSpaceWind = 0;
  Push m_push;
  bool m_bHasPush = false;
};
