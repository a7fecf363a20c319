// The sea battle: whether one is running, the ship queries over the ships the
// nations hold, and the clean-up when a sea scene is left.
#pragma once

#include "util/Singleton.h"

#include "engine/base/DynArray.h"
#include "engine/base/VisMath.h"

class ShipEntity;

class BattleManager : public Singleton<BattleManager> {
 public:
  virtual ~BattleManager();

  // A battle starts once and ends once.
  void StartBattle();
  // Tells the camera entity (message 113) that the battle is over.
  void EndBattle();
  bool IsBattleActive() const { return m_bBattleActive; }
  // Removes the mines, the debris and the camera entity of the scene and ends the battle.
  void ResetBattle();

  // Appends every ship of every nation within range (plane distance, inclusive),
  // skipping ships the engine removes; nothing for a null list.
  void GetShipsWithinRange(const VisVector_cl& position, float range, DynArray_cl<ShipEntity*>* out) const;

 private:
  friend class Singleton<BattleManager>;
  BattleManager() = default;

  bool m_bBattleActive = false;
};
