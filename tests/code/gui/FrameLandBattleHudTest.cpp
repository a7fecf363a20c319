// The land head-up frame: its four hero panels (shown for the heroes there are, with
// their units, selection, camera follow and active skills), the rum potion and the
// toolbox, the stronghold's tutorial, and the exit button: inside the escape area it
// sends the player back to the map at the next update, outside it leads the player's
// units to the escape area; its glow pulses only while leaving is possible.
#include "code/gui/GuiFrameTesting.h"

#include "Managers/AchievementManager.h"
#include "Managers/ArtifactManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/TownManager.h"
#include "Managers/TutorialManager.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "core/Player.h"
#include "core/RtsManager.h"
#include "core/ScriptBindings.h"
#include "entities/CollectableEntityTemplate.h"
#include "entities/HeroStats.h"
#include "entities/HeroUnitRecord.h"
#include "entities/Nation.h"
#include "entities/PlayerStats.h"
#include "entities/SoldierEntity.h"
#include "entities/SoldierStats.h"
#include "entities/UnitEntity.h"
#include "entities/UnitEntityTemplate.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameInGameMessages.h"
#include "gui/FrameLandBattleHud.h"
#include "gui/FrameLowHPOverlay.h"
#include "support/MessageRecorder.h"
#include "support/ScratchSaveFolder.h"

#include "engine/Vision.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

class LandBattleHudTest : public GuiFrameTest {
 protected:
  void SetUp() override {
    GuiFrameTest::SetUp();
    // The campaign starts before the script, so that it starts empty; the settings it
    // applies go to a scratch folder.
    documents = std::make_unique<ScratchSaveFolder>();
    GameSessionManager::GetInstance();
    // The game's own script: the rum's wait and the skills; its sound scripts are
    // not this frame's business.
    std::ifstream file(BRINEMARK_SOURCE_DIR "/data/scripts/GameScript.lua");
    std::stringstream text;
    text << "local GameManager = {LoadScript = function() end}\n" << file.rdbuf();
    const std::string script = text.str();
    VScriptResourceManager* scripts = Vision::GetScriptManager();
    scripts->SetGameScript(scripts->CreateScriptInstanceFromText("GameScript.lua", script.c_str(), script.size()));
    ASSERT_NE(scripts->GetGameScript(), nullptr);
    Vision::World.SetFlatTerrain(0.0f);
    game = GameManager::GetInstance();
    game->ResetNations();
    game->AddNation(new Nation(0, "None"));
    game->AddNation(new Nation(1, "Player"));
    game->SetLocation(1);
    game->SetCanTeleport(true);
    game->SetTeleportTarget("");
    RtsManager::GlobalManager().OneTimeInit();
    gui->ShowFrame(WT_LAND_BATTLE_HUD);
    hud = Get<FrameLandBattleHud>(WT_LAND_BATTLE_HUD);
    ASSERT_NE(hud, nullptr);
    ASSERT_NE(hud->GetExitButton(), nullptr);
    ASSERT_NE(hud->GetExitGlow(), nullptr);
    env.Frame();
  }
  void TearDown() override {
    for (SoldierEntity* soldier : borrowedStats) soldier->SetStats(nullptr);
    RtsManager::GlobalManager().SetPlayerIsInsideEscapeArea(false);
    RtsManager::GlobalManager().OneTimeDeInit();
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
    Vision::World.ClearTerrain();
    GUIManager::CleanInstance();
    for (void (*clean)() : {&GameSessionManager::CleanInstance, &ArtifactManager::CleanInstance,
                            &AchievementManager::CleanInstance, &TutorialManager::CleanInstance,
                            &TownManager::CleanInstance, &GameManager::CleanInstance})
      clean();
    Vision::GetScriptManager()->SetGameScript(nullptr);
    GuiFrameTest::TearDown();
    documents.reset();
  }
  std::string Target() const { return game->GetCurrentTeleportTarget().AsChar(); }

