// Markers on the screen border for script-chosen entities on land. What the
// saved game needs of it is here: the saved list and its block.
#pragma once

#include "util/Singleton.h"

#include <cstdint>
#include <vector>

class VArchive;

class LandRadarManager : public Singleton<LandRadarManager> {
 public:
  virtual ~LandRadarManager() = default;

  // Kept through the saved game unchanged.
  std::vector<int32_t>& GetSavedList() { return m_savedList; }

  // Both directions; the archive's mode decides. A failed block keeps the list.
  bool SerializeX(VArchive& ar);

 private:
  friend class Singleton<LandRadarManager>;
  LandRadarManager() = default;

  std::vector<int32_t> m_savedList;
};
