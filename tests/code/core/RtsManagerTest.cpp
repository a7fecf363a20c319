// The land-battle manager: the land camera's set-up, the enemy soldiers the player
// sees, the escape area, the battle music, leaving the battle and the range queries.
#include "core/RtsManager.h"

#include "Managers/GameSessionManager.h"
#include "Managers/MusicManager.h"
#include "Managers/SoundManager.h"
#include "Managers/SpeechManager.h"
#include "components/CameraInputComponent.h"
#include "components/CameraModeComponent.h"
#include "components/CarryComponent.h"
#include "components/UnitContainerComponent.h"
#include "components/LandBattleCameraComponent.h"
#include "core/GameManager.h"
#include "core/Player.h"
#include "entities/CameraEntity.h"
#include "entities/CollectableEntity.h"
#include "entities/Nation.h"
#include "entities/SoldierEntity.h"
#include "entities/SoldierStats.h"
#include "entities/UnitEntity.h"
#include "support/SoundTestEnvironment.h"
#include "util/ComponentSetup.h"

#include "engine/Vision.h"
#include "engine/core/TriggerBoxEntity.h"
#include "engine/sound/VSoundObject.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const int kPlayer = 1, kEnemy = 2, kBystander = 3;

class RtsManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A land-camera script of our own in front of the bundled data (which has the
    // battle music).
    m_dir = std::filesystem::temp_directory_path() / ("rts_" + std::to_string(::getpid()));
    std::filesystem::create_directories(m_dir / "scripts");
    std::ofstream(m_dir / "scripts" / "LandBattleCameraScript.lua") << "function OnCreate(self) end\n";
    Vision::File.RemoveAllDataDirectories();
    ASSERT_TRUE(Vision::File.AddDataDirectory(m_dir.c_str()));
    ASSERT_TRUE(Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data"));
    Vision::File.ClearCache();
    Vision::Timer.SetFixedTimeStep(0.1f);
    Vision::Timer.Update();

    rts.OneTimeInit();
    gm = GameManager::GetInstance();
    AddNation(0, "Neutral");
    AddNation(kPlayer, "Player")->AddEnemy(kEnemy);
    AddNation(kEnemy, "Enemy")->AddEnemy(kPlayer);
    AddNation(kBystander, "Bystander");
    gm->SetLocation(1);
  }
  void TearDown() override {
    rts.SetViewRangeEnabled(false);
    Vision::Camera.Detach();
    VSoundManager::GlobalManager().SetListenerCamera(nullptr);
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(&rts);
    Vision::Game.RemoveAllEntities();
    rts.OneTimeDeInit();
    for (void (*clean)() : {&GameManager::CleanInstance, &GameSessionManager::CleanInstance,
                            &MusicManager::CleanInstance, &SoundManager::CleanInstance,
                            &SpeechManager::CleanInstance})
      clean();
    Vision::GetScriptManager()->Reset();
    Vision::Timer.SetFixedTimeStep(0.0f);
    std::filesystem::remove_all(m_dir);
  }

  Nation* AddNation(int id, const char* name) {
    auto* nation = new Nation(id, name);
    gm->AddNation(nation);
    return nation;
  }
  // A unit of the nation whose soldiers stand at the positions.
  UnitEntity* MakeUnit(int nation, const std::vector<VisVector_cl>& positions) {
    const std::string params = "m_iNation=\"" + std::to_string(nation) + "\",m_iNumSoldiers=\"" +
                               std::to_string(positions.size()) + "\"";
    auto* unit = static_cast<UnitEntity*>(
        Vision::Game.CreateEntity("UnitEntity", positions.empty() ? VisVector_cl(0, 0, 0) : positions[0], nullptr,
                                  params.c_str()));
    EXPECT_EQ(unit->GetNumSoldiers(), (int)positions.size());
    for (size_t i = 0; i < positions.size() && i < unit->GetSoldiers().size(); ++i)
      unit->GetSoldiers()[i]->SetPosition(positions[i]);
    return unit;
  }
  void GiveViewRange(UnitEntity* unit, float range) {
    for (SoldierEntity* soldier : unit->GetSoldiers()) {
      m_records.push_back(std::make_unique<SoldierStats>());
      m_records.back()->m_CombatSkills.m_fViewRange = range;
      soldier->SetStats(m_records.back().get());
    }
  }
  int TimesListed(const SoldierEntity* soldier) const {
    int n = 0;
    for (int i = 0; i < rts.GetVisibleCharacterCount(); ++i)
      if (rts.GetVisibleCharacters().Get((unsigned)i) == soldier) ++n;
    return n;
  }
  static int CameraEntities() {
    VisEntityCollection_cl found;
    return Vision::Game.SearchEntity("CameraEntity", found);
  }
  static MusicManager* Music() { return MusicManager::GetInstance(); }

  SoundTestEnvironment sound;
  std::filesystem::path m_dir;
  RtsManager& rts = RtsManager::GlobalManager();
  GameManager* gm = nullptr;
  std::vector<std::unique_ptr<SoldierStats>> m_records;
};

