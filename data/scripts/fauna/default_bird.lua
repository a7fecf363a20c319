-- The bird that stands in when a bird's own script cannot be attached: a seagull
-- that glides without beating its wings.

function OnCreate(self)
  self:SetMeshFile("models\\fauna\\seagull.model")
end
