// The title screen and its transitions.
#include "gui/FrameMainMenu.h"

#include "Managers/MusicManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SoundManager.h"
#include "Managers/SpeechManager.h"
#include "Missions/MissionManager.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisionApp.h"
#include "engine/os/VOs.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameCharacterSelection.h"
#include "gui/FrameSpecialWeapon.h"
#include "gui/GUIManager.h"
#include "gui/VideoPlayer.h"
#include "launcher/Version.h"

#include <CEGUI/CEGUI.h>

#include <cstdio>

using CeguiCompat::Try;

const char* const FrameMainMenu::kTwitterAddress = "https://brinemark.example/social/twitter";
const char* const FrameMainMenu::kFacebookAddress = "https://brinemark.example/social/facebook";
const char* const FrameMainMenu::kWebSiteAddress = "https://brinemark.example/";

namespace {

const char* const kVideoImageset = "VideoImage";
const char* const kMenuVideo = "cutscenes/Menuvideo.wmv";
const char* const kHoverFont = "SketchHeavyRegular-24-scaling";
const char* const kNormalFont = "SketchHeavyRegular-26-scaling";

void SetVisible(CEGUI::Window* window, bool visible) {
  if (window) Try("visibility", [&] { window->setVisible(visible); });
}

void SetEnabled(CEGUI::Window* window, bool enabled) {
  if (window) Try("enable", [&] { window->setEnabled(enabled); });
}

GUIManager* Gui() { return GUIManager::GetInstance(); }

}  // namespace

FrameMainMenu::FrameMainMenu() : BaseWindow(WT_MAIN_MENU, "MainMenu.layout") {
  Vision::Callbacks.OnVideoDeviceLost.RegisterCallback(this);
  Vision::Callbacks.OnVideoDeviceRestored.RegisterCallback(this);
}

FrameMainMenu::~FrameMainMenu() {
  Vision::Callbacks.OnVideoDeviceLost.DeregisterCallback(this);
  Vision::Callbacks.OnVideoDeviceRestored.DeregisterCallback(this);
  if (GUIManager::HasInstance() && Gui()->IsInitialized()) DestroyVideoImage();
  delete m_pVideoPlayer;
  m_pVideoPlayer = nullptr;
  if (GUIManager::HasInstance()) Gui()->HideLoadingScreen(5.0f, 1.0f);
}

// ---------------------------------------------------------------------------
// Widgets

