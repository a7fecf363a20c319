// The GUI manager: CEGUI start and teardown, layouts, frames, input, rendering
// and the loading screen.
#include "gui/GUIManager.h"

#include "Managers/LocalizationTable.h"
#include "Managers/MouseCursorManager.h"
#include "Managers/PauseManager.h"
#include "Managers/RadarManager.h"
#include "core/GameManager.h"
#include "core/VisMainApp.h"
#include "engine/Vision.h"
#include "gui/BaseWindow.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameBattleHud.h"
#include "gui/FrameCaptainsLog.h"
#include "gui/FrameCharacterSelection.h"
#include "gui/FrameEndGame.h"
#include "gui/FrameFadeOut.h"
#include "gui/FrameInGameMessages.h"
#include "gui/FrameIngameMenu.h"
#include "gui/FrameJokeInBottle.h"
#include "gui/FrameLandBattleHud.h"
#include "gui/FrameLoadingScreen.h"
#include "gui/FrameLowHPOverlay.h"
#include "gui/FrameMainMenu.h"
#include "gui/FrameMap.h"
#include "gui/FrameMenuLoad.h"
#include "gui/FrameMissionLoadBar.h"
#include "gui/FramePotionHud.h"
#include "gui/FrameOptions.h"
#include "gui/FramePause.h"
#include "gui/FramePlayerInfo.h"
#include "gui/FrameToolBar.h"
#include "gui/FrameSaveLoad.h"
#include "gui/FrameSpecialWeapon.h"
#include "gui/FrameSpeechBubble.h"
#include "gui/FrameSpeechFrame.h"
#include "gui/FrameSpeechWindow.h"
#include "gui/FrameRadar.h"
#include "gui/FrameTutorial.h"
#include "gui/FrameWelcome.h"
#include "gui/FrameYesNoPopUp.h"
#include "gui/FrameConstruct.h"
#include "gui/FrameBuildingInfo.h"
#include "gui/FrameEnemyShipInfo.h"
#include "gui/FramePlayerShipInfo.h"
#include "gui/FrameTownInfo.h"
#include "gui/VideoPlayer.h"

#include <CEGUI/CEGUI.h>

#include <stdexcept>
#include <utility>

using CeguiCompat::ToGui;
using CeguiCompat::Try;

namespace {

struct CursorEntry {
  CURSOR_TYPES kind;
  const char* image;
  const char* texture;
};

const CursorEntry kCursors[] = {
    {CURSOR_EMPTY, "MouseCursorEmpty", "gui/textures/cursors/empty.tga"},
    {CURSOR_DEFAULT, "MouseCursorDefault", "gui/textures/cursors/default.tga"},
    {CURSOR_CROSSHAIR, "MouseCursorCrosshair", "gui/textures/cursors/crosshair.tga"},
    {CURSOR_INVALID, "MouseCursorInvalid", "gui/textures/cursors/invalid.tga"},
    {CURSOR_FINGER, "MouseCursorFinger", "gui/textures/cursors/finger.tga"},
    {CURSOR_HOURGLASS, "MouseCursorHourglass", "gui/textures/cursors/hourglass.tga"},
};

struct LayoutEntry {
  int type;  // a WINDOW_TYPES value
  const char* file;
};

const LayoutEntry kLayoutTable[] = {
    {1, "PirateMansion.layout"}, {2, "TradingPost.layout"},
    {3, "Barracks.layout"}, {4, "Barracks.layout"},
    {5, "Barracks.layout"}, {6, "Tavern.layout"},
    {7, "ShipYard.layout"}, {8, "MadAlchemist.layout"},
    {9, "MainMenu.layout"}, {10, "Ingame.layout"},
    {11, "EndGame.layout"}, {12, "BattleHud.layout"},
    {13, "LandBattleHud.layout"}, {14, "PlayerInformation.layout"},
    {15, "SaveLoad.layout"}, {16, "InGameMessages.layout"},
    {17, "YesNoPopUp.layout"}, {18, "SpeechBubble.layout"},
    {19, "Radar.layout"}, {20, "HealthBar.layout"},
    {22, "Map.layout"}, {24, "CharacterScreen.layout"},
    {25, "SpeechWindow.layout"}, {26, "SpeechFrame.layout"},
    {27, "CaptainsLog.layout"}, {28, "Inventory.layout"},
    {29, "Construct.layout"}, {30, "Tutorial.layout"},
    {31, "CharacterSelection.layout"}, {32, "Options.layout"},
    {33, "MenuLoad.layout"}, {34, "ShipInfoEnemy.layout"},
    {35, "TownInfo.layout"}, {36, "PotionHud.layout"},
    {37, "ToolBar.layout"}, {38, "JokeInBottle.layout"},
    {39, "MissionLoadBar.layout"}, {40, "FadeOut.layout"},
    {42, "SpecialWeaponSelection.layout"}, {43, "BuildingInfo.layout"},
    {44, "Pause.layout"}, {45, "ShipInfoPlayer.layout"},
    {46, "UnitInfo.layout"}, {47, "LowHpOverlay.layout"},
};

const WINDOW_TYPES kClosablesOnKey[] = {
    WT_PIRATE_MANSION, WT_BASIC_UNIT_BUILDING, WT_ADVANCED_UNIT_BUILDING, WT_SPECIAL_UNIT_BUILDING,
    WT_SHIPYARD,       WT_ALCHEMIST,           WT_CONSTRUCT,              WT_CAPTAINS_LOG,
    WT_MAP,            WT_CHARACTER_SCREEN,    WT_INVENTORY,              WT_JOKE_IN_BOTTLE,
    WT_TUTORIAL,       WT_OPTIONS,             WT_SAVE_LOAD,
};

// Every text and tooltip of a layout is a localisation key.
bool LocalizeLayoutProperty(CEGUI::Window*, CEGUI::String& name, CEGUI::String& value, void*) {
  if ((name == "Text" || name == "TooltipText") && !value.empty())
    value = LocalizationTable::GetInstance()->GetText(value.c_str());
  return true;
}

std::string PrefixOf(WINDOW_TYPES type) {
  char prefix[16];
  snprintf(prefix, sizeof(prefix), "x%02d", (int)type);
  return prefix;
}

std::string CursorImageFullName(const std::string& image) { return "Cursors/" + image; }

VTextureObject* LoadCursorTexture(const char* file) {
  std::string path;
  if (!Vision::File.ResolvePath(file, path)) return nullptr;
  return new VTextureObject(path.c_str());
}

CEGUI::GUIContext& Context() { return CEGUI::System::getSingleton().getDefaultGUIContext(); }

// Windows CEGUI destroys later are freed now.
void CleanDeadWindowPool() {
  Try("dead window pool", [] {
    if (!CEGUI::WindowManager::getSingleton().isDeadPoolEmpty()) CEGUI::WindowManager::getSingleton().cleanDeadPool();
  });
}

}  // namespace

