// The game manager: nations, weapons and unique ids, the engine callbacks, the hot
// keys, the per-frame update and the scene collectables of a land scene.
#include "core/GameManager.h"

#include "Managers/AchievementManager.h"
#include "Managers/BattleManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/PauseManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SoundManager.h"
#include "Managers/SpeechManager.h"
#include "Managers/TownManager.h"
#include "Managers/TutorialManager.h"
#include "Managers/WildLifeManager.h"
#include "components/HealthBarComponent.h"
#include "components/NameTagComponent.h"
#include "core/MouseInputHandler.h"
#include "core/Player.h"
#include "core/RtsManager.h"
#include "entities/AnimalEntity.h"
#include "entities/CollectableEntity.h"
#include "entities/CollectableEntityTemplate.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/SoldierEntity.h"
#include "entities/SoldierStats.h"
#include "entities/UnitEntity.h"
#include "support/GuiTestEnvironment.h"
#include "support/LogCapture.h"
#include "support/MessageRecorder.h"
#include "support/ScopedEnv.h"
#include "support/ScratchDataFolder.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

const float kStep = 0.1f;

class GameManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Vision::Timer.SetMaxTimeDifference(0.0f);
    Vision::Timer.SetFixedTimeStep(kStep);
    Vision::Timer.Update();
    Vision::GetScriptManager()->SetGameScript(nullptr);
    RtsManager::GlobalManager().OneTimeInit();
    gm = GameManager::GetInstance();
  }
  void TearDown() override {
    GameManager::CleanInstance();
    RtsManager::GlobalManager().OneTimeDeInit();
    for (void (*clean)() : {&AchievementManager::CleanInstance, &PauseManager::CleanInstance,
                            &SaveGameManagerProto::CleanInstance, &TutorialManager::CleanInstance,
                            &GameSessionManager::CleanInstance, &TownManager::CleanInstance,
                            &BattleManager::CleanInstance, &SpeechManager::CleanInstance,
                            &WildLifeManager::CleanInstance, &SoundManager::CleanInstance})
      clean();
    Vision::World.UnloadWorld();
    Vision::Timer.SetFixedTimeStep(0.0f);
    Vision::Timer.SetMaxTimeDifference(0.0f);
    Vision::Key.Reset();
    Vision::Renderer.SetRendererRunning(false);
  }

  Nation* AddNation(int id, const char* name, float reputation = 0.0f) {
    Nation* nation = new Nation(id, name);
    nation->SetReputation(reputation);
    gm->AddNation(nation);
    return nation;
  }
  // A ship of the nation in slot 1 sailed by the player, at sea.
  ShipEntity* MakePlayerShip(int hullMax, int hullCurrent) {
    AddNation(0, "Neutral");
    AddNation(1, "Player");
    playerStats.SetPlayerShip(true);
    playerStats.GetHull().SetMaximum(hullMax);
    playerStats.GetHull().SetCurrent(hullCurrent);
    ShipEntity* ship = new ShipEntity();
    ship->SetStats(&playerStats);
    gm->GetNation(1u)->AddShip(ship);
    gm->SetLocation(2);
    return ship;
  }
  void Frame() {
    Vision::Timer.Update();
    gm->ProcessKeys();
    gm->Update();
  }
  float AchievementValue(int id) {
    float value = -1.0f;
    AchievementManager::GetInstance()->GetValue(id, value);
    return value;
  }

  GameManager* gm = nullptr;
  ShipStats playerStats;
};

// Nations --------------------------------------------------------------------------

TEST_F(GameManagerTest, NationsFillSlotsInOrderAndSlotOneIsThePlayers) {
  Nation* neutral = AddNation(0, "Neutral");
  EXPECT_EQ(gm->GetNationCount(), 1u);
  EXPECT_EQ(gm->GetPlayerNation(), nullptr);
  Nation* player = AddNation(1, "Player");
  AddNation(2, "Pirate");
  EXPECT_EQ(gm->GetNationCount(), 3u);
  EXPECT_EQ(gm->GetPlayerNation(), player);
  EXPECT_EQ(gm->GetNation(0u), neutral);
  EXPECT_EQ(gm->GetNation(VString("pIRATE")), gm->GetNation(2u));
  EXPECT_EQ(gm->GetNation(VString("Nobody")), nullptr);
  EXPECT_EQ(gm->GetNationString(1), "Player");
  EXPECT_EQ(gm->GetNationString(7), "Neutral");
  EXPECT_EQ(gm->GetNationString(-1), "Neutral");

  gm->ResetNations();
  EXPECT_EQ(gm->GetNationCount(), 0u);
  EXPECT_EQ(gm->GetNationString(3), "");
}

