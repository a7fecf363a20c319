// The town manager: the world towns and their searches, entering and leaving a
// town, the streams that keep the world map and the town scenes, and its block.
#include "support/ArchiveRoundTrip.h"
#include "support/ScriptBindingFixture.h"
#include "support/ShipTestWorld.h"

#include "core/GameManager.h"
#include "components/DestructableBuildingComponent.h"
#include "components/ShipMovementComponent.h"
#include "components/StorageComponentProto.h"
#include "core/ComponentMessages.h"
#include "entities/BuildingBaseEntity.h"
#include "entities/CameraEntity.h"
#include "entities/CollectableEntity.h"
#include "entities/CollectableEntityTemplate.h"
#include "entities/PlayerStats.h"
#include "entities/ShipStats.h"
#include "entities/TownEntity.h"
#include "gui/GUIManager.h"
#include "Managers/AchievementManager.h"
#include "Managers/FogOfWarManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/TownManager.h"
#include "Managers/TutorialManager.h"
#include "util/MathTools.h"

#include "engine/Vision.h"
#include "engine/base/VArchive.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

using archive_test::ByteWriter;
using archive_test::Bytes;

// Loading a town loads its scene file, which empties the world: the town scene's own
// entities come from that file, and world towns that must outlive it from the towns
// zone, both written into the test's data folder.
void WriteDataFile(const std::filesystem::path& root, const std::string& name, const std::string& text) {
  std::filesystem::create_directories((root / name).parent_path());
  std::ofstream(root / name) << text;
  Vision::File.ClearCache();
}
void WriteScene(const std::filesystem::path& root, const std::string& name, const std::string& entities) {
  WriteDataFile(root, name, "<scene>\n" + entities + "</scene>\n");
}
void WriteTownsZone(const std::filesystem::path& root, const std::string& entities) {
  WriteDataFile(root, "scenes/world01/World.vscene_data/Towns.vzone", "<zone>\n" + entities + "</zone>\n");
}
std::string TownXml(const char* key, const char* position, const char* script, int id = 0) {
  std::string xml = std::string("<entity class=\"TownEntity\" key=\"") + key + "\"";
  if (id) xml += " id=\"" + std::to_string(id) + "\"";
  return xml + " position=\"" + position + "\">\n  <var name=\"m_iNation\" value=\"0\"/>\n" +
         "  <var name=\"m_sTownScript\" value=\"" + script + "\"/>\n</entity>\n";
}
TownEntity* FindTown(const char* key) {
  VisBaseEntity_cl* e = Vision::Game.SearchEntity(key);
  return e && e->IsOfType(TownEntity::GetClassTypeId()) ? static_cast<TownEntity*>(e) : nullptr;
}
const char* const kHarbourXml = "<entity key=\"PlayerShip\" position=\"40/20/0\" orientation=\"90/0/0\"/>\n";

class TownManagerTest : public ScriptBindingFixture {
 protected:
  void SetUp() override {
    ScriptBindingFixture::SetUp();
    if (HasFatalFailure()) return;
    Write("scripts/Port.lua",
          "sSceneFile = 'scenes\\\\port\\\\Port.vscene'\niSceneType = 2\nsNameKey = 'str_TOWN_PORT'\n"
          "bIsAccessible = true\niMaxCollectables = 4\nbFogOfWar = true\n");
    Write("scripts/Colony.lua", "sSceneFile = 'scenes\\\\colony\\\\Colony.vscene'\niSceneType = 6\n");
    Write("scripts/Closed.lua", "bIsAccessible = false\n");
    Write("scripts/Sceneless.lua", "iSceneType = 3\n");
    tm = TownManager::GetInstance();
  }
  void ReleaseAfterEntities() override {
    TownManager::CleanInstance();
    // The towns zone's entities leave at the end of a frame; no frame follows.
    Vision::Game.FreeRemovedEntities();
    FogOfWarManager::CleanInstance();
    AchievementManager::CleanInstance();
    TutorialManager::CleanInstance();
    GameSessionManager::CleanInstance();
    GUIManager::CleanInstance();
    MathTools::SetUseFixedRandom(false);
    Vision::Timer.SetTime(0.0f);
    ScriptBindingFixture::ReleaseAfterEntities();
  }

  TownEntity* MakeTown(const char* key, const VisVector_cl& pos, const char* script = "scripts/Port.lua",
                       const char* className = "TownEntity", int nation = 0) {
    auto* town = static_cast<TownEntity*>(Vision::Game.CreateEntity(className, pos));
    town->SetEntityKey(key);
    town->SetNation(nation);
    town->SetScript(script);
    return town;
  }
  // Makes the towns world towns.
  void WorldMap() { tm->Initialize(); }

  TownManager* tm = nullptr;
};

// ---- world towns and searches ------------------------------------------------------

