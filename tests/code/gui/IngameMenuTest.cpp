// The in-game menu: the full pause it holds from opening to closing, which of Save
// and Load it offers, what each button does, and how Escape opens and closes it.
#include "code/gui/GuiFrameTesting.h"

#include "Managers/SpeechManager.h"
#include "Managers/TutorialManager.h"
#include "core/VisMainApp.h"
#include "gui/FrameIngameMenu.h"
#include "gui/VideoPlayer.h"

#include <string>

namespace {

const char* const kDimmedLight = "tl:FFCCCCCC tr:FFCCCCCC bl:FFCCCCCC br:FFCCCCCC";
const char* const kDimmedDark = "tl:FF000000 tr:FF000000 bl:FF000000 br:FF000000";

class IngameMenuTest : public GuiFrameTest {
 protected:
  void SetUp() override {
    GuiFrameTest::SetUp();
    GameManager::GetInstance()->SetLocation(0);  // the world map
    // The game's screen under the menu.
    gui->ShowFrame(WT_FADE_OUT);
    ASSERT_NE(gui->GetCurrentFrame(), nullptr);
  }
  void TearDown() override {
    TutorialManager::CleanInstance();
    GameManager::GetInstance()->SetLocation(0);
    GuiFrameTest::TearDown();
  }

  static void Escape() { Key(VGLK_ESC, 0x01); }
  static void EscapeDown() {
    VInputCallbackDataObject down(&VInputCallbacks::OnKeyDown, VGLK_ESC, 0x01, 0);
    VInputCallbacks::OnKeyDown.TriggerCallbacks(&down);
  }
  static void EscapeUp() {
    VInputCallbackDataObject up(&VInputCallbacks::OnKeyUp, VGLK_ESC, 0x01, 0);
    VInputCallbacks::OnKeyUp.TriggerCallbacks(&up);
  }

  FrameIngameMenu* Open() {
    EXPECT_FALSE(gui->IsWindowVisible(WT_INGAME_MENU));
    Escape();
    auto* menu = dynamic_cast<FrameIngameMenu*>(gui->FindWindowA(WT_INGAME_MENU));
    EXPECT_NE(menu, nullptr);
    EXPECT_TRUE(gui->IsWindowVisible(WT_INGAME_MENU));
    return menu;
  }
  CEGUI::Window* Widget(const char* name) {
    BaseWindow* menu = gui->FindWindowA(WT_INGAME_MENU);
    return menu ? menu->GetComponent(name) : nullptr;
  }
  std::string Colours(const char* label) {
    CEGUI::Window* window = Widget(label);
    if (!window || !window->isPropertyPresent("TextColours")) return "";
    return window->getProperty("TextColours").c_str();
  }
  bool Enabled(const char* button) {
    CEGUI::Window* window = Widget(button);
    return window && !window->isDisabled();
  }
  static bool FullPaused() { return PauseManager::GetInstance()->IsFullPaused(); }
  void EscapeClosesTheMenuAndThePause() {
    Escape();
    EXPECT_FALSE(gui->IsWindowVisible(WT_INGAME_MENU));
    env.Frame();
    EXPECT_EQ(gui->FindWindowA(WT_INGAME_MENU), nullptr);
    EXPECT_FALSE(FullPaused());
    EXPECT_FALSE(gui->IsWindowVisible(WT_PAUSE));
  }
};

TEST_F(IngameMenuTest, SaveOnlyOnTheWorldMapOutsideConversationsLoadOnlyWithASave) {
  struct Case {
    int location;
    bool talking;
    bool save;
  };
  const Case cases[] = {{0, false, true}, {0, true, false}, {1, false, false}, {2, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "location " << c.location << (c.talking ? " talking" : ""));
    GameManager::GetInstance()->SetLocation(c.location);
    if (c.talking)
      SpeechManager::GetInstance()->StartConversation(nullptr, VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0), false);
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(Enabled("IngameMenu/ButtonSave"), c.save);
    if (!c.save) {
      EXPECT_EQ(Colours("IngameMenu/ButtonSave/TextSave1"), kDimmedLight);
      EXPECT_EQ(Colours("IngameMenu/ButtonSave/TextSave"), kDimmedDark);
    }
    // No save on disk: Load is off and dimmed wherever the player is.
    EXPECT_FALSE(Enabled("IngameMenu/ButtonLoad"));
    EXPECT_EQ(Colours("IngameMenu/ButtonLoad/TextLoad1"), kDimmedLight);
    EXPECT_EQ(Colours("IngameMenu/ButtonLoad/TextLoad"), kDimmedDark);
    gui->CloseWindow(WT_INGAME_MENU, true);
    if (c.talking) {
      SpeechManager::GetInstance()->EndConversation();
      // Escape waits a moment after a conversation.
      for (int i = 0; i < 200 && gui->WaitAfterConversation(); ++i) {
        env.Frame();
        gui->UpdateDelayAfterConversation();
      }
      EXPECT_FALSE(gui->WaitAfterConversation());
    }
  }
  ExpectNoCeguiFailure();
}

