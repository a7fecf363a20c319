// Mission manager: catalogues, ongoing missions and their scene hooks.
#include "Missions/MissionManager.h"

#include "Managers/RadarManager.h"
#include "Managers/SaveGameManager.h"
#include "Missions/BaseMissionProto.h"
#include "core/GameManager.h"
#include "entities/Nation.h"
#include "gui/FrameToolBar.h"
#include "gui/GUIManager.h"

#include "engine/base/VArchive.h"

#include "engine/Vision.h"
#include "engine/base/VisError.h"

#include <CEGUI/Window.h>
#include "engine/core/VisCallbacks.h"

#include <algorithm>
#include <set>

namespace {
MissionManager g_MissionManager;

// "ARCH" and version, id, nation, three empty strings, two flags, a null
// reference, "EOA": no row takes fewer bytes.
const int64_t kSmallestRowBytes = 8 + 1 + 4 + 4 + 3 * 4 + 2 + 4 + 7;

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
  UnloadMissionScripts();
  ForgetMissionsScript();
}

void MissionManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data) return;
  if (data->m_pSender == &Vision::Callbacks.OnWorldDeInit) {
    // A scene change of the running campaign unloads the world too; the missions
    // belong to the campaign and go on in the next scene. Only a world left by the
    // campaign (no location) takes their objects with it.
    if (!GameManager::HasInstance() || GameManager::GetInstance()->GetLocation() < 0) UnloadMissionScripts();
    return;
  }
  if (data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) Update();
}

void MissionManager::Update() {
  if (!m_ongoing.empty()) UpdateMissions();
  if (m_iRequestedDlcLevel > 0) {
    const int level = m_iRequestedDlcLevel;
    m_iRequestedDlcLevel = 0;
    StartNextDlcMission(level);
  }
}

// ---------------------------------------------------------------------------
// Lookups

namespace {

const MissionData* FindRow(const std::vector<MissionData>& list, int id) {
  for (const MissionData& row : list)
    if (row.id == id) return &row;
  return nullptr;
}

MissionData CopyOrEmpty(const MissionData* row) { return row ? *row : MissionData(); }

bool IsKind(const MissionData& row, const VType* type) { return row.mission && row.mission->IsOfType(type); }

}  // namespace

bool MissionManager::IsMissionOngoing(int id) const { return FindRow(m_ongoing, id) != nullptr; }

MissionData MissionManager::GetStoryMissionById(int id) const { return CopyOrEmpty(FindRow(m_story, id)); }
MissionData MissionManager::GetFactionMissionById(int id) const { return CopyOrEmpty(FindRow(m_faction, id)); }
MissionData MissionManager::GetSideQuestById(int id) const { return CopyOrEmpty(FindRow(m_sideQuests, id)); }
MissionData MissionManager::GetOngoingMissionById(int id) const { return CopyOrEmpty(FindRow(m_ongoing, id)); }
bool MissionManager::StoryMissionByIdExists(int id) const { return FindRow(m_story, id) != nullptr; }
bool MissionManager::FactionMissionByIdExists(int id) const { return FindRow(m_faction, id) != nullptr; }
bool MissionManager::SideQuestByIdExists(int id) const { return FindRow(m_sideQuests, id) != nullptr; }

std::vector<MissionData> MissionManager::GetOpenStoryMissions() const {
  std::vector<MissionData> out;
  for (const MissionData& row : m_story)
    if (row.open && !row.completed && !IsMissionOngoing(row.id)) out.push_back(row);
  return out;
}

std::vector<MissionData> MissionManager::GetOpenFactionMissions() const {
  std::vector<MissionData> out;
  for (const MissionData& row : m_faction)
    if (row.open && !row.completed && !IsMissionOngoing(row.id)) out.push_back(row);
  return out;
}

std::vector<MissionData> MissionManager::GetOpenFactionMissions(int nation) const {
  std::vector<MissionData> out;
  for (const MissionData& row : GetOpenFactionMissions())
    if (row.nation == nation) out.push_back(row);
  return out;
}

std::vector<MissionData> MissionManager::GetOpenSideQuests() const {
  std::vector<MissionData> out;
  for (const MissionData& row : m_sideQuests)
    if (row.open && !row.completed && !IsMissionOngoing(row.id)) out.push_back(row);
  return out;
}

std::vector<MissionData> MissionManager::GetOpenAndOngoingFactionMissions(int nation) const {
  std::vector<MissionData> out;
  for (const MissionData& row : m_faction)
    if (row.nation == nation && !row.completed && (row.open || IsMissionOngoing(row.id))) out.push_back(row);
  return out;
}

MissionData MissionManager::GetOngoingStoryMission() const {
  for (const MissionData& row : m_ongoing)
    if (IsKind(row, StoryLineMissionProto::GetClassTypeId())) return row;
  return MissionData();
}