TEST_F(TownManagerTest, InitializeTakesEveryTownOfTheSceneOutOfTraceLinesOnce) {
  TownEntity* port = MakeTown("Port", VisVector_cl(100, 0, 0));
  TownEntity* cave = MakeTown("Cave", VisVector_cl(0, 100, 0), "scripts/Closed.lua", "StrongholdEntity");
  Vision::Game.CreateEntity("BaseEntity", VisVector_cl(0, 0, 0));
  port->SetClickTraceAccuracy(VIS_TRACEACC_OBOX);
  GameManager::GetInstance()->AddTraceEntity(port);
  WorldMap();
  WorldMap();
  ASSERT_EQ(tm->GetWorldTowns(), (std::vector<TownEntity*>{port, cave}));
  ASSERT_NE(tm->GetTownsZone(), nullptr);
  for (TownEntity* town : tm->GetWorldTowns()) {
    EXPECT_EQ(town->IsWorldLevelTown(), 1);
    EXPECT_EQ(town->CanTrace(), 0);
    EXPECT_EQ(town->GetTraceAccuracy(), VIS_TRACEACC_NOCOLLISION);
    EXPECT_EQ(town->GetClickTraceAccuracy(), VIS_TRACEACC_NOCOLLISION);
  }

  tm->HideTownEntites();
  EXPECT_EQ(port->GetVisibleBitmask(), 0u);
  tm->ShowTownEntites();
  EXPECT_EQ(cave->GetVisibleBitmask(), 0xffffffffu);

  // A town freed by the engine leaves the lists.
  cave->Remove();
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(tm->GetWorldTowns(), (std::vector<TownEntity*>{port}));

  tm->GetCurrentTownInfo().name = "Port";
  tm->SetCurrentTown(port);
  tm->DeInitialize();
  EXPECT_TRUE(tm->GetWorldTowns().empty());
  EXPECT_EQ(tm->GetTownsZone(), nullptr);
  const TownInfo& info = tm->GetCurrentTownInfo();
  EXPECT_TRUE(info.name.IsEmpty());
  EXPECT_EQ(info.town, nullptr);
  EXPECT_EQ(info.maxCollectables, 2);
}

TEST_F(TownManagerTest, TheNearestTownMustLieStrictlyWithinRange) {
  TownEntity* far = MakeTown("Far", VisVector_cl(0, 80, 0));
  TownEntity* near = MakeTown("Near", VisVector_cl(50, 0, 0));
  TownEntity* twin = MakeTown("Twin", VisVector_cl(-50, 0, 0));
  WorldMap();
  GameManager::GetInstance()->SetLocation(0);
  const VisVector_cl origin(0, 0, 0);
  EXPECT_EQ(tm->GetNearestTown(origin, 50.0f), nullptr) << "exactly at the range is outside";
  EXPECT_EQ(tm->GetNearestTown(origin, 50.01f), near) << "a tie keeps the earlier town";
  EXPECT_EQ(tm->GetNearestTown(VisVector_cl(0, 70, 0), 100.0f), far);
  near->Remove();
  EXPECT_EQ(tm->GetNearestTown(origin, 60.0f), twin) << "a town marked removed is skipped";

  DynArray_cl<TownEntity*> inRange;
  tm->GetTownsWithinRange(origin, 50.0f, &inRange);
  EXPECT_EQ(inRange.GetValidSize(), 2u) << "the range itself counts for the range list";
  tm->GetTownsWithinRange(origin, 10.0f, nullptr);
}

TEST_F(TownManagerTest, OnLandOnlyTheTownsOfTheSceneAreSearchedByTheirBoxes) {
  WriteTownsZone(m_dir, TownXml("World", "5/0/0", "scripts/Port.lua", 9001));
  WriteScene(m_dir, "scenes/port/Port.vscene", TownXml("Local", "30/0/0", "scripts/Sceneless.lua"));
  WorldMap();
  TownEntity* world = FindTown("World");
  ASSERT_NE(world, nullptr);
  tm->LoadTown("scenes\\port\\Port.vscene", 2, "Local", 0);
  TownEntity* local = FindTown("Local");
  ASSERT_NE(local, nullptr);
  ASSERT_EQ(FindTown("World"), world) << "the zone's town outlives the scene change";
  ASSERT_EQ(tm->GetLocalTowns(), (std::vector<TownEntity*>{local}));
  GameManager::GetInstance()->SetLocation(1);
  EXPECT_EQ(tm->GetNearestTown(VisVector_cl(0, 0, 0), 31.0f), local);
  EXPECT_EQ(tm->GetNearestTown(VisVector_cl(0, 0, 0), 30.0f), nullptr);
  GameManager::GetInstance()->SetLocation(0);
  EXPECT_EQ(tm->GetNearestTown(VisVector_cl(0, 0, 0), 30.0f), world);
}

TEST_F(TownManagerTest, RandomTownsAndTownsByNation) {
  MathTools::SetUseFixedRandom(true);
  TownEntity* only = MakeTown("Only", VisVector_cl(0, 0, 0), "scripts/Port.lua", "TownEntity", 3);
  WorldMap();
  EXPECT_EQ(tm->GetRandomTown(-1), only);
  EXPECT_EQ(tm->GetRandomTown(3), only);
  EXPECT_EQ(tm->GetRandomTown(4), nullptr) << "a nation without towns gives up after its draws";

  TownEntity* second = MakeTown("Second", VisVector_cl(9, 0, 0), "scripts/Port.lua", "TownEntity", 4);
  WorldMap();
  MathTools::SetUseFixedRandom(false);
  EXPECT_EQ(tm->GetRandomTown(4), second);
  DynArray_cl<TownEntity*> all, fours;
  tm->CollectTowns(&all, -1);
  tm->CollectTowns(&fours, 4);
  tm->CollectTowns(nullptr, 4);
  EXPECT_EQ(all.GetValidSize(), 2u);
  ASSERT_EQ(fours.GetValidSize(), 1u);
  EXPECT_EQ(fours.Get(0), second);
}

