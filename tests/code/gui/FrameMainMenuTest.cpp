// The title screen: what it shows, its transitions and their timing (with the
// animations of Animations.ceanim), the ways into a game and out of the program,
// the link buttons and the video after a device reset.
#include "GuiFrameTesting.h"
#include "support/SaveFileBytes.h"
#include "support/ScopedEnv.h"
#include "support/VideoClips.h"

#include "Managers/MusicManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SpeechManager.h"
#include "core/VisMainApp.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameLoadingScreen.h"
#include "gui/FrameMainMenu.h"
#include "gui/FrameMenuLoad.h"
#include "gui/VideoPlayer.h"
#include "engine/render/VDeviceReset.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <functional>
#include <string>
#include <vector>

namespace {

float Duration(const char* animation) {
  CEGUI::AnimationManager& manager = CEGUI::AnimationManager::getSingleton();
  return manager.isAnimationPresent(animation) ? manager.getAnimation(animation)->getDuration() : 0.0f;
}

std::string Property(CEGUI::Window* window, const char* name) {
  std::string value;
  CeguiCompat::GetProperty(window, name, value);
  return value;
}

class FrameMainMenuTest : public GuiFrameTest {
 protected:
  void SetUp() override {
    GuiFrameTest::SetUp();
    // Saves are looked for in a folder of this test's own.
    documents = std::filesystem::temp_directory_path() / ("brinemark_menu_" + std::to_string(getpid()));
    std::filesystem::remove_all(documents);
    std::filesystem::create_directories(documents);
    docsEnv = std::make_unique<ScopedEnv>("ENGINE_DOCUMENTS_DIR", documents.c_str());
    app = VisMainApp::GetInstance();
    // Exit asks the running application to quit.
    Vision::SetApplication(app);
    s_pass = nullptr;
    VisionApp_cl::SetEventPump([](VisionApp_cl&) {
      if (s_pass) s_pass();
    });
  }
  void TearDown() override {
    VisionApp_cl::SetEventPump(nullptr);
    s_pass = nullptr;
    Vision::SetApplication(nullptr);
    VisMainApp::CleanInstance();
    GuiFrameTest::TearDown();
    SaveGameManagerProto::CleanInstance();
    docsEnv.reset();
    std::filesystem::remove_all(documents);
  }

  FrameMainMenu* OpenMenu() {
    gui->ShowFrame(WT_MAIN_MENU);
    return Get<FrameMainMenu>(WT_MAIN_MENU);
  }
  CEGUI::Window* Widget(FrameMainMenu* menu, const char* name) {
    CEGUI::Window* window = menu->GetComponent(name);
    EXPECT_NE(window, nullptr) << name;
    return window;
  }

  // Frames until the menu rests in a state that waits for input (or is gone);
  // the states passed on the way are recorded.
  void RunUntilWaiting(std::vector<int>* states = nullptr, int guard = 2000) {
    for (int i = 0; i < guard; ++i) {
      auto* menu = static_cast<FrameMainMenu*>(gui->FindWindowA(WT_MAIN_MENU));
      if (!menu) return;
      const int state = menu->GetState();
      if (states && (states->empty() || states->back() != state)) states->push_back(state);
      const bool waiting = state == MMS_IDLE || state == MMS_CHARACTER_SELECTION_IN || state == MMS_LOAD_SCREEN_IN ||
                           state == MMS_CREDITS_ROLL || state == MMS_WEAPON_SELECTION_IN;
      if (waiting && menu->GetTransitionTimer() == 0.0f) return;
      SceneFrame();
    }
    ADD_FAILURE() << "the menu never came to rest";
  }
  FrameMainMenu* OpenMenuAndWait() {
    FrameMainMenu* menu = OpenMenu();
    RunUntilWaiting();
    return menu;
  }

  void WriteSave(int slot, const save_test::Header& header) {
    const std::filesystem::path folder = documents / "Fenwold" / "Brinemark" / "SaveGames";
    std::filesystem::create_directories(folder);
    const archive_test::Bytes bytes = save_test::SaveFile(header);
    std::ofstream(folder / ("save" + std::to_string(slot) + ".gam"), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), (std::streamsize)bytes.size());
    Vision::File.ClearCache();
  }

  static inline std::function<void()> s_pass;
  VisMainApp* app = nullptr;
  std::filesystem::path documents;
  std::unique_ptr<ScopedEnv> docsEnv;
};

