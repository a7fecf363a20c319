// The land unit: its formation grid and the order of its slots, the placing of its
// soldiers, the assignment of soldiers to slots, following its soldiers, removing
// itself when empty, the saved blocks of the unit and of its template, and its
// script methods.
#include "entities/UnitEntity.h"

#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "core/ScriptBindings.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntityTemplate.h"
#include "Managers/GameSessionManager.h"
#include "Managers/SaveGameManager.h"

#include "support/ArchiveRoundTrip.h"
#include "support/LogCapture.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using archive_test::ByteWriter;
using archive_test::Bytes;

// Records the orders a soldier receives: the message and the point p1 names.
class OrderProbe : public IVObjectComponent {
  V_DECLARE_DYNCREATE(OrderProbe)
 public:
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override {
    if (id < 150 || id > 170) return;
    ids.push_back(id);
    points.push_back(p1 ? *reinterpret_cast<const VisVector_cl*>(p1) : VisVector_cl(0, 0, 0));
    parameters.push_back(p2);
  }
  std::vector<int> ids;
  std::vector<VisVector_cl> points;
  std::vector<INT_PTR> parameters;
};
V_IMPLEMENT_DYNCREATE(OrderProbe, IVObjectComponent)

// Counts the units announced on one event of the bus.
class UnitBusListener : public IVisCallbackHandler_cl {
 public:
  explicit UnitBusListener(VCallback& cb) : m_cb(cb) { cb.RegisterCallback(this); }
  ~UnitBusListener() override { m_cb.DeregisterCallback(this); }
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override {
    units.push_back(static_cast<BaseEntityDataObject*>(data)->m_pEntity);
  }
  std::vector<VisBaseEntity_cl*> units;

 private:
  VCallback& m_cb;
};

class UnitEntityTest : public ::testing::Test {
 protected:
  void SetUp() override { Vision::World.SetFlatTerrain(0.0f); }
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    Vision::World.ClearTerrain();
    GameSessionManager::CleanInstance();
    GameManager::CleanInstance();
    SaveGameManagerProto::CleanInstance();
  }

  static UnitEntity* MakeUnit(int soldiers, int width, const VisVector_cl& at = VisVector_cl(10, 20, 0),
                              float yaw = 0.0f) {
    const std::string params =
        "m_iNumSoldiers=\"" + std::to_string(soldiers) + "\",m_iUnitWidth=\"" + std::to_string(width) + "\"";
    VisBaseEntity_cl* e = Vision::Game.CreateEntity("UnitEntity", at, nullptr, params.c_str());
    EXPECT_NE(e, nullptr);
    UnitEntity* unit = static_cast<UnitEntity*>(e);
    if (yaw != 0.0f) {
      unit->SetOrientation(yaw, 0, 0);
      unit->ResetSoldierPositions();
    }
    return unit;
  }
  static OrderProbe* Probe(SoldierEntity* soldier) {
    auto* probe = static_cast<OrderProbe*>(soldier->GetComponentOfType(OrderProbe::GetClassTypeId()));
    if (!probe) {
      probe = new OrderProbe();
      soldier->AddComponent(probe);
    }
    return probe;
  }
};

void ExpectNear(const VisVector_cl& actual, const VisVector_cl& expected, float eps = 1e-4f) {
  EXPECT_TRUE(actual.IsEqual(expected, eps)) << "(" << actual.x << ", " << actual.y << ", " << actual.z << ") vs ("
                                             << expected.x << ", " << expected.y << ", " << expected.z << ")";
}

// ---- formation ------------------------------------------------------------------------

TEST_F(UnitEntityTest, SevenSoldiersOfWidthThreeStandOnAThreeByThreeGrid) {
  UnitEntity* unit = MakeUnit(7, 3);
  ASSERT_EQ(unit->GetNumSoldiers(), 7);
  EXPECT_EQ(unit->GetFormationRowCount(), 3);
  EXPECT_EQ(unit->GetFormationColCount(), 3);
  EXPECT_EQ(unit->GetFormationSoldierDistance(), 2);
  // Rows along x from the largest, columns along y from the largest, row after row.
  const VisVector_cl slots[9] = {{2, 2, 0}, {2, 0, 0},  {2, -2, 0},  {0, 2, 0},  {0, 0, 0},
                                 {0, -2, 0}, {-2, 2, 0}, {-2, 0, 0}, {-2, -2, 0}};
  ASSERT_EQ(unit->GetFormationSize(), 9);
  for (unsigned i = 0; i < 9; ++i) ExpectNear(unit->GetFormationPositionAt(i), slots[i]);
  // Soldier i on slot i, one unit above the ground; the last two slots stay empty.
  for (int i = 0; i < 7; ++i) {
    SoldierEntity* soldier = unit->GetSoldierAtIndex(i);
    ASSERT_NE(soldier, nullptr);
    EXPECT_EQ(soldier->GetParentUnit(), unit);
    ExpectNear(soldier->GetPosition(), VisVector_cl(10, 20, 1) + slots[i]);
  }
  EXPECT_EQ(unit->GetSoldierAtIndex(7), nullptr);
  // Past the last slot: the unit's own position.
  EXPECT_EQ(unit->GetFormationPositionAt(9), unit->GetPosition());
}

