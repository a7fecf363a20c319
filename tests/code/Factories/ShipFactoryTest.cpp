// Making ships: through the "GameManager" script table and the factory (names,
// nations, player and AI ships, refused nation slots), and the component archive
// a ship's record keeps for it.
#include "Factories/ShipFactory.h"

#include "components/AIShipComponent.h"
#include "components/DamageTextureComponent.h"
#include "components/NoiseListenerComponent.h"
#include "components/PlayerInputComponent.h"
#include "components/ShipBattleComponent.h"
#include "components/ShipFXComponent.h"
#include "components/ShipMovementComponent.h"
#include "components/ShipPathComponent.h"
#include "components/ShipSailComponent.h"
#include "components/ShipSpeechComponent.h"
#include "components/StorageComponentProto.h"
#include "entities/ClothEntity.h"
#include "entities/CollectableEntityTemplate.h"
#include "entities/PlayerStats.h"
#include "entities/TownEntity.h"
#include "entities/ShipStats.h"
#include "support/ArchiveRoundTrip.h"
#include "support/CountingPath.h"
#include "support/ShipTestWorld.h"

#include "engine/physics/vPhysXRigidBody.h"
#include "engine/core/VisRenderContext.h"
#include "engine/render/VisRenderer.h"
#include "engine/render/VisWorldRenderer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace archive_test;

using ::testing::HasSubstr;

namespace {

class ShipFactoryTest : public ShipTestWorld {
 protected:
  ShipEntity* Global(const char* name) {
    lua_getglobal(L, name);
    void* object = LUA_GetNativeObject(L, -1, &ShipEntity_info);
    lua_pop(L, 1);
    return static_cast<ShipEntity*>(static_cast<VTypedObject*>(object));
  }
  static int LiveShips() {
    int n = 0;
    for (VisBaseEntity_cl* e : Vision::Game.GetEntities())
      n += e && !e->IsMarkedRemoved() && e->IsOfType(ShipEntity::GetClassTypeId());
    return n;
  }
  static int Records() {
    GameSessionManager* session = GameSessionManager::GetInstance();
    return session->GetNPCShipCount() + (int)session->GetPlayer()->GetPlayerShips().size();
  }
};

TEST_F(ShipFactoryTest, CreateShipWithOnlyAScriptMakesANeutralShipCalledNoKey) {
  ASSERT_EQ(Run("ship = GameManager.CreateShip(nil, 'scripts\\\\Ships\\\\TestSloop.lua')"), "");
  ShipEntity* ship = Global("ship");
  ASSERT_NE(ship, nullptr);
  EXPECT_STREQ(ship->GetObjectKey(), "NoKey");
  EXPECT_TRUE(ship->GetPosition().IsEqual(VisVector_cl(0, 0, 0), 1e-6f));
  EXPECT_NEAR(ship->GetOrientation().x, 0.0f, 1e-4f);
  EXPECT_EQ(ship->GetNation(), 0);
  EXPECT_EQ(ship->GetScriptFile(), "scripts\\Ships\\TestSloop.lua");
  EXPECT_EQ(ship->Components<AIShipComponent>(), nullptr);
  EXPECT_EQ(ship->Components<PlayerInputComponent>(), nullptr);
  EXPECT_NE(ship->Components<ShipSailComponent>(), nullptr);
  EXPECT_NE(ship->Components<DamageTextureComponent>(), nullptr);
  // At sea it hears noises and shows effects.
  EXPECT_NE(ship->Components<NoiseListenerComponent>(), nullptr);
  EXPECT_NE(ship->Components<ShipFXComponent>(), nullptr);
  ASSERT_NE(ship->Components<vPhysXRigidBody>(), nullptr);
  EXPECT_EQ(ship->Components<vPhysXRigidBody>()->GetCollisionBitmask(), 1u);

  // The campaign keeps a record under the ship's name and new unique id.
  ShipStats* record = ship->GetStats();
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->GetShipName(), "NoKey");
  EXPECT_EQ(record->GetUniqueID(), ship->GetUniqueID());
  EXPECT_NE(ship->GetUniqueID(), 0);
  // The sloop's script gave it hit points, its movement and battle components.
  EXPECT_EQ(record->GetHull().GetMaximum(), 120);
  EXPECT_EQ(record->GetHull().GetCurrent(), 120);
  EXPECT_NE(ship->Components<ShipMovementComponent>(), nullptr);
  EXPECT_NE(ship->Components<ShipBattleComponent>(), nullptr);
  EXPECT_EQ(Number("ship:GetHullHitpoints()"), 120);
}

