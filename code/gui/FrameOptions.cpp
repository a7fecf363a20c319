// The options screen.
#include "gui/FrameOptions.h"

#include "Managers/LocalizationTable.h"
#include "Managers/MusicManager.h"
#include "Managers/SettingsManager.h"
#include "Managers/SoundManager.h"
#include "Managers/SpeechManager.h"
#include "core/VisMainApp.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameYesNoPopUp.h"
#include "gui/GUIManager.h"

#include <CEGUI/CEGUI.h>

#include <cmath>
#include <cstdio>

using CeguiCompat::Try;

namespace {

const char* const kFont = "[font='SketchHeavyRegular-12']";
const char* const kSpeechTestSound = "sounds\\HarHar\\Man1Fearful1.wav";
const float kKeepModeSeconds = 30.0f;

struct OptionInfo {
  const char* prefix;
  int family;  // eSettingType, -1 for none
  unsigned bit;
  const char* labelKey;
};

// In the order of FrameOptions::Option.
const OptionInfo kOptions[FrameOptions::OPTION_COUNT] = {
    {"Options/Window/Advanced/Option2", SETTING_SSAO, 0x01, "str_OPTIONS_SSAO"},
    {"Options/Window/Advanced/Option3", SETTING_SHADOWS, 0x02, "str_OPTIONS_SHADOWS"},
    {"Options/Window/Advanced/Option4", SETTING_ANISOTROPIC, 0x04, "str_OPTIONS_ANISOTROPIC"},
    {"Options/Window/Basic/Option1", SETTING_RESOLUTION, 0x08, "str_OPTIONS_RESOLUTION"},
    {"Options/Window/Advanced/Option1", SETTING_VSYNC, 0x10, "str_OPTIONS_VSYNC"},
    {"Options/Window/Basic/Option2", SETTING_WINDOWED, 0x20, "str_OPTIONS_WINDOWED"},
    {"Options/Window/Basic/Option3", -1, 0x40, nullptr},
    {"Options/Window/Basic/Option4", -1, 0x80, "str_OPTIONS_MASTER_VOLUME"},
    {"Options/Window/Basic/Option5", -1, 0x80, "str_OPTIONS_MUSIC_VOLUME"},
    {"Options/Window/Basic/Option6", -1, 0x80, "str_OPTIONS_SPEECH_VOLUME"},
    {"Options/Window/Basic/Option7", -1, 0x80, "str_OPTIONS_FX_VOLUME"},
};

const unsigned kVolumeBit = 0x80;
const unsigned kVideoModeBits = 0x08 | 0x20;

CEGUI::String Text(const char* key) { return LocalizationTable::GetInstance()->GetText(key); }
CEGUI::String Labelled(const CEGUI::String& text) { return CEGUI::String(kFont) + text; }

void SetText(CEGUI::Window* window, const CEGUI::String& text) {
  if (window && window->getText() != text) Try("options text", [&] { window->setText(text); });
}

void SetVisible(CEGUI::Window* window, bool visible) {
  if (window) Try("options visibility", [&] { window->setVisible(visible); });
}

int Snapped(float position) { return (int)std::floor(position + 0.5f); }

std::string Format(const char* format, int value) {
  char text[64];
  snprintf(text, sizeof(text), format, value);
  return text;
}

std::string FormatVolume(float volume) {
  char text[32];
  snprintf(text, sizeof(text), "%.4f", volume);
  return text;
}

VStrDictionary& Dictionary() { return Vision::Game.GetDictionary(); }

// The look of a text button's two labels: ink and its highlight.
void SetButtonTextColours(CEGUI::Window* button, const char* first, const char* second) {
  if (!button) return;
  size_t count = 0;
  Try("button labels", [&] { count = button->getChildCount(); });
  const char* colours[] = {first, second};
  for (size_t i = 0; i < count && i < 2; ++i) {
    CEGUI::Window* child = nullptr;
    Try("button label", [&] { child = button->getChildAtIdx(i); });
    CeguiCompat::SetProperty(child, "TextColours", colours[i]);
  }
}

}  // namespace

FrameOptions::FrameOptions() : BaseWindow(WT_OPTIONS, "Options.layout") {
  m_records[OPTION_SSAO].custom = true;
  m_records[OPTION_SHADOWS].custom = true;
  m_records[OPTION_ANISOTROPIC].custom = true;
}

