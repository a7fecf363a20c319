// The settings manager: presets, stored values and their application.
#include "Managers/SettingsManager.h"

#include "Managers/MusicManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SoundManager.h"
#include "Managers/SpeechManager.h"
#include "core/GameManager.h"
#include "core/VisMainApp.h"
#include "engine/Vision.h"
#include "gui/GUIManager.h"

#include <tinyxml.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char* const kTypeNames[] = {nullptr, "SSAO", "Shadows", "Anisotropic", "Vsync", "Windowed"};

// The family of an XML type name, or SETTING_RESOLUTION for none.
eSettingType TypeFromName(const char* name) {
  if (!name) return SETTING_RESOLUTION;
  for (int i = 1; i <= 5; ++i)
    if (strcmp(name, kTypeNames[i]) == 0) return (eSettingType)i;
  return SETTING_RESOLUTION;
}

int SceneKindFromName(const char* loc) {
  if (strcmp(loc, "WORLD") == 0) return 0;
  if (strcmp(loc, "LAND") == 0) return 1;
  if (strcmp(loc, "SEA") == 0) return 2;
  return -1;
}

int CurrentLocation() { return GameManager::HasInstance() ? GameManager::GetInstance()->GetLocation() : -1; }

VStrDictionary& Dictionary() { return Vision::Game.GetDictionary(); }

// "WxHxR" with exactly three tokens.
bool ParseQuality(const char* text, int& width, int& height, int& refresh) {
  if (!text) return false;
  std::vector<std::string> tokens;
  std::string current;
  for (const char* p = text;; ++p) {
    if (*p == 'x' || *p == 0) {
      tokens.push_back(current);
      current.clear();
      if (!*p) break;
    } else {
      current += *p;
    }
  }
  if (tokens.size() != 3) return false;
  width = VString::NumericParse(tokens[0].c_str());
  height = VString::NumericParse(tokens[1].c_str());
  refresh = VString::NumericParse(tokens[2].c_str());
  return true;
}

}  // namespace

SettingsManager::SettingsManager() {
  Vision::Callbacks.OnVideoInitializing.RegisterCallback(this);
  Initialize();
}

SettingsManager::~SettingsManager() { Vision::Callbacks.OnVideoInitializing.DeregisterCallback(this); }

void SettingsManager::Initialize() {
  if (Vision::Editor.IsInEditor()) return;
  LoadSettingsFromXML();
  LoadSettingsFromSave();
}

bool SettingsManager::LoadSettingsFromXML() {
  std::string text;
  TiXmlDocument doc;
  if (!Vision::File.ReadTextFile("settings.xml", text)) {
    Vision::Error.SystemMessage("XML error: %s", "Failed to open file");
    return false;
  }
  doc.Parse(text.c_str());
  if (doc.Error() || !doc.RootElement()) {
    Vision::Error.SystemMessage("XML error: %s", doc.ErrorDesc());
    return false;
  }
  for (TiXmlElement* settings = doc.RootElement()->FirstChildElement("Settings"); settings;
       settings = settings->NextSiblingElement("Settings")) {
    const eSettingType type = TypeFromName(settings->Attribute("type"));
    if (type == SETTING_RESOLUTION) continue;
    const char* quality = settings->Attribute("quality");
    bool isDefault = false;
    settings->QueryBoolAttribute("default", &isDefault);
    for (TiXmlElement* setting = settings->FirstChildElement("Setting"); setting;
         setting = setting->NextSiblingElement("Setting")) {
      const char* key = setting->Attribute("key");
      const char* value = setting->Attribute("value");
      char fullKey[256];
      snprintf(fullKey, sizeof(fullKey), "%s_%s", kTypeNames[type], key ? key : "");
      const char* loc = setting->Attribute("loc");
      if (!loc) {
        for (int kind = 0; kind < 3; ++kind) InitializeSetting(type, kind, quality, fullKey, value, isDefault);
      } else {
        const int kind = SceneKindFromName(loc);
        if (kind >= 0) InitializeSetting(type, kind, quality, fullKey, value, isDefault);
      }
    }
  }
  // Defaults for the scene kind the game is in (none at start-up).
  const int location = CurrentLocation();
  for (auto& family : m_presets)
    for (auto& preset : family.second)
      if (preset->m_iSceneKind == location && preset->m_bDefault) WritePreset(*preset);
  return true;
}

void SettingsManager::InitializeSetting(eSettingType type, int sceneKind, const char* quality, const char* key,
                                        const char* value, bool isDefault) {
  const VHashString name(quality ? quality : "");
  auto& family = m_presets[type];
  SettingQuality* preset = nullptr;
  for (auto& candidate : family)
    if (candidate->m_iSceneKind == sceneKind && candidate->m_sName == name) preset = candidate.get();
  if (!preset) {
    family.push_back(std::make_unique<SettingQuality>(name.AsChar(), sceneKind, isDefault));
    preset = family.back().get();
    if (isDefault) {
      char qualityKey[32];
      snprintf(qualityKey, sizeof(qualityKey), "Quality_%d", (int)type);
      Dictionary().Set(qualityKey, name.AsChar());
    }
  }
  preset->m_values.Set(key, value ? value : "");
  if (isDefault) {
    char sceneKey[300];
    snprintf(sceneKey, sizeof(sceneKey), "%s_%d", key, sceneKind);
    Dictionary().Set(sceneKey, value ? value : "");
  }
}

