// The town manager: world towns, the current town, and the streams that keep the
// world map and the town scenes while the player is away.
#include "Managers/TownManager.h"

#include "components/DestructableBuildingComponent.h"
#include "components/ShipMovementComponent.h"
#include "components/SpawnerBaseComponent.h"
#include "components/StorageComponentProto.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "entities/BuildingBaseEntity.h"
#include "entities/CameraEntity.h"
#include "entities/CollectableEntityTemplate.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/TownEntity.h"
#include "Factories/ShipFactory.h"
#include "gui/GUIManager.h"
#include "Managers/AchievementManager.h"
#include "Managers/FogOfWarManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/SaveGameFile.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SerializableStream.h"
#include "Managers/TutorialManager.h"
#include "util/ArchiveLimits.h"
#include "util/MathTools.h"
#include "util/Navigation.h"

#include "engine/Vision.h"
#include "engine/base/VArchive.h"
#include "engine/base/VisError.h"
#include "engine/core/IVisPhysicsObject.h"
#include "engine/core/VScriptManager.h"
#include "engine/core/VisZone.h"
#include "engine/os/VOs.h"
#include "engine/sound/VSoundManager.h"

#include <CEGUI/String.h>

#include <algorithm>
#include <cfloat>
#include <set>

namespace {

const char kTownsZoneFile[] = "scenes\\world01\\World.vscene_data\\Towns.vzone";
const char kWorldStreamName[] = "<WorldStream>";
const char kTownArchive[] = "<TownArchive>";
const char kWorldArchive[] = "<WorldArchive>";
const char kHarbourEntity[] = "PlayerShip";
const char kMooredShipKey[] = "PlayerShipEntity";
const char kBrinemarkCave[] = "sl_brinemark_cave";
const int kNoTownCollectables = 2;
const int kColonySceneType = 4;
const int kColonyAchievement = 19;
const int kRandomTownDraws = 100;
const float kStrongholdSearchStart = 1e16f;
const float kMooringDistance = 10.0f;
const float kBannerTime = 5.0f;
const float kBannerFade = 2.0f;
// Record strings are class names, keys, file names and parameter strings.
const int kMaxRecordText = 1 << 16;
// A record holds at least three empty strings, two vectors, an int and two more strings.
const int kMinRecordBytes = 4 * 5 + 16 * 2 + 4;
// A stream block holds at least its tags, version, name and size.
const int kMinStreamBlockBytes = 24;
// Save-game block of the manager.
const char kManagerVersion = 3;
// Tags of the objects in the world stream, as in the save-game file.
using save_file::kTagCamera;
using save_file::kTagEntity;

bool IsTown(const VisBaseEntity_cl* e) { return e && e->IsOfType(TownEntity::GetClassTypeId()); }

// Items a town's buildings are said to hold on average, at most.
const int kMaxAverageItems = 5;
// A building in a town stream is at least an object reference.
const int kMinBuildingBytes = 4;

// The buildings standing in the scene now, in scene order.
std::vector<BuildingBaseEntity*> SceneBuildings() {
  std::vector<BuildingBaseEntity*> buildings;
  for (VisBaseEntity_cl* e : Vision::Game.GetEntities())
    if (e && !e->IsMarkedRemoved() && e->IsOfType(BuildingBaseEntity::GetClassTypeId()))
      buildings.push_back(static_cast<BuildingBaseEntity*>(e));
  return buildings;
}


template <class T>
void AppendTo(DynArray_cl<T*>* out, T* item) {
  (*out)[out->GetValidSize()] = item;
}

}  // namespace

TownManager::TownManager() { GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this); }

TownManager::~TownManager() {
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
  if (m_pTownsZone) m_pTownsZone->Release();
  m_pTownsZone = nullptr;
}

void TownManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data || data->m_pSender != &GameManager::Callbacks.OnEntityDestroyed) return;
  VisBaseEntity_cl* gone = static_cast<BaseEntityDataObject*>(data)->m_pEntity;
  if (!gone) return;
  auto drop = [gone](std::vector<TownEntity*>& towns) {
    towns.erase(std::remove_if(towns.begin(), towns.end(),
                               [gone](TownEntity* t) { return static_cast<VisBaseEntity_cl*>(t) == gone; }),
                towns.end());
  };
  drop(m_worldTowns);
  drop(m_localTowns);
  if (static_cast<VisBaseEntity_cl*>(m_currentTown.town) == gone) m_currentTown.town = nullptr;
  if (static_cast<VisBaseEntity_cl*>(m_pPlayerShip) == gone) m_pPlayerShip = nullptr;
}

// ---- world map set-up and tear-down ---------------------------------------------

void TownManager::Initialize() {
  if (!m_pTownsZone) {
    m_pTownsZone = new VisZoneResource_cl(kTownsZoneFile, VisVector_cl(FLT_MAX, FLT_MAX, FLT_MAX),
                                          VisVector_cl(-FLT_MAX, -FLT_MAX, -FLT_MAX));
    m_pTownsZone->AddRef();
  }
  if (!m_pTownsZone->IsLoaded() && !m_pTownsZone->EnsureLoaded())
    Vision::Error.Warning("TownManager: the towns zone %s was not loaded", kTownsZoneFile);
  GameManager* game = GameManager::HasInstance() ? GameManager::GetInstance() : nullptr;
  for (VisBaseEntity_cl* e : Vision::Game.GetEntities()) {
    if (!IsTown(e) || e->IsMarkedRemoved()) continue;
    TownEntity* town = static_cast<TownEntity*>(e);
    town->SetWorldLevelTown(1);
    if (std::find(m_worldTowns.begin(), m_worldTowns.end(), town) == m_worldTowns.end()) m_worldTowns.push_back(town);
    // World towns are found by distance, never by a trace line or a click.
    town->SetCollisionTraceAccuracy(VIS_TRACEACC_NOCOLLISION);
    town->SetClickTraceAccuracy(VIS_TRACEACC_NOCOLLISION);
    town->SetTraceAccuracy(VIS_TRACEACC_NOCOLLISION);
    town->SetCanTrace(false);
    if (game) game->RemoveTraceEntity(town);
  }
}

void TownManager::DeInitialize() {
  m_localTowns.clear();
  m_worldTowns.clear();
  ResetCurrentTown();
  if (m_pTownsZone) {
    if (m_pTownsZone->IsLoaded()) m_pTownsZone->EnsureUnloaded();
    m_pTownsZone->Release();
    m_pTownsZone = nullptr;
  }
}

void TownManager::Reset() {
  m_pPlayerShip = nullptr;
  m_spWorldStream = nullptr;
  m_localTowns.clear();
  m_townStreams.clear();
}

void TownManager::ResetCurrentTown() {
  m_currentTown.name.Reset();
  m_currentTown.sceneType = 0;
  m_currentTown.maxCollectables = kNoTownCollectables;
  m_currentTown.town = nullptr;
  m_currentTown.mansionVisited = false;
}

void TownManager::SetCurrentTown(TownEntity* town) { m_currentTown.town = town; }

// ---- entering and leaving towns ----------------------------------------------------

TownEntity* TownManager::FindTown(const VString& key) {
  VisBaseEntity_cl* e = key.IsEmpty() ? nullptr : Vision::Game.SearchEntity(key.AsChar());
  return IsTown(e) ? static_cast<TownEntity*>(e) : nullptr;
}

bool TownManager::SelectTown(const char* sceneFile, int sceneType, const VString& townKey, VString& sceneFileOut,
                             bool takeCollectables, int maxCollectables) {
  sceneFileOut = sceneFile ? sceneFile : "";
  TownEntity* town = FindTown(townKey);
  if (sceneFileOut.IsEmpty()) {
    if (!town) return false;
    sceneFileOut = town->GetSceneFile();
    if (sceneFileOut.IsEmpty()) return false;
    m_currentTown.name = town->GetEntityKey();
    m_currentTown.sceneType = town->GetSceneType();
    if (takeCollectables) {
      int count = 0;
      town->GetScriptValue("iMaxCollectables", count);
      m_currentTown.maxCollectables = count;
    }
  } else {
    m_currentTown.name = townKey;
    m_currentTown.sceneType = sceneType;
    if (takeCollectables) m_currentTown.maxCollectables = maxCollectables;
  }
  SetCurrentTown(town);
  return true;
}

