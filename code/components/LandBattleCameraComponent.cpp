// Land camera: key, edge, drag and wheel motion over the terrain, the bounds
// polygon, following a unit, the conversation shot, and its saved tuning.
#include "components/LandBattleCameraComponent.h"

#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "core/VisMainApp.h"
#include "entities/UnitEntity.h"
#include "gui/GUIManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SpeechManager.h"

#include "engine/Vision.h"

#include <CEGUI/CEGUI.h>

#include <algorithm>
#include <cmath>

namespace {

const char kBlockVersion = 2;

// Messages the camera input sends (see CameraInputComponent).
enum {
  MSG_MOVE_FORWARD = 101,
  MSG_MOVE_BACK = 102,
  MSG_MOVE_LEFT = 103,
  MSG_MOVE_RIGHT = 104,
  MSG_RAISE = 105,
  MSG_LOWER = 106,
  MSG_WHEEL_OUT = 111,
  MSG_WHEEL_IN = 112,
  MSG_FOLLOW_START = 127,
  MSG_FOLLOW_STOP = 128,
  MSG_CONVERSATION_START = 129,
  MSG_CONVERSATION_END = 130,
  MSG_SPEED_BOOST = 133,
};

// Springs of the position and orientation while the camera is free.
const float kPositionStiffness = 256.0f;
const float kPositionDamping = 32.0f;
const float kOrientationStiffness = 128.0f;
// The flight to a conversation shot.
const float kConversationPositionStiffness = 64.0f;
const float kConversationPositionDamping = 32.0f;
const float kConversationOrientationStiffness = 24.0f;
// Near the shot the position springs damp by the distance left, at least this.
const float kConversationNearDistance = 32.0f;
const float kConversationMinDamping = 16.0f;
const float kConversationArrived = 0.01f;
// Follow: screen offset of the unit from the centre, per second, in world units.
const float kFollowGain = 512.0f;
const float kProjectionLimit = 2000.0f;
// The bounds clamp.
const float kLookAhead = 0.1f;
const float kDeterminantEpsilon = 1e-5f;

bool InConversation() { return SpeechManager::HasInstance() && SpeechManager::GetInstance()->IsInConversation(); }

bool InGameMenuVisible() { return GUIManager::HasInstance() && GUIManager::GetInstance()->IsWindowVisible(WT_INGAME_MENU); }

bool AppHasFocus() { return !VisMainApp::HasInstance() || VisMainApp::GetInstance()->HasFocus(); }

void ClearFollowCameraState() {
  if (GameManager::HasInstance()) GameManager::GetInstance()->SetFollowCameraState(false);
}

// v moved towards 0 by step, without crossing it.
float TowardsZero(float v, float step) { return v > 0.0f ? std::max(0.0f, v - step) : std::min(0.0f, v + step); }

// Two-dimensional cross product of a and b.
float Cross2(float ax, float ay, float bx, float by) { return ax * by - ay * bx; }

}  // namespace

// ---- springs ----------------------------------------------------------------------------

void LandBattleCameraComponent::DampedSpring::Step(float dt) {
  if (!enabled) return;
  const float offset = current - target;
  velocity += (-k * offset - d * velocity) * dt;
  if (noOvershoot && std::fabs(velocity * dt) > std::fabs(offset)) {
    current = target;
    velocity = 0.0f;
  } else {
    current += velocity * dt;
  }
}

void LandBattleCameraComponent::DampedSpring::Restart(float value) {
  current = target = value;
  velocity = 0.0f;
}

void LandBattleCameraComponent::DampedSpringVector::Step(float dt) {
  x.Step(dt);
  y.Step(dt);
  z.Step(dt);
}

void LandBattleCameraComponent::DampedSpringVector::Restart(const VisVector_cl& v) {
  x.Restart(v.x);
  y.Restart(v.y);
  z.Restart(v.z);
}

void LandBattleCameraComponent::DampedSpringVector::SetTarget(const VisVector_cl& v) {
  x.target = v.x;
  y.target = v.y;
  z.target = v.z;
}

