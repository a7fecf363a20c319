// The sea battle's ship queries, the removal of ships and the messages the ships
// pass on to it.
#include "SeaBattleFixture.h"

#include "components/AIShipComponent.h"
#include "core/ComponentMessages.h"

namespace {

class BattleManagerShipsTest : public SeaBattleFixture {
 protected:
  static std::vector<ShipEntity*> List(const DynArray_cl<ShipEntity*>& ships) {
    std::vector<ShipEntity*> out;
    for (unsigned i = 0; i < ships.GetValidSize(); ++i)
      if (ships.Get(i)) out.push_back(ships.Get(i));
    return out;
  }
};

TEST_F(BattleManagerShipsTest, EnemiesAreTheShipsOfNationsAtWarWithinRangeAndSector) {
  BattleManager* battle = BattleManager::GetInstance();
  ShipEntity* own = MakeShip("Own", 1, VisVector_cl(0, 0, 0));
  ShipEntity* ahead = MakeShip("Ahead", 2, VisVector_cl(90, 10, 0));
  ShipEntity* aside = MakeShip("Aside", 2, VisVector_cl(0, 100, 0));
  ShipEntity* farAhead = MakeShip("FarAhead", 2, VisVector_cl(600, 0, 0));
  ShipEntity* neutral = MakeShip("Neutral", 0, VisVector_cl(50, 0, 0));

  DynArray_cl<ShipEntity*> enemies(0, nullptr), friends(0, nullptr);
  battle->GetEnemyShips(enemies, 1);
  battle->GetFriendlyShips(friends, 1);
  EXPECT_EQ(List(enemies), (std::vector<ShipEntity*>{ahead, aside, farAhead}));
  EXPECT_EQ(List(friends), (std::vector<ShipEntity*>{neutral, own}));

  // Within 100 of the origin, inclusive; ahead within 25 degrees of +x.
  DynArray_cl<ShipEntity*> near(0, nullptr), cone(0, nullptr);
  battle->GetEnemyShipsWithinRange(VisVector_cl(0, 0, 0), 100.0f, &near, 1);
  EXPECT_EQ(List(near), (std::vector<ShipEntity*>{ahead, aside}));
  battle->GetEnemyShipsInsideSector(VisVector_cl(0, 0, 0), VisVector_cl(1, 0, 0), 500.0f, 25.0f, &cone, 1);
  EXPECT_EQ(List(cone), (std::vector<ShipEntity*>{ahead}));
  battle->GetEnemyShipsInsideSector(VisVector_cl(0, 0, 0), VisVector_cl(1, 0, 0), 500.0f, 25.0f, nullptr, 1);

  // The closest, never a sinking one; nation -1 means any.
  DynArray_cl<ShipEntity*> all(0, nullptr);
  battle->GetEnemyShips(all, 1);
  EXPECT_EQ(battle->GetClosestShipFromArray(VisVector_cl(0, 0, 0), &all, -1), ahead);
  BattleOf(ahead)->StartSinking(1.0f, false);
  EXPECT_EQ(battle->GetClosestShipFromArray(VisVector_cl(0, 0, 0), &all, -1), aside);
  EXPECT_EQ(battle->GetClosestShipFromArray(VisVector_cl(0, 0, 0), &all, 1), nullptr);
  EXPECT_EQ(battle->GetClosestShipFromArray(VisVector_cl(0, 0, 0), nullptr, -1), nullptr);
  DynArray_cl<ShipEntity*> notSinking(0, nullptr);
  battle->GetEnemyShipsWithinRange(VisVector_cl(0, 0, 0), 1000.0f, &notSinking, 1);
  EXPECT_EQ(List(notSinking), (std::vector<ShipEntity*>{aside, farAhead}));
  // Any ship strictly nearer: the neutral one lies 20 away, the others farther.
  EXPECT_EQ(battle->ShipsWithinRange(VisVector_cl(50, 20, 0), 20.0f), 0);
  EXPECT_EQ(battle->ShipsWithinRange(VisVector_cl(50, 20, 0), 20.5f), 1);
}

TEST_F(BattleManagerShipsTest, RemovingTheLastAttackerEndsTheBattleAndDeadShipsLeaveIt) {
  BattleManager* battle = BattleManager::GetInstance();
  MakeShip("Player", 1, VisVector_cl(0, 0, 0), 0.0f, 100, true);
  ShipEntity* attacker = MakeShip("Attacker", 2, VisVector_cl(0, 50, 0));
  ShipEntity* fleeing = MakeShip("Fleeing", 2, VisVector_cl(0, 90, 0));
  auto* attack = new AIShipComponent();
  attacker->AddComponent(attack);
  attack->SetAIMode(AIShipComponent::AIMODE_ATTACK);
  auto* flee = new AIShipComponent();
  fleeing->AddComponent(flee);
  flee->SetAIMode(AIShipComponent::AIMODE_FLEE);
  battle->StartBattle();

  battle->RemoveShip(fleeing);
  EXPECT_TRUE(battle->IsBattleActive());
  EXPECT_EQ(GameManager::GetInstance()->GetNation(2)->GetShips().Get(1), nullptr);
  // The dead ship passes 17 on with itself as sender; the battle ends with it.
  attacker->SendMsg(VIS_MSG_USER_SHIP_DIES, reinterpret_cast<INT_PTR>(attacker), 0);
  EXPECT_FALSE(battle->IsBattleActive());
  EXPECT_EQ(GameManager::GetInstance()->GetNation(2)->GetShips().Get(0), nullptr);
}

}  // namespace