TEST_F(IngameMenuTest, FullPauseLastsWhileOptionsSaveOrLoadAreOpenAboveIt) {
  ASSERT_NE(Open(), nullptr);
  EXPECT_TRUE(FullPaused());
  EXPECT_TRUE(gui->IsWindowVisible(WT_PAUSE));

  Click(Widget("IngameMenu/ButtonSave"));
  EXPECT_TRUE(gui->IsSaveWindowSelected());
  EXPECT_TRUE(gui->IsWindowVisible(WT_SAVE_LOAD));
  env.Frame();
  EXPECT_TRUE(FullPaused());
  // Escape over the save screen closes it alone.
  Escape();
  env.Frame();
  EXPECT_EQ(gui->FindWindowA(WT_SAVE_LOAD), nullptr);
  EXPECT_TRUE(gui->IsWindowVisible(WT_INGAME_MENU));
  EXPECT_TRUE(FullPaused());
  Click(Widget("IngameMenu/ButtonLoad"));  // disabled without a save: the flag stays
  EXPECT_TRUE(gui->IsSaveWindowSelected());

  Click(Widget("IngameMenu/ButtonOptions"));
  ASSERT_NE(gui->FindWindowA(WT_OPTIONS), nullptr);
  for (int i = 0; i < 5; ++i) env.Frame();
  EXPECT_TRUE(gui->IsWindowVisible(WT_INGAME_MENU));
  EXPECT_TRUE(FullPaused());
  if (!gui->FindWindowA(WT_OPTIONS)->GetRootWindow()) GTEST_SKIP() << "the options screen has no layout yet";
  EXPECT_TRUE(gui->IsWindowVisible(WT_OPTIONS));

  // Escape pressed over both leaves both; released, it closes only the options.
  EscapeDown();
  EXPECT_TRUE(gui->IsWindowVisible(WT_INGAME_MENU));
  EXPECT_TRUE(gui->IsWindowVisible(WT_OPTIONS));
  EscapeUp();
  env.Frame();
  EXPECT_FALSE(gui->IsWindowVisible(WT_OPTIONS));
  EXPECT_TRUE(gui->IsWindowVisible(WT_INGAME_MENU));
  EXPECT_TRUE(FullPaused());

  // The next Escape closes the menu, and the pause ends with it.
  EscapeClosesTheMenuAndThePause();
  ExpectNoCeguiFailure();
}