TEST_F(ShipFactoryTest, PositionYawNationAndControlPickTheComponentsAndCollisionGroup) {
  ASSERT_EQ(Run("pirate = GameManager.CreateShip('Wolf', 'scripts\\\\Ships\\\\TestSloop.lua', Vector(10, 20, 0), 90, 2)\n"
                "escort = GameManager.CreateShip('Escort', 'scripts\\\\Ships\\\\TestSloop.lua', Vector(0, 50, 0), 0, 1)\n"
                "player = GameManager.CreateShip('Hero', 'scripts\\\\Ships\\\\TestSloop.lua', Vector(0, 0, 0), 0, 1, true)"),
            "");
  ShipEntity* pirate = Global("pirate");
  ShipEntity* escort = Global("escort");
  ShipEntity* player = Global("player");
  ASSERT_TRUE(pirate && escort && player);

  EXPECT_TRUE(pirate->GetPosition().IsEqual(VisVector_cl(10, 20, 0), 1e-5f));
  EXPECT_NEAR(pirate->GetOrientation().x, 90.0f, 1e-3f);
  EXPECT_EQ(pirate->GetNation(), 2);
  const VisBaseEntity_cl* pirateEntity = pirate;
  EXPECT_EQ(GameManager::GetInstance()->GetNation(2)->GetShips().Get(0), pirateEntity);

  // A ship of another nation, and a player-nation ship nobody steers, are AI ships.
  for (ShipEntity* ai : {pirate, escort}) {
    AIShipComponent* component = ai->Components<AIShipComponent>();
    ASSERT_NE(component, nullptr) << ai->GetObjectKey();
    EXPECT_EQ(component->GetAIMode(), AIShipComponent::AIMODE_IDLE);
    EXPECT_EQ(component->GetAttackTargetNation(), -1);
    EXPECT_EQ(ai->Components<PlayerInputComponent>(), nullptr);
    EXPECT_EQ(ai->Components<vPhysXRigidBody>()->GetCollisionBitmask(), 5u);
  }
  EXPECT_NE(player->Components<PlayerInputComponent>(), nullptr);
  EXPECT_EQ(player->Components<AIShipComponent>(), nullptr);
  EXPECT_EQ(player->Components<vPhysXRigidBody>()->GetCollisionBitmask(), 3u);

  // Records: the player nation's ships join the player's fleet.
  GameSessionManager* session = GameSessionManager::GetInstance();
  EXPECT_EQ(session->GetPlayer()->GetPlayerShips().size(), 2u);
  EXPECT_EQ(session->GetNPCShipCount(), 1);
}

TEST_F(ShipFactoryTest, AShipForAnEmptyNationSlotIsRefusedAndLeavesNothingBehind) {
  ASSERT_EQ(Run("lost = GameManager.CreateShip('Lost', 'scripts\\\\Ships\\\\TestSloop.lua', Vector(0, 0, 0), 0, 7)"), "");
  EXPECT_TRUE(Bool("lost == nil"));
  Frame();
  EXPECT_EQ(LiveShips(), 0);
  EXPECT_EQ(Records(), 0);

  ASSERT_EQ(Run("found = GameManager.CreateShip('Found', 'scripts\\\\Ships\\\\TestSloop.lua', Vector(0, 0, 0), 0, 2)"), "");
  EXPECT_FALSE(Bool("found == nil"));
  EXPECT_EQ(LiveShips(), 1);
  EXPECT_EQ(Records(), 1);
}

TEST_F(ShipFactoryTest, AnAIScriptGoesToTheShipsOneAIComponent) {
  Write("scripts/Patrol.lua", "patrolling = true\n");
  ASSERT_EQ(Run("a = GameManager.CreateShip('A', 'scripts\\\\Ships\\\\TestSloop.lua', nil, 0, 0, false, 'scripts/Patrol.lua')\n"
                "b = GameManager.CreateShip('B', 'scripts\\\\Ships\\\\TestSloop.lua', nil, 0, 2, false, 'scripts/Patrol.lua')"),
            "");
  for (const char* name : {"a", "b"}) {
    ShipEntity* ship = Global(name);
    ASSERT_NE(ship, nullptr);
    int ais = 0;
    for (int i = 0; i < ship->GetComponentCount(); ++i) ais += ship->GetComponent(i)->IsOfType(AIShipComponent::GetClassTypeId());
    EXPECT_EQ(ais, 1) << name;
    EXPECT_STREQ(ship->Components<AIShipComponent>()->GetScript(), "scripts/Patrol.lua");
    EXPECT_NE(ship->Components<ShipPathComponent>(), nullptr);
    IVScriptInstance* script = Vision::GetScriptManager()->GetScriptInstance(ship);
    ASSERT_NE(script, nullptr);
    bool patrolling = false;
    EXPECT_TRUE(script->GetGlobal("patrolling", patrolling));
    EXPECT_TRUE(patrolling);
  }
}

