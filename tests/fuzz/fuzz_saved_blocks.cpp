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
#include "Managers/GameSessionManager.h"
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
#include "entities/UpgradeEntityTemplate.h"

#include "engine/Vision.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
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

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
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
