// Carrying loot: the pick-up rule with its glow and bundle, walking to the item,
// delivery, and the drop on death onto the terrain where the next soldier takes it.
#include "code/entities/SoldierFixture.h"

#include "components/CarryComponent.h"
#include "core/ComponentMessages.h"
#include "entities/CollectableEntity.h"
#include "entities/FSM/DieState.h"
#include "entities/FSM/IdleState.h"
#include "entities/FSM/WalkToCollectState.h"
#include "util/ComponentSetup.h"

#include "engine/core/VisParticleEffect.h"
#include "engine/core/VisParticleEffectFile.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class CarryComponentTest : public SoldierFixture {
 protected:
  void SetUp() override {
    SoldierFixture::SetUp();
    if (HasFatalFailure()) return;
    // The bundle model and the glow are the game's own data.
    ASSERT_TRUE(Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data"));
    Vision::File.ClearCache();
  }
  void TearDown() override {
    Vision::World.UnloadWorld();
    SoldierFixture::TearDown();
  }

  CollectableEntity* MakeItem(const VisVector_cl& position) {
    auto* item = static_cast<CollectableEntity*>(Vision::Game.CreateEntity("CollectableEntity", position));
    item->m_sHighlightEffect = "Particles\\goto.xml";
    return item;
  }
  // A soldier with a carry component.
  CarryComponent* MakeCarrier(const VisVector_cl& position, SoldierEntity** soldier = nullptr) {
    SoldierEntity* s = MakeSoldier(position);
    s->CreateStateMachine(STATE_IDLE);
    if (soldier) *soldier = s;
    return ComponentSetup::AddNew<CarryComponent>(s);
  }
};