bool FrameMainMenu::HookComponents() {
  if (!BaseWindow::HookComponents()) return false;
  m_pCurtainUp = GetComponent("MainMenu/CurtainUp");
  m_pCurtainDown = GetComponent("MainMenu/CurtainDown");
  m_pBGFade = GetComponent("MainMenu/BGFade");
  m_pCreditsBG = GetComponent("MainMenu/CreditsBG");
  m_pLogo = GetComponent("MainMenu/BackGround/Logo");
  m_pBackground = GetComponent("MainMenu/BackGround");
  m_pVersion = GetComponent("MainMenu/Version");

  struct Button {
    CEGUI::Window*& widget;
    const char* name;
    bool (FrameMainMenu::*clicked)(const CEGUI::EventArgs&);
    bool hover;
  };
  const Button buttons[] = {
      {m_pButtonContinue, "MainMenu/Menu/ButtonContinue", &FrameMainMenu::ButtonContinueClicked, true},
      {m_pButtonLoad, "MainMenu/Menu/ButtonLoad", &FrameMainMenu::ButtonLoadClicked, true},
      {m_pButtonStart, "MainMenu/Menu/ButtonStart", &FrameMainMenu::ButtonStartClicked, true},
      {m_pButtonSettings, "MainMenu/Menu/ButtonSettings", &FrameMainMenu::ButtonSettingsClicked, true},
      {m_pButtonCredits, "MainMenu/Menu/Credits", &FrameMainMenu::ButtonCreditsClicked, true},
      {m_pButtonExit, "MainMenu/Menu/ButtonExit", &FrameMainMenu::ButtonExitClicked, true},
      {m_pTwitter, "MainMenu/SocialPanel/Twitter", &FrameMainMenu::TwitterClicked, false},
      {m_pFacebook, "MainMenu/SocialPanel/Facebook", &FrameMainMenu::FacebookClicked, false},
      {m_pWww, "MainMenu/SocialPanel/Www", &FrameMainMenu::WwwClicked, false},
  };
  for (const Button& button : buttons) {
    button.widget = GetComponent(button.name);
    if (!button.widget) continue;
    if (!Bind(button.widget, CEGUI::PushButton::EventClicked, CEGUI::Event::Subscriber(button.clicked, this)))
      return false;
    if (button.hover) {
      if (!Bind(button.widget, CEGUI::Window::EventMouseEntersArea,
                CEGUI::Event::Subscriber(&FrameMainMenu::ButtonMouseEnters, this)) ||
          !Bind(button.widget, CEGUI::Window::EventMouseLeavesArea,
                CEGUI::Event::Subscriber(&FrameMainMenu::ButtonMouseLeaves, this)))
        return false;
    }
    Try("rise on click", [&] { button.widget->setRiseOnClickEnabled(false); });
  }
  // Enabled by Init when there is a game to continue.
  SetEnabled(m_pButtonContinue, false);

  if (m_pCreditsBG) {
    if (!Bind(m_pCreditsBG, CEGUI::Window::EventMouseClick,
              CEGUI::Event::Subscriber(&FrameMainMenu::CreditsBackgroundClicked, this)))
      return false;
    Try("rise on click", [&] { m_pCreditsBG->setRiseOnClickEnabled(false); });
  }
  for (int i = 1; i <= 4; ++i) {
    char name[32];
    snprintf(name, sizeof(name), "MainMenu/DLC/Level%d", i);
    SetVisible(GetComponent(name), false);
  }
  return true;
}

bool FrameMainMenu::ButtonContinueClicked(const CEGUI::EventArgs&) { return StartTransition(MMS_CONTINUE); }
bool FrameMainMenu::ButtonLoadClicked(const CEGUI::EventArgs&) { return StartTransition(MMS_LOAD); }
bool FrameMainMenu::ButtonStartClicked(const CEGUI::EventArgs&) { return StartTransition(MMS_NEW_GAME); }
bool FrameMainMenu::ButtonSettingsClicked(const CEGUI::EventArgs&) { return StartTransition(MMS_OPTIONS); }
bool FrameMainMenu::ButtonCreditsClicked(const CEGUI::EventArgs&) { return StartTransition(MMS_CREDITS); }
bool FrameMainMenu::ButtonExitClicked(const CEGUI::EventArgs&) { return StartTransition(MMS_QUIT); }
bool FrameMainMenu::CreditsBackgroundClicked(const CEGUI::EventArgs&) { return StartTransition(MMS_CREDITS_END); }

bool FrameMainMenu::ButtonMouseEnters(const CEGUI::EventArgs& args) {
  CEGUI::Window* window = static_cast<const CEGUI::WindowEventArgs&>(args).window;
  return window && CeguiCompat::SetProperty(window, "Font", kHoverFont);
}

bool FrameMainMenu::ButtonMouseLeaves(const CEGUI::EventArgs& args) {
  CEGUI::Window* window = static_cast<const CEGUI::WindowEventArgs&>(args).window;
  return window && CeguiCompat::SetProperty(window, "Font", kNormalFont);
}

bool FrameMainMenu::TwitterClicked(const CEGUI::EventArgs&) { return VShellOpen(kTwitterAddress); }
bool FrameMainMenu::FacebookClicked(const CEGUI::EventArgs&) { return VShellOpen(kFacebookAddress); }
bool FrameMainMenu::WwwClicked(const CEGUI::EventArgs&) { return VShellOpen(kWebSiteAddress); }

// ---------------------------------------------------------------------------
// Start-up and the video

