// Ship AI: decisions by mode, the attack run, broadsides, collision avoidance, sails,
// lifetime, the script and the saved block.
#include "components/AIShipComponent.h"

#include "components/CannonObserverComponent.h"
#include "components/NoiseListenerComponent.h"
#include "components/ShipPathComponent.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/TownEntity.h"
#include "Managers/BattleManager.h"
#include "Managers/PauseManager.h"
#include "Managers/SaveGameManager.h"
#include "util/ArchiveLimits.h"
#include "util/MathTools.h"
#include "util/RaycastCanSee.h"
#include "util/RaycastClosest.h"

#include "engine/Vision.h"
#include "engine/base/VArchive.h"
#include "engine/base/VarTable.h"
#include "engine/core/IVisPhysicsObject.h"
#include "engine/core/VScriptManager.h"
#include "engine/physics/vPhysXModule.h"

#include <algorithm>

namespace {
const char kBlockVersion = 5;
// Mode orders without a stored name.
const int kMsgModeIdle = 26;
const int kMsgModeSailing = 27;
const int kMsgModeGotoTown = 28;
const int kMsgNoiseHeard = 300;
// Script file names are bounded like the editor's text fields.
const int kMaxScriptName = 1024;

// The player's nation.
const int kPlayerNation = 1;

// A fight is over when nothing hostile is nearer than this.
const float kFightRange = 150.0f;
// Attack run: start within, give up beyond, turn away within, and come back beyond.
const float kRunStart = 60.0f;
const float kRunGiveUp = 70.0f;
const float kTooClose = 8.0f;
const float kCloseEnough = 12.0f;
// The run aims this far ahead of the target's bow.
const float kLeadAhead = 8.0f;
// Broadside sector: reach and spread in degrees.
const float kBroadsideRange = 70.0f;
const float kBroadsideAngle = 12.0f;
// An escort keeps this far short of the ship it follows.
const float kEscortGap = 15.0f;
// Town approach: the berth lies this far off the town's right side.
const float kTownBerth = 25.0f;

// Sails by target distance: an escort stops below, sails full from; others full from.
const float kEscortStop = 23.0f;
const float kEscortFull = 30.0f;
const float kChaseFull = 25.0f;

// Avoidance: one probe's turn lasts this long; each step turns this many degrees.
const float kAvoidTime = 0.1f;
const float kAvoidTurn = 10.0f;
// While avoiding on a path, its next node moves ahead and aside of the ship.
const float kNodeAhead = 38.0f;
const float kNodeAside = 18.0f;
// Probe points (times the speed factor) ahead and aside of the ship; hits on a ship
// count where it will be.
const float kProbeAhead = 28.0f;
const float kProbeAheadAside = 10.0f;
const float kProbeBeam = 2.0f;
const float kProbeBeamAside = 15.0f;
const float kProbeRaise = 1.0f;
const float kShipLead = 50.0f;
// The physics speed that makes the probe reach 1.0 times its length (capped at 1.5).
const float kProbeSpeedUnit = 60.0f;

VisVector_cl Forward(const VisObject3D_cl* object) { return object->GetRotationMatrix().GetColumn(0); }
VisVector_cl Side(const VisObject3D_cl* object) { return object->GetRotationMatrix().GetColumn(1); }

float PlaneDistance(const VisVector_cl& a, const VisVector_cl& b) { return a.GetDistance2D(b); }

bool IsPaused() {
  return PauseManager::HasInstance() && PauseManager::GetInstance()->IsAnyPaused();
}

// 1.0 (ready) without an observer.
float GroupState(const ShipEntity* ship, CannonGroup group) {
  const CannonObserverComponent* observer = ship->Components<CannonObserverComponent>();
  return observer ? observer->GetCannonGroupState(group) : 1.0f;
}

ShipEntity* AsShip(VisTypedEngineObject_cl* object) {
  return object && object->IsOfType(ShipEntity::GetClassTypeId()) ? static_cast<ShipEntity*>(object) : nullptr;
}

bool HasListed(const DynArray_cl<ShipEntity*>& ships, const ShipEntity* self, int nation) {
  for (unsigned i = 0, used = ships.GetValidSize(); i < used; ++i) {
    const ShipEntity* ship = ships.Get(i);
    if (ship && ship != self && (nation < 0 || ship->GetNation() == nation)) return true;
  }
  return false;
}
}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(AIShipComponent, BaseComponent, &AIShipComponent::BuildVarList)

