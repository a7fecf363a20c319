// SettingsManager: presets from settings.xml, settings.bin written and read back
// over the launcher's defaults, and every apply operation as the stand-in renderer,
// video mode and audio managers record it.
#include "support/GuiTestEnvironment.h"
#include "support/LogCapture.h"
#include "support/ScopedEnv.h"

#include "Managers/SettingsManager.h"
#include "Managers/SettingsXmlReader.h"
#include "core/GameManager.h"
#include "core/VisMainApp.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace fs = std::filesystem;
typedef std::vector<uint8_t> Bytes;

class SettingsManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env.Start();
    documents = fs::temp_directory_path() / ("brinemark_settings_" + std::to_string(getpid()));
    fs::remove_all(documents);
    fs::create_directories(documents);
    docsEnv = std::make_unique<ScopedEnv>("ENGINE_DOCUMENTS_DIR", documents.c_str());
    // A manager left by an earlier test (a new campaign makes one) read other files.
    SettingsManager::CleanInstance();
    Dict().DeleteAll();
    Vision::Renderer.SetHasSSAOPostProcessor(true);
    Vision::Renderer.SetShadowMapCount(1);
  }
  void TearDown() override {
    SettingsManager::CleanInstance();
    VisMainApp::CleanInstance();
    GameManager::CleanInstance();
    Dict().DeleteAll();
    Vision::Renderer.SetHasSSAOPostProcessor(true);
    Vision::Renderer.SetShadowMapCount(1);
    Vision::Renderer.SetMaxAnisotropy(1.0f);
    Vision::Renderer.SetDefaultTextureFilterMode(0);
    env.Stop();
    docsEnv.reset();
    fs::remove_all(documents);
  }

  static VStrDictionary& Dict() { return Vision::Game.GetDictionary(); }
  static std::string Value(const char* key) { return Dict().Get(key) ? Dict().Get(key) : "<absent>"; }
  static void SetLocation(int location) { GameManager::GetInstance()->SetLocation(location); }

  fs::path Folder() const { return documents / "Fenwold/Brinemark"; }
  fs::path SettingsBin() const { return Folder() / "settings.bin"; }

  Bytes ReadFile(const fs::path& path) const {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  void WriteFile(const fs::path& path, const Bytes& bytes) const {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write((const char*)bytes.data(), (std::streamsize)bytes.size());
  }

  // settings.bin as the game writes it: the archive version, then the dictionary.
  static Bytes SettingsBinBytes(const std::vector<std::pair<const char*, const char*>>& entries, int version = 1) {
    Bytes b;
    auto i32 = [&](int v) {
      for (int i = 0; i < 4; ++i) b.push_back((uint8_t)((unsigned)v >> (8 * i)));
    };
    auto str = [&](const char* s) {
      i32((int)strlen(s));
      b.insert(b.end(), s, s + strlen(s));
    };
    i32(version);
    i32((int)entries.size());
    for (const auto& e : entries) {
      str(e.first);
      str(e.second);
    }
    return b;
  }
  void WriteSettingsBin(const std::vector<std::pair<const char*, const char*>>& entries, int version = 1) {
    WriteFile(SettingsBin(), SettingsBinBytes(entries, version));
  }

  // Files other than settings.bin left in the product folder (temporary files).
  std::vector<std::string> StrayFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Folder()))
      if (entry.path().filename() != "settings.bin") names.push_back(entry.path().filename().string());
    return names;
  }

  GuiTestEnvironment env;
  fs::path documents;
  std::unique_ptr<ScopedEnv> docsEnv;
};

// ---- presets ---------------------------------------------------------------------