  static GameSessionManager* Session() { return GameSessionManager::GetInstance(); }
  // A unit of the player's nation in the scene with that many soldiers and id.
  static UnitEntity* MakeUnit(int64_t id, int soldiers, const VisVector_cl& at = VisVector_cl(0, 0, 0)) {
    const std::string params = "m_iNation=\"1\",m_iNumSoldiers=\"" + std::to_string(soldiers) + "\"";
    auto* unit = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", at, nullptr, params.c_str()));
    if (unit) unit->SetUniqueID(id);
    return unit;
  }
  // A led unit's record: its picture and that many soldier records.
  static void Lead(HeroStats* hero, int64_t id, const char* image, int soldiers) {
    auto* record = new HeroUnitRecord();
    record->m_pTemplate->m_iUniqueID = id;
    record->m_pTemplate->m_sImageSet = "UnitFaces_01";
    record->m_pTemplate->m_sUnitImage = image;
    for (int i = 0; i < soldiers; ++i) record->m_soldiers.push_back(new SoldierStats());
    ASSERT_TRUE(hero->AddUnitRecord(record));
  }
  // The player's character: template, record and its unit in the scene.
  UnitEntity* PlayerCharacter(const char* name, int64_t id) {
    PlayerStats* player = Session()->GetPlayer();
    UnitEntityTemplate* t = player->GetCharacterTemplate();
    t->m_iUniqueID = id;
    t->m_sUnitName = name;
    t->m_sImageSet = "CharacterImages_01";
    t->m_sUnitImage = "Jolie";
    t->m_sSkillImage = "set:Buttons_01 image:Skill1Normal";
    t->m_iUnitType = 2;
    UnitEntity* unit = MakeUnit(id, 1);
    if (!unit) return nullptr;
    unit->SetEntityKey("PlayerCharacter");
    unit->SetHeroStats(player);
    RtsManager::GlobalManager().GetPlayer()->AddPlayerUnit(unit);
    return unit;
  }
  void Refresh() {
    env.Frame();
    env.Frame();
  }
  static std::string Property(CEGUI::Window* window, const char* name) {
    std::string value;
    CeguiCompat::GetProperty(window, name, value);
    return value;
  }
  static bool Selected(CEGUI::Window* window) {
    auto* toggle = dynamic_cast<CEGUI::ToggleButton*>(window);
    return toggle && toggle->isSelected();
  }
  static void Fire(CEGUI::Window* window, const CEGUI::String& event) {
    ASSERT_NE(window, nullptr);
    CEGUI::MouseEventArgs args(window);
    window->fireEvent(event, args, "");
  }

  GameManager* game = nullptr;
  FrameLandBattleHud* hud = nullptr;
  std::vector<SoldierEntity*> borrowedStats;
  std::unique_ptr<ScratchSaveFolder> documents;
};

TEST_F(LandBattleHudTest, InsideTheEscapeAreaTheExitTargetsTheCurrentTargetOrTheWorldAtTheNextUpdate) {
  RtsManager::GlobalManager().SetPlayerIsInsideEscapeArea(true);
  struct Case {
    const char* before;
    const char* after;
  };
  for (const Case& c : {Case{"", "scenes\\world01\\World.vscene"}, Case{"17-sea", "17-sea"}}) {
    game->SetTeleportTarget(c.before);
    Click(hud->GetExitButton());
    // The click only asks; the target is set by the next update.
    EXPECT_TRUE(hud->IsExitRequested());
    EXPECT_EQ(Target(), c.before);
    env.Frame();
    EXPECT_FALSE(hud->IsExitRequested());
    EXPECT_EQ(Target(), c.after);
  }
  ExpectNoCeguiFailure();
}