void LandBattleCameraComponent::DampedSpringVector::SetStiffness(float k, float d) {
  for (DampedSpring* s : {&x, &y, &z}) {
    s->k = k;
    s->d = d;
  }
}

void LandBattleCameraComponent::DampedSpringVector::SetEnabled(bool on) {
  x.enabled = y.enabled = z.enabled = on;
}

void LandBattleCameraComponent::DampedSpringVector::SetNoOvershoot(bool on) {
  x.noOvershoot = y.noOvershoot = z.noOvershoot = on;
}

// ---- set-up -------------------------------------------------------------------------------

V_IMPLEMENT_DYNCREATE_VARS(LandBattleCameraComponent, CameraBaseComponent_cl, &LandBattleCameraComponent::BuildVarList)

void LandBattleCameraComponent::BuildVarList(VARTABLE& t) {
  VAR_FLOAT(t, LandBattleCameraComponent, m_fMinHeight, "Camera Min Height", "20");
  VAR_FLOAT(t, LandBattleCameraComponent, m_fMaxHeight, "", "60");
  VAR_FLOAT(t, LandBattleCameraComponent, m_fDefaultTilt, "", "45");
  VAR_FLOAT(t, LandBattleCameraComponent, m_fMinHeightTiltOffset, "", "0");
  VAR_FLOAT(t, LandBattleCameraComponent, m_fMaxHeightTiltOffset, "", "20");
  VAR_VECTOR(t, LandBattleCameraComponent, m_vMoveSpeedMax, "", "120/120/120");
  VAR_FLOAT(t, LandBattleCameraComponent, m_fTurnSpeedMax, "", "10");
  VAR_FLOAT(t, LandBattleCameraComponent, m_fMMBDragSensitivity, "", "10");
  VAR_FLOAT(t, LandBattleCameraComponent, m_fMaxSpeedFactor, "", "2");
}

LandBattleCameraComponent::LandBattleCameraComponent() = default;

LandBattleCameraComponent::~LandBattleCameraComponent() = default;

void LandBattleCameraComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  CameraBaseComponent_cl::SetOwner(owner);
  if (owner)
    InitFunction();
  else
    DeInitFunction();
}

void LandBattleCameraComponent::DeInitFunction() { m_spBoundsPath = nullptr; }

VisObject3D_cl* LandBattleCameraComponent::GetOwner3D() const {
  VisTypedEngineObject_cl* owner = GetOwner();
  return owner && owner->IsOfType(VisObject3D_cl::GetClassTypeId()) ? static_cast<VisObject3D_cl*>(owner) : nullptr;
}

float LandBattleCameraComponent::SampleTerrainHeight(const VisVector_cl& at) {
  const float height = Vision::World.HasTerrain() ? Vision::World.GetHeightAtWorldPos(at.x, at.y) : 0.0f;
  return std::max(0.0f, height);
}

float LandBattleCameraComponent::GetTiltForHeight(float height) const {
  const float t = std::clamp((height - (m_fMinHeight - 1.0f)) / (m_fMaxHeight + 50.0f), 0.0f, 1.0f);
  return (m_fMaxHeightTiltOffset - m_fMinHeightTiltOffset) * t + m_fMinHeightTiltOffset + m_fDefaultTilt;
}

void LandBattleCameraComponent::ApplyOrientation() {
  if (VisObject3D_cl* owner = GetOwner3D()) owner->SetOrientation(m_vOrientation);
}

void LandBattleCameraComponent::RestartPoseSprings() {
  m_positionSprings.Restart(m_vPosition);
  m_positionSprings.SetEnabled(true);
  m_orientationSprings.Restart(m_vOrientation);
  m_orientationSprings.SetEnabled(true);
}