TEST_F(GameManagerTest, ReputationOutsideTheTableIsZeroAndNeverGrowsIt) {
  AddNation(0, "Neutral", 0.5f);
  AddNation(1, "Player", 0.25f);
  EXPECT_FLOAT_EQ(gm->GetReputation(1), 0.25f);
  EXPECT_FLOAT_EQ(gm->GetReputation(5), 0.0f);
  // A script's -1 arrives as the largest index: reading it must not reserve the table.
  EXPECT_FLOAT_EQ(gm->GetReputation(0xFFFFFFFFu), 0.0f);
  EXPECT_EQ(gm->GetNation(0xFFFFFFFFu), nullptr);
  EXPECT_EQ(gm->GetNationCount(), 2u);
}

TEST_F(GameManagerTest, FactionReputationNeedsAllThreeFactions) {
  AddNation(2, "Pirate", 0.3f);
  AddNation(3, "Corsair", 0.6f);
  EXPECT_FLOAT_EQ(gm->GetTotalFactionReputation(), 0.0f);
  AddNation(4, "buccaneer", 0.9f);
  EXPECT_NEAR(gm->GetTotalFactionReputation(), 0.6f, 1e-6f);
}

TEST_F(GameManagerTest, WeaponsAreFoundByIdFirstRecordWinning) {
  Weapon cutlass;
  cutlass.m_iId = 1;
  cutlass.m_sName = "Cutlass";
  Weapon second = cutlass;
  second.m_sName = "Second cutlass";
  gm->AddWeapon(cutlass);
  gm->AddWeapon(second);
  EXPECT_EQ(gm->GetWeaponCount(), 2);
  EXPECT_EQ(gm->GetWeapon(1).m_sName, "Cutlass");
  const Weapon& unknown = gm->GetWeapon(99);
  EXPECT_EQ(&unknown, &Weapon::GetDefault());
  EXPECT_EQ(unknown.m_iId, 0);
  EXPECT_TRUE(unknown.m_sName.IsEmpty());
  // Without a game script defining "InitWeapons" the table stays.
  gm->InitWeapons();
  EXPECT_EQ(gm->GetWeaponCount(), 2);
}

TEST_F(GameManagerTest, UniqueIdsStayAboveEveryIdSeen) {
  EXPECT_EQ(gm->GetNextUniqueID(), 1);
  EXPECT_EQ(gm->GetNextUniqueID(), 2);
  gm->AddUniqueID(1);  // smaller: unchanged
  EXPECT_EQ(gm->GetNextUniqueID(), 3);
  gm->AddUniqueID(4);  // equal to the counter: one more
  EXPECT_EQ(gm->GetNextUniqueID(), 5);
  gm->AddUniqueID(int64_t(1) << 40);
  EXPECT_EQ(gm->GetNextUniqueID(), (int64_t(1) << 40) + 1);
  // A damaged file's id the counter cannot count past leaves it as it is.
  for (int64_t huge : {INT64_MAX, INT64_MAX - 1}) gm->AddUniqueID(huge);
  EXPECT_EQ(gm->GetNextUniqueID(), (int64_t(1) << 40) + 2);
  gm->ResetUniqueID();
  EXPECT_EQ(gm->GetNextUniqueID(), 1);

  VisBaseEntity_cl* entity = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));
  entity->SetUniqueID(int64_t(7) << 32 | 9);
  EXPECT_EQ(gm->FindEntityByUniqueID(int64_t(7) << 32 | 9), entity);
  EXPECT_EQ(gm->FindEntityByUniqueID(9u, 7u), entity);
  EXPECT_EQ(gm->FindEntityByUniqueID(12345), nullptr);
}

// Start, callbacks and the trace collection ------------------------------------------

