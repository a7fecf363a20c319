// Soldiers: life cycle, think, messages, hit points and death, attacks, effects,
// animations, directions, allegiance and the saved block.
#include "entities/SoldierEntity.h"

#include "components/AttackComponent.h"
#include "components/CarryComponent.h"
#include "components/HealthBarComponent.h"
#include "components/InfantryMovementComponent.h"
#include "components/InfantryPathComponent.h"
#include "components/StorageComponentProto.h"
#include "core/ComponentMessages.h"
#include "entities/AreaEffectProjectileEntity.h"
#include "core/GameManager.h"
#include "core/Player.h"
#include "core/RtsManager.h"
#include "core/VEntityHighlightManager.h"
#include "Managers/RadarManager.h"
#include "entities/FSM/DieState.h"
#include "entities/FSM/DizzyState.h"
#include "entities/FSM/GlobalStateSoldier.h"
#include "entities/FSM/IdleState.h"
#include "entities/FSM/State_Attack.h"
#include "entities/FSM/State_Idle.h"
#include "entities/FSM/State_Walk.h"
#include "entities/FSM/StrafeState.h"
#include "entities/FSM/WalkState.h"
#include "entities/FSM/WalkToAttackState.h"
#include "entities/FSM/WalkToCollectState.h"
#include "entities/FSM/AttackState.h"
#include "entities/HeroStats.h"
#include "entities/Nation.h"
#include "entities/PlayerStats.h"
#include "entities/SoldierEntityTemplate.h"
#include "entities/SoldierStats.h"
#include "entities/TownEntity.h"
#include "entities/UnitEntity.h"

#include "Managers/AchievementManager.h"
#include "Managers/ArtifactManager.h"
#include "Managers/FogOfWarManager.h"
#include "Managers/PauseManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SoundManager.h"
#include "Managers/TownManager.h"
#include "gui/GUIManager.h"
#include "util/ArchiveLimits.h"
#include "util/ComponentSetup.h"
#include "util/MathTools.h"
#include "util/Navigation.h"

#include "engine/core/TriggerBoxEntity.h"
#include "util/NavigationMap.h"

#include "engine/base/VArchive.h"
#include "engine/base/VType.h"
#include "engine/base/VarTable.h"
#include "engine/base/VisError.h"
#include "engine/base/VisTimer.h"
#include "engine/core/IVisPhysicsObject.h"
#include "engine/core/VScriptManager.h"
#include "engine/core/VDynamicMesh.h"
#include "engine/core/VSkeletalBoneProxy.h"
#include "engine/core/VisAnimConfig.h"
#include "engine/core/VisAnimManager.h"
#include "engine/core/VisGame.h"
#include "engine/core/VisParticleEffectFile.h"
#include "engine/core/VisParticleGroupManager.h"
#include "engine/core/VisWorld.h"
#include "engine/core/VisSkeletalAnimControl.h"
#include "engine/os/VOs.h"
#include "engine/physics/vPhysXCharacterController.h"
#include "engine/physics/vPhysXModule.h"
#include "engine/render/VTextureManager.h"

#include <cmath>
#include <cstring>

V_IMPLEMENT_DYNCREATE_VARS(SoldierEntity, BaseEntity, &SoldierEntity::BuildVarList)

namespace {

const char kSoldierVersion = 3;
const char* const kActiveSkill = "active_skill";
// Artifacts the damage path asks about.
const int kArtifactScimitar = 5;
const int kArtifactStrawhat = 7;
const int kArtifactAmulet = 15;
const int kArtifactDolly = 18;
const int kArtifactGetAFix = 35;
// Achievements of kills by the player's soldiers.
const int kAchievementMeleeKillsRanged = 17;
const int kAchievementRangedKillsMelee = 18;
// Ground effects under a selected and a hovered soldier, loaded on first use.
const char* const kSelectionEffect = "Particles\\selection_02.xml";
const char* const kMouseOverEffect = "Particles\\soldier_mouseover.xml";
// The shell of area-effect weapons.
const char* const kAreaEffectProjectileClass = "AreaEffectProjectileEntity";
const float kAreaEffectSpeed = 18.31f;
const float kAreaEffectMaxHeight = 9.0f;
// Where a shot leaves a soldier without weapon bones.
const VisVector_cl kMuzzleOffset(-0.37f, -0.95f, 1.22f);
// Every animation event name a soldier uses.
const char* const kEventNames[] = {"attack",         "attack1",         "attack2",     "end",
                                   "footstep_left",  "footstep_right",  "trail_start", "trail_end"};

IVScriptInstance* ScriptOf(VisTypedEngineObject_cl* e) {
  VScriptResourceManager* manager = Vision::GetScriptManager();
  IVScriptInstance* script = manager ? manager->GetScriptInstance(e) : nullptr;
  return script && script->IsValid() ? script : nullptr;
}

// The editor only edits: outside its play mode soldiers do not come alive.
bool IsEditingOnly() {
  return Vision::Editor.IsInEditor() && Vision::Editor.GetMode() != VisEditorManager_cl::EDITORMODE_PLAYING_IN_GAME;
}

bool IsPaused() { return PauseManager::HasInstance() && PauseManager::GetInstance()->IsAnyPaused(); }

int PlayerNationId() {
  Nation* nation = GameManager::GetInstance()->GetPlayerNation();
  return nation ? nation->GetNationId() : -1;
}

// The nation of a soldier as its record's template has it.
int RecordNation(const SoldierStats* stats) {
  return stats && stats->GetTemplate() ? stats->GetTemplate()->m_iNation : -1;
}

bool IsArtifactActive(int id) { return ArtifactManager::GetInstance()->IsActive(id); }
float ArtifactEffect(int id) { return ArtifactManager::GetInstance()->GetEffect(id); }

void FinishEffect(VSmartPtr<VisParticleEffect_cl>& effect, bool hide) {
  if (!effect) return;
  if (hide) effect->SetVisible(false);
  effect->SetFinished();
  effect = nullptr;
}

VisVector_cl EulerOf(const VisMatrix3x3_cl& m) { return VisMath_cl::MatrixToEuler(m); }

}  // namespace

