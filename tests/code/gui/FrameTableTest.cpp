// The frame table: every built frame kind opens, shows, hides and closes through
// GUIManager by its kind; the other kinds give no frame; frames go only after the
// GUI update; toggling, closing all, the frame stack and quiet layout loading.
#include "code/gui/GuiFrameTesting.h"

#include "gui/CeguiCompat.h"

#include <set>

namespace {

struct BuiltKind {
  WINDOW_TYPES type;
  const char* root;
  const char* name = nullptr;  // the test's name, when the root's is taken
};

const BuiltKind kBuiltKinds[] = {
    {WT_INGAME_MESSAGES, "InGameMessages"}, {WT_YES_NO_POPUP, "YesNoPopUp"}, {WT_WELCOME, "Welcome"},
    {WT_FADE_OUT, "FadeOut"},               {WT_PAUSE, "PauseFrame"},        {WT_LOW_HP_OVERLAY, "LowHPOverlay"},
    {WT_OPTIONS, "Options"},
    {WT_BATTLE_HUD, "BattleHud"},           {WT_LAND_BATTLE_HUD, "LandBattleHud"},
    {WT_CHARACTER_SELECTION, "CharacterSelection"}, {WT_SPECIAL_WEAPON, "SpecialWeaponSelection"},
    {WT_INGAME_MENU, "IngameMenu"},         {WT_END_GAME, "EndGame"},        {WT_JOKE_IN_BOTTLE, "JokeInBottle"},
    {WT_MAIN_MENU, "MainMenu"},             {WT_MAP, "MAP"},
    {WT_TUTORIAL, "Tutorial"},
    {WT_CAPTAINS_LOG, "CaptainsLog"},
    {WT_MENU_LOAD, "MenuLoad"},             {WT_SAVE_LOAD, "MenuLoad", "SaveLoad"},
    {WT_MISSION_LOAD_BAR, "MissionLoadBar"},
    {WT_POTION_HUD, "PotionHud"},
    {WT_CONSTRUCT, "Construct"},
    {WT_PLAYER_INFO, "PlayerInformation"},
    {WT_SPEECH_FRAME, "SpeechFrame"},
};

// Kinds whose frames are numbered copies of their layout (the table still makes
// one by kind), and the player ship panel, which the table makes without its
// layout; their own tests open and close them.
const WINDOW_TYPES kNumberedKinds[] = {WT_BUILDING_INFO, WT_ENEMY_SHIP_INFO, WT_TOWN_INFO, WT_PLAYER_SHIP_INFO};

class FrameKindTest : public GuiFrameTest, public ::testing::WithParamInterface<BuiltKind> {};

TEST_P(FrameKindTest, OpensShowsHidesAndClosesByItsKind) {
  const BuiltKind kind = GetParam();
  BaseWindow* frame = gui->GetWindow(kind.type);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(gui->GetWindow(kind.type), frame);
  EXPECT_EQ(gui->FindWindowA(kind.type), frame);
  EXPECT_EQ(frame->GetWindowType(), kind.type);
  // The layout loaded: a frame without its widgets fails here.
  ASSERT_NE(frame->GetRootWindow(), nullptr);
  EXPECT_EQ(std::string(frame->GetRootWindow()->getName().c_str()), kind.root);

  gui->ShowFrame(kind.type);
  EXPECT_EQ(gui->GetCurrentFrame(), frame);
  EXPECT_EQ(frame->GetRootWindow()->getParent(), gui->GetBaseFrame());
  EXPECT_TRUE(gui->IsWindowVisible(kind.type));

  // Hidden at once, deleted only after the GUI update; showing it again in
  // between takes the request back.
  gui->CloseWindow(kind.type, false);
  EXPECT_FALSE(gui->IsWindowVisible(kind.type));
  EXPECT_EQ(gui->GetCurrentFrame(), nullptr);
  EXPECT_EQ(gui->FindWindowA(kind.type), frame);
  gui->ShowFrame(kind.type);
  EXPECT_TRUE(gui->IsWindowVisible(kind.type));
  env.Frame();
  ASSERT_EQ(gui->FindWindowA(kind.type), frame);

  gui->CloseWindow(kind.type, false);
  BaseEntityDataObject pre(&GameManager::Callbacks.OnPreFrame, nullptr);
  GameManager::Callbacks.OnPreFrame.TriggerCallbacks(&pre);
  EXPECT_EQ(gui->FindWindowA(kind.type), frame);
  BaseEntityDataObject post(&GameManager::Callbacks.OnPostFrame, nullptr);
  GameManager::Callbacks.OnPostFrame.TriggerCallbacks(&post);
  EXPECT_EQ(gui->FindWindowA(kind.type), nullptr);

  // On top of a current frame, and gone at once when destroyed.
  gui->ShowFrame(kind.type == WT_FADE_OUT ? WT_PAUSE : WT_FADE_OUT);
  gui->ShowWindow(kind.type, nullptr);
  frame = gui->FindWindowA(kind.type);
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(frame->GetRootWindow()->isAlwaysOnTop());
  EXPECT_EQ(frame->GetRootWindow()->getParent(), gui->GetBaseFrame());
  gui->CloseWindow(kind.type, true);
  EXPECT_EQ(gui->FindWindowA(kind.type), nullptr);
  env.Frame();
  env.RenderGui();
  ExpectNoCeguiFailure();
}

INSTANTIATE_TEST_SUITE_P(BuiltKinds, FrameKindTest, ::testing::ValuesIn(kBuiltKinds),
                         [](const ::testing::TestParamInfo<BuiltKind>& info) {
                           return std::string(info.param.name ? info.param.name : info.param.root);
                         });

using FrameTableTest = GuiFrameTest;

TEST_F(FrameTableTest, KindsWithoutABuiltFrameGiveNone) {
  std::set<int> built;
  for (const BuiltKind& kind : kBuiltKinds) built.insert(kind.type);
  for (WINDOW_TYPES type : kNumberedKinds) built.insert(type);
  for (int type = WT_NONE; type <= WT_LOW_HP_OVERLAY; ++type) {
    if (built.count(type)) continue;
    EXPECT_EQ(gui->GetWindow((WINDOW_TYPES)type), nullptr) << type;
    EXPECT_EQ(gui->FindWindowA((WINDOW_TYPES)type), nullptr) << type;
    EXPECT_FALSE(gui->IsWindowVisible((WINDOW_TYPES)type)) << type;
  }
  // Showing on top needs a current frame.
  gui->ShowWindow(WT_WELCOME, nullptr);
  EXPECT_EQ(gui->FindWindowA(WT_WELCOME), nullptr);
}

TEST_F(FrameTableTest, ShowFrameOfTheCurrentKindChangesNothing) {
  gui->ShowFrame(WT_FADE_OUT);
  BaseWindow* fade = gui->GetCurrentFrame();
  ASSERT_NE(fade, nullptr);
  // Even a pending removal of the current frame stays pending.
  fade->RequestRemove();
  gui->ShowFrame(WT_FADE_OUT);
  EXPECT_TRUE(fade->isRequestingRemove());
  EXPECT_FALSE(gui->IsWindowVisible(WT_FADE_OUT));

  // Another kind takes the root sheet's place of the old one.
  gui->ShowFrame(WT_WELCOME);
  EXPECT_EQ(fade->GetRootWindow()->getParent(), nullptr);
  EXPECT_EQ(gui->GetCurrentFrame(), gui->FindWindowA(WT_WELCOME));
}

TEST_F(FrameTableTest, EnterAndEscapeLeaveFramesOutsideTheClosablesList) {
  gui->ShowFrame(WT_FADE_OUT);
  gui->ShowWindow(WT_WELCOME, nullptr);
  gui->ShowWindow(WT_YES_NO_POPUP, nullptr);
  Key(VGLK_ESC, 0x01);
  Key(VGLK_ENTER, 0x1C);
  env.Frame();
  for (WINDOW_TYPES type : {WT_FADE_OUT, WT_WELCOME, WT_YES_NO_POPUP}) EXPECT_TRUE(gui->IsWindowVisible(type)) << type;
  EXPECT_NE(gui->GetCurrentFrame(), nullptr);
}

TEST_F(FrameTableTest, ToggleWindowOpensOnTopAndClosesAgain) {
  gui->ShowFrame(WT_FADE_OUT);
  Vision::Actions.SetConsoleOpen(true);
  gui->ToggleWindow(WT_WELCOME);
  Vision::Actions.SetConsoleOpen(false);
  EXPECT_EQ(gui->FindWindowA(WT_WELCOME), nullptr);

  gui->ToggleWindow(WT_WELCOME);
  EXPECT_TRUE(gui->IsWindowVisible(WT_WELCOME));
  gui->ToggleWindow(WT_WELCOME);
  EXPECT_FALSE(gui->IsWindowVisible(WT_WELCOME));
  EXPECT_TRUE(gui->IsWindowVisible(WT_FADE_OUT));
}

TEST_F(FrameTableTest, CloseAllWindowsAsksEveryVisibleFrameToGo) {
  gui->ShowFrame(WT_FADE_OUT);
  gui->ShowWindow(WT_WELCOME, nullptr);
  gui->CloseAllWindows();
  EXPECT_EQ(gui->GetCurrentFrame(), nullptr);
  EXPECT_TRUE(gui->FindWindowA(WT_WELCOME)->isRequestingRemove());
  EXPECT_TRUE(gui->FindWindowA(WT_FADE_OUT)->isRequestingRemove());
  env.Frame();
  EXPECT_EQ(gui->FindWindowA(WT_WELCOME), nullptr);
  EXPECT_EQ(gui->FindWindowA(WT_FADE_OUT), nullptr);
}

TEST_F(FrameTableTest, PopFrameShowsThePushedKindAgain) {
  EXPECT_FALSE(gui->PushFrame());
  EXPECT_FALSE(gui->PopFrame());
  gui->ShowFrame(WT_FADE_OUT);
  EXPECT_TRUE(gui->PushFrame());
  gui->ShowFrame(WT_WELCOME);
  EXPECT_TRUE(gui->PopFrame());
  EXPECT_EQ(gui->GetCurrentFrame(), gui->FindWindowA(WT_FADE_OUT));
  EXPECT_FALSE(gui->PopFrame());
}

TEST_F(FrameTableTest, WelcomeClosesOnContinueAndOnItsText) {
  for (const char* target : {"Welcome/WelcomeScreen/Continue", "Welcome/WelcomeScreen/Continue/text"}) {
    gui->ShowFrame(WT_FADE_OUT);
    gui->ShowWindow(WT_WELCOME, nullptr);
    BaseWindow* welcome = gui->FindWindowA(WT_WELCOME);
    ASSERT_NE(welcome, nullptr);
    env.RenderGui();
    Click(welcome->GetComponent(target));
    EXPECT_TRUE(welcome->isRequestingRemove()) << target;
    EXPECT_FALSE(gui->IsWindowVisible(WT_WELCOME)) << target;
    env.Frame();
    EXPECT_EQ(gui->FindWindowA(WT_WELCOME), nullptr) << target;
  }
}

TEST_F(FrameTableTest, CursorKindsApplyOverTheGameWorldButNotOverAButton) {
  gui->ShowFrame(WT_FADE_OUT);
  gui->ShowWindow(WT_YES_NO_POPUP, nullptr);
  BaseWindow* popup = gui->FindWindowA(WT_YES_NO_POPUP);
  ASSERT_NE(popup, nullptr);
  CEGUI::GUIContext& context = CEGUI::System::getSingleton().getDefaultGUIContext();
  auto defaultImage = [&] { return std::string(context.getMouseCursor().getDefaultImage()->getName().c_str()); };

  // Resting on a button, the button's cursor stays.
  CEGUI::Window* button = popup->GetComponent("YesNoPopUp/Window/BtnYes");
  const CEGUI::Rectf area = button->getUnclippedOuterRect().get();
  context.injectMousePosition(area.left() + 2, area.top() + 2);
  ASSERT_EQ(context.getWindowContainingMouse(), button);
  EXPECT_TRUE(gui->ChangeMouseCursor(CURSOR_CROSSHAIR));
  EXPECT_EQ(defaultImage(), "Cursors/MouseCursorDefault");

  // Over the game world (the pass-through frame below) the kind applies at once.
  gui->CloseWindow(WT_YES_NO_POPUP, true);
  context.injectMousePosition(area.left() + 3, area.top() + 3);
  EXPECT_TRUE(gui->ChangeMouseCursor(CURSOR_CROSSHAIR));
  EXPECT_EQ(defaultImage(), "Cursors/MouseCursorCrosshair");
}

// Records CEGUI's own log, which gets a failure (with a backtrace) for every
// layout that cannot load.
class CapturingLogger : public CEGUI::Logger {
 public:
  void logEvent(const CEGUI::String& message, CEGUI::LoggingLevel level) override {
    if (level <= CEGUI::Errors) errors.push_back(message.c_str());
  }
  void setLogFilename(const CEGUI::String&, bool) override {}
  std::vector<std::string> errors;
};

TEST(FrameTableLayoutTest, InitLayoutsSkipsLayoutsThatDoNotExistQuietly) {
  GuiTestEnvironment env;
  env.Start();
  {
    CapturingLogger logger;
    GUIManager* gui = env.StartGui();
    ASSERT_TRUE(gui->InitLayouts());
    EXPECT_TRUE(logger.errors.empty()) << logger.errors.front();
    // Frames made later take copies of the preloaded layouts.
    CEGUI::Window* copy = gui->GetLayout(WT_YES_NO_POPUP, nullptr);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(std::string(copy->getName().c_str()), "YesNoPopUp");
    CeguiCompat::DestroyWindow(copy);
    EXPECT_EQ(gui->GetLayout(WT_PIRATE_MANSION, nullptr), nullptr);
    GUIManager::CleanInstance();
  }
  env.Stop();
}

}  // namespace