std::vector<MissionData> MissionManager::GetOngoingFactionMissions() const {
  std::vector<MissionData> out;
  for (const MissionData& row : m_ongoing)
    if (IsKind(row, FactionMissionProto::GetClassTypeId())) out.push_back(row);
  return out;
}

std::vector<MissionData> MissionManager::GetOngoingSideQuests() const {
  std::vector<MissionData> out;
  for (const MissionData& row : m_ongoing)
    if (IsKind(row, SideQuestProto::GetClassTypeId())) out.push_back(row);
  return out;
}

// ---------------------------------------------------------------------------
// Opening and starting

void MissionManager::OpenStoryMissionById(int id) {
  if (IsMissionOngoing(id)) return;
  for (MissionData& row : m_story) {
    if (row.id != id) continue;
    row.open = true;
    return;
  }
}

void MissionManager::OpenFactionMissionById(int id) {
  if (IsMissionOngoing(id)) return;
  for (MissionData& row : m_faction)
    if (row.id == id) row.open = true;
}

void MissionManager::OpenSideQuestById(int id) {
  if (IsMissionOngoing(id)) return;
  for (MissionData& row : m_sideQuests)
    if (row.id == id) row.open = true;
}

void MissionManager::OpenNewMission(int id) {
  if (StoryMissionByIdExists(id))
    OpenStoryMissionById(id);
  else if (FactionMissionByIdExists(id))
    OpenFactionMissionById(id);
  else if (SideQuestByIdExists(id))
    OpenSideQuestById(id);
}

void MissionManager::OpenNewMissions(const std::vector<int>& ids) {
  for (int id : ids) OpenNewMission(id);
}

void MissionManager::OpenNextMission(int id) {
  if (IsMissionOngoing(id)) return;
  if (const MissionData* row = FindRow(m_story, id))
    AddOngoingStoryMission(*row);
  else if (const MissionData* row = FindRow(m_faction, id))
    AddOngoingFactionMission(*row);
  else if (const MissionData* row = FindRow(m_sideQuests, id))
    AddOngoingSideQuest(*row);
}

namespace {

// The tool bar's new-mission mark (its log button); only while the tool bar is
// there, and with shown also only while it shows.
void MarkNewMission(bool shown) {
  GUIManager* gui = GUIManager::GetInstance();
  FrameToolBar* toolbar = gui->GetToolbar();
  if (!gui->IsInitialized() || !toolbar) return;
  if (shown && !(toolbar->GetRootWindow() && toolbar->GetRootWindow()->isVisible())) return;
  toolbar->NewMission();
}

}  // namespace

void MissionManager::AddOngoingMissionById(int id) {
  if (IsMissionOngoing(id)) return;
  if (FindRow(m_story, id) || FindRow(m_faction, id) || FindRow(m_sideQuests, id)) {
    OpenNextMission(id);
    return;
  }
  MarkNewMission(false);
}

void MissionManager::AddOngoingStoryMission(const MissionData& row) {
  if (IsMissionOngoing(row.id)) return;
  AddOngoingWithObject(row, new StoryLineMissionProto());
}

void MissionManager::AddOngoingFactionMission(const MissionData& row) {
  if (IsMissionOngoing(row.id)) return;
  AddOngoingWithObject(row, new FactionMissionProto());
}

void MissionManager::AddOngoingSideQuest(const MissionData& row) {
  if (IsMissionOngoing(row.id)) return;
  AddOngoingWithObject(row, new SideQuestProto());
}

void MissionManager::AddOngoingWithObject(const MissionData& row, BaseMissionProto* mission) {
  MissionData ongoing = row;
  ongoing.mission = mission;
  mission->LoadScriptInstance(row.script);
  AddOngoingMission(ongoing);
}

void MissionManager::AddOngoingMission(const MissionData& row) {
  // The new row is not among the ongoing ones yet: every mark is cleared and the
  // next frame's pass tracks the first ongoing mission.
  TrackMission(row.id);
  UpdateMissionTracking();
  m_ongoing.push_back(row);
  MarkNewMission(true);
}

// ---------------------------------------------------------------------------
// Tracking, completion and the per-frame pass

void MissionManager::TrackMission(int id) {
  if (RadarManager::HasInstance()) RadarManager::GetInstance()->ResetTracking();
  for (MissionData& row : m_ongoing)
    if (row.mission) row.mission->SetTracking(row.id == id);
}

int MissionManager::IsMissionTracked(int id) const {
  const MissionData* row = FindRow(m_ongoing, id);
  return row && row->mission ? row->mission->m_bTrackThis : 0;
}

bool MissionManager::IsMissionCompleted(int id) const {
  for (const std::vector<MissionData>* list : {&m_story, &m_faction, &m_sideQuests})
    if (const MissionData* row = FindRow(*list, id)) return row->completed;
  return true;
}