TEST_F(UnitEntityTest, FormationTurnsWithTheUnit) {
  UnitEntity* unit = MakeUnit(4, 2, VisVector_cl(0, 0, 0), 90.0f);
  const VisMatrix3x3_cl& rotation = unit->GetRotationMatrix();
  for (int i = 0; i < 4; ++i) {
    SoldierEntity* soldier = unit->GetSoldierAtIndex(i);
    VisVector_cl expected = unit->GetPosition() + rotation * unit->GetFormationPositionAt(i);
    expected.z = 1.0f;
    ExpectNear(soldier->GetPosition(), expected);
    EXPECT_NEAR(soldier->GetOrientation().x, 90.0f, 1e-3f);
  }
  // Turned a quarter, the first slot (1, 1) lies at (-1, 1).
  ExpectNear(unit->GetSoldierAtIndex(0)->GetPosition() - unit->GetPosition(), VisVector_cl(-1, 1, 1 - unit->GetPosition().z));
}

TEST_F(UnitEntityTest, RowsGrowUntilEverySoldierHasASlot) {
  const struct {
    int soldiers, rows, columns;
    int expectRows;
    std::vector<float> xs, ys;
  } cases[] = {
      {5, 1, 2, 3, {2, 0, -2}, {1, -1}},
      {0, 0, 2, 0, {}, {}},
      {7, 3, 2, 4, {3, 1, -1, -3}, {1, -1}},
  };
  for (const auto& c : cases) {
    UnitEntity* unit = MakeUnit(c.soldiers, 1);
    EXPECT_TRUE(unit->SetFormation(c.rows, c.columns, 2));
    EXPECT_EQ(unit->GetFormationRowCount(), c.expectRows);
    ASSERT_EQ(unit->GetFormationSize(), (int)(c.xs.size() * c.ys.size())) << c.soldiers;
    int i = 0;
    for (float x : c.xs)
      for (float y : c.ys) ExpectNear(unit->GetFormationPositionAt(i++), VisVector_cl(x, y, 0));
  }
}

TEST_F(UnitEntityTest, UnitWidthIsClampedToTheSoldierCount) {
  const struct {
    int width, expected;
  } cases[] = {{0, 1}, {9, 3}, {2, 2}};
  for (const auto& c : cases) {
    UnitEntity* unit = MakeUnit(3, c.width);
    EXPECT_EQ(unit->GetUnitWidth(), c.expected);
    EXPECT_EQ(unit->GetFormationRowCount(), c.expected);
  }
}

TEST_F(UnitEntityTest, CreateSoldiersOnlyFillsUp) {
  UnitEntity* unit = MakeUnit(2, 1);
  unit->AddSoldier(nullptr);
  ASSERT_EQ(unit->GetNumSoldiers(), 3);
  SoldierEntity* moved = unit->GetSoldierAtIndex(0);
  moved->SetPosition(VisVector_cl(-50, -50, 0));
  unit->CreateSoldiers();
  EXPECT_EQ(unit->GetNumSoldiers(), 3);
  EXPECT_EQ(moved->GetPosition(), VisVector_cl(-50, -50, 0));
}

// ---- the assignment of soldiers to slots -------------------------------------------------

TEST_F(UnitEntityTest, EachSlotTakesTheNearestSoldierNotYetPlaced) {
  UnitEntity* unit = MakeUnit(3, 1, VisVector_cl(0, 0, 0));
  unit->SetFormation(3, 1, 2);  // slots at x = 2, 0, -2
  SoldierEntity* a = unit->GetSoldierAtIndex(0);
  SoldierEntity* b = unit->GetSoldierAtIndex(1);
  SoldierEntity* c = unit->GetSoldierAtIndex(2);
  // The target is (100, 0): slot 0 lies at x 102. b and c stand equally near it, a far.
  a->SetPosition(VisVector_cl(90, 0, 0));
  b->SetPosition(VisVector_cl(102, 5, 0));
  c->SetPosition(VisVector_cl(102, -5, 0));
  for (SoldierEntity* s : {a, b, c}) Probe(s);
  VisMatrix3x3_cl identity;
  identity.SetIdentity();
  unit->SetSoldierTargets(VisVector_cl(100, 0, 0), identity, VIS_MSG_USER_UNIT_MOVE, 7, false);
  const std::vector<SoldierEntity*> assigned = unit->GetSlotAssignment();
  ASSERT_EQ(assigned.size(), 3u);
  EXPECT_EQ(assigned[0], b);  // the earlier of the two equally near
  EXPECT_EQ(assigned[1], c);
  EXPECT_EQ(assigned[2], a);
  // Each got its slot's point, jittered by a fraction of a unit, and the parameter.
  const float slotX[3] = {102, 100, 98};
  for (int i = 0; i < 3; ++i) {
    OrderProbe* probe = Probe(assigned[i]);
    ASSERT_EQ(probe->ids.size(), 1u);
    EXPECT_EQ(probe->ids[0], VIS_MSG_USER_UNIT_MOVE);
    EXPECT_EQ(probe->parameters[0], 7);
    ExpectNear(probe->points[0], VisVector_cl(slotX[i], 0, 0), 0.5f);
  }

  // A kept assignment skips a soldier that has left the unit; its slot stays empty.
  c->SetParentUnit(nullptr);
  unit->SetSoldierTargets(VisVector_cl(0, 50, 0), identity, VIS_MSG_USER_UNIT_MOVE, 0, true);
  ASSERT_EQ(Probe(b)->ids.size(), 2u);
  EXPECT_EQ(Probe(c)->ids.size(), 1u);
  ASSERT_EQ(Probe(a)->ids.size(), 2u);
  // Kept slots: b still takes slot 0 and a slot 2, whatever their distance now.
  ExpectNear(Probe(b)->points[1], VisVector_cl(2, 50, 0), 1.0f);
  ExpectNear(Probe(a)->points[1], VisVector_cl(-2, 50, 0), 1.0f);
  EXPECT_EQ(unit->GetSlotAssignment(), assigned);
}