TEST_F(LandBattleHudTest, OutsideTheEscapeAreaTheExitLeadsThePlayersUnitsThere) {
  RtsManager::GlobalManager().SetPlayerIsInsideEscapeArea(false);
  VisBaseEntity_cl* escape = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(40, 30, 0));
  ASSERT_NE(escape, nullptr);
  escape->SetEntityKey("EscapeArea");
  auto* unit = static_cast<UnitEntity*>(
      Vision::Game.CreateEntity("UnitEntity", VisVector_cl(0, 0, 0), nullptr, "m_iNation=\"1\",m_iNumSoldiers=\"1\""));
  ASSERT_NE(unit, nullptr);
  ASSERT_EQ(RtsManager::GlobalManager().GetPlayer()->GetPlayerUnitCount(), 1);
  // Not selected: the button leads every unit out.
  ASSERT_EQ(RtsManager::GlobalManager().GetPlayer()->GetNumSelected(), 0);

  Click(hud->GetExitButton());
  EXPECT_FALSE(hud->IsExitRequested());
  ASSERT_TRUE(unit->GetUnitTargetBox().IsValid());
  VisVector_cl centre(0, 0, 0);
  for (int i = 0; i < 4; ++i) centre += unit->GetUnitTargetBox().GetPoint(i);
  centre = centre / 4.0f;
  EXPECT_NEAR(centre.x, 40.0f, 0.5f);
  EXPECT_NEAR(centre.y, 30.0f, 0.5f);
  env.Frame();
  EXPECT_EQ(Target(), "");
}

TEST_F(LandBattleHudTest, WithoutTeleportingTheExitDoesNothingAndTheGlowStaysHidden) {
  RtsManager::GlobalManager().SetPlayerIsInsideEscapeArea(true);
  game->SetCanTeleport(false);
  Click(hud->GetExitButton());
  EXPECT_FALSE(hud->IsExitRequested());
  for (int i = 0; i < 5; ++i) env.Frame();
  EXPECT_EQ(Target(), "");
  EXPECT_FALSE(hud->GetExitGlow()->isVisible());
}

TEST_F(LandBattleHudTest, TheGlowPulsesOnlyInsideTheEscapeAreaWithTheCursorOffTheButton) {
  CEGUI::Window* glow = hud->GetExitGlow();
  RtsManager::GlobalManager().SetPlayerIsInsideEscapeArea(false);
  env.Frame();
  EXPECT_FALSE(glow->isVisible());

  RtsManager::GlobalManager().SetPlayerIsInsideEscapeArea(true);
  // Phase 0.1 per frame: alpha max(sin(3 * phase), 0).
  env.Frame();
  EXPECT_TRUE(glow->isVisible());
  EXPECT_NEAR(glow->getAlpha(), std::sin(0.3f), 1e-4f);
  env.Frame();
  EXPECT_NEAR(glow->getAlpha(), std::sin(0.6f), 1e-4f);
  // Past half a period of the pulse the alpha rests at 0.
  for (int i = 0; i < 9; ++i) env.Frame();
  EXPECT_TRUE(glow->isVisible());
  EXPECT_EQ(glow->getAlpha(), 0.0f);

  hud->OnExitMouseEnters(CEGUI::EventArgs());
  env.Frame();
  EXPECT_FALSE(glow->isVisible());
  hud->OnExitMouseLeaves(CEGUI::EventArgs());
  env.Frame();
  EXPECT_TRUE(glow->isVisible());
}

TEST_F(LandBattleHudTest, OpensWithFourPanelsAndTheGameScriptsRumWaitAndCloses) {
  ASSERT_EQ(hud->GetPanelCount(), FrameLandBattleHud::kPanels);
  for (int d = 0; d < FrameLandBattleHud::kPanels; ++d) {
    const UnitFrame& panel = hud->GetPanel(d);
    for (CEGUI::Window* w : {panel.m_pPanelRoot, panel.m_pUnitsPanel, panel.m_pHeroButton, panel.m_pHitpointBar0,
                             panel.m_pSkillButton, panel.m_pSkillCoolDown, panel.m_pSkillGlow, panel.m_pBackground,
                             panel.m_pUnitButtons[0], panel.m_pUnitButtons[2], panel.m_pUnitCounts[1]})
      EXPECT_NE(w, nullptr) << "panel " << d;
    EXPECT_EQ(panel.m_pHitpointBar1 != nullptr, d == 0);
    EXPECT_EQ(panel.m_pHeroButton->getID(), (CEGUI::uint)(10 * d));
    EXPECT_EQ(panel.m_pUnitButtons[2]->getID(), (CEGUI::uint)(10 * d + 3));
    EXPECT_EQ(panel.m_pSkillButton->getID(), (CEGUI::uint)d);
  }
  for (CEGUI::Window* w : {hud->GetRumButton(), hud->GetRumGlow(), hud->GetRumCoolDown(), hud->GetRumCount(),
                           hud->GetToolboxButton(), hud->GetToolboxCount(), hud->GetMoneyText()})
    EXPECT_NE(w, nullptr);
  // "GetCollectableCooldown" of the game script.
  EXPECT_FLOAT_EQ(hud->GetRumCoolDownLength(), 60.0f);
  // Toolboxes mend ships only.
  EXPECT_TRUE(hud->GetToolboxButton()->isDisabled());

  gui->CloseWindow(WT_LAND_BATTLE_HUD, true);
  EXPECT_EQ(gui->FindWindowA(WT_LAND_BATTLE_HUD), nullptr);
  hud = nullptr;
  ExpectNoCeguiFailure();
}

