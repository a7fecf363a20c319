// MouseCursorManager over the hardware cursor: skipped calls without a device or
// while it is lost, one application per image, and the image back after a reset.
#include "support/GuiTestEnvironment.h"

#include <gtest/gtest.h>

namespace {

class MouseCursorManagerTest : public ::testing::Test {
 protected:
  void SetUp() override { env.Start(); }
  void TearDown() override { env.Stop(); }

  void Restore() {
    Vision::Renderer.SetDeviceLost(false);
    Vision::Callbacks.OnVideoDeviceRestored.TriggerCallbacks();
  }

  GuiTestEnvironment env;
  VSmartPtr<VTextureObject> arrow = new VTextureObject("arrow.tga");
  VSmartPtr<VTextureObject> hand = new VTextureObject("hand.tga");
};

TEST_F(MouseCursorManagerTest, ShowsMovesAndSetsTheImageOnce) {
  MouseCursorManager* cursor = MouseCursorManager::GetInstance();
  cursor->ShowD3DCursor(true);
  EXPECT_TRUE(Vision::HardwareCursor.IsShown());
  cursor->SetD3DCursorPosition(VPoint{40, 50});
  EXPECT_EQ(Vision::HardwareCursor.GetX(), 40);
  EXPECT_EQ(Vision::HardwareCursor.GetY(), 50);
  EXPECT_EQ(cursor->GetD3DCursorPosition().x, 40);

  cursor->SetD3DCursorImage(arrow, 3, 4);
  cursor->SetD3DCursorImage(arrow, 3, 4);
  cursor->SetD3DCursorImage(nullptr, 0, 0);
  EXPECT_EQ(Vision::HardwareCursor.GetPropertiesCount(), 1);
  EXPECT_EQ(Vision::HardwareCursor.GetImage(), arrow.GetPtr());
  EXPECT_EQ(Vision::HardwareCursor.GetHotspotX(), 3u);
  cursor->SetD3DCursorImage(hand, 0, 0);
  EXPECT_EQ(Vision::HardwareCursor.GetPropertiesCount(), 2);
  EXPECT_EQ(cursor->GetCurrentImage(), hand.GetPtr());
}

TEST_F(MouseCursorManagerTest, LostDeviceSkipsCallsAndTheRestoreBringsTheImageBack) {
  MouseCursorManager* cursor = MouseCursorManager::GetInstance();
  cursor->SetD3DCursorImage(arrow, 5, 6);
  cursor->SetD3DCursorPosition(VPoint{10, 10});

  Vision::Renderer.SetDeviceLost(true);
  Vision::HardwareCursor.Reset();
  cursor->ShowD3DCursor(true);
  cursor->SetD3DCursorPosition(VPoint{99, 99});
  cursor->SetD3DCursorImage(hand, 1, 1);
  EXPECT_FALSE(Vision::HardwareCursor.IsShown());
  EXPECT_EQ(cursor->GetD3DCursorPosition().x, 10);
  EXPECT_EQ(cursor->GetCurrentImage(), arrow.GetPtr());

  Restore();
  EXPECT_EQ(Vision::HardwareCursor.GetImage(), arrow.GetPtr());
  EXPECT_EQ(Vision::HardwareCursor.GetHotspotX(), 5u);
  EXPECT_EQ(Vision::HardwareCursor.GetHotspotY(), 6u);
  EXPECT_EQ(Vision::HardwareCursor.GetPropertiesCount(), 1);
}

TEST_F(MouseCursorManagerTest, WithoutADeviceNothingHappens) {
  // Made before the video device exists, the manager has none.
  env.Stop();
  MouseCursorManager* cursor = MouseCursorManager::GetInstance();
  env.Start();
  cursor->ShowD3DCursor(true);
  cursor->SetD3DCursorImage(arrow, 0, 0);
  EXPECT_FALSE(Vision::HardwareCursor.IsShown());
  EXPECT_EQ(Vision::HardwareCursor.GetImage(), nullptr);
  EXPECT_EQ(cursor->GetCurrentImage(), nullptr);
}

}  // namespace