// Entering ---------------------------------------------------------------------------

TEST_F(RtsManagerTest, EnteringTwiceSetsUpOneLandCameraWithItsComponentsListenerAndView) {
  VisBaseEntity_cl* marker = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(10, 20, 30));
  marker->SetEntityKey("CameraStartPosition");
  marker->SetOrientation(45, 0, 0);

  rts.SetLandBattle(true);
  rts.SetLandBattle(true);
  ASSERT_TRUE(rts.IsInLandBattle());
  ASSERT_EQ(CameraEntities(), 1);

  VisBaseEntity_cl* camera = Vision::Game.SearchEntity("CameraEntity");
  ASSERT_TRUE(camera->IsOfType(CameraEntity_cl::GetClassTypeId()));
  ASSERT_EQ(camera->GetComponentCount(), 3);
  EXPECT_TRUE(camera->GetComponent(0)->IsOfType(CameraModeComponent::GetClassTypeId()));
  EXPECT_TRUE(camera->GetComponent(1)->IsOfType(LandBattleCameraComponent::GetClassTypeId()));
  EXPECT_TRUE(camera->GetComponent(2)->IsOfType(CameraInputComponent::GetClassTypeId()));
  EXPECT_NE(Vision::GetScriptManager()->GetScriptInstance(camera->GetComponent(1)), nullptr)
      << "the land camera carries its script";

  EXPECT_FLOAT_EQ(camera->GetPosition().x, 10.0f);
  EXPECT_FLOAT_EQ(camera->GetPosition().y, 20.0f);
  EXPECT_FLOAT_EQ(camera->GetOrientation().x, 45.0f);
  EXPECT_TRUE(marker->IsMarkedRemoved());

  EXPECT_EQ(Vision::Camera.GetAttachedEntity(), camera);
  EXPECT_EQ(VSoundManager::GlobalManager().GetListenerCamera(), &Vision::Camera);
  float fovX = 0.0f, fovY = 0.0f;
  VisRenderContext_cl::GetCurrentContext()->GetFOV(fovX, fovY);
  EXPECT_FLOAT_EQ(fovY, RtsManager::kLandCameraFovY);
}

TEST_F(RtsManagerTest, TheCameraStartsAtTheFirstMarkerFoundOrAtTheOrigin) {
  struct Case {
    bool startPosition, startupPosition;
    float expectedX;
  };
  for (const Case& c : {Case{false, false, 0.0f}, Case{false, true, 7.0f}, Case{true, true, 3.0f}}) {
    SCOPED_TRACE(std::to_string(c.startPosition) + "/" + std::to_string(c.startupPosition));
    if (c.startupPosition)
      Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(7, 0, 30))->SetEntityKey("StartupCameraPosition");
    if (c.startPosition)
      Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(3, 0, 30))->SetEntityKey("CameraStartPosition");
    rts.SetLandBattle(true);
    VisBaseEntity_cl* camera = Vision::Game.SearchEntity("CameraEntity");
    ASSERT_NE(camera, nullptr);
    EXPECT_FLOAT_EQ(camera->GetPosition().x, c.expectedX);
    rts.ExitLandBattle();
    Vision::Camera.Detach();
    Vision::Game.RemoveAllEntities();
  }
}

