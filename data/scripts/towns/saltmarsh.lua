-- Saltmarsh, a corsair harbour town on the world map. The game reads the town
-- from these values: its land scene, its kind (the scene type is its nation's
-- index; above 4 would be a colony), its name, whether it can be entered and was
-- found, and what its scene and its storage buildings hold.

sSceneFile = "scenes\\town_harbour\\town_harbour.vscene"
iSceneType = 3
sNameKey = "str_TOWN_SALTMARSH"
bIsAccessible = true
bFound = false
iMaxCollectables = 3
bFogOfWar = true
fMoneyBarrelBornInterval = 120.0
iMaxItemsInBuilding = 4
iCurrentItemsInBuilding = -1
-- Compared with the squared distance of the player's ship: within 30 units.
fEnteringDistance = 900.0
local ACHIEVEMENT_TOWNS_FOUND = 16

-- Soldiers of the town that stand in its scene now (lowered as they fall).
iCurrentSoldiers = 0
-- How often the player went ashore here.
iVisits = 0

-- The way back to the ship: marked on the screen border while it is out of sight.
local WAY_BACK_MARKER = "gui\\textures\\radar\\LandRadarMarker.png"

-- Each time the town's scene is entered.
function InitTown(self)
  iVisits = iVisits + 1
  iCurrentSoldiers = 0
  print("Saltmarsh: ashore, visit " .. iVisits)
  local wayBack = Game.GetEntity("EscapeArea")
  if wayBack ~= nil then
    GameManager.AddToRadar(wayBack, WAY_BACK_MARKER)
  end
end

-- The first time the player's ship comes near; it counts towards the towns
-- found (progress value 16, nine towns).
function OnFound(self)
  bFound = true
  AchievementManager.IncValue(ACHIEVEMENT_TOWNS_FOUND, 1, true)
  print("Saltmarsh: found")
  GameManager.ShowMessageArgLocalize("str_TOWN_DISCOVERED", sNameKey, 5.0, 2.0)
end