TEST_F(TownManagerTest, TheNearestStrongholdCanBeLimitedToAccessibleOnes) {
  MakeTown("Port", VisVector_cl(1, 0, 0));
  TownEntity* closed = MakeTown("Closed", VisVector_cl(10, 0, 0), "scripts/Closed.lua", "StrongholdEntity");
  TownEntity* open = MakeTown("Open", VisVector_cl(5000, 0, 0), "scripts/Port.lua", "StrongholdEntity");
  WorldMap();
  const VisVector_cl origin(0, 0, 0);
  EXPECT_EQ(tm->GetNearestStronghold(origin, false), closed);
  EXPECT_EQ(tm->GetNearestStronghold(origin, true), open);
  open->Remove();
  EXPECT_EQ(tm->GetNearestStronghold(origin, true), nullptr);
}

// ---- entering and leaving --------------------------------------------------------------

TEST_F(TownManagerTest, WithoutASceneFileATownVisitChangesNothing) {
  MakeTown("Sceneless", VisVector_cl(0, 0, 0), "scripts/Sceneless.lua");
  FogOfWarManager::GetInstance()->SetEnabled(true);
  for (const char* key : {"Nowhere", "Sceneless", ""}) {
    tm->LoadTown("", 0, key, 7);
    tm->LoadSeaScene(nullptr, 0, key);
    const TownInfo& info = tm->GetCurrentTownInfo();
    EXPECT_TRUE(info.name.IsEmpty()) << key;
    EXPECT_EQ(info.town, nullptr) << key;
    EXPECT_EQ(info.maxCollectables, 2) << key;
  }
  EXPECT_TRUE(FogOfWarManager::GetInstance()->IsEnabled());
}

TEST_F(TownManagerTest, EnteringATownTakesItsValuesHarbourAndLocalTowns) {
  WriteTownsZone(m_dir, TownXml("Port", "0/0/0", "scripts/Port.lua", 9001));
  // The town scene's own entities.
  WriteScene(m_dir, "scenes/port/Port.vscene",
             kHarbourXml + TownXml("Gate", "5/5/0", "scripts/Sceneless.lua") +
                 TownXml("Market", "9/5/0", "scripts/Sceneless.lua"));
  WorldMap();
  TownEntity* port = FindTown("Port");
  ASSERT_NE(port, nullptr);

  tm->LoadTown("", 0, "Port", 9);
  VisBaseEntity_cl* harbour = Vision::Game.SearchEntity("PlayerShip");
  ASSERT_NE(harbour, nullptr);
  TownEntity* gate = FindTown("Gate");
  TownEntity* market = FindTown("Market");
  ASSERT_NE(gate, nullptr);
  ASSERT_NE(market, nullptr);
  const TownInfo& info = tm->GetCurrentTownInfo();
  EXPECT_STREQ(info.name.AsChar(), "Port");
  EXPECT_EQ(info.sceneType, 2);
  EXPECT_EQ(info.maxCollectables, 4) << "the town's own count, not the caller's";
  EXPECT_EQ(info.town, port);
  EXPECT_TRUE(FogOfWarManager::GetInstance()->IsEnabled());
  EXPECT_EQ(harbour->GetVisibleBitmask(), 0u);
  EXPECT_TRUE(tm->GetHarbourPosition().IsEqual(VisVector_cl(40, 20, 0), 1e-4f));
  EXPECT_EQ(tm->GetLocalTowns(), (std::vector<TownEntity*>{market, gate})) << "walked from the last entity";
  EXPECT_EQ(tm->GetPlayerShip(), nullptr) << "no player ship to moor";
  EXPECT_FALSE(AchievementManager::GetInstance()->IsUnlocked(19));

  // Leaving: "none" stored items, the town stream saved, the town forgotten, no fog.
  tm->ExitTown();
  int stored = 0;
  ASSERT_TRUE(port->GetScriptValue("iCurrentItemsInBuilding", stored));
  EXPECT_EQ(stored, -1);
  EXPECT_NE(tm->FindTownStream("Port"), nullptr);
  EXPECT_TRUE(tm->GetLocalTowns().empty());
  EXPECT_TRUE(info.name.IsEmpty());
  EXPECT_EQ(info.town, nullptr);
  EXPECT_EQ(info.sceneType, 0);
  EXPECT_EQ(info.maxCollectables, 2);
  EXPECT_FALSE(FogOfWarManager::GetInstance()->IsEnabled());
}