bool FrameMainMenu::Init() {
  if (!BaseWindow::Init()) return false;
  OpenCurtains();
  HideCreditsBackground();

  if (m_pButtonContinue && m_pButtonLoad) {
    // Refreshes all twenty slot records on its way.
    const bool hasSave = SaveGameManagerProto::GetInstance()->GetNewestSlot() >= 1;
    SetEnabled(m_pButtonContinue, hasSave);
    SetEnabled(m_pButtonLoad, hasSave);
  }

  if (m_pVersion) {
    char text[128];
    snprintf(text, sizeof(text), "Brinemark %s %s", kBrinemarkVersion, kBrinemarkBuildStamp);
    Try("version", [&] {
      m_pVersion->setText(CeguiCompat::ToGui(text));
      m_pVersion->show();
    });
  }

  InitMenuVideo();
  return true;
}

void FrameMainMenu::InitMenuVideo() {
  if (!m_pVideoPlayer) {
    m_pVideoPlayer = new VideoPlayer_cl();
    m_pVideoPlayer->InitStreamingVideo(kMenuVideo);
  }
  CreateVideoImage();
}

void FrameMainMenu::CreateVideoImage() {
  if (!m_pVideoPlayer || !m_pBackground) return;
  DestroyVideoImage();
  m_pVideoTexture = CeguiCompat::CreateTextureOver(Gui()->GetCEGUIRenderer(), m_pVideoPlayer->GetVideoTexture());
  if (m_pVideoTexture &&
      CeguiCompat::DefineImageOnTexture(kVideoImageset, m_pVideoTexture, (float)m_pVideoPlayer->GetVideoWidth(),
                                        (float)m_pVideoPlayer->GetVideoHeight()))
    CeguiCompat::SetProperty(m_pBackground, "Image", "set:VideoImage image:full_image");
  m_pVideoPlayer->Play();
}

void FrameMainMenu::DestroyVideoImage() {
  // The background lets go of the image before the image goes.
  if (m_pBackground) CeguiCompat::SetProperty(m_pBackground, "Image", "");
  if (CeguiCompat::IsImagesetDefined(kVideoImageset)) CeguiCompat::DestroyImageset(kVideoImageset);
  if (m_pVideoTexture) {
    CEGUI::Texture* texture = m_pVideoTexture;
    m_pVideoTexture = nullptr;
    if (CEGUI::Renderer* renderer = Gui()->GetCEGUIRenderer())
      Try("destroy video texture", [&] { renderer->destroyTexture(*texture); });
  }
}

void FrameMainMenu::ReleaseMenuVideo() {
  DestroyVideoImage();
  if (!m_pVideoPlayer) return;
  m_pVideoPlayer->DeInitMainMenuVideo();
  delete m_pVideoPlayer;
  m_pVideoPlayer = nullptr;
}

void FrameMainMenu::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  // Device lost needs nothing: the player drops its texture itself.
  if (data && data->m_pSender == &Vision::Callbacks.OnVideoDeviceRestored) CreateVideoImage();
}

void FrameMainMenu::OnBeforeGUIUpdate() {
  BaseWindow::OnBeforeGUIUpdate();
  if (m_pVideoPlayer) m_pVideoPlayer->UpdateMainMenuVideo();
}

// ---------------------------------------------------------------------------
// Animation groups

void FrameMainMenu::Animate(const char* animation, CEGUI::Window* target) { StartAnimation(animation, target); }

void FrameMainMenu::AnimateTimed(const char* animation, CEGUI::Window* target) {
  m_fTransitionTimer = StartAnimation(animation, target);
}