TEST_F(GameManagerTest, TraceCollectionGrowsPastItsFirstCapacity) {
  gm->OneTimeInit();
  ASSERT_NE(gm->GetMouseInputHandler(), nullptr);
  EXPECT_EQ(gm->GetMouseInputHandler()->GetPlayer(), RtsManager::GlobalManager().GetPlayer());
  std::vector<VisBaseEntity_cl*> entities;
  for (int i = 0; i < 300; ++i) {
    entities.push_back(Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0)));
    gm->AddTraceEntity(entities.back());
  }
  const VisEntityCollection_cl& traced = gm->GetMouseInputHandler()->GetTraceEntities();
  EXPECT_EQ(traced.GetNumEntries(), 300);
  EXPECT_GE(traced.GetCapacity(), 300);
  EXPECT_EQ(traced.GetEntry(299), entities[299]);
  gm->RemoveTraceEntity(entities[0]);
  EXPECT_FALSE(traced.Contains(entities[0]));
}

TEST_F(GameManagerTest, OneTimeInitRegistersCallbacksAndMakesSingleHitKeys) {
  gm->OneTimeInit();
  EXPECT_TRUE(TutorialManager::HasInstance());
  EXPECT_NE(gm->GetNavigation(), nullptr);
  for (VCallback* callback : {&Vision::Callbacks.OnEditorModeChanged, &Vision::Callbacks.OnWorldDeInit,
                              &Vision::Callbacks.OnAfterSceneLoaded, &Vision::Callbacks.OnEngineDeInit,
                              &Vision::Callbacks.OnUpdateSceneBegin, &Vision::Callbacks.OnScriptThink,
                              &Vision::Callbacks.OnTerrainSectorCreated})
    EXPECT_TRUE(callback->IsRegistered(gm));

  // C (46) is single-hit: held over two frames it counts once.
  Vision::Key.InjectKey(-1, 46, true);
  EXPECT_TRUE(Vision::Key.IsPressed_SC(46));
  EXPECT_FALSE(Vision::Key.IsPressed_SC(46));

  gm->OneTimeDeInit();
  EXPECT_FALSE(Vision::Callbacks.OnUpdateSceneBegin.IsRegistered(gm));
  EXPECT_EQ(gm->GetMouseInputHandler(), nullptr);
  EXPECT_EQ(gm->GetNavigation(), nullptr);
  EXPECT_FALSE(TutorialManager::HasInstance());
}

TEST_F(GameManagerTest, EngineCallbacksSwitchPlayingTheGame) {
  gm->OneTimeInit();
  Vision::Callbacks.OnAfterSceneLoaded.TriggerCallbacks(
      std::make_unique<IVisCallbackDataObject_cl>(&Vision::Callbacks.OnAfterSceneLoaded).get());
  EXPECT_TRUE(gm->IsPlayingTheGame());
  EXPECT_TRUE(SpeechManager::HasInstance());
  EXPECT_FLOAT_EQ(Vision::Timer.GetMaxTimeDifference(), 0.0666f);

  VisEditorModeChangedDataObject_cl play(&Vision::Callbacks.OnEditorModeChanged, 3);
  Vision::Callbacks.OnEditorModeChanged.TriggerCallbacks(&play);
  EXPECT_TRUE(gm->IsPlayingTheGame());
  VisEditorModeChangedDataObject_cl animate(&Vision::Callbacks.OnEditorModeChanged, 1);
  Vision::Callbacks.OnEditorModeChanged.TriggerCallbacks(&animate);
  EXPECT_FALSE(gm->IsPlayingTheGame());
  EXPECT_FALSE(SpeechManager::HasInstance());

  gm->SetPlayTheGame(true);
  IVisCallbackDataObject_cl deInit(&Vision::Callbacks.OnEngineDeInit);
  gm->OnHandleCallback(&deInit);
  EXPECT_FALSE(gm->IsPlayingTheGame());
}

// Per-frame update --------------------------------------------------------------------

TEST_F(GameManagerTest, WhileNotPlayingUpdateChangesNothingButKeysStillWork) {
  gm->SetLocation(2);
  Vision::Key.InjectKey(-1, 59, true);  // F1
  Frame();
  EXPECT_FLOAT_EQ(gm->GetWorldTime(), 0.0f);
  EXPECT_TRUE(TutorialManager::GetInstance()->IsFastTutorial());

  gm->SetPlayTheGame(true);
  Frame();
  EXPECT_FLOAT_EQ(gm->GetWorldTime(), kStep);
}

