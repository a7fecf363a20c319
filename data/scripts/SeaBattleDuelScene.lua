-- The player's part of the sea battle test: the player's frigate (mines on its special
-- cannon) at the origin heading along +x; two colonial frigates to its left and right
-- that attack it at once; a colonial frigate at anchor 36 astern, limping (40 hull)
-- so that one mine sends it down. Every change of a ship's hull is logged as
-- "SeaBattleDuel: <ship> hull <before> -> <after>".

local NATION_PLAYER = 1
local NATION_COLONIALS = 5
local FRIGATE = "scripts\\Ships\\TestFrigate.lua"
local WARSHIP = "scripts\\Ships\\AI\\Warship.lua"

PlayerShip = GameManager.CreateShip("PlayerShip", FRIGATE, Vector(0, 0, 0), 0, NATION_PLAYER, true)
local attackers = {
  GameManager.CreateShip("Raider1", FRIGATE, Vector(70, 110, 0), 270, NATION_COLONIALS, false, WARSHIP),
  GameManager.CreateShip("Raider2", FRIGATE, Vector(70, -110, 0), 90, NATION_COLONIALS, false, WARSHIP),
}
for _, ship in ipairs(attackers) do
  ship:GetComponentOfType("AIShipComponent"):SetCoward(false)
  ship:ShipAttack(NATION_PLAYER)
end
AnchoredShip = GameManager.CreateShip("Anchored", FRIGATE, Vector(-36, 0, 0), 0, NATION_COLONIALS)
AnchoredShip:SetHullHitpoints(40)

local watched = {PlayerShip, attackers[1], attackers[2], AnchoredShip}
local hulls = {}

function OnThink()
  for i, ship in ipairs(watched) do
    local ok, hull = pcall(function() return ship:GetHullHitpoints() end)
    if ok and hull ~= nil and hulls[i] ~= nil and hull ~= hulls[i] then
      print("SeaBattleDuel: " .. ship:GetKey() .. " hull " .. hulls[i] .. " -> " .. hull)
    end
    if ok and hull ~= nil then hulls[i] = hull end
  end
end
