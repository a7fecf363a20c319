-- Story: sail to Saltmarsh and go ashore. The mission is done as soon as the
-- town's scene has been entered; while tracked, the radar shows the town.
TARGET_TOWN = "town_saltmarsh"
TARGET_POSITION = Vector(320, 0, 0)

function UpdateTracking(self)
  self:TrackPosition(TARGET_POSITION)
end

function OnEnterScene(self)
  if GameManager.GetTownName() == TARGET_TOWN then
    print("Mission: ashore in Saltmarsh")
    self:EndTrackPosition(TARGET_POSITION)
    self:SetCompleted(true)
  end
end
