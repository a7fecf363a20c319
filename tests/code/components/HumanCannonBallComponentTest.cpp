// The human cannon ball: the pirate's set-up, the end of the flight at sea and on the
// world, and boarding: which contacts board, the two clocks, capture and its limits.
#include "SeaBattleFixture.h"

#include "components/AIShipComponent.h"
#include "components/HumanCannonBallComponent.h"
#include "components/RagdollComponent.h"
#include "entities/PlayerStats.h"
#include "entities/ProjectileEntity.h"
#include "entities/TownEntity.h"
#include "gui/GUIManager.h"
#include "Managers/AchievementManager.h"
#include "Managers/TownManager.h"

#include "engine/physics/vPhysXContactRecord.h"
#include "engine/physics/vPhysXRigidBody.h"

#include <algorithm>

namespace {

class HumanCannonBallTest : public SeaBattleFixture {
 protected:
  void SetUp() override {
    SeaBattleFixture::SetUp();
    flagship = MakeShip("Flagship", 1, VisVector_cl(0, 0, 0), 0.0f, 100, true);
    prize = MakeShip("Prize", 2, VisVector_cl(60, 0, 0));
    Body(flagship);
    Body(prize);
  }
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    TownManager::CleanInstance();
    GUIManager::CleanInstance();
    SeaBattleFixture::TearDown();
  }

  static vPhysXObject* Body(VisBaseEntity_cl* entity) {
    if (!entity->GetPhysicsObject()) entity->AddComponent(new vPhysXRigidBody());
    return static_cast<vPhysXObject*>(entity->GetPhysicsObject());
  }

  // A pirate fired by the ship, as the special cannon makes him.
  HumanCannonBallComponent* Pirate(ShipEntity* shooter, const VisVector_cl& at = VisVector_cl(30, 0, 8)) {
    auto* projectile = static_cast<ProjectileEntity*>(Vision::Game.CreateEntity("ProjectileEntity", at));
    projectile->SetNation(shooter->GetNation());
    projectile->SetShooter(shooter);
    auto* pirate = new HumanCannonBallComponent();
    EXPECT_TRUE(projectile->AddComponent(pirate));
    pirate->Shoot(40.0f);
    Body(projectile);
    return pirate;
  }
  static ProjectileEntity* Of(HumanCannonBallComponent* pirate) {
    return static_cast<ProjectileEntity*>(pirate->GetOwner());
  }

  // A contact between the pirate and the entity (null: the terrain).
  static void Touch(HumanCannonBallComponent* pirate, VisBaseEntity_cl* other) {
    vPhysXContactRecord contact;
    contact.participant[0].pObject = Body(Of(pirate));
    if (other)
      contact.participant[1].pObject = Body(other);
    else
      contact.participant[1].iTerrain = 1;
    contact.vPoint = Of(pirate)->GetPosition();
    Of(pirate)->SendMsg(VIS_MSG_PHYSICS_CONTACT, reinterpret_cast<INT_PTR>(&contact), VPHYSX_CONTACT_NOTIFY);
  }

  // Frames until the pirate has gone; the seconds it took.
  float FightToTheEnd(HumanCannonBallComponent* pirate, float limit = 20.0f) {
    ProjectileEntity* owner = Of(pirate);
    float seconds = 0.0f;
    while (Alive(owner) && seconds < limit) {
      Frame();
      seconds += kStep;
    }
    return seconds;
  }

  // A captured ship's record now belongs to the player's ships (which free it).
  bool JoinedThePlayer(ShipEntity* ship) {
    PlayerStats* player = GameSessionManager::GetInstance()->GetPlayer();
    const auto& ships = player->GetPlayerShips();
    if (std::find(ships.begin(), ships.end(), ship->GetStats()) == ships.end()) return false;
    for (auto& record : stats)
      if (record.get() == ship->GetStats()) record.release();
    return true;
  }

  ShipEntity* flagship = nullptr;
  ShipEntity* prize = nullptr;
};

