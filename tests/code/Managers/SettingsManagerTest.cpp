// SettingsManager: presets from settings.xml, stored values from settings.bin
// overriding them and the launcher's defaults, the volumes and the video mode.
#include "support/GuiTestEnvironment.h"
#include "support/LogCapture.h"
#include "support/ScopedEnv.h"

#include "Managers/SettingsManager.h"
#include "core/VisMainApp.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

class SettingsManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env.Start();
    documents = fs::temp_directory_path() / ("brinemark_settings_" + std::to_string(getpid()));
    fs::remove_all(documents);
    fs::create_directories(documents);
    docsEnv = std::make_unique<ScopedEnv>("ENGINE_DOCUMENTS_DIR", documents.c_str());
    Dict().DeleteAll();
  }
  void TearDown() override {
    SettingsManager::CleanInstance();
    VisMainApp::CleanInstance();
    Dict().DeleteAll();
    env.Stop();
    docsEnv.reset();
    fs::remove_all(documents);
  }

  static VStrDictionary& Dict() { return Vision::Game.GetDictionary(); }
  static std::string Value(const char* key) { return Dict().Get(key) ? Dict().Get(key) : "<absent>"; }

  // settings.bin as the game writes it: the archive version, then the dictionary.
  void WriteSettingsBin(const std::vector<std::pair<const char*, const char*>>& entries) {
    fs::create_directories(documents / "Fenwold/Brinemark");
    VStrDictionary stored;
    for (const auto& e : entries) stored.Set(e.first, e.second);
    IVFileOutStream* out = Vision::File.Create((documents / "Fenwold/Brinemark/settings.bin").c_str());
    ASSERT_NE(out, nullptr);
    {
      VArchive ar("settings.bin", out, Vision::File.GetManager());
      ar << Vision::GetArchiveVersion();
      ar << stored;
      ar.Close();
    }
    out->Close();
  }

  GuiTestEnvironment env;
  fs::path documents;
  std::unique_ptr<ScopedEnv> docsEnv;
};

TEST_F(SettingsManagerTest, DefaultPresetsGoIntoTheDictionaryPerSceneKind) {
  SettingsManager* settings = SettingsManager::GetInstance();
  // A preset without "loc" covers all three scene kinds; a later "loc" entry overrides one.
  EXPECT_EQ(Value("SSAO_Radius1_0"), "0.125");
  EXPECT_EQ(Value("SSAO_Radius1_1"), "0.25");
  EXPECT_EQ(Value("SSAO_Radius1_2"), "0.125");
  EXPECT_EQ(Value("Shadows_CascadeCount_2"), "1");
  EXPECT_EQ(Value("Windowed_Enabled_0"), "true");
  EXPECT_EQ(Value("Windowed_Enabled_1"), "<absent>");
  // Only default presets are written, with their quality name per family.
  EXPECT_EQ(Value("Anisotropic_Level_0"), "4.0");
  EXPECT_EQ(Value("Quality_3"), "Medium");
  EXPECT_EQ(Value("Quality_1"), "Medium");
  EXPECT_EQ(Value("Quality_4"), "On");

  const auto& anisotropic = settings->GetPresets(SETTING_ANISOTROPIC);
  ASSERT_EQ(anisotropic.size(), 9u);  // three qualities for three scene kinds
  EXPECT_STREQ(anisotropic[0]->m_sName.AsChar(), "Off");
  EXPECT_EQ(anisotropic[0]->m_iSceneKind, 0);
  EXPECT_STREQ(anisotropic[8]->m_sName.AsChar(), "High");
  EXPECT_FALSE(anisotropic[0]->m_bDefault);
  // The Medium SSAO preset of the land kind holds its own radius.
  int landMedium = 0;
  for (const auto& preset : settings->GetPresets(SETTING_SSAO)) {
    if (preset->m_iSceneKind == 1 && preset->m_sName == VHashString("Medium")) {
      EXPECT_STREQ(preset->m_values.Get("SSAO_Radius1"), "0.25");
      ++landMedium;
    }
  }
  EXPECT_EQ(landMedium, 1);
  EXPECT_TRUE(settings->GetPresets(SETTING_RESOLUTION).empty());
}

TEST_F(SettingsManagerTest, StoredValuesOverrideLauncherDefaultsAndPresets) {
  Dict().Set("ResolutionX", "1280");
  Dict().Set("VSync", "1");
  WriteSettingsBin({{"ResolutionX", "1024"}, {"Windowed_Enabled_0", "false"}, {"Quality_3", "High"},
                    {"MasterVolume", "0.5000"}});
  SettingsManager::GetInstance();
  EXPECT_EQ(Value("ResolutionX"), "1024");
  EXPECT_EQ(Value("VSync"), "1");
  EXPECT_EQ(Value("Windowed_Enabled_0"), "false");
  EXPECT_EQ(Value("Quality_3"), "High");
  EXPECT_EQ(Value("MasterVolume"), "0.5000");
  EXPECT_EQ(Value("Anisotropic_Level_0"), "4.0");
}

