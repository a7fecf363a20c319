-- Effect sounds by SFX number: the game script runs this once at start.
-- AddSFXSound(effect, file, 2D = true, looped = false, minimum repeat interval).
-- Several files for one effect are chosen at random; an interval above 0 keeps
-- the effect from playing again sooner.

local sfx = SoundManager.GetEnums()

SoundManager.AddSFXSound(sfx.SOUND_SFX_INTERFACE_CLICK, "Sounds\\click.wav")
SoundManager.AddSFXSound(sfx.SOUND_SFX_BUY, "Sounds\\click.wav")

-- Cannons are heard where they fire, at most every 0.1 s.
for _, effect in ipairs({ sfx.SOUND_SFX_SHOOT_CANNON, sfx.SOUND_SFX_SHOOT_MORTAR }) do
  SoundManager.AddSFXSound(effect, "Sounds\\cannon_01.wav", false, false, 0.1)
  SoundManager.AddSFXSound(effect, "Sounds\\cannon_02.wav", false, false, 0.1)
end
SoundManager.AddSFXSound(sfx.SOUND_SFX_HIT_CANNON_WATER, "Sounds\\cannon_02.wav", false)
SoundManager.AddSFXSound(sfx.SOUND_SFX_EXPLOSION, "Sounds\\cannon_01.wav", false)

-- The kraken's idle growl loops until its fight ends.
SoundManager.AddSFXSound(sfx.SOUND_SFX_KRAKEN_IDLE, "Sounds\\kraken_idle.wav", false, true)

-- Hand weapons (the game script's weapons name these effects).
SoundManager.AddSFXSound(sfx.SOUND_SFX_HIT_SWORD, "Sounds\\click.wav", false)
SoundManager.AddSFXSound(sfx.SOUND_SFX_HIT_CLUB, "Sounds\\click.wav", false)
SoundManager.AddSFXSound(sfx.SOUND_SFX_SHOOT_PISTOL, "Sounds\\cannon_02.wav", false)
SoundManager.AddSFXSound(sfx.SOUND_SFX_SHOOT_RIFLE, "Sounds\\cannon_02.wav", false)

-- The title screen's curtains, heard when they open and close.
SoundManager.AddSFXSound(sfx.SOUND_SFX_CURTAINS, "Sounds\\curtains.wav")
-- The joke scroll has unrolled.
SoundManager.AddSFXSound(sfx.SOUND_SFX_JOKE, "Sounds\\joke.wav")

-- A ship under way hums where it sails; the loop stops when it stops.
SoundManager.AddSFXSound(sfx.SOUND_SFX_MOVE_SHIP, "Sounds\\sailing.wav", false, true)

-- Sea battles: a ball that strikes the sea floor, and a ship going down.
SoundManager.AddSFXSound(sfx.SOUND_SFX_HIT_CANNON_GROUND, "Sounds\\cannon_02.wav", false)
SoundManager.AddSFXSound(sfx.SOUND_SFX_DESTROY_SHIP, "Sounds\\cannon_01.wav", false)
-- A ball striking a hull, or two ships ramming each other.
SoundManager.AddSFXSound(sfx.SOUND_SFX_HIT_HULL, "Sounds\\FX\\fx_cannon_hit_hull_01.wav", false)

-- Scene cannons, area-effect shells and boarding (heard where they happen).
SoundManager.AddSFXSound(sfx.SOUND_SFX_SHOOT_HUMAN_CANNON, "Sounds\\cannon_01.wav", false)
SoundManager.AddSFXSound(sfx.SOUND_SFX_CAPTURING_SHIP, "Sounds\\sailing.wav", false, true)
SoundManager.AddSFXSound(sfx.SOUND_SFX_HUMAN_CANNON_FLYING, "Sounds\\sailing.wav", false, true)
SoundManager.AddSFXSound(sfx.SOUND_SFX_HIT_HUMAN_CANNON, "Sounds\\cannon_02.wav", false)
SoundManager.AddSFXSound(sfx.SOUND_SFX_HIT_STINKBOMB, "Sounds\\cannon_02.wav", false)
SoundManager.AddSFXSound(sfx.SOUND_SFX_SHOOT_ROCKET, "Sounds\\cannon_01.wav", false)
SoundManager.AddSFXSound(sfx.SOUND_SFX_SHOOT_STINKBOMB, "Sounds\\cannon_02.wav", false)
-- Land combat: a building burning down.
SoundManager.AddSFXSound(sfx.SOUND_SFX_BUILDING_DESTROY, "Sounds\\cannon_01.wav", false)
-- Dropped special weapons at sea: a sea mine going off, a stink bomb bursting.
SoundManager.AddSFXSound(sfx.SOUND_SFX_EXPLODE_MINE, "Sounds\\FX\\fx_mine_explosion.wav", false)
SoundManager.AddSFXSound(sfx.SOUND_SFX_FART_BOMB, "Sounds\\FX\\fx_fart_bomb.wav", false)
-- Fired special weapons at sea: the harpoon's shot, a ship rocket's flight (the
-- rocket keeps it and lets it end) and its explosion.
SoundManager.AddSFXSound(sfx.SOUND_SFX_SHOOT_HARPOON, "Sounds\\FX\\fx_harpoon_shoot.wav", false)
SoundManager.AddSFXSound(sfx.SOUND_SFX_SHOOT_ROCKET_SHIP, "Sounds\\FX\\fx_rocket_ship_launch.wav", false)
SoundManager.AddSFXSound(sfx.SOUND_SFX_HIT_ROCKET, "Sounds\\FX\\rocket_grenade_explosion.wav", false)
-- A swig of rum from the land HUD: the captain's gulp, a woman's for Jolie.
SoundManager.AddSFXSound(sfx.SOUND_SFX_USE_GROG, "Sounds\\FX\\fx_use_grog.wav")
SoundManager.AddSFXSound(sfx.SOUND_SFX_USE_GROG_WOMAN, "Sounds\\FX\\fx_use_grog_woman.wav")