GUIManager::GUIManager() {
  for (const LayoutEntry& entry : kLayoutTable) m_layoutNames[(WINDOW_TYPES)entry.type] = entry.file;
  m_layoutNames[WT_NONE] = "";
  m_closablesOnKey.assign(std::begin(kClosablesOnKey), std::end(kClosablesOnKey));

  GameManager::Callbacks.OnPostFrame.RegisterCallback(this);
  GameManager::Callbacks.OnPreFrame.RegisterCallback(this);
  Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  Vision::Callbacks.OnRenderHook.RegisterCallback(this);
  Vision::Callbacks.OnUpdateSceneFinished.RegisterCallback(this);
  VInputCallbacks::OnKeyUp.RegisterCallback(this);
  VInputCallbacks::OnKeyDown.RegisterCallback(this);
  VInputCallbacks::OnMouseButtonDown.RegisterCallback(this);
  VInputCallbacks::OnMouseButtonUp.RegisterCallback(this);
  Vision::Callbacks.OnEngineDeInit.RegisterCallback(this);
  Vision::Callbacks.OnVideoDeviceLost.RegisterCallback(this);
  Vision::Callbacks.OnVideoDeviceRestored.RegisterCallback(this);
  Vision::Callbacks.OnObjectDestroyed.RegisterCallback(this);
}

GUIManager::~GUIManager() {
  GameManager::Callbacks.OnPostFrame.DeregisterCallback(this);
  GameManager::Callbacks.OnPreFrame.DeregisterCallback(this);
  Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  Vision::Callbacks.OnRenderHook.DeregisterCallback(this);
  Vision::Callbacks.OnUpdateSceneFinished.DeregisterCallback(this);
  VInputCallbacks::OnKeyUp.DeregisterCallback(this);
  VInputCallbacks::OnKeyDown.DeregisterCallback(this);
  VInputCallbacks::OnMouseButtonDown.DeregisterCallback(this);
  VInputCallbacks::OnMouseButtonUp.DeregisterCallback(this);
  Vision::Callbacks.OnEngineDeInit.DeregisterCallback(this);
  Vision::Callbacks.OnVideoDeviceLost.DeregisterCallback(this);
  Vision::Callbacks.OnVideoDeviceRestored.DeregisterCallback(this);
  Vision::Callbacks.OnObjectDestroyed.DeregisterCallback(this);

  m_bShuttingDown = true;
  // One at a time, so that a frame's destructor finds only live frames.
  m_pCurrentFrame = nullptr;
  m_pLowHPOverlay = nullptr;
  while (!m_openFrames.empty()) {
    BaseWindow* frame = m_openFrames.begin()->second;
    m_openFrames.erase(m_openFrames.begin());
    // As in CloseWindow: the windows go first, so that the events their
    // destruction fires (the mouse leaving them) still find the frame.
    if (frame && m_bInitialized) CeguiCompat::DestroyWindow(frame->GetRootWindow());
    delete frame;
  }
  DestroySpeechBubbles();
  DestroyRadarIndicators();
  DestroySpeechWindows();
  m_cursorImageNames.clear();
  m_cursorTextures.clear();
  if (m_pToolbar && m_bInitialized) CeguiCompat::DestroyWindow(m_pToolbar->GetRootWindow());
  delete m_pToolbar;
  m_pToolbar = nullptr;
  delete m_pLoadingScreen;
  m_pLoadingScreen = nullptr;
  DeInitLayouts();
  if (m_bInitialized) DestroyCegui();
}

void GUIManager::DestroyCegui() {
  Try("destroy animations", [] {
    CEGUI::AnimationManager& animations = CEGUI::AnimationManager::getSingleton();
    while (animations.getNumAnimations() > 0) {
      CEGUI::Animation* animation = animations.getAnimationAtIdx(0);
      animations.destroyAllInstancesOfAnimation(animation);
      while (animation->getNumAffectors() > 0) {
        CEGUI::Affector* affector = animation->getAffectorAtIdx(0);
        while (affector->getNumKeyFrames() > 0) affector->destroyKeyFrame(affector->getKeyFrameAtIdx(0));
        animation->destroyAffector(affector);
      }
      animations.destroyAnimation(animation);
    }
  });
  CleanDeadWindowPool();
  Try("destroy system", [] { CEGUI::System::destroy(); });
  CeguiCompat::DestroyRenderer(m_pRenderer);
  m_pRenderer = nullptr;
  delete m_pLogger;
  m_pLogger = nullptr;
  m_pBaseFrame = nullptr;
  m_bInitialized = false;
}

bool GUIManager::Init(void* device) {
  if (!device || m_bInitialized) return m_bInitialized;

  const float width = (float)VVideo::GetCurrentWidth(), height = (float)VVideo::GetCurrentHeight();
  bool created = Try("system", [&] {
    CEGUI::Exception::setStdErrEnabled(false);
    if (!CEGUI::Logger::getSingletonPtr()) m_pLogger = new CEGUI::DefaultLogger();
    CEGUI::Logger::getSingleton().setLoggingLevel(CEGUI::Errors);
    CEGUI::Logger::getSingleton().setLogFilename("CEGUI.log", false);
    m_pRenderer = CeguiCompat::CreateRenderer(CEGUI::Sizef(width, height));
    if (!m_pRenderer) throw std::runtime_error("no renderer");
    CEGUI::System::setDefaultXMLParserName("TinyXMLParser");
    CEGUI::System::create(*m_pRenderer, nullptr, nullptr, nullptr, nullptr, "", "CEGUI.log");
  });
  if (!created) {
    CeguiCompat::DestroyRenderer(m_pRenderer);
    m_pRenderer = nullptr;
    delete m_pLogger;
    m_pLogger = nullptr;
    return false;
  }
  CeguiCompat::InstallEditboxValidators();

  // The gui folder: the first data folder that has one.
  m_sGuiFolder.clear();
  for (int i = 0; i < Vision::File.GetMaxDataDirectoryCount() && m_sGuiFolder.empty(); ++i) {
    const char* dir = Vision::File.GetDataDirectory(i);
    if (!dir || !*dir) continue;
    std::string candidate = CeguiCompat::ResolveFilePath(VPathHelper::CombineDirAndFile(dir, "gui").c_str());
    if (VFileHelper::ExistsDir(candidate.c_str())) m_sGuiFolder = candidate;
  }

  InitMouseCursors();

  Try("resource groups", [&] {
    auto* provider = static_cast<CEGUI::DefaultResourceProvider*>(CEGUI::System::getSingleton().getResourceProvider());
    provider->setResourceGroupDirectory("absolute", "");
    const char* const groups[][2] = {{"schemes", "schemes"},     {"imagesets", "imagesets"}, {"fonts", "fonts"},
                                     {"layouts", "layouts"},     {"looknfeels", "looknfeel"}, {"lua_scripts", "lua_scripts"},
                                     {"animations", "animations"}};
    for (const auto& group : groups)
      provider->setResourceGroupDirectory(group[0], ToGui(m_sGuiFolder + "/" + group[1] + "/"));
    CEGUI::ImageManager::setImagesetDefaultResourceGroup("imagesets");
    CEGUI::Font::setDefaultResourceGroup("fonts");
    CEGUI::Scheme::setDefaultResourceGroup("schemes");
    CEGUI::WidgetLookManager::setDefaultResourceGroup("looknfeels");
    CEGUI::WindowManager::setDefaultResourceGroup("layouts");
    CEGUI::ScriptModule::setDefaultResourceGroup("lua_scripts");
    CEGUI::AnimationManager::setDefaultResourceGroup("animations");
  });

  Try("scheme", [] { CEGUI::SchemeManager::getSingleton().createFromFile("CorallineLook.scheme"); });
  Try("cursor", [&] {
    CEGUI::MouseCursor& cursor = Context().getMouseCursor();
    cursor.setDefaultImage(ToGui(CursorImageFullName(m_cursorImageNames[CURSOR_DEFAULT])));
    if (!m_bUseSoftwareCursor) {
      cursor.hide();
      cursor.subscribeEvent(CEGUI::MouseCursor::EventImageChanged,
                            CEGUI::Event::Subscriber(&GUIManager::CursorImageChanged, this));
    }
  });
  Try("tooltip", [] { Context().setDefaultTooltipType("CorallineLook/Tooltip"); });
  Try("font", [] {
    CEGUI::Font& font = CEGUI::FontManager::getSingleton().createFromFile("Verdana-12.font");
    Context().setDefaultFont(&font);
  });
  Try("animations", [] { CEGUI::AnimationManager::getSingleton().loadAnimationsFromXML("Animations.ceanim"); });
  // A tooltip stays while the mouse rests on its window.
  Try("tooltip time", [] {
    if (CEGUI::Tooltip* tooltip = Context().getDefaultTooltipObject()) tooltip->setDisplayTime(0.0f);
  });

  ResetResolution();

  const float x = VVideo::IsInitialized() ? width * 0.5f : 0.0f;
  const float y = VVideo::IsInitialized() ? height * 0.5f : 0.0f;
  Try("mouse start", [&] {
    Context().injectMousePosition(x, y);
    Context().getMouseCursor().setConstraintArea(nullptr);
  });
  Vision::Mouse.SetPosition(x, y);

  Try("root sheet", [&] {
    m_pBaseFrame = CEGUI::WindowManager::getSingleton().createWindow("DefaultWindow", "TheRoot");
    // Clicks on empty parts of the screen reach the game.
    m_pBaseFrame->setMousePassThroughEnabled(true);
    Context().setRootWindow(m_pBaseFrame);
  });

  m_bInitialized = true;
  return true;
}