void FrameMainMenu::ButtonsIn(bool withLogo, bool withLinks) {
  Animate("MainMenu_ButtonFadeIn_1st", m_pButtonContinue);
  if (withLogo) Animate("MainMenu_ButtonFadeIn_1st", m_pLogo);
  Animate("MainMenu_ButtonFadeIn_2nd", m_pButtonStart);
  Animate("MainMenu_ButtonFadeIn_3rd", m_pButtonLoad);
  Animate("MainMenu_ButtonFadeIn_4th", m_pButtonSettings);
  Animate("MainMenu_ButtonFadeIn_5th", m_pButtonCredits);
  // The transition lasts until the last fade started has ended.
  if (!withLinks) {
    AnimateTimed("MainMenu_ButtonFadeIn_6th", m_pButtonExit);
    return;
  }
  Animate("MainMenu_ButtonFadeIn_6th", m_pButtonExit);
  Animate("MainMenu_ButtonFadeIn_facebook", m_pFacebook);
  Animate("MainMenu_ButtonFadeIn_twitter", m_pTwitter);
  AnimateTimed("MainMenu_ButtonFadeIn_www", m_pWww);
}

void FrameMainMenu::ButtonsOut(bool withLogo) {
  Animate("MainMenu_ButtonFadeOut_1st", m_pButtonExit);
  if (withLogo) Animate("MainMenu_ButtonFadeOut_1st", m_pLogo);
  Animate("MainMenu_ButtonFadeOut_2nd", m_pButtonCredits);
  Animate("MainMenu_ButtonFadeOut_3rd", m_pButtonSettings);
  Animate("MainMenu_ButtonFadeOut_4th", m_pButtonLoad);
  Animate("MainMenu_ButtonFadeOut_5th", m_pButtonStart);
  Animate("MainMenu_ButtonFadeOut_facebook", m_pFacebook);
  Animate("MainMenu_ButtonFadeOut_6th", m_pButtonContinue);
  Animate("MainMenu_ButtonFadeOut_twitter", m_pTwitter);
  AnimateTimed("MainMenu_ButtonFadeOut_www", m_pWww);
}

void FrameMainMenu::CurtainsClose() {
  AnimateTimed("MainMenu_BGFadeIn", m_pBGFade);
  AnimateTimed("MainMenu_CurtainUpDown", m_pCurtainUp);
  AnimateTimed("MainMenu_CurtainDownUp", m_pCurtainDown);
}

void FrameMainMenu::CurtainsOpen() {
  Animate("MainMenu_BGFadeOut", m_pBGFade);
  Animate("MainMenu_CurtainUpUp", m_pCurtainUp);
  Animate("MainMenu_CurtainDownDown", m_pCurtainDown);
}

void FrameMainMenu::PlayCurtainsSound() {
  SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_CURTAINS, 1.0f, VisVector_cl(0.0f, 0.0f, 0.0f), 10.0f, 400.0f,
                                            false);
}

void FrameMainMenu::OpenCurtains() {
  CurtainsOpen();
  PlayCurtainsSound();
  // The link buttons are not animated here.
  ButtonsIn(true, false);
  MusicManager::GetInstance()->ClearMusic();
  MusicManager::GetInstance()->PlayMenuMusic();
}

void FrameMainMenu::CloseCurtains() {
  ButtonsOut(true);
  CurtainsClose();
  PlayCurtainsSound();
}

void FrameMainMenu::FadeOutMusic() { MusicManager::GetInstance()->Play(VHashString(""), 0.0f, 0.0f, 2.0f); }

void FrameMainMenu::HideCreditsBackground() { SetVisible(m_pCreditsBG, false); }

// ---------------------------------------------------------------------------
// Sub-frames

BaseWindow* FrameMainMenu::SubFrame(WINDOW_TYPES type) {
  BaseWindow* frame = Gui()->FindWindowA(type);
  return frame && frame->GetRootWindow() ? frame : nullptr;
}

BaseWindow* FrameMainMenu::MadeSubFrame(WINDOW_TYPES type) {
  BaseWindow* frame = Gui()->GetWindow(type);
  return frame && frame->GetRootWindow() ? frame : nullptr;
}

