// Ship configuration archives: building a ship from one (rigid body, sails, the
// cannons with their groups, the cannon observer), the rules for sides, special
// and double cannons, and the bundled test sloop's archive, which the generator
// below writes with the ship's own SaveToConfig.
//
// BRINEMARK_WRITE_SHIP_CONFIG=1 makes the generator test write the bundled file
// instead of comparing with it.
#include "entities/ShipEntity.h"

#include "components/CannonComponent.h"
#include "components/CannonObserverComponent.h"
#include "entities/CannonEntity.h"
#include "entities/ClothEntity.h"
#include "support/ArchiveRoundTrip.h"
#include "support/ShipTestWorld.h"

#include "engine/physics/vPhysXRigidBody.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace archive_test;
namespace fs = std::filesystem;

namespace {

struct CannonPlace {
  VisVector_cl position;
  float yaw;
  bool special;
};

// The test sloop's cannons: two on the left (positive local x and y) facing left,
// two on the right facing right, and the special cannon amidships on the deck,
// facing left, so that an enemy abeam on the left lies in its line of fire.
const CannonPlace kSloopCannons[] = {
    {VisVector_cl(4.0f, 3.5f, 2.0f), 90.0f, false},
    {VisVector_cl(1.0f, 3.5f, 2.0f), 90.0f, false},
    {VisVector_cl(-1.0f, -3.5f, 2.0f), -90.0f, false},
    {VisVector_cl(-4.0f, -3.5f, 2.0f), -90.0f, false},
    {VisVector_cl(-2.5f, 0.0f, 3.0f), 90.0f, true},
};

// The test frigate: five cannons a side (a cannon counts for the left broadside
// when it stands at a local x above 0, so the left battery sits forward and the
// right one aft) and the special cannon amidships on the deck.
const CannonPlace kFrigateCannons[] = {
    {VisVector_cl(11.0f, 4.5f, 2.0f), 90.0f, false},  {VisVector_cl(8.5f, 4.5f, 2.0f), 90.0f, false},
    {VisVector_cl(6.0f, 4.5f, 2.0f), 90.0f, false},   {VisVector_cl(3.5f, 4.5f, 2.0f), 90.0f, false},
    {VisVector_cl(1.0f, 4.5f, 2.0f), 90.0f, false},   {VisVector_cl(-1.0f, -4.5f, 2.0f), -90.0f, false},
    {VisVector_cl(-3.5f, -4.5f, 2.0f), -90.0f, false}, {VisVector_cl(-6.0f, -4.5f, 2.0f), -90.0f, false},
    {VisVector_cl(-8.5f, -4.5f, 2.0f), -90.0f, false}, {VisVector_cl(-11.0f, -4.5f, 2.0f), -90.0f, false},
    {VisVector_cl(-2.5f, 0.0f, 3.5f), 90.0f, true},
};

struct ShipType {
  const char* name;
  float mass;
  VisVector_cl body;
  std::vector<CannonPlace> cannons;
  int perSide;
};
const ShipType kShipTypes[] = {
    {"TestSloop", 40.0f, VisVector_cl(24, 8, 10), {std::begin(kSloopCannons), std::end(kSloopCannons)}, 2},
    {"TestFrigate", 60.0f, VisVector_cl(30, 10, 11), {std::begin(kFrigateCannons), std::end(kFrigateCannons)}, 5},
};

class ShipConfigFileTest : public ShipTestWorld {
 protected:
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    ShipTestWorld::TearDown();
  }

  static ShipEntity* MakeShip(const VisVector_cl& position = VisVector_cl(0, 0, 0)) {
    return static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", position));
  }

  // A configuration archive in the scratch data folder, written by hand in the
  // reader's layout (version, format, body, cloths, cannons, collisions).
  void WriteConfig(const std::string& name, const std::vector<CannonPlace>& cannons,
                   const std::vector<const char*>& clothKeys = {}) {
    Bytes bytes = SaveBytes([&](VArchive& ar) {
      ar << Vision::GetArchiveVersion() << 1;
      ar.WriteObject(nullptr);
      ar << (int)clothKeys.size();
      for (const char* key : clothKeys) {
        auto* cloth = static_cast<ClothEntity*>(Vision::Game.CreateEntity("ClothEntity", VisVector_cl(0, 0, 0)));
        cloth->SetEntityKey(key);
        ar.WriteObject(cloth);
        ar << VisVector_cl(0, 0, 3) << VisVector_cl(0, 0, 0);
        cloth->Remove();
      }
      ar << (int)cannons.size();
      for (const CannonPlace& place : cannons) {
        auto* cannon = static_cast<CannonEntity*>(Vision::Game.CreateEntity("CannonEntity", VisVector_cl(0, 0, 0)));
        cannon->SetSpecialCannon(place.special);
        ar.WriteObject(cannon);
        ar << place.position << VisVector_cl(place.yaw, 0, 0);
        cannon->Remove();
      }
      ar << 0;
    });
    Vision::Game.FreeRemovedEntities();
    std::ofstream(m_dir / name, std::ios::binary).write((const char*)bytes.data(), (std::streamsize)bytes.size());
    Vision::File.ClearCache();
  }