void AIShipComponent::BuildVarList(VARTABLE& t) {
  V_DEFINE_VAR(t, AIShipComponent, m_bTryPreventCollision, VULPTYPE_BOOL, "Disable the ships collision detection",
               "TRUE", nullptr);
  VAR_STRING(t, AIShipComponent, m_sScriptFile, "Script for this AI ship", "");
}

// Half of the AI captains are cowards.
AIShipComponent::AIShipComponent() : m_bCoward(MathTools::RandomFloat() < 0.5f) {
  GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
}

AIShipComponent::~AIShipComponent() {
  Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
}

void AIShipComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data) return;
  if (data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) {
    Update();
    return;
  }
  if (data->m_pSender != &GameManager::Callbacks.OnEntityDestroyed) return;
  const VisBaseEntity_cl* gone = static_cast<BaseEntityDataObject*>(data)->m_pEntity;
  if (m_pTargetShip && static_cast<VisBaseEntity_cl*>(m_pTargetShip) == gone) m_pTargetShip = nullptr;
  if (m_pTargetTown && static_cast<VisBaseEntity_cl*>(m_pTargetTown) == gone) m_pTargetTown = nullptr;
}

int AIShipComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  return ShipEntity::AcceptsComponentOwner(object, reason);
}

void AIShipComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  BaseComponent::SetOwner(owner);
  if (owner) {
    Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
    LoadScript();
  } else {
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  }
}

ShipEntity* AIShipComponent::GetShip() const { return AsShip(m_pOwner); }

ShipPathComponent* AIShipComponent::GetPath() const {
  return m_pOwner ? m_pOwner->Components<ShipPathComponent>() : nullptr;
}

void AIShipComponent::SetAIMode(int mode) {
  m_iMode = mode;
  if (mode == AIMODE_IDLE) m_iAttackTargetNation = -1;
}

void AIShipComponent::MessageFunction(int id, INT_PTR p1, INT_PTR) {
  if (id == kMsgNoiseHeard) {
    OnNoiseHeard(p1);
    return;
  }
  switch (id) {
    case VIS_MSG_USER_SHIP_MODE_ATTACK: m_iMode = AIMODE_ATTACK; break;
    case VIS_MSG_USER_SHIP_MODE_HOLD_FIRE: m_iMode = AIMODE_HOLD_FIRE; break;
    case VIS_MSG_USER_SHIP_MODE_FLEE: m_iMode = AIMODE_FLEE; break;
    case VIS_MSG_USER_SHIP_SINK: m_bActive = false; break;
    case VIS_MSG_USER_SHIP_DIES:
      if (p1 && reinterpret_cast<ShipEntity*>(p1) == m_pTargetShip) m_pTargetShip = nullptr;
      break;
    case kMsgModeIdle: SetAIMode(AIMODE_IDLE); break;
    case kMsgModeSailing: m_iMode = AIMODE_SAILING; break;
    case kMsgModeGotoTown: m_iMode = AIMODE_GOTO_TOWN; break;
    default: break;
  }
}

// The fight of a ship of the own nation that made itself heard becomes this one's.
void AIShipComponent::OnNoiseHeard(INT_PTR p1) {
  if (!p1 || !BattleManager::GetInstance()->IsBattleActive()) return;
  const auto* noise = reinterpret_cast<const NoiseListenerComponent::HeardNoise*>(p1);
  ShipEntity* source = AsShip(noise->source);
  ShipEntity* ship = GetShip();
  if (!source || !ship || source->GetNation() != ship->GetNation() || !(noise->volume > 0.0f)) return;
  const AIShipComponent* other = source->Components<AIShipComponent>();
  if (other && !(m_iMode == AIMODE_ATTACK && m_iAttackTargetNation == kPlayerNation))
    m_iAttackTargetNation = other->GetAttackTargetNation();
  m_iMode = AIMODE_ATTACK;
}

// ---- per frame ---------------------------------------------------------------------

