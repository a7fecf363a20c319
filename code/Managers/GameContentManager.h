// Fills the world map with life: the NPC ships it was given and, with the world
// map, the random collectables at sea. For now it keeps the NPC ships and the
// content script's spawning settings.
#pragma once

class VArchive;

#include "util/Singleton.h"

#include "engine/base/VCallback.h"
#include "engine/base/VRefCounter.h"

#include <set>

class IVScriptInstance;
class ShipEntity;
class VisBaseEntity_cl;

class GameContentManager : public Singleton<GameContentManager>, public IVisCallbackHandler_cl {
 public:
  ~GameContentManager() override;

  // A scene was entered: the content script "scripts\ContentScript.lua" is loaded
  // once. A scene is being left: every NPC ship leaves the campaign and the set.
  void Initialize();
  void DeInitialize();
  IVScriptInstance* GetContentScript() const { return m_spContentScript.GetPtr(); }

  // A destroyed entity leaves the NPC ships.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

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

  // The block of the saved game; both directions, the archive's mode decides. A
  // failed block keeps what the manager held.
  bool SerializeX(VArchive& ar);

 private:
  friend class Singleton<GameContentManager>;
  GameContentManager();

  // Kept as engine entities: a ship being destroyed is no longer a ShipEntity.
  std::set<const VisBaseEntity_cl*> m_npcShips;
  int m_iMaxShipCount = 10;
  int m_iShipSpawnCount = 1;
  float m_fShipUpdateInterval = 60.0f;
  int m_iShipUpdateEnabled = 0;  // off until the script or the game turns it on
  VSmartPtr<IVScriptInstance> m_spContentScript;
};