void TownManager::LoadTown(const char* sceneFile, int sceneType, const VString& townKey, int maxCollectables) {
  VString scene;
  if (!SelectTown(sceneFile, sceneType, townKey, scene, true, maxCollectables)) return;

  GameManager::GetInstance()->StartLandBattle(scene.AsChar());

  TownEntity* town = m_currentTown.town;
  bool fog = false;
  if (town) town->GetScriptValue("bFogOfWar", fog);
  FogOfWarManager::GetInstance()->SetEnabled(fog);

  if (VisBaseEntity_cl* harbour = Vision::Game.SearchEntity(kHarbourEntity)) {
    harbour->SetVisibleBitmask(0);
    m_vHarbourPosition = harbour->GetPosition();
    m_vHarbourPosition.w = 1.0f;
    m_vHarbourOrientation = harbour->GetOrientation();
    m_vHarbourOrientation.w = 1.0f;
    SetPlayerShip(GameSessionManager::GetInstance()->GetPlayerControlledShip());
  }

  const std::vector<VisBaseEntity_cl*>& entities = Vision::Game.GetEntities();
  for (auto it = entities.rbegin(); it != entities.rend(); ++it) {
    if (!IsTown(*it) || (*it)->IsMarkedRemoved()) continue;
    TownEntity* local = static_cast<TownEntity*>(*it);
    if (local->IsWorldLevelTown() == 0 && std::find(m_localTowns.begin(), m_localTowns.end(), local) == m_localTowns.end())
      m_localTowns.push_back(local);
  }

  GUIManager* gui = GUIManager::GetInstance();
  if (!town)
    gui->ShowMessage(CEGUI::String(), kBannerTime, kBannerFade);
  else if (m_currentTown.name == kBrinemarkCave)
    gui->ShowMessage("str_STRONGHOLD_BRINEMARK_CAVE", kBannerTime, kBannerFade);
  else
    gui->ShowMessage(town->GetTownNameKey().AsChar(), kBannerTime, kBannerFade);
  gui->ShowAdditionalMessage(CEGUI::String(), kBannerTime, kBannerFade);

  if (m_currentTown.sceneType > kColonySceneType) {
    AchievementManager::GetInstance()->SetAchievement(kColonyAchievement);
    TutorialManager* tutorials = TutorialManager::GetInstance();
    for (const char* page : {"str_TUTORIAL_COLONY_PART1", "str_TUTORIAL_COLONY_PART2", "str_TUTORIAL_COLONY_PART3",
                             "str_TUTORIAL_COLONY_PART4", "str_TUTORIAL_COLONY_PART5"})
      tutorials->ShowTutorial(page);
  }
}

void TownManager::LoadSeaScene(const char* sceneFile, int sceneType, const VString& townKey) {
  VString scene;
  SelectTown(sceneFile, sceneType, townKey, scene, false, 0);
}

void TownManager::ExitTown() {
  m_localTowns.clear();
  Vision::Game.FreeRemovedEntities();

  // What the town's storage buildings hold on average (capped); -1 when it has none.
  // Ruins count as buildings holding nothing.
  int storages = 0, stored = 0;
  for (BuildingBaseEntity* building : SceneBuildings()) {
    if (!building->Components<DestructableBuildingComponent>()) continue;
    StorageComponentProto* storage = building->Components<StorageComponentProto>();
    if (!storage) continue;
    ++storages;
    if (building->IsAlive()) stored += (int)storage->GetCollectableCount();
  }
  const int storedAverage = storages > 0 ? std::min(stored / storages, kMaxAverageItems) : -1;
  if (m_currentTown.town) m_currentTown.town->SetScriptValue("iCurrentItemsInBuilding", storedAverage);

  if (m_pPlayerShip) m_pPlayerShip->Remove();
  m_pPlayerShip = nullptr;

  SaveState(m_currentTown.name);
  ResetCurrentTown();
  FogOfWarManager::GetInstance()->SetEnabled(false);
}

