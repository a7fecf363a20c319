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

TEST_F(PotionHudTest, WithoutEffectsTheSlotsHideAndTheHudCloses) {
  SceneFrame();
  EXPECT_FALSE(gui->IsWindowVisible(WT_POTION_HUD));

  artifacts->ActivatePotion(GHOST_POTION, 5.0f, 1.0f);
  SceneFrame();
  SceneFrame();
  FramePotionHud* hud = Hud();
  ASSERT_NE(hud, nullptr);
  ASSERT_EQ(hud->GetSlotCount(), 2);
  EXPECT_TRUE(hud->IsSlotVisible(0));
  EXPECT_FALSE(hud->IsSlotVisible(1));

  artifacts->ResetForNewGame();
  hud->OnBeforeGUIUpdate();
  EXPECT_FALSE(hud->IsSlotVisible(0));
  EXPECT_FALSE(hud->IsSlotVisible(1));
  SceneFrame();
  EXPECT_FALSE(gui->IsWindowVisible(WT_POTION_HUD));
  ExpectNoCeguiFailure();
}

TEST_F(PotionHudTest, AnArtifactAloneTakesTheFirstSlotAndItsBarRunsFromZeroToTheEnd) {
  // Open before the artifact starts, the HUD measures it from its first moment.
  gui->ShowWindow(WT_POTION_HUD, nullptr);
  artifacts->ActivateArtifact(COMPASS, 1.0f, 100.0f, "set:Buttons_01 image:Skill3Normal", 0.0f);
  std::vector<float> turns;
  for (int i = 0; i < 20 && artifacts->IsActive(COMPASS); ++i) {
    SceneFrame();
    ASSERT_NE(Hud(), nullptr);
    ASSERT_TRUE(Hud()->IsSlotVisible(0));
    EXPECT_FALSE(Hud()->IsSlotVisible(1));
    turns.push_back(Hud()->GetSlot(0)->rotation);
    EXPECT_NEAR(BarTurn(0), turns.back(), 0.01f);
  }
  EXPECT_EQ(Image(0), "Buttons_01/Skill3Normal");
  // The first refresh turns by the slot's starting values (5 s, none left), each
  // later one by the values of the refresh before: 0 at the start, then on towards
  // -180 in steps of a tenth of the run (the frame is 0.1 s of 1 s).
  ASSERT_EQ(turns.size(), 10u);
  EXPECT_FLOAT_EQ(turns[0], -180.0f);
  for (size_t i = 1; i < turns.size(); ++i) EXPECT_NEAR(turns[i], -18.0f * (float)(i - 1), 1e-3f) << i;

  // Run out: nothing running, the manager closes the HUD.
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
  // The effects run on and a new artifact shows another picture; the slots keep theirs.
  artifacts->ActivateArtifact(FLAG, 5.0f, 1.0f, "set:Buttons_01 image:Skill0Normal", 0.0f);
  for (int i = 0; i < 3; ++i) SceneFrame();
  ASSERT_NE(Hud(), nullptr);
  EXPECT_FLOAT_EQ(Hud()->GetSlot(1)->rotation, turn);
  EXPECT_FLOAT_EQ(Hud()->GetSlot(1)->remaining, left);
  EXPECT_EQ(Image(1), "Buttons_01/Skill3Normal");
  EXPECT_TRUE(Hud()->IsSlotVisible(1));
}

TEST_F(PotionHudTest, ABarWithoutALengthStaysUnturned) {
  // A saved potion whose full duration is below 0: the bar has nothing to measure.
  archive_test::ByteWriter block;
  block.Str("ARCH").U8(1).I32(0).I32(0).I32(1).I32(GHOST_POTION).F32(3.0f).F32(1.0f).I32(0);
  block.F32(0.0f).F32(0.0f).Str("").F32(-2.0f).F32(0.0f).Str("EOA");
  ASSERT_TRUE(archive_test::LoadBytes(block, [&](VArchive& ar) { EXPECT_TRUE(artifacts->SerializeX(ar)); }));
  SceneFrame();  // the manager shows the HUD
  SceneFrame();  // its first refresh, by the slot's starting values
  for (int i = 0; i < 3; ++i) {
    SceneFrame();
    const float turn = Hud()->GetSlot(0)->rotation;
    EXPECT_TRUE(std::isfinite(turn));
    EXPECT_FLOAT_EQ(turn, 0.0f);
  }
}

}  // namespace
