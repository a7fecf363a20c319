// The sea radar: markers for entities and world positions, each shown by its own
// indicator frame at the target or pinned to the screen border.
#pragma once

#include "engine/base/VCallback.h"
#include "engine/base/VisMath.h"
#include "util/Singleton.h"

#include <vector>

class BaseEntity;

// The look of a marker's indicator.
enum TrackIndicatorType {
  TRACK_TARGET = 0,
  TRACK_TARGET_ON_SCREEN = 1,
  TRACK_BLUEPRINT = 2,
  TRACK_SELECTED_UNIT = 3,
  TRACK_UNIT_UNDER_ATTACK = 4,
  TRACK_NONE = 5
};

// One tracked target: an entity, or a fixed position when the entity is null.
struct RadarMarker {
  VisVector_cl position{0, 0, 0, 1};
  BaseEntity* entity = nullptr;
  int kind = TRACK_TARGET;
  float arrowRotation = 0.0f;
};

class RadarManager : public Singleton<RadarManager>, public IVisCallbackHandler_cl {
 public:
  ~RadarManager() override;

  // Starts tracking the entity. An entity tracked already keeps its marker, except
  // that an attack alert (4) replaces a selected-unit marker (3); the alert plays the
  // unit's "under attack" sound.
  void Add(BaseEntity* entity, int kind);
  // Stops tracking the entity (its first marker); nothing when it has none.
  void Remove(BaseEntity* entity);
  // A fixed world position as a target (kind 0); a position with equal x, y and z
  // is marked once.
  void Add(const VisVector_cl& position);
  // The first position marker with equal x, y and z.
  void Remove(const VisVector_cl& position);
  // Drops every marker (a new mission is tracked, or a game was loaded).
  void ResetTracking();
  // The nearest blueprint: the first one reported is tracked, the tracked one's
  // distance follows its reports, another takes over when nearer. Returns the
  // tracked distance (the reporter is the nearest when it equals its own); -1.0
  // for a null entity.
  float PollBlueprintDistance(BaseEntity* entity, float distance);
  const BaseEntity* GetNearestBlueprint() const { return m_pNearestBlueprint; }
  // A blueprint was collected: the search for the nearest starts afresh (none, 100000.0).
  void ResetNearestBlueprint();
  int GetNumMarkers() const { return (int)m_markers.size(); }
  // Null when out of range.
  const RadarMarker* GetMarker(int i) const {
    return i >= 0 && i < (int)m_markers.size() ? &m_markers[i] : nullptr;
  }
  const RadarMarker* FindMarker(const BaseEntity* entity) const;

  // Shows or hides every indicator (hidden under the loading screen).
  void SetAllVisible(bool visible);

  // The border geometry comes from the video mode at the next update; a change of
  // resolution asks for it again.
  bool IsScreenGeometryReady() const { return m_bGeometryReady; }
  void InvalidateScreenGeometry() { m_bGeometryReady = false; }

  // Per frame, engine de-initialisation and destroyed entities.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

 private:
  friend class Singleton<RadarManager>;
  RadarManager();

  std::vector<RadarMarker> m_markers;
  bool m_bGeometryReady = false;
  float m_fNearestBlueprintDistance = 100000.0f;
  BaseEntity* m_pNearestBlueprint = nullptr;
};
