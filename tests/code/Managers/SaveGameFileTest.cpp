// The save-game file through a campaign of the bundled data: what a save writes,
// read into a fresh campaign (end, start, load) and written again to the same bytes;
// every block of the file in it, and every saveable class with a row here.
#include "SaveGameCampaignFixture.h"

#include "core/BaseEntity.h"
#include "entities/CameraEntity.h"
#include "entities/CollectableEntityTemplate.h"
#include "entities/Nation.h"
#include "entities/PlayerStats.h"
#include "entities/TownEntity.h"
#include "util/ArchiveLimits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>

namespace {

using archive_test::SaveBytes;

bool Contains(const SaveGameCampaignTest::Bytes& file, const SaveGameCampaignTest::Bytes& part) {
  return !part.empty() && std::search(file.begin(), file.end(), part.begin(), part.end()) != file.end();
}

// An archive string as the file holds it.
SaveGameCampaignTest::Bytes ArchiveString(const std::string& text) {
  return archive_test::ByteWriter().Str(text).Get();
}

int CountLive(const VType* type) {
  int n = 0;
  for (VisBaseEntity_cl* e : Vision::Game.GetEntities())
    if (e && !e->IsMarkedRemoved() && e->GetTypeId() == type) ++n;
  return n;
}

// A row of the table: a block of the file, how the campaign comes to hold it, and
// how the file shows it. Entity classes are found by their class name in the file
// (records and objects both store it); manager blocks by the bytes the manager
// writes on its own.
struct BlockRow {
  const char* block;
  // The saveable entity class the row stands for (null for the managers' blocks).
  const char* entityClass;
  std::function<void()> fill;
  std::function<SaveGameCampaignTest::Bytes()> ownBytes;
};

template <class Manager>
std::function<SaveGameCampaignTest::Bytes()> ManagerBlock(Manager* (*get)()) {
  return [get] { return SaveBytes([&](VArchive& ar) { get()->SerializeX(ar); }); };
}

// A saved entity of the class in the world map.
std::function<void()> SavedEntity(const char* className, float x) {
  return [className, x] {
    VisBaseEntity_cl* e = Vision::Game.CreateEntity(className, VisVector_cl(x, 40.0f, 0.0f));
    ASSERT_NE(e, nullptr) << className;
    if (e->IsOfType(BaseEntity::GetClassTypeId())) static_cast<BaseEntity*>(e)->SetSave(1);
    e->SetEntityKey((std::string("saved_") + className).c_str());
  };
}

std::vector<BlockRow> Rows() {
  auto nothing = [] {};
  return {
      {"Nation", nullptr, nothing,
       [] { return SaveBytes([](VArchive& ar) { GameManager::GetInstance()->GetNation(0)->SerializeX(ar); }); }},
      {"TownManager", nullptr, nothing, ManagerBlock(&TownManager::GetInstance)},
      {"MissionManager", nullptr, nothing,
       [] { return SaveBytes([](VArchive& ar) { MissionManager::GlobalManager().SerializeX(ar); }); }},
      {"GameSessionManager", nullptr,
       [] {
         GameSessionManager* session = GameSessionManager::GetInstance();
         session->GetPlayer()->AddMoney(1234);
         auto* item = new CollectableEntityTemplate();
         item->m_sCollectableScriptFile = "scripts\\StartItem.lua";
         session->AddCollectable(item);
       },
       ManagerBlock(&GameSessionManager::GetInstance)},
      {"BattleManager", nullptr, nothing, ManagerBlock(&BattleManager::GetInstance)},
      {"LandRadarManager", nullptr, nothing, ManagerBlock(&LandRadarManager::GetInstance)},
      {"GameContentManager", nullptr, nothing, ManagerBlock(&GameContentManager::GetInstance)},
      {"TutorialManager", nullptr, nothing, ManagerBlock(&TutorialManager::GetInstance)},
      {"downloadable level", nullptr, [] { SaveGameManagerProto::GetInstance()->SetHighestDlcLevelPassed(3); },
       [] { return archive_test::ByteWriter().I32(3).Get(); }},
      {"ArtifactManager", nullptr, nothing, ManagerBlock(&ArtifactManager::GetInstance)},
      {"AchievementManager", nullptr, nothing, ManagerBlock(&AchievementManager::GetInstance)},
      // Entities: rebuilt records and whole objects.
      {"BaseEntity", "BaseEntity", SavedEntity("BaseEntity", 10.0f), nullptr},
      {"StaticEntity", "StaticEntity", SavedEntity("StaticEntity", 20.0f), nullptr},
      {"AnimalEntity", "AnimalEntity", SavedEntity("AnimalEntity", 30.0f), nullptr},
      {"CollectableEntity", "CollectableEntity", SavedEntity("CollectableEntity", 40.0f), nullptr},
      {"UpgradeEntity", "UpgradeEntity", SavedEntity("UpgradeEntity", 50.0f), nullptr},
      {"ProjectileEntity", "ProjectileEntity", SavedEntity("ProjectileEntity", 60.0f), nullptr},
      {"SoldierEntity", "SoldierEntity", SavedEntity("SoldierEntity", 70.0f), nullptr},
      {"UnitEntity", "UnitEntity", SavedEntity("UnitEntity", 80.0f), nullptr},
      // The world map's towns travel in the town manager's block.
      {"TownEntity", "TownEntity", nothing, nullptr},
      {"StrongholdEntity", "StrongholdEntity", nothing, nullptr},
      // The campaign's camera is written as a camera object.
      {"CameraEntity_cl", "CameraEntity_cl", nothing, nullptr},
  };
}

TEST_F(SaveGameCampaignTest, EveryBlockRoundTripsThroughAFreshCampaign) {
  StartCampaign();
  const std::vector<BlockRow> rows = Rows();

  // Every class that may come out of a save file has a row.
  std::set<std::string> covered;
  for (const BlockRow& row : rows)
    if (row.entityClass) covered.insert(row.entityClass);
  for (int i = 0; i < VType::GetTypeCount(); ++i) {
    const VType* type = VType::GetTypeAt(i);
    if (SaveGameManagerProto::IsSaveableEntityClass(type) || SaveGameManagerProto::IsSaveableEntityClass(type, true)) {
      EXPECT_TRUE(covered.count(type->GetClassName())) << type->GetClassName() << " is saveable but has no row";
    }
  }

  for (const BlockRow& row : rows) row.fill();
  std::map<std::string, int> live;
  for (const BlockRow& row : rows)
    if (row.entityClass) live[row.entityClass] = CountLive(VType::FindType(row.entityClass));

  ASSERT_EQ(saves->SaveGame(3), 1);
  const Bytes first = ReadFile(SlotFile(3));
  for (const BlockRow& row : rows) {
    SCOPED_TRACE(row.block);
    if (row.ownBytes) {
      EXPECT_TRUE(Contains(first, row.ownBytes()));
    }
    if (row.entityClass) {
      EXPECT_TRUE(Contains(first, ArchiveString(row.entityClass)));
      EXPECT_GE(live[row.entityClass], 1);
    }
  }

  ASSERT_EQ(saves->LoadSlotIntoNewCampaign(3), 1);
  EXPECT_FALSE(log.Contains("failed while being read"));
  for (const BlockRow& row : rows) {
    if (!row.entityClass) continue;
    EXPECT_EQ(CountLive(VType::FindType(row.entityClass)), live[row.entityClass]) << row.block;
  }
  EXPECT_EQ(GameSessionManager::GetInstance()->GetPlayer()->GetMoney() >= 1234, true);
  EXPECT_EQ(saves->GetHighestDlcLevelPassed(), 3);

  // Written again, byte for byte the same; also through the slot file itself.
  EXPECT_TRUE(SameBytes(first, saves->WriteSaveGameBytes()));
  ASSERT_EQ(saves->SaveGame(4), 1);
  EXPECT_TRUE(SameBytes(first, ReadFile(SlotFile(4))));
}

}  // namespace