FrameOptions::~FrameOptions() {
  // Closed while the pop-up still asks about a new video mode: the old mode comes
  // back as No would bring it, and the pop-up goes without calling us.
  if (FrameYesNoPopUp* popup = FindOwnPopUp()) {
    for (Option option : {OPTION_RESOLUTION, OPTION_WINDOWED})
      StoreQuality(option, m_records[option].previousPosition);
    if (!Vision::Editor.IsInEditor()) RunApplySequence();
    popup->OnFrameDeleted(this);
  }
}

unsigned FrameOptions::ChangeBit(Option option) { return kOptions[option].bit; }

// ---------------------------------------------------------------------------
// Set-up

bool FrameOptions::HookComponents() {
  typedef CEGUI::Event::Subscriber Subscriber;
  if (!Bind(CEGUI::String("Options/Window/BtnBack"), CEGUI::PushButton::EventClicked,
            Subscriber(&FrameOptions::BackClicked, this)))
    return false;
  if (!Bind(CEGUI::String("Options/Window/BtnApply"), CEGUI::PushButton::EventClicked,
            Subscriber(&FrameOptions::ApplyClicked, this)))
    return false;
  if (!Bind(CEGUI::String("Options/Window/BtnApply"), CEGUI::Window::EventDisabled,
            Subscriber(&FrameOptions::ApplyButtonDisabled, this)))
    return false;
  if (!Bind(CEGUI::String("Options/Window/BtnApply"), CEGUI::Window::EventEnabled,
            Subscriber(&FrameOptions::ApplyButtonEnabled, this)))
    return false;
  if (!Bind(CEGUI::String("Options/Window/BtnAdvanced"), CEGUI::PushButton::EventClicked,
            Subscriber(&FrameOptions::AdvancedClicked, this)))
    return false;

  m_pBasicPage = GetComponent("Options/Window/Basic");
  m_pAdvancedPage = GetComponent("Options/Window/Advanced");
  m_pApplyButton = GetComponent("Options/Window/BtnApply");
  m_pAdvancedText = GetComponent("Options/Window/BtnAdvanced/text");
  m_pAdvancedText2 = GetComponent("Options/Window/BtnAdvanced/text2");

  for (int i = 0; i < OPTION_COUNT; ++i) {
    OptionRecord& record = m_records[i];
    const CEGUI::String prefix(kOptions[i].prefix);
    record.label = GetComponent(prefix + "/Label");
    record.valueLabel = GetComponent(prefix + "/LabelValue");
    record.slider = dynamic_cast<CEGUI::Scrollbar*>(GetComponent(prefix + "/Slider"));
    if (!record.slider) return false;
    record.slider->setUserData(&record);
  }

  for (Option option : {OPTION_RESOLUTION}) {
    CEGUI::Window* slider = m_records[option].slider;
    if (!Bind(slider, CEGUI::Scrollbar::EventScrollPositionChanged,
              Subscriber(&FrameOptions::ResolutionChanged, this)) ||
        !Bind(slider, CEGUI::Scrollbar::EventThumbTrackEnded, Subscriber(&FrameOptions::SnapSlider, this)))
      return false;
  }
  for (Option option : {OPTION_WINDOWED, OPTION_SSAO, OPTION_SHADOWS, OPTION_ANISOTROPIC, OPTION_VSYNC}) {
    CEGUI::Window* slider = m_records[option].slider;
    if (!Bind(slider, CEGUI::Scrollbar::EventScrollPositionChanged, Subscriber(&FrameOptions::QualityChanged, this)) ||
        !Bind(slider, CEGUI::Scrollbar::EventThumbTrackEnded, Subscriber(&FrameOptions::SnapSlider, this)))
      return false;
  }
  for (Option option : {OPTION_MASTER_VOLUME, OPTION_MUSIC_VOLUME, OPTION_SPEECH_VOLUME, OPTION_FX_VOLUME}) {
    if (!Bind(m_records[option].slider, CEGUI::Scrollbar::EventScrollPositionChanged,
              Subscriber(&FrameOptions::VolumeChanged, this)))
      return false;
  }
  for (Option option : {OPTION_SPEECH_VOLUME, OPTION_FX_VOLUME}) {
    CEGUI::Window* slider = m_records[option].slider;
    if (!Bind(slider, CEGUI::Window::EventMouseButtonUp, Subscriber(&FrameOptions::PlayTestSound, this)) ||
        !Bind(slider, CEGUI::Scrollbar::EventThumbTrackEnded, Subscriber(&FrameOptions::PlayTestSound, this)))
      return false;
  }
  const OptionRecord& overall = m_records[OPTION_OVERALL_QUALITY];
  for (CEGUI::Window* window : {overall.label, overall.valueLabel, (CEGUI::Window*)overall.slider})
    SetVisible(window, false);

  FillSliders();
  SetButtonLook(m_pApplyButton && !m_pApplyButton->isDisabled());
  return BaseWindow::HookComponents();
}