void GUIManager::ResetResolution() {
  if (m_pRenderer) {
    const CEGUI::Sizef size((float)VVideo::GetCurrentWidth(), (float)VVideo::GetCurrentHeight());
    Try("display size", [&] {
      if (CEGUI::System::getSingletonPtr())
        CEGUI::System::getSingleton().notifyDisplaySizeChanged(size);
      else
        m_pRenderer->setDisplaySize(size);
    });
  }
  const int location = GameManager::HasInstance() ? GameManager::GetInstance()->GetLocation() : -1;
  VisRenderContext_cl* context = VisRenderContext_cl::GetMainRenderContext();
  if (!context) return;
  if (location == 0 || location == 2)
    context->SetFOV(0.0f, 58.71551f);
  else if (location == 1)
    context->SetFOV(0.0f, 26.23187f);
}

void GUIManager::PlayIntroVideos() {
  VideoPlayer_cl player;
  player.PlayVideo("cutscenes/intro_movie.wmv");
}

// ---------------------------------------------------------------------------
// Layouts

bool GUIManager::InitLayouts() {
  if (!m_bInitialized) return false;
  for (const auto& entry : m_layoutNames) {
    if (entry.first == WT_NONE || entry.second.IsEmpty()) continue;
    if (m_preloadedLayouts.count(entry.first)) continue;
    // Frame kinds whose layouts do not exist yet are skipped quietly.
    if (!LayoutExists(entry.second.AsChar())) continue;
    CEGUI::Window* root = CeguiCompat::LoadLayout(entry.second.AsChar(), PrefixOf(entry.first), &LocalizeLayoutProperty);
    if (root) m_preloadedLayouts[entry.first] = root;
  }
  return true;
}

bool GUIManager::DeInitLayouts() {
  m_layoutNames.clear();
  if (m_bInitialized)
    for (auto& entry : m_preloadedLayouts) CeguiCompat::DestroyWindow(entry.second);
  m_preloadedLayouts.clear();
  return true;
}

const char* GUIManager::GetLayoutName(WINDOW_TYPES type) const {
  auto it = m_layoutNames.find(type);
  return it == m_layoutNames.end() ? "" : it->second.AsChar();
}

CEGUI::Window* GUIManager::LoadLayout(WINDOW_TYPES type, const char* file) {
  if (!m_bInitialized) return nullptr;
  if (CEGUI::Window* copy = GetLayout(type, nullptr)) return copy;
  if (!file || !*file || !LayoutExists(file)) return nullptr;
  // The loaded tree is kept as the preloaded layout and the frame gets a copy, so
  // closing the frame never destroys the tree later copies are made from.
  CEGUI::Window* root = CeguiCompat::LoadLayout(file, PrefixOf(type), &LocalizeLayoutProperty);
  if (!root) return nullptr;
  m_preloadedLayouts[type] = root;
  return GetLayout(type, nullptr);
}

bool GUIManager::LayoutExists(const char* file) const {
  return !m_sGuiFolder.empty() && VFileHelper::ExistsFile((m_sGuiFolder + "/layouts/" + file).c_str());
}

CEGUI::Window* GUIManager::GetLayout(WINDOW_TYPES type, const char* prefix) {
  if (!m_bInitialized) return nullptr;
  auto it = m_preloadedLayouts.find(type);
  if (it == m_preloadedLayouts.end() || !it->second) return nullptr;
  std::string name = CeguiCompat::ToUtf8(it->second->getName());
  name.erase(0, std::min<size_t>(3, name.size()));
  if (prefix) name.insert(0, prefix);
  return CeguiCompat::CloneWindow(it->second, name);
}

// ---------------------------------------------------------------------------
// Engine callbacks

template <class F>
void GUIManager::ForEachOpenFrame(F function) {
  WINDOW_TYPES types[WT_LOW_HP_OVERLAY + 1];
  size_t count = 0;
  for (const auto& entry : m_openFrames)
    if (count < std::size(types)) types[count++] = entry.first;
  for (size_t i = 0; i < count; ++i) {
    auto it = m_openFrames.find(types[i]);
    if (it != m_openFrames.end() && it->second) function(it->second);
  }
}

bool GUIManager::IsJustRendering() const {
  return VisMainApp::HasInstance() && VisMainApp::GetInstance()->IsJustRendering();
}

void GUIManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data) return;
  // Plain state: runs down whether or not CEGUI has started.
  if (data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) UpdateBlockingTimer();
  if (!m_bInitialized) return;
  VCallback* sender = data->m_pSender;

  if (sender == &GameManager::Callbacks.OnPreFrame) {
    CleanDeadWindowPool();
    if (m_pLoadingScreen) m_pLoadingScreen->OnBeforeGUIUpdate();
    if (m_pToolbar) m_pToolbar->OnBeforeGUIUpdate();
    // The overlay is an open frame as well, so it eases twice per frame.
    if (m_pLowHPOverlay) m_pLowHPOverlay->OnBeforeGUIUpdate();
    ForEachOpenFrame([](BaseWindow* frame) { frame->OnBeforeGUIUpdate(); });
    for (FrameSpeechBubble* bubble : m_speechBubbles) bubble->OnBeforeGUIUpdate();
    UpdateSpeechWindows(sender);
  } else if (sender == &Vision::Callbacks.OnUpdateSceneBegin) {
    if (m_pLoadingScreen) m_pLoadingScreen->OnBeforeSceneUpdate();
    if (m_pToolbar) m_pToolbar->OnBeforeSceneUpdate();
    ForEachOpenFrame([](BaseWindow* frame) { frame->OnBeforeSceneUpdate(); });
    for (FrameSpeechBubble* bubble : m_speechBubbles) bubble->OnBeforeSceneUpdate();
    UpdateRadarIndicators(sender);
    UpdateSpeechWindows(sender);
  } else if (sender == &Vision::Callbacks.OnUpdateSceneFinished) {
    if (m_pLoadingScreen) m_pLoadingScreen->OnAfterSceneUpdate();
    if (m_pToolbar) m_pToolbar->OnAfterSceneUpdate();
    ForEachOpenFrame([](BaseWindow* frame) { frame->OnAfterSceneUpdate(); });
    for (FrameSpeechBubble* bubble : m_speechBubbles) bubble->OnAfterSceneUpdate();
    UpdateRadarIndicators(sender);
    UpdateSpeechWindows(sender);
  } else if (sender == &GameManager::Callbacks.OnPostFrame) {
    if (m_pLoadingScreen) m_pLoadingScreen->OnAfterGUIUpdate();
    if (m_pToolbar) m_pToolbar->OnAfterGUIUpdate();
    if (m_pLowHPOverlay && m_pLowHPOverlay->isRequestingRemove()) CloseWindow(WT_LOW_HP_OVERLAY, true);
    for (auto it = m_openFrames.begin(); it != m_openFrames.end();) {
      if (it->second && it->second->isRequestingRemove())
        it = CloseWindow(it->first, true);
      else
        ++it;
    }
    ForEachOpenFrame([](BaseWindow* frame) { frame->OnAfterGUIUpdate(); });
    for (auto it = m_speechBubbles.begin(); it != m_speechBubbles.end();) {
      FrameSpeechBubble* bubble = *it;
      bubble->OnAfterGUIUpdate();
      if (!bubble->IsFinished()) {
        ++it;
        continue;
      }
      it = m_speechBubbles.erase(it);
      CeguiCompat::DestroyWindow(bubble->GetRootWindow());
      delete bubble;
    }
    UpdateRadarIndicators(sender);
    UpdateSpeechWindows(sender);
  } else if (sender == &Vision::Callbacks.OnObjectDestroyed) {
    // A bubble whose speaker is gone goes too, rather than point at nothing.
    VTypedObject* gone = static_cast<VisObjectDataObject_cl*>(data)->m_pObject;
    for (FrameSpeechBubble* bubble : m_speechBubbles) {
      if (!gone || static_cast<VTypedObject*>(bubble->GetEntity()) != gone) continue;
      bubble->SetEntity(nullptr);
      bubble->SetDisplayTime(0.0f);
    }
  } else if (sender == &Vision::Callbacks.OnRenderHook) {
    if (static_cast<VisRenderHookDataObject_cl*>(data)->m_iEntry == VRH_GUI) HandleRenderHook();
  } else if (sender == &Vision::Callbacks.OnEngineDeInit) {
    HideLowHPOverlay();
    DestroySpeechBubbles();
    DestroyRadarIndicators();
    DestroySpeechWindows();
  } else if (sender == &VInputCallbacks::OnMouseButtonDown) {
    if (IsJustRendering() || IsLoadingScreenVisible()) return;
    const int button = static_cast<VInputCallbackDataObject*>(data)->m_iButton;
    bool used = false;
    Try("mouse down", [&] { used = Context().injectMouseButtonDown((CEGUI::MouseButton)button); });
    m_bMouseOverGUI = used;
  } else if (sender == &VInputCallbacks::OnMouseButtonUp) {
    if (IsJustRendering()) return;
    if (!IsLoadingScreenVisible()) {
      const int button = static_cast<VInputCallbackDataObject*>(data)->m_iButton;
      Try("mouse up", [&] { Context().injectMouseButtonUp((CEGUI::MouseButton)button); });
    }
    m_bMouseOverGUI = false;
  } else if (sender == &VInputCallbacks::OnKeyDown) {
    auto* input = static_cast<VInputCallbackDataObject*>(data);
    HandleKeyDown(input->m_iKey, input->m_iScanCode);
  } else if (sender == &VInputCallbacks::OnKeyUp) {
    auto* input = static_cast<VInputCallbackDataObject*>(data);
    HandleKeyUp(input->m_iKey, input->m_iScanCode);
  } else if (sender == &Vision::Callbacks.OnVideoDeviceLost) {
    // The GL renderer's textures die with the context: copied out while it lives.
    CeguiCompat::GrabTextures(m_pRenderer);
  } else if (sender == &Vision::Callbacks.OnVideoDeviceRestored) {
    CeguiCompat::RestoreTextures(m_pRenderer);
  }
}

void GUIManager::HandleRenderHook() {
  VPoint cursor;
  if (VGetCursorPos(cursor)) {
    VScreenToClient(VVideo::GetWindowHandle(), cursor);
    Try("mouse position", [&] { Context().injectMousePosition((float)cursor.x, (float)cursor.y); });
  }

  if (!Vision::Editor.IsInEditor()) {
    const bool focus = !VisMainApp::HasInstance() || VisMainApp::GetInstance()->HasFocus();
    if (focus && IsWindowVisible(WT_LAND_BATTLE_HUD)) {
      VRect client;
      if (VGetClientRect(VVideo::GetWindowHandle(), client) && VMapWindowPointsToScreen(VVideo::GetWindowHandle(), client))
        VClipCursor(&client);
    } else {
      VClipCursor(nullptr);
      if (!focus) Vision::Key.Reset();
    }
  }

  const float wheel = (float)(Vision::Mouse.GetWheelValue() - Vision::Mouse.GetPreviousWheelValue());
  const float dt = Vision::Timer.GetTimeDifference();
  Try("time pulse", [&] {
    if (wheel != 0.0f) Context().injectMouseWheelChange(wheel);
    CEGUI::System::getSingleton().injectTimePulse(dt);
    Context().injectTimePulse(dt);
  });

  if (!m_bUseSoftwareCursor) {
    std::string image = CursorImageFullName(m_cursorImageNames[CURSOR_DEFAULT]);
    Try("cursor image", [&] {
      CEGUI::MouseCursor& cursor = Context().getMouseCursor();
      cursor.hide();
      if (const CEGUI::Image* current = cursor.getImage()) image = CeguiCompat::ToUtf8(current->getName());
    });
    if (VTextureObject* texture = GetCursorTexture(image.c_str()))
      MouseCursorManager::GetInstance()->SetD3DCursorImage(texture, 0, 0);
  }

  if (m_bGUIEnabled) {
    VisRenderLoopHelper_cl::BeginOverlayRendering();
    Try("render", [] { CEGUI::System::getSingleton().renderAllGUIContexts(); });
    VisRenderLoopHelper_cl::EndOverlayRendering();
  }
  Vision::Renderer.ResetAllStates();
}

void GUIManager::HandleKeyDown(int key, int scanCode) {
  if (!IsJustRendering() && !IsLoadingScreenVisible())
    Try("key down", [&] { Context().injectKeyDown((CEGUI::Key::Scan)scanCode); });
  if (m_fDelayAfterConversation > 0.0f || m_bBlockingVideoPlaying || key != VGLK_ESC || IsWindowVisible(WT_MAIN_MENU))
    return;
  if (IsWindowVisible(WT_INGAME_MENU)) {
    if (!IsWindowVisible(WT_SAVE_LOAD) && !IsWindowVisible(WT_OPTIONS)) CloseWindow(WT_INGAME_MENU, false);
  } else {
    ShowWindow(WT_INGAME_MENU, nullptr);
  }
}