// The pirate's looks come with the component; the launch itself is the cannon's test.
TEST_F(HumanCannonBallTest, APirateWithoutAModelGetsThePirates) {
  HumanCannonBallComponent* pirate = Pirate(flagship);
  ProjectileEntity* owner = Of(pirate);
  EXPECT_STREQ(owner->GetEntityKey(), "HumanCannonball");
  EXPECT_EQ(owner->GetScaling(), VisVector_cl(2, 2, 2));
  EXPECT_STREQ(owner->GetMeshFileName(), "models\\Characters\\Pirate\\pirate_melee.MODEL");
  EXPECT_NE(owner->Components<RagdollComponent>(), nullptr);
}

TEST_F(HumanCannonBallTest, TheSeaAndTheWorldEndTheFlight) {
  HumanCannonBallComponent* swimmer = Pirate(flagship, VisVector_cl(30, 0, 2));
  Frame();
  EXPECT_TRUE(Alive(Of(swimmer))) << "above the water line";
  Of(swimmer)->SetPosition(VisVector_cl(30, 0, -0.1f));
  ProjectileEntity* gone = Of(swimmer);
  Frame();
  EXPECT_FALSE(Alive(gone));

  HumanCannonBallComponent* faller = Pirate(flagship);
  gone = Of(faller);
  Touch(faller, nullptr);
  EXPECT_TRUE(gone->IsMarkedRemoved());
}

// Neither the shooter nor a ship that cannot be captured is boarded: the pirate flies
// on, and the first contact that meets the rules starts the fight.
TEST_F(HumanCannonBallTest, OnlyACapturableShipOtherThanTheShooterIsBoarded) {
  ShipEntity* fort = MakeShip("Fort", 2, VisVector_cl(0, 60, 0));
  fort->GetStats()->SetCanCapture(0);
  std::vector<MessageLog::Entry> heard;
  Listen(prize, &heard);
  HumanCannonBallComponent* pirate = Pirate(flagship);
  Touch(pirate, flagship);
  Touch(pirate, fort);
  EXPECT_FALSE(pirate->IsFighting());
  EXPECT_FALSE(Of(pirate)->IsMarkedRemoved());

  Touch(pirate, prize);
  EXPECT_TRUE(pirate->IsFighting());
  EXPECT_EQ(pirate->GetBoardedShip(), prize);
  ASSERT_EQ(MessageLog::Count(heard, 30), 1);
  EXPECT_NE(pirate->GetFightEffect(), nullptr);
  Touch(pirate, fort);
  Touch(pirate, nullptr);
  EXPECT_EQ(pirate->GetBoardedShip(), prize) << "contacts during the fight change nothing";
  EXPECT_FALSE(Of(pirate)->IsMarkedRemoved());
}

// Boarding times 5.0 and 12.0: the first pirate captures within 5 s, or fails after
// his 10 s leaving about 2 s that a second pirate wears down.
TEST_F(HumanCannonBallTest, TheBoardingClockDecidesTheCapture) {
  const struct {
    float boardingTime;
    float firstFight;
    bool firstCaptures;
  } cases[] = {{5.0f, 5.0f, true}, {12.0f, 10.0f, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.boardingTime);
    ShipEntity* ship = MakeShip("Boarded", 2, VisVector_cl(60, 60 * c.boardingTime, 0));
    ship->GetStats()->SetBoardingTime(c.boardingTime);
    HumanCannonBallComponent* first = Pirate(flagship);
    Touch(first, ship);
    EXPECT_NEAR(FightToTheEnd(first), c.firstFight, 2 * kStep);
    EXPECT_EQ(ship->GetNation() == 1, c.firstCaptures);
    if (c.firstCaptures) {
      EXPECT_TRUE(JoinedThePlayer(ship));
      continue;
    }
    EXPECT_NEAR(ship->GetStats()->GetBoardingTime(), c.boardingTime - 10.0f, 2 * kStep);
    HumanCannonBallComponent* second = Pirate(flagship);
    Touch(second, ship);
    EXPECT_NEAR(FightToTheEnd(second), c.boardingTime - 10.0f, 2 * kStep);
    EXPECT_EQ(ship->GetNation(), 1);
    EXPECT_TRUE(JoinedThePlayer(ship));
  }
}