void FrameOptions::ConfigureSlider(OptionRecord& record, float documentSize, float pageSize, float position) {
  Try("options slider", [&] {
    record.slider->setDocumentSize(documentSize);
    record.slider->setPageSize(pageSize);
    record.slider->setStepSize(1.0f);
    record.slider->setOverlapSize(0.0f);
    record.slider->setScrollPosition(position);
  });
}

void FrameOptions::FillSliders() {
  m_bFilling = true;
  SettingsManager* settings = SettingsManager::GetInstance();

  for (Option option : {OPTION_SSAO, OPTION_SHADOWS, OPTION_ANISOTROPIC, OPTION_VSYNC, OPTION_WINDOWED}) {
    OptionRecord& record = m_records[option];
    const int family = kOptions[option].family;
    record.qualities.clear();
    settings->GetQualities((eSettingType)family, record.qualities);
    const bool any = !record.qualities.empty();
    for (CEGUI::Window* window : {record.label, record.valueLabel, (CEGUI::Window*)record.slider})
      SetVisible(window, any);
    if (!any) continue;
    SetText(record.label, Labelled(Text(kOptions[option].labelKey)));
    // A stored name the list does not know puts the slider on its first step.
    float position = 0.1f;
    if (const char* stored = Dictionary().Get(Format("Quality_%d", family).c_str())) {
      for (size_t i = 0; i < record.qualities.size(); ++i)
        if (record.qualities[i] == VHashString(stored)) position = (float)i + 0.1f;
    }
    ConfigureSlider(record, (float)record.qualities.size(), 1.0f, position);
    if (option == OPTION_WINDOWED) record.previousPosition = SliderPosition(record);
    UpdateQualityLabel(record);
  }

  FillVideoModes();

  const Option volumes[] = {OPTION_MASTER_VOLUME, OPTION_MUSIC_VOLUME, OPTION_SPEECH_VOLUME, OPTION_FX_VOLUME};
  const float levels[] = {SoundManager::GetInstance()->GetMasterVolume(), MusicManager::GetInstance()->GetMusicVolume(),
                          SpeechManager::GetInstance()->GetSpeechVolume(), SoundManager::GetInstance()->GetFXVolume()};
  for (int i = 0; i < 4; ++i) {
    OptionRecord& record = m_records[volumes[i]];
    SetText(record.label, Labelled(Text(kOptions[volumes[i]].labelKey)));
    ConfigureSlider(record, 110.0f, 10.0f, levels[i] * 100.0f);
    UpdateVolume(volumes[i], false);
  }

  for (OptionRecord& record : m_records) record.appliedPosition = SliderPosition(record);

  if (CEGUI::Window* title = GetComponent("Options/Window/Advanced/Title"))
    SetText(title, Labelled(Text("str_OPTIONS_ADVANCED_SETTINGS")));
  if (CEGUI::Window* title = GetComponent("Options/Window/Basic/Title"))
    SetText(title, Labelled(Text("str_OPTIONS_BASIC_SETTINGS")));
  m_bFilling = false;
}