void LandBattleCameraComponent::InitFunction() {
  m_fMinHeight = 20.0f;
  m_fMaxHeight = 60.0f;
  m_fDefaultTilt = 45.0f;
  m_fMinHeightTiltOffset = 0.0f;
  m_fMaxHeightTiltOffset = 20.0f;
  m_vMoveSpeedMax = VisVector_cl(120.0f, 120.0f, 4.0f, 1.0f);
  m_fTurnSpeedMax = 120.0f;
  m_fMMBDragSensitivity = 10.0f;
  m_fMaxSpeedFactor = 1.0f;
  m_fSpeedFactor = 1.0f;

  m_vVelocity = VisVector_cl(0, 0, 0, 1);
  m_vOffset = VisVector_cl(0, 0, 0, 1);
  m_vDragStep = VisVector_cl(0, 0, 0, 1);
  m_fWheelVelocity = m_fWheelImpulse = 0.0f;
  m_bSideEdge = m_bForwardEdge = false;
  m_bFollow = m_bConversation = m_bConversationArrived = m_bMoved = m_bFollowedUnitOffCentre = false;
  m_bDragging = false;

  VisObject3D_cl* owner = GetOwner3D();
  if (!owner) return;
  m_vPosition = owner->GetPosition();
  m_vTarget = m_vPreviousTarget = m_vPosition;

  m_fTerrainHeight = m_fTerrainHeight2 = SampleTerrainHeight(m_vPosition);
  if (m_fTerrainHeight + m_fMinHeight > m_vPosition.z) {
    m_vPosition.z = m_fTerrainHeight + m_fMinHeight;
    owner->SetPosition(m_vPosition);
  }

  m_positionSprings.Restart(m_vPosition);
  m_positionSprings.SetStiffness(kPositionStiffness, kPositionDamping);
  m_positionSprings.SetNoOvershoot(true);
  m_positionSprings.SetEnabled(true);

  m_fHeightFactor = std::clamp((m_vOffset.z - (m_fMinHeight - 1.0f)) / (m_fMaxHeight + 50.0f), 0.0f, 1.0f);
  m_vOrientation = owner->GetOrientation();
  m_vOrientation.y = GetTiltForHeight(m_vOffset.z);
  ApplyOrientation();

  m_orientationSprings.Restart(m_vOrientation);
  m_orientationSprings.SetStiffness(kOrientationStiffness, 2.0f * std::sqrt(kOrientationStiffness));
  m_orientationSprings.SetNoOvershoot(true);
  m_orientationSprings.SetEnabled(true);

  m_spBoundsPath = Vision::Game.SearchPath("CameraBounds");
  m_conversationPositionSprings.SetNoOvershoot(true);
  m_conversationOrientationSprings.SetNoOvershoot(true);
  m_vLastDragStep = m_vDragStep;
  m_fCurrentHeight = m_fMaxHeight;
}

// ---- messages -----------------------------------------------------------------------------

void LandBattleCameraComponent::StopFollowing() {
  m_bFollow = false;
  ClearFollowCameraState();
}