TEST_F(TownManagerTest, AColonyIsAnAchievementAndGivenSceneValuesAreKept) {
  WriteTownsZone(m_dir, TownXml("Colony", "0/0/0", "scripts/Colony.lua", 9001));
  WriteScene(m_dir, "scenes/colony/Colony.vscene", "");
  WriteScene(m_dir, "scenes/x/X.vscene", "");
  WorldMap();
  TownEntity* colony = FindTown("Colony");
  ASSERT_NE(colony, nullptr);
  tm->LoadTown("", 0, "Colony", 0);
  EXPECT_EQ(tm->GetCurrentTownInfo().sceneType, 6);
  EXPECT_EQ(tm->GetCurrentTownInfo().maxCollectables, 0) << "a script without the count gives 0";
  EXPECT_TRUE(AchievementManager::GetInstance()->IsUnlocked(19));
  EXPECT_FALSE(FogOfWarManager::GetInstance()->IsEnabled());

  // A scene file from the caller: its values stand, the town is looked up by key.
  tm->LoadTown("scenes\\x\\X.vscene", 1, "Colony", 5);
  EXPECT_EQ(tm->GetCurrentTownInfo().sceneType, 1);
  EXPECT_EQ(tm->GetCurrentTownInfo().maxCollectables, 5);
  EXPECT_EQ(tm->GetCurrentTownInfo().town, colony);
  tm->LoadSeaScene("scenes\\1\\1.vscene", 3, "Unknown");
  EXPECT_STREQ(tm->GetCurrentTownInfo().name.AsChar(), "Unknown");
  EXPECT_EQ(tm->GetCurrentTownInfo().town, nullptr);
  EXPECT_EQ(tm->GetCurrentTownInfo().maxCollectables, 5) << "a sea scene keeps the collectable count";
}

// ---- town streams ------------------------------------------------------------------------

TEST_F(TownManagerTest, ATownStreamIsKeptPerSceneAndAlwaysClosed) {
  LogCapture warnings;
  tm->SaveState("");
  EXPECT_EQ(tm->GetTownStreamCount(), 0);
  tm->LoadState("Never");  // a town never visited keeps its scene's buildings
  tm->SaveState("Port");
  tm->SaveState("Port");
  tm->SaveState("Cove");
  EXPECT_EQ(tm->GetTownStreamCount(), 2);
  SerializableStream* port = tm->FindTownStream("Port");
  ASSERT_NE(port, nullptr);
  tm->LoadState("Port");
  EXPECT_FALSE(warnings.Contains("TownManager::LoadState"));
  EXPECT_EQ(port->GetMemoryStream()->GetRefCount(), 1) << "the reader is closed";

  // A damaged end tag: a warning, the stream still closed.
  std::vector<uint8_t>& bytes = port->GetMemoryStream()->GetBuffer();
  bytes[bytes.size() - 1] = 'X';
  tm->LoadState("Port");
  EXPECT_TRUE(warnings.Contains("TownManager::LoadState(Port)"));
  EXPECT_EQ(port->GetMemoryStream()->GetRefCount(), 1);
}

// ---- the world stream ------------------------------------------------------------------

class WorldStreamTest : public TownManagerTest {
 protected:
  // A saved record entity, a saved whole entity, an unsaved one and a camera.
  void BuildWorld() {
    rock = Vision::Game.CreateEntity("StaticEntity", VisVector_cl(10, 20, 0));
    rock->SetEntityKey("Rock");
    rock->SetOrientation(45, 0, 0);
    static_cast<BaseEntity*>(rock)->SetSave(1);
    barrel = Vision::Game.CreateEntity("BaseEntity", VisVector_cl(-5, 3, 1));
    barrel->SetEntityKey("Barrel");
    static_cast<BaseEntity*>(barrel)->SetSave(1);
    Vision::Game.CreateEntity("BaseEntity", VisVector_cl(0, 0, 0))->SetEntityKey("Unsaved");
    Vision::Game.CreateEntity("CameraEntity_cl", VisVector_cl(1, 2, 3))->SetEntityKey("WorldCamera");
  }
  // What the world clearing does to the saved entities (ClearWorld empties the rest).
  static void ForgetSavedEntities() {
    for (const char* key : {"Rock", "Barrel", "WorldCamera"})
      if (VisBaseEntity_cl* e = Vision::Game.SearchEntity(key)) e->Remove();
    Vision::Game.FreeRemovedEntities();
  }
  static int LiveEntities() {
    int n = 0;
    for (VisBaseEntity_cl* e : Vision::Game.GetEntities()) n += e && !e->IsMarkedRemoved();
    return n;
  }

  VisBaseEntity_cl* rock = nullptr;
  VisBaseEntity_cl* barrel = nullptr;
};