void FrameOptions::FillVideoModes() {
  OptionRecord& record = m_records[OPTION_RESOLUTION];
  record.qualities.clear();
  m_videoModes.clear();

  VisMainApp* app = VisMainApp::GetInstance();
  const int adapter = app->m_videoConfig.m_iAdapter;
  VVideoMode desktop;
  VVideo::GetAdapterMode(adapter, desktop);
  int selected = -1;
  const int count = VVideo::GetAdapterModeCount(adapter);
  for (int i = 0; i < count; ++i) {
    VVideoMode mode;
    if (!VVideo::GetAdapterModeAt(adapter, i, mode) || mode.m_iBitsPerPixel != 32) continue;
    if (mode.m_iXRes < 1024 || mode.m_iYRes < 720) continue;
    bool known = false;
    for (const VVideoMode& kept : m_videoModes)
      known = known || (kept.m_iXRes == mode.m_iXRes && kept.m_iYRes == mode.m_iYRes &&
                        kept.m_iRefreshRate == mode.m_iRefreshRate);
    if (known) continue;
    if (mode.m_iXRes == app->m_videoConfig.m_iXRes && mode.m_iYRes == app->m_videoConfig.m_iYRes &&
        mode.m_iRefreshRate == desktop.m_iRefreshRate)
      selected = (int)m_videoModes.size();
    m_videoModes.push_back(mode);
    char name[64];
    snprintf(name, sizeof(name), "%dx%dx%d", mode.m_iXRes, mode.m_iYRes, 0);
    record.qualities.emplace_back(name);
  }

  SetText(record.label, Labelled(Text("str_OPTIONS_RESOLUTION")));
  ConfigureSlider(record, (float)m_videoModes.size(), 1.0f, selected < 0 ? 0.1f : (float)selected + 0.1f);
  record.previousPosition = SliderPosition(record);
  UpdateResolutionLabel(record);
}

// ---------------------------------------------------------------------------
// Sliders

FrameOptions::OptionRecord* FrameOptions::RecordOf(const CEGUI::EventArgs& args) {
  CEGUI::Window* window = static_cast<const CEGUI::WindowEventArgs&>(args).window;
  if (!window) return nullptr;
  for (OptionRecord& record : m_records)
    if (window->getUserData() == &record) return &record;
  return nullptr;
}

float FrameOptions::SliderPosition(const OptionRecord& record) const {
  return record.slider ? record.slider->getScrollPosition() : 0.0f;
}

void FrameOptions::SetSliderPosition(OptionRecord& record, float position) {
  if (record.slider) Try("options slider", [&] { record.slider->setScrollPosition(position); });
}

bool FrameOptions::SnapSlider(const CEGUI::EventArgs& args) {
  if (OptionRecord* record = RecordOf(args)) SetSliderPosition(*record, (float)Snapped(SliderPosition(*record)));
  return true;
}

bool FrameOptions::QualityChanged(const CEGUI::EventArgs& args) {
  OptionRecord* record = RecordOf(args);
  if (!record) return true;
  SetSliderPosition(*record, (float)Snapped(SliderPosition(*record)));
  UpdateQualityLabel(*record);
  if (record->custom && !m_bFilling) {
    OptionRecord& overall = m_records[OPTION_OVERALL_QUALITY];
    overall.appliedPosition = SliderPosition(overall);
    SetText(overall.valueLabel, Labelled(Text("str_OPTIONS_CUSTOM")));
  }
  return true;
}

void FrameOptions::UpdateQualityLabel(OptionRecord& record) {
  const int index = Snapped(SliderPosition(record));
  if (index >= 0 && index < (int)record.qualities.size())
    SetText(record.valueLabel, Labelled(Text(record.qualities[index].AsChar())));
}

bool FrameOptions::ResolutionChanged(const CEGUI::EventArgs& args) {
  if (OptionRecord* record = RecordOf(args)) {
    SetSliderPosition(*record, (float)Snapped(SliderPosition(*record)));
    UpdateResolutionLabel(*record);
  }
  return true;
}

void FrameOptions::UpdateResolutionLabel(OptionRecord& record) {
  if (m_videoModes.empty()) return;
  const int index = std::min(std::max(Snapped(SliderPosition(record)), 0), (int)m_videoModes.size() - 1);
  char text[64];
  snprintf(text, sizeof(text), "%dx%d", m_videoModes[index].m_iXRes, m_videoModes[index].m_iYRes);
  SetText(record.valueLabel, Labelled(text));
}

bool FrameOptions::VolumeChanged(const CEGUI::EventArgs& args) {
  if (OptionRecord* record = RecordOf(args)) UpdateVolume((Option)(record - m_records), !m_bFilling);
  return true;
}

