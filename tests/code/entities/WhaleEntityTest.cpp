// The roped whale: its swim and body, held beside its ship with a rope while
// attached, letting go when the ship sinks or leaves, diving away once free, and
// its "WhaleEntity" script class.
#include "components/AIShipComponent.h"
#include "components/ShipBattleComponent.h"
#include "components/ShipMovementComponent.h"
#include "entities/ClothEntity.h"
#include "entities/WhaleEntity.h"
#include "support/ArchiveRoundTrip.h"
#include "support/SeaPhysicsTestWorld.h"

#include "engine/core/VisAnimConfig.h"
#include "engine/core/VisAnimControl.h"
#include "engine/core/VisAnimSequence.h"
#include "engine/physics/vPhysXModule.h"
#include "engine/physics/vPhysXRigidBody.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class WhaleEntityTest : public SeaPhysicsTestWorld {
 protected:
  void SetUp() override {
    SeaPhysicsTestWorld::SetUp();
    first = StillSloop("First", 2, VisVector_cl(0, 0, 0));
    second = StillSloop("Second", 2, VisVector_cl(100, 0, 0), 90.0f);
    whale = static_cast<WhaleEntity*>(
        Vision::Game.CreateEntity("WhaleEntity", VisVector_cl(0, 50, 0), "models\\fauna\\Whale.model"));
    ASSERT_NE(whale, nullptr);
  }
  // Beside the ship: on its left, turned a quarter about the yaw.
  // The ship rocks on the waves after the whale has taken its place: a tolerance.
  static void ExpectBeside(const WhaleEntity* w, const ShipEntity* ship, float tolerance = 1e-3f) {
    const VisVector_cl left = ship->GetRotationMatrix().GetColumn(1);
    EXPECT_TRUE(w->GetPosition().IsEqual(ship->GetPosition() + left * WhaleEntity::SIDE_DISTANCE, 10 * tolerance));
    EXPECT_TRUE(w->GetDirection().IsEqual(left, tolerance));
  }

  ShipEntity* first = nullptr;
  ShipEntity* second = nullptr;
  WhaleEntity* whale = nullptr;
};

TEST_F(WhaleEntityTest, AWhaleSwimsSmallAndLightAndCollidesWithNothing) {
  EXPECT_FLOAT_EQ(whale->GetScaling().x, 0.3f);
  ASSERT_NE(whale->GetAnimConfig(), nullptr);
  VisSkeletalAnimControl_cl* swim = whale->GetAnimConfig()->GetSkeletalAnimControl();
  ASSERT_NE(swim, nullptr);
  EXPECT_STREQ(swim->GetSequence()->GetName(), "Whale_Swim");
  EXPECT_TRUE(swim->IsLooped());
  vPhysXRigidBody* body = whale->Components<vPhysXRigidBody>();
  ASSERT_NE(body, nullptr);
  EXPECT_EQ(body->GetCollisionBitmask(), 0u);
}

TEST_F(WhaleEntityTest, AttachingToASecondShipDropsTheFirstRopeAndTheRopeFollowsTheShip) {
  whale->Attach(first);
  ClothEntity* firstRope = whale->GetRope();
  ASSERT_NE(firstRope, nullptr);
  EXPECT_STREQ(firstRope->GetConfigFile(), "cloths/rope.xml");
  EXPECT_FLOAT_EQ(firstRope->GetScaling().x, 4.0f);
  ASSERT_EQ(firstRope->GetAnchors().size(), 2u);
  EXPECT_EQ(firstRope->GetAnchors()[0], whale);
  EXPECT_EQ(firstRope->GetAnchors()[1], first);
  ExpectBeside(whale, first);
  // At the middle, 4 ahead along the whale and 1 up.
  const VisVector_cl middle = (whale->GetPosition() + first->GetPosition()) * 0.5f;
  EXPECT_TRUE(firstRope->GetPosition().IsEqual(middle + whale->GetDirection() * 4.0f + VisVector_cl(0, 0, 1), 1e-3f));

  whale->Attach(second);
  EXPECT_TRUE(firstRope->IsMarkedRemoved());
  ClothEntity* rope = whale->GetRope();
  ASSERT_NE(rope, nullptr);
  EXPECT_NE(rope, firstRope);
  EXPECT_EQ(whale->GetShip(), second);
  EXPECT_EQ(rope->GetAnchors()[1], second);
  ExpectBeside(whale, second);

  // The whale keeps its place beside the moving ship; the rope's ends are the two.
  second->Components<vPhysXRigidBody>()->SetPosition(VisVector_cl(120, 10, 0));
  Step();
  Step();
  ExpectBeside(whale, second, 0.02f);
  EXPECT_EQ(rope->GetEndPoints()[0], whale->GetPosition());
  EXPECT_EQ(rope->GetEndPoints()[1], second->GetPosition());
}