TEST_F(LandBattleHudTest, PanelsShowForTheHeroesThereAreWithTheirUnitsAndBars) {
  GameSessionManager* session = Session();
  PlayerStats* player = session->GetPlayer();
  player->GetSoldierStats()->m_Hitpoints.SetMaximum(120);
  player->GetSoldierStats()->m_Hitpoints.SetCurrent(30);
  player->AddMoney(250);
  // Heroes 4 and 5 of the game script's unit table.
  HeroStats* corsair = session->AddHeroById(4, VisVector_cl(0, 0, 0));
  HeroStats* buccaneer = session->AddHeroById(5, VisVector_cl(0, 0, 0));
  ASSERT_NE(corsair, nullptr);
  ASSERT_NE(buccaneer, nullptr);
  corsair->GetSoldierStats()->m_Hitpoints.SetMaximum(200);
  corsair->GetSoldierStats()->m_Hitpoints.SetCurrent(50);
  Lead(buccaneer, 501, "PirateBasic", 4);
  Lead(buccaneer, 502, "BrinemarkBasic", 2);
  Refresh();

  EXPECT_TRUE(hud->GetPanel(1).m_pPanelRoot->isVisible());
  EXPECT_TRUE(hud->GetPanel(2).m_pPanelRoot->isVisible());
  EXPECT_FALSE(hud->GetPanel(3).m_pPanelRoot->isVisible()) << "no third hero";
  EXPECT_EQ(CeguiCompat::ToUtf8(hud->GetMoneyText()->getText()), "250");

  // The player's bars fill at most 80 %; a hero's bar all of its width.
  EXPECT_EQ(hud->GetPanel(0).m_pHitpointBar0->getHeight(), CEGUI::UDim(0.25f * 0.8f, 0.0f));
  EXPECT_EQ(hud->GetPanel(1).m_pHitpointBar0->getWidth(), CEGUI::UDim(0.25f, 0.0f));

  // The hero's portrait from the script's table, the skill's text from its skills.
  const UnitFrame& first = hud->GetPanel(1);
  EXPECT_EQ(Property(first.m_pHeroButton, "NormalImage"), "UnitFaces_01/HeroCorsairNormal");
  EXPECT_EQ(Property(first.m_pHeroButton, "SelectedImage"), "UnitFaces_01/HeroCorsairSelected");
  EXPECT_EQ(CeguiCompat::ToUtf8(first.m_pSkillButton->getTooltipText()),
            "Blade Tornado: Jolie spins through the enemy ranks and strikes everyone around her.");

  // No units: no unit buttons and the background as it was; two units: 240 pixels.
  for (CEGUI::Window* button : first.m_pUnitButtons) EXPECT_FALSE(button->isVisible());
  const UnitFrame& second = hud->GetPanel(2);
  EXPECT_TRUE(second.m_pUnitButtons[0]->isVisible());
  EXPECT_TRUE(second.m_pUnitButtons[1]->isVisible());
  EXPECT_FALSE(second.m_pUnitButtons[2]->isVisible());
  EXPECT_EQ(second.m_pBackground->getWidth(), CEGUI::UDim(0.0f, 240.0f));
  Lead(corsair, 401, "ColonialBasic", 1);
  Refresh();
  EXPECT_EQ(first.m_pBackground->getWidth(), CEGUI::UDim(0.0f, 165.0f));
  Lead(corsair, 402, "ColonialBasic", 1);
  Lead(corsair, 403, "ColonialBasic", 1);
  Refresh();
  EXPECT_EQ(first.m_pBackground->getWidth(), CEGUI::UDim(0.0f, 320.0f));
  ExpectNoCeguiFailure();
}

