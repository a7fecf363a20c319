// Sound effects, unit voices and the sounds a scene brings: pools of variants,
// repeat limits, the volume factors every sound is scaled by and their pause.
#pragma once

#include "Managers/SoundEntry.h"
#include "entities/UnitType.h"

#include "engine/base/VCallback.h"
#include "engine/base/VisMath.h"
#include "util/Singleton.h"

#include <map>
#include <vector>

class VSoundObject;

// Unit sounds, by the numbers the scripts use. 1 to 8 are voices (speech volume).
enum SoundTypes {
  SOUND_NONE = 0,
  SOUND_ACTIVATE = 1,
  SOUND_ORDER = 2,
  SOUND_NEGATIVE = 3,
  SOUND_UNDER_ATTACK = 4,
  SOUND_ATTACK = 5,
  SOUND_DESTROY = 6,
  SOUND_UNIT_READY = 7,
  SOUND_DEATH = 8,
  SOUND_WEAPON_0 = 9,
  SOUND_WEAPON_1 = 10,
  SOUND_WEAPON_2 = 11,
  SOUND_WEAPON_3 = 12,
  SOUND_WEAPON_4 = 13,
  SOUND_TYPE_COUNT = 14
};

// Effect sounds, by the numbers the scripts use.
enum SFXTypes {
  SOUND_SFX_NONE = 0,
  SOUND_SFX_SHOOT_CANNON = 1,
  SOUND_SFX_SHOOT_HUMAN_CANNON = 2,
  SOUND_SFX_SHOOT_HARPOON = 3,
  SOUND_SFX_SHOOT_ROCKET_SHIP = 4,
  SOUND_SFX_SHOOT_ROCKET = 5,
  SOUND_SFX_SHOOT_RIFLE = 6,
  SOUND_SFX_USE_GROG = 7,
  SOUND_SFX_ACTIVATE_BARRACKS_ADVANCED = 8,
  SOUND_SFX_ACTIVATE_BARRACKS_BASIC = 9,
  SOUND_SFX_HIT_CLUB = 10,
  SOUND_SFX_INTERFACE_CLICK = 11,
  SOUND_SFX_CAPTURING_SHIP = 12,
  SOUND_SFX_DOLPHINS = 13,
  SOUND_SFX_BUILDING_DESTROY = 14,
  SOUND_SFX_HUMAN_CANNON_FLYING = 15,
  SOUND_SFX_HIT_HUMAN_CANNON = 16,
  SOUND_SFX_MERMAID = 17,
  SOUND_SFX_MONKEY = 18,
  SOUND_SFX_PICKUP_GROG = 19,
  SOUND_SFX_PICKUP_MONEY = 20,
  SOUND_SFX_PICKUP_TOOLBOX = 21,
  SOUND_SFX_ACTIVATE_MANSION = 22,
  SOUND_SFX_SHOOT_PISTOL = 23,
  SOUND_SFX_REPAIR_SHIP = 24,
  SOUND_SFX_TRANSPORT_LOOT = 25,
  SOUND_SFX_DESTROY_SHIP = 26,
  SOUND_SFX_ACTIVATE_SHIPYARD = 27,
  SOUND_SFX_HIT_CANNON_SHIP = 28,
  SOUND_SFX_HIT_SWORD = 29,
  SOUND_SFX_HIT_STINKBOMB = 30,
  SOUND_SFX_ACTIVATE_BARRACKS_SPECIAL = 31,
  SOUND_SFX_ACTIVATE_TAVERN = 32,
  SOUND_SFX_LEVELUP = 33,
  SOUND_SFX_HIT_CANNON_GROUND = 34,
  SOUND_SFX_HIT_CANNON_GROUND_SMALL = 35,
  SOUND_SFX_HIT_CANNON_WATER = 36,
  SOUND_SFX_WHALE = 37,
  SOUND_SFX_HIT_FISTS_GROUND = 38,
  SOUND_SFX_HIT_FISTS = 39,
  SOUND_SFX_FART_BOMB = 40,
  SOUND_SFX_KRAKEN_IDLE = 41,
  SOUND_SFX_KRAKEN_TAKEHIT = 42,
  SOUND_SFX_KRAKEN_DIE = 43,
  SOUND_SFX_HIT_SWORD_LIEUTENANT = 44,
  SOUND_SFX_EXPLODE_MINE = 45,
  SOUND_SFX_SHOOT_STINKBOMB = 46,
  SOUND_SFX_EXPLOSION = 47,
  SOUND_SFX_SHOOT_MORTAR = 48,
  SOUND_SFX_HIT_ROCKET = 49,
  SOUND_SFX_HIT_HULL = 50,
  SOUND_SFX_MISSION_ACCEPTED = 51,
  SOUND_SFX_HIT_KRAKEN = 52,
  SOUND_SFX_CURTAINS = 53,
  SOUND_SFX_SEAGULLS = 54,
  SOUND_SFX_MOVE_SHIP = 55,
  SOUND_SFX_PICKUP_COLLECTABLE = 56,
  SOUND_SFX_JOKE = 57,
  SOUND_SFX_BUY = 58,
  SOUND_SFX_INSERT_COIN = 59,
  SOUND_SFX_HARHAR = 60,
  SOUND_SFX_CONFUSED = 61,
  SOUND_SFX_USE_GROG_WOMAN = 62,
  SOUND_SFX_COUNT = 63
};

