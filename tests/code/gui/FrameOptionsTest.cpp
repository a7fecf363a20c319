// The options screen: volumes at once, the other choices on Apply, the video mode
// kept only when confirmed, the lists behind the sliders, the pages, the test
// sounds, and the ways the screen closes (also under a live pop-up).
#include "code/gui/GuiFrameTesting.h"
#include "support/ScopedEnv.h"

#include "Managers/LocalizationTable.h"
#include "Managers/SettingsManager.h"
#include "core/VisMainApp.h"
#include "engine/sound/VSoundManager.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameOptions.h"
#include "gui/FrameYesNoPopUp.h"

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
typedef FrameOptions::Option Option;

class FrameOptionsTest : public GuiFrameTest {
 protected:
  void SetUp() override {
    documents = fs::temp_directory_path() / ("brinemark_options_" + std::to_string(getpid()));
    fs::remove_all(documents);
    fs::create_directories(documents);
    docsEnv = std::make_unique<ScopedEnv>("ENGINE_DOCUMENTS_DIR", documents.c_str());
    GuiFrameTest::SetUp();
    Dict().DeleteAll();
    VSoundManager::GlobalManager().SetInitialized(true);
    VSoundManager::GlobalManager().SetMasterVolume(1.0f);
    // A windowed 1280x720 with vertical sync, as the presets' defaults describe it.
    VisMainApp::GetInstance()->m_videoConfig.m_bWaitVRetrace = true;
    // Fresh settings from this test's folder, not what an earlier test left.
    SettingsManager::CleanInstance();
    SettingsManager::GetInstance();
    gui->ShowFrame(WT_FADE_OUT);
  }
  void TearDown() override {
    GUIManager::CleanInstance();
    SettingsManager::CleanInstance();
    VisMainApp::CleanInstance();
    GameManager::CleanInstance();
    VSoundManager::GlobalManager().SetInitialized(false);
    VVideo::UseDefaultAdapters();
    Dict().DeleteAll();
    GuiFrameTest::TearDown();
    docsEnv.reset();
    fs::remove_all(documents);
  }

  static VStrDictionary& Dict() { return Vision::Game.GetDictionary(); }
  static std::string Value(const char* key) { return Dict().Get(key) ? Dict().Get(key) : "<absent>"; }
  static std::string Labelled(const CEGUI::String& text) {
    return "[font='SketchHeavyRegular-12']" + std::string(text.c_str());
  }
  static CEGUI::String Text(const char* key) { return LocalizationTable::GetInstance()->GetText(key); }

  // The screen shown, with its widgets found; null when it failed.
  FrameOptions* Open() {
    gui->ShowWindow(WT_OPTIONS, nullptr);
    auto* options = dynamic_cast<FrameOptions*>(gui->FindWindowA(WT_OPTIONS));
    if (!options || !gui->IsWindowVisible(WT_OPTIONS)) return nullptr;
    for (int i = 0; i < FrameOptions::OPTION_COUNT; ++i)
      if (!options->GetRecord((Option)i).slider || !options->GetRecord((Option)i).valueLabel) return nullptr;
    return options;
  }
  FrameYesNoPopUp* PopUp() { return dynamic_cast<FrameYesNoPopUp*>(gui->FindWindowA(WT_YES_NO_POPUP)); }
  bool PopUpShown() { return gui->IsWindowVisible(WT_YES_NO_POPUP); }