void GUIManager::HandleKeyUp(int key, int scanCode) {
  if (IsJustRendering() || IsLoadingScreenVisible()) return;
  Try("key up", [&] { Context().injectKeyUp((CEGUI::Key::Scan)scanCode); });
  if (key == VGLK_ENTER || key == VGLK_ESC || key == VGLK_THIRD_CLOSE) CloseClosablesOnKeyEvent();
}

void GUIManager::MessageFunction(int id, INT_PTR a, INT_PTR b) {
  ForEachOpenFrame([&](BaseWindow* frame) { frame->MessageFunction(id, a, b); });
}


// ---------------------------------------------------------------------------
// Frames

namespace {

template <class Frame>
BaseWindow* MakeFrame() {
  return new Frame();
}

// The frame kinds whose classes exist; the other kinds of the open-frame map
// arrive with their own screens and get no frame until then.
const std::pair<WINDOW_TYPES, BaseWindow* (*)()> kFrameClasses[] = {
    {WT_INGAME_MESSAGES, MakeFrame<FrameInGameMessages>},
    {WT_YES_NO_POPUP, MakeFrame<FrameYesNoPopUp>},
    {WT_WELCOME, MakeFrame<FrameWelcome>},
    {WT_FADE_OUT, MakeFrame<FrameFadeOut>},
    {WT_PAUSE, MakeFrame<FramePause>},
    {WT_LOW_HP_OVERLAY, MakeFrame<FrameLowHPOverlay>},
    {WT_JOKE_IN_BOTTLE, MakeFrame<FrameJokeInBottle>},
    {WT_MAIN_MENU, MakeFrame<FrameMainMenu>},
    {WT_INGAME_MENU, MakeFrame<FrameIngameMenu>},
    {WT_BATTLE_HUD, MakeFrame<FrameBattleHud>},
    {WT_LAND_BATTLE_HUD, MakeFrame<FrameLandBattleHud>},
    {WT_END_GAME, MakeFrame<FrameEndGame>},
    {WT_CHARACTER_SELECTION, MakeFrame<FrameCharacterSelection>},
    {WT_OPTIONS, MakeFrame<FrameOptions>},
    {WT_SPECIAL_WEAPON, MakeFrame<FrameSpecialWeapon>},
    {WT_MAP, MakeFrame<FrameMap>},
    {WT_TUTORIAL, MakeFrame<FrameTutorial>},
    {WT_CAPTAINS_LOG, MakeFrame<FrameCaptainsLog>},
    {WT_SAVE_LOAD, MakeFrame<FrameSaveLoad>},
    {WT_MENU_LOAD, MakeFrame<FrameMenuLoad>},
    {WT_MISSION_LOAD_BAR, MakeFrame<FrameMissionLoadBar>},
    {WT_POTION_HUD, MakeFrame<FramePotionHud>},
    {WT_CONSTRUCT, MakeFrame<FrameConstruct>},
    {WT_BUILDING_INFO, MakeFrame<FrameBuildingInfo>},
    {WT_ENEMY_SHIP_INFO, MakeFrame<FrameEnemyShipInfo>},
    {WT_TOWN_INFO, MakeFrame<FrameTownInfo>},
    {WT_PLAYER_SHIP_INFO, MakeFrame<FramePlayerShipInfo>},
    {WT_PLAYER_INFO, MakeFrame<FramePlayerInfo>},
    {WT_SPEECH_FRAME, MakeFrame<FrameSpeechFrame>},
};

}  // namespace

BaseWindow* GUIManager::CreateFrame(WINDOW_TYPES type) {
  for (const auto& entry : kFrameClasses)
    if (entry.first == type) return entry.second();
  return nullptr;
}

bool GUIManager::HasFrameClass(WINDOW_TYPES type) {
  for (const auto& entry : kFrameClasses)
    if (entry.first == type) return true;
  return false;
}

BaseWindow* GUIManager::GetWindow(WINDOW_TYPES type) {
  if (!m_bInitialized) return nullptr;
  auto it = m_openFrames.find(type);
  if (it != m_openFrames.end() && it->second) return it->second;
  BaseWindow* frame = CreateFrame(type);
  if (!frame) return nullptr;
  m_openFrames[type] = frame;
  if (type != WT_PLAYER_SHIP_INFO) frame->Init();
  return frame;
}

BaseWindow* GUIManager::FindWindowA(WINDOW_TYPES type) {
  if (!m_bInitialized) return nullptr;
  auto it = m_openFrames.find(type);
  return it == m_openFrames.end() ? nullptr : it->second;
}

bool GUIManager::IsWindowVisible(WINDOW_TYPES type) {
  BaseWindow* frame = FindWindowA(type);
  if (!frame || !frame->GetRootWindow()) return false;
  return frame->GetRootWindow()->isVisible();
}

void GUIManager::ShowFrame(WINDOW_TYPES type) {
  BaseWindow* frame = GetWindow(type);
  if (!frame || frame == m_pCurrentFrame || !frame->GetRootWindow()) return;
  if (m_pCurrentFrame && m_pCurrentFrame->GetRootWindow()) RemoveFromTheBaseFrame(m_pCurrentFrame->GetRootWindow());
  if (AddToTheBaseFrame(frame->GetRootWindow())) frame->GetRootWindow()->setMousePassThroughEnabled(true);
  frame->CancelRemoveRequest();
  m_pCurrentFrame = frame;
}

void GUIManager::ShowWindow(BaseWindow* frame, CEGUI::Window* parent) {
  if (!m_bInitialized || !frame || !frame->GetRootWindow()) return;
  CEGUI::Window* root = frame->GetRootWindow();
  if (!parent) parent = m_pBaseFrame;
  if (!parent) return;
  Try("show window", [&] {
    if (CEGUI::Window* old = root->getParent()) old->removeChild(root);
    parent->addChild(root);
    parent->moveToBack();
    root->setAlwaysOnTop(true);
  });
}

void GUIManager::ShowWindow(WINDOW_TYPES type, CEGUI::Window* parent) {
  if (!m_pCurrentFrame || !m_pCurrentFrame->GetRootWindow()) return;
  ShowWindow(GetWindow(type), parent);
}

void GUIManager::ToggleWindow(WINDOW_TYPES type) {
  if (Vision::Actions.IsConsoleOpen()) return;
  if (IsWindowVisible(type)) {
    CloseWindow(type, false);
  } else if (m_pCurrentFrame && m_pCurrentFrame->GetRootWindow()) {
    ShowWindow(GetWindow(type), nullptr);
  }
  for (WINDOW_TYPES other : m_closablesOnKey) {
    if (other == type) continue;
    if (m_pCurrentFrame && m_pCurrentFrame->GetWindowType() == other) m_pCurrentFrame = nullptr;
    if (BaseWindow* frame = FindWindowA(other)) frame->RequestRemove();
  }
}

GUIManager::OpenFrameTable::iterator GUIManager::CloseWindow(WINDOW_TYPES type, bool destroy) {
  if (m_pCurrentFrame && m_pCurrentFrame->GetWindowType() == type) m_pCurrentFrame = nullptr;
  if (!m_bInitialized) return m_openFrames.begin();
  auto it = m_openFrames.find(type);
  if (it == m_openFrames.end() || !it->second) return m_openFrames.begin();
  if (!destroy) {
    it->second->RequestRemove();
    return it;
  }
  // Out of the map first, so that what the frame's destructor sets off finds only
  // live frames.
  BaseWindow* frame = it->second;
  auto next = m_openFrames.erase(it);
  CeguiCompat::DestroyWindow(frame->GetRootWindow());
  delete frame;
  return next;
}

