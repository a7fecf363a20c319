// Area-effect shells: the arc or the homing flight, the impact tests, the blast
// (soldiers, ragdolls, buildings, the gate) and the kind's impact effect.
#include "entities/AreaEffectProjectileEntity.h"

#include "components/RagdollComponent.h"
#include "components/InfantryPathComponent.h"
#include "core/GameManager.h"
#include "core/Player.h"
#include "core/RtsManager.h"
#include "entities/FSM/DizzyState.h"
#include "entities/ProjectileTrail.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"
#include "Managers/AchievementManager.h"
#include "Managers/PauseManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SoundManager.h"
#include "util/ComponentSetup.h"
#include "util/MathTools.h"

#include "engine/Vision.h"
#include "engine/base/DynArray.h"
#include "engine/base/VArchive.h"
#include "engine/base/VisError.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VScriptManager.h"
#include "engine/core/VisCollisionToolkit.h"
#include "engine/core/VisGame.h"
#include "engine/core/VisParticleGroupManager.h"
#include "engine/physics/vPhysXCharacterController.h"
#include "engine/sound/VSoundObject.h"

#include <algorithm>
#include <cmath>

namespace {

const char kAreaEffectVersion = 2;
const float kHomingTurnScale = 15.0f;
const float kArcScale = 0.05f;
const float kArrivedSqr = 0.0625f;
const float kFlingScale = 100.0f;
const float kFlingLift = 0.3f;
const float kFlingSleepTime = 10.0f;
const float kMonkeyHeight = 2.0f;
const int kAchievementStinkBomb = 5;
const int kStinkBombCrowd = 10;
const int kBuildingHitMessage = 201;
const int kDefaultBuildingDamage = 10;
// The hit that leaves the gate no hit points whatever its armour.
const int kGateBreakingHit = 0x3fffffff;

IVScriptInstance* ScriptWith(VisTypedEngineObject_cl* object, const char* function) {
  VScriptResourceManager* manager = Vision::GetScriptManager();
  IVScriptInstance* script = manager ? manager->GetScriptInstance(object) : nullptr;
  return script && script->IsValid() && script->HasFunction(function) ? script : nullptr;
}

void EndEffect(VSmartPtr<VisParticleEffect_cl>& effect) {
  if (!effect) return;
  effect->SetHandleWhenVisible(false);
  effect->SetRemoveWhenFinished(true);
  effect->SetFinished();
  effect = nullptr;
}

VisParticleEffect_cl* StartEffect(const char* file, const VisVector_cl& at, float scale) {
  VisParticleEffectFile_cl* effect = VisParticleGroupManager_cl::GlobalManager().LoadFromFile(file);
  return effect ? effect->CreateParticleEffectInstance(at, VisVector_cl(0, 0, 0), scale) : nullptr;
}

}  // namespace

V_IMPLEMENT_DYNCREATE(AreaEffectProjectileEntity, BaseEntity)

AreaEffectProjectileEntity::AreaEffectProjectileEntity() {
  SetUseEulerAngles(false);
  GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
}

AreaEffectProjectileEntity::~AreaEffectProjectileEntity() {
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
  EndEffect(m_spTrail);
  EndEffect(m_spImpactEffect);
  m_spFlightSound = nullptr;
}

float AreaEffectProjectileEntity::GroundHeight(const VisVector_cl& point) {
  return Vision::World.HasTerrain() ? Vision::World.GetHeightAtWorldPos(point.x, point.y) : 0.0f;
}

void AreaEffectProjectileEntity::SetShooter(BaseEntity* shooter) { m_pShooter = shooter; }

void AreaEffectProjectileEntity::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &GameManager::Callbacks.OnEntityDestroyed) {
    if (static_cast<BaseEntityDataObject*>(data)->m_pEntity == m_pShooter) m_pShooter = nullptr;
    return;
  }
  BaseEntity::OnHandleCallback(data);
}

void AreaEffectProjectileEntity::SetProjectileType(ProjectileType type) {
  m_eProjectileType = type;
  if (type != PROJECTILE_MONKEYCANNONBALL) return;
  VSoundObject* sound = SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_HUMAN_CANNON_FLYING, 1.0f, GetPosition(),
                                                                  10.0f, 100.0f, false);
  m_spFlightSound = sound;
  if (!sound) return;
  sound->AddStateFlags(VSOUND_KEPT);
  sound->AttachToParent(this);
}

void AreaEffectProjectileEntity::SetTarget(const VisVector_cl& point) {
  const VisVector_cl p = GetPosition();
  m_bAimed = true;
  m_vTarget = point;
  m_vFlightDirection = point - p;
  m_fTotalDistance = m_vFlightDirection.GetLength();
  m_vFlightDirection.Normalize();
  m_vHomingDirection = m_vFlightDirection;
  m_fHeightChange = GroundHeight(point) - p.z;
  m_fLaunchHeight = p.z;
  if (!m_vFlightDirection.IsZero()) SetDirection(m_vFlightDirection);
}

