// Reading a save game: the check of the file's structure that touches nothing, and
// the read into a freshly started campaign by the version table of the file.
#include "Managers/SaveGameManager.h"

#include "Managers/AchievementManager.h"
#include "Managers/ArtifactManager.h"
#include "Managers/BattleManager.h"
#include "Managers/GameContentManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/LandRadarManager.h"
#include "Managers/SaveGameFile.h"
#include "Managers/SpeechManager.h"
#include "Managers/TownManager.h"
#include "Managers/TutorialManager.h"
#include "Managers/WildLifeManager.h"
#include "Missions/MissionManager.h"
#include "core/BaseEntity.h"
#include "core/GameManager.h"
#include "core/VisMainApp.h"
#include "entities/CameraEntity.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "entities/TownEntity.h"
#include "gui/GUIManager.h"
#include "util/ArchiveLimits.h"

#include "engine/Vision.h"
#include "engine/base/VArchive.h"
#include "engine/base/VisError.h"
#include "engine/core/IVObjectComponent.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// Bounds of what a file may hold: texts of the header and records, and the least
// bytes a nation block (tags and version), a record and an object record take.
const int kMaxHeaderText = 4096;
const int kMaxClassName = 255;
const int kMaxRecordText = 1 << 20;
const int kMinNationBytes = 16;
const int kMinRecordBytes = 52;
const int kMinObjectBytes = 8;
// The engine archive's mark of an object written in full (VArchive.h).
const int kNewObjectMark = -2;

// The header as the save version carries it.
struct Header {
  int archiveVersion = 0;
  int saveVersion = 0;
  VString date, mission, stamp, programVersion, buildDate;
  int hero = 0;
  float timerTime = 0.0f, worldTime = 0.0f;
};

// The start tag, the archive and save versions and the header fields; false, with
// the reason logged, when the file is not one this game reads.
bool ReadHeader(VArchive& ar, Header& h) {
  if (!SaveGameManagerProto::CheckArchiveStartTag(ar)) {
    Vision::Error.Warning("Save game \"%s\": no start tag", ar.GetName());
    return false;
  }
  ar >> h.archiveVersion;
  if (!ar.IsOK() || !Vision::IsValidArchive(h.archiveVersion)) {
    Vision::Error.Warning("Save game \"%s\": archive version %d cannot be read", ar.GetName(), h.archiveVersion);
    return false;
  }
  ar.SetLoadingVersion(h.archiveVersion);
  char version = 0;
  ar >> version;
  h.saveVersion = version;
  if (!ar.IsOK() || h.saveVersion < 1 || h.saveVersion > SaveGameManagerProto::kSaveVersion) {
    Vision::Error.Warning("Save game \"%s\": save version %d, this game reads versions 1 to %d", ar.GetName(),
                          h.saveVersion, SaveGameManagerProto::kSaveVersion);
    return false;
  }
  bool ok = ArchiveLimits::ReadString(ar, h.date, kMaxHeaderText) && ArchiveLimits::ReadString(ar, h.mission, kMaxHeaderText);
  if (ok && h.saveVersion >= 7) ok = ArchiveLimits::ReadString(ar, h.stamp, kMaxHeaderText);
  if (ok && h.saveVersion >= 8) ar >> h.hero;
  if (ok && h.saveVersion >= 4)
    ok = ArchiveLimits::ReadString(ar, h.programVersion, kMaxHeaderText) &&
         ArchiveLimits::ReadString(ar, h.buildDate, kMaxHeaderText);
  if (ok) ar >> h.timerTime >> h.worldTime;
  if (!ok || !ar.IsOK()) {
    Vision::Error.Warning("Save game \"%s\": the header is damaged", ar.GetName());
    return false;
  }
  return true;
}

// A count of items of at least minBytes each that the rest of the file can hold.
bool ReadBoundedCount(VArchive& ar, int& count, int minBytes, const char* what) {
  if (ArchiveLimits::ReadCount(ar, count, minBytes)) return true;
  Vision::Error.Warning("Save game \"%s\": the %s count does not fit the file", ar.GetName(), what);
  return false;
}

// One rebuilt-entity record; the class must be a saveable entity class.
struct EntityRecord {
  VString className, key, model, params;
  VisVector_cl position, orientation;
  int traceAccuracy = 0;
  VType* type = nullptr;
};

