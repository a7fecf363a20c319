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
