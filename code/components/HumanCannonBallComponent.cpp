// The human cannon ball: the launch, the flight's end at sea or on the world, and
// the boarding fight that captures a ship.
#include "components/HumanCannonBallComponent.h"
#include "entities/ProjectileOwner.h"

#include "components/RagdollComponent.h"
#include "components/AIShipComponent.h"
#include "core/CallbackManager.h"
#include "core/GameManager.h"
#include "entities/MsgPosOri.h"
#include "entities/Nation.h"
#include "entities/ProjectileEntity.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/TownEntity.h"
#include "gui/GUIManager.h"
#include "Managers/AchievementManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/PauseManager.h"
#include "Managers/SoundManager.h"
#include "Managers/TownManager.h"
#include "util/ComponentSetup.h"
#include "util/MathTools.h"

#include "engine/base/VisMath.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VisAnimConfig.h"
#include "engine/core/VisAnimControl.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisParticleEffect.h"
#include "engine/core/VisParticleEffectFile.h"
#include "engine/core/VisParticleGroupManager.h"
#include "engine/physics/vPhysXContactRecord.h"
#include "engine/physics/vPhysXObject.h"
#include "engine/sound/VSoundObject.h"

#include <cmath>

namespace {
const int kMsgHumanCannonBallHit = 30;
const unsigned kOwnShotMask = 12;
const unsigned kEnemyShotMask = 10;
const unsigned kPirateGroup = 2;
const float kLaunchScale = 0.8f;
const float kMainBodyBoost = 1.5f;
const float kFightEffectHeight = 6.0f;
const float kDegToRad = 0.017453292f;

// The body that carries the pirate's ragdoll: the chest.
NxActor* MainBody(RagdollComponent* ragdoll) {
  return ragdoll ? ragdoll->GetBoneActor(RagdollComponent::BONE_CHEST) : nullptr;
}
const int kAchievementCapture = 21;
const int kAchievementCaptureUnscathed = 47;
const char* const kSailToPortScript = "scripts/Ships/AI/SailToPort.lua";

int PlayerNationId() {
  const Nation* own = GameManager::GetInstance()->GetPlayerNation();
  return own ? own->GetNationId() : -1;
}

float Wrapped(float degrees) { return degrees >= 360.0f ? degrees - 360.0f : degrees; }
}  // namespace

V_IMPLEMENT_DYNCREATE(HumanCannonBallComponent, BaseComponent)

HumanCannonBallComponent::~HumanCannonBallComponent() {
  Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
  if (m_spFightEffect) {
    m_spFightEffect->SetHandleWhenVisible(false);
    m_spFightEffect->SetFinished();
    m_spFightEffect = nullptr;
  }
}

int HumanCannonBallComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  return ProjectileOwner::Accepts(object, reason) ? 1 : 0;
}

ProjectileEntity* HumanCannonBallComponent::GetProjectile() const {
  return ProjectileOwner::Of(GetOwner());
}

void HumanCannonBallComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  BaseComponent::SetOwner(owner);
  if (!owner) {
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
    GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
    return;
  }
  Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
  auto* pirate = static_cast<VisBaseEntity_cl*>(owner);
  if (pirate->HasMesh()) return;
  pirate->SetMesh("models\\Characters\\Pirate\\pirate_melee.MODEL");
  pirate->SetScaling(VisVector_cl(2.0f, 2.0f, 2.0f));
  pirate->SetEntityKey("HumanCannonball");
  VisAnimConfig_cl::StartSkeletalAnimation(pirate, "Idle", VANIMCTRL_LOOP, 1.0f + MathTools::RandomFloat());
}

void HumanCannonBallComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data) return;
  if (data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) {
    Update();
  } else if (data->m_pSender == &GameManager::Callbacks.OnEntityDestroyed) {
    // A boarded ship that leaves the world ends the fight without a capture.
    if (static_cast<BaseEntityDataObject*>(data)->m_pEntity == m_pBoardedShip) m_pBoardedShip = nullptr;
  }
}

void HumanCannonBallComponent::Shoot(float power) {
  ProjectileEntity* pirate = GetProjectile();
  if (!pirate) return;
  VisBaseEntity_cl* shooter = pirate->GetShooter();
  const int shooterNation =
      shooter && shooter->IsOfType(BaseEntity::GetClassTypeId()) ? static_cast<BaseEntity*>(shooter)->GetNation() : -2;
  const unsigned mask = shooterNation == PlayerNationId() ? kOwnShotMask : kEnemyShotMask;
  RagdollComponent* ragdoll = ComponentSetup::AddNew<RagdollComponent>(pirate);
  const VisVector_cl velocity = pirate->GetDirection() * power * kLaunchScale;
  if (ragdoll) {
    ragdoll->SetSleepTime(0.0f);
    // The boarding starts from the contacts of his bodies.
    ragdoll->SetContactReport(true);
    ragdoll->SetCollisionMask(mask);
    ragdoll->SetCollisionGroup(kPirateGroup);
    ragdoll->SetVelocity(velocity);
    if (NxActor* body = MainBody(ragdoll)) body->setLinearVelocity(velocity * kMainBodyBoost);
  }
  SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_SHOOT_HUMAN_CANNON, 1.0f, pirate->GetPosition(), 50.0f, 400.0f,
                                            false);
}

