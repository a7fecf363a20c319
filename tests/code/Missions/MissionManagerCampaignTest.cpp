// Campaign start and end and the downloadable levels: the order of their steps as
// the log shows it, the mission lists they fill and empty, the starting items and
// what the GUI shows at the end.
#include "code/gui/GuiFrameTesting.h"
#include "support/CampaignShutdown.h"

#include "Managers/ArtifactManager.h"
#include "Managers/BattleManager.h"
#include "Managers/GameContentManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SettingsManager.h"
#include "Managers/TownManager.h"
#include "Managers/TutorialManager.h"
#include "Managers/WildLifeManager.h"
#include "Missions/BaseMissionProto.h"
#include "Missions/MissionManager.h"
#include "entities/CollectableEntityTemplate.h"
#include "entities/Nation.h"
#include "entities/PlayerStats.h"
#include "entities/ShipStats.h"
#include "gui/FrameLoadingScreen.h"
#include "gui/FrameMainMenu.h"
#include "support/ScopedEnv.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Each step the scripts take shows in the log as "Lua: <text>".
const char* const kGameScript = R"lua(
function InitNations() print("InitNations") end
function StartGame() print("StartGame") end
function EndGame() print("EndGame") end
function StartDlc() print("StartDlc") end
function GetSWMagicIndex(choice) return choice + 100 end
function GetCollectableScript(id)
  if id == 12 then return "scripts/StartItem.lua" end
  return ""
end
)lua";

// A story catalogue: the row with id 0 is dropped, 5 is closed, 7 and 8 are open.
const char* const kMissionsScript = R"lua(
print("missions loaded")
function Init() print("missions Init") end
function DeInit() print("missions DeInit") end
local story = {{0, 1, 1}, {5, 1, 0}, {7, 2, 1}, {8, 2, 1}}
function GetStoryMissionCount() return #story end
function GetStoryMission(i)
  local r = story[i]
  return r[1], r[2], r[3], "str_M" .. r[1], "str_M" .. r[1] .. "_DESC", "scripts/m" .. r[1] .. ".lua", 0.25
end
function GetFactionMissionCount() return 1 end
function GetFactionMission(i) return 20, 3, 1, "str_F", "str_F_DESC", "scripts/f.lua", 0.4 end
function GetDlcMissionCount() return 2 end
function GetDlcMission(i) return 100 + i, 0, 1, "str_DLC", "str_DLC_DESC", "scripts/dlc.lua", 0 end
)lua";