TEST_F(WorldStreamTest, TheWorldMapComesBackAsItWasLeft) {
  BuildWorld();
  Vision::Timer.SetTime(42.5f);
  tm->SaveWorldState();
  ASSERT_NE(tm->GetWorldStream(), nullptr);
  ForgetSavedEntities();
  Vision::Timer.SetTime(0.0f);

  tm->LoadWorldState();
  EXPECT_FLOAT_EQ(Vision::Timer.GetTime(), 42.5f);
  VisBaseEntity_cl* newRock = Vision::Game.SearchEntity("Rock");
  ASSERT_NE(newRock, nullptr);
  EXPECT_TRUE(newRock->IsOfType(StaticEntity::GetClassTypeId()));
  EXPECT_TRUE(newRock->GetPosition().IsEqual(VisVector_cl(10, 20, 0), 1e-4f));
  EXPECT_NEAR(newRock->GetOrientation().x, 45.0f, 1e-3f);
  VisBaseEntity_cl* newBarrel = Vision::Game.SearchEntity("Barrel");
  ASSERT_NE(newBarrel, nullptr);
  EXPECT_TRUE(newBarrel->GetPosition().IsEqual(VisVector_cl(-5, 3, 1), 1e-4f));
  EXPECT_EQ(static_cast<BaseEntity*>(newBarrel)->GetSave(), 1);
  VisBaseEntity_cl* camera = Vision::Game.SearchEntity("WorldCamera");
  ASSERT_NE(camera, nullptr);
  EXPECT_TRUE(camera->IsOfType(CameraEntity_cl::GetClassTypeId()));
  EXPECT_EQ(Vision::Camera.GetAttachedEntity(), camera) << "the main camera rides the saved camera again";
  EXPECT_EQ(tm->GetWorldStream()->GetMemoryStream()->GetRefCount(), 1) << "the reader is closed";

  // Not part of the world stream: the world towns and the unsaved entity.
  VisEntityCollection_cl unsaved;
  EXPECT_EQ(Vision::Game.SearchEntity("Unsaved", unsaved), 1);
}

TEST_F(WorldStreamTest, ADamagedWorldStreamLeavesTheSceneAsItsFileBuiltIt) {
  BuildWorld();
  Vision::Timer.SetTime(42.5f);
  tm->SaveWorldState();
  Vision::Timer.SetTime(7.0f);
  std::vector<uint8_t>& bytes = tm->GetWorldStream()->GetMemoryStream()->GetBuffer();
  bytes[bytes.size() - 2] = 'X';
  const int before = LiveEntities();

  LogCapture warnings;
  tm->LoadWorldState();
  EXPECT_TRUE(warnings.Contains("TownManager::LoadWorldState()"));
  EXPECT_EQ(LiveEntities(), before) << "nothing read from the stream stays";
  EXPECT_EQ(Vision::Game.SearchEntity("Rock"), rock);
  EXPECT_EQ(Vision::Game.SearchEntity("Barrel"), barrel);
  EXPECT_FLOAT_EQ(Vision::Timer.GetTime(), 7.0f);
  EXPECT_EQ(tm->GetWorldStream()->GetMemoryStream()->GetRefCount(), 1) << "the reader is closed";

  // A stream never written reads nothing.
  tm->Reset();
  tm->LoadWorldState();
  EXPECT_EQ(LiveEntities(), before);
}

// ---- random collectables -----------------------------------------------------------------

TEST_F(TownManagerTest, RandomCollectablesComeFromTheGameScriptBySceneTypeAndQuality) {
  tm->GetCurrentTownInfo().maxCollectables = 60;
  tm->GetCurrentTownInfo().sceneType = 3;
  tm->SpawnRandomCollectables();  // no game script: nothing

  Write("scripts/Coin.lua", "");
  const std::string text =
      "calls, empty, wrongType, badQuality = 0, 0, 0, 0\n"
      "function GetRandomLandCollectableScript(sceneType, quality)\n"
      "  calls = calls + 1\n"
      "  if sceneType ~= 3 then wrongType = wrongType + 1 end\n"
      "  if quality < 1 or quality > 3 then badQuality = badQuality + 1 end\n"
      "  if quality == 3 then empty = empty + 1 return '' end\n"
      "  return 'scripts/Coin.lua'\n"
      "end\n";
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  IVScriptInstance* game = scripts->CreateScriptInstanceFromText("GameScript.lua", text.c_str(), text.size());
  ASSERT_NE(game, nullptr);
  scripts->SetGameScript(game);
  tm->SpawnRandomCollectables();
  int calls = 0, empty = 0, wrongType = 0, badQuality = 0;
  ASSERT_TRUE(game->GetGlobal("calls", calls));
  game->GetGlobal("empty", empty);
  game->GetGlobal("wrongType", wrongType);
  game->GetGlobal("badQuality", badQuality);
  int made = 0;
  for (VisBaseEntity_cl* e : Vision::Game.GetEntities())
    made += e && !e->IsMarkedRemoved() && e->IsOfType(CollectableEntity::GetClassTypeId());
  scripts->SetGameScript(nullptr);
  EXPECT_GT(calls, 0);
  EXPECT_LT(calls, 60) << "about three slots in ten stay empty";
  EXPECT_EQ(wrongType, 0);
  EXPECT_EQ(badQuality, 0);
  EXPECT_EQ(made, calls - empty) << "an empty script name skips the slot";
}

// ---- the save-game block -------------------------------------------------------------

TEST_F(TownManagerTest, TheBlockKeepsTownStreamsAndWorldTowns) {
  TownEntity* port = MakeTown("Port", VisVector_cl(3, 4, 0));
  port->SetNation(2);
  WorldMap();
  tm->SaveState("Port");
  tm->SaveState("Cove");
  const Bytes bytes = archive_test::SaveBytes([&](VArchive& ar) { ar << *tm; });
  tm->Reset();
  tm->DeInitialize();

  ASSERT_TRUE(archive_test::LoadBytes(bytes, [&](VArchive& ar) { ar >> *tm; }));
  EXPECT_EQ(tm->GetTownStreamCount(), 2);
  ASSERT_NE(tm->FindTownStream("Cove"), nullptr);
  EXPECT_GT(tm->FindTownStream("Cove")->GetMemoryStream()->GetSize(), 0);
  ASSERT_EQ(tm->GetWorldTowns().size(), 1u);
  TownEntity* read = tm->GetWorldTowns()[0];
  EXPECT_NE(read, port) << "a first reference makes the town anew";
  EXPECT_EQ(read->GetNation(), 2);
  EXPECT_EQ(read->IsWorldLevelTown(), 1);
}

