-- The sea battle of the world map's marked spot: a colonial sloop (the colonials
-- are at war with the player) 110 ahead of the start point, facing it.
-- The game script watches it through the shared global SeaBattleEnemy and sends
-- the player back to the world map once it is sunk or left far behind.

local NATION_COLONIALS = 5
-- The sloop limps out of an earlier fight: a single hit sends it down.
local ENEMY_HULL_HITPOINTS = 10

local enemy = GameManager.CreateShip("EnemyShip", "scripts\\Ships\\TestSloop.lua", Vector(-40, 20, 0), 180,
                                     NATION_COLONIALS)
if enemy ~= nil then
  enemy:SetHullHitpoints(ENEMY_HULL_HITPOINTS)
  -- Pirates fired onto it take it after 5 s of fighting on board.
  enemy:SetBoardingTime(5.0)
  -- The sloop belongs to this battle: its record is dropped when the scene is
  -- left, so that it neither comes back on the world map nor piles up there with
  -- every battle. Out of sight it still stays.
  GameContentManager.AddNPCShip(enemy)
  enemy:SetCanRemove(0)
end
-- The globals the game script reads are the shared ones, not this instance's own.
_G.SeaBattleEnemy = enemy
