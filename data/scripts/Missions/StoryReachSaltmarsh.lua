-- Story: sail to Saltmarsh and go ashore. The mission is done as soon as the
-- town's scene has been entered; while tracked, the radar shows the town. The
-- harbour master pays for the voyage and lends the captain his compass for good:
-- blueprints within its range show on the radar.
TARGET_TOWN = "town_saltmarsh"
TARGET_POSITION = Vector(320, 0, 0)
local REWARD_MONEY = 250
local COMPASS_RANGE = 400.0

function UpdateTracking(self)
  self:TrackPosition(TARGET_POSITION)
end

function OnEnterScene(self)
  if GameManager.GetTownName() == TARGET_TOWN then
    print("Mission: ashore in Saltmarsh")
    self:EndTrackPosition(TARGET_POSITION)
    self:SetCompleted(true)
    GameManager.AddMoney(REWARD_MONEY)
    ArtifactManager.ActivateArtifact(GameManager.GetCollectableIds().COMPASS, 0.0, COMPASS_RANGE)
  end
end