TEST_F(ShipFactoryTest, ScriptTableErrorsAndQueries) {
  EXPECT_THAT(Run("GameManager.CreateShip('NoScript')"),
              HasSubstr(ArgError(3, "CreateShip", "Expected const char *")));
  EXPECT_THAT(Run("GameManager.CreateRandomShip('R', Vector(0, 0, 0), 0)"),
              HasSubstr(ArgError(5, "CreateRandomShip", "Expected int")));
  EXPECT_EQ(LiveShips(), 0);

  // Random ships come from the nation's list of ship scripts.
  EXPECT_TRUE(Bool("GameManager.CreateRandomShip('R', Vector(0, 0, 0), 0, 2) == nil"));
  ASSERT_EQ(Run("GameManager.AddShipScriptToNation(2, 'scripts\\\\Ships\\\\TestSloop.lua')"), "");
  EXPECT_FALSE(Bool("GameManager.CreateRandomShip('R', Vector(30, 0, 0), 45, 2) == nil"));
  EXPECT_EQ(LiveShips(), 1);

  EXPECT_TRUE(Bool("GameManager.ShipsWithinRange(Vector(0, 0, 0), 31)"));
  EXPECT_FALSE(Bool("GameManager.ShipsWithinRange(Vector(0, 0, 0), 30)"));
  EXPECT_EQ(String("GameManager.GetShipLocation(424242)"), "");
}

TEST_F(ShipFactoryTest, RandomShipsOfATownComeFromItsOwnList) {
  TownEntity* town = static_cast<TownEntity*>(Vision::Game.CreateEntity("TownEntity", VisVector_cl(0, 0, 0)));
  ASSERT_NE(town, nullptr);
  LUA_PushObjectProxy(L, town);
  lua_setglobal(L, "town");
  ASSERT_EQ(Run("GameManager.AddShipScriptToTown(town, 'scripts\\\\Ships\\\\TestSloop.lua')"), "");
  ASSERT_EQ(town->GetShipScriptCount(), 1);
  ASSERT_EQ(Run("ship = GameManager.CreateRandomShipFromTown(town, 'Trader', Vector(5, 6, 0), 30, 2)"), "");
  ShipEntity* ship = Global("ship");
  ASSERT_NE(ship, nullptr);
  EXPECT_EQ(LiveShips(), 1);
  EXPECT_STREQ(ship->GetObjectKey(), "Trader");
  EXPECT_EQ(ship->GetScriptFile(), "scripts\\Ships\\TestSloop.lua");
  EXPECT_EQ(ship->GetNation(), 2);
  EXPECT_EQ(ship->GetPosition().x, 5.0f);
  EXPECT_EQ(ship->GetOrientation().x, 30.0f);
}

