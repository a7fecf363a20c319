// Ship effects: hits, damage smoke, wake, mist, muzzle flashes, collisions, debris.
#include "components/ShipFXComponent.h"

#include "components/ShipBattleComponent.h"
#include "components/ShipMovementComponent.h"
#include "core/ComponentMessages.h"
#include "entities/DebrisEntity.h"
#include "entities/MsgPosOri.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "Factories/ShipFactory.h"
#include "Managers/PauseManager.h"
#include "Managers/SoundManager.h"
#include "util/MathTools.h"

#include "engine/base/VisTimer.h"
#include "engine/core/VisCallbacks.h"
#include "engine/os/VOs.h"
#include "engine/physics/vPhysXContactRecord.h"
#include "engine/physics/vPhysXRigidBody.h"
#include "engine/sound/VSoundResource.h"

#include <algorithm>
#include <string>

namespace {

const int kMsgResetDamages = 29;
const int kMsgMist = 36;

const char* const kBarrelModel = "Models\\props\\debris\\debris_barrel_01.Model";
const char* const kPlankModel = "Models\\props\\debris\\debris_plank_01.Model";
const char* const kDebrisKey = "Debris";
const VisVector_cl kHitDebrisScale(0.5f, 0.5f, 0.5f);
// Contact splinters fly off along the contact normal at this speed.
const float kContactDebrisSpeed = 4.0f;
// Hit splinters fly back out of the hull, and up.
const float kHitDebrisSpeed = 4.0f;
const float kHitDebrisLift = 5.0f;
// Debris collides with the ground and itself, never with a ship: it starts inside
// the hull it was knocked out of.
const unsigned kDebrisCollisionBitmask = 1u << 4;
const float kDebrisMass = 1.0f;

float RandomUnit() { return (float)VRandomInt() / (float)V_RAND_MAX; }

// Started after the game asked for it: a layer that is still running keeps its time.
void StopAllLayers(VisParticleEffect_cl* effect) {
  for (int i = 0; i < effect->GetLayerCount(); ++i) effect->GetLayer(i)->Stop();
}

ShipEntity* AsShip(VisTypedEngineObject_cl* object) {
  return object && object->IsOfType(ShipEntity::GetClassTypeId()) ? static_cast<ShipEntity*>(object) : nullptr;
}

bool IsDebris(const vPhysXContactRecord::Participant& party) {
  VisBaseEntity_cl* owner = party.pObject ? party.pObject->GetOwnerEntity() : nullptr;
  return owner && owner->IsOfType(DebrisEntity::GetClassTypeId());
}

}  // namespace

V_IMPLEMENT_DYNCREATE(ShipFXComponent, IVObjectComponent)

ShipFXComponent::ShipFXComponent() = default;

ShipFXComponent::~ShipFXComponent() {
  if (m_bListening) Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  Release(m_spDamageSmoke);
  Release(m_spMist);
  Release(m_spSternWake);
}

int ShipFXComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!IVObjectComponent::CanAttachToObject(object, reason)) return 0;
  if (object->IsOfType(VisObject3D_cl::GetClassTypeId())) return 1;
  reason = "Component can only be added to instances of VisObject3D_cl or derived classes.";
  return 0;
}

VisObject3D_cl* ShipFXComponent::GetOwner3D() const {
  return m_pOwner && m_pOwner->IsOfType(VisObject3D_cl::GetClassTypeId()) ? static_cast<VisObject3D_cl*>(m_pOwner)
                                                                           : nullptr;
}

void ShipFXComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  IVObjectComponent::SetOwner(owner);
  if (!owner) {
    if (m_bListening) Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
    m_bListening = false;
    Release(m_spDamageSmoke);
    Release(m_spMist);
    Release(m_spSternWake);
    return;
  }
  if (!m_bListening) Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  m_bListening = true;
  m_pEffects = ShipFactory::GetInstance();
  m_pEffects->Preload();
  VisObject3D_cl* ship = GetOwner3D();
  if (ship && !m_spSternWake) {
    m_spSternWake = CreateEffect(ShipFactory::PRELOAD_STERN_WAKE, VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0));
    if (m_spSternWake) m_spSternWake->AttachToParent(ship);
  }
  UpdateDamage();
}

