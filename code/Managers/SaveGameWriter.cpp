// Writing a save game: the file's fields and records, the managers' blocks, and the
// safe replacement of the slot's file (temporary file, checked writes, fsync, rename).
#include "Managers/SaveGameManager.h"

#include "Managers/AchievementManager.h"
#include "Managers/ArtifactManager.h"
#include "Managers/BattleManager.h"
#include "Managers/GameContentManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/LandRadarManager.h"
#include "Managers/SaveGameFile.h"
#include "Managers/TownManager.h"
#include "Managers/TutorialManager.h"
#include "Missions/MissionManager.h"
#include "core/BaseEntity.h"
#include "core/GameManager.h"
#include "core/VisMainApp.h"
#include "entities/CameraEntity.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "gui/GUIManager.h"

#include "engine/Vision.h"
#include "engine/base/VArchive.h"
#include "engine/base/VisError.h"

#include <cstring>
#include <vector>

namespace {

// What the program calls itself in every file it writes.
const char* const kProgramVersion = "1,0,2,7542";
const char* const kBuildDate = "2011/08/06 02:17:32";

}  // namespace

VCallback SaveGameManagerProto::OnAfterSave;
VCallback SaveGameManagerProto::OnBeforeLoad;

namespace save_file {

namespace {
// The model path as a record stores it: one leading separator dropped, unless the
// path starts with two backslashes; none without a model.
const char* RecordModelPath(const char* file) {
  if (!file || !file[0]) return nullptr;
  if (file[0] == '\\' && file[1] == '\\') return file;
  if (file[0] == '\\' || file[0] == '/') return file + 1;
  return file;
}
}  // namespace

void WriteEntityRecords(VArchive& ar, const std::vector<BaseEntity*>& records,
                        const std::vector<VisBaseEntity_cl*>& objects) {
  SaveGameManagerProto* saves = SaveGameManagerProto::GetInstance();
  ar << (int)records.size() << (int)objects.size();
  for (BaseEntity* e : records) {
    ar << e->GetClassTypeName() << VString(e->GetEntityKey()) << e->GetPosition() << e->GetOrientation();
    ar << (int)e->GetTraceAccuracy() << RecordModelPath(e->GetMeshFileName()) << saves->GetEntityParameters(e);
  }
  for (VisBaseEntity_cl* e : objects) {
    ar << (e->IsOfType(CameraEntity_cl::GetClassTypeId()) ? kTagCamera : kTagEntity);
    ar.WriteObject(e);
  }
}

void WriteGame(VArchive& ar) {
  SaveGameManagerProto* saves = SaveGameManagerProto::GetInstance();
  GameManager* game = GameManager::GetInstance();
  MissionManager& missions = MissionManager::GlobalManager();
  const MissionData* tracked = missions.GetTrackedMissionData();
  const int hero = GUIManager::HasInstance() ? GUIManager::GetInstance()->GetSelectedPlayerCharacter() : 0;

  ar << "ARCH" << Vision::GetArchiveVersion() << (char)SaveGameManagerProto::kSaveVersion;
  ar << saves->GetDateString() << (tracked ? tracked->name : VString()) << saves->GetSaveInfoString() << hero;
  ar << kProgramVersion << kBuildDate;
  ar << Vision::Timer.GetTime() << game->GetWorldTime();

  const unsigned nations = game->GetNationCount();
  ar << nations;
  for (unsigned i = 0; i < nations; ++i) {
    Nation* nation = game->GetNation(i);
    if (nation) {
      nation->SerializeX(ar);
    } else {
      Nation(0, "None").SerializeX(ar);
    }
  }

  // Entities as records (made again from their class and variables) or as whole
  // objects; ships live on in their records of the session, cameras as objects.
  std::vector<BaseEntity*> records;
  std::vector<VisBaseEntity_cl*> objects;
  for (VisBaseEntity_cl* e : Vision::Game.GetEntities()) {
    if (!e || e->IsMarkedRemoved()) continue;
    if (e->IsOfType(BaseEntity::GetClassTypeId())) {
      BaseEntity* entity = static_cast<BaseEntity*>(e);
      if (!entity->GetSave()) continue;
      if (entity->GetSerializeType() == 1)
        records.push_back(entity);
      else if (!e->IsOfType(ShipEntity::GetClassTypeId()))
        objects.push_back(e);
    } else if (e->IsOfType(CameraEntity_cl::GetClassTypeId())) {
      objects.push_back(e);
    }
  }
  WriteEntityRecords(ar, records, objects);

  TownManager::GetInstance()->SerializeX(ar);
  missions.SerializeX(ar);
  GameSessionManager::GetInstance()->SerializeX(ar);
  BattleManager::GetInstance()->SerializeX(ar);
  LandRadarManager::GetInstance()->SerializeX(ar);
  GameContentManager::GetInstance()->SerializeX(ar);
  TutorialManager::GetInstance()->SerializeX(ar);
  ar << saves->GetHighestDlcLevelPassed();
  ArtifactManager::GetInstance()->SerializeX(ar);
  AchievementManager::GetInstance()->SerializeX(ar);
  ar << "EOA";
}

}  // namespace save_file

