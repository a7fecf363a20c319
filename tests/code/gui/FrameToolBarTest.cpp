// The tool bar: its widgets, the marks of the GUI manager's flags and their glows,
// folding the list out and in, the tutorials and the screens behind the buttons.
#include "code/gui/GuiFrameTesting.h"

#include "Managers/GameSessionManager.h"
#include "Managers/TutorialManager.h"
#include "entities/PlayerStats.h"
#include "gui/FrameMap.h"
#include "gui/FrameToolBar.h"
#include "support/ScratchDataFolder.h"

#include "engine/core/VScriptManager.h"

#include <string>
#include <vector>

namespace {

const char* const kTutorials[] = {"str_TUTORIAL_ACTION_MENU_PART1", "str_TUTORIAL_ACTION_MENU_PART2",
                                  "str_TUTORIAL_ACTION_MENU_PART3", "str_TUTORIAL_ACTION_MENU_PART4",
                                  "str_TUTORIAL_ACTION_MENU_PART5"};

class FrameToolBarTest : public GuiFrameTest {
 protected:
  void SetUp() override {
    GuiFrameTest::SetUp();
    gui->ShowToolbar();
    toolbar = gui->GetToolbar();
    ASSERT_NE(toolbar, nullptr);
    ASSERT_NE(toolbar->GetList(), nullptr);
  }
  void TearDown() override {
    gui->ClearExclamations();
    GuiFrameTest::TearDown();
    TutorialManager::CleanInstance();
    GameSessionManager::CleanInstance();
  }
  CEGUI::Window* Button(FrameToolBar::Button button) { return toolbar->GetButton(button); }
  bool ListShown() { return toolbar->GetList()->isVisible(); }
  bool MarkShown(FrameToolBar::Button button) {
    const bool mark = toolbar->GetExclamation(button)->isVisible();
    EXPECT_EQ(toolbar->GetGlow(button)->isVisible(), mark) << "mark and glow go together";
    return mark;
  }
  // Options clicked, and the fold-out run to its end.
  void Unfold() {
    if (!ListShown()) Click(Button(FrameToolBar::kOptions));
    for (int i = 0; i < 5; ++i) SceneFrame();
    ASSERT_TRUE(ListShown());
  }