TEST_F(SettingsManagerTest, DefaultPresetsGoIntoTheDictionaryPerSceneKind) {
  SettingsManager* settings = SettingsManager::GetInstance();
  // A preset without "loc" covers all three scene kinds; a later "loc" entry overrides one.
  EXPECT_EQ(Value("SSAO_Radius1_0"), "0.125");
  EXPECT_EQ(Value("SSAO_Radius1_1"), "0.25");
  EXPECT_EQ(Value("SSAO_Radius1_2"), "0.125");
  EXPECT_EQ(Value("Shadows_CascadeCount_1"), "2");
  EXPECT_EQ(Value("Shadows_CascadeCount_2"), "1");
  EXPECT_EQ(Value("Shadows_Bias3_2"), "0.8");
  EXPECT_EQ(Value("Windowed_Enabled_0"), "true");
  EXPECT_EQ(Value("Windowed_Enabled_1"), "<absent>");
  // Only default presets are written, with their quality name per family.
  EXPECT_EQ(Value("Anisotropic_Level_0"), "4.0");
  EXPECT_EQ(Value("Quality_1"), "Medium");
  EXPECT_EQ(Value("Quality_2"), "Medium");
  EXPECT_EQ(Value("Quality_3"), "Medium");
  EXPECT_EQ(Value("Quality_4"), "On");
  EXPECT_EQ(Value("Quality_5"), "On");
  EXPECT_EQ(Value("Quality_0"), "<absent>");

  const auto& anisotropic = settings->GetPresets(SETTING_ANISOTROPIC);
  ASSERT_EQ(anisotropic.size(), 12u);  // four qualities for three scene kinds
  EXPECT_STREQ(anisotropic[0]->m_sName.AsChar(), "Off");
  EXPECT_EQ(anisotropic[0]->m_iSceneKind, 0);
  EXPECT_FALSE(anisotropic[0]->m_bDefault);
  EXPECT_STREQ(anisotropic[11]->m_sName.AsChar(), "High");
  EXPECT_TRUE(settings->GetPresets(SETTING_RESOLUTION).empty());

  // Counts are per scene kind; Windowed exists for the world kind only.
  EXPECT_EQ(settings->GetSettingCount(SETTING_ANISOTROPIC), 4);
  EXPECT_EQ(settings->GetSettingCount(SETTING_WINDOWED), 2);
  EXPECT_EQ(settings->GetSettingCount(SETTING_RESOLUTION), 0);
  EXPECT_EQ(settings->GetPresetShadowMapSizes(), (std::vector<int>{512, 1024, 2048}));
}

TEST_F(SettingsManagerTest, QualitiesAreListedOnceInFileOrder) {
  SettingsManager* settings = SettingsManager::GetInstance();
  std::vector<VHashString> names = {VHashString("High")};
  settings->GetQualities(SETTING_SHADOWS, names);
  ASSERT_EQ(names.size(), 4u);
  EXPECT_STREQ(names[0].AsChar(), "High");
  EXPECT_STREQ(names[1].AsChar(), "Off");
  EXPECT_STREQ(names[2].AsChar(), "Low");
  EXPECT_STREQ(names[3].AsChar(), "Medium");
  names.clear();
  settings->GetQualities(SETTING_RESOLUTION, names);
  EXPECT_TRUE(names.empty());
}

TEST_F(SettingsManagerTest, SetSettingWritesThePresetForEverySceneKind) {
  SettingsManager* settings = SettingsManager::GetInstance();
  EXPECT_TRUE(settings->SetSetting(SETTING_SHADOWS, VHashString("High")));
  EXPECT_EQ(Value("Shadows_ShadowMapSize_0"), "2048");
  EXPECT_EQ(Value("Shadows_CascadeCount_1"), "3");
  EXPECT_EQ(Value("Shadows_CascadeCount_2"), "2");
  EXPECT_EQ(Value("Shadows_CascadeRange0_2"), "60");
  // The chosen name is the options screen's to store.
  EXPECT_EQ(Value("Quality_2"), "Medium");
  // An unknown name changes nothing but the family exists.
  EXPECT_TRUE(settings->SetSetting(SETTING_SHADOWS, VHashString("Ultra")));
  EXPECT_EQ(Value("Shadows_ShadowMapSize_0"), "2048");
  EXPECT_FALSE(settings->SetSetting(SETTING_RESOLUTION, VHashString("High")));
}

