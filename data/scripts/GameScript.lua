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
SOUND_SFX_SHOOT_ROCKET = 5
SOUND_SFX_SHOOT_STINKBOMB = 46
SOUND_SFX_SHOOT_MORTAR = 48

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
  -- Area-effect weapons: a shell that flies its arc and hurts all around its impact.
  GameManager.AddWeapon(5, "Mortar", false, true, "Particles\\mortar_fire.xml", 5.0,
                        "particles\\cannon_trail.xml", projectiles.PROJECTILE_BALL,
                        "models\\props\\cannon_ball\\cannon_ball.MODEL", 0, SOUND_SFX_SHOOT_MORTAR)
  GameManager.AddWeapon(6, "Rocket", false, true, "\\particles\\rocket_fire_01.xml", 6.0,
                        "\\particles\\rocket_fire_01.xml", projectiles.PROJECTILE_ROCKET,
                        "models\\props\\cannon_ball\\cannon_ball.MODEL", 0, SOUND_SFX_SHOOT_ROCKET)
  GameManager.AddWeapon(7, "StinkBomb", false, true, "", 5.0, "particles\\cannon_trail.xml",
                        projectiles.PROJECTILE_STINKBOMB, "models\\props\\cannon_ball\\cannon_ball.MODEL",
                        0, SOUND_SFX_SHOOT_STINKBOMB)
end

-- Campaign -----------------------------------------------------------------------
-- The campaign's start and end, the downloadable levels, and the script tick that
-- sends the player's ship into the sea battle of the world map's marked spot and
-- back once its enemy is sunk or left behind.

PLAYER_SHIP_SCRIPT = "scripts\\Ships\\TestSloop.lua"
PLAYER_SHIP_START = Vector(0, 0, 0)

-- The marked spot: open water between the islands. Sailing into it starts the
-- sea battle of scenes\seabattle01 (teleport target "<scene>-sea").
SEA_BATTLE_SPOT = Vector(0, 200, 0)
SEA_BATTLE_SPOT_RADIUS = 60.0
SEA_BATTLE_TARGET = "seabattle01-sea"
-- An enemy farther than this from the player's ship is left behind.
SEA_BATTLE_ESCAPE_DISTANCE = 600.0

-- True while the player's ship is inside the marked spot: the battle starts only
-- when the ship sails in, not when it comes back there from the battle.
local insideSeaBattleSpot = false

-- A new game opens with a conversation, begun after the hero's cutscene; the
-- script tick ends it, and with it the game proper begins (saving is off while a
-- conversation runs). The campaign's start runs a few ticks before that; a
-- campaign that opens without one (a loaded game) stops waiting after these.
local OPENING_CONVERSATION_TICKS = 30
local openingConversationTicks = 0

local function EndOpeningConversation()
  if openingConversationTicks <= 0 or SpeechManager == nil then
    return
  end
  if SpeechManager.IsInConversation() then
    SpeechManager.EndConversation()
    openingConversationTicks = 0
  else
    openingConversationTicks = openingConversationTicks - 1
  end
end

-- The old wreck on the world map: a ship that sails up to it hears the bosun and
-- the hero talk about it, once a campaign. Each line waits for the one before to
-- leave the screen; then the conversation ends and the hero calls out over the
-- ship. Without a screen to show the lines on, the conversation ends at once.
WRECK_SPOT = Vector(-300, -300, 0)
WRECK_SPOT_RADIUS = 60.0
local wreckTalkDone = false
local wreckLine = 0
local wreckWindow = nil