void AIShipComponent::Update() {
  if (m_pTargetShip && m_pTargetShip->IsMarkedRemoved()) m_pTargetShip = nullptr;
  ShipEntity* ship = GetShip();
  if (!ship || !m_bActive) return;
  if (IsPaused()) {
    const ShipStats* targetStats = m_pTargetShip ? m_pTargetShip->GetStats() : nullptr;
    if (targetStats && targetStats->GetHull().GetCurrent() <= 0) m_pTargetShip = nullptr;
    return;
  }
  if (ship->IsMarkedRemoved() || !ship->GetStats()) return;
  const float dt = Vision::Timer.GetTimeDifference();

  m_fSinceDecision += dt;
  m_fDecisionTimer -= dt;
  if (m_fDecisionTimer <= 0.0f) {
    m_fDecisionTimer = DECISION_INTERVAL;
    const float elapsed = m_fSinceDecision;
    m_fSinceDecision = 0.0f;
    const float heading = Decide(elapsed);
    if (heading != m_fHeading) {
      m_fHeading = heading;
      ship->SendMsg(VIS_MSG_USER_SHIP_SETTARGETHEADING, reinterpret_cast<INT_PTR>(&m_fHeading), 0);
    }
  }
  // The decision may have sent the ship into town.
  if (ship->IsMarkedRemoved()) return;

  const int sails = CalcSailMode();
  if (sails != m_iSailMode) {
    m_iSailMode = sails;
    static const int kSailMessages[] = {VIS_MSG_USER_SHIP_NOSAILS, VIS_MSG_USER_SHIP_BATTLESAILS,
                                        VIS_MSG_USER_SHIP_FULLSAILS};
    if (sails >= 0 && sails <= 2) ship->SendMsg(kSailMessages[sails], 0, 0);
  }

  if (m_iCanRemove) UpdateLifetime(dt);
}

// A removable ship lives while the main camera sees it, and LIFETIME seconds after.
void AIShipComponent::UpdateLifetime(float dt) {
  ShipEntity* ship = GetShip();
  if (ship->WasVisibleInAnyLastFrame()) m_fLifeTime = LIFETIME;
  m_fLifeTime -= dt;
  if (m_fLifeTime >= 0.0f) return;
  if (!ship->IsMarkedRemoved()) ship->Remove();
  Vision::Game.SendMsg(ship, VIS_MSG_USER_SHIP_DIES, reinterpret_cast<INT_PTR>(ship), 0);
}

float AIShipComponent::Decide(float elapsed) {
  ShipEntity* ship = GetShip();
  BattleManager* battle = BattleManager::GetInstance();
  const VisVector_cl& position = ship->GetPosition();
  const int nation = ship->GetNation();
  float heading = m_fHeading;

  switch (m_iMode) {
    case AIMODE_ATTACK: {
      m_pTargetShip = SelectTargetShip(m_iAttackTargetNation, elapsed);
      heading = ApproachTarget(heading);
      FireCheck(m_iAttackTargetNation);
      bool over = false;
      if (m_iAttackTargetNation < 0) {
        over = !battle->AnyHostileEnemiesInRange(position, kFightRange, nation);
      } else {
        const ShipEntity* closest = battle->GetClosestShip(position, m_iAttackTargetNation);
        over = !closest || PlaneDistance(closest->GetPosition(), position) >= kFightRange;
      }
      if (over) {
        SetAIMode(AIMODE_IDLE);
        if (ShipPathComponent* path = GetPath()) path->UpdateOwner();
        break;
      }
      const Hitpoints& hull = ship->GetStats()->GetHull();
      if (m_bCoward && hull.GetMaximum() > 0 && hull.GetCurrent() <= hull.GetMaximum() / 10) m_iMode = AIMODE_FLEE;
      break;
    }
    case AIMODE_HOLD_FIRE: {
      const Nation* own = GameManager::GetInstance()->GetPlayerNation();
      m_pTargetShip = own ? own->GetPlayerShip() : nullptr;
      if (!m_pTargetShip) {
        m_iMode = AIMODE_FLEE;
        break;
      }
      const VisVector_cl& target = m_pTargetShip->GetPosition();
      const float d = PlaneDistance(target, position);
      if (d > 0.0f) {
        VisVector_cl toward = target - position;
        toward.z = 0.0f;
        heading = CalculateHeadingTo(target - toward * (kEscortGap / d));
      } else {
        heading = CalculateHeadingTo(target);
      }
      break;
    }
    case AIMODE_FLEE: {
      m_pTargetShip = nullptr;
      // Standing on the enemies' centre there is no way away from it: the course holds.
      const VisVector_cl centre = battle->CalculateEnemyCenter(nation);
      if (centre.x != position.x || centre.y != position.y) heading = CalculateHeadingTo(centre) + 180.0f;
      FireCheck(-1);
      break;
    }
    case AIMODE_GOTO_TOWN:
      if (ShipPathComponent* path = GetPath()) {
        if (!path->IsFollowingPath() || path->IsNodeReached(path->GetLastNode())) {
          if (!m_pTargetTown) {
            if (path->IsLooping()) path->ReversePath();
          } else {
            SetAIMode(AIMODE_IDLE);
            EnterTown();
          }
        }
        heading = CalculateHeadingTo(path->GetNextPosition());
      }
      break;
    case AIMODE_SAILING:
      if (ShipPathComponent* path = GetPath()) {
        if (!path->GetPath() || (path->IsFollowingPath() && !path->IsNodeReached(path->GetLastNode())))
          heading = CalculateHeadingTo(path->GetNextPosition());
        else
          SetAIMode(AIMODE_IDLE);
      }
      break;
    case AIMODE_IDLE:
    default:
      m_pTargetShip = nullptr;
      break;
  }
  if (ship->IsMarkedRemoved()) return heading;
  return AvoidCollision(heading, elapsed);
}

