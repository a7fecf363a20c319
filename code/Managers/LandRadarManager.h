// Markers on the screen border for script-chosen entities on land: each is an
// engine screen mask with the texture the script names, shown only while its
// entity is off screen. Also keeps a saved list through the saved game.
#pragma once

#include "Managers/RadarManager.h"

#include "engine/base/VRefCounter.h"
#include "engine/base/VisMath.h"
#include "engine/render/VisScreenMask.h"
#include "util/Singleton.h"

#include <cstdint>
#include <vector>

class VArchive;
class VisBaseEntity_cl;

struct LandRadarMarker {
  // Where a hidden mask rests.
  VisVector_cl position{0, 0, 0, 1};
  VisBaseEntity_cl* entity = nullptr;
  VSmartPtr<VisScreenMask_cl> mask;
};

class LandRadarManager : public Singleton<LandRadarManager> {
 public:
  // Drawn over the scene's other masks.
  static constexpr int MASK_ORDER = 80;

  virtual ~LandRadarManager() = default;

  // A new marker with the texture; nothing for a missing entity or name, or an
  // entity marked already (its first texture stays).
  void Add(VisBaseEntity_cl* entity, const char* texture);
  // The entity's marker and its mask go; nothing when it has none.
  void Remove(VisBaseEntity_cl* entity);
  // Shows or hides every mask (hidden under the loading screen).
  void SetAllVisible(bool visible);
  // Places every mask; nothing without a player entity. The border follows the
  // video mode every time.
  void Update();

  int GetNumMarkers() const { return (int)m_markers.size(); }
  const LandRadarMarker* GetMarker(int i) const {
    return i >= 0 && i < (int)m_markers.size() ? &m_markers[i] : nullptr;
  }
  const LandRadarMarker* FindMarker(const VisBaseEntity_cl* entity) const;
  float GetMarkerWidth() const { return m_fMarkerWidth; }
  const RadarBorder& GetBorder() const { return m_border; }

  // Kept through the saved game unchanged.
  std::vector<int32_t>& GetSavedList() { return m_savedList; }

  // Both directions; the archive's mode decides. A failed block keeps the list.
  bool SerializeX(VArchive& ar);

 private:
  friend class Singleton<LandRadarManager>;
  LandRadarManager() = default;

  std::vector<LandRadarMarker> m_markers;
  std::vector<int32_t> m_savedList;
  float m_fMarkerWidth = 0.0f;
  RadarBorder m_border;
};