TEST_F(GameManagerTest, HotKeysWaitWhileTheConsoleIsOpen) {
  Vision::Actions.SetConsoleOpen(true);
  Vision::Key.InjectKey(-1, 59, true);
  Frame();
  Vision::Actions.SetConsoleOpen(false);
  EXPECT_FALSE(TutorialManager::GetInstance()->IsFastTutorial());
}

TEST_F(GameManagerTest, TeleportWaitsUntilThePlayerIsBackAtSea) {
  LogCapture log;
  gm->SetPlayTheGame(true);
  gm->SetLocation(1);
  gm->SetCanTeleport(false);
  gm->SetTeleportTarget("sl_harbour");
  Frame();
  EXPECT_EQ(gm->GetCurrentTeleportTarget(), "sl_harbour");
  EXPECT_FALSE(log.Contains("Teleport(sl_harbour)"));

  // Back at sea the teleport runs; without the scene file it only says so.
  gm->SetLocation(0);
  Frame();
  EXPECT_TRUE(gm->CanTeleport());
  EXPECT_TRUE(gm->GetCurrentTeleportTarget().IsEmpty());
  EXPECT_TRUE(log.Contains("Teleport(sl_harbour): no scene scenes\\sl_harbour\\sl_harbour.vscene"));
}

TEST_F(GameManagerTest, AutoSaveIsTakenOnceAndWritesSlotTwenty) {
  LogCapture log;
  gm->SetPlayTheGame(true);
  SaveGameManagerProto::GetInstance()->RequestAutoSave(true);
  Frame();
  EXPECT_FALSE(SaveGameManagerProto::GetInstance()->IsAutoSaveRequested());
  EXPECT_EQ(log.Matching("SaveGame(20)").size(), 1u);
  Frame();
  EXPECT_EQ(log.Matching("SaveGame(20)").size(), 1u);
}

TEST(GameManagerAutoSaveTest, WaitsWhileTheLoadingScreenShows) {
  GuiTestEnvironment env;
  env.Start();
  LogCapture log;
  GUIManager* gui = env.StartGui();
  ASSERT_TRUE(gui->IsInitialized());
  gui->ShowLoadingScreen();
  ASSERT_TRUE(gui->IsLoadingScreenVisible());
  GameManager* gm = GameManager::GetInstance();
  gm->SetPlayTheGame(true);
  SaveGameManagerProto::GetInstance()->RequestAutoSave(true);
  env.Frame();
  gm->Update();
  EXPECT_TRUE(SaveGameManagerProto::GetInstance()->IsAutoSaveRequested());
  EXPECT_FALSE(log.Contains("SaveGame(20)"));

  gui->HideLoadingScreen(5, 1);
  for (int i = 0; i < 20 && gui->IsLoadingScreenVisible(); ++i) env.Frame();
  ASSERT_FALSE(gui->IsLoadingScreenVisible());
  gm->Update();
  EXPECT_FALSE(SaveGameManagerProto::GetInstance()->IsAutoSaveRequested());
  EXPECT_TRUE(log.Contains("SaveGame(20)"));

  GameManager::CleanInstance();
  SaveGameManagerProto::CleanInstance();
  env.Stop();
}

TEST_F(GameManagerTest, LowHullAtSeaShowsAHealthBarAndCountsLowHullTime) {
  ShipEntity* ship = MakePlayerShip(100, 40);
  gm->SetPlayTheGame(true);
  EXPECT_EQ(gm->GetPlayerEntity(), ship);
  Frame();
  EXPECT_TRUE(gm->HasLowHitPoints());
  EXPECT_EQ(AchievementValue(26), -1.0f);  // 40 of 100: low, but above a fifth

  // The next frame (renderer running) gives the low ship a health bar.
  Vision::Renderer.SetRendererRunning(true);
  playerStats.GetHull().SetCurrent(20);
  Frame();
  HealthBarComponent* bar = ship->Components<HealthBarComponent>();
  ASSERT_NE(bar, nullptr);
  EXPECT_FLOAT_EQ(bar->GetHoldTimer(), 3.0f);
  EXPECT_FLOAT_EQ(AchievementValue(26), kStep);
  Frame();
  EXPECT_FLOAT_EQ(AchievementValue(26), 2 * kStep);

  playerStats.GetHull().SetCurrent(51);
  Frame();
  EXPECT_FALSE(gm->HasLowHitPoints());
  EXPECT_FLOAT_EQ(AchievementValue(26), 0.0f);
}

