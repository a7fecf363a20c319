// Damage, sinking and battle engagement of a ship: hit messages become losses on
// the record's hull and sails; a hull below 1 sinks the ship, which goes down to
// the sinking depth, dies (17) and is removed.
#include "components/ShipBattleComponent.h"

#include "components/AIShipComponent.h"
#include "components/CannonComponent.h"
#include "components/HealthBarComponent.h"
#include "components/ShipMovementComponent.h"
#include "components/SirenComponent.h"
#include "components/StorageComponentProto.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "entities/CannonEntity.h"
#include "entities/MsgPosOri.h"
#include "entities/Nation.h"
#include "entities/PlayerStats.h"
#include "entities/ProjectileEntity.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/Skill.h"
#include "gui/FrameFadeOut.h"
#include "gui/GUIManager.h"
#include "Managers/AchievementManager.h"
#include "Managers/ArtifactManager.h"
#include "Managers/BattleManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/MusicManager.h"
#include "Managers/NoiseManagerProto.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SoundManager.h"
#include "util/ComponentSetup.h"
#include "util/MathTools.h"

#include "engine/Vision.h"
#include "engine/core/VisParticleGroupManager.h"
#include "engine/physics/NxActor.h"
#include "engine/physics/vPhysXRigidBody.h"

#include <algorithm>
#include <cmath>

namespace {

const char kBattleVersion = 2;
const float kCriticalFactor = 2.0f;
const float kHealthBarSeconds = 3.0f;
const float kNoiseRange = 100.0f;
const float kBowFirstTilt = 3.0f;
// Message the AI hears when a hit switches it to attack.
const int kMsgAIEngaged = 37;
// Hit messages without debug names.
const int kMsgMineHit = 20;
const int kMsgMirvHit = 21;
const int kMsgMortarHit = 23;
const int kMsgMortarSplash = 24;
const int kMsgRocketHit = 25;
const int kMsgHumanCannonBall = 30;
const int kMsgKrakenHit = 32;
const int kMsgSirenNote = 33;
// Items and achievements consulted by hits.
const int kArtifactPowder = 11;
const int kArtifactDjBox = 13;
const int kAchievementMortarKill = 1;
const int kAchievementSinkNation5 = 22;
const int kAchievementCannonKill = 24;
const int kAchievementOneShot = 25;
const int kNationOfAchievements = 5;

const MsgPosOri* RecordOf(INT_PTR hitRecord) { return reinterpret_cast<const MsgPosOri*>(hitRecord); }

// The entity that fired the recorded projectile, or null.
VisBaseEntity_cl* ShooterOf(const MsgPosOri* record) {
  if (!record || !record->entity || !record->entity->IsOfType(ProjectileEntity::GetClassTypeId())) return nullptr;
  return static_cast<ProjectileEntity*>(record->entity)->GetShooter();
}

ShipEntity* AsShip(VisTypedEngineObject_cl* e) {
  return e && e->IsOfType(ShipEntity::GetClassTypeId()) ? static_cast<ShipEntity*>(e) : nullptr;
}

int PlayerNationId() {
  const Nation* player = GameManager::HasInstance() ? GameManager::GetInstance()->GetPlayerNation() : nullptr;
  return player ? player->GetNationId() : -1;
}

VisBaseEntity_cl* PlayerEntity() { return GameManager::HasInstance() ? GameManager::GetInstance()->GetPlayerEntity() : nullptr; }

int NationOf(const VisBaseEntity_cl* e) {
  return e && e->IsOfType(BaseEntity::GetClassTypeId()) ? static_cast<const BaseEntity*>(e)->GetNation() : 0;
}

// The sum of the player's skill bonuses on cannon damage: each skill's damage
// factor (0 outside a campaign).
float PlayerSkillBonus() {
  const PlayerStats* player = GameSessionManager::HasInstance() ? GameSessionManager::GetInstance()->GetPlayer() : nullptr;
  if (!player) return 0.0f;
  float sum = 0.0f;
  for (const Skill& skill : player->GetSkills()) sum += skill.GetValue(Skill::DAMAGE_FACTOR);
  return sum;
}

}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(ShipBattleComponent, BaseComponent, &ShipBattleComponent::BuildVarList)