TEST_F(HumanCannonBallTest, ACapturedShipSailsForTheNearestStrongholdUnderTheNewFlag) {
  data->Write("scripts/OpenFort.lua", "bIsAccessible = true\n");
  auto* fort = static_cast<TownEntity*>(Vision::Game.CreateEntity("StrongholdEntity", VisVector_cl(500, 0, 0)));
  fort->SetScript("scripts/OpenFort.lua");
  TownManager::GetInstance()->Initialize();
  auto* ai = new AIShipComponent();
  prize->AddComponent(ai);
  prize->GetStats()->SetScript("scripts/Ships/AI/Patrol.lua");
  prize->GetStats()->SetBoardingTime(0.5f);

  HumanCannonBallComponent* pirate = Pirate(flagship);
  Touch(pirate, prize);
  FightToTheEnd(pirate);
  EXPECT_EQ(prize->GetNation(), 1);
  EXPECT_TRUE(JoinedThePlayer(prize));
  EXPECT_EQ(prize->GetStats()->GetNation(), 1);
  EXPECT_TRUE(prize->GetStats()->GetScript().IsEmpty());
  EXPECT_FALSE(prize->GetStats()->IsPlayerShip());
  EXPECT_EQ(ai->GetTargetTown(), fort);
  EXPECT_EQ(ai->GetAIMode(), AIShipComponent::AIMODE_GOTO_TOWN);
  EXPECT_STREQ(ai->GetScript(), "scripts/Ships/AI/SailToPort.lua");
  EXPECT_NE(Vision::GetScriptManager()->GetScriptInstance(prize), nullptr);
  AchievementManager* achievements = AchievementManager::GetInstance();
  EXPECT_TRUE(achievements->IsUnlocked(21));
  EXPECT_TRUE(achievements->IsUnlocked(47)) << "the player's own ship is unscathed";
  fort->Remove();
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(ai->GetTargetTown(), nullptr) << "a town that leaves the world is forgotten";
}

// The shooter sunk mid-fight ends the fight at once; a ship already worn down is
// still captured. A ship of the player's nation is never captured.
TEST_F(HumanCannonBallTest, ASunkShooterEndsTheFightAndOwnShipsStayOwn) {
  prize->GetStats()->SetBoardingTime(1.0f);
  HumanCannonBallComponent* pirate = Pirate(flagship);
  ProjectileEntity* boarder = Of(pirate);
  Touch(pirate, prize);
  Frames(3);
  flagship->GetStats()->GetHull().SetCurrent(0);
  Frame();
  EXPECT_FALSE(Alive(boarder));
  EXPECT_EQ(prize->GetNation(), 2) << "boarding time left: no capture";

  flagship->GetStats()->GetHull().SetCurrent(100);
  prize->GetStats()->SetBoardingTime(-1.0f);
  HumanCannonBallComponent* late = Pirate(flagship);
  Touch(late, prize);
  flagship->GetStats()->GetHull().SetCurrent(0);
  Frame();
  EXPECT_EQ(prize->GetNation(), 1) << "worn down before: captured";
  EXPECT_TRUE(JoinedThePlayer(prize));

  // Now the player's own: an enemy pirate cannot take it back.
  ShipEntity* raider = MakeShip("Raider", 2, VisVector_cl(0, -60, 0));
  prize->GetStats()->SetBoardingTime(-1.0f);
  HumanCannonBallComponent* enemy = Pirate(raider);
  ProjectileEntity* raiderPirate = Of(enemy);
  Touch(enemy, prize);
  Frame();
  EXPECT_FALSE(Alive(raiderPirate));
  EXPECT_EQ(prize->GetNation(), 1);
}

}  // namespace
