// Active artifacts and potions with their cool-down times: the combat code asks
// whether an item's effect is active and how strong it is.
#pragma once

class VArchive;

#include "util/Singleton.h"

#include "engine/base/VCallback.h"

#include <map>

class ArtifactManager : public Singleton<ArtifactManager>, public IVisCallbackHandler_cl {
 public:
  // A new campaign: every artifact and potion effect ends.
  void ResetForNewGame();
  ~ArtifactManager() override;

  // Remaining seconds (of an effect or a cool-down) and the effect's strength.
  struct Effect {
    float time = 0.0f;
    float effect = 0.0f;
  };

  // A duration of 0 or less makes a permanent artifact. A timed one replaces the
  // running one and starts its cool-down; while cooling down it is refused.
  void ActivateArtifact(int id, float duration, float effect, float cooldown);
  // Replaces the running potion.
  void ActivatePotion(int id, float duration, float effect);
  // A timed artifact or potion while its time is above 0; a permanent artifact.
  bool IsActive(int id) const;
  // The effect from the timed artifacts, the potions, then the permanent ones; 1.0
  // (neutral) for an item that is in none.
  float GetEffect(int id) const;
  bool IsArtifactInCooldown(int id) const { return m_cooldowns.count(id) != 0; }
  // Ends a running invisibility potion at once (the player's hero attacked).
  void DisableInvisibility();

  // Per frame, unless paused: counts the timed artifact, the potion and the
  // cool-downs down and ends what has run out (at most one cool-down a frame).
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  void Update(float dt);

  // The block of the saved game; both directions, the archive's mode decides. A
  // failed block keeps what the manager held.
  bool SerializeX(VArchive& ar);

 private:
  friend class Singleton<ArtifactManager>;
  ArtifactManager();

  std::map<int, Effect> m_timed;
  std::map<int, Effect> m_permanent;
  std::map<int, Effect> m_potions;
  std::map<int, Effect> m_cooldowns;
};
