-- The village elder's greeting: each speech lasts four seconds and counts itself.

spoken = 0
local elapsed = 0

function Init()
  spoken = spoken + 1
  elapsed = 0
end

-- Over (a number above 0) once four seconds have passed.
function Update(dt)
  elapsed = elapsed + dt
  if elapsed >= 4.0 then return 1 end
  return 0
end