void SoldierEntity::BuildVarList(VARTABLE& t) {
  VAR_STRING(t, SoldierEntity, m_sHeadBoneName, "Name for head bone", "");
  VAR_STRING(t, SoldierEntity, m_sWeapon1BoneName, "Name for weapon1 bone", "");
  VAR_STRING(t, SoldierEntity, m_sWeapon2BoneName, "Name for weapon2 bone", "");
}

SoldierEntity::SoldierEntity() : ElementManager<SoldierEntity*>(this) {}

SoldierEntity::~SoldierEntity() {
  RemoveEffects();
  delete m_pStateMachine;
  m_pStateMachine = nullptr;
}

// ---- life cycle ------------------------------------------------------------------------

void SoldierEntity::CommonInit() {
  if (IsEditingOnly() || m_bAlive) return;
  m_bAlive = true;
  LinkToEscapeArea();
}

void SoldierEntity::InitFunction() {
  BaseEntity::InitFunction();
  CommonInit();
}

void SoldierEntity::OnDeserializationCallback(void* context) {
  BaseEntity::OnDeserializationCallback(context);
  CommonInit();
}

void SoldierEntity::DeInitFunction() {
  BaseEntity::DeInitFunction();
  if (VEntityHighlightManager::HasInstance()) VEntityHighlightManager::GetInstance()->RemoveFromAllSets(this);
  UnlinkFromEscapeArea();
}

void SoldierEntity::Delete() {
  TriggerBoxEntity_cl::RemoveObservedEntity(this);
  m_bObservedByTriggers = false;
  if (m_pParentUnit) m_pParentUnit->MarkRemoved(this);
  m_pParentUnit = nullptr;
}

void SoldierEntity::AttachToParent(VisObject3D_cl* parent) {
  if (parent && parent->IsOfType(UnitEntity::GetClassTypeId())) {
    static_cast<UnitEntity*>(parent)->AddSoldier(this);
    return;
  }
  BaseEntity::AttachToParent(parent);
}

// ---- think ----------------------------------------------------------------------------------

void SoldierEntity::PlaceGroundEffect(VisParticleEffect_cl* effect) {
  if (!effect) return;
  // Laid flat on the ground under the soldier.
  effect->SetPosition(GetPosition());
  effect->SetOrientation(VisVector_cl(0, 0, 0));
}

void SoldierEntity::UpdateFlames() {
  const bool visible = (GetVisibleBitmask() & 1) != 0;
  if (m_spBodyFlame) {
    if (!visible) {
      m_spBodyFlame->SetVisible(false);
      return;
    }
    if (!m_spBodyFlame->IsVisible()) m_spBodyFlame->SetVisible(true);
    VisVector_cl pos = GetPosition();
    VisQuaternion_cl rot;
    int bone = GetMesh() ? GetMesh()->GetBoneIndexByName("Bip01 Pelvis") : -1;
    if (bone >= 0) GetBoneCurrentWorldSpaceTransformation(bone, pos, rot);
    m_spBodyFlame->SetPosition(pos);
    m_spBodyFlame->SetRotationMatrix(GetRotationMatrix());
    return;
  }
  if (!m_spWeaponFlame1 || !m_spWeaponFlame2) return;
  if (!visible) {
    m_spWeaponFlame1->SetVisible(false);
    m_spWeaponFlame2->SetVisible(false);
    return;
  }
  if (!m_spWeaponFlame1->IsVisible() && !m_spWeaponFlame2->IsVisible()) {
    m_spWeaponFlame1->SetVisible(true);
    m_spWeaponFlame2->SetVisible(true);
  }
  const char* bones[2] = {"weapon01", "weapon02"};
  VisParticleEffect_cl* flames[2] = {m_spWeaponFlame1, m_spWeaponFlame2};
  for (int i = 0; i < 2; ++i) {
    int bone = GetMesh() ? GetMesh()->GetBoneIndexByName(bones[i]) : -1;
    VisVector_cl pos;
    VisQuaternion_cl rot;
    if (bone >= 0 && GetBoneCurrentWorldSpaceTransformation(bone, pos, rot)) flames[i]->SetPosition(pos);
  }
}

void SoldierEntity::ThinkFunction() {
  const float dt = Vision::Timer.GetTimeDifference();
  PlaceGroundEffect(m_spSelectionEffect);
  if (m_fMouseOverTimeLeft > 0.0f) {
    m_fMouseOverTimeLeft -= dt;
    if (m_fMouseOverTimeLeft <= 0.0f) HideMouseHoverEffect();
  }
  PlaceGroundEffect(m_spMouseOverEffect);
  PlaceGroundEffect(m_spActiveSkillEffect);
  UpdateFlames();

  if (IsPaused()) return;

  for (Weapon& weapon : m_weapons) {
    weapon.m_fCoolDownLeft -= dt;
    if (weapon.m_fCoolDownLeft < 0.0f) weapon.m_fCoolDownLeft = 0.0f;
  }

  HeroStats* hero = m_pParentUnit ? m_pParentUnit->GetHeroStats() : nullptr;
  if (hero) {
    if (m_fActiveSkillDurationLeft > 0.0f) {
      m_fActiveSkillDurationLeft -= dt;
    } else if (m_fActiveSkillDurationLeft < 0.0f) {
      hero->RemoveSkillByName(kActiveSkill);
      FinishEffect(m_spActiveSkillEffect, true);
      m_fActiveSkillDurationLeft = 0.0f;
    }
    if (m_fActiveSkillCooldownLeft > 0.0f) m_fActiveSkillCooldownLeft -= dt;
    if (!WasVisibleInAnyLastFrame() && m_fUnderAttackWarningLeft >= 0.0f) m_fUnderAttackWarningLeft -= dt;
  }

  if (GetPosition().z < FALL_LIMIT && GetPhysicsObject()) {
    GetPhysicsObject()->SetPosition(VisVector_cl(GetPosition().x, GetPosition().y, FALL_RESCUE_HEIGHT));
    Vision::Error.SystemMessage("SoldierEntity::ThinkFunction() Saved from falling.");
  }
}

// ---- messages -------------------------------------------------------------------------------

