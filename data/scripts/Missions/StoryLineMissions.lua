-- Run once when a campaign starts, before the story catalogue is read from the
-- missions script. The story missions have nothing to prepare yet.

function Init()
end