void TownManager::SetPlayerShip(ShipStats* stats) {
  if (!stats) return;
  if (m_vHarbourPosition.x == 0.0f && m_vHarbourPosition.y == 0.0f && m_vHarbourPosition.z == 0.0f) return;
  if (m_pPlayerShip) m_pPlayerShip->Remove();
  m_pPlayerShip = ShipFactory::GetInstance()->CreateShip(kMooredShipKey, stats->GetScript().AsChar(), m_vHarbourPosition,
                                                         m_vHarbourOrientation, 0, stats->GetUniqueID(), false);
  if (!m_pPlayerShip) return;
  m_pPlayerShip->ChangeColorScheme(stats->GetColorScheme());
  m_pPlayerShip->SetSave(false);
}

// ---- the world stream ----------------------------------------------------------------

void TownManager::MoorPlayerShipForTown(ShipEntity* ship) {
  TownEntity* town = GameManager::GetInstance()->GetNearestTown();
  if (ship->GetPhysicsObject() && town) {
    VisVector_cl from = town->GetPosition();
    VisVector_cl to = ship->GetPosition();
    from.z = to.z = 0.0f;
    VisMatrix3x3_cl rotation;
    VisMath_cl::MatrixLookAt(rotation, from, to, VisVector_cl(0, 0, 1));
    VisVector_cl moored = to + rotation.GetColumn(0) * kMooringDistance;
    moored.z = 0.0f;
    moored.w = 1.0f;
    ship->SetRotationMatrix(rotation);
    ship->SetPosition(moored);
    ship->GetPhysicsObject()->SetRotationMatrix(rotation);
    ship->GetPhysicsObject()->SetPosition(moored);
  }
  if (ShipMovementComponent* movement = ship->Components<ShipMovementComponent>()) {
    movement->SetTurnSpeed(0.0f);
    movement->SetSpeedWithCurrentSails(0.0f);
    float yaw = ship->GetOrientation().x;
    movement->MessageFunction(VIS_MSG_USER_SHIP_SETCURRENTHEADING, (INT_PTR)&yaw, 0);
    movement->SetTargetHeading(MathTools::WrapAngle(yaw));
  }
  Vision::Game.SendMsg(ship, VIS_MSG_USER_SHIP_NOSAILS);
  ship->GetStats()->SetLocation(m_currentTown.name.AsChar());
}

void TownManager::WriteWorld(VArchive& ar) {
  const Nation* own = GameManager::GetInstance()->GetPlayerNation();
  std::vector<BaseEntity*> records;
  std::vector<VisBaseEntity_cl*> objects;  // whole entities and cameras, in scene order
  for (VisBaseEntity_cl* e : Vision::Game.GetEntities()) {
    if (!e || e->IsMarkedRemoved()) continue;
    if (e->IsOfType(ShipEntity::GetClassTypeId()) && static_cast<ShipEntity*>(e)->GetStats()) {
      // Ships live on in their records and are made again from them.
      ShipEntity* ship = static_cast<ShipEntity*>(e);
      if (own && ship->GetNation() == own->GetNationId() && ship->GetStats()->IsPlayerShip()) MoorPlayerShipForTown(ship);
      ship->GetStats()->SetSavedPosition(ship->GetPosition());
      ship->GetStats()->SetSavedOrientation(ship->GetOrientation());
      ShipFactory::GetInstance()->SaveShipComponents(ship);
      continue;
    }
    if (e->IsOfType(CameraEntity_cl::GetClassTypeId())) {
      objects.push_back(e);
      continue;
    }
    if (!e->IsOfType(BaseEntity::GetClassTypeId())) continue;
    BaseEntity* entity = static_cast<BaseEntity*>(e);
    if (!entity->GetSave()) continue;
    if (entity->GetSerializeType() != 0)
      records.push_back(entity);
    else
      objects.push_back(entity);
  }

  ar << "ARCH" << Vision::GetArchiveVersion() << Vision::Timer.GetTime();
  save_file::WriteEntityRecords(ar, records, objects);
  ar << "EOA";
}

