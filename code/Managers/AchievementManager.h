// The player's achievements and their progress values.
#pragma once

class VArchive;

#include "util/Singleton.h"

#include <map>
#include <set>

// Achievement identifiers are plain numbers; one names both an achievement and
// the progress value that leads to it.
typedef int BrinemarkAchievements;

// A progress value.
struct AchData {
  int id = -1;
  float value = 0.0f;
  bool campaignBound = true;  // saved with the saved game, else with the achievements file
};

class AchievementManager : public Singleton<AchievementManager> {
 public:
  virtual ~AchievementManager();

  // Both run the rule pass afterwards.
  void SetValue(BrinemarkAchievements id, float value, bool campaignBound);
  void IncValue(BrinemarkAchievements id, float delta, bool campaignBound);
  // False when the value was never set.
  bool GetValue(BrinemarkAchievements id, float& value) const;
  // Unlocks once; no rule pass.
  void SetAchievement(BrinemarkAchievements id);
  bool IsUnlocked(BrinemarkAchievements id) const { return m_unlocked.count(id) != 0; }
  // Unlocks what the progress values have reached (and the achievement for having
  // read every bottle joke); changed tells whether any rule held.
  void CheckAchievements();
  bool HasChanged() const { return m_bChanged; }

  // The block of the saved game; both directions, the archive's mode decides. A
  // failed block keeps what the manager held.
  virtual bool SerializeX(VArchive& ar);

 private:
  friend class Singleton<AchievementManager>;
  AchievementManager() = default;

  std::map<int, AchData> m_values;
  std::set<int> m_unlocked;
  bool m_bChanged = false;
};
