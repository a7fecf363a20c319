// Towns as far as their name tags need them: the town script, the name key with
// its fallback, and the tag that ships and towns take and other entities refuse.
#include "support/ScratchScriptFixture.h"

#include "components/NameTagComponent.h"
#include "entities/ShipEntity.h"
#include "entities/TownEntity.h"

namespace {

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
