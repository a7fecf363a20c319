// The archive's object reader over arbitrary bytes, with every class of the engine
// and the game registered: objects are created by class name and read their own
// data. No crash, no sanitizer report, no leak; every object it hands out is of a
// creatable class, and whatever was read writes itself out again.
//
// FUZZ_WRITE_SEEDS=<folder> writes a few archives of objects into the folder and
// ends the program.
// fuzz-libs: Tidework
#include "FuzzLoadedObjects.h"
#include "support/NavalScenario.h"

#include "Managers/GameSessionManager.h"
#include "components/ShipMovementComponent.h"
#include "components/ShipPathComponent.h"
#include "entities/UnitEntity.h"

#include "engine/Vision.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Require(bool condition) {
  if (!condition) abort();
}

// The world empties after each input; so does the session, whose records of every
// soldier ever made would otherwise slow each later input down.
void FreeEntities() {
  Vision::Game.RemoveAllEntities();
  Vision::Game.FreeRemovedEntities();
  GameSessionManager::CleanInstance();
}

constexpr int kMaxObjects = 16;

void WriteSeed(const char* folder, const char* name, const std::vector<VTypedObject*>& objects) {
  VSmartPtr<VMemoryStream> memory = new VMemoryStream("<Seed>");
  VMemoryOutStream* out = new VMemoryOutStream(memory);
  {
    VArchive ar("<Seed>", out);
    for (VTypedObject* obj : objects) ar.WriteObject(obj);
    ar.Close();
  }
  out->Close();
  const std::vector<uint8_t>& bytes = memory->GetBuffer();
  const std::string path = std::string(folder) + "/" + name + ".bin";
  FILE* f = fopen(path.c_str(), "wb");
  Require(f != nullptr && fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size());
  fclose(f);
}

void WriteSeeds(const char* folder) {
  // An entity with components, a reference back to one of them and a null.
  auto* ship = Vision::Game.CreateEntity("ShipEntity", VisVector_cl(1, 2, 3));
  auto* movement = new ShipMovementComponent();
  ship->AddComponent(movement);
  ship->AddComponent(new ShipPathComponent());
  WriteSeed(folder, "ship_with_components", {ship, movement, nullptr});

  // A unit with its soldiers, which refer to their unit.
  auto* unit = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(0, 0, 0)));
  unit->AddSoldier(nullptr);
  unit->AddSoldier(nullptr);
  WriteSeed(folder, "unit_with_soldiers", {unit});

  // A curved path.
  VSmartPtr<VisPath_cl> path = new VisPath_cl();
  path->AddPathNode(new VisPathNode_cl(VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0), VisVector_cl(2, 1, 0)));
  path->AddPathNode(new VisPathNode_cl(VisVector_cl(10, 0, 0), VisVector_cl(-2, 1, 0), VisVector_cl(0, 0, 0)));
  WriteSeed(folder, "path", {path});
  FreeEntities();
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
  VMemoryInStream* in = new VMemoryInStream(data, size);
  VSmartPtr<VMemoryStream> written = new VMemoryStream("<Again>");
  VMemoryOutStream* out = new VMemoryOutStream(written);
  {
    VArchive ar("<FuzzObjects>", in);
    VArchive again("<Again>", out);
    std::vector<VTypedObject*> read;
    for (int i = 0; i < kMaxObjects && ar.IsOK() && ar.GetRemaining() > 0; ++i) {
      VTypedObject* obj = ar.ReadObject();
      if (!obj) continue;
      Require(obj->GetTypeId()->CanCreate());
      read.push_back(obj);
    }
    for (VTypedObject* obj : ar.GetLoadedObjects()) Require(obj != nullptr && obj->GetTypeId()->CanCreate());
    for (VTypedObject* obj : read) again.WriteObject(obj);
    fuzz_checks::ReleaseLoadedObjects(ar);
    again.Close();
    ar.Close();
  }
  out->Close();
  in->Close();
  FreeEntities();
  return 0;
}
