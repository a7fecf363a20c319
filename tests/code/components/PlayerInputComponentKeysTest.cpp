// The player ship's keys, typed through the engine's input replay as a person would.
#include "SeaBattleFixture.h"

#include "components/CannonComponent.h"
#include "components/PlayerInputComponent.h"
#include "core/ComponentMessages.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"

#include "engine/base/VisInput.h"
#include "engine/core/VInputReplay.h"

#include <string>

namespace {

class PlayerInputComponentKeysTest : public SeaBattleFixture {
 protected:
  void SetUp() override {
    SeaBattleFixture::SetUp();
    Vision::Key.Reset();
    ship = MakeShip("Player", 1, VisVector_cl(0, 0, 0), 0.0f, 100, true);
    ship->AddComponent(new PlayerInputComponent());
    log = Listen(ship);
  }
  void TearDown() override {
    Vision::Key.Reset();
    SeaBattleFixture::TearDown();
  }

  // Replays the events, one engine frame per replay frame from 1 to 'frames'.
  void Play(const std::string& events, unsigned frames) {
    VInputReplay replay;
    ASSERT_EQ(replay.Parse(events, "keys"), 0);
    for (unsigned f = 1; f <= frames; ++f) {
      replay.DeliverFrame(f);
      Frame();
    }
  }

  ShipEntity* ship = nullptr;
  MessageLog* log = nullptr;
};

TEST_F(PlayerInputComponentKeysTest, TwoKeysOfOneBindingSendOneMessagePerFrame) {
  // Both turn-left keys held on frames 1-3, keypad 4 alone on frame 4.
  Play("1 key A down\n1 key Keypad4 down\n4 key A up\n5 key Keypad4 up\n", 6);
  EXPECT_EQ(log->Count(VIS_MSG_USER_SHIP_TURNLEFT), 4);
  EXPECT_EQ(log->Count(VIS_MSG_USER_SHIP_TURNRIGHT), 0);
}

TEST_F(PlayerInputComponentKeysTest, SpaceChargesOrFiresByTheSelectedWeapon) {
  struct Case {
    ProjectileType weapon;
    int charges;
    int shots;
    INT_PTR shotWeapon;
  };
  // Space held on frames 1-3: a mortar charges and fires once on the release; a
  // rocket fires every held frame and nothing on the release.
  const Case cases[] = {{PROJECTILE_MORTAR, 3, 1, PROJECTILE_MORTAR}, {PROJECTILE_ROCKET, 0, 3, PROJECTILE_ROCKET}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.weapon);
    log->entries.clear();
    ship->GetStats()->SetCurrentSpecialWeapon(c.weapon);
    Play("1 key Space down\n4 key Space up\n", 8);
    EXPECT_EQ(log->Count(VIS_MSG_USER_CANNON_CHARGE_SPECIAL), c.charges);
    EXPECT_EQ(log->Count(VIS_MSG_USER_CANNON_FIRE_SPECIAL), c.shots);
    for (const MessageLog::Entry& e : log->entries)
      if (e.id == VIS_MSG_USER_CANNON_FIRE_SPECIAL) {
        EXPECT_EQ(e.p1, c.shotWeapon);
      }
  }
}

TEST_F(PlayerInputComponentKeysTest, ASunkShipIgnoresEveryKey) {
  ship->GetStats()->SetCurrentSpecialWeapon(PROJECTILE_ROCKET);
  ship->SendMsg(VIS_MSG_USER_SHIP_SINK);
  log->entries.clear();
  Play("1 key A down\n1 key D down\n1 key W down\n1 key S down\n1 key Q down\n1 key E down\n1 key Space down\n"
       "3 key Space up\n",
       5);
  EXPECT_TRUE(log->entries.empty()) << log->entries.front().id;
}

TEST_F(PlayerInputComponentKeysTest, OnAUnitTheComponentAttachesButSendsNothing) {
  auto* unit = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(50, 0, 0)));
  // An empty unit leaves the world at once; a soldier keeps it (and the log on it) alive.
  unit->AddSoldier(static_cast<SoldierEntity*>(Vision::Game.CreateEntity("SoldierEntity", VisVector_cl(50, 0, 0))));
  auto* input = new PlayerInputComponent();
  VString reason;
  EXPECT_TRUE(input->CanAttachToObject(unit, reason));
  unit->AddComponent(input);
  EXPECT_EQ(input->GetOwner(), unit);
  MessageLog* unitLog = Listen(unit);
  Play("1 key A down\n1 key Q down\n1 key Space down\n3 key Space up\n", 4);
  EXPECT_TRUE(unitLog->entries.empty());
}

}  // namespace