TEST_F(TownManagerTest, OlderBlocksCarryLessAndADamagedBlockChangesNothing) {
  MakeTown("Port", VisVector_cl(0, 0, 0));
  WorldMap();
  tm->SaveState("Port");
  const Bytes v1 = ByteWriter().Str("ARCH").U8(1).Str("EOA");
  ASSERT_TRUE(archive_test::LoadBytes(v1, [&](VArchive& ar) { EXPECT_TRUE(tm->SerializeX(ar)); }));
  EXPECT_EQ(tm->GetTownStreamCount(), 1) << "version 1 holds no streams";
  EXPECT_EQ(tm->GetWorldTowns().size(), 1u);

  const Bytes v2 = ByteWriter().Str("ARCH").U8(2).U32(0).Str("EOA");
  ASSERT_TRUE(archive_test::LoadBytes(v2, [&](VArchive& ar) { EXPECT_TRUE(tm->SerializeX(ar)); }));
  EXPECT_EQ(tm->GetTownStreamCount(), 0) << "version 2 rebuilds the streams";
  EXPECT_EQ(tm->GetWorldTowns().size(), 1u) << "but holds no towns";

  tm->SaveState("Port");
  const Bytes damaged[] = {
      ByteWriter().Str("ARCH").U8(3).U32(0).I32(0).Str("EOB"),
      ByteWriter().Str("ARCH").U8(3).U32(100000).Get(),
      ByteWriter().Str("ARCH").U8(4).Get(),
  };
  for (const Bytes& block : damaged) {
    archive_test::ReadArchive ar(block);
    EXPECT_FALSE(tm->SerializeX(*ar));
    EXPECT_EQ(tm->GetTownStreamCount(), 1);
    EXPECT_EQ(tm->GetWorldTowns().size(), 1u);
  }
}

// ---- ships around a town visit ----------------------------------------------------------

class TownShipsTest : public ShipTestWorld {
 protected:
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    TownManager::CleanInstance();
    FogOfWarManager::CleanInstance();
    AchievementManager::CleanInstance();
    TutorialManager::CleanInstance();
    GUIManager::CleanInstance();
    ShipTestWorld::TearDown();
  }
};

TEST_F(TownShipsTest, ThePlayersShipWaitsAtTheHarbourWhileHeIsAshore) {
  TownManager* tm = TownManager::GetInstance();
  ShipStats stats;
  stats.SetScript(kSloopScript);
  tm->SetPlayerShip(&stats);
  EXPECT_EQ(tm->GetPlayerShip(), nullptr) << "no harbour yet";

  WriteScene(m_dir, "scenes/port/Port.vscene", kHarbourXml);
  tm->LoadTown("scenes\\port\\Port.vscene", 2, "Port", 0);
  tm->SetPlayerShip(nullptr);
  EXPECT_EQ(tm->GetPlayerShip(), nullptr);
  tm->SetPlayerShip(&stats);
  ShipEntity* first = tm->GetPlayerShip();
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(first->GetEntityKey(), "PlayerShipEntity");
  EXPECT_TRUE(first->GetPosition().IsEqual(VisVector_cl(40, 20, 0), 1e-3f));
  EXPECT_NEAR(first->GetOrientation().x, 90.0f, 1e-3f);
  EXPECT_EQ(first->GetNation(), 0);
  EXPECT_EQ(first->GetSave(), 0);

  tm->SetPlayerShip(&stats);
  EXPECT_TRUE(first->IsMarkedRemoved()) << "one moored ship at a time";
  ShipEntity* second = tm->GetPlayerShip();
  ASSERT_NE(second, nullptr);
  tm->ExitTown();
  EXPECT_EQ(tm->GetPlayerShip(), nullptr);
  EXPECT_TRUE(second->IsMarkedRemoved());
}