bool ReadRecord(VArchive& ar, EntityRecord& r) {
  if (!ArchiveLimits::ReadString(ar, r.className, kMaxClassName) || !ArchiveLimits::ReadString(ar, r.key, kMaxRecordText))
    return false;
  ar >> r.position >> r.orientation >> r.traceAccuracy;
  if (!ArchiveLimits::ReadString(ar, r.model, kMaxRecordText) || !ArchiveLimits::ReadString(ar, r.params, kMaxRecordText))
    return false;
  if (!ar.IsOK()) return false;
  const int t = r.traceAccuracy;
  if (t != VIS_TRACEACC_NOCOLLISION && t != VIS_TRACEACC_AABOX && t != VIS_TRACEACC_OBOX && t != VIS_TRACEACC_SPHERE &&
      t != VIS_TRACEACC_POLYGONS) {
    Vision::Error.Warning("Save game \"%s\": an entity record has the unknown trace accuracy %d", ar.GetName(), t);
    ar.MarkFailed();
    return false;
  }
  r.type = VType::FindType(r.className.AsChar());
  if (!SaveGameManagerProto::IsSaveableEntityClass(r.type)) {
    Vision::Error.Warning("Save game \"%s\": class \"%s\" cannot come from a save game", ar.GetName(), r.className.AsChar());
    ar.MarkFailed();
    return false;
  }
  return true;
}

// The tag of an object record and, without consuming it, the class of the object
// that follows when it is written in full: only saveable entities (tag 2) and
// cameras (tag 3). References to objects read before are left to the archive.
bool CheckObjectRecordHead(VArchive& ar, IVFileInStream& in, int& tag) {
  ar >> tag;
  if (!ar.IsOK()) return false;
  if (tag != save_file::kTagEntity && tag != save_file::kTagCamera) {
    Vision::Error.Warning("Save game \"%s\": unknown object tag %d", ar.GetName(), tag);
    ar.MarkFailed();
    return false;
  }
  const int64_t at = in.GetPos();
  int mark = 0;
  ar >> mark;
  VString className;
  const bool full = mark == kNewObjectMark;
  if (full && !ArchiveLimits::ReadString(ar, className, kMaxClassName)) return false;
  if (!ar.IsOK() || mark == -1 || mark < kNewObjectMark) {
    Vision::Error.Warning("Save game \"%s\": an object record holds no object", ar.GetName());
    ar.MarkFailed();
    return false;
  }
  if (full && !SaveGameManagerProto::IsSaveableEntityClass(VType::FindType(className.AsChar()), tag == save_file::kTagCamera)) {
    Vision::Error.Warning("Save game \"%s\": class \"%s\" cannot come from a save game", ar.GetName(), className.AsChar());
    ar.MarkFailed();
    return false;
  }
  in.SetPos(at);
  return true;
}

// The archive over the bytes, with the memory stream it reads for peeking.
struct ByteArchive {
  explicit ByteArchive(const std::vector<uint8_t>& bytes, const char* name)
      : in(new VMemoryInStream(bytes.data(), bytes.size(), name)), ar(name, in, Vision::File.GetManager(), 4096) {}
  ~ByteArchive() {
    ar.Close();
    in->Close();
  }
  VMemoryInStream* in;
  VArchive ar;
};

bool EndsWithEndTag(const std::vector<uint8_t>& bytes) {
  static const uint8_t kEnd[] = {3, 0, 0, 0, 'E', 'O', 'A'};
  return bytes.size() >= sizeof(kEnd) && memcmp(bytes.data() + bytes.size() - sizeof(kEnd), kEnd, sizeof(kEnd)) == 0;
}

// The town manager's block brings the world map's towns with it: those the fresh
// campaign's towns zone made are dropped (they would stand twice, with the same
// ids), and the read ones are set up as world towns are.
bool ReadTowns(VArchive& ar) {
  TownManager* towns = TownManager::GetInstance();
  const std::vector<TownEntity*> before = towns->GetWorldTowns();
  if (!towns->SerializeX(ar)) return false;
  const std::vector<TownEntity*>& now = towns->GetWorldTowns();
  bool replaced = false;
  for (TownEntity* town : before) {
    if (std::find(now.begin(), now.end(), town) != now.end()) continue;
    town->Remove();
    replaced = true;
  }
  if (replaced) Vision::Game.FreeRemovedEntities();
  towns->Initialize();
  return true;
}

// Components the archive made for the entities and towns that no entity took (refused
// by their entity, or cut short by damage) belong to nobody: they go once the
// entities are read, or when the read stops before that. Later blocks read no
// entities; the mission block may delete objects of the archive's table, so the
// table is not walked after it.
class UnownedComponents {
 public:
  explicit UnownedComponents(VArchive& ar) : m_ar(ar) {}
  ~UnownedComponents() { Release(); }
  void Release() {
    if (m_released) return;
    m_released = true;
    std::vector<IVObjectComponent*> unowned;
    for (VTypedObject* obj : m_ar.GetLoadedObjects())
      if (obj && obj->IsOfType(IVObjectComponent::GetClassTypeId()) && !static_cast<IVObjectComponent*>(obj)->GetOwner())
        unowned.push_back(static_cast<IVObjectComponent*>(obj));
    for (IVObjectComponent* component : unowned) component->DisposeObject();
  }

