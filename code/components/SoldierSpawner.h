// The guard post: trigger boxes under its building switch it on, and it then sends
// out one to two soldiers per switch while it has soldiers left.
#pragma once

#include "components/SpawnerBaseComponent.h"

#include <vector>

class SoldierSpawner : public SpawnerBaseComponent {
  V_DECLARE_DYNCREATE(SoldierSpawner)
 public:
  SoldierSpawner() = default;
  ~SoldierSpawner() override;

  // Buildings only ("BuildingBaseEntity" or derived).
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  void InitFunction() override;
  void DeInitFunction() override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // A trigger through "ToggleOn" with soldiers left and none pending makes one or
  // two pending; other messages go to the base.
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;
  // The base block, then "ARCH", version 2, the position count and positions, "EOA".
  void Serialize(VArchive& ar) override;

  // Spawns while soldiers are pending.
  void Update() override;
  // Takes one pending soldier.
  void Spawn() override;

  // The owner gets the targets "ToggleOn"/"ToggleOff"; every trigger box attached to
  // it gets the sources "OnObjectEnter"/"OnObjectLeave" linked to them, and the
  // owner becomes an entity the boxes watch. Safe to run again.
  void SetupTriggers();
  int GetPendingSoldiers() const { return m_iPendingSoldiers; }
  // Held and saved for the buildings that read them.
  std::vector<VisVector_cl>& GetPositions() { return m_positions; }

 private:
  std::vector<VisVector_cl> m_positions;
  int m_iPendingSoldiers = 0;
  bool m_bSceneListening = false;
};