TEST_F(TownShipsTest, LeavingTheWorldMapKeepsShipsInTheirRecordsNotInTheStream) {
  GameManager::GetInstance()->SetLocation(0);
  ShipEntity* hero = MakeSloop("Hero", 1, VisVector_cl(100, 50, 0), 30.0f, true);
  ASSERT_NE(hero, nullptr);
  ASSERT_NE(hero->GetStats(), nullptr);
  hero->GetStats()->SetPlayerShip(true);
  ShipEntity* other = MakeSloop("Other", 2, VisVector_cl(-70, 10, 0));
  ASSERT_NE(other, nullptr);
  Vision::Game.SendMsg(hero, VIS_MSG_USER_SHIP_FULLSAILS);
  TownManager* tm = TownManager::GetInstance();
  tm->GetCurrentTownInfo().name = "Port";

  tm->SaveWorldState();
  for (ShipEntity* ship : {hero, other}) {
    EXPECT_TRUE(ship->GetStats()->GetSavedPosition().IsEqual(ship->GetPosition(), 1e-3f)) << ship->GetEntityKey();
    EXPECT_NE(ship->GetStats()->GetComponentStream(), nullptr) << ship->GetEntityKey();
  }
  EXPECT_STREQ(hero->GetStats()->GetLocation().AsChar(), "Port") << "the player's ship lies at the town";
  EXPECT_STREQ(other->GetStats()->GetLocation().AsChar(), "");
  ShipMovementComponent* movement = hero->Components<ShipMovementComponent>();
  ASSERT_NE(movement, nullptr);
  EXPECT_FLOAT_EQ(movement->GetSpeedWithCurrentSails(), movement->GetSpeedNoSails()) << "sails furled";
  EXPECT_NEAR(movement->GetCurrentHeading(), hero->GetOrientation().x, 1e-3f);

  auto ships = [] {
    int n = 0;
    for (VisBaseEntity_cl* e : Vision::Game.GetEntities())
      n += e && !e->IsMarkedRemoved() && e->IsOfType(ShipEntity::GetClassTypeId());
    return n;
  };
  const int before = ships();
  tm->LoadWorldState();
  EXPECT_EQ(ships(), 0) << "the world is cleared and its stream holds no ship";
  // As the return to the world map does: the player's ships, then the others.
  GameSessionManager* session = GameSessionManager::GetInstance();
  const std::vector<ShipStats*>& own = session->GetPlayer()->GetPlayerShips();
  session->SpawnShips(std::set<ShipStats*>(own.begin(), own.end()));
  session->SpawnShips(session->GetNPCShips());
  EXPECT_EQ(ships(), before) << "ships come back from their records, not from the world stream";
}

// ---- buildings ---------------------------------------------------------------------------

std::string BuildingXml(const char* key, bool storage, bool destructable = true) {
  std::string xml = std::string("<entity class=\"BuildingBaseEntity\" key=\"") + key + "\" position=\"10/10/0\">\n";
  // The storage first: the destructible component puts its barrel into it.
  if (storage) xml += "  <component class=\"StorageComponentProto\"/>\n";
  if (destructable) xml += "  <component class=\"DestructableBuildingComponent\"/>\n";
  return xml + "</entity>\n";
}
BuildingBaseEntity* FindBuilding(const char* key) {
  VisBaseEntity_cl* e = Vision::Game.SearchEntity(key);
  return e && e->IsOfType(BuildingBaseEntity::GetClassTypeId()) ? static_cast<BuildingBaseEntity*>(e) : nullptr;
}
int BuildingCount() {
  int n = 0;
  for (VisBaseEntity_cl* e : Vision::Game.GetEntities())
    n += e && !e->IsMarkedRemoved() && e->IsOfType(BuildingBaseEntity::GetClassTypeId());
  return n;
}
StorageComponentProto* StorageOf(BuildingBaseEntity* b) { return b->Components<StorageComponentProto>(); }
DestructableBuildingComponent* HitPointsOf(BuildingBaseEntity* b) { return b->Components<DestructableBuildingComponent>(); }

TEST_F(TownManagerTest, ATownLeftAndEnteredAgainGetsItsBuildingsBackAndRefillsTheirStorages) {
  Write("scripts/Haven.lua",
        "sSceneFile = 'scenes\\\\haven\\\\Haven.vscene'\niSceneType = 2\n"
        "fMoneyBarrelBornInterval = 60\niMaxItemsInBuilding = 4\n");
  WriteTownsZone(m_dir, TownXml("Haven", "0/0/0", "scripts/Haven.lua", 9001));
  WriteScene(m_dir, "scenes/haven/Haven.vscene",
             BuildingXml("Tavern", true) + BuildingXml("Mill", true) + BuildingXml("Shed", false) +
                 BuildingXml("Hut", true, false));
  WorldMap();
  TownEntity* haven = FindTown("Haven");
  ASSERT_NE(haven, nullptr);
  tm->LoadTown("", 0, "Haven", 0);
  ASSERT_EQ(BuildingCount(), 4);
  BuildingBaseEntity* tavern = FindBuilding("Tavern");
  ASSERT_NE(tavern, nullptr);
  ASSERT_EQ(StorageOf(tavern)->GetCollectableCount(), 1u) << "the scene's barrel";
  for (int i = 0; i < 5; ++i) HitPointsOf(tavern)->AddDropItem();
  StorageOf(FindBuilding("Mill"))->ClearCollectables();
  HitPointsOf(FindBuilding("Mill"))->SetHitPoints(40);
  HitPointsOf(FindBuilding("Shed"))->SetHitPoints(0);
  // Not a storage building of the town: it has no hit points.
  for (int i = 0; i < 9; ++i) StorageOf(FindBuilding("Hut"))->AddCollectable(new CollectableEntityTemplate());

  tm->ExitTown();
  int average = 0;
  ASSERT_TRUE(haven->GetScriptValue("iCurrentItemsInBuilding", average));
  EXPECT_EQ(average, 2) << "6 items, none and a ruin (whose barrel storage its hit points made)";

  tm->LoadTown("", 0, "Haven", 0);
  EXPECT_EQ(BuildingCount(), 4) << "the saved buildings in place of the scene's";
  tavern = FindBuilding("Tavern");
  BuildingBaseEntity* mill = FindBuilding("Mill");
  BuildingBaseEntity* shed = FindBuilding("Shed");
  ASSERT_TRUE(tavern && mill && shed);
  EXPECT_EQ(StorageOf(tavern)->GetCollectableCount(), 6u) << "no new barrel for a restored building";
  EXPECT_EQ(StorageOf(mill)->GetCollectableCount(), 0u);
  EXPECT_EQ(HitPointsOf(mill)->GetHitPoints(), 40);
  EXPECT_EQ(StorageOf(FindBuilding("Hut"))->GetCollectableCount(), 9u);
  EXPECT_FALSE(shed->IsAlive());

  // Refilled up to the average, and only below the town's maximum; the ruin gets none.
  tm->InitBuildings(120.0f);
  EXPECT_EQ(StorageOf(tavern)->GetCollectableCount(), 6u);
  EXPECT_EQ(StorageOf(mill)->GetCollectableCount(), 2u);
  EXPECT_EQ(StorageOf(shed)->GetCollectableCount(), 0u);
  tm->RespawnBuildings();
  EXPECT_TRUE(shed->IsAlive());
  EXPECT_EQ(HitPointsOf(shed)->GetHitPoints(), HitPointsOf(shed)->GetHitPointsMax());
  EXPECT_NE(shed->GetVisibleBitmask(), 0u);
}