class SoundManager : public Singleton<SoundManager>, public IVisCallbackHandler_cl {
 public:
  // Runs ResetSceneSounds and frees the scene sounds, effects and pools.
  ~SoundManager() override;

  // Definitions (from the sound scripts). Each file's resource is loaded at once.
  // AddSound appends a variant to the pool of (type, sound), whose next play then
  // takes the first variant; always true.
  bool AddSound(UnitType type, SoundTypes sound, const VString& file, bool is2D);
  void AddSFXSound(SFXTypes type, const char* file, bool is2D, bool looped, float minRepeatInterval);
  // Variants of the pair; 0 when there are none.
  unsigned GetPoolSize(UnitType type, SoundTypes sound) const;

  // Plays the pool's next variant, then moves to another one at random. Not kept by
  // the manager; null when nothing played.
  VSoundObject* PlaySound(UnitType type, SoundTypes sound, float volume, const VisVector_cl& position, float fadeFar,
                          float fadeNear);
  // The name the ship, unit and player code call it by.
  VSoundObject* PlaySoundA(UnitType type, SoundTypes sound, float volume, const VisVector_cl& position, float fadeFar,
                           float fadeNear) {
    return PlaySound(type, sound, volume, position, fadeFar, fadeNear);
  }
  // Plays a random variant of the effect; null when nothing was played (an effect
  // without sound files, or one still within its repeat interval). fadeNear and
  // fadeFar are the 3D fade distances; the flag has no effect.
  VSoundObject* PlaySFXSound(SFXTypes type, float volume, const VisVector_cl& position, float fadeNear, float fadeFar,
                             bool unusedFlag);
  // Stops the kept instances of a looped effect. With fade they fade out over 1 s:
  // repeat the call every frame until IsSFXPlaying turns false.
  void StopSFXSound(SFXTypes type, bool fade);
  bool IsSFXPlaying(SFXTypes type) const;

  // Stored and handed to the sound plug-in's global master volume.
  void SetMasterVolume(float volume);
  float GetMasterVolume() const { return m_fMasterVolume; }
  // Stored, then the volumes are re-applied.
  void SetFXVolume(float volume);
  float GetFXVolume() const { return m_fFXVolume; }
  // Forwarded to MusicManager and SpeechManager (created when needed).
  void SetMusicVolume(float volume);
  float GetMusicVolume();
  void SetSpeechVolume(float volume);
  float GetSpeechVolume();
  // true: 0.25 while at 1.0; false: 1.0 while below; each change re-applies the volumes.
  void SetConversation(bool inConversation);
  float GetConversationFactor() const { return m_fConversationFactor; }
  // Fades the scene sounds and kept effect instances to effect volume x base volume
  // (at most 1) x conversation factor over 2 s.
  void UpdateVolumes();

  void SetPaused(bool paused);
  bool IsPaused() const { return m_bPaused; }

  // Stops and forgets the scene's sounds (before a scene is left).
  void ResetSceneSounds();
  // Starts the scene sounds that do not play.
  void PlaySceneSounds();
  int GetSceneSoundCount() const { return (int)m_sceneSounds.size(); }
  VSoundObject* GetSceneSound(int i) const { return m_sceneSounds[i].GetPtr(); }
  // After a scene load: collects the scene's sounds and resets the effects.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  // The base volume an instance was started with; unset (0) takes its volume now.
  static float GetBaseVolume(VSoundObject* obj);

 private:
  friend class Singleton<SoundManager>;
  SoundManager();

  float m_fMasterVolume = 1.0f;
  float m_fFXVolume = 1.0f;
  float m_fConversationFactor = 1.0f;
  bool m_bPaused = false;
  // The variants of one unit sound and the one its next play takes.
  struct Pool {
    std::vector<SoundEntry> variants;
    int next = 0;
  };
  std::map<UnitType, std::map<SoundTypes, Pool>> m_unitPools;
  std::map<SFXTypes, std::vector<SoundEntry>> m_effects;
  std::vector<VSmartPtr<VSoundObject>> m_sceneSounds;
};
