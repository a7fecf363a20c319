// The flight of a siren's note and its touch on a ship.
#include "components/NoteComponent.h"
#include "entities/ProjectileOwner.h"

#include "entities/MsgPosOri.h"
#include "entities/ProjectileEntity.h"
#include "entities/ShipEntity.h"
#include "Managers/PauseManager.h"
#include "util/MathTools.h"

#include "engine/base/VisTimer.h"
#include "engine/core/VisCallbacks.h"
#include "engine/physics/vPhysXContactRecord.h"
#include "engine/physics/vPhysXRigidBody.h"

#include <cmath>

namespace {

const int kMsgSirenNote = 33;
// Notes meet the player's ships (and each other, which they ignore).
const unsigned kNoteMask = 2;

ShipEntity* ShipOf(const vPhysXObject* object) {
  VisBaseEntity_cl* owner = object ? object->GetOwnerEntity() : nullptr;
  return owner && owner->IsOfType(ShipEntity::GetClassTypeId()) ? static_cast<ShipEntity*>(owner) : nullptr;
}

}  // namespace

V_IMPLEMENT_DYNCREATE(NoteComponent, IVObjectComponent)

NoteComponent::NoteComponent() : IVObjectComponent(0, 0) {}

NoteComponent::~NoteComponent() { Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this); }

int NoteComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!IVObjectComponent::CanAttachToObject(object, reason)) return 0;
  return ProjectileOwner::Accepts(object, reason) ? 1 : 0;
}

ProjectileEntity* NoteComponent::GetProjectile() const { return ProjectileOwner::Of(GetOwner()); }

void NoteComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  IVObjectComponent::SetOwner(owner);
  if (!owner) {
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
    return;
  }
  Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  ProjectileEntity* note = GetProjectile();
  if (!note) return;
  vPhysXRigidBody* body = note->Components<vPhysXRigidBody>();
  if (!body) {
    body = new vPhysXRigidBody();
    body->Initialize();
    body->SetMass(MASS);
    // The box of the note's own model, not the body's default (the size of a hull).
    VisBoundingBox_cl box;
    note->GetBoundingBox(box);
    const VisVector_cl& scale = note->GetScaling();
    VisVector_cl size(1.0f, 1.0f, 1.0f), centre(0.0f, 0.0f, 0.0f);
    if (box.IsValid()) {
      size = VisVector_cl((box.m_vMax.x - box.m_vMin.x) * scale.x, (box.m_vMax.y - box.m_vMin.y) * scale.y,
                          (box.m_vMax.z - box.m_vMin.z) * scale.z);
      centre = VisVector_cl((box.m_vMax.x + box.m_vMin.x) * 0.5f * scale.x, (box.m_vMax.y + box.m_vMin.y) * 0.5f * scale.y,
                            (box.m_vMax.z + box.m_vMin.z) * 0.5f * scale.z);
    }
    body->SetBoxSize(size);
    body->SetLocalOffset(centre);
    body->SetShapeType(VPHYSX_SHAPETYPE_BOX);
    body->SetPhysicsMode(VPHYSX_MODE_KINEMATIC);
    if (!note->AddComponent(body)) {
      body->DisposeObject();
      return;
    }
  }
  body->SetCollisionBitmask(kNoteMask);
}

void NoteComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) Update();
}

void NoteComponent::Update() {
  ProjectileEntity* note = GetProjectile();
  if (!note || note->IsMarkedRemoved() || PauseManager::GetInstance()->IsAnyPaused()) return;
  const float dt = Vision::Timer.GetTimeDifference();
  m_fFlightTime += dt;
  const float t = m_fFlightTime;
  const VisVector_cl d = note->GetDirection();
  // The wobble is added to every frame's move, as the note has always sung it.
  const VisVector_cl move(d.x * m_fSpeed * dt + 0.1f * std::sin(4.0f * t), d.y * m_fSpeed * dt + 0.2f * std::sin(t),
                          d.z * m_fSpeed * dt + std::sin(2.0f * t) / 6.0f);
  if (vPhysXRigidBody* body = note->Components<vPhysXRigidBody>())
    body->IncMotionDelta(move);
  else
    note->IncPosition(move);

  VisBaseEntity_cl* siren = note->GetShooter();
  if (siren && MathTools::DistanceBetweenVectors(note->GetPosition(), siren->GetPosition()) > m_fReach) note->RemoveAll();
}

void NoteComponent::MessageFunction(int id, INT_PTR p1, INT_PTR p2) {
  if (id != VIS_MSG_PHYSICS_CONTACT || p2 != VPHYSX_CONTACT_NOTIFY || !p1) return;
  ProjectileEntity* note = GetProjectile();
  if (!note || note->IsMarkedRemoved()) return;
  const auto& contact = *reinterpret_cast<const vPhysXContactRecord*>(p1);
  ShipEntity* ship = ShipOf(contact.participant[0].pObject);
  if (!ship) ship = ShipOf(contact.participant[1].pObject);
  if (!ship) return;
  MsgPosOri hit;
  hit.position = contact.vPoint;
  hit.orientation = note->GetOrientation();
  hit.direction = note->GetDirection();
  // The ship finds the siren as the note's shooter.
  hit.entity = note;
  ship->MessageFunction(kMsgSirenNote, reinterpret_cast<INT_PTR>(&hit), 0);
  note->RemoveAll();
}