TEST_F(WhaleEntityTest, AWhaleLetsGoOfASinkingShipInTheNextFrameAndDivesAway) {
  whale->Attach(first);
  ClothEntity* rope = whale->GetRope();
  Step();
  first->Components<ShipBattleComponent>()->StartSinking(1.0f, true);
  Step();
  EXPECT_EQ(whale->GetShip(), nullptr);
  EXPECT_FALSE(Alive(rope));
  // Free, it loses its body and swims forward along the ship's old heading, diving
  // 5 a second, until it is gone below -20.
  const VisVector_cl from = whale->GetPosition();
  Step();
  EXPECT_EQ(whale->Components<vPhysXRigidBody>(), nullptr);
  EXPECT_GT(whale->GetPosition().x, from.x);
  int frames = 1;
  while (Alive(whale) && frames < 600) {
    Step();
    ++frames;
  }
  EXPECT_FALSE(Alive(whale));
  // It starts where the rocking ship held it, a little above the sea.
  EXPECT_NEAR(frames * kStep, 20.0f / WhaleEntity::DIVE_SPEED, 0.15f);
}

TEST_F(WhaleEntityTest, AWhaleNeverAttachedSwimsOffAndIsGoneBelowTwenty) {
  const VisVector_cl side = whale->GetRotationMatrix().GetColumn(1);
  Step();
  const VisVector_cl moved = whale->GetPosition() - VisVector_cl(0, 50, 0);
  EXPECT_NEAR(moved.x, -side.x * 7.0f * kStep, 1e-3f);
  EXPECT_NEAR(moved.y, -side.y * 7.0f * kStep, 1e-3f);
  EXPECT_NEAR(moved.z, -5.0f * kStep, 1e-4f);
  EXPECT_NEAR(whale->GetOrientation().x, 10.0f * kStep, 1e-3f);
  for (int i = 0; i < 250 && Alive(whale); ++i) {
    EXPECT_GE(whale->GetPosition().z, -20.0f - 5.0f * kStep);
    Step();
  }
  EXPECT_FALSE(Alive(whale));
}

// A ship that is freed (not just sinking) lets the whale go before it could follow a
// dead ship.
TEST_F(WhaleEntityTest, AShipThatLeavesTheWorldLetsTheWhaleGo) {
  whale->Attach(first);
  ClothEntity* rope = whale->GetRope();
  first->Remove();
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(whale->GetShip(), nullptr);
  EXPECT_FALSE(Alive(rope));
  Step();
  EXPECT_TRUE(Alive(whale));

  // A whale removed while roped takes its rope along.
  whale->Attach(second);
  ClothEntity* other = whale->GetRope();
  whale->Remove();
  Step();
  EXPECT_FALSE(Alive(other));
}

TEST_F(WhaleEntityTest, TheScriptClassAttachesAndReportsWrongArguments) {
  SetGlobalObject("whale", whale);
  SetGlobalObject("ship", first);
  EXPECT_EQ(Run("whale:Attach(ship)"), "");
  EXPECT_EQ(whale->GetShip(), first);
  const struct {
    const char* code;
    const char* message;
  } errors[] = {
      {"whale:Attach(5)", "Expected native object of type ShipEntity*"},
      {"whale:Attach(whale)", "Expected native object of type ShipEntity*"},
      {"whale:Attach()", "Expected native object of type ShipEntity*"},
      {"whale.Attach(ship, ship)", "Expected native object of type WhaleEntity*"},
      {"whale.Attach(7, ship)", "Expected native object of type WhaleEntity*"},
  };
  for (const auto& e : errors) {
    const std::string error = Run(e.code);
    EXPECT_NE(error.find(e.message), std::string::npos) << e.code << ": " << error;
  }
  EXPECT_EQ(whale->GetShip(), first) << "a failed call changes nothing";
}

// The body comes out of the save before the whale's pose: the loaded whale's body
// must be where the whale is, and the whale written again gives the same bytes.
TEST_F(WhaleEntityTest, ALoadedWhaleKeepsItsPlaceAndItsBody) {
  whale->GetPhysicsObject()->SetPosition(VisVector_cl(120, 40, 0));
  const archive_test::Bytes first = archive_test::SaveBytes([&](VArchive& ar) { ar.WriteObject(whale); });
  VisBaseEntity_cl* read = nullptr;
  ASSERT_TRUE(archive_test::LoadBytes(first, [&](VArchive& ar) {
    read = static_cast<VisBaseEntity_cl*>(ar.ReadObject(WhaleEntity::GetClassTypeId()));
  }));
  ASSERT_NE(read, nullptr);
  read->OnDeserializationCallback(nullptr);
  auto* loaded = static_cast<WhaleEntity*>(read);
  vPhysXRigidBody* body = loaded->Components<vPhysXRigidBody>();
  ASSERT_NE(body, nullptr);
  EXPECT_EQ(body->GetCollisionBitmask(), 0u);
  EXPECT_TRUE(body->GetPosition().IsEqual(VisVector_cl(120, 40, 0), 1e-4f));
  ASSERT_NE(loaded->GetAnimConfig(), nullptr);
  EXPECT_STREQ(loaded->GetAnimConfig()->GetSkeletalAnimControl()->GetSequence()->GetName(), "Whale_Swim");
  // Only the body's own step: the whale stays where it was saved.
  physics.OnRunPhysics(kStep);
  physics.FetchPhysicsResults();
  EXPECT_TRUE(loaded->GetPosition().IsEqual(VisVector_cl(120, 40, 0), 1e-3f));
  EXPECT_TRUE(archive_test::SaveBytes([&](VArchive& ar) { ar.WriteObject(loaded); }) == first);
}

}  // namespace

