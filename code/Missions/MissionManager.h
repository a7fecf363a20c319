// The campaign's missions: one static object, ticked on the per-frame scene
// update and told when the world unloads. It also owns the sequences that start
// and end a campaign and start a downloadable level.
#pragma once

class VArchive;

#include "engine/base/VCallback.h"
#include "engine/base/VString.h"

#include <vector>

class BaseMissionProto;
class IVScriptInstance;

// One mission row of a catalogue; the ongoing list's rows own their mission object.
struct MissionData {
  int id = -1;
  int nation = 0;
  VString name;
  VString description;
  VString script;
  bool completed = false;
  bool open = false;
  float reputationReward = 0.0f;
  BaseMissionProto* mission = nullptr;
};

class MissionManager : public IVisCallbackHandler_cl {
 public:
  static MissionManager& GlobalManager();

  // Registration on the scene update and world unload (plug-in start and stop).
  // Deregistering also lets the missions script go, before the script manager does.
  void RegisterCallbacks();
  void DeregisterCallbacks();
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  // The catalogues and the missions being played.
  const std::vector<MissionData>& GetStoryMissions() const { return m_story; }
  const std::vector<MissionData>& GetFactionMissions() const { return m_faction; }
  const std::vector<MissionData>& GetSideQuests() const { return m_sideQuests; }
  const std::vector<MissionData>& GetDlcMissions() const { return m_dlc; }
  const std::vector<MissionData>& GetOngoingMissions() const { return m_ongoing; }
  bool IsMissionOngoing(int id) const;
  void AddOngoingStoryMission(const MissionData& row);
  int GetSummaryOfMissionReputation() const { return m_iReputationSummary; }
  int GetCurrentDlcMission() const { return m_iCurrentDlcLevel; }
  void RequestNextDlcMission(int level) { m_iRequestedDlcLevel = level; }
  IVScriptInstance* GetMissionsScript() const { return m_pMissionsScript; }

  // The missions script and its "Init"; the story, faction and side-quest
  // catalogue scripts run once.
  void InitializeMissions();
  // Catalogue loading from the missions script.
  void LoadStoryMissions();
  void LoadFactionMissions();
  void LoadSideQuests();
  void LoadDlcMissions();
  // Deletes every ongoing mission's object; the rows stay.
  void UnloadMissionScripts();
  // Empties the ongoing, faction, side-quest and story lists (and the DLC list with withDlc).
  void ClearLists(bool withDlc);

  // Scene hooks of the ongoing missions ("OnEnterScene", "OnExitScene").
  void EnterScene();
  void ExitScene();
  // The cap of the reputation summary (300 once a campaign or level runs).
  int GetReputationMaximum() const { return m_iReputationMaximum; }

  // Campaign start and end, and the downloadable levels.
  void StartCampaign();
  void AddStartingItems();
  void EndCampaign(bool showMainMenu, bool rollCredits);
  void StartDlc(int level);
  void StartNextDlcMission(int level);

  // Tracking: the row of the first ongoing mission whose object is tracked, else
  // null; after a load the radar's tracking starts again from the tracked missions.
  const MissionData* GetTrackedMissionData() const;
  void ResetTrackingOnLoadGame();
  // Loaded mission objects get their script instances back.
  void ReloadMissionScripts();

  // The block of the saved game; both directions, the archive's mode decides. A
  // failed block keeps what the manager held.
  bool SerializeX(VArchive& ar);

 private:
  // Loads the missions script unless it is loaded (and still alive) and runs its "Init".
  void LoadMissionsScript();
  // Lets the missions script go.
  void ForgetMissionsScript();
  // A catalogue from the missions script's count and row functions; rows with id
  // 0 or less are left out. Nothing without both functions.
  void LoadCatalogue(const char* countFunction, const char* rowFunction, std::vector<MissionData>& list);
  // Runs a catalogue script's "Init" once and lets it go.
  static void RunCatalogueScript(const char* file);
  void AddOngoingMission(const MissionData& row);
  // The campaign's summary of mission reputation starts again.
  void ResetReputationSummary();

  IVScriptInstance* m_pMissionsScript = nullptr;
  std::vector<MissionData> m_story;
  std::vector<MissionData> m_faction;
  std::vector<MissionData> m_sideQuests;
  std::vector<MissionData> m_dlc;
  std::vector<MissionData> m_ongoing;
  int m_iReputationSummary = 0;
  int m_iReputationMaximum = 0;
  int m_iCurrentDlcLevel = 0;
  int m_iRequestedDlcLevel = 0;
};