void FrameOptions::UpdateVolume(Option option, bool apply) {
  OptionRecord& record = m_records[option];
  const float position = SliderPosition(record);
  if (apply) {
    const float volume = position * 0.01f;
    SoundManager* sound = SoundManager::GetInstance();
    const char* key = nullptr;
    switch (option) {
      case OPTION_MASTER_VOLUME:
        // Also hands it to the sound plug-in's global master volume.
        sound->SetMasterVolume(volume);
        key = "MasterVolume";
        break;
      case OPTION_MUSIC_VOLUME:
        sound->SetMusicVolume(volume);
        key = "MusicVolume";
        break;
      case OPTION_SPEECH_VOLUME:
        sound->SetSpeechVolume(volume);
        key = "SpeechVolume";
        break;
      case OPTION_FX_VOLUME:
        sound->SetFXVolume(volume);
        key = "FXVolume";
        break;
      default:
        break;
    }
    if (key) Dictionary().Set(key, FormatVolume(volume).c_str());
  }
  SetText(record.valueLabel, Labelled(Format("%d%%", (int)std::lround(position)).c_str()));
}

bool FrameOptions::PlayTestSound(const CEGUI::EventArgs& args) {
  OptionRecord* record = RecordOf(args);
  if (record == &m_records[OPTION_SPEECH_VOLUME]) {
    SpeechManager::GetInstance()->PlaySound2D(kSpeechTestSound);
  } else if (record == &m_records[OPTION_FX_VOLUME]) {
    SoundManager::GetInstance()->PlaySound(WEAPON, SOUND_WEAPON_1, 1.0f, VisVector_cl(0.0f, 0.0f, 0.0f), 400.0f,
                                           0.0f);
  }
  return true;
}

unsigned FrameOptions::GetChangeMask() const {
  unsigned mask = 0;
  for (int i = 0; i < OPTION_COUNT; ++i)
    if (SliderPosition(m_records[i]) != m_records[i].appliedPosition) mask |= kOptions[i].bit;
  return mask;
}

// ---------------------------------------------------------------------------
// Buttons

void FrameOptions::OnBeforeGUIUpdate() {
  BaseWindow::OnBeforeGUIUpdate();
  if (!m_pApplyButton) return;
  const bool changed = (GetChangeMask() & ~kVolumeBit) != 0;
  if (!m_pApplyButton->isDisabled() != changed) Try("apply button", [&] { m_pApplyButton->setEnabled(changed); });
}

void FrameOptions::SetButtonLook(bool enabled) {
  if (enabled)
    SetButtonTextColours(m_pApplyButton, "tl:FF280600 tr:FF280600 bl:FF280600 br:FF280600",
                         "tl:FFF9BC66 tr:FFF9BC66 bl:FFF9BC66 br:FFF9BC66");
  else
    SetButtonTextColours(m_pApplyButton, "tl:FF000000 tr:FF000000 bl:FF000000 br:FF000000",
                         "tl:FFCCCCCC tr:FFCCCCCC bl:FFCCCCCC br:FFCCCCCC");
}

bool FrameOptions::ApplyButtonDisabled(const CEGUI::EventArgs&) {
  SetButtonLook(false);
  return true;
}

bool FrameOptions::ApplyButtonEnabled(const CEGUI::EventArgs&) {
  SetButtonLook(true);
  return true;
}

bool FrameOptions::ApplyClicked(const CEGUI::EventArgs&) {
  Apply(true);
  return true;
}

void FrameOptions::StoreQuality(Option option, float position) {
  const OptionRecord& record = m_records[option];
  const int index = Snapped(position);
  if (index < 0 || index >= (int)record.qualities.size()) return;
  const eSettingType family = (eSettingType)kOptions[option].family;
  SettingsManager::GetInstance()->SetSetting(family, record.qualities[index]);
  Dictionary().Set(Format("Quality_%d", family).c_str(), record.qualities[index].AsChar());
}

void FrameOptions::RunApplySequence() {
  SettingsManager* settings = SettingsManager::GetInstance();
  const bool changed = settings->ApplyResolution(true);
  settings->ApplySSAO();
  settings->ApplyShadows();
  settings->ApplyAnisotropic();
  settings->ApplyVolume();
  // A new video mode is saved once the player keeps it.
  if (!changed) settings->SaveSettings();
}