VisParticleEffect_cl* ShipFXComponent::CreateEffect(int slot, const VisVector_cl& position,
                                                    const VisVector_cl& orientation) {
  auto* file = static_cast<VisParticleEffectFile_cl*>(m_pEffects ? m_pEffects->GetPreloaded(slot) : nullptr);
  return file ? file->CreateParticleEffectInstance(position, orientation) : nullptr;
}

void ShipFXComponent::Release(VSmartPtr<VisParticleEffect_cl>& effect) {
  if (!effect) return;
  effect->DetachFromParent();
  effect->SetFinished();
  effect->SetRemoveWhenFinished(true);
  effect = nullptr;
}

// ---- per frame ---------------------------------------------------------------------------

void ShipFXComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data || data->m_pSender != &Vision::Callbacks.OnUpdateSceneBegin) return;
  m_fCollisionCooldown = std::max(m_fCollisionCooldown - Vision::Timer.GetTimeDifference() * 1000.0f, 0.0f);
  UpdateWake();
}

void ShipFXComponent::UpdateWake() {
  VisObject3D_cl* ship = GetOwner3D();
  if (!ship || !m_spSternWake) return;
  if (ship->IsOfType(VisBaseEntity_cl::GetClassTypeId()) && static_cast<VisBaseEntity_cl*>(ship)->IsMarkedRemoved())
    return;
  m_spSternWake->SetPause(PauseManager::HasInstance() && PauseManager::GetInstance()->IsGamePaused());
  m_spSternWake->SetPosition(ship->GetPosition());
  // A ship that cannot move leaves no wake; one without movement leaves a full one.
  float intensity = 1.0f;
  if (ShipMovementComponent* movement = ship->Components<ShipMovementComponent>()) {
    const float top = movement->GetSpeedFullSails();
    intensity = top > 0.0f ? movement->GetCurrentSpeed() / top : 0.0f;
  }
  for (int i = 0; i < m_spSternWake->GetLayerCount(); ++i) m_spSternWake->GetLayer(i)->SetEmissionIntensity(intensity);
}

// ---- messages ------------------------------------------------------------------------------

void ShipFXComponent::MessageFunction(int id, INT_PTR p1, INT_PTR p2) {
  switch (id) {
    case VIS_MSG_USR_SHIP_HIT_HULL:
      OnHullHit(p1, false);
      break;
    case VIS_MSG_USER_SHIP_HIT_HULL_CRITICAL:
      OnHullHit(p1, true);
      break;
    case VIS_MSG_USER_SHIP_SINK:
      Release(m_spDamageSmoke);
      Release(m_spMist);
      Release(m_spSternWake);
      break;
    case VIS_MSG_USER_SHIP_UNDER_50_HULL:
      UpdateDamage();
      break;
    case kMsgResetDamages:
      ResetDamages();
      break;
    case kMsgMist:
      OnMist();
      break;
    case VIS_MSG_USER_CANNON_FIRED:
      OnCannonFired(p1);
      break;
    case VIS_MSG_PHYSICS_CONTACT:
      if (p2 == VPHYSX_CONTACT_NOTIFY) OnContact(p1);
      break;
    default:
      break;
  }
}