TEST_F(FrameMainMenuTest, OpensWithVersionVideoAndHiddenExtrasAndNoGameToContinue) {
  gui->ShowLoadingScreen();
  FrameMainMenu* menu = OpenMenu();
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(gui->GetCurrentFrame(), menu);
  EXPECT_EQ(menu->GetState(), MMS_IDLE);
  // The menu video's start lets the loading screen fade.
  EXPECT_TRUE(gui->GetLoadingScreen()->IsHiding());

  CEGUI::Window* version = Widget(menu, "MainMenu/Version");
  EXPECT_EQ(CeguiCompat::ToUtf8(version->getText()), "Brinemark 1,0,2,7542 2011/08/06 02:17:32");
  EXPECT_TRUE(version->isVisible());
  for (const char* hidden : {"MainMenu/DLC/Level1", "MainMenu/DLC/Level2", "MainMenu/DLC/Level3",
                             "MainMenu/DLC/Level4", "MainMenu/CreditsBG"})
    EXPECT_FALSE(Widget(menu, hidden)->isVisible()) << hidden;
  // No save game: nothing to continue or load.
  EXPECT_TRUE(Widget(menu, "MainMenu/Menu/ButtonContinue")->isDisabled());
  EXPECT_TRUE(Widget(menu, "MainMenu/Menu/ButtonLoad")->isDisabled());
  EXPECT_FALSE(Widget(menu, "MainMenu/Menu/ButtonStart")->isDisabled());
  for (const char* name : {"MainMenu/Menu/ButtonStart", "MainMenu/SocialPanel/Www", "MainMenu/CreditsBG"})
    EXPECT_FALSE(Widget(menu, name)->isRiseOnClickEnabled()) << name;

  // The background shows the menu video, which takes new frames as the menu runs.
  EXPECT_EQ(Property(Widget(menu, "MainMenu/BackGround"), "Image"), "VideoImage/full_image");
  ASSERT_NE(menu->GetVideoPlayer(), nullptr);
  for (int i = 0; i < 5; ++i) SceneFrame();
  EXPECT_EQ(menu->GetVideoPlayer()->GetState(), VideoPlayer_cl::STATE_PLAYING);
  EXPECT_GE(menu->GetVideoPlayer()->GetShownFrameCount(), 3);
  ExpectNoCeguiFailure();
}

TEST_F(FrameMainMenuTest, AClickDuringATransitionIsRefused) {
  FrameMainMenu* menu = OpenMenu();
  // The opening runs: Start does nothing yet.
  ASSERT_GT(menu->GetTransitionTimer(), 0.0f);
  Click(Widget(menu, "MainMenu/Menu/ButtonStart"));
  EXPECT_EQ(menu->GetState(), MMS_IDLE);

  RunUntilWaiting();
  Click(Widget(menu, "MainMenu/Menu/ButtonStart"));
  EXPECT_EQ(menu->GetState(), MMS_NEW_GAME);
  Click(Widget(menu, "MainMenu/Menu/Credits"));
  EXPECT_EQ(menu->GetState(), MMS_NEW_GAME);
  EXPECT_FALSE(menu->StartTransition(MMS_QUIT));
  // ResetTimer lets the next one through at once.
  menu->ResetTimer();
  EXPECT_TRUE(menu->StartTransition(MMS_BUTTONS_IN));
}

TEST_F(FrameMainMenuTest, TheSelectionFadesInOnlyWhenTheLastLinkButtonHasFadedOut) {
  FrameMainMenu* menu = OpenMenuAndWait();
  const float last = Duration("MainMenu_ButtonFadeOut_www");
  ASSERT_GT(last, 0.0f);
  Click(Widget(menu, "MainMenu/Menu/ButtonStart"));
  EXPECT_FLOAT_EQ(menu->GetTransitionTimer(), last);
  int frames = 0;
  while (menu->GetState() == MMS_NEW_GAME && frames < 1000) {
    SceneFrame();
    ++frames;
  }
  EXPECT_EQ(menu->GetState(), MMS_CHARACTER_SELECTION_IN);
  EXPECT_EQ(frames, (int)std::ceil(last / timeStep - 1e-4f));
  // The selection lives inside the menu while it is shown.
  BaseWindow* selection = gui->FindWindowA(WT_CHARACTER_SELECTION);
  if (selection && selection->GetRootWindow()) {
    EXPECT_EQ(selection->GetRootWindow()->getParent(), menu->GetRootWindow());
  }
}

