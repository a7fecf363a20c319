// Fills the world map with life: the content script spawns NPC ships at intervals
// while the player sails the world map, and random collectables (sea treasures and
// message bottles) float at sea, placed anew when picked up and kept in the save.
#pragma once

class VArchive;

#include "util/Singleton.h"

#include "engine/base/VCallback.h"
#include "engine/base/VRefCounter.h"
#include "engine/base/VisMath.h"

#include <set>
#include <vector>

class CollectableEntity;
class CollectableEntityTemplate;
class IVScriptInstance;
class ShipEntity;
class VisBaseEntity_cl;

class GameContentManager : public Singleton<GameContentManager>, public IVisCallbackHandler_cl {
 public:
  ~GameContentManager() override;

  // A scene was entered: the content script "scripts\ContentScript.lua" is loaded
  // once; on the world map every random collectable without its entity gets one
  // from its stored form, elsewhere the entities are let go. A scene is being left:
  // every NPC ship leaves the campaign and the set.
  void Initialize();
  void DeInitialize();
  IVScriptInstance* GetContentScript() const { return m_spContentScript.GetPtr(); }

  // Per frame: Tick. A destroyed entity leaves the NPC ships and its slot.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // Ship spawning, only on the world map while ship updates are on and nothing is paused.
  void Tick(float dt);
  // Every interval (five during a sea battle) the script's "SpawnNPCShip" runs a
  // random number of times below min(spawn count + 1, free places); during a sea
  // battle at most once. Nothing while a conversation runs.
  void UpdateShips(float dt);
  void SpawnNPCShip();

  // A ship made for the content script: its AI may remove it when the player has
  // not seen it for a while.
  void AddNPCShip(ShipEntity* ship);
  void RemoveNPCShip(ShipEntity* ship);
  bool HasNPCShip(const ShipEntity* ship) const;
  int GetNPCShipCount() const { return (int)m_npcShips.size(); }

  // The content script's settings for spawning NPC ships; kept as given.
  void SetShipUpdateEnabled(int enabled) { m_iShipUpdateEnabled = enabled; }
  int GetShipUpdateEnabled() const { return m_iShipUpdateEnabled; }
  void SetShipUpdateInterval(float seconds) { m_fShipUpdateInterval = seconds; }
  float GetShipUpdateInterval() const { return m_fShipUpdateInterval; }
  void SetMaxShipCount(int count) { m_iMaxShipCount = count; }
  int GetMaxShipCount() const { return m_iMaxShipCount; }
  void SetShipSpawnCount(int count) { m_iShipSpawnCount = count; }
  int GetShipSpawnCount() const { return m_iShipSpawnCount; }
  float GetShipUpdateTimer() const { return m_fShipUpdateTimer; }

  // A sea treasure (the game script's "GetRandomSeaCollectableScript" by the nearest
  // town's nation and a rarity) or a message bottle ("GetCollectableScript" of 37,
  // while jokes and bottles are left) at a random place of the world area, at least
  // minDistance from the others when it is positive (1000 tries, then the last
  // place). Null when no script names one.
  CollectableEntity* AddRandomCollectable(float minDistance, bool bottle);
  // The entity of a stored random collectable, kept in a new slot.
  CollectableEntity* LoadRandomCollectable(CollectableEntityTemplate* templ);
  // A random collectable was picked up: it leaves the world and a new one of its
  // kind (bottle or treasure) appears elsewhere. Nothing for one without a slot.
  void RelocateRandomCollectable(CollectableEntity* collectable);
  // Every random collectable's entity leaves the world and its stored form goes.
  void ResetRandomCollectables();
  VisVector_cl GetAccessibleRandomPosition(bool allowNearPlayer) const;
  int GetRandomCollectableCount() const { return (int)m_randomCollectables.size(); }
  // Null when out of range; the entity is null away from the world map.
  CollectableEntityTemplate* GetRandomCollectableTemplate(int i) const;
  CollectableEntity* GetRandomCollectableEntity(int i) const;
  int GetMessageBottlesLeft() const { return m_iMessageBottlesLeft; }

  // Block: "ARCH", version 2, ship update enabled, interval, timer, maximum ship
  // count, spawn count, the random collectables' stored forms (count, blocks),
  // "EOA". Both directions, the archive's mode decides; a failed block keeps what
  // the manager held.
  bool SerializeX(VArchive& ar);

 private:
  friend class Singleton<GameContentManager>;
  GameContentManager();

  struct RandomCollectable {
    CollectableEntityTemplate* templ = nullptr;  // owned
    CollectableEntity* entity = nullptr;
  };
  CollectableEntity* CreateRandomEntity(CollectableEntityTemplate* templ);
  bool IsTooCloseToOthers(const VisVector_cl& position, float minDistance) const;

  int m_iMaxShipCount = 10;
  // Kept as engine entities: a ship being destroyed is no longer a ShipEntity.
  std::set<const VisBaseEntity_cl*> m_npcShips;
  int m_iShipSpawnCount = 1;
  float m_fShipUpdateInterval = 60.0f;
  float m_fShipUpdateTimer = 0.0f;
  int m_iShipUpdateEnabled = 0;  // off until the script or the game turns it on
  std::vector<RandomCollectable> m_randomCollectables;
  VSmartPtr<IVScriptInstance> m_spContentScript;
  int m_iMessageBottlesLeft = 0;
};