void SoldierEntity::MessageFunction(int id, INT_PTR p1, INT_PTR p2) {
  if (id == VIS_MSG_USER_UNIT_REFRESH_ANIMCONFIG) {
    if (VisAnimConfig_cl* config = GetAnimConfig()) {
      config->SetFlags(config->GetFlags() | VANIMCFG_FLAG_REFRESH);
      if (config->GetVertexAnimResult()) config->SetVertexAnimResult(nullptr);
      config->SetSkinningMode(1, -1);
    }
    return;
  }
  // Trigger messages belong to the escape area's unit container alone.
  if (id == VIS_MSG_TRIGGER) {
    HandleEscapeAreaTrigger(p1, p2);
    return;
  }
  if (id == VIS_MSG_ANIMATION_EVENT) HandleEvent((int)p1);
  BaseEntity::MessageFunction(id, p1, p2);
  if (!m_pStateMachine) return;
  if (State<SoldierEntity>* global = m_pStateMachine->GetGlobalState()) global->MessageFunction(this, id, p1, p2);
  // The global state may have changed the state: the new one hears the same message.
  if (m_pStateMachine) {
    if (State<SoldierEntity>* current = m_pStateMachine->GetCurrentState())
      current->MessageFunction(this, id, p1, p2);
  }
}

// ---- states -----------------------------------------------------------------------------------

void SoldierEntity::CreateStateMachine(StateType type) {
  delete m_pStateMachine;
  m_pStateMachine = nullptr;
  m_eStateType = type;
  State<SoldierEntity>* first =
      type == STATE_IDLE ? (State<SoldierEntity>*)IdleState::GetInstance() : (State<SoldierEntity>*)State_Idle::GetInstance();
  StateMachine<SoldierEntity>* machine = new StateMachine<SoldierEntity>(this);
  machine->SetEntryTime(0.0f);
  machine->SetRemainingTime(0.0f);
  machine->SetCurrentState(first);
  machine->SetPreviousState(first);
  // The first Enter runs before the soldier holds the machine.
  first->Enter(this);
  machine->SetGlobalState(GlobalStateSoldier::GetInstance());
  machine->SetFollowUpState(first);
  m_pStateMachine = machine;
}

std::string SoldierEntity::GetCurrentStateName() const {
  if (!m_pStateMachine) return "[no state machine]";
  const State<SoldierEntity>* s = m_pStateMachine->GetCurrentState();
  if (s == IdleState::GetInstance()) return "DEPRECATED Idle";
  if (s == WalkState::GetInstance() || s == State_Walk::GetInstance()) return "Walk";
  if (s == WalkToAttackState::GetInstance()) return "WalkToAttack";
  if (s == WalkToCollectState::GetInstance()) return "WalkToCollect";
  if (s == AttackState::GetInstance()) return "Fight";
  if (s == DieState::GetInstance()) return "Dead";
  if (s == DizzyState::GetInstance()) return "Dizzy";
  if (s == State_Idle::GetInstance()) return "Idle";
  if (s == State_Attack::GetInstance()) return "Attack";
  return "[unknown state]";
}

AttackComponent* SoldierEntity::GetAttackComponent() const {
  return static_cast<AttackComponent*>(GetComponentOfType(AttackComponent::GetClassTypeId(), false));
}

InfantryMovementComponent* SoldierEntity::GetMovementComponent() const {
  return static_cast<InfantryMovementComponent*>(GetComponentOfType(InfantryMovementComponent::GetClassTypeId(), false));
}

InfantryPathComponent* SoldierEntity::GetPathComponent() const {
  return static_cast<InfantryPathComponent*>(GetComponentOfType(InfantryPathComponent::GetClassTypeId(), false));
}

void SoldierEntity::StopOwner() {
  if (InfantryPathComponent* path = GetPathComponent()) path->OwnerStops();
}

void SoldierEntity::SetSpeed(float speed) {
  if (m_pStats) m_pStats->m_fSpeed = speed;
  if (InfantryMovementComponent* movement = ComponentSetup::TakeOrAdd<InfantryMovementComponent>(this))
    movement->SetBaseSpeed(speed);
}

// ---- weapons ----------------------------------------------------------------------------------

void SoldierEntity::SelectWeapon(int i) { m_iSelectedWeapon = i >= 0 && i < (int)m_weapons.size() ? i : 0; }

void SoldierEntity::SelectRandomWeapon() {
  const int count = (int)m_weapons.size();
  if (count == 0) {
    m_iSelectedWeapon = -1;
    return;
  }
  if (count == 1) {
    m_iSelectedWeapon = 0;
    return;
  }
  for (int draw = 0; draw < 100; ++draw) {
    int i = MathTools::RandomInt(count);
    if (m_weapons[i].m_fCoolDownLeft == 0.0f) {
      m_iSelectedWeapon = i;
      return;
    }
  }
  m_iSelectedWeapon = 0;
}

int SoldierEntity::GetMinAttackDamage(bool melee) const {
  if (!m_pStats) return 0;
  const CombatSkills& c = m_pStats->m_CombatSkills;
  if (m_iSelectedWeapon == 1) return melee ? c.m_iSecondMeleeMinDamage : c.m_iSecondRangedMinDamage;
  return melee ? c.m_iMeleeMinDamage : c.m_iRangedMinDamage;
}

int SoldierEntity::GetMaxAttackDamage(bool melee) const {
  if (!m_pStats) return 0;
  const CombatSkills& c = m_pStats->m_CombatSkills;
  if (m_iSelectedWeapon == 1) return melee ? c.m_iSecondMeleeMaxDamage : c.m_iSecondRangedMaxDamage;
  return melee ? c.m_iMeleeMaxDamage : c.m_iRangedMaxDamage;
}

// ---- hit points and death -------------------------------------------------------------------

void SoldierEntity::ResetHitpoints() {
  if (m_pStats) m_pStats->m_Hitpoints.SetCurrent(m_pStats->m_Hitpoints.GetMaximum());
}

