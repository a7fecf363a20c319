// Fixture of the mission tests: a started GUI, a scratch folder for the tests'
// mission scripts in front of the game's data, the game's script classes, and
// catalogues filled straight into the mission manager from a missions script.
#pragma once

#include "code/gui/GuiFrameTesting.h"

#include "Managers/RadarManager.h"
#include "Missions/BaseMissionProto.h"
#include "Missions/MissionManager.h"
#include "core/GameManager.h"
#include "core/ScriptBindings.h"
#include "entities/Nation.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

// A mission script that says which of its hooks run ("<name> <hook>") and can be
// told from the tests' scripts to finish.
inline const char* const kProbeMission = R"lua(
NAME = "?"
function UpdateTracking(self) print(NAME .. " UpdateTracking") end
function OnEnterScene(self) print(NAME .. " OnEnterScene") end
function OnExitScene(self) print(NAME .. " OnExitScene") end
)lua";

// Story 1..3 (3 closed), faction 10 of nation 1 (reward 0.4) and 11 of nation 2
// (reward -0.5), side quest 20, and a row with id 0 that is not stored.
inline const char* const kTestMissions = R"lua(
local function R(id, nation, open, reward)
  return {id, nation, open, "str_M" .. id, "str_M" .. id .. "_DESC", "scripts/Missions/m" .. id .. ".lua", reward}
end
local story = {R(1, 1, 1, 0), R(0, 1, 1, 0), R(2, 1, 1, 0), R(3, 1, 0, 0)}
local faction = {R(10, 1, 1, 0.4), R(11, 2, 1, -0.5)}
local side = {R(20, 0, 1, 0)}
local function Row(t, i) local r = t[i]; return r[1], r[2], r[3], r[4], r[5], r[6], r[7] end
function GetStoryMissionCount() return #story end
function GetStoryMission(i) return Row(story, i) end
function GetFactionMissionCount() return #faction end
function GetFactionMission(i) return Row(faction, i) end
function GetSideQuestCount() return #side end
function GetSideQuest(i) return Row(side, i) end
function UpdateMissions(self) print("UpdateMissions") end
)lua";

class MissionTest : public GuiFrameTest {
 protected:
  void SetUp() override {
    GuiFrameTest::SetUp();
    m_dir = std::filesystem::temp_directory_path() /
            (std::string("mission_") + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(m_dir / "scripts" / "Missions");
    Vision::File.RemoveAllDataDirectories();
    Vision::File.AddDataDirectory(m_dir.c_str());
    Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data");
    RegisterLuaBindings();
    Missions().DeregisterCallbacks();
    Missions().ClearLists(true);
    for (int id : {1, 2, 3, 10, 11, 20}) WriteProbe(id);
    Write("scripts/Missions/MissionsScript.lua", kTestMissions);
    GameManager* game = GameManager::GetInstance();
    game->ResetNations();
    game->AddNation(new Nation(0, "Neutral"));
    game->AddNation(new Nation(1, "Corsairs"));
    game->AddNation(new Nation(2, "Buccaneers"));
  }
  void TearDown() override {
    Missions().DeregisterCallbacks();
    Missions().ClearLists(true);
    GameManager::GetInstance()->ResetNations();
    GuiFrameTest::TearDown();
    std::filesystem::remove_all(m_dir);
  }

  static MissionManager& Missions() { return MissionManager::GlobalManager(); }

  void Write(const std::string& name, const std::string& text) {
    std::ofstream(m_dir / name) << text;
    Vision::File.ClearCache();
  }

  // The probe mission script of mission id, "scripts/Missions/m<id>.lua".
  void WriteProbe(int id) {
    char name[16];
    std::snprintf(name, sizeof(name), "m%d", id);
    std::string text = kProbeMission;
    text.append("NAME = \"").append(name).append("\"\n");
    Write(std::string("scripts/Missions/") + name + ".lua", text);
  }

  // The catalogues of kTestMissions, as a campaign start reads them.
  static void LoadCatalogues() {
    Missions().InitializeMissions();
    Missions().LoadStoryMissions();
    Missions().LoadFactionMissions();
    Missions().LoadSideQuests();
  }

  static std::vector<int> OngoingIds() {
    std::vector<int> ids;
    for (const MissionData& row : Missions().GetOngoingMissions()) ids.push_back(row.id);
    return ids;
  }
  static BaseMissionProto* Ongoing(int id) {
    for (const MissionData& row : Missions().GetOngoingMissions())
      if (row.id == id) return row.mission;
    return nullptr;
  }
  static std::vector<int> TrackedIds() {
    std::vector<int> ids;
    for (const MissionData& row : Missions().GetOngoingMissions())
      if (row.mission && row.mission->IsTracked()) ids.push_back(row.id);
    return ids;
  }

  std::filesystem::path m_dir;
};