void ShipFXComponent::OnHullHit(INT_PTR hitRecord, bool critical) {
  // Without the record there is no place to show the hit at.
  const MsgPosOri* hit = reinterpret_cast<const MsgPosOri*>(hitRecord);
  if (!hit) return;
  SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_HIT_HULL, 0.7f + 0.3f * RandomUnit(), hit->position, 50.0f,
                                            400.0f, false);
  VisVector_cl orientation = hit->orientation;
  orientation.y += 180.0f;
  const int slot = critical ? ShipFactory::PRELOAD_CRITICAL_HIT : ShipFactory::PRELOAD_HIT_HULL;
  if (VisParticleEffect_cl* sparks = CreateEffect(slot, hit->position, orientation)) {
    sparks->SetHandleWhenVisible(true);
    sparks->SetRemoveWhenFinished(true);
  }
  // The splinters fly back out the way the ball came in, and up.
  VisVector_cl back = hit->direction * -1.0f;
  const float length = back.GetLength();
  back = length > 0.0f ? back * (kHitDebrisSpeed / length) : VisVector_cl(0, 0, 0);
  ThrowDebris(hit->position, back + VisVector_cl(0.0f, 0.0f, kHitDebrisLift), kHitDebrisScale);
}

void ShipFXComponent::OnContact(INT_PTR contactRecord) {
  const auto* contact = reinterpret_cast<const vPhysXContactRecord*>(contactRecord);
  if (!contact || IsDebris(contact->participant[0]) || IsDebris(contact->participant[1])) return;
  // One sound and one burst for the contacts of a collision.
  if (m_fCollisionCooldown > 0.0f) return;
  ShipEntity* ship = AsShip(m_pOwner);
  const ShipBattleComponent* battle = ship ? ship->Components<ShipBattleComponent>() : nullptr;
  const bool sinking = battle && battle->IsSinking();
  const bool active = ship && !ship->IsMarkedRemoved() && !ship->IsInactive();
  if (!sinking && active)
    SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_HIT_HULL, MathTools::RandomFloat(0.7f, 1.0f), contact->vPoint,
                                              50.0f, 200.0f, false);
  if (VisParticleEffect_cl* splinters =
          CreateEffect(ShipFactory::PRELOAD_COLLISION, contact->vPoint, VisVector_cl(0, 0, 0)))
    splinters->SetRemoveWhenFinished(true);
  m_fCollisionCooldown = COLLISION_COOLDOWN_MIN + COLLISION_COOLDOWN_RANGE * RandomUnit();
  ThrowDebris(contact->vPoint, contact->vNormal * kContactDebrisSpeed, kHitDebrisScale);
}

void ShipFXComponent::OnMist() {
  VisObject3D_cl* ship = GetOwner3D();
  if (!ship) return;
  if (!m_spMist) {
    m_spMist = CreateEffect(ShipFactory::PRELOAD_MIST, ship->GetPosition() + VisVector_cl(MIST_OFFSET_X, 0.0f, 0.0f),
                            VisVector_cl(0, 0, 0));
    if (!m_spMist) return;
    m_spMist->AttachToParent(ship);
    StopAllLayers(m_spMist);
  }
  for (int i = 0; i < m_spMist->GetLayerCount(); ++i) {
    VisParticleLayer_cl* layer = m_spMist->GetLayer(i);
    if (!layer->IsRunning()) layer->Start();
  }
}

void ShipFXComponent::OnCannonFired(INT_PTR firedRecord) {
  // The cannon's position, then its orientation, each as four floats.
  const float* fired = reinterpret_cast<const float*>(firedRecord);
  if (!fired) return;
  const VisVector_cl position(fired[0], fired[1], fired[2]);
  const VisVector_cl orientation(fired[4], fired[5], fired[6]);
  if (VisParticleEffect_cl* flash = CreateEffect(ShipFactory::PRELOAD_CANNON_FIRE, position, orientation))
    flash->SetRemoveWhenFinished(true);
}

// ---- damage smoke ----------------------------------------------------------------------

const char* ShipFXComponent::DamageLayerName(int percent) {
  static const char* const kNames[] = {"damage_10", "damage_20", "damage_30", "damage_40", "damage_50",
                                       "damage_60", "damage_70", "damage_80", "damage_90"};
  if (percent >= 90) return nullptr;
  return kNames[std::max(percent, 0) / 10];
}

