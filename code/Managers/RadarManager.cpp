// The sea radar and its markers.
#include "Managers/RadarManager.h"

#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "entities/UnitEntity.h"
#include "gui/FrameRadar.h"
#include "gui/GUIManager.h"
#include "Managers/LandRadarManager.h"
#include "Managers/SoundManager.h"

#include "engine/Vision.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisRenderContext.h"

#include <algorithm>
#include <cmath>

namespace {
const float kPi = 3.14159265358979f;
const float kPulseWrap = 6.283f;
const float kNoBlueprint = 100000.0f;
// A point behind the camera is pushed this far out along its side.
const float kBehindDistance = 1.0e6f;

bool SamePlace(const VisVector_cl& a, const VisVector_cl& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

void VideoSize(float& w, float& h) {
  w = (float)std::max(0, VVideo::GetCurrentWidth());
  h = (float)std::max(0, VVideo::GetCurrentHeight());
}
}  // namespace

// ---------------------------------------------------------------------------
// Border geometry

void RadarBorder::Set(float w, float h, float nearLeft, float nearTop, float farRight, float farBottom) {
  width = w;
  height = h;
  centreX = w * 0.5f;
  centreY = h * 0.5f;
  corners[0] = VisVector_cl(nearLeft, nearTop, 0, 1);
  corners[1] = VisVector_cl(w - farRight, nearTop, 0, 1);
  corners[2] = VisVector_cl(w - farRight, h - farBottom, 0, 1);
  corners[3] = VisVector_cl(nearLeft, h - farBottom, 0, 1);
}

bool RadarBorder::FindHit(float x, float y, float& hitX, float& hitY) const {
  const float dx = x - centreX, dy = y - centreY;
  float best = dx * dx + dy * dy;
  bool found = false;
  for (int i = 0; i < 4; ++i) {
    const VisVector_cl& a = corners[i];
    const VisVector_cl& b = corners[(i + 1) % 4];
    const float ex = b.x - a.x, ey = b.y - a.y;
    // centre + t * d == a + s * e
    const float denominator = dx * ey - dy * ex;
    if (denominator == 0.0f) continue;
    const float ax = a.x - centreX, ay = a.y - centreY;
    const float t = (ax * ey - ay * ex) / denominator;
    const float s = (ax * dy - ay * dx) / denominator;
    if (t < 0.0f || s < 0.0f) continue;
    const float px = centreX + t * dx, py = centreY + t * dy;
    const float distance = (px - centreX) * (px - centreX) + (py - centreY) * (py - centreY);
    if (distance >= best) continue;
    best = distance;
    hitX = px;
    hitY = py;
    found = true;
  }
  return found;
}

// ---------------------------------------------------------------------------
// Life cycle

RadarManager::RadarManager() {
  Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  Vision::Callbacks.OnEngineDeInit.RegisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
}

RadarManager::~RadarManager() {
  m_markers.clear();
  Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  Vision::Callbacks.OnEngineDeInit.DeregisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
  LandRadarManager::CleanInstance();
}

void RadarManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data) return;
  if (data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) {
    Update();
    if (LandRadarManager::HasInstance()) LandRadarManager::GetInstance()->Update();
  } else if (data->m_pSender == &Vision::Callbacks.OnEngineDeInit) {
    ClearMarkers();
    m_markers.clear();
  } else if (data->m_pSender == &GameManager::Callbacks.OnEntityDestroyed) {
    VisBaseEntity_cl* gone = static_cast<BaseEntityDataObject*>(data)->m_pEntity;
    if (!gone) return;
    // A blueprint destroyed without being collected no longer counts as the nearest.
    if (m_pNearestBlueprint && static_cast<VisBaseEntity_cl*>(m_pNearestBlueprint) == gone) ResetNearestBlueprint();
    for (auto it = m_markers.begin(); it != m_markers.end();) {
      if (it->entity && static_cast<VisBaseEntity_cl*>(it->entity) == gone)
        it = Erase(it);
      else
        ++it;
    }
    if (LandRadarManager::HasInstance()) LandRadarManager::GetInstance()->Remove(gone);
  }
}

// ---------------------------------------------------------------------------
// Markers

