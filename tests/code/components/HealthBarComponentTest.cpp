// The health bar's states run frame by frame before any frame of it is drawn: fade
// in, hold, fade out, and removal once hidden.
#include "SeaBattleFixture.h"

#include "components/HealthBarComponent.h"

namespace {

class HealthBarComponentTest : public SeaBattleFixture {
 protected:
  void SetUp() override {
    SeaBattleFixture::SetUp();
    ship = MakeShip("Enemy", 2, VisVector_cl(0, 0, 0));
    Frame();  // the frame time is the fixed step from now on
  }
  HealthBarComponent* Bar() const { return ship->Components<HealthBarComponent>(); }
  // Frames until the bar reaches the state (or leaves the ship); at most 10 s.
  int FramesUntil(int state) {
    for (int n = 1; n <= 600; ++n) {
      Frame();
      if (!Bar() || Bar()->GetState() == state) return n;
    }
    return -1;
  }

  ShipEntity* ship = nullptr;
};

TEST_F(HealthBarComponentTest, AShownBarFadesInHoldsFadesOutAndLeavesWhenAsked) {
  ship->ShowHealthBar(1.0f);
  ASSERT_NE(Bar(), nullptr);
  Bar()->SetRemoveWhenHidden(true);
  EXPECT_EQ(Bar()->GetState(), HealthBarComponent::STATE_FADING_IN);

  const int fadeIn = FramesUntil(HealthBarComponent::STATE_SHOWN);  // a third of a second
  EXPECT_GE(fadeIn, 20);
  EXPECT_LE(fadeIn, 22);
  EXPECT_FLOAT_EQ(Bar()->GetAlpha(), 1.0f);
  const int hold = FramesUntil(HealthBarComponent::STATE_FADING_OUT);
  EXPECT_GE(hold, 59);
  EXPECT_LE(hold, 61);
  EXPECT_EQ(Bar()->GetHoldTimer(), HealthBarComponent::HOLD_HIDDEN);

  // Shown again while fading out, it fades back in.
  Frames(10);
  ship->ShowHealthBar(1.0f);
  EXPECT_EQ(Bar()->GetState(), HealthBarComponent::STATE_FADING_IN);
  Bar()->Hide();
  const int fadeOut = FramesUntil(HealthBarComponent::STATE_HIDDEN);
  EXPECT_GT(fadeOut, 0);
  EXPECT_LE(fadeOut, 61);
  // Hidden, it leaves the ship in the next frames.
  Frames(2);
  EXPECT_EQ(Bar(), nullptr);
}

TEST_F(HealthBarComponentTest, ABarHeldWithoutEndStaysUntilHiddenOrItsOwnerIsShownNowhere) {
  ship->ShowHealthBar(0.0f);
  Frames(600);
  ASSERT_NE(Bar(), nullptr);
  EXPECT_EQ(Bar()->GetState(), HealthBarComponent::STATE_SHOWN);
  // Further requests change nothing while it is held.
  Bar()->Show(2.0f);
  EXPECT_EQ(Bar()->GetHoldTimer(), 0.0f);

  ship->SetVisibleBitmask(0);
  Frame();
  EXPECT_EQ(Bar()->GetState(), HealthBarComponent::STATE_FADING_OUT);
  EXPECT_GT(FramesUntil(HealthBarComponent::STATE_HIDDEN), 0);
  EXPECT_NE(Bar(), nullptr);  // kept unless asked to leave
}

}  // namespace
