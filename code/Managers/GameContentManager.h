// Fills the world map with life: the NPC ships it was given and, with the world
// map, the random collectables at sea. For now it keeps the NPC ships only.
#pragma once

#include "util/Singleton.h"

#include "engine/base/VCallback.h"

#include <set>

class ShipEntity;
class VisBaseEntity_cl;

class GameContentManager : public Singleton<GameContentManager>, public IVisCallbackHandler_cl {
 public:
  ~GameContentManager() override;

  // A destroyed entity leaves the NPC ships.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  // A ship made for the content script: its AI may remove it when the player has
  // not seen it for a while.
  void AddNPCShip(ShipEntity* ship);
  void RemoveNPCShip(ShipEntity* ship);
  bool HasNPCShip(const ShipEntity* ship) const;
  int GetNPCShipCount() const { return (int)m_npcShips.size(); }

 private:
  friend class Singleton<GameContentManager>;
  GameContentManager();

  // Kept as engine entities: a ship being destroyed is no longer a ShipEntity.
  std::set<const VisBaseEntity_cl*> m_npcShips;
};
