// The persistent record of one ship: what the campaign keeps of it while no
// entity exists, and what the live ship reads and writes while it sails.
#pragma once

#include "entities/Hitpoints.h"

#include "engine/base/VString.h"

#include <cstdint>

class ShipStats {
 public:
  ShipStats() = default;
  virtual ~ShipStats() = default;

  const VString& GetShipName() const { return m_sShipName; }
  void SetShipName(const char* name) { m_sShipName = name; }
  // The ship the player sails.
  bool IsPlayerShip() const { return m_bPlayerShip; }
  void SetPlayerShip(bool player) { m_bPlayerShip = player; }
  int GetNation() const { return m_iNation; }
  void SetShipNation(int nation) { m_iNation = nation; }
  Hitpoints& GetHull() { return m_hull; }
  const Hitpoints& GetHull() const { return m_hull; }
  Hitpoints& GetSails() { return m_sails; }
  const Hitpoints& GetSails() const { return m_sails; }
  int64_t GetUniqueID() const { return m_iUniqueID; }
  void SetUniqueID(int64_t id) { m_iUniqueID = id; }

 private:
  VString m_sShipName;
  bool m_bPlayerShip = false;
  int m_iNation = 0;
  Hitpoints m_hull;
  Hitpoints m_sails;
  int64_t m_iUniqueID = 0;
};