TEST_F(LandBattleHudTest, AClickSelectsTheUnitAndTheUnitsFoldOutUntilNothingOfThePanelIsSelected) {
  PlayerStats* player = Session()->GetPlayer();
  UnitEntity* character = PlayerCharacter("Walker", 100);
  ASSERT_NE(character, nullptr);
  Lead(player, 101, "PirateBasic", 3);
  UnitEntity* crew = MakeUnit(101, 3, VisVector_cl(10, 0, 0));
  ASSERT_NE(crew, nullptr);
  Player* rts = RtsManager::GlobalManager().GetPlayer();
  Refresh();
  const UnitFrame& panel = hud->GetPanel(0);
  EXPECT_FALSE(panel.m_pUnitsPanel->isVisible());

  Click(panel.m_pHeroButton);
  EXPECT_EQ(rts->GetNumSelected(), 1);
  EXPECT_TRUE(rts->IsSelected(character));
  EXPECT_EQ(RtsManager::GlobalManager().GetFollowedUnit(), character);
  env.Frame();
  EXPECT_TRUE(Selected(panel.m_pHeroButton));
  EXPECT_TRUE(panel.m_pUnitsPanel->isVisible()) << "the units fold out";
  env.Frame();
  EXPECT_EQ(CeguiCompat::ToUtf8(panel.m_pUnitCounts[0]->getText()), "3");
  EXPECT_EQ(Property(panel.m_pUnitButtons[0], "HoverImage"), "UnitFaces_01/PirateBasicHover");

  // Without left control a click replaces the selection, with it it adds.
  Click(panel.m_pUnitButtons[0]);
  EXPECT_EQ(rts->GetNumSelected(), 1);
  EXPECT_TRUE(rts->IsSelected(crew));
  RtsManager::GlobalManager().SetLeftControlDown(true);
  Click(panel.m_pHeroButton);
  EXPECT_EQ(rts->GetNumSelected(), 2);
  EXPECT_TRUE(hud->IsLeftControlHeld());
  EXPECT_EQ(RtsManager::GlobalManager().GetFollowedUnit(), crew) << "the first selected";
  RtsManager::GlobalManager().SetLeftControlDown(false);
  env.Frame();
  EXPECT_TRUE(Selected(panel.m_pHeroButton));
  EXPECT_TRUE(Selected(panel.m_pUnitButtons[0]));

  // Nothing selected: the units fold away over RudderOut_1st's length, then hide.
  rts->ClearSelection();
  env.Frame();
  EXPECT_FALSE(Selected(panel.m_pHeroButton));
  const float foldIn = CEGUI::AnimationManager::getSingleton().getAnimation("RudderOut_1st")->getDuration();
  EXPECT_NEAR(panel.m_fSlideTimer, foldIn, 1e-5f);
  EXPECT_TRUE(panel.m_pUnitsPanel->isVisible());
  for (int i = 0; i < 5; ++i) env.Frame();
  EXPECT_FALSE(panel.m_pUnitsPanel->isVisible());
  EXPECT_FALSE(panel.m_pBackground->isVisible());
  ExpectNoCeguiFailure();
}

TEST_F(LandBattleHudTest, ADoubleClickMakesTheCameraFollowTheUnit) {
  UnitEntity* character = PlayerCharacter("Walker", 100);
  ASSERT_NE(character, nullptr);
  Refresh();
  CEGUI::Window* button = hud->GetPanel(0).m_pHeroButton;
  // No camera in the scene: not handled.
  Fire(button, CEGUI::Window::EventMouseDoubleClick);
  EXPECT_EQ(RtsManager::GlobalManager().GetFollowedUnit(), nullptr);

  VisBaseEntity_cl* camera = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 50));
  camera->SetEntityKey("CameraEntity");
  auto* recorder = new MessageRecorder();
  camera->AddComponent(recorder);
  Fire(button, CEGUI::Window::EventMouseDoubleClick);
  EXPECT_EQ(RtsManager::GlobalManager().GetFollowedUnit(), character);
  EXPECT_EQ(recorder->Count(VIS_MSG_USER_CAMERA_FOLLOW_START), 1);
  EXPECT_TRUE(game->GetFollowCameraState());
}

