// Towns: the town script, the name key with its fallback, the tag that ships and
// towns take and other entities refuse, the save block and the script class.
#include "support/ArchiveRoundTrip.h"
#include "support/ScratchScriptFixture.h"
#include "support/ScriptBindingFixture.h"

#include "components/NameTagComponent.h"
#include "entities/ShipEntity.h"
#include "entities/TownEntity.h"
#include "Managers/TownManager.h"

#include "engine/base/VArchive.h"

namespace {

// What a scene file gives a town: its variables before its start.
struct TownEntityTemplate : VisEntityTemplate_cl {
  TownEntityTemplate() { m_sClassName = "TownEntity"; }
  void ApplyToEntity(VisBaseEntity_cl* entity) override { entity->SetVariable("m_sTownScript", "scripts/Placed.lua"); }
};

class TownEntityTest : public ScratchScriptFixture {
 protected:
  TownEntityTest() : ScratchScriptFixture("town_") {}

  TownEntity* MakeTown(const char* className, const char* script) {
    auto* town = static_cast<TownEntity*>(Vision::Game.CreateEntity(className, VisVector_cl(0, 0, 0)));
    town->SetScript(script);
    return town;
  }
};

TEST_F(TownEntityTest, CommonInitGivesATownItsScriptAndOneNameTag) {
  Write("scripts/Port.lua", "sNameKey = 'str_TOWN_PORT'\nbIsAccessible = true\n");
  auto* town = static_cast<TownEntity*>(Vision::Game.CreateEntity("StrongholdEntity", VisVector_cl(0, 0, 0)));
  EXPECT_EQ(town->GetSave(), 0);
  town->SetVariable("m_sTownScript", "scripts/Port.lua");
  town->CommonInit();
  town->CommonInit();
  EXPECT_TRUE(town->IsAccessible());
  EXPECT_STREQ(town->GetTownNameKey().AsChar(), "str_TOWN_PORT");
  int tags = 0;
  for (int i = 0; i < town->GetComponentCount(); ++i)
    tags += town->GetComponent(i)->IsOfType(NameTagComponent::GetClassTypeId());
  EXPECT_EQ(tags, 1);
}

TEST_F(TownEntityTest, ATownPlacedByASceneStartsWithItsScript) {
  Write("scripts/Placed.lua", "iSceneType = 3\n");
  TownEntityTemplate templ;
  auto* town = static_cast<TownEntity*>(Vision::Game.CreateEntity(templ));
  ASSERT_NE(town, nullptr);
  EXPECT_EQ(town->GetSceneType(), 3);
  EXPECT_NE(town->Components<NameTagComponent>(), nullptr);
}

TEST_F(TownEntityTest, ANameTagTakesShipsAndTownsOnly) {
  NameTagComponent tag;
  VString reason;
  auto* ship = Vision::Game.CreateEntity("ShipEntity", VisVector_cl(0, 0, 0));
  auto* town = Vision::Game.CreateEntity("TownEntity", VisVector_cl(0, 0, 0));
  EXPECT_EQ(tag.CanAttachToObject(ship, reason), 1);
  EXPECT_EQ(tag.CanAttachToObject(town, reason), 1);
  EXPECT_EQ(tag.CanAttachToObject(Vision::Game.CreateEntity("BaseEntity", VisVector_cl(0, 0, 0)), reason), 0);
  EXPECT_STREQ(reason.AsChar(), "Component can only be added to instances of ShipEntity/TownEntity or derived classes.");
}

TEST_F(TownEntityTest, ATownWithoutANameKeyShowsTheNoneKeyAndKeepsIt) {
  Write("scripts/Nameless.lua", "iSceneType = 5\n");
  TownEntity* town = MakeTown("TownEntity", "scripts/Nameless.lua");
  EXPECT_EQ(town->GetSceneType(), 5);
  EXPECT_STREQ(town->GetTownNameKey().AsChar(), "str_TOWN_NONE");
  ASSERT_TRUE(town->SetScriptValue("sNameKey", "str_TOWN_LATE"));
  EXPECT_STREQ(town->GetTownNameKey().AsChar(), "str_TOWN_NONE");
  // A key set on the town reaches its script as well.
  town->SetTownNameKey("str_TOWN_RENAMED");
  EXPECT_STREQ(town->GetTownNameKey().AsChar(), "str_TOWN_RENAMED");
  VString scriptKey;
  ASSERT_TRUE(town->GetScriptValue("sNameKey", scriptKey));
  EXPECT_STREQ(scriptKey.AsChar(), "str_TOWN_RENAMED");
}

TEST_F(TownEntityTest, ShipsSpawnTwentyFiveUnitsBehindTheTown) {
  TownEntity* town = MakeTown("TownEntity", "");
  EXPECT_TRUE(town->GetSpawnPosition().IsEqual(VisVector_cl(-25, 0, 0), 1e-4f));
  EXPECT_EQ(town->GetSpawnPosition().w, 1.0f);
  town->SetPosition(VisVector_cl(10, 10, 0));
  town->SetOrientation(90.0f, 0.0f, 0.0f);
  EXPECT_TRUE(town->GetSpawnPosition().IsEqual(VisVector_cl(10, -15, 0), 1e-4f));
}

}  // namespace