  static float Position(FrameOptions* options, Option option) {
    return options->GetRecord(option).slider->getScrollPosition();
  }
  // A player's move of the slider: a drag to the position, then the release.
  static void Move(FrameOptions* options, Option option, float position) {
    CEGUI::Scrollbar* slider = options->GetRecord(option).slider;
    slider->setScrollPosition(position);
    CEGUI::WindowEventArgs args(slider);
    slider->fireEvent(CEGUI::Scrollbar::EventThumbTrackEnded, args);
  }
  static std::string ValueLabel(FrameOptions* options, Option option) {
    return options->GetRecord(option).valueLabel->getText().c_str();
  }
  bool ApplyEnabled(FrameOptions* options) {
    return !options->GetComponent("Options/Window/BtnApply")->isDisabled();
  }
  void ClickApply(FrameOptions* options) { Click(options->GetComponent("Options/Window/BtnApply")); }
  std::string ApplyTextColours(FrameOptions* options, int child) {
    std::string colours;
    CeguiCompat::GetProperty(options->GetComponent("Options/Window/BtnApply")->getChildAtIdx(child), "TextColours",
                             colours);
    return colours;
  }
  // A key released: what closes the frames of the frame table.
  static void KeyUp(int key, int scanCode) {
    VInputCallbackDataObject up(&VInputCallbacks::OnKeyUp, key, scanCode, 0);
    VInputCallbacks::OnKeyUp.TriggerCallbacks(&up);
  }
  // The video mode's index in the resolution list.
  static int ModeIndex(FrameOptions* options, int width, int height) {
    const auto& modes = options->GetVideoModes();
    for (size_t i = 0; i < modes.size(); ++i)
      if (modes[i].m_iXRes == width && modes[i].m_iYRes == height) return (int)i;
    return -1;
  }

  fs::path SettingsBin() const { return documents / "Fenwold/Brinemark/settings.bin"; }

  fs::path documents;
  std::unique_ptr<ScopedEnv> docsEnv;
};

TEST_F(FrameOptionsTest, OpensWithEverySliderOnTheCurrentValues) {
  SoundManager::GetInstance()->SetMasterVolume(0.7f);
  SoundManager::GetInstance()->SetSpeechVolume(0.25f);
  FrameOptions* options = Open();
  ASSERT_NE(options, nullptr);
  ASSERT_TRUE(gui->IsWindowVisible(WT_OPTIONS));

  // The presets' defaults: shadows Medium of Off/Low/Medium/High, windowed On of On/Off.
  EXPECT_EQ(Position(options, FrameOptions::OPTION_SHADOWS), 2.0f);
  EXPECT_EQ(ValueLabel(options, FrameOptions::OPTION_SHADOWS), Labelled(Text("Medium")));
  EXPECT_EQ(Position(options, FrameOptions::OPTION_WINDOWED), 0.0f);
  EXPECT_EQ(options->GetRecord(FrameOptions::OPTION_WINDOWED).previousPosition, 0.0f);
  EXPECT_EQ(std::string(options->GetRecord(FrameOptions::OPTION_SHADOWS).label->getText().c_str()),
            Labelled(Text("str_OPTIONS_SHADOWS")));
  EXPECT_EQ(Position(options, FrameOptions::OPTION_MASTER_VOLUME), 70.0f);
  EXPECT_EQ(ValueLabel(options, FrameOptions::OPTION_MASTER_VOLUME), Labelled("70%"));
  EXPECT_EQ(Position(options, FrameOptions::OPTION_SPEECH_VOLUME), 25.0f);
  EXPECT_EQ(ValueLabel(options, FrameOptions::OPTION_RESOLUTION), Labelled("1280x720"));
  // The overall quality is not offered.
  EXPECT_FALSE(options->GetRecord(FrameOptions::OPTION_OVERALL_QUALITY).slider->isVisible());
  // Nothing to apply yet, and the button says so.
  env.Frame();
  EXPECT_EQ(options->GetChangeMask(), 0u);
  EXPECT_FALSE(ApplyEnabled(options));
  EXPECT_EQ(ApplyTextColours(options, 0), "tl:FF000000 tr:FF000000 bl:FF000000 br:FF000000");
  EXPECT_EQ(ApplyTextColours(options, 1), "tl:FFCCCCCC tr:FFCCCCCC bl:FFCCCCCC br:FFCCCCCC");
  ExpectNoCeguiFailure();
}