TEST_F(SettingsManagerTest, MissingOrInvalidFilesKeepTheDefaults) {
  SettingsManager* settings = SettingsManager::GetInstance();
  EXPECT_FALSE(settings->LoadSettingsFromSave());
  // The product folder is made on the way.
  EXPECT_TRUE(fs::is_directory(documents / "Fenwold/Brinemark"));

  // A file of an unknown archive version is not read.
  fs::create_directories(documents / "Fenwold/Brinemark");
  {
    FILE* f = fopen((documents / "Fenwold/Brinemark/settings.bin").c_str(), "wb");
    const int version = 999;
    fwrite(&version, 4, 1, f);
    fclose(f);
  }
  EXPECT_FALSE(settings->LoadSettingsFromSave());
  EXPECT_EQ(Value("Windowed_Enabled_0"), "true");

  // Without data there is no settings.xml.
  SettingsManager::CleanInstance();
  Dict().DeleteAll();
  Vision::File.RemoveAllDataDirectories();
  LogCapture log;
  settings = SettingsManager::GetInstance();
  EXPECT_TRUE(log.Contains("XML error: "));
  EXPECT_TRUE(settings->GetPresets(SETTING_SSAO).empty());
  EXPECT_EQ(Dict().GetCount(), 0);
}

TEST_F(SettingsManagerTest, ApplyVolumeReachesTheThreeManagers) {
  SettingsManager* settings = SettingsManager::GetInstance();
  settings->ApplyVolume();
  EXPECT_FLOAT_EQ(SoundManager::GetInstance()->GetMasterVolume(), 1.0f);
  EXPECT_FLOAT_EQ(MusicManager::GetInstance()->GetMusicVolume(), 1.0f);

  Dict().Set("MasterVolume", "0.5000");
  Dict().Set("MusicVolume", "0.2500");
  Dict().Set("SpeechVolume", "0.7500");
  Dict().Set("FXVolume", "0.6000");
  settings->ApplyVolume();
  EXPECT_FLOAT_EQ(SoundManager::GetInstance()->GetMasterVolume(), 0.5f);
  EXPECT_FLOAT_EQ(VSoundManager::GlobalManager().GetMasterVolume(), 0.5f);
  EXPECT_FLOAT_EQ(MusicManager::GetInstance()->GetMusicVolume(), 0.25f);
  EXPECT_FLOAT_EQ(SpeechManager::GetInstance()->GetSpeechVolume(), 0.75f);
  EXPECT_FLOAT_EQ(SoundManager::GetInstance()->GetFXVolume(), 0.6f);
  VSoundManager::GlobalManager().SetMasterVolume(1.0f);
}

TEST_F(SettingsManagerTest, ApplyResolutionWithoutApplyStoresTheMode) {
  SettingsManager* settings = SettingsManager::GetInstance();
  Dict().Set("Windowed_Enabled_0", "false");
  Dict().Set("Vsync_Enabled_0", "false");
  Dict().Set("Quality_0", "1030x770x60");
  EXPECT_FALSE(settings->ApplyResolution(false));
  VisMainApp* app = VisMainApp::GetInstance();
  // The nearest mode the adapter offers.
  EXPECT_EQ(app->m_videoConfig.m_iXRes, 1024);
  EXPECT_EQ(app->m_videoConfig.m_iYRes, 768);
  EXPECT_TRUE(app->m_videoConfig.m_bFullScreen);
  EXPECT_FALSE(app->m_videoConfig.m_bWaitVRetrace);
  EXPECT_EQ(app->m_videoConfig.m_iRefreshRate, 0);
  EXPECT_TRUE(app->m_windowConfig.m_bBorderless);

  // A text that is not three "x"-separated numbers keeps the configured size.
  Dict().Set("Windowed_Enabled_0", "true");
  Dict().Set("Quality_0", "800x600");
  EXPECT_FALSE(settings->ApplyResolution(false));
  EXPECT_EQ(app->m_videoConfig.m_iXRes, 1024);
  EXPECT_FALSE(app->m_videoConfig.m_bFullScreen);
  EXPECT_FALSE(app->m_windowConfig.m_bBorderless);
}

TEST_F(SettingsManagerTest, ApplyResolutionInAWindowAlwaysReportsAChange) {
  SettingsManager* settings = SettingsManager::GetInstance();
  Dict().Set("Quality_0", "1280x720x60");
  settings->ApplyResolution(false);
  EXPECT_TRUE(settings->ApplyResolution(true));
  EXPECT_TRUE(settings->ApplyResolution(true));

  Dict().Set("Windowed_Enabled_0", "false");
  EXPECT_TRUE(settings->ApplyResolution(true));
  EXPECT_TRUE(VisMainApp::GetInstance()->m_videoConfig.m_bFullScreen);
  EXPECT_EQ(VVideo::GetCurrentWidth(), 1280);
}

TEST_F(SettingsManagerTest, VideoInitialisationTakesTheVerticalSyncSetting) {
  SettingsManager::GetInstance();
  Dict().Set("Vsync_Enabled_0", "false");
  VVideoConfig config;
  config.m_bWaitVRetrace = true;
  VisVideoInitDataObject_cl data(&Vision::Callbacks.OnVideoInitializing, &config);
  Vision::Callbacks.OnVideoInitializing.TriggerCallbacks(&data);
  EXPECT_FALSE(config.m_bWaitVRetrace);
}

}  // namespace
