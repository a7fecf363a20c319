// The settings manager: presets, stored values and their application.
#include "Managers/SettingsManager.h"

#include "Managers/MusicManager.h"
#include "Managers/RadarManager.h"
#include "Managers/SettingsXmlReader.h"
#include "Managers/SoundManager.h"
#include "Managers/SpeechManager.h"
#include "core/GameManager.h"
#include "core/VisMainApp.h"
#include "engine/Vision.h"
#include "gui/GUIManager.h"
#include "util/UserArchiveFile.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int CurrentLocation() { return GameManager::HasInstance() ? GameManager::GetInstance()->GetLocation() : -1; }

VStrDictionary& Dictionary() { return Vision::Game.GetDictionary(); }

std::string Key(const char* format, ...) {
  char buffer[128];
  va_list args;
  va_start(args, format);
  vsnprintf(buffer, sizeof(buffer), format, args);
  va_end(args);
  return buffer;
}

// "WxHxR" with exactly three tokens.
bool ParseQuality(const char* text, int& width, int& height, int& refresh) {
  if (!text) return false;
  std::vector<std::string> tokens(1);
  for (const char* p = text; *p; ++p) {
    if (*p == 'x')
      tokens.emplace_back();
    else
      tokens.back() += *p;
  }
  if (tokens.size() != 3) return false;
  width = VString::NumericParse(tokens[0].c_str());
  height = VString::NumericParse(tokens[1].c_str());
  refresh = VString::NumericParse(tokens[2].c_str());
  return true;
}

// Typed reads of a key that is present with a readable value; otherwise the caller
// keeps its default (or makes no call at all).
bool ReadBool(const std::string& key, bool& out) {
  const char* text = Dictionary().Get(key.c_str());
  return text && *text && VString::ParseBool(text, out);
}
bool ReadFloat(const std::string& key, float& out) {
  const char* text = Dictionary().Get(key.c_str());
  return text && *text && VString::ParseFloat(text, out);
}
bool GetBool(const std::string& key, bool def) { return Dictionary().GetBool(key.c_str(), def); }
int GetInt(const std::string& key, int def) { return Dictionary().GetInt(key.c_str(), def); }
float GetFloat(const std::string& key, float def) { return Dictionary().GetFloat(key.c_str(), def); }

// The position of a text in a list of names, or -1.
int IndexOf(const char* text, const char* const* names, int count) {
  if (!text) return -1;
  for (int i = 0; i < count; ++i)
    if (strcmp(text, names[i]) == 0) return i;
  return -1;
}

const char* const kFilterTechniques[] = {"GAUSSIAN", "BILATERAL_5_SAMPLES", "BILATERAL_9_SAMPLES", "ADAPTIVE"};
const char* const kShadowModes[] = {"PCF4", "PCF8", "PCF8_RAND", "PCF16", "PCF16_RAND", "PCSS16", "PCSS16_RAND", "CHS"};
const float kDefaultBias[VShadowMapSettings::MaxCascades] = {0.1f, 0.2f, 0.4f, 0.8f};
const float kDefaultCascadeRange[VShadowMapSettings::MaxCascades] = {30.0f, 90.0f, 270.0f, 810.0f};

float Volume(const char* key) { return std::clamp(Dictionary().GetFloat(key, 1.0f), 0.0f, 1.0f); }