void GUIManager::CloseAllWindows() {
  for (WINDOW_TYPES type : {WT_POTION_HUD, WT_JOKE_IN_BOTTLE, WT_MISSION_LOAD_BAR})
    if (IsWindowVisible(type)) CloseWindow(type, false);
  ForEachOpenFrame([this](BaseWindow* frame) {
    const WINDOW_TYPES type = frame->GetWindowType();
    if (type == WT_MAIN_MENU || !IsWindowVisible(type)) return;
    if (m_pCurrentFrame == frame) m_pCurrentFrame = nullptr;
    frame->RequestRemove();
  });
}

void GUIManager::CloseClosablesOnKeyEvent() {
  for (WINDOW_TYPES type : m_closablesOnKey) {
    if (m_pCurrentFrame && m_pCurrentFrame->GetWindowType() == type) m_pCurrentFrame = nullptr;
    // Hidden, moved to the back, marked for removal, its pause request withdrawn.
    if (BaseWindow* frame = FindWindowA(type)) frame->RequestRemove();
  }
}

bool GUIManager::PushFrame() {
  if (!m_pCurrentFrame) return false;
  m_frameStack.push_back(m_pCurrentFrame->GetWindowType());
  return true;
}

bool GUIManager::PopFrame() {
  if (m_frameStack.empty()) return false;
  ShowFrame(m_frameStack.back());
  m_frameStack.pop_back();
  return true;
}

void GUIManager::OnFrameDeleted(BaseWindow* frame) {
  if (!frame) return;
  if (m_pCurrentFrame == frame) m_pCurrentFrame = nullptr;
  if (m_pLowHPOverlay == frame) m_pLowHPOverlay = nullptr;
  BaseWindow* popup = FindWindowA(WT_YES_NO_POPUP);
  if (popup && popup != frame) static_cast<FrameYesNoPopUp*>(popup)->OnFrameDeleted(frame);
}

// ---------------------------------------------------------------------------
// Frame shortcuts

FrameInGameMessages* GUIManager::GetMessagesFrame() {
  if (!m_pBaseFrame) return nullptr;
  auto* frame = static_cast<FrameInGameMessages*>(GetWindow(WT_INGAME_MESSAGES));
  if (!frame) return nullptr;
  if (CEGUI::Window* root = frame->GetRootWindow()) {
    Try("messages in front", [&] {
      if (!m_pBaseFrame->isChild(root)) m_pBaseFrame->addChild(root);
      root->moveToFront();
    });
  }
  return frame;
}

void GUIManager::ShowMessage(const char* key, float displayTime, float fadeSpeed) {
  if (FrameInGameMessages* frame = GetMessagesFrame()) frame->AddUpperMessage(VString(key), displayTime, fadeSpeed);
}

void GUIManager::ShowMessage(const CEGUI::String& text, float displayTime, float fadeSpeed) {
  if (FrameInGameMessages* frame = GetMessagesFrame()) frame->AddUpperMessage(text, displayTime, fadeSpeed);
}

void GUIManager::ShowAdditionalMessage(const char* key, float displayTime, float fadeSpeed) {
  if (FrameInGameMessages* frame = GetMessagesFrame()) frame->AddCenterMessage(VString(key), displayTime, fadeSpeed);
}

void GUIManager::ShowAdditionalMessage(const CEGUI::String& text, float displayTime, float fadeSpeed) {
  if (FrameInGameMessages* frame = GetMessagesFrame()) frame->AddCenterMessage(text, displayTime, fadeSpeed);
}

void GUIManager::ShowTutorialWindow() {
  if (!m_pBaseFrame) return;
  BaseWindow* frame = GetWindow(WT_TUTORIAL);
  CEGUI::Window* root = frame ? frame->GetRootWindow() : nullptr;
  if (!root) return;
  Try("tutorial in front", [&] {
    if (!m_pBaseFrame->isChild(root)) m_pBaseFrame->addChild(root);
    root->moveToFront();
  });
}

void GUIManager::ShowToolbar() {
  if (!m_pBaseFrame) return;
  if (!m_pToolbar) {
    m_pToolbar = new FrameToolBar();
    m_pToolbar->Init();
    if (CEGUI::Window* root = m_pToolbar->GetRootWindow())
      Try("tool bar under the root", [&] {
        m_pBaseFrame->addChild(root);
        root->setMousePassThroughEnabled(true);
      });
  }
  CEGUI::Window* root = m_pToolbar->GetRootWindow();
  if (!root || root->isVisible()) return;
  Try("show tool bar", [&] {
    root->setVisible(true);
    root->moveToBack();
  });
}

void GUIManager::HideToolbar() {
  CEGUI::Window* root = m_pToolbar ? m_pToolbar->GetRootWindow() : nullptr;
  if (!root || !root->isVisible()) return;
  Try("hide tool bar", [&] {
    root->setVisible(false);
    root->setAlwaysOnTop(false);
    root->moveToBack();
  });
}

void GUIManager::ShowMissionLoadBar(float progress, const char* key, bool show) {
  if (!show) {
    if (IsWindowVisible(WT_MISSION_LOAD_BAR)) CloseWindow(WT_MISSION_LOAD_BAR, false);
    return;
  }
  if (!IsWindowVisible(WT_MISSION_LOAD_BAR) && m_pCurrentFrame && m_pCurrentFrame->GetRootWindow()) {
    BaseWindow* bar = GetWindow(WT_MISSION_LOAD_BAR);
    // Closed earlier in this frame: shown again, not deleted after the update.
    if (bar && bar->isRequestingRemove()) bar->CancelRemoveRequest();
    ShowWindow(bar, nullptr);
  }
  if (auto* bar = dynamic_cast<FrameMissionLoadBar*>(FindWindowA(WT_MISSION_LOAD_BAR)))
    bar->SetBar(progress, LocalizationTable::GetInstance()->GetText(key ? key : ""));
}

void GUIManager::ShowLowHPOverlay() {
  if (!m_pLowHPOverlay) {
    auto* overlay = static_cast<FrameLowHPOverlay*>(GetWindow(WT_LOW_HP_OVERLAY));
    if (!overlay) return;
    m_pLowHPOverlay = overlay;
    overlay->Show();
    if (CEGUI::Window* root = overlay->GetRootWindow()) {
      Try("show overlay", [&] {
        if (m_pBaseFrame && !m_pBaseFrame->isChild(root)) m_pBaseFrame->addChild(root);
        root->setMousePassThroughEnabled(true);
        root->setAlwaysOnTop(true);
        root->moveToFront();
        root->setVisible(true);
      });
    }
  }
  if (!m_pLowHPOverlay->IsVisible()) m_pLowHPOverlay->Show();
}

void GUIManager::HideLowHPOverlay() {
  if (m_pLowHPOverlay) m_pLowHPOverlay->Hide();
}

bool GUIManager::AddToTheBaseFrame(CEGUI::Window* window) {
  if (!m_pBaseFrame || !window) return false;
  return Try("add to root", [&] { m_pBaseFrame->addChild(window); });
}

