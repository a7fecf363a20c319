// The save-game manager: documents folder and saved-block checks.
#include "Managers/SaveGameManager.h"

#include "Missions/MissionManager.h"
#include "gui/GUIManager.h"

#include "engine/base/VArchive.h"
#include "engine/base/VisError.h"
#include "engine/os/VOs.h"

#include "engine/base/VarTable.h"
#include "engine/core/VisBaseEntity.h"


VCallback SaveGameManagerProto::OnBeforeSave;
VCallback SaveGameManagerProto::OnAfterLoad;

int SaveGameManagerProto::GetMyDocumentFolder(char* out) { return VGetMyDocumentFolder(out); }


VString SaveGameManagerProto::GetEntityParameters(VisBaseEntity_cl* entity) {
  if (!entity) return VString();
  VARTABLE* vars = entity->GetTypeId()->GetVarTable();
  return vars ? vars->GetParameterString(entity) : VString();
}

bool SaveGameManagerProto::SaveGame(int slot) {
  Vision::Error.Warning("SaveGame(%d): saving is not available yet", slot);
  return false;
}

bool SaveGameManagerProto::LoadGame(int slot) {
  Vision::Error.Warning("LoadGame(%d): loading is not available yet", slot);
  return false;
}

int SaveGameManagerProto::LoadSlotIntoNewCampaign(int slot) {
  MissionManager& missions = MissionManager::GlobalManager();
  missions.EndCampaign(false, false);
  GUIManager::GetInstance()->ShowFrame(WT_BATTLE_HUD);
  missions.StartCampaign();
  return LoadGame(slot) ? 1 : 0;
}