void TownManager::SaveWorldState() {
  if (!m_spWorldStream) m_spWorldStream = new SerializableStream(kWorldStreamName);
  IVFileOutStream* out = m_spWorldStream->Create(kTownArchive);
  if (!out) return;
  {
    VArchive ar(kTownArchive, out);
    WriteWorld(ar);
    ar.Close();
  }
  out->Close();
}

bool TownManager::ReadWorld(VArchive& ar, bool apply) {
  if (!SaveGameManagerProto::CheckArchiveStartTag(ar)) return false;
  int version = 0, recordCount = 0, objectCount = 0;
  float time = 0.0f;
  ar >> version;
  ar.SetLoadingVersion(version);
  if (!ar.IsOK() || !Vision::IsValidArchive(version)) return false;
  ar >> time;
  if (!ArchiveLimits::ReadCount(ar, recordCount, kMinRecordBytes) || !ArchiveLimits::ReadCount(ar, objectCount, 8))
    return false;

  if (apply) {
    SaveGameManagerProto::GetInstance()->ClearWorld();
    Vision::Timer.SetTime(time);
  }
  for (int i = 0; i < recordCount && ar.IsOK(); ++i) {
    VString className, key, model, params;
    VisVector_cl position, orientation;
    int accuracy = 0;
    if (!ArchiveLimits::ReadString(ar, className, kMaxRecordText) || !ArchiveLimits::ReadString(ar, key, kMaxRecordText))
      break;
    ar >> position >> orientation >> accuracy;
    if (!ArchiveLimits::ReadString(ar, model, kMaxRecordText) || !ArchiveLimits::ReadString(ar, params, kMaxRecordText))
      break;
    if (!apply) continue;
    VisBaseEntity_cl* e = Vision::Game.CreateEntity(className.AsChar(), position, model.IsEmpty() ? nullptr : model.AsChar(),
                                                    params.AsChar());
    if (!e) continue;
    e->SetTraceAccuracy((VisTraceAccuracy_e)accuracy);
    e->SetOrientation(orientation);
    e->SetEntityKey(key.AsChar());
  }

  std::vector<VisBaseEntity_cl*> read;
  for (int i = 0; i < objectCount && ar.IsOK(); ++i) {
    int tag = 0;
    ar >> tag;
    if (tag != kTagEntity && tag != kTagCamera) continue;
    VTypedObject* obj =
        ar.ReadObject(tag == kTagCamera ? CameraEntity_cl::GetClassTypeId() : VisBaseEntity_cl::GetClassTypeId());
    if (!obj) continue;
    VisBaseEntity_cl* e = static_cast<VisBaseEntity_cl*>(obj);
    read.push_back(e);
    if (apply && tag == kTagCamera) {
      Vision::Camera.AttachToEntity(e, VisVector_cl(0, 0, 0));
      VSoundManager::GlobalManager().SetListenerCamera(&Vision::Camera);
    }
  }
  const bool whole = ar.IsOK() && SaveGameManagerProto::CheckArchiveEndTag(ar) && ar.IsOK();

  // Every entity the archive made, nested ones included.
  std::set<VisBaseEntity_cl*> made(read.begin(), read.end());
  for (VTypedObject* obj : ar.GetLoadedObjects())
    if (obj && obj->IsOfType(VisBaseEntity_cl::GetClassTypeId())) made.insert(static_cast<VisBaseEntity_cl*>(obj));
  if (!apply) {
    for (VisBaseEntity_cl* e : made) e->Remove();
    return whole;
  }
  for (VisBaseEntity_cl* e : made)
    if (!e->IsMarkedRemoved() && e->WantsDeserializationCallback(ar.GetSerializationContext()))
      e->OnDeserializationCallback(nullptr);
  return whole;
}

