// The settings screen, opened from the main menu and the in-game menu: resolution,
// window mode and volumes on the basic page, vertical sync, SSAO, shadows and
// anisotropic filtering on the advanced one. Volumes act at once, the rest on Apply;
// a new video mode must be confirmed within 30 seconds or it is undone.
#pragma once

#include "Managers/SettingType.h"
#include "engine/Vision.h"
#include "gui/BaseWindow.h"

#include <vector>

namespace CEGUI {
class Scrollbar;
}

class FrameYesNoPopUp;

class FrameOptions : public BaseWindow {
 public:
  // The records in the order of the screen's option list.
  enum Option {
    OPTION_SSAO,
    OPTION_SHADOWS,
    OPTION_ANISOTROPIC,
    OPTION_RESOLUTION,
    OPTION_VSYNC,
    OPTION_WINDOWED,
    OPTION_OVERALL_QUALITY,
    OPTION_MASTER_VOLUME,
    OPTION_MUSIC_VOLUME,
    OPTION_SPEECH_VOLUME,
    OPTION_FX_VOLUME,
    OPTION_COUNT
  };

  // One option: its three widgets, the names its slider steps through, and the
  // positions last applied and last kept (resolution and window mode).
  struct OptionRecord {
    CEGUI::Window* label = nullptr;
    CEGUI::Window* valueLabel = nullptr;
    CEGUI::Scrollbar* slider = nullptr;
    std::vector<VHashString> qualities;
    bool custom = false;
    float appliedPosition = 0.0f;
    float previousPosition = 0.0f;
  };

  FrameOptions();
  // A video mode still waiting for its answer is undone first, as No would; the
  // pop-up then closes without calling into this frame.
  ~FrameOptions() override;

  bool HookComponents() override;
  // Apply is enabled exactly while a choice other than the volumes is not applied.
  void OnBeforeGUIUpdate() override;

  // The pop-up's answers.
  bool AcceptVideoChanges(const CEGUI::EventArgs& args);
  bool RevertVideoChanges(const CEGUI::EventArgs& args);

  // Bits of the options whose slider differs from the applied position.
  unsigned GetChangeMask() const;
  const OptionRecord& GetRecord(Option option) const { return m_records[option]; }
  const std::vector<VVideoMode>& GetVideoModes() const { return m_videoModes; }
  bool IsAdvancedShown() const { return m_bAdvancedShown; }
  // The change bit of each record.
  static unsigned ChangeBit(Option option);

 private:
  bool BackClicked(const CEGUI::EventArgs& args);
  bool ApplyClicked(const CEGUI::EventArgs& args);
  bool AdvancedClicked(const CEGUI::EventArgs& args);
  bool ApplyButtonDisabled(const CEGUI::EventArgs& args);
  bool ApplyButtonEnabled(const CEGUI::EventArgs& args);
  bool SnapSlider(const CEGUI::EventArgs& args);
  bool QualityChanged(const CEGUI::EventArgs& args);
  bool ResolutionChanged(const CEGUI::EventArgs& args);
  bool VolumeChanged(const CEGUI::EventArgs& args);
  bool PlayTestSound(const CEGUI::EventArgs& args);

  void FillSliders();
  void FillVideoModes();
  void ConfigureSlider(OptionRecord& record, float documentSize, float pageSize, float position);
  void SetButtonLook(bool enabled);
  void UpdateQualityLabel(OptionRecord& record);
  void UpdateResolutionLabel(OptionRecord& record);
  void UpdateVolume(Option option, bool apply);
  OptionRecord* RecordOf(const CEGUI::EventArgs& args);
  float SliderPosition(const OptionRecord& record) const;
  void SetSliderPosition(OptionRecord& record, float position);

  // The apply step; asking puts up the pop-up when the video mode changed.
  void Apply(bool askToKeep);
  // The settings manager's whole apply sequence (saved only without a mode change).
  static void RunApplySequence();
  // The quality at that slider position goes to the settings manager and the
  // dictionary ("Quality_<family>"); nothing beyond the list's end.
  void StoreQuality(Option option, float position);
  FrameYesNoPopUp* FindOwnPopUp() const;

  OptionRecord m_records[OPTION_COUNT];
  bool m_bAdvancedShown = false;
  CEGUI::Window* m_pBasicPage = nullptr;
  CEGUI::Window* m_pAdvancedPage = nullptr;
  CEGUI::Window* m_pApplyButton = nullptr;
  CEGUI::Window* m_pAdvancedText = nullptr;
  CEGUI::Window* m_pAdvancedText2 = nullptr;
  std::vector<VVideoMode> m_videoModes;
  // Set while the old video mode is being put back.
  bool m_bReverting = false;
  // Set while the sliders are filled: their moves are no player's choices.
  bool m_bFilling = false;
};
