// Tower cannons: the automatic shot at soldiers in range, the reload and the state
// reports to the cannon entity.
#include "components/LandCannonComponent.h"

#include "components/SceneCannonTools.h"
#include "core/ComponentMessages.h"
#include "core/RtsManager.h"
#include "entities/CannonEntity.h"
#include "Managers/PauseManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SoundManager.h"
#include "Managers/TownManager.h"

#include "engine/base/VArchive.h"
#include "engine/base/VarTable.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisParticleEffect.h"
#include "engine/core/VisParticleEffectFile.h"
#include "engine/core/VisParticleGroupManager.h"

#include <algorithm>

namespace {
const char kLandCannonVersion = 2;
const float kChargePerSecond = 25.0f;
const float kMaxSpecialPower = 60.0f;
}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(LandCannonComponent, BaseComponent, &LandCannonComponent::BuildVarList)

void LandCannonComponent::BuildVarList(VARTABLE& t) {
  V_DEFINE_VAR(t, LandCannonComponent, m_iLoadingTime_Min, VULPTYPE_FLOAT, "Cannons loading time (min)", "1", nullptr);
  V_DEFINE_VAR(t, LandCannonComponent, m_iLoadingTime_Max, VULPTYPE_FLOAT, "Cannons loading time (max)", "3", nullptr);
  V_DEFINE_VAR(t, LandCannonComponent, m_fShootingRange, VULPTYPE_FLOAT, "Cannons shooting range", "15", nullptr);
  V_DEFINE_VAR(t, LandCannonComponent, m_fShootingpower, VULPTYPE_FLOAT, "Cannons shooting power (ball speed)", "20",
               nullptr);
  V_DEFINE_VAR(t, LandCannonComponent, m_fAreaDamage, VULPTYPE_INT, "Area Damage", "20", nullptr);
}

LandCannonComponent::LandCannonComponent() {
  m_spMuzzleFile = VisParticleGroupManager_cl::GlobalManager().LoadFromFile("Particles\\cannon_fire_01.xml");
}

LandCannonComponent::~LandCannonComponent() { Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this); }

int LandCannonComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  return SceneCannon::CanAttachToCannon(object, reason);
}

void LandCannonComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  BaseComponent::SetOwner(owner);
  if (owner)
    Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  else
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
}

void LandCannonComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) Update();
}

void LandCannonComponent::MessageFunction(int id, INT_PTR, INT_PTR) {
  if (id == VIS_MSG_USER_CANNON_IGNITE) Ignite(PROJECTILE_BALL);
}

void LandCannonComponent::Ignite(ProjectileType type) {
  if (m_fReloadDelay > 0.0f) return;
  m_eLoadedType = type;
  if (VisTypedEngineObject_cl* owner = GetOwner())
    owner->MessageFunction(VIS_MSG_USER_CANNON_STATE_FIRING, reinterpret_cast<INT_PTR>(this), (INT_PTR)type);
  m_fFireDelay = MathTools::RandomFloat() * MAX_FUSE;
  m_fReloadDelay = 0.0f;
}

void LandCannonComponent::Load(ProjectileType) {
  if (m_fReloadDelay > 0.0f) return;
  m_fSpecialPower = std::min(m_fSpecialPower + Vision::Timer.GetTimeDifference() * kChargePerSecond, kMaxSpecialPower);
}

void LandCannonComponent::Update() {
  VisTypedEngineObject_cl* owner = GetOwner();
  if (PauseManager::GetInstance()->IsAnyPaused() || !SceneCannon::IsShown(owner)) return;
  m_bAutoFire = true;
  if (m_fReloadDelay > 0.0f) {
    m_fReloadDelay -= Vision::Timer.GetTimeDifference();
    if (m_fReloadDelay <= 0.0f)
      owner->MessageFunction(VIS_MSG_USER_CANNON_STATE_READY, reinterpret_cast<INT_PTR>(this), 0);
    return;
  }
  if (MathTools::RandomFloat() >= AUTO_FIRE_CHANCE || !m_bAutoFire) return;
  const int nation = TownManager::GetInstance()->GetCurrentTownInfo().sceneType;
  if (nation <= 0) return;
  const VisVector_cl at = static_cast<VisObject3D_cl*>(owner)->GetPosition();
  if (RtsManager::GlobalManager().GetClosestEnemyInRange(at, m_fShootingRange, nation)) Fire(nation);
}

void LandCannonComponent::Fire(int nation) {
  VisTypedEngineObject_cl* ownerObject = GetOwner();
  if (!ownerObject || !ownerObject->IsOfType(VisObject3D_cl::GetClassTypeId())) return;
  auto* owner = static_cast<VisObject3D_cl*>(ownerObject);
  const VisVector_cl position = owner->GetPosition();
  if (AreaEffectProjectileEntity* ball =
          SceneCannon::MakeShell(position, "models\\props\\cannon_ball\\cannon_ball.MODEL")) {
    if (m_spMuzzleFile) {
      VisVector_cl turned = owner->GetOrientation();
      turned.x += 180.0f;
      m_spMuzzleFlash = m_spMuzzleFile->CreateParticleEffectInstance(position, turned);
    }
    SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_SHOOT_CANNON, 1.0f, position, 20.0f, 150.0f, false);
    ball->SetDamage(m_fAreaDamage);
    ball->SetProjectileType(PROJECTILE_BALL);
    ball->SetSpeed(m_fShootingpower);
    ball->SetMaxHeight(1.0f);
    ball->SetCastShadows(true);
    VisObject3D_cl* parent = owner->GetParent();
    if (parent && parent->IsOfType(BaseEntity::GetClassTypeId())) {
      auto* tower = static_cast<BaseEntity*>(parent);
      tower->SetNation(nation);
      ball->SetShooter(tower);
    } else {
      ball->SetShooter(nullptr);
    }
    VisVector_cl target = position - owner->GetDirection() * m_fShootingRange;
    target.z = AreaEffectProjectileEntity::GroundHeight(target);
    ball->SetTarget(target);
  }
  Reload();
}

void LandCannonComponent::Reload() {
  if (VisTypedEngineObject_cl* owner = GetOwner())
    owner->MessageFunction(VIS_MSG_USER_CANNON_STATE_LOADING, reinterpret_cast<INT_PTR>(this), 0);
  m_fFireDelay = 0.0f;
  m_fReloadDelay = SceneCannon::ReloadTime(m_iLoadingTime_Min, m_iLoadingTime_Max);
}

void LandCannonComponent::Serialize(VArchive& ar) {
  BaseComponent::Serialize(ar);
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kLandCannonVersion);
    SceneCannon::WriteSettings(ar, *this);
    SaveGameManagerProto::EndBlock(ar);
    return;
  }
  SavedBlockReader block(ar, "LandCannonComponent", kLandCannonVersion);
  if (!block.IsOpen()) return;
  SceneCannon::SavedSettings saved;
  if (block.Has(2)) saved.Read(ar);
  if (!block.End() || !block.Has(2)) return;
  saved.ApplyTo(*this);
}