void TownManager::LoadWorldState() {
  if (!m_spWorldStream) m_spWorldStream = new SerializableStream(kWorldStreamName);
  // A trial read first: a damaged stream must not leave the world half cleared, so
  // the world is only emptied once the whole stream has been read back.
  bool whole = false;
  if (IVFileInStream* in = m_spWorldStream->Open(kWorldArchive)) {
    {
      VArchive ar(kWorldArchive, in);
      whole = ReadWorld(ar, false);
      ar.Close();
    }
    in->Close();
  } else {
    return;
  }
  if (!whole) {
    Vision::Error.Warning("TownManager::LoadWorldState(): the world stream is damaged; the world map stays as its scene built it");
    return;
  }
  if (IVFileInStream* in = m_spWorldStream->Open(kWorldArchive)) {
    {
      VArchive ar(kWorldArchive, in);
      if (!ReadWorld(ar, true)) Vision::Error.Warning("TownManager::LoadWorldState(): the world stream failed on its second read");
      ar.Close();
    }
    in->Close();
  }
}

// ---- town streams ---------------------------------------------------------------------

SerializableStream* TownManager::FindTownStream(const VString& name) const {
  for (const VSmartPtr<SerializableStream>& stream : m_townStreams)
    if (name == stream->GetName()) return stream.GetPtr();
  return nullptr;
}

SerializableStream* TownManager::GetOrCreateTownStream(const VString& name) {
  if (SerializableStream* stream = FindTownStream(name)) return stream;
  m_townStreams.emplace_back(new SerializableStream(name.AsChar()));
  return m_townStreams.back().GetPtr();
}

void TownManager::SaveState(const VString& sceneName) {
  if (sceneName.IsEmpty()) return;
  IVFileOutStream* out = GetOrCreateTownStream(sceneName)->Create(kWorldArchive);
  if (!out) return;
  {
    VArchive ar(kWorldArchive, out);
    const std::vector<BuildingBaseEntity*> buildings = SceneBuildings();
    ar << "ARCH" << Vision::GetArchiveVersion() << (int)buildings.size();
    for (BuildingBaseEntity* building : buildings) {
      // The units it sent out stay behind with the scene.
      if (auto* spawner = building->Components<SpawnerBaseComponent>()) spawner->ClearSpawnedUnits();
      ar.WriteObject(building);
    }
    ar << "EOA";
    ar.Close();
  }
  out->Close();
}

void TownManager::LoadState(const VString& sceneName) {
  if (sceneName.IsEmpty()) return;
  SerializableStream* stream = FindTownStream(sceneName);
  IVFileInStream* in = stream ? stream->Open(kTownArchive) : nullptr;
  if (!in) return;
  {
    VArchive ar(kTownArchive, in);
    if (SaveGameManagerProto::CheckArchiveStartTag(ar)) {
      int version = 0, count = 0;
      ar >> version;
      ar.SetLoadingVersion(version);
      if (!ar.IsOK() || !Vision::IsValidArchive(version) || !ArchiveLimits::ReadCount(ar, count, kMinBuildingBytes)) {
        Vision::Error.Warning("TownManager::LoadState(%s): damaged town stream; the scene stays as its file built it",
                              sceneName.AsChar());
      } else {
        ReadBuildings(ar, count, sceneName);
      }
    }
    ar.Close();
  }
  in->Close();
}

// The saved buildings take the place of the scene's own only once the whole stream has
// been read; a damaged one leaves the scene's buildings and takes back what it made.
void TownManager::ReadBuildings(VArchive& ar, int count, const VString& sceneName) {
  const std::vector<BuildingBaseEntity*> standing = SceneBuildings();
  int read = 0;
  for (int i = 0; i < count && ar.IsOK(); ++i)
    if (ar.ReadObject(BuildingBaseEntity::GetClassTypeId())) ++read;
  const bool whole = ar.IsOK() && read == count && SaveGameManagerProto::CheckArchiveEndTag(ar) && ar.IsOK();

  std::set<VisBaseEntity_cl*> made;
  for (VTypedObject* obj : ar.GetLoadedObjects())
    if (obj && obj->IsOfType(VisBaseEntity_cl::GetClassTypeId())) made.insert(static_cast<VisBaseEntity_cl*>(obj));
  if (!whole) {
    Vision::Error.Warning("TownManager::LoadState(%s): the town stream is damaged; the scene stays as its file built it",
                          sceneName.AsChar());
    for (VisBaseEntity_cl* e : made)
      if (!e->IsMarkedRemoved()) e->Remove();
    Vision::Game.FreeRemovedEntities();
    return;
  }
  for (BuildingBaseEntity* building : standing)
    if (!made.count(building) && !building->IsMarkedRemoved()) building->Remove();
  Vision::Game.FreeRemovedEntities();
  for (VisBaseEntity_cl* e : made)
    if (!e->IsMarkedRemoved() && e->WantsDeserializationCallback(ar.GetSerializationContext()))
      e->OnDeserializationCallback(nullptr);
}

