// Base of the soldiers' attack components: what the soldier attacks (an entity,
// an enemy unit or a point on the ground), the range at which it strikes, and the
// timers of its blows. The melee, ranged and rifle attacks derive from it.
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VCallback.h"
#include "engine/base/VisMath.h"

class SoldierEntity;
class UnitEntity;
class VisBaseEntity_cl;

class AttackComponent : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(AttackComponent)
 public:
  // Listens to OnUnitRemoved (and to destroyed entities, so no target outlives its entity).
  AttackComponent();
  ~AttackComponent() override;

  // Soldiers only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // A removed target unit is dropped with the target, and the owner hears 159.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // "ARCH", version 2, target, target unit, range, ready flag, new-target timer,
  // attack timer, "EOA". The ground attack and the subclasses' properties stay out.
  void Serialize(VArchive& ar) override;

  virtual void Init() {}
  virtual void DeInit() {}
  virtual void Update() {}
  // Only while ready for a target and for an entity: it becomes the target, the
  // component is no longer ready and a ground attack ends.
  virtual void SetAttackTarget(VisBaseEntity_cl* target);
  virtual VisBaseEntity_cl* GetAttackTarget() const { return m_pTarget; }
  // The unit whose soldiers are fair targets (null allowed); a ground attack ends.
  virtual void SetAttackTargetUnit(UnitEntity* unit);
  virtual UnitEntity* GetAttackTargetUnit() const { return m_pTargetUnit; }
  virtual void SetGroundAttackTarget(const VisVector_cl& point);
  virtual const VisVector_cl& GetGroundAttackTarget() const { return m_vGroundTarget; }
  virtual bool IsReadyForTarget() const { return m_bReadyForTarget; }
  virtual void SetReadyForTarget(bool ready) { m_bReadyForTarget = ready; }
  // Target and target unit go; ready again. A ground attack stays in force.
  virtual void StopAttacking();
  virtual bool CheckInRange() { return false; }
  // Looks for the nearest soldier of the target unit once a second and tells the
  // owner to close in (155) or to attack (154).
  virtual void UpdateTarget();
  virtual float GetRange() const { return m_fRange; }
  virtual float GetNewTargetTimer() const { return m_fNewTargetTimer; }
  virtual void SetNewTargetTimer(float t) { m_fNewTargetTimer = t; }

  bool IsGroundAttack() const { return m_bGroundAttack; }
  float GetAttackTimer() const { return m_fAttackTimer; }
  void SetRange(float range) { m_fRange = range; }

 protected:
  static void BuildVarList(VARTABLE& t);

  SoldierEntity* OwnerSoldier() const;
  // Sums one value over the skills that apply to the soldier's unit (the skills of
  // its hero statistics; none without a unit or statistics).
  static float SkillSum(const SoldierEntity* soldier, int value);
  // The same with each value truncated before it is added.
  static int SkillSumTruncated(const SoldierEntity* soldier, int value);
  // The point (-0.37, -0.95, 1.22) in the soldier's frame, where shots leave.
  static VisVector_cl MuzzlePoint(const SoldierEntity* soldier);
  static bool IsBuilding(const VisBaseEntity_cl* entity);
  // A building with hit points left; false while buildings carry no destructible part.
  static bool IsStandingBuilding(const VisBaseEntity_cl* entity);
  // Nothing between the two points, each raised by 2.0.
  static bool FreeLine(const VisVector_cl& from, const VisVector_cl& to, const VisBaseEntity_cl* ignoreA,
                       const VisBaseEntity_cl* ignoreB);
  // The shooters' turn: false while nothing is to be shot (the soldier target's unit
  // gone, which stops the owner and readies it for a new target) or the attack timer
  // still runs outside the attack state or above 0 (counting it down).
  bool ShotIsDue(SoldierEntity* owner);
  // The ranged range test; the ground target only when asked. The effective range
  // stays local so the property is never grown by range bonuses.
  bool CheckShotInRange(bool withGround);

  VisBaseEntity_cl* m_pTarget = nullptr;
  UnitEntity* m_pTargetUnit = nullptr;
  float m_fRange = 1.0f;
  float m_fNewTargetTimer = 0.0f;
  float m_fAttackTimer = 0.0f;
  bool m_bGroundAttack = false;
  VisVector_cl m_vGroundTarget{0, 0, 0, 1};
  bool m_bReadyForTarget = true;
};
