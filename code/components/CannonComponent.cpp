// One cannon's cycle: ignition, a ragged fuse, the shot, the reload, and the state
// reports the ship hears through its cannon entity.
#include "components/CannonComponent.h"

#include "components/AIShipComponent.h"
#include "components/CannonBallComponent.h"
#include "core/ComponentMessages.h"
#include "entities/CannonEntity.h"
#include "entities/ProjectileEntity.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "Managers/AchievementManager.h"
#include "Managers/ArtifactManager.h"
#include "Managers/BattleManager.h"
#include "Managers/PauseManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SoundManager.h"
#include "util/ComponentSetup.h"
#include "util/MathTools.h"

#include "engine/base/DynArray.h"
#include "engine/base/VArchive.h"
#include "engine/base/VarTable.h"
#include "engine/base/VisError.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisGame.h"

#include <algorithm>

namespace {

const char kCannonVersion = 2;
const int kRocketVolley = 4;
const float kMinReload = 3.0f;
const float kReloadSpread = 2.0f;
const float kVolleyGap = 0.075f;
const float kAutoFireChance = 0.1f;
const float kAutoFireRange = 100.0f;
const float kAimAngle = 25.0f;
const float kTargetRange = 500.0f;
const float kBroadsidePitch = -15.0f;
const float kAutoFirePitch = 2.0f;
const float kMinMuzzleHeight = 0.01f;
const float kSpecialMuzzleScale = 10.0f;
const float kMineDropDistance = 12.0f;
const float kMineDropMargin = 2.0f;
const float kMineDropDepth = 3.0f;
const float kMineSpin = 1.5f;
const int kArtifactFigurehead = 14;
const int kAchievementHumanCannonBall = 20;

// The record message 59 points to: the cannon's position and orientation, from
// which the ship's effects place the muzzle flash.
struct FiredRecord {
  float position[4];
  float orientation[4];
};

// The class each special weapon needs: an entity class for the dropped ones, a
// projectile component class for the fired ones; null for a type that is no
// special weapon.
const char* SpecialWeaponClass(ProjectileType type) {
  switch (type) {
    case PROJECTILE_MINE: return "MineEntity";
    case PROJECTILE_BUBBLEMINE: return "FartBombEntity";
    case PROJECTILE_MIRV: return "MirvComponent";
    case PROJECTILE_HARPOON:
    case PROJECTILE_SLOWINGBARREL: return "HarpoonComponent";
    case PROJECTILE_ROCKET: return "RocketComponent";
    case PROJECTILE_MORTAR: return "MortarComponent";
    case PROJECTILE_HUMANCANNONBALL: return "HumanCannonBallComponent";
    default: return nullptr;
  }
}

}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(CannonComponent, BaseComponent, &CannonComponent::BuildVarList)

void CannonComponent::BuildVarList(VARTABLE& t) {
  V_DEFINE_VAR(t, CannonComponent, m_bAutoFire, VULPTYPE_BOOL, "Autofire", "FALSE", nullptr);
}

CannonComponent::CannonComponent() = default;

CannonComponent::~CannonComponent() { Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this); }

int CannonComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  if (!object->IsOfType(CannonEntity::GetClassTypeId())) {
    reason = "Component can only be added to instances of CannonEntity or derived classes.";
    return 0;
  }
  return 1;
}

// A special cannon leaving its mount (the engine detaches a component before it
// deletes it) leaves a ship that stays without one.
void CannonComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  CannonEntity* mount = GetMount();
  if (!owner && mount) {
    ShipEntity* ship = GetShip();
    if (!mount->IsMarkedRemoved() && mount->IsSpecialCannon() && ship && ship->GetSpecialCannon() == this)
      ship->SetSpecialCannon(nullptr);
  }
  BaseComponent::SetOwner(owner);
  if (owner)
    Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  else
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
}

void CannonComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) Update();
}