void SoldierEntity::ReduceHitPoints(int damage, SoldierEntity* attacker) {
  if (!m_pStats || m_pStats->m_Hitpoints.GetCurrent() < 1 || m_eStateType == STATE_DEAD) return;
  // An own unit hit out of sight shows on the radar's border.
  if (m_pParentUnit && GetNation() == PlayerNationId() && !WasVisibleInAnyLastFrame())
    RadarManager::GetInstance()->Add(m_pParentUnit, TRACK_UNIT_UNDER_ATTACK);
  if (m_bUnkillable) return;
  ShowHealthBar(HEALTH_BAR_SECONDS);

  const int playerNation = PlayerNationId();
  if (RecordNation(m_pStats) == playerNation) {
    if (IsArtifactActive(kArtifactDolly)) return;
    if (IsArtifactActive(kArtifactStrawhat)) damage = (int)std::floor((1.0f - ArtifactEffect(kArtifactStrawhat)) * damage);
    if (IsArtifactActive(kArtifactGetAFix)) damage = (int)std::floor((1.0f - ArtifactEffect(kArtifactGetAFix)) * damage);
  }
  const bool playerAttacker = attacker && attacker->m_pStats && RecordNation(attacker->m_pStats) == playerNation;
  if (playerAttacker) {
    if (IsArtifactActive(kArtifactScimitar)) damage = (int)((ArtifactEffect(kArtifactScimitar) + 1.0f) * damage);
    if (IsArtifactActive(kArtifactGetAFix)) damage = (int)((ArtifactEffect(kArtifactGetAFix) + 1.0f) * damage);
  }

  if (IVScriptInstance* script = ScriptOf(this)) {
    if (script->HasFunction("OnTakeHit")) script->ExecuteFunctionArg("OnTakeHit", "*o", (VisTypedEngineObject_cl*)attacker);
  }
  if (m_bGodMode) return;

  if (m_pParentUnit && m_pParentUnit->GetHeroStats() && m_bAlive && !WasVisibleInAnyLastFrame() &&
      m_fUnderAttackWarningLeft <= 0.0f) {
    SoundManager::GetInstance()->PlaySoundA((UnitType)m_pParentUnit->GetUnitType(), SOUND_UNDER_ATTACK, 1.0f,
                                            VisVector_cl(0, 0, 0), 400.0f, 0.0f);
    m_fUnderAttackWarningLeft = UNDER_ATTACK_WARNING_SECONDS;
  }

  Hitpoints& hp = m_pStats->m_Hitpoints;
  int left = hp.GetCurrent() - damage;
  if (left > hp.GetMaximum()) {
    hp.SetCurrent(hp.GetMaximum());
    return;
  }
  if (left >= 1) {
    hp.SetCurrent(left);
    return;
  }
  hp.SetCurrent(0);

  if (playerAttacker) {
    const CombatSkills& a = attacker->m_pStats->m_CombatSkills;
    const CombatSkills& v = m_pStats->m_CombatSkills;
    const bool attackerMelee = a.m_iMeleeHitChance > a.m_iRangedHitChance;
    const bool victimMelee = v.m_iMeleeHitChance > v.m_iRangedHitChance;
    if (!attackerMelee && victimMelee)
      AchievementManager::GetInstance()->IncValue(kAchievementMeleeKillsRanged, 1.0f, true);
    else if (attackerMelee && !victimMelee)
      AchievementManager::GetInstance()->IncValue(kAchievementRangedKillsMelee, 1.0f, true);
  }
  if (attacker && attacker->m_pParentUnit) {
    if (HeroStats* hero = attacker->m_pParentUnit->GetHeroStats()) {
      if (SoldierStats* troop = hero->GetSoldierStats()) hero->AddExperience(troop->m_CombatSkills.m_iExperienceValue);
    }
    SoundManager::GetInstance()->PlaySoundA((UnitType)attacker->m_pParentUnit->GetUnitType(), SOUND_DESTROY, 1.0f,
                                            GetPosition(), 400.0f, 0.0f);
  }
  KillSoldier();
}

void SoldierEntity::KillSoldier() {
  if (!m_bAlive || !m_pStats) return;
  Vision::Error.SystemMessage("SoldierEntity::KillSoldier() Dying.");
  m_bGodMode = false;
  m_pStats->m_Hitpoints.SetCurrent(0);
  if (m_bPlayerHero && m_pParentUnit && m_pParentUnit->GetHeroStats())
    SoundManager::GetInstance()->PlaySoundA((UnitType)m_pParentUnit->GetUnitType(), SOUND_DEATH, 1.0f, GetPosition(),
                                            400.0f, 0.0f);
  if (!m_bPlayerHero && FogOfWarManager::HasInstance()) FogOfWarManager::GetInstance()->RemoveTrackedEntity(this);
  if (HealthBarComponent* bar = Components<HealthBarComponent>()) {
    bar->SetRemoveWhenHidden(true);
    bar->Hide();
  }
  if (StorageComponentProto* storage = Components<StorageComponentProto>()) storage->DropAllCollectables();
  if (IVisPhysicsObject_cl* physics = GetPhysicsObject()) {
    SetPhysicsObject(nullptr);
    physics->DisposeObject();
  }
  if (m_pParentUnit) {
    m_pParentUnit->MarkRemoved(this);
    m_pParentUnit = nullptr;
    SendMsg(VIS_MSG_USER_UNIT_DIE);
  }
  m_bAlive = false;
  // A town's guards are counted by the town, which sends new ones for the fallen.
  bool townManaged = false;
  if (GetScriptValue("bTownManaged", townManaged) && townManaged && TownManager::HasInstance()) {
    if (TownEntity* town = TownManager::GetInstance()->GetCurrentTownInfo().town) {
      int soldiers = 0;
      if (town->GetScriptValue("iCurrentSoldiers", soldiers))
        town->SetScriptValue("iCurrentSoldiers", soldiers > 0 ? soldiers - 1 : 0);
    }
  }
}

// ---- attacks -------------------------------------------------------------------------------------

