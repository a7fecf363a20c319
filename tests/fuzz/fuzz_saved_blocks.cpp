// Every saved-block owner's reader over arbitrary bytes, in a live game world: the
// first byte picks the owner from the table, the rest is the archive it reads. No
// crash, no sanitizer report, no leak; whatever was read writes itself out again,
// and every input starts from fresh objects that are gone again after it.
//
// FUZZ_WRITE_SEEDS=<folder> writes one seed per owner (its index byte, then the
// bytes its own writer produces) into the folder and ends the program.
// fuzz-libs: Tidework
#include "FuzzLoadedObjects.h"
#include "support/NavalScenario.h"

#include "Factories/ShipFactory.h"
#include "Managers/AchievementManager.h"
#include "Managers/ArtifactManager.h"
#include "Managers/GameContentManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/LandRadarManager.h"
#include "Managers/TutorialManager.h"
#include "Missions/MissionManager.h"
#include "components/CarryComponent.h"
#include "components/PrisonComponent.h"
#include "components/SoldierSpawner.h"
#include "components/SpawnerBaseComponent.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SerializableStream.h"
#include "components/AIShipComponent.h"
#include "components/CannonBallComponent.h"
#include "components/CannonComponent.h"
#include "components/DamageTextureComponent.h"
#include "components/InfantryMovementComponent.h"
#include "components/NoiseListenerComponent.h"
#include "components/ShipBattleComponent.h"
#include "components/ShipMovementComponent.h"
#include "components/ShipPathComponent.h"
#include "core/BaseEntity.h"
#include "core/SelectionBox.h"
#include "util/ComponentSetup.h"
#include "entities/CannonEntity.h"
#include "entities/ClothEntity.h"
#include "entities/CollectableEntity.h"
#include "entities/CollectableEntityTemplate.h"
#include "entities/CombatSkills.h"
#include "entities/HeroSkills.h"
#include "entities/HeroStats.h"
#include "entities/Hitpoints.h"
#include "entities/NPCStats.h"
#include "entities/Nation.h"
#include "entities/PlayerStats.h"
#include "entities/ProjectileEntity.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/Skill.h"
#include "entities/SoldierEntity.h"
#include "entities/SoldierEntityTemplate.h"
#include "entities/SoldierStats.h"
#include "entities/StatsIncrease.h"
#include "entities/UnitEntity.h"
#include "entities/UnitEntityTemplate.h"
#include "entities/UpgradeEntity.h"
#include "entities/UpgradeEntityTemplate.h"
#include "util/UserArchiveFile.h"

#include "engine/Vision.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

void Require(bool condition) {
  if (!condition) abort();
}

// An owner runs its block through the archive: a fresh object reads (or, for the
// seeds, writes) it; loading runs write the object out again into 'again' once the
// read is over. Plain objects die with the run, entities when the world is emptied
// after it.
struct Owner {
  const char* name;
  void (*run)(VArchive& ar, VArchive* again);
};

// Whatever the archive created and nobody took goes while the reader's objects are
// still alive to say what they took.
void Release(VArchive& ar) { fuzz_checks::ReleaseLoadedObjects(ar); }

// A reader's answer and its archive agree: a block read whole leaves the archive
// sound, a failed one leaves it failed. A cleanly failed block is no error.
void RequireAnswer(bool read, VArchive& ar) {
  if (ar.IsLoading()) Require(read == ar.IsOK());
}

// Objects whose SerializeX goes both ways.
template <class T>
void Both(T& object, VArchive& ar, VArchive* again) {
  RequireAnswer(object.SerializeX(ar), ar);
  if (again) object.SerializeX(*again);
  Release(ar);
}

template <class T>
void Record(VArchive& ar, VArchive* again) {
  std::unique_ptr<T> record(new T());
  Both(*record, ar, again);
}

void RunNation(VArchive& ar, VArchive* again) {
  Nation nation(7, "Fuzzland");
  if (ar.IsSaving()) {
    nation.AddEnemy(1);
    nation.AddEnemy(3);
    nation.AddShipScript("scripts\\Ships\\TestSloop.lua");
  }
  Both(nation, ar, again);
}

