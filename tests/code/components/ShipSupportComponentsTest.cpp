// The smaller components the ship factory gives a ship: the noise listener (what
// the ship hears, delivered late in the frame) and the ship's path follower.
#include "components/NoiseListenerComponent.h"
#include "components/ShipPathComponent.h"

#include "Managers/NoiseManagerProto.h"
#include "support/ArchiveRoundTrip.h"
#include "support/ShipTestWorld.h"

#include <gtest/gtest.h>

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

}  // namespace
