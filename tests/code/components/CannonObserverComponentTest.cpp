// Readiness gauges of the cannon groups, moved by the cannons' loading and ready
// reports.
#include "components/CannonComponent.h"
#include "components/CannonObserverComponent.h"
#include "core/ComponentMessages.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

namespace {

TEST(CannonObserverComponentTest, GaugesMoveByOneCannonOfTheGroupAndTheBroadsideFollows) {
  CannonObserverComponent observer;
  EXPECT_EQ(observer.GetCannonCount(CANNON_GROUP_ALL), 2);
  observer.SetCannonCount(3, CANNON_GROUP_LEFT);
  observer.SetCannonCount(2, CANNON_GROUP_RIGHT);
  observer.SetCannonCount(1, CANNON_GROUP_SPECIAL);
  EXPECT_EQ(observer.GetCannonCount(CANNON_GROUP_ALL), 5);

  CannonComponent left;
  left.SetCannonGroup(CANNON_GROUP_LEFT);
  observer.MessageFunction(VIS_MSG_USER_CANNON_STATE_LOADING, reinterpret_cast<INT_PTR>(&left), 0);
  EXPECT_NEAR(observer.GetCannonGroupState(CANNON_GROUP_LEFT), 2.0f / 3.0f, 1e-6f);
  EXPECT_NEAR(observer.GetCannonGroupState(CANNON_GROUP_ALL), 0.8f, 1e-6f);
  EXPECT_FLOAT_EQ(observer.GetCannonGroupState(CANNON_GROUP_RIGHT), 1.0f);

  observer.MessageFunction(VIS_MSG_USER_CANNON_STATE_READY, reinterpret_cast<INT_PTR>(&left), 0);
  EXPECT_FLOAT_EQ(observer.GetCannonGroupState(CANNON_GROUP_LEFT), 1.0f);
  EXPECT_FLOAT_EQ(observer.GetCannonGroupState(CANNON_GROUP_ALL), 1.0f);

  // The special cannon never moves the broadside gauge; other messages move nothing.
  observer.CannonLoading(CANNON_GROUP_SPECIAL);
  EXPECT_FLOAT_EQ(observer.GetCannonGroupState(CANNON_GROUP_SPECIAL), 0.0f);
  EXPECT_FLOAT_EQ(observer.GetCannonGroupState(CANNON_GROUP_ALL), 1.0f);
  observer.MessageFunction(VIS_MSG_USER_CANNON_STATE_FIRING, reinterpret_cast<INT_PTR>(&left), 0);
  EXPECT_FLOAT_EQ(observer.GetCannonGroupState(CANNON_GROUP_LEFT), 1.0f);
}

TEST(CannonObserverComponentTest, EmptyGaugesCountsOfZeroAndAnonymousReports) {
  CannonObserverComponent observer;
  observer.SetCannonCount(1, CANNON_GROUP_LEFT);
  observer.SetCannonCount(1, CANNON_GROUP_RIGHT);
  observer.CannonLoading(CANNON_GROUP_LEFT);
  ASSERT_FLOAT_EQ(observer.GetCannonGroupState(CANNON_GROUP_LEFT), 0.0f);
  ASSERT_FLOAT_EQ(observer.GetCannonGroupState(CANNON_GROUP_ALL), 0.5f);
  // A group already empty stays so, but the broadside gauge still goes down.
  observer.CannonLoading(CANNON_GROUP_LEFT);
  EXPECT_FLOAT_EQ(observer.GetCannonGroupState(CANNON_GROUP_LEFT), 0.0f);
  EXPECT_FLOAT_EQ(observer.GetCannonGroupState(CANNON_GROUP_ALL), 0.0f);

  // A count of 0: ready fills the gauge at once (and never divides into NaN).
  observer.SetCannonCount(0, CANNON_GROUP_RIGHT);
  observer.CannonLoading(CANNON_GROUP_RIGHT);
  observer.CannonReady(CANNON_GROUP_RIGHT);
  EXPECT_FLOAT_EQ(observer.GetCannonGroupState(CANNON_GROUP_RIGHT), 1.0f);
  EXPECT_FLOAT_EQ(observer.GetCannonGroupState(CANNON_GROUP_ALL), 1.0f);

  // A report without a cannon counts for the broadside gauge alone.
  observer.SetCannonCount(2, CANNON_GROUP_ALL);
  observer.MessageFunction(VIS_MSG_USER_CANNON_STATE_LOADING, 0, 0);
  EXPECT_FLOAT_EQ(observer.GetCannonGroupState(CANNON_GROUP_ALL), 0.5f);
  EXPECT_FLOAT_EQ(observer.GetCannonGroupState(CANNON_GROUP_LEFT), 0.0f);
}

TEST(CannonObserverComponentTest, OnlyShipsTakeIt) {
  VisBaseEntity_cl* plain = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));
  auto* observer = new CannonObserverComponent();
  VString reason;
  EXPECT_EQ(observer->CanAttachToObject(plain, reason), 0);
  EXPECT_STREQ(reason.AsChar(), "Component can only be added to instances of ShipEntity or derived classes.");
  delete observer;
  Vision::Game.RemoveAllEntities();
}

}  // namespace
