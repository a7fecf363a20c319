// Sail settings by message and call, and what the ship hears of each.
#include "components/ShipSailComponent.h"

#include "core/ComponentMessages.h"
#include "support/ShipTestWorld.h"

#include <gtest/gtest.h>

namespace {

struct SailOrder {
  SailMode start;
  int message;
  SailMode mode;
  int announced;  // 0: nothing
};

class ShipSailOrderTest : public ShipTestWorld, public ::testing::WithParamInterface<SailOrder> {};

TEST_P(ShipSailOrderTest, OrdersChangeTheModeAndAnnounceIt) {
  const SailOrder& c = GetParam();
  VisBaseEntity_cl* ship = Vision::Game.CreateEntity("ShipEntity", VisVector_cl(0, 0, 0));
  auto* sails = new ShipSailComponent();
  ASSERT_TRUE(ship->AddComponent(sails));
  sails->SetSailMode(c.start);
  MessageRecorder* log = Listen(ship);
  sails->MessageFunction(c.message, 0, 0);
  EXPECT_EQ(sails->GetSailMode(), c.mode);
  if (c.announced)
    EXPECT_EQ(log->ids, std::vector<int>{c.announced});
  else
    EXPECT_TRUE(log->ids.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Sails, ShipSailOrderTest,
    ::testing::Values(SailOrder{SAILMODE_NONE, VIS_MSG_USER_SHIP_INCSAILMODE, SAILMODE_BATTLE, VIS_MSG_USER_SHIP_BATTLESAILS},
                      SailOrder{SAILMODE_BATTLE, VIS_MSG_USER_SHIP_INCSAILMODE, SAILMODE_FULL, VIS_MSG_USER_SHIP_FULLSAILS},
                      // At the ends the mode stays, but the order is still announced.
                      SailOrder{SAILMODE_FULL, VIS_MSG_USER_SHIP_INCSAILMODE, SAILMODE_FULL, VIS_MSG_USER_SHIP_FULLSAILS},
                      SailOrder{SAILMODE_NONE, VIS_MSG_USER_SHIP_DECSAILMODE, SAILMODE_NONE, VIS_MSG_USER_SHIP_NOSAILS},
                      SailOrder{SAILMODE_FULL, VIS_MSG_USER_SHIP_DECSAILMODE, SAILMODE_BATTLE, VIS_MSG_USER_SHIP_BATTLESAILS},
                      // Setting a mode is announced only when it changes.
                      SailOrder{SAILMODE_BATTLE, VIS_MSG_USER_SHIP_BATTLESAILS, SAILMODE_BATTLE, 0},
                      SailOrder{SAILMODE_NONE, VIS_MSG_USER_SHIP_BATTLESAILS, SAILMODE_BATTLE, VIS_MSG_USER_SHIP_BATTLESAILS},
                      SailOrder{SAILMODE_FULL, VIS_MSG_USER_SHIP_NOSAILS, SAILMODE_NONE, VIS_MSG_USER_SHIP_NOSAILS},
                      SailOrder{SAILMODE_BATTLE, VIS_MSG_USER_SHIP_TURNLEFT, SAILMODE_BATTLE, 0}));

TEST_F(ShipTestWorld, SailComponentWithoutOwnerChangesSilentlyAndRefusesOtherOwners) {
  ShipSailComponent sails;
  sails.IncSailMode();
  sails.IncSailMode();
  EXPECT_EQ(sails.GetSailMode(), SAILMODE_FULL);

  VisBaseEntity_cl* plain = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));
  VString reason;
  EXPECT_EQ(sails.CanAttachToObject(plain, reason), 0);
  EXPECT_EQ(reason, "Component can only be added to instances of ShipEntity or derived classes.");
}

}  // namespace