int SoldierEntity::CalculateAttackStrength(BaseEntity* target) {
  if (!target || !target->IsOfType(SoldierEntity::GetClassTypeId())) return 1;
  SoldierEntity* victim = static_cast<SoldierEntity*>(target);
  HeroStats* hero = m_pParentUnit ? m_pParentUnit->GetHeroStats() : nullptr;
  const std::vector<Skill> noSkills;
  const std::vector<Skill>& skills = hero ? hero->GetSkills() : noSkills;

  float hitChance = 100.0f;
  for (const Skill& skill : skills)
    if (skill.AppliesToUnit(m_pParentUnit)) hitChance += skill.GetValue(Skill::HIT_CHANCE_BONUS);
  const int meleeSkill = m_pStats ? m_pStats->m_CombatSkills.m_iMeleeHitChance : 0;
  const int roll = MathTools::RandomInt(100);
  if ((int)(hitChance * 0.01f * meleeSkill + 0.5f) <= roll) return 1;

  int lo = GetMinAttackDamage(true), hi = GetMaxAttackDamage(true);
  float factor = 0.0f, armourSum = 0.0f;
  for (const Skill& skill : skills) {
    if (!skill.AppliesToUnit(m_pParentUnit)) continue;
    lo += (int)skill.GetValue(Skill::MELEE_DAMAGE_BONUS);
    hi += (int)skill.GetValue(Skill::MELEE_DAMAGE_BONUS);
    factor += skill.GetValue(Skill::DAMAGE_FACTOR);
    armourSum += skill.GetValue(Skill::DEFENCE_VALUE);
  }
  // The summed damage factor scales both bounds once (none, or a factor of 0 or less, is 1).
  if (factor <= 0.0f) factor = 1.0f;
  lo = (int)std::lround(lo * factor);
  hi = (int)std::lround(hi * factor);
  int damage = lo + MathTools::RandomInt(hi + 1 - lo);
  // A soldier carrying loot strikes with one hand.
  if (const CarryComponent* carry = Components<CarryComponent>(); carry && carry->IsCarrying()) damage /= 2;
  const int armour = victim->m_pStats ? victim->m_pStats->m_Hitpoints.GetArmor() : 0;
  damage -= armour + (int)armourSum;
  return damage < 1 ? 1 : damage;
}

VisVector_cl SoldierEntity::LocalToWorld(const VisVector_cl& offset) const {
  const VisMatrix3x3_cl& r = GetRotationMatrix();
  VisVector_cl p = GetPosition();
  for (int row = 0; row < 3; ++row) p[row] += r(row, 0) * offset.x + r(row, 1) * offset.y + r(row, 2) * offset.z;
  return p;
}

void SoldierEntity::Attack(BaseEntity* target, int muzzle) {
  if (!target || target->IsMarkedRemoved()) return;
  Weapon* weapon = GetWeapon(m_iSelectedWeapon);
  if (!weapon) return;
  if (m_bPlayerHero) ArtifactManager::GetInstance()->DisableInvisibility();
  weapon->m_fCoolDownLeft = weapon->m_fCoolDown;
  TurnFaceTo(target->GetPosition());

  VisVector_cl muzzlePos = LocalToWorld(kMuzzleOffset);
  VisMatrix3x3_cl muzzleRot = GetRotationMatrix();
  const VString& boneName = muzzle == 1 ? m_sWeapon2BoneName : m_sWeapon1BoneName;
  int bone = !boneName.IsEmpty() && GetMesh() ? GetMesh()->GetBoneIndexByName(boneName.AsChar()) : -1;
  VisQuaternion_cl boneRot;
  if (bone >= 0 && GetBoneCurrentWorldSpaceTransformation(bone, muzzlePos, boneRot)) muzzleRot = boneRot.ToMatrix();

  SoundManager* sounds = SoundManager::GetInstance();
  sounds->PlaySFXSound((SFXTypes)weapon->m_iFirstSound, 1.0f, GetPosition(), 10.0f, 150.0f, false);

  if (weapon->m_bMelee) {
    if (target->IsOfType(SoldierEntity::GetClassTypeId())) {
      int damage = CalculateAttackStrength(target);
      if (IVScriptInstance* script = ScriptOf(this)) {
        if (script->HasFunction("OnAttackHit"))
          script->ExecuteFunctionArg("OnAttackHit", "*oi", (VisTypedEngineObject_cl*)target, damage);
      }
      if (damage == 0) return;
    } else if (target->IsOfType("BuildingBaseEntity")) {
      int damage = CalculateAttackStrength(target);
      target->SendMsg(201, damage);
      if (damage == 0) return;
    }
  } else {
    FireProjectile(muzzlePos, target);
  }

  if (!weapon->m_sMuzzleEffect.IsEmpty()) {
    if (VisParticleEffectFile_cl* file =
            VisParticleGroupManager_cl::GlobalManager().LoadFromFile(weapon->m_sMuzzleEffect.AsChar())) {
      VisVector_cl orientation = weapon->m_iId == 6 ? VisVector_cl(0, 0, 0) : EulerOf(muzzleRot);
      file->CreateParticleEffectInstance(muzzlePos, orientation);
    }
  }
  sounds->PlaySFXSound((SFXTypes)weapon->m_iSecondSound, 1.0f, muzzlePos, 10.0f, 150.0f, false);
}