ShipEntity* AIShipComponent::SelectTargetShip(int nation) {
  return SelectTargetShip(nation, Vision::Timer.GetTimeDifference());
}

ShipEntity* AIShipComponent::SelectTargetShip(int nation, float elapsed) {
  m_fTargetTimer -= elapsed;
  if (m_fTargetTimer > 0.0f) return m_pTargetShip && !m_pTargetShip->IsMarkedRemoved() ? m_pTargetShip : nullptr;
  m_fTargetTimer = 0.5f + MathTools::RandomFloat();
  ShipEntity* ship = GetShip();
  if (!ship) return nullptr;
  BattleManager* battle = BattleManager::GetInstance();
  if (nation > -1) return battle->GetClosestShip(ship->GetPosition(), nation);
  return battle->GetClosestHostileShip(ship->GetPosition(), ship->GetNation());
}

// Far: straight at the target. On the run: alongside the target's bow, the side
// offset picking the broadside; once a side has fired and is reloading the run may
// change sides. Too close: away until there is room.
float AIShipComponent::ApproachTarget(float heading) {
  if (!m_pTargetShip) return heading;
  ShipEntity* ship = GetShip();
  const VisVector_cl& target = m_pTargetShip->GetPosition();
  const float d = PlaneDistance(target, ship->GetPosition());
  heading = CalculateHeadingTo(target);
  switch (m_iApproachState) {
    case 0:
      if (d < kRunStart) m_iApproachState = 1;
      break;
    case 1:
      if (d > kRunGiveUp)
        m_iApproachState = 0;
      else if (d < kTooClose)
        m_iApproachState = 2;
      if (m_bFired && (GroupState(ship, CANNON_GROUP_LEFT) < 1.0f || GroupState(ship, CANNON_GROUP_RIGHT) < 1.0f)) {
        if (MathTools::RandomInt(0, 100) > 50) m_fSideOffset = -m_fSideOffset;
        m_bFired = false;
      }
      heading = CalculateHeadingTo(target + Forward(m_pTargetShip) * kLeadAhead) + m_fSideOffset;
      break;
    case 2:
      if (d > kCloseEnough) m_iApproachState = 1;
      heading += 180.0f;
      break;
    default:
      break;
  }
  return heading;
}

// Each broadside fires at a wanted ship in its sector unless a ship of the own side
// is there too, and only when it is loaded.
void AIShipComponent::FireCheck(int nation) {
  ShipEntity* ship = GetShip();
  BattleManager* battle = BattleManager::GetInstance();
  const VisVector_cl& position = ship->GetPosition();
  const int own = ship->GetNation();
  struct Broadside {
    float sign;
    int message;
    CannonGroup group;
  };
  static const Broadside kSides[] = {{1.0f, VIS_MSG_USER_CANNON_IGNITE_LEFT, CANNON_GROUP_LEFT},
                                     {-1.0f, VIS_MSG_USER_CANNON_IGNITE_RIGHT, CANNON_GROUP_RIGHT}};
  for (const Broadside& side : kSides) {
    const VisVector_cl direction = Side(ship) * side.sign;
    bool wanted = false, friendly = false;
    if (nation < 0) {
      DynArray_cl<ShipEntity*> enemies(0, nullptr), friends(0, nullptr);
      battle->GetEnemyShipsInsideSector(position, direction, kBroadsideRange, kBroadsideAngle, &enemies, own);
      battle->GetFriendlyShipsInsideSector(position, direction, kBroadsideRange, kBroadsideAngle, &friends, own);
      wanted = HasListed(enemies, ship, -1);
      friendly = HasListed(friends, ship, -1);
    } else {
      DynArray_cl<ShipEntity*> all(0, nullptr);
      battle->GetShipsInsideSector(position, direction, kBroadsideRange, kBroadsideAngle, &all);
      wanted = HasListed(all, ship, nation);
      friendly = HasListed(all, ship, own);
    }
    if (wanted && !friendly && GroupState(ship, side.group) >= 1.0f) {
      ship->SendMsg(side.message, 1, 0);
      m_bFired = true;
    }
  }
}