void LandBattleCameraComponent::MessageFunction(int id, INT_PTR p1, INT_PTR p2) {
  const float dt = Vision::Timer.GetTimeDifference();

  // Behind the in-game menu only the vertical and wheel motion stop.
  if (InGameMenuVisible()) {
    m_bMoved = false;
    m_vVelocity.z = 0.0f;
    m_fWheelVelocity = 0.0f;
    m_fWheelImpulse = 0.0f;
    m_vDragStep.z = 0.0f;
    return;
  }

  if (id == MSG_WHEEL_OUT && p1) m_fWheelImpulse = 0.1f;
  if (id == MSG_WHEEL_IN && p1) m_fWheelImpulse = -0.1f;

  m_bMoved = false;
  const float ax = (std::fabs(m_vVelocity.x) + 0.1f * m_vMoveSpeedMax.x) * 10.0f * dt;
  const float ay = (std::fabs(m_vVelocity.y) + 0.1f * m_vMoveSpeedMax.y) * 10.0f * dt;
  const float az = (std::fabs(m_vVelocity.z) + 0.1f * m_vMoveSpeedMax.z) * 100.0f * dt;
  const float f = m_fSpeedFactor;
  VisVector_cl& v = m_vVelocity;
  const VisVector_cl& s = m_vMoveSpeedMax;

  if (!InConversation()) {
    switch (id) {
      case MSG_SPEED_BOOST:
        m_fSpeedFactor = p1 ? m_fMaxSpeedFactor : 1.0f;
        break;
      case MSG_MOVE_FORWARD:
        if (p1) {
          v.x = std::min(v.x + ax, f * s.x);
          m_bMoved = true;
        } else if (!m_bForwardEdge && v.x > 0.0f) {
          v.x = std::max(0.0f, v.x - ax);
        }
        break;
      case MSG_MOVE_BACK:
        if (p1) {
          v.x = std::max(v.x - ax, -f * s.x);
          m_bMoved = true;
        } else if (!m_bForwardEdge && v.x < 0.0f) {
          v.x = std::min(0.0f, v.x + ax);
        }
        break;
      case MSG_MOVE_LEFT:
        if (p1) {
          v.y = std::min(v.y + ay, f * s.y);
          m_bMoved = true;
        } else if (!m_bSideEdge && v.y > 0.0f) {
          v.y = std::max(0.0f, v.y - ay);
        }
        break;
      case MSG_MOVE_RIGHT:
        if (p1) {
          v.y = std::max(v.y - ay, -f * s.y);
          m_bMoved = true;
        } else if (!m_bSideEdge && v.y < 0.0f) {
          v.y = std::min(0.0f, v.y + ay);
        }
        break;
      case MSG_RAISE:
        if (p1)
          v.z = std::min(v.z + 0.1f * az, s.z);
        else if (v.z > 0.0f)
          v.z = std::max(0.0f, v.z - az);
        break;
      case MSG_LOWER:
        if (p1)
          v.z = std::max(v.z - 0.1f * az, -s.z);
        else if (v.z < 0.0f)
          v.z = std::min(0.0f, v.z + az);
        break;
      // The wheel follows the impulse, which outlives the notch's one frame.
      case MSG_WHEEL_OUT:
        if (m_fWheelImpulse > 0.0f)
          m_fWheelVelocity = std::min(m_fWheelVelocity + 6.0f * az, s.z);
        else if (m_fWheelImpulse == 0.0f && m_fWheelVelocity > 0.0f)
          m_fWheelVelocity = std::max(0.0f, m_fWheelVelocity - az);
        break;
      case MSG_WHEEL_IN:
        if (m_fWheelImpulse < 0.0f)
          m_fWheelVelocity = std::max(m_fWheelVelocity - 6.0f * az, -s.z);
        else if (m_fWheelImpulse == 0.0f && m_fWheelVelocity < 0.0f)
          m_fWheelVelocity = std::min(0.0f, m_fWheelVelocity + az);
        break;
      default:
        break;
    }
  }

  switch (id) {
    case MSG_FOLLOW_START:
      m_bFollow = true;
      break;
    case MSG_FOLLOW_STOP:
      StopFollowing();
      break;
    case MSG_CONVERSATION_START: {
      // p1 and p2 point to the shot's position and orientation.
      if (m_bConversation || !p1 || !p2) break;
      const VisVector_cl& shotPosition = *reinterpret_cast<const VisVector_cl*>(p1);
      const VisVector_cl& shotOrientation = *reinterpret_cast<const VisVector_cl*>(p2);
      // The flight starts where the entity is seen, not at the hover point.
      const VisVector_cl from = GetOwner3D() ? GetOwner3D()->GetPosition() : m_vPosition;
      m_conversationPositionSprings.Restart(from);
      m_conversationPositionSprings.SetStiffness(kConversationPositionStiffness, kConversationPositionDamping);
      m_conversationPositionSprings.SetEnabled(true);
      m_conversationOrientationSprings.Restart(m_vOrientation);
      m_conversationOrientationSprings.SetStiffness(kConversationOrientationStiffness,
                                                    2.0f * std::sqrt(kConversationOrientationStiffness));
      m_conversationOrientationSprings.SetEnabled(true);
      m_vConversationPosition = shotPosition;
      m_vConversationOrientation = shotOrientation;
      // Turn the short way round through +-180.
      if (m_vOrientation.x > 0.0f && m_vConversationOrientation.x < 0.0f) m_vConversationOrientation.x += 360.0f;
      else if (m_vOrientation.x < 0.0f && m_vConversationOrientation.x > 0.0f) m_vConversationOrientation.x -= 360.0f;
      m_vSavedPosition = m_vPosition;
      m_vSavedOrientation = m_vOrientation;
      m_bConversation = true;
      m_bConversationArrived = false;
      break;
    }
    case MSG_CONVERSATION_END:
      if (!m_bConversation) break;
      RestartPoseSprings();
      m_vPosition = m_vSavedPosition;
      m_vOrientation = m_vSavedOrientation;
      m_bConversation = false;
      break;
    default:
      break;
  }
}