void RunSerializableStream(VArchive& ar, VArchive* again) {
  VSmartPtr<SerializableStream> stream = new SerializableStream("<Stream>");
  if (ar.IsSaving()) {
    IVFileOutStream* out = stream->Create("<ShipArchive>");
    out->Write("ARCH", 4);
    out->Close();
  }
  Both(*stream, ar, again);
}

// Components read detached, the way a reader drops the block of a sail the ship no
// longer has.
template <class T>
void ComponentX(VArchive& ar, VArchive* again) {
  std::unique_ptr<T> component(new T());
  Both(*component, ar, again);
}

template <class T>
void ComponentFull(VArchive& ar, VArchive* again) {
  std::unique_ptr<T> component(new T());
  component->Serialize(ar);
  if (again) component->Serialize(*again);
  Release(ar);
}

// Entities read into a fresh entity of the world, as the tests make them.
template <class T>
T* MakeEntity() {
  return static_cast<T*>(Vision::Game.CreateEntity(T::GetClassTypeId()->GetClassName(), VisVector_cl(0, 0, 0)));
}

template <class T>
void Entity(VArchive& ar, VArchive* again) {
  T* entity = MakeEntity<T>();
  Require(entity != nullptr);
  entity->Serialize(ar);
  if (again) entity->Serialize(*again);
  Release(ar);
}

void RunShip(VArchive& ar, VArchive* again) {
  ShipEntity* ship = MakeEntity<ShipEntity>();
  if (ar.IsSaving()) {
    ship->SetConfigFile("Ships\\TestSloop.bin");
    ship->GetSails()[1] = MakeEntity<ClothEntity>();
  }
  ship->Serialize(ar);
  if (again) ship->Serialize(*again);
  Release(ar);
}

void RunUnit(VArchive& ar, VArchive* again) {
  UnitEntity* unit = MakeEntity<UnitEntity>();
  if (ar.IsSaving()) {
    unit->AddSoldier(nullptr);
    unit->AddSoldier(nullptr);
  }
  unit->Serialize(ar);
  // The set-up after a load makes the soldiers the stored count asks for.
  if (ar.IsLoading()) unit->OnDeserializationCallback(nullptr);
  if (again) unit->Serialize(*again);
  Release(ar);
}

void RunSoldier(VArchive& ar, VArchive* again) {
  SoldierEntity* soldier = MakeEntity<SoldierEntity>();
  soldier->Serialize(ar);
  if (ar.IsLoading()) soldier->OnDeserializationCallback(nullptr);
  if (again) soldier->Serialize(*again);
  Release(ar);
}

// The ship configuration archive: the bytes are the archive held in the ship
// record's component stream, read into a ship with two sails.
void RunShipConfiguration(VArchive& ar, VArchive* again) {
  ShipEntity* ship = MakeEntity<ShipEntity>();
  ShipStats stats;
  ship->SetStats(&stats);
  ship->GetSails()[0] = MakeEntity<ClothEntity>();
  ship->GetSails()[1] = MakeEntity<ClothEntity>();
  VSmartPtr<SerializableStream> stream = new SerializableStream("<ShipStream>");
  stats.SetComponentStream(stream);
  if (ar.IsSaving()) {
    ComponentSetup::TakeOrAdd<ShipMovementComponent>(ship);
    ComponentSetup::TakeOrAdd<ShipBattleComponent>(ship);
    ComponentSetup::TakeOrAdd<AIShipComponent>(ship);
    ComponentSetup::TakeOrAdd<ShipPathComponent>(ship);
    ComponentSetup::TakeOrAdd<DamageTextureComponent>(ship);
    ComponentSetup::TakeOrAdd<DamageTextureComponent>(ship->GetSails()[1]);
    ShipFactory::GetInstance()->SaveShipComponents(ship);
    VMemoryStream* file = stream->GetMemoryStream();
    Require(file != nullptr);
    ar.Write(file->GetDataPtr(), (size_t)file->GetSize());
  } else {
    IVFileOutStream* out = stream->Create("<ShipArchive>");
    std::vector<uint8_t> bytes((size_t)ar.GetRemaining());
    if (!bytes.empty()) ar.Read(bytes.data(), bytes.size());
    out->Write(bytes.data(), bytes.size());
    out->Close();
    ShipFactory::GetInstance()->LoadShipComponents(ship);
    if (again) ShipFactory::GetInstance()->SaveShipComponents(ship);
  }
  Release(ar);
  ship->SetStats(nullptr);
}

