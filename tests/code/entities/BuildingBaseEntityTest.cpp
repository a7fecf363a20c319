// Buildings: the building script, life without hit points, showing again, the
// editor's spawner links, the save block and the script class.
#include "support/ArchiveRoundTrip.h"
#include "support/ScratchScriptFixture.h"
#include "support/ScriptBindingFixture.h"

#include "entities/BuildingBaseEntity.h"

#include "components/DestructableBuildingComponent.h"

#include "engine/base/VArchive.h"

namespace {

using archive_test::ByteWriter;
using archive_test::Bytes;

// What a scene gives a building: its script before its start.
struct BuildingTemplate : VisEntityTemplate_cl {
  explicit BuildingTemplate(const char* script) : m_script(script) { m_sClassName = "BuildingBaseEntity"; }
  void ApplyToEntity(VisBaseEntity_cl* entity) override { entity->SetVariable("m_sBuildingScript", m_script); }
  const char* m_script;
};

class BuildingBaseEntityTest : public ScratchScriptFixture {
 protected:
  BuildingBaseEntityTest() : ScratchScriptFixture("building_") {}

  BuildingBaseEntity* Make(const char* script = "") {
    BuildingTemplate templ(script);
    return static_cast<BuildingBaseEntity*>(Vision::Game.CreateEntity(templ));
  }
  Bytes WithBaseBlock(const Bytes& buildingBlock) {
    BuildingBaseEntity* source = Make();
    Bytes bytes = archive_test::SaveBytes([&](VArchive& ar) { source->BaseEntity::Serialize(ar); });
    source->Remove();
    bytes.insert(bytes.end(), buildingBlock.begin(), buildingBlock.end());
    return bytes;
  }
};

TEST_F(BuildingBaseEntityTest, CommonInitAttachesTheScriptOnce) {
  Write("scripts/tavern.lua", "sName = 'str_TAVERN'\n");
  BuildingBaseEntity* building = Make("scripts/tavern.lua");
  EXPECT_EQ(building->GetBuildingType(), -1);
  VString name;
  ASSERT_TRUE(building->GetScriptValue("sName", name));
  EXPECT_STREQ(name.AsChar(), "str_TAVERN");
  // A second start keeps the running instance and its changed values.
  ASSERT_TRUE(building->SetScriptValue("sName", "changed"));
  building->CommonInit();
  ASSERT_TRUE(building->GetScriptValue("sName", name));
  EXPECT_STREQ(name.AsChar(), "changed");
}

TEST_F(BuildingBaseEntityTest, WithoutHitPointsABuildingIsNotAliveAndRebornShowsItAndItsChildren) {
  BuildingBaseEntity* building = Make();
  EXPECT_FALSE(building->IsAlive());
  auto* child = Vision::Game.CreateEntity("BaseEntity", VisVector_cl(0, 0, 0));
  auto* grandChild = Vision::Game.CreateEntity("BaseEntity", VisVector_cl(0, 0, 0));
  child->AttachToParent(building);
  grandChild->AttachToParent(child);
  for (VisBaseEntity_cl* e : {static_cast<VisBaseEntity_cl*>(building), child, grandChild}) {
    e->SetVisibleBitmask(0);
    e->SetLightInfluenceBitMask(0);
  }
  building->Reborn();
  for (VisBaseEntity_cl* e : {static_cast<VisBaseEntity_cl*>(building), child, grandChild}) {
    EXPECT_EQ(e->GetVisibleBitmask(), 0xffffffffu);
    EXPECT_EQ(e->GetLightInfluenceBitMask(), 0xffffffffu);
  }
  EXPECT_FALSE(building->IsAlive());
}

TEST_F(BuildingBaseEntityTest, TheEditorMayLinkAnyObjectToTheSpawnerSlots) {
  BuildingBaseEntity* building = Make();
  building->SetObjectKey("Barracks");
  BuildingLinkSlots slots;
  building->SendMsg(VIS_MSG_EDITOR_GETLINKS, (INT_PTR)&slots);
  ASSERT_EQ(slots.size(), 2u);
  EXPECT_STREQ(slots[0].name.AsChar(), "Spawner source");
  EXPECT_STREQ(slots[0].key.AsChar(), "spawner_source");
  EXPECT_STREQ(slots[1].name.AsChar(), "Spawner target");
  EXPECT_STREQ(slots[1].key.AsChar(), "spawner_target");

  LogCapture log;
  auto* other = Vision::Game.CreateEntity("BaseEntity", VisVector_cl(0, 0, 0));
  other->SetObjectKey("Gate");
  bool canLink = false;
  building->SendMsg(VIS_MSG_EDITOR_CANLINK, (INT_PTR)other, (INT_PTR)&canLink);
  EXPECT_TRUE(canLink);
  EXPECT_TRUE(log.Contains("Can link object: BaseEntity"));
  building->SendMsg(VIS_MSG_EDITOR_ONLINK, (INT_PTR)other);
  EXPECT_TRUE(log.Contains("Linked object: Gate (BaseEntity)"));
}

TEST_F(BuildingBaseEntityTest, TheBlockCarriesTheScript) {
  BuildingBaseEntity* building = Make("scripts/buildings/shipyard.lua");
  BuildingBaseEntity* fresh = Make();
  ASSERT_TRUE(archive_test::RoundTripSerialize(*building, *fresh));
  EXPECT_STREQ(fresh->GetBuildingScript().AsChar(), "scripts/buildings/shipyard.lua");
  EXPECT_FALSE(fresh->WantsDeserializationCallback(1));
  EXPECT_TRUE(fresh->WantsDeserializationCallback(0));
}

TEST_F(BuildingBaseEntityTest, ADamagedBlockChangesNothing) {
  const Bytes cases[] = {
      ByteWriter().Str("ARCH").U8(1).Str("scripts/x.lua").Str("EOB").Get(),
      ByteWriter().Str("ARCH").U8(2).Get(),  // newer than known
      ByteWriter().Str("ARCH").U8(1).I32(1 << 30).Get(),  // a text longer than the bytes
  };
  for (const Bytes& block : cases) {
    BuildingBaseEntity* building = Make("scripts/keep.lua");
    archive_test::ReadArchive ar(WithBaseBlock(block));
    building->Serialize(*ar);
    EXPECT_FALSE(ar->IsOK());
    EXPECT_STREQ(building->GetBuildingScript().AsChar(), "scripts/keep.lua");
  }
}

TEST_F(BuildingBaseEntityTest, ABuildingReadFromASavedGameGetsItsScript) {
  Write("scripts/saved.lua", "iPrice = 250\n");
  BuildingBaseEntity* building = Make();
  building->SetBuildingScript("scripts/saved.lua");
  building->OnDeserializationCallback(nullptr);
  int price = 0;
  ASSERT_TRUE(building->GetScriptValue("iPrice", price));
  EXPECT_EQ(price, 250);
}

class BuildingScriptTest : public ScriptBindingFixture {};

TEST_F(BuildingScriptTest, TheScriptClassAndItsErrors) {
  auto* building = static_cast<BuildingBaseEntity*>(Vision::Game.CreateEntity("BuildingBaseEntity", VisVector_cl(0, 0, 0)));
  SetGlobalObject("building", building);
  SetGlobalObject("other", Vision::Game.CreateEntity("BaseEntity", VisVector_cl(0, 0, 0)));
  EXPECT_FALSE(Bool("building.IsAlive(building)"));
  EXPECT_EQ(Run("building.Destroy(building)"), "") << "nothing to destroy without hit points";
  building->SetVisibleBitmask(0);
  EXPECT_EQ(Run("building.Rebuild(building)"), "");
  EXPECT_EQ(building->GetVisibleBitmask(), 0xffffffffu);
  const char* kBuilding = "Expected native object of type BuildingBaseEntity*";
  for (const char* f : {"IsAlive", "Destroy", "Rebuild"}) {
    const std::string code = std::string("building.") + f + "(other)";
    EXPECT_NE(Run(code).find(ArgError(1, f, kBuilding)), std::string::npos) << code;
  }
}

// With hit points, the script class destroys and rebuilds the building.
TEST_F(BuildingScriptTest, DestroyAndRebuildGoThroughTheHitPoints) {
  auto* building = static_cast<BuildingBaseEntity*>(Vision::Game.CreateEntity("BuildingBaseEntity", VisVector_cl(0, 0, 0)));
  auto* hitPoints = new DestructableBuildingComponent();
  hitPoints->SetDropItems(0);
  ASSERT_TRUE(building->AddComponent(hitPoints));
  hitPoints->SetHitPointsMax(80);
  hitPoints->SetHitPoints(80);
  SetGlobalObject("building", building);
  EXPECT_TRUE(Bool("building.IsAlive(building)"));
  EXPECT_EQ(Run("building.Destroy(building)"), "");
  EXPECT_EQ(hitPoints->GetHitPoints(), 0);
  EXPECT_FALSE(Bool("building.IsAlive(building)"));
  EXPECT_EQ(Run("building.Rebuild(building)"), "");
  EXPECT_EQ(hitPoints->GetHitPoints(), 80);
  EXPECT_TRUE(Bool("building.IsAlive(building)"));
  EXPECT_EQ(building->GetVisibleBitmask(), 0xffffffffu);
}

}  // namespace
