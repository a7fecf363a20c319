// The graphics and sound settings: quality presets from settings.xml, the player's
// values from settings.bin in the documents folder, all kept as text entries of the
// engine game's dictionary, and pushed into the video mode, the renderer's effects
// and the audio managers.
#pragma once

#include "Managers/SettingQuality.h"
#include "Managers/SettingType.h"
#include "engine/base/VCallback.h"
#include "util/Singleton.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class SettingsManager : public Singleton<SettingsManager>, public IVisCallbackHandler_cl {
 public:
  typedef std::vector<std::unique_ptr<SettingQuality>> PresetList;

  ~SettingsManager() override;

  // Loads the presets, then the stored values (not inside the editor).
  void Initialize();
  // False when the file does not load ("XML error: ..." in the log).
  bool LoadSettingsFromXML();
  void InitializeSetting(eSettingType type, int sceneKind, const char* quality, const char* key, const char* value,
                         bool isDefault);

  // The largest number of presets of the family among the three scene kinds.
  int GetSettingCount(eSettingType type) const;
  // Appends the family's quality names in file order, each once; names already in
  // the list are not added again.
  void GetQualities(eSettingType type, std::vector<VHashString>& out) const;
  // Writes the pairs of every preset of that name into the game dictionary, each
  // key with its scene kind; false when the family has no presets.
  bool SetSetting(eSettingType type, const VHashString& quality);
  // The presets of a family in file order (empty for none).
  const PresetList& GetPresets(eSettingType type) const;

  // Reads <documents>/Fenwold/Brinemark/settings.bin into the game dictionary; false
  // when there is none or it is not valid (the dictionary then stays as it was).
  bool LoadSettingsFromSave();
  // Writes the whole game dictionary there; false when it cannot.
  bool SaveSettings();
  // The settings file's full path; false without a documents folder or when the
  // product folder cannot be made.
  static bool GetSettingsFilePath(std::string& out);

  // The whole sequence (not inside the editor): resolution, SSAO, shadows, texture
  // filtering, volumes, then saving unless the video mode changed.
  void ApplySettings();
  // Window, vertical sync and resolution to the application's video configuration.
  // With apply, a changed mode is switched at once; returns whether it changed.
  bool ApplyResolution(bool apply);
  // The effects of the current scene kind; nothing outside a scene (location -1).
  void ApplySSAO();
  void ApplyShadows();
  void ApplyAnisotropic();
  // Master, music, speech and effect volumes to the audio managers.
  void ApplyVolume();

  // The highest downloadable mission passed; 1 when none was stored.
  void SetDlcLevelPassed(int level);
  int GetDlcLevelPassed() const;

  // The shadow-map sizes the Shadows presets use, ascending (the default 1024 when
  // they name none): a stored size is applied as the nearest of them.
  std::vector<int> GetPresetShadowMapSizes() const;

  // Video initialising: the vertical-sync setting goes into the configuration used.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

 private:
  friend class Singleton<SettingsManager>;
  SettingsManager();
  // Writes a preset's pairs into the game dictionary, each key with the scene kind.
  void WritePreset(const SettingQuality& preset);

  std::map<eSettingType, PresetList> m_presets;
};
