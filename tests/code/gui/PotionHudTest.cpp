// The potion HUD: shown by the artifact manager while an effect runs, the potion
// before the artifact, each slot's bar turning from 0 towards -180 degrees with the
// values of the update before, frozen under the main menu; a bar without a length
// stays unturned.
#include "code/gui/GuiFrameTesting.h"

#include "support/ArchiveRoundTrip.h"

#include "Managers/ArtifactManager.h"
#include "entities/CollectableId.h"
#include "gui/CeguiCompat.h"
#include "gui/FramePotionHud.h"

#include <CEGUI/Quaternion.h>

#include <cmath>
#include <vector>

namespace {

class PotionHudTest : public GuiFrameTest {
 protected:
  void SetUp() override {
    GuiFrameTest::SetUp();
    ArtifactManager::CleanInstance();
    artifacts = ArtifactManager::GetInstance();
    // The HUD shows over the play frame.
    gui->ShowFrame(WT_BATTLE_HUD);
  }
  void TearDown() override {
    ArtifactManager::CleanInstance();
    GuiFrameTest::TearDown();
  }

  FramePotionHud* Hud() { return dynamic_cast<FramePotionHud*>(gui->FindWindowA(WT_POTION_HUD)); }
  std::string Image(int slot) {
    std::string image;
    CeguiCompat::GetProperty(Hud()->GetSlot(slot)->button, "Image", image);
    return image;
  }
  // The bar's turn as CEGUI holds it, in degrees about the screen axis.
  float BarTurn(int slot) {
    const CEGUI::Quaternion q = Hud()->GetSlot(slot)->loadBar->getRotation();
    return 2.0f * std::atan2(q.d_z, q.d_w) * 180.0f / 3.14159265f;
  }

  ArtifactManager* artifacts = nullptr;
};

TEST_F(PotionHudTest, WithoutEffectsTheHudStaysClosedAndItsSlotsHidden) {
  SceneFrame();
  EXPECT_FALSE(gui->IsWindowVisible(WT_POTION_HUD));

  // Opened by hand with nothing running, both slots hide.
  gui->ShowWindow(WT_POTION_HUD, nullptr);
  ASSERT_NE(Hud(), nullptr);
  ASSERT_EQ(Hud()->GetSlotCount(), 2);
  SceneFrame();
  EXPECT_FALSE(Hud()->IsSlotVisible(0));
  EXPECT_FALSE(Hud()->IsSlotVisible(1));
  ExpectNoCeguiFailure();
}

TEST_F(PotionHudTest, AnArtifactAloneTakesTheFirstSlotAndItsBarRunsDownToTheEnd) {
  artifacts->ActivateArtifact(COMPASS, 1.0f, 100.0f, "set:Buttons_01 image:Skill3Normal", 0.0f);
  SceneFrame();  // the manager shows the HUD
  ASSERT_TRUE(gui->IsWindowVisible(WT_POTION_HUD));
  std::vector<float> turns;
  for (int i = 0; i < 20 && artifacts->IsActive(COMPASS); ++i) {
    SceneFrame();
    ASSERT_TRUE(Hud()->IsSlotVisible(0));
    EXPECT_FALSE(Hud()->IsSlotVisible(1));
    turns.push_back(Hud()->GetSlot(0)->rotation);
    EXPECT_NEAR(BarTurn(0), turns.back(), 0.01f);
  }
  EXPECT_EQ(Image(0), "Buttons_01/Skill3Normal");
  // The first refresh turned by the slot's starting values (5 s total, none left);
  // from then on the bar starts at 0 and runs towards -180.
  ASSERT_GE(turns.size(), 8u);
  EXPECT_FLOAT_EQ(turns[0], -180.0f);
  EXPECT_NEAR(turns[1], 0.0f, 1e-4f);
  for (size_t i = 2; i < turns.size(); ++i) EXPECT_LT(turns[i], turns[i - 1]);
  EXPECT_NEAR(turns.back(), -162.0f, 0.5f);

  // Run out: the slot hides and, nothing running, the manager closes the HUD.
  SceneFrame();
  EXPECT_FALSE(Hud()->IsSlotVisible(0));
  SceneFrame();
  EXPECT_FALSE(gui->IsWindowVisible(WT_POTION_HUD));
  ExpectNoCeguiFailure();
}

TEST_F(PotionHudTest, APotionComesFirstAndTheMainMenuFreezesTheSlots) {
  artifacts->ActivatePotion(GHOST_POTION, 5.0f, 1.0f);
  artifacts->ActivateArtifact(COMPASS, 5.0f, 100.0f, "set:Buttons_01 image:Skill3Normal", 0.0f);
  SceneFrame();
  SceneFrame();
  ASSERT_TRUE(Hud()->IsSlotVisible(0) && Hud()->IsSlotVisible(1));
  // No recipe names the potion's picture here: it keeps the slot's own.
  EXPECT_EQ(Image(0), "Buttons_01/Potion1");
  EXPECT_EQ(Image(1), "Buttons_01/Skill3Normal");

  gui->ShowWindow(WT_MAIN_MENU, nullptr);
  ASSERT_TRUE(gui->IsWindowVisible(WT_MAIN_MENU));
  const float turn = Hud()->GetSlot(1)->rotation;
  const float left = Hud()->GetSlot(1)->remaining;
  artifacts->ResetForNewGame();
  for (int i = 0; i < 3; ++i) SceneFrame();
  EXPECT_FLOAT_EQ(Hud()->GetSlot(1)->rotation, turn);
  EXPECT_FLOAT_EQ(Hud()->GetSlot(1)->remaining, left);
  EXPECT_TRUE(Hud()->IsSlotVisible(1));
}

TEST_F(PotionHudTest, ABarWithoutALengthStaysUnturned) {
  // A saved potion whose full duration is below 0: the bar has nothing to measure.
  archive_test::ByteWriter block;
  block.Str("ARCH").U8(1).I32(0).I32(0).I32(1).I32(GHOST_POTION).F32(3.0f).F32(1.0f).I32(0);
  block.F32(0.0f).F32(0.0f).Str("").F32(-2.0f).F32(0.0f).Str("EOA");
  ASSERT_TRUE(archive_test::LoadBytes(block, [&](VArchive& ar) { EXPECT_TRUE(artifacts->SerializeX(ar)); }));
  SceneFrame();
  for (int i = 0; i < 3; ++i) {
    SceneFrame();
    const float turn = Hud()->GetSlot(0)->rotation;
    EXPECT_TRUE(std::isfinite(turn));
    EXPECT_FLOAT_EQ(turn, 0.0f);
  }
}

}  // namespace