  // The cannon components on the ship's cannon entities, by group.
  static std::map<int, int> ComponentsByGroup(ShipEntity* ship) {
    std::map<int, int> groups;
    for (int i = 0; i < ship->GetNumChildren(); ++i) {
      VisObject3D_cl* child = ship->GetChild(i);
      if (!child->IsOfType(CannonEntity::GetClassTypeId())) continue;
      for (int c = 0; c < child->GetComponentCount(); ++c)
        if (child->GetComponent(c)->IsOfType(CannonComponent::GetClassTypeId()))
          ++groups[static_cast<CannonComponent*>(child->GetComponent(c))->GetCannonGroup()];
    }
    return groups;
  }
};

TEST_F(ShipConfigFileTest, TheTestSloopHasTwoCannonsOnEachSideAndASpecialCannon) {
  ShipEntity* ship = MakeShip(VisVector_cl(50, 60, 0));
  ship->LoadFromConfig(VString("Ships\\TestSloop.bin"));

  EXPECT_EQ(ComponentsByGroup(ship),
            (std::map<int, int>{{CANNON_GROUP_LEFT, 2}, {CANNON_GROUP_RIGHT, 2}, {CANNON_GROUP_SPECIAL, 1}}));
  auto* observer = ship->Components<CannonObserverComponent>();
  ASSERT_NE(observer, nullptr);
  EXPECT_EQ(observer->GetCannonCount(CANNON_GROUP_LEFT), 2);
  EXPECT_EQ(observer->GetCannonCount(CANNON_GROUP_RIGHT), 2);
  EXPECT_EQ(observer->GetCannonCount(CANNON_GROUP_ALL), 4);
  EXPECT_EQ(observer->GetCannonCount(CANNON_GROUP_SPECIAL), 1);
  ASSERT_NE(ship->GetSpecialCannon(), nullptr);
  EXPECT_FALSE(ship->GetSpecialCannon()->IsAutoFire());
  // It faces left, as the left broadside does.
  EXPECT_TRUE(static_cast<CannonEntity*>(ship->GetSpecialCannon()->GetOwner())
                  ->GetDirection()
                  .IsEqual(VisVector_cl(0, 1, 0), 1e-4f));

  // The cannons sit where the configuration put them, relative to the ship.
  for (int i = 0; i < ship->GetNumChildren(); ++i) {
    VisObject3D_cl* child = ship->GetChild(i);
    if (!child->IsOfType(CannonEntity::GetClassTypeId())) continue;
    const VisVector_cl local = child->GetLocalPosition();
    EXPECT_TRUE(child->GetPosition().IsEqual(VisVector_cl(50, 60, 0) + local, 1e-4f));
    const bool special = static_cast<CannonEntity*>(child)->IsSpecialCannon();
    EXPECT_EQ(static_cast<CannonComponent*>(child->GetComponent(0))->GetCannonGroup(),
              special ? CANNON_GROUP_SPECIAL : local.x > 0 ? CANNON_GROUP_LEFT : CANNON_GROUP_RIGHT);
  }

  auto* body = ship->Components<vPhysXRigidBody>();
  ASSERT_NE(body, nullptr);
  EXPECT_TRUE(body->GetBoxSize().IsEqual(VisVector_cl(24, 8, 10), 1e-5f));
  ASSERT_EQ(ship->GetSails().GetValidSize(), 1u);
  EXPECT_EQ(ship->GetSails()[0]->GetParent(), ship);
  EXPECT_EQ(ship->GetSails()[0]->GetTraceAccuracy(), VIS_TRACEACC_POLYGONS);
  EXPECT_EQ(ship->GetCollisionTraceAccuracy(), VIS_TRACEACC_POLYGONS);
}