void SettingsManager::WritePreset(const SettingQuality& preset) {
  if (preset.m_iSceneKind == -1) return;
  for (int i = 0; i < preset.m_values.GetCount(); ++i) {
    const VStrDictionaryEntry* entry = preset.m_values.GetEntry(i);
    char sceneKey[300];
    snprintf(sceneKey, sizeof(sceneKey), "%s_%d", entry->m_key.AsChar(), preset.m_iSceneKind);
    Dictionary().Set(sceneKey, entry->m_value.AsChar());
  }
}

const std::vector<std::unique_ptr<SettingQuality>>& SettingsManager::GetPresets(eSettingType type) {
  return m_presets[type];
}

bool SettingsManager::GetSettingsFilePath(std::string& out) {
  char documents[V_DOCUMENT_FOLDER_SIZE];
  if (!SaveGameManagerProto::GetInstance()->GetMyDocumentFolder(documents)) return false;
  const std::string folder = VPathHelper::CombineDirAndFile(documents, "Fenwold/Brinemark");
  if (!VFileHelper::ExistsDir(folder.c_str()) && !VFileHelper::MkDirRecursive(folder.c_str())) return false;
  out = VPathHelper::CombineDirAndFile(folder.c_str(), "settings.bin");
  return true;
}

bool SettingsManager::LoadSettingsFromSave() {
  std::string path;
  if (!GetSettingsFilePath(path)) return false;
  IVFileInStream* in = Vision::File.Open(path.c_str());
  if (!in) return false;
  bool loaded = false;
  {
    VArchive ar("settings.bin", in, Vision::File.GetManager(), 4096);
    int version = 0;
    ar >> version;
    ar.SetLoadingVersion(version);
    if (ar.IsOK() && Vision::IsValidArchive(version)) {
      ar >> Dictionary();
      loaded = ar.IsOK();
    }
    ar.Close();
  }
  in->Close();
  return loaded;
}

void SettingsManager::ApplyVolume() {
  const VStrDictionary& dict = Dictionary();
  SoundManager* sound = SoundManager::GetInstance();
  sound->SetMasterVolume(dict.GetFloat("MasterVolume", 1.0f));
  const float music = dict.GetFloat("MusicVolume", 1.0f);
  if (music != MusicManager::GetInstance()->GetMusicVolume()) MusicManager::GetInstance()->SetMusicVolume(music);
  SpeechManager::GetInstance()->SetSpeechVolume(dict.GetFloat("SpeechVolume", 1.0f));
  sound->SetFXVolume(dict.GetFloat("FXVolume", 1.0f));
}

bool SettingsManager::ApplyResolution(bool apply) {
  const VStrDictionary& dict = Dictionary();
  const bool fullScreen = !dict.GetBool("Windowed_Enabled_0", true);
  const bool vsync = dict.GetBool("Vsync_Enabled_0", true);

  VisMainApp* app = VisMainApp::GetInstance();
  VVideoConfig& config = app->m_videoConfig;
  int width = config.m_iXRes, height = config.m_iYRes, refresh = config.m_iRefreshRate;
  ParseQuality(dict.Get("Quality_0"), width, height, refresh);

  VVideoMode mode;
  VVideo::GetAdapterMode(config.m_iAdapter, mode);
  VVideoMode closest;
  if (app->GetClosestVideoMode(closest, width, height, refresh)) mode = closest;
  const int newRefresh = fullScreen ? mode.m_iRefreshRate : 0;
  const int currentRefresh = config.m_bFullScreen ? config.m_iRefreshRate : 0;
  const bool changed = mode.m_iXRes != config.m_iXRes || mode.m_iYRes != config.m_iYRes ||
                       newRefresh != currentRefresh || newRefresh == 0 || vsync != config.m_bWaitVRetrace ||
                       fullScreen != config.m_bFullScreen;

  auto store = [&] {
    config.m_iXRes = mode.m_iXRes;
    config.m_iYRes = mode.m_iYRes;
    config.m_bFullScreen = fullScreen;
    config.m_iRefreshRate = 0;
    config.m_bWaitVRetrace = vsync;
    app->m_windowConfig.m_bBorderless = fullScreen;
    app->m_windowConfig.m_iCreationFlags = fullScreen ? 1 : 0;
  };
  if (!apply) {
    store();
    return false;
  }
  if (!changed) return false;
  if (VVideo::ChangeResolution(mode.m_iXRes, mode.m_iYRes, fullScreen)) store();
  GUIManager::GetInstance()->ResetResolution();
  app->RenderOnlyVisuals();
  return true;
}

void SettingsManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data || data->m_pSender != &Vision::Callbacks.OnVideoInitializing) return;
  auto* video = static_cast<VisVideoInitDataObject_cl*>(data);
  if (video->m_pConfig) video->m_pConfig->m_bWaitVRetrace = Dictionary().GetBool("Vsync_Enabled_0", true);
}