void SoldierEntity::FireProjectile(const VisVector_cl& from, BaseEntity* target) {
  if (!target) return;
  Weapon* weapon = GetWeapon(m_iSelectedWeapon);
  int lo = GetMinAttackDamage(false), hi = GetMaxAttackDamage(false);
  int damage = lo + MathTools::RandomInt(hi + 1 - lo);
  HeroStats* hero = m_pParentUnit ? m_pParentUnit->GetHeroStats() : nullptr;
  float hitSum = 0.0f;
  if (hero) {
    for (const Skill& skill : hero->GetSkills()) {
      if (!skill.AppliesToUnit(m_pParentUnit)) continue;
      damage += (int)skill.GetValue(Skill::RANGED_DAMAGE_BONUS);
      hitSum += skill.GetValue(Skill::HIT_CHANCE_BONUS);
    }
  }
  const int rangedSkill = m_pStats ? m_pStats->m_CombatSkills.m_iRangedHitChance : 0;
  const bool hit = rangedSkill + (int)(hitSum * 100.0f) > MathTools::RandomInt(100);
  if (!hit) damage = 0;
  if (weapon && weapon->m_bAreaEffect) {
    // Hit or miss, the shell flies and does its damage where it lands.
    const char* model = weapon->m_sProjectileModel.IsEmpty() ? "" : weapon->m_sProjectileModel.AsChar();
    VisBaseEntity_cl* made = Vision::Game.CreateEntity(kAreaEffectProjectileClass, from, model);
    if (!made || !made->IsOfType(AreaEffectProjectileEntity::GetClassTypeId())) return;
    auto* shell = static_cast<AreaEffectProjectileEntity*>(made);
    shell->SetDamage(damage);
    shell->SetProjectileType((ProjectileType)weapon->m_iProjectileType);
    shell->SetSpeed(kAreaEffectSpeed);
    shell->SetMaxHeight(kAreaEffectMaxHeight);
    shell->SetCastShadows(true);
    shell->SetTrail(weapon->m_sTrailEffect);
    shell->SetShooter(this);
    shell->SetTarget(target->GetPosition());
    return;
  }
  if (!hit) return;
  if (target->IsOfType(SoldierEntity::GetClassTypeId())) {
    IVScriptInstance* script = ScriptOf(this);
    if (script && script->HasFunction("OnAttackHit"))
      script->ExecuteFunctionArg("OnAttackHit", "*oi", (VisTypedEngineObject_cl*)target, damage);
    else
      static_cast<SoldierEntity*>(target)->ReduceHitPoints(damage, this);
  } else if (target->IsOfType("BuildingBaseEntity")) {
    target->SendMsg(201, damage);
  }
}

void SoldierEntity::ActivateHeroActiveSkill() {
  HeroStats* hero = m_pParentUnit ? m_pParentUnit->GetHeroStats() : nullptr;
  if (!hero || m_fActiveSkillDurationLeft > 0.0f || m_fActiveSkillCooldownLeft > 0.0f) return;
  hero->AddSkill(kActiveSkill);
  Skill& skill = hero->GetSkillByName(kActiveSkill);
  GUIManager::GetInstance()->ShowMessage(skill.m_sSecondText.AsChar(), 0.75f, 2.0f);
  m_fActiveSkillDuration = m_fActiveSkillDurationLeft = skill.GetValue(Skill::ACTIVE_SKILL_DURATION);
  float cooldown = skill.GetValue(Skill::ACTIVE_SKILL_COOLDOWN);
  if (IsArtifactActive(kArtifactAmulet)) cooldown *= 1.0f - ArtifactEffect(kArtifactAmulet);
  m_fActiveSkillCooldownLeft = m_fActiveSkillCooldown = cooldown;
  if (skill.m_sFifthText.IsEmpty()) return;
  if (VisParticleEffectFile_cl* file = VisParticleGroupManager_cl::GlobalManager().LoadFromFile(skill.m_sFifthText.AsChar())) {
    FinishEffect(m_spActiveSkillEffect, true);
    m_spActiveSkillEffect = file->CreateParticleEffectInstance(GetPosition(), VisVector_cl(0, 0, 0));
    if (m_spActiveSkillEffect) m_spActiveSkillEffect->AttachToParent(this);
  }
}

// ---- looks ---------------------------------------------------------------------------------------

void SoldierEntity::TurnFaceTo(const VisVector_cl& point) {
  VisVector_cl from = GetPosition();
  VisVector_cl to(point.x, point.y, from.z);
  VisMatrix3x3_cl look;
  VisMath_cl::MatrixLookAt(look, from, to, VisVector_cl(0, 0, 1));
  VisMatrix3x3_cl quarter;
  quarter.SetRotationAxis(VisVector_cl(0, 0, 1), 90.0f);
  SetRotationMatrix(look * quarter);
}

int SoldierEntity::GetEventId(const char* name) { return Vision::Animations.RegisterEvent(name); }

void SoldierEntity::LoadAnimation(const VString& file) {
  if (IsEditingOnly() || file.IsEmpty()) return;
  if (VDynamicMesh* mesh = GetMesh()) {
    VisAnimSequenceSet_cl* set = Vision::Animations.LoadAnimSequenceSet(file.AsChar());
    VisAnimSequenceSetCollection_cl* sets = mesh->GetSequenceSetCollection();
    sets->Clear();
    if (set) sets->Add(set);
  }
  for (const char* name : kEventNames) Vision::Animations.RegisterEvent(name);
}

VisSkeletalAnimControl_cl* SoldierEntity::StartAnimation(const char* name, bool loop, float speed, bool randomStart) {
  unsigned flags = (loop ? VANIMCTRL_LOOP : VANIMCTRL_PLAY_ONCE) | (randomStart ? (unsigned)VANIMCTRL_RANDOM_START : 0u);
  return VisAnimConfig_cl::StartSkeletalAnimation(this, name, flags, speed);
}

void SoldierEntity::StopWeaponTrail() { FinishEffect(m_spWeaponTrail, false); }

void SoldierEntity::HandleEvent(int eventId) {
  const char* name = Vision::Animations.GetEventString(eventId);
  if (!name) return;
  if (std::strcmp(name, "trail_start") == 0) {
    Weapon* weapon = GetWeapon(m_iSelectedWeapon);
    if (!weapon || weapon->m_sTrailEffect.IsEmpty()) return;
    StopWeaponTrail();
    VSkeletalBoneProxyObject* proxy = new VSkeletalBoneProxyObject();
    VSmartPtr<VSkeletalBoneProxyObject> keep = proxy;
    proxy->AttachToEntityBone(this, "weapon01");
    if (VisParticleEffectFile_cl* file =
            VisParticleGroupManager_cl::GlobalManager().LoadFromFile(weapon->m_sTrailEffect.AsChar())) {
      m_spWeaponTrail = file->CreateParticleEffectInstance(GetPosition(), VisVector_cl(0, 0, 0));
      if (m_spWeaponTrail) {
        m_spWeaponTrail->AttachToParent(proxy);
        m_spWeaponTrail->SetLocalPosition(VisVector_cl(0, 0, 0));
      }
    }
  } else if (std::strcmp(name, "end") == 0) {
    StopWeaponTrail();
  }
}

// ---- effects --------------------------------------------------------------------------------------

