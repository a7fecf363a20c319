// Steady rotation about one orientation angle, through the physics object when the
// owner has one (the body would otherwise turn the owner back).
#include "components/RotationComponent.h"

#include "Managers/PauseManager.h"
#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"
#include "engine/base/VarTable.h"
#include "engine/core/IVisPhysicsObject.h"
#include "engine/core/VisBaseEntity.h"
#include "engine/core/VisCallbacks.h"

namespace {
const char kBlockVersion = 2;
}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(RotationComponent, BaseComponent, &RotationComponent::BuildVarList)

void RotationComponent::BuildVarList(VARTABLE& t) {
  VAR_FLOAT(t, RotationComponent, m_fRotationSpeed, "Rotation speed", "1");
  VAR_INT(t, RotationComponent, m_iRotationDirection, "Rotation direction 1 or -1", "1");
  VAR_INT(t, RotationComponent, m_iRotationAxis, "Rotation axis 1=x, 2=y, 3=z", "1");
}

RotationComponent::~RotationComponent() { Listen(false); }

void RotationComponent::Listen(bool on) {
  if (on == m_bListening) return;
  m_bListening = on;
  if (on)
    Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  else
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
}

void RotationComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  BaseComponent::SetOwner(owner);
  Listen(owner != nullptr);
}

void RotationComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) Update();
}

void RotationComponent::Update() {
  if (!m_pOwner || !m_pOwner->IsOfType(VisObject3D_cl::GetClassTypeId())) return;
  if (m_iRotationAxis < 1 || m_iRotationAxis > 3) return;
  if (PauseManager::GetInstance()->IsAnyPaused()) return;
  auto* owner = static_cast<VisObject3D_cl*>(m_pOwner);
  const float delta = Vision::Timer.GetTimeDifference() * m_fRotationSpeed * (float)m_iRotationDirection;
  IVisPhysicsObject_cl* physics = owner->IsOfType(VisBaseEntity_cl::GetClassTypeId())
                                      ? static_cast<VisBaseEntity_cl*>(owner)->GetPhysicsObject()
                                      : nullptr;
  VisVector_cl angles = physics ? physics->GetRotation() : owner->GetOrientation();
  angles[m_iRotationAxis - 1] += delta;
  if (physics)
    physics->SetRotation(angles);
  else
    owner->SetOrientation(angles);
}

void RotationComponent::Serialize(VArchive& ar) {
  BaseComponent::Serialize(ar);
  SerializeX(ar);
}

bool RotationComponent::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kBlockVersion);
    ar << m_fRotationSpeed << m_iRotationDirection << m_iRotationAxis;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "RotationComponent", kBlockVersion);
  if (!block.IsOpen()) return false;
  float speed = m_fRotationSpeed;
  int direction = m_iRotationDirection, axis = m_iRotationAxis;
  if (block.Has(2)) ar >> speed >> direction >> axis;
  if (!block.End()) return false;
  m_fRotationSpeed = speed;
  m_iRotationDirection = direction;
  m_iRotationAxis = axis;
  return true;
}
