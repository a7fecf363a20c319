// Mission manager: catalogues, ongoing missions and their scene hooks.
#include "Missions/MissionManager.h"

#include "Managers/SaveGameManager.h"
#include "engine/base/VArchive.h"

#include "engine/Vision.h"
#include "engine/base/VisError.h"
#include "engine/core/VisCallbacks.h"

namespace {
MissionManager g_MissionManager;

const char* const kMissionsScript = "scripts\\Missions\\MissionsScript.lua";
const char* const kCatalogueScripts[] = {"scripts\\Missions\\StoryLineMissions.lua",
                                         "scripts\\Missions\\FactionMissions.lua", "scripts\\Missions\\SideQuests.lua"};
}  // namespace

MissionManager& MissionManager::GlobalManager() { return g_MissionManager; }

void MissionManager::RegisterCallbacks() {
  Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  Vision::Callbacks.OnWorldDeInit.RegisterCallback(this);
}

void MissionManager::DeregisterCallbacks() {
  Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  Vision::Callbacks.OnWorldDeInit.DeregisterCallback(this);
  ForgetMissionsScript();
}

void MissionManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data) return;
  if (data->m_pSender == &Vision::Callbacks.OnWorldDeInit) {
    UnloadMissionScripts();
    return;
  }
  if (data->m_pSender != &Vision::Callbacks.OnUpdateSceneBegin) return;
  // Closing completed and failed missions needs their mission objects, which come
  // with the missions' own scripts; until then the ongoing rows have none to ask.
  if (m_iRequestedDlcLevel > 0) {
    const int level = m_iRequestedDlcLevel;
    m_iRequestedDlcLevel = 0;
    StartNextDlcMission(level);
  }
}

bool MissionManager::IsMissionOngoing(int id) const {
  for (const MissionData& row : m_ongoing)
    if (row.id == id) return true;
  return false;
}

void MissionManager::AddOngoingStoryMission(const MissionData& row) {
  if (IsMissionOngoing(row.id)) return;
  // The row's scripted mission object (a story-line mission running row.script)
  // comes with the missions' own scripts; until then the row is ongoing without one.
  MissionData ongoing = row;
  ongoing.mission = nullptr;
  AddOngoingMission(ongoing);
}

void MissionManager::AddOngoingMission(const MissionData& row) {
  // Tracking on the radar and the tool bar's new-mission mark act on the mission
  // objects and the tool bar, which do not exist yet.
  m_ongoing.push_back(row);
}

void MissionManager::LoadMissionsScript() {
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  if (!scripts) return;
  // A script manager that was reset has closed the old instance's state.
  if (m_pMissionsScript && !m_pMissionsScript->IsValid()) ForgetMissionsScript();
  if (!m_pMissionsScript) {
    m_pMissionsScript = scripts->CreateScriptInstanceFromFile(kMissionsScript);
    if (!m_pMissionsScript) {
      Vision::Error.Warning("MissionManager: the missions script \"%s\" could not be loaded", kMissionsScript);
      return;
    }
    m_pMissionsScript->AddRef();
  }
  if (m_pMissionsScript->HasFunction("Init")) m_pMissionsScript->ExecuteFunctionArg("Init", "");
}

void MissionManager::ForgetMissionsScript() {
  if (m_pMissionsScript) m_pMissionsScript->Release();
  m_pMissionsScript = nullptr;
}

void MissionManager::RunCatalogueScript(const char* file) {
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  VSmartPtr<IVScriptInstance> script = scripts ? scripts->CreateScriptInstanceFromFile(file) : nullptr;
  if (!script) {
    Vision::Error.Warning("MissionManager: the catalogue script \"%s\" could not be loaded", file);
    return;
  }
  if (script->HasFunction("Init")) script->ExecuteFunctionArg("Init", "");
}

void MissionManager::InitializeMissions() {
  LoadMissionsScript();
  for (const char* file : kCatalogueScripts) RunCatalogueScript(file);
}

void MissionManager::LoadCatalogue(const char* countFunction, const char* rowFunction,
                                   std::vector<MissionData>& list) {
  IVScriptInstance* script = m_pMissionsScript;
  if (!script || !script->IsValid() || !script->HasFunction(countFunction) || !script->HasFunction(rowFunction))
    return;
  int count = 0;
  script->ExecuteFunctionArg(countFunction, "*>i", &count);
  for (int i = 1; i <= count; ++i) {
    MissionData row;
    int open = 0;
    row.id = 0;
    script->ExecuteFunctionArg(rowFunction, "i>iiisssf", i, &row.id, &row.nation, &open, &row.name, &row.description,
                               &row.script, &row.reputationReward);
    row.open = open > 0;
    if (row.id > 0) list.push_back(row);
  }
}

void MissionManager::LoadStoryMissions() { LoadCatalogue("GetStoryMissionCount", "GetStoryMission", m_story); }
void MissionManager::LoadFactionMissions() { LoadCatalogue("GetFactionMissionCount", "GetFactionMission", m_faction); }
void MissionManager::LoadSideQuests() { LoadCatalogue("GetSideQuestCount", "GetSideQuest", m_sideQuests); }
void MissionManager::LoadDlcMissions() { LoadCatalogue("GetDlcMissionCount", "GetDlcMission", m_dlc); }

void MissionManager::UnloadMissionScripts() {
  // No ongoing row holds a mission object yet (see AddOngoingStoryMission), so
  // there is nothing to delete; the rows stay as they are.
  for (MissionData& row : m_ongoing) row.mission = nullptr;
}

void MissionManager::ClearLists(bool withDlc) {
  m_ongoing.clear();
  m_faction.clear();
  m_sideQuests.clear();
  m_story.clear();
  if (withDlc) m_dlc.clear();
}

void MissionManager::ResetReputationSummary() {
  m_iReputationSummary = 0;
  m_iReputationMaximum = 300;
}

// The ongoing missions' "OnEnterScene" and "OnExitScene" run on their mission
// objects; no row has one until the missions' own scripts exist.
void MissionManager::EnterScene() {}
void MissionManager::ExitScene() {}

bool MissionManager::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, 2);
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "MissionManager", 2);
  if (!block.IsOpen()) return false;
  return block.End();
}

const MissionData* MissionManager::GetTrackedMissionData() const { return nullptr; }

void MissionManager::ResetTrackingOnLoadGame() {}

void MissionManager::ReloadMissionScripts() {}