// ---- per frame ----------------------------------------------------------------------------

void LandBattleCameraComponent::HandleMouse() {
  if (!AppHasFocus() || Vision::Actions.IsConsoleOpen()) return;
  if (!GUIManager::HasInstance() || !GUIManager::GetInstance()->IsInitialized() || !CEGUI::System::getSingletonPtr())
    return;
  int width = 0, height = 0;
  VisRenderContext_cl::GetMainRenderContext()->GetSize(width, height);
  if (width <= 0 || height <= 0) return;
  const CEGUI::Vector2f cursor =
      CEGUI::System::getSingleton().getDefaultGUIContext().getMouseCursor().getDisplayIndependantPosition();
  const float x = cursor.d_x * (float)width;
  const float y = cursor.d_y * (float)height;

  if (Vision::Mouse.IsButtonPressed(VisMouse_cl::MIDDLE)) {
    // A drag starts where the button went down: the first frame only takes the spot.
    if (!m_bDragging) {
      m_bDragging = true;
      m_vLastMouse.x = x;
      m_vLastMouse.y = y;
    }
    if (x != m_vLastMouse.x || y != m_vLastMouse.y || m_vLastMouse.z != 0.0f) {
      const float scale = m_vPosition.z > 0.0f ? 1.0f / m_vPosition.z : 0.0f;
      m_vDragStep.x += (y - m_vLastMouse.y) * scale;
      m_vDragStep.y = ((x - m_vLastMouse.x) * scale + m_vDragStep.y) / ((float)width / (float)height);
      m_vLastMouse.x = x;
      m_vLastMouse.y = y;
      m_vLastMouse.z = 0.0f;
    }
    return;
  }
  m_bDragging = false;

  VisObject3D_cl* owner = GetOwner3D();
  m_bForwardEdge = false;
  if (y < EDGE_MARGIN) {
    owner->SendMsg(MSG_MOVE_FORWARD, 1, 0);
    m_bForwardEdge = true;
  } else if (y >= (float)height - EDGE_MARGIN) {
    owner->SendMsg(MSG_MOVE_BACK, 1, 0);
    m_bForwardEdge = true;
  }
  m_bSideEdge = false;
  if (x < EDGE_MARGIN) {
    owner->SendMsg(MSG_MOVE_LEFT, 1, 0);
    m_bSideEdge = true;
  } else if (x >= (float)width - EDGE_MARGIN) {
    owner->SendMsg(MSG_MOVE_RIGHT, 1, 0);
    m_bSideEdge = true;
  }
}

