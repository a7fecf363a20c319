// The MIRV shell's flight and its burst into clusters.
#include "components/MirvComponent.h"
#include "entities/ProjectileOwner.h"

#include "components/MirvClusterComponent.h"
#include "entities/ClothEntity.h"
#include "entities/ProjectileEntity.h"
#include "entities/ShipEntity.h"
#include "Managers/PauseManager.h"
#include "util/MathTools.h"

#include "engine/Vision.h"
#include "engine/core/VisCollisionToolkit.h"
#include "engine/core/VisParticleGroupManager.h"

#include <cmath>

namespace {

const float kSplashHeight = 0.2f;
const unsigned kTraceSettings = 0x480;
const unsigned kTraceSettingsRestored = 0x80;
const float kTwoPi = 6.2831853f;

void SpawnEffect(const char* file, const VisVector_cl& position) {
  if (VisParticleEffectFile_cl* effect = VisParticleGroupManager_cl::GlobalManager().LoadFromFile(file))
    effect->CreateParticleEffectInstance(position, VisVector_cl(0, 0, 0));
}

// The world, a sail or a hull ends the flight; any other entity is flown through.
bool BurstsOn(const VisTraceLineInfo_t& hit) {
  if (!hit.detected) return false;
  if (!hit.IsEntityHit()) return true;
  const VisBaseEntity_cl* struck = hit.colliderEntity;
  return struck && (struck->IsOfType(ClothEntity::GetClassTypeId()) || struck->IsOfType(ShipEntity::GetClassTypeId()));
}

}  // namespace

V_IMPLEMENT_DYNCREATE(MirvComponent, IVObjectComponent)

MirvComponent::MirvComponent() : IVObjectComponent(0, 0) {}

MirvComponent::~MirvComponent() { Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this); }

int MirvComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!IVObjectComponent::CanAttachToObject(object, reason)) return 0;
  return ProjectileOwner::Accepts(object, reason) ? 1 : 0;
}

ProjectileEntity* MirvComponent::GetProjectile() const {
  return ProjectileOwner::Of(GetOwner());
}

void MirvComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  IVObjectComponent::SetOwner(owner);
  if (!owner) {
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
    return;
  }
  Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  auto* shell = static_cast<VisBaseEntity_cl*>(owner);
  if (shell->HasMesh()) return;
  shell->SetMesh("models\\props\\cannon_ball\\cannon_ball.MODEL");
  shell->SetScaling(1.0f);
  shell->SetEntityKey("Mirv");
  m_vLaunchDirection = shell->GetDirection();
  const float speed = m_fSpeed - m_fSpread * MathTools::RandomFloat() * m_fSpeed;
  m_vVelocity = VisVector_cl(speed, speed, speed);
  m_fBurstTimer = BURST_TIME;
}

void MirvComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) Update();
}

void MirvComponent::Update() {
  ProjectileEntity* shell = GetProjectile();
  if (!shell || shell->IsMarkedRemoved() || PauseManager::GetInstance()->IsGamePaused()) return;
  const float dt = Vision::Timer.GetTimeDifference();
  m_fBurstTimer -= dt;
  if (m_fBurstTimer > 0.0f) {
    m_vVelocity.x -= m_fDrag * dt;
    m_vVelocity.y -= m_fDrag * dt;
    m_vVelocity.z -= (m_fGravity + m_fDrag) * dt;
    if (m_vVelocity.x < 0.0f) m_vVelocity.x = m_vVelocity.y = 0.0f;

    const VisVector_cl from = shell->GetPosition();
    const VisVector_cl& d = m_vLaunchDirection;
    const VisVector_cl to(from.x + d.x * m_vVelocity.x * dt, from.y + d.y * m_vVelocity.y * dt,
                          from.z + d.z * m_vVelocity.z * dt);
    VisMatrix3x3_cl facing;
    VisMath_cl::MatrixLookAt(facing, from, to, VisVector_cl(0, 0, 1));
    shell->SetRotationMatrix(facing);
    shell->SetPosition(to);
    if (shell->GetShooter() && shell->GetShooter()->IsMarkedRemoved()) shell->SetShooter(nullptr);

    VisTraceLineInfo_t hit;
    VisCollisionToolkit_cl& toolkit = Vision::CollisionToolkit;
    toolkit.SetTraceLineSettings(kTraceSettings);
    toolkit.TraceLine(from, to, VIS_TRACE_ALL, VIS_TRACE_ALL, shell, shell->GetShooter(), &hit);
    toolkit.SetTraceLineSettings(kTraceSettingsRestored);
    if (!BurstsOn(hit)) {
      if (to.z < 0.0f) {
        SpawnEffect("Particles\\cannon_splash_01.xml", VisVector_cl(to.x, to.y, kSplashHeight));
        shell->RemoveAll();
      }
      return;
    }
  }
  Burst(shell);
}

void MirvComponent::Burst(ProjectileEntity* shell) {
  const VisVector_cl at = shell->GetPosition();
  SpawnEffect("Particles\\mirv_air_explosion.xml", at);
  for (int i = 0; i < CLUSTER_COUNT; ++i) {
    const float angle = (float)i * (1.0f / CLUSTER_COUNT) * kTwoPi;
    const VisVector_cl position(at.x + std::sin(angle) * CLUSTER_RADIUS, at.y + std::cos(angle) * CLUSTER_RADIUS, at.z);
    VisBaseEntity_cl* created = Vision::Game.CreateEntity("ProjectileEntity", position);
    if (!created || !created->IsOfType(ProjectileEntity::GetClassTypeId())) continue;
    auto* cluster = static_cast<ProjectileEntity*>(created);
    cluster->SetDirection(VisVector_cl(MathTools::RandomFloat(-1.0f, 1.0f), MathTools::RandomFloat(-1.0f, 1.0f), 0.0f));
    // The clusters hit for the ship that fired the shell.
    cluster->SetShooter(shell->GetShooter());
    auto* component = new MirvClusterComponent();
    component->Initialize();
    if (!cluster->AddComponent(component)) {
      component->DisposeObject();
      cluster->Remove();
    }
  }
  shell->RemoveAll();
}