// Visible characters -------------------------------------------------------------------

TEST_F(RtsManagerTest, WithTheViewRangeOffEveryOtherSoldierIsShownAndListedOnce) {
  MakeUnit(kPlayer, {VisVector_cl(0, 0, 0)});
  UnitEntity* enemies = MakeUnit(kEnemy, {VisVector_cl(500, 0, 0), VisVector_cl(510, 0, 0)});
  UnitEntity* bystanders = MakeUnit(kBystander, {VisVector_cl(-500, 0, 0)});
  for (SoldierEntity* s : enemies->GetSoldiers()) s->SetVisibleBitmask(0);

  rts.UpdateVisibleCharacters();
  EXPECT_EQ(rts.GetVisibleCharacterCount(), 3);
  for (const UnitEntity* unit : {enemies, bystanders})
    for (const SoldierEntity* s : unit->GetSoldiers()) {
      EXPECT_EQ(TimesListed(s), 1);
      EXPECT_EQ(s->GetVisibleBitmask(), 0xffffffffu);
    }
  EXPECT_GE(rts.GetVisibleCharacters().GetSize(), RtsManager::kVisibleCharacterSlots);
  EXPECT_EQ(rts.GetVisibleCharacters().Get(3), nullptr) << "the rest of the slots are empty";
}

TEST_F(RtsManagerTest, WithTheViewRangeOnASoldierIsListedOncePerPlayerSoldierThatSeesIt) {
  // Four within 10 of the near enemy: three with records, one without; a fifth at
  // exactly 10 (not closer than the range).
  UnitEntity* own = MakeUnit(kPlayer, {VisVector_cl(5, 0, 0), VisVector_cl(0, 5, 0), VisVector_cl(0, 0, 5),
                                       VisVector_cl(1, 0, 0), VisVector_cl(0, -10, 0)});
  GiveViewRange(own, 10.0f);
  own->GetSoldiers()[3]->SetStats(nullptr);
  UnitEntity* enemies = MakeUnit(kEnemy, {VisVector_cl(0, 0, 0), VisVector_cl(100, 0, 0)});
  SoldierEntity* near = enemies->GetSoldiers()[0];
  SoldierEntity* far = enemies->GetSoldiers()[1];

  rts.SetViewRangeEnabled(true);
  rts.UpdateVisibleCharacters();
  EXPECT_EQ(TimesListed(near), 3);
  EXPECT_EQ(near->GetVisibleBitmask(), 0xffffffffu);
  EXPECT_EQ(TimesListed(far), 0);
  EXPECT_EQ(far->GetVisibleBitmask(), 0u) << "hidden";
  EXPECT_EQ(rts.GetVisibleCharacterCount(), 3);

  // The list starts afresh each frame.
  own->GetSoldiers()[0]->SetPosition(VisVector_cl(50, 0, 0));
  rts.UpdateVisibleCharacters();
  EXPECT_EQ(TimesListed(near), 2);
  EXPECT_EQ(rts.GetVisibleCharacterCount(), 2);
}

// Escape area --------------------------------------------------------------------------

TEST_F(RtsManagerTest, AnEscapeAreaWithoutAContainerCountsThePlayerInsideAndIsForgottenWhenDestroyed) {
  MakeUnit(kPlayer, {VisVector_cl(900, 0, 0)});
  rts.SetLandBattle(true);
  rts.Initialize();
  EXPECT_EQ(rts.GetEscapeArea(), nullptr);
  rts.Update();
  EXPECT_TRUE(rts.IsPlayerIsInsideEscapeArea()) << "no area at all";
  EXPECT_EQ(rts.GetUnitsInsideEscapeArea(), 0);

  auto* area = static_cast<TriggerBoxEntity_cl*>(Vision::Game.CreateEntity("TriggerBoxEntity_cl", VisVector_cl(0, 0, 0)));
  area->SetEntityKey("EscapeArea");
  rts.Initialize();
  ASSERT_EQ(rts.GetEscapeArea(), area);
  rts.Update();
  EXPECT_TRUE(rts.IsPlayerIsInsideEscapeArea());
  EXPECT_EQ(rts.GetUnitsInsideEscapeArea(), 0);

  area->Remove();
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(rts.GetEscapeArea(), nullptr);
}

