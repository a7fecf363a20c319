// The attack components' base: soldiers only, the ready-for-target rule, ground
// attacks outliving StopAttacking, and a removed target unit telling the soldier.
#include "components/AttackComponent.h"

#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

namespace {

class AttackComponentTest : public ::testing::Test {
 protected:
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    GameManager::CleanInstance();
  }
};

// Counts the stop messages a soldier hears.
class ListeningSoldier : public SoldierEntity {
 public:
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override {
    if (id == VIS_MSG_USER_UNIT_STOP) ++stops;
    SoldierEntity::MessageFunction(id, p1, p2);
  }
  int stops = 0;
};

TEST_F(AttackComponentTest, OnlySoldiersTakeOne) {
  VisBaseEntity_cl rock;
  AttackComponent* attack = new AttackComponent();
  VString reason;
  EXPECT_EQ(attack->CanAttachToObject(&rock, reason), 0);
  EXPECT_EQ(reason, "Component can only be added to instances of SoldierEntity or derived classes.");
  SoldierEntity soldier;
  EXPECT_TRUE(soldier.AddComponent(attack));
  EXPECT_EQ(attack->GetRange(), 1.0f) << "the property's default";
}

TEST_F(AttackComponentTest, TargetsFollowTheReadyRule) {
  AttackComponent attack;
  SoldierEntity first, second;
  attack.SetAttackTarget(nullptr);
  EXPECT_TRUE(attack.IsReadyForTarget());
  attack.SetGroundAttackTarget(VisVector_cl(4, 4, 0));
  attack.SetAttackTarget(&first);
  EXPECT_EQ(attack.GetAttackTarget(), &first);
  EXPECT_FALSE(attack.IsReadyForTarget());
  EXPECT_FALSE(attack.IsGroundAttack()) << "a target ends the ground attack";
  attack.SetAttackTarget(&second);
  EXPECT_EQ(attack.GetAttackTarget(), &first) << "not ready: unchanged";

  attack.SetGroundAttackTarget(VisVector_cl(1, 2, 0));
  attack.StopAttacking();
  EXPECT_EQ(attack.GetAttackTarget(), nullptr);
  EXPECT_TRUE(attack.IsReadyForTarget());
  EXPECT_TRUE(attack.IsGroundAttack()) << "the ground attack stays in force";
  EXPECT_TRUE(attack.GetGroundAttackTarget() == VisVector_cl(1, 2, 0));
}

TEST_F(AttackComponentTest, ARemovedTargetUnitIsDroppedAndTheSoldierStops) {
  auto* soldier = new ListeningSoldier();
  AttackComponent* attack = new AttackComponent();
  ASSERT_TRUE(soldier->AddComponent(attack));
  auto* enemies = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(0, 0, 0)));
  auto* others = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(0, 0, 0)));
  attack->SetAttackTargetUnit(enemies);
  attack->SetAttackTarget(soldier);

  BaseEntityDataObject otherGone(&GameManager::Callbacks.OnUnitRemoved, others);
  GameManager::Callbacks.OnUnitRemoved.TriggerCallbacks(&otherGone);
  EXPECT_EQ(attack->GetAttackTargetUnit(), enemies);
  EXPECT_EQ(soldier->stops, 0);

  BaseEntityDataObject gone(&GameManager::Callbacks.OnUnitRemoved, enemies);
  GameManager::Callbacks.OnUnitRemoved.TriggerCallbacks(&gone);
  EXPECT_EQ(attack->GetAttackTargetUnit(), nullptr);
  EXPECT_EQ(attack->GetAttackTarget(), nullptr);
  EXPECT_FALSE(attack->IsReadyForTarget()) << "the ready flag is not touched";
  EXPECT_EQ(soldier->stops, 1);
}

}  // namespace
