// The "SoundManager" script table: the sound scripts define unit and effect sounds
// and the music, and scripts play and stop sounds and choose tracks.
#include "Managers/MusicManager.h"
#include "Managers/SoundManager.h"
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"

#include <iterator>

namespace {

const char* const kExpectText = "Expected const char*";

const char* const kSoundTypes[] = {
    "SOUND_NONE",     "SOUND_ACTIVATE", "SOUND_ORDER",    "SOUND_NEGATIVE", "SOUND_UNDER_ATTACK",
    "SOUND_ATTACK",   "SOUND_DESTROY",  "SOUND_UNIT_READY", "SOUND_DEATH",  "SOUND_WEAPON_0",
    "SOUND_WEAPON_1", "SOUND_WEAPON_2", "SOUND_WEAPON_3", "SOUND_WEAPON_4",
};

const char* const kSFXTypes[] = {
    "SOUND_SFX_NONE",
    "SOUND_SFX_SHOOT_CANNON",
    "SOUND_SFX_SHOOT_HUMAN_CANNON",
    "SOUND_SFX_SHOOT_HARPOON",
    "SOUND_SFX_SHOOT_ROCKET_SHIP",
    "SOUND_SFX_SHOOT_ROCKET",
    "SOUND_SFX_SHOOT_RIFLE",
    "SOUND_SFX_USE_GROG",
    "SOUND_SFX_ACTIVATE_BARRACKS_ADVANCED",
    "SOUND_SFX_ACTIVATE_BARRACKS_BASIC",
    "SOUND_SFX_HIT_CLUB",
    "SOUND_SFX_INTERFACE_CLICK",
    "SOUND_SFX_CAPTURING_SHIP",
    "SOUND_SFX_DOLPHINS",
    "SOUND_SFX_BUILDING_DESTROY",
    "SOUND_SFX_HUMAN_CANNON_FLYING",
    "SOUND_SFX_HIT_HUMAN_CANNON",
    "SOUND_SFX_MERMAID",
    "SOUND_SFX_MONKEY",
    "SOUND_SFX_PICKUP_GROG",
    "SOUND_SFX_PICKUP_MONEY",
    "SOUND_SFX_PICKUP_TOOLBOX",
    "SOUND_SFX_ACTIVATE_MANSION",
    "SOUND_SFX_SHOOT_PISTOL",
    "SOUND_SFX_REPAIR_SHIP",
    "SOUND_SFX_TRANSPORT_LOOT",
    "SOUND_SFX_DESTROY_SHIP",
    "SOUND_SFX_ACTIVATE_SHIPYARD",
    "SOUND_SFX_HIT_CANNON_SHIP",
    "SOUND_SFX_HIT_SWORD",
    "SOUND_SFX_HIT_STINKBOMB",
    "SOUND_SFX_ACTIVATE_BARRACKS_SPECIAL",
    "SOUND_SFX_ACTIVATE_TAVERN",
    "SOUND_SFX_LEVELUP",
    "SOUND_SFX_HIT_CANNON_GROUND",
    "SOUND_SFX_HIT_CANNON_GROUND_SMALL",
    "SOUND_SFX_HIT_CANNON_WATER",
    "SOUND_SFX_WHALE",
    "SOUND_SFX_HIT_FISTS_GROUND",
    "SOUND_SFX_HIT_FISTS",
    "SOUND_SFX_FART_BOMB",
    "SOUND_SFX_KRAKEN_IDLE",
    "SOUND_SFX_KRAKEN_TAKEHIT",
    "SOUND_SFX_KRAKEN_DIE",
    "SOUND_SFX_HIT_SWORD_LIEUTENANT",
    "SOUND_SFX_EXPLODE_MINE",
    "SOUND_SFX_SHOOT_STINKBOMB",
    "SOUND_SFX_EXPLOSION",
    "SOUND_SFX_SHOOT_MORTAR",
    "SOUND_SFX_HIT_ROCKET",
    "SOUND_SFX_HIT_HULL",
    "SOUND_SFX_MISSION_ACCEPTED",
    "SOUND_SFX_HIT_KRAKEN",
    "SOUND_SFX_CURTAINS",
    "SOUND_SFX_SEAGULLS",
    "SOUND_SFX_MOVE_SHIP",
    "SOUND_SFX_PICKUP_COLLECTABLE",
    "SOUND_SFX_JOKE",
    "SOUND_SFX_BUY",
    "SOUND_SFX_INSERT_COIN",
    "SOUND_SFX_HARHAR",
    "SOUND_SFX_CONFUSED",
    "SOUND_SFX_USE_GROG_WOMAN",
};

static_assert(std::size(kSoundTypes) == SOUND_TYPE_COUNT);
static_assert(std::size(kSFXTypes) == SOUND_SFX_COUNT);

// A sound object's proxy, or no result at all.
int PushSound(lua_State* L, VSoundObject* obj) { return obj ? ScriptArgs::PushObject(L, obj) : 0; }

int AddSound(lua_State* L) {
  const int type = ScriptArgs::CheckInt(L, 1);
  const int sound = ScriptArgs::CheckInt(L, 2);
  const char* file = ScriptArgs::CheckString(L, 3, kExpectText);
  const bool is2D = ScriptArgs::OptBool(L, 4, false);
  SoundManager::GetInstance()->AddSound((UnitType)type, (SoundTypes)sound, VString(file), is2D);
  return 0;
}

int PlaySound(lua_State* L) {
  const int type = ScriptArgs::CheckInt(L, 1);
  const int sound = ScriptArgs::CheckInt(L, 2);
  return PushSound(L, SoundManager::GetInstance()->PlaySoundA((UnitType)type, (SoundTypes)sound, 1.0f,
                                                              VisVector_cl(0.0f, 0.0f, 0.0f), 400.0f, 0.0f));
}

// One table of both enumerations (their numbers overlap); the names also become
// global numbers, so scripts may write either SOUND_ORDER or e.SOUND_ORDER.
int GetEnums(lua_State* L) {
  lua_createtable(L, 0, (int)(std::size(kSoundTypes) + std::size(kSFXTypes)));
  auto add = [L](const char* const* names, int count) {
    for (int i = 0; i < count; ++i) {
      lua_pushnumber(L, (lua_Number)i);
      lua_pushvalue(L, -1);
      lua_setglobal(L, names[i]);
      lua_setfield(L, -2, names[i]);
    }
  };
  add(kSoundTypes, (int)std::size(kSoundTypes));
  add(kSFXTypes, (int)std::size(kSFXTypes));
  return 1;
}

int AddSFXSound(lua_State* L) {
  const int type = ScriptArgs::CheckInt(L, 1);
  const char* file = ScriptArgs::CheckString(L, 2, kExpectText);
  const bool is2D = ScriptArgs::OptBool(L, 3, true);
  const bool looped = ScriptArgs::OptBool(L, 4, false);
  const float interval = ScriptArgs::OptFloat(L, 5, -100.0f);
  SoundManager::GetInstance()->AddSFXSound((SFXTypes)type, file, is2D, looped, interval);
  return 0;
}

int PlaySFXSound(lua_State* L) {
  const int type = ScriptArgs::CheckInt(L, 1);
  const float volume = ScriptArgs::OptFloat(L, 2, 1.0f);
  const VisVector_cl position = ScriptArgs::OptVector(L, 3, VisVector_cl(0.0f, 0.0f, 0.0f));
  const float fadeNear = ScriptArgs::OptFloat(L, 4, 0.0f);
  const float fadeFar = ScriptArgs::OptFloat(L, 5, 400.0f);
  const bool flag = ScriptArgs::OptBool(L, 6, false);
  return PushSound(L, SoundManager::GetInstance()->PlaySFXSound((SFXTypes)type, volume, position, fadeNear, fadeFar,
                                                                flag));
}

int StopSFXSound(lua_State* L) {
  const int type = ScriptArgs::CheckInt(L, 1);
  SoundManager::GetInstance()->StopSFXSound((SFXTypes)type, true);
  return 0;
}

// The named tracks and both playlists take a name and an optional volume.
template <void (MusicManager::*Set)(const char*, float)>
int TrackWithVolume(lua_State* L) {
  const char* name = ScriptArgs::CheckString(L, 1, kExpectText);
  const float volume = ScriptArgs::OptFloat(L, 2, 1.0f);
  (MusicManager::GetInstance()->*Set)(name, volume);
  return 0;
}

int ClearMusic(lua_State*) {
  MusicManager::GetInstance()->ClearMusic();
  return 0;
}

int ClearBattleMusic(lua_State*) {
  MusicManager::GetInstance()->ClearBattleMusic();
  return 0;
}

int PlayMusic(lua_State* L) {
  const char* name = ScriptArgs::CheckString(L, 1, kExpectText);
  const float volume = ScriptArgs::OptFloat(L, 2, 1.0f);
  const float fadeIn = ScriptArgs::OptFloat(L, 3, 0.0f);
  const float fadeOut = ScriptArgs::OptFloat(L, 4, 0.5f);
  MusicManager::GetInstance()->Play(VHashString(name), volume, fadeIn, fadeOut);
  return 0;
}

int StartRandomMusic(lua_State*) {
  MusicManager::GetInstance()->StartRandomMusic(false);
  return 0;
}

int SetSilenceBetweenTracks(lua_State* L) {
  const float seconds = ScriptArgs::CheckFloat(L, 1);
  MusicManager::GetInstance()->SetSilenceBetweenTracks(seconds);
  return 0;
}

int PauseMusic(lua_State* L) {
  const bool paused = ScriptArgs::CheckBool(L, 1);
  MusicManager::GetInstance()->SetPaused(paused);
  return 0;
}

}  // namespace