TEST_F(UnitEntityTest, SlotsBeyondTheSoldiersGetNobodyAndTheTargetBoxFollowsTheFormation) {
  UnitEntity* unit = MakeUnit(2, 1, VisVector_cl(0, 0, 0));
  unit->SetFormation(2, 2, 2);  // four slots, two soldiers
  VisMatrix3x3_cl identity;
  identity.SetIdentity();
  unit->SetSoldierTargets(VisVector_cl(10, 10, 0), identity, VIS_MSG_USER_UNIT_MOVE, 0, false);
  EXPECT_EQ(unit->GetSlotAssignment().size(), 2u);

  unit->GenerateTargetBox(VisVector_cl(10, 10, 0), identity);
  const SelectionBox& box = unit->GetUnitTargetBox();
  EXPECT_TRUE(box.IsValid());
  ExpectNear(box.GetPoint(0), VisVector_cl(9, 11, 0));
  ExpectNear(box.GetPoint(1), VisVector_cl(11, 11, 0));
  ExpectNear(box.GetPoint(2), VisVector_cl(11, 9, 0));
  ExpectNear(box.GetPoint(3), VisVector_cl(9, 9, 0));
}

// ---- orders ------------------------------------------------------------------------------

TEST_F(UnitEntityTest, MoveOrderTurnsTheUnitReformsInTwoColumnsAndSendsEverySoldier) {
  UnitEntity* unit = MakeUnit(7, 7, VisVector_cl(0, 0, 0));
  unit->ClearFormation();  // the slots no longer match the soldiers
  for (SoldierEntity* s : unit->GetSoldiers()) Probe(s);
  const VisVector_cl target(0, 50, 0);
  unit->SetTarget(target, VIS_MSG_USER_UNIT_MOVE, 5, false);
  // Three rows of two are too few for seven: four rows, the eighth slot empty.
  EXPECT_EQ(unit->GetFormationRowCount(), 4);
  EXPECT_EQ(unit->GetFormationColCount(), 2);
  EXPECT_EQ(unit->GetSlotAssignment().size(), 7u);
  for (SoldierEntity* s : unit->GetSoldiers()) {
    EXPECT_EQ(Probe(s)->ids, std::vector<int>{VIS_MSG_USER_UNIT_MOVE});
    EXPECT_EQ(Probe(s)->parameters[0], 5);
  }
  // Facing the target (+y): yaw 90, and the box is centred on it, laid along +y.
  EXPECT_NEAR(unit->GetOrientation().x, 90.0f, 1e-3f);
  const SelectionBox& box = unit->GetUnitTargetBox();
  ASSERT_TRUE(box.IsValid());
  ExpectNear((box.GetPoint(0) + box.GetPoint(2)) * 0.5f, target);
  EXPECT_NEAR(std::fabs(box.GetPoint(1).y - box.GetPoint(0).y), 6.0f, 1e-4f);  // 4 rows, 2 apart

  // keepOrientation: the facing stays and the formation lies along it.
  unit->SetTarget(VisVector_cl(50, 50, 0), VIS_MSG_USER_UNIT_MOVE, 0, true);
  EXPECT_NEAR(unit->GetOrientation().x, 90.0f, 1e-3f);
  EXPECT_NEAR(std::fabs(box.GetPoint(1).y - box.GetPoint(0).y), 6.0f, 1e-4f);
}