void LandBattleCameraComponent::Update() {
  const float dt = Vision::Timer.GetTimeDifference();
  m_fWheelImpulse = TowardsZero(m_fWheelImpulse, dt);

  VisObject3D_cl* owner = GetOwner3D();
  if (m_bConversation) {
    if (owner) UpdateConversation();
    return;
  }
  if (!owner) return;

  HandleMouse();

  // Moving the target.
  {
    const VisMatrix3x3_cl& r = owner->GetRotationMatrix();
    const VisVector_cl& v = m_vVelocity;
    if (m_vDragStep.IsZero()) {
      if (v.x != 0.0f || v.y != 0.0f) {
        m_vTarget.x += (r(0, 0) * v.x + r(0, 1) * v.y + r(0, 2) * v.z) * dt;
        m_vTarget.y += (r(1, 0) * v.x + r(1, 1) * v.y + r(1, 2) * v.z) * dt;
        m_bMoved = true;
      }
      if (v.z != 0.0f || m_fWheelVelocity != 0.0f)
        m_fCurrentHeight += (m_fWheelVelocity != 0.0f ? m_fWheelVelocity : v.z) * dt;
    } else {
      const VisVector_cl& d = m_vDragStep;
      m_vTarget.x += r(0, 0) * d.x + r(0, 1) * d.y + r(0, 2) * d.z;
      m_vTarget.y += r(1, 0) * d.x + r(1, 1) * d.y + r(1, 2) * d.z;
    }
  }

  // Following RtsManager's unit; a key or edge move ends it while the unit is centred.
  if (m_bMoved && !m_bFollowedUnitOffCentre && m_bFollow) StopFollowing();
  UnitEntity* followed = RtsManager::GlobalManager().GetFollowedUnit();
  if (!followed) {
    if (m_bFollow) StopFollowing();
  } else if (m_bFollow) {
    m_vFollowedUnitPosition = followed->GetPosition();
  }

  m_fTerrainHeight = SampleTerrainHeight(m_vTarget);

  if (m_bFollow) {
    int width = 0, height = 0;
    VisRenderContext_cl* context = VisRenderContext_cl::GetMainRenderContext();
    context->GetSize(width, height);
    float sx = 0.0f, sy = 0.0f;
    context->Project2D(m_vFollowedUnitPosition, sx, sy);
    sx = std::clamp(sx, -kProjectionLimit, kProjectionLimit);
    sy = std::clamp(sy, -kProjectionLimit, kProjectionLimit);
    const float nx = width > 0 ? sx / (float)width : 0.5f;
    const float ny = height > 0 ? sy / (float)height : 0.5f;
    const VisMatrix3x3_cl& r = owner->GetRotationMatrix();
    const VisVector_cl toward(0.5f - ny, 0.5f - nx, 0.0f);
    m_vTarget += (r * toward) * (dt * kFollowGain);
    m_bFollowedUnitOffCentre = !(nx > 0.1f && nx < 0.9f && ny > 0.1f && ny < 0.9f);
  } else {
    m_bFollowedUnitOffCentre = false;
  }

  m_vTarget.z = 0.0f;
  if (!(m_bFollow && m_bFollowedUnitOffCentre)) m_vTarget = ClampToBounds(m_spBoundsPath, m_vPreviousTarget, m_vTarget);
  m_vPreviousTarget = m_vTarget;

  // The height band over the ground.
  m_vOffset.z = m_fCurrentHeight;
  m_vPosition = m_vTarget + m_vOffset;
  const float lowest = m_fTerrainHeight + m_fMinHeight;
  const float highest = m_fTerrainHeight + m_fMaxHeight;
  if (m_vPosition.z < lowest || m_vPosition.z > highest) {
    m_fCurrentHeight = m_vPosition.z < lowest ? lowest : highest;
    m_fWheelImpulse = 0.0f;
    m_vDragStep.z = 0.0f;
    m_fWheelVelocity = 0.0f;
    m_vVelocity.z = 0.0f;
    m_vOffset.z = m_fCurrentHeight;
    m_vPosition = m_vTarget + m_vOffset;
  }

  m_fHeightFactor =
      std::clamp((m_fCurrentHeight - (m_fMinHeight - 1.0f)) / (m_fMaxHeight + 50.0f), 0.0f, 1.0f);
  m_vOrientation.y = GetTiltForHeight(m_fCurrentHeight);
  ApplyOrientation();

  // The entity stands back along its forward axis, more the higher it hovers.
  const float span = (m_fMaxHeight + 1.0f + m_fTerrainHeight) - (m_fMinHeight - 1.0f);
  m_fPullBack = span != 0.0f ? -(m_fCurrentHeight - (m_fMinHeight - 1.0f)) / span * PULL_BACK : 0.0f;
  const VisMatrix3x3_cl& r = owner->GetRotationMatrix();
  const VisVector_cl placed(m_vPosition.x + r(0, 0) * m_fPullBack, m_vPosition.y + r(1, 0) * m_fPullBack,
                            m_vPosition.z);
  owner->SetPosition(placed);

  if (m_bDebugPrint) {
    Vision::Message.Print(10, 585, "Target Position %.2f %.2f %.2f", m_vTarget.x, m_vTarget.y, m_vTarget.z);
    Vision::Message.Print(10, 600, "Offset %.2f %.2f %.2f", m_vOffset.x, m_vOffset.y, m_vOffset.z);
    Vision::Message.Print(10, 615, "Position %.2f %.2f %.2f", m_vPosition.x, m_vPosition.y, m_vPosition.z);
    Vision::Message.Print(10, 630, "Terrain Height: %.2f", m_fTerrainHeight);
    Vision::Message.Print(10, 645, "Tilt: %.2f", m_vOrientation.y);
    Vision::Message.Print(10, 665, "Campos: %.2f %.2f %.2f", placed.x, placed.y, placed.z);
  }

  m_vDragStep = VisVector_cl(0, 0, 0, 1);
  m_vLastDragStep = m_vDragStep;
  m_bMoved = false;
}

