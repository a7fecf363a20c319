// Unit orders beyond the plain move: the move along the unit's own path, the order
// with a given facing, orders on collectables and buildings, and the unit's message
// that names a new target.
#include "SoldierFixture.h"

#include "components/CarryComponent.h"
#include "components/InfantryPathComponent.h"
#include "components/UnitPathComponent.h"
#include "core/ComponentMessages.h"
#include "entities/BuildingBaseEntity.h"
#include "entities/CollectableEntity.h"
#include "entities/FSM/IdleState.h"
#include "entities/FSM/State_Walk.h"
#include "entities/UnitEntity.h"
#include "util/ComponentSetup.h"

#include "support/MessageRecorder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Records the orders with both parameters.
class OrderLog : public IVObjectComponent {
 public:
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override {
    if (id < 150 || id > 170) return;
    ids.push_back(id);
    points.push_back(id != VIS_MSG_USER_UNIT_NEW_TARGET && p1 ? *reinterpret_cast<const VisVector_cl*>(p1)
                                                               : VisVector_cl(0, 0, 0));
    seconds.push_back(p2);
  }
  std::vector<int> ids;
  std::vector<VisVector_cl> points;
  std::vector<INT_PTR> seconds;
};

// The message as the facing order's unsigned parameter.
const unsigned kMove = VIS_MSG_USER_UNIT_MOVE;

void ExpectNear(const VisVector_cl& actual, const VisVector_cl& expected, float eps = 1e-3f) {
  EXPECT_TRUE(actual.IsEqual(expected, eps)) << "(" << actual.x << ", " << actual.y << ", " << actual.z << ") vs ("
                                             << expected.x << ", " << expected.y << ", " << expected.z << ")";
}

class UnitOrdersTest : public SoldierFixture {
 protected:
  UnitEntity* MakeUnitOf(int nation, std::initializer_list<SoldierEntity*> soldiers,
                         const VisVector_cl& at = VisVector_cl(0, 0, 0)) {
    auto* unit = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", at));
    unit->SetNation(nation);
    for (SoldierEntity* s : soldiers) unit->AddSoldier(s);
    return unit;
  }
  static OrderLog* Log(SoldierEntity* soldier) {
    for (int i = 0; i < soldier->GetComponentCount(); ++i)
      if (auto* log = dynamic_cast<OrderLog*>(soldier->GetComponent(i))) return log;
    auto* log = new OrderLog();
    soldier->AddComponent(log);
    return log;
  }
  CollectableEntity* MakeItem(const VisVector_cl& at, const char* key) {
    auto* item = static_cast<CollectableEntity*>(Vision::Game.CreateEntity("CollectableEntity", at));
    item->SetEntityKey(key);
    return item;
  }
  static int ScriptInt(SoldierEntity* soldier, const char* name) {
    int v = -1;
    soldier->GetScriptValue(name, v);
    return v;
  }
};

// ---- the move along the unit's path ----------------------------------------------------