TEST_F(FrameOptionsTest, VolumesActAtOnceAndNeverEnableApply) {
  FrameOptions* options = Open();
  ASSERT_NE(options, nullptr);
  Move(options, FrameOptions::OPTION_MASTER_VOLUME, 40.0f);
  Move(options, FrameOptions::OPTION_MUSIC_VOLUME, 50.0f);
  Move(options, FrameOptions::OPTION_SPEECH_VOLUME, 30.0f);
  Move(options, FrameOptions::OPTION_FX_VOLUME, 20.0f);
  env.Frame();

  EXPECT_EQ(options->GetChangeMask(), 0x80u);
  EXPECT_FALSE(ApplyEnabled(options));
  EXPECT_FLOAT_EQ(SoundManager::GetInstance()->GetMasterVolume(), 0.4f);
  EXPECT_FLOAT_EQ(VSoundManager::GlobalManager().GetMasterVolume(), 0.4f);
  EXPECT_FLOAT_EQ(MusicManager::GetInstance()->GetMusicVolume(), 0.5f);
  EXPECT_FLOAT_EQ(SpeechManager::GetInstance()->GetSpeechVolume(), 0.3f);
  EXPECT_FLOAT_EQ(SoundManager::GetInstance()->GetFXVolume(), 0.2f);
  EXPECT_EQ(Value("MasterVolume"), "0.4000");
  EXPECT_EQ(Value("MusicVolume"), "0.5000");
  EXPECT_EQ(Value("SpeechVolume"), "0.3000");
  EXPECT_EQ(Value("FXVolume"), "0.2000");
  EXPECT_EQ(ValueLabel(options, FrameOptions::OPTION_FX_VOLUME), Labelled("20%"));
  // Not saved by the screen itself.
  EXPECT_FALSE(fs::exists(SettingsBin()));

  // They stay when the screen goes.
  Click(options->GetComponent("Options/Window/BtnBack"));
  env.Frame();
  EXPECT_EQ(gui->FindWindowA(WT_OPTIONS), nullptr);
  EXPECT_FLOAT_EQ(SoundManager::GetInstance()->GetMasterVolume(), 0.4f);
  EXPECT_FLOAT_EQ(SoundManager::GetInstance()->GetFXVolume(), 0.2f);
}

TEST_F(FrameOptionsTest, AppliedShadowsAreWrittenAndReconfiguredWithoutAPopUp) {
  GameManager::GetInstance()->SetLocation(0);
  ASSERT_NE(Vision::Renderer.GetShadowMap(0), nullptr);
  FrameOptions* options = Open();
  ASSERT_NE(options, nullptr);
  Move(options, FrameOptions::OPTION_SHADOWS, 2.8f);
  // Snapped to the step.
  EXPECT_EQ(Position(options, FrameOptions::OPTION_SHADOWS), 3.0f);
  EXPECT_EQ(ValueLabel(options, FrameOptions::OPTION_SHADOWS), Labelled(Text("High")));
  EXPECT_EQ(ValueLabel(options, FrameOptions::OPTION_OVERALL_QUALITY), Labelled(Text("str_OPTIONS_CUSTOM")));
  env.Frame();
  EXPECT_EQ(options->GetChangeMask(), 0x02u);
  ASSERT_TRUE(ApplyEnabled(options));
  EXPECT_EQ(ApplyTextColours(options, 0), "tl:FF280600 tr:FF280600 bl:FF280600 br:FF280600");
  EXPECT_EQ(ApplyTextColours(options, 1), "tl:FFF9BC66 tr:FFF9BC66 bl:FFF9BC66 br:FFF9BC66");

  ClickApply(options);
  EXPECT_EQ(Value("Quality_2"), "High");
  EXPECT_EQ(Value("Shadows_ShadowMapSize_0"), "2048");
  EXPECT_EQ(Vision::Renderer.GetShadowMap(0)->m_iMapSize, 2048);
  EXPECT_EQ(PopUp(), nullptr);
  // No mode change: the settings are saved at once.
  EXPECT_TRUE(fs::exists(SettingsBin()));
  env.Frame();
  EXPECT_EQ(options->GetChangeMask(), 0u);
  EXPECT_FALSE(ApplyEnabled(options));
  EXPECT_EQ(VVideo::GetCurrentWidth(), 1280);
}