// ---- the save block ------------------------------------------------------------------

namespace town_block {

using archive_test::ByteWriter;
using archive_test::Bytes;

class TownBlockTest : public TownEntityTest {
 protected:
  // A town as the archive makes one: without the name tag its start gave it.
  TownEntity* Fresh() {
    auto* town = static_cast<TownEntity*>(Vision::Game.CreateEntity("TownEntity", VisVector_cl(0, 0, 0)));
    town->RemoveAllComponents();
    return town;
  }
  // The base entity's block of a fresh town, then the given town block.
  Bytes WithBaseBlock(const Bytes& townBlock) {
    TownEntity* source = Fresh();
    Bytes bytes = archive_test::SaveBytes([&](VArchive& ar) { source->BaseEntity::Serialize(ar); });
    source->Remove();
    bytes.insert(bytes.end(), townBlock.begin(), townBlock.end());
    return bytes;
  }
};

TEST_F(TownBlockTest, AVersionSevenBlockRoundTrips) {
  TownEntity* town = Fresh();
  town->SetVariable("m_sTownScript", "scripts/towns/port_royal.lua");
  town->AddShipScript("scripts/Ships/Sloop.lua");
  town->AddShipScript("scripts/Ships/Brig.lua");
  town->SetWorldLevelTown(0);
  TownEntity* fresh = Fresh();
  fresh->SetSave(1);
  ASSERT_TRUE(archive_test::RoundTripSerialize(*town, *fresh));
  EXPECT_STREQ(fresh->GetScript().AsChar(), "scripts/towns/port_royal.lua");
  ASSERT_EQ(fresh->GetShipScriptCount(), 2);
  EXPECT_STREQ(fresh->GetShipScript(1).AsChar(), "scripts/Ships/Brig.lua");
  EXPECT_EQ(fresh->IsWorldLevelTown(), 0);
  EXPECT_EQ(fresh->CanTrace(), 1) << "a town of a land scene stays traceable";
  EXPECT_EQ(fresh->GetSave(), 0);
  EXPECT_EQ(fresh->GetTraceAccuracy(), VIS_TRACEACC_AABOX);

  // A world-level town read back is taken out of trace lines.
  town->SetWorldLevelTown(1);
  TownEntity* world = Fresh();
  const Bytes bytes = archive_test::SaveBytes([&](VArchive& ar) { town->Serialize(ar); });
  ASSERT_TRUE(archive_test::LoadBytes(bytes, [&](VArchive& ar) { world->Serialize(ar); }));
  EXPECT_EQ(world->IsWorldLevelTown(), 1);
  EXPECT_EQ(world->CanTrace(), 0);
}

TEST_F(TownBlockTest, OlderBlocksSkipTheirDroppedValuesAndBecomeWorldTowns) {
  struct Case {
    int version;
    int dropped;
    bool hasScript;
  };
  for (const Case c : {Case{2, 1, false}, Case{3, 2, false}, Case{4, 3, false}, Case{5, 0, true}}) {
    ByteWriter block;
    block.Str("ARCH").U8((uint8_t)c.version);
    for (int i = 0; i < c.dropped; ++i) block.I32(77);
    if (c.hasScript) block.Str("scripts/towns/old.lua");
    block.Str("EOA");
    TownEntity* town = Fresh();
    ASSERT_TRUE(archive_test::LoadBytes(WithBaseBlock(block), [&](VArchive& ar) { town->Serialize(ar); }))
        << "version " << c.version;
    EXPECT_STREQ(town->GetScript().AsChar(), c.hasScript ? "scripts/towns/old.lua" : "scripts/towns/stronghold_pirate.lua")
        << "version " << c.version << " keeps the editor's script unless it carries one";
    EXPECT_EQ(town->IsWorldLevelTown(), 1) << "version " << c.version;
    EXPECT_EQ(town->CanTrace(), 0) << "version " << c.version;
  }
}

TEST_F(TownBlockTest, ADamagedBlockChangesNothing) {
  const Bytes cases[] = {
      ByteWriter().Str("ARCH").U8(7).Str("scripts/towns/x.lua").I32(1000000).Get(),  // count beyond the bytes
      ByteWriter().Str("ARCH").U8(7).Str("scripts/towns/x.lua").I32(0).I32(0).Str("EOB").Get(),
      ByteWriter().Str("ARCH").U8(8).Get(),  // newer than known
  };
  for (const Bytes& block : cases) {
    TownEntity* town = Fresh();
    town->AddShipScript("keep.lua");
    archive_test::ReadArchive ar(WithBaseBlock(block));
    town->Serialize(*ar);
    EXPECT_FALSE(ar->IsOK());
    EXPECT_STREQ(town->GetScript().AsChar(), "scripts/towns/stronghold_pirate.lua");
    EXPECT_EQ(town->GetShipScriptCount(), 1);
    EXPECT_EQ(town->IsWorldLevelTown(), 0);
  }
}

TEST_F(TownBlockTest, ATownReadFromASavedGameGetsItsScriptAndNameTag) {
  Write("scripts/Saved.lua", "sNameKey = 'str_TOWN_SAVED'\n");
  TownEntity* town = Fresh();
  town->SetVariable("m_sTownScript", "scripts/Saved.lua");
  EXPECT_FALSE(town->WantsDeserializationCallback(1));
  EXPECT_TRUE(town->WantsDeserializationCallback(0));
  town->OnDeserializationCallback(nullptr);
  EXPECT_STREQ(town->GetTownNameKey().AsChar(), "str_TOWN_SAVED");
  EXPECT_NE(town->Components<NameTagComponent>(), nullptr);
}

}  // namespace town_block