 private:
  VArchive& m_ar;
  bool m_released = false;
};

void CallGameScript(const char* function) {
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  VASSERT_MSG(scripts, "ScriptManager not found!");
  if (!scripts) return;
  IVScriptInstance* game = scripts->GetGameScript();
  VASSERT_MSG(game, "Game script not loaded!");
  if (game && game->IsValid() && game->HasFunction(function)) game->ExecuteFunctionArg(function, "");
}

}  // namespace

bool SaveGameManagerProto::IsSaveableEntityClass(const VType* type, bool camera) {
  if (!type || !type->CanCreate()) return false;
  if (camera) return type->IsDerivedFrom(CameraEntity_cl::GetClassTypeId());
  return type->IsDerivedFrom(BaseEntity::GetClassTypeId()) && !type->IsDerivedFrom(ShipEntity::GetClassTypeId());
}

bool SaveGameManagerProto::CheckSaveGameBytes(const std::vector<uint8_t>& bytes) const {
  ByteArchive file(bytes, "<savegame>");
  VArchive& ar = file.ar;
  Header header;
  if (!ReadHeader(ar, header)) return false;

  // Nations are read into scratch objects: their blocks are whole and of known versions.
  int nations = 0;
  if (!ReadBoundedCount(ar, nations, kMinNationBytes, "nation")) return false;
  for (int i = 0; i < nations; ++i) {
    Nation scratch(0, "None");
    if (!scratch.SerializeX(ar)) {
      Vision::Error.Warning("Save game: nation %d of %d is damaged", i + 1, nations);
      return false;
    }
  }

  int records = 0, objects = 0;
  if (!ReadBoundedCount(ar, records, kMinRecordBytes, "entity record") ||
      !ReadBoundedCount(ar, objects, kMinObjectBytes, "object record"))
    return false;
  if ((int64_t)records * kMinRecordBytes + (int64_t)objects * kMinObjectBytes > ar.GetRemaining()) {
    Vision::Error.Warning("Save game: %d entity and %d object records do not fit the file", records, objects);
    return false;
  }
  for (int i = 0; i < records; ++i) {
    EntityRecord record;
    if (!ReadRecord(ar, record)) {
      if (ar.IsOK()) Vision::Error.Warning("Save game: entity record %d of %d is damaged", i + 1, records);
      return false;
    }
  }
  // Objects carry no length: past the first one, the read itself checks them.
  if (objects > 0) {
    int tag = 0;
    if (!CheckObjectRecordHead(ar, *file.in, tag)) return false;
  }
  if (!EndsWithEndTag(bytes)) {
    Vision::Error.Warning("Save game: the file does not end with its end tag (cut short?)");
    return false;
  }
  return true;
}