TEST_F(FrameMainMenuTest, ANewGameStartsTheCampaignTheHerosCutsceneAndAQuietConversation) {
  struct Case {
    int hero;
    int clip;  // id of the clip the cutscene shows
  };
  // Any value but 1 or 2 gives the third hero.
  for (const Case& c : {Case{1, 3}, Case{2, 4}, Case{3, 5}, Case{7, 5}}) {
    SCOPED_TRACE(c.hero);
    LogCapture campaign;
    SpeechManager::GetInstance()->EndConversation();
    FrameMainMenu* menu = OpenMenuAndWait();
    std::vector<int> states;
    Click(Widget(menu, "MainMenu/Menu/ButtonStart"));
    RunUntilWaiting(&states);
    // The selection opens on Walker; the hero is chosen after that.
    gui->SetSelectedPlayerCharacter(c.hero);
    // What the two selection screens do on Accept.
    menu->StartTransition(MMS_CHARACTER_SELECTION_ACCEPT);
    RunUntilWaiting(&states);
    menu->StartTransition(MMS_WEAPON_SELECTION_ACCEPT);

    int clip = -1;
    bool campaignFirst = false;
    s_pass = [&] {
      if (clip > 0) return;
      for (VisScreenMask_cl* mask : VisScreenMask_cl::GetVisibleMasks()) {
        const VTextureObject* texture = mask->GetTextureObject();
        if (!texture || texture->GetPixels().empty()) continue;
        clip = ReadVideoPattern(texture->GetPixels().data(), texture->GetTextureWidth(), texture->GetTextureHeight(),
                                4, texture->GetTextureWidth() * 4, false, 0);
      }
      campaignFirst = campaign.Contains("MissionManager::StartCampaign()");
    };
    RunUntilWaiting(&states);
    s_pass = nullptr;

    EXPECT_EQ(states, (std::vector<int>{MMS_NEW_GAME, MMS_CHARACTER_SELECTION_IN, MMS_CHARACTER_SELECTION_ACCEPT,
                                        MMS_WEAPON_SELECTION_IN, MMS_WEAPON_SELECTION_ACCEPT, MMS_START_NEW_GAME,
                                        MMS_NONE}));
    EXPECT_EQ(clip, c.clip);
    EXPECT_TRUE(campaignFirst);
    EXPECT_TRUE(SpeechManager::GetInstance()->IsInConversation());
    EXPECT_FALSE(SpeechManager::GetInstance()->WantsPause());
    EXPECT_FALSE(MusicManager::GetInstance()->IsPaused());
    EXPECT_EQ(gui->FindWindowA(WT_MAIN_MENU), nullptr);
  }
}

TEST_F(FrameMainMenuTest, BackStepsAndTheCreditsReturnToTheIdleMenu) {
  MusicManager* music = MusicManager::GetInstance();
  music->SetMenuMusic("music\\menu.wav", 1.0f);
  music->SetCreditsMusic("music\\credits.wav", 1.0f);
  FrameMainMenu* menu = OpenMenuAndWait();
  struct Step {
    int start;
    std::vector<int> passed;  // states seen until the menu waits again
  };
  const Step steps[] = {
      {MMS_NEW_GAME, {MMS_NEW_GAME, MMS_CHARACTER_SELECTION_IN}},
      {MMS_CHARACTER_SELECTION_ACCEPT, {MMS_CHARACTER_SELECTION_ACCEPT, MMS_WEAPON_SELECTION_IN}},
      {MMS_WEAPON_SELECTION_BACK, {MMS_WEAPON_SELECTION_BACK, MMS_CHARACTER_SELECTION_IN}},
      {MMS_CHARACTER_SELECTION_BACK, {MMS_CHARACTER_SELECTION_BACK, MMS_BUTTONS_IN, MMS_IDLE}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.start);
    ASSERT_TRUE(menu->StartTransition(step.start));
    std::vector<int> states;
    RunUntilWaiting(&states);
    EXPECT_EQ(states, step.passed);
  }
  // Removed sub-frames go after the GUI update.
  SceneFrame();
  EXPECT_EQ(gui->FindWindowA(WT_CHARACTER_SELECTION), nullptr);
  EXPECT_EQ(gui->FindWindowA(WT_SPECIAL_WEAPON), nullptr);

  // The credits roll over the opened curtains to the credits music; a click on
  // them closes the curtains, then the whole opening runs again to the menu
  // music, the link buttons included.
  CEGUI::Window* credits = Widget(menu, "MainMenu/CreditsBG");
  ASSERT_TRUE(menu->StartTransition(MMS_CREDITS));
  std::vector<int> states{menu->GetState()};
  float openingTimer = 0.0f;
  bool clicked = false;
  for (int i = 0; i < 1000 && !(clicked && menu->GetState() == MMS_IDLE); ++i) {
    SceneFrame();
    const int state = menu->GetState();
    if (states.back() == state) continue;
    states.push_back(state);
    if (state == MMS_CREDITS_ROLL) {
      EXPECT_TRUE(credits->isVisible());
      EXPECT_EQ(music->GetMusicType(), MusicManager::MUSIC_CREDITS);
      RunUntilWaiting();
      Click(credits);
      clicked = true;
      states.push_back(menu->GetState());
    } else if (state == MMS_OPENING) {
      openingTimer = menu->GetTransitionTimer();
      EXPECT_EQ(music->GetMusicType(), MusicManager::MUSIC_MENU);
    }
  }
  EXPECT_EQ(states, (std::vector<int>{MMS_CREDITS, MMS_CREDITS_ROLL, MMS_CREDITS_END, MMS_OPENING, MMS_IDLE}));
  EXPECT_FLOAT_EQ(openingTimer, Duration("MainMenu_ButtonFadeIn_www"));
  EXPECT_FALSE(credits->isVisible());
}

