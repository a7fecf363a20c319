-- The missions script: the campaign's four mission catalogues and what follows a
-- completed mission. The mission manager keeps this one instance for the whole
-- campaign and reads each catalogue from it through a count and a row function.
--
-- A row is {id, nation index, open (1 offered from the start, 0 not), title key,
-- description key, mission script, reputation reward}. Ids are unique across all
-- catalogues and above 0.

STORY_MISSIONS = {
  {1, 3, 1, "str_STORY_MISSION_SALTMARSH", "str_STORY_MISSION_SALTMARSH_DESCRIPTION",
   "scripts\\Missions\\StoryReachSaltmarsh.lua", 0.0},
  {2, 4, 0, "str_STORY_MISSION_FORT_AMBER", "str_STORY_MISSION_FORT_AMBER_DESCRIPTION",
   "scripts\\Missions\\StoryReachFortAmber.lua", 0.0},
}
FACTION_MISSIONS = {
  {10, 3, 0, "str_FACTION_MISSION_TRIBUTE", "str_FACTION_MISSION_TRIBUTE_DESCRIPTION",
   "scripts\\Missions\\FactionTribute.lua", 0.2},
}
SIDE_QUESTS = {
  {20, 0, 1, "str_SIDE_QUEST_BOTTLE", "str_SIDE_QUEST_BOTTLE_DESCRIPTION",
   "scripts\\Missions\\SideQuestBottle.lua", 0.0},
}
-- Row N is the mission of downloadable level N.
DLC_MISSIONS = {
  {100, 0, 1, "str_DLC_MISSION_01", "str_DLC_MISSION_01_DESCRIPTION",
   "scripts\\Missions\\StoryReachSaltmarsh.lua", 0.0},
}

-- Set while a campaign or level runs (between Init and DeInit).
Running = false

function Init()
  Running = true
end

function DeInit()
  Running = false
end

-- After a mission is completed: the story goes on with the next story mission,
-- and reaching Saltmarsh opens the corsairs' tribute at their mansion.
function UpdateMissions(self)
  if MissionManager.IsCompleted(1) and not MissionManager.IsCompleted(2) and not MissionManager.IsAccepted(2) then
    print("Missions: the story goes on to Fort Amber")
    MissionManager.AddMission(2)
    MissionManager.OpenFactionMissionById(10)
  end
end

-- The row of a catalogue as the manager reads it; the empty row (id -1) for an
-- index outside the catalogue, which the manager does not store.
local function Row(catalogue, i)
  local r = catalogue[i]
  if r == nil then
    return -1, 0, 0, "", "", "", 0.0
  end
  return r[1], r[2], r[3], r[4], r[5], r[6], r[7]
end

function GetStoryMissionCount(self) return #STORY_MISSIONS end
function GetFactionMissionCount(self) return #FACTION_MISSIONS end
function GetSideQuestCount(self) return #SIDE_QUESTS end
function GetDlcMissionCount(self) return #DLC_MISSIONS end

function GetStoryMission(i) return Row(STORY_MISSIONS, i) end
function GetFactionMission(i) return Row(FACTION_MISSIONS, i) end
function GetSideQuest(i) return Row(SIDE_QUESTS, i) end
function GetDlcMission(i) return Row(DLC_MISSIONS, i) end
