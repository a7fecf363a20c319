// The save-game manager: documents folder, entity parameters and loading a slot in
// place of what runs.
#include "Managers/SaveGameManager.h"

#include "Managers/GameSessionManager.h"
#include "Managers/SaveGameFile.h"
#include "Missions/MissionManager.h"
#include "gui/GUIManager.h"

#include "engine/base/VArchive.h"
#include "engine/base/VisError.h"
#include "engine/os/VOs.h"

#include "engine/base/VarTable.h"
#include "engine/core/VisBaseEntity.h"

#include <cstring>
#include <vector>


VCallback SaveGameManagerProto::OnBeforeSave;
VCallback SaveGameManagerProto::OnAfterLoad;

int SaveGameManagerProto::GetMyDocumentFolder(char* out) { return VGetMyDocumentFolder(out); }


VString SaveGameManagerProto::GetEntityParameters(VisBaseEntity_cl* entity) {
  if (!entity) return VString();
  VARTABLE* vars = entity->GetTypeId()->GetVarTable();
  return vars ? vars->GetParameterString(entity) : VString();
}

namespace {

void StartFreshCampaign() {
  GUIManager::GetInstance()->ShowFrame(WT_BATTLE_HUD);
  MissionManager::GlobalManager().StartCampaign();
}

}  // namespace

int SaveGameManagerProto::LoadSlotIntoNewCampaign(int slot) {
  GUIManager* gui = GUIManager::GetInstance();
  MissionManager& missions = MissionManager::GlobalManager();
  std::vector<uint8_t> bytes;
  char path[V_DOCUMENT_FOLDER_SIZE];
  bool readable = slot >= 1 && slot <= kSlotCount && GetSaveGameFile(path, slot);
  if (readable) {
    strcat(path, ".gam");
    readable = save_file::ReadWholeFile(path, bytes) && CheckSaveGameBytes(bytes);
  }
  if (!readable) {
    // Nothing has changed: what runs goes on.
    Vision::Error.Warning("LoadSlotIntoNewCampaign(%d): the save game cannot be loaded", slot);
    gui->ShowMessage("str_LOAD_GAME_FAILED", kFailureNoticeSeconds, kFailureNoticeFade);
    return 0;
  }

  // The running campaign is kept in memory, in the form of a save game, until the
  // slot has been read whole.
  const bool running = GameSessionManager::HasInstance();
  const std::vector<uint8_t> kept = running ? WriteSaveGameBytes() : std::vector<uint8_t>();
  if (running) missions.EndCampaign(false, false);
  StartFreshCampaign();
  Vision::Error.SystemMessage("LoadSlotIntoNewCampaign(%d): \"%s\"", slot, path);
  if (ReadSaveGameBytes(bytes)) return 1;

  Vision::Error.Warning("LoadSlotIntoNewCampaign(%d): the save game failed while being read; %s", slot,
                        running ? "the running game is restored" : "back to the main menu");
  bool restored = false;
  if (running && !kept.empty()) {
    missions.EndCampaign(false, false);
    StartFreshCampaign();
    restored = ReadSaveGameBytes(kept) == 1;
    if (!restored) Vision::Error.Warning("LoadSlotIntoNewCampaign(%d): the running game could not be restored", slot);
  }
  if (!restored) missions.EndCampaign(true, false);
  gui->ShowMessage("str_LOAD_GAME_FAILED", kFailureNoticeSeconds, kFailureNoticeFade);
  return 0;
}