void AreaEffectProjectileEntity::SetTrail(const VString& file) { SetTrail(file, VisVector_cl(0, 0, 0)); }

void AreaEffectProjectileEntity::SetTrail(const VString& file, const VisVector_cl& offset) {
  ProjectileTrail::Attach(this, m_spTrail, file, offset);
}

VisParticleEffect_cl* AreaEffectProjectileEntity::GetTrail() const { return m_spTrail.GetPtr(); }

void AreaEffectProjectileEntity::RemoveAll() {
  ProjectileTrail::Release(m_spTrail);
  if (!IsMarkedRemoved()) Remove();
}

void AreaEffectProjectileEntity::ThinkFunction() {
  if (IsMarkedRemoved() || PauseManager::GetInstance()->IsAnyPaused()) return;
  const float dt = Vision::Timer.GetTimeDifference();
  if (m_bLingering) {
    UpdateStinkCloud();
    m_fLingerTime -= dt;
    if (m_fLingerTime <= 0.0f) RemoveAll();
    return;
  }
  if (!m_bAimed) {
    StopFlightSound();
    OnImpact();
    return;
  }
  m_fAge += dt;
  if (m_eProjectileType == PROJECTILE_ROCKET && m_fAge > HOMING_START) {
    m_bHoming = true;
    Player* player = RtsManager::GlobalManager().GetPlayer();
    if (SoldierEntity* nearest = player ? player->GetNearestEnemySoldier(GetPosition()) : nullptr) {
      if (nearest->GetPosition().GetDistanceSqr(GetPosition()) < HOMING_RANGE_SQR) m_vTarget = nearest->GetPosition();
    }
  }
  if (m_eProjectileType == PROJECTILE_ROCKET && m_bHoming)
    FlyHoming(dt);
  else
    FlyBallistic(dt);
}

void AreaEffectProjectileEntity::FlyHoming(float dt) {
  const VisVector_cl away = (GetPosition() - m_vTarget).GetNormalized();
  const float k = m_fTurnRate * dt * kHomingTurnScale;
  m_vHomingDirection = (m_vHomingDirection + (m_vHomingDirection - away) * k).GetNormalized();
  if (!m_vHomingDirection.IsZero()) SetDirection(m_vHomingDirection);
  const VisVector_cl step = m_vHomingDirection * m_fHomingSpeed * dt;
  if (step.GetLengthSqr() > GetPosition().GetDistanceSqr(m_vTarget)) {
    OnImpact();
    return;
  }
  IncPosition(step);
}

void AreaEffectProjectileEntity::FlyBallistic(float dt) {
  const VisVector_cl p = GetPosition();
  const VisVector_cl s = m_vFlightDirection * m_fSpeed * dt;
  m_fDistanceTravelled += s.GetLength();
  const float f = m_fTotalDistance > 0.0f ? m_fDistanceTravelled / m_fTotalDistance : 1.0f;
  const float t = 2.0f * f - 1.0f;
  const VisVector_cl next(p.x + s.x, p.y + s.y,
                          m_fLaunchHeight + (1.0f - t * t) * m_fMaxHeight * m_fTotalDistance * kArcScale +
                              m_fHeightChange * f);
  const float remainingSqr = p.GetDistanceSqr(m_vTarget);
  bool impact = (next - p).GetLengthSqr() > remainingSqr || remainingSqr < kArrivedSqr;
  if (!impact) {
    VisTraceLineInfo_t hit;
    Vision::CollisionToolkit.TraceLine(p, next, 0xffffffffu, 0xffffffffu, this, m_pShooter, &hit);
    impact = hit.IsWorldHit() || hit.IsTerrainHit();
  }
  if (!impact) {
    SetPosition(next);
    return;
  }
  StopFlightSound();
  OnImpact();
}

void AreaEffectProjectileEntity::StopFlightSound() {
  if (!m_spFlightSound) return;
  m_spFlightSound->Stop();
  m_spFlightSound->DisposeObject();
  m_spFlightSound = nullptr;
}