TEST_F(SettingsManagerTest, PresetsOfOneQualityAndKindAreMergedAndDefaultsFollowTheLocation) {
  SettingsManager* settings = SettingsManager::GetInstance();
  const size_t before = settings->GetPresets(SETTING_SSAO).size();
  settings->InitializeSetting(SETTING_SSAO, 1, "Low", "SSAO_Extra", "7", false);
  ASSERT_EQ(settings->GetPresets(SETTING_SSAO).size(), before);
  for (const auto& preset : settings->GetPresets(SETTING_SSAO))
    if (preset->m_iSceneKind == 1 && preset->m_sName == VHashString("Low")) {
      EXPECT_STREQ(preset->m_values.Get("SSAO_Extra"), "7");
      EXPECT_STREQ(preset->m_values.Get("SSAO_Samples"), "8");
    }

  // Loaded inside a scene, the defaults of that scene kind are written again.
  Dict().Set("SSAO_Samples_2", "64");
  Dict().Set("SSAO_Samples_1", "64");
  SetLocation(2);
  EXPECT_TRUE(settings->LoadSettingsFromXML());
  EXPECT_EQ(Value("SSAO_Samples_2"), "16");
  EXPECT_EQ(Value("SSAO_Samples_1"), "16");  // a default preset writes every kind while it is read
}

TEST(SettingsXmlReader, ReadsSettingsPerSceneKindAndSkipsWhatItDoesNotKnow) {
  const char* text = R"(<Root>
      <Settings type="SSAO" quality="Low" default="true">
        <Setting key="Samples" value="8"/>
        <Setting loc="SEA" key="Radius1" value="0.5"/>
        <Setting loc="AIR" key="Radius1" value="9"/>
        <Setting key="Power1"/>
      </Settings>
      <Settings type="Fog" quality="High"><Setting key="Density" value="1"/></Settings>
      <Settings quality="High"><Setting key="Density" value="1"/></Settings>
      <Settings type="Vsync"><Setting loc="WORLD" key="Enabled" value="no"/></Settings>
      <Settings type="Windowed" quality="A" default=""><Setting loc="LAND" key="Enabled" value="1"/></Settings>
      <Settings type="Windowed" quality="B" default="TRUE"><Setting loc="SEA" key="Enabled" value="0"/></Settings>
      <Other type="SSAO"><Setting key="Samples" value="64"/></Other>
    </Root>)";
  std::vector<std::tuple<int, int, std::string, std::string, std::string, bool>> calls;
  std::string error;
  ASSERT_TRUE(SettingsXmlReader::Read(
      text,
      [&](eSettingType type, int kind, const char* quality, const char* key, const char* value, bool isDefault) {
        calls.emplace_back(type, kind, quality, key, value, isDefault);
      },
      error));
  const std::vector<std::tuple<int, int, std::string, std::string, std::string, bool>> expected = {
      {1, 0, "Low", "SSAO_Samples", "8", true},      {1, 1, "Low", "SSAO_Samples", "8", true},
      {1, 2, "Low", "SSAO_Samples", "8", true},      {1, 2, "Low", "SSAO_Radius1", "0.5", true},
      {1, 0, "Low", "SSAO_Power1", "", true},        {1, 1, "Low", "SSAO_Power1", "", true},
      {1, 2, "Low", "SSAO_Power1", "", true},        {4, 0, "", "Vsync_Enabled", "no", false},
      {5, 1, "A", "Windowed_Enabled", "1", false},   {5, 2, "B", "Windowed_Enabled", "0", true},
  };
  EXPECT_EQ(calls, expected);
}

TEST(SettingsXmlReader, RefusesBrokenAndOverlyNestedDocuments) {
  const auto ignore = [](eSettingType, int, const char*, const char*, const char*, bool) {};
  std::string error;
  EXPECT_FALSE(SettingsXmlReader::Read("<Root><Settings type=\"SSAO\"></Root>", ignore, error));
  EXPECT_FALSE(error.empty());
  error.clear();
  EXPECT_FALSE(SettingsXmlReader::Read("", ignore, error));
  EXPECT_FALSE(error.empty());

  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<a>";
  error.clear();
  EXPECT_FALSE(SettingsXmlReader::Read(deep.c_str(), ignore, error));
  EXPECT_EQ(error, "Too many elements");
}

// ---- settings.bin ----------------------------------------------------------------

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

