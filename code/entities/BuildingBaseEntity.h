// A house of a town or stronghold: an entity with a building script whose
// components give it its roles (hit points, storage, construction, entering).
#pragma once

#include "core/BaseEntity.h"

#include "engine/base/VString.h"

#include <vector>

// What the editor asks of an object that can be linked to others (message 11003).
struct BuildingLinkSlot {
  VString name;
  VString key;
};
using BuildingLinkSlots = std::vector<BuildingLinkSlot>;

class BuildingBaseEntity : public BaseEntity {
  V_DECLARE_DYNCREATE(BuildingBaseEntity)
 public:
  BuildingBaseEntity();
  ~BuildingBaseEntity() override;

  void InitFunction() override;
  // Loads and attaches the building script when one is named and none is attached.
  virtual void CommonInit();
  // -1: a plain building.
  virtual int GetBuildingType();
  // Only a building with hit points above 0 is alive.
  virtual bool IsAlive();
  // Full hit points, and the building and everything attached to it shown again.
  virtual void Reborn();

  // After the engine's own handling: 11003 names the two spawner links, 11004 accepts
  // any object (p2 points to the bool answer), 11005 logs the linked object.
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;
  // The base entity's block, then "ARCH", version 1, the building script, "EOA".
  void Serialize(VArchive& ar) override;
  void OnDeserializationCallback(void* context) override;
  bool WantsDeserializationCallback(int context) override { return context != 1; }
  void EditorThinkFunction() override {}

  const VString& GetBuildingScript() const { return m_sBuildingScript; }
  void SetBuildingScript(const char* file) { m_sBuildingScript = file; }

 protected:
  static void BuildVarList(VARTABLE& t);

  VString m_sBuildingScript;
};