TEST_F(FrameOptionsTest, BackDropsAnUnappliedShadowChange) {
  FrameOptions* options = Open();
  ASSERT_NE(options, nullptr);
  Move(options, FrameOptions::OPTION_SHADOWS, 0.0f);
  Click(options->GetComponent("Options/Window/BtnBack"));
  EXPECT_FALSE(gui->IsWindowVisible(WT_OPTIONS));
  env.Frame();
  EXPECT_EQ(gui->FindWindowA(WT_OPTIONS), nullptr);
  EXPECT_EQ(Value("Quality_2"), "Medium");
  EXPECT_EQ(PopUp(), nullptr);

  options = Open();
  ASSERT_NE(options, nullptr);
  EXPECT_EQ(Position(options, FrameOptions::OPTION_SHADOWS), 2.0f);
}

TEST_F(FrameOptionsTest, AStoredQualityOutsideTheListStartsOnTheFirstStep) {
  const struct {
    const char* stored;
    float position;
  } cases[] = {{"Ultra", 0.0f}, {"high", 0.0f}, {"", 0.0f}, {"Low", 1.0f}, {"High", 3.0f}};
  for (const auto& c : cases) {
    Dict().Set("Quality_2", c.stored);
    FrameOptions* options = Open();
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(Position(options, FrameOptions::OPTION_SHADOWS), c.position) << c.stored;
    env.Frame();
    EXPECT_EQ(options->GetChangeMask(), 0u);
    gui->CloseWindow(WT_OPTIONS, true);
  }
}

TEST_F(FrameOptionsTest, TheResolutionListHoldsLargeEnoughModesOnceStartingOnTheConfiguredOne) {
  auto mode = [](int w, int h, int refresh, int bits = 32) {
    VVideoMode m;
    m.m_iXRes = w;
    m.m_iYRes = h;
    m.m_iRefreshRate = refresh;
    m.m_iBitsPerPixel = bits;
    return m;
  };
  VVideo::SetFakeAdapters({{mode(1920, 1080, 60), mode(800, 600, 60), mode(1024, 768, 60), mode(1280, 720, 60, 16),
                            mode(1280, 720, 75), mode(1000, 800, 60), mode(1600, 700, 60), mode(1024, 768, 60),
                            mode(1280, 720, 60), mode(1920, 1080, 60), mode(1024, 720, 60)}});
  FrameOptions* options = Open();
  ASSERT_NE(options, nullptr);
  const FrameOptions::OptionRecord& record = options->GetRecord(FrameOptions::OPTION_RESOLUTION);
  std::vector<std::string> names;
  for (const VHashString& name : record.qualities) names.push_back(name.AsChar());
  EXPECT_EQ(names, (std::vector<std::string>{"1920x1080x0", "1024x768x0", "1280x720x0", "1280x720x0", "1024x720x0"}));
  ASSERT_EQ(options->GetVideoModes().size(), 5u);
  EXPECT_EQ(options->GetVideoModes()[2].m_iRefreshRate, 75);
  // The configured 1280x720 at the desktop's 60 Hz.
  EXPECT_EQ(Position(options, FrameOptions::OPTION_RESOLUTION), 3.0f);
  EXPECT_EQ(record.previousPosition, 3.0f);
  EXPECT_EQ(record.slider->getDocumentSize(), 5.0f);
  EXPECT_EQ(ValueLabel(options, FrameOptions::OPTION_RESOLUTION), Labelled("1280x720"));
  gui->CloseWindow(WT_OPTIONS, true);

  // Nothing large enough: no steps, and Apply changes no resolution.
  VVideo::SetFakeAdapters({{mode(800, 600, 60), mode(640, 480, 60)}});
  options = Open();
  ASSERT_NE(options, nullptr);
  EXPECT_TRUE(options->GetVideoModes().empty());
  EXPECT_EQ(options->GetRecord(FrameOptions::OPTION_RESOLUTION).slider->getDocumentSize(), 0.0f);
  Move(options, FrameOptions::OPTION_RESOLUTION, 1.0f);
  ClickApply(options);
  EXPECT_EQ(Value("Quality_0"), "<absent>");
  EXPECT_EQ(PopUp(), nullptr);
}