void FrameMainMenu::AttachSubFrame(BaseWindow* frame) {
  if (!m_pRootWindow) return;
  // A frame shown again must not be deleted by an older removal request.
  if (frame->isRequestingRemove()) frame->CancelRemoveRequest();
  CEGUI::Window* root = frame->GetRootWindow();
  Try("attach sub-frame", [&] {
    if (CEGUI::Window* parent = root->getParent()) parent->removeChild(root);
    m_pRootWindow->addChild(root);
  });
}

void FrameMainMenu::RemoveSubFrame(WINDOW_TYPES type) {
  BaseWindow* frame = SubFrame(type);
  if (!frame) return;
  CEGUI::Window* root = frame->GetRootWindow();
  if (m_pRootWindow)
    Try("detach sub-frame", [&] {
      if (m_pRootWindow->isChild(root)) m_pRootWindow->removeChild(root);
    });
  frame->RequestRemove();
}

// ---------------------------------------------------------------------------
// The state machine

bool FrameMainMenu::StartTransition(int state) {
  if (m_fTransitionTimer > 0.0f) return false;

  switch (state) {
    case MMS_OPENING:
      CurtainsOpen();
      ButtonsIn(true, true);
      HideCreditsBackground();
      break;
    case MMS_NEW_GAME:
    case MMS_LOAD:
    case MMS_OPTIONS:
      ButtonsOut(false);
      break;
    case MMS_CHARACTER_SELECTION_IN:
      if (auto* selection = static_cast<FrameCharacterSelection*>(MadeSubFrame(WT_CHARACTER_SELECTION))) {
        AttachSubFrame(selection);
        m_fTransitionTimer = selection->StartFadeInAnimation();
      }
      break;
    case MMS_CHARACTER_SELECTION_BACK:
    case MMS_CHARACTER_SELECTION_ACCEPT:
      if (auto* selection = static_cast<FrameCharacterSelection*>(SubFrame(WT_CHARACTER_SELECTION)))
        m_fTransitionTimer = selection->StartFadeOutAnimation();
      break;
    case MMS_BUTTONS_IN:
      ButtonsIn(false, true);
      break;
    case MMS_LOAD_SCREEN_IN:
      if (BaseWindow* list = MadeSubFrame(WT_MENU_LOAD)) {
        AttachSubFrame(list);
        list->StartAnimation("FadeIn", list->GetRootWindow());
      }
      break;
    case MMS_LOAD_SCREEN_ACCEPT:
      FadeOutMusic();
      if (BaseWindow* list = SubFrame(WT_MENU_LOAD)) m_fTransitionTimer = list->StartAnimation("FadeOut", list->GetRootWindow());
      CurtainsClose();
      break;
    case MMS_LOAD_SCREEN_BACK:
      if (BaseWindow* list = SubFrame(WT_MENU_LOAD)) m_fTransitionTimer = list->StartAnimation("FadeOut", list->GetRootWindow());
      break;
    case MMS_START_NEW_GAME:
      FadeOutMusic();
      if (auto* weapon = static_cast<FrameSpecialWeapon*>(SubFrame(WT_SPECIAL_WEAPON)))
        m_fTransitionTimer = weapon->StartFadeOutAnimation();
      CurtainsClose();
      HideCreditsBackground();
      break;
    case MMS_QUIT:
      CloseCurtains();
      break;
    case MMS_CONTINUE:
      FadeOutMusic();
      CloseCurtains();
      HideCreditsBackground();
      // And all of a new game's closing.
      FadeOutMusic();
      if (auto* weapon = static_cast<FrameSpecialWeapon*>(SubFrame(WT_SPECIAL_WEAPON)))
        m_fTransitionTimer = weapon->StartFadeOutAnimation();
      CurtainsClose();
      HideCreditsBackground();
      break;
    case MMS_CREDITS:
      ButtonsOut(true);
      CurtainsClose();
      break;
    case MMS_CREDITS_ROLL:
      SetVisible(m_pCreditsBG, true);
      MusicManager::GetInstance()->PlayCreditsMusic();
      AnimateTimed("MainMenu_CurtainUpUp", m_pCurtainUp);
      AnimateTimed("MainMenu_CurtainDownDown", m_pCurtainDown);
      Animate("FadeIn", m_pCreditsBG);
      for (int i = 1; i <= 10; ++i) {
        char animation[40], widget[40];
        snprintf(animation, sizeof(animation), "MainMenu_CreditsRoll_%02d", i);
        snprintf(widget, sizeof(widget), "MainMenu/CreditsBG/Credits%02d", i);
        Animate(animation, GetComponent(widget));
      }
      for (int i = 1; i <= 4; ++i) {
        char animation[40], widget[40];
        snprintf(animation, sizeof(animation), "MainMenu_CreditsImage%02dFade", i);
        snprintf(widget, sizeof(widget), "MainMenu/CreditsBG/Image%02d", i);
        Animate(animation, GetComponent(widget));
      }
      break;
    case MMS_CREDITS_END:
      if (m_pBGFade) Try("fade alpha", [&] { m_pBGFade->setAlpha(1.0f); });
      Animate("FadeOut", m_pCreditsBG);
      AnimateTimed("MainMenu_CurtainUpDown", m_pCurtainUp);
      AnimateTimed("MainMenu_CurtainDownUp", m_pCurtainDown);
      break;
    case MMS_WEAPON_SELECTION_BACK:
    case MMS_WEAPON_SELECTION_ACCEPT:
      if (auto* weapon = static_cast<FrameSpecialWeapon*>(SubFrame(WT_SPECIAL_WEAPON)))
        m_fTransitionTimer = weapon->StartFadeOutAnimation();
      break;
    case MMS_WEAPON_SELECTION_IN:
      if (auto* weapon = static_cast<FrameSpecialWeapon*>(MadeSubFrame(WT_SPECIAL_WEAPON))) {
        AttachSubFrame(weapon);
        m_fTransitionTimer = weapon->StartFadeInAnimation();
      }
      break;
    default:
      break;
  }
  m_iState = state;
  return true;
}