// The campaign's managers: a fresh instance reads the block and is gone again after
// the input.
template <class M>
void Manager(VArchive& ar, VArchive* again, void (*fill)(M&)) {
  M::CleanInstance();
  M* manager = M::GetInstance();
  if (ar.IsSaving() && fill) fill(*manager);
  RequireAnswer(manager->SerializeX(ar), ar);
  if (again) manager->SerializeX(*again);
  Release(ar);
  M::CleanInstance();
}

void RunTutorialManager(VArchive& ar, VArchive* again) {
  Manager<TutorialManager>(ar, again, [](TutorialManager& tutorials) {
    tutorials.GetTutorial("str_TUTORIAL_COLONY_PART1").enabled = false;
    tutorials.GetTutorial("str_TUTORIAL_HERO_PART2").enabled = true;
  });
}

void RunAchievementManager(VArchive& ar, VArchive* again) {
  Manager<AchievementManager>(ar, again, [](AchievementManager& achievements) {
    achievements.SetValue(2, 40.0f, true);
    achievements.SetValue(5, 3.0f, true);
  });
}

void RunArtifactManager(VArchive& ar, VArchive* again) {
  Manager<ArtifactManager>(ar, again, [](ArtifactManager& artifacts) {
    artifacts.ActivateArtifact(14, 0.0f, 0.25f, "", 0.0f);
    artifacts.ActivateArtifact(11, 10.0f, 0.5f, "Powder", 30.0f);
    artifacts.ActivatePotion(33, 20.0f, 1.0f);
  });
}

void RunGameContentManager(VArchive& ar, VArchive* again) {
  Manager<GameContentManager>(ar, again, [](GameContentManager& content) {
    content.SetMaxShipCount(4);
    auto* stored = new CollectableEntityTemplate();
    stored->m_vPosition = VisVector_cl(30, 40, 0);
    stored->m_sKey = "Treasure";
    content.LoadRandomCollectable(stored);
  });
}

void RunLandRadarManager(VArchive& ar, VArchive* again) {
  Manager<LandRadarManager>(ar, again, [](LandRadarManager& radar) { radar.GetSavedList() = {3, 7, 11}; });
}

// The missions: the manager owns the mission objects it read and deletes those of a
// block it refused, whose places in the archive's table then dangle; nothing else
// comes out of its block, so the archive's objects are left to it.
void RunMissionManager(VArchive& ar, VArchive* again) {
  MissionManager& missions = MissionManager::GlobalManager();
  missions.ClearLists(true);
  if (ar.IsSaving()) {
    MissionData story;
    story.id = 1;
    story.name = "str_STORY_MISSION_SALTMARSH";
    story.script = "scripts\\Missions\\StoryReachSaltmarsh.lua";
    missions.AddOngoingStoryMission(story);
    MissionData quest = story;
    quest.id = 20;
    quest.nation = 2;
    missions.AddOngoingSideQuest(quest);
    missions.TrackMission(20);
  }
  RequireAnswer(missions.SerializeX(ar), ar);
  if (again) missions.SerializeX(*again);
  missions.ClearLists(true);
}

void RunCollectable(VArchive& ar, VArchive* again) {
  auto* item = MakeEntity<CollectableEntity>();
  Require(item != nullptr);
  if (ar.IsSaving()) {
    item->m_iPrice = 25;
    item->m_sType = "Seashell";
  }
  item->Serialize(ar);
  if (ar.IsLoading()) item->OnDeserializationCallback(nullptr);
  if (again) item->Serialize(*again);
  Release(ar);
}

void RunUpgrade(VArchive& ar, VArchive* again) {
  auto* upgrade = MakeEntity<UpgradeEntity>();
  Require(upgrade != nullptr);
  if (ar.IsSaving()) {
    upgrade->m_sName = "str_UPGRADE_HULL";
    upgrade->m_sIcon = "icon_hull";
  }
  upgrade->Serialize(ar);
  if (again) upgrade->Serialize(*again);
  Release(ar);
}

