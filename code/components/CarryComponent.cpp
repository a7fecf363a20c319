// The soldier's loot bundle.
#include "components/CarryComponent.h"

#include "Managers/SaveGameManager.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "entities/CollectableEntity.h"
#include "util/MathTools.h"

#include "engine/Vision.h"
#include "engine/base/VArchive.h"
#include "engine/core/IVisPhysicsObject.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisParticleEffect.h"
#include "engine/core/VisParticleEffectFile.h"
#include "engine/core/VisParticleGroupManager.h"

namespace {
const char kCarryVersion = 2;
// Closer than this (in x-y) the soldier takes up his target.
const float kPickUpDistance = 4.0f;
const char* const kLootModel = "models\\Props\\loot_on_back\\loot_on_back.MODEL";
const char* const kGlowEffect = "Particles\\loot_glow.xml";
}  // namespace

V_IMPLEMENT_DYNCREATE(CarryComponent, BaseComponent)

CarryComponent::CarryComponent() { GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this); }

CarryComponent::~CarryComponent() {
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
  Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  EndGlow();
}

void CarryComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  BaseComponent::SetOwner(owner);
  if (!owner) {
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
    return;
  }
  Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  m_spGlowEffectFile = VisParticleGroupManager_cl::GlobalManager().LoadFromFile(kGlowEffect);
}

VisParticleEffectFile_cl* CarryComponent::GetGlowEffectFile() const { return m_spGlowEffectFile; }

VisParticleEffect_cl* CarryComponent::GetGlowEffect() const { return m_spGlowEffect; }

void CarryComponent::EndGlow() {
  if (!m_spGlowEffect) return;
  m_spGlowEffect->SetRemoveWhenFinished(true);
  m_spGlowEffect->SetHandleWhenVisible(false);
  m_spGlowEffect->DetachFromParent();
  m_spGlowEffect->SetFinished();
  m_spGlowEffect = nullptr;
}

void CarryComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data) return;
  if (data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) {
    Update();
    return;
  }
  if (data->m_pSender != &GameManager::Callbacks.OnEntityDestroyed) return;
  const VisBaseEntity_cl* gone = static_cast<BaseEntityDataObject*>(data)->m_pEntity;
  if (m_pCarryTarget && static_cast<VisBaseEntity_cl*>(m_pCarryTarget) == gone) m_pCarryTarget = nullptr;
  if (m_pCarriedItem && static_cast<VisBaseEntity_cl*>(m_pCarriedItem) == gone) m_pCarriedItem = nullptr;
}

void CarryComponent::MessageFunction(int id, INT_PTR, INT_PTR) {
  if (id == VIS_MSG_USER_UNIT_DELIVER) MoveToCargo();
}

void CarryComponent::Serialize(VArchive& ar) {
  BaseComponent::Serialize(ar);
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kCarryVersion);
    ar.WriteObject(m_pCarryTarget);
    ar.WriteObject(m_pCarriedItem);
    SaveGameManagerProto::EndBlock(ar);
    return;
  }
  SavedBlockReader block(ar, "CarryComponent", kCarryVersion);
  if (!block.IsOpen()) return;
  const size_t known = ar.GetLoadedObjects().size();
  CollectableEntity* target = m_pCarryTarget;
  CollectableEntity* item = m_pCarriedItem;
  if (block.Has(2)) ar >> target >> item;
  if (!block.End()) {
    // Items made for this block alone go again; those named before stay.
    const std::vector<VTypedObject*>& loaded = ar.GetLoadedObjects();
    for (size_t i = known; i < loaded.size(); ++i)
      if (auto* made = dynamic_cast<CollectableEntity*>(loaded[i]); made && !made->IsMarkedRemoved()) made->Remove();
    return;
  }
  m_pCarryTarget = target;
  m_pCarriedItem = item;
}

void CarryComponent::Update() {
  if (m_pCarryTarget) CheckAndCollectCarryTarget();
  auto* soldier = static_cast<VisBaseEntity_cl*>(m_pOwner);
  if (!m_pCarriedItem || !soldier) return;
  // On his back: behind him (his local y axis) and a little higher.
  VisVector_cl back = soldier->GetRotationMatrix().GetColumn(1);
  if (back.GetLength() > 0.0f) back.Normalize();
  IVisPhysicsObject_cl* physics = soldier->GetPhysicsObject();
  VisVector_cl place = (physics ? physics->GetPosition() : soldier->GetPosition()) + back * 0.35f;
  place.z += 1.0f;
  m_pCarriedItem->SetPosition(place);
  m_pCarriedItem->SetOrientation(soldier->GetOrientation());
}

void CarryComponent::CheckAndCollectCarryTarget() {
  auto* soldier = static_cast<VisBaseEntity_cl*>(m_pOwner);
  if (!soldier || !m_pCarryTarget) return;
  if (!m_pCarryTarget->HasCarrier() && m_pCarryTarget->IsCarriable() && !m_pCarriedItem) {
    if (MathTools::DistanceBetweenVectorsIgnoreZ(soldier->GetPosition(), m_pCarryTarget->GetPosition()) >=
        kPickUpDistance)
      return;
    StartCarry(m_pCarryTarget);
  }
  m_pCarryTarget = nullptr;
}

void CarryComponent::StartCarry(CollectableEntity* item) {
  if (!item) return;
  m_pCarriedItem = item;
  item->SetCarrier(static_cast<VisBaseEntity_cl*>(m_pOwner));
  item->SetOrientation(VisVector_cl(180.0f, 0.0f, 0.0f));
  item->SetMesh(kLootModel);
  item->StopHighlightEffect();
  if (!m_spGlowEffect && m_spGlowEffectFile) {
    m_spGlowEffect = m_spGlowEffectFile->CreateParticleEffectInstance(item->GetPosition(), VisVector_cl(0, 0, 0));
    if (m_spGlowEffect) m_spGlowEffect->AttachToParent(item);
  }
}

void CarryComponent::EndCarry() {
  if (!m_pCarriedItem || m_pCarriedItem->GetCarrier() != static_cast<VisBaseEntity_cl*>(m_pOwner)) return;
  CollectableEntity* item = m_pCarriedItem;
  EndGlow();
  item->Use();
  item->SetCarrier(nullptr);
  item->SetScaling(1.0f);
  m_pCarriedItem = nullptr;
}

void CarryComponent::MoveToCargo() {
  if (!m_pCarriedItem) return;
  CollectableEntity* item = m_pCarriedItem;
  EndCarry();
  if (!item->IsMarkedRemoved()) item->Remove();
}

void CarryComponent::DropItem() {
  auto* soldier = static_cast<VisBaseEntity_cl*>(m_pOwner);
  if (!m_pCarriedItem || !soldier || m_pCarriedItem->GetCarrier() != soldier) return;
  CollectableEntity* item = m_pCarriedItem;
  EndGlow();
  item->SetTraceAccuracy(VIS_TRACEACC_OBOX);
  VisVector_cl place = soldier->GetPosition();
  place.x += 0.3f * MathTools::GaussianRandom();
  place.y += 0.3f * MathTools::GaussianRandom();
  item->SetCarriableAgain();
  place.z = Vision::World.HasTerrain() ? Vision::World.GetHeightAtWorldPos(place.x, place.y) : 0.0f;
  VisBoundingBox_cl box;
  item->GetBoundingBox(box);
  if (box.IsValid()) place.z += 0.5f * (box.m_vMax.z - box.m_vMin.z);
  item->SetPosition(place);
  item->SetCarrier(nullptr);
  item->SetScaling(1.0f);
  m_pCarriedItem = nullptr;
}
