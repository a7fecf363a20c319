// The campaign state: the player, heroes, inventory, ships and potions.
#pragma once

#include "util/Singleton.h"

#include "engine/base/VisMath.h"

#include <vector>

class CollectableEntityTemplate;
class TownEntity;

class GameSessionManager : public Singleton<GameSessionManager> {
 public:
  virtual ~GameSessionManager();

  // The player's inventory: the stored form of each collectable owned, found by
  // its key. The inventory owns the templates.
  void AddCollectable(CollectableEntityTemplate* collectable);
  CollectableEntityTemplate* GetCollectableByName(const char* name) const;
  int GetPlayerCollectableCount() const { return (int)m_collectables.size(); }
  // Uses one item of the inventory through its script ("UseCollectable"); an item
  // used up goes when its count falls below 1. False when the player has none.
  bool UseCollectableByName(const char* name);

  // Positions of the eyepatches collected in a town.
  void AddEyepatchTown(TownEntity* town, const VisVector_cl& position);
  std::vector<VisVector_cl> GetCollectedEyepatches(TownEntity* town) const;

 private:
  friend class Singleton<GameSessionManager>;
  GameSessionManager() = default;

  struct Eyepatch {
    TownEntity* town;
    VisVector_cl position;
  };
  std::vector<CollectableEntityTemplate*> m_collectables;
  std::vector<Eyepatch> m_eyepatches;
};
