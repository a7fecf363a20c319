// The save-game file through a campaign of the bundled data: what a save writes,
// read into a fresh campaign (end, start, load) and written again to the same bytes;
// every block of the file in it, and every saveable class with a row here.
#include "SaveGameCampaignFixture.h"

#include "core/BaseEntity.h"
#include "entities/CameraEntity.h"
#include "components/CarryComponent.h"
#include "components/RocketComponent.h"
#include "components/SirenComponent.h"
#include "entities/ProjectileEntity.h"
#include "engine/physics/vPhysXRigidBody.h"
#include "entities/CollectableEntity.h"
#include "entities/CollectableEntityTemplate.h"
#include "entities/HeroStats.h"
#include "entities/HeroUnitRecord.h"
#include "entities/ShipStats.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"
#include "entities/UnitEntityTemplate.h"
#include "entities/UpgradeEntity.h"
#include "entities/UpgradeEntityTemplate.h"
#include "entities/Nation.h"
#include "entities/PlayerStats.h"
#include "entities/TownEntity.h"
#include "Missions/BaseMissionProto.h"
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

// A row of the table: a block of the file, how the campaign comes to hold it, how
// the file shows it, and what must be back after the load. Entity classes are found
// by their class name in the file (records and objects both store it); manager
// blocks by the bytes the manager writes on its own.
struct BlockRow {
  const char* block;
  // The saveable entity class the row stands for (null for the other blocks).
  const char* entityClass;
  std::function<void()> fill;
  std::function<SaveGameCampaignTest::Bytes()> ownBytes;
  // Runs after the load: the values the fill gave, read back from the campaign.
  std::function<void()> check;
  // For what outlives a campaign's end: changed after the save, so that only the
  // load can bring the saved values back.
  std::function<void()> moveOn = nullptr;
};

template <class Manager>
std::function<SaveGameCampaignTest::Bytes()> ManagerBlock(Manager* (*get)()) {
  return [get] { return SaveBytes([&](VArchive& ar) { get()->SerializeX(ar); }); };
}

VisBaseEntity_cl* FindByKey(const std::string& key) {
  for (VisBaseEntity_cl* e : Vision::Game.GetEntities())
    if (e && !e->IsMarkedRemoved() && key == e->GetEntityKey()) return e;
  return nullptr;
}

template <class T>
T* Saved(const char* className, const std::string& key, float x) {
  VisBaseEntity_cl* e = Vision::Game.CreateEntity(className, VisVector_cl(x, 40.0f, 0.0f));
  EXPECT_NE(e, nullptr) << className;
  if (!e) return nullptr;
  static_cast<BaseEntity*>(e)->SetSave(1);
  e->SetEntityKey(key.c_str());
  return static_cast<T*>(e);
}

template <class T>
T* Loaded(const std::string& key) {
  VisBaseEntity_cl* e = FindByKey(key);
  EXPECT_NE(e, nullptr) << key << " did not come back";
  if (e) {
    EXPECT_TRUE(e->IsOfType(T::GetClassTypeId())) << key;
  }
  return e && e->IsOfType(T::GetClassTypeId()) ? static_cast<T*>(e) : nullptr;
}

// A saved entity of the class in the world map, back under its key and place.
BlockRow EntityRow(const char* className, float x) {
  const std::string key = std::string("saved_") + className;
  return {className, className, [=] { Saved<BaseEntity>(className, key, x); }, nullptr, [=] {
            if (BaseEntity* e = Loaded<BaseEntity>(key)) {
              EXPECT_FLOAT_EQ(e->GetPosition().x, x) << key;
            }
          }};
}

int GlobalOf(IVScriptInstance* script, const char* name) {
  int value = -1;
  EXPECT_NE(script, nullptr) << name;
  if (script) {
    EXPECT_TRUE(script->GetGlobal(name, value)) << name;
  }
  return value;
}

MissionManager& Missions() { return MissionManager::GlobalManager(); }
GameSessionManager* Session() { return GameSessionManager::GetInstance(); }

