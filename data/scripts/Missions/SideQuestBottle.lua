-- Side quest: fish a message bottle out of the sea. Checked whenever a scene has
-- been entered and whenever the tracking changes.
local function Check(self)
  if GameManager.GetPlayerCollectableCountByName("MessageBottle") > 0 then
    print("Mission: a message bottle is aboard")
    self:SetCompleted(true)
  end
end

function OnEnterScene(self) Check(self) end
function UpdateTracking(self) Check(self) end
