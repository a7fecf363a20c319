// The sea radar: markers for entities and world positions, each shown by its own
// indicator frame at the target or pinned to the screen border.
#pragma once

#include "engine/base/VCallback.h"
#include "engine/base/VisMath.h"
#include "engine/base/VString.h"
#include "util/Singleton.h"

#include <vector>

class BaseEntity;
class FrameRadar;

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
  // Owned by GUIManager; the marker only points to it.
  FrameRadar* indicator = nullptr;
  int kind = TRACK_TARGET;
  float arrowRotation = 0.0f;
  // A unit's face (the image name gets "Mini" appended); empty for others.
  VString imageName;
  VString imageSet;
};

// The screen border both radars pin their markers to: the screen centre and the
// four corners of a rectangle in pixels (top-left, top-right, bottom-right,
// bottom-left).
struct RadarBorder {
  float width = 0.0f, height = 0.0f;
  float centreX = 0.0f, centreY = 0.0f;
  VisVector_cl corners[4];

  // The corners inset from the left/top by 'near' and from the right/bottom by 'far'
  // (negative values reach past the edge).
  void Set(float w, float h, float nearLeft, float nearTop, float farRight, float farBottom);
  // The point where the ray from the centre through (x, y) leaves the rectangle,
  // nearest to the centre; false when (x, y) lies inside (no edge is crossed before it).
  bool FindHit(float x, float y, float& hitX, float& hitY) const;
};

class RadarManager : public Singleton<RadarManager>, public IVisCallbackHandler_cl {
 public:
  // Inset of the indicators' border from every screen edge, in pixels.
  static constexpr float BORDER_INSET = 31.0f;

  ~RadarManager() override;

  // Starts tracking the entity with a new indicator. An entity tracked already keeps
  // its marker, except that an attack alert (4) replaces a selected-unit marker (3);
  // the alert plays the unit's "under attack" sound. Nothing without an indicator
  // (no GUI).
  void Add(BaseEntity* entity, int kind);
  // Stops tracking the entity (its first marker); nothing when it has none.
  void Remove(BaseEntity* entity);
  // A fixed world position as a target (kind 0); a position with equal x, y and z
  // is marked once.
  void Add(const VisVector_cl& position);
  // The first position marker with equal x, y and z.
  void Remove(const VisVector_cl& position);
  // Drops every marker and asks their indicators to go (a new mission is tracked,
  // or a game was loaded).
  void ResetTracking();
  // Forgets every marker's indicator without touching it (GUIManager destroys them).
  void ClearMarkers();
  // The nearest blueprint: the first one reported is tracked, the tracked one's
  // distance follows its reports, another takes over when nearer. Returns the
  // tracked distance (the reporter is the nearest when it equals its own); -1.0
  // for a null entity.
  float PollBlueprintDistance(BaseEntity* entity, float distance);
  const BaseEntity* GetNearestBlueprint() const { return m_pNearestBlueprint; }
  float GetNearestBlueprintDistance() const { return m_fNearestBlueprintDistance; }
  // A blueprint was collected: the search for the nearest starts afresh (none, 100000.0).
  void ResetNearestBlueprint();
  int GetNumMarkers() const { return (int)m_markers.size(); }
  // Null when out of range.
  const RadarMarker* GetMarker(int i) const {
    return i >= 0 && i < (int)m_markers.size() ? &m_markers[i] : nullptr;
  }
  const RadarMarker* FindMarker(const BaseEntity* entity) const;

  // Shows or hides every indicator and every land marker (hidden under the
  // loading screen).
  void SetAllVisible(bool visible);

  // A click on a unit indicator: the land camera follows that unit (when the scene
  // has a "CameraEntity").
  void UnitClickedToBeFollowed(FrameRadar* indicator);

  // The border geometry comes from the video mode at the next update; a change of
  // resolution asks for it again.
  bool IsScreenGeometryReady() const { return m_bGeometryReady; }
  void InvalidateScreenGeometry() { m_bGeometryReady = false; }
  const RadarBorder& GetBorder() const { return m_border; }

  // Places every indicator; nothing without a player entity.
  void Update();

  // A world point in screen pixels through the main camera. A point behind the
  // camera lands far outside the screen on its side, so that it is pinned to the
  // border like any other target off screen.
  static void ProjectToScreen(const VisVector_cl& point, float& x, float& y);

  // Per frame, engine de-initialisation and destroyed entities.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

 private:
  friend class Singleton<RadarManager>;
  RadarManager();
  // Sets the indicator's remove request and erases the marker.
  std::vector<RadarMarker>::iterator Erase(std::vector<RadarMarker>::iterator it);

  std::vector<RadarMarker> m_markers;
  RadarBorder m_border;
  bool m_bGeometryReady = false;
  float m_fPulsePhase = 0.0f;
  float m_fNearestBlueprintDistance = 100000.0f;
  BaseEntity* m_pNearestBlueprint = nullptr;
};