const int kStoryMission = 1;
const int kSideQuest = 20;
const int kFigurehead = 14;  // a permanent artifact
const int kPowder = 11;      // a timed artifact
const int kPotion = 33;
const int kAchievementValue = 2;
const char* const kSeenTutorial = "str_TUTORIAL_COLONY_PART2";

std::vector<BlockRow> Rows() {
  auto nothing = [] {};
  return {
      {"Nation", nullptr,
       [] { GameManager::GetInstance()->GetNation(1)->AddEnemy(2); },
       [] { return SaveBytes([](VArchive& ar) { GameManager::GetInstance()->GetNation(1)->SerializeX(ar); }); },
       [] { EXPECT_TRUE(GameManager::GetInstance()->GetNation(1)->IsEnemy(2)); }},
      {"TownManager", nullptr,
       [] {
         ASSERT_FALSE(TownManager::GetInstance()->GetWorldTowns().empty());
         TownManager::GetInstance()->GetWorldTowns().front()->SetFound(true);
       },
       ManagerBlock(&TownManager::GetInstance),
       [] {
         const std::vector<TownEntity*>& towns = TownManager::GetInstance()->GetWorldTowns();
         ASSERT_FALSE(towns.empty());
         EXPECT_TRUE(towns.front()->IsFound());
         for (size_t i = 1; i < towns.size(); ++i) EXPECT_FALSE(towns[i]->IsFound()) << i;
       }},
      // A story mission tracked with its script's state, and a side quest closed.
      {"MissionManager", nullptr,
       [] {
         ASSERT_TRUE(Missions().IsMissionOngoing(kStoryMission));
         Missions().OpenNextMission(kSideQuest);
         Missions().GetOngoingMissionById(kSideQuest).mission->SetCompleted(1);
         Missions().Update();
         ASSERT_TRUE(Missions().GetSideQuestById(kSideQuest).completed);
         Missions().TrackMission(kStoryMission);
         Missions().GetOngoingMissionById(kStoryMission).mission->GetScriptInstance()->SetGlobal("iSaved", 5);
       },
       [] { return SaveBytes([](VArchive& ar) { Missions().SerializeX(ar); }); },
       [] {
         const MissionData* tracked = Missions().GetTrackedMissionData();
         ASSERT_NE(tracked, nullptr);
         EXPECT_EQ(tracked->id, kStoryMission);
         EXPECT_EQ(GlobalOf(tracked->mission->GetScriptInstance(), "iSaved"), 5);
         EXPECT_TRUE(Missions().GetSideQuestById(kSideQuest).completed);
         EXPECT_FALSE(Missions().IsMissionOngoing(kSideQuest));
       }},
      // Money, an item in the inventory, an upgraded ship, a hero leading a unit.
      {"GameSessionManager", nullptr,
       [] {
         GameSessionManager* session = Session();
         session->GetPlayer()->AddMoney(1234);
         auto* item = new CollectableEntityTemplate();
         item->m_sCollectableScriptFile = "scripts\\Collectables\\Compass.lua";
         item->m_sKey = "Compass";
         item->m_iPrice = 75;
         session->AddCollectable(item);
         ShipStats* ship = session->GetPlayerControlledShip();
         ASSERT_NE(ship, nullptr);
                  auto* upgrade = new UpgradeEntityTemplate();
         upgrade->m_sName = "str_UPGRADE_HULL";
         upgrade->m_sUpgradeScriptFile = "scripts\\Upgrades\\HullUpgrade.lua";
         ship->AddUpgrade(upgrade);
                  HeroStats* hero = session->AddHeroById(5, VisVector_cl(0, 0, 0));
         ASSERT_NE(hero, nullptr);
                  auto* unit = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(0, 0, 0)));
         unit->SetUniqueID(GameManager::GetInstance()->GetNextUniqueID());
         UnitEntityTemplate t;
         t.m_iUnitType = 10;
         t.m_iUniqueID = unit->GetUniqueID();
         t.OnEntityCreated(unit);
         session->AddUnitToHero(hero, unit);
         // The unit stays behind in its scene; the hero's record keeps it.
         unit->Remove();
       },
       ManagerBlock(&GameSessionManager::GetInstance),
       [] {
         GameSessionManager* session = Session();
         EXPECT_GE(session->GetPlayer()->GetMoney(), 1234);
         CollectableEntityTemplate* item = session->GetCollectableByName("Compass");
         ASSERT_NE(item, nullptr);
         EXPECT_EQ(item->m_iPrice, 75);
         ShipStats* ship = session->GetPlayerControlledShip();
         ASSERT_NE(ship, nullptr);
         EXPECT_TRUE(ship->CheckUpgradeByName("str_UPGRADE_HULL"));
         HeroStats* hero = nullptr;
         for (int i = 0; i < session->GetHeroCount(); ++i)
           if (session->GetHero(i)->GetCharacterTemplate()->m_iUnitType == 5) hero = session->GetHero(i);
         ASSERT_NE(hero, nullptr);
         ASSERT_EQ(hero->GetUnitRecordCount(), 1);
         EXPECT_EQ(hero->GetUnitRecord(0)->m_pTemplate->m_iUnitType, 10);
       }},
      // The sea scene's script with a value of its own.
      {"BattleManager", nullptr,
       [] {
         BattleManager::GetInstance()->SetSceneScript(0);
         ASSERT_NE(BattleManager::GetInstance()->GetSceneScript(), nullptr);
         BattleManager::GetInstance()->GetSceneScript()->SetGlobal("iWave", 4);
       },
       ManagerBlock(&BattleManager::GetInstance),
       [] { EXPECT_EQ(GlobalOf(BattleManager::GetInstance()->GetSceneScript(), "iWave"), 4); }},
      {"LandRadarManager", nullptr, [] { LandRadarManager::GetInstance()->GetSavedList() = {3, 7, 11}; },
       ManagerBlock(&LandRadarManager::GetInstance),
       [] { EXPECT_EQ(LandRadarManager::GetInstance()->GetSavedList(), (std::vector<int32_t>{3, 7, 11})); },
       [] { LandRadarManager::GetInstance()->GetSavedList() = {5}; }},
      // A random collectable at sea and the content settings.
      {"GameContentManager", nullptr,
       [] {
         GameContentManager* content = GameContentManager::GetInstance();
         content->SetMaxShipCount(5);
         ASSERT_NE(content->AddRandomCollectable(0.0f, false), nullptr);
       },
       ManagerBlock(&GameContentManager::GetInstance),
       [] {
         GameContentManager* content = GameContentManager::GetInstance();
         EXPECT_EQ(content->GetMaxShipCount(), 5);
         ASSERT_EQ(content->GetRandomCollectableCount(), 1);
         EXPECT_NE(content->GetRandomCollectableEntity(0), nullptr);
       }},
      {"TutorialManager", nullptr, [] { TutorialManager::GetInstance()->SetTutorialState(kSeenTutorial, false); },
       ManagerBlock(&TutorialManager::GetInstance),
       [] {
         EXPECT_FALSE(TutorialManager::GetInstance()->GetTutorial(kSeenTutorial).enabled);
         EXPECT_TRUE(TutorialManager::GetInstance()->GetTutorial("str_TUTORIAL_COLONY_PART1").enabled);
       }},
      {"downloadable level", nullptr, [] { SaveGameManagerProto::GetInstance()->SetHighestDlcLevelPassed(3); },
       [] { return archive_test::ByteWriter().I32(3).Get(); },
       [] { EXPECT_EQ(SaveGameManagerProto::GetInstance()->GetHighestDlcLevelPassed(), 3); },
       [] { SaveGameManagerProto::GetInstance()->SetHighestDlcLevelPassed(1); }},
      // A permanent and a timed artifact and a potion, running.
      {"ArtifactManager", nullptr,
       [] {
         ArtifactManager* artifacts = ArtifactManager::GetInstance();
         artifacts->ActivateArtifact(kFigurehead, 0.0f, 0.25f, "", 0.0f);
         artifacts->ActivateArtifact(kPowder, 40.0f, 0.5f, "Powder", 60.0f);
         artifacts->ActivatePotion(kPotion, 20.0f, 1.5f);
       },
       ManagerBlock(&ArtifactManager::GetInstance),
       [] {
         ArtifactManager* artifacts = ArtifactManager::GetInstance();
         EXPECT_TRUE(artifacts->IsActive(kFigurehead));
         EXPECT_FLOAT_EQ(artifacts->GetEffect(kFigurehead), 0.25f);
         EXPECT_TRUE(artifacts->IsActive(kPowder));
         EXPECT_FLOAT_EQ(artifacts->GetTimeRemaining(), 40.0f);
         EXPECT_TRUE(artifacts->IsArtifactInCooldown(kPowder));
         EXPECT_EQ(artifacts->GetActivePotionId(), kPotion);
         EXPECT_FLOAT_EQ(artifacts->GetTimeRemainingPotion(), 20.0f);
         EXPECT_EQ(artifacts->GetActiveArtifactButtonImage(), "Powder");
       }},
      {"AchievementManager", nullptr,
       [] { AchievementManager::GetInstance()->SetValue(kAchievementValue, 40.0f, true); },
       ManagerBlock(&AchievementManager::GetInstance),
       [] {
         float value = 0.0f;
         EXPECT_TRUE(AchievementManager::GetInstance()->GetValue(kAchievementValue, value));
         EXPECT_FLOAT_EQ(value, 40.0f);
       },
       [] { AchievementManager::GetInstance()->SetValue(kAchievementValue, 10.0f, true); }},
      // Entities: rebuilt records and whole objects.
      EntityRow("BaseEntity", 10.0f),
      EntityRow("StaticEntity", 20.0f),
      EntityRow("AnimalEntity", 30.0f),
      // An item lying in the world, with its script.
      {"CollectableEntity", "CollectableEntity",
       [] {
         // The shell's script keeps it under its own key.
         auto* item = Saved<CollectableEntity>("CollectableEntity", "Seashell", 40.0f);
         ASSERT_NE(item, nullptr);
         item->SetCollectableScriptFile("scripts\\Collectables\\Seashell.lua");
         item->m_iPrice = 25;
         item->InitCollectableItem();
       },
       nullptr,
       [] {
         auto* item = Loaded<CollectableEntity>("Seashell");
         ASSERT_NE(item, nullptr);
         EXPECT_EQ(item->m_iPrice, 25);
         EXPECT_EQ(item->m_sCollectableScriptFile, "scripts\\Collectables\\Seashell.lua");
         EXPECT_NE(Vision::GetScriptManager()->GetScriptInstance(item), nullptr);
       }},
      {"UpgradeEntity", "UpgradeEntity",
       [] {
         auto* upgrade = Saved<UpgradeEntity>("UpgradeEntity", "saved_UpgradeEntity", 50.0f);
         ASSERT_NE(upgrade, nullptr);
         upgrade->m_sIcon = "icon_hull";
       },
       nullptr,
       [] {
         auto* upgrade = Loaded<UpgradeEntity>("saved_UpgradeEntity");
         ASSERT_NE(upgrade, nullptr);
         EXPECT_EQ(upgrade->m_sIcon, "icon_hull");
       }},
      EntityRow("ProjectileEntity", 60.0f),
      // A soldier carrying loot: the carry component refers to the saved item.
      {"SoldierEntity", "SoldierEntity",
       [] {
         auto* soldier = Saved<SoldierEntity>("SoldierEntity", "saved_SoldierEntity", 70.0f);
         auto* loot = Saved<CollectableEntity>("CollectableEntity", "carried_loot", 71.0f);
         ASSERT_TRUE(soldier && loot);
         auto* carry = new CarryComponent();
         soldier->AddComponent(carry);
         carry->StartCarry(loot);
         ASSERT_TRUE(carry->IsCarrying());
       },
       nullptr,
       [] {
         auto* soldier = Loaded<SoldierEntity>("saved_SoldierEntity");
         ASSERT_NE(soldier, nullptr);
         auto* carry = soldier->Components<CarryComponent>();
         ASSERT_NE(carry, nullptr);
         EXPECT_EQ(carry->GetCarryItem(), FindByKey("carried_loot"));
       }},
      EntityRow("UnitEntity", 80.0f),
      // The world map's towns travel in the town manager's block.
      {"TownEntity", "TownEntity", nothing, nullptr, nothing},
      {"StrongholdEntity", "StrongholdEntity", nothing, nullptr, nothing},
      // The campaign's camera is written as a camera object.
      {"CameraEntity_cl", "CameraEntity_cl", nothing, nullptr, nothing},
      EntityRow("AreaEffectProjectileEntity", 90.0f),
      EntityRow("BuildingBaseEntity", 90.0f),
      EntityRow("MineEntity", 100.0f),
      EntityRow("FartBombEntity", 110.0f),
      EntityRow("WhaleEntity", 120.0f),
      // A siren on its rock keeps its song's values (not its switch).
      {"SirenComponent", nullptr,
       [] {
         auto* rock = Saved<BaseEntity>("BaseEntity", "saved_siren", 120.0f);
         ASSERT_NE(rock, nullptr);
         auto* siren = new SirenComponent();
         ASSERT_TRUE(rock->AddComponent(siren));
         siren->SetReloadDelay(3.5f);
         siren->m_fDamageMax = 7.0f;
       },
       nullptr,
       [] {
         auto* rock = Loaded<BaseEntity>("saved_siren");
         ASSERT_NE(rock, nullptr);
         auto* siren = rock->Components<SirenComponent>();
         ASSERT_NE(siren, nullptr);
         EXPECT_FLOAT_EQ(siren->GetReloadDelay(), 3.5f);
         EXPECT_FLOAT_EQ(siren->m_fDamageMax, 7.0f);
       }},
      // A rocket in flight comes back as it was, not launched a second time.
      {"RocketComponent", nullptr,
       [] {
         auto* rocket = Saved<ProjectileEntity>("ProjectileEntity", "saved_rocket", 130.0f);
         ASSERT_NE(rocket, nullptr);
         ASSERT_TRUE(rocket->AddComponent(new RocketComponent()));
         rocket->SetEntityKey("saved_rocket");
       },
       nullptr,
       [] {
         auto* rocket = Loaded<ProjectileEntity>("saved_rocket");
         ASSERT_NE(rocket, nullptr);
         int rockets = 0, bodies = 0;
         for (int i = 0; i < rocket->GetComponentCount(); ++i) {
           rockets += rocket->GetComponent(i)->IsOfType(RocketComponent::GetClassTypeId());
           bodies += rocket->GetComponent(i)->IsOfType(vPhysXRigidBody::GetClassTypeId());
         }
         EXPECT_EQ(rockets, 1);
         EXPECT_EQ(bodies, 1);
         EXPECT_NE(std::string(rocket->GetMeshFileName()).find("rocket"), std::string::npos);
         // Its body came back before its place and takes the place read.
         EXPECT_FLOAT_EQ(rocket->GetPosition().x, 130.0f);
       }},
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

  for (const BlockRow& row : rows) {
    SCOPED_TRACE(row.block);
    row.fill();
  }
  std::map<std::string, int> live;
  for (const BlockRow& row : rows)
    if (row.entityClass) live[row.entityClass] = CountLive(VType::FindType(row.entityClass));

  ASSERT_EQ(saves->SaveGame(3), 1);
  const Bytes first = ReadFile(SlotFile(3));
  // The save-file fuzzer's seed is this campaign's save.
  if (const char* seed = getenv("FUZZ_WRITE_SAVE_SEED")) WriteFile(seed, first);
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

  log.Clear();
  for (const BlockRow& row : rows)
    if (row.moveOn) row.moveOn();
  ASSERT_EQ(saves->LoadSlotIntoNewCampaign(3), 1) << ::testing::PrintToString(log.Lines());
  EXPECT_FALSE(log.Contains("failed while being read"));
  for (const BlockRow& row : rows) {
    SCOPED_TRACE(row.block);
    if (row.entityClass) {
      EXPECT_EQ(CountLive(VType::FindType(row.entityClass)), live[row.entityClass]);
    }
    row.check();
  }

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