TEST_F(SettingsManagerTest, SavedFileHoldsTheVersionAndTheWholeDictionaryAndReadsBack) {
  SettingsManager* settings = SettingsManager::GetInstance();
  Dict().DeleteAll();
  Dict().Set("ResolutionX", "1024");
  Dict().Set("MusicVolume", "0.25");
  ASSERT_TRUE(settings->SaveSettings());
  const Bytes expected = SettingsBinBytes({{"ResolutionX", "1024"}, {"MusicVolume", "0.25"}});
  EXPECT_EQ(ReadFile(SettingsBin()), expected);
  EXPECT_TRUE(StrayFiles().empty());

  // Read back over other values, then written again: the same bytes.
  Dict().Set("ResolutionX", "800");
  Dict().Set("Extra", "x");
  ASSERT_TRUE(settings->LoadSettingsFromSave());
  EXPECT_EQ(Value("ResolutionX"), "1024");
  EXPECT_EQ(Value("Extra"), "x");
  Dict().DeleteAll();
  ASSERT_TRUE(settings->LoadSettingsFromSave());
  ASSERT_TRUE(settings->SaveSettings());
  EXPECT_EQ(ReadFile(SettingsBin()), expected);
}

TEST_F(SettingsManagerTest, MissingInvalidOrTruncatedFilesChangeNothing) {
  SettingsManager* settings = SettingsManager::GetInstance();
  EXPECT_FALSE(settings->LoadSettingsFromSave());
  // The product folder is made on the way.
  EXPECT_TRUE(fs::is_directory(Folder()));

  WriteSettingsBin({{"Windowed_Enabled_0", "false"}}, 999);  // unknown archive version
  EXPECT_FALSE(settings->LoadSettingsFromSave());
  EXPECT_EQ(Value("Windowed_Enabled_0"), "true");

  // A file that breaks off in its second entry: not even the first one is taken.
  Bytes truncated = SettingsBinBytes({{"Windowed_Enabled_0", "false"}, {"MasterVolume", "0.5"}});
  truncated.resize(truncated.size() - 2);
  WriteFile(SettingsBin(), truncated);
  EXPECT_FALSE(settings->LoadSettingsFromSave());
  EXPECT_EQ(Value("Windowed_Enabled_0"), "true");
  EXPECT_EQ(Value("MasterVolume"), "<absent>");

  // A hostile entry count.
  WriteFile(SettingsBin(), {1, 0, 0, 0, 0xff, 0xff, 0xff, 0x7f});
  EXPECT_FALSE(settings->LoadSettingsFromSave());

  // Without data there is no settings.xml.
  SettingsManager::CleanInstance();
  fs::remove(SettingsBin());
  Dict().DeleteAll();
  Vision::File.RemoveAllDataDirectories();
  LogCapture log;
  settings = SettingsManager::GetInstance();
  EXPECT_TRUE(log.Contains("XML error: Failed to open file"));
  EXPECT_TRUE(settings->GetPresets(SETTING_SSAO).empty());
  EXPECT_EQ(Dict().GetCount(), 0);
}

TEST_F(SettingsManagerTest, AFailedSaveKeepsTheOldFileAndLeavesNoTemporaryFile) {
  SettingsManager* settings = SettingsManager::GetInstance();
  // settings.bin is a folder here: the rename over it fails.
  fs::create_directories(SettingsBin() / "inside");
  EXPECT_FALSE(settings->SaveSettings());
  EXPECT_TRUE(fs::is_directory(SettingsBin() / "inside"));
  EXPECT_TRUE(StrayFiles().empty());

  // A product folder that cannot be made (a file stands in the way), and no
  // documents folder at all: nothing is saved or read.
  WriteFile(documents / "plain", {1});
  {
    ScopedEnv blocked("ENGINE_DOCUMENTS_DIR", (documents / "plain").c_str());
    EXPECT_FALSE(settings->SaveSettings());
    EXPECT_FALSE(settings->LoadSettingsFromSave());
  }
  ScopedEnv noDocs("ENGINE_DOCUMENTS_DIR", nullptr);
  ScopedEnv noXdg("XDG_DOCUMENTS_DIR", nullptr);
  ScopedEnv noHome("HOME", nullptr);
  EXPECT_FALSE(settings->SaveSettings());
  EXPECT_FALSE(settings->LoadSettingsFromSave());
}

TEST_F(SettingsManagerTest, DlcLevelIsStoredAndSaved) {
  SettingsManager* settings = SettingsManager::GetInstance();
  EXPECT_EQ(settings->GetDlcLevelPassed(), 1);
  settings->SetDlcLevelPassed(3);
  EXPECT_EQ(Value("DlcLevelUnlocked"), "3");
  Dict().DeleteAll();
  ASSERT_TRUE(settings->LoadSettingsFromSave());
  EXPECT_EQ(settings->GetDlcLevelPassed(), 3);
}