TEST_F(TownManagerTest, TheStorageAverageCountsRuinsAsEmptyAndIsCappedAtFive) {
  TownEntity* town = MakeTown("Port", VisVector_cl(0, 0, 0));
  const struct {
    std::vector<int> items;  // per storage building; negative: a ruin
    int average;
  } cases[] = {{{}, -1}, {{7}, 5}, {{4, -1}, 2}, {{3, 2, 2}, 2}};
  for (const auto& c : cases) {
    tm->SetCurrentTown(town);
    for (int items : c.items) {
      auto* b = static_cast<BuildingBaseEntity*>(Vision::Game.CreateEntity("BuildingBaseEntity", VisVector_cl(0, 0, 0)));
      auto* storage = new StorageComponentProto();
      ASSERT_TRUE(b->AddComponent(storage));
      auto* hp = new DestructableBuildingComponent();
      hp->SetDropItems(0);
      ASSERT_TRUE(b->AddComponent(hp));
      for (int i = 0; i < (items < 0 ? 3 : items); ++i) storage->AddCollectable(new CollectableEntityTemplate());
      if (items < 0) hp->SetHitPoints(0);
    }
    tm->ExitTown();
    int average = 0;
    ASSERT_TRUE(town->GetScriptValue("iCurrentItemsInBuilding", average));
    EXPECT_EQ(average, c.average) << c.items.size() << " buildings";
    for (VisBaseEntity_cl* e : Vision::Game.GetEntities())
      if (e && e->IsOfType(BuildingBaseEntity::GetClassTypeId())) e->Remove();
    Vision::Game.FreeRemovedEntities();
  }
}

TEST_F(TownManagerTest, ADamagedTownStreamLeavesTheScenesBuildingsStanding) {
  for (const char* key : {"Tavern", "Mill"}) {
    auto* b = static_cast<BuildingBaseEntity*>(Vision::Game.CreateEntity("BuildingBaseEntity", VisVector_cl(0, 0, 0)));
    b->SetEntityKey(key);
    ASSERT_TRUE(b->AddComponent(new DestructableBuildingComponent()));
  }
  tm->SaveState("Cove");
  const std::vector<uint8_t> whole = tm->FindTownStream("Cove")->GetMemoryStream()->GetBuffer();
  BuildingBaseEntity* tavern = FindBuilding("Tavern");
  BuildingBaseEntity* mill = FindBuilding("Mill");

  struct Damage {
    const char* what;
    void (*apply)(std::vector<uint8_t>&);
  } damages[] = {
      {"end tag", [](std::vector<uint8_t>& b) { b[b.size() - 1] = 'X'; }},
      {"cut short", [](std::vector<uint8_t>& b) { b.resize(b.size() - 12); }},
      // "ARCH" (4 + 4 bytes) and the version, then the count.
      {"count beyond the stream", [](std::vector<uint8_t>& b) { b[12 + 3] = 0x40; }},
  };
  for (const Damage& damage : damages) {
    SCOPED_TRACE(damage.what);
    std::vector<uint8_t>& bytes = tm->FindTownStream("Cove")->GetMemoryStream()->GetBuffer();
    bytes = whole;
    damage.apply(bytes);
    LogCapture warnings;
    tm->LoadState("Cove");
    EXPECT_TRUE(warnings.Contains("TownManager::LoadState(Cove)"));
    EXPECT_EQ(BuildingCount(), 2);
    EXPECT_EQ(FindBuilding("Tavern"), tavern);
    EXPECT_EQ(FindBuilding("Mill"), mill);
  }
  tm->FindTownStream("Cove")->GetMemoryStream()->GetBuffer() = whole;
  tm->LoadState("Cove");
  EXPECT_EQ(BuildingCount(), 2);
  EXPECT_NE(FindBuilding("Tavern"), nullptr);
  EXPECT_NE(FindBuilding("Tavern"), tavern) << "made again from the stream";
}

}  // namespace
