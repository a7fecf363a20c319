// The graphics and sound settings: quality presets from settings.xml, the player's
// values from settings.bin in the documents folder, all kept as text entries of the
// engine game's dictionary, and pushed into the video mode and the audio managers.
#pragma once

#include "Managers/SettingQuality.h"
#include "engine/base/VCallback.h"
#include "util/Singleton.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// Settings families; 1 to 5 are named in settings.xml by "SSAO", "Shadows",
// "Anisotropic", "Vsync" and "Windowed".
enum eSettingType {
  SETTING_RESOLUTION = 0,
  SETTING_SSAO = 1,
  SETTING_SHADOWS = 2,
  SETTING_ANISOTROPIC = 3,
  SETTING_VSYNC = 4,
  SETTING_WINDOWED = 5,
};

class SettingsManager : public Singleton<SettingsManager>, public IVisCallbackHandler_cl {
 public:
  ~SettingsManager() override;

  // Loads the presets, then the stored values (not inside the editor).
  void Initialize();
  // False when the file does not load ("XML error: ..." in the log).
  bool LoadSettingsFromXML();
  void InitializeSetting(eSettingType type, int sceneKind, const char* quality, const char* key, const char* value,
                         bool isDefault);
  // Reads <documents>/Fenwold/Brinemark/settings.bin into the game dictionary;
  // false when there is none or it is not valid.
  bool LoadSettingsFromSave();
  // The settings file's full path; false without a documents folder or when the
  // product folder cannot be made.
  static bool GetSettingsFilePath(std::string& out);

  // Master, music, speech and effect volumes to the audio managers.
  void ApplyVolume();
  // Window, vertical sync and resolution to the application's video configuration.
  // With apply, a changed mode is switched at once; returns whether it changed.
  bool ApplyResolution(bool apply);

  // The presets of a family in file order (empty for none).
  const std::vector<std::unique_ptr<SettingQuality>>& GetPresets(eSettingType type);

  // Video initialising: the vertical-sync setting goes into the configuration used.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

 private:
  friend class Singleton<SettingsManager>;
  SettingsManager();
  // Writes a preset's pairs into the game dictionary, each key with the scene kind.
  void WritePreset(const SettingQuality& preset);

  std::map<eSettingType, std::vector<std::unique_ptr<SettingQuality>>> m_presets;
};