// A carrier's component: the target and the item are references to collectables.
void RunCarry(VArchive& ar, VArchive* again) {
  SoldierEntity* soldier = MakeEntity<SoldierEntity>();
  auto* carry = new CarryComponent();
  soldier->AddComponent(carry);
  if (ar.IsSaving()) {
    carry->SetCarryTarget(MakeEntity<CollectableEntity>());
    carry->SetCarryItem(MakeEntity<CollectableEntity>());
  }
  carry->Serialize(ar);
  if (again) carry->Serialize(*again);
  Release(ar);
}

// achievements.bin: the bytes are the whole file, read by a fresh manager from the
// player's folder.
void RunAchievementsFile(VArchive& ar, VArchive* again) {
  AchievementManager::CleanInstance();
  std::string path;
  Require(AchievementManager::GetAchievementsFilePath(path));
  if (ar.IsSaving()) {
    AchievementManager* achievements = AchievementManager::GetInstance();
    achievements->SetValue(7, 12.0f, false);
    achievements->SetAchievement(3);
    Require(achievements->SaveAchievements());
    std::vector<uint8_t> bytes;
    FILE* f = fopen(path.c_str(), "rb");
    Require(f != nullptr);
    for (int c; (c = fgetc(f)) != EOF;) bytes.push_back((uint8_t)c);
    fclose(f);
    ar.Write(bytes.data(), bytes.size());
  } else {
    std::vector<uint8_t> bytes((size_t)ar.GetRemaining());
    if (!bytes.empty()) ar.Read(bytes.data(), bytes.size());
    FILE* f = fopen(path.c_str(), "wb");
    Require(f != nullptr && fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size());
    fclose(f);
    Vision::File.ClearCache();
    AchievementManager* achievements = AchievementManager::GetInstance();
    achievements->CheckAchievements();
    if (again) achievements->SerializeX(*again);
  }
  std::filesystem::remove(path);
  Vision::File.ClearCache();
  AchievementManager::CleanInstance();
}

// A spawner read detached: its unit kinds and spawned records are unit templates.
template <class T>
void RunSpawner(VArchive& ar, VArchive* again) {
  std::unique_ptr<T> spawner(new T());
  if (ar.IsSaving()) {
    spawner->SetSpawnerName("str_GUARDS");
    auto* kind = new UnitEntityTemplate("UnitEntity");
    kind->m_iNation = 2;
    kind->m_iMaxNumSoldiers = 4;
    spawner->AddUnit(kind);
  }
  spawner->Serialize(ar);
  if (again) spawner->Serialize(*again);
  Release(ar);
}

