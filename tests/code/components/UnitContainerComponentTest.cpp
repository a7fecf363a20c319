// The unit container of a trigger area, and the escape-area link through which
// soldiers report walking in and out of it.
#include "code/entities/SoldierFixture.h"

#include "components/UnitContainerComponent.h"
#include "core/CallbackManager.h"
#include "core/GameManager.h"
#include "entities/HeroUnitRecord.h"
#include "entities/PlayerStats.h"
#include "entities/UnitEntity.h"
#include "entities/UnitEntityTemplate.h"

#include "engine/core/TriggerBoxEntity.h"
#include "engine/core/VisTriggerSourceComponent.h"
#include "engine/core/VisTriggerTargetComponent.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class UnitContainerTest : public SoldierFixture {
 protected:
  void TearDown() override {
    for (VisBaseEntity_cl* e : std::vector<VisBaseEntity_cl*>(TriggerBoxEntity_cl::GetObservedEntities()))
      TriggerBoxEntity_cl::RemoveObservedEntity(e);
    SoldierFixture::TearDown();
  }
  UnitEntity* MakeUnit(int soldiers, const VisVector_cl& at) {
    auto* unit = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", at));
    for (int i = 0; i < soldiers; ++i) unit->AddSoldier(nullptr);
    return unit;
  }
  static void Frame() {
    Vision::Timer.Update();
    Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
    Vision::Game.RunThinkFunctions();
    Vision::Game.FreeRemovedEntities();
  }
  static void UnitRemoved(UnitEntity* unit) {
    BaseEntityDataObject data(&GameManager::Callbacks.OnUnitRemoved, unit);
    GameManager::Callbacks.OnUnitRemoved.TriggerCallbacks(&data);
  }
};

TEST_F(UnitContainerTest, CountsSoldiersPerUnitAndForgetsARemovedUnitWithAllItsSoldiers) {
  VisBaseEntity_cl* area = Vision::Game.CreateEntity("TriggerBoxEntity_cl", VisVector_cl(0, 0, 0));
  auto* container = new UnitContainerComponent();
  ASSERT_TRUE(area->AddComponent(container));
  UnitEntity* a = MakeUnit(3, VisVector_cl(50, 0, 0));
  UnitEntity* b = MakeUnit(1, VisVector_cl(60, 0, 0));
  SoldierEntity* a0 = a->GetSoldierAtIndex(0);
  SoldierEntity* a1 = a->GetSoldierAtIndex(1);
  SoldierEntity* a2 = a->GetSoldierAtIndex(2);
  SoldierEntity* b0 = b->GetSoldierAtIndex(0);

  EXPECT_TRUE(container->AddSoldier(a0));
  EXPECT_FALSE(container->AddSoldier(a0)) << "twice";
  EXPECT_TRUE(container->AddSoldier(a1));
  EXPECT_TRUE(container->AddSoldier(b0));
  EXPECT_EQ(container->GetUnitCount(a), 2);
  EXPECT_EQ(container->GetUnitsInside().size(), 2u);

  // All of b's soldiers left: b stays listed with 0 but is not inside.
  EXPECT_TRUE(container->RemoveSoldier(b0));
  EXPECT_FALSE(container->RemoveSoldier(b0));
  EXPECT_EQ(container->GetUnitCount(b), 0);
  EXPECT_EQ(container->GetUnitsInside(), std::vector<UnitEntity*>{a});

  // A removed unit takes every one of its soldiers out, not only the first.
  EXPECT_TRUE(container->AddSoldier(a2));
  UnitRemoved(a);
  EXPECT_EQ(container->GetUnitCount(a), -1);
  EXPECT_FALSE(container->IsSoldierInside(a0));
  EXPECT_FALSE(container->IsSoldierInside(a1));
  EXPECT_FALSE(container->IsSoldierInside(a2));
  EXPECT_TRUE(container->GetUnitsInside().empty());

  // A soldier whose unit has no entry leaves without changing a count.
  SoldierEntity* loner = MakeSoldier(VisVector_cl(0, 0, 0));
  EXPECT_TRUE(container->AddSoldier(b0));
  EXPECT_TRUE(container->AddSoldier(loner));
  EXPECT_EQ(container->GetUnitsInside(), std::vector<UnitEntity*>{b});
  EXPECT_TRUE(container->RemoveSoldier(loner));
  EXPECT_EQ(container->GetUnitCount(b), 1);
  EXPECT_EQ(container->GetUnitCount(nullptr), -1);

  // Without an owner it forgets everything.
  area->RemoveComponent(container);
  EXPECT_EQ(container->GetSoldierCount(), 0);
  delete container;
}