int AIShipComponent::CalcSailMode() const {
  if (m_iMode == AIMODE_GOTO_TOWN || m_iMode == AIMODE_SAILING) return 2;
  int sails = m_iMode == AIMODE_FLEE ? 2 : 0;
  const ShipEntity* ship = GetShip();
  if (m_pTargetShip && ship) {
    const float d = PlaneDistance(m_pTargetShip->GetPosition(), ship->GetPosition());
    if (m_iMode == AIMODE_HOLD_FIRE)
      sails = d < kEscortStop ? 0 : (d >= kEscortFull ? 2 : 1);
    else
      sails = d >= kChaseFull ? 2 : 1;
    if (sails == 2 && m_iAvoidanceState != 0) sails = 1;
  } else if (m_iMode == AIMODE_FLEE && sails == 2 && m_iAvoidanceState != 0) {
    sails = 1;
  }
  if (m_iAvoidanceState == 5) sails = 1;
  if (m_iMode == AIMODE_IDLE) sails = 0;
  return sails;
}

float AIShipComponent::CalculateHeadingTo(const VisVector_cl& point) const {
  const ShipEntity* ship = GetShip();
  if (!ship) return m_fHeading;
  const VisVector_cl& from = ship->GetPosition();
  if (from.x == point.x && from.y == point.y) return m_fHeading;
  VisMatrix3x3_cl look;
  VisMath_cl::MatrixLookAt(look, from, point, VisVector_cl(0, 0, 1));
  return VisMath_cl::MatrixToEuler(look).x;
}

// ---- collision avoidance -----------------------------------------------------------

// While the last probe's turn lasts, the ship turns away from the side that is
// blocked (less the more open the water ahead); then the water ahead is probed.
float AIShipComponent::AvoidCollision(float heading, float elapsed) {
  if (!m_bTryPreventCollision) return heading;
  ShipEntity* ship = GetShip();
  if (m_fAvoidanceTimer > 0.0f) {
    m_fAvoidanceTimer -= elapsed;
    const float k = std::max(1.0f - m_fFreeWaterRatio, 0.5f);
    const float q = 1.0f - std::min(m_fFreeWaterRatio, 0.9f);
    const VisVector_cl& position = ship->GetPosition();
    const float ahead = CalculateHeadingTo(position + Forward(ship));
    float aside = 0.0f;
    switch (m_iAvoidanceState) {
      case 1: heading = ahead + kAvoidTurn; aside = 1.0f; break;
      case 2: heading = ahead - kAvoidTurn; aside = -1.0f; break;
      case 3: heading = ahead + q * kAvoidTurn; break;
      case 4: heading = ahead - q * kAvoidTurn; break;
      default: break;
    }
    ShipPathComponent* path = GetPath();
    if (aside != 0.0f && path && path->IsFollowingPath())
      path->SetCurrentNodePosition(position + Forward(ship) * kNodeAhead + Side(ship) * (aside * kNodeAside * k));
  }
  m_iAvoidanceState = ProbeObstacles();
  if (m_iAvoidanceState != 0) m_fAvoidanceTimer = kAvoidTime;
  return heading;
}