void LandBattleCameraComponent::UpdateConversation() {
  VisObject3D_cl* owner = GetOwner3D();
  const float dt = Vision::Timer.GetTimeDifference();
  m_vDragStep = VisVector_cl(0, 0, 0, 1);
  if (!m_bConversationArrived) {
    const float distance = owner->GetPosition().GetDistance(m_vConversationPosition);
    if (distance < kConversationNearDistance) {
      m_conversationPositionSprings.SetStiffness(kConversationPositionStiffness,
                                                 std::max(distance, kConversationMinDamping));
      if (distance <= kConversationArrived) {
        m_bConversationArrived = true;
        m_vPosition = m_vConversationPosition;
        m_vOrientation = m_vConversationOrientation;
      }
    }
    m_conversationOrientationSprings.SetTarget(m_vConversationOrientation);
    m_conversationOrientationSprings.Step(dt);
    owner->SetOrientation(m_conversationOrientationSprings.GetCurrent());
    m_conversationPositionSprings.SetTarget(m_vConversationPosition);
    m_conversationPositionSprings.Step(dt);
    owner->SetPosition(m_conversationPositionSprings.GetCurrent());
  }
  if (m_bDebugPrint) {
    const VisVector_cl& p = owner->GetPosition();
    const VisVector_cl o = owner->GetOrientation();
    Vision::Message.Print(10, 600, "Terrain Height: %.2f", m_fTerrainHeight);
    Vision::Message.Print(10, 615, "Tilt: %.2f", m_vOrientation.y);
    Vision::Message.Print(10, 630, "Position %.2f %.2f %.2f", p.x, p.y, p.z);
    Vision::Message.Print(10, 645, "Orientation %.2f %.2f %.2f", o.x, o.y, o.z);
  }
}

// ---- bounds -------------------------------------------------------------------------------

VisVector_cl LandBattleCameraComponent::ClampToBounds(const VisPath_cl* bounds, const VisVector_cl& previous,
                                                     const VisVector_cl& next) {
  bool crossed = false;
  return ClampMove(bounds, previous, next, true, crossed);
}