TEST_F(FrameOptionsTest, AdvancedSwapsThePagesAndTheButtonText) {
  FrameOptions* options = Open();
  ASSERT_NE(options, nullptr);
  CEGUI::Window* basic = options->GetComponent("Options/Window/Basic");
  CEGUI::Window* advanced = options->GetComponent("Options/Window/Advanced");
  CEGUI::Window* button = options->GetComponent("Options/Window/BtnAdvanced");
  auto texts = [&] {
    return std::string(options->GetComponent("Options/Window/BtnAdvanced/text")->getText().c_str()) + "|" +
           options->GetComponent("Options/Window/BtnAdvanced/text2")->getText().c_str();
  };
  EXPECT_TRUE(basic->isVisible());
  EXPECT_FALSE(advanced->isVisible());
  EXPECT_EQ(texts(), std::string(Text("str_OPTIONS_ADVANCED").c_str()) + "|" + Text("str_OPTIONS_ADVANCED").c_str());

  Click(button);
  EXPECT_TRUE(options->IsAdvancedShown());
  EXPECT_FALSE(basic->isVisible());
  EXPECT_TRUE(advanced->isVisible());
  EXPECT_EQ(texts(), std::string(Text("str_OPTIONS_BASIC").c_str()) + "|" + Text("str_OPTIONS_BASIC").c_str());
  EXPECT_TRUE(options->GetRecord(FrameOptions::OPTION_VSYNC).slider->isEffectiveVisible());

  Click(button);
  EXPECT_FALSE(options->IsAdvancedShown());
  EXPECT_TRUE(basic->isVisible());
  EXPECT_FALSE(advanced->isVisible());
  EXPECT_EQ(texts(), std::string(Text("str_OPTIONS_ADVANCED").c_str()) + "|" + Text("str_OPTIONS_ADVANCED").c_str());
}

TEST_F(FrameOptionsTest, ReleasingTheSpeechOrEffectsSliderPlaysItsTestSound) {
  SoundManager::GetInstance()->AddSound(WEAPON, SOUND_WEAPON_1, "Sounds\\cannon_01.wav", false);
  FrameOptions* options = Open();
  ASSERT_NE(options, nullptr);
  const struct {
    Option option;
    const char* event;
    const char* file;  // null: none
  } cases[] = {
      {FrameOptions::OPTION_SPEECH_VOLUME, "ThumbTrackEnded", "sounds\\HarHar\\Man1Fearful1.wav"},
      {FrameOptions::OPTION_SPEECH_VOLUME, "MouseButtonUp", "sounds\\HarHar\\Man1Fearful1.wav"},
      {FrameOptions::OPTION_FX_VOLUME, "ThumbTrackEnded", "Sounds\\cannon_01.wav"},
      {FrameOptions::OPTION_FX_VOLUME, "MouseButtonUp", "Sounds\\cannon_01.wav"},
      {FrameOptions::OPTION_MASTER_VOLUME, "MouseButtonUp", nullptr},
      {FrameOptions::OPTION_MUSIC_VOLUME, "ThumbTrackEnded", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.event) + " " + std::to_string((int)c.option));
    CEGUI::Scrollbar* slider = options->GetRecord(c.option).slider;
    slider->setScrollPosition(60.0f);
    const int before = VSoundManager::GlobalManager().GetInstanceCount();
    CEGUI::MouseEventArgs args(slider);
    slider->fireEvent(c.event, args);
    VSoundManager& sounds = VSoundManager::GlobalManager();
    if (!c.file) {
      EXPECT_EQ(sounds.GetInstanceCount(), before);
      continue;
    }
    ASSERT_EQ(sounds.GetInstanceCount(), before + 1);
    VSoundObject* played = sounds.GetInstance(before);
    EXPECT_EQ(std::string(played->GetResource()->GetFileName()), c.file);
    EXPECT_TRUE(played->IsPlaying());
    EXPECT_FLOAT_EQ(played->GetVolume(), 0.6f);
  }
}

