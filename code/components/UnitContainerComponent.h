// Which soldiers, and so which units, stand inside a trigger area: soldiers report
// themselves as they enter and leave (the escape area's link), and the battle asks
// for the units inside.
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VCallback.h"

#include <map>
#include <vector>

class SoldierEntity;
class UnitEntity;

class UnitContainerComponent : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(UnitContainerComponent)
 public:
  UnitContainerComponent() = default;
  ~UnitContainerComponent() override;

  // With an owner it listens for removed units and destroyed soldiers; without one
  // it stops and forgets everything.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void InitFunction();
  void DeInitFunction();
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  // False when the soldier is inside already; otherwise his unit counts one more.
  bool AddSoldier(SoldierEntity* soldier);
  // False when the soldier was not inside; otherwise the unit he was counted for,
  // while it still has an entry, counts one less (an entry may stay at 0).
  bool RemoveSoldier(SoldierEntity* soldier);
  bool IsSoldierInside(const SoldierEntity* soldier) const { return m_soldiersInside.count(const_cast<SoldierEntity*>(soldier)) != 0; }
  // Refilled with every unit that counts at least one soldier, in the map's order.
  std::vector<UnitEntity*>& GetUnitsInside();
  // The count of a unit; -1 when it has no entry.
  int GetUnitCount(const UnitEntity* unit) const;
  int GetSoldierCount() const { return (int)m_soldiersInside.size(); }

 private:
  std::map<UnitEntity*, int> m_unitCounts;
  // Each soldier inside with the unit he was counted for: a soldier who has left
  // his unit by the time it goes still leaves with it.
  std::map<SoldierEntity*, UnitEntity*> m_soldiersInside;
  std::vector<UnitEntity*> m_unitsInside;
  bool m_bListening = false;
};
