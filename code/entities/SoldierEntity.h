// One fighter of a land battle: a figure with a skeleton and animations that
// belongs to a unit, carries weapons and a statistics record, takes damage and dies,
// and acts through a state machine that its unit runs every frame.
#pragma once

#include "core/BaseEntity.h"
#include "core/StateMachine.h"
#include "core/Weapon.h"
#include "entities/StateType.h"

#include "engine/base/DynArray.h"
#include "engine/base/ElementManager.h"
#include "engine/base/VString.h"

#include <string>
#include <vector>

class AttackComponent;
class InfantryMovementComponent;
class InfantryPathComponent;
class SoldierEntityTemplate;
class SoldierStats;
class UnitEntity;
class VisSkeletalAnimControl_cl;
class VisParticleEffect_cl;
class VisParticleEffectFile_cl;

class SoldierEntity : public BaseEntity, public ElementManager<SoldierEntity*> {
  V_DECLARE_DYNCREATE(SoldierEntity)
 public:
  // Damage path constants.
  static constexpr float HEALTH_BAR_SECONDS = 2.0f;
  static constexpr float UNDER_ATTACK_WARNING_SECONDS = 60.0f;
  // Height below which a soldier is caught and put back above the same point.
  static constexpr float FALL_LIMIT = -100.0f;
  static constexpr float FALL_RESCUE_HEIGHT = 100.0f;

  SoldierEntity();
  ~SoldierEntity() override;

  // Engine hooks.
  void InitFunction() override;
  void DeInitFunction() override;
  void ThinkFunction() override;
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;
  // BaseEntity's block, then "ARCH", version 3, target position, state type, weapon
  // count and ids, "EOA". The animation configuration is left out while writing.
  void Serialize(VArchive& ar) override;
  void OnDeserializationCallback(void* context) override;
  bool WantsDeserializationCallback(int context) override { return context != 1; }
  // A unit as parent only appends the soldier to its soldier list.
  void AttachToParent(VisObject3D_cl* parent) override;

  // Marks the soldier alive when it first enters the running game.
  void CommonInit();
  // Leaves its unit (marked removed there) and forgets the unit; trigger boxes stop
  // watching it.
  void Delete();
  // The scene's "EscapeArea" box fires its "OnObjectEnter"/"OnObjectLeave" sources
  // at the soldier's targets of the same names (made when missing), and the soldier
  // becomes an entity the boxes watch. Nothing without an escape area.
  void LinkToEscapeArea();
  // Unlinks both, drops the targets and leaves the area's unit container; the
  // boxes stop watching only a soldier who was in it.
  void UnlinkFromEscapeArea();
  bool IsObservedByTriggers() const { return m_bObservedByTriggers; }
  // A trigger message (p1 the source, p2 the target) about this soldier: the source
  // owner's unit container takes him in on "OnObjectEnter" and out on "OnObjectLeave".
  void HandleEscapeAreaTrigger(INT_PTR source, INT_PTR target);

  // Orders and allegiance.
  const VisVector_cl& GetTargetPosition() const { return m_vTargetPosition; }
  void SetTargetPosition(const VisVector_cl& p) { m_vTargetPosition = p; }
  UnitEntity* GetParentUnit() const { return m_pParentUnit; }
  void SetParentUnit(UnitEntity* unit) { m_pParentUnit = unit; }
  void FollowPlayer();
  void StopFollowingPlayer();
  void SetNewNation(int nation) { SetNation(nation); }

  // States (the states themselves live in entities/FSM).
  StateMachine<SoldierEntity>* GetStateMachine() const { return m_pStateMachine; }
  // A new machine in IdleState (type 1) or State_Idle (any other type) with the global
  // state GlobalStateSoldier; the first state's Enter runs before the soldier holds it.
  void CreateStateMachine(StateType type);
  std::string GetCurrentStateName() const;
  StateType GetStateType() const { return m_eStateType; }
  void SetStateType(StateType type) { m_eStateType = type; }