TEST_F(FrameMainMenuTest, HoweverTheOptionsCloseTheButtonsFadeBackIn) {
  const std::vector<std::pair<const char*, std::function<void()>>> closers = {
      {"removal request", [&] { gui->CloseWindow(WT_OPTIONS, false); }},
      {"destroyed", [&] { gui->CloseWindow(WT_OPTIONS, true); }},
      {"Escape released", [&] { Key(VGLK_ESC, CEGUI::Key::Escape); }},
  };
  FrameMainMenu* menu = OpenMenuAndWait();
  for (const auto& closer : closers) {
    SCOPED_TRACE(closer.first);
    Click(Widget(menu, "MainMenu/Menu/ButtonSettings"));
    ASSERT_EQ(menu->GetState(), MMS_OPTIONS);
    for (int i = 0; i < 200 && menu->GetState() == MMS_OPTIONS && !gui->IsWindowVisible(WT_OPTIONS); ++i) SceneFrame();
    if (!gui->IsWindowVisible(WT_OPTIONS)) {
      // Without the options screen's layout the menu comes straight back.
      EXPECT_EQ(menu->GetState(), MMS_BUTTONS_IN);
      GTEST_SKIP() << "the options screen does not show yet";
    }
    for (int i = 0; i < 5; ++i) SceneFrame();
    EXPECT_EQ(menu->GetState(), MMS_OPTIONS);
    closer.second();
    std::vector<int> states;
    RunUntilWaiting(&states);
    EXPECT_EQ(states, (std::vector<int>{MMS_OPTIONS, MMS_BUTTONS_IN, MMS_IDLE}));
  }
}

TEST_F(FrameMainMenuTest, ContinueLetsGoOfTheVideoAtOnceThenStartsTheCampaignAndTheNewestSave) {
  FrameMainMenu* menu = OpenMenuAndWait();
  // Continue is disabled without a save: its transition is started directly.
  ASSERT_TRUE(menu->StartTransition(MMS_CONTINUE));
  SceneFrame();
  EXPECT_EQ(menu->GetVideoPlayer(), nullptr);
  EXPECT_EQ(menu->GetVideoTexture(), nullptr);
  EXPECT_FALSE(CeguiCompat::IsImagesetDefined("VideoImage"));
  EXPECT_GT(menu->GetTransitionTimer(), 0.0f);
  EXPECT_FALSE(log.Contains("MissionManager::StartCampaign()"));

  // Without a save nothing is started: the menu opens again and the video comes back.
  std::vector<int> states;
  RunUntilWaiting(&states);
  EXPECT_TRUE(log.Contains("LoadSlotIntoNewCampaign(-1): the save game cannot be loaded"));
  EXPECT_FALSE(log.Contains("MissionManager::StartCampaign()"));
  EXPECT_EQ(gui->FindWindowA(WT_MAIN_MENU), menu);
  EXPECT_EQ(gui->GetCurrentFrame(), menu);
  EXPECT_TRUE(menu->GetRootWindow()->isVisible());
  EXPECT_NE(menu->GetVideoPlayer(), nullptr);
  EXPECT_EQ(states.back(), MMS_IDLE);
}

