-- Run once when a campaign starts, before the faction catalogue is read from the
-- missions script. The factions' missions have nothing to prepare yet.

function Init()
end
