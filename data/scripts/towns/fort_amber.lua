-- Fort Amber, a colony of the colonial powers (scene type 5: a colony, not a
-- nation's own town). Its first visit shows the colony tutorial. The colonials
-- keep their storehouses well stocked and refill them quickly.

sSceneFile = "scenes\\town_harbour\\town_harbour.vscene"
iSceneType = 5
sNameKey = "str_TOWN_FORT_AMBER"
bIsAccessible = true
bFound = false
iMaxCollectables = 2
bFogOfWar = true
fMoneyBarrelBornInterval = 60.0
iMaxItemsInBuilding = 5
iCurrentItemsInBuilding = -1
-- Compared with the squared distance of the player's ship: within 30 units.
fEnteringDistance = 900.0
local ACHIEVEMENT_TOWNS_FOUND = 16

-- Soldiers of the garrison that stand in the scene now (lowered as they fall).
iCurrentSoldiers = 0
-- How often the player went ashore here.
iVisits = 0

-- Each time the town's scene is entered.
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
