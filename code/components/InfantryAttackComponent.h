// The melee attack: closes in on the target, strikes once per attack interval and
// resolves each blow against the defender's armour.
#pragma once

#include "components/AttackComponent.h"

class SoldierEntity;

class InfantryAttackComponent : public AttackComponent {
  V_DECLARE_DYNCREATE(InfantryAttackComponent)
 public:
  InfantryAttackComponent() = default;

  // No target: 159. A dead or fallen target is dropped; with a target unit the
  // owner is told to attack that unit again (154). Otherwise Fight().
  void Update() override;
  bool CheckInRange() override;
  void SetAttackTarget(VisBaseEntity_cl* target) override { AttackComponent::SetAttackTarget(target); }

  bool ShouldFindNewTarget() const;
  // 154 with the target unit, or 159 without one.
  void FindNewTarget(SoldierEntity* soldier, UnitEntity* unit);
  // Times the blows while the owner is in its attack state.
  void Fight();
  // One blow: the hit roll, the damage with the skills, the carried-loot halving and
  // the defender's armour; at least 1 on a hit.
  void CalculateAttackResult(SoldierEntity* attacker, SoldierEntity* defender);
};
