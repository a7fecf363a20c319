// The yes/no pop-up: default texts, the answers and their callbacks, the
// count-down, the pause it holds, and callbacks of a frame deleted first.
#include "code/gui/GuiFrameTesting.h"

#include "Managers/LocalizationTable.h"
#include "gui/FrameYesNoPopUp.h"

namespace {

// A screen that asks the question and counts the answers.
class AskingFrame : public BaseWindow {
 public:
  AskingFrame() : BaseWindow(WT_FADE_OUT, "FadeOut.layout") {}
  bool Yes(const CEGUI::EventArgs&) { return ++yes > 0; }
  bool No(const CEGUI::EventArgs&) { return ++no > 0; }
  void Ask(FrameYesNoPopUp* popup) {
    popup->SetYesButtonFunction(CEGUI::Event::Subscriber(&AskingFrame::Yes, this));
    popup->SetNoButtonFunction(CEGUI::Event::Subscriber(&AskingFrame::No, this));
    popup->SetCallbackOwner(this);
  }
  int yes = 0;
  int no = 0;
};

class YesNoPopUpTest : public GuiFrameTest {
 protected:
  FrameYesNoPopUp* Open() {
    gui->ShowFrame(WT_FADE_OUT);
    auto* popup = Get<FrameYesNoPopUp>(WT_YES_NO_POPUP);
    if (popup) gui->ShowWindow(popup, nullptr);
    return popup;
  }
  std::string Text(FrameYesNoPopUp* popup, const char* widget) {
    return popup->GetComponent(widget)->getText().c_str();
  }
  std::string Keep(int seconds) {
    return LocalizationTable::GetInstance()->GetText("str_VIDEOMODE_KEEP_CHANGES", seconds).c_str();
  }
};

TEST_F(YesNoPopUpTest, OpensWithTheDefaultTextsAndPausesTheGame) {
  FrameYesNoPopUp* popup = Open();
  ASSERT_NE(popup, nullptr);
  LocalizationTable* texts = LocalizationTable::GetInstance();
  EXPECT_EQ(Text(popup, "YesNoPopUp/Window/Header"), texts->GetText("str_CONFIRMATION").c_str());
  EXPECT_EQ(Text(popup, "YesNoPopUp/Window/Message"), texts->GetText("str_ARE_YOU_SURE").c_str());
  EXPECT_EQ(Text(popup, "YesNoPopUp/Window/BtnYes"), texts->GetText("str_YES").c_str());
  EXPECT_EQ(Text(popup, "YesNoPopUp/Window/BtnNo"), texts->GetText("str_NO").c_str());
  EXPECT_TRUE(PauseManager::GetInstance()->IsGamePaused());

  popup->InitPopUpWindow("Title", "Question", "Sure", "Never");
  EXPECT_EQ(Text(popup, "YesNoPopUp/Window/Message"), "Question");
  EXPECT_EQ(Text(popup, "YesNoPopUp/Window/BtnNo"), "Never");

  // Without a count-down it waits for an answer for ever.
  for (int i = 0; i < 100; ++i) env.Frame();
  EXPECT_TRUE(gui->IsWindowVisible(WT_YES_NO_POPUP));
  EXPECT_TRUE(PauseManager::GetInstance()->IsGamePaused());
  ExpectNoCeguiFailure();
}

TEST_F(YesNoPopUpTest, EachButtonCallsItsOwnCallbackAndCloses) {
  for (const char* button : {"YesNoPopUp/Window/BtnYes", "YesNoPopUp/Window/BtnNo"}) {
    AskingFrame screen;
    FrameYesNoPopUp* popup = Open();
    ASSERT_NE(popup, nullptr);
    screen.Ask(popup);
    popup->SetCountDown(30.0f);
    env.Frame();
    Click(popup->GetComponent(button));
    const bool yes = std::string(button).find("BtnYes") != std::string::npos;
    EXPECT_EQ(screen.yes, yes ? 1 : 0) << button;
    EXPECT_EQ(screen.no, yes ? 0 : 1) << button;
    EXPECT_FALSE(gui->IsWindowVisible(WT_YES_NO_POPUP));
    // Closing it gives the game back, since nothing else holds the pause.
    EXPECT_FALSE(PauseManager::GetInstance()->IsGamePaused());
    env.Frame();
    EXPECT_EQ(gui->FindWindowA(WT_YES_NO_POPUP), nullptr);
    EXPECT_EQ(screen.yes + screen.no, 1);
  }
}

TEST_F(YesNoPopUpTest, ClosingItKeepsThePauseAnotherFrameHolds) {
  FrameYesNoPopUp* popup = Open();
  ASSERT_NE(popup, nullptr);
  gui->ShowLoadingScreen();
  popup->ButtonNoClicked(CEGUI::EventArgs());
  EXPECT_TRUE(popup->isRequestingRemove());
  EXPECT_TRUE(PauseManager::GetInstance()->IsGamePaused());
}

class YesNoCountDownTest : public YesNoPopUpTest {
 protected:
  YesNoCountDownTest() { timeStep = 0.25f; }
};

TEST_F(YesNoCountDownTest, ShowsWholeSecondsThenAnswersNo) {
  AskingFrame screen;
  FrameYesNoPopUp* popup = Open();
  ASSERT_NE(popup, nullptr);
  screen.Ask(popup);
  popup->SetCountDown(3.0f);

  std::vector<std::string> shown;
  int frames = 0;
  while (frames < 100) {
    env.Frame();
    ++frames;
    // The answer closes the pop-up, which is deleted after that frame's update.
    if (screen.no > 0) break;
    const std::string text = Text(popup, "YesNoPopUp/Window/Message");
    if (shown.empty() || shown.back() != text) shown.push_back(text);
  }
  EXPECT_EQ(shown, (std::vector<std::string>{Keep(2), Keep(1), Keep(0)}));
  // 3 s run down in 12 steps, the 13th goes below 0 (still reading 0) and the
  // one after it answers No.
  EXPECT_EQ(frames, 14);
  EXPECT_EQ(screen.yes, 0);
  EXPECT_EQ(gui->FindWindowA(WT_YES_NO_POPUP), nullptr);
}

TEST_F(YesNoPopUpTest, ACallbackOwnerDeletedFirstIsNeverCalled) {
  FrameYesNoPopUp* popup = Open();
  ASSERT_NE(popup, nullptr);
  auto* screen = new AskingFrame();
  screen->Ask(popup);
  popup->SetCountDown(0.5f);
  // The asking screen is closed (Enter, Escape) while the pop-up is still open.
  delete screen;
  EXPECT_EQ(popup->GetCallbackOwner(), nullptr);
  EXPECT_TRUE(popup->isRequestingRemove());
  // Neither a late click nor the count-down reaches the deleted screen.
  popup->ButtonYesClicked(CEGUI::EventArgs());
  popup->ButtonNoClicked(CEGUI::EventArgs());
  for (int i = 0; i < 10; ++i) env.Frame();
  EXPECT_EQ(gui->FindWindowA(WT_YES_NO_POPUP), nullptr);
  EXPECT_FALSE(PauseManager::GetInstance()->IsGamePaused());

  // Another frame's deletion leaves a pop-up's callbacks alone.
  AskingFrame owner;
  popup = Open();
  owner.Ask(popup);
  delete new AskingFrame();
  EXPECT_EQ(popup->GetCallbackOwner(), &owner);
  Click(popup->GetComponent("YesNoPopUp/Window/BtnYes"));
  EXPECT_EQ(owner.yes, 1);
}

}  // namespace
