// Where a soldier sent at something walks, and what he does on arrival: a building
// stays his target until he is let in; anything else is done with once he is there in
// a land battle.
#include "code/entities/SoldierFixture.h"

#include "components/InfantryPathComponent.h"
#include "components/SpecialBuildingComponent.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "core/Player.h"
#include "core/RtsManager.h"
#include "entities/BuildingBaseEntity.h"
#include "entities/UnitEntity.h"
#include "util/ComponentSetup.h"

#include <gtest/gtest.h>

namespace {

class InfantryPathArrivalTest : public SoldierFixture {
 protected:
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
    if (m_rts) RtsManager::GlobalManager().OneTimeDeInit();
    GameManager::CleanInstance();
    SoldierFixture::TearDown();
  }

  static BuildingBaseEntity* MakeBuilding(const VisVector_cl& at) {
    return static_cast<BuildingBaseEntity*>(Vision::Game.CreateEntity("BuildingBaseEntity", at));
  }

  // The player's side with its character at the point, who lets heroes in.
  UnitEntity* MakePlayerCharacter(const VisVector_cl& at) {
    RtsManager::GlobalManager().OneTimeInit();
    m_rts = true;
    auto* character = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", at));
    character->SetEntityKey("PlayerCharacter");
    RtsManager::GlobalManager().GetPlayer()->AddPlayerUnit(character);
    return character;
  }

  bool m_rts = false;
};

TEST_F(InfantryPathArrivalTest, ABuildingStaysTheTargetUntilEnteredAndOtherThingsOnlyInALandBattle) {
  const struct {
    const char* what;
    bool building;
    bool hero;
    int location;
    bool kept;
  } cases[] = {
      {"a building the hero cannot enter", true, true, 1, true},
      {"a building, no hero", true, false, 1, true},
      {"another entity in a land battle", false, false, 1, false},
      {"another entity on the world map", false, false, 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    GameManager::GetInstance()->SetLocation(c.location);
    SoldierEntity* soldier = MakeSoldier(VisVector_cl(0, 0, 0));
    soldier->MarkAsPlayerHero(c.hero);
    auto* path = ComponentSetup::AddNew<InfantryPathComponent>(soldier);
    ASSERT_NE(path, nullptr);
    BaseEntity* target = c.building ? MakeBuilding(VisVector_cl(1, 0, 0))
                                    : static_cast<BaseEntity*>(Vision::Game.CreateEntity("BaseEntity", VisVector_cl(1, 0, 0)));
    ASSERT_NE(target, nullptr);
    // Already beside it: the short path runs the arrival check at once.
    const VisVector_cl goal(0.5f, 0, 0);
    soldier->SendMsg(VIS_MSG_USER_UNIT_WALK_TO_USE, (INT_PTR)&goal, (INT_PTR)target);
    EXPECT_EQ(path->GetInteractionTarget(), c.kept ? target : nullptr);
    // Every later arrival asks again.
    path->OwnerStops();
    EXPECT_EQ(path->GetInteractionTarget(), c.kept ? target : nullptr);
  }
}

// An enterable building stays a hero's target while it turns him away (no player
// character near), and is done with once he is let in; a soldier of a hero's unit
// counts as a hero, a plain soldier is never let in.
TEST_F(InfantryPathArrivalTest, AHeroKeepsAnEnterableBuildingUntilHeIsLetIn) {
  GameManager::GetInstance()->SetLocation(1);
  BuildingBaseEntity* building = MakeBuilding(VisVector_cl(1, 0, 0));
  auto* special = new SpecialBuildingComponent();
  special->SetWindowType(WT_TAVERN);
  ASSERT_TRUE(building->AddComponent(special));
  UnitEntity* character = MakePlayerCharacter(VisVector_cl(50, 0, 0));
  auto* heroUnit = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(0, 0, 0)));
  heroUnit->SetIsHero(true);

  const struct {
    const char* who;
    bool playerHero;
    bool inHeroUnit;
    bool letIn;
  } cases[] = {
      {"the player's hero", true, false, true},
      {"a soldier of a hero's unit", false, true, true},
      {"a plain soldier", false, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.who);
    character->SetPosition(VisVector_cl(50, 0, 0));
    special->CheckDistance();
    ASSERT_FALSE(special->IsInRange());
    SoldierEntity* soldier = MakeSoldier(VisVector_cl(0, 0, 0));
    soldier->MarkAsPlayerHero(c.playerHero);
    if (c.inHeroUnit) soldier->SetParentUnit(heroUnit);
    auto* path = ComponentSetup::AddNew<InfantryPathComponent>(soldier);
    ASSERT_NE(path, nullptr);
    const VisVector_cl goal(0.5f, 0, 0);
    soldier->SendMsg(VIS_MSG_USER_UNIT_WALK_TO_USE, (INT_PTR)&goal, (INT_PTR)building);
    EXPECT_EQ(path->GetInteractionTarget(), building) << "turned away: still the target";
    // The character comes close: the building lets heroes in on the next arrival.
    character->SetPosition(VisVector_cl(1, 1.5f, 0));
    special->CheckDistance();
    ASSERT_TRUE(special->IsInRange());
    path->OwnerStops();
    EXPECT_EQ(path->GetInteractionTarget(), c.letIn ? nullptr : building);
    soldier->SetParentUnit(nullptr);
  }
}

TEST_F(InfantryPathArrivalTest, OrdersOnABuildingLeadToItsWallsAndOthersToTheirPoint) {
  SoldierEntity* soldier = MakeSoldier(VisVector_cl(0, 0, 0));
  auto* path = ComponentSetup::AddNew<InfantryPathComponent>(soldier);
  ASSERT_NE(path, nullptr);
  BaseEntity* building = MakeBuilding(VisVector_cl(20, 0, 0));
  building->SetMesh(m_mesh);  // a box 0.8 across
  const VisVector_cl at = building->GetPosition();
  for (int id : {VIS_MSG_USER_UNIT_ATTACK_ORDER, VIS_MSG_USER_UNIT_COLLECT, VIS_MSG_USER_UNIT_WALK_TO,
                 VIS_MSG_USER_UNIT_WALK_TO_USE}) {
    SCOPED_TRACE(id);
    soldier->SendMsg(id, (INT_PTR)&at, (INT_PTR)building);
    EXPECT_TRUE(path->GetEndPosition().IsEqual(VisVector_cl(19.6f, 0, 0), 1e-3f));
  }
  // Anything else is walked to where the order points.
  BaseEntity* other = static_cast<BaseEntity*>(Vision::Game.CreateEntity("BaseEntity", VisVector_cl(0, 15, 0)));
  const VisVector_cl point(0, 15, 0);
  soldier->SendMsg(VIS_MSG_USER_UNIT_WALK_TO_USE, (INT_PTR)&point, (INT_PTR)other);
  EXPECT_TRUE(path->GetEndPosition().IsEqual(point, 1e-3f));
}

}  // namespace