void HumanCannonBallComponent::UpdateVelocityForceDown(float force) {
  ProjectileEntity* pirate = GetProjectile();
  RagdollComponent* ragdoll = pirate ? pirate->Components<RagdollComponent>() : nullptr;
  if (!ragdoll) return;
  ragdoll->AddForce(pirate->GetPosition(), VisVector_cl(0, 0, Vision::Timer.GetTimeDifference() * force),
                    RagdollComponent::NX_VELOCITY_CHANGE);
}

void HumanCannonBallComponent::CheckWhenHitWaterLine(float waterHeight) {
  ProjectileEntity* pirate = GetProjectile();
  if (!pirate) return;
  const VisVector_cl p = pirate->GetPosition();
  if (p.z >= waterHeight) return;
  if (VisParticleEffectFile_cl* splash =
          VisParticleGroupManager_cl::GlobalManager().LoadFromFile("Particles\\cannon_splash_01.xml"))
    splash->CreateParticleEffectInstance(VisVector_cl(p.x, p.y, 0.2f), VisVector_cl(0, 0, 0));
  SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_HIT_CANNON_WATER, 1.0f, p, 50.0f, 400.0f, false);
  pirate->RemoveAll();
}

void HumanCannonBallComponent::Explode(bool) {
  if (ProjectileEntity* pirate = GetProjectile()) pirate->RemoveAll();
}

void HumanCannonBallComponent::MessageFunction(int id, INT_PTR p1, INT_PTR p2) {
  if (id != VIS_MSG_PHYSICS_CONTACT || p2 != VPHYSX_CONTACT_NOTIFY || !p1) return;
  OnContact(*reinterpret_cast<const vPhysXContactRecord*>(p1));
}

void HumanCannonBallComponent::OnContact(const vPhysXContactRecord& contact) {
  ProjectileEntity* pirate = GetProjectile();
  // Only the first contact that boards a ship counts; the fight ignores the rest.
  if (!pirate || pirate->IsMarkedRemoved() || m_bFighting) return;
  if (contact.InvolvesWorld()) {
    SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_HIT_CANNON_GROUND, 1.0f, pirate->GetPosition(), 50.0f, 400.0f,
                                              false);
    pirate->RemoveAll();
    return;
  }
  if (!contact.participant[0].pObject || !contact.participant[1].pObject) return;
  ShipEntity* ship = nullptr;
  for (const auto& participant : contact.participant) {
    VisBaseEntity_cl* entity = participant.pObject->GetOwnerEntity();
    if (entity && entity->IsOfType(ShipEntity::GetClassTypeId())) {
      ship = static_cast<ShipEntity*>(entity);
      break;
    }
  }
  VisBaseEntity_cl* shooter = pirate->GetShooter();
  if (!ship || !shooter || ship == shooter || !ship->GetStats() || !ship->GetStats()->CanCapture()) return;

  MsgPosOri hit;
  hit.position = contact.vPoint;
  hit.orientation = pirate->GetOrientation();
  hit.direction = pirate->GetDirection();
  hit.entity = pirate;
  SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_HIT_HUMAN_CANNON, 1.0f, pirate->GetPosition(), 50.0f, 400.0f,
                                            false);
  ship->MessageFunction(kMsgHumanCannonBallHit, reinterpret_cast<INT_PTR>(&hit), 0);
  m_pBoardedShip = ship;
  Vision::Error.SystemMessage("HumanCannonBallComponent::MessageFunction() Boarding %s.", ship->GetEntityKey());
  BeginFight();
}

void HumanCannonBallComponent::BeginFight() {
  ProjectileEntity* pirate = GetProjectile();
  if (!pirate || m_bFighting) return;
  if (RagdollComponent* ragdoll = pirate->Components<RagdollComponent>()) {
    ragdoll->SetCollisionMask(0);
    ragdoll->SetCollisionGroup(0);
  }
  if (!m_spCaptureSound) {
    VSoundObject* sound = SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_CAPTURING_SHIP, 1.0f,
                                                                    pirate->GetPosition(), 10.0f, 400.0f, false);
    m_spCaptureSound = sound;
    if (sound) {
      sound->AddStateFlags(VSOUND_KEPT);
      sound->AttachToParent(pirate);
    }
  } else if (!m_spCaptureSound->IsPlaying()) {
    m_spCaptureSound->Play(0.0f);
  }
  m_bFighting = true;
  if (VisParticleEffectFile_cl* file =
          VisParticleGroupManager_cl::GlobalManager().LoadFromFile("Particles\\HumanCannonBall_Fighting.xml")) {
    m_spFightEffect = file->CreateParticleEffectInstance(pirate->GetPosition(), VisVector_cl(0, 0, 0));
    if (m_spFightEffect && m_pBoardedShip) {
      m_spFightEffect->AttachToParent(m_pBoardedShip);
      m_spFightEffect->SetLocalPosition(VisVector_cl(0, 0, kFightEffectHeight));
    }
  }
}