void FrameMainMenu::OnAfterGUIUpdate() {
  if (m_fTransitionTimer > 0.0f) {
    m_fTransitionTimer -= Vision::Timer.GetTimeDifference();
    if (m_fTransitionTimer <= 0.0f) m_fTransitionTimer = 0.0f;
  }
  // Continuing a game lets go of the menu video at once, not after the curtains.
  if (m_iState == MMS_CONTINUE && m_pVideoPlayer) ReleaseMenuVideo();
  if (m_fTransitionTimer > 0.0f) return;

  switch (m_iState) {
    case MMS_OPENING:
    case MMS_BUTTONS_IN:
      StartTransition(MMS_IDLE);
      break;
    case MMS_NEW_GAME:
      StartTransition(MMS_CHARACTER_SELECTION_IN);
      break;
    case MMS_CHARACTER_SELECTION_BACK:
      RemoveSubFrame(WT_CHARACTER_SELECTION);
      StartTransition(MMS_BUTTONS_IN);
      break;
    case MMS_LOAD:
      StartTransition(MMS_LOAD_SCREEN_IN);
      break;
    case MMS_LOAD_SCREEN_ACCEPT:
      LoadGame();
      break;
    case MMS_LOAD_SCREEN_BACK:
      RemoveSubFrame(WT_MENU_LOAD);
      StartTransition(MMS_BUTTONS_IN);
      break;
    case MMS_START_NEW_GAME:
      StartNewGame();
      break;
    case MMS_QUIT:
      ReleaseMenuVideo();
      SoundManager::CleanInstance();
      MusicManager::CleanInstance();
      if (VisionApp_cl* app = Vision::GetApplication()) app->Quit();
      // The program ends with this frame: nothing of it runs twice.
      m_iState = MMS_NONE;
      break;
    case MMS_CONTINUE: {
      SetVisible(m_pRootWindow, false);
      SaveGameManagerProto* saves = SaveGameManagerProto::GetInstance();
      if (saves->LoadSlotIntoNewCampaign(saves->GetNewestSlot()))
        RequestRemove();
      else
        ReturnAfterFailedLoad();
      break;
    }
    case MMS_CREDITS:
      StartTransition(MMS_CREDITS_ROLL);
      break;
    case MMS_CREDITS_END:
      MusicManager::GetInstance()->PlayMenuMusic();
      StartTransition(MMS_OPENING);
      break;
    case MMS_WEAPON_SELECTION_BACK:
      RemoveSubFrame(WT_SPECIAL_WEAPON);
      StartTransition(MMS_CHARACTER_SELECTION_IN);
      break;
    case MMS_CHARACTER_SELECTION_ACCEPT:
      RemoveSubFrame(WT_CHARACTER_SELECTION);
      StartTransition(MMS_WEAPON_SELECTION_IN);
      break;
    case MMS_WEAPON_SELECTION_ACCEPT:
      RemoveSubFrame(WT_SPECIAL_WEAPON);
      StartTransition(MMS_START_NEW_GAME);
      break;
    case MMS_OPTIONS:
      if (!m_bOptionsOpen) Gui()->ShowWindow(WT_OPTIONS, nullptr);
      m_bOptionsOpen = true;
      if (!Gui()->IsWindowVisible(WT_OPTIONS)) {
        StartTransition(MMS_BUTTONS_IN);
        m_bOptionsOpen = false;
      }
      break;
    default:
      break;
  }
}