TEST_F(UnitContainerTest, SoldiersWalkingThroughTheEscapeAreaAreCountedPerUnit) {
  auto* area = static_cast<TriggerBoxEntity_cl*>(Vision::Game.CreateEntity("TriggerBoxEntity_cl", VisVector_cl(0, 0, 0)));
  area->SetEntityKey("EscapeArea");
  area->SetBox(VisVector_cl(5, 5, 5));
  auto* container = new UnitContainerComponent();
  ASSERT_TRUE(area->AddComponent(container));
  UnitEntity* a = MakeUnit(2, VisVector_cl(30, 0, 0));
  UnitEntity* b = MakeUnit(2, VisVector_cl(40, 0, 0));
  for (UnitEntity* unit : {a, b})
    for (SoldierEntity* soldier : unit->GetSoldiers()) {
      EXPECT_TRUE(soldier->IsObservedByTriggers());
      EXPECT_NE(soldier->GetComponentByName("OnObjectEnter"), nullptr);
      soldier->SetPosition(VisVector_cl(30, 0, 0));
    }
  auto* enter = dynamic_cast<VisTriggerSourceComponent_cl*>(area->GetComponentByName("OnObjectEnter"));
  ASSERT_NE(enter, nullptr);
  EXPECT_EQ(enter->GetTargets().size(), 4u) << "one source for all soldiers";

  Frame();
  EXPECT_TRUE(container->GetUnitsInside().empty());
  a->GetSoldierAtIndex(0)->SetPosition(VisVector_cl(1, 1, 0));
  a->GetSoldierAtIndex(1)->SetPosition(VisVector_cl(-1, 2, 0));
  b->GetSoldierAtIndex(0)->SetPosition(VisVector_cl(4, 4, 0));
  Frame();
  EXPECT_EQ(container->GetUnitCount(a), 2);
  EXPECT_EQ(container->GetUnitCount(b), 1);
  EXPECT_EQ(container->GetUnitsInside().size(), 2u);

  b->GetSoldierAtIndex(0)->SetPosition(VisVector_cl(20, 0, 0));
  Frame();
  EXPECT_EQ(container->GetUnitCount(b), 0);

  // A soldier leaving the world leaves the area and its links.
  SoldierEntity* gone = a->GetSoldierAtIndex(1);
  gone->Delete();
  gone->Remove();
  Frame();
  EXPECT_EQ(container->GetUnitCount(a), 1);
  EXPECT_EQ(enter->GetTargets().size(), 3u);
}

TEST_F(UnitContainerTest, HeroesUnitsInTheEscapeAreaLeaveTheTownWithTheirHero) {
  VisBaseEntity_cl* area = Vision::Game.CreateEntity("TriggerBoxEntity_cl", VisVector_cl(0, 0, 0));
  area->SetEntityKey("EscapeArea");
  auto* container = new UnitContainerComponent();
  ASSERT_TRUE(area->AddComponent(container));
  GameSessionManager* session = GameSessionManager::GetInstance();
  PlayerStats* player = session->GetPlayer();
  ASSERT_NE(player, nullptr);
  UnitEntity* escaped = MakeUnit(1, VisVector_cl(3, 4, 0));
  UnitEntity* behind = MakeUnit(1, VisVector_cl(90, 0, 0));
  for (UnitEntity* unit : {escaped, behind}) session->AddUnitToHero(player, unit);
  ASSERT_EQ(player->GetUnitRecordCount(), 2);
  for (int i = 0; i < 2; ++i) player->GetUnitRecord(i)->m_sTownName = "town_saltmarsh";
  UnitEntity* own = MakeUnit(1, VisVector_cl(1, 1, 0));
  own->SetIsHero(true);
  own->SetHeroStats(player);
  container->AddSoldier(escaped->GetSoldierAtIndex(0));
  container->AddSoldier(own->GetSoldierAtIndex(0));

  ASSERT_EQ(player->GetUnitRecord(0)->m_pTemplate->m_iUniqueID, escaped->GetUniqueID());
  session->StoreEscapedUnits();
  HeroUnitRecord* first = player->GetUnitRecord(0);
  EXPECT_TRUE(first->m_sTownName.IsEmpty());
  EXPECT_TRUE(first->m_pTemplate->m_vPosition.IsEqual(escaped->GetPosition(), 1e-5f));
  EXPECT_EQ(player->GetUnitRecord(1)->m_sTownName, "town_saltmarsh") << "still waiting in the town";
}

}  // namespace