const luaL_Reg SoundManager_methods[] = {
    {"AddSound", AddSound},
    {"PlaySound", PlaySound},
    {"GetEnums", GetEnums},
    {"AddSFXSound", AddSFXSound},
    {"PlaySFXSound", PlaySFXSound},
    {"StopSFXSound", StopSFXSound},
    {"SetMenuMusic", TrackWithVolume<&MusicManager::SetMenuMusic>},
    {"SetCreditsMusic", TrackWithVolume<&MusicManager::SetCreditsMusic>},
    {"SetConversationMusic", TrackWithVolume<&MusicManager::SetConversationMusic>},
    {"AddBattleMusic", TrackWithVolume<&MusicManager::AddBattleMusic>},
    {"ClearMusic", ClearMusic},
    {"ClearBattleMusic", ClearBattleMusic},
    {"AddMusic", TrackWithVolume<&MusicManager::AddMusic>},
    {"PlayMusic", PlayMusic},
    {"StartRandomMusic", StartRandomMusic},
    {"SetSilenceBetweenTracks", SetSilenceBetweenTracks},
    {"PauseMusic", PauseMusic},
    {nullptr, nullptr},
};

void RegisterSoundManagerWrapper(lua_State* L) {
  luaL_register(L, "SoundManager", SoundManager_methods);
  lua_pop(L, 1);
}
