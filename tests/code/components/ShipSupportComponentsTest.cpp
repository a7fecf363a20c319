// The smaller components the ship factory gives a ship: the noise listener (what
// the ship hears, delivered late in the frame) and the ship's path follower.
#include "components/NoiseListenerComponent.h"
#include "components/ShipPathComponent.h"

#include "Managers/NoiseManagerProto.h"
#include "support/ArchiveRoundTrip.h"
#include "support/CountingPath.h"
#include "support/ShipTestWorld.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

TEST_F(ShipTestWorld, AListenerHearsOthersNoisesLateInTheFrameAndForgetsThemNextFrame) {
  auto* ship = static_cast<BaseEntity*>(Vision::Game.CreateEntity("ShipEntity", VisVector_cl(0, 0, 0)));
  auto* other = static_cast<BaseEntity*>(Vision::Game.CreateEntity("ShipEntity", VisVector_cl(5, 0, 0)));
  auto* listener = new NoiseListenerComponent();
  ASSERT_TRUE(ship->AddComponent(listener));
  MessageRecorder* log = Listen(ship);
  Write("scripts/Ears.lua", "heard = 0\nfunction OnNoise(self, source, volume, kind) heard = heard + volume end\n");
  IVScriptInstance* script = Vision::GetScriptManager()->CreateScriptInstanceFromFile("scripts/Ears.lua", ship);
  Vision::GetScriptManager()->SetScriptInstance(ship, script);

  Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
  NoiseManagerProto* noises = NoiseManagerProto::GetInstance();
  noises->MakeNoise(other, 3, 1.0f, 10.0f, NOISE_FALLOFF_LINEAR);
  noises->MakeNoise(ship, 3, 1.0f, 10.0f, NOISE_FALLOFF_LINEAR);    // its own: not heard
  noises->MakeNoise(other, 3, 1.0f, 4.0f, NOISE_FALLOFF_LINEAR);    // too far: volume 0
  ASSERT_EQ(listener->GetHeardNoises().size(), 2u);
  EXPECT_TRUE(log->ids.empty());
  Vision::Callbacks.OnFrameUpdateLate.TriggerCallbacks();
  EXPECT_EQ(log->ids, std::vector<int>{300});
  float heard = 0.0f;
  EXPECT_TRUE(script->GetGlobal("heard", heard));
  EXPECT_FLOAT_EQ(heard, 0.5f);
  Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
  EXPECT_TRUE(listener->GetHeardNoises().empty());
}

TEST_F(ShipTestWorld, APathIsFollowedOnceRoundFromItsPointNearestTheShip) {
  VisBaseEntity_cl* ship = Vision::Game.CreateEntity("ShipEntity", VisVector_cl(100, 98, 0));
  auto* follower = new ShipPathComponent();
  ASSERT_TRUE(ship->AddComponent(follower));
  VSmartPtr<VisPath_cl> square = new VisPath_cl(4, true);
  for (const VisVector_cl& corner : {VisVector_cl(0, 0, 0), VisVector_cl(100, 0, 0), VisVector_cl(100, 100, 0),
                                     VisVector_cl(0, 100, 0)})
    square->AddPathNode(VisPathNode_cl(corner, VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0)));
  ASSERT_TRUE(follower->FollowPath(square, 0.05f));
  const std::vector<VisVector_cl>& waypoints = follower->GetAddedPositions();
  ASSERT_EQ(waypoints.size(), 20u);
  EXPECT_TRUE(waypoints[0].IsEqual(VisVector_cl(100, 100, 0), 1e-3f));  // the corner at t = 0.5
  EXPECT_TRUE(waypoints[19].IsEqual(VisVector_cl(100, 80, 0), 1e-3f));

  ShipPathComponent copy;
  auto io = [](ShipPathComponent& c, VArchive& ar) { c.SerializeX(ar); };
  ASSERT_TRUE(archive_test::RoundTrip(*follower, copy, io, io));
  EXPECT_EQ(copy.GetAddedPositions().size(), 20u);
  EXPECT_FLOAT_EQ(copy.GetStepLength(), follower->GetStepLength());
}

// Whatever the archive made stays the archive's until the loader's clean-up.
TEST_F(ShipTestWorld, AFailedPathBlockLeavesThePathItReadToTheArchive) {
  VisBaseEntity_cl* ship = Vision::Game.CreateEntity("ShipEntity", VisVector_cl(0, 0, 0));
  auto* follower = new ShipPathComponent();
  ASSERT_TRUE(ship->AddComponent(follower));
  VSmartPtr<VisPath_cl> line = new VisPath_cl(2);
  line->AddPathNode(VisPathNode_cl(VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0)));
  line->AddPathNode(VisPathNode_cl(VisVector_cl(5, 0, 0), VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0)));
  ASSERT_TRUE(follower->FollowPath(line, 0.5f));
  archive_test::Bytes bytes = archive_test::SaveBytes([&](VArchive& ar) { follower->SerializeX(ar); });
  // The same block with a counting path and a damaged end tag.
  const std::string plain = std::string("\x0a\0\0\0VisPath_cl", 14);
  const std::string counting = std::string("\x0c\0\0\0CountingPath", 16);
  auto at = std::search(bytes.begin(), bytes.end(), plain.begin(), plain.end());
  ASSERT_NE(at, bytes.end());
  at = bytes.erase(at, at + (long)plain.size());
  bytes.insert(at, counting.begin(), counting.end());
  ASSERT_EQ(bytes.back(), 'A');
  bytes.back() = 'X';

  CountingPath::destroyed = 0;
  ShipPathComponent fresh;
  VisPath_cl* kept = fresh.GetPath();
  {
    archive_test::ReadArchive ar(bytes);
    EXPECT_FALSE(fresh.SerializeX(*ar));
    EXPECT_FALSE(ar->IsOK());
    ASSERT_EQ(CountingPath::destroyed, 0) << "freed while the archive still lists it";
    ASSERT_EQ(ar->GetLoadedObjects().size(), 1u);
    auto* made = static_cast<CountingPath*>(ar->GetLoadedObjects()[0]);
    EXPECT_EQ(made->GetRefCount(), 0);
    delete made;
  }
  EXPECT_EQ(CountingPath::destroyed, 1);
  EXPECT_EQ(fresh.GetPath(), kept);
}

}  // namespace