  // Statistics (not owned).
  SoldierStats* GetStats() const { return m_pStats; }
  void SetStats(SoldierStats* stats) { m_pStats = stats; }

  // Weapons: copies of the records of GameManager's table, each with its own cool-down.
  int GetWeaponCount() const { return (int)m_weapons.size(); }
  Weapon* GetWeapon(int i) { return i >= 0 && i < (int)m_weapons.size() ? &m_weapons[i] : nullptr; }
  void AddWeapon(const Weapon& weapon) { m_weapons.push_back(weapon); }
  int GetSelectedWeapon() const { return m_iSelectedWeapon; }
  // An index at or beyond the weapon count selects weapon 0.
  void SelectWeapon(int i);
  // -1 without weapons; else draws until a weapon is off its cool-down (weapon 0
  // after 100 failed draws).
  void SelectRandomWeapon();

  // Combat.
  void ReduceHitPoints(int damage, SoldierEntity* attacker);
  void KillSoldier();
  void ResetHitpoints();
  // Damage of one melee strike against the target, at least 1.
  int CalculateAttackStrength(BaseEntity* target);
  // One strike or shot with the selected weapon; muzzle 0 fires from the weapon-1
  // bone, 1 from the weapon-2 bone.
  void Attack(BaseEntity* target, int muzzle);
  void FireProjectile(const VisVector_cl& from, BaseEntity* target);
  // The melee or ranged range of the weapon set in use (the second set for weapon 1).
  int GetMinAttackDamage(bool melee) const;
  int GetMaxAttackDamage(bool melee) const;
  void ActivateHeroActiveSkill();

  void SetGodMode(bool on) { m_bGodMode = on; }
  bool GetGodMode() const { return m_bGodMode; }
  void MarkAsPlayerHero(bool on) { m_bPlayerHero = on; }
  bool IsPlayerHero() const { return m_bPlayerHero; }
  void SetUnKillable(bool on) { m_bUnkillable = on; }
  bool IsUnKillable() const { return m_bUnkillable; }
  bool IsAlive() const { return m_bAlive; }

  float GetActiveSkillDurationLeft() const { return m_fActiveSkillDurationLeft; }
  float GetActiveSkillDuration() const { return m_fActiveSkillDuration; }
  float GetActiveSkillCooldownDelta() const { return m_fActiveSkillCooldownLeft; }
  float GetActiveSkillCooldown() const { return m_fActiveSkillCooldown; }
  float GetUnderAttackWarningTime() const { return m_fUnderAttackWarningLeft; }

  // Looks and movement.
  const VString& GetHeadBoneName() const { return m_sHeadBoneName; }
  const VString& GetWeapon1BoneName() const { return m_sWeapon1BoneName; }
  const VString& GetWeapon2BoneName() const { return m_sWeapon2BoneName; }
  // Turns about z to face the point; height is ignored.
  void TurnFaceTo(const VisVector_cl& point);
  void LoadAnimation(const VString& file);
  // The texture becomes the diffuse texture of the model's first surface, in the
  // soldier's own texture set; nothing without a model or a texture.
  void ChangeTexture(const char* file);
  // Animation events: the weapon trail starts on "trail_start" and stops on "end".
  void HandleEvent(int eventId);
  // Starts the model's skeletal sequence (looped or once, at the speed, from a random
  // point when asked); null without a model or such a sequence.
  VisSkeletalAnimControl_cl* StartAnimation(const char* name, bool loop, float speed, bool randomStart);
  // The animation names the soldier registers as event strings, each once per run.
  static int GetEventId(const char* name);

  // The components the states drive (null when the soldier has none).
  AttackComponent* GetAttackComponent() const;
  InfantryMovementComponent* GetMovementComponent() const;
  InfantryPathComponent* GetPathComponent() const;
  // The walk ends: the path component hears that the soldier stopped.
  void StopOwner();
  // The stats' speed and the movement component's (made when missing).
  void SetSpeed(float speed);