bool MissionManager::HasMissionStartedConversation(int id) const {
  for (const MissionData& row : m_ongoing)
    if (row.mission && (id == -1 || row.id != id) && row.mission->IsInConversation()) return true;
  return false;
}

void MissionManager::AddSummaryOfMissionReputation(int amount) {
  m_iReputationSummary += amount;
  if (m_iReputationSummary > m_iReputationMaximum) m_iReputationSummary = m_iReputationMaximum;
}

void MissionManager::UpdateMissions() {
  bool anyTracked = false;
  int n = (int)m_ongoing.size();
  for (int i = 0; i < n; ++i) {
    // Rows without an object (after an unload) are left for the load or the
    // campaign's end that follows.
    BaseMissionProto* mission = m_ongoing[i].mission;
    if (!mission) continue;
    if (mission->IsTracked()) anyTracked = true;
    const MissionData row = m_ongoing[i];
    if (mission->IsCompleted()) {
      MissionCompleted(row);
    } else if (mission->IsFailed()) {
      MissionFailed(row);
    } else {
      continue;
    }
    // The row that moves into this place is examined in the next frame; the
    // scripts run by the closing may have changed the list as well.
    n = std::min(n - 1, (int)m_ongoing.size());
  }
  if (anyTracked) return;
  for (MissionData& row : m_ongoing) {
    if (!row.mission) continue;
    row.mission->SetTracking(true);
    break;
  }
}

void MissionManager::MissionCompleted(const MissionData& row) {
  BaseMissionProto* mission = row.mission;
  if (!mission) return;
  if (mission->IsTracked() && RadarManager::HasInstance()) RadarManager::GetInstance()->ResetTracking();
  if (mission->IsOfType(StoryLineMissionProto::GetClassTypeId())) {
    CloseCatalogueRow(m_story, row.id);
  } else if (mission->IsOfType(FactionMissionProto::GetClassTypeId())) {
    CloseCatalogueRow(m_faction, row.id);
    if (Nation* nation = GameManager::GetInstance()->GetNation((unsigned)row.nation)) {
      nation->AddReputation(row.reputationReward);
      if (!nation->GetMansionAccessible()) nation->SetMansionAccessible(true);
    }
  } else if (mission->IsOfType(SideQuestProto::GetClassTypeId())) {
    CloseCatalogueRow(m_sideQuests, row.id);
  }
  RemoveOngoing(row.id);
  if (m_pMissionsScript && m_pMissionsScript->IsValid() && m_pMissionsScript->HasFunction("UpdateMissions"))
    m_pMissionsScript->ExecuteFunctionArg("UpdateMissions", "*");
}

void MissionManager::MissionFailed(const MissionData& row) {
  BaseMissionProto* mission = row.mission;
  if (!mission) return;
  if (mission->IsTracked() && RadarManager::HasInstance()) RadarManager::GetInstance()->ResetTracking();
  mission->SetFailed(false);
  if (!IsMissionOngoing(row.id)) return;
  if (Nation* nation = GameManager::GetInstance()->GetNation((unsigned)row.nation))
    if (!nation->GetMansionAccessible()) nation->SetMansionAccessible(true);
  // The catalogue row keeps its flags: the mission stays open and can be taken again.
  RemoveOngoing(row.id);
}

void MissionManager::CloseCatalogueRow(std::vector<MissionData>& list, int id) {
  for (MissionData& row : list) {
    if (row.id != id) continue;
    row.completed = true;
    row.open = false;
    return;
  }
}

void MissionManager::RemoveOngoing(int id) {
  for (auto it = m_ongoing.begin(); it != m_ongoing.end(); ++it) {
    if (it->id != id) continue;
    BaseMissionProto* mission = it->mission;
    m_ongoing.erase(it);
    delete mission;
    return;
  }
}

bool MissionManager::IsOngoingObject(const BaseMissionProto* mission) const {
  for (const MissionData& row : m_ongoing)
    if (row.mission == mission) return true;
  return false;
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
  for (MissionData& row : m_ongoing) {
    BaseMissionProto* mission = row.mission;
    row.mission = nullptr;
    delete mission;
  }
}

