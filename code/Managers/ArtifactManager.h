// Active artifacts and potions with their cool-down times: the combat code asks
// whether an item's effect is active and how strong it is.
#pragma once

class VArchive;

#include "util/Singleton.h"

#include "engine/base/VCallback.h"
#include "engine/base/VString.h"

#include <map>

class ArtifactManager : public Singleton<ArtifactManager>, public IVisCallbackHandler_cl {
 public:
  // A new campaign: every artifact and potion effect and cool-down ends, the ghost
  // counter and the button image are reset (the two full durations stay).
  void ResetForNewGame();
  ~ArtifactManager() override;

  // Remaining seconds (of an effect or a cool-down) and the effect's strength.
  struct Effect {
    float time = 0.0f;
    float effect = 0.0f;
  };

  // A duration of 0 or less makes a permanent artifact. A timed one replaces the
  // running one, starts its cool-down and shows its button image; while cooling
  // down it is refused. The flag stops the sea battle's attack on the player, the
  // seashell stuns enemies around the hero on land.
  void ActivateArtifact(int id, float duration, float effect, const char* buttonImage, float cooldown);
  // Replaces the running potion.
  void ActivatePotion(int id, float duration, float effect);
  // A timed artifact or potion while its time is above 0; a permanent artifact.
  bool IsActive(int id) const;
  // The effect from the timed artifacts, the potions, then the permanent ones; 1.0
  // (neutral) for an item that is in none.
  float GetEffect(int id) const;
  // The running timed artifact's / potion's remaining time, 0 when none runs.
  float GetTimeRemaining() const;
  float GetTimeRemainingPotion() const;
  // The running potion's id; 0 (none) when none runs.
  int GetActivePotionId() const;
  bool IsArtifactInCooldown(int id) const { return m_cooldowns.count(id) != 0; }
  // Its remaining cool-down; -1 when it has none.
  float GetArtifactCooldownTime(int id) const;
  // Ends a running invisibility potion at once (the player's hero attacked).
  void DisableInvisibility();
  // The item lands in the inventory as if picked up: a collectable made from the
  // game script's "GetAllCollectableScript" for the id, at the player, collected
  // at once. first and second go into its two values when both are 0 or more. An
  // id the game script has no script for is reported and gives nothing.
  void GiveArtifact(int id, int first, int second);

  // The ghost numbers handed out to scripts: 1..10000, then 0 again.
  int AssignGhost();
  int GetCurrentGhost() const { return m_iGhostCounter; }

  float GetPotionFullDuration() const { return m_fPotionFullDuration; }
  float GetArtifactFullDuration() const { return m_fArtifactFullDuration; }
  // 0 when not above 0.
  float GetGrogCooldown() const { return m_fGrogCooldown > 0.0f ? m_fGrogCooldown : 0.0f; }
  float GetToolCooldown() const { return m_fToolCooldown > 0.0f ? m_fToolCooldown : 0.0f; }
  void ResetGrogCooldown(float seconds) { m_fGrogCooldown = seconds; }
  void ResetToolCooldown(float seconds) { m_fToolCooldown = seconds; }
  const VString& GetActiveArtifactButtonImage() const { return m_sButtonImage; }

  // The running timed artifacts and potions (at most one each), ascending id.
  const std::map<int, Effect>& GetTimedArtifacts() const { return m_timed; }
  const std::map<int, Effect>& GetPotions() const { return m_potions; }

  // Per frame, unless paused: counts the timed artifact, the potion and the
  // cool-downs down and ends what has run out (at most one cool-down a frame; the
  // end of the mist potion lifts the mist from the player's ships), closes the
  // potion HUD when nothing ran or shows it over the current frame, and counts the
  // grog and tool cool-downs down (on below 0).
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  void Update(float dt);

  // Block: "ARCH", version 1, cool-downs, timed artifacts, potions, permanent
  // artifacts (each an int32 count of (id, time, effect)), grog and tool cool-down,
  // button image, potion and artifact full duration, "EOA". Both directions, the
  // archive's mode decides; a failed block keeps what the manager held.
  bool SerializeX(VArchive& ar);

 private:
  friend class Singleton<ArtifactManager>;
  ArtifactManager();

  // Enemies within the seashell's radius of the player's hero go dizzy, each with
  // even odds.
  void StunEnemiesAroundHero();
  // The mist potion ended: the player's ships lose the flag it set.
  void EndMist();

  int m_iGhostCounter = 0;
  std::map<int, Effect> m_timed;
  std::map<int, Effect> m_permanent;
  std::map<int, Effect> m_potions;
  std::map<int, Effect> m_cooldowns;
  float m_fPotionFullDuration = 0.0f;
  float m_fArtifactFullDuration = 0.0f;
  float m_fGrogCooldown = 0.0f;
  float m_fToolCooldown = 0.0f;
  VString m_sButtonImage;
};