TEST_F(UnitEntityTest, AttackOrdersOnUnitsAndSoldiersOfOtherNations) {
  UnitEntity* own = MakeUnit(4, 1, VisVector_cl(0, 0, 0));
  UnitEntity* enemy = MakeUnit(1, 1, VisVector_cl(30, 0, 0));
  UnitEntity* friendly = MakeUnit(2, 1, VisVector_cl(-30, 0, 0));
  own->SetNation(1);
  friendly->SetNation(1);
  enemy->SetNation(2);
  for (SoldierEntity* s : own->GetSoldiers()) Probe(s);
  auto sent = [&] {
    int n = 0;
    for (SoldierEntity* s : own->GetSoldiers()) n += (int)Probe(s)->ids.size();
    return n;
  };

  // Nothing for the own nation, null or an entity of no handled class.
  own->SetTarget(friendly);
  own->SetTarget(friendly->GetSoldierAtIndex(0));
  own->SetTarget(nullptr);
  own->SetTarget(Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(5, 5, 0)));
  EXPECT_EQ(sent(), 0);

  // An enemy unit of one soldier: every own soldier goes for that soldier.
  SoldierEntity* lone = enemy->GetSoldierAtIndex(0);
  own->SetTarget(enemy);
  for (SoldierEntity* s : own->GetSoldiers()) {
    ASSERT_EQ(Probe(s)->ids, std::vector<int>{VIS_MSG_USER_UNIT_ATTACK_ORDER});
    ExpectNear(Probe(s)->points[0], lone->GetPosition());
    EXPECT_EQ(Probe(s)->parameters[0], (INT_PTR)enemy);
  }

  // A clicked soldier with a single own soldier: only that one, at the clicked one.
  UnitEntity* single = MakeUnit(1, 1, VisVector_cl(0, 10, 0));
  single->SetNation(1);
  Probe(single->GetSoldierAtIndex(0));
  single->SetTarget(lone);
  EXPECT_EQ(Probe(single->GetSoldierAtIndex(0))->ids, std::vector<int>{VIS_MSG_USER_UNIT_ATTACK_ORDER});
  // A soldier without a unit is no target.
  enemy->RemoveSoldier(lone);
  single->SetTarget(lone);
  EXPECT_EQ(Probe(single->GetSoldierAtIndex(0))->ids.size(), 1u);
}

// ---- life of a unit ----------------------------------------------------------------------

TEST_F(UnitEntityTest, UnitStandsAtTheCentreOfItsSoldiers) {
  UnitEntity* unit = MakeUnit(3, 1);
  unit->GetSoldierAtIndex(0)->SetPosition(VisVector_cl(0, 0, 0));
  unit->GetSoldierAtIndex(1)->SetPosition(VisVector_cl(4, 2, 0));
  unit->GetSoldierAtIndex(2)->SetPosition(VisVector_cl(2, 6, 2));
  unit->ThinkFunction();
  ExpectNear(unit->GetPosition(), VisVector_cl(2, 3, 1));
  EXPECT_EQ(unit->GetCenterPosition(), unit->GetPosition());
}

TEST_F(UnitEntityTest, MarkedSoldiersLeaveAtTheNextThinkAndAnEmptyUnitRemovesItselfOnce) {
  UnitBusListener removed(GameManager::Callbacks.OnUnitRemoved);
  UnitEntity* unit = MakeUnit(2, 1);
  SoldierEntity* first = unit->GetSoldierAtIndex(0);
  SoldierEntity* second = unit->GetSoldierAtIndex(1);
  unit->MarkRemoved(first);
  EXPECT_EQ(unit->GetNumSoldiers(), 2);
  EXPECT_TRUE(unit->IsSoldierMarkedRemoved(first));
  unit->ThinkFunction();
  EXPECT_EQ(unit->GetNumSoldiers(), 1);
  EXPECT_EQ(unit->GetSoldierIndex(second), 0);
  EXPECT_TRUE(removed.units.empty());

  unit->MarkRemoved(second);
  for (int frame = 0; frame < 3; ++frame) {
    Vision::Game.RunThinkFunctions();
    Vision::Game.FreeRemovedEntities();
  }
  ASSERT_EQ(removed.units.size(), 1u);
  EXPECT_EQ(removed.units[0], unit);
}

TEST_F(UnitEntityTest, UnitThatLosesEverySoldierKeepsItsPlace) {
  UnitEntity* unit = MakeUnit(3, 3, VisVector_cl(30, -40, 0));
  unit->ThinkFunction();
  const VisVector_cl before = unit->GetPosition();
  ASSERT_NE(before, VisVector_cl(0, 0, 0));
  // Changing the soldier count in the editor rebuilds the unit, here with none.
  LogCapture log;
  unit->SetVariable("m_iNumSoldiers", "0");
  EXPECT_TRUE(log.Contains("UnitEntity property changed m_iNumSoldiers: 0"));
  EXPECT_EQ(unit->GetNumSoldiers(), 0);
  EXPECT_EQ(unit->GetPosition(), before);
}

TEST_F(UnitEntityTest, FreedSoldiersDoNotStayInTheUnit) {
  UnitEntity* unit = MakeUnit(2, 1);
  SoldierEntity* soldier = unit->GetSoldierAtIndex(0);
  soldier->Remove();
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(unit->GetNumSoldiers(), 1);
  EXPECT_EQ(unit->GetSoldierIndex(soldier), -1);
}