class FrameOptionsVideoModeTest : public FrameOptionsTest {
 protected:
  FrameOptionsVideoModeTest() { timeStep = 0.5f; }

  // Picks 1600x900 and applies it.
  FrameOptions* OpenAndApplyNewMode() {
    FrameOptions* options = Open();
    if (!options) return nullptr;
    Move(options, FrameOptions::OPTION_RESOLUTION, (float)ModeIndex(options, 1600, 900));
    env.Frame();
    ClickApply(options);
    return options;
  }
  // Frames until the pop-up goes or the seconds have passed.
  int RunSeconds(float seconds) {
    int frames = 0;
    while (frames * timeStep < seconds) {
      env.Frame();
      ++frames;
    }
    return frames;
  }
};

TEST_F(FrameOptionsVideoModeTest, ANewModeUnansweredFor30SecondsIsUndoneAndAskedAboutAgain) {
  FrameOptions* options = OpenAndApplyNewMode();
  ASSERT_NE(options, nullptr);
  EXPECT_EQ(VVideo::GetCurrentWidth(), 1600);
  EXPECT_EQ(Value("Quality_0"), "1600x900x0");
  ASSERT_TRUE(PopUpShown());
  EXPECT_EQ(PopUp()->GetCallbackOwner(), options);
  EXPECT_FLOAT_EQ(PopUp()->GetCountDown(), 30.0f);
  EXPECT_EQ(std::string(PopUp()->GetComponent("YesNoPopUp/Window/Header")->getText().c_str()),
            Text("str_VIDEOMODE_CHANGED").c_str());
  // Not kept before the player says so.
  EXPECT_FALSE(fs::exists(SettingsBin()));

  // 30 s, one frame below 0, one more to answer No.
  RunSeconds(30.0f + 2 * timeStep);
  EXPECT_EQ(VVideo::GetCurrentWidth(), 1280);
  EXPECT_EQ(VVideo::GetCurrentHeight(), 720);
  EXPECT_EQ(Value("Quality_0"), "1280x720x0");
  EXPECT_EQ(ValueLabel(options, FrameOptions::OPTION_RESOLUTION), Labelled("1280x720"));
  // Asked once more, about the restored mode.
  ASSERT_TRUE(PopUpShown());
  EXPECT_FLOAT_EQ(PopUp()->GetCountDown(), 30.0f);
  env.Frame();
  ASSERT_TRUE(PopUpShown());
  EXPECT_EQ(options->GetChangeMask(), 0u);

  // That second question left alone finds nothing to undo and closes.
  RunSeconds(31.0f);
  EXPECT_EQ(gui->FindWindowA(WT_YES_NO_POPUP), nullptr);
  EXPECT_EQ(VVideo::GetCurrentWidth(), 1280);
  EXPECT_TRUE(gui->IsWindowVisible(WT_OPTIONS));
  EXPECT_FALSE(fs::exists(SettingsBin()));
  EXPECT_FALSE(PauseManager::GetInstance()->IsGamePaused());
}