TEST_F(LandBattleHudTest, TheSkillFiresOnceAndIsRefusedWhileItRunsOrCoolsDown) {
  UnitEntity* character = PlayerCharacter("Walker", 100);
  ASSERT_NE(character, nullptr);
  SoldierEntity* hero = character->GetSoldierAtIndex(0);
  ASSERT_NE(hero, nullptr);
  Refresh();
  const UnitFrame& panel = hud->GetPanel(0);
  EXPECT_EQ(Property(panel.m_pSkillButton, "HoverImage"), "Buttons_01/Skill1NormalHover");
  EXPECT_EQ(Property(panel.m_pSkillCoolDown, "Image"), "Buttons_01/Skill1NormalDisabled");
  EXPECT_FALSE(panel.m_pSkillGlow->isVisible());

  Click(panel.m_pSkillButton);
  // The game script's active skill: 10 s long, 60 s until the next.
  EXPECT_FLOAT_EQ(hero->GetActiveSkillCooldownDelta(), 60.0f);
  EXPECT_FLOAT_EQ(panel.m_fSkillCoolDownLength, 60.0f);
  EXPECT_FLOAT_EQ(panel.m_fSkillActiveDuration, 10.0f);
  env.Frame();
  EXPECT_TRUE(panel.m_pSkillGlow->isVisible()) << "the skill runs";
  EXPECT_FALSE(panel.m_pSkillCoolDown->isVisible());
  const float alpha = panel.m_pSkillGlow->getAlpha();
  env.Frame();
  EXPECT_NE(panel.m_pSkillGlow->getAlpha(), alpha) << "it blinks";

  // Refused while the glow shows: the skill keeps its times.
  for (int i = 0; i < 5; ++i) hero->ThinkFunction();
  const float left = hero->GetActiveSkillCooldownDelta();
  Click(panel.m_pSkillButton);
  EXPECT_FLOAT_EQ(hero->GetActiveSkillCooldownDelta(), left);

  // Over: the cool-down shows its share of the wait after the skill (50 s).
  for (int i = 0; i < 200 && hero->GetActiveSkillDurationLeft() > 0.0f; ++i) hero->ThinkFunction();
  ASSERT_LE(hero->GetActiveSkillDurationLeft(), 0.0f);
  env.Frame();
  EXPECT_FALSE(panel.m_pSkillGlow->isVisible());
  ASSERT_TRUE(panel.m_pSkillCoolDown->isVisible());
  EXPECT_NEAR(panel.m_pSkillCoolDown->getHeight().d_scale, hero->GetActiveSkillCooldownDelta() / 50.0f, 1e-4f);
  const float waiting = hero->GetActiveSkillCooldownDelta();
  Click(panel.m_pSkillButton);
  EXPECT_FLOAT_EQ(hero->GetActiveSkillCooldownDelta(), waiting) << "refused while it cools down";
  ExpectNoCeguiFailure();
}

