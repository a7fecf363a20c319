// The settings families; 1 to 5 are named in settings.xml by "SSAO", "Shadows",
// "Anisotropic", "Vsync" and "Windowed".
#pragma once

enum eSettingType {
  SETTING_RESOLUTION = 0,
  SETTING_SSAO = 1,
  SETTING_SHADOWS = 2,
  SETTING_ANISOTROPIC = 3,
  SETTING_VSYNC = 4,
  SETTING_WINDOWED = 5,
};
