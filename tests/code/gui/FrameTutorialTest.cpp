// The tutorial window over the bundled tutorial pages: the first page asked for
// with the count of the queue, its voice after the opening (the other sounds
// lowered meanwhile), the next page when the voice ends unless the player paged,
// closing as seen (or tutorials off), and leaving with the main menu or unasked.
#include "GuiFrameTesting.h"

#include "Managers/LocalizationTable.h"
#include "Managers/MusicManager.h"
#include "Managers/SoundManager.h"
#include "Managers/TutorialManager.h"
#include "engine/sound/VSoundManager.h"
#include "engine/sound/VSoundObject.h"
#include "engine/sound/VSoundResource.h"
#include "gui/FrameTutorial.h"

#include <string>

namespace {

const char* const kColony[] = {"str_TUTORIAL_COLONY_PART1", "str_TUTORIAL_COLONY_PART2", "str_TUTORIAL_COLONY_PART3",
                               "str_TUTORIAL_COLONY_PART4", "str_TUTORIAL_COLONY_PART5"};

class FrameTutorialTest : public GuiFrameTest {
 protected:
  void SetUp() override {
    GuiFrameTest::SetUp();
    VSoundManager::GlobalManager().SetInitialized(true);
    tutorials = TutorialManager::GetInstance();
    ASSERT_EQ(tutorials->GetTutorialCount(), 15) << "the bundled pages";
  }
  void TearDown() override {
    GuiFrameTest::TearDown();
    TutorialManager::CleanInstance();
    LocalizationTable::CleanInstance();
    VSoundManager::GlobalManager().SetInitialized(false);
  }

  // Entering a colony asks for its five pages.
  void AskForTheColonyPages() {
    for (const char* page : kColony) tutorials->ShowTutorial(page);
  }
  FrameTutorial* Window() { return dynamic_cast<FrameTutorial*>(gui->FindWindowA(WT_TUTORIAL)); }
  CEGUI::String Text(const char* widget) {
    CEGUI::Window* window = Window() ? Window()->GetComponent(widget) : nullptr;
    return window ? window->getText() : CEGUI::String("<none>");
  }
  static CEGUI::String Count(int index, int length) {
    return "[font='SketchHeavyRegular-13'][colour='FF98D4F3']" + std::to_string(index) + "/" + std::to_string(length);
  }
  static float Music() { return MusicManager::GetInstance()->GetLoweringFactor(); }
  static float Sounds() { return SoundManager::GetInstance()->GetConversationFactor(); }
  // Frames until the window speaks; false when it does not within the time.
  bool UntilTheVoice(int maxFrames = 40) {
    for (int i = 0; i < maxFrames; ++i) {
      if (Window() && Window()->GetVoice()) return true;
      SceneFrame();
    }
    return Window() && Window()->GetVoice();
  }
  // Frames while the voice plays.
  void UntilTheVoiceEnds() {
    for (int i = 0; i < 40 && Window() && Window()->GetVoice(); ++i) SceneFrame();
  }
  CEGUI::Window* Widget(const char* name) { return Window() ? Window()->GetComponent(name) : nullptr; }
  bool Ticked() { return dynamic_cast<CEGUI::ToggleButton*>(Widget("Tutorial/Window/CheckShowTutorials"))->isSelected(); }