TEST_F(FrameMainMenuTest, ContinueAndLoadNeedASaveWithAnInfoStamp) {
  // Saves of version 6 and older carry no info stamp: they count as none.
  save_test::Header old;
  old.saveVersion = 6;
  WriteSave(2, old);
  FrameMainMenu* menu = OpenMenuAndWait();
  EXPECT_TRUE(Widget(menu, "MainMenu/Menu/ButtonContinue")->isDisabled());
  EXPECT_TRUE(Widget(menu, "MainMenu/Menu/ButtonLoad")->isDisabled());
  gui->CloseWindow(WT_MAIN_MENU, true);

  WriteSave(5, save_test::Header{});
  menu = OpenMenuAndWait();
  EXPECT_FALSE(Widget(menu, "MainMenu/Menu/ButtonContinue")->isDisabled());
  EXPECT_FALSE(Widget(menu, "MainMenu/Menu/ButtonLoad")->isDisabled());
  Click(Widget(menu, "MainMenu/Menu/ButtonContinue"));
  EXPECT_EQ(menu->GetState(), MMS_CONTINUE);
  RunUntilWaiting();
  // The save holds only a header: it is refused before anything changes.
  EXPECT_TRUE(log.Contains("LoadSlotIntoNewCampaign(5): the save game cannot be loaded"));
  EXPECT_EQ(gui->FindWindowA(WT_MAIN_MENU), menu);
}

TEST_F(FrameMainMenuTest, LoadingWithoutTheLoadListStillRunsItsStates) {
  FrameMainMenu* menu = OpenMenuAndWait();
  std::vector<int> states;
  ASSERT_TRUE(menu->StartTransition(MMS_LOAD));
  RunUntilWaiting(&states);
  EXPECT_EQ(states, (std::vector<int>{MMS_LOAD, MMS_LOAD_SCREEN_IN}));
  ASSERT_TRUE(menu->StartTransition(MMS_LOAD_SCREEN_BACK));
  states.clear();
  RunUntilWaiting(&states);
  EXPECT_EQ(states, (std::vector<int>{MMS_LOAD_SCREEN_BACK, MMS_BUTTONS_IN, MMS_IDLE}));

  menu->SetLoadSlot(4);
  ASSERT_TRUE(menu->StartTransition(MMS_LOAD_SCREEN_ACCEPT));
  RunUntilWaiting();
  EXPECT_TRUE(log.Contains("LoadSlotIntoNewCampaign(4): the save game cannot be loaded"));
  EXPECT_FALSE(log.Contains("MissionManager::StartCampaign()"));
  EXPECT_EQ(gui->FindWindowA(WT_MAIN_MENU), menu);
}

TEST_F(FrameMainMenuTest, TheNoticeOfAFailedLoadShowsInFrontOfTheTitleScreen) {
  // A header alone is refused before anything starts; a missing slot too.
  WriteSave(2, save_test::Header{});
  for (int slot : {2, 7}) {
    FrameMainMenu* menu = OpenMenuAndWait();
    menu->SetLoadSlot(slot);
    ASSERT_TRUE(menu->StartTransition(MMS_LOAD_SCREEN_ACCEPT));
    RunUntilWaiting();
    BaseWindow* messages = gui->FindWindowA(WT_INGAME_MESSAGES);
    ASSERT_NE(messages, nullptr) << slot;
    ASSERT_NE(messages->GetRootWindow(), nullptr);
    CEGUI::Window* upper = messages->GetComponent("InGameMessages/Window/Message1");
    ASSERT_NE(upper, nullptr);
    EXPECT_NE(std::string(upper->getText().c_str()), "") << slot;
    EXPECT_TRUE(messages->GetRootWindow()->isInFront(*menu->GetRootWindow())) << "slot " << slot;
    gui->CloseWindow(WT_MAIN_MENU, true);
  }
}