TEST_F(FrameOptionsVideoModeTest, YesKeepsAndSavesTheNewMode) {
  FrameOptions* options = OpenAndApplyNewMode();
  ASSERT_NE(options, nullptr);
  ASSERT_TRUE(PopUpShown());
  RunSeconds(5.0f);
  Click(PopUp()->GetComponent("YesNoPopUp/Window/BtnYes"));
  EXPECT_TRUE(fs::exists(SettingsBin()));
  RunSeconds(40.0f);
  EXPECT_EQ(gui->FindWindowA(WT_YES_NO_POPUP), nullptr);
  EXPECT_EQ(VVideo::GetCurrentWidth(), 1600);
  EXPECT_EQ(options->GetRecord(FrameOptions::OPTION_RESOLUTION).previousPosition,
            (float)ModeIndex(options, 1600, 900));
  Dict().DeleteAll();
  ASSERT_TRUE(SettingsManager::GetInstance()->LoadSettingsFromSave());
  EXPECT_EQ(Value("Quality_0"), "1600x900x0");
}

TEST_F(FrameOptionsVideoModeTest, ClosingUnderALivePopUpUndoesTheModeAndClosesThePopUp) {
  // However the options go: the frame table's keys, or the frame closed by kind.
  const struct {
    const char* how;
    int key;  // 0: closed by kind
    int scanCode;
  } cases[] = {{"Escape", VGLK_ESC, CEGUI::Key::Escape},
               {"Enter", VGLK_ENTER, CEGUI::Key::Return},
               {"closed by kind", 0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    FrameOptions* options = OpenAndApplyNewMode();
    ASSERT_NE(options, nullptr);
    ASSERT_TRUE(PopUpShown());
    ASSERT_EQ(VVideo::GetCurrentWidth(), 1600);
    env.Frame();
    if (c.key)
      KeyUp(c.key, c.scanCode);
    else
      gui->CloseWindow(WT_OPTIONS, false);
    env.Frame();
    EXPECT_EQ(gui->FindWindowA(WT_OPTIONS), nullptr);
    // Undone as No would, and not asked again: nobody is left to answer.
    EXPECT_EQ(VVideo::GetCurrentWidth(), 1280);
    EXPECT_EQ(Value("Quality_0"), "1280x720x0");
    EXPECT_FALSE(PopUpShown());
    // The pop-up's count-down and buttons reach nothing of the deleted frame.
    RunSeconds(35.0f);
    EXPECT_EQ(gui->FindWindowA(WT_YES_NO_POPUP), nullptr);
    EXPECT_EQ(VVideo::GetCurrentWidth(), 1280);
    EXPECT_FALSE(fs::exists(SettingsBin()));
    EXPECT_FALSE(PauseManager::GetInstance()->IsGamePaused());
  }
}

TEST_F(FrameOptionsTest, TheFrameTableKeysCloseItButSpaceDoesNot) {
  const struct {
    int key;
    int scanCode;
    bool closes;
  } cases[] = {{VGLK_SPACE, CEGUI::Key::Space, false},
               {VGLK_ENTER, CEGUI::Key::Return, true},
               {VGLK_ESC, CEGUI::Key::Escape, true},
               {VGLK_THIRD_CLOSE, CEGUI::Key::NumpadEnter, true}};
  for (const auto& c : cases) {
    FrameOptions* options = Open();
    ASSERT_NE(options, nullptr);
    // The key goes to the screen's own widget, as after a click on it.
    options->GetRecord(FrameOptions::OPTION_MASTER_VOLUME).slider->activate();
    KeyUp(c.key, c.scanCode);
    env.Frame();
    EXPECT_EQ(gui->FindWindowA(WT_OPTIONS) != nullptr, !c.closes) << c.key;
    gui->CloseWindow(WT_OPTIONS, true);
  }
}

}  // namespace