int SaveGameManagerProto::ReadSaveGameBytes(const std::vector<uint8_t>& bytes) {
  if (!CheckSaveGameBytes(bytes)) return 0;
  ByteArchive file(bytes, "<savegame>");
  VArchive& ar = file.ar;
  OnBeforeLoad.TriggerCallbacks();

  // What the file does not restore, and what is made again from it.
  if (GUIManager::HasInstance()) GUIManager::GetInstance()->HideLowHPOverlay();
  GameManager* game = GameManager::GetInstance();
  game->ResetNations();
  if (WildLifeManager::HasInstance()) WildLifeManager::GetInstance()->ResetAnimals();
  SpeechManager::CleanInstance();
  if (GameContentManager::HasInstance()) GameContentManager::GetInstance()->ResetRandomCollectables();
  GameContentManager::CleanInstance();
  if (VisMainApp::HasInstance()) VisMainApp::GetInstance()->FetchPhysicsResults();

  Header header;
  if (!ReadHeader(ar, header)) return 0;
  const int version = header.saveVersion;
  if (version >= 8 && GUIManager::HasInstance()) GUIManager::GetInstance()->SetSelectedPlayerCharacter(header.hero);

  int nations = 0;
  if (!ReadBoundedCount(ar, nations, kMinNationBytes, "nation")) return 0;
  for (int i = 0; i < nations; ++i) {
    std::unique_ptr<Nation> nation(new Nation(0, "None"));
    if (!nation->SerializeX(ar)) return 0;
    game->AddNation(nation.release());
  }

  int records = 0, objects = 0;
  if (!ReadBoundedCount(ar, records, kMinRecordBytes, "entity record") ||
      !ReadBoundedCount(ar, objects, kMinObjectBytes, "object record"))
    return 0;
  ClearWorld();
  UnownedComponents unowned(ar);
  Vision::Timer.SetTime(header.timerTime);
  game->SetWorldTime(header.worldTime);

  for (int i = 0; i < records; ++i) {
    EntityRecord r;
    if (!ReadRecord(ar, r)) return 0;
    VisBaseEntity_cl* e = Vision::Game.CreateEntity(r.type->GetClassName(), r.position,
                                                    r.model.IsEmpty() ? nullptr : r.model.AsChar(), r.params.AsChar());
    if (!e) {
      Vision::Error.Warning("Save game: an entity of class \"%s\" could not be made", r.className.AsChar());
      return 0;
    }
    e->SetTraceAccuracy((VisTraceAccuracy_e)r.traceAccuracy);
    e->SetOrientation(r.orientation);
    e->SetEntityKey(r.key.AsChar());
  }

  for (int i = 0; i < objects; ++i) {
    int tag = 0;
    if (!CheckObjectRecordHead(ar, *file.in, tag)) return 0;
    const bool camera = tag == save_file::kTagCamera;
    VTypedObject* obj =
        ar.ReadObject(camera ? CameraEntity_cl::GetClassTypeId() : BaseEntity::GetClassTypeId());
    if (!obj || !ar.IsOK()) {
      Vision::Error.Warning("Save game: object record %d of %d is damaged", i + 1, objects);
      return 0;
    }
    if (camera) Vision::Camera.AttachToEntity(static_cast<VisBaseEntity_cl*>(obj), VisVector_cl(0, 0, 0));
  }
  if (version < 5) {
    float dropped = 0.0f;
    ar >> dropped;
  }

  bool ok = ReadTowns(ar);
  unowned.Release();
  ok = ok && MissionManager::GlobalManager().SerializeX(ar) &&
            GameSessionManager::GetInstance()->SerializeX(ar) && BattleManager::GetInstance()->SerializeX(ar);
  if (ok && version >= 3) ok = LandRadarManager::GetInstance()->SerializeX(ar);
  if (ok && version >= 4) ok = GameContentManager::GetInstance()->SerializeX(ar);
  if (ok && version >= 6) ok = TutorialManager::GetInstance()->SerializeX(ar);
  Vision::Game.FreeRemovedEntities();
  int dlcLevel = m_iHighestDlcLevelPassed;
  if (ok && version >= 9) ar >> dlcLevel;
  if (ok && version >= 10) ok = ArtifactManager::GetInstance()->SerializeX(ar);
  if (ok && version >= 11) ok = AchievementManager::GetInstance()->SerializeX(ar);
  if (!ok || !ar.IsOK()) {
    Vision::Error.Warning("Save game: a block of the managers is damaged");
    return 0;
  }
  if (!CheckArchiveEndTag(ar) || !ar.IsOK()) {
    Vision::Error.Warning("No (or invalid) end tag found in save game!");
    return 0;
  }
  if (ar.GetRemaining() != 0) {
    Vision::Error.Warning("Save game: %lld bytes follow the end tag", (long long)ar.GetRemaining());
    return 0;
  }
  m_iHighestDlcLevelPassed = dlcLevel;

  // The entities the archive made, nested ones included, are told that they are whole.
  for (VTypedObject* obj : ar.GetLoadedObjects()) {
    if (!obj || !obj->IsOfType(VisBaseEntity_cl::GetClassTypeId())) continue;
    VisBaseEntity_cl* e = static_cast<VisBaseEntity_cl*>(obj);
    if (!e->IsMarkedRemoved() && e->WantsDeserializationCallback(ar.GetSerializationContext()))
      e->OnDeserializationCallback(nullptr);
  }
  OnAfterLoad.TriggerCallbacks();
  CallGameScript("SetPlayerAfterLoadGame");
  MissionManager& missions = MissionManager::GlobalManager();
  missions.ReloadMissionScripts();
  missions.ResetTrackingOnLoadGame();
  return 1;
}

int SaveGameManagerProto::LoadGame(int slot) {
  if (slot < 1 || slot > kSlotCount) return 0;
  char path[V_DOCUMENT_FOLDER_SIZE];
  if (!GetSaveGameFile(path, slot)) return 0;
  strcat(path, ".gam");
  std::vector<uint8_t> bytes;
  if (!save_file::ReadWholeFile(path, bytes)) {
    Vision::Error.Warning("LoadGame(%d): \"%s\" cannot be opened", slot, path);
    return 0;
  }
  Vision::Error.SystemMessage("LoadGame(%d): \"%s\"", slot, path);
  return ReadSaveGameBytes(bytes);
}
