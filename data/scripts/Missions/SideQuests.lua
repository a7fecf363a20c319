-- Run once when a campaign starts, before the side-quest catalogue is read from
-- the missions script. The side quests have nothing to prepare yet.

function Init()
end