void AreaEffectProjectileEntity::OnImpact() {
  ApplyAreaDamage();
  const VisVector_cl p = GetPosition();
  SoundManager* sounds = SoundManager::GetInstance();
  switch (m_eProjectileType) {
    case PROJECTILE_STINKBOMB: {
      sounds->PlaySFXSound(SOUND_SFX_HIT_STINKBOMB, 1.0f, p, 10.0f, 150.0f, false);
      m_bLingering = true;
      m_fLingerTime = STINK_CLOUD_TIME;
      EndEffect(m_spImpactEffect);
      m_spImpactEffect = StartEffect("Particles\\Ranged_StinkBomb_Impact.xml", p, 0.3f);
      SetVisibleBitmask(0);
      if (m_spTrail) {
        m_spTrail->SetFinished();
        m_spTrail = nullptr;
      }
      break;
    }
    case PROJECTILE_MONKEYCANNONBALL:
      ImpactMonkey();
      RemoveAll();
      break;
    default: {
      VisParticleEffectFile_cl* file =
          VisParticleGroupManager_cl::GlobalManager().LoadFromFile("Particles\\Ranged_Cannon_Impact.xml");
      sounds->PlaySFXSound(SOUND_SFX_HIT_CANNON_GROUND, 1.0f, p, 10.0f, 150.0f, false);
      if (file) file->CreateParticleEffectInstance(p, VisVector_cl(0, 0, 0), 0.5f);
      RemoveAll();
      break;
    }
  }
}

// The monkey climbs out and joins the queen's army.
void AreaEffectProjectileEntity::ImpactMonkey() {
  const VisVector_cl p = GetPosition();
  VisBaseEntity_cl* monkey =
      Vision::Game.CreateEntity("QueenDoruzuzaArmyEntity", p, "models\\Nature\\Fauna\\Monkey.MODEL");
  if (!monkey) {
    Vision::Error.Warning("AreaEffectProjectileEntity: the monkey cannot join the queen's army: no "
                          "QueenDoruzuzaArmyEntity could be created");
    return;
  }
  monkey->SetEntityKey("QueenArmy");
  monkey->SetPosition(VisVector_cl(p.x, p.y, GroundHeight(p) + kMonkeyHeight));
  const bool editing = Vision::Editor.IsInEditor() && Vision::Editor.GetMode() != VisEditorManager_cl::EDITORMODE_PLAYING_IN_GAME;
  if (!editing) {
    auto* controller = new vPhysXCharacterController();
    controller->m_bDebugRendering = true;
    controller->SetCollisionBitmask(0xFFFFFFE9u);
    VisBoundingBox_cl box;
    monkey->GetBoundingBox(box);
    controller->m_fCapsuleHeight = monkey->HasMesh() && box.IsValid() ? box.GetSizeZ() * 0.5f : 0.9f;
    controller->m_fCapsuleRadius = 0.3f;
    controller->m_fStepHeight = 0.15f;
    controller->m_fSkinWidth = 0.02f;
    controller->m_fSlopeLimit = 50.0f;
    controller->m_bSweepNearbyOnly = false;
    if (!monkey->AddComponent(controller)) controller->DisposeObject();
  }
  if (!monkey->Components<InfantryPathComponent>()) ComponentSetup::AddNew<InfantryPathComponent>(monkey);
}

