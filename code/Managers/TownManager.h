// The towns of the campaign world and the state of the world around them.
#pragma once

#include "util/Singleton.h"

#include "engine/base/VString.h"

class TownEntity;

// The town the player is in.
struct TownInfo {
  VString name;         // the town entity's key; empty outside a town
  int sceneType = 0;    // the town's scene type, also the index of its nation
  int maxCollectables = 2;
  TownEntity* town = nullptr;
  bool mansionVisited = false;
};

class TownManager : public Singleton<TownManager> {
 public:
  virtual ~TownManager();

  // Entering and leaving towns fills and clears it; that comes with the towns.
  const TownInfo& GetCurrentTownInfo() const { return m_currentTown; }

 private:
  friend class Singleton<TownManager>;
  TownManager() = default;

  TownInfo m_currentTown;
};