// Every way out of a unit clears the soldier's unit, but only while it names that unit.
TEST_F(UnitEntityTest, SoldiersForgetTheUnitTheyLeave) {
  struct Case {
    const char* name;
    void (*leave)(UnitEntity* unit, SoldierEntity* soldier);
  };
  const Case cases[] = {
      {"RemoveSoldier", [](UnitEntity* u, SoldierEntity* s) { u->RemoveSoldier(s); }},
      {"RemoveSoldier(index)", [](UnitEntity* u, SoldierEntity* s) { u->RemoveSoldier(u->GetSoldierIndex(s)); }},
      {"MarkRemoved", [](UnitEntity* u, SoldierEntity* s) { u->MarkRemoved(s); }},
      {"ClearSoldiers", [](UnitEntity* u, SoldierEntity*) { u->ClearSoldiers(false); }},
      {"unit deleted", [](UnitEntity* u, SoldierEntity*) { delete u; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UnitEntity* unit = MakeUnit(2, 1);
    SoldierEntity* soldier = unit->GetSoldierAtIndex(0);
    SoldierEntity* elsewhere = unit->GetSoldierAtIndex(1);
    // A soldier listed here that already names another unit keeps naming it.
    UnitEntity* other = MakeUnit(0, 1);
    elsewhere->SetParentUnit(other);
    c.leave(unit, soldier);
    EXPECT_EQ(soldier->GetParentUnit(), nullptr);
    EXPECT_EQ(elsewhere->GetParentUnit(), other);
    elsewhere->SetParentUnit(nullptr);
    Vision::Game.RemoveAllEntities();
  }
}

// A unit freed while a soldier it marked removed lives on: the soldier's next frames
// read nothing of the unit.
TEST_F(UnitEntityTest, MarkedSoldierOutlivesItsUnit) {
  UnitEntity* unit = MakeUnit(1, 1);
  SoldierEntity* soldier = unit->GetSoldierAtIndex(0);
  unit->MarkRemoved(soldier);
  unit->ThinkFunction();
  unit->Remove();
  Vision::Game.FreeRemovedEntities();
  ASSERT_FALSE(soldier->IsMarkedRemoved());
  EXPECT_EQ(soldier->GetParentUnit(), nullptr);
  for (int frame = 0; frame < 2; ++frame) {
    Vision::Game.RunThinkFunctions();
    Vision::Game.FreeRemovedEntities();
  }
  soldier->KillSoldier();
}

TEST_F(UnitEntityTest, AddingASoldierMovesItFromItsOldUnitOnce) {
  UnitEntity* from = MakeUnit(2, 1);
  UnitEntity* to = MakeUnit(1, 1);
  SoldierEntity* soldier = from->GetSoldierAtIndex(0);
  to->AddSoldier(soldier);
  EXPECT_EQ(soldier->GetParentUnit(), to);
  EXPECT_EQ(from->GetSoldierIndex(soldier), -1);
  EXPECT_EQ(from->GetNumSoldiers(), 1);
  EXPECT_EQ(to->GetSoldierIndex(soldier), 1);
  to->AddSoldier(soldier);
  EXPECT_EQ(to->GetNumSoldiers(), 2) << "a soldier already in the unit is not added twice";

  // Added back before its removal came due, a marked soldier stays.
  to->MarkRemoved(soldier);
  to->AddSoldier(soldier);
  to->ThinkFunction();
  EXPECT_EQ(to->GetSoldierIndex(soldier), 1);
  EXPECT_EQ(soldier->GetParentUnit(), to);
}

TEST_F(UnitEntityTest, NearestSoldierIsTheFirstOfEquallyNearOnesAndSkipsTheExcluded) {
  UnitEntity* unit = MakeUnit(3, 1);
  unit->GetSoldierAtIndex(0)->SetPosition(VisVector_cl(5, 0, 0));
  unit->GetSoldierAtIndex(1)->SetPosition(VisVector_cl(-5, 0, 0));
  unit->GetSoldierAtIndex(2)->SetPosition(VisVector_cl(20, 0, 0));
  EXPECT_EQ(unit->GetNearestSoldierTo(VisVector_cl(0, 0, 0)), unit->GetSoldierAtIndex(0));
  EXPECT_EQ(unit->GetNearestSoldierTo(VisVector_cl(0, 0, 0), {unit->GetSoldierAtIndex(0)}), unit->GetSoldierAtIndex(1));
  EXPECT_EQ(unit->GetNearestSoldierTo(VisVector_cl(0, 0, 0), unit->GetSoldiers()), nullptr);
}

// ---- saved blocks ----------------------------------------------------------------------

TEST_F(UnitEntityTest, UnitBlockRoundTripsWithItsSoldiersSlotsAndAssignment) {
  UnitEntity* unit = MakeUnit(3, 2, VisVector_cl(4, 5, 0));
  unit->SetUnitType(12);
  unit->SetPathName("patrol");
  unit->SetSoldierScriptFile("scripts/Soldier.lua");
  VisMatrix3x3_cl identity;
  identity.SetIdentity();
  unit->SetSoldierTargets(VisVector_cl(8, 8, 0), identity, VIS_MSG_USER_UNIT_MOVE, 0, false);
  unit->GenerateTargetBox(VisVector_cl(8, 8, 0), identity);

  UnitEntity* fresh = new UnitEntity();
  auto save = [](UnitEntity& u, VArchive& ar) { u.Serialize(ar); };
  // As the engine does after a load, the unit sets itself up with the soldiers it read.
  auto load = [](UnitEntity& u, VArchive& ar) {
    u.Serialize(ar);
    u.OnDeserializationCallback(nullptr);
  };
  EXPECT_TRUE(archive_test::RoundTrip(*unit, *fresh, save, load));
  EXPECT_EQ(fresh->GetUnitType(), 12);
  EXPECT_STREQ(fresh->GetPathName().AsChar(), "patrol");
  ASSERT_EQ(fresh->GetNumSoldiers(), 3);
  EXPECT_NE(fresh->GetSoldierAtIndex(0), unit->GetSoldierAtIndex(0));
  EXPECT_EQ(fresh->GetSoldierAtIndex(1)->GetParentUnit(), fresh);
  ExpectNear(fresh->GetSoldierAtIndex(1)->GetPosition(), unit->GetSoldierAtIndex(1)->GetPosition());
  EXPECT_EQ(fresh->GetFormationSize(), unit->GetFormationSize());
  ASSERT_EQ(fresh->GetSlotAssignment().size(), 3u);
  // The assignment names the same soldiers as the list does.
  for (SoldierEntity* s : fresh->GetSlotAssignment()) EXPECT_GE(fresh->GetSoldierIndex(s), 0);
  EXPECT_TRUE(fresh->GetUnitTargetBox().IsValid());
}

// The unit's block after the base entity's: the fields of version 2 (no unit type).
Bytes UnitBlockV2(UnitEntity& base, int soldierCount, const std::string& soldierScript, int toCreate = 5) {
  Bytes prefix = archive_test::SaveBytes([&](VArchive& ar) { base.BaseEntity::Serialize(ar); });
  ByteWriter w;
  w.Raw(std::string(prefix.begin(), prefix.end()));
  w.Str("ARCH").U8(2).F32(30.0f).I32(toCreate).I32(9).I32(2).I32(1).I32(1).I32(2);
  w.Str(soldierScript).Str("path");
  w.Str("ARCH").U8(2);
  for (int i = 0; i < 4; ++i) w.F32(0).F32(0).F32(0).F32(1);
  w.I32(0).Str("EOA");
  w.I32(soldierCount);
  w.U32(1).F32(0).F32(0).F32(0).F32(1);
  w.I32(0);
  w.Str("scripts/Unit.lua").Str("EOA");
  return w.Get();
}

TEST_F(UnitEntityTest, VersionTwoBlockKeepsTheUnitType) {
  UnitEntity* source = MakeUnit(0, 1);
  const Bytes bytes = UnitBlockV2(*source, 0, "scripts/Soldier.lua");
  UnitEntity* unit = MakeUnit(0, 1);
  unit->SetUnitType(17);
  EXPECT_TRUE(archive_test::LoadBytes(bytes, [&](VArchive& ar) { unit->Serialize(ar); }));
  EXPECT_EQ(unit->GetUnitType(), 17);
  EXPECT_FLOAT_EQ(unit->GetBillboardDistance(), 30.0f);
  EXPECT_EQ(unit->GetMaxNumSoldiers(), 9);
  EXPECT_STREQ(unit->GetUnitScriptFile().AsChar(), "scripts/Unit.lua");
  EXPECT_EQ(unit->GetFormationSize(), 1);
}

TEST_F(UnitEntityTest, HostileCountsAndStringsFailTheBlockCleanly) {
  UnitEntity* source = MakeUnit(0, 1);
  const int tooMany = UnitEntity::MAX_SOLDIERS_TO_CREATE + 1;
  const struct {
    int count;
    std::string script;
    int toCreate;
  } cases[] = {{0x7fffffff, "scripts/Soldier.lua", 5},
               {-3, "scripts/Soldier.lua", 5},
               {0, std::string(261, 'x'), 5},
               {0, "scripts/Soldier.lua", tooMany},
               {0, "scripts/Soldier.lua", 0x7fffffff}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.toCreate);
    UnitEntity* unit = MakeUnit(0, 1);
    unit->SetUnitType(4);
    const int entities = Vision::Game.GetEntityCount();
    archive_test::ReadArchive ar(UnitBlockV2(*source, c.count, c.script, c.toCreate));
    unit->Serialize(*ar);
    EXPECT_FALSE(ar->IsOK());
    ASSERT_EQ(unit->GetNumSoldiersToCreate(), 0);
    // The set-up after a load makes only what the unit held before.
    unit->OnDeserializationCallback(nullptr);
    EXPECT_EQ(unit->GetNumSoldiers(), 0);
    EXPECT_EQ(unit->GetMaxNumSoldiers(), 0);
    EXPECT_STREQ(unit->GetSoldierScriptFile().AsChar(), "");
    EXPECT_EQ(Vision::Game.GetEntityCount(), entities);
  }
  UnitEntity* full = MakeUnit(0, 1);
  const Bytes most = UnitBlockV2(*source, 0, "", UnitEntity::MAX_SOLDIERS_TO_CREATE);
  EXPECT_TRUE(archive_test::LoadBytes(most, [&](VArchive& ar) { full->Serialize(ar); }));
  EXPECT_EQ(full->GetNumSoldiersToCreate(), UnitEntity::MAX_SOLDIERS_TO_CREATE);
}

// A template block of the given version (2 to 4) asking for that many soldiers.
Bytes TemplateBlock(int version, int soldiers) {
  ByteWriter w;
  w.Str("ARCH").U8((uint8_t)version).U8(1).F32(5).F32(6).F32(7).F32(1);
  w.Str("UnitEntity").Str("").Str("Old").Str("");
  w.F32(0).F32(0).F32(0).F32(1).F32(0).F32(0).F32(0).F32(1);
  w.F32(100).I32(soldiers).I32(0).I32(2).I32(1);
  w.Str("scripts/Soldier.lua").I32(0).I32(0);
  w.Str("").Str("").Str("UnitFaces_01");
  w.I64(77);
  w.Str("name").Str("");
  if (version >= 3) w.I32(9);
  if (version >= 4) w.Str("Skill");
  w.Str("EOA");
  return w.Get();
}

TEST_F(UnitEntityTest, TemplateBlockRoundTripsAndReadsOlderVersions) {
  UnitEntityTemplate original;
  original.m_vPosition = VisVector_cl(1, 2, 3);
  original.m_vOrientation = VisVector_cl(90, 0, 0);
  original.m_sKey = "Raiders";
  original.m_iNation = 3;
  original.m_iNumSoldiers = 7;
  original.m_iMaxNumSoldiers = 10;
  original.m_iUnitWidth = 3;
  original.m_sSoldierScriptFile = "scripts/Soldier.lua";
  original.m_sUnitScript = "scripts/Unit.lua";
  original.m_sUnitName = "str_UNIT_PIRATE_BASIC";
  original.m_sSkillImage = "Skill01";
  original.m_iUnitType = 15;
  original.m_iUniqueID = 4242;
  UnitEntityTemplate fresh;
  auto io = [](UnitEntityTemplate& t, VArchive& ar) { t.SerializeX(ar); };
  EXPECT_TRUE(archive_test::RoundTrip(original, fresh, io, io));
  EXPECT_TRUE(fresh == original);
  EXPECT_EQ(fresh.m_iUnitType, 15);
  EXPECT_STREQ(fresh.m_sSkillImage.AsChar(), "Skill01");
  EXPECT_GT(GameManager::GetInstance()->GetNextUniqueID(), 4242);

  // Version 3 has no skill image, version 2 no unit type either.
  for (int version : {2, 3}) {
    UnitEntityTemplate old;
    old.m_iUnitType = 5;
    old.m_sSkillImage = "Kept";
    EXPECT_TRUE(archive_test::LoadBytes(TemplateBlock(version, 4), [&](VArchive& ar) { old.SerializeX(ar); }));
    EXPECT_EQ(old.m_iUnitType, version >= 3 ? 9 : 5);
    EXPECT_STREQ(old.m_sSkillImage.AsChar(), "Kept");
    EXPECT_STREQ(old.m_sKey.AsChar(), "Old");
    EXPECT_EQ(old.m_iNumSoldiers, 4);
    EXPECT_EQ(old.m_iUniqueID, 77);
  }
}

// A unit made from the template would make every soldier the template asks for.
TEST_F(UnitEntityTest, TemplateAskingForMoreSoldiersThanAUnitHoldsFailsItsBlock) {
  for (int soldiers : {UnitEntity::MAX_SOLDIERS_TO_CREATE + 1, 0x7fffffff}) {
    UnitEntityTemplate templ;
    templ.m_iNumSoldiers = 3;
    templ.m_sKey = "Kept";
    archive_test::ReadArchive ar(TemplateBlock(4, soldiers));
    EXPECT_FALSE(templ.SerializeX(*ar));
    EXPECT_FALSE(ar->IsOK());
    EXPECT_EQ(templ.m_iNumSoldiers, 3);
    EXPECT_STREQ(templ.m_sKey.AsChar(), "Kept");
  }
  UnitEntityTemplate most;
  EXPECT_TRUE(archive_test::LoadBytes(TemplateBlock(4, UnitEntity::MAX_SOLDIERS_TO_CREATE),
                                      [&](VArchive& ar) { EXPECT_TRUE(most.SerializeX(ar)); }));
  EXPECT_EQ(most.m_iNumSoldiers, UnitEntity::MAX_SOLDIERS_TO_CREATE);
}

TEST_F(UnitEntityTest, UnitMadeFromATemplateTakesItsIdCountsAndScripts) {
  UnitEntityTemplate templ;
  templ.m_vPosition = VisVector_cl(3, 4, 0);
  templ.m_iNation = 2;
  templ.m_iNumSoldiers = 4;
  templ.m_iUnitWidth = 2;
  templ.m_iUnitType = 16;
  templ.m_sUnitName = "str_UNIT_BRINEMARK_BASIC";
  UnitBusListener created(GameManager::Callbacks.OnUnitCreated);
  UnitEntity* unit = GameManager::GetInstance()->CreateUnit(templ);
  ASSERT_NE(unit, nullptr);
  EXPECT_TRUE(unit->GetCastShadows());
  EXPECT_NE(templ.m_iUniqueID, 0);
  EXPECT_EQ(unit->GetUniqueID(), templ.m_iUniqueID);
  EXPECT_EQ(unit->GetNation(), 2);
  EXPECT_EQ(unit->GetNumSoldiers(), 4);
  EXPECT_EQ(unit->GetFormationRowCount(), 2);
  EXPECT_EQ(unit->GetUnitType(), 16);
  EXPECT_STREQ(unit->GetUnitTypeName().AsChar(), "str_UNIT_BRINEMARK_BASIC");
  ASSERT_EQ(created.units.size(), 1u);
  EXPECT_EQ(created.units[0], unit);
  for (SoldierEntity* soldier : unit->GetSoldiers()) EXPECT_EQ(soldier->GetNation(), 2);

  UnitEntityTemplate back;
  unit->SaveToTemplate(&back);
  EXPECT_EQ(back.m_iUniqueID, unit->GetUniqueID());
  EXPECT_EQ(back.m_iNumSoldiers, 4);
  EXPECT_EQ(back.m_iUnitType, 16);
  EXPECT_EQ(back.m_iNation, 2);
}

// Every field a unit shares with its stored form survives SaveToTemplate and the
// unit made again from the template.
TEST_F(UnitEntityTest, UnitAndTemplateRoundTripEveryField) {
  UnitEntityTemplate first;
  first.m_vPosition = VisVector_cl(30, 40, 0);
  first.m_vOrientation = VisVector_cl(90, 0, 0);
  first.m_sKey = "Squad";
  first.m_fBillboardDistance = 61.5f;
  first.m_iNation = 3;
  first.m_iNumSoldiers = 4;
  first.m_iMaxNumSoldiers = 9;
  first.m_iUnitWidth = 2;
  first.m_sUnitScript = "scripts/NoSuchUnit.lua";
  first.m_sSoldierScriptFile = "scripts/NoSuchSoldier.lua";
  first.m_sUnitName = "str_UNIT_A";
  first.m_sSecondName = "str_SECOND";
  first.m_sUnitImage = "Face";
  first.m_sSkillImage = "Skill";
  first.m_sImageSet = "Faces_02";
  first.m_iUnitType = 7;
  first.m_iUniqueID = 4242;

  UnitEntity* unit = GameManager::GetInstance()->CreateUnit(first);
  ASSERT_NE(unit, nullptr);
  EXPECT_EQ(unit->GetUnitWidth(), 2);
  EXPECT_EQ(unit->GetFormationRowCount(), 2);
  UnitEntityTemplate second;
  unit->SaveToTemplate(&second);
  UnitEntity* again = GameManager::GetInstance()->CreateUnit(second);
  ASSERT_NE(again, nullptr);
  UnitEntityTemplate third;
  again->SaveToTemplate(&third);

  for (const UnitEntityTemplate* t : {&second, &third}) {
    SCOPED_TRACE(t == &second ? "first unit" : "unit made again");
    EXPECT_EQ(t->m_fBillboardDistance, first.m_fBillboardDistance);
    EXPECT_EQ(t->m_iNation, first.m_iNation);
    EXPECT_EQ(t->m_iNumSoldiers, first.m_iNumSoldiers);
    EXPECT_EQ(t->m_iMaxNumSoldiers, first.m_iMaxNumSoldiers);
    EXPECT_EQ(t->m_iUnitWidth, first.m_iUnitWidth);
    EXPECT_STREQ(t->m_sUnitScript.AsChar(), first.m_sUnitScript.AsChar());
    EXPECT_STREQ(t->m_sSoldierScriptFile.AsChar(), first.m_sSoldierScriptFile.AsChar());
    EXPECT_STREQ(t->m_sUnitName.AsChar(), first.m_sUnitName.AsChar());
    EXPECT_STREQ(t->m_sSecondName.AsChar(), first.m_sSecondName.AsChar());
    EXPECT_STREQ(t->m_sUnitImage.AsChar(), first.m_sUnitImage.AsChar());
    EXPECT_STREQ(t->m_sSkillImage.AsChar(), first.m_sSkillImage.AsChar());
    EXPECT_STREQ(t->m_sImageSet.AsChar(), first.m_sImageSet.AsChar());
    EXPECT_EQ(t->m_iUnitType, first.m_iUnitType);
    EXPECT_EQ(t->m_iUniqueID, first.m_iUniqueID);
    EXPECT_STREQ(t->m_sKey.AsChar(), first.m_sKey.AsChar());
    EXPECT_STREQ(t->m_sClassName.AsChar(), "UnitEntity");
    // The unit stands at the centre of its soldiers, one above the ground.
    ExpectNear(t->m_vPosition, VisVector_cl(30, 40, 1));
    ExpectNear(t->m_vOrientation, first.m_vOrientation);
    EXPECT_EQ(t->m_iReserved1, 0);
    EXPECT_EQ(t->m_iReserved2, 0);
  }
  EXPECT_STREQ(third.m_sEntityParams.AsChar(), second.m_sEntityParams.AsChar());
  EXPECT_STREQ(again->GetUnitName().AsChar(), "str_UNIT_A");

  // The stored form, every variable of the unit in its parameters (longer than the
  // other texts of the block may be), reads back through its block.
  ASSERT_GT(strlen(second.m_sEntityParams.AsChar()), 259u);
  UnitEntityTemplate read;
  auto io = [](UnitEntityTemplate& t, VArchive& ar) { t.SerializeX(ar); };
  EXPECT_TRUE(archive_test::RoundTrip(second, read, io, io));
  EXPECT_STREQ(read.m_sEntityParams.AsChar(), second.m_sEntityParams.AsChar());
}

}  // namespace