CannonEntity* CannonComponent::GetMount() const {
  VisTypedEngineObject_cl* owner = GetOwner();
  return owner && owner->IsOfType(CannonEntity::GetClassTypeId()) ? static_cast<CannonEntity*>(owner) : nullptr;
}

ShipEntity* CannonComponent::GetShip() const {
  const VisTypedEngineObject_cl* owner = GetOwner();
  if (!owner || !owner->IsOfType(VisObject3D_cl::GetClassTypeId())) return nullptr;
  VisObject3D_cl* parent = static_cast<const VisObject3D_cl*>(owner)->GetParent();
  return parent && parent->IsOfType(ShipEntity::GetClassTypeId()) ? static_cast<ShipEntity*>(parent) : nullptr;
}

void CannonComponent::MessageFunction(int id, INT_PTR p1, INT_PTR) {
  switch (id) {
    case VIS_MSG_USER_CANNON_IGNITE_LEFT:
      if (m_eCannonGroup == CANNON_GROUP_LEFT) Ignite(CANNON_GROUP_ALL, (ProjectileType)p1);
      break;
    case VIS_MSG_USER_CANNON_IGNITE_RIGHT:
      if (m_eCannonGroup == CANNON_GROUP_RIGHT) Ignite(CANNON_GROUP_ALL, (ProjectileType)p1);
      break;
    case VIS_MSG_USER_CANNON_IGNITE:
      Ignite(CANNON_GROUP_ALL, (ProjectileType)p1);
      break;
    case VIS_MSG_USER_CANNON_FIRE_SPECIAL:
      Ignite(CANNON_GROUP_SPECIAL, (ProjectileType)p1);
      break;
    case VIS_MSG_USER_CANNON_CHARGE_SPECIAL:
      if (m_eCannonGroup == CANNON_GROUP_SPECIAL) Charge();
      break;
    case VIS_MSG_USER_SHIP_SINK:
      m_bAutoFire = 0;
      break;
    default:
      break;
  }
}

void CannonComponent::Charge() {
  if (m_fReloadDelay > 0.0f || m_iShotsLeft > 0) return;
  m_fSpecialPower = std::min(m_fSpecialPower + Vision::Timer.GetTimeDifference() * CHARGE_PER_SECOND, MAX_SPECIAL_POWER);
}

void CannonComponent::Ignite(CannonGroup group, ProjectileType type) {
  if (group != CANNON_GROUP_ALL && group != m_eCannonGroup) return;
  if (m_fReloadDelay > 0.0f || m_iShotsLeft >= 1) return;
  m_eLoadedType = type;
  m_iShotsLeft = type == PROJECTILE_ROCKET ? kRocketVolley : 1;
  if (VisTypedEngineObject_cl* owner = GetOwner())
    owner->MessageFunction(VIS_MSG_USER_CANNON_STATE_FIRING, reinterpret_cast<INT_PTR>(this), (INT_PTR)type);
  m_fFireDelay = MathTools::RandomFloat() * MAX_FUSE;
  m_fReloadDelay = 0.0f;
  m_fReloadDelayMax = 0.0f;
}

void CannonComponent::Load(CannonGroup group, ProjectileType) {
  if (group != CANNON_GROUP_ALL && group != m_eCannonGroup) return;
  Charge();
}