  TutorialManager* tutorials = nullptr;
};

TEST_F(FrameTutorialTest, ShowsTheFirstPageAskedForAndCountsTheQueue) {
  AskForTheColonyPages();
  tutorials->ShowTutorial(kColony[0]);
  ASSERT_NE(Window(), nullptr);
  EXPECT_TRUE(gui->IsWindowVisible(WT_TUTORIAL));
  LocalizationTable* texts = LocalizationTable::GetInstance();
  EXPECT_EQ(Text("Tutorial/Window/LabelTitle"),
            "[font='SketchHeavyRegular-17'][colour='FF98D4F3']" + texts->GetText("str_TUTORIAL_COLONY_TITLE"));
  EXPECT_EQ(Text("Tutorial/Window/LabelText"), texts->GetText(kColony[0]));
  EXPECT_EQ(Text("Tutorial/Window/LabelTutorialCount"), Count(1, 5)) << "asked twice, queued once";
  EXPECT_TRUE(Ticked());
  EXPECT_EQ(Window()->GetVoiceKey(), "str_TUTORIAL_COLONY_PART1_VO");
  EXPECT_FLOAT_EQ(Window()->GetVoiceDelay(), 1.0f) << "the opening animation's length";
  EXPECT_FLOAT_EQ(Music(), 0.25f);
  EXPECT_FLOAT_EQ(Sounds(), 0.25f);

  // A page asked for meanwhile waits its turn; the page shown stays.
  tutorials->ShowTutorial("str_TUTORIAL_HERO_PART1");
  EXPECT_EQ(Window()->GetCurrentIdentifier(), kColony[0]);
  EXPECT_EQ(Text("Tutorial/Window/LabelTutorialCount"), Count(1, 6));

  // Close shrinks under the mouse and grows back.
  const CEGUI::String close = texts->GetText("str_CLOSE");
  EXPECT_EQ(Text("Tutorial/Window/ButtonClose/Text"), "[font='Woodstamp-20']" + close);
  CEGUI::Window* button = Widget("Tutorial/Window/ButtonClose");
  CEGUI::WindowEventArgs hover(button);
  button->fireEvent(CEGUI::Window::EventMouseEntersArea, hover);
  EXPECT_EQ(Text("Tutorial/Window/ButtonClose/Text"), "[font='Woodstamp-18']" + close);
  EXPECT_EQ(Text("Tutorial/Window/ButtonClose/Text1"), "[font='Woodstamp-18']" + close);
  button->fireEvent(CEGUI::Window::EventMouseLeavesArea, hover);
  EXPECT_EQ(Text("Tutorial/Window/ButtonClose/Text1"), "[font='Woodstamp-20']" + close);
  SceneFrame();
  ExpectNoCeguiFailure();
}

TEST_F(FrameTutorialTest, WhenTheVoiceEndsTheNextQueuedPageFollows) {
  AskForTheColonyPages();
  ASSERT_TRUE(UntilTheVoice());
  VSmartPtr<VSoundObject> voice = Window()->GetVoice();
  EXPECT_NE(std::string(voice->GetResource()->GetFileName()).find("tutorial_colony_part1.wav"), std::string::npos);
  EXPECT_TRUE(voice->IsPlaying());

  UntilTheVoiceEnds();
  EXPECT_FALSE(voice->IsPlaying());
  EXPECT_EQ(Window()->GetCurrentIdentifier(), kColony[1]);
  EXPECT_EQ(Text("Tutorial/Window/LabelTutorialCount"), Count(2, 5));
  EXPECT_FLOAT_EQ(Window()->GetVoiceDelay(), 0.4f);

  // The second page has no spoken line: it waits for the player, the sound lowered,
  // and looks for its line only once.
  for (int i = 0; i < 30; ++i) SceneFrame();
  EXPECT_EQ(Window()->GetVoice(), nullptr);
  EXPECT_EQ(log.Matching("str_TUTORIAL_COLONY_PART2_VO").size(), 1u);
  EXPECT_EQ(Window()->GetCurrentIdentifier(), kColony[1]);
  EXPECT_FLOAT_EQ(Music(), 0.25f);
  EXPECT_FLOAT_EQ(Sounds(), 0.25f);
}

TEST_F(FrameTutorialTest, PagingByHandStopsTheAutomaticAdvance) {
  AskForTheColonyPages();
  Click(Widget("Tutorial/Window/ButtonRight"));
  EXPECT_EQ(Window()->GetCurrentIdentifier(), kColony[1]);
  EXPECT_EQ(Text("Tutorial/Window/LabelTutorialCount"), Count(2, 5));
  EXPECT_TRUE(Window()->IsPagedByHand());
  Click(Widget("Tutorial/Window/ButtonLeft"));
  EXPECT_EQ(Window()->GetCurrentIdentifier(), kColony[0]);
  EXPECT_FLOAT_EQ(Window()->GetVoiceDelay(), -1.0f) << "the voice starts with the next update";

  // Back from the first page there is nothing.
  SceneFrame();
  ASSERT_NE(Window()->GetVoice(), nullptr);
  VSmartPtr<VSoundObject> voice = Window()->GetVoice();
  Click(Widget("Tutorial/Window/ButtonLeft"));
  EXPECT_EQ(Window()->GetCurrentIdentifier(), kColony[0]);
  EXPECT_EQ(Window()->GetVoice(), voice.GetPtr());
  EXPECT_EQ(Text("Tutorial/Window/LabelTutorialCount"), Count(1, 5));

  // Its voice ends on the page; the sound comes back up.
  UntilTheVoiceEnds();
  SceneFrame();
  EXPECT_EQ(Window()->GetCurrentIdentifier(), kColony[0]);
  EXPECT_FLOAT_EQ(Music(), 1.0f);
  EXPECT_FLOAT_EQ(Sounds(), 1.0f);
}

TEST_F(FrameTutorialTest, ClosingMarksThePagesSeenAndAnUntickedBoxSwitchesTutorialsOff) {
  for (const bool ticked : {true, false}) {
    SCOPED_TRACE(ticked ? "ticked" : "unticked");
    tutorials->Reset();
    AskForTheColonyPages();
    ASSERT_TRUE(UntilTheVoice());
    VSmartPtr<VSoundObject> voice = Window()->GetVoice();
    if (!ticked) Click(Widget("Tutorial/Window/CheckShowTutorials"));
    EXPECT_EQ(Ticked(), ticked);
    Click(Widget("Tutorial/Window/ButtonClose"));
    EXPECT_FALSE(gui->IsWindowVisible(WT_TUTORIAL));
    EXPECT_FALSE(voice->IsPlaying());
    EXPECT_FLOAT_EQ(Music(), 1.0f);
    EXPECT_FLOAT_EQ(Sounds(), 1.0f);
    EXPECT_TRUE(tutorials->GetQueue().empty());
    SceneFrame();
    EXPECT_EQ(Window(), nullptr);

    // Seen pages stay away; others come only while tutorials are on.
    tutorials->ShowTutorial(kColony[2]);
    EXPECT_EQ(Window(), nullptr);
    tutorials->ShowTutorial("str_TUTORIAL_HERO_PART1");
    EXPECT_EQ(Window() != nullptr, ticked);
    if (Window()) gui->CloseWindow(WT_TUTORIAL, true);
  }
  // The seen pages all come back on request.
  tutorials->ShowAllSeenTutorials();
  ASSERT_NE(Window(), nullptr);
  EXPECT_EQ(tutorials->GetQueue().size(), 15u);
  EXPECT_EQ(Window()->GetCurrentIdentifier(), "str_TUTORIAL_ACTION_MENU_PART1") << "the first in id order";
}

TEST_F(FrameTutorialTest, TheMainMenuClosesTheWindowAndRestoresTheVolume) {
  AskForTheColonyPages();
  ASSERT_TRUE(UntilTheVoice());
  VSmartPtr<VSoundObject> voice = Window()->GetVoice();
  gui->ShowFrame(WT_MAIN_MENU);
  ASSERT_TRUE(gui->IsWindowVisible(WT_MAIN_MENU));
  SceneFrame();
  EXPECT_EQ(Window(), nullptr);
  EXPECT_FALSE(voice->IsPlaying());
  EXPECT_FLOAT_EQ(Music(), 1.0f);
  EXPECT_FLOAT_EQ(Sounds(), 1.0f);
  EXPECT_TRUE(tutorials->GetQueue().empty());
  EXPECT_FALSE(tutorials->GetTutorial(kColony[4]).enabled);
}

TEST_F(FrameTutorialTest, OpenedWithF1ItComesFastAndStaysOnItsPage) {
  tutorials->SetFastTutorial(true);
  AskForTheColonyPages();
  EXPECT_FALSE(tutorials->IsFastTutorial());
  EXPECT_FLOAT_EQ(Window()->GetVoiceDelay(), 0.25f);
  EXPECT_TRUE(Window()->IsPagedByHand());
  ASSERT_TRUE(UntilTheVoice(1 + 1));
  UntilTheVoiceEnds();
  SceneFrame();
  EXPECT_EQ(Window()->GetCurrentIdentifier(), kColony[0]);
  EXPECT_FLOAT_EQ(Music(), 1.0f);
}

TEST_F(FrameTutorialTest, AWindowGoneUnaskedLeavesNoVoiceNorLoweredSound) {
  AskForTheColonyPages();
  ASSERT_TRUE(UntilTheVoice());
  VSmartPtr<VSoundObject> voice = Window()->GetVoice();
  // The end of a game closes every frame; the window goes after the update.
  gui->CloseAllWindows();
  env.Frame();
  EXPECT_EQ(Window(), nullptr);
  EXPECT_FALSE(voice->IsPlaying());
  EXPECT_FLOAT_EQ(Music(), 1.0f);
  EXPECT_FLOAT_EQ(Sounds(), 1.0f);
  EXPECT_TRUE(tutorials->GetQueue().empty());

  // Closed by the player and a page asked for in the same frame: a new window shows it.
  tutorials->ShowTutorial("str_TUTORIAL_HERO_PART1");
  Click(Widget("Tutorial/Window/ButtonClose"));
  tutorials->ShowTutorial("str_TUTORIAL_HERO_PART2");
  SceneFrame();
  ASSERT_NE(Window(), nullptr);
  EXPECT_TRUE(gui->IsWindowVisible(WT_TUTORIAL));
  EXPECT_EQ(Window()->GetCurrentIdentifier(), "str_TUTORIAL_HERO_PART2");
  EXPECT_EQ(Text("Tutorial/Window/LabelTutorialCount"), Count(1, 1));
  ExpectNoCeguiFailure();
}

}  // namespace