-- {speaker key (nil: the hero), text key, insert key, portrait (nil: the hero's),
--  seconds when unvoiced, left side}
local WRECK_LINES = {
  {"str_WRECK_BOSUN", "str_WRECK_TALK_1", "", "SpeechPortraits_01/Bosun", 4.0, true},
  {nil, "str_WRECK_TALK_2", "str_WRECK_TALK_2_INSERT", nil, 4.0, false},
  {"str_WRECK_BOSUN", "str_WRECK_TALK_3", "", "SpeechPortraits_01/Bosun", 2.5, true},
}

local function TalkWreckLine(i)
  local line = WRECK_LINES[i]
  local hero = GameManager.GetPlayerName() or "MAIN_CHARACTER_PIRATE"
  local speaker = line[1] or ("str_" .. hero)
  local portrait = line[4] or ((GameManager.GetPlayerImageSet() or "CharacterImages_01") .. "/" ..
                               (GameManager.GetPlayerImage() or "Walker"))
  return SpeechManager.Talk(speaker, line[2], line[3], portrait, line[5], line[6], i == #WRECK_LINES)
end

local function ForgetWreckTalk()
  wreckTalkDone = false
  wreckLine = 0
  wreckWindow = nil
end

-- Called on every world-map tick with the player's ship.
local function UpdateWreckTalk(ship)
  if SpeechManager == nil then
    return
  end
  if wreckLine == 0 then
    if wreckTalkDone or SpeechManager.IsInConversation() or
        not GameManager.IsInRange(ship:GetPosition(), WRECK_SPOT, WRECK_SPOT_RADIUS) then
      return
    end
    wreckTalkDone = true
    SpeechManager.StartConversation(ship, Vector(0, 0, 0), Vector(0, 0, 0), false)
  elseif wreckWindow ~= nil and SpeechManager.IsSpeechWindowVisible(wreckWindow) then
    return
  end
  wreckLine = wreckLine + 1
  if wreckLine <= #WRECK_LINES then
    wreckWindow = TalkWreckLine(wreckLine)
    if wreckWindow ~= nil then
      return
    end
  end
  SpeechManager.EndConversation()
  wreckLine = 0
  wreckWindow = nil
  SpeechManager.Say(ship, "str_WRECK_BUBBLE", 3.0)
end

-- Resets what the script tick remembers of the battle; the sea-battle scene
-- script puts its enemy into the shared global SeaBattleEnemy.
local function ForgetSeaBattle()
  insideSeaBattleSpot = false
  _G.SeaBattleEnemy = nil
end

-- A new campaign, once the world map is loaded: the player's ship.
function StartGame()
  ForgetSeaBattle()
  ForgetWreckTalk()
  openingConversationTicks = OPENING_CONVERSATION_TICKS
  FillMusicPlaylist()
  local ship = GameManager.CreateShip("PlayerShip", PLAYER_SHIP_SCRIPT, PLAYER_SHIP_START, 0, NATION_PLAYER, true)
  if ship ~= nil then
    GameManager.AddShip(ship)
  end
end

-- The campaign or level is torn down.
function EndGame()
  ForgetSeaBattle()
  ForgetWreckTalk()
  openingConversationTicks = 0
end

-- A saved game has been read into the campaign: it goes on where it was saved,
-- without the opening conversation of a new game.
function SetPlayerAfterLoadGame()
  ForgetSeaBattle()
  ForgetWreckTalk()
  openingConversationTicks = 0
  print("Game loaded: money " .. GameManager.GetMoney())
end

-- A downloadable level has started (its land scene is loaded); the player
-- starts ashore, so there is no ship to make.
function StartDlc()
  ForgetSeaBattle()
  FillMusicPlaylist()
end

-- Whether the battle's enemy is sunk (or already gone from the scene) or has been
-- left behind by the player's ship.
local function SeaBattleEnemyDone(enemy, ship)
  local alive, sinking = pcall(enemy.IsSinking, enemy)
  if not alive or sinking then
    return true
  end
  return ship ~= nil and not GameManager.IsInRange(ship:GetPosition(), enemy:GetPosition(), SEA_BATTLE_ESCAPE_DISTANCE)
end

function OnThink()
  EndOpeningConversation()
  local location = GameManager.GetPlayerLocation()
  if location == 0 then
    local ship = GameManager.GetPlayerEntity()
    if ship == nil then
      return
    end
    UpdateWreckTalk(ship)
    local inside = GameManager.IsInRange(ship:GetPosition(), SEA_BATTLE_SPOT, SEA_BATTLE_SPOT_RADIUS)
    if inside and not insideSeaBattleSpot then
      GameManager.SetTeleportTarget(SEA_BATTLE_TARGET)
    end
    insideSeaBattleSpot = inside
  elseif location == 2 then
    local enemy = _G.SeaBattleEnemy
    if enemy ~= nil and SeaBattleEnemyDone(enemy, GameManager.GetPlayerEntity()) then
      _G.SeaBattleEnemy = nil
      GameManager.SetTeleportTarget("world")
    end
  end
end

-- The sea game area: the ships stay inside the polygon of corners 1, 3, 5 and 7
-- (clockwise); the even points lie halfway along its edges.
local GAME_AREA = {
  {-950, -950}, {-950, 0}, {-950, 950}, {0, 950}, {950, 950}, {950, 0}, {950, -950}, {0, -950},
}

function GetGameAreaPosition(i)
  local p = GAME_AREA[i] or {0, 0}
  return p[1], p[2]
end

-- Soldiers ---------------------------------------------------------------------------
-- GetSoldierStats(unit type) -> maximum hit points, melee minimum and maximum damage,
-- ranged minimum and maximum damage, melee and ranged hit chance (percent), speed.

local SOLDIER_STATS = {
  [1] = {400, 8, 14, 6, 11, 75, 60, 4.0},   -- the player's hero: Walker
  [2] = {380, 7, 12, 7, 12, 70, 65, 4.2},   -- Jolie
  [3] = {390, 6, 11, 8, 14, 65, 75, 4.0},   -- Jack
  [4] = {300, 6, 11, 6, 10, 70, 60, 3.8},   -- heroes who join the player
  [5] = {300, 5, 10, 7, 12, 65, 70, 3.8},
  [6] = {320, 7, 12, 5, 9, 72, 55, 3.8},
  [15] = {120, 4, 9, 3, 7, 65, 40, 3.5},    -- pirate scallywags
  [16] = {110, 3, 8, 3, 6, 60, 45, 3.3},    -- brinemark soldiers
  [17] = {90, 2, 5, 5, 10, 40, 70, 3.3},    -- brinemark marksmen
  [28] = {380, 7, 12, 7, 12, 70, 65, 4.0},  -- the downloadable levels' captains
  [30] = {360, 6, 10, 9, 15, 65, 80, 4.2},
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
  {"set:SpecialWeapons_01 image:HumanCannonBall", "str_SW_HUMANCANNONBALL_TOPIC", "str_SW_HUMANCANNONBALL_DESCRIPTION",
   "str_SW_HUMANCANNONBALL_BOTTOM", "PROJECTILE_HUMANCANNONBALL"},
}

function GetSW(offer)
  local o = SPECIAL_WEAPON_OFFERS[offer] or {"", "", "", "", ""}
  return o[1], o[2], o[3], o[4], o[5]
end

-- GetSWMagicIndex(offer 1..3) -> the special weapon (projectile type number) that
-- the chosen offer unlocks and mounts on the player's first ship.
function GetSWMagicIndex(offer)
  local o = SPECIAL_WEAPON_OFFERS[offer]
  if o == nil then
    return 0
  end
  return GameManager.GetProjectileTypes()[o[5]] or 0
end

-- Characters and units -----------------------------------------------------------------
-- InitUnitEntityTemplate(unit type) -> six strings for the unit's template: the name
-- key (the display name is the text of "str_" .. key, its description that of
-- "str_" .. key .. "_DESCRIPTION"), the unit script, the soldier script, the type
-- image, the skill image and the image set.

local HERO_SOLDIER = "scripts\\LandUnits\\HeroSoldier.lua"
local PLAIN_SOLDIER = "scripts\\LandUnits\\SoldierScript.lua"
local PLAYER_UNIT = "scripts\\LandUnits\\PlayerUnitScript.lua"

local UNIT_TEMPLATES = {
  [1] = {"MAIN_CHARACTER_PIRATE", PLAYER_UNIT, HERO_SOLDIER, "Walker", "set:Buttons_01 image:Skill2Normal", "CharacterImages_01"},
  [2] = {"MAIN_CHARACTER_CORSAIR", PLAYER_UNIT, HERO_SOLDIER, "Jolie", "set:Buttons_01 image:Skill1Normal", "CharacterImages_01"},
  [3] = {"MAIN_CHARACTER_BUCCANEER", PLAYER_UNIT, HERO_SOLDIER, "Jack", "set:Buttons_01 image:Skill0Normal", "CharacterImages_01"},
  [4] = {"HERO_CHARACTER_CORSAIR", "scripts\\LandUnits\\Heroes\\HeroCorsair.lua", HERO_SOLDIER, "HeroCorsair", "",
         "UnitFaces_01"},
  [5] = {"HERO_CHARACTER_BUCCANEER", "scripts\\LandUnits\\Heroes\\HeroBuccaneer.lua", HERO_SOLDIER, "HeroBuccaneer",
         "", "UnitFaces_01"},
  [6] = {"HERO_CHARACTER_PIRATE", "scripts\\LandUnits\\Heroes\\HeroPirate.lua", HERO_SOLDIER, "HeroPirate", "",
         "UnitFaces_01"},
  [15] = {"UNIT_PIRATE_BASIC", "", PLAIN_SOLDIER, "PirateBasic", "", "UnitFaces_01"},
  [16] = {"UNIT_BRINEMARK_BASIC", "", PLAIN_SOLDIER, "BrinemarkBasic", "", "UnitFaces_01"},
  [17] = {"UNIT_BRINEMARK_RANGED", "", PLAIN_SOLDIER, "BrinemarkRanged", "", "UnitFaces_01"},
  [24] = {"UNIT_COLONIAL_BASIC", "", PLAIN_SOLDIER, "ColonialBasic", "", "UnitFaces_01"},
  -- The captains of the downloadable levels: the first level's and the second's.
  [28] = {"DLC_CHARACTER", PLAYER_UNIT, HERO_SOLDIER, "Castaway", "", "UnitFaces_01"},
  [30] = {"CHARACTER_QUICKDRAW", PLAYER_UNIT, HERO_SOLDIER, "Quickdraw", "", "UnitFaces_01"},
}

-- The name keys of the other unit types (without "str_").
local UNIT_NAME_KEYS = {
  [7] = "UNIT_STINK_BOMBER", [8] = "UNIT_ROCKETEER", [9] = "UNIT_CRAZY_CANNONEER", [10] = "UNIT_CORSAIR_BASIC",
  [11] = "UNIT_BUCCANEER_ADVANCED", [12] = "UNIT_ADVANCED_PIRATE", [13] = "UNIT_ADVANCED_CORSAIR",
  [14] = "UNIT_BUCCANEER_BASIC", [18] = "UNIT_BRINEMARK_SPECIAL", [19] = "UNIT_BRINEMARK_COMMAND",
  [23] = "UNIT_COLONIAL_RANGED", [25] = "UNIT_COLONIAL_COMMAND", [29] = "STORYLINEMISSION_PIRATE_04_NPC2",
  [30] = "CHARACTER_QUICKDRAW", [31] = "STORYLINEMISSION_CORSAIR_04_NPC1",
}

function InitUnitEntityTemplate(unitType)
  local t = UNIT_TEMPLATES[unitType]
  if t == nil then
    -- Plain soldiers under the type's name, or as unknown folk.
    return UNIT_NAME_KEYS[unitType] or "UNIT_UNKNOWN", "", PLAIN_SOLDIER, "", "", "UnitFaces_01"
  end
  return t[1], t[2], t[3], t[4], t[5], t[6]
end

-- Ships for sale ---------------------------------------------------------------------------
-- GetShipsForSaleAmount(ship class 2..4) -> how many; GetShipForSaleAt(class, 1..n)
-- -> the town that offers it and its ship script.

local SHIPS_FOR_SALE = {
  [2] = {{"town_saltmarsh", "scripts\\Ships\\TestSloop.lua"}},
  [3] = {{"colony_fort_amber", "scripts\\Ships\\TestSloop.lua"}},
  [4] = {},
}

function GetShipsForSaleAmount(shipClass)
  local ships = SHIPS_FOR_SALE[shipClass]
  return ships and #ships or 0
end

function GetShipForSaleAt(shipClass, i)
  local ship = (SHIPS_FOR_SALE[shipClass] or {})[i]
  if ship == nil then
    return "", ""
  end
  return ship[1], ship[2]
end

-- Collectables ------------------------------------------------------------------------------
-- Every collectable has its script under scripts\Collectables\, by its id (the
-- collectable ids of GameManager.GetCollectableIds, 1 to 37).

local COLLECTABLE_SCRIPTS = {
  "RumPotion", "Toolbox", "Money", "Blueprint", "Scimitar", "Seashell", "Strawhat", "Banana", "Flag", "Acdc",
  "Powder", "Sextant", "Djbox", "Figurehead", "Amulet", "Compass", "InsultingSword", "Dolly", "Pocketwatch",
  "Eyepatch", "WindCharmPirate", "WindCharmBuccaneer", "WindCharmCorsair", "WaterLily", "Duckweed", "Dandelion",
  "Orchid", "Sulfur", "Azurite", "RedHerring", "SilverTrout", "GhostPotion", "InvisibilityPotion", "WindInABottle",
  "GetAFix", "MistShip", "MessageBottle",
}

local function CollectableScript(id)
  local name = COLLECTABLE_SCRIPTS[id]
  return name and ("scripts\\Collectables\\" .. name .. ".lua") or ""
end

function GetAllCollectableCount()
  return #COLLECTABLE_SCRIPTS
end

function GetAllCollectableScript(id)
  return CollectableScript(id)
end

function GetAllCollectableName(id)
  return COLLECTABLE_SCRIPTS[id] or ""
end

-- GetCollectableCooldown(collectable 1 rum, 2 toolbox) -> the seconds one waits
-- before the next (as their scripts reset it); the HUD draws its dial over them.
function GetCollectableCooldown(id)
  if id == 1 or id == 2 then
    return 60.0
  end
  return 0.0
end

-- The item a new campaign starts with (asked for id 12, the sextant).
function GetCollectableScript(id)
  return CollectableScript(id)
end

-- GetRandomSeaCollectableScript(nation of the nearest town, rarity 1..3) -> the script
-- of a treasure floating at sea: the rarest (3) pays more. The nation does not
-- change the choice.
function GetRandomSeaCollectableScript(nation, rarity)
  if rarity == 3 then
    return "scripts\\Collectables\\SeaTreasureRich.lua"
  end
  return "scripts\\Collectables\\SeaTreasure.lua"
end

-- GetRandomLandCollectableScript(town scene type, quality 1..3) -> the script of a
-- collectable lying about in a town: everyday finds, alchemists' ingredients, or
-- a rare artifact. The scene type does not change the choice.
local LAND_COLLECTABLES = {
  [1] = {3, 8, 37},
  [2] = {24, 25, 26, 27, 28, 29, 30, 31},
  [3] = {5, 7, 15, 16, 18},
}

function GetRandomLandCollectableScript(sceneType, quality)
  local pool = LAND_COLLECTABLES[quality]
  if pool == nil then
    return ""
  end
  return CollectableScript(pool[math.random(#pool)])
end

-- Potions -----------------------------------------------------------------------------------
-- The alchemist's recipes, by potion 1..n: the potion's collectable id, caption
-- key, large and button images, and the collectable ids of its ingredients.

local POTIONS = {
  {32, "str_POTION_GHOST", "set:Potions_01 image:GhostLarge", "set:Potions_01 image:Ghost", {24, 28}},
  {33, "str_POTION_INVISIBILITY", "set:Potions_01 image:InvisibilityLarge", "set:Potions_01 image:Invisibility",
   {25, 27}},
  {34, "str_POTION_WIND_IN_A_BOTTLE", "set:Potions_01 image:WindLarge", "set:Potions_01 image:Wind", {26, 29}},
  {35, "str_POTION_GET_A_FIX", "set:Potions_01 image:FixLarge", "set:Potions_01 image:Fix", {30, 28, 27}},
  {36, "str_POTION_MIST_SHIP", "set:Potions_01 image:MistLarge", "set:Potions_01 image:Mist", {31, 24}},
}

local function Potion(i)
  return POTIONS[i] or {0, "", "", "", {}}
end

function GetNumberOfPotions()
  return #POTIONS
end

function GetCollectableForPotion(i)
  return Potion(i)[1]
end

function GetCaptionKeyForPotion(i)
  return Potion(i)[2]
end

function GetLargeImageForPotion(i)
  return Potion(i)[3]
end

function GetButtonImageForPotion(i)
  return Potion(i)[4]
end

function GetNumIngredientsForCollectable(i)
  return #Potion(i)[5]
end

function GetIngredientForCollectableAt(i, j)
  return Potion(i)[5][j] or 0
end

-- Skills --------------------------------------------------------------------------------------
-- A skill: name, caption key, description key, image, a fifth text, hero skill (1:
-- the hero's own, 0: his units'), excluded from automatic learning (1), then
-- thirteen numbers: melee and ranged damage bonus, attack interval bonus, range
-- bonus, hit chance bonus, damage factor, defence, the active skill's strength,
-- (unused), the active skill's duration and cool-down, and two further values.
-- Each captain (skill group 1 pirate, 2 corsair, 3 buccaneer) has an active skill
-- of his own and shares the others.

local ACTIVE_SKILLS = {
  [1] = {"str_SKILL_DRUNKEN_FRENZY", "Skill2Normal", 0.5},
  [2] = {"str_SKILL_BLADE_TORNADO", "Skill1Normal", 0.4},
  [3] = {"str_SKILL_RABBIT_FINGER", "Skill0Normal", 0.3},
}

local SHARED_SKILLS = {
  {"sharp_blades", "str_SKILL_SHARP_BLADES", 0, {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
  {"steady_aim", "str_SKILL_STEADY_AIM", 0, {0, 2, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0}},
  {"quick_hands", "str_SKILL_QUICK_HANDS", 0, {0, 0, 0.3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
  {"thick_skin", "str_SKILL_THICK_SKIN", 1, {0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0}},
  {"sea_legs", "str_SKILL_SEA_LEGS", 1, {0, 0, 0, 2, 0, 0.1, 0, 0, 0, 0, 0, 0, 0}},
}

local function SkillList(group)
  local active = ACTIVE_SKILLS[group] or ACTIVE_SKILLS[1]
  local list = {{"active_skill", active[1], 1, {0, 0, 0, 0, 0, 0, 0, active[3], 0, 10, 60, 0, 0}, active[2], 1}}
  for _, s in ipairs(SHARED_SKILLS) do
    list[#list + 1] = {s[1], s[2], s[3], s[4], "SkillEmpty", 0}
  end
  return list
end

local function SkillValues(s)
  if s == nil then
    return "None", "None", "None", "SkillEmpty", "", 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0
  end
  local f = s[4]
  return s[1], s[2], s[2] .. "_DESCRIPTION", s[5], "", s[3], s[6],
         f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9], f[10], f[11], f[12], f[13]
end

function GetSkillCount(group)
  return #SkillList(group)
end

function GetSkillAt(i, group)
  return SkillValues(SkillList(group)[i])
end

function GetSkill(name, group)
  for _, s in ipairs(SkillList(group)) do
    if s[1] == name then
      return SkillValues(s)
    end
  end
  return SkillValues(nil)
end

-- Special weapons the ship yard sells ---------------------------------------------------
-- GetAllSWCount() -> how many; GetAllSW(1..n) -> picture, display name, description
-- key, small icon and the projectile type name; GetAllSWMagicIndex(1..n) -> its
-- projectile type number. The sea HUD names the selected weapon by them.

local ALL_SPECIAL_WEAPONS = {
  {"Harpoon", "str_SW_HARPOON_DESCRIPTION", "PROJECTILE_HARPOON"},
  {"Sea Mines", "str_SW_MINE_DESCRIPTION", "PROJECTILE_MINE"},
  {"Mortar", "str_SW_MORTAR_DESCRIPTION", "PROJECTILE_MORTAR"},
  {"Cluster Shot", "str_SW_MIRV_DESCRIPTION", "PROJECTILE_MIRV"},
  {"Rockets", "str_SW_ROCKET_DESCRIPTION", "PROJECTILE_ROCKET"},
  {"Human Cannon Ball", "str_SW_HUMANCANNONBALL_DESCRIPTION", "PROJECTILE_HUMANCANNONBALL"},
  {"Slowing Barrel", "str_SW_SLOWINGBARREL_DESCRIPTION", "PROJECTILE_SLOWINGBARREL"},
  {"Stink Bomb", "str_SW_STINKBOMB_DESCRIPTION", "PROJECTILE_BUBBLEMINE"},
}

local function SpecialWeaponNumber(w)
  return w and GameManager.GetProjectileTypes()[w[3]] or 0
end

function GetAllSWCount()
  return #ALL_SPECIAL_WEAPONS
end

function GetAllSW(i)
  local w = ALL_SPECIAL_WEAPONS[i]
  if w == nil then
    return "", "", "", "", ""
  end
  local n = SpecialWeaponNumber(w)
  return "set:ShipIcons_01 image:Weapon" .. n .. "Normal", w[1], w[2], "set:ShipIcons_01 image:Weapon" .. n .. "Icon",
         w[3]
end

function GetAllSWMagicIndex(i)
  return SpecialWeaponNumber(ALL_SPECIAL_WEAPONS[i])
end

-- The same for a look-up that learns nothing (the HUD's and the character screen's texts).
function GetSkillInfo(name, group)
  return GetSkill(name, group)
end