void CannonComponent::Update() {
  CannonEntity* owner = GetMount();
  if (!owner || PauseManager::GetInstance()->IsAnyPaused()) return;
  const float dt = Vision::Timer.GetTimeDifference();
  ShipEntity* ship = GetShip();
  if (ship && ship->GetStats()) m_fReloadFactor = ship->GetStats()->GetReloadFactor();

  if (m_fReloadDelay > 0.0f) {
    m_fReloadDelay -= dt;
    if (m_fReloadDelay <= 0.0f) {
      owner->MessageFunction(VIS_MSG_USER_CANNON_STATE_READY, reinterpret_cast<INT_PTR>(this), 0);
      m_fReloadDelay = 0.0f;
      m_fReloadDelayMax = 0.0f;
    }
    return;
  }
  if (m_fFireDelay > 0.0f) {
    m_fFireDelay -= dt;
    if (m_fFireDelay <= 0.0f) Fire(CANNON_GROUP_ALL);
    return;
  }
  // Idle: the chance is drawn every frame, auto-firing or not.
  if (MathTools::RandomFloat() >= kAutoFireChance || !m_bAutoFire) return;
  if (m_eCannonGroup == CANNON_GROUP_SPECIAL) {
    Fire(CANNON_GROUP_ALL);
    return;
  }
  if (ship) {
    const AIShipComponent* ai = ship->Components<AIShipComponent>();
    if (ai && ai->GetAIMode() != AIShipComponent::AIMODE_ATTACK) return;
  }
  DynArray_cl<ShipEntity*> enemies(0, nullptr);
  BattleManager::GetInstance()->GetEnemyShipsInsideSector(owner->GetPosition(), owner->GetDirection(), kAutoFireRange,
                                                          kAimAngle, &enemies, ship ? ship->GetNation() : 0);
  if (enemies.GetValidSize() > 0) Fire(CANNON_GROUP_ALL);
}

void CannonComponent::Fire(CannonGroup group) {
  if (group != CANNON_GROUP_ALL && group != m_eCannonGroup) return;
  if (m_iShotsLeft <= 0 && !m_bAutoFire) return;
  m_iShotsLeft = std::max(m_iShotsLeft - 1, 0);
  if (m_eCannonGroup == CANNON_GROUP_SPECIAL) {
    FireSpecial();
    return;
  }
  CannonEntity* owner = GetMount();
  if (!owner) return;

  const VisVector_cl ownerPos = owner->GetPosition();
  const VisVector_cl ownerOri = owner->GetOrientation();
  FiredRecord fired = {{ownerPos.x, ownerPos.y, ownerPos.z, ownerPos.w}, {ownerOri.x, ownerOri.y, ownerOri.z, ownerOri.w}};
  owner->MessageFunction(VIS_MSG_USER_CANNON_FIRED, reinterpret_cast<INT_PTR>(&fired), 0);

  VisVector_cl muzzle = ownerPos + owner->GetRotationMatrix() * owner->GetOffset();
  muzzle.z = std::max(muzzle.z, kMinMuzzleHeight);
  VisBaseEntity_cl* created = Vision::Game.CreateEntity("ProjectileEntity", muzzle);
  ProjectileEntity* projectile =
      created && created->IsOfType(ProjectileEntity::GetClassTypeId()) ? static_cast<ProjectileEntity*>(created) : nullptr;
  if (projectile) {
    VisObject3D_cl* parent = owner->GetParent();
    projectile->SetSave(true);
    if (parent && parent->IsOfType(BaseEntity::GetClassTypeId()))
      projectile->SetNation(static_cast<BaseEntity*>(parent)->GetNation());
    projectile->SetOrientation(ownerOri.x, m_bAutoFire ? kAutoFirePitch : kBroadsidePitch, ownerOri.z);

    DynArray_cl<ShipEntity*> enemies(0, nullptr);
    BattleManager* battle = BattleManager::GetInstance();
    battle->GetEnemyShipsInsideSector(muzzle, projectile->GetDirection(), kTargetRange, kAimAngle, &enemies,
                                      projectile->GetNation());
    projectile->SetTarget(battle->GetClosestShipFromArray(muzzle, &enemies, -1));

    projectile->SetMeshFilename("models\\props\\cannon_ball\\cannon_ball.MODEL");
    projectile->SetTrail("particles\\cannon_trail.xml");
    projectile->SetScaling(1.0f);
    if (CannonBallComponent* ball = ComponentSetup::AddNew<CannonBallComponent>(projectile)) {
      if (parent && parent->IsOfType(VisBaseEntity_cl::GetClassTypeId()))
        projectile->SetShooter(static_cast<VisBaseEntity_cl*>(parent));
      ball->Fire();
    }
  }
  if (m_eLoadedType != PROJECTILE_CHAIN)
    SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_SHOOT_CANNON, MathTools::RandomFloat(0.85f, 1.0f), ownerPos,
                                              100.0f, 400.0f, false);
  Reload(CANNON_GROUP_ALL);
}

