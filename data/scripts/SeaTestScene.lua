-- The sea test scene: the player's sloop at the origin heading along +x, and a
-- sloop of the colonials, who are at war with the player, 40 to its left on a
-- parallel course. Both are made when the scene loads.

NATION_PLAYER = 1
NATION_COLONIALS = 5

PlayerShip = GameManager.CreateShip("PlayerShip", "scripts\\Ships\\TestSloop.lua", Vector(0, 0, 0), 0,
                                    NATION_PLAYER, true)
EnemyShip = GameManager.CreateShip("EnemyShip", "scripts\\Ships\\TestSloop.lua", Vector(0, 40, 0), 0,
                                   NATION_COLONIALS)
-- Pirates fired onto the enemy sloop take it after 5 s of fighting on board.
EnemyShip:SetBoardingTime(5.0)

function OnThink()
end