TEST_F(GameManagerTest, PlayerEntityOnLandIsThePlayerCharacter) {
  MakePlayerShip(100, 100);
  gm->SetLocation(1);
  EXPECT_EQ(gm->GetPlayerEntity(), nullptr);
  UnitEntity* unit = new UnitEntity();
  unit->SetEntityKey("PlayerCharacter");
  unit->SetNation(1);
  BaseEntityDataObject created(&GameManager::Callbacks.OnUnitCreated, unit);
  GameManager::Callbacks.OnUnitCreated.TriggerCallbacks(&created);
  EXPECT_EQ(gm->GetPlayerEntity(), unit);
  BaseEntityDataObject removed(&GameManager::Callbacks.OnUnitRemoved, unit);
  GameManager::Callbacks.OnUnitRemoved.TriggerCallbacks(&removed);
  EXPECT_EQ(gm->GetPlayerEntity(), nullptr);
}

TEST_F(GameManagerTest, LowHitPointsOnLandFollowTheHeroAndLeavingTheSeaClearsTheShipsFlag) {
  MakePlayerShip(100, 30);
  gm->SetPlayTheGame(true);
  Frame();
  ASSERT_TRUE(gm->HasLowHitPoints());
  // Ashore without a player unit nothing sets the flag again.
  gm->SetLocation(1);
  EXPECT_FALSE(gm->HasLowHitPoints());
  Frame();
  EXPECT_FALSE(gm->HasLowHitPoints());

  UnitEntity* unit = new UnitEntity();
  unit->SetEntityKey("PlayerCharacter");
  unit->SetNation(1);
  BaseEntityDataObject created(&GameManager::Callbacks.OnUnitCreated, unit);
  GameManager::Callbacks.OnUnitCreated.TriggerCallbacks(&created);
  ASSERT_EQ(gm->GetPlayerEntity(), unit);
  SoldierStats heroStats;
  heroStats.m_Hitpoints.SetMaximum(100);
  auto* hero = new SoldierEntity();
  hero->SetStats(&heroStats);
  unit->AddSoldier(hero);
  // Low exactly when not above half the maximum; untracked hit points leave the flag.
  const struct {
    int maximum, current;
    bool low;
  } cases[] = {{100, 51, false}, {100, 50, true}, {100, 0, true}, {-1, 1, true}, {100, 100, false}, {-1, 1, false}};
  for (const auto& c : cases) {
    heroStats.m_Hitpoints.SetMaximum(c.maximum);
    heroStats.m_Hitpoints.SetCurrent(c.current);
    Frame();
    EXPECT_EQ(gm->HasLowHitPoints(), c.low) << c.current << " of " << c.maximum;
  }
  // Moving between land and sea scenes keeps what the land set until the ship reports.
  heroStats.m_Hitpoints.SetMaximum(100);
  heroStats.m_Hitpoints.SetCurrent(10);
  Frame();
  gm->SetLocation(0);
  EXPECT_TRUE(gm->HasLowHitPoints());
  playerStats.GetHull().SetCurrent(100);
  Frame();
  EXPECT_FALSE(gm->HasLowHitPoints());
  hero->SetStats(nullptr);
}

TEST_F(GameManagerTest, ParticlesAreCountedAndPausedOverEveryEffectAndLayer) {
  VSmartPtr<VisParticleEffectFile_cl> smoke = new VisParticleEffectFile_cl("smoke.xml");
  ASSERT_TRUE(smoke->LoadFromXml("<particles><layer rate=\"10\" lifetime=\"5\"/>"
                                 "<layer rate=\"4\" lifetime=\"5\"/></particles>"));
  VSmartPtr<VisParticleEffectFile_cl> spark = new VisParticleEffectFile_cl("spark.xml");
  ASSERT_TRUE(spark->LoadFromXml("<particles><layer rate=\"2\" lifetime=\"5\"/></particles>"));
  VSmartPtr<VisParticleEffect_cl> a = smoke->CreateParticleEffectInstance(VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0));
  VSmartPtr<VisParticleEffect_cl> b = spark->CreateParticleEffectInstance(VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0));
  VisParticleGroupManager_cl& particles = VisParticleGroupManager_cl::GlobalManager();
  EXPECT_EQ(gm->GetOverallParticleCount(), 0);
  particles.Tick(1.0f);
  EXPECT_EQ(gm->GetOverallParticleCount(), 16);

  gm->PauseParticles(true);
  for (VisParticleEffect_cl* effect : {a.GetPtr(), b.GetPtr()}) {
    EXPECT_TRUE(effect->IsPaused());
    for (int i = 0; i < effect->GetLayerCount(); ++i) EXPECT_TRUE(effect->GetLayer(i)->IsPaused());
  }
  particles.Tick(1.0f);
  EXPECT_EQ(gm->GetOverallParticleCount(), 16);
  gm->PauseParticles(false);
  EXPECT_FALSE(b->GetLayer(0)->IsPaused());
  particles.Tick(1.0f);
  EXPECT_EQ(gm->GetOverallParticleCount(), 32);
  particles.RemoveAllEffects();
}

