// The siren's song: a note per reload delay, and the damage a note does.
#include "components/SirenComponent.h"

#include "components/NoteComponent.h"
#include "entities/ProjectileEntity.h"
#include "Managers/PauseManager.h"
#include "Managers/SaveGameManager.h"
#include "util/MathTools.h"

#include "engine/base/VArchive.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisGame.h"

namespace {

const char kSirenVersion = 2;
const int kNoteDamage = 5;
const float kNoteScaling = 0.5f;

}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(SirenComponent, BaseComponent, &SirenComponent::SirenComponent_BuildVarList)

void SirenComponent::SirenComponent_BuildVarList(VARTABLE& t) {
  V_DEFINE_VAR(t, SirenComponent, m_bShooting, VULPTYPE_BOOL, "0=not shoot 1=shoot", "0", nullptr);
  V_DEFINE_VAR(t, SirenComponent, m_fReloadDelay, VULPTYPE_FLOAT, "Reloading time (changing direction to shoot)", "2",
               nullptr);
  V_DEFINE_VAR(t, SirenComponent, m_fShootingRangeMin, VULPTYPE_FLOAT, "Shooting range min", "100", nullptr);
  V_DEFINE_VAR(t, SirenComponent, m_fShootingRangeMax, VULPTYPE_FLOAT, "Shooting range min", "150", nullptr);
  V_DEFINE_VAR(t, SirenComponent, m_fShootingpowerMin, VULPTYPE_FLOAT, "Note speed", "5", nullptr);
  V_DEFINE_VAR(t, SirenComponent, m_fShootingpowerMax, VULPTYPE_FLOAT, "Note speed", "15", nullptr);
  V_DEFINE_VAR(t, SirenComponent, m_fDamageMin, VULPTYPE_FLOAT, "Damage min", "1", nullptr);
  V_DEFINE_VAR(t, SirenComponent, m_fDamageMax, VULPTYPE_FLOAT, "Damage max", "4", nullptr);
}

SirenComponent::SirenComponent() = default;

SirenComponent::~SirenComponent() { Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this); }

void SirenComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  BaseComponent::SetOwner(owner);
  if (owner)
    Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  else
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
}

void SirenComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) Update();
}

void SirenComponent::Update() {
  VisTypedEngineObject_cl* owner = GetOwner();
  if (!owner || !m_bShooting || PauseManager::GetInstance()->IsAnyPaused()) return;
  // A hidden siren is silent.
  if (owner->IsOfType(VisBaseEntity_cl::GetClassTypeId()) &&
      static_cast<VisBaseEntity_cl*>(owner)->GetVisibleBitmask() == 0)
    return;
  m_fReloadTimer += Vision::Timer.GetTimeDifference();
  if (m_fReloadTimer < m_fReloadDelay) return;
  m_vShootingDirection = MathTools::RandomDirection(0.0f, 360.0f);
  Fire();
  m_fReloadTimer = 0.0f;
}

void SirenComponent::Fire() {
  VisTypedEngineObject_cl* owner = GetOwner();
  if (!owner || !owner->IsOfType(VisBaseEntity_cl::GetClassTypeId())) return;
  auto* siren = static_cast<VisBaseEntity_cl*>(owner);
  VisBaseEntity_cl* made = Vision::Game.CreateEntity("ProjectileEntity", siren->GetPosition());
  if (!made) return;
  if (!made->IsOfType(ProjectileEntity::GetClassTypeId())) {
    made->Remove();
    return;
  }
  auto* note = static_cast<ProjectileEntity*>(made);
  // An even draw (or the fixed draw of the tests) sings the single note.
  note->SetMesh(MathTools::RandomInt(2) == 0 ? "models\\props\\Notes\\Single_note.MODEL"
                                             : "models\\props\\Notes\\Double_note.MODEL");
  note->SetTrail("particles\\Notes.xml");
  note->SetScaling(kNoteScaling);
  note->SetDirection(m_vShootingDirection);

  auto* flight = new NoteComponent();
  flight->SetShootingPower(m_fShootingRangeMin + MathTools::RandomFloat() * (m_fShootingRangeMax - m_fShootingRangeMin));
  flight->SetShootingRange(m_fShootingpowerMin + MathTools::RandomFloat() * (m_fShootingpowerMax - m_fShootingpowerMin));
  flight->SetNoteDamage(kNoteDamage);
  flight->Initialize();
  if (!note->AddComponent(flight)) {
    flight->DisposeObject();
    note->RemoveAll();
    return;
  }
  note->SetShooter(siren);
}

float SirenComponent::GetDamage() const {
  return m_fDamageMin + (m_fDamageMax - m_fDamageMin) * MathTools::RandomFloat();
}

void SirenComponent::Serialize(VArchive& ar) {
  BaseComponent::Serialize(ar);
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kSirenVersion);
    ar << m_fReloadDelay << m_fShootingRangeMin << m_fShootingRangeMax << m_fShootingpowerMin << m_fShootingpowerMax
       << m_fDamageMin << m_fDamageMax;
    SaveGameManagerProto::EndBlock(ar);
    return;
  }
  SavedBlockReader block(ar, "SirenComponent", kSirenVersion);
  if (!block.IsOpen()) return;
  float values[7] = {};
  if (block.Has(2))
    for (float& v : values) ar >> v;
  // Read apart first: a block that does not end well leaves the siren as it was.
  if (!block.End() || !block.Has(2)) return;
  m_fReloadDelay = values[0];
  m_fShootingRangeMin = values[1];
  m_fShootingRangeMax = values[2];
  m_fShootingpowerMin = values[3];
  m_fShootingpowerMax = values[4];
  m_fDamageMin = values[5];
  m_fDamageMax = values[6];
}