  void InitParticleEffects();
  void RemoveEffects();
  void ShowSelectionEffect();
  void HideSelectionEffect();
  void ShowMouseHoverEffect(float seconds);
  void HideMouseHoverEffect();
  bool IsShowSelectionEffectOn() const { return m_bSelectionEffectShown; }
  bool IsShowMouseHoverEffectOn() const { return m_bMouseOverEffectShown; }
  float GetMouseOverTimeLeft() const { return m_fMouseOverTimeLeft; }

  void InitCharacterController();
  void DeInitCharacterController();

  // Whether the soldier's nation is at war with the other's; false for null.
  bool IsEnemyOf(const SoldierEntity* other) const;
  // Towards the mean position of the living enemies (within range when range > 0),
  // or the soldier's forward axis when there are none.
  VisVector_cl GetEnemyDirection(float range);
  // Away from the enemies, turned step by step to the nearest walkable cell.
  VisVector_cl GetFleeDirection(float range);
  void GetSoldiersInViewRange(DynArray_cl<SoldierEntity*>* out) {}

  // Script.
  const VString& GetAIScript() const { return m_sScriptName; }
  // Attaches the script when it loads and runs its "OnCreate"; false otherwise (the
  // old script stays).
  bool SetAIScript(const char* file);
  void RemoveAIScript();

  // Writes the soldier into its stored form (a soldier without a unique id takes the
  // next one from GameManager).
  void SaveToTemplate(SoldierEntityTemplate* templ);

 protected:
  static void BuildVarList(VARTABLE& t);

 private:
  void PlaceGroundEffect(VisParticleEffect_cl* effect);
  void UpdateFlames();
  void StopWeaponTrail();
  // The soldier's own position with its rotation applied to a local offset.
  VisVector_cl LocalToWorld(const VisVector_cl& offset) const;

  VisVector_cl m_vTargetPosition{0, 0, 0, 1};
  UnitEntity* m_pParentUnit = nullptr;
  StateMachine<SoldierEntity>* m_pStateMachine = nullptr;
  SoldierStats* m_pStats = nullptr;
  StateType m_eStateType = STATE_NONE;
  std::vector<Weapon> m_weapons;
  int m_iSelectedWeapon = -1;
  // Editable properties.
  VString m_sHeadBoneName;
  VString m_sWeapon1BoneName;
  VString m_sWeapon2BoneName;

  VSmartPtr<VisParticleEffect_cl> m_spWeaponTrail;
  float m_fActiveSkillDurationLeft = -1.0f;
  float m_fActiveSkillDuration = -1.0f;
  float m_fActiveSkillCooldownLeft = -1.0f;
  float m_fActiveSkillCooldown = 0.0f;
  bool m_bGodMode = false;
  bool m_bPlayerHero = false;
  bool m_bSelectionEffectShown = false;
  VSmartPtr<VisParticleEffectFile_cl> m_spSelectionEffectFile;
  VSmartPtr<VisParticleEffect_cl> m_spSelectionEffect;
  bool m_bMouseOverEffectShown = false;
  VSmartPtr<VisParticleEffectFile_cl> m_spMouseOverEffectFile;
  VSmartPtr<VisParticleEffect_cl> m_spMouseOverEffect;
  float m_fMouseOverTimeLeft = 0.0f;
  VSmartPtr<VisParticleEffect_cl> m_spBodyFlame;
  VSmartPtr<VisParticleEffectFile_cl> m_spFlameEffectFile;
  VSmartPtr<VisParticleEffect_cl> m_spWeaponFlame1;
  VSmartPtr<VisParticleEffect_cl> m_spWeaponFlame2;
  bool m_bAlive = false;
  float m_fUnderAttackWarningLeft = 0.0f;
  VSmartPtr<VisParticleEffectFile_cl> m_spHeroGlowEffectFile;
  VSmartPtr<VisParticleEffect_cl> m_spActiveSkillEffect;
  VString m_sScriptName;
  bool m_bUnkillable = false;
  bool m_bObservedByTriggers = false;
};