std::vector<uint8_t> SaveGameManagerProto::WriteSaveGameBytes() {
  if (VisMainApp::HasInstance()) VisMainApp::GetInstance()->FetchPhysicsResults();
  OnBeforeSave.TriggerCallbacks();
  VSmartPtr<VMemoryStream> memory = new VMemoryStream("<savegame>");
  VMemoryOutStream* out = new VMemoryOutStream(memory);
  bool ok = false;
  {
    VArchive ar("<savegame>", out, Vision::File.GetManager(), 4096);
    save_file::WriteGame(ar);
    ok = ar.IsOK();
    ar.Close();
  }
  out->Close();
  if (!ok) return {};
  return memory->GetBuffer();
}

int SaveGameManagerProto::SaveGame(int slot) {
  if (slot < 1 || slot > kSlotCount) return 0;
  if (VisMainApp::HasInstance()) VisMainApp::GetInstance()->FetchPhysicsResults();
  char path[V_DOCUMENT_FOLDER_SIZE];
  if (!GetSaveGameFile(path, slot)) {
    Vision::Error.Warning("SaveGame(%d): no folder for the save games", slot);
    return 0;
  }
  strcat(path, ".gam");
  // The file is made before anything is announced: a slot that cannot be written
  // triggers no callback.
  save_file::AtomicFile file(path);
  if (!file.Open()) {
    Vision::Error.Warning("SaveGame(%d): \"%s\" cannot be written: %s", slot, path, file.GetError());
    return 0;
  }
  const std::vector<uint8_t> bytes = WriteSaveGameBytes();
  if (bytes.empty()) {
    Vision::Error.Warning("SaveGame(%d): the game could not be written", slot);
    return 0;
  }
  if (!file.Write(bytes.data(), bytes.size()) || !file.Commit()) {
    Vision::Error.Warning("SaveGame(%d): \"%s\" cannot be written: %s; the slot keeps its old file", slot, path,
                          file.GetError());
    return 0;
  }
  Vision::Error.SystemMessage("SaveGame(%d): %u bytes written to \"%s\"", slot, (unsigned)bytes.size(), path);
  SaveThumbnail(m_slots[slot - 1]);
  OnAfterSave.TriggerCallbacks();
  return 1;
}

void SaveGameManagerProto::AutoSave() {
  m_bAutoSaveRequested = false;
  // Nobody else is there to tell the player.
  if (!SaveGame(kSlotCount) && GUIManager::HasInstance())
    GUIManager::GetInstance()->ShowMessage("str_SAVE_GAME_FAILED", kFailureNoticeSeconds, kFailureNoticeFade);
}
