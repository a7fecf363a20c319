// A MIRV cluster: its body and throw, its fuse, the sea, and its explosions.
#include "components/MirvClusterComponent.h"
#include "entities/ProjectileOwner.h"

#include "entities/MineEntity.h"
#include "entities/ProjectileEntity.h"
#include "entities/ShipEntity.h"
#include "Managers/PauseManager.h"
#include "util/MathTools.h"

#include "engine/base/VisTimer.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisParticleGroupManager.h"
#include "engine/physics/vPhysXContactRecord.h"
#include "engine/physics/vPhysXRigidBody.h"

namespace {

const float kClusterMass = 100.0f;
const unsigned kCollidesWithAll = 0xffffffffu;
const int kContactReport = 2;
const float kMinSpeed = 4.0f;
const float kSpeedSpread = 6.0f;
const float kMinFuse = 1.5f;

void SpawnEffect(const char* file, const VisVector_cl& position) {
  if (VisParticleEffectFile_cl* effect = VisParticleGroupManager_cl::GlobalManager().LoadFromFile(file))
    effect->CreateParticleEffectInstance(position, VisVector_cl(0, 0, 0));
}

bool IsShipBody(const vPhysXObject* object) {
  const VisBaseEntity_cl* owner = object ? object->GetOwnerEntity() : nullptr;
  return owner && owner->IsOfType(ShipEntity::GetClassTypeId());
}

}  // namespace

V_IMPLEMENT_DYNCREATE(MirvClusterComponent, IVObjectComponent)

MirvClusterComponent::MirvClusterComponent() : IVObjectComponent(0, 0) {}

MirvClusterComponent::~MirvClusterComponent() { Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this); }

int MirvClusterComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!IVObjectComponent::CanAttachToObject(object, reason)) return 0;
  return ProjectileOwner::Accepts(object, reason) ? 1 : 0;
}

ProjectileEntity* MirvClusterComponent::GetProjectile() const {
  return ProjectileOwner::Of(GetOwner());
}

void MirvClusterComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  IVObjectComponent::SetOwner(owner);
  if (!owner) {
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
    return;
  }
  Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  auto* cluster = static_cast<VisBaseEntity_cl*>(owner);
  if (cluster->HasMesh()) return;
  cluster->SetMesh("models\\props\\cannon_ball\\cannon_ball.MODEL");
  cluster->SetScaling(1.0f);
  cluster->SetEntityKey("MirvCluster");
  auto* body = new vPhysXRigidBody();
  body->Initialize();
  body->SetMass(kClusterMass);
  body->SetShapeType(VPHYSX_SHAPETYPE_CONVEX);
  if (cluster->AddComponent(body)) {
    body->SetCollisionBitmask(kCollidesWithAll);
    body->SetContactReport(kContactReport);
    body->SetVelocity(cluster->GetDirection() * (kMinSpeed + kSpeedSpread * MathTools::RandomFloat()));
  } else {
    body->DisposeObject();
  }
  m_fFuse = kMinFuse + MathTools::RandomFloat();
}

void MirvClusterComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) Update();
}

void MirvClusterComponent::Update() {
  ProjectileEntity* cluster = GetProjectile();
  if (!cluster || cluster->IsMarkedRemoved() || PauseManager::GetInstance()->IsGamePaused()) return;
  m_bTouchedShipBefore = m_bTouchingShip;
  m_bTouchingShip = false;
  m_fFuse -= Vision::Timer.GetTimeDifference();
  if (cluster->GetPosition().z <= 0.0f) {
    SpawnEffect("Particles\\debris_splash_01.xml", cluster->GetPosition());
    cluster->RemoveAll();
  }
  if (m_fFuse <= 0.0f) {
    Explode();
    cluster->RemoveAll();
  }
}

void MirvClusterComponent::Explode() {
  ProjectileEntity* cluster = GetProjectile();
  if (!cluster) return;
  const VisVector_cl at = cluster->GetPosition();
  SpawnEffect("Particles\\mirv_cluster_explosion.xml", at);
  const INT_PTR shooter = reinterpret_cast<INT_PTR>(cluster->GetShooter());
  for (ShipEntity* ship : MineEntity::ShipsInBlast(at, m_fBlastRange)) ship->MessageFunction(MSG_MIRV_HIT, shooter, 0);
}

void MirvClusterComponent::MessageFunction(int id, INT_PTR p1, INT_PTR p2) {
  if (id != VIS_MSG_PHYSICS_CONTACT || p2 != VPHYSX_CONTACT_NOTIFY || !p1) return;
  ProjectileEntity* cluster = GetProjectile();
  if (!cluster || cluster->IsMarkedRemoved()) return;
  const auto& contact = *reinterpret_cast<const vPhysXContactRecord*>(p1);
  const vPhysXObject* a = contact.participant[0].pObject;
  const vPhysXObject* b = contact.participant[1].pObject;
  if (!a || !b || (!IsShipBody(a) && !IsShipBody(b))) return;
  // One explosion per touch, however many frames it lasts.
  const bool begins = !m_bTouchingShip && !m_bTouchedShipBefore;
  m_bTouchingShip = true;
  if (begins) Explode();
}
