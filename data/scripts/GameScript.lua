-- The game script: the world's nations and weapons, the start of a campaign and
-- the game's script tick. The engine runs it once when the game starts.

-- Sounds and music ---------------------------------------------------------------
-- The unit and effect sounds and the music tracks, defined through "SoundManager".

GameManager.LoadScript("\\Scripts\\SoundScript.lua")
GameManager.LoadScript("\\Scripts\\SFXSoundInitScript.lua")

-- Nations ------------------------------------------------------------------------
-- Slot 1 is always the player's nation. Types: 0 neutral folk, 1 the player,
-- 2 the three pirate factions, 3 the colonial powers (their towns have no fog of war).

NATION_NEUTRAL = 0
NATION_PLAYER = 1
NATION_PIRATE = 2
NATION_CORSAIR = 3
NATION_BUCCANEER = 4
NATION_COLONIALS = 5

function InitNations()
  GameManager.AddNation(NATION_NEUTRAL, "Neutral", 0)
  GameManager.AddNation(NATION_PLAYER, "Player", 1)
  GameManager.AddNation(NATION_PIRATE, "Pirate", 2)
  GameManager.AddNation(NATION_CORSAIR, "Corsair", 2)
  GameManager.AddNation(NATION_BUCCANEER, "Buccaneer", 2)
  GameManager.AddNation(NATION_COLONIALS, "Colonials", 3)

  -- The factions quarrel among themselves; the colonials fight everyone at sea.
  GameManager.AddEnemyToNation(NATION_PIRATE, NATION_CORSAIR)
  GameManager.AddEnemyToNation(NATION_CORSAIR, NATION_BUCCANEER)
  GameManager.AddEnemyToNation(NATION_BUCCANEER, NATION_PIRATE)
  for _, nation in ipairs({NATION_PLAYER, NATION_PIRATE, NATION_CORSAIR, NATION_BUCCANEER}) do
    GameManager.AddEnemyToNation(NATION_COLONIALS, nation)
    GameManager.AddEnemyToNation(nation, NATION_COLONIALS)
  end

  -- The colonial governors keep their mansions shut to pirates.
  GameManager.SetMansionAccessible(NATION_COLONIALS, false)
end

-- Weapons ------------------------------------------------------------------------
-- AddWeapon(id, name, melee, area effect, muzzle effect, cool-down in seconds,
--           trail effect, projectile type, projectile model, sound at the start,
--           sound at the strike or shot). Sounds are effect numbers of the sound manager.

SOUND_SFX_SHOOT_RIFLE = 6
SOUND_SFX_HIT_CLUB = 10
SOUND_SFX_SHOOT_PISTOL = 23
SOUND_SFX_HIT_SWORD = 29

function InitWeapons()
  local projectiles = GameManager.GetProjectileTypes()
  GameManager.AddWeapon(1, "Cutlass", true, false, "", 1.2, "", projectiles.PROJECTILE_NONE, "",
                        0, SOUND_SFX_HIT_SWORD)
  GameManager.AddWeapon(2, "Club", true, false, "", 1.6, "", projectiles.PROJECTILE_NONE, "",
                        0, SOUND_SFX_HIT_CLUB)
  GameManager.AddWeapon(3, "Pistol", false, false, "Particles\\muzzle_pistol.xml", 3.0, "",
                        projectiles.PROJECTILE_NONE, "", 0, SOUND_SFX_SHOOT_PISTOL)
  GameManager.AddWeapon(4, "Musket", false, false, "Particles\\muzzle_rifle.xml", 4.5,
                        "Particles\\trail_rifle.xml", projectiles.PROJECTILE_NONE, "", 0,
                        SOUND_SFX_SHOOT_RIFLE)
end

-- Campaign -----------------------------------------------------------------------

function StartGame()
  print("StartGame: a new campaign begins")
end

-- The script tick: the world needs nothing from the game script each tick yet.
function OnThink()
end

-- Soldiers ---------------------------------------------------------------------------
-- GetSoldierStats(unit type) -> maximum hit points, melee minimum and maximum damage,
-- ranged minimum and maximum damage, melee and ranged hit chance (percent), speed.

local SOLDIER_STATS = {
  [1] = {400, 8, 14, 6, 11, 75, 60, 4.0},   -- the player's hero
  [15] = {120, 4, 9, 3, 7, 65, 40, 3.5},    -- pirate scallywags
  [16] = {110, 3, 8, 3, 6, 60, 45, 3.3},    -- brinemark soldiers
  [17] = {90, 2, 5, 5, 10, 40, 70, 3.3},    -- brinemark marksmen
}
local DEFAULT_SOLDIER_STATS = {100, 2, 7, 2, 7, 50, 50, 3.0}

function GetSoldierStats(unitType)
  local s = SOLDIER_STATS[unitType] or DEFAULT_SOLDIER_STATS
  return s[1], s[2], s[3], s[4], s[5], s[6], s[7], s[8]
end

-- Levels: the experience a hero needs to reach each level (index = level).
local LEVEL_EXP = {0, 100, 250, 450, 700, 1000, 1400, 1900, 2500, 3200, 4000}

function GetLevelCount(self)
  return #LEVEL_EXP - 1
end

function GetLevelExp(level)
  return LEVEL_EXP[level + 1] or 0
end

-- What each level-up adds to the player's soldier: melee min/max, second melee
-- min/max, ranged min/max, second ranged min/max, melee and ranged hit chance, hit
-- points, speed.
function GetSoldierLevelUpStatsIncrease(character)
  return 1, 1, 0, 0, 1, 1, 0, 0, 2, 2, 25, 0.1
end

-- Special weapons of a new game ------------------------------------------------------
-- GetSW(offer 1..3) -> picture, topic key, description key, bottom key and the
-- weapon it gives (a projectile type name).

local SPECIAL_WEAPON_OFFERS = {
  {"set:SpecialWeapons_01 image:Mine", "str_SW_MINE_TOPIC", "str_SW_MINE_DESCRIPTION", "str_SW_MINE_BOTTOM",
   "PROJECTILE_MINE"},
  {"set:SpecialWeapons_01 image:Mortar", "str_SW_MORTAR_TOPIC", "str_SW_MORTAR_DESCRIPTION", "str_SW_MORTAR_BOTTOM",
   "PROJECTILE_MORTAR"},
  {"set:SpecialWeapons_01 image:StinkBomb", "str_SW_STINKBOMB_TOPIC", "str_SW_STINKBOMB_DESCRIPTION",
   "str_SW_STINKBOMB_BOTTOM", "PROJECTILE_BUBBLEMINE"},
}

function GetSW(offer)
  local o = SPECIAL_WEAPON_OFFERS[offer] or {"", "", "", "", ""}
  return o[1], o[2], o[3], o[4], o[5]
end