VisVector_cl LandBattleCameraComponent::ClampMove(const VisPath_cl* bounds, const VisVector_cl& previous,
                                                 const VisVector_cl& next, bool firstLevel, bool& crossed) {
  crossed = false;
  const int count = bounds ? bounds->GetPathNodeCount() : 0;
  if (count < 3) return next;
  const float dx = next.x - previous.x, dy = next.y - previous.y;
  const float length = std::sqrt(dx * dx + dy * dy);
  if (length == 0.0f) return next;

  // Look a little further than the move so that a target on an edge counts as out.
  const float aheadX = next.x + dx / length * kLookAhead;
  const float aheadY = next.y + dy / length * kLookAhead;
  const float mx = aheadX - previous.x, my = aheadY - previous.y;

  int crossedEdge = -1;
  float ex = 0.0f, ey = 0.0f;
  VisVector_cl edgeStart, edgeEnd;
  // The closing edge first (last node to node 0), then 0 to 1 and on.
  for (int i = 0; i < count && crossedEdge < 0; ++i) {
    const int from = i == 0 ? count - 1 : i - 1;
    const int to = i == 0 ? 0 : i;
    const VisVector_cl a = bounds->GetPathNode(from)->GetPosition();
    const VisVector_cl b = bounds->GetPathNode(to)->GetPosition();
    const float bx = b.x - a.x, by = b.y - a.y;
    const float apx = a.x - previous.x, apy = a.y - previous.y;
    const float det = Cross2(mx, my, bx, by);
    const float detMove = Cross2(apx, apy, bx, by);
    const float detEdge = Cross2(apx, apy, mx, my);
    bool hit = false;
    if (std::fabs(det) < kDeterminantEpsilon) {
      hit = std::fabs(detMove) < kDeterminantEpsilon && std::fabs(detEdge) < kDeterminantEpsilon;
    } else {
      const float u = detMove / det;  // along the move
      const float w = detEdge / det;  // along the edge
      hit = u > 0.0f && u < 1.0f && w > 0.0f && w < 1.0f;
    }
    if (hit) {
      crossedEdge = i;
      const float edgeLength = std::sqrt(bx * bx + by * by);
      if (edgeLength > 0.0f) {
        ex = bx / edgeLength;
        ey = by / edgeLength;
      }
      edgeStart = a;
      edgeEnd = b;
    }
  }
  if (crossedEdge < 0) return next;
  crossed = true;

  // Slide along the crossed edge.
  const float along = dx * ex + dy * ey;
  VisVector_cl slid(previous.x + ex * along, previous.y + ey * along, next.z, next.w);
  if (firstLevel) {
    const float reach = length + kLookAhead;
    const bool nearEnd = slid.GetDistance2D(edgeStart) <= reach || slid.GetDistance2D(edgeEnd) <= reach;
    if (nearEnd) {
      bool again = false;
      ClampMove(bounds, previous, slid, false, again);
      if (again) return previous;
    }
  }
  return slid;
}

// ---- saved block --------------------------------------------------------------------------

void LandBattleCameraComponent::Serialize(VArchive& ar) {
  CameraBaseComponent_cl::Serialize(ar);
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kBlockVersion);
    ar << m_fMinHeight << m_fMaxHeight << m_fDefaultTilt << m_fMinHeightTiltOffset << m_fMaxHeightTiltOffset;
    ar << m_vMoveSpeedMax << m_fTurnSpeedMax << m_fMMBDragSensitivity;
    SaveGameManagerProto::EndBlock(ar);
  } else {
    SavedBlockReader block(ar, "LandBattleCameraComponent", kBlockVersion);
    if (!block.IsOpen()) return;
    float minHeight = m_fMinHeight, maxHeight = m_fMaxHeight, tilt = m_fDefaultTilt;
    float minOffset = m_fMinHeightTiltOffset, maxOffset = m_fMaxHeightTiltOffset;
    VisVector_cl speed = m_vMoveSpeedMax;
    float turn = m_fTurnSpeedMax, drag = m_fMMBDragSensitivity;
    if (block.Has(2)) ar >> minHeight >> maxHeight >> tilt >> minOffset >> maxOffset >> speed >> turn >> drag;
    if (!block.End()) return;
    m_fMinHeight = minHeight;
    m_fMaxHeight = maxHeight;
    m_fDefaultTilt = tilt;
    m_fMinHeightTiltOffset = minOffset;
    m_fMaxHeightTiltOffset = maxOffset;
    m_vMoveSpeedMax = speed;
    m_fTurnSpeedMax = turn;
    m_fMMBDragSensitivity = drag;
  }
  RestartPoseSprings();
}
