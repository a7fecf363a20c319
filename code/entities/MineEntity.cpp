// The sea mine: the rise to the surface, the fuse, the blast and the chain.
#include "entities/MineEntity.h"

#include "core/ComponentMessages.h"
#include "entities/MsgPosOri.h"
#include "entities/ShipEntity.h"
#include "Managers/BattleManager.h"
#include "Managers/PauseManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SoundManager.h"
#include "util/MathTools.h"

#include "engine/base/VArchive.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VisParticleGroupManager.h"
#include "engine/physics/vPhysXRigidBody.h"

namespace {

const char kFuseVersion = 2;
const float kBodyMass = 100.0f;
const int kMsgMineHit = 20;

void SpawnEffect(const char* file, const VisVector_cl& position) {
  if (VisParticleEffectFile_cl* effect = VisParticleGroupManager_cl::GlobalManager().LoadFromFile(file))
    effect->CreateParticleEffectInstance(position, VisVector_cl(0, 0, 0));
}

}  // namespace

V_IMPLEMENT_DYNCREATE(MineEntity, ProjectileEntity)

MineEntity::MineEntity() = default;

vPhysXRigidBody* MineEntity::AddFloatingBody(VisBaseEntity_cl* entity) {
  auto* body = new vPhysXRigidBody();
  body->Initialize();
  body->SetMass(kBodyMass);
  body->SetShapeType(VPHYSX_SHAPETYPE_CONVEX);
  if (!entity->AddComponent(body)) {
    body->DisposeObject();
    return nullptr;
  }
  body->SetCollisionBitmask(0);
  body->SetContactReport(0);
  return body;
}

void MineEntity::SpinBody(VisBaseEntity_cl* entity, const VisVector_cl& spin) {
  if (vPhysXRigidBody* body = entity->Components<vPhysXRigidBody>())
    body->SetAngularVelocity(VisVector_cl(spin.x, spin.y, spin.z));
}

std::vector<ShipEntity*> MineEntity::ShipsInBlast(const VisVector_cl& position, float range) {
  BattleManager* battle = BattleManager::GetInstance();
  DynArray_cl<ShipEntity*> found(0, nullptr);
  battle->GetFriendlyShipsWithinRange(position, range, &found, 0);
  battle->GetEnemyShipsWithinRange(position, range, &found, 0);
  std::vector<ShipEntity*> ships;
  for (unsigned i = 0; i < found.GetValidSize(); ++i)
    if (found[i]) ships.push_back(found[i]);
  return ships;
}

void MineEntity::Init() {
  VisBaseEntity_cl::InitFunction();
  AddFloatingBody(this);
}

void MineEntity::Throw(const VisVector_cl&, const VisVector_cl& spin) { SpinBody(this, spin); }

void MineEntity::ThinkFunction() {
  if (PauseManager::GetInstance()->IsGamePaused()) return;
  if (vPhysXRigidBody* body = Components<vPhysXRigidBody>()) {
    if (GetPosition().z < 0.0f) {
      body->SetVelocity(VisVector_cl(0.0f, 0.0f, RISE_SPEED));
    } else {
      body->DisposeObject();
      SpawnEffect("Particles\\debris_splash_01.xml", GetPosition());
    }
  }
  m_fExplosionTimer -= Vision::Timer.GetTimeDifference();
  if (m_fExplosionTimer > 0.0f) return;
  // A mine whose removal is still due has had its blast: it only goes.
  if (m_bExploded)
    RemoveAll();
  else
    Explode();
}

void MineEntity::Explode() {
  if (m_bExploded) return;
  m_bExploded = true;
  const VisVector_cl position = GetPosition();
  SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_EXPLODE_MINE, 1.0f, position, 10.0f, 400.0f, false);
  SpawnEffect("Particles\\mine_explosion.xml", position);

  for (ShipEntity* ship : ShipsInBlast(position, m_fBlastRange)) {
    MsgPosOri hit;
    hit.position = position;
    hit.orientation = GetOrientation();
    hit.direction = GetDirection();
    hit.entity = this;
    ship->MessageFunction(kMsgMineHit, reinterpret_cast<INT_PTR>(&hit), 0);
  }

  // The mines around go off sooner by a random share of their remaining fuse.
  DynArray_cl<VisBaseEntity_cl*> near(0, nullptr);
  BattleManager::GetInstance()->GetMinesWithinRange(position, m_fBlastRange, &near);
  for (unsigned i = 0; i < near.GetValidSize(); ++i) {
    VisBaseEntity_cl* other = near[i];
    if (!other || other == this || !other->IsOfType(MineEntity::GetClassTypeId())) continue;
    auto* mine = static_cast<MineEntity*>(other);
    if (mine->HasExploded() || mine->GetExplosionTimer() <= 0.0f) continue;
    mine->DecExplosionTimer(MathTools::RandomFloat() * mine->GetExplosionTimer());
  }
  RemoveAll();
}

void MineEntity::SerializeFuse(VArchive& ar, const char* owner, bool& exploded, float& timer, float& range) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kFuseVersion);
    ar << exploded << timer << range;
    SaveGameManagerProto::EndBlock(ar);
    return;
  }
  SavedBlockReader block(ar, owner, kFuseVersion);
  if (!block.IsOpen()) return;
  bool wasExploded = false;
  float timerRead = 0.0f, rangeRead = 0.0f;
  if (block.Has(2)) ar >> wasExploded >> timerRead >> rangeRead;
  if (!block.End() || !block.Has(2)) return;
  exploded = wasExploded;
  timer = timerRead;
  range = rangeRead;
}

void MineEntity::Serialize(VArchive& ar) {
  ProjectileEntity::Serialize(ar);
  if (!ar.IsSaving() && !ar.IsOK()) return;
  SerializeFuse(ar, "MineEntity", m_bExploded, m_fExplosionTimer, m_fBlastRange);
}