TEST_F(UnitOrdersTest, PathMoveSendsTheNearestSoldierAlongThePathAndTheOthersAlongShiftedCopies) {
  SoldierEntity* back = MakeSoldier(VisVector_cl(-3, 0, 0));
  SoldierEntity* middle = MakeSoldier(VisVector_cl(0, 0, 0));
  SoldierEntity* front = MakeSoldier(VisVector_cl(4, 0, 0));
  for (SoldierEntity* s : {back, middle, front}) {
    s->CreateStateMachine(STATE_NONE);  // the scripted family: State_Idle first
    Log(s);
  }
  GiveScript(front,
             "cleared = 0\nlastX = -1\n"
             "function ClearTarget(self) cleared = cleared + 1 end\n"
             "function SetLastPositionGiven(self, p) lastX = p.x end\n");
  UnitEntity* unit = MakeUnitOf(1, {back, middle, front});
  auto* unitPath = ComponentSetup::AddNew<UnitPathComponent>(unit);
  ASSERT_NE(unitPath, nullptr);

  // The offsets the order will draw: none for the first slot, two draws per later slot.
  MathTools::SetGaussianRandomState(12345);
  float draws[4];
  for (float& g : draws) g = MathTools::GaussianRandom();
  MathTools::SetGaussianRandomState(12345);

  const VisVector_cl target(40, 0, 0);
  unit->SetTarget(target, VIS_MSG_USER_UNIT_MOVE, 0, false);

  // Facing +x the rotation is the identity; three soldiers form two rows of two.
  ASSERT_EQ(unit->GetFormationSize(), 4);
  const std::vector<SoldierEntity*> assigned = unit->GetSlotAssignment();
  ASSERT_EQ(assigned.size(), 3u);
  EXPECT_EQ(assigned[0], front);
  const VisVector_cl slot1 = unit->GetFormationPositionAt(1), slot2 = unit->GetFormationPositionAt(2);
  const VisVector_cl offsets[3] = {VisVector_cl(0, 0, 0), VisVector_cl(slot1.x + draws[0], slot1.y + draws[1], 0),
                                   VisVector_cl(slot2.x + draws[2], slot2.y + draws[3], 0)};
  for (int i = 0; i < 3; ++i) {
    auto* path = static_cast<InfantryPathComponent*>(
        assigned[i]->GetComponentOfType(InfantryPathComponent::GetClassTypeId(), true));
    ASSERT_NE(path, nullptr) << i;
    ExpectNear(path->GetEndPosition(), target + offsets[i]);
    EXPECT_TRUE(path->IsFollowingPath()) << i;
    EXPECT_EQ(Current(assigned[i]), State_Walk::GetInstance()) << i;
    // The path replaces the message: no soldier is sent anywhere.
    EXPECT_TRUE(Log(assigned[i])->ids.empty()) << i;
  }
  // The nearer of the others to slot 1's point took it.
  EXPECT_EQ(assigned[1], middle);
  EXPECT_EQ(assigned[2], back);
  // The script heard of the new walk and where it ends.
  EXPECT_EQ(ScriptInt(front, "cleared"), 1);
  EXPECT_EQ(ScriptInt(front, "lastX"), 40);
  // The unit keeps no path; the box lies at the target.
  EXPECT_EQ(unitPath->GetPath()->GetPathNodeCount(), 0);
  ASSERT_TRUE(unit->GetUnitTargetBox().IsValid());
  ExpectNear((unit->GetUnitTargetBox().GetPoint(0) + unit->GetUnitTargetBox().GetPoint(2)) * 0.5f, target);
}

TEST_F(UnitOrdersTest, APathMoveToWhereTheSoldierStandsEndsHisWalkAtOnce) {
  SoldierEntity* soldier = MakeSoldier(VisVector_cl(0, 0, 0));
  soldier->CreateStateMachine(STATE_IDLE);  // the built-in family: IdleState first
  UnitEntity* unit = MakeUnitOf(1, {soldier});
  ASSERT_NE(ComponentSetup::AddNew<UnitPathComponent>(unit), nullptr);
  auto* log = new MessageRecorder();
  soldier->AddComponent(log);
  unit->SetTarget(VisVector_cl(0.5f, 0, 0), VIS_MSG_USER_UNIT_MOVE, 0, false);
  // Walked before he set off: he is told he arrived and stands idle, not walking on the spot.
  EXPECT_EQ(log->Count(VIS_MSG_USER_UNIT_DESTINATION_REACHED), 1);
  EXPECT_EQ(Current(soldier), IdleState::GetInstance());
  for (int i = 0; i < 3; ++i) Step(soldier);
  EXPECT_EQ(Current(soldier), IdleState::GetInstance());
}

TEST_F(UnitOrdersTest, AUnitWithAnotherKindOfPathOrdersNobodyButStillShowsTheBox) {
  SoldierEntity* soldier = MakeSoldier(VisVector_cl(0, 0, 0));
  UnitEntity* unit = MakeUnitOf(1, {soldier});
  ASSERT_NE(ComponentSetup::AddNew<InfantryPathComponent>(unit), nullptr);
  Log(soldier);
  unit->SetTarget(VisVector_cl(20, 0, 0), VIS_MSG_USER_UNIT_MOVE, 0, false);
  EXPECT_TRUE(Log(soldier)->ids.empty());
  EXPECT_TRUE(unit->GetSlotAssignment().empty());
  EXPECT_EQ(soldier->GetComponentOfType(InfantryPathComponent::GetClassTypeId()), nullptr);
  EXPECT_TRUE(unit->GetUnitTargetBox().IsValid());
}