TEST_F(RtsManagerTest, TheEscapeAreasContainerCountsThePlayersUnitsInsideAndTheirLootIsDelivered) {
  auto* area = static_cast<TriggerBoxEntity_cl*>(Vision::Game.CreateEntity("TriggerBoxEntity_cl", VisVector_cl(0, 0, 0)));
  area->SetEntityKey("EscapeArea");
  area->SetBox(VisVector_cl(10, 10, 10));
  auto* container = new UnitContainerComponent();
  ASSERT_TRUE(area->AddComponent(container));
  UnitEntity* own = MakeUnit(kPlayer, {VisVector_cl(50, 0, 0), VisVector_cl(51, 0, 0)});
  UnitEntity* enemy = MakeUnit(kEnemy, {VisVector_cl(2, 2, 0)});
  rts.SetLandBattle(true);
  rts.Initialize();
  ASSERT_EQ(rts.GetEscapeArea(), area);
  SoldierEntity* porter = own->GetSoldierAtIndex(0);
  auto* carry = ComponentSetup::AddNew<CarryComponent>(porter);
  auto* loot = static_cast<CollectableEntity*>(Vision::Game.CreateEntity("CollectableEntity", VisVector_cl(50, 1, 0)));
  carry->StartCarry(loot);

  Vision::Game.RunThinkFunctions();
  rts.Update();
  EXPECT_FALSE(rts.IsPlayerIsInsideEscapeArea()) << "only the enemy stands inside";
  EXPECT_EQ(rts.GetUnitsInsideEscapeArea(), 0);
  EXPECT_EQ(container->GetUnitCount(enemy), 1);
  EXPECT_FALSE(loot->IsMarkedRemoved());

  porter->SetPosition(VisVector_cl(3, 0, 0));
  Vision::Game.RunThinkFunctions();
  rts.Update();
  EXPECT_EQ(container->GetUnitCount(own), 1);
  EXPECT_EQ(rts.GetUnitsInsideEscapeArea(), 1);
  EXPECT_TRUE(rts.IsPlayerIsInsideEscapeArea()) << "one unit expected: the player's character";
  EXPECT_FALSE(carry->IsCarrying());
  EXPECT_TRUE(loot->IsMarkedRemoved()) << "delivered: used and gone";
}

// Battle music and leaving ---------------------------------------------------------------

TEST_F(RtsManagerTest, ASeenEnemyStartsTheBattleMusicAndLosingItFadesItOut) {
  Music()->AddBattleMusic("music\\battle.wav", 0.8f);
  UnitEntity* own = MakeUnit(kPlayer, {VisVector_cl(0, 0, 0)});
  GiveViewRange(own, 10.0f);
  MakeUnit(kBystander, {VisVector_cl(1, 0, 0)});
  UnitEntity* enemies = MakeUnit(kEnemy, {VisVector_cl(50, 0, 0)});
  rts.SetViewRangeEnabled(true);

  rts.Update();
  EXPECT_EQ(Music()->GetMusicType(), MusicManager::MUSIC_NONE) << "a seen soldier of a nation at peace";

  enemies->GetSoldiers()[0]->SetPosition(VisVector_cl(5, 0, 0));
  rts.Update();
  ASSERT_EQ(Music()->GetMusicType(), MusicManager::MUSIC_BATTLE);
  VSmartPtr<VSoundObject> track = Music()->GetChannel(Music()->GetCurrentChannelIndex()).m_spInstance;
  ASSERT_NE(track.GetPtr(), nullptr);

  enemies->GetSoldiers()[0]->SetPosition(VisVector_cl(50, 0, 0));
  rts.Update();
  EXPECT_EQ(Music()->GetMusicType(), MusicManager::MUSIC_BATTLE_ENDING);
  EXPECT_TRUE(track->IsFadingOut());
  EXPECT_FLOAT_EQ(track->GetFadeDuration(), 5.0f);
}