void ShipBattleComponent::BuildVarList(VARTABLE& t) {
  VAR_INT(t, ShipBattleComponent, m_iHullHitPoints, "Ship Hull Hitpoints", "200");
  VAR_INT(t, ShipBattleComponent, m_iHullHitPointsMax, "Ship Hull Hitpoints Max", "200");
  VAR_INT(t, ShipBattleComponent, m_iSailsHitPoints, "Ship Sails Hitpoints", "200");
  VAR_INT(t, ShipBattleComponent, m_iSailsHitPointsMax, "Ship Sails Hitpoints Max", "200");
  VAR_INT(t, ShipBattleComponent, m_iArmor, "Armor", "0");
  V_DEFINE_VAR(t, ShipBattleComponent, m_PrivateFighter, VULPTYPE_BOOL,
               "Trigger to make this ship to ignore shooting and cry for help", "FALSE", nullptr);
  V_DEFINE_VAR(t, ShipBattleComponent, m_bGodMode, VULPTYPE_BOOL, "As the name suggests", "FALSE", nullptr);
  V_DEFINE_VAR(t, ShipBattleComponent, m_bAttackOnHumanCBHit, VULPTYPE_BOOL, "Start attack from human cannonball hit",
               "FALSE", nullptr);
}

ShipBattleComponent::ShipBattleComponent() {
  m_fRollRate = MathTools::RandomFloat() * 0.2f + 0.15f;
  m_fPitchRate = MathTools::RandomFloat() * 0.4f - 0.2f;
  GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
}

ShipBattleComponent::~ShipBattleComponent() {
  Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
}

int ShipBattleComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  return ShipEntity::AcceptsComponentOwner(object, reason);
}

void ShipBattleComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  BaseComponent::SetOwner(owner);
  if (owner) {
    Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
    Initialize();
  } else {
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  }
}

void ShipBattleComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) Update(Vision::Timer.GetTimeDifference());
  // A shooter sunk and freed before this ship goes down earns nothing.
  if (data && data->m_pSender == &GameManager::Callbacks.OnEntityDestroyed && m_pLatestShooter &&
      static_cast<BaseEntityDataObject*>(data)->m_pEntity == static_cast<VisBaseEntity_cl*>(m_pLatestShooter))
    m_pLatestShooter = nullptr;
}

ShipEntity* ShipBattleComponent::GetShip() const { return AsShip(GetOwner()); }

// ---- hits ---------------------------------------------------------------------------

bool ShipBattleComponent::CannonBallDamage(INT_PTR hitRecord, float& hull, float& sails) const {
  VisBaseEntity_cl* shooter = ShooterOf(RecordOf(hitRecord));
  ShipEntity* attacker = AsShip(shooter);
  if (!attacker) {
    hull = sails = 1.0f + 2.0f * MathTools::RandomFloat();
    return true;
  }
  const ShipStats* stats = attacker->GetStats();
  if (!stats) return false;
  const float factor = stats->GetDamageFactor();
  float base = stats->GetCannonBallDamage() * factor;
  if (stats->IsPlayerShip()) base *= 1.0f + PlayerSkillBonus();
  hull = base * factor;
  sails = (base * 0.5f + 0.5f) * factor;
  return true;
}

