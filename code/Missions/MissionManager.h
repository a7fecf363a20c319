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

// One mission row of a catalogue. Rows copy by value; the mission object belongs to
// the row of the ongoing list (copies elsewhere only point to it).
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

  // The row's block of the saved game: "ARCH", version 1, the stored fields and the
  // mission object as an object reference, "EOA". Reading fills the row only when
  // the block is whole; the reward is not stored and keeps its value.
  bool SerializeX(VArchive& ar);
};

class MissionManager : public IVisCallbackHandler_cl {
 public:
  static MissionManager& GlobalManager();

  // Registration on the scene update and world unload (plug-in start and stop).
  // Deregistering also lets the missions script and the mission objects' scripts
  // go, before the script manager does.
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

  // Lookups by id: a copy of the row, or the empty row (id -1).
  MissionData GetStoryMissionById(int id) const;
  MissionData GetFactionMissionById(int id) const;
  MissionData GetSideQuestById(int id) const;
  MissionData GetOngoingMissionById(int id) const;
  bool StoryMissionByIdExists(int id) const;
  bool FactionMissionByIdExists(int id) const;
  bool SideQuestByIdExists(int id) const;

  // Rows that are open, not completed and not ongoing.
  std::vector<MissionData> GetOpenStoryMissions() const;
  std::vector<MissionData> GetOpenFactionMissions() const;
  std::vector<MissionData> GetOpenFactionMissions(int nation) const;
  std::vector<MissionData> GetOpenSideQuests() const;
  // The nation's faction rows that are not completed and are open or ongoing.
  std::vector<MissionData> GetOpenAndOngoingFactionMissions(int nation) const;
  // Ongoing rows by the kind of their mission object.
  MissionData GetOngoingStoryMission() const;
  std::vector<MissionData> GetOngoingFactionMissions() const;
  std::vector<MissionData> GetOngoingSideQuests() const;

  // Opening offers a mission (ids that are ongoing are skipped).
  void OpenStoryMissionById(int id);
  void OpenFactionMissionById(int id);
  void OpenSideQuestById(int id);
  void OpenNewMission(int id);
  void OpenNewMissions(const std::vector<int>& ids);

  // Starting makes a mission ongoing with a new mission object running its script.
  void OpenNextMission(int id);
  void AddOngoingMissionById(int id);
  void AddOngoingStoryMission(const MissionData& row);
  void AddOngoingFactionMission(const MissionData& row);
  void AddOngoingSideQuest(const MissionData& row);

  // Tracking: one ongoing mission is shown on the radar and in the captain's log.
  void TrackMission(int id);
  int IsMissionTracked(int id) const;
  // "UpdateTracking" of every ongoing mission's script.
  void UpdateMissionTracking();

  // The completed flag of the catalogue row; an id no catalogue holds counts as completed.
  bool IsMissionCompleted(int id) const;
  // Some ongoing mission other than id (any with -1) holds a conversation.
  bool HasMissionStartedConversation(int id) const;

  // The per-frame pass: closes completed and failed missions, keeps one tracked.
  void UpdateMissions();
  // The frame's work of the scene update: the pass, then a requested level.
  void Update();

  int GetSummaryOfMissionReputation() const { return m_iReputationSummary; }
  // Adds to the summary, capped at the maximum (no lower bound).
  void AddSummaryOfMissionReputation(int amount);
  // The summary starts again at 0 with its cap at 300 (a campaign or level starts).
  void ResetReputationSummary();
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
  void AddOngoingWithObject(const MissionData& row, BaseMissionProto* mission);
  void MissionCompleted(const MissionData& row);
  void MissionFailed(const MissionData& row);
  // Deletes the ongoing row with that id and its mission object.
  void RemoveOngoing(int id);
  static void CloseCatalogueRow(std::vector<MissionData>& list, int id);
  bool IsOngoingObject(const BaseMissionProto* mission) const;
  void CallOngoing(const char* function, bool trackedOnly);

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