TEST_F(ShipConfigFileTest, DoubleCannonsGiveEveryOrdinaryCannonTwoComponents) {
  ShipEntity* ship = MakeShip();
  ship->SetDoubleCannons(1);
  ship->LoadFromConfig(VString("Ships\\TestSloop.bin"));
  // The special cannon stays single.
  EXPECT_EQ(ComponentsByGroup(ship),
            (std::map<int, int>{{CANNON_GROUP_LEFT, 4}, {CANNON_GROUP_RIGHT, 4}, {CANNON_GROUP_SPECIAL, 1}}));
  EXPECT_EQ(ship->Components<CannonObserverComponent>()->GetCannonCount(CANNON_GROUP_ALL), 4);
}

TEST_F(ShipConfigFileTest, SidesSpecialCannonsAndClothKeys) {
  WriteConfig("Brig.bin",
              {{VisVector_cl(0, 2, 1), 90, false}, {VisVector_cl(0.5f, 2, 1), 90, false}, {VisVector_cl(-6, 0, 1), 180, true}},
              {"Sails", "Flag", "Pennant"});
  ShipEntity* ship = MakeShip();
  ship->LoadFromConfig(VString("Brig.bin"));
  // Local x 0 counts as the right side; the special cannon is a group of its own.
  EXPECT_EQ(ComponentsByGroup(ship),
            (std::map<int, int>{{CANNON_GROUP_LEFT, 1}, {CANNON_GROUP_RIGHT, 1}, {CANNON_GROUP_SPECIAL, 1}}));
  ASSERT_NE(ship->GetSpecialCannon(), nullptr);
  EXPECT_EQ(ship->GetSpecialCannon()->GetCannonGroup(), CANNON_GROUP_SPECIAL);
  auto* observer = ship->Components<CannonObserverComponent>();
  EXPECT_EQ(observer->GetCannonCount(CANNON_GROUP_SPECIAL), 1);
  EXPECT_EQ(observer->GetCannonCount(CANNON_GROUP_ALL), 2);
  EXPECT_FALSE(static_cast<CannonComponent*>(ship->GetSpecialCannon())->IsAutoFire());

  // Without a body in the archive the ship gets the default box.
  ASSERT_NE(ship->Components<vPhysXRigidBody>(), nullptr);
  EXPECT_TRUE(ship->Components<vPhysXRigidBody>()->GetBoxSize().IsEqual(VisVector_cl(50, 10, 11), 1e-5f));

  // Every cloth is attached; only "Sails" and "Flag" join a list.
  EXPECT_EQ(ship->GetSails().GetValidSize(), 1u);
  EXPECT_EQ(ship->GetFlags().GetValidSize(), 1u);
  int cloths = 0;
  for (int i = 0; i < ship->GetNumChildren(); ++i) cloths += ship->GetChild(i)->IsOfType(ClothEntity::GetClassTypeId());
  EXPECT_EQ(cloths, 3);
}

TEST_F(ShipConfigFileTest, FortShipsFireByThemselvesAndNoCannonsMeansNoObserver) {
  WriteConfig("FortShip.bin", {{VisVector_cl(3, 0, 1), 90, false}});
  ShipEntity* fort = MakeShip();
  fort->LoadFromConfig(VString("FortShip.bin"));
  ASSERT_EQ(fort->Components<CannonObserverComponent>()->GetCannonCount(CANNON_GROUP_LEFT), 1);
  for (int i = 0; i < fort->GetNumChildren(); ++i) {
    if (!fort->GetChild(i)->IsOfType(CannonEntity::GetClassTypeId())) continue;
    EXPECT_TRUE(static_cast<CannonComponent*>(fort->GetChild(i)->GetComponent(0))->IsAutoFire());
  }

  WriteConfig("Raft.bin", {});
  ShipEntity* raft = MakeShip();
  raft->LoadFromConfig(VString("Raft.bin"));
  EXPECT_EQ(raft->Components<CannonObserverComponent>(), nullptr);
}

TEST_F(ShipConfigFileTest, EmptyNameDoesNothingAndAMissingFileIsFatal) {
  ShipEntity* ship = MakeShip();
  ship->LoadFromConfig(VString(""));
  ship->SaveToConfig();
  EXPECT_EQ(ship->GetComponentCount(), 0);
  try {
    ship->LoadFromConfig(VString("Ships\\NoSuchShip.bin"));
    FAIL() << "no fatal error";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "fatal: Couldn't open file [Ships\\NoSuchShip.bin]!");
  }
}