void MissionManager::ClearLists(bool withDlc) {
  UnloadMissionScripts();
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

void MissionManager::CallOngoing(const char* function, bool trackedOnly) {
  // A script may end or start missions from its hook: walk a copy of the objects
  // and call only those still ongoing.
  std::vector<BaseMissionProto*> missions;
  for (const MissionData& row : m_ongoing)
    if (row.mission && (!trackedOnly || row.mission->IsTracked())) missions.push_back(row.mission);
  for (BaseMissionProto* mission : missions)
    if (IsOngoingObject(mission)) mission->CallScriptFunction(function);
}

void MissionManager::EnterScene() { CallOngoing("OnEnterScene", false); }
void MissionManager::ExitScene() { CallOngoing("OnExitScene", false); }
void MissionManager::UpdateMissionTracking() { CallOngoing("UpdateTracking", false); }

const MissionData* MissionManager::GetTrackedMissionData() const {
  for (const MissionData& row : m_ongoing)
    if (row.mission && row.mission->IsTracked()) return &row;
  return nullptr;
}

void MissionManager::ResetTrackingOnLoadGame() {
  if (RadarManager::HasInstance()) RadarManager::GetInstance()->ResetTracking();
  CallOngoing("UpdateTracking", true);
}

void MissionManager::ReloadMissionScripts() {
  for (MissionData& row : m_ongoing)
    if (row.mission && !row.mission->GetScriptInstance()) row.mission->LoadScriptInstance(row.script);
}

// ---------------------------------------------------------------------------
// Saved game

bool MissionData::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, 1);
    ar << id << nation << name << description << script << completed << open;
    ar.WriteObject(mission);
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "MissionData", 1);
  if (!block.IsOpen()) return false;
  MissionData row = *this;
  row.mission = nullptr;
  if (block.Has(1)) {
    char text[1024];
    ar >> row.id >> row.nation;
    ar.ReadStringBinary(text, sizeof(text));
    row.name = text;
    ar.ReadStringBinary(text, sizeof(text));
    row.description = text;
    ar.ReadStringBinary(text, sizeof(text));
    row.script = text;
    ar >> row.completed >> row.open;
    if (ar.IsOK()) {
      // A row owns its object: a reference to an object read before (another
      // row's) is damage, not a second owner.
      const size_t known = ar.GetLoadedObjects().size();
      VTypedObject* object = ar.ReadObject(BaseMissionProto::GetClassTypeId());
      const bool isNew = ar.GetLoadedObjects().size() > known && ar.GetLoadedObjects()[known] == object;
      if (object && !isNew) return block.Fail("refers to a mission object that another row holds");
      row.mission = static_cast<BaseMissionProto*>(object);
    }
  }
  if (!block.End()) {
    delete row.mission;
    return false;
  }
  *this = row;
  return true;
}

namespace {

// Every distinct mission object the rows point to.
std::set<BaseMissionProto*> ObjectsOf(const std::vector<MissionData>* lists, int count) {
  std::set<BaseMissionProto*> objects;
  for (int l = 0; l < count; ++l)
    for (const MissionData& row : lists[l])
      if (row.mission) objects.insert(row.mission);
  return objects;
}

// Only an ongoing row holds an object, and no two rows hold the same one: the
// writer never makes anything else, and each object has exactly one owner.
bool OwnersAreSound(const std::vector<MissionData>* lists) {
  for (int l = 0; l < 3; ++l)
    for (const MissionData& row : lists[l])
      if (row.mission) return false;
  std::set<BaseMissionProto*> seen;
  for (const MissionData& row : lists[3])
    if (row.mission && !seen.insert(row.mission).second) return false;
  return true;
}

}  // namespace

bool MissionManager::SerializeX(VArchive& ar) {
  std::vector<MissionData>* lists[] = {&m_story, &m_faction, &m_sideQuests, &m_ongoing};
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, 2);
    for (std::vector<MissionData>* list : lists) {
      ar << (int)list->size();
      for (MissionData& row : *list) row.SerializeX(ar);
    }
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "MissionManager", 2);
  if (!block.IsOpen()) return false;
  // Read into copies (rows keep the fields that are not stored, the rewards among
  // them); the running missions stay until the whole block has been read.
  std::vector<MissionData> read[4];
  bool failed = false;
  if (block.Has(2)) {
    for (int l = 0; l < 4 && !failed; ++l) {
      int count = 0;
      ar >> count;
      if (!ar.IsOK() || count < 0 || (int64_t)count * kSmallestRowBytes > ar.GetRemaining()) {
        failed = true;
        block.Fail("has a list longer than the bytes left");
        break;
      }
      read[l] = *lists[l];
      for (MissionData& row : read[l]) row.mission = nullptr;
      read[l].resize((size_t)count);
      for (MissionData& row : read[l]) {
        if (!row.SerializeX(ar)) {
          failed = true;
          break;
        }
      }
    }
  }
  if (!failed && !OwnersAreSound(read)) {
    failed = true;
    block.Fail("gives a mission object to a catalogue row or to two rows");
  }
  if (failed || !block.End()) {
    for (BaseMissionProto* mission : ObjectsOf(read, 4)) delete mission;
    return false;
  }
  UnloadMissionScripts();
  if (block.Has(2))
    for (int l = 0; l < 4; ++l) *lists[l] = std::move(read[l]);
  ReloadMissionScripts();
  return true;
}