// ---- apply -----------------------------------------------------------------------

TEST_F(SettingsManagerTest, ApplyVolumeReachesTheThreeManagersClamped) {
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

  // Values out of range from a stored file are held to 0..1; unreadable ones keep 1.
  Dict().Set("MasterVolume", "3.5");
  Dict().Set("MusicVolume", "-2");
  Dict().Set("SpeechVolume", "1e30");
  Dict().Set("FXVolume", "nan");
  settings->ApplyVolume();
  EXPECT_FLOAT_EQ(SoundManager::GetInstance()->GetMasterVolume(), 1.0f);
  EXPECT_FLOAT_EQ(VSoundManager::GlobalManager().GetMasterVolume(), 1.0f);
  EXPECT_FLOAT_EQ(MusicManager::GetInstance()->GetMusicVolume(), 0.0f);
  EXPECT_FLOAT_EQ(SpeechManager::GetInstance()->GetSpeechVolume(), 1.0f);
  EXPECT_FLOAT_EQ(SoundManager::GetInstance()->GetFXVolume(), 1.0f);
}

TEST_F(SettingsManagerTest, EffectsAreLeftAloneOutsideAScene) {
  SettingsManager* settings = SettingsManager::GetInstance();
  Vision::Renderer.SetMaxAnisotropy(1.0f);
  settings->ApplySSAO();
  settings->ApplyShadows();
  settings->ApplyAnisotropic();
  EXPECT_FALSE(Vision::Renderer.GetSSAOPostProcessor()->m_bEnabled);
  EXPECT_FALSE(Vision::Renderer.GetShadowMap(0)->m_bEnabled);
  EXPECT_FLOAT_EQ(Vision::Renderer.GetMaxAnisotropy(), 1.0f);
  EXPECT_EQ(Vision::Renderer.GetDefaultTextureFilterMode(), 0);

  // Inside a scene an empty dictionary leaves SSAO and shadows too.
  SetLocation(1);
  Dict().DeleteAll();
  settings->ApplySSAO();
  settings->ApplyShadows();
  EXPECT_FALSE(Vision::Renderer.GetSSAOPostProcessor()->m_bEnabled);
  EXPECT_FALSE(Vision::Renderer.GetShadowMap(0)->m_bEnabled);
}

TEST_F(SettingsManagerTest, ApplySSAOSetsThePostProcessorOfTheSceneKind) {
  SettingsManager* settings = SettingsManager::GetInstance();
  SetLocation(1);
  settings->ApplySSAO();
  const VPostProcessSSAO* ssao = Vision::Renderer.GetSSAOPostProcessor();
  EXPECT_TRUE(ssao->m_bEnabled);
  EXPECT_EQ(ssao->m_iSampleSetting, 1);
  EXPECT_EQ(ssao->m_iBlurPasses, 2);
  EXPECT_TRUE(ssao->m_bHalfResolutionBlur);
  EXPECT_EQ(ssao->m_iFilterTechnique, 1);
  EXPECT_FLOAT_EQ(ssao->m_params[0].m_fRadius, 0.25f);
  EXPECT_FLOAT_EQ(ssao->m_params[0].m_fNoThreshold, 0.15f);
  EXPECT_FLOAT_EQ(ssao->m_params[1].m_fRadius, 0.5f);
  EXPECT_FLOAT_EQ(ssao->m_params[1].m_fPower, 1.5f);

  // Sample counts: the four known ones choose a setting, any other leaves it.
  const std::pair<const char*, int> samples[] = {{"64", 3}, {"12", 3}, {"8", 0}, {"", 0}, {"32", 2}, {"16x", 0}};
  for (const auto& c : samples) {
    Dict().Set("SSAO_Samples_1", c.first);
    settings->ApplySSAO();
    EXPECT_EQ(ssao->m_iSampleSetting, c.second) << "samples \"" << c.first << "\"";
  }

  // Without the "no call" keys the post-processor keeps its state; the second
  // parameter set falls back on the first one's values.
  Vision::Renderer.SetHasSSAOPostProcessor(true);
  ssao = Vision::Renderer.GetSSAOPostProcessor();
  Vision::Renderer.GetSSAOPostProcessor()->m_bEnabled = true;
  Vision::Renderer.GetSSAOPostProcessor()->m_iFilterTechnique = 3;
  Dict().DeleteAll();
  Dict().Set("SSAO_FilterTechnique_1", "SHARPEST");
  Dict().Set("SSAO_Radius1_1", "0.75");
  Dict().Set("SSAO_Power2_1", "4");
  settings->ApplySSAO();
  EXPECT_TRUE(ssao->m_bEnabled);
  EXPECT_EQ(ssao->m_iFilterTechnique, 3);
  EXPECT_EQ(ssao->m_iSampleSetting, 0);
  EXPECT_EQ(ssao->m_iBlurPasses, 3);
  EXPECT_FLOAT_EQ(ssao->m_params[1].m_fRadius, 0.75f);
  EXPECT_FLOAT_EQ(ssao->m_params[1].m_fPower, 4.0f);
  EXPECT_FLOAT_EQ(ssao->m_params[1].m_fFullThreshold, 0.3f);

  // A renderer without the post-processor gets nothing.
  Vision::Renderer.SetHasSSAOPostProcessor(false);
  settings->ApplySSAO();
  EXPECT_EQ(Vision::Renderer.GetSSAOPostProcessor(), nullptr);
}