  FrameToolBar* toolbar = nullptr;
};

TEST_F(FrameToolBarTest, ShowToolbarMakesTheFoldedBarWithItsButtonsAndNoMarks) {
  EXPECT_FALSE(ListShown());
  for (int id = FrameToolBar::kOptions; id <= FrameToolBar::kSkull; ++id) {
    const auto button = (FrameToolBar::Button)id;
    ASSERT_NE(Button(button), nullptr) << id;
    EXPECT_EQ((int)Button(button)->getID(), id);
    ASSERT_NE(toolbar->GetExclamation(button), nullptr) << id;
    ASSERT_NE(toolbar->GetGlow(button), nullptr) << id;
    EXPECT_FALSE(MarkShown(button)) << id;
  }
  // Folded, every button but the options button is out of the player's reach.
  EXPECT_TRUE(Button(FrameToolBar::kOptions)->isEffectiveVisible());
  EXPECT_FALSE(Button(FrameToolBar::kPlayer)->isEffectiveVisible());
  SceneFrame();
  ExpectNoCeguiFailure();
}

TEST_F(FrameToolBarTest, ALevelUpMarksOptionsUntilTheListFoldsOutThenThePlayerButton) {
  toolbar->LevelUp();
  EXPECT_TRUE(gui->GetExclamationForButton(0));
  SceneFrame();
  EXPECT_TRUE(MarkShown(FrameToolBar::kOptions));
  EXPECT_TRUE(MarkShown(FrameToolBar::kPlayer));
  EXPECT_FALSE(MarkShown(FrameToolBar::kLog));

  // The options glow pulses between 0 and 1 and never goes negative.
  CEGUI::Window* glow = toolbar->GetGlow(FrameToolBar::kOptions);
  float lowest = 1.0f, highest = 0.0f;
  for (int i = 0; i < 20; ++i) {
    SceneFrame();
    lowest = std::min(lowest, glow->getAlpha());
    highest = std::max(highest, glow->getAlpha());
  }
  EXPECT_EQ(lowest, 0.0f);
  EXPECT_GT(highest, 0.9f);

  Unfold();
  EXPECT_FALSE(MarkShown(FrameToolBar::kOptions));
  EXPECT_TRUE(MarkShown(FrameToolBar::kPlayer));
  EXPECT_TRUE(toolbar->GetExclamation(FrameToolBar::kPlayer)->isEffectiveVisible());

  // A new mission marks the log button as well; the player's mark stays until its
  // flag is cleared.
  toolbar->NewMission();
  SceneFrame();
  EXPECT_TRUE(MarkShown(FrameToolBar::kLog));
  gui->SetExclamationForButton(0, false);
  SceneFrame();
  EXPECT_FALSE(MarkShown(FrameToolBar::kPlayer));
  EXPECT_TRUE(MarkShown(FrameToolBar::kLog));
  ExpectNoCeguiFailure();
}

TEST_F(FrameToolBarTest, TheMarksWaitForTheButtonList) {
  // A tool bar whose layout gave no list sets no flag.
  FrameToolBar bare;
  bare.LevelUp();
  bare.NewMission();
  EXPECT_FALSE(gui->GetExclamationForButton(0));
  EXPECT_FALSE(gui->GetExclamationForButton(3));
}

TEST_F(FrameToolBarTest, ThePlayersLevelUpGoesThroughTheToolBar) {
  ScratchDataFolder data;
  data.Write("scripts/Game.lua",
             "local t = {0, 10, 20, 30, 40}\n"
             "function GetLevelCount(self) return #t - 1 end\n"
             "function GetLevelExp(level) return t[level + 1] end\n");
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  ASSERT_NE(scripts, nullptr);
  IVScriptInstance* game = scripts->CreateScriptInstanceFromFile("scripts/Game.lua");
  ASSERT_NE(game, nullptr);
  scripts->SetGameScript(game);
  GameSessionManager::CleanInstance();
  PlayerStats player;
  player.AddExperience(25);  // level 2: no skill to choose yet
  EXPECT_FALSE(gui->GetExclamationForButton(0));
  player.AddExperience(10);  // level 3
  ASSERT_TRUE(player.IsLevelUp());
  EXPECT_TRUE(gui->GetExclamationForButton(0));
  scripts->SetGameScript(nullptr);
}

TEST_F(FrameToolBarTest, TwoQuickClicksFoldOutAndInAndTheListHidesAfterTheFoldIn) {
  CEGUI::Window* options = Button(FrameToolBar::kOptions);
  Click(options);
  EXPECT_TRUE(ListShown());
  EXPECT_EQ(toolbar->GetClosingTimer(), FrameToolBar::kKeepOpen);
  SceneFrame();
  // Kept open for as long as the player likes.
  for (int i = 0; i < 10; ++i) SceneFrame();
  EXPECT_TRUE(ListShown());
  EXPECT_EQ(Button(FrameToolBar::kSkull)->getAlpha(), 1.0f);

  Click(options);
  const float duration = toolbar->GetClosingTimer();
  EXPECT_FLOAT_EQ(duration, 0.4f) << "the length of RudderOut_5th";
  // Folding in reverse: the skull button goes first, the player button last.
  SceneFrame();
  SceneFrame();
  EXPECT_LT(Button(FrameToolBar::kSkull)->getAlpha(), Button(FrameToolBar::kPlayer)->getAlpha());
  EXPECT_TRUE(ListShown()) << "still folding in";
  SceneFrame();
  EXPECT_TRUE(ListShown());
  for (int i = 0; i < 3; ++i) SceneFrame();
  EXPECT_FALSE(ListShown());
  EXPECT_EQ(Button(FrameToolBar::kPlayer)->getAlpha(), 0.0f);

  // Out again: the buttons come back.
  Unfold();
  EXPECT_EQ(Button(FrameToolBar::kPlayer)->getAlpha(), 1.0f);
  ExpectNoCeguiFailure();
}

TEST_F(FrameToolBarTest, EveryClickAsksForTheFiveActionMenuTutorials) {
  TutorialManager* tutorials = TutorialManager::GetInstance();
  Click(Button(FrameToolBar::kOptions));
  const std::vector<VString> expected(std::begin(kTutorials), std::end(kTutorials));
  EXPECT_EQ(tutorials->GetQueue(), expected);
  EXPECT_TRUE(gui->IsWindowVisible(WT_TUTORIAL));

  // Seen pages are the tutorial manager's concern: released, they are not shown again.
  tutorials->ReleaseQueue();
  Click(Button(FrameToolBar::kOptions));
  EXPECT_TRUE(tutorials->GetQueue().empty());
}

struct ButtonCase {
  FrameToolBar::Button button;
  WINDOW_TYPES opens;
  bool built;  // the screen exists in this game yet
};

TEST_F(FrameToolBarTest, EachButtonFoldsTheListInAndOpensItsScreen) {
  gui->ShowFrame(WT_FADE_OUT);
  const ButtonCase cases[] = {{FrameToolBar::kPlayer, WT_CHARACTER_SCREEN, false},
                              {FrameToolBar::kTreasure, WT_INVENTORY, false},
                              {FrameToolBar::kMap, WT_MAP, true},
                              {FrameToolBar::kLog, WT_CAPTAINS_LOG, true},
                              {FrameToolBar::kSkull, WT_INGAME_MENU, true}};
  for (const ButtonCase& c : cases) {
    SCOPED_TRACE(c.button);
    // The tutorials are not in the way of this test.
    TutorialManager::GetInstance()->Disable();
    Unfold();
    Click(Button(c.button));
    EXPECT_GT(toolbar->GetClosingTimer(), 0.0f) << "folding in";
    EXPECT_EQ(gui->IsWindowVisible(c.opens), c.built);
    if (!c.built) {
      EXPECT_EQ(gui->FindWindowA(c.opens), nullptr);
    }
    // Long enough for the list to fold in and for the screen to slide in.
    for (int i = 0; i < 15; ++i) SceneFrame();
    EXPECT_FALSE(ListShown());
  }
  // The in-game menu is not among the closables; the map and the log were closed
  // by the buttons after them.
  EXPECT_EQ(gui->FindWindowA(WT_MAP), nullptr);
  EXPECT_EQ(gui->FindWindowA(WT_CAPTAINS_LOG), nullptr);
  gui->CloseWindow(WT_INGAME_MENU, true);

  // The map button opens the map on top, and closes it when it is open.
  Unfold();
  Click(Button(FrameToolBar::kMap));
  auto* map = dynamic_cast<FrameMap*>(gui->FindWindowA(WT_MAP));
  ASSERT_NE(map, nullptr);
  EXPECT_TRUE(map->IsOpen());
  EXPECT_TRUE(gui->WantsGamePause());
  Unfold();
  Click(Button(FrameToolBar::kMap));
  EXPECT_FALSE(map->IsOpen());
  EXPECT_FALSE(gui->WantsGamePause());
  SceneFrame();
  EXPECT_EQ(gui->FindWindowA(WT_MAP), nullptr);
  ExpectNoCeguiFailure();
}

}  // namespace