void ShipBattleComponent::MessageFunction(int id, INT_PTR p1, INT_PTR p2) {
  switch (id) {
    case VIS_MSG_USR_SHIP_HIT_HULL: {
      float hull = 0.0f, sails = 0.0f;
      if (CannonBallDamage(p1, hull, sails)) TakeHit(hull, 2, 0.0f, 0.1f, 1.0f, true, p1, p2);
      return;
    }
    case VIS_MSG_USR_SHIP_HIT_SAILS: {
      float hull = 0.0f, sails = 0.0f;
      if (CannonBallDamage(p1, hull, sails)) TakeHit(sails, 2, sails, 0.1f, 1.0f, true, p1, p2);
      return;
    }
    case kMsgMineHit:
    case kMsgRocketHit:
    case kMsgMortarHit:
    case kMsgMortarSplash: {
      ShipEntity* attacker = AsShip(ShooterOf(RecordOf(p1)));
      if (id != kMsgMortarHit && id != kMsgMortarSplash) m_pLatestShooter = attacker;
      const ShipStats* stats = attacker ? attacker->GetStats() : nullptr;
      if (!stats) return;
      if (id == kMsgMineHit)
        TakeHit(stats->GetMineDamage(), 1, stats->GetMineDamage(), 0.0f, 1.0f, false, p1, p2);
      else if (id == kMsgRocketHit)
        TakeHit(stats->GetRocketDamage(), 1, stats->GetRocketDamage(), 0.0f, 1.0f, false, p1, p2);
      else if (id == kMsgMortarHit)
        TakeHit(stats->GetMortarDamage(), 3, 0.0f, 0.1f, 5.0f, false, p1, p2);
      else
        TakeHit(stats->GetMortarDamage() * 0.5f, 3, stats->GetMortarDamage() * 0.5f, 0.1f, 5.0f, false, p1, p2);
      return;
    }
    case kMsgMirvHit: {
      // The first parameter is the attacking ship itself, not a hit record.
      ShipEntity* attacker = AsShip(reinterpret_cast<VisTypedEngineObject_cl*>(p1));
      m_pLatestShooter = attacker;
      const ShipStats* stats = attacker ? attacker->GetStats() : nullptr;
      if (!stats) return;
      TakeHit(stats->GetMirvDamage(), 1, stats->GetMirvDamage(), 0.0f, 1.0f, false, 0, p2);
      return;
    }
    case kMsgHumanCannonBall: {
      ShipEntity* attacker = AsShip(ShooterOf(RecordOf(p1)));
      if (attacker && GetShip() && GetShip()->Components<AIShipComponent>()) EngageToBattle(attacker);
      return;
    }
    case kMsgSirenNote: {
      // A note never engages the AI; the siren that sang it draws the damage. The
      // hit passes no record, so no shooter is known to the hit.
      m_bSkipEngage = true;
      VisBaseEntity_cl* singer = ShooterOf(RecordOf(p1));
      const SirenComponent* siren = singer ? singer->Components<SirenComponent>() : nullptr;
      if (siren) TakeHit(siren->GetDamage(), 0, 0.0f, 0.0f, 1.0f, false, 0, p2);
      return;
    }
    case kMsgKrakenHit:
      // The kraken's hit damage comes with the kraken.
      return;
    default:
      return;
  }
}

