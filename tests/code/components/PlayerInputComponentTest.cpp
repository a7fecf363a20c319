// Keyboard control of the player's ship while the GUI holds input off after a click.
#include "SeaBattleFixture.h"

#include "components/CannonComponent.h"
#include "components/PlayerInputComponent.h"
#include "core/ComponentMessages.h"
#include "gui/GUIManager.h"

#include "engine/base/VisInput.h"

namespace {

const int kScanA = 0x1E;
const int kScanSpace = 0x39;

class PlayerInputComponentTest : public SeaBattleFixture {
 protected:
  void SetUp() override {
    SeaBattleFixture::SetUp();
    ship = MakeShip("Player", 1, VisVector_cl(0, 0, 0), 0.0f, 100, true);
    ship->AddComponent(new PlayerInputComponent());
    log = Listen(ship);
    Vision::Key.Reset();
  }
  void TearDown() override {
    Vision::Key.Reset();
    GUIManager::CleanInstance();
    SeaBattleFixture::TearDown();
  }
  static void Hold(int scanCode, bool down) { Vision::Key.InjectKey(-1, scanCode, down); }

  ShipEntity* ship = nullptr;
  MessageLog* log = nullptr;
};

TEST_F(PlayerInputComponentTest, KeysAndTheSpecialWeaponWaitWhileTheGuiBlockingTimerRuns) {
  ship->GetStats()->SetCurrentSpecialWeapon(PROJECTILE_ROCKET);
  Hold(kScanA, true);
  Hold(kScanSpace, true);
  Frame();
  EXPECT_EQ(log->Count(VIS_MSG_USER_SHIP_TURNLEFT), 1);
  EXPECT_EQ(log->Count(VIS_MSG_USER_CANNON_FIRE_SPECIAL), 1);

  // Blocked for 0.25 s: about 15 frames without a message, then input is back.
  GUIManager::GetInstance()->SetBlockingTimer(0.25f);
  log->entries.clear();
  int silent = 0;
  while (log->Count(VIS_MSG_USER_SHIP_TURNLEFT) == 0 && silent < 60) {
    Frame();
    ++silent;
  }
  EXPECT_GE(silent, 15);
  EXPECT_LE(silent, 17);
  EXPECT_EQ(GUIManager::GetInstance()->GetBlockingTimer(), 0.0f);
  EXPECT_EQ(log->Count(VIS_MSG_USER_CANNON_FIRE_SPECIAL), 1);  // the same frame, not before
}

TEST_F(PlayerInputComponentTest, ReleasingAChargedWeaponDuringTheBlockFiresNothing) {
  ship->GetStats()->SetCurrentSpecialWeapon(PROJECTILE_MORTAR);
  Hold(kScanSpace, true);
  Frames(3);
  EXPECT_EQ(log->Count(VIS_MSG_USER_CANNON_CHARGE_SPECIAL), 3);
  // The charge is let go while a click blocks input: no shot, and none later.
  GUIManager::GetInstance()->SetBlockingTimer(0.1f);
  Hold(kScanSpace, false);
  Frames(30);
  EXPECT_EQ(log->Count(VIS_MSG_USER_CANNON_FIRE_SPECIAL), 0);
  // Unblocked, a release fires once.
  Hold(kScanSpace, true);
  Frame();
  Hold(kScanSpace, false);
  Frames(2);
  EXPECT_EQ(log->Count(VIS_MSG_USER_CANNON_FIRE_SPECIAL), 1);
}

}  // namespace