FrameSpeechBubble* GUIManager::ShowSpeechBubble(float seconds) {
  if (!m_bInitialized) return nullptr;
  auto* bubble = new FrameSpeechBubble();
  if (!bubble->Init()) {
    CeguiCompat::DestroyWindow(bubble->GetRootWindow());
    delete bubble;
    return nullptr;
  }
  bubble->SetDisplayTime(seconds);
  CEGUI::Window* root = bubble->GetRootWindow();
  Try("speech bubble", [&] { root->hide(); });
  if (AddToTheBaseFrame(root)) Try("speech bubble", [&] { root->moveToBack(); });
  m_speechBubbles.push_back(bubble);
  return bubble;
}

void GUIManager::DestroySpeechBubbles() {
  // Taken out first, so that nothing reaches a bubble while it goes.
  std::list<FrameSpeechBubble*> bubbles;
  bubbles.swap(m_speechBubbles);
  for (FrameSpeechBubble* bubble : bubbles) {
    if (m_bInitialized) CeguiCompat::DestroyWindow(bubble->GetRootWindow());
    delete bubble;
  }
}

bool GUIManager::IsSpeechBubbleVisible(int number) const {
  if (number < 0 || m_speechBubbles.empty()) return false;
  // Bubbles are made in number order: the newest is the last in the list.
  return number == m_speechBubbles.back()->GetNumber();
}

FrameSpeechWindow* GUIManager::ShowSpeechWindow(float seconds) {
  if (!m_bInitialized) return nullptr;
  auto* window = new FrameSpeechWindow();
  if (!window->Init()) {
    CeguiCompat::DestroyWindow(window->GetRootWindow());
    delete window;
    return nullptr;
  }
  window->SetDisplayTime(seconds);
  CEGUI::Window* root = window->GetRootWindow();
  Try("speech window", [&] { root->hide(); });
  if (AddToTheBaseFrame(root)) Try("speech window", [&] {
      root->moveToFront();
      root->setAlwaysOnTop(false);
    });
  m_speechWindows.push_back(window);
  return window;
}

FrameSpeechWindow* GUIManager::GetSpeechWindow(int id) const {
  if (id < 0) return nullptr;
  for (FrameSpeechWindow* window : m_speechWindows)
    if (window->GetId() == id) return window;
  return nullptr;
}

bool GUIManager::IsSpeechWindowVisible(int id) const {
  const FrameSpeechWindow* window = GetSpeechWindow(id);
  return window && window->IsShowing();
}

void GUIManager::UpdateSpeechWindows(VCallback* sender) {
  if (sender == &GameManager::Callbacks.OnPreFrame) {
    for (FrameSpeechWindow* window : m_speechWindows) window->OnBeforeGUIUpdate();
  } else if (sender == &Vision::Callbacks.OnUpdateSceneBegin) {
    for (FrameSpeechWindow* window : m_speechWindows) window->OnBeforeSceneUpdate();
  } else if (sender == &Vision::Callbacks.OnUpdateSceneFinished) {
    for (FrameSpeechWindow* window : m_speechWindows) window->OnAfterSceneUpdate();
  } else if (sender == &GameManager::Callbacks.OnPostFrame) {
    for (auto it = m_speechWindows.begin(); it != m_speechWindows.end();) {
      FrameSpeechWindow* window = *it;
      window->OnAfterGUIUpdate();
      if (!window->IsFinished()) {
        ++it;
        continue;
      }
      it = m_speechWindows.erase(it);
      CeguiCompat::DestroyWindow(window->GetRootWindow());
      delete window;
    }
  }
}

void GUIManager::DestroySpeechWindows() {
  // Taken out first, so that nothing reaches a window while it goes.
  std::list<FrameSpeechWindow*> windows;
  windows.swap(m_speechWindows);
  for (FrameSpeechWindow* window : windows) {
    if (m_bInitialized) CeguiCompat::DestroyWindow(window->GetRootWindow());
    delete window;
  }
}

bool GUIManager::RemoveFromTheBaseFrame(CEGUI::Window* window) {
  if (!m_pBaseFrame || !window) return false;
  return Try("remove from root", [&] { m_pBaseFrame->removeChild(window); });
}

// ---------------------------------------------------------------------------
// Pause

void GUIManager::UpdateGamePauseStatus() {
  bool wants = m_pLoadingScreen && m_pLoadingScreen->IsRequestingPause();
  if (m_pToolbar && m_pToolbar->IsRequestingPause()) wants = true;
  for (auto& entry : m_openFrames)
    if (entry.second && entry.second->IsRequestingPause()) wants = true;
  for (FrameSpeechBubble* bubble : m_speechBubbles)
    if (bubble->IsRequestingPause()) wants = true;
  if (RadarIndicatorWantsPause()) wants = true;
  for (FrameSpeechWindow* window : m_speechWindows)
    if (window->IsRequestingPause()) wants = true;
  m_bWantsGamePause = wants;
  // A pause manager already gone at shutdown is not made again.
  if (m_bShuttingDown && !PauseManager::HasInstance()) return;
  PauseManager* pause = PauseManager::GetInstance();
  if (pause->IsGamePaused() != wants) pause->SetGamePause(wants);
}

void GUIManager::UpdateFullPauseStatus() {
  bool wants = m_pLoadingScreen && m_pLoadingScreen->IsRequestingFullPause();
  for (auto& entry : m_openFrames)
    if (entry.second && entry.second->IsRequestingFullPause()) wants = true;
  m_bWantsFullPause = wants;
}

// ---------------------------------------------------------------------------
// Loading screen

bool GUIManager::MakeLoadingScreen() {
  if (!m_bInitialized) return false;
  if (m_pLoadingScreen) return true;
  m_pLoadingScreen = new FrameLoadingScreen();
  m_pLoadingScreen->Init();
  if (CEGUI::Window* root = m_pLoadingScreen->GetRootWindow())
    if (AddToTheBaseFrame(root)) root->setMousePassThroughEnabled(true);
  return true;
}

bool GUIManager::ShowLoadingScreen() {
  if (!MakeLoadingScreen()) return true;
  RadarManager::GetInstance()->SetAllVisible(false);
  m_pLoadingScreen->SetAlpha(1.0f);
  m_pLoadingScreen->RequestPause(true);
  if (CEGUI::Window* root = m_pLoadingScreen->GetRootWindow()) {
    Try("show loading screen", [&] {
      root->setVisible(true);
      root->setAlwaysOnTop(true);
      root->moveToFront();
    });
  }
  Try("hide cursor", [] { Context().getMouseCursor().hide(); });
  if (!m_bUseSoftwareCursor) MouseCursorManager::GetInstance()->ShowD3DCursor(false);
  // The picture is on screen before the loading starts.
  if (VisMainApp::HasInstance()) VisMainApp::GetInstance()->RenderOnlyVisuals();
  return true;
}

void GUIManager::SetLoadingScreen(const char* file) {
  if (!MakeLoadingScreen()) return;
  m_pLoadingScreen->SetLoadingScreen(file);
  m_pLoadingScreen->SetAlpha(1.0f);
}

void GUIManager::SetRandomLoadingScreen() {
  if (!MakeLoadingScreen()) return;
  m_pLoadingScreen->SetRandomLoadingScreen();
  m_pLoadingScreen->SetAlpha(1.0f);
}