// ---- the "TownEntity" script class -----------------------------------------------------

namespace town_script {

class TownScriptTest : public ScriptBindingFixture {
 protected:
  void ReleaseAfterEntities() override {
    TownManager::CleanInstance();
    ScriptBindingFixture::ReleaseAfterEntities();
  }
  TownEntity* MakeTown(const char* className, const char* global) {
    Write("scripts/Town.lua", "bIsAccessible = true\nfMoneyBarrelBornInterval = 60\niMaxItemsInBuilding = 3\n");
    auto* town = static_cast<TownEntity*>(Vision::Game.CreateEntity(className, VisVector_cl(0, 0, 0)));
    town->SetScript("scripts/Town.lua");
    SetGlobalObject(global, town);
    return town;
  }
};

TEST_F(TownScriptTest, AccessCanBeTakenFromATownButNotFromAStronghold) {
  TownEntity* town = MakeTown("TownEntity", "town");
  TownEntity* stronghold = MakeTown("StrongholdEntity", "stronghold");
  EXPECT_TRUE(Bool("town.IsAccessible(town)"));
  EXPECT_EQ(Run("town.SetAccessible(town, false)"), "");
  EXPECT_FALSE(town->IsAccessible());
  EXPECT_EQ(Run("stronghold.SetAccessible(stronghold, false)"), "");
  EXPECT_TRUE(stronghold->IsAccessible());
  ASSERT_TRUE(stronghold->SetScriptValue("bIsAccessible", false));
  EXPECT_EQ(Run("stronghold.SetAccessible(stronghold, true)"), "");
  EXPECT_TRUE(Bool("stronghold.IsAccessible(stronghold)"));
}

TEST_F(TownScriptTest, ChangeScriptLoadsTheNewScriptInPlaceOfTheOld) {
  TownEntity* town = MakeTown("TownEntity", "town");
  Write("scripts/Other.lua", "iSceneType = 6\n");
  EXPECT_EQ(Run("town.ChangeScript(town, 'scripts/Other.lua')"), "");
  EXPECT_STREQ(town->GetScript().AsChar(), "scripts/Other.lua");
  EXPECT_EQ(town->GetSceneType(), 6);
  EXPECT_FALSE(town->IsAccessible()) << "the old script's values went with it";
}

TEST_F(TownScriptTest, InitBuildingsReportsTheRefillOfTheCurrentTown) {
  TownEntity* town = MakeTown("TownEntity", "town");
  EXPECT_EQ(Run("town.InitBuildings(town, 120)"), "");
  EXPECT_FALSE(log.Contains("TownManager::InitBuildings()")) << "outside a town there is nothing to refill";
  TownManager::GetInstance()->SetCurrentTown(town);
  EXPECT_EQ(Run("town.InitBuildings(town, 120)"), "");
  EXPECT_TRUE(log.Contains("TownManager::InitBuildings() fTimeSinceLastVisit 120 Interval 60 Max 3 => Amount 0"));
  EXPECT_EQ(Run("town.RespawnBuildings(town)"), "");
}

TEST_F(TownScriptTest, ArgumentErrors) {
  TownEntity* town = MakeTown("TownEntity", "town");
  SetGlobalObject("other", Vision::Game.CreateEntity("BaseEntity", VisVector_cl(0, 0, 0)));
  const char* kTown = "Expected native object of type TownEntity*";
  const struct {
    const char* code;
    std::string error;
  } cases[] = {
      {"town.IsAccessible(other)", ArgError(1, "IsAccessible", kTown)},
      {"town.IsAccessible(nil)", ArgError(1, "IsAccessible", kTown)},
      {"town.SetAccessible(town, 1)", ArgError(3, "SetAccessible", "Expected bool")},
      {"town.ChangeScript(town, 5)", ArgError(3, "ChangeScript", "Expected const char*")},
      {"town.ChangeScript(town)", ArgError(3, "ChangeScript", "Expected const char*")},
      {"town.InitBuildings(town, 'soon')", ArgError(3, "InitBuildings", "Expected float")},
      {"town.RespawnBuildings(other)", ArgError(1, "RespawnBuildings", kTown)},
  };
  for (const auto& c : cases) EXPECT_NE(Run(c.code).find(c.error), std::string::npos) << c.code << ": " << Run(c.code);
  EXPECT_TRUE(town->IsAccessible());
  EXPECT_STREQ(town->GetScript().AsChar(), "scripts/Town.lua");
}

}  // namespace town_script