const RadarMarker* RadarManager::FindMarker(const BaseEntity* entity) const {
  for (const RadarMarker& marker : m_markers)
    if (marker.entity == entity) return &marker;
  return nullptr;
}

std::vector<RadarMarker>::iterator RadarManager::Erase(std::vector<RadarMarker>::iterator it) {
  if (it->indicator) it->indicator->SetRemoveRequest(true);
  return m_markers.erase(it);
}

void RadarManager::Add(BaseEntity* entity, int kind) {
  if (!entity) return;
  if (const RadarMarker* existing = FindMarker(entity)) {
    if (!(kind == TRACK_UNIT_UNDER_ATTACK && existing->kind == TRACK_SELECTED_UNIT)) return;
    Remove(entity);
  }
  FrameRadar* indicator =
      GUIManager::HasInstance() ? GUIManager::GetInstance()->ShowRadarIndicator((TrackIndicatorType)kind) : nullptr;
  if (!indicator) return;
  RadarMarker marker;
  marker.position = entity->GetPosition();
  marker.position.w = 1.0f;
  marker.entity = entity;
  marker.indicator = indicator;
  marker.kind = kind;
  if (entity->IsOfType(UnitEntity::GetClassTypeId())) {
    const UnitEntity* unit = static_cast<const UnitEntity*>(entity);
    marker.imageName = unit->GetTypeImage();
    marker.imageSet = unit->GetTypeImageSet();
    if (kind == TRACK_UNIT_UNDER_ATTACK)
      SoundManager::GetInstance()->PlaySound((UnitType)unit->GetUnitType(), SOUND_UNDER_ATTACK, 1.0f,
                                             unit->GetPosition(), 400.0f, 0.0f);
  }
  // The indicator's root lets clicks through already (FrameRadar::HookComponents).
  m_markers.push_back(marker);
}

void RadarManager::Remove(BaseEntity* entity) {
  auto it = std::find_if(m_markers.begin(), m_markers.end(),
                         [entity](const RadarMarker& m) { return m.entity == entity; });
  if (it != m_markers.end()) Erase(it);
}

void RadarManager::Add(const VisVector_cl& position) {
  for (const RadarMarker& marker : m_markers)
    if (!marker.entity && SamePlace(marker.position, position)) return;
  FrameRadar* indicator =
      GUIManager::HasInstance() ? GUIManager::GetInstance()->ShowRadarIndicator(TRACK_TARGET) : nullptr;
  if (!indicator) return;
  RadarMarker marker;
  marker.position = VisVector_cl(position.x, position.y, position.z);
  marker.position.w = 1.0f;
  marker.indicator = indicator;
  marker.kind = TRACK_TARGET;
  m_markers.push_back(marker);
}

void RadarManager::Remove(const VisVector_cl& position) {
  auto it = std::find_if(m_markers.begin(), m_markers.end(),
                         [&position](const RadarMarker& m) { return !m.entity && SamePlace(m.position, position); });
  if (it != m_markers.end()) Erase(it);
}

void RadarManager::ClearMarkers() {
  for (RadarMarker& marker : m_markers) marker.indicator = nullptr;
}

void RadarManager::ResetTracking() {
  for (RadarMarker& marker : m_markers) {
    marker.entity = nullptr;
    if (marker.indicator) marker.indicator->SetRemoveRequest(true);
  }
  m_markers.clear();
}

void RadarManager::ResetNearestBlueprint() {
  m_pNearestBlueprint = nullptr;
  m_fNearestBlueprintDistance = kNoBlueprint;
}

float RadarManager::PollBlueprintDistance(BaseEntity* entity, float distance) {
  if (!entity) return -1.0f;
  if (!m_pNearestBlueprint || entity == m_pNearestBlueprint || distance < m_fNearestBlueprintDistance) {
    m_pNearestBlueprint = entity;
    m_fNearestBlueprintDistance = distance;
  }
  return m_fNearestBlueprintDistance;
}

void RadarManager::SetAllVisible(bool visible) {
  for (RadarMarker& marker : m_markers)
    if (marker.indicator) marker.indicator->SetVisible(visible);
  if (LandRadarManager::HasInstance()) LandRadarManager::GetInstance()->SetAllVisible(visible);
}