int AIShipComponent::ProbeObstacles() {
  ShipEntity* ship = GetShip();
  float speed = 1.0f;
  if (const IVisPhysicsObject_cl* physics = ship->GetPhysicsObject())
    speed = std::clamp(physics->GetVelocity().GetLength() / kProbeSpeedUnit, 1.0f, 1.5f);
  const VisVector_cl& position = ship->GetPosition();
  const VisVector_cl origin = position + VisVector_cl(0, 0, kProbeRaise);
  const VisVector_cl forward = Forward(ship);
  const VisVector_cl side = Side(ship);
  const VisVector_cl plusPoint = position + side;
  const VisVector_cl minusPoint = position - side;
  struct Probe {
    VisVector_cl point;
    bool plus;
  };
  const Probe probes[] = {
      {origin + forward * (kProbeAhead * speed) - side * (kProbeAheadAside * speed), false},
      {origin + forward * (kProbeAhead * speed) + side * (kProbeAheadAside * speed), true},
      {origin + forward * (kProbeBeam * speed) - side * (kProbeBeamAside * speed), false},
      {origin + forward * (kProbeBeam * speed) + side * (kProbeBeamAside * speed), true},
  };
  m_iPlusSideCount = 0;
  m_iMinusSideCount = 0;
  m_fFreeWaterRatio = 1.0f;

  // A hit counts for the side it lies nearer; a ship counts where it is heading.
  vPhysXModule* physics = vPhysXModule::GetInstance();
  auto cast = [&](const VisVector_cl& to) {
    if (!physics) return;
    RaycastClosest ray;
    ray.vRayStart = origin;
    ray.vRayEnd = to;
    ray.vRayStart.w = ray.vRayEnd.w = 1.0f;
    ray.pIgnoreEntity = ship;
    ray.iBlockMask = RaycastCanSee::BLOCK_ENTITIES | RaycastCanSee::BLOCK_STATIC_GEOMETRY | RaycastCanSee::BLOCK_TERRAIN;
    physics->PerformRaycast(&ray);
    if (!ray.bHit) return;
    m_fFreeWaterRatio = std::min(m_fFreeWaterRatio, ray.closestHit.fHitFraction);
    VisVector_cl at = ray.vHitPoint;
    if (const ShipEntity* other = AsShip(ray.pHitEntity)) at = other->GetPosition() + Forward(other) * kShipLead;
    if (at.GetDistanceSqr(plusPoint) < at.GetDistanceSqr(minusPoint))
      ++m_iPlusSideCount;
    else
      ++m_iMinusSideCount;
  };
  for (const Probe& probe : probes) cast(probe.point);

  const int byRays = m_iPlusSideCount + m_iMinusSideCount;
  BattleManager* battle = BattleManager::GetInstance();
  for (const Probe& probe : probes) {
    if (!(battle->GetTerrainHeight(probe.point, true) > 0.0f)) continue;
    if (probe.plus)
      ++m_iPlusSideCount;
    else
      ++m_iMinusSideCount;
  }
  const bool land = m_iPlusSideCount + m_iMinusSideCount > byRays;
  // A tie is settled by what lies straight ahead.
  if (m_iPlusSideCount == m_iMinusSideCount) cast(origin + forward * (kProbeAhead * speed));

  if (m_iPlusSideCount > m_iMinusSideCount) return land ? 4 : 2;
  if (m_iMinusSideCount > m_iPlusSideCount) return land ? 3 : 1;
  return m_iPlusSideCount != 0 ? 5 : 0;
}

// ---- towns, targets and attack decisions --------------------------------------------

void AIShipComponent::SetTargetTown(TownEntity* town) {
  m_pTargetTown = town;
  ShipPathComponent* path = GetPath();
  if (town && path) path->MakePathTo(town->GetPosition() - Side(town) * kTownBerth, true);
}

void AIShipComponent::EnterTown() {
  ShipEntity* ship = GetShip();
  if (!m_pTargetTown || !ship) return;
  if (ship->GetNation() == kPlayerNation) {
    if (ShipStats* stats = ship->GetStats()) stats->SetLocation(m_pTargetTown->GetEntityKey());
    if (!ship->IsMarkedRemoved()) ship->Remove();
    return;
  }
  if (ShipPathComponent* path = GetPath()) path->ReversePath();
}

void AIShipComponent::SetTargetEntity(VisBaseEntity_cl* entity, bool notify) {
  if (ShipEntity* ship = AsShip(entity)) m_pTargetShip = ship;
  ShipPathComponent* path = GetPath();
  if (entity && path) path->MakePathTo(entity->GetPosition(), notify);
}