TEST_F(FrameMainMenuTest, ExitClosesTheCurtainsThenQuits) {
  FrameMainMenu* menu = OpenMenuAndWait();
  Click(Widget(menu, "MainMenu/Menu/ButtonExit"));
  EXPECT_EQ(menu->GetState(), MMS_QUIT);
  EXPECT_FLOAT_EQ(menu->GetTransitionTimer(), Duration("MainMenu_CurtainDownUp"));
  SceneFrame();
  EXPECT_FALSE(Vision::GetApplication()->WantsToQuit());
  for (int i = 0; i < 200 && !Vision::GetApplication()->WantsToQuit(); ++i) SceneFrame();
  EXPECT_TRUE(Vision::GetApplication()->WantsToQuit());
  EXPECT_EQ(menu->GetState(), MMS_NONE);
  EXPECT_EQ(menu->GetVideoPlayer(), nullptr);
}

TEST_F(FrameMainMenuTest, LinkButtonsOpenTheirAddressesAndMenuButtonsChangeFontUnderTheMouse) {
  FrameMainMenu* menu = OpenMenuAndWait();
  const std::pair<const char*, const char*> links[] = {
      {"MainMenu/SocialPanel/Twitter", FrameMainMenu::kTwitterAddress},
      {"MainMenu/SocialPanel/Facebook", FrameMainMenu::kFacebookAddress},
      {"MainMenu/SocialPanel/Www", FrameMainMenu::kWebSiteAddress},
  };
  for (const auto& link : links) {
    SCOPED_TRACE(link.first);
    EXPECT_EQ(std::string(link.second).rfind("https://", 0), 0u);
    LogCapture opened;
    Click(Widget(menu, link.first));
    EXPECT_EQ(opened.Matching("Shell open:"), std::vector<std::string>{std::string("Shell open: ") + link.second});
    EXPECT_EQ(menu->GetState(), MMS_IDLE);
  }

  CEGUI::Window* start = Widget(menu, "MainMenu/Menu/ButtonStart");
  CEGUI::GUIContext& context = CEGUI::System::getSingleton().getDefaultGUIContext();
  const CEGUI::Rectf area = start->getUnclippedOuterRect().get();
  context.injectMousePosition(area.left() + 5.0f, area.top() + 5.0f);
  EXPECT_EQ(Property(start, "Font"), "SketchHeavyRegular-24-scaling");
  context.injectMousePosition(area.right() + 200.0f, area.top() + 5.0f);
  EXPECT_EQ(Property(start, "Font"), "SketchHeavyRegular-26-scaling");
}

TEST_F(FrameMainMenuTest, AfterADeviceResetTheBackgroundShowsTheVideoOnANewTexture) {
  FrameMainMenu* menu = OpenMenuAndWait();
  CEGUI::Texture* before = menu->GetVideoTexture();
  ASSERT_NE(before, nullptr);
  const CEGUI::String oldName = before->getName();

  ASSERT_TRUE(Vision::ResetVideoDevice());
  CEGUI::Texture* after = menu->GetVideoTexture();
  ASSERT_NE(after, nullptr);
  EXPECT_NE(after->getName(), oldName);
  EXPECT_FALSE(CEGUI::System::getSingleton().getRenderer()->isTextureDefined(oldName));
  EXPECT_TRUE(CEGUI::System::getSingleton().getRenderer()->isTextureDefined(after->getName()));
  EXPECT_TRUE(CeguiCompat::IsImagesetDefined("VideoImage"));
  EXPECT_EQ(Property(Widget(menu, "MainMenu/BackGround"), "Image"), "VideoImage/full_image");

  // The video goes on into the new engine texture.
  const int shown = menu->GetVideoPlayer()->GetShownFrameCount();
  for (int i = 0; i < 5; ++i) SceneFrame();
  EXPECT_EQ(menu->GetVideoPlayer()->GetState(), VideoPlayer_cl::STATE_PLAYING);
  EXPECT_GT(menu->GetVideoPlayer()->GetShownFrameCount(), shown);
  ExpectNoCeguiFailure();
}

TEST_F(FrameMainMenuTest, TheFrameClassListAgreesWithWhatGetWindowMakes) {
  for (int type = 0; type <= WT_LOW_HP_OVERLAY; ++type) {
    SCOPED_TRACE(type);
    const bool made = gui->GetWindow((WINDOW_TYPES)type) != nullptr;
    EXPECT_EQ(GUIManager::HasFrameClass((WINDOW_TYPES)type), made);
  }
}

// The load list, opened inside the menu.
FrameMenuLoad* OpenLoadList() {
  return dynamic_cast<FrameMenuLoad*>(GUIManager::GetInstance()->FindWindowA(WT_MENU_LOAD));
}
CEGUI::Window* ListWidget(const char* name) {
  FrameMenuLoad* list = OpenLoadList();
  CEGUI::Window* window = list ? list->GetComponent(name) : nullptr;
  EXPECT_NE(window, nullptr) << name;
  return window;
}