// A unit freed without announcing its removal leaves the player's lists.
TEST_F(GameManagerTest, PlayerForgetsFreedUnits) {
  Player* player = RtsManager::GlobalManager().GetPlayer();
  ASSERT_NE(player, nullptr);
  UnitEntity* hero = new UnitEntity();
  hero->SetEntityKey("PlayerCharacter");
  hero->SetNation(player->GetPlayerNation());
  UnitEntity* enemy = new UnitEntity();
  enemy->SetNation(player->GetPlayerNation() + 1);
  for (UnitEntity* unit : {hero, enemy}) {
    BaseEntityDataObject created(&GameManager::Callbacks.OnUnitCreated, unit);
    GameManager::Callbacks.OnUnitCreated.TriggerCallbacks(&created);
  }
  ASSERT_EQ(player->GetClosestEnemyUnit(hero), enemy);
  ASSERT_EQ(player->GetPlayerCharacter(), hero);
  delete enemy;
  EXPECT_EQ(player->GetClosestEnemyUnit(hero), nullptr);
  delete hero;
  EXPECT_EQ(player->GetPlayerCharacter(), nullptr);
}

TEST_F(GameManagerTest, SeagullCryFollowsTheGullNearThePlayerAndPausesWithoutOne) {
  ASSERT_TRUE(Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data"));
  VSoundManager::GlobalManager().SetInitialized(true);
  SoundManager::GetInstance()->AddSFXSound(SOUND_SFX_SEAGULLS, "sounds\\click.wav", false, true, 0.0f);
  MakePlayerShip(100, 100);
  gm->SetPlayTheGame(true);
  auto* gull = new AnimalEntity();
  gull->SetEntityKey("Seagull");
  gull->SetPosition(VisVector_cl(101, 0, 0));  // beyond 100 in x and y
  WildLifeManager::GetInstance()->AddBird(gull);
  Frame();
  EXPECT_EQ(gm->GetSeagullSound(), nullptr);

  gull->SetPosition(VisVector_cl(60, 80, 40));  // 100 in x and y, whatever the height
  Frame();
  VSoundObject* cry = gm->GetSeagullSound();
  ASSERT_NE(cry, nullptr);
  EXPECT_TRUE(cry->IsPlaying());
  EXPECT_NE(cry->GetStateFlags() & VSOUND_KEPT, 0);
  gull->SetPosition(VisVector_cl(10, 10, 40));
  Frame();
  EXPECT_EQ(cry->GetPosition().x, 10.0f);

  gull->Remove();
  Vision::Game.FreeRemovedEntities();
  Frame();
  EXPECT_TRUE(cry->IsPaused());
  auto* another = new AnimalEntity();
  another->SetEntityKey("Seagull");
  WildLifeManager::GetInstance()->AddBird(another);
  Frame();
  EXPECT_EQ(gm->GetSeagullSound(), cry);
  EXPECT_FALSE(cry->IsPaused());
  SoundManager::CleanInstance();
  GameManager::CleanInstance();
  VSoundManager::GlobalManager().SetInitialized(false);
  Vision::File.RemoveAllDataDirectories();
}

TEST_F(GameManagerTest, NameTagKeyTagsShipsWithinRangeOnce) {
  ShipEntity* player = MakePlayerShip(100, 100);
  ShipEntity* near = new ShipEntity();
  ShipEntity* far = new ShipEntity();
  near->SetPosition(VisVector_cl(100, 50, 0));
  far->SetPosition(VisVector_cl(200, 0, 0));
  Nation* pirates = AddNation(2, "Pirate");
  pirates->AddShip(near);
  pirates->AddShip(far);
  gm->SetPlayTheGame(true);

  Vision::Key.InjectKey(VGLK_NAMETAG, -1, true);
  Frame();
  Frame();
  EXPECT_NE(player->Components<NameTagComponent>(), nullptr);
  EXPECT_NE(near->Components<NameTagComponent>(), nullptr);
  EXPECT_EQ(far->Components<NameTagComponent>(), nullptr);
  EXPECT_EQ(near->GetComponentCount(), 1);
}

TEST_F(GameManagerTest, MissionFreeTimeCountsOnlyWhileNotPausedAndTwentyShipsUnlock) {
  MakePlayerShip(100, 100);
  gm->SetPlayTheGame(true);
  Frame();
  EXPECT_FLOAT_EQ(AchievementValue(13), kStep);
  PauseManager::GetInstance()->SetGamePause(true);
  Frame();
  EXPECT_FLOAT_EQ(AchievementValue(13), kStep);
  PauseManager::GetInstance()->SetGamePause(false);

  EXPECT_FALSE(AchievementManager::GetInstance()->IsUnlocked(39));
  for (int i = 0; i < 19; ++i) gm->GetPlayerNation()->AddShip(new ShipEntity());
  Frame();
  EXPECT_TRUE(AchievementManager::GetInstance()->IsUnlocked(39));
}

TEST_F(GameManagerTest, CampaignEndCountdownEndsTheCampaignOnce) {
  LogCapture log;
  gm->SetPlayTheGame(true);
  gm->EndCampaign(0.15f);
  Frame();
  EXPECT_FALSE(log.Contains("EndCampaign"));
  Frame();
  Frame();
  EXPECT_FLOAT_EQ(gm->GetCampaignEndCountdown(), 0.0f);
  EXPECT_EQ(log.Matching("MissionManager::EndCampaign(1, 0)").size(), 1u);
}

TEST(GameManagerPlayerDiedTest, CountdownMovesTheCameraThenRestartsTheCampaignAndClosesTheFade) {
  // No saved games: the campaign starts afresh.
  ScratchDataFolder documents;
  ScopedEnv docs("ENGINE_DOCUMENTS_DIR", documents.Path().c_str());
  GuiTestEnvironment env;
  env.Start(0.1f);
  GUIManager* gui = env.StartGui();
  gui->ShowFrame(WT_PAUSE);
  gui->ShowWindow(WT_FADE_OUT, nullptr);
  ASSERT_NE(gui->FindWindowA(WT_FADE_OUT), nullptr);
  LogCapture log;
  GameManager* gm = GameManager::GetInstance();
  gm->SetPlayTheGame(true);
  Vision::Camera.SetPosition(VisVector_cl(0, 0, 10));
  gm->PlayerDiedLoadSave(0.15f);
  env.Frame();
  gm->Update();
  // Forward along the viewing direction (the first axis) at 5 units per second.
  EXPECT_NEAR(Vision::Camera.GetPosition().x, 0.5f, 1e-5f);
  EXPECT_FALSE(log.Contains("Campaign("));
  env.Frame();
  gm->Update();
  EXPECT_FLOAT_EQ(gm->GetPlayerDiedCountdown(), 0.0f);
  // Ended without the menu, then started again; nothing to load.
  const std::vector<std::string> campaign = log.Matching("MissionManager::");
  ASSERT_GE(campaign.size(), 2u);
  EXPECT_NE(campaign.front().find("EndCampaign(0, 0)"), std::string::npos);
  EXPECT_EQ(log.Matching("MissionManager::StartCampaign()").size(), 1u);
  EXPECT_FALSE(log.Contains("LoadGame("));
  // The fade frame goes after the GUI update, so the screen is not left black.
  env.Frame();
  EXPECT_EQ(gui->FindWindowA(WT_FADE_OUT), nullptr);
  gm->Update();
  EXPECT_EQ(log.Matching("MissionManager::StartCampaign()").size(), 1u);

  GameManager::CleanInstance();
  SaveGameManagerProto::CleanInstance();
  Vision::Camera.SetPosition(VisVector_cl(0, 0, 0));
  env.Stop();
}

TEST_F(GameManagerTest, FollowCameraKeyNeedsTheLandCameraEntity) {
  gm->SetLocation(1);
  Vision::Key.InjectKey(-1, 33, true);
  Frame();
  EXPECT_FALSE(gm->GetFollowCameraState());
  Vision::Key.InjectKey(-1, 33, false);

  VisBaseEntity_cl* camera = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));
  camera->SetEntityKey("CameraEntity");
  auto* recorder = new MessageRecorder();
  camera->AddComponent(recorder);
  for (int press = 0; press < 2; ++press) {
    Vision::Key.InjectKey(-1, 33, true);
    Frame();
    Vision::Key.InjectKey(-1, 33, false);
    Vision::Key.Poll();
  }
  EXPECT_EQ(recorder->ids, (std::vector<int>{127, 128}));
  EXPECT_FALSE(gm->GetFollowCameraState());
}