void CannonComponent::FireSpecial() {
  CannonEntity* owner = GetMount();
  if (!owner) return;
  ShipEntity* ship = GetShip();
  const ProjectileType type = m_eLoadedType;
  // A projectile without its weapon would lie still in the world and in the saves,
  // so a weapon whose class is not built launches nothing.
  const char* className = SpecialWeaponClass(type);
  const VType* weaponType = className ? VType::FindType(className) : nullptr;
  if (className && (!weaponType || !weaponType->CanCreate())) {
    const unsigned bit = 1u << ((unsigned)type & 31u);
    if (!(m_iMissingWeaponsReported & bit)) {
      m_iMissingWeaponsReported |= bit;
      Vision::Error.Warning("CannonComponent: special weapon %d needs the class %s, which does not exist; nothing is fired",
                            (int)type, className);
    }
  } else if (type == PROJECTILE_MINE || type == PROJECTILE_BUBBLEMINE) {
    DropSpecial(ship, className);
  } else if (className) {
    ShootSpecial(owner, ship, className);
  }
  Reload(CANNON_GROUP_ALL);
}

void CannonComponent::DropSpecial(ShipEntity* ship, const char* className) {
  const bool mine = m_eLoadedType == PROJECTILE_MINE;
  float distance = kMineDropDistance;
  if (ship && ship->GetMesh()) {
    VisBoundingBox_cl box;
    ship->GetBoundingBox(box);
    if (box.IsValid()) distance = box.m_vMax.x * ship->GetScaling().x + kMineDropMargin;
  }
  VisVector_cl drop = ship ? ship->GetPosition() - ship->GetDirection() * distance : GetMount()->GetPosition();
  drop.z -= kMineDropDepth;
  VisBaseEntity_cl* dropped = Vision::Game.CreateEntity(className, drop, "Models\\props\\debris\\debris_barrel_01.Model");
  if (!dropped || !dropped->IsOfType(ProjectileEntity::GetClassTypeId())) return;
  ProjectileEntity* weapon = static_cast<ProjectileEntity*>(dropped);
  weapon->SetSave(true);
  if (ship) weapon->SetNation(ship->GetNation());
  weapon->SetShooter(ship);
  weapon->SetEntityKey(mine ? "Mine" : "FartBomb");
  weapon->SetScaling(1.2f);
  if (ISpecialWeapon* body = dynamic_cast<ISpecialWeapon*>(weapon)) {
    body->Init();
    const VisVector_cl spin(MathTools::RandomFloat(-kMineSpin, kMineSpin), MathTools::RandomFloat(-kMineSpin, kMineSpin),
                            MathTools::RandomFloat(-kMineSpin, kMineSpin));
    body->Throw(drop, spin);
  }
}