void SoldierEntity::InitParticleEffects() {
  VisParticleGroupManager_cl& particles = VisParticleGroupManager_cl::GlobalManager();
  if (!m_spSelectionEffectFile) m_spSelectionEffectFile = particles.LoadFromFile(kSelectionEffect);
  if (!m_spMouseOverEffectFile) m_spMouseOverEffectFile = particles.LoadFromFile(kMouseOverEffect);
  if (m_bPlayerHero) m_spHeroGlowEffectFile = particles.LoadFromFile("Particles\\hero_glow01.xml");
  const int unitType = m_pParentUnit ? m_pParentUnit->GetUnitType() : 0;
  const VisVector_cl noRotation(0, 0, 0);
  if (unitType == GHOST_SOLDIER || unitType == GHOST_CAPTAIN) {
    m_spFlameEffectFile = particles.LoadFromFile(unitType == GHOST_SOLDIER ? "Particles\\ghost_flame.xml"
                                                                           : "Particles\\ghost_captain_flame.xml");
    if (m_spFlameEffectFile) m_spBodyFlame = m_spFlameEffectFile->CreateParticleEffectInstance(GetPosition(), noRotation);
  } else if (unitType == BRINEMARK_SPECIAL) {
    m_spFlameEffectFile = particles.LoadFromFile("Particles\\green_fist_flame.xml");
    if (m_spFlameEffectFile) {
      m_spWeaponFlame1 = m_spFlameEffectFile->CreateParticleEffectInstance(GetPosition(), noRotation);
      m_spWeaponFlame2 = m_spFlameEffectFile->CreateParticleEffectInstance(GetPosition(), noRotation);
    }
  }
}

void SoldierEntity::ShowSelectionEffect() {
  if (m_bSelectionEffectShown) return;
  m_bSelectionEffectShown = true;
  if (!m_spSelectionEffectFile)
    m_spSelectionEffectFile = VisParticleGroupManager_cl::GlobalManager().LoadFromFile(kSelectionEffect);
  if (!m_spSelectionEffect && m_spSelectionEffectFile) {
    m_spSelectionEffect = m_spSelectionEffectFile->CreateParticleEffectInstance(GetPosition(), VisVector_cl(0, 0, 0));
    if (m_spSelectionEffect) m_spSelectionEffect->SetPause(false);
  }
}

void SoldierEntity::HideSelectionEffect() {
  FinishEffect(m_spSelectionEffect, false);
  m_bSelectionEffectShown = false;
}

void SoldierEntity::ShowMouseHoverEffect(float seconds) {
  if (m_bSelectionEffectShown) return;
  m_fMouseOverTimeLeft = seconds;
  if (m_bMouseOverEffectShown) return;
  m_bMouseOverEffectShown = true;
  if (!m_spMouseOverEffectFile)
    m_spMouseOverEffectFile = VisParticleGroupManager_cl::GlobalManager().LoadFromFile(kMouseOverEffect);
  if (!m_spMouseOverEffect && m_spMouseOverEffectFile) {
    m_spMouseOverEffect = m_spMouseOverEffectFile->CreateParticleEffectInstance(GetPosition(), VisVector_cl(0, 0, 0));
    if (m_spMouseOverEffect) {
      const bool own = GetNation() == PlayerNationId();
      m_spMouseOverEffect->SetColor(own ? VColorRef(255, 187, 85, 255) : VColorRef(42, 42, 255, 255));
      m_spMouseOverEffect->SetPause(false);
    }
  }
}

void SoldierEntity::HideMouseHoverEffect() {
  FinishEffect(m_spMouseOverEffect, true);
  m_bMouseOverEffectShown = false;
  m_fMouseOverTimeLeft = 0.0f;
}

void SoldierEntity::RemoveEffects() {
  m_spSelectionEffectFile = nullptr;
  m_spMouseOverEffectFile = nullptr;
  m_spHeroGlowEffectFile = nullptr;
  m_spFlameEffectFile = nullptr;
  FinishEffect(m_spSelectionEffect, true);
  FinishEffect(m_spMouseOverEffect, true);
  FinishEffect(m_spActiveSkillEffect, true);
  FinishEffect(m_spWeaponTrail, true);
  FinishEffect(m_spBodyFlame, true);
  FinishEffect(m_spWeaponFlame1, true);
  FinishEffect(m_spWeaponFlame2, true);
}

// ---- physics ---------------------------------------------------------------------------------------

void SoldierEntity::InitCharacterController() {
  if (Components<vPhysXCharacterController>()) return;
  vPhysXCharacterController* controller = new vPhysXCharacterController();
  controller->SetCollisionGroup(22);
  controller->SetCollisionBitmask(22);
  if (vPhysXModule* physics = vPhysXModule::GetInstance()) physics->SetGroupCollisionFlag(3, 3, false);
  VisBoundingBox_cl box;
  GetBoundingBox(box);
  controller->m_fCapsuleHeight = HasMesh() && box.IsValid() ? box.GetSizeZ() * 0.5f : 0.9f;
  controller->m_fStepHeight = 0.15f;
  controller->m_fSlopeLimit = 50.0f;
  controller->m_fSkinWidth = 0.02f;
  controller->m_fCapsuleRadius = 0.3f;
  controller->m_vOffset = VisVector_cl(0, 0, 0);
  if (!AddComponent(controller)) controller->DisposeObject();
}

void SoldierEntity::DeInitCharacterController() {
  if (vPhysXCharacterController* controller = Components<vPhysXCharacterController>()) controller->DisposeObject();
}

// ---- directions ------------------------------------------------------------------------------------

bool SoldierEntity::IsEnemyOf(const SoldierEntity* other) const {
  Nation* nation = GameManager::GetInstance()->GetNation((unsigned)GetNation());
  return nation && other && nation->IsEnemy(other->GetNation());
}