void AreaEffectProjectileEntity::ApplyAreaDamage() {
  const VisVector_cl p = GetPosition();
  const VisVector_cl impact(p.x, p.y, GroundHeight(p));
  if (VisParticleEffectFile_cl* ground =
          VisParticleGroupManager_cl::GlobalManager().LoadFromFile("Particles\\cannon_hit_ground_01.xml"))
    ground->CreateParticleEffectInstance(impact, VisVector_cl(0, 0, 0));

  if (m_eProjectileType == PROJECTILE_MONKEYCANNONBALL) {
    SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_HIT_HUMAN_CANNON, 1.0f, p, 10.0f, 100.0f, false);
    VisBaseEntity_cl* player = GameManager::GetInstance()->GetPlayerEntity();
    if (!player || !Vision::Game.SearchEntity("script_doruzuza")) return;
    if (player->GetPosition().GetDistanceSqr(p) > AREA_RADIUS * AREA_RADIUS) return;
    if (!player->IsOfType(UnitEntity::GetClassTypeId())) return;
    // An empty unit has no first soldier to hurt.
    if (SoldierEntity* first = static_cast<UnitEntity*>(player)->GetSoldierAtIndex(0))
      first->ReduceHitPoints(m_iDamage, nullptr);
    return;
  }
  if (!m_pShooter) return;

  BaseEntity* shooter = m_pShooter;
  SoldierEntity* shooterSoldier =
      shooter->IsOfType(SoldierEntity::GetClassTypeId()) ? static_cast<SoldierEntity*>(shooter) : nullptr;
  DynArray_cl<SoldierEntity*> hit(0, nullptr);
  RtsManager::GlobalManager().GetEnemySoldiersInRange(shooter->GetNation(), impact, AREA_RADIUS, hit);
  std::vector<SoldierEntity*> soldiers;
  for (unsigned i = 0, n = hit.GetSize(); i < n; ++i)
    if (hit.Get(i)) soldiers.push_back(hit.Get(i));
  IVScriptInstance* script = ScriptWith(shooter, "OnAttackHit");
  if (m_eProjectileType == PROJECTILE_STINKBOMB && (int)soldiers.size() >= kStinkBombCrowd)
    AchievementManager::GetInstance()->SetAchievement(kAchievementStinkBomb);
  for (SoldierEntity* soldier : soldiers) {
    if (script)
      script->ExecuteFunctionArg("OnAttackHit", "ooi", (VisTypedEngineObject_cl*)shooter,
                                 (VisTypedEngineObject_cl*)soldier, m_iDamage);
    else
      soldier->ReduceHitPoints(m_iDamage, shooterSoldier);
    if (soldier->IsAlive()) continue;
    RagdollComponent* ragdoll = ComponentSetup::TakeOrAdd<RagdollComponent>(soldier);
    if (!ragdoll) continue;
    ragdoll->SetSleepTime(kFlingSleepTime);
    const VisVector_cl d = soldier->GetPosition() - p + VisVector_cl(0, 0, kFlingLift);
    const float length = d.GetLength();
    const float strength = length > 0.0f ? std::min(0.5f / length, 1.0f) : 1.0f;
    const VisVector_cl force = d.GetNormalized() * strength * kFlingScale;
    const float g1 = MathTools::GaussianRandom(), g2 = MathTools::GaussianRandom(), g3 = MathTools::GaussianRandom();
    const VisVector_cl at = soldier->GetPosition() + VisVector_cl(g1, g2, 2.0f * (g3 + 1.0f));
    ragdoll->AddForce(at, force, RagdollComponent::NX_VELOCITY_CHANGE);
  }

  const int buildingDamage =
      shooterSoldier ? MathTools::RandomInt(shooterSoldier->GetMinAttackDamage(false),
                                            shooterSoldier->GetMaxAttackDamage(false) + 1)
                     : kDefaultBuildingDamage;
  std::vector<VisBaseEntity_cl*> buildings;
  for (int i = 0, n = Vision::Game.GetEntityCount(); i < n; ++i) {
    VisBaseEntity_cl* entity = Vision::Game.GetEntity(i);
    if (!entity || entity->IsMarkedRemoved() || !entity->IsOfType("BuildingBaseEntity")) continue;
    VisBoundingBox_cl box;
    entity->GetCurrentVisBoundingBox(box);
    if (!box.IsValid()) continue;
    if (impact.x >= box.m_vMin.x && impact.x <= box.m_vMax.x && impact.y >= box.m_vMin.y && impact.y <= box.m_vMax.y)
      buildings.push_back(entity);
  }
  for (VisBaseEntity_cl* building : buildings) building->SendMsg(kBuildingHitMessage, buildingDamage, 0);

  if (GameManager::GetInstance()->GetGameMode() == GAME_MODE_DLC && m_iDamage == GATE_BREAKING_DAMAGE) {
    VisBaseEntity_cl* gate = Vision::Game.SearchEntity("GateDestroyable");
    if (IVObjectComponent* walls = gate ? gate->GetComponentOfType("DestructableBuildingComponent") : nullptr)
      walls->MessageFunction(kBuildingHitMessage, kGateBreakingHit, 0);
  }
}

void AreaEffectProjectileEntity::UpdateStinkCloud() {
  Player* player = RtsManager::GlobalManager().GetPlayer();
  if (!player) return;
  const VisVector_cl p = GetPosition();
  for (int u = 0; u < player->GetEnemyUnitCount(); ++u) {
    UnitEntity* unit = player->GetEnemyUnit((unsigned)u);
    if (!unit || unit->GetNation() == 0) continue;
    for (int i = 0; i < unit->GetNumSoldiers(); ++i) {
      SoldierEntity* soldier = unit->GetSoldierAtIndex(i);
      StateMachine<SoldierEntity>* states = soldier ? soldier->GetStateMachine() : nullptr;
      if (!states || soldier->GetPosition().GetDistance2D(p) >= AREA_RADIUS) continue;
      if (states->IsInState(DizzyState::GetInstance())) continue;
      states->ChangeState(DizzyState::GetInstance(), STINK_CLOUD_TIME);
    }
  }
}

void AreaEffectProjectileEntity::Serialize(VArchive& ar) {
  BaseEntity::Serialize(ar);
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kAreaEffectVersion);
    ar << m_vSpare;
    SaveGameManagerProto::EndBlock(ar);
    return;
  }
  SavedBlockReader block(ar, "AreaEffectProjectileEntity", kAreaEffectVersion);
  if (!block.IsOpen()) return;
  VisVector_cl spare;
  if (block.Has(2)) ar >> spare;
  if (block.End() && block.Has(2)) m_vSpare = spare;
}