// The nearest of the sizes (ascending, not empty); the smaller one on a tie.
int NearestSize(int size, const std::vector<int>& sizes) {
  int best = sizes.front();
  for (int s : sizes)
    if (std::abs((int64_t)s - size) < std::abs((int64_t)best - size)) best = s;
  return best;
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

// ---- presets ---------------------------------------------------------------------

bool SettingsManager::LoadSettingsFromXML() {
  std::string text;
  std::string error = "Failed to open file";
  const bool read = Vision::File.ReadTextFile("settings.xml", text) &&
                    SettingsXmlReader::Read(
                        text.c_str(),
                        [this](eSettingType type, int kind, const char* quality, const char* key, const char* value,
                               bool isDefault) { InitializeSetting(type, kind, quality, key, value, isDefault); },
                        error);
  if (!read) {
    Vision::Error.SystemMessage("XML error: %s", error.c_str());
    return false;
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
  if (!key) return;
  if (!value) value = "";
  const VHashString name(quality ? quality : "");
  PresetList& family = m_presets[type];
  SettingQuality* preset = nullptr;
  for (auto& candidate : family)
    if (candidate->m_iSceneKind == sceneKind && candidate->m_sName == name) {
      preset = candidate.get();
      break;
    }
  if (!preset) {
    family.push_back(std::make_unique<SettingQuality>(name.AsChar(), sceneKind, isDefault));
    preset = family.back().get();
    if (isDefault) Dictionary().Set(Key("Quality_%d", (int)type).c_str(), name.AsChar());
  }
  preset->m_values.Set(key, value);
  if (isDefault) Dictionary().Set((std::string(key) + Key("_%d", sceneKind)).c_str(), value);
}

void SettingsManager::WritePreset(const SettingQuality& preset) {
  if (preset.m_iSceneKind == -1) return;
  const std::string suffix = Key("_%d", preset.m_iSceneKind);
  for (int i = 0; i < preset.m_values.GetCount(); ++i) {
    const VStrDictionaryEntry* entry = preset.m_values.GetEntry(i);
    Dictionary().Set((std::string(entry->m_key.AsChar()) + suffix).c_str(), entry->m_value.AsChar());
  }
}

const SettingsManager::PresetList& SettingsManager::GetPresets(eSettingType type) const {
  static const PresetList empty;
  auto it = m_presets.find(type);
  return it == m_presets.end() ? empty : it->second;
}

int SettingsManager::GetSettingCount(eSettingType type) const {
  int perKind[3] = {0, 0, 0};
  for (const auto& preset : GetPresets(type))
    if (preset->m_iSceneKind >= 0 && preset->m_iSceneKind < 3) ++perKind[preset->m_iSceneKind];
  return *std::max_element(perKind, perKind + 3);
}

void SettingsManager::GetQualities(eSettingType type, std::vector<VHashString>& out) const {
  for (const auto& preset : GetPresets(type))
    if (std::find(out.begin(), out.end(), preset->m_sName) == out.end()) out.push_back(preset->m_sName);
}

bool SettingsManager::SetSetting(eSettingType type, const VHashString& quality) {
  const PresetList& family = GetPresets(type);
  if (family.empty()) return false;
  for (const auto& preset : family)
    if (preset->m_sName == quality) WritePreset(*preset);
  return true;
}

std::vector<int> SettingsManager::GetPresetShadowMapSizes() const {
  std::vector<int> sizes;
  for (const auto& preset : GetPresets(SETTING_SHADOWS)) {
    int size = 0;
    const char* text = preset->m_values.Get("Shadows_ShadowMapSize");
    if (text && VString::ParseInt(text, size) && size > 0) sizes.push_back(size);
  }
  if (sizes.empty()) sizes.push_back(1024);
  std::sort(sizes.begin(), sizes.end());
  sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
  return sizes;
}

// ---- settings.bin ----------------------------------------------------------------

bool SettingsManager::GetSettingsFilePath(std::string& out) {
  return UserArchiveFile::GetUserFilePath("settings.bin", out);
}

bool SettingsManager::LoadSettingsFromSave() {
  std::string path;
  if (!GetSettingsFilePath(path)) return false;
  // Read aside first: a file that breaks off half-way changes nothing.
  VStrDictionary stored;
  if (!UserArchiveFile::Read(path.c_str(), [&](VArchive& ar) { ar >> stored; })) return false;
  for (int i = 0; i < stored.GetCount(); ++i)
    Dictionary().Set(stored.GetEntry(i)->m_key.AsChar(), stored.GetEntry(i)->m_value.AsChar());
  return true;
}

bool SettingsManager::SaveSettings() {
  std::string path;
  if (!GetSettingsFilePath(path)) return false;
  return UserArchiveFile::Write(path.c_str(), [](VArchive& ar) { ar << Dictionary(); });
}

void SettingsManager::SetDlcLevelPassed(int level) {
  Dictionary().Set("DlcLevelUnlocked", Key("%i", level).c_str());
  SaveSettings();
}

int SettingsManager::GetDlcLevelPassed() const { return Dictionary().GetInt("DlcLevelUnlocked", 1); }

// ---- apply -----------------------------------------------------------------------

void SettingsManager::ApplySettings() {
  if (Vision::Editor.IsInEditor()) return;
  const bool changed = ApplyResolution(true);
  ApplySSAO();
  ApplyShadows();
  ApplyAnisotropic();
  ApplyVolume();
  // A new video mode is saved once the player keeps it (options screen).
  if (!changed) SaveSettings();
}

void SettingsManager::ApplyVolume() {
  SoundManager* sound = SoundManager::GetInstance();
  sound->SetMasterVolume(Volume("MasterVolume"));
  // The music manager ignores the volume it already has.
  MusicManager::GetInstance()->SetMusicVolume(Volume("MusicVolume"));
  SpeechManager::GetInstance()->SetSpeechVolume(Volume("SpeechVolume"));
  sound->SetFXVolume(Volume("FXVolume"));
}

bool SettingsManager::ApplyResolution(bool apply) {
  const bool fullScreen = !GetBool("Windowed_Enabled_0", true);
  const bool vsync = GetBool("Vsync_Enabled_0", true);

  VisMainApp* app = VisMainApp::GetInstance();
  VVideoConfig& config = app->m_videoConfig;
  int width = config.m_iXRes, height = config.m_iYRes, refresh = config.m_iRefreshRate;
  ParseQuality(Dictionary().Get("Quality_0"), width, height, refresh);

  // The nearest mode the adapter offers; without any, the desktop mode stands.
  VVideoMode mode;
  VVideo::GetAdapterMode(config.m_iAdapter, mode);
  app->GetClosestVideoMode(mode, width, height, refresh);

  // Compared with the window as it is (the configuration before the engine runs).
  // The refresh rate is left out: the mode switch takes none and the configuration
  // keeps 0, so comparing it would report a change on every call.
  const bool running = VVideo::IsInitialized();
  const int currentWidth = running ? VVideo::GetCurrentWidth() : config.m_iXRes;
  const int currentHeight = running ? VVideo::GetCurrentHeight() : config.m_iYRes;
  const bool currentFullScreen = running ? VVideo::IsFullScreen() : config.m_bFullScreen;
  const bool changed = mode.m_iXRes != currentWidth || mode.m_iYRes != currentHeight ||
                       fullScreen != currentFullScreen || vsync != config.m_bWaitVRetrace;

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
  if (RadarManager::HasInstance()) RadarManager::GetInstance()->InvalidateScreenGeometry();
  if (GUIManager::HasInstance()) GUIManager::GetInstance()->ResetResolution();
  app->RenderOnlyVisuals();
  return true;
}

void SettingsManager::ApplySSAO() {
  const int loc = CurrentLocation();
  VPostProcessSSAO* ssao = Vision::Renderer.GetSSAOPostProcessor();
  if (loc < 0 || Dictionary().GetCount() == 0 || !ssao) return;

  bool enabled = false;
  if (ReadBool(Key("SSAO_Enabled_%d", loc), enabled)) ssao->m_bEnabled = enabled;
  switch (GetInt(Key("SSAO_Samples_%d", loc), 8)) {
    case 8: ssao->m_iSampleSetting = 0; break;
    case 16: ssao->m_iSampleSetting = 1; break;
    case 32: ssao->m_iSampleSetting = 2; break;
    case 64: ssao->m_iSampleSetting = 3; break;
    default: break;  // other counts leave the setting
  }
  ssao->m_iBlurPasses = GetInt(Key("SSAO_BlurPasses_%d", loc), 3);
  ssao->m_bHalfResolutionBlur = GetBool(Key("SSAO_HalfResolutionBlur_%d", loc), false);
  const int technique = IndexOf(Dictionary().Get(Key("SSAO_FilterTechnique_%d", loc).c_str()), kFilterTechniques, 4);
  if (technique >= 0) ssao->m_iFilterTechnique = technique;

  VPostProcessSSAO::Parameters first;
  first.m_fRadius = GetFloat(Key("SSAO_Radius1_%d", loc), 0.125f);
  first.m_fPower = GetFloat(Key("SSAO_Power1_%d", loc), 2.0f);
  first.m_fFullThreshold = GetFloat(Key("SSAO_FullThreshold1_%d", loc), 0.3f);
  first.m_fNoThreshold = GetFloat(Key("SSAO_NoThreshold1_%d", loc), 0.15f);
  ssao->m_params[0] = first;
  VPostProcessSSAO::Parameters second = first;
  ReadFloat(Key("SSAO_Radius2_%d", loc), second.m_fRadius);
  ReadFloat(Key("SSAO_Power2_%d", loc), second.m_fPower);
  ReadFloat(Key("SSAO_FullThreshold2_%d", loc), second.m_fFullThreshold);
  ReadFloat(Key("SSAO_NoThreshold2_%d", loc), second.m_fNoThreshold);
  ssao->m_params[1] = second;
}

void SettingsManager::ApplyShadows() {
  const int loc = CurrentLocation();
  if (loc < 0 || Dictionary().GetCount() == 0) return;
  const std::vector<int> sizes = GetPresetShadowMapSizes();
  for (int light = 0; light < Vision::Renderer.GetShadowMapCount(); ++light) {
    VShadowMapSettings* shadow = Vision::Renderer.GetShadowMap(light);
    shadow->m_bQuarterSizeTexture = GetBool(Key("Shadows_QuarterSizeTexture_%d", loc), false);
    const int mode = IndexOf(Dictionary().Get(Key("Shadows_ShadowMappingMode_%d", loc).c_str()), kShadowModes, 8);
    shadow->m_iMappingMode = mode >= 0 ? mode : 1;
    shadow->m_iMapSize = NearestSize(GetInt(Key("Shadows_ShadowMapSize_%d", loc), 1024), sizes);
    shadow->m_fSampleRadius = GetFloat(Key("Shadows_SampleRadius_%d", loc), 1.0f);
    for (int c = 0; c < VShadowMapSettings::MaxCascades; ++c)
      shadow->m_fBias[c] = GetFloat(Key("Shadows_Bias%d_%d", c, loc), kDefaultBias[c]);
    for (int c = 0; c < VShadowMapSettings::MaxCascades; ++c)
      shadow->m_fSlope[c] = GetFloat(Key("Shadows_Slope%d_%d", c, loc), 0.0f);
    shadow->m_bFrontFacing = GetBool(Key("Shadows_FrontFacing_%d", loc), true);
    shadow->m_iCascadeCount =
        std::clamp(GetInt(Key("Shadows_CascadeCount_%d", loc), 1), 1, VShadowMapSettings::MaxCascades);
    for (int c = 0; c < VShadowMapSettings::MaxCascades; ++c)
      shadow->m_fCascadeRange[c] = GetFloat(Key("Shadows_CascadeRange%d_%d", c, loc), kDefaultCascadeRange[c]);
    shadow->m_bOverestimateCascades = GetBool(Key("Shadows_OverestimateCascades_%d", loc), false);
    shadow->m_fCameraUpdateInterval = GetFloat(Key("Shadows_CameraUpdateInterval_%d", loc), 2.0f);
    shadow->m_fCameraUpdateAngle = GetFloat(Key("Shadows_CameraUpdateAngle_%d", loc), 5.0f);
    shadow->m_bEnabled = GetBool(Key("Shadows_Enabled_%d", loc), false);
  }
}

void SettingsManager::ApplyAnisotropic() {
  const int loc = CurrentLocation();
  if (loc < 0) return;
  const float level = GetFloat(Key("Anisotropic_Level_%d", loc), 1.0f);
  Vision::Renderer.SetMaxAnisotropy(level);
  Vision::Renderer.SetDefaultTextureFilterMode(level > 1.0f ? 8 : 7);
}

void SettingsManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data || data->m_pSender != &Vision::Callbacks.OnVideoInitializing) return;
  auto* video = static_cast<VisVideoInitDataObject_cl*>(data);
  if (video->m_pConfig) video->m_pConfig->m_bWaitVRetrace = GetBool("Vsync_Enabled_0", true);
}