bool GUIManager::HideLoadingScreen(float fadeSpeed, float holdTime) {
  if (!m_pLoadingScreen) return false;
  // Keys pressed during loading are forgotten.
  Vision::Key.Reset();
  m_pLoadingScreen->SetFadeSpeed(fadeSpeed);
  if (m_bUseSoftwareCursor)
    Try("show cursor", [] { Context().getMouseCursor().show(); });
  else
    MouseCursorManager::GetInstance()->ShowD3DCursor(true);
  CEGUI::Window* root = m_pLoadingScreen->GetRootWindow();
  if (!root || !root->isVisible()) return false;
  m_pLoadingScreen->Hide();
  m_pLoadingScreen->SetHideTimer(holdTime);
  return true;
}

bool GUIManager::IsLoadingScreenVisible() const {
  return m_pLoadingScreen && m_pLoadingScreen->GetRootWindow() && m_pLoadingScreen->GetRootWindow()->isVisible();
}

// ---------------------------------------------------------------------------
// Cursors

void GUIManager::InitMouseCursors() {
  for (const auto& entry : kCursors) {
    m_cursorImageNames[entry.kind] = entry.image;
    // Keyed by the name CEGUI reports for its current cursor image. A file that
    // does not load leaves a null texture, which the cursor path ignores.
    m_cursorTextures[VHashString::Hash(CursorImageFullName(entry.image).c_str())] = LoadCursorTexture(entry.texture);
  }
}

std::string GUIManager::GetCursorImageName(CURSOR_TYPES kind) const {
  auto it = m_cursorImageNames.find(kind);
  return it == m_cursorImageNames.end() || it->second.empty() ? std::string() : CursorImageFullName(it->second);
}

VTextureObject* GUIManager::GetCursorTexture(const char* imageName) const {
  auto it = m_cursorTextures.find(VHashString::Hash(imageName));
  return it == m_cursorTextures.end() ? nullptr : it->second.GetPtr();
}

bool GUIManager::ChangeMouseCursor(CURSOR_TYPES kind) {
  const std::string image = GetCursorImageName(kind);
  if (image.empty()) return false;
  if (!m_bInitialized) return true;
  Try("change cursor", [&] {
    CEGUI::Window* over = Context().getWindowContainingMouse();
    // Over a widget the widget's own cursor wins; over the game world the kind applies.
    if (over && !over->isMousePassThroughEnabled()) return;
    Context().getMouseCursor().setDefaultImage(ToGui(image));
    Context().getMouseCursor().setImage(ToGui(image));
  });
  return true;
}

bool GUIManager::CursorImageChanged(const CEGUI::EventArgs&) { return true; }

// ---------------------------------------------------------------------------
// Plain state

void GUIManager::UpdateDelayAfterConversation() {
  m_fDelayAfterConversation -= Vision::Timer.GetTimeDifference();
  if (m_fDelayAfterConversation < 0.0f) m_fDelayAfterConversation = 0.0f;
}

void GUIManager::UpdateBlockingTimer() {
  if (m_fBlockingTimer <= 0.0f) return;
  m_fBlockingTimer -= Vision::Timer.GetTimeDifference();
  if (m_fBlockingTimer < 0.0f) m_fBlockingTimer = 0.0f;
}

void GUIManager::SetExclamationForButton(int index, bool on) {
  if (index >= 0 && index < 5) m_exclamations[index] = on;
}

bool GUIManager::GetExclamationForButton(int index) const { return index >= 0 && index < 5 && m_exclamations[index]; }

void GUIManager::ClearExclamations() {
  for (bool& mark : m_exclamations) mark = false;
}

void GUIManager::DumpWindowLineageInfo(CEGUI::Window* window) {
  for (int depth = 0; window; window = window->getParent(), ++depth)
    Vision::Error.SystemMessage("%d: w is %s active %d", depth, window->getName().c_str(), window->isActive() ? 1 : 0);
}

// ---------------------------------------------------------------------------
// Radar indicators

FrameRadar* GUIManager::ShowRadarIndicator(int) {
  if (!m_bInitialized) return nullptr;
  auto* indicator = new FrameRadar();
  if (!indicator->Init()) {
    CeguiCompat::DestroyWindow(indicator->GetRootWindow());
    delete indicator;
    return nullptr;
  }
  AddToTheBaseFrame(indicator->GetRootWindow());
  m_radarIndicators.push_back(indicator);
  return indicator;
}

void GUIManager::UpdateRadarIndicators(VCallback* sender) {
  if (sender == &Vision::Callbacks.OnUpdateSceneBegin) {
    for (FrameRadar* indicator : m_radarIndicators) indicator->OnBeforeSceneUpdate();
  } else if (sender == &Vision::Callbacks.OnUpdateSceneFinished) {
    for (FrameRadar* indicator : m_radarIndicators) indicator->OnAfterSceneUpdate();
  } else if (sender == &GameManager::Callbacks.OnPostFrame) {
    // Indicators get no GUI update of their own; the radar asks them to go.
    for (auto it = m_radarIndicators.begin(); it != m_radarIndicators.end();) {
      FrameRadar* indicator = *it;
      if (!indicator->isRequestingRemove()) {
        ++it;
        continue;
      }
      it = m_radarIndicators.erase(it);
      CeguiCompat::DestroyWindow(indicator->GetRootWindow());
      delete indicator;
    }
  }
}

void GUIManager::DestroyRadarIndicators() {
  // The radar forgets its indicators first, so that nothing points at them.
  if (!m_radarIndicators.empty() && RadarManager::HasInstance()) RadarManager::GetInstance()->ClearMarkers();
  std::list<FrameRadar*> indicators;
  indicators.swap(m_radarIndicators);
  for (FrameRadar* indicator : indicators) {
    if (m_bInitialized) CeguiCompat::DestroyWindow(indicator->GetRootWindow());
    delete indicator;
  }
}

bool GUIManager::RadarIndicatorWantsPause() const {
  for (const FrameRadar* indicator : m_radarIndicators)
    if (indicator->IsRequestingPause()) return true;
  return false;
}

// Ship panel and town tag shortcuts

void GUIManager::ShowShipInfo(ShipEntity* ship) {
  if (!ship || IsWindowVisible(WT_ENEMY_SHIP_INFO)) return;
  auto* panel = dynamic_cast<FrameEnemyShipInfo*>(GetWindow(WT_ENEMY_SHIP_INFO));
  if (!panel || !panel->GetRootWindow()) return;
  ShowWindow(WT_ENEMY_SHIP_INFO, nullptr);
  // The layout starts hidden: a shown panel is visible.
  panel->CancelRemoveRequest();
  panel->SetData(ship);
}

void GUIManager::HideShipInfo() {
  if (IsWindowVisible(WT_ENEMY_SHIP_INFO)) CloseWindow(WT_ENEMY_SHIP_INFO, false);
}

void GUIManager::ShowTownInfo(TownEntity* town) {
  if (!town || IsWindowVisible(WT_TOWN_INFO)) return;
  auto* tag = dynamic_cast<FrameTownInfo*>(GetWindow(WT_TOWN_INFO));
  if (!tag || !tag->GetRootWindow()) return;
  ShowWindow(WT_TOWN_INFO, nullptr);
  tag->CancelRemoveRequest();
  tag->SetData(town);
}

void GUIManager::HideTownInfo() {
  if (IsWindowVisible(WT_TOWN_INFO)) CloseWindow(WT_TOWN_INFO, false);
}