VisVector_cl SoldierEntity::GetEnemyDirection(float range) {
  VisVector_cl sum(0, 0, 0);
  int count = 0;
  for (unsigned i = 0; i < ElementManagerGetSize(); ++i) {
    SoldierEntity* other = ElementManagerGet(i);
    if (!other || other == this || !other->IsAlive() || !IsEnemyOf(other)) continue;
    if (range > 0.0f && GetPosition().GetDistance(other->GetPosition()) > range) continue;
    sum += other->GetPosition();
    ++count;
  }
  if (count == 0) return GetRotationMatrix().GetColumn(0);
  VisVector_cl dir = sum / (float)count - GetPosition();
  if (dir.GetLength() != 0.0f) dir.Normalize();
  dir.w = 1.0f;
  return dir;
}

VisVector_cl SoldierEntity::GetFleeDirection(float range) {
  VisVector_cl away = -GetEnemyDirection(range);
  away.w = 1.0f;
  Navigation* navigation = GameManager::GetInstance()->GetNavigation();
  NavigationMap* map = navigation && navigation->HasMap() ? navigation->GetMap() : nullptr;
  if (!map) return away;
  VisVector_cl candidate = away;
  VisMatrix3x3_cl turn;
  // Turns of 0, -1, +2, -3, ... degrees, each from the last candidate.
  for (int step = 0;; ++step) {
    const int angle = step % 2 == 0 ? step : -step;
    if (angle > 360) break;
    turn.SetRotationAxis(VisVector_cl(0, 0, 1), (float)angle);
    candidate = turn * candidate;
    if (map->GetCellAt(GetPosition() + candidate * range) < NavigationMap::FIRST_BLOCKED_COST) {
      candidate.z = away.z;
      candidate.w = 1.0f;
      return candidate;
    }
  }
  return away;
}

// ---- allegiance and script -----------------------------------------------------------------------

void SoldierEntity::FollowPlayer() {
  if (m_pParentUnit) m_pParentUnit->MarkRemoved(this);
  SetNation(1);
  Player* player = RtsManager::GlobalManager().GetPlayer();
  UnitEntity* hero = player ? player->GetPlayerCharacter() : nullptr;
  m_pParentUnit = hero;
  if (!hero) return;
  hero->AddSoldier(this);
  hero->ClearFormation();
}

void SoldierEntity::StopFollowingPlayer() {
  UnitEntity* old = m_pParentUnit;
  if (old) old->MarkRemoved(this);
  SetNation(0);
  m_pParentUnit = nullptr;
  SetSave(0);
  if (old) old->ClearFormation();
  if (VEntityHighlightManager::HasInstance()) VEntityHighlightManager::GetInstance()->RemoveUnitHighlight(this);
  if (m_pStateMachine) m_pStateMachine->ChangeState(IdleState::GetInstance());
}

bool SoldierEntity::SetAIScript(const char* file) {
  VScriptResourceManager* manager = Vision::GetScriptManager();
  if (!manager || !file) return false;
  IVScriptInstance* script = manager->CreateScriptInstanceFromFile(file, this);
  if (!script) return false;
  manager->SetScriptInstance(this, script);
  m_sScriptName = file;
  // The script sets its soldier up once attached (the stand-in's script manager runs
  // no "OnCreate" of its own when a script joins an object).
  if (script->HasFunction("OnCreate")) script->ExecuteFunctionArg("OnCreate", "*");
  return true;
}

void SoldierEntity::RemoveAIScript() {
  if (IsEditingOnly()) return;
  if (VScriptResourceManager* manager = Vision::GetScriptManager()) manager->RemoveScriptInstance(this);
}

// ---- saved forms --------------------------------------------------------------------------------

void SoldierEntity::SaveToTemplate(SoldierEntityTemplate* templ) {
  if (!templ) return;
  templ->TakeFieldsFrom(*this);
  const char* model = GetMesh() ? GetMeshFileName() : nullptr;
  if (model && (model[0] == '\\' || (model[0] == '/' && model[1] != '\\'))) ++model;
  templ->m_sModelFile = model;
  templ->m_sKey = GetEntityKey();
  templ->m_vPosition = GetPosition();
  templ->m_vOrientation = GetOrientation();
  templ->m_sEntityParams = SaveGameManagerProto::GetInstance()->GetEntityParameters(this);
}

void SoldierEntity::Serialize(VArchive& ar) {
  if (ar.IsSaving()) {
    // The animation configuration is not part of the saved soldier.
    VSmartPtr<VisAnimConfig_cl> config = GetAnimConfig();
    if (config) SetAnimConfig(nullptr);
    BaseEntity::Serialize(ar);
    if (config) SetAnimConfig(config);
    SaveGameManagerProto::BeginBlock(ar, kSoldierVersion);
    ar << m_vTargetPosition << (int)m_eStateType << (int)m_weapons.size();
    for (const Weapon& weapon : m_weapons) ar << weapon.m_iId;
    SaveGameManagerProto::EndBlock(ar);
    return;
  }
  BaseEntity::Serialize(ar);
  SavedBlockReader block(ar, "SoldierEntity", kSoldierVersion);
  if (!block.IsOpen()) return;
  VisVector_cl target = m_vTargetPosition;
  int type = (int)m_eStateType;
  std::vector<int> weaponIds;
  if (block.Has(2)) ar >> target >> type;
  if (block.Has(3)) {
    int count = 0;
    if (!ArchiveLimits::ReadCount(ar, count, 4)) {
      block.Fail();
      return;
    }
    weaponIds.assign((size_t)count, 0);
    for (int& id : weaponIds) ar >> id;
  }
  if (!block.End()) return;
  m_vTargetPosition = target;
  // A damaged block may hold any number: the enumeration cannot.
  m_eStateType = type >= STATE_NONE && type <= STATE_DIZZY ? (StateType)type : STATE_NONE;
  GameManager* gm = GameManager::GetInstance();
  for (int id : weaponIds) m_weapons.push_back(gm->GetWeapon(id));
  gm->AddUniqueID(GetUniqueID());
}

void SoldierEntity::ChangeTexture(const char* file) {
  VDynamicMesh* mesh = GetMesh();
  if (!mesh) return;
  VTextureObject* texture = Vision::TextureManager.Load2DTextureFromFile(file);
  if (!texture) return;
  if (!GetCustomTextureSet()) SetCustomTextureSet(new VisSurfaceTextureSet_cl(mesh->GetSurfaceCount()));
  GetCustomTextureSet()->SetTexture(0, texture);
}
