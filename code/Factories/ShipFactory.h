// The one place where ships are made: the ship entity with its name, script,
// nation and unique id, registered with the campaign and given the components of
// an AI or a player ship; and the ship's component state moved in and out of its
// record as a small archive. It also holds the effects and sounds of naval combat,
// loaded once.
#pragma once

#include "util/Singleton.h"

#include "engine/base/VRefCounter.h"
#include "engine/base/VisMath.h"

#include <cstdint>
#include <map>
#include <mutex>

class ShipEntity;
class ShipStats;
class VScriptResource;

class ShipFactory : public Singleton<ShipFactory> {
 public:
  virtual ~ShipFactory();

  // Null when the engine makes no entity or the nation slot is empty.
  ShipEntity* CreateShip(const char* name, const char* script, const VisVector_cl& position,
                         const VisVector_cl& orientation, int nation, int64_t uniqueId, bool playerControllable);
  // The ship a record describes, with the record's component state.
  ShipEntity* CreateShip(ShipStats* stats);

  // The ship's component state into its record's "<ShipStream>", and back. Loading
  // is false when the archive is damaged: reading stops at the first block that
  // fails (the blocks before it are kept); a saved storage is read and dropped.
  void SaveShipComponents(ShipEntity* ship);
  bool LoadShipComponents(ShipEntity* ship);

  // The shared effects and sounds of naval combat, by slot (null when missing).
  enum PreloadSlot {
    PRELOAD_HIT_HULL = 0,
    PRELOAD_CANNON_FIRE,
    PRELOAD_DAMAGE_SMOKE,
    PRELOAD_STERN_WAKE,
    PRELOAD_MIST,
    PRELOAD_CRITICAL_HIT,
    PRELOAD_COLLISION,
    PRELOAD_SOUND_HIT_HULL,
    PRELOAD_SOUND_HIT_HULL_CRITICAL,
    PRELOAD_SOUND_CANNON_FIRST,
    PRELOAD_COUNT = PRELOAD_SOUND_CANNON_FIRST + 6,
  };
  // Loads the set once; later calls do nothing.
  void Preload();
  bool IsPreloaded() const { return m_bLoaded; }
  VRefCounter* GetPreloaded(int slot) const;

  // Script resources kept by the hash of their file name.
  int GetCachedScriptCount() const { return (int)m_scripts.size(); }

 protected:
  ShipEntity* CreateShipEntity(const char* name, const char* script, const VisVector_cl& position,
                               const VisVector_cl& orientation, int nation, int64_t uniqueId);

 private:
  friend class Singleton<ShipFactory>;
  ShipFactory();

  VSmartPtr<VRefCounter> m_preload[PRELOAD_COUNT];
  bool m_bLoaded = false;
  std::map<unsigned, VSmartPtr<VScriptResource>> m_scripts;
  // Guards CreateShipEntity; re-entrant, since making one ship may make another.
  std::recursive_mutex m_createLock;
};
