// The player's achievements and their progress values. Unlocked achievements and
// the values not tied to a campaign live in "achievements.bin" in the documents
// folder; the campaign-bound values travel in the saved game.
#pragma once

class VArchive;

#include "engine/base/VCallback.h"
#include "util/Singleton.h"

#include <map>
#include <string>

// Achievement identifiers are plain numbers; one names both an achievement and
// the progress value that leads to it.
typedef int BrinemarkAchievements;

// An achievement's state.
struct Achievement {
  virtual ~Achievement() = default;
  // Both directions, the archive's mode decides; false when the block is damaged
  // (the record then keeps its values).
  virtual bool SerializeX(VArchive& ar);

  int id = -1;
  bool unlocked = false;
};

// A progress value.
struct AchData {
  virtual ~AchData() = default;
  virtual bool SerializeX(VArchive& ar);

  int id = -1;
  float value = 0.0f;
  bool campaignBound = true;  // saved with the saved game, else with the achievements file
};

class AchievementManager : public Singleton<AchievementManager>, public IVisCallbackHandler_cl {
 public:
  ~AchievementManager() override;

  // Empties both maps and reads the achievements file.
  void Initialize();
  void DeInitialize();

  // Both run the rule pass afterwards.
  void SetValue(BrinemarkAchievements id, float value, bool campaignBound);
  void IncValue(BrinemarkAchievements id, float delta, bool campaignBound);
  // False when the value was never set.
  bool GetValue(BrinemarkAchievements id, float& value) const;
  // Unlocks once; no rule pass and no write: the unlock reaches the file with the
  // next write.
  void SetAchievement(BrinemarkAchievements id);
  bool IsUnlocked(BrinemarkAchievements id) const;
  // Unlocks what the progress values have reached (and the achievement for having
  // read every bottle joke); the file is written when that unlocked anything new.
  void CheckAchievements();
  // Something was unlocked by the last rule pass or by SetAchievement since.
  bool HasChanged() const { return m_bChanged; }

  // <documents>/Fenwold/Brinemark/achievements.bin. Load: false for a missing or
  // invalid file, which changes nothing; a damaged one changes nothing either.
  bool LoadAchievements();
  bool SaveAchievements();
  static bool GetAchievementsFilePath(std::string& out);
  // The world unloads: the file is written.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  // The block of the saved game: the campaign-bound values. Both directions, the
  // archive's mode decides. Reading replaces the campaign-bound values only; a
  // failed block keeps what the manager held.
  virtual bool SerializeX(VArchive& ar);

 private:
  friend class Singleton<AchievementManager>;
  AchievementManager();

  std::map<int, AchData> m_values;
  std::map<int, Achievement> m_achievements;
  bool m_bChanged = false;
};