TEST_F(ShipFactoryTest, AShipMadeFromItsRecordGetsItsComponentsBack) {
  ShipEntity* ship = MakeSloop("Wolf", 2, VisVector_cl(40, 0, 0), 30.0f);
  ASSERT_NE(ship, nullptr);
  ship->Components<ShipMovementComponent>()->SetSpeedFactor(1.25f);
  ship->Components<ShipBattleComponent>()->SetGodMode(true);
  ship->Components<AIShipComponent>()->SetCanRemove(1);
  ship->Components<DamageTextureComponent>()->AddMark("hull.dds", VisVector_cl(0.25f, 0.5f, 0, 1));
  ShipStats* record = ship->GetStats();
  SaveGameManagerProto::OnBeforeSave.TriggerCallbacks();
  ASSERT_NE(record->GetComponentStream(), nullptr);
  const Bytes saved = record->GetComponentStream()->GetMemoryStream()->GetBuffer();

  // The record outlives its entity; the campaign makes the ship again from it and
  // finds the record by the ship's unique id.
  ship->SetStats(nullptr);
  ship->Remove();
  Frame();
  record->GetHull().SetCurrent(70);
  ShipEntity* again = ShipFactory::GetInstance()->CreateShip(record);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->GetStats(), record);
  EXPECT_EQ(record->GetHull().GetCurrent(), 70);  // the script leaves a kept record's hull alone
  EXPECT_STREQ(again->GetObjectKey(), "Wolf");
  EXPECT_TRUE(again->GetPosition().IsEqual(VisVector_cl(40, 0, 0), 1e-4f));
  EXPECT_FLOAT_EQ(again->Components<ShipMovementComponent>()->GetSpeedFactor(), 1.25f);
  EXPECT_EQ(again->Components<ShipBattleComponent>()->GetGodMode(), 1);
  EXPECT_EQ(again->Components<DamageTextureComponent>()->GetRecords().at("hull.dds").size(), 1u);
  // A removable NPC ship is kept by the content manager.
  EXPECT_TRUE(GameContentManager::GetInstance()->HasNPCShip(again));

  // Saved again, the state is the same byte for byte, and the stream's reader is gone.
  EXPECT_EQ(again->GetStats()->GetComponentStream()->GetMemoryStream()->GetRefCount(), 1);
  ShipFactory::GetInstance()->SaveShipComponents(again);
  EXPECT_EQ(again->GetStats()->GetComponentStream()->GetMemoryStream()->GetBuffer(), saved);
}

// A component archive by hand: "ARCH", version, the six component kinds absent,
// then the sails' damage blocks and the end.
ByteWriter ArchiveWithSails(int version, int sails, bool endTag = true) {
  ByteWriter w;
  w.Str("ARCH").I32(version);
  for (int i = 0; i < 6; ++i) w.I32(0);
  w.I32(sails);
  for (int i = 0; i < sails; ++i) {
    w.I32(1).Str("ARCH").U8(2).I32(1).Str("sail.dds").I32(1);
    w.F32(0.1f * (float)(i + 1)).F32(0.5f).F32(0).F32(1);
    w.Str("EOA");
  }
  if (endTag) w.Str("EOA");
  return w;
}

class ShipComponentArchiveTest : public ShipFactoryTest {
 protected:
  // A ship with a record and n sails, whose record's stream holds the bytes.
  ShipEntity* ShipWithArchive(int sails, const Bytes& archive) {
    ShipEntity* ship = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", VisVector_cl(0, 0, 0)));
    ship->SetStats(&record);
    for (int i = 0; i < sails; ++i)
      ship->GetSails()[i] = static_cast<ClothEntity*>(Vision::Game.CreateEntity("ClothEntity", VisVector_cl(0, 0, 0)));
    record.SetComponentStream(new SerializableStream("<ShipStream>"));
    IVFileOutStream* out = record.GetComponentStream()->Create("<ShipArchive>");
    out->Write(archive.data(), archive.size());
    out->Close();
    return ship;
  }
  int StreamReferences() { return record.GetComponentStream()->GetMemoryStream()->GetRefCount(); }

  ShipStats record;
};

TEST_F(ShipComponentArchiveTest, SavedSailsBeyondTheShipsAreReadAndDropped) {
  ShipEntity* ship = ShipWithArchive(1, ArchiveWithSails(Vision::GetArchiveVersion(), 3));
  ShipFactory::GetInstance()->LoadShipComponents(ship);
  DamageTextureComponent* damage = ship->GetSails()[0]->Components<DamageTextureComponent>();
  ASSERT_NE(damage, nullptr);
  ASSERT_EQ(damage->GetRecords().at("sail.dds").size(), 1u);
  EXPECT_FLOAT_EQ(damage->GetRecords().at("sail.dds")[0].x, 0.1f);
  EXPECT_FALSE(log.Contains("does not end with EOA"));
  EXPECT_EQ(StreamReferences(), 1);
}

TEST_F(ShipComponentArchiveTest, AnArchiveOfARejectedVersionRestoresNothing) {
  Vision::Error.SetAssertHandler(nullptr);
  const int asserts = Vision::Error.GetAssertCount();
  ShipEntity* ship = ShipWithArchive(1, ArchiveWithSails(99, 1));
  ShipFactory::GetInstance()->LoadShipComponents(ship);
  EXPECT_EQ(ship->GetSails()[0]->Components<DamageTextureComponent>(), nullptr);
  EXPECT_EQ(Vision::Error.GetAssertCount(), asserts + 1);
  EXPECT_EQ(StreamReferences(), 1);
}