TEST_F(SettingsManagerTest, ApplyShadowsSetsEveryShadowMapOfTheScene) {
  SettingsManager* settings = SettingsManager::GetInstance();
  Vision::Renderer.SetShadowMapCount(2);
  SetLocation(2);
  ASSERT_TRUE(settings->SetSetting(SETTING_SHADOWS, VHashString("High")));
  settings->ApplyShadows();
  for (int i = 0; i < 2; ++i) {
    const VShadowMapSettings* shadow = Vision::Renderer.GetShadowMap(i);
    EXPECT_TRUE(shadow->m_bEnabled);
    EXPECT_EQ(shadow->m_iMappingMode, 3);
    EXPECT_EQ(shadow->m_iMapSize, 2048);
    EXPECT_FLOAT_EQ(shadow->m_fSampleRadius, 1.5f);
    EXPECT_FLOAT_EQ(shadow->m_fBias[3], 0.4f);
    EXPECT_FLOAT_EQ(shadow->m_fSlope[0], 0.5f);
    EXPECT_FLOAT_EQ(shadow->m_fCascadeRange[0], 60.0f);
    EXPECT_FLOAT_EQ(shadow->m_fCascadeRange[3], 810.0f);
    EXPECT_EQ(shadow->m_iCascadeCount, 2);
    EXPECT_TRUE(shadow->m_bOverestimateCascades);
    EXPECT_FLOAT_EQ(shadow->m_fCameraUpdateInterval, 1.0f);
    EXPECT_FLOAT_EQ(shadow->m_fCameraUpdateAngle, 2.5f);
  }

  // Absent keys take their defaults; an unknown mapping mode is PCF8.
  Dict().DeleteAll();
  Dict().Set("Shadows_ShadowMappingMode_2", "PCF99");
  settings->ApplyShadows();
  const VShadowMapSettings* shadow = Vision::Renderer.GetShadowMap(1);
  EXPECT_FALSE(shadow->m_bEnabled);
  EXPECT_EQ(shadow->m_iMappingMode, 1);
  EXPECT_EQ(shadow->m_iMapSize, 1024);
  EXPECT_FLOAT_EQ(shadow->m_fBias[1], 0.2f);
  EXPECT_FLOAT_EQ(shadow->m_fCascadeRange[2], 270.0f);
  EXPECT_EQ(shadow->m_iCascadeCount, 1);
  EXPECT_TRUE(shadow->m_bFrontFacing);
}