TEST_F(FrameMainMenuTest, WithoutSavesTheLoadListIsEmptyItsLoadDoesNothingAndBackReturns) {
  FrameMainMenu* menu = OpenMenuAndWait();
  // Load is disabled without a save: its transition is started directly.
  ASSERT_TRUE(menu->StartTransition(MMS_LOAD));
  RunUntilWaiting();
  FrameMenuLoad* list = OpenLoadList();
  ASSERT_NE(list, nullptr);
  ASSERT_NE(list->GetRootWindow(), nullptr);
  EXPECT_EQ(list->GetRootWindow()->getParent(), menu->GetRootWindow());
  EXPECT_EQ(list->GetSlotList()->getItemCount(), 0u);
  EXPECT_TRUE(ListWidget("MenuLoad/Window/BtnLoad")->isDisabled());
  EXPECT_EQ(Property(ListWidget("MenuLoad/Window/BtnLoad/text"), "TextColours"),
            "tl:FF6B6B6B tr:FF6B6B6B bl:FF6B6B6B br:FF6B6B6B");
  EXPECT_EQ(Property(ListWidget("MenuLoad/Window/SaveImage"), "Image"), "GUI_Window_01/LoadEmptyWindow");
  EXPECT_FALSE(ListWidget("MenuLoad/Window/SaveInfo")->isVisible());

  Click(ListWidget("MenuLoad/Window/BtnLoad"));
  EXPECT_EQ(menu->GetState(), MMS_LOAD_SCREEN_IN);
  EXPECT_EQ(menu->GetLoadSlot(), -1);

  Click(ListWidget("MenuLoad/Window/BtnBack"));
  EXPECT_EQ(menu->GetState(), MMS_LOAD_SCREEN_BACK);
  std::vector<int> states;
  RunUntilWaiting(&states);
  EXPECT_EQ(states, (std::vector<int>{MMS_LOAD_SCREEN_BACK, MMS_BUTTONS_IN, MMS_IDLE}));
  EXPECT_EQ(gui->FindWindowA(WT_MENU_LOAD), nullptr);
  env.RenderGui();
  ExpectNoCeguiFailure();
}

TEST_F(FrameMainMenuTest, LoadListsTheSavesAndHandsTheChosenSlotToTheMenu) {
  save_test::Header walker;
  walker.hero = 1;
  WriteSave(3, walker);
  WriteSave(8, save_test::Header{});
  FrameMainMenu* menu = OpenMenuAndWait();
  Click(Widget(menu, "MainMenu/Menu/ButtonLoad"));
  EXPECT_EQ(menu->GetState(), MMS_LOAD);
  RunUntilWaiting();
  FrameMenuLoad* list = OpenLoadList();
  ASSERT_NE(list, nullptr);
  CEGUI::Listbox* slots = list->GetSlotList();
  ASSERT_EQ(slots->getItemCount(), 2u);
  EXPECT_EQ(slots->getListboxItemFromIndex(0)->getID(), 3u);
  EXPECT_EQ(slots->getListboxItemFromIndex(1)->getID(), 8u);
  // The first save is chosen at once.
  EXPECT_TRUE(slots->getListboxItemFromIndex(0)->isSelected());
  EXPECT_EQ(list->GetSelectedSlot(), 3);
  EXPECT_FALSE(ListWidget("MenuLoad/Window/BtnLoad")->isDisabled());
  EXPECT_EQ(Property(ListWidget("MenuLoad/Window/Character"), "Image"), "UnitFaces_01/Player1Normal");

  slots->setItemSelectState(slots->getListboxItemFromIndex(1), true);
  EXPECT_EQ(list->GetSelectedSlot(), 8);
  EXPECT_EQ(Property(ListWidget("MenuLoad/Window/Character"), "Image"), "UnitFaces_01/Player2Normal");
  Click(ListWidget("MenuLoad/Window/BtnLoad"));
  EXPECT_EQ(menu->GetState(), MMS_LOAD_SCREEN_ACCEPT);
  EXPECT_EQ(menu->GetLoadSlot(), 8);
  EXPECT_GT(menu->GetTransitionTimer(), 0.0f);
  env.RenderGui();
  ExpectNoCeguiFailure();
}

}  // namespace