// ---- save-game block ------------------------------------------------------------------

bool TownManager::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kManagerVersion);
    ar << (unsigned int)m_townStreams.size();
    for (const VSmartPtr<SerializableStream>& stream : m_townStreams) stream->SerializeX(ar);
    ar << (int)m_worldTowns.size();
    for (TownEntity* town : m_worldTowns) ar.WriteObject(town);
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }

  SavedBlockReader block(ar, "TownManager", kManagerVersion);
  if (!block.IsOpen()) return false;
  std::vector<VSmartPtr<SerializableStream>> streams;
  std::vector<TownEntity*> towns;
  if (block.Has(2)) {
    unsigned int count = 0;
    ar >> count;
    if (!ar.IsOK() || (int64_t)count * kMinStreamBlockBytes > ar.GetRemaining()) return block.Fail("stream count");
    for (unsigned int i = 0; i < count; ++i) {
      VSmartPtr<SerializableStream> stream = new SerializableStream("");
      if (!stream->SerializeX(ar)) return block.Fail();
      streams.push_back(stream);
    }
  }
  if (block.Has(3)) {
    int count = 0;
    if (!ArchiveLimits::ReadCount(ar, count, 4)) return block.Fail("town count");
    for (int i = 0; i < count; ++i) {
      TownEntity* town = nullptr;
      ar >> town;
      if (!ar.IsOK()) return block.Fail();
      if (town) towns.push_back(town);
    }
  }
  if (!block.End()) return false;
  if (block.Has(2)) m_townStreams = std::move(streams);
  if (block.Has(3)) m_worldTowns = std::move(towns);
  return true;
}

VArchive& operator<<(VArchive& ar, TownManager& manager) {
  manager.SerializeX(ar);
  return ar;
}

VArchive& operator>>(VArchive& ar, TownManager& manager) {
  manager.SerializeX(ar);
  return ar;
}

// ---- town queries ---------------------------------------------------------------------

TownEntity* TownManager::GetRandomTown(int nation) {
  const int count = (int)m_worldTowns.size();
  if (count == 0) return nullptr;
  if (nation == -1) return m_worldTowns[(size_t)MathTools::RandomInt(count)];
  for (int draw = 0; draw < kRandomTownDraws; ++draw) {
    TownEntity* town = m_worldTowns[(size_t)MathTools::RandomInt(count)];
    if (town->GetNation() == nation) return town;
  }
  return nullptr;
}

void TownManager::CollectTowns(DynArray_cl<TownEntity*>* out, int nation) const {
  if (!out) return;
  for (TownEntity* town : m_worldTowns)
    if (nation == -1 || town->GetNation() == nation) AppendTo(out, town);
}

void TownManager::GetTownsWithinRange(const VisVector_cl& pos, float range, DynArray_cl<TownEntity*>* out) const {
  if (!out) return;
  for (TownEntity* town : m_worldTowns)
    if (MathTools::DistanceBetweenVectorsSquared(pos, town->GetPosition()) <= range * range) AppendTo(out, town);
}

TownEntity* TownManager::GetNearestTown(const VisVector_cl& pos, float range) const {
  const bool onLand = GameManager::HasInstance() && GameManager::GetInstance()->GetLocation() == 1;
  float best = range * range;
  TownEntity* nearest = nullptr;
  for (TownEntity* town : onLand ? m_localTowns : m_worldTowns) {
    if (!onLand && town->IsMarkedRemoved()) continue;
    const float d = onLand ? MathTools::DistanceToEntityBoundingBoxSquared(pos, town)
                           : MathTools::DistanceBetweenVectorsSquared(pos, town->GetPosition());
    if (d < best) {
      best = d;
      nearest = town;
    }
  }
  return nearest;
}