void ShipBattleComponent::TakeHit(float hullDamage, int /*kind*/, float sailDamage, float criticalChance,
                                  float sinkingSpeed, bool destroyed, INT_PTR hitRecord, INT_PTR extra) {
  ShipEntity* ship = GetShip();
  if (!ship || ship->IsMarkedRemoved() || !ship->GetStats()) return;
  ShipStats* stats = ship->GetStats();
  VisBaseEntity_cl* player = PlayerEntity();

  bool byPlayer = false, mortar = false, dropped = false, mirvCluster = false, rocket = false;
  VisBaseEntity_cl* attacker = nullptr;
  const MsgPosOri* record = RecordOf(hitRecord);
  if (record && record->entity) {
    VisBaseEntity_cl* projectile = record->entity;
    VisBaseEntity_cl* shooter = ShooterOf(record);
    byPlayer = shooter && shooter == player;
    ArtifactManager* artifacts = ArtifactManager::GetInstance();
    if (artifacts->IsActive(kArtifactPowder)) {
      const float boost = 1.0f + artifacts->GetEffect(kArtifactPowder);
      hullDamage *= boost;
      sailDamage *= boost;
    }
    mortar = projectile->GetComponentOfType("MortarComponent") != nullptr;
    dropped = projectile->IsOfType("FartBombEntity") || projectile->IsOfType("MineEntity");
    mirvCluster = projectile->GetComponentOfType("MirvClusterComponent") != nullptr;
    rocket = projectile->GetComponentOfType("RocketComponent") != nullptr;
    attacker = shooter;
  }

  Hitpoints& hull = stats->GetHull();
  const bool critical = MathTools::RandomFloat() < criticalChance;
  int loss = (int)(critical ? hullDamage * kCriticalFactor : hullDamage) - m_iArmor;
  if (loss < 1) loss = 1;
  if (m_bGodMode) loss = 0;

  if (!critical && attacker && ship == player && loss >= hull.GetCurrent() && hull.GetCurrent() == hull.GetMaximum() &&
      NationOf(attacker) == kNationOfAchievements)
    AchievementManager::GetInstance()->SetAchievement(kAchievementOneShot);

  if (hull.GetMaximum() >= 0) hull.SetCurrent(std::clamp(hull.GetCurrent() - loss, 0, hull.GetMaximum()));
  if (critical) ship->MessageFunction(VIS_MSG_USER_SHIP_HIT_HULL_CRITICAL, hitRecord, extra);
  if (!m_bSinking) ship->MessageFunction(VIS_MSG_USER_SHIP_UNDER_50_HULL, 0, 0);

  if (hull.GetCurrent() < 1 && !m_bSinking) {
    StartSinking(sinkingSpeed, destroyed);
    SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_DESTROY_SHIP, 1.0f, ship->GetPosition(), 50.0f, 400.0f, false);
    if (byPlayer) {
      AchievementManager* achievements = AchievementManager::GetInstance();
      if (mortar) achievements->IncValue(kAchievementMortarKill, 1.0f, false);
      if (ship->GetNation() == kNationOfAchievements) achievements->IncValue(kAchievementSinkNation5, 1.0f, true);
      if (!mortar && !dropped && !rocket && !mirvCluster) achievements->IncValue(kAchievementCannonKill, 1.0f, true);
    }
    ArtifactManager* artifacts = ArtifactManager::GetInstance();
    ShipEntity* playerShip = AsShip(player);
    if (artifacts->IsActive(kArtifactDjBox) && ship != player && playerShip && playerShip->GetStats())
      playerShip->AddHitpoints(
          (int)(artifacts->GetEffect(kArtifactDjBox) * (float)playerShip->GetStats()->GetHull().GetMaximum()));
  }

  Hitpoints& sails = stats->GetSails();
  const int sailLoss = m_bGodMode ? 0 : (int)sailDamage;
  if (sails.GetMaximum() >= 0) sails.SetCurrent(std::clamp(sails.GetCurrent() - sailLoss, 0, sails.GetMaximum()));

  if (m_bSkipEngage)
    m_bSkipEngage = false;
  else
    EngageToBattle(AsShip(attacker));
  if (!m_PrivateFighter) MakeNoise(0);

  if (HealthBarComponent* bar = ComponentSetup::TakeOrAdd<HealthBarComponent>(ship)) bar->Show(kHealthBarSeconds);
}

void ShipBattleComponent::EngageToBattle(ShipEntity* attacker) {
  ShipEntity* ship = GetShip();
  if (!ship) return;
  if (attacker && attacker->GetNation() == ship->GetNation()) return;
  BattleManager::GetInstance()->StartBattle();
  AIShipComponent* ai = ship->Components<AIShipComponent>();
  if (!ai || ship->GetNation() == 1 || ai->IsOnManualPath() || m_PrivateFighter) return;
  if (ai->GetAIMode() != AIShipComponent::AIMODE_ATTACK) {
    Vision::Game.SendMsg(ship, kMsgAIEngaged, 0, 0);
    if (attacker) ai->SetAttackTargetNation(attacker->GetNation());
  }
  ai->SetAIMode(AIShipComponent::AIMODE_ATTACK);
}

void ShipBattleComponent::MakeNoise(eNoiseType type) {
  ShipEntity* ship = GetShip();
  if (!ship) return;
  NoiseManagerProto::GetInstance()->MakeNoise(ship, type, 0.0f, kNoiseRange, NOISE_FALLOFF_LINEAR);
}

void ShipBattleComponent::SetAutoFire(bool on) {
  ShipEntity* ship = GetShip();
  if (!ship) return;
  for (int i = 0; i < ship->GetNumChildren(); ++i) {
    VisObject3D_cl* child = ship->GetChild(i);
    if (!child || !child->IsOfType(CannonEntity::GetClassTypeId())) continue;
    for (int c = 0; c < child->GetComponentCount(); ++c) {
      IVObjectComponent* component = child->GetComponent(c);
      if (component->IsOfType(CannonComponent::GetClassTypeId())) static_cast<CannonComponent*>(component)->SetAutoFire(on);
    }
  }
}

// ---- sinking --------------------------------------------------------------------------