void CannonComponent::ShootSpecial(CannonEntity* owner, ShipEntity* ship, const char* className) {
  const ProjectileType type = m_eLoadedType;
  VisVector_cl muzzle = owner->GetPosition() + owner->GetRotationMatrix() * (owner->GetOffset() * kSpecialMuzzleScale);
  muzzle.z = std::max(muzzle.z, kMinMuzzleHeight);
  VisBaseEntity_cl* created = Vision::Game.CreateEntity("ProjectileEntity", muzzle);
  if (!created || !created->IsOfType(ProjectileEntity::GetClassTypeId())) return;
  ProjectileEntity* projectile = static_cast<ProjectileEntity*>(created);
  projectile->SetSave(true);
  if (ship) projectile->SetNation(ship->GetNation());
  projectile->SetShooter(ship);
  const VisVector_cl ori = owner->GetOrientation();
  switch (type) {
    case PROJECTILE_MIRV:
      projectile->SetTrail("particles\\mirv_trail.xml");
      projectile->SetOrientation(ori.x, -45.0f, ori.z);
      break;
    case PROJECTILE_HARPOON:
    case PROJECTILE_SLOWINGBARREL:
      projectile->SetTrail("particles\\harpoon_trail.xml");
      projectile->SetRotationMatrix(owner->GetRotationMatrix());
      break;
    case PROJECTILE_ROCKET:
      projectile->SetRotationMatrix(owner->GetRotationMatrix());
      projectile->IncOrientation(VisVector_cl(MathTools::GaussianRandom() * 7.5f, MathTools::GaussianRandom() * 7.5f,
                                              MathTools::GaussianRandom() * 7.5f));
      projectile->SetTrail("\\particles\\rocket_fire_01.xml", VisVector_cl(-1.5f, 0.0f, 0.0f));
      break;
    default:  // mortar and human cannon ball
      projectile->SetTrail("particles\\cannon_trail.xml");
      projectile->SetRotationMatrix(owner->GetRotationMatrix());
      break;
  }

  VTypedObject* made = VType::CreateObject(className);
  IVObjectComponent* component =
      made && made->IsOfType(IVObjectComponent::GetClassTypeId()) ? static_cast<IVObjectComponent*>(made) : nullptr;
  ISpecialWeapon* weapon = dynamic_cast<ISpecialWeapon*>(made);
  if (component && weapon) weapon->SetShootPower(m_fSpecialPower);
  if (component) component->Initialize();
  if (!component || !projectile->AddComponent(component)) {
    if (component)
      component->DisposeObject();
    else
      delete made;
    projectile->Remove();
    return;
  }
  // The ball is launched: only now does the player earn the human cannon ball.
  if (type == PROJECTILE_HUMANCANNONBALL) AchievementManager::GetInstance()->SetAchievement(kAchievementHumanCannonBall);
  if (weapon) weapon->Shoot(m_fSpecialPower);
  // The charged weapons spend the charge.
  if (type == PROJECTILE_HARPOON || type == PROJECTILE_SLOWINGBARREL || type == PROJECTILE_MORTAR ||
      type == PROJECTILE_HUMANCANNONBALL)
    m_fSpecialPower = DEFAULT_SPECIAL_POWER;
}

void CannonComponent::Reload(CannonGroup group) {
  if (group != CANNON_GROUP_ALL && group != m_eCannonGroup) return;
  CannonEntity* owner = GetMount();
  if (GetOwner()) GetOwner()->MessageFunction(VIS_MSG_USER_CANNON_STATE_LOADING, reinterpret_cast<INT_PTR>(this), 0);
  if (m_iShotsLeft > 0) {
    m_fFireDelay = (1.0f + MathTools::RandomFloat()) * kVolleyGap;
    m_fReloadDelay = 0.0f;
    m_fReloadDelayMax = 0.0f;
    return;
  }
  m_fFireDelay = 0.0f;
  m_fReloadDelay = (kMinReload + kReloadSpread * MathTools::RandomFloat()) * m_fReloadFactor;
  ShipEntity* ship = GetShip();
  if (ship && ship->GetStats() && ship->GetStats()->IsPlayerShip()) {
    ArtifactManager* artifacts = ArtifactManager::GetInstance();
    if (artifacts->IsActive(kArtifactFigurehead)) m_fReloadDelay *= 1.0f - artifacts->GetEffect(kArtifactFigurehead);
  }
  if (owner && owner->IsSpecialCannon()) m_fReloadDelay *= 2.0f;
  m_fReloadDelayMax = m_fReloadDelay;
}

void CannonComponent::Serialize(VArchive& ar) {
  BaseComponent::Serialize(ar);
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kCannonVersion);
    ar << m_bAutoFire;
    SaveGameManagerProto::EndBlock(ar);
    return;
  }
  SavedBlockReader block(ar, "CannonComponent", kCannonVersion);
  if (!block.IsOpen()) return;
  int autoFire = 0;
  if (block.Has(2)) ar >> autoFire;
  if (block.End() && block.Has(2)) m_bAutoFire = autoFire;
}
