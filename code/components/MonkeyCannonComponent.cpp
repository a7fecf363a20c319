// The monkey cannon: turning toward the player, the reload and the monkey shot.
#include "components/MonkeyCannonComponent.h"

#include "components/MonkeyCannonBallComponent.h"
#include "components/SceneCannonTools.h"
#include "core/GameManager.h"
#include "entities/CannonEntity.h"
#include "entities/SoldierEntity.h"
#include "Managers/PauseManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SoundManager.h"
#include "Managers/TownManager.h"
#include "util/ComponentSetup.h"

#include "engine/base/VArchive.h"
#include "engine/base/VarTable.h"
#include "engine/base/VisMath.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisParticleEffect.h"
#include "engine/core/VisParticleEffectFile.h"
#include "engine/core/VisParticleGroupManager.h"
#include "engine/core/VisPath.h"
#include "engine/core/VisPathNode.h"

namespace {
const char kMonkeyCannonVersion = 3;
const float kAimYaw = -90.0f;
}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(MonkeyCannonComponent, BaseComponent, &MonkeyCannonComponent::BuildVarList)

void MonkeyCannonComponent::BuildVarList(VARTABLE& t) {
  V_DEFINE_VAR(t, MonkeyCannonComponent, m_iLoadingTime_Min, VULPTYPE_FLOAT, "Cannons loading time (min)", "5", nullptr);
  V_DEFINE_VAR(t, MonkeyCannonComponent, m_iLoadingTime_Max, VULPTYPE_FLOAT, "Cannons loading time (max)", "8", nullptr);
  V_DEFINE_VAR(t, MonkeyCannonComponent, m_fShootingRange, VULPTYPE_FLOAT, "Cannons shooting range", "15", nullptr);
  V_DEFINE_VAR(t, MonkeyCannonComponent, m_fShootingpower, VULPTYPE_FLOAT, "Cannons shooting power (monkey speed)",
               "20", nullptr);
  V_DEFINE_VAR(t, MonkeyCannonComponent, m_fAreaDamage, VULPTYPE_INT, "Area Damage", "0", nullptr);
  V_DEFINE_VAR(t, MonkeyCannonComponent, m_bCannonActive, VULPTYPE_BOOL, "Is Cannon Active", "TRUE", nullptr);
}

MonkeyCannonComponent::MonkeyCannonComponent() {
  m_bCannonActive = 1;
  Reload();
}

MonkeyCannonComponent::~MonkeyCannonComponent() { Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this); }

int MonkeyCannonComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  return SceneCannon::CanAttachToCannon(object, reason);
}

void MonkeyCannonComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  BaseComponent::SetOwner(owner);
  if (owner)
    Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  else
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
}

void MonkeyCannonComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) Update();
}

void MonkeyCannonComponent::Update() {
  VisTypedEngineObject_cl* ownerObject = GetOwner();
  if (PauseManager::GetInstance()->IsAnyPaused() || !SceneCannon::IsShown(ownerObject) || !m_bCannonActive) return;
  auto* owner = static_cast<VisBaseEntity_cl*>(ownerObject);
  m_bAutoFire = true;
  VisBaseEntity_cl* player = GameManager::GetInstance()->GetPlayerEntity();
  if (!player) return;
  VisMatrix3x3_cl look;
  VisMath_cl::MatrixLookAt(look, owner->GetPosition(), player->GetPosition(), VisVector_cl(0, 0, 1));
  owner->SetRotationMatrix(look);
  VisVector_cl orientation = owner->GetOrientation();
  orientation.x += kAimYaw;
  owner->SetOrientation(orientation);
  m_fReloadDelay -= Vision::Timer.GetTimeDifference();
  if (m_fReloadDelay <= 0.0f) Fire(TownManager::GetInstance()->GetCurrentTownInfo().sceneType);
}