TEST_F(IngameMenuTest, ResumeTutorialsAndBothExitsEndThePause) {
  struct Case {
    const char* button;
    bool exits;
    bool toWindows;
  };
  const Case cases[] = {{"IngameMenu/ButtonResume", false, false},
                        {"IngameMenu/ButtonTutorials", false, false},
                        {"IngameMenu/ButtonExit", true, false},
                        {"IngameMenu/ButtonExitToWindows", true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    gui->ShowFrame(WT_FADE_OUT);
    ASSERT_NE(Open(), nullptr);
    ASSERT_TRUE(FullPaused());
    SpeechManager::GetInstance();
    log.Clear();

    Click(Widget(c.button));
    EXPECT_FALSE(gui->IsWindowVisible(WT_INGAME_MENU));
    env.Frame();
    EXPECT_EQ(gui->FindWindowA(WT_INGAME_MENU), nullptr);
    EXPECT_FALSE(FullPaused());
    EXPECT_FALSE(gui->IsWindowVisible(WT_PAUSE));

    EXPECT_EQ(log.Contains("MissionManager::EndCampaign(1, 0)"), c.exits);
    EXPECT_EQ(gui->IsLoadingScreenVisible(), c.exits);
    EXPECT_EQ(SpeechManager::HasInstance(), !c.exits);
    EXPECT_EQ(gui->IsExitingToWindows(), c.toWindows);
    // Every other frame went with the exits; Resume leaves the game's screen.
    EXPECT_EQ(gui->IsWindowVisible(WT_FADE_OUT), !c.exits);
    if (c.exits) gui->HideLoadingScreen(5.0f, 0.0f);
    for (int i = 0; i < 50 && gui->IsLoadingScreenVisible(); ++i) env.Frame();
    ASSERT_FALSE(gui->IsLoadingScreenVisible());
  }
  EXPECT_TRUE(TutorialManager::GetInstance()->IsReplayingTutorials());
}

TEST_F(IngameMenuTest, EscapeTogglesTheMenuButNotDuringTheConversationDelay) {
  gui->SetDelayAfterConversation();
  Escape();
  EXPECT_EQ(gui->FindWindowA(WT_INGAME_MENU), nullptr);
  // The delay runs down with the frames (1 s at 0.1 s a frame).
  for (int i = 0; i < 11; ++i) {
    env.Frame();
    gui->UpdateDelayAfterConversation();
  }
  ASSERT_FALSE(gui->WaitAfterConversation());
  ASSERT_NE(Open(), nullptr);

  // Nor does the delay close an open menu.
  gui->SetDelayAfterConversation();
  Escape();
  EXPECT_TRUE(gui->IsWindowVisible(WT_INGAME_MENU));
  EXPECT_TRUE(FullPaused());

  // Afterwards Escape closes it, and the pause ends with the frame.
  for (int i = 0; i < 11; ++i) {
    env.Frame();
    gui->UpdateDelayAfterConversation();
  }
  EscapeClosesTheMenuAndThePause();
}

TEST_F(IngameMenuTest, EscapeReleasedClosesTheJokeButNotTheMenu) {
  ASSERT_NE(Open(), nullptr);
  BaseWindow* joke = gui->GetWindow(WT_JOKE_IN_BOTTLE);
  gui->ShowWindow(joke, nullptr);
  ASSERT_TRUE(gui->IsWindowVisible(WT_JOKE_IN_BOTTLE));
  // Pressed it would close the menu; released alone it closes the closables only.
  EscapeUp();
  EXPECT_FALSE(gui->IsWindowVisible(WT_JOKE_IN_BOTTLE));
  EXPECT_TRUE(gui->IsWindowVisible(WT_INGAME_MENU));
  env.Frame();
  EXPECT_EQ(gui->FindWindowA(WT_JOKE_IN_BOTTLE), nullptr);
}

TEST_F(IngameMenuTest, AnEscapeThatSkipsAVideoDoesNotOpenTheMenu) {
  VisMainApp::GetInstance();
  static int pass;
  pass = 0;
  // Pressed during the video, released once it has ended.
  VisionApp_cl::SetEventPump([](VisionApp_cl&) {
    if (++pass == 3) Vision::Key.InjectKey(VGLK_ESC, 0x01, true);
  });
  {
    VideoPlayer_cl player;
    EXPECT_EQ(player.PlayVideo("cutscenes/intro_movie.wmv"), 1);
    EXPECT_LT(player.GetPosition(), player.GetDuration());
  }
  VisionApp_cl::SetEventPump(nullptr);
  Vision::Key.InjectKey(VGLK_ESC, 0x01, false);
  env.Frame();
  EXPECT_EQ(gui->FindWindowA(WT_INGAME_MENU), nullptr);
  EXPECT_FALSE(PauseManager::GetInstance()->IsFullPaused());
  VisMainApp::CleanInstance();
}

}  // namespace