void FrameOptions::Apply(bool askToKeep) {
  const unsigned mask = GetChangeMask();
  if (mask != 0) {
    for (Option option : {OPTION_SSAO, OPTION_SHADOWS, OPTION_ANISOTROPIC, OPTION_VSYNC, OPTION_RESOLUTION,
                          OPTION_WINDOWED}) {
      if (mask & kOptions[option].bit) StoreQuality(option, SliderPosition(m_records[option]));
    }

    GUIManager* gui = GUIManager::GetInstance();
    FrameYesNoPopUp* popup = nullptr;
    if (askToKeep && (mask & kVideoModeBits)) popup = dynamic_cast<FrameYesNoPopUp*>(gui->GetWindow(WT_YES_NO_POPUP));
    if (popup) {
      LocalizationTable* texts = LocalizationTable::GetInstance();
      popup->SetTitle(texts->GetText("str_VIDEOMODE_CHANGED"));
      popup->SetMessage(texts->GetText("str_VIDEOMODE_KEEP_CHANGES", (int)kKeepModeSeconds));
      popup->SetYesButtonFunction(CEGUI::Event::Subscriber(&FrameOptions::AcceptVideoChanges, this));
      popup->SetNoButtonFunction(CEGUI::Event::Subscriber(&FrameOptions::RevertVideoChanges, this));
      // Our members are its callbacks: it must learn when we go.
      popup->SetCallbackOwner(this);
      popup->SetCountDown(kKeepModeSeconds);
      if (gui->IsInitialized() && gui->GetCurrentFrame()) gui->ShowWindow(popup, nullptr);
    }

    if (!Vision::Editor.IsInEditor()) RunApplySequence();
  }

  for (OptionRecord& record : m_records) record.appliedPosition = SliderPosition(record);
  if (m_bReverting) {
    m_bReverting = false;
    for (Option option : {OPTION_RESOLUTION, OPTION_WINDOWED})
      m_records[option].previousPosition = m_records[option].appliedPosition;
  }
}

bool FrameOptions::AcceptVideoChanges(const CEGUI::EventArgs&) {
  for (Option option : {OPTION_RESOLUTION, OPTION_WINDOWED})
    m_records[option].previousPosition = m_records[option].appliedPosition;
  SettingsManager::GetInstance()->SaveSettings();
  return true;
}

bool FrameOptions::RevertVideoChanges(const CEGUI::EventArgs&) {
  for (Option option : {OPTION_RESOLUTION, OPTION_WINDOWED})
    SetSliderPosition(m_records[option], m_records[option].previousPosition);
  m_bReverting = true;
  // The restored mode is asked about once more.
  Apply(true);
  return true;
}

bool FrameOptions::AdvancedClicked(const CEGUI::EventArgs&) {
  if (!m_pBasicPage || !m_pAdvancedPage) return true;
  Try("options pages", [&] {
    if (!m_bAdvancedShown) {
      m_pBasicPage->setVisible(false);
      m_pAdvancedPage->setVisible(true);
      m_pAdvancedPage->moveToFront();
    } else {
      m_pBasicPage->setVisible(true);
      m_pBasicPage->moveToFront();
      m_pAdvancedPage->setVisible(false);
    }
  });
  SetText(m_pAdvancedText, Text(m_bAdvancedShown ? "str_OPTIONS_ADVANCED" : "str_OPTIONS_BASIC"));
  if (m_pAdvancedText) SetText(m_pAdvancedText2, m_pAdvancedText->getText());
  m_bAdvancedShown = !m_bAdvancedShown;
  return true;
}

bool FrameOptions::BackClicked(const CEGUI::EventArgs&) {
  for (OptionRecord& record : m_records) record.appliedPosition = SliderPosition(record);
  if (GUIManager::HasInstance() && GUIManager::GetInstance()->IsInitialized()) {
    GUIManager* gui = GUIManager::GetInstance();
    if (gui->GetCurrentFrame() == this) gui->SetCurrentFrame(nullptr);
    if (BaseWindow* frame = gui->FindWindowA(WT_OPTIONS)) frame->RequestRemove();
  }
  return true;
}

FrameYesNoPopUp* FrameOptions::FindOwnPopUp() const {
  if (!GUIManager::HasInstance()) return nullptr;
  auto* popup = dynamic_cast<FrameYesNoPopUp*>(GUIManager::GetInstance()->FindWindowA(WT_YES_NO_POPUP));
  if (!popup || popup->GetCallbackOwner() != this || popup->isRequestingRemove()) return nullptr;
  return popup;
}