StrongholdEntity* TownManager::GetNearestStronghold(const VisVector_cl& pos, bool accessibleOnly) const {
  float best = kStrongholdSearchStart;
  StrongholdEntity* nearest = nullptr;
  for (TownEntity* town : m_worldTowns) {
    if (!town->IsOfType(StrongholdEntity::GetClassTypeId()) || town->IsMarkedRemoved()) continue;
    if (accessibleOnly && !town->IsAccessible()) continue;
    const float d = MathTools::DistanceBetweenVectorsSquared(pos, town->GetPosition());
    if (d < best) {
      best = d;
      nearest = static_cast<StrongholdEntity*>(town);
    }
  }
  return nearest;
}

void TownManager::HideTownEntites() {
  for (TownEntity* town : m_worldTowns) town->SetVisibleBitmask(0);
}

void TownManager::ShowTownEntites() {
  for (TownEntity* town : m_worldTowns) town->SetVisibleBitmask(0xffffffff);
}

// ---- buildings and collectables --------------------------------------------------------

void TownManager::RespawnBuildings() {
  for (BuildingBaseEntity* building : SceneBuildings())
    if (building->Components<DestructableBuildingComponent>() && !building->IsAlive()) building->Reborn();
}

void TownManager::InitBuildings(float timeSinceLastVisit) {
  TownEntity* town = m_currentTown.town;
  float interval = 1e8f;
  int maxItems = 0, currentItems = 0;
  if (town) {
    town->GetScriptValue("fMoneyBarrelBornInterval", interval);
    town->GetScriptValue("iMaxItemsInBuilding", maxItems);
    town->GetScriptValue("iCurrentItemsInBuilding", currentItems);
  }
  if (maxItems < 1 || !(interval > 0.0f)) return;
  Vision::Error.SystemMessage("TownManager::InitBuildings() fTimeSinceLastVisit %.f Interval %.f Max %d => Amount %d",
                              timeSinceLastVisit, interval, maxItems, 0);
  if (currentItems < 1) return;
  for (BuildingBaseEntity* building : SceneBuildings()) {
    DestructableBuildingComponent* destructable = building->Components<DestructableBuildingComponent>();
    StorageComponentProto* storage = building->Components<StorageComponentProto>();
    if (!destructable || !storage || !building->IsAlive()) continue;
    const int held = (int)storage->GetCollectableCount();
    if (held >= maxItems) continue;
    for (int i = held; i < currentItems; ++i) destructable->AddDropItem();
  }
}

void TownManager::SpawnRandomCollectables() {
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  IVScriptInstance* script = scripts ? scripts->GetGameScript() : nullptr;
  if (!script || !script->HasFunction("GetRandomLandCollectableScript")) return;
  Navigation* navigation = GameManager::GetInstance()->GetNavigation();
  for (int slot = 0; slot < m_currentTown.maxCollectables; ++slot) {
    const float r = (float)VRandomInt() / 32767.0f;
    int quality = 1;
    if (r < 0.1f)
      quality = 3;
    else if (r < 0.2f)
      quality = 2;
    else if (r > 0.7f)
      continue;
    VString file;
    if (!script->ExecuteFunctionArg("GetRandomLandCollectableScript", "ii>s", m_currentTown.sceneType, quality, &file) ||
        file.IsEmpty())
      continue;
    CollectableEntityTemplate* templ = new CollectableEntityTemplate();
    templ->m_sCollectableScriptFile = file;
    templ->m_vPosition = navigation ? navigation->GetAccessibleRandomPosition(false) : VisVector_cl(0, 0, 0);
    templ->m_vOrientation = VisVector_cl((float)VRandomInt() / 32767.0f * 360.0f, 0, 0);
    Vision::Game.CreateEntity(*templ);
    delete templ;
  }
}