TEST_F(SettingsManagerTest, StoredShadowValuesAreHeldToWhatThePresetsUse) {
  SettingsManager* settings = SettingsManager::GetInstance();
  SetLocation(0);
  const struct {
    const char* size;
    int appliedSize;
    const char* cascades;
    int appliedCascades;
  } cases[] = {{"3000", 2048, "9", 4}, {"100", 512, "0", 1},   {"700", 512, "-5", 1},
               {"800", 1024, "4", 4},  {"-1", 512, "2", 2},     {"99999999", 2048, "2147483647", 4}};
  for (const auto& c : cases) {
    Dict().Set("Shadows_ShadowMapSize_0", c.size);
    Dict().Set("Shadows_CascadeCount_0", c.cascades);
    settings->ApplyShadows();
    EXPECT_EQ(Vision::Renderer.GetShadowMap(0)->m_iMapSize, c.appliedSize) << c.size;
    EXPECT_EQ(Vision::Renderer.GetShadowMap(0)->m_iCascadeCount, c.appliedCascades) << c.cascades;
  }
  // The stored text itself is the player's and stays.
  EXPECT_EQ(Value("Shadows_ShadowMapSize_0"), "99999999");
}

TEST_F(SettingsManagerTest, ApplyAnisotropicSetsLevelAndFilterMode) {
  SettingsManager* settings = SettingsManager::GetInstance();
  SetLocation(0);
  settings->ApplyAnisotropic();
  EXPECT_FLOAT_EQ(Vision::Renderer.GetMaxAnisotropy(), 4.0f);
  EXPECT_EQ(Vision::Renderer.GetDefaultTextureFilterMode(), 8);
  Dict().Set("Anisotropic_Level_0", "1.0");
  settings->ApplyAnisotropic();
  EXPECT_FLOAT_EQ(Vision::Renderer.GetMaxAnisotropy(), 1.0f);
  EXPECT_EQ(Vision::Renderer.GetDefaultTextureFilterMode(), 7);
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

TEST_F(SettingsManagerTest, ApplyResolutionReportsOnlyRealChanges) {
  SettingsManager* settings = SettingsManager::GetInstance();
  VisMainApp* app = VisMainApp::GetInstance();
  // The window as the engine runs it: 1280x720 in a window, vertical sync on.
  app->m_videoConfig.m_bWaitVRetrace = true;
  Dict().Set("Quality_0", "1280x720x60");
  EXPECT_FALSE(settings->ApplyResolution(true));
  EXPECT_FALSE(settings->ApplyResolution(true));

  // Full screen: one change, then the mode stands.
  Dict().Set("Windowed_Enabled_0", "false");
  EXPECT_TRUE(settings->ApplyResolution(true));
  EXPECT_TRUE(VVideo::IsFullScreen());
  EXPECT_TRUE(app->m_videoConfig.m_bFullScreen);
  EXPECT_FALSE(settings->ApplyResolution(true));

  // A new size, and vertical sync alone, each count once.
  Dict().Set("Quality_0", "1600x900x60");
  EXPECT_TRUE(settings->ApplyResolution(true));
  EXPECT_EQ(VVideo::GetCurrentWidth(), 1600);
  EXPECT_EQ(VVideo::GetCurrentHeight(), 900);
  EXPECT_FALSE(settings->ApplyResolution(true));
  Dict().Set("Vsync_Enabled_0", "false");
  EXPECT_TRUE(settings->ApplyResolution(true));
  EXPECT_FALSE(app->m_videoConfig.m_bWaitVRetrace);
  EXPECT_FALSE(settings->ApplyResolution(true));
}

TEST_F(SettingsManagerTest, ApplySettingsSavesUnlessTheModeChanged) {
  SettingsManager* settings = SettingsManager::GetInstance();
  VisMainApp::GetInstance()->m_videoConfig.m_bWaitVRetrace = true;
  SetLocation(0);
  // A windowed player's changes are kept.
  Dict().Set("MasterVolume", "0.3");
  settings->ApplySettings();
  ASSERT_TRUE(fs::exists(SettingsBin()));
  EXPECT_FLOAT_EQ(SoundManager::GetInstance()->GetMasterVolume(), 0.3f);
  EXPECT_FLOAT_EQ(Vision::Renderer.GetMaxAnisotropy(), 4.0f);
  Dict().DeleteAll();
  ASSERT_TRUE(settings->LoadSettingsFromSave());
  EXPECT_EQ(Value("MasterVolume"), "0.3");

  // A new mode waits for the player to keep it.
  fs::remove(SettingsBin());
  Dict().Set("Quality_0", "800x600x60");
  settings->ApplySettings();
  EXPECT_EQ(VVideo::GetCurrentWidth(), 800);
  EXPECT_FALSE(fs::exists(SettingsBin()));
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
