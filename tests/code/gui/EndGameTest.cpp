// The end-of-battle frame: its texts for each outcome, and the way back to the
// main menu by the button or Return only.
#include "code/gui/GuiFrameTesting.h"

#include "Managers/BattleManager.h"
#include "gui/FrameEndGame.h"

#include <string>

namespace {

class EndGameTest : public GuiFrameTest {
 protected:
  FrameEndGame* Open() {
    gui->ShowFrame(WT_END_GAME);
    return Get<FrameEndGame>(WT_END_GAME);
  }
  void TearDown() override {
    BattleManager::CleanInstance();
    GuiFrameTest::TearDown();
  }
};

TEST_F(EndGameTest, TellsTheOutcomeAndBothCounts) {
  FrameEndGame* frame = Open();
  ASSERT_NE(frame, nullptr);
  CEGUI::Window* text = frame->GetComponent("EndGame/EndText");
  ASSERT_NE(text, nullptr);
  struct Case {
    unsigned player, enemy;
    const char* expected;
  };
  const Case cases[] = {
      {3, 1, "Battle over!\nThe Player won the battle\n\n\nPlayer ships left: 3\nEnemy ships left: 1\n\n"},
      {0, 0, "Battle over!\nThe Battle was tie\n\n\nPlayer ships left: 0\nEnemy ships left: 0\n\n"},
      {1, 4, "Battle over!\nThe Enemy won the battle\n\n\nPlayer ships left: 1\nEnemy ships left: 4\n\n"},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(frame->SetBattleEndText(c.player, c.enemy));
    EXPECT_EQ(std::string(text->getText().c_str()), c.expected);
  }
  ExpectNoCeguiFailure();
}

TEST_F(EndGameTest, ReturnEndsTheBattleAndShowsTheMainMenuOtherKeysDoNot) {
  ASSERT_NE(Open(), nullptr);
  BattleManager::GetInstance()->StartBattle();
  // Space, Escape's scan code and a letter leave the frame where it is.
  for (int scanCode : {0x39, 0x01, 0x1E}) Key(-1, scanCode);
  env.Frame();
  ASSERT_TRUE(gui->IsWindowVisible(WT_END_GAME));
  EXPECT_TRUE(BattleManager::GetInstance()->IsBattleActive());

  Key(VGLK_ENTER, 0x1C);
  EXPECT_FALSE(BattleManager::GetInstance()->IsBattleActive());
  EXPECT_FALSE(gui->IsWindowVisible(WT_END_GAME));
  env.Frame();
  EXPECT_EQ(gui->FindWindowA(WT_END_GAME), nullptr);
  ExpectNoCeguiFailure();
  BaseWindow* menu = gui->FindWindowA(WT_MAIN_MENU);
  ASSERT_NE(menu, nullptr);
  if (!menu->GetRootWindow()) GTEST_SKIP() << "the main menu has no layout yet";
  EXPECT_EQ(gui->GetCurrentFrame(), menu);
}

TEST_F(EndGameTest, TheButtonDoesWhatReturnDoes) {
  FrameEndGame* frame = Open();
  ASSERT_NE(frame, nullptr);
  Click(frame->GetComponent("EndGame/ButtonReturn"));
  env.Frame();
  EXPECT_EQ(gui->FindWindowA(WT_END_GAME), nullptr);
  BaseWindow* menu = gui->FindWindowA(WT_MAIN_MENU);
  ASSERT_NE(menu, nullptr);
  if (!menu->GetRootWindow()) GTEST_SKIP() << "the main menu has no layout yet";
  EXPECT_EQ(gui->GetCurrentFrame(), menu);
}

}  // namespace