// ---- the order with a facing -------------------------------------------------------------

TEST_F(UnitOrdersTest, FacingOrderTurnsTheUnitAndSendsTheSlotsWithoutReforming) {
  SoldierEntity* a = MakeSoldier(VisVector_cl(0, 0, 0));
  SoldierEntity* b = MakeSoldier(VisVector_cl(0, 1, 0));
  UnitEntity* unit = MakeUnitOf(1, {a, b});
  unit->SetFormation(1, 2, 2);  // slots (0, 1) and (0, -1)
  for (SoldierEntity* s : {a, b}) Log(s);

  unit->SetTarget(VisVector_cl(10, 10, 0), 90.0f, kMove, 3);
  EXPECT_NEAR(unit->GetOrientation().x, 90.0f, 1e-3f);
  // Turned a quarter, slot (0, 1) lies at (-1, 0) from the target; b stands nearer to it.
  ASSERT_EQ(unit->GetSlotAssignment(), (std::vector<SoldierEntity*>{b, a}));
  ExpectNear(Log(b)->points[0], VisVector_cl(9, 10, 0), 0.5f);
  ExpectNear(Log(a)->points[0], VisVector_cl(11, 10, 0), 0.5f);
  EXPECT_EQ(Log(b)->seconds[0], 3);
  EXPECT_FALSE(unit->GetUnitTargetBox().IsValid());

  // Three soldiers on two slots: the grid stays, the third gets nothing.
  SoldierEntity* c = MakeSoldier(VisVector_cl(50, 0, 0));
  unit->AddSoldier(c);
  Log(c);
  unit->SetTarget(VisVector_cl(0, 0, 0), 0.0f, kMove, 0);
  EXPECT_EQ(unit->GetFormationSize(), 2);
  EXPECT_TRUE(Log(c)->ids.empty());
}

// ---- orders on entities --------------------------------------------------------------------

TEST_F(UnitOrdersTest, BuildingsOfAnyNationAreAttackedByEverySoldier) {
  SoldierEntity* scripted = MakeSoldier(VisVector_cl(0, 0, 0));
  SoldierEntity* plain = MakeSoldier(VisVector_cl(2, 0, 0));
  GiveScript(scripted, "hits = 0\nfunction AttackEntity(self, target, force) if force then hits = hits + 1 end end\n");
  UnitEntity* unit = MakeUnitOf(1, {scripted, plain});
  for (SoldierEntity* s : {scripted, plain}) Log(s);
  BaseEntity* building =
      static_cast<BaseEntity*>(Vision::Game.CreateEntity("BuildingBaseEntity", VisVector_cl(20, 0, 0)));
  building->SetNation(1);

  unit->SetTarget(building);
  EXPECT_EQ(ScriptInt(scripted, "hits"), 1);
  EXPECT_TRUE(Log(scripted)->ids.empty());
  ASSERT_EQ(Log(plain)->ids, std::vector<int>{VIS_MSG_USER_UNIT_ATTACK_ORDER});
  ExpectNear(Log(plain)->points[0], building->GetPosition());
  EXPECT_EQ(Log(plain)->seconds[0], (INT_PTR)building);
}