TEST_F(ShipConfigFileTest, AnArchiveOfAnUnknownVersionIsFatal) {
  Bytes bytes = ByteWriter().I32(99).I32(1).I32(-1).I32(0).I32(0).I32(0);
  std::ofstream(m_dir / "Future.bin", std::ios::binary).write((const char*)bytes.data(), (std::streamsize)bytes.size());
  Vision::File.ClearCache();
  ShipEntity* ship = MakeShip();
  EXPECT_THROW(ship->LoadFromConfig(VString("Future.bin")), std::runtime_error);
  EXPECT_EQ(ship->GetComponentCount(), 0);
}

// The generators of the bundled archives: each ship as an editor would assemble
// it, written by the ship's own SaveToConfig.
TEST_F(ShipConfigFileTest, TheBundledArchivesAreWhatTheGeneratorWrites) {
  for (const ShipType& type : kShipTypes) {
    SCOPED_TRACE(type.name);
    const std::string config = std::string("Ships\\") + type.name + ".bin";
    const fs::path bundled = fs::path(BRINEMARK_SOURCE_DIR "/data/models/Ships") / (std::string(type.name) + ".bin");
    // SaveToConfig writes to "..\..\..\data" below the output folder, in the model's folder.
    const fs::path root = m_dir / "tree" / type.name;
    fs::create_directories(root / "bin" / "linux-x64" / "tool");
    fs::create_directories(root / "data" / "models" / "Ships");
    const std::string previousOutput = Vision::File.GetOutputDirectory();
    ASSERT_TRUE(Vision::File.SetOutputDirectory((root / "bin" / "linux-x64" / "tool").c_str()));

    ShipEntity* ship = MakeShip();
    ship->SetMesh((std::string("models\\") + type.name + ".model").c_str());
    ship->SetConfigFile(config.c_str());
    auto* body = new vPhysXRigidBody();
    body->Initialize();
    body->SetMass(type.mass);
    body->SetBoxSize(type.body);
    body->SetLocalOffset(VisVector_cl(0, 0, 3));
    ASSERT_TRUE(ship->AddComponent(body));
    auto* sails = static_cast<ClothEntity*>(Vision::Game.CreateEntity("ClothEntity", VisVector_cl(0, 0, 2)));
    sails->SetEntityKey("Sails");
    sails->SetMesh((std::string("models\\") + type.name + "Sails.model").c_str());
    sails->AttachToParent(ship);
    for (const CannonPlace& place : type.cannons) {
      auto* cannon = static_cast<CannonEntity*>(Vision::Game.CreateEntity("CannonEntity", place.position));
      cannon->SetOrientation(place.yaw, 0, 0);
      cannon->SetOffset(VisVector_cl(1.0f, 0, 0));
      cannon->SetSpecialCannon(place.special);
      cannon->AttachToParent(ship);
    }
    ship->SaveToConfig();
    Vision::File.SetOutputDirectory(previousOutput.empty() ? fs::current_path().c_str() : previousOutput.c_str());

    std::ifstream written(root / "data" / "models" / "Ships" / (std::string(type.name) + ".bin"), std::ios::binary);
    ASSERT_TRUE(written) << "SaveToConfig wrote nothing";
    const Bytes generated((std::istreambuf_iterator<char>(written)), std::istreambuf_iterator<char>());
    if (const char* update = std::getenv("BRINEMARK_WRITE_SHIP_CONFIG"); update && std::string(update) == "1") {
      std::ofstream(bundled, std::ios::binary).write((const char*)generated.data(), (std::streamsize)generated.size());
      continue;
    }
    std::ifstream kept(bundled, std::ios::binary);
    ASSERT_TRUE(kept) << bundled << " is missing: run this test with BRINEMARK_WRITE_SHIP_CONFIG=1";
    const Bytes expected((std::istreambuf_iterator<char>(kept)), std::istreambuf_iterator<char>());
    EXPECT_EQ(generated, expected) << "the bundled archive is out of date: run this test with BRINEMARK_WRITE_SHIP_CONFIG=1";

    // Read back, the ship has its broadsides and its special cannon.
    ShipEntity* built = MakeShip(VisVector_cl(0, 200, 0));
    built->LoadFromConfig(VString(config.c_str()));
    const auto* observer = built->Components<CannonObserverComponent>();
    ASSERT_NE(observer, nullptr);
    EXPECT_EQ(observer->GetCannonCount(CANNON_GROUP_LEFT), type.perSide);
    EXPECT_EQ(observer->GetCannonCount(CANNON_GROUP_RIGHT), type.perSide);
    EXPECT_NE(built->GetSpecialCannon(), nullptr);
  }
}

}  // namespace
