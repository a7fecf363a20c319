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

namespace {

// The file with bytes changed: at an offset from the start (negative: from the end).
struct Damage {
  const char* what;
  std::function<SaveGameCampaignTest::Bytes(const SaveGameCampaignTest::Bytes&)> make;
  const char* logged;  // why it was refused, as the log says it
};

size_t Find(const SaveGameCampaignTest::Bytes& file, const SaveGameCampaignTest::Bytes& part, bool last = false) {
  auto it = last ? std::find_end(file.begin(), file.end(), part.begin(), part.end())
                 : std::search(file.begin(), file.end(), part.begin(), part.end());
  return it == file.end() ? std::string::npos : (size_t)(it - file.begin());
}

SaveGameCampaignTest::Bytes Set(SaveGameCampaignTest::Bytes b, size_t at, uint8_t value) {
  if (at < b.size()) b[at] = value;
  return b;
}

SaveGameCampaignTest::Bytes SetI32(SaveGameCampaignTest::Bytes b, size_t at, int32_t value) {
  for (int i = 0; i < 4 && at + i < b.size(); ++i) b[at + i] = (uint8_t)((uint32_t)value >> (8 * i));
  return b;
}

// Where the nation count lies: after the program version and build texts (14 and 23
// bytes) and the two times.
size_t NationCountAt(const SaveGameCampaignTest::Bytes& file) { return Find(file, ArchiveString("1,0,2,7542")) + 14 + 23 + 8; }

// The head of an object record: its tag, then an object written in full of the class.
SaveGameCampaignTest::Bytes ObjectHead(int tag, const std::string& className) {
  return archive_test::ByteWriter().I32(tag).I32(-2).Str(className).Get();
}

// A running campaign with something of every kind in it, and its slot 3.
class BadSaveTest : public SaveGameCampaignTest {
 protected:
  void SetUp() override {
    SaveGameCampaignTest::SetUp();
    StartCampaign();
    for (const char* cls : {"StaticEntity", "CollectableEntity", "UnitEntity"}) {
      VisBaseEntity_cl* e = Vision::Game.CreateEntity(cls, VisVector_cl(10.0f, 20.0f, 0.0f));
      static_cast<BaseEntity*>(e)->SetSave(1);
    }
    GameSessionManager::GetInstance()->GetPlayer()->AddMoney(777);
    ASSERT_EQ(saves->SaveGame(3), 1);
    good = ReadFile(SlotFile(3));
  }
  // The running game moves on from the save: a slot read only in part shows.
  void MoveOn() {
    GameSessionManager::GetInstance()->GetPlayer()->AddMoney(100);
    VisBaseEntity_cl* e = Vision::Game.CreateEntity("AnimalEntity", VisVector_cl(30.0f, 20.0f, 0.0f));
    static_cast<BaseEntity*>(e)->SetSave(1);
  }
  Bytes good;
};

TEST_F(BadSaveTest, ADamagedOrNewerSaveFailsAndLeavesTheRunningGameAsItWas) {
  const std::vector<Damage> cases = {
      {"cut in half", [](const Bytes& b) { return Bytes(b.begin(), b.begin() + (std::ptrdiff_t)b.size() / 2); },
       "does not end with its end tag"},
      {"last byte missing", [](const Bytes& b) { return Bytes(b.begin(), b.end() - 1); }, "does not end with its end tag"},
      {"start tag", [](const Bytes& b) { return Set(b, 4, 'X'); }, "no start tag"},
      {"archive version", [](const Bytes& b) { return SetI32(b, 8, 99); }, "archive version 99 cannot be read"},
      {"save version above 11", [](const Bytes& b) { return Set(b, 12, 12); }, "save version 12, this game reads versions 1 to 11"},
      {"save version negative", [](const Bytes& b) { return Set(b, 12, 0xF0); }, "save version -16"},
      {"date text count", [](const Bytes& b) { return SetI32(b, 13, 0x40000000); }, "the header is damaged"},
      {"nation count", [](const Bytes& b) { return SetI32(b, NationCountAt(b), 100000); },
       "the nation count does not fit the file"},
      {"nation block version", [](const Bytes& b) { return Set(b, NationCountAt(b) + 4 + 8, 9); },
       "Nation: the saved block has version 9"},
      {"entity record count", [](const Bytes& b) { return SetI32(b, Find(b, ArchiveString("StaticEntity")) - 8, 0x01000000); },
       "the entity record count does not fit the file"},
      {"record class unknown",
       [](const Bytes& b) { return Set(b, Find(b, ArchiveString("StaticEntity")) + 4, 'X'); },
       "class \"XtaticEntity\" cannot come from a save game"},
      {"record class not saveable",
       [](const Bytes& b) {
         Bytes out = b;
         const size_t at = Find(b, ArchiveString("StaticEntity")) + 4;
         const std::string ship = "ShipEntity\0\0";
         std::copy(ship.begin(), ship.begin() + 12, out.begin() + (std::ptrdiff_t)at);
         return out;
       },
       "cannot come from a save game"},
      // The record's class (16 bytes), its empty key, position and orientation, then the accuracy.
      {"record trace accuracy", [](const Bytes& b) { return SetI32(b, Find(b, ArchiveString("StaticEntity")) + 16 + 4 + 32, 5); },
       "unknown trace accuracy 5"},
      {"first object tag", [](const Bytes& b) { return Set(b, Find(b, ObjectHead(2, "CollectableEntity")), 7); },
       "unknown object tag 7"},
      {"first object's class", [](const Bytes& b) { return Set(b, Find(b, ObjectHead(2, "CollectableEntity")) + 12, 'Z'); },
       "class \"ZollectableEntity\" cannot come from a save game"},
      // Past the first object the file is checked while it is read: the campaign the
      // slot began to fill is dropped and the one that ran is read back.
      {"later object tag", [](const Bytes& b) { return Set(b, Find(b, ObjectHead(2, "UnitEntity")), 1); },
       "unknown object tag 1"},
      {"camera object's class", [](const Bytes& b) { return Set(b, Find(b, ObjectHead(3, "CameraEntity_cl")) + 12, 'K'); },
       "class \"KameraEntity_cl\" cannot come from a save game"},
      {"town block version", [](const Bytes& b) {
         return Set(b, Find(b, SaveBytes([](VArchive& ar) { TownManager::GetInstance()->SerializeX(ar); })) + 8, 4);
       },
       "TownManager: the saved block has version 4"},
      {"achievement block newer", [](const Bytes& b) {
         return Set(b, Find(b, SaveBytes([](VArchive& ar) { AchievementManager::GetInstance()->SerializeX(ar); }), true) + 8, 2);
       },
       "has version 2, this game reads versions up to 1"},
      {"end tag", [](const Bytes& b) { return Set(b, b.size() - 1, 'B'); }, "does not end with its end tag"},
      {"bytes after the end tag", [](const Bytes& b) {
         Bytes out = b;
         out.push_back(0);
         return out;
       },
       "does not end with its end tag"},
  };
  MoveOn();
  for (const Damage& c : cases) {
    SCOPED_TRACE(c.what);
    const Bytes bad = c.make(good);
    ASSERT_NE(bad, good);
    WriteFile(SlotFile(5), bad);
    const Bytes before = saves->WriteSaveGameBytes();
    log.Clear();
    if (auto* notices = dynamic_cast<FrameInGameMessages*>(gui->FindWindowA(WT_INGAME_MESSAGES))) notices->ClearMessageData();
    EXPECT_EQ(saves->LoadSlotIntoNewCampaign(5), 0);
    EXPECT_TRUE(log.Contains(c.logged)) << c.logged;
    EXPECT_TRUE(log.Contains("LoadSlotIntoNewCampaign(5)"));
    EXPECT_FALSE(log.Contains("could not be restored"));
    EXPECT_TRUE(NoticeShown("str_LOAD_GAME_FAILED"));
    EXPECT_TRUE(SameBytes(before, saves->WriteSaveGameBytes()));
    EXPECT_EQ(GameSessionManager::GetInstance()->GetPlayer()->GetMoney(), 877);
  }
  // The good file still loads.
  EXPECT_EQ(saves->LoadSlotIntoNewCampaign(3), 1);
  EXPECT_EQ(GameSessionManager::GetInstance()->GetPlayer()->GetMoney(), 777);
}

// Counts the steps of saving and loading that the save-game manager announces.
struct StepCounter : IVisCallbackHandler_cl {
  StepCounter() {
    for (VCallback* c : Steps()) c->RegisterCallback(this);
  }
  ~StepCounter() override {
    for (VCallback* c : Steps()) c->DeregisterCallback(this);
  }
  static std::vector<VCallback*> Steps() {
    return {&SaveGameManagerProto::OnBeforeSave, &SaveGameManagerProto::OnAfterSave,
            &SaveGameManagerProto::OnBeforeLoad, &SaveGameManagerProto::OnAfterLoad};
  }
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override {
    const std::vector<VCallback*> steps = Steps();
    counts[std::find(steps.begin(), steps.end(), data->m_pSender) - steps.begin()]++;
  }
  std::vector<int> counts = std::vector<int>(4, 0);
};

TEST_F(BadSaveTest, ASaveThatCannotBeWrittenKeepsTheOldFile) {
  // The temporary file's place is taken by a folder: the write fails (also for root).
  std::filesystem::create_directories(SlotFile(3, ".gam.tmp"));
  GameSessionManager::GetInstance()->GetPlayer()->AddMoney(1);
  log.Clear();
  StepCounter steps;
  EXPECT_EQ(saves->SaveGame(3), 0);
  EXPECT_TRUE(log.Contains("SaveGame(3): "));
  EXPECT_EQ(ReadFile(SlotFile(3)), good);
  // Nothing was announced for a file that could not be made.
  EXPECT_EQ(steps.counts, (std::vector<int>{0, 0, 0, 0}));
  std::filesystem::remove_all(SlotFile(3, ".gam.tmp"));
  EXPECT_EQ(saves->SaveGame(3), 1);
  EXPECT_EQ(steps.counts, (std::vector<int>{1, 1, 0, 0}));
  // A load keeps the running campaign (one save in memory) and reads the slot once.
  EXPECT_EQ(saves->LoadSlotIntoNewCampaign(3), 1);
  EXPECT_EQ(steps.counts, (std::vector<int>{2, 1, 1, 1}));
  EXPECT_NE(ReadFile(SlotFile(3)), good);
  EXPECT_FALSE(std::filesystem::exists(SlotFile(3, ".gam.tmp")));
  // Slots outside 1..20 write nothing.
  EXPECT_EQ(saves->SaveGame(0), 0);
  EXPECT_EQ(saves->SaveGame(21), 0);
  EXPECT_FALSE(std::filesystem::exists(SlotFile(21)));
}

}  // namespace