class CampaignTest : public GuiFrameTest {
 protected:
  void SetUp() override {
    GuiFrameTest::SetUp();
    m_dir = fs::temp_directory_path() / ("missions_" + std::to_string(::getpid()) + "_" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(m_dir / "scripts" / "Missions");
    fs::create_directories(m_dir / "scripts" / "fauna");
    // The test's scripts first, the game's data behind them for the GUI.
    Vision::File.RemoveAllDataDirectories();
    Vision::File.AddDataDirectory(m_dir.c_str());
    Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data");
    m_docs = std::make_unique<ScopedEnv>("ENGINE_DOCUMENTS_DIR", m_dir.c_str());
    Write("scripts/Missions/MissionsScript.lua", kMissionsScript);
    Write("scripts/Missions/StoryLineMissions.lua", "function Init() print('story Init') end");
    Write("scripts/Missions/FactionMissions.lua", "function Init() print('faction Init') end");
    Write("scripts/Missions/SideQuests.lua", "function Init() print('side Init') end");
    Write("scripts/Missions/DlcMissions.lua", "function Init() print('dlc Init') end");
    Write("scripts/fauna/seagull_01.lua", "print('seagull')");
    Write("scripts/StartItem.lua", "");
    // Each test loads its own missions script.
    Missions().DeregisterCallbacks();
    Missions().ClearLists(true);
    GUIManager::GetInstance()->SetSelectedSpecialWeapon(0);
  }
  void TearDown() override {
    Missions().DeregisterCallbacks();
    Missions().ClearLists(true);
    VScriptResourceManager* scripts = Vision::GetScriptManager();
    scripts->SetGameScript(nullptr);
    CleanCampaignSingletons();
    SaveGameManagerProto::CleanInstance();
    GameManager::GetInstance()->ResetNations();
    GameManager::GetInstance()->SetLocation(0);
    GameManager::GetInstance()->SetGameMode(GAME_MODE_CAMPAIGN);
    Vision::Game.RemoveAllEntities();
    GuiFrameTest::TearDown();
    m_docs.reset();
    fs::remove_all(m_dir);
  }

  static MissionManager& Missions() { return MissionManager::GlobalManager(); }

  void Write(const std::string& name, const std::string& text) {
    std::ofstream(m_dir / name) << text;
    Vision::File.ClearCache();
  }
  static void UseGameScript(const char* text) {
    VScriptResourceManager* scripts = Vision::GetScriptManager();
    IVScriptInstance* script = scripts->CreateScriptInstanceFromText("GameScript.lua", text, std::strlen(text));
    ASSERT_NE(script, nullptr);
    scripts->SetGameScript(script);
  }
  // The log lines of the sequences and of the scripts, in order.
  std::vector<std::string> Steps() const {
    std::vector<std::string> out;
    for (const std::string& line : log.Lines())
      if (line.find("MissionManager::") != std::string::npos || line.find("Lua: ") != std::string::npos)
        out.push_back(line.substr(line.find(line.find("Lua: ") != std::string::npos ? "Lua: " : "MissionManager::")));
    return out;
  }
  // The game's data has only the first level; the tests' other levels are small beaches.
  void WriteLevel(int n) {
    const std::string dir = "DLC/01/scenes/level_0" + std::to_string(n);
    fs::create_directories(m_dir / dir);
    Write(dir + "/level_0" + std::to_string(n) + ".vscene", R"(<scene>
  <terrain origin="-32/-32/0" size="64/64"/>
  <entity key="PlayerCharacter" position="0/0/0"/>
  <entity class="TriggerBoxEntity_cl" key="EscapeArea" position="-20/0/0">
    <var name="m_vHalfExtents" value="4/4/4"/>
  </entity>
</scene>
)");
  }
  static std::vector<int> OngoingIds() {
    std::vector<int> ids;
    for (const MissionData& row : Missions().GetOngoingMissions()) ids.push_back(row.id);
    return ids;
  }
  void HideLoadingScreenFully() {
    gui->HideLoadingScreen(5.0f, 1.0f);
    for (int i = 0; i < 40 && gui->IsLoadingScreenVisible(); ++i) SceneFrame();
    ASSERT_FALSE(gui->IsLoadingScreenVisible());
  }

  fs::path m_dir;
  std::unique_ptr<ScopedEnv> m_docs;
};

TEST_F(CampaignTest, StartCampaignRunsItsStepsInOrderAndStartsTheFirstOpenStoryMission) {
  UseGameScript(kGameScript);
  Missions().StartCampaign();

  EXPECT_EQ(Steps(), (std::vector<std::string>{"MissionManager::StartCampaign()",
                                               "Lua: missions loaded",
                                               "Lua: missions Init",
                                               "Lua: story Init",
                                               "Lua: faction Init",
                                               "Lua: side Init",
                                               "Lua: InitNations",
                                               "MissionManager::StartCampaign() Before InitWorld",
                                               "MissionManager::StartCampaign() After InitWorld",
                                               "Lua: seagull",
                                               "MissionManager::StartCampaign() Executing GameScript",
                                               "Lua: StartGame",
                                               "MissionManager::StartCampaign() Loading missionscripts",
                                               "MissionManager::StartCampaign() Missions loaded",
                                               "MissionManager::StartCampaign() Init camera",
                                               "MissionManager::StartCampaign() Begin render",
                                               "MissionManager::StartCampaign() DONE"}));
  GameManager* game = GameManager::GetInstance();
  EXPECT_EQ(game->GetLocation(), 0);
  EXPECT_EQ(game->GetGameMode(), GAME_MODE_CAMPAIGN);
  EXPECT_TRUE(GameSessionManager::HasInstance());
  EXPECT_EQ(WildLifeManager::GetInstance()->GetBirds().GetValidSize(), 1u);

  // The catalogues: the id-0 row is not stored; the first open story row is ongoing.
  ASSERT_EQ(Missions().GetStoryMissions().size(), 3u);
  const MissionData& seven = Missions().GetStoryMissions()[1];
  EXPECT_EQ(seven.id, 7);
  EXPECT_EQ(seven.nation, 2);
  EXPECT_TRUE(seven.open);
  EXPECT_EQ(seven.name, VString("str_M7"));
  EXPECT_EQ(seven.script, VString("scripts/m7.lua"));
  EXPECT_FLOAT_EQ(seven.reputationReward, 0.25f);
  EXPECT_EQ(Missions().GetFactionMissions().size(), 1u);
  EXPECT_TRUE(Missions().GetSideQuests().empty());
  EXPECT_TRUE(Missions().GetDlcMissions().empty());
  EXPECT_EQ(OngoingIds(), std::vector<int>{7});
  ASSERT_NE(Missions().GetOngoingMissions()[0].mission, nullptr);
  EXPECT_TRUE(Missions().GetOngoingMissions()[0].mission->IsExactType(StoryLineMissionProto::GetClassTypeId()));
  EXPECT_EQ(Missions().GetSummaryOfMissionReputation(), 0);
  EXPECT_EQ(Missions().GetReputationMaximum(), 300);

  // "GetCollectableScript"(12)'s item lies in the inventory.
  GameSessionManager* session = GameSessionManager::GetInstance();
  ASSERT_EQ(session->GetPlayerCollectableCount(), 1);

}

TEST_F(CampaignTest, WithoutAnOpenStoryRowNoMissionIsOngoing) {
  Write("scripts/Missions/MissionsScript.lua", R"lua(
function GetStoryMissionCount() return 2 end
function GetStoryMission(i) return i, 0, 0, "a", "b", "c", 0 end
)lua");
  UseGameScript(kGameScript);
  Missions().StartCampaign();
  EXPECT_EQ(Missions().GetStoryMissions().size(), 2u);
  EXPECT_TRUE(Missions().GetOngoingMissions().empty());
  EXPECT_TRUE(log.Contains("MissionManager::StartCampaign() DONE"));
}

TEST_F(CampaignTest, TheChosenSpecialWeaponIsUnlockedOnThePlayersShipAndSelected) {
  UseGameScript(kGameScript);
  GameManager* game = GameManager::GetInstance();
  game->AddNation(new Nation(0, "Neutral"));
  game->AddNation(new Nation(1, "Player"));
  PlayerStats* player = GameSessionManager::GetInstance()->GetPlayer();
  ShipStats* ship = new ShipStats();
  ship->SetShipNation(1);
  ship->SetPlayerShip(true);
  player->AddPlayerShip(ship);
  ASSERT_EQ(GameSessionManager::GetInstance()->GetPlayerControlledShip(), ship);

  // No choice: nothing is unlocked.
  Missions().AddStartingItems();
  EXPECT_TRUE(ship->GetSpecialWeapons().empty());

  gui->SetSelectedSpecialWeapon(3);
  Missions().AddStartingItems();
  EXPECT_TRUE(player->IsWeaponUnlocked(103));
  EXPECT_EQ(ship->GetSpecialWeapons(), std::vector<int>{103});
  EXPECT_EQ(ship->GetCurrentSpecialWeapon(), 103);
}

TEST_F(CampaignTest, WithoutTheGameScriptTheSequencesAssertAndDoNothing) {
  Vision::GetScriptManager()->SetGameScript(nullptr);
  Vision::Error.ResetAssertCount();
  Missions().StartCampaign();
  Missions().StartDlc(1);
  Missions().EndCampaign(true, false);
  EXPECT_EQ(Vision::Error.GetAssertCount(), 3);
  EXPECT_TRUE(log.Contains("Game script not loaded!"));
  EXPECT_FALSE(log.Contains("MissionManager::StartCampaign() Before InitWorld"));
  EXPECT_FALSE(log.Contains("MissionManager::StartDlc() Before LoadScene"));
  EXPECT_FALSE(GameSessionManager::HasInstance());
  EXPECT_EQ(gui->FindWindowA(WT_MAIN_MENU), nullptr);
  Vision::Error.ResetAssertCount();
}

TEST_F(CampaignTest, EndCampaignWithoutMenuKeepsThePictureAndTearsTheCampaignDown) {
  UseGameScript(kGameScript);
  Missions().StartCampaign();
  HideLoadingScreenFully();
  const std::string picture = gui->GetLoadingScreen()->GetPictureFile();
  log.Clear();

  Missions().EndCampaign(false, false);
  EXPECT_EQ(Steps(), (std::vector<std::string>{"MissionManager::EndCampaign(0, 0)", "Lua: EndGame",
                                               "Lua: missions DeInit"}));
  EXPECT_FALSE(gui->IsLoadingScreenVisible());
  EXPECT_EQ(gui->GetLoadingScreen()->GetPictureFile(), picture);
  EXPECT_EQ(gui->FindWindowA(WT_MAIN_MENU), nullptr);
  EXPECT_FALSE(GameSessionManager::HasInstance());
  EXPECT_FALSE(GameContentManager::HasInstance());
  EXPECT_EQ(GameManager::GetInstance()->GetLocation(), -1);
  EXPECT_TRUE(Missions().GetStoryMissions().empty());
  EXPECT_TRUE(Missions().GetFactionMissions().empty());
  EXPECT_TRUE(Missions().GetOngoingMissions().empty());
}

struct MenuCase {
  bool quit;
  bool credits;
  int state;  // of the main menu afterwards
};

class EndCampaignMenuTest : public CampaignTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(EndCampaignMenuTest, ShowsTheMenuRollsTheCreditsOrQuits) {
  const MenuCase& c = GetParam();
  UseGameScript(kGameScript);
  Missions().StartCampaign();
  if (c.quit) gui->SetExitToWindows();
  Missions().EndCampaign(true, c.credits);

