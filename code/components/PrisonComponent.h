// The prison: a destructible building that, once triggered (usually by its script
// when it is destroyed), frees one prisoner per unit template around itself. Those
// of the player's nation join a player unit with room.
#pragma once

#include "components/SpawnerBaseComponent.h"

class PrisonComponent : public SpawnerBaseComponent {
  V_DECLARE_DYNCREATE(PrisonComponent)
 public:
  // Message of a destroyed building.
  static constexpr int MSG_BUILDING_DESTROYED = 160;

  PrisonComponent() = default;

  // Buildings only ("BuildingBaseEntity" or derived).
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // With an owner, in the running game, the building becomes destructible.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  // 160 calls the script's "OnDestroyed"; the rest goes to the base.
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;
  // The base block, then "ARCH", version 2, the initial hit points, "EOA".
  void Serialize(VArchive& ar) override;

  // Only while it has soldiers left.
  void Update() override;
  // Frees the prisoner of the next template.
  void Spawn() override;

  // The owner gets a DestructableBuildingComponent (when the class exists and the
  // owner has none) with drops off and these hit points.
  void SetupBuilding();
  int GetInitialHitPoints() const { return m_iInitialHitPoints; }
  int GetNextPrisoner() const { return m_iNextPrisoner; }

 protected:
  static void BuildVarList(VARTABLE& t);

 private:
  // A player unit with room present in the scene, chosen at random; null for none.
  UnitEntity* FindPlayerUnitWithRoom() const;

  int m_iInitialHitPoints = 200;
  int m_iNextPrisoner = 0;
};
