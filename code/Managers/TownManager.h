// The towns of the campaign world, the town the player is in, and the state of the
// world map and of each town scene while the player is away from them.
#pragma once

#include "Managers/SerializableStream.h"
#include "util/Singleton.h"

#include "engine/base/DynArray.h"
#include "engine/base/VCallback.h"
#include "engine/base/VRefCounter.h"
#include "engine/base/VString.h"
#include "engine/base/VisMath.h"

#include <vector>

class ShipEntity;
class ShipStats;
class StrongholdEntity;
class TownEntity;
class VArchive;
class VisZoneResource_cl;

// The town the player is in.
struct TownInfo {
  VString name;         // the town entity's key; empty outside a town
  int sceneType = 0;    // the town's scene type, also the index of its nation
  int maxCollectables = 2;
  TownEntity* town = nullptr;  // holds a reference while set
  bool mansionVisited = false;
};

// Town and entity pointers are plain: engine entities are not counted, so the
// manager forgets an entity when GameManager::Callbacks.OnEntityDestroyed names it.
class TownManager : public Singleton<TownManager>, public IVisCallbackHandler_cl {
 public:
  ~TownManager() override;

  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  // The towns zone of the world map, loaded once; its towns become the world towns.
  void Initialize();
  // Forgets every town, resets the current town and unloads the towns zone.
  void DeInitialize();
  // Forgets the moored ship (without removing it), the world stream, the local
  // towns and the town streams.
  void Reset();

  // Loads a town's land scene; an empty scene file takes the town named townKey's.
  void LoadTown(const char* sceneFile, int sceneType, const VString& townKey, int maxCollectables);
  // Selects the current town for a sea scene; loads nothing.
  void LoadSeaScene(const char* sceneFile, int sceneType, const VString& townKey);
  // Leaves the town: storage average into the town script, moored ship gone, town
  // stream saved, current town reset, fog of war off.
  void ExitTown();

  // The world map's state while the player is away from it.
  void SaveWorldState();
  void LoadWorldState();
  // The buildings of a town scene, one stream per scene name; nothing for "".
  void SaveState(const VString& sceneName);
  void LoadState(const VString& sceneName);

  // The save-game block (version 3): the town streams and the world towns.
  bool SerializeX(VArchive& ar);

  TownInfo& GetCurrentTownInfo() { return m_currentTown; }
  const TownInfo& GetCurrentTownInfo() const { return m_currentTown; }
  // Makes town the current town, keeping one reference to it.
  void SetCurrentTown(TownEntity* town);

  // Shows the player's ship at the harbour of the town scene.
  void SetPlayerShip(ShipStats* stats);
  ShipEntity* GetPlayerShip() const { return m_pPlayerShip; }
  const VisVector_cl& GetHarbourPosition() const { return m_vHarbourPosition; }

  const std::vector<TownEntity*>& GetWorldTowns() const { return m_worldTowns; }
  const std::vector<TownEntity*>& GetLocalTowns() const { return m_localTowns; }
  VisZoneResource_cl* GetTownsZone() const { return m_pTownsZone; }
  SerializableStream* GetWorldStream() const { return m_spWorldStream.GetPtr(); }
  int GetTownStreamCount() const { return (int)m_townStreams.size(); }
  SerializableStream* FindTownStream(const VString& name) const;

  TownEntity* GetRandomTown(int nation);
  void CollectTowns(DynArray_cl<TownEntity*>* out, int nation) const;
  void GetTownsWithinRange(const VisVector_cl& pos, float range, DynArray_cl<TownEntity*>* out) const;
  // The nearest town strictly within range: local towns by their box on land,
  // world towns by position elsewhere.
  TownEntity* GetNearestTown(const VisVector_cl& pos, float range) const;
  StrongholdEntity* GetNearestStronghold(const VisVector_cl& pos, bool accessibleOnly) const;
  void HideTownEntites();
  void ShowTownEntites();

  // Town buildings (they come with land combat; until then there are none).
  void RespawnBuildings();
  void InitBuildings(float timeSinceLastVisit);
  void SpawnRandomCollectables();

 private:
  friend class Singleton<TownManager>;
  TownManager();
  void ResetCurrentTown();
  // The town named key in the scene (null when there is none).
  static TownEntity* FindTown(const VString& key);
  // Steps 1 to 3 of a town or sea scene: false when an empty scene file names no
  // town with a scene file. The scene file to load goes into sceneFileOut.
  bool SelectTown(const char* sceneFile, int sceneType, const VString& townKey, VString& sceneFileOut,
                  bool takeCollectables, int maxCollectables);
  SerializableStream* GetOrCreateTownStream(const VString& name);
  // The count buildings of a town stream, in place of the scene's own.
  void ReadBuildings(VArchive& ar, int count, const VString& sceneName);
  // Readies the player's ship for the stay in town before the world map is written.
  void MoorPlayerShipForTown(ShipEntity* ship);
  void WriteWorld(VArchive& ar);
  // Reads the world stream; with apply false the entities read are removed again
  // (a trial read that leaves the world alone). False when the stream is damaged.
  bool ReadWorld(VArchive& ar, bool apply);

  VSmartPtr<SerializableStream> m_spWorldStream;
  std::vector<VSmartPtr<SerializableStream>> m_townStreams;
  TownInfo m_currentTown;
  VisZoneResource_cl* m_pTownsZone = nullptr;  // holds a reference while set
  std::vector<TownEntity*> m_worldTowns;
  std::vector<TownEntity*> m_localTowns;
  ShipEntity* m_pPlayerShip = nullptr;
  VisVector_cl m_vHarbourPosition{0, 0, 0, 1};
  VisVector_cl m_vHarbourOrientation{0, 0, 0, 1};
};

// Both directions go through SerializeX; the archive's mode decides.
VArchive& operator<<(VArchive& ar, TownManager& manager);
VArchive& operator>>(VArchive& ar, TownManager& manager);
