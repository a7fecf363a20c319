-- The missions script: the campaign's four mission catalogues and what follows a
-- completed mission. The mission manager keeps this one instance for the whole
-- campaign and reads each catalogue from it through a count and a row function.
--
-- A row is {id, nation index, open (1 offered from the start, 0 not), title key,
-- description key, mission script, reputation reward}. Ids are unique across all
-- catalogues and above 0. Our small campaign has no missions yet: every
-- catalogue is empty.

STORY_MISSIONS = {}
FACTION_MISSIONS = {}
SIDE_QUESTS = {}
DLC_MISSIONS = {}   -- row N is the mission of downloadable level N

-- Set while a campaign or level runs (between Init and DeInit).
Running = false

function Init()
  Running = true
end

function DeInit()
  Running = false
end

-- After a mission is completed: the catalogues open or start what follows it.
-- Nothing follows anything in an empty campaign.
function UpdateMissions(self)
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
