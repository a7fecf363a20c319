-- Story: the next port of call, the colonial fort on Amber island.
TARGET_TOWN = "colony_fort_amber"
TARGET_POSITION = Vector(-400, 320, 0)

function UpdateTracking(self)
  self:TrackPosition(TARGET_POSITION)
end

function OnEnterScene(self)
  if GameManager.GetTownName() == TARGET_TOWN then
    print("Mission: ashore at Fort Amber")
    self:EndTrackPosition(TARGET_POSITION)
    self:SetCompleted(true)
  end
end