TEST_F(CarryComponentTest, ATargetCloserThanFourIsTakenUpWithItsGlowAndBundle) {
  struct Case {
    const char* what;
    float distance;
    bool otherCarrier, alreadyCarrying;
    bool taken, stillTargeted;
  };
  const Case cases[] = {
      {"3.9 away", 3.9f, false, false, true, false},
      {"exactly 4.0 away", 4.0f, false, false, false, true},
      {"someone else carries it", 1.0f, true, false, false, false},
      {"the soldier carries one already", 1.0f, false, true, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SoldierEntity* soldier = nullptr;
    CarryComponent* carry = MakeCarrier(VisVector_cl(0, 0, 0), &soldier);
    ASSERT_NE(carry, nullptr);
    ASSERT_NE(carry->GetGlowEffectFile(), nullptr) << "the glow file is held from the start";
    CollectableEntity* item = MakeItem(VisVector_cl(c.distance, 0, 5));  // height does not count
    CollectableEntity* first = nullptr;
    if (c.otherCarrier) item->SetCarrier(MakeSoldier(VisVector_cl(20, 0, 0)));
    if (c.alreadyCarrying) {
      first = MakeItem(VisVector_cl(0.5f, 0, 0));
      carry->StartCarry(first);
    }
    item->StartHighlightEffect();
    carry->SetCarryTarget(item);
    carry->Update();

    EXPECT_EQ(carry->GetCarryItem() == item, c.taken);
    EXPECT_EQ(carry->GetCarryTarget() == item, c.stillTargeted);
    if (c.taken) {
      EXPECT_EQ(item->GetCarrier(), soldier);
      EXPECT_FALSE(item->IsHighlightRunning());
      ASSERT_NE(item->GetMesh(), nullptr);
      EXPECT_NE(std::string(item->GetMesh()->GetFilename()).find("loot_on_back"), std::string::npos);
      VisParticleEffect_cl* glow = carry->GetGlowEffect();
      ASSERT_NE(glow, nullptr);
      EXPECT_EQ(glow->GetParent(), item);
      EXPECT_NE(std::string(glow->GetSourceEffect()->GetFilename()).find("loot_glow"), std::string::npos);
      // Worn behind and above the soldier.
      carry->Update();
      EXPECT_NEAR(item->GetPosition().z, soldier->GetPosition().z + 1.0f, 1e-4f);
      EXPECT_NEAR(MathTools::DistanceBetweenVectorsIgnoreZ(item->GetPosition(), soldier->GetPosition()), 0.35f, 1e-4f);
    }
    if (first) {
      EXPECT_EQ(carry->GetCarryItem(), first) << "never two at once";
    }
  }
}

TEST_F(CarryComponentTest, WalkingToAnItemEndsInIdleOnceItIsTakenAndDeliveryUsesItUp) {
  SoldierEntity* soldier = nullptr;
  CarryComponent* carry = MakeCarrier(VisVector_cl(0, 0, 0), &soldier);
  CollectableEntity* item = MakeItem(VisVector_cl(10, 0, 0));
  carry->SetCarryTarget(item);
  soldier->GetStateMachine()->ChangeState(WalkToCollectState::GetInstance());
  ASSERT_EQ(Current(soldier), WalkToCollectState::GetInstance());
  Step(soldier);
  EXPECT_EQ(Current(soldier), WalkToCollectState::GetInstance()) << "still out of reach";
  EXPECT_EQ(carry->GetCarryTarget(), item);

  soldier->SetPosition(VisVector_cl(7, 0, 0));
  Step(soldier);
  EXPECT_EQ(carry->GetCarryItem(), item);
  EXPECT_EQ(Current(soldier), IdleState::GetInstance());

  VSmartPtr<VisParticleEffect_cl> glow = carry->GetGlowEffect();
  soldier->SendMsg(VIS_MSG_USER_UNIT_DELIVER);
  EXPECT_FALSE(carry->IsCarrying());
  EXPECT_TRUE(item->IsMarkedRemoved());
  EXPECT_EQ(item->GetCarrier(), nullptr);
  ASSERT_NE(glow, nullptr);
  EXPECT_TRUE(glow->IsFinished());
  EXPECT_EQ(glow->GetParent(), nullptr);
  EXPECT_EQ(carry->GetGlowEffect(), nullptr);
}

TEST_F(CarryComponentTest, LootFallsOnTheTerrainWhenItsCarrierDiesAndIsTakenAgain) {
  Vision::World.SetFlatTerrain(2.0f);
  SoldierEntity* soldier = nullptr;
  CarryComponent* carry = MakeCarrier(VisVector_cl(5, 5, 2), &soldier);
  CollectableEntity* item = MakeItem(VisVector_cl(5, 6, 2));
  carry->SetCarryTarget(item);
  carry->Update();
  ASSERT_EQ(carry->GetCarryItem(), item);
  VSmartPtr<VisParticleEffect_cl> glow = carry->GetGlowEffect();
  item->SetPosition(VisVector_cl(5, 5, 40));  // wherever the bundle was

  soldier->GetStateMachine()->ChangeState(DieState::GetInstance());
  EXPECT_EQ(soldier->Components<CarryComponent>(), nullptr) << "the carrier's component goes";
  EXPECT_EQ(item->GetCarrier(), nullptr);
  EXPECT_TRUE(item->IsCarriable());
  EXPECT_TRUE(item->IsHighlightRunning());
  ASSERT_NE(glow, nullptr);
  EXPECT_TRUE(glow->IsFinished());
  // Half the bundle's height (0.6) above the ground at 2, near the fallen soldier.
  EXPECT_NEAR(item->GetPosition().z, 2.3f, 1e-4f);
  EXPECT_LT(MathTools::DistanceBetweenVectorsIgnoreZ(item->GetPosition(), soldier->GetPosition()), 2.0f);

  CarryComponent* next = MakeCarrier(VisVector_cl(6, 6, 2));
  next->SetCarryTarget(item);
  next->Update();
  EXPECT_EQ(next->GetCarryItem(), item);
}

}  // namespace
