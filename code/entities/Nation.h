// One faction of the world: its name and type, its reputation with the player,
// the nations it is at war with, its ships in the scene and its ship scripts.
#pragma once

#include "engine/base/DynArray.h"
#include "engine/base/VString.h"

#include <set>
#include <vector>

class ShipEntity;
class VArchive;

class Nation {
 public:
  Nation(int id, const char* name);
  virtual ~Nation();

  int GetNationId() const { return m_iId; }
  const VString& GetName() const { return m_sName; }
  int GetType() const { return m_iType; }
  void SetType(int type) { m_iType = type; }

  // Kept within [0, 1].
  float GetReputation() const { return m_fReputation; }
  void SetReputation(float r);
  void AddReputation(float d);
  void DecReputation(float d);

  bool GetMansionAccessible() const { return m_bMansionAccessible; }
  void SetMansionAccessible(bool accessible) { m_bMansionAccessible = accessible; }

  // The nation's own id is never an enemy.
  void AddEnemy(int id);
  void AddEnemy(const Nation* nation);
  void RemoveEnemy(int id);
  void RemoveEnemy(const Nation* nation);
  bool IsEnemy(int id) const;
  bool IsEnemy(const Nation* nation) const;
  const std::set<int>& GetEnemies() const { return m_enemies; }

  // Ships of the current scene; a removed ship leaves an empty (null) slot that the
  // next AddShip reuses. The ships are not owned.
  void AddShip(ShipEntity* ship);
  void RemoveShip(ShipEntity* ship);
  void ResetShips();
  const DynArray_cl<ShipEntity*>& GetShips() const { return m_ships; }
  // The first ship whose record is the player's, or null.
  ShipEntity* GetPlayerShip() const;

  void AddShipScript(const VString& script) { m_shipScripts.push_back(script); }
  int GetShipScriptCount() const { return (int)m_shipScripts.size(); }
  const VString& GetShipScript(int i) const { return m_shipScripts[i]; }

  // Block: "ARCH", version 4, id, mansion flag, name, reputation, enemies, ship
  // scripts, type, "EOA". Older versions are read field by field.
  bool SerializeX(VArchive& ar);

 private:
  int m_iId;
  int m_iType = 0;
  bool m_bMansionAccessible = true;
  VString m_sName;
  float m_fReputation = 0.0f;
  DynArray_cl<ShipEntity*> m_ships;
  std::vector<VString> m_shipScripts;
  std::set<int> m_enemies;
};

VArchive& operator<<(VArchive& ar, Nation& nation);
VArchive& operator>>(VArchive& ar, Nation& nation);