// Scene collectables ----------------------------------------------------------------

class SceneCollectablesTest : public GameManagerTest {
 protected:
  CollectableEntity* Place(const char* key, const VisVector_cl& position) {
    CollectableEntity* item = new CollectableEntity();
    item->SetEntityKey(key);
    item->SetPosition(position);
    item->m_sHighlightEffect = "Particles\\glow.xml";
    return item;
  }
  std::vector<CollectableEntity*> Alive(const std::vector<CollectableEntity*>& items) {
    std::vector<CollectableEntity*> alive;
    for (CollectableEntity* item : items)
      if (!item->IsMarkedRemoved()) alive.push_back(item);
    return alive;
  }
};

TEST_F(SceneCollectablesTest, OneRandomWindCharmStaysWhenNotOwned) {
  std::set<float> winners;
  for (unsigned seed = 1; seed <= 12; ++seed) {
    VSeedRandom(seed);
    std::vector<CollectableEntity*> charms;
    for (int i = 0; i < 3; ++i) charms.push_back(Place("WindCharm", VisVector_cl((float)i * 50, 0, 0)));
    gm->SetLocation(1);
    gm->SetPlayTheGame(true);
    std::vector<CollectableEntity*> alive = Alive(charms);
    ASSERT_EQ(alive.size(), 1u);
    EXPECT_TRUE(alive[0]->IsHighlightRunning());
    winners.insert(alive[0]->GetPosition().x);
    gm->SetPlayTheGame(false);
    Vision::World.UnloadWorld();
  }
  // The draw is random: over a dozen seeds more than one charm wins.
  EXPECT_GE(winners.size(), 2u);
}