void ShipBattleComponent::StartSinking(float sinkingSpeed, bool destroyed) {
  ShipEntity* ship = GetShip();
  if (!ship || !ship->GetStats()) return;
  VisBaseEntity_cl* player = PlayerEntity();
  // The wreck's loot floats up where it went down (emptied at once, so once only).
  if (StorageComponentProto* storage = ship->Components<StorageComponentProto>()) storage->DropAllCollectables();
  SinkingPhysicsStart(ship);
  SpawnEffect("Particles\\ship_sinking.xml", ship->GetPosition());
  if (destroyed) SpawnEffect("Particles\\ship_destroy.xml", ship->GetPosition());

  ship->MessageFunction(VIS_MSG_USER_SHIP_SINK, 0, 0);
  m_bSinking = true;
  m_fSinkingSpeed = sinkingSpeed;

  if (ship->GetNation() == PlayerNationId()) {
    if (ship != player) return;
    // Game over: the player's ship goes down.
    if (GUIManager::HasInstance()) {
      GUIManager* gui = GUIManager::GetInstance();
      if (gui->IsWindowVisible(WT_MISSION_LOAD_BAR)) gui->CloseWindow(WT_MISSION_LOAD_BAR, false);
    }
    GameSessionManager::GetInstance()->SetPlayerAlive(false);
    float fadeTime = 0.0f;
    if (GUIManager::HasInstance()) {
      GUIManager* gui = GUIManager::GetInstance();
      gui->ShowWindow(WT_FADE_OUT, nullptr);
      if (BaseWindow* frame = gui->GetWindow(WT_FADE_OUT)) fadeTime = static_cast<FrameFadeOut*>(frame)->StartFadeOut();
      gui->ShowMessage("str_GAME_OVER", 5.0f, 2.0f);
      gui->ShowAdditionalMessage(CEGUI::String(""), 5.0f, 2.0f);
    }
    GameManager::GetInstance()->PlayerDiedLoadSave(fadeTime);
    return;
  }
  if (m_pLatestShooter && m_pLatestShooter->GetNation() == PlayerNationId()) {
    if (PlayerStats* playerStats = GameSessionManager::GetInstance()->GetPlayer())
      playerStats->AddExperience(ship->GetStats()->GetExperienceAmount());
  }
}

void ShipBattleComponent::Update(float dt) {
  ShipEntity* ship = GetShip();
  if (!ship || ship->IsMarkedRemoved() || !ship->GetStats()) return;

  if (m_bSinking) {
    if (m_iSinkingStyle == SINKING_NONE) m_iSinkingStyle = 1 + (VRandomInt() & 1);
    if (IVObjectComponent* movement = ship->Components<ShipMovementComponent>()) ship->RemoveComponentDeferred(movement);
    if (m_iSinkingStyle == SINKING_LINEAR)
      UpdateSinkingLinear(dt);
    else
      UpdateSinkingBowFirst(dt);
    if (ship->IsMarkedRemoved()) return;
  }

  if (ship != PlayerEntity()) return;
  BattleManager* battle = BattleManager::GetInstance();
  DynArray_cl<ShipEntity*> near(0, nullptr);
  battle->GetFriendlyShipsWithinRange(ship->GetPosition(), BATTLE_RANGE, &near, 0);
  battle->GetEnemyShipsWithinRange(ship->GetPosition(), BATTLE_RANGE, &near, 0);
  bool attacked = false;
  const unsigned used = near.GetValidSize();
  for (unsigned i = 0; i < used && !attacked; ++i) {
    ShipEntity* other = near.Get(i);
    if (!other || other == ship) continue;
    const AIShipComponent* ai = other->Components<AIShipComponent>();
    attacked = ai && ai->GetTargetShip() && ai->GetAIMode() == AIShipComponent::AIMODE_ATTACK &&
               ai->GetAttackTargetNation() == ship->GetNation();
  }
  if (attacked) {
    battle->StartBattle();
    MusicManager::GetInstance()->PlayBattleMusic();
  } else {
    battle->EndBattle();
  }
}

void ShipBattleComponent::UpdateSinkingLinear(float dt) { SinkBy(dt * m_fSinkingSpeed, false); }

void ShipBattleComponent::UpdateSinkingBowFirst(float dt) { SinkBy(dt * m_fSinkingSpeed, true); }