void MonkeyCannonComponent::Fire(int) {
  VisTypedEngineObject_cl* ownerObject = GetOwner();
  if (!ownerObject || !ownerObject->IsOfType(VisObject3D_cl::GetClassTypeId())) return;
  auto* owner = static_cast<VisObject3D_cl*>(ownerObject);
  SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_SHOOT_CANNON, 1.0f, owner->GetPosition(), 50.0f, 350.0f, false);
  VisVector_cl spawn = owner->GetPosition() - owner->GetRotationMatrix().GetColumn(0) * SPAWN_BACK;
  spawn.z += SPAWN_RISE;
  AreaEffectProjectileEntity* monkey = SceneCannon::MakeShell(spawn, nullptr);
  if (monkey) {
    if (!m_spMuzzleFile)
      m_spMuzzleFile = VisParticleGroupManager_cl::GlobalManager().LoadFromFile("Particles\\Cannon_Monkey.xml");
    if (m_spMuzzleFile) {
      VisVector_cl turned = owner->GetOrientation();
      turned.x += kAimYaw;
      if (VisParticleEffect_cl* flash = m_spMuzzleFile->CreateParticleEffectInstance(owner->GetPosition(), turned))
        flash->SetHandleWhenVisible(false);
    }
    VisBaseEntity_cl* queen = Vision::Game.SearchEntity("script_doruzuza");
    int damage = MathTools::RandomInt(1, 1);
    if (queen && queen->IsOfType(SoldierEntity::GetClassTypeId())) {
      auto* soldier = static_cast<SoldierEntity*>(queen);
      damage = MathTools::RandomInt(soldier->GetMinAttackDamage(false), soldier->GetMaxAttackDamage(false));
    }
    monkey->SetDamage(damage);
    monkey->SetProjectileType(PROJECTILE_MONKEYCANNONBALL);
    monkey->SetSpeed(MONKEY_SPEED);
    monkey->SetMaxHeight(MONKEY_ARC);
    monkey->SetCastShadows(true);
    monkey->SetTrail("\\particles\\cannon_trail.xml");
    monkey->SetShooter(nullptr);
    if (VisBaseEntity_cl* player = GameManager::GetInstance()->GetPlayerEntity()) {
      VisVector_cl target = player->GetPosition();
      if (VisPath_cl* path = Vision::Game.SearchPath("MonkeyPath1")) {
        int nearest = -1;
        float best = 1.0e10f;
        for (int i = 0; i < path->GetPathNodeCount(); ++i) {
          const VisVector_cl node = path->GetPathNode(i)->GetPosition();
          const float dx = node.x - target.x, dy = node.y - target.y;
          if (dx * dx + dy * dy < best) {
            best = dx * dx + dy * dy;
            nearest = i;
          }
        }
        if (nearest >= 0) {
          if (nearest + 1 < path->GetPathNodeCount()) ++nearest;
          target = path->GetPathNode(nearest)->GetPosition();
        }
      }
      target.x += MathTools::RandomFloat(-LANDING_SPREAD, LANDING_SPREAD);
      target.y += MathTools::RandomFloat(-LANDING_SPREAD, LANDING_SPREAD);
      monkey->SetTarget(target);
    }
    ComponentSetup::AddNew<MonkeyCannonBallComponent>(monkey);
  }
  Reload();
}

void MonkeyCannonComponent::Reload() {
  m_fFireDelay = 0.0f;
  m_fReloadDelay = SceneCannon::ReloadTime(m_iLoadingTime_Min, m_iLoadingTime_Max);
}

void MonkeyCannonComponent::Serialize(VArchive& ar) {
  BaseComponent::Serialize(ar);
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kMonkeyCannonVersion);
    SceneCannon::WriteSettings(ar, *this);
    ar << m_bCannonActive;
    SaveGameManagerProto::EndBlock(ar);
    return;
  }
  SavedBlockReader block(ar, "MonkeyCannonComponent", kMonkeyCannonVersion);
  if (!block.IsOpen()) return;
  SceneCannon::SavedSettings saved;
  int active = 0;
  if (block.Has(2)) saved.Read(ar);
  if (block.Has(3)) ar >> active;
  if (!block.End() || !block.Has(2)) return;
  saved.ApplyTo(*this);
  m_bCannonActive = 1;
}
