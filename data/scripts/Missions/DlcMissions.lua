-- Run once when a downloadable level starts, before the level's catalogue is
-- read. The catalogue of the downloadable levels lives in the missions script
-- (DLC_MISSIONS), and our levels have no missions yet: a level is played for
-- itself.

function Init()
end

function DeInit()
end
