-- Run once when a downloadable level starts, before the level's catalogue is
-- read. The catalogue of the downloadable levels lives in the missions script
-- (DLC_MISSIONS); the level has nothing to prepare.

function Init()
end

function DeInit()
end
