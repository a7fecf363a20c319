// A campaign of the bundled data started in process, with the GUI headless, a
// scratch documents folder and a fixed clock, for the save-game tests: start, end,
// save and load as the game does, and the bytes of the running game.
#pragma once

#include "code/gui/GuiFrameTesting.h"
#include "support/ArchiveRoundTrip.h"
#include "support/CampaignShutdown.h"
#include "support/ScopedEnv.h"

#include "Managers/AchievementManager.h"
#include "Managers/ArtifactManager.h"
#include "Managers/BattleManager.h"
#include "Managers/GameContentManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/LandRadarManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SettingsManager.h"
#include "Managers/TownManager.h"
#include "Managers/TutorialManager.h"
#include "Managers/WildLifeManager.h"
#include "Missions/MissionManager.h"
#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "core/ScriptBindings.h"
#include "core/VisMainApp.h"
#include "gui/FrameInGameMessages.h"
#include "Managers/LocalizationTable.h"

#include "engine/Vision.h"
#include "engine/os/VOs.h"
#include "engine/physics/vPhysXModule.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

class SaveGameCampaignTest : public GuiFrameTest {
 public:
  typedef std::vector<uint8_t> Bytes;

 protected:
  void SetUp() override {
    timeStep = 0.02f;
    GuiFrameTest::SetUp();
    m_docsPath = std::filesystem::temp_directory_path() /
                 ("brinemark_savegame_" + std::to_string(::getpid()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(m_docsPath);
    std::filesystem::create_directories(m_docsPath);
    m_docs = std::make_unique<ScopedEnv>("ENGINE_DOCUMENTS_DIR", m_docsPath.c_str());
    Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data/models");
    VLocalTime t;
    t.year = 2011, t.month = 5, t.day = 9, t.hour = 14, t.minute = 7, t.second = 3, t.milliseconds = 45;
    VSetFixedLocalTime(&t);
    m_physics = std::make_unique<vPhysXModule>();
    vPhysXModule::SetInstance(m_physics.get());
    srand(7);
    RegisterLuaBindings();
    RtsManager::GlobalManager().OneTimeInit();
    GameManager::GetInstance()->OneTimeInit();
    ASSERT_NE(Vision::GetScriptManager()->GetGameScript(), nullptr);
    saves = SaveGameManagerProto::GetInstance();
  }

  void TearDown() override {
    EndCampaignAndStopGame();
    CleanCampaignSingletons();
    SaveGameManagerProto::CleanInstance();
    m_physics.reset();
    vPhysXModule::SetInstance(nullptr);
    Vision::GetScriptManager()->Reset();
    VSetFixedLocalTime(nullptr);
    GuiFrameTest::TearDown();
    m_docs.reset();
    std::filesystem::remove_all(m_docsPath);
  }

  // A new campaign as the main menu starts it.
  void StartCampaign() {
    gui->ShowFrame(WT_BATTLE_HUD);
    MissionManager::GlobalManager().StartCampaign();
    SettleFrames(3);
  }
  void SettleFrames(int n) {
    for (int i = 0; i < n; ++i) SceneFrame();
  }

  std::filesystem::path SlotFile(int slot, const char* ext = ".gam") const {
    return m_docsPath / "Fenwold" / "Brinemark" / "SaveGames" / ("save" + std::to_string(slot) + ext);
  }
  Bytes ReadFile(const std::filesystem::path& path) const {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  void WriteFile(const std::filesystem::path& path, const Bytes& bytes) const {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), (std::streamsize)bytes.size());
    out.close();
    Vision::File.ClearCache();
  }

  // Whether the upper line of the in-game messages holds the text of the key.
  bool NoticeShown(const char* key) const {
    auto* frame = dynamic_cast<FrameInGameMessages*>(gui->FindWindowA(WT_INGAME_MESSAGES));
    if (!frame) return false;
    const std::string text = LocalizationTable::GetInstance()->GetText(key).c_str();
    if (text == key) return false;  // the key has no text
    for (const InGameMessage& m : frame->GetUpperQueue())
      if (std::string(m.text.c_str()).find(text) != std::string::npos) return true;
    return false;
  }

  // Equal bytes, or where and how they part.
  static ::testing::AssertionResult SameBytes(const Bytes& a, const Bytes& b) {
    if (a == b) return ::testing::AssertionSuccess();
    size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
    const size_t from = at > 24 ? at - 24 : 0;
    return ::testing::AssertionFailure() << "the bytes part at offset " << at << " (sizes " << a.size() << " and "
                                         << b.size() << "): " << archive_test::Hex(a, from, 48) << "| "
                                         << archive_test::Hex(b, from, 48);
  }

  SaveGameManagerProto* saves = nullptr;
  std::filesystem::path m_docsPath;
  std::unique_ptr<ScopedEnv> m_docs;
  std::unique_ptr<vPhysXModule> m_physics;
};
