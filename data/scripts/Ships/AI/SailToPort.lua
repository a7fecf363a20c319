-- A captured ship sailing for the nearest stronghold: its AI component steers it
-- there (mode 3, the town set by the capture); the script only keeps it from fighting
-- on the way.
function OnCreate(self)
end

function OnThink(self)
end
