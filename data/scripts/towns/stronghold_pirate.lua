-- The pirates' stronghold: the player's own settlement among the pirates (scene
-- type 2). It is also the script a newly placed town starts with. A stronghold
-- has no storage of its own to refill and no fog of war: its yard is the
-- player's.

sSceneFile = "scenes\\stronghold_pirate\\stronghold_pirate.vscene"
iSceneType = 2
sNameKey = "str_TOWN_STRONGHOLD_PIRATE"
bIsAccessible = true
bFound = false
iMaxCollectables = 1
bFogOfWar = false
-- Never refilled: the interval is beyond any visit.
fMoneyBarrelBornInterval = 100000000.0
iMaxItemsInBuilding = 0
iCurrentItemsInBuilding = -1
-- Compared with the squared distance of the player's ship: within 30 units.
fEnteringDistance = 900.0
local ACHIEVEMENT_TOWNS_FOUND = 16

-- Soldiers of the stronghold that stand in its scene now (lowered as they fall).
iCurrentSoldiers = 0
-- How often the player went ashore here.
iVisits = 0

-- Each time the stronghold's scene is entered.
function InitTown(self)
  iVisits = iVisits + 1
  iCurrentSoldiers = 0
end

-- The first time the player's ship comes near; it counts towards the towns
-- found (progress value 16, nine towns).
function OnFound(self)
  bFound = true
  AchievementManager.IncValue(ACHIEVEMENT_TOWNS_FOUND, 1, true)
  GameManager.ShowMessageArgLocalize("str_TOWN_DISCOVERED", sNameKey, 5.0, 2.0)
end
