-- The content script: the world map's NPC ships. GameContentManager asks for a ship
-- with "SpawnNPCShip" at its intervals once ship updates are switched on.

-- Ships sail in from a random place of the world map, under a random pirate flag.
local SPAWN_NATIONS = {NATION_PIRATE or 2, NATION_CORSAIR or 3, NATION_BUCCANEER or 4}
local spawned = 0

function SpawnNPCShip()
  local position = GameContentManager.GetAccessibleRandomPosition(false)
  local nation = SPAWN_NATIONS[math.random(#SPAWN_NATIONS)]
  spawned = spawned + 1
  local ship = GameManager.CreateRandomShip("ContentShip" .. spawned, position, math.random(0, 359), nation)
  if ship ~= nil then
    GameContentManager.AddNPCShip(ship)
  end
end