void ShipFXComponent::UpdateDamage() {
  ShipEntity* ship = AsShip(m_pOwner);
  ShipStats* stats = ship ? ship->GetStats() : nullptr;
  if (!stats || stats->GetHull().GetMaximum() <= 0) return;
  const int percent =
      (int)((float)stats->GetHull().GetCurrent() / (float)stats->GetHull().GetMaximum() * 100.0f);
  if (!m_spDamageSmoke) {
    m_spDamageSmoke = CreateEffect(ShipFactory::PRELOAD_DAMAGE_SMOKE, VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0));
    if (!m_spDamageSmoke) return;
    m_spDamageSmoke->AttachToParent(ship);
    StopAllLayers(m_spDamageSmoke);
  }
  const char* band = DamageLayerName(percent);
  for (int i = 0; i < m_spDamageSmoke->GetLayerCount(); ++i) {
    VisParticleLayer_cl* layer = m_spDamageSmoke->GetLayer(i);
    const bool wanted = band && std::string(layer->GetName()) == band;
    if (!wanted)
      layer->Stop();
    else if (!layer->IsRunning())
      layer->Start();
  }
}

void ShipFXComponent::ResetDamages() { Release(m_spDamageSmoke); }

// ---- sounds and debris ---------------------------------------------------------------------

bool ShipFXComponent::PlayHitSound(int slot, const VisVector_cl& position, float volume) {
  auto* resource = static_cast<VSoundResource*>(m_pEffects ? m_pEffects->GetPreloaded(slot) : nullptr);
  VSoundObject* sound = resource ? resource->CreateInstance(position) : nullptr;
  if (!sound) return false;
  sound->Set3DFadeDistance(10.0f, 400.0f);
  sound->SetConeAngles(-1.0f, -1.0f);
  sound->SetVolume(SoundManager::GetInstance()->GetFXVolume() * volume);
  sound->Play();
  return true;
}

bool ShipFXComponent::PlaySoundHitHull(const VisVector_cl& position, float volume) {
  return PlayHitSound(ShipFactory::PRELOAD_SOUND_HIT_HULL, position, volume);
}

bool ShipFXComponent::PlaySoundHitHullCritical(const VisVector_cl& position, float volume) {
  return PlayHitSound(ShipFactory::PRELOAD_SOUND_HIT_HULL_CRITICAL, position, volume);
}

void ShipFXComponent::ThrowDebris(const VisVector_cl& position, const VisVector_cl& velocity,
                                  const VisVector_cl& scale) {
  // Wreckage of no size would be neither seen nor simulated.
  if (!(scale.x > 0.0f && scale.y > 0.0f && scale.z > 0.0f)) return;
  const int count = (VRandomInt() & 3) + 1;
  for (int i = 0; i < count; ++i) {
    const char* model = VRandomInt() % 3 == 0 ? kBarrelModel : kPlankModel;
    VisBaseEntity_cl* created = Vision::Game.CreateEntity("DebrisEntity", position, model);
    if (!created || !created->IsOfType(DebrisEntity::GetClassTypeId())) {
      if (created) created->Remove();
      continue;
    }
    auto* debris = static_cast<DebrisEntity*>(created);
    debris->SetEntityKey(kDebrisKey);
    debris->SetScaling(scale);
    // The body takes the model's box at the wreckage's scale.
    auto* body = new vPhysXRigidBody();
    body->Initialize();
    body->SetShapeType(VPHYSX_SHAPETYPE_CONVEX);
    body->SetMass(kDebrisMass);
    body->SetContactReport(0);
    body->SetCollisionBitmask(kDebrisCollisionBitmask);
    if (!debris->AddComponent(body)) body->DisposeObject();
    debris->Throw(position, velocity);
  }
}