namespace {

// From the title screen no campaign runs: a save that fails while being read ends the
// campaign it began to fill and the main menu shows again.
TEST_F(SaveGameCampaignTest, FromTheMainMenuASaveThatFailsLeavesTheMainMenu) {
  StartCampaign();
  // The unit's record comes after the collectable's: only the read itself finds it.
  for (const char* cls : {"CollectableEntity", "UnitEntity"}) {
    VisBaseEntity_cl* e = Vision::Game.CreateEntity(cls, VisVector_cl(10.0f, 20.0f, 0.0f));
    static_cast<BaseEntity*>(e)->SetSave(1);
  }
  ASSERT_EQ(saves->SaveGame(3), 1);
  Bytes bad = ReadFile(SlotFile(3));
  const size_t at = Find(bad, ObjectHead(2, "UnitEntity"));
  ASSERT_NE(at, std::string::npos);
  bad[at] = 9;
  WriteFile(SlotFile(4), bad);
  MissionManager::GlobalManager().EndCampaign(true, false);
  ASSERT_FALSE(GameSessionManager::HasInstance());
  ASSERT_EQ(gui->GetCurrentFrame(), gui->FindWindowA(WT_MAIN_MENU));

  log.Clear();
  EXPECT_EQ(saves->LoadSlotIntoNewCampaign(4), 0);
  EXPECT_TRUE(log.Contains("unknown object tag 9"));
  EXPECT_TRUE(log.Contains("back to the main menu"));
  EXPECT_FALSE(GameSessionManager::HasInstance());
  EXPECT_NE(gui->FindWindowA(WT_MAIN_MENU), nullptr);
  EXPECT_EQ(gui->GetCurrentFrame(), gui->FindWindowA(WT_MAIN_MENU));
  // The good slot loads from there.
  EXPECT_EQ(saves->LoadSlotIntoNewCampaign(3), 1);
  EXPECT_TRUE(GameSessionManager::HasInstance());
}

}  // namespace
