// Upgrade entities: bought through their script (or without one), stored into a
// template, and their saved blocks of older versions.
#include "support/ArchiveRoundTrip.h"
#include "support/ShipTestWorld.h"

#include "entities/PlayerStats.h"
#include "entities/UpgradeEntity.h"
#include "entities/UpgradeEntityTemplate.h"

namespace {

using archive_test::ByteWriter;
using archive_test::LoadBytes;
using archive_test::SaveBytes;

class UpgradeEntityTest : public ShipTestWorld {
 protected:
  UpgradeEntity* MakeUpgrade(const char* script) {
    auto* upgrade = static_cast<UpgradeEntity*>(Vision::Game.CreateEntity("UpgradeEntity", VisVector_cl(0, 0, 0)));
    upgrade->SetUpgradeScriptFile(script);
    upgrade->InitUpgrade();
    return upgrade;
  }
};

TEST_F(UpgradeEntityTest, BuyingRunsOnBuyWhenThereIsOneAndTakesTheUpgradeAway) {
  Write("scripts/paid.lua", "function OnBuy(self) GameManager.AddMoney(-30) return 1 end");
  Write("scripts/free.lua", "price = 0");
  PlayerStats* player = GameSessionManager::GetInstance()->GetPlayer();
  const int money = player->GetMoney();
  for (const char* script : {"scripts/paid.lua", "scripts/free.lua", ""}) {
    UpgradeEntity* upgrade = MakeUpgrade(script);
    upgrade->Buy();
    EXPECT_TRUE(upgrade->IsMarkedRemoved()) << script;
  }
  EXPECT_EQ(player->GetMoney(), money - 30);
}

TEST_F(UpgradeEntityTest, TheStoredFormTakesTheKeyTheTextsAndTheParameters) {
  UpgradeEntity* upgrade = MakeUpgrade("");
  upgrade->SetEntityKey("HullUpgrade");
  upgrade->m_sName = "str_ITEM_HULL_UPGRADE";
  upgrade->m_sIcon = "icon_hull";
  upgrade->m_sScreenName = "Hull";
  UpgradeEntityTemplate stored;
  upgrade->SaveToTemplate(&stored);
  upgrade->SaveToTemplate(nullptr);
  EXPECT_EQ(stored.m_sKey, "HullUpgrade");
  EXPECT_EQ(stored.m_sName, "str_ITEM_HULL_UPGRADE");
  EXPECT_EQ(stored.m_sIcon, "icon_hull");
  EXPECT_EQ(stored.m_sScreenName, "Hull");
  EXPECT_NE(std::string(stored.m_sEntityParams.AsChar()).find("m_sIcon=\"icon_hull\""), std::string::npos);
}

TEST_F(UpgradeEntityTest, OlderBlocksCarryFewerTexts) {
  // The entity's version 2: script, type and screen name; the four texts stay.
  UpgradeEntity* upgrade = MakeUpgrade("");
  upgrade->m_sName = "kept";
  const archive_test::Bytes base = SaveBytes([&](VArchive& ar) { upgrade->BaseEntity::Serialize(ar); });
  ByteWriter v2;
  v2.Str("ARCH").U8(2).Str("scripts/hull.lua").Str("Hull").Str("Copper hull").Str("EOA");
  archive_test::Bytes block = base;
  block.insert(block.end(), v2.Get().begin(), v2.Get().end());
  ASSERT_TRUE(LoadBytes(block, [&](VArchive& ar) { upgrade->Serialize(ar); }));
  EXPECT_EQ(upgrade->m_sUpgradeScriptFile, "scripts/hull.lua");
  EXPECT_EQ(upgrade->m_sType, "Hull");
  EXPECT_STREQ(upgrade->GetScreenName(), "Copper hull");
  EXPECT_EQ(upgrade->m_sName, "kept");

  // The template's version 1 ends with the script: name, description, image and icon stay empty.
  ByteWriter v1;
  v1.Str("ARCH").U8(1).U8(1).F32(1).F32(2).F32(3).F32(1).Str("UpgradeEntity").Str("Hull").Str("");
  v1.F32(0).F32(0).F32(0).F32(1).F32(1).F32(1).F32(1).F32(1).Str("scripts/hull.lua").Str("EOA");
  UpgradeEntityTemplate stored;
  ASSERT_TRUE(LoadBytes(v1, [&](VArchive& ar) { EXPECT_TRUE(stored.SerializeX(ar)); }));
  EXPECT_EQ(stored.m_sUpgradeScriptFile, "scripts/hull.lua");
  EXPECT_EQ(stored.m_sKey, "Hull");
  for (const VString* text : {&stored.m_sName, &stored.m_sDescription, &stored.m_sImage, &stored.m_sIcon})
    EXPECT_TRUE(text->IsEmpty());
}

}  // namespace