TEST_F(ShipComponentArchiveTest, AMissingEndIsOnlyAWarning) {
  ShipEntity* ship = ShipWithArchive(2, ArchiveWithSails(Vision::GetArchiveVersion(), 2, false));
  EXPECT_FALSE(ShipFactory::GetInstance()->LoadShipComponents(ship));
  EXPECT_NE(ship->GetSails()[1]->Components<DamageTextureComponent>(), nullptr);
  EXPECT_TRUE(log.Contains("does not end with EOA"));
  EXPECT_EQ(StreamReferences(), 1);

  ByteWriter wrongStart;
  wrongStart.Str("ARGH").I32(1);
  ShipEntity* other = ShipWithArchive(0, wrongStart);
  ShipFactory::GetInstance()->LoadShipComponents(other);
  EXPECT_EQ(other->Components<ShipMovementComponent>(), nullptr);
  EXPECT_EQ(StreamReferences(), 1);
}

// The path a damaged path block read goes with the archive, not before it and not never.
TEST_F(ShipComponentArchiveTest, APathOfAFailedPathBlockIsFreedWithTheArchive) {
  CountingPath made;
  const Bytes path = SaveBytes([&](VArchive& ar) { made.Serialize(ar); });
  ByteWriter w;
  w.Str("ARCH").I32(Vision::GetArchiveVersion());
  for (int i = 0; i < 4; ++i) w.I32(0);  // three absent components, no storage
  w.I32(1).Str("ARCH").U8(2).I32(-2).Str("CountingPath").Raw(std::string(path.begin(), path.end()));
  w.I32(0x7fffffff);  // more added positions than the archive holds
  ShipEntity* ship = ShipWithArchive(0, w);
  CountingPath::destroyed = 0;
  EXPECT_FALSE(ShipFactory::GetInstance()->LoadShipComponents(ship));
  EXPECT_EQ(CountingPath::destroyed, 1);
  EXPECT_EQ(StreamReferences(), 1);
}

// A storage block holding one collectable template of the current version.
Bytes StorageBlock(const char* templateEnd) {
  ByteWriter w;
  w.Str("ARCH").U8(2).I32(1);
  w.Str("ARCH").U8(10).U8(1).F32(1).F32(2).F32(3).F32(1).Str("CollectableEntity").Str("barrel.model").Str("Barrel");
  w.Str("").F32(0).F32(0).F32(0).F32(1).F32(1).F32(1).F32(1).F32(1);
  w.I32(0).I32(1).I32(1).I32(0).Str("scripts\\Barrel.lua").I32(0).Str("str_BARREL").Str("Money");
  w.F32(15.0f).I32(1).Str("desc").Str("image").I32(0).I32(10).F32(0).I32(5).I32(9).F32(6.0f).Str("glow").Str("big");
  w.Str(templateEnd);
  w.Str("source").Str("EOA");
  return w;
}