TEST_F(SceneCollectablesTest, WindCharmsGoWhenThePlayerOwnsOne) {
  auto* owned = new CollectableEntityTemplate();
  owned->m_sKey = "WindCharm";
  GameSessionManager::GetInstance()->AddCollectable(owned);
  std::vector<CollectableEntity*> charms = {Place("WindCharm", VisVector_cl(0, 0, 0)),
                                            Place("WindCharm", VisVector_cl(9, 0, 0))};
  gm->SetLocation(1);
  gm->SetPlayTheGame(true);
  EXPECT_TRUE(Alive(charms).empty());
}

TEST_F(SceneCollectablesTest, CollectedEyepatchesGoAndTheOthersGlow) {
  GameSessionManager::GetInstance()->AddEyepatchTown(nullptr, VisVector_cl(100, 100, 0));
  // Only x and y count: squared distance 85 goes, exactly 100 stays.
  CollectableEntity* taken = Place("Eyepatch", VisVector_cl(106, 107, 30));
  CollectableEntity* waiting = Place("Eyepatch", VisVector_cl(106, 108, 0));
  gm->SetLocation(1);
  gm->SetPlayTheGame(true);
  EXPECT_TRUE(taken->IsMarkedRemoved());
  EXPECT_FALSE(waiting->IsMarkedRemoved());
  EXPECT_TRUE(waiting->IsHighlightRunning());
}

TEST_F(SceneCollectablesTest, NothingHappensAtSea) {
  std::vector<CollectableEntity*> charms = {Place("WindCharm", VisVector_cl(0, 0, 0)),
                                            Place("WindCharm", VisVector_cl(9, 0, 0))};
  gm->SetLocation(2);
  gm->SetPlayTheGame(true);
  EXPECT_EQ(Alive(charms).size(), 2u);
}

}  // namespace
