-- The sea battle of the world map's marked spot: a colonial sloop (the colonials
-- are at war with the player) 250 ahead of the start point, sailing towards it.
-- The game script watches it through the shared global SeaBattleEnemy and sends
-- the player back to the world map once it is sunk or left far behind.

local NATION_COLONIALS = 5

local enemy = GameManager.CreateShip("EnemyShip", "scripts\\Ships\\TestSloop.lua", Vector(100, 20, 0), 180,
                                     NATION_COLONIALS)
-- The globals the game script reads are the shared ones, not this instance's own.
_G.SeaBattleEnemy = enemy