TEST_F(RtsManagerTest, LeavingDuringBattleMusicFadesItEmptiesThePlayersListsAndStopsThePerFrameStep) {
  Music()->AddBattleMusic("music\\battle.wav", 0.8f);
  UnitEntity* own = MakeUnit(kPlayer, {VisVector_cl(0, 0, 0)});
  MakeUnit(kEnemy, {VisVector_cl(5, 0, 0)});
  rts.SetLandBattle(true);
  Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(&rts);
  SoundTestEnvironment::Frame(0.1f);
  ASSERT_EQ(Music()->GetMusicType(), MusicManager::MUSIC_BATTLE) << "the per-frame step runs";
  Player* player = rts.GetPlayer();
  player->SetSelected(own);
  ASSERT_EQ(player->GetPlayerUnitCount(), 1);
  ASSERT_EQ(player->GetEnemyUnitCount(), 1);

  rts.ExitLandBattle();
  EXPECT_FALSE(rts.IsInLandBattle());
  EXPECT_EQ(Music()->GetMusicType(), MusicManager::MUSIC_BATTLE_ENDING);
  EXPECT_EQ(player->GetNumSelected(), 0);
  EXPECT_EQ(player->GetPlayerUnitCount(), 0);
  EXPECT_EQ(player->GetEnemyUnitCount(), 0);
  EXPECT_FALSE(Vision::Callbacks.OnUpdateSceneBegin.IsRegistered(&rts));
}

// Queries ------------------------------------------------------------------------------

TEST_F(RtsManagerTest, TheClosestEnemyInRangeIsTheNearestSoldierOfAnotherNationStrictlyInside) {
  MakeUnit(kPlayer, {VisVector_cl(1, 0, 0)});
  UnitEntity* enemies = MakeUnit(kEnemy, {VisVector_cl(0, 3, 0), VisVector_cl(0, 0, 2)});
  UnitEntity* bystanders = MakeUnit(kBystander, {VisVector_cl(0, 0, -4)});
  const VisVector_cl origin(0, 0, 0);

  EXPECT_EQ(rts.GetClosestEnemyInRange(origin, 10.0f, kPlayer), enemies->GetSoldiers()[1]);
  EXPECT_EQ(rts.GetClosestEnemyInRange(origin, 2.0f, kPlayer), nullptr) << "at exactly the range";
  EXPECT_EQ(rts.GetClosestEnemyInRange(origin, 10.0f, kEnemy)->GetNation(), kPlayer);
  EXPECT_EQ(rts.GetClosestEnemyInRange(VisVector_cl(0, 0, -5), 10.0f, kPlayer), bystanders->GetSoldiers()[0])
      << "any other nation";
  EXPECT_EQ(rts.GetClosestEnemyInRange(origin, 10.0f, 0), nullptr);
}

TEST_F(RtsManagerTest, EnemySoldiersInRangeFillTheFreeSlotsWithTheNationsEnemiesOnly) {
  MakeUnit(kPlayer, {VisVector_cl(1, 0, 0)});
  UnitEntity* enemies = MakeUnit(kEnemy, {VisVector_cl(0, 3, 0), VisVector_cl(0, 0, 2), VisVector_cl(0, 5, 0)});
  MakeUnit(kBystander, {VisVector_cl(0, 0, -4)});
  DynArray_cl<SoldierEntity*> out;
  SoldierEntity* kept = enemies->GetSoldiers()[2];
  out[1] = kept;

  rts.GetEnemySoldiersInRange(kPlayer, VisVector_cl(0, 0, 0), 5.0f, out);
  EXPECT_EQ(out.GetValidSize(), 3u);
  EXPECT_EQ(out.Get(0), enemies->GetSoldiers()[0]);
  EXPECT_EQ(out.Get(1), kept) << "a filled slot stays";
  EXPECT_EQ(out.Get(2), enemies->GetSoldiers()[1]);

  DynArray_cl<SoldierEntity*> none;
  rts.GetEnemySoldiersInRange(kBystander, VisVector_cl(0, 0, 0), 50.0f, none);
  rts.GetEnemySoldiersInRange(9, VisVector_cl(0, 0, 0), 50.0f, none);
  EXPECT_EQ(none.GetValidSize(), 0u) << "a nation at peace, a nation without a record";
}

}  // namespace