TEST_F(ShipComponentArchiveTest, ASavedStorageIsRestoredAndTheRestStillLoads) {
  // The archive as the game writes it: no movement, battle or AI component, no
  // storage, a path, the hull's and one sail's damage marks.
  ShipEntity* source = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", VisVector_cl(0, 0, 0)));
  ShipStats sourceRecord;
  source->SetStats(&sourceRecord);
  auto* path = new ShipPathComponent();
  path->SetLooping(true);
  ASSERT_TRUE(source->AddComponent(path));
  auto* hull = new DamageTextureComponent();
  hull->AddMark("hull.dds", VisVector_cl(1, 2, 3));
  ASSERT_TRUE(source->AddComponent(hull));
  source->GetSails()[0] = static_cast<ClothEntity*>(Vision::Game.CreateEntity("ClothEntity", VisVector_cl(0, 0, 0)));
  auto* sailMarks = new DamageTextureComponent();
  sailMarks->AddMark("sail.dds", VisVector_cl(4, 5, 6));
  ASSERT_TRUE(source->GetSails()[0]->AddComponent(sailMarks));
  ShipFactory::GetInstance()->SaveShipComponents(source);
  const Bytes written = sourceRecord.GetComponentStream()->GetMemoryStream()->GetBuffer();
  // "ARCH", the version, three absent components, then the storage slot.
  const size_t storageSlot = 8 + 4 + 3 * 4;
  ASSERT_EQ(Bytes(written.begin() + 8 + 4, written.begin() + (long)storageSlot + 4), Bytes(16, 0));

  struct Case {
    const char* templateEnd;
    bool loads;
  } cases[] = {{"EOA", true}, {"EOX", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.templateEnd);
    Bytes archive(written.begin(), written.begin() + (long)storageSlot);
    const Bytes storage = ByteWriter().I32(1);
    archive.insert(archive.end(), storage.begin(), storage.end());
    const Bytes block = StorageBlock(c.templateEnd);
    archive.insert(archive.end(), block.begin(), block.end());
    archive.insert(archive.end(), written.begin() + (long)storageSlot + 4, written.end());

    ShipEntity* ship = ShipWithArchive(1, archive);
    log.Clear();
    EXPECT_EQ(ShipFactory::GetInstance()->LoadShipComponents(ship), c.loads);
    ShipPathComponent* loadedPath = ship->Components<ShipPathComponent>();
    DamageTextureComponent* loadedHull = ship->Components<DamageTextureComponent>();
    DamageTextureComponent* loadedSail = ship->GetSails()[0]->Components<DamageTextureComponent>();
    StorageComponentProto* held = ship->Components<StorageComponentProto>();
    if (c.loads) {
      ASSERT_NE(held, nullptr);
      ASSERT_EQ(held->GetCollectableCount(), 1u);
      EXPECT_STREQ(held->GetCollectable(0)->m_sType.AsChar(), "Money");
      EXPECT_EQ(held->GetCollectable(0)->m_iMaxValue, 9);
      EXPECT_STREQ(held->GetCollectableSource().AsChar(), "source");
      // Saved again, the storage takes its slot with its block.
      ShipFactory::GetInstance()->SaveShipComponents(ship);
      const Bytes again = ship->GetStats()->GetComponentStream()->GetMemoryStream()->GetBuffer();
      EXPECT_EQ(again, archive);
      ASSERT_NE(loadedPath, nullptr);
      EXPECT_TRUE(loadedPath->IsLooping());
      ASSERT_NE(loadedHull, nullptr);
      EXPECT_EQ(loadedHull->GetRecords().count("hull.dds"), 1u);
      ASSERT_NE(loadedSail, nullptr);
      EXPECT_EQ(loadedSail->GetRecords().count("sail.dds"), 1u);
      EXPECT_TRUE(log.Matching("saved block").empty());
    } else {
      // A damaged storage stops the archive there, holding nothing of the block.
      if (held) {
        EXPECT_EQ(held->GetCollectableCount(), 0u);
      }
      EXPECT_EQ(loadedPath, nullptr);
      EXPECT_EQ(loadedSail, nullptr);
      EXPECT_TRUE(log.Contains("CollectableEntityTemplate: the saved block (version 10) does not end with EOA"));
    }
    EXPECT_EQ(StreamReferences(), 1);
  }
}

TEST_F(ShipFactoryTest, AFactoryMadeShipHasItsHullModelAndIsDrawnAsABox) {
  ASSERT_EQ(Run("ship = GameManager.CreateShip('Hull', 'scripts\\\\Ships\\\\TestSloop.lua', Vector(100, 0, 0), 0, 2)"), "");
  ShipEntity* ship = Global("ship");
  ASSERT_NE(ship, nullptr);
  // At once, before any frame streams models in.
  ASSERT_NE(ship->GetMesh(), nullptr);
  EXPECT_STREQ(ship->GetMeshFileName(), "models\\TestSloop.model");
  Frame();
  EXPECT_STREQ(ship->GetMeshFileName(), "models\\TestSloop.model");
  VisRenderContext_cl* main = VisRenderContext_cl::GetMainRenderContext();
  main->SetCameraPosition(VisVector_cl(0, 0, 0));
  main->SetCameraRotation(VisMatrix3x3_cl());
  VisWorldRenderer_cl::GetInstance().BuildFrame(main);
  const VisDrawItem_t* box = Vision::Renderer.GetDrawList().Find(ship, VIS_DRAW_ENTITY_BOX);
  ASSERT_NE(box, nullptr) << "the world pass draws the hull";
  EXPECT_GT(box->b.x - box->a.x, 1.0f);
}

TEST_F(ShipFactoryTest, TheTestSloopGivesComputerShipsAVoice) {
  ShipEntity* enemy = MakeSloop("Shouter", 2, VisVector_cl(40, 0, 0));
  ShipEntity* own = MakeSloop("Quiet", 1, VisVector_cl(-40, 0, 0), 0.0f, true);
  ASSERT_TRUE(enemy && own);
  EXPECT_NE(enemy->Components<ShipSpeechComponent>(), nullptr);
  EXPECT_EQ(own->Components<ShipSpeechComponent>(), nullptr);
}

}  // namespace
