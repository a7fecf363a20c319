// Outlines over chosen entities: a highlight set (objects under the cursor, the
// nearest town), an occlusion set (soldiers that show through walls) and a unit set
// (soldiers of units, with an active subset). Drawing comes with the renderer's
// shader techniques; the sets and colours are kept now.
#pragma once

#include "util/Singleton.h"

#include "engine/base/VCallback.h"
#include "engine/core/VisGame.h"

#include <cstdint>
#include <unordered_map>

class VEntityHighlightManager : public Singleton<VEntityHighlightManager>, public IVisCallbackHandler_cl {
 public:
  // Unit states of a registered soldier.
  enum { UNIT_STATE_NONE = 0, UNIT_STATE_ON = 1, UNIT_STATE_OFF = 3 };

  // Created on first use (GetInstance); listens to OnUnitRemoved of the game's event
  // bus, and forgets a destroyed entity in every set.
  // Leaves the callbacks, empties the sets and deletes the manager.
  static void Shutdown() { CleanInstance(); }

  // Colours are 0xAARRGGBB words.
  void AddHighlight(VisBaseEntity_cl* entity, uint32_t colour);
  void RemoveHighlight(VisBaseEntity_cl* entity);
  bool IsHighlighted(const VisBaseEntity_cl* entity) const { return m_highlights.Contains(entity); }
  void AddOcclusionHighlight(VisBaseEntity_cl* entity, uint32_t colour);
  bool IsOcclusionHighlighted(const VisBaseEntity_cl* entity) const { return m_occlusions.Contains(entity); }
  void AddUnitHighlight(VisBaseEntity_cl* soldier, uint32_t colour);
  void RemoveUnitHighlight(VisBaseEntity_cl* soldier);
  void ClearUnitHighlights();
  bool IsUnitRegistered(const VisBaseEntity_cl* soldier) const { return m_registeredUnits.Contains(soldier); }
  bool IsUnitActive(const VisBaseEntity_cl* soldier) const { return m_activeUnits.Contains(soldier); }
  int GetUnitState(const VisBaseEntity_cl* soldier) const;
  // Takes the entity out of all four sets (an entity leaving the scene).
  void RemoveFromAllSets(VisBaseEntity_cl* entity);
  uint32_t GetHighlightColour(const VisBaseEntity_cl* entity) const;
  uint32_t GetOcclusionColour(const VisBaseEntity_cl* entity) const;

  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

 private:
  friend class Singleton<VEntityHighlightManager>;
  VEntityHighlightManager();
  ~VEntityHighlightManager() override;

  VisEntityCollection_cl m_occlusions{16, 1024};
  VisEntityCollection_cl m_highlights{16, 1024};
  VisEntityCollection_cl m_registeredUnits{16, 1024};
  VisEntityCollection_cl m_activeUnits{16, 1024};
  std::unordered_map<const VisBaseEntity_cl*, uint32_t> m_highlightColours;
  std::unordered_map<const VisBaseEntity_cl*, uint32_t> m_occlusionColours;
  std::unordered_map<const VisBaseEntity_cl*, int> m_unitStates;
};
