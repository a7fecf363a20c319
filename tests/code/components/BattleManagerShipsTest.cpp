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

// An AI of the mode on the ship, attacking the nation when it attacks.
AIShipComponent* GiveAI(ShipEntity* ship, int mode, int targetNation = -1, ShipEntity* target = nullptr) {
  auto* ai = new AIShipComponent();
  ship->AddComponent(ai);
  ai->SetAIMode(mode);
  ai->SetAttackTargetNation(targetNation);
  ai->SetTargetShip(target);
  return ai;
}

TEST_F(BattleManagerShipsTest, HostileShipsAreOtherNationsAttackingThisOne) {
  BattleManager* battle = BattleManager::GetInstance();
  ShipEntity* player = MakeShip("Player", 1, VisVector_cl(0, 0, 0), 0.0f, 100, true);
  ShipEntity* attacker = MakeShip("Attacker", 2, VisVector_cl(0, 50, 0));
  GiveAI(attacker, AIShipComponent::AIMODE_ATTACK, 1);
  ShipEntity* chaser = MakeShip("Chaser", 2, VisVector_cl(0, 80, 0));
  GiveAI(chaser, AIShipComponent::AIMODE_ATTACK, -1, player);
  ShipEntity* sailing = MakeShip("Sailing", 2, VisVector_cl(0, 30, 0));
  GiveAI(sailing, AIShipComponent::AIMODE_SAILING);
  MakeShip("Drifting", 2, VisVector_cl(0, 20, 0));
  // A ship of the nation itself never counts as hostile to it.
  GiveAI(MakeShip("Own", 1, VisVector_cl(0, 5, 0)), AIShipComponent::AIMODE_ATTACK, 1);

  DynArray_cl<ShipEntity*> hostile(0, nullptr);
  battle->GetHostileShips(hostile, 1);
  EXPECT_EQ(List(hostile), (std::vector<ShipEntity*>{attacker, chaser}));
  EXPECT_EQ(battle->GetClosestHostileShip(VisVector_cl(0, 0, 0), 1), attacker);
  DynArray_cl<ShipEntity*> none(0, nullptr);
  battle->GetHostileShips(none, 2);
  EXPECT_TRUE(List(none).empty());

  // An enemy counts when an AI sails it (any mode, or attacking for the hostile
  // variant) or the player does; a ship without either does not.
  EXPECT_FALSE(battle->AnyEnemiesInRange(VisVector_cl(0, 0, 0), 25.0f, 1));
  EXPECT_TRUE(battle->AnyEnemiesInRange(VisVector_cl(0, 0, 0), 35.0f, 1));
  EXPECT_FALSE(battle->AnyHostileEnemiesInRange(VisVector_cl(0, 0, 0), 35.0f, 1));
  EXPECT_TRUE(battle->AnyHostileEnemiesInRange(VisVector_cl(0, 0, 0), 50.0f, 1));
  // To nation 2 the player's own ship is the enemy that counts.
  EXPECT_TRUE(battle->AnyHostileEnemiesInRange(VisVector_cl(0, -2, 0), 3.0f, 2));
  EXPECT_FALSE(battle->AnyHostileEnemiesInRange(VisVector_cl(0, 8, 0), 2.0f, 2));
}

TEST_F(BattleManagerShipsTest, ClosestShipsCentresAndIndicesSkipSinkingShips) {
  BattleManager* battle = BattleManager::GetInstance();
  ShipEntity* own = MakeShip("Own", 1, VisVector_cl(0, -50, 0));
  ShipEntity* neutral = MakeShip("Neutral", 0, VisVector_cl(10, 0, 0));
  ShipEntity* enemy = MakeShip("Enemy", 2, VisVector_cl(30, 0, 0));
  ShipEntity* far = MakeShip("Far", 2, VisVector_cl(60, 0, 0));

  EXPECT_EQ(battle->GetClosestFriendlyShip(VisVector_cl(25, 0, 0), 1), neutral);
  EXPECT_EQ(battle->GetClosestEnemyShip(VisVector_cl(0, 0, 0), 1), enemy);
  EXPECT_EQ(battle->GetClosestShip(VisVector_cl(55, 0, 0), -1), far);
  EXPECT_EQ(battle->GetClosestShip(VisVector_cl(55, 0, 0), 0), neutral);
  EXPECT_EQ(battle->GetClosestShip(VisVector_cl(0, -40, 0), 1), own);

  EXPECT_EQ(battle->GetIndexInGroup(own), 0);
  EXPECT_EQ(battle->GetIndexInGroup(far), 1);
  EXPECT_EQ(battle->GetIndexInGroup(nullptr), -1);
  ShipEntity* loose = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", VisVector_cl(0, 0, 0)));
  EXPECT_EQ(battle->GetIndexInGroup(loose), -1);

  const VisVector_cl enemyCentre = battle->CalculateEnemyCenter(1);
  EXPECT_FLOAT_EQ(enemyCentre.x, 45.0f);
  EXPECT_FLOAT_EQ(enemyCentre.w, 1.0f);
  EXPECT_FLOAT_EQ(battle->CalculateFriendlyCenter(1).y, -25.0f);
  DynArray_cl<ShipEntity*> empty(0, nullptr);
  for (const VisVector_cl& centre : {battle->CalculateCenter(&empty), battle->CalculateCenter(nullptr)}) {
    EXPECT_EQ(centre.x, 0.0f);
    EXPECT_EQ(centre.y, 0.0f);
    EXPECT_EQ(centre.z, 0.0f);
    EXPECT_EQ(centre.w, 1.0f);
  }

  // Every ship ahead within range, friends of nation 0 (all of them) first.
  DynArray_cl<ShipEntity*> ahead(0, nullptr);
  battle->GetShipsInsideSector(VisVector_cl(0, 0, 0), VisVector_cl(1, 0, 0), 100.0f, 10.0f, &ahead);
  EXPECT_EQ(List(ahead), (std::vector<ShipEntity*>{neutral, enemy, far}));
  battle->GetShipsInsideSector(VisVector_cl(0, 0, 0), VisVector_cl(1, 0, 0), 100.0f, 10.0f, nullptr);

  BattleOf(far)->StartSinking(1.0f, false);
  EXPECT_EQ(battle->GetClosestShip(VisVector_cl(55, 0, 0), -1), enemy);
  EXPECT_EQ(battle->GetClosestShip(VisVector_cl(55, 0, 0), 2), enemy);
  BattleOf(enemy)->StartSinking(1.0f, false);
  EXPECT_EQ(battle->GetClosestEnemyShip(VisVector_cl(0, 0, 0), 1), nullptr);
}