TEST_F(UnitOrdersTest, CollectablesSharingAKeyGoOneEachToSoldiersFreeToCarry) {
  SoldierEntity* noCarry = MakeSoldier(VisVector_cl(0, 0, 0));
  SoldierEntity* first = MakeSoldier(VisVector_cl(1, 0, 0));
  SoldierEntity* second = MakeSoldier(VisVector_cl(2, 0, 0));
  SoldierEntity* third = MakeSoldier(VisVector_cl(3, 0, 0));
  UnitEntity* unit = MakeUnitOf(1, {noCarry, first, second, third});
  std::vector<CarryComponent*> carries;
  for (SoldierEntity* s : {first, second, third}) carries.push_back(ComponentSetup::AddNew<CarryComponent>(s));
  for (SoldierEntity* s : unit->GetSoldiers()) Log(s);

  // Another entity of the key and a carried item are passed over; the clicked item goes first.
  MakeSoldier(VisVector_cl(30, 0, 0))->SetEntityKey("Barrel");
  CollectableEntity* carried = MakeItem(VisVector_cl(11, 0, 0), "Barrel");
  carried->SetCarrier(noCarry);
  CollectableEntity* other = MakeItem(VisVector_cl(12, 0, 0), "Barrel");
  CollectableEntity* clicked = MakeItem(VisVector_cl(13, 0, 0), "Barrel");
  MakeItem(VisVector_cl(14, 0, 0), "Crate");

  unit->SetTarget(clicked);
  EXPECT_TRUE(Log(noCarry)->ids.empty());
  ASSERT_EQ(Log(first)->ids, std::vector<int>{VIS_MSG_USER_UNIT_COLLECT});
  EXPECT_EQ(Log(first)->seconds[0], (INT_PTR)clicked);
  ExpectNear(Log(first)->points[0], clicked->GetPosition());
  EXPECT_EQ(carries[0]->GetCarryTarget(), clicked);
  ASSERT_EQ(Log(second)->ids, std::vector<int>{VIS_MSG_USER_UNIT_COLLECT});
  EXPECT_EQ(Log(second)->seconds[0], (INT_PTR)other);
  EXPECT_EQ(carries[1]->GetCarryTarget(), other);
  EXPECT_TRUE(Log(third)->ids.empty());
  EXPECT_EQ(carries[2]->GetCarryTarget(), nullptr);
}

TEST_F(UnitOrdersTest, AnOrderOnACarriedItemEndsTheCarryingAndRestartsItsGlow) {
  SoldierEntity* carrier = MakeSoldier(VisVector_cl(5, 0, 0));
  CarryComponent* carry = ComponentSetup::AddNew<CarryComponent>(carrier);
  CollectableEntity* item = MakeItem(VisVector_cl(5, 0, 2), "Barrel");
  item->m_sHighlightEffect = "particles\\glow.xml";
  item->SetCarrier(carrier);
  carry->SetCarryItem(item);
  SoldierEntity* soldier = MakeSoldier(VisVector_cl(0, 0, 0));
  ComponentSetup::AddNew<CarryComponent>(soldier);
  UnitEntity* unit = MakeUnitOf(1, {soldier});
  Log(soldier);

  unit->SetTarget(item);
  EXPECT_FALSE(carry->IsCarrying());
  EXPECT_FALSE(item->HasCarrier());
  EXPECT_TRUE(item->IsHighlightRunning());
  EXPECT_TRUE(Log(soldier)->ids.empty());

  // A carrier without a carry component keeps the item.
  item->StopHighlightEffect();
  item->SetCarrier(unit);
  unit->SetTarget(item);
  EXPECT_EQ(item->GetCarrier(), unit);
  EXPECT_FALSE(item->IsHighlightRunning());
}

TEST_F(UnitOrdersTest, NewTargetMessageToAUnitOrdersItsSoldiers) {
  SoldierEntity* own = MakeSoldier(VisVector_cl(0, 0, 0));
  SoldierEntity* foe = MakeSoldier(VisVector_cl(20, 0, 0));
  SoldierEntity* friendSoldier = MakeSoldier(VisVector_cl(-20, 0, 0));
  UnitEntity* unit = MakeUnitOf(1, {own});
  UnitEntity* enemy = MakeUnitOf(2, {foe});
  MakeUnitOf(1, {friendSoldier});
  Log(own);

  Vision::Game.SendMsg(unit, VIS_MSG_USER_UNIT_NEW_TARGET, (INT_PTR)friendSoldier);
  EXPECT_TRUE(Log(own)->ids.empty());
  Vision::Game.SendMsg(unit, VIS_MSG_USER_UNIT_NEW_TARGET, (INT_PTR)enemy);
  ASSERT_EQ(Log(own)->ids, std::vector<int>{VIS_MSG_USER_UNIT_ATTACK_ORDER});
  ExpectNear(Log(own)->points[0], foe->GetPosition());
  EXPECT_EQ(Log(own)->seconds[0], (INT_PTR)enemy);
}

}  // namespace