void FrameMainMenu::LoadGame() {
  ReleaseMenuVideo();
  StartTransition(MMS_NONE);
  SetVisible(m_pRootWindow, false);
  const bool loaded = SaveGameManagerProto::GetInstance()->LoadSlotIntoNewCampaign(m_iLoadSlot) != 0;
  RemoveSubFrame(WT_MENU_LOAD);
  if (loaded)
    RequestRemove();
  else
    ReturnAfterFailedLoad();
}

// A save that did not load leaves the player on the title screen (the save-game
// manager has told him why): the menu opens again as after the credits.
void FrameMainMenu::ReturnAfterFailedLoad() {
  Gui()->ShowFrame(WT_MAIN_MENU);
  CancelRemoveRequest();
  SetVisible(m_pRootWindow, true);
  // The menu came to the front: the notice of the failure goes back above it.
  if (BaseWindow* messages = Gui()->FindWindowA(WT_INGAME_MESSAGES))
    if (CEGUI::Window* notice = messages->GetRootWindow()) Try("notice in front", [&] { notice->moveToFront(); });
  InitMenuVideo();
  MusicManager::GetInstance()->PlayMenuMusic();
  StartTransition(MMS_OPENING);
}

void FrameMainMenu::StartNewGame() {
  StartTransition(MMS_NONE);
  ReleaseMenuVideo();
  SetVisible(m_pRootWindow, false);
  MusicManager::GetInstance()->SetPaused(true);
  MissionManager::GlobalManager().StartCampaign();
  Gui()->ShowFrame(WT_BATTLE_HUD);
  RemoveSubFrame(WT_SPECIAL_WEAPON);
  RequestRemove();

  const int hero = Gui()->GetSelectedPlayerCharacter();
  const char* cutscene = hero == 1   ? "cutscenes/cutscene1_walker.wmv"
                         : hero == 2 ? "cutscenes/cutscene1_jolie.wmv"
                                     : "cutscenes/cutscene1_jack.wmv";
  VideoPlayer_cl cutscenePlayer;
  cutscenePlayer.PlayVideo(cutscene);
  MusicManager::GetInstance()->SetPaused(false);
  // Without a speaker: only the sound and music go to conversation mode.
  SpeechManager::GetInstance()->StartConversation(nullptr, VisVector_cl(0.0f, 0.0f, 0.0f),
                                                  VisVector_cl(0.0f, 0.0f, 0.0f), false);
}