TEST_F(LandBattleHudTest, RumIsDrunkWithAWomansSoundForJolie) {
  RegisterLuaBindings();
  ArtifactManager::GetInstance();
  AchievementManager::GetInstance();
  SoundManager* sound = SoundManager::GetInstance();
  VSoundManager::GlobalManager().SetInitialized(true);
  sound->AddSFXSound(SOUND_SFX_USE_GROG, "Sounds\\FX\\fx_use_grog.wav", true, false, 0.0f);
  sound->AddSFXSound(SOUND_SFX_USE_GROG_WOMAN, "Sounds\\FX\\fx_use_grog_woman.wav", true, false, 0.0f);
  PlayerCharacter("Walker", 100);
  Refresh();
  // None yet: the button is disabled and a click does nothing.
  EXPECT_TRUE(hud->GetRumButton()->isDisabled());
  EXPECT_FALSE(hud->OnRumClicked(CEGUI::WindowEventArgs(hud->GetRumButton())));

  auto rum = [] {
    auto* item = new CollectableEntityTemplate();
    item->m_sKey = "RumPotion";
    item->m_sCollectableScriptFile = "scripts\\Collectables\\RumPotion.lua";
    return item;
  };
  const struct {
    const char* name;
    const char* file;
  } cases[] = {{"Walker", "fx_use_grog.wav"},
               {"str_MAIN_CHARACTER_CORSAIR", "fx_use_grog_woman.wav"},
               {"Jolie Roger", "fx_use_grog_woman.wav"},
               {"Jolie", "fx_use_grog_woman.wav"},  // the key's text in this language
               {"Jack", "fx_use_grog.wav"}};
  for (const auto& c : cases) {
    Session()->GetPlayer()->GetCharacterTemplate()->m_sUnitName = c.name;
    ArtifactManager::GetInstance()->ResetGrogCooldown(0.0f);
    Session()->AddCollectable(rum());
    Session()->AddCollectable(rum());
    Refresh();
    EXPECT_EQ(CeguiCompat::ToUtf8(hud->GetRumCount()->getText()), "2");
    ASSERT_FALSE(hud->GetRumButton()->isDisabled());
    const int before = VSoundManager::GlobalManager().GetInstanceCount();
    Click(hud->GetRumButton());
    EXPECT_EQ(Session()->GetPlayerCollectableCountByName("RumPotion"), 1) << c.name;
    ASSERT_EQ(VSoundManager::GlobalManager().GetInstanceCount(), before + 1) << c.name;
    const std::string played = VSoundManager::GlobalManager().GetInstance(before)->GetResource()->GetFileName();
    EXPECT_NE(played.find(c.file), std::string::npos) << c.name << ": " << played;
    // The rum's own script starts the wait; the overlay follows it down.
    EXPECT_TRUE(hud->GetRumCoolDown()->isVisible());
    env.Frame();
    EXPECT_TRUE(hud->GetRumCoolDown()->isVisible());
    EXPECT_NEAR(hud->GetRumCoolDown()->getHeight().d_scale,
                ArtifactManager::GetInstance()->GetGrogCooldown() / 60.0f, 1e-4f);
    Session()->DecreaseCollectableCountByName("RumPotion", 1);
    ArtifactManager::GetInstance()->ResetGrogCooldown(0.0f);
    env.Frame();
    EXPECT_FALSE(hud->GetRumCoolDown()->isVisible());
  }
  VSoundManager::GlobalManager().SetInitialized(false);
}

TEST_F(LandBattleHudTest, TheToolboxOnlySaysItIsOfNoUseAshore) {
  Fire(hud->GetToolboxButton(), CEGUI::PushButton::EventClicked);
  auto* messages = dynamic_cast<FrameInGameMessages*>(gui->FindWindowA(WT_INGAME_MESSAGES));
  ASSERT_NE(messages, nullptr);
  bool shown = false;
  for (const InGameMessage& m : messages->GetUpperQueue())
    shown = shown || CeguiCompat::ToUtf8(m.text).find("The toolbox mends ships; it is no use ashore.") != std::string::npos;
  EXPECT_TRUE(shown);
  EXPECT_TRUE(hud->GetToolboxButton()->isDisabled());
}

TEST_F(LandBattleHudTest, LeftControlIsHeldBetweenItsKeyDownAndUp) {
  CEGUI::GUIContext& context = CEGUI::System::getSingleton().getDefaultGUIContext();
  hud->GetRootWindow()->activate();
  EXPECT_TRUE(context.injectKeyDown(CEGUI::Key::LeftControl));
  EXPECT_TRUE(hud->IsLeftControlHeld());
  EXPECT_FALSE(context.injectKeyDown(CEGUI::Key::A)) << "other keys are not the HUD's";
  EXPECT_TRUE(context.injectKeyUp(CEGUI::Key::LeftControl));
  EXPECT_FALSE(hud->IsLeftControlHeld());
}