TEST_F(BattleManagerShipsTest, MinesAreFoundByTheirKeyWithinRange) {
  auto make = [](const char* key, float x) {
    VisBaseEntity_cl* entity = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(x, 0, 0));
    entity->SetEntityKey(key);
    return entity;
  };
  VisBaseEntity_cl* near = make("Mine", 5.0f);
  VisBaseEntity_cl* edge = make("Mine", 10.0f);
  make("Mine", 50.0f);
  make("Debris", 1.0f);
  make("Mine", 2.0f)->Remove();
  DynArray_cl<VisBaseEntity_cl*> mines(0, nullptr);
  BattleManager::GetInstance()->GetMinesWithinRange(VisVector_cl(0, 0, 0), 10.0f, &mines);
  std::vector<VisBaseEntity_cl*> found;
  for (unsigned i = 0; i < mines.GetValidSize(); ++i) found.push_back(mines.Get(i));
  EXPECT_EQ(found, (std::vector<VisBaseEntity_cl*>{near, edge}));
  BattleManager::GetInstance()->GetMinesWithinRange(VisVector_cl(0, 0, 0), 10.0f, nullptr);
}

TEST_F(BattleManagerShipsTest, StopAttackingPlayerCallsOffOnlyTheShipsAfterThePlayer) {
  ShipEntity* player = MakeShip("Player", 1, VisVector_cl(0, 0, 0), 0.0f, 100, true);
  ShipEntity* other = MakeShip("Other", 0, VisVector_cl(0, 200, 0));
  AIShipComponent* hunter = GiveAI(MakeShip("Hunter", 2, VisVector_cl(0, 50, 0)), AIShipComponent::AIMODE_ATTACK, 1, player);
  AIShipComponent* busy = GiveAI(MakeShip("Busy", 2, VisVector_cl(0, 150, 0)), AIShipComponent::AIMODE_ATTACK, 0, other);
  BattleManager::GetInstance()->StopAttackingPlayer();
  EXPECT_EQ(hunter->GetTargetShip(), nullptr);
  EXPECT_EQ(hunter->GetAIMode(), AIShipComponent::AIMODE_IDLE);
  EXPECT_EQ(hunter->GetAttackTargetNation(), -1);
  EXPECT_EQ(busy->GetTargetShip(), other);
  EXPECT_EQ(busy->GetAIMode(), AIShipComponent::AIMODE_ATTACK);
  EXPECT_EQ(busy->GetAttackTargetNation(), 0);
}

// Lists handed in from outside may hold ships the engine removes: never found again.
TEST_F(BattleManagerShipsTest, ShipsTheEngineRemovesAreFoundByNoQuery) {
  BattleManager* battle = BattleManager::GetInstance();
  ShipEntity* gone = MakeShip("Gone", 2, VisVector_cl(20, 0, 0));
  ShipEntity* kept = MakeShip("Kept", 2, VisVector_cl(40, 0, 0));
  DynArray_cl<ShipEntity*> held(0, nullptr);
  held.Insert(gone);
  held.Insert(kept);
  gone->Remove();
  DynArray_cl<ShipEntity*> ahead(0, nullptr), near(0, nullptr);
  battle->GetShipsInsideSectorFromArray(VisVector_cl(0, 0, 0), VisVector_cl(1, 0, 0), 10.0f, &ahead, held);
  battle->GetShipsWithinRangeFromArray(VisVector_cl(0, 0, 0), 100.0f, &near, held);
  EXPECT_EQ(List(ahead), (std::vector<ShipEntity*>{kept}));
  EXPECT_EQ(List(near), (std::vector<ShipEntity*>{kept}));
  EXPECT_EQ(battle->GetClosestShipFromArray(VisVector_cl(0, 0, 0), &held, -1), kept);
  EXPECT_EQ(battle->GetClosestEnemyShip(VisVector_cl(0, 0, 0), 1), kept);
  EXPECT_FLOAT_EQ(battle->CalculateEnemyCenter(1).x, 40.0f);
  EXPECT_EQ(battle->ShipsWithinRange(VisVector_cl(20, 0, 0), 5.0f), 0);
}

}  // namespace
