-- Unit voices and weapon sounds, and the music: the game script runs this once
-- at start. Voices (activate .. death) play at the speech volume, the others at
-- the effect volume. A pool with several files never plays one twice in a row.

local sound = SoundManager.GetEnums()
local unit = GameManager.GetUnitTypes()

-- AddSound(unit type, sound type, file, 2D); positional (3D) unless 2D is true.
local orders = { "Sounds\\order_01.wav", "Sounds\\order_02.wav", "Sounds\\order_03.wav" }
for _, hero in ipairs({ unit.PLAYER_HERO, unit.PLAYER_HERO_CORSAIR, unit.PLAYER_HERO_BUCCANEER }) do
  for _, file in ipairs(orders) do
    SoundManager.AddSound(hero, sound.SOUND_ORDER, file, true)
    SoundManager.AddSound(hero, sound.SOUND_ACTIVATE, file, true)
  end
  SoundManager.AddSound(hero, sound.SOUND_NEGATIVE, "Sounds\\order_03.wav", true)
  SoundManager.AddSound(hero, sound.SOUND_DEATH, "Sounds\\order_01.wav", true)
end
for _, soldier in ipairs({ unit.PIRATE_CANNONEER, unit.CORSAIR_BOMBER, unit.BUCCANEER_ROCKETEER }) do
  SoundManager.AddSound(soldier, sound.SOUND_WEAPON_0, "Sounds\\cannon_01.wav")
  SoundManager.AddSound(soldier, sound.SOUND_WEAPON_0, "Sounds\\cannon_02.wav")
end
-- A unit of the player's losing soldiers calls out once its radar alert starts.
for _, u in ipairs({ unit.PLAYER_HERO, unit.PLAYER_HERO_CORSAIR, unit.PLAYER_HERO_BUCCANEER, unit.CORSAIR_HERO,
                     unit.BUCCANEER_HERO, unit.PIRATE_HERO, unit.PIRATE_SCALLYWAG, unit.PIRATE_CANNONEER,
                     unit.CORSAIR_BOMBER, unit.BUCCANEER_ROCKETEER }) do
  SoundManager.AddSound(u, sound.SOUND_UNDER_ATTACK, "Sounds\\order_02.wav")
end
-- The options screen's test shot for the effects volume.
SoundManager.AddSound(unit.WEAPON, sound.SOUND_WEAPON_1, "Sounds\\cannon_01.wav")

-- Music: the menu, credits and conversation tracks, the random playlist (60 s of
-- silence between its tracks) and the battle playlist.
SoundManager.SetMenuMusic("Music\\menu.wav", 1.0)
SoundManager.SetCreditsMusic("Music\\credits.wav", 1.0)
SoundManager.SetConversationMusic("Music\\conversation.wav", 0.8)
-- The title screen empties the playlist while its own track plays, so a campaign
-- or level fills it again as it starts.
function FillMusicPlaylist()
  SoundManager.ClearMusic()
  SoundManager.AddMusic("Music\\track_a.wav")
  SoundManager.AddMusic("Music\\track_b.wav", 0.9)
end
FillMusicPlaylist()
SoundManager.ClearBattleMusic()
SoundManager.AddBattleMusic("Music\\battle.wav")
SoundManager.SetSilenceBetweenTracks(60.0)