TEST_F(LandBattleHudTest, TheStrongholdsTutorialShowsOnceInTheStronghold) {
  TutorialManager* tutorials = TutorialManager::GetInstance();
  env.Frame();
  EXPECT_FALSE(hud->WasStrongholdTutorialShown()) << "not in a town";
  TownManager::GetInstance()->GetCurrentTownInfo().sceneType = 1;
  env.Frame();
  EXPECT_TRUE(tutorials->GetQueue().empty());

  TownManager::GetInstance()->GetCurrentTownInfo().sceneType = 2;
  env.Frame();
  EXPECT_TRUE(hud->WasStrongholdTutorialShown());
  ASSERT_EQ(tutorials->GetQueue().size(), 2u);
  EXPECT_EQ(tutorials->GetQueue()[0], "str_TUTORIAL_STRONGHOLD_PART1");
  EXPECT_EQ(tutorials->GetQueue()[1], "str_TUTORIAL_STRONGHOLD_PART2");
  // The player has read them: never again in this frame's life.
  tutorials->ReleaseQueue();
  tutorials->Reset();
  env.Frame();
  EXPECT_TRUE(tutorials->GetQueue().empty());
}

// On land the hero's first soldier decides: the overlay and the rum glow follow
// its hit points.
TEST_F(LandBattleHudTest, OnLandTheLowHealthOverlayAndTheRumGlowFollowTheHerosFirstSoldier) {
  UnitEntity* character = PlayerCharacter("Walker", 100);
  ASSERT_NE(character, nullptr);
  ASSERT_EQ(game->GetPlayerEntity(), character);
  SoldierEntity* hero = character->GetSoldierAtIndex(0);
  ASSERT_NE(hero, nullptr);
  SoldierStats stats;
  stats.m_Hitpoints.SetMaximum(100);
  stats.m_Hitpoints.SetCurrent(100);
  hero->SetStats(&stats);
  borrowedStats.push_back(hero);
  game->SetPlayTheGame(true);
  ASSERT_TRUE(Vision::Renderer.IsRendererRunning());
  auto frame = [&] {
    Vision::Timer.Update();
    game->Update();
    BaseEntityDataObject pre(&GameManager::Callbacks.OnPreFrame, nullptr);
    GameManager::Callbacks.OnPreFrame.TriggerCallbacks(&pre);
    BaseEntityDataObject post(&GameManager::Callbacks.OnPostFrame, nullptr);
    GameManager::Callbacks.OnPostFrame.TriggerCallbacks(&post);
  };
  frame();
  EXPECT_FALSE(hud->GetRumGlow()->isVisible());
  EXPECT_FALSE(gui->GetLowHPOverlay() && gui->GetLowHPOverlay()->IsVisible());

  stats.m_Hitpoints.SetCurrent(50);
  frame();
  EXPECT_TRUE(game->HasLowHitPoints());
  // The game shows the overlay on the update after the one that found the hero hurt.
  frame();
  ASSERT_NE(gui->GetLowHPOverlay(), nullptr);
  EXPECT_TRUE(gui->GetLowHPOverlay()->IsVisible());
  ASSERT_TRUE(hud->GetRumGlow()->isVisible());
  // Blinking: at most 2 x 0.1 per update, between 0 and 1 and back.
  std::vector<float> alphas;
  for (int i = 0; i < 16; ++i) {
    alphas.push_back(hud->GetRumGlow()->getAlpha());
    frame();
  }
  for (size_t i = 1; i < alphas.size(); ++i) EXPECT_LE(std::fabs(alphas[i] - alphas[i - 1]), 0.2f + 1e-4f) << i;
  const size_t low = (size_t)(std::min_element(alphas.begin(), alphas.end()) - alphas.begin());
  EXPECT_NEAR(alphas[low], 0.0f, 1e-4f);
  EXPECT_NEAR(*std::max_element(alphas.begin() + (long)low, alphas.end()), 1.0f, 1e-4f) << "and up again";

  stats.m_Hitpoints.SetCurrent(51);
  frame();
  EXPECT_FALSE(game->HasLowHitPoints());
  EXPECT_FALSE(hud->GetRumGlow()->isVisible());
  game->SetPlayTheGame(false);
}

}  // namespace
