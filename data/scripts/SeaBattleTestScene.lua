-- The sea battle test scene: three pirate frigates sail from the west for the colonial
-- town in the east while three colonial frigates patrol the loop around the island.
-- A pirate that sights a colonial ship attacks it; the colonials answer. Each fleet
-- has one faint-hearted captain. The player's frigate lies far to the north,
-- out of the fight, with mines on its special cannon.
-- The fleets are kept in the globals PirateFleet and ColonialFleet. The scene's
-- whale is roped to the colonial flagship when the fleets set out.

local NATION_PLAYER = 1
local NATION_PIRATE = 2
local NATION_COLONIALS = 5
local FRIGATE = "scripts\\Ships\\TestFrigate.lua"
local WARSHIP = "scripts\\Ships\\AI\\Warship.lua"
local COWARD = "scripts\\Ships\\AI\\Coward.lua"
-- A pirate that comes this near to a colonial ship opens the fight; the colonials
-- answer what they see within the same distance.
local SIGHT_RANGE = 130.0
-- The berth off the colonial town that the pirates make for.
local TOWN_BERTH = Vector(300, -60, 0)
-- Nobody chases a ship that runs beyond these waters (this far from the island):
-- the chaser gives up and goes back to its course.
local WATERS = 300.0
local ISLAND = Vector(0, 0, 0)

PlayerShip = GameManager.CreateShip("PlayerShip", FRIGATE, Vector(0, 420, 0), 0, NATION_PLAYER, true)

-- The keys of the faint-hearted captains' ships.
Cowards = {}

local function MakeFleet(nation, prefix, places)
  local fleet = {}
  for i, place in ipairs(places) do
    local ship = GameManager.CreateShip(prefix .. i, FRIGATE, place.position, place.yaw, nation, false,
                                        place.coward and COWARD or WARSHIP)
    if ship ~= nil then
      ship:GetComponentOfType("AIShipComponent"):SetCoward(place.coward)
      Cowards[prefix .. i] = place.coward
      fleet[#fleet + 1] = ship
    end
  end
  return fleet
end

PirateFleet = MakeFleet(NATION_PIRATE, "Pirate", {
  {position = Vector(-330, -150, 0), yaw = 0, coward = false},
  {position = Vector(-360, -185, 0), yaw = 0, coward = true},
  {position = Vector(-390, -130, 0), yaw = 0, coward = false},
})
ColonialFleet = MakeFleet(NATION_COLONIALS, "Colonial", {
  {position = Vector(-40, -125, 0), yaw = 0, coward = false},
  {position = Vector(40, -125, 0), yaw = 0, coward = true},
  {position = Vector(115, -40, 0), yaw = 90, coward = false},
})

-- The pirates set course for the town's berth; the colonials sail their loop. The
-- scene's paths are made after its script has run, so the fleets set out on the
-- first tick.
local setOut = false
local patrol = nil

local function SetCourse(ship)
  local path = ship:GetComponentOfType("ShipPathComponent")
  if ship:GetNation() == NATION_PIRATE then
    path:AddWaypoint(ship:GetPosition())
    path:AddWaypoint(TOWN_BERTH)
  else
    patrol = patrol or GameManager.GetRandomPatrolPath()
    path:ShipFollowPath(patrol)
  end
end

local function SetOut()
  setOut = true
  local whale = Game.GetEntity("Whale")
  if whale ~= nil and ColonialFleet[1] ~= nil then whale:Attach(ColonialFleet[1]) end
  for _, ship in ipairs(PirateFleet) do SetCourse(ship) end
  for _, ship in ipairs(ColonialFleet) do SetCourse(ship) end
end

-- A ship that went down and was taken out of the world answers no more.
local function Afloat(ship)
  local ok, sinking = pcall(function() return ship:IsSinking() end)
  return ok and not sinking
end

-- A faint-hearted captain down to a tenth of his hull seeks no more fights: he
-- runs from this one.
local function Battered(ship)
  return Cowards[ship:GetKey()] and ship:GetHullHitpoints() * 10 <= ship:GetHullHitpointsMax()
end

local function Sights(ship, fleet)
  for _, other in ipairs(fleet) do
    if Afloat(other) and GameManager.IsEntityInRange(ship:GetPosition(), other, SIGHT_RANGE) then
      return true
    end
  end
  return false
end

local function GivesUpTheChase(ship, ai)
  if not ai:IsInAttackMode() then return false end
  local target = ai:GetTargetShip()
  if target == nil or GameManager.IsEntityInRange(ISLAND, target, WATERS) then return false end
  ship:ShipIdle()
  SetCourse(ship)
  return true
end

-- A pirate that sights a colonial ship attacks it (the first sighting is logged),
-- unless its faint-hearted captain is running; the colonials answer the pirates
-- that attack them. A colonial ship that has come to the end of its loop (or out
-- of a fight that took it off its course) sets out on it again.
local sighted = false

function OnThink()
  if not setOut then SetOut() end
  for _, pirate in ipairs(PirateFleet) do
    if Afloat(pirate) then
      local ai = pirate:GetComponentOfType("AIShipComponent")
      if not GivesUpTheChase(pirate, ai) and not ai:IsInAttackMode() and not Battered(pirate) and
         Sights(pirate, ColonialFleet) then
        if not sighted then
          sighted = true
          print("SeaBattleTest: " .. pirate:GetKey() .. " sighted the colonials")
        end
        pirate:ShipAttack(NATION_COLONIALS)
      end
    end
  end
  for _, ship in ipairs(ColonialFleet) do
    if Afloat(ship) then
      local ai = ship:GetComponentOfType("AIShipComponent")
      if not GivesUpTheChase(ship, ai) then
        ai:MakeAttackDecision(SIGHT_RANGE, 100)
        if ai:IsInIdleMode() then SetCourse(ship) end
      end
    end
  end
end