const Owner kOwners[] = {
    {"BaseEntity", &Entity<BaseEntity>},
    {"ShipEntity", &RunShip},
    {"SoldierEntity", &RunSoldier},
    {"UnitEntity", &RunUnit},
    {"CannonEntity", &Entity<CannonEntity>},
    {"ProjectileEntity", &Entity<ProjectileEntity>},
    {"ClothEntity", &Entity<ClothEntity>},
    {"ShipBattleComponent", &ComponentFull<ShipBattleComponent>},
    {"ShipBattleComponentX", &ComponentX<ShipBattleComponent>},
    {"CannonBallComponent", &ComponentFull<CannonBallComponent>},
    {"AIShipComponent", &ComponentFull<AIShipComponent>},
    {"AIShipComponentX", &ComponentX<AIShipComponent>},
    {"DamageTextureComponentX", &ComponentX<DamageTextureComponent>},
    {"NoiseListenerComponent", &ComponentFull<NoiseListenerComponent>},
    {"NoiseListenerComponentX", &ComponentX<NoiseListenerComponent>},
    {"ShipPathComponent", &ComponentFull<ShipPathComponent>},
    {"ShipPathComponentX", &ComponentX<ShipPathComponent>},
    {"CannonComponent", &ComponentFull<CannonComponent>},
    {"ShipMovementComponent", &ComponentFull<ShipMovementComponent>},
    {"ShipMovementComponentX", &ComponentX<ShipMovementComponent>},
    {"InfantryMovementComponent", &ComponentFull<InfantryMovementComponent>},
    {"Hitpoints", &Record<Hitpoints>},
    {"Skill", &Record<Skill>},
    {"CombatSkills", &Record<CombatSkills>},
    {"HeroSkills", &Record<HeroSkills>},
    {"StatsIncrease", &Record<StatsIncrease>},
    {"NPCStats", &Record<NPCStats>},
    {"SoldierStats", &Record<SoldierStats>},
    {"HeroStats", &Record<HeroStats>},
    {"PlayerStats", &Record<PlayerStats>},
    {"ShipStats", &Record<ShipStats>},
    {"Nation", &RunNation},
    {"UnitEntityTemplate", &Record<UnitEntityTemplate>},
    {"SoldierEntityTemplate", &Record<SoldierEntityTemplate>},
    {"UpgradeEntityTemplate", &Record<UpgradeEntityTemplate>},
    {"SelectionBox", &Record<SelectionBox>},
    {"SerializableStream", &RunSerializableStream},
    {"ShipConfiguration", &RunShipConfiguration},
    {"MissionManager", &RunMissionManager},
    {"TutorialManager", &RunTutorialManager},
    {"AchievementManager", &RunAchievementManager},
    {"ArtifactManager", &RunArtifactManager},
    {"GameContentManager", &RunGameContentManager},
    {"LandRadarManager", &RunLandRadarManager},
    {"CollectableEntity", &RunCollectable},
    {"UpgradeEntity", &RunUpgrade},
    {"CarryComponent", &RunCarry},
    {"CollectableEntityTemplate", &Record<CollectableEntityTemplate>},
    {"AchievementsFile", &RunAchievementsFile},
    {"SpawnerBaseComponent", &RunSpawner<SpawnerBaseComponent>},
    {"SoldierSpawner", &RunSpawner<SoldierSpawner>},
    {"PrisonComponent", &RunSpawner<PrisonComponent>},
};
constexpr size_t kOwnerCount = sizeof(kOwners) / sizeof(kOwners[0]);

// The world empties after each input; so does the session, whose records of every
// soldier ever made would otherwise slow each later input down.
void FreeEntities() {
  Vision::Game.RemoveAllEntities();
  Vision::Game.FreeRemovedEntities();
  GameSessionManager::CleanInstance();
}

std::vector<uint8_t> Write(const Owner& owner) {
  VSmartPtr<VMemoryStream> memory = new VMemoryStream("<Seed>");
  VMemoryOutStream* out = new VMemoryOutStream(memory);
  {
    VArchive ar("<Seed>", out);
    owner.run(ar, nullptr);
    ar.Close();
  }
  out->Close();
  FreeEntities();
  return memory->GetBuffer();
}

void WriteSeeds(const char* folder) {
  for (size_t i = 0; i < kOwnerCount; ++i) {
    std::vector<uint8_t> bytes = Write(kOwners[i]);
    bytes.insert(bytes.begin(), (uint8_t)i);
    const std::string path = std::string(folder) + "/" + kOwners[i].name + ".bin";
    FILE* f = fopen(path.c_str(), "wb");
    Require(f != nullptr && fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size());
    fclose(f);
  }
}

// The player's folder (achievements.bin) is a scratch folder of the run.
std::string g_documents;
void RemoveDocuments() { std::filesystem::remove_all(g_documents); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char folder[] = "/tmp/fuzz_saved_blocks_XXXXXX";
  Require(mkdtemp(folder) != nullptr);
  g_documents = folder;
  setenv("ENGINE_DOCUMENTS_DIR", folder, 1);
  atexit(&RemoveDocuments);
  naval_scenario::StartFixedStep(4711u, 1.0f / 60.0f);
  naval_scenario::AddWarringNations("Neutral", "Pirate");
  if (const char* folder = getenv("FUZZ_WRITE_SEEDS")) {
    WriteSeeds(folder);
    exit(0);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const Owner& owner = kOwners[data[0] % kOwnerCount];
  VMemoryInStream* in = new VMemoryInStream(data + 1, size - 1);
  VSmartPtr<VMemoryStream> written = new VMemoryStream("<Again>");
  VMemoryOutStream* out = new VMemoryOutStream(written);
  {
    VArchive ar("<FuzzBlock>", in);
    VArchive again("<Again>", out);
    owner.run(ar, &again);
    again.Close();
    ar.Close();
  }
  out->Close();
  in->Close();
  FreeEntities();
  return 0;
}