void HumanCannonBallComponent::Update() {
  if (PauseManager::GetInstance()->IsAnyPaused()) return;
  ProjectileEntity* pirate = GetProjectile();
  if (!pirate || pirate->IsMarkedRemoved()) return;
  if (m_bFighting) {
    FightStep(Vision::Timer.GetTimeDifference());
    return;
  }
  UpdateVelocityForceDown(FALL_FORCE);
  CheckWhenHitWaterLine(0.0f);
}

void HumanCannonBallComponent::FightStep(float dt) {
  ProjectileEntity* pirate = GetProjectile();
  VisBaseEntity_cl* shooter = pirate->GetShooter();
  if (shooter && shooter->IsOfType(ShipEntity::GetClassTypeId())) {
    const ShipStats* own = static_cast<ShipEntity*>(shooter)->GetStats();
    if (own && own->GetHull().GetCurrent() <= 0) {
      EndFight();
      return;
    }
  }
  ShipStats* boarded = m_pBoardedShip ? m_pBoardedShip->GetStats() : nullptr;
  if (!boarded) {
    EndFight();
    return;
  }
  // Both clocks run whether or not the ragdoll has bodies to show the fight with.
  boarded->SetBoardingTime(boarded->GetBoardingTime() - dt);
  m_fFightTime -= dt;
  if (boarded->GetBoardingTime() < 0.0f || m_fFightTime < 0.0f) {
    EndFight();
    return;
  }
  m_fOrbitAngle = Wrapped(m_fOrbitAngle + dt * ORBIT_SPEED);
  m_fSpinAngle = Wrapped(m_fSpinAngle + dt * SPIN_SPEED);
  const VisVector_cl ship = m_pBoardedShip->GetPosition();
  const float orbit = m_fOrbitAngle * kDegToRad;
  const VisVector_cl at(ship.x + ORBIT_RADIUS * std::sin(orbit), ship.y + ORBIT_RADIUS * std::cos(orbit),
                        ship.z + ORBIT_HEIGHT);
  VisMatrix3x3_cl spin, tilt;
  spin.SetRotationAxis(VisVector_cl(0, 0, 1), m_fSpinAngle);
  tilt.SetRotationAxis(VisVector_cl(0, 1, 0), -90.0f);
  const VisMatrix3x3_cl turn = spin * tilt;
  if (NxActor* body = MainBody(pirate->Components<RagdollComponent>())) {
    body->raiseBodyFlag(NX_BF_KINEMATIC);
    body->moveGlobalPose(at, turn);
  } else {
    pirate->SetPosition(at);
    pirate->SetRotationMatrix(turn);
  }
}

void HumanCannonBallComponent::EndFight() {
  ProjectileEntity* pirate = GetProjectile();
  if (m_spFightEffect) {
    m_spFightEffect->SetHandleWhenVisible(false);
    m_spFightEffect->SetFinished();
    m_spFightEffect = nullptr;
  }
  if (m_spCaptureSound) m_spCaptureSound->FadeOut(1.0f);
  m_bFighting = false;
  ShipEntity* ship = m_pBoardedShip;
  m_pBoardedShip = nullptr;
  if (ship && ship->GetStats() && ship->GetStats()->GetBoardingTime() < 0.0f && ship->GetNation() != PlayerNationId())
    Capture(ship);
  if (pirate) pirate->RemoveAll();
}

void HumanCannonBallComponent::Capture(ShipEntity* ship) {
  ProjectileEntity* pirate = GetProjectile();
  const int nation = pirate ? pirate->GetNation() : ship->GetNation();
  GameSessionManager::GetInstance()->SwapPlayerNPCShip(ship);
  ship->SetNation(nation);
  ShipStats* stats = ship->GetStats();
  stats->SetScript("");
  stats->SetPlayerShip(false);
  stats->SetShipNation(nation);
  StrongholdEntity* port = TownManager::GetInstance()->GetNearestStronghold(ship->GetPosition(), true);
  AIShipComponent* ai = ship->Components<AIShipComponent>();
  if (port && ai) {
    ai->SetTargetTown(port);
    ai->SetAIMode(AIShipComponent::AIMODE_GOTO_TOWN);
    ai->m_sScriptFile = kSailToPortScript;
    ai->LoadScript();
  }
  Vision::Error.SystemMessage("HumanCannonBallComponent::Capture() %s captured for nation %d.", ship->GetEntityKey(),
                              nation);
  GUIManager::GetInstance()->ShowMessage("str_SHIP_CAPTURED", 5.0f, 2.0f);
  AchievementManager* achievements = AchievementManager::GetInstance();
  achievements->SetAchievement(kAchievementCapture);
  GameManager* game = GameManager::GetInstance();
  const Nation* own = game->GetPlayerNation();
  ShipEntity* flagship = own ? own->GetPlayerShip() : nullptr;
  const ShipStats* flagStats = flagship ? flagship->GetStats() : nullptr;
  if (nation == PlayerNationId() && game->IsPlayerAtSea() && flagStats &&
      flagStats->GetHull().GetCurrent() == flagStats->GetHull().GetMaximum())
    achievements->SetAchievement(kAchievementCaptureUnscathed);
}