  auto* menu = dynamic_cast<FrameMainMenu*>(gui->FindWindowA(WT_MAIN_MENU));
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(gui->GetCurrentFrame() == menu, !c.quit);
  EXPECT_EQ(menu->GetState(), c.state);
  EXPECT_EQ(std::string(gui->GetLoadingScreen()->GetPictureFile()),
            "..\\..\\..\\data\\gui\\textures\\loadscreen_start.dds");
  EXPECT_FALSE(GameSessionManager::HasInstance());
}

// A quit request ends in the quit state, also when the credits were asked for.
INSTANTIATE_TEST_SUITE_P(Cases, EndCampaignMenuTest,
                         ::testing::Values(MenuCase{false, false, MMS_IDLE}, MenuCase{false, true, MMS_CREDITS_ROLL},
                                           MenuCase{true, false, MMS_QUIT}, MenuCase{true, true, MMS_QUIT}));

TEST_F(CampaignTest, StartDlcBeyondTheCatalogueStartsNoMission) {
  UseGameScript(kGameScript);
  WriteLevel(2);
  WriteLevel(3);
  Missions().StartDlc(3);
  EXPECT_EQ(Steps(), (std::vector<std::string>{"MissionManager::StartDlc() 3",
                                               "Lua: missions loaded",
                                               "Lua: missions Init",
                                               "Lua: dlc Init",
                                               "Lua: InitNations",
                                               "MissionManager::StartDlc() Before LoadScene",
                                               "MissionManager::StartDlc() After LoadScene",
                                               "MissionManager::StartDlc() Executing GameScript",
                                               "Lua: StartDlc",
                                               "MissionManager::StartDlc() Loading missionscripts",
                                               "MissionManager::StartDlc() DONE"}));
  EXPECT_EQ(Missions().GetCurrentDlcMission(), 3);
  EXPECT_EQ(GameManager::GetInstance()->GetGameMode(), GAME_MODE_DLC);
  EXPECT_EQ(Missions().GetDlcMissions().size(), 2u);
  EXPECT_TRUE(Missions().GetStoryMissions().empty());
  EXPECT_TRUE(Missions().GetOngoingMissions().empty());

  Missions().StartDlc(2);
  EXPECT_EQ(OngoingIds(), std::vector<int>{102});
  // A level's mission runs as a story mission.
  ASSERT_NE(Missions().GetOngoingMissions()[0].mission, nullptr);
  EXPECT_TRUE(Missions().GetOngoingMissions()[0].mission->IsExactType(StoryLineMissionProto::GetClassTypeId()));
}

TEST_F(CampaignTest, ARequestedLevelStartsInTheNextFrameAfterTheOldOneIsTornDown) {
  UseGameScript(kGameScript);
  WriteLevel(2);
  Missions().StartDlc(1);
  ASSERT_EQ(OngoingIds(), std::vector<int>{101});
  log.Clear();

  Missions().RegisterCallbacks();
  Missions().RequestNextDlcMission(2);
  SceneFrame();
  SceneFrame();  // the request is used once
  Missions().DeregisterCallbacks();

  const std::vector<std::string> steps = Steps();
  ASSERT_GE(steps.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(steps.begin(), steps.begin() + 5),
            (std::vector<std::string>{"Lua: EndGame", "Lua: missions DeInit", "MissionManager::StartDlc() 2",
                                      "Lua: missions loaded", "Lua: missions Init"}));
  EXPECT_EQ(log.Matching("MissionManager::StartDlc() DONE").size(), 1u);
  EXPECT_EQ(Missions().GetCurrentDlcMission(), 2);
  EXPECT_EQ(OngoingIds(), std::vector<int>{102});
  EXPECT_EQ(GameManager::GetInstance()->GetGameMode(), GAME_MODE_DLC);
}

}  // namespace