void RadarManager::UnitClickedToBeFollowed(FrameRadar* indicator) {
  if (!indicator) return;
  for (const RadarMarker& marker : m_markers) {
    if (marker.indicator != indicator || !marker.entity || !marker.entity->IsOfType(UnitEntity::GetClassTypeId()))
      continue;
    VisBaseEntity_cl* camera = Vision::Game.SearchEntity("CameraEntity");
    if (!camera) return;
    RtsManager::GlobalManager().SetFollowedUnit(static_cast<UnitEntity*>(marker.entity));
    Vision::Game.SendMsg(camera, VIS_MSG_USER_CAMERA_FOLLOW_START, 0, 0);
    GameManager::GetInstance()->SetFollowCameraState(true);
    return;
  }
}

// ---------------------------------------------------------------------------
// Per frame

void RadarManager::ProjectToScreen(const VisVector_cl& point, float& x, float& y) {
  const VisRenderContext_cl* context = VisRenderContext_cl::GetMainRenderContext();
  if (context->Project2D(point, x, y)) return;
  // Behind the camera: straight out from the centre on the target's side (left
  // or right, above or below), below the screen when it is right behind.
  const VisVector_cl local = context->GetCameraRotation().GetTransposed() * (point - context->GetCameraPosition());
  int w = 0, h = 0;
  context->GetSize(w, h);
  float sideX = -local.y, sideY = -local.z;
  const float length = std::sqrt(sideX * sideX + sideY * sideY);
  if (length <= 0.0f) {
    sideX = 0.0f;
    sideY = 1.0f;
  } else {
    sideX /= length;
    sideY /= length;
  }
  x = 0.5f * (float)w + sideX * kBehindDistance;
  y = 0.5f * (float)h - sideY * kBehindDistance;
}

void RadarManager::Update() {
  if (!GameManager::HasInstance() || !GameManager::GetInstance()->GetPlayerEntity()) return;
  // The video mode may change (the settings' apply asks again), so the border follows it.
  if (!m_bGeometryReady) {
    float w = 0.0f, h = 0.0f;
    VideoSize(w, h);
    m_border.Set(w, h, BORDER_INSET, BORDER_INSET, BORDER_INSET, BORDER_INSET);
    m_bGeometryReady = true;
  }
  m_fPulsePhase += Vision::Timer.GetTimeDifference();
  if (m_fPulsePhase > kPulseWrap) m_fPulsePhase = 0.0f;
  const float pulse = std::min(std::sin(4.0f * m_fPulsePhase) + 1.2f, 1.0f);

  for (auto it = m_markers.begin(); it != m_markers.end();) {
    RadarMarker& marker = *it;
    FrameRadar* indicator = marker.indicator;
    if (!indicator) {
      ++it;
      continue;
    }
    if (marker.entity) {
      marker.position = marker.entity->GetPosition();
      marker.position.w = 1.0f;
    }
    float x = 0.0f, y = 0.0f;
    ProjectToScreen(marker.position, x, y);
    float hitX = 0.0f, hitY = 0.0f;
    if (m_border.FindHit(x, y, hitX, hitY)) {
      indicator->SetType(marker.kind);
      if (marker.kind == TRACK_TARGET) indicator->SetAlpha(pulse);
      if (marker.kind == TRACK_SELECTED_UNIT || marker.kind == TRACK_UNIT_UNDER_ATTACK) {
        marker.arrowRotation = 180.0f - std::atan2(x - m_border.centreX, y - m_border.centreY) * 180.0f / kPi;
        if (marker.kind == TRACK_UNIT_UNDER_ATTACK) indicator->SetAlpha(pulse);
      }
      x = hitX;
      y = hitY;
    } else if (marker.kind == TRACK_BLUEPRINT) {
      indicator->ShowCompassCrossOnly();
    } else if (marker.kind == TRACK_SELECTED_UNIT) {
      indicator->HideAllMarkers();
    } else if (marker.kind == TRACK_UNIT_UNDER_ATTACK) {
      // The alert ends as soon as the unit is on screen.
      it = Erase(it);
      continue;
    } else {
      indicator->SetAlpha(1.0f);
      indicator->SetType(TRACK_TARGET_ON_SCREEN);
    }
    indicator->SetPosition(x, y, marker.arrowRotation, marker.imageName.AsChar(), marker.imageSet.AsChar());
    ++it;
  }
}