void AIShipComponent::MakeAttackDecision(float range, int chance) {
  if (m_iMode == AIMODE_ATTACK) return;
  ShipEntity* ship = GetShip();
  if (!ship) return;
  BattleManager* battle = BattleManager::GetInstance();
  const int nation = ship->GetNation();
  if (!battle->AnyEnemiesInRange(ship->GetPosition(), range, nation)) {
    m_bDecided = false;
    return;
  }
  if (m_bDecided) return;
  if (MathTools::RandomInt(0, 100) < chance) {
    if (ShipEntity* enemy = battle->GetClosestHostileShip(ship->GetPosition(), nation)) {
      if (AIShipComponent* other = enemy->Components<AIShipComponent>()) {
        other->SetAttackTargetNation(nation);
        other->SetAIMode(AIMODE_ATTACK);
      }
      m_iAttackTargetNation = enemy->GetNation();
      m_iMode = AIMODE_ATTACK;
    }
  }
  m_bDecided = true;
}

// ---- script ----------------------------------------------------------------------

void AIShipComponent::SetScript(const char* file) {
  m_sScriptFile = file ? file : "";
  LoadScript();
}

void AIShipComponent::LoadScript() {
  if (m_sScriptFile.IsEmpty() || !m_pOwner) return;
  if (Vision::Editor.IsInEditor() && !Vision::Editor.IsPlayingTheGame()) return;
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  if (!scripts) return;
  scripts->RemoveScriptInstance(m_pOwner);
  if (IVScriptInstance* script = scripts->CreateScriptInstanceFromFile(m_sScriptFile.AsChar(), m_pOwner))
    scripts->SetScriptInstance(m_pOwner, script);
}

void AIShipComponent::RemoveScript() {
  m_sScriptFile.Reset();
  if (m_pOwner && Vision::GetScriptManager()) Vision::GetScriptManager()->RemoveScriptInstance(m_pOwner);
}

// ---- saved block -------------------------------------------------------------------

void AIShipComponent::Serialize(VArchive& ar) {
  BaseComponent::Serialize(ar);
  SerializeX(ar);
}

bool AIShipComponent::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kBlockVersion);
    ar << m_iSailMode << m_fHeading << m_fDecisionTimer << m_fTargetTimer << m_fAvoidanceTimer;
    ar << m_iApproachState << m_iMode << m_iAvoidanceState << m_bActive << m_bOnManualPath;
    ar << m_sScriptFile << m_bCoward << m_fLifeTime << m_iCanRemove << m_iAttackTargetNation;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "AIShipComponent", kBlockVersion);
  if (!block.IsOpen()) return false;
  decltype(m_iSailMode) sailMode = m_iSailMode;
  decltype(m_fHeading) heading = m_fHeading;
  decltype(m_fDecisionTimer) decisionTimer = m_fDecisionTimer;
  decltype(m_fTargetTimer) targetTimer = m_fTargetTimer;
  decltype(m_fAvoidanceTimer) avoidanceTimer = m_fAvoidanceTimer;
  decltype(m_iApproachState) approach = m_iApproachState;
  decltype(m_iMode) mode = m_iMode;
  decltype(m_iAvoidanceState) avoidance = m_iAvoidanceState;
  decltype(m_bActive) active = m_bActive;
  decltype(m_bOnManualPath) manualPath = m_bOnManualPath;
  decltype(m_bCoward) coward = m_bCoward;
  decltype(m_fLifeTime) lifeTime = m_fLifeTime;
  decltype(m_iCanRemove) canRemove = m_iCanRemove;
  decltype(m_iAttackTargetNation) attackNation = m_iAttackTargetNation;
  VString script;
  if (block.Has(2)) {
    ar >> sailMode >> heading >> decisionTimer >> targetTimer >> avoidanceTimer;
    ar >> approach >> mode >> avoidance >> active >> manualPath;
    if (!ArchiveLimits::ReadString(ar, script, kMaxScriptName)) return block.Fail();
  }
  if (block.Has(3)) ar >> coward;
  if (block.Has(4)) ar >> lifeTime >> canRemove;
  if (block.Has(5)) ar >> attackNation;
  if (!block.End()) return false;
  m_bCoward = coward;
  m_fLifeTime = lifeTime;
  m_iCanRemove = canRemove;
  m_iAttackTargetNation = attackNation;
  if (block.Has(2)) {
    m_iSailMode = sailMode;
    m_fHeading = heading;
    m_fDecisionTimer = decisionTimer;
    m_fTargetTimer = targetTimer;
    m_fAvoidanceTimer = avoidanceTimer;
    m_iApproachState = approach;
    m_iMode = mode;
    m_iAvoidanceState = avoidance;
    m_bActive = active;
    m_bOnManualPath = manualPath;
    m_sScriptFile = script;
    LoadScript();
  }
  return true;
}