void ShipBattleComponent::SinkBy(float step, bool bowFirst) {
  ShipEntity* ship = GetShip();
  if (!ship) return;
  m_fSinkingZOffset -= step;
  const bool tilting = bowFirst && m_fSinkingPitch < MAX_SINKING_PITCH;
  if (tilting) m_fSinkingPitch += m_fSinkingPitchSpeed * step;
  if (!SinkingPhysicsStep(ship, bowFirst, tilting)) {
    ship->IncPosition(VisVector_cl(0.0f, 0.0f, -step));
    if (tilting) ship->IncOrientation(VisVector_cl(0.0f, step * kBowFirstTilt, 0.0f));
  }
  if (m_fSinkingZOffset <= SINK_DEPTH) {
    ship->MessageFunction(VIS_MSG_USER_SHIP_DIES, reinterpret_cast<INT_PTR>(ship), 0);
    if (!ship->IsMarkedRemoved()) ship->Remove();
  }
}

// ---- saved block ------------------------------------------------------------------------

void ShipBattleComponent::Serialize(VArchive& ar) {
  BaseComponent::Serialize(ar);
  SerializeX(ar);
}

bool ShipBattleComponent::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kBattleVersion);
    ar << m_bSinking << m_bGodMode << m_fSinkingSpeed << m_fSinkingZOffset << m_fSinkingPitch << m_fSinkingPitchSpeed
       << m_iSinkingStyle << m_iArmor << m_fRollRate << m_fPitchRate << m_PrivateFighter;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "ShipBattleComponent", kBattleVersion);
  if (!block.IsOpen()) return false;
  bool sinking = false;
  int godMode = 0, style = 0, armor = 0, privateFighter = 0;
  float speed = 0, zOffset = 0, pitch = 0, pitchSpeed = 0, roll = 0, pitchRate = 0;
  if (block.Has(2))
    ar >> sinking >> godMode >> speed >> zOffset >> pitch >> pitchSpeed >> style >> armor >> roll >> pitchRate >>
        privateFighter;
  if (!block.End()) return false;
  if (block.Has(2)) {
    m_bSinking = sinking;
    m_bGodMode = godMode;
    m_fSinkingSpeed = speed;
    m_fSinkingZOffset = zOffset;
    m_fSinkingPitch = pitch;
    m_fSinkingPitchSpeed = pitchSpeed;
    m_iSinkingStyle = style;
    m_iArmor = armor;
    m_fRollRate = roll;
    m_fPitchRate = pitchRate;
    m_PrivateFighter = privateFighter;
  }
  return true;
}

void ShipBattleComponent::SpawnEffect(const char* file, const VisVector_cl& position) {
  if (VisParticleEffectFile_cl* effect = VisParticleGroupManager_cl::GlobalManager().LoadFromFile(file))
    effect->CreateParticleEffectInstance(position, VisVector_cl(0.0f, 0.0f, 0.0f));
}

// Bitmask 8 shares no bit with the ships' collision groups, so a sinking hull no
// longer pushes the living ships.
void ShipBattleComponent::SinkingPhysicsStart(ShipEntity* ship) {
  if (IVisPhysicsObject_cl* physics = ship->GetPhysicsObject())
    if (physics->IsOfType(vPhysXObject::GetClassTypeId())) static_cast<vPhysXObject*>(physics)->SetCollisionBitmask(8);
}

// The frozen height keeps the water and gravity from holding the hull up; the
// velocity set here takes it down.
bool ShipBattleComponent::SinkingPhysicsStep(ShipEntity* ship, bool bowFirst, bool tilting) {
  vPhysXRigidBody* body = ship->Components<vPhysXRigidBody>();
  NxActor* actor = body ? body->GetActor() : nullptr;
  if (!actor) return false;
  actor->raiseBodyFlag(NX_BF_FROZEN_POS_Z);
  actor->setLinearVelocity(VisVector_cl(0.0f, 0.0f, -m_fSinkingSpeed));
  if (bowFirst && tilting)
    actor->setAngularVelocity(VisVector_cl(m_fRollRate * m_fSinkingSpeed, m_fPitchRate * m_fSinkingSpeed, 0.0f));
  else
    actor->setAngularVelocity(VisVector_cl(0.0f, 0.0f, 0.0f));
  return true;
}
