// Artifact and potion effects: permanent and timed artifacts, cool-downs, potions and
// the neutral effect of what is not active; the script table, the saved block, the
// seashell's stun on land and the end of the mist at sea.
#include "support/ArchiveRoundTrip.h"
#include "support/LogCapture.h"
#include "support/ShipTestWorld.h"

#include "Managers/ArtifactManager.h"
#include "Managers/PauseManager.h"
#include "components/ShipBattleComponent.h"
#include "core/RtsManager.h"
#include "entities/CollectableEntity.h"
#include "entities/CollectableId.h"
#include "entities/FSM/DizzyState.h"
#include "entities/SoldierEntity.h"
#include "entities/SoldierStats.h"
#include "entities/UnitEntity.h"
#include "util/MathTools.h"

#include <gtest/gtest.h>

namespace {

using archive_test::Bytes;
using archive_test::LoadBytes;
using archive_test::SaveBytes;

const int kFigurehead = 14;
const int kPowder = 11;
const int kPotion = 33;

TEST(ArtifactManagerTest, TimedArtifactsRunOutAndCoolDownPermanentOnesStay) {
  ArtifactManager::CleanInstance();
  ArtifactManager* artifacts = ArtifactManager::GetInstance();
  EXPECT_FALSE(artifacts->IsActive(kFigurehead));
  EXPECT_FLOAT_EQ(artifacts->GetEffect(kFigurehead), 1.0f);

  artifacts->ActivateArtifact(kFigurehead, 0.0f, 0.25f, "", 0.0f);
  artifacts->ActivateArtifact(kPowder, 2.0f, 0.5f, "", 5.0f);
  EXPECT_TRUE(artifacts->IsActive(kFigurehead));
  EXPECT_FLOAT_EQ(artifacts->GetEffect(kFigurehead), 0.25f);
  EXPECT_TRUE(artifacts->IsActive(kPowder));
  artifacts->Update(1.0f);
  artifacts->Update(1.0f);
  EXPECT_FALSE(artifacts->IsActive(kPowder));
  EXPECT_FLOAT_EQ(artifacts->GetEffect(kPowder), 1.0f);
  // Cooling down it cannot be activated again; the permanent one stays.
  EXPECT_TRUE(artifacts->IsArtifactInCooldown(kPowder));
  artifacts->ActivateArtifact(kPowder, 2.0f, 0.5f, "", 5.0f);
  EXPECT_FALSE(artifacts->IsActive(kPowder));
  for (int i = 0; i < 5; ++i) artifacts->Update(1.0f);
  EXPECT_FALSE(artifacts->IsArtifactInCooldown(kPowder));
  EXPECT_TRUE(artifacts->IsActive(kFigurehead));

  // Paused, nothing counts down; a potion replaces the one before.
  artifacts->ActivatePotion(kPotion, 1.0f, 3.0f);
  PauseManager::GetInstance()->SetGamePause(true);
  artifacts->Update(5.0f);
  EXPECT_TRUE(artifacts->IsActive(kPotion));
  PauseManager::CleanInstance();
  artifacts->ActivatePotion(kPotion + 1, 1.0f, 2.0f);
  EXPECT_FALSE(artifacts->IsActive(kPotion));
  EXPECT_FLOAT_EQ(artifacts->GetEffect(kPotion + 1), 2.0f);
  ArtifactManager::CleanInstance();
}

TEST(ArtifactManagerTest, ANewGameEndsEveryEffectAndCoolDown) {
  ArtifactManager::CleanInstance();
  ArtifactManager* artifacts = ArtifactManager::GetInstance();
  artifacts->ActivateArtifact(kFigurehead, 0.0f, 0.25f, "", 0.0f);
  artifacts->ActivateArtifact(kPowder, 2.0f, 0.5f, "", 5.0f);
  artifacts->ActivatePotion(kPotion, 1.0f, 3.0f);
  artifacts->ResetForNewGame();
  for (int id : {kFigurehead, kPowder, kPotion}) {
    EXPECT_FALSE(artifacts->IsActive(id));
    EXPECT_FLOAT_EQ(artifacts->GetEffect(id), 1.0f);
  }
  EXPECT_FALSE(artifacts->IsArtifactInCooldown(kPowder));
  ArtifactManager::CleanInstance();
}

TEST(ArtifactManagerTest, ANewTimedArtifactEndsTheRunningOneWhoseCoolDownGoesOn) {
  ArtifactManager::CleanInstance();
  ArtifactManager* artifacts = ArtifactManager::GetInstance();
  artifacts->ActivateArtifact(kPowder, 10.0f, 0.5f, "Powder", 20.0f);
  EXPECT_FLOAT_EQ(artifacts->GetArtifactFullDuration(), 10.0f);
  EXPECT_EQ(artifacts->GetActiveArtifactButtonImage(), "Powder");
  artifacts->Update(4.0f);
  artifacts->ActivateArtifact(kFigurehead, 5.0f, 0.7f, "Figurehead", 8.0f);
  EXPECT_FALSE(artifacts->IsActive(kPowder));
  EXPECT_FLOAT_EQ(artifacts->GetEffect(kPowder), 1.0f);
  EXPECT_FLOAT_EQ(artifacts->GetTimeRemaining(), 5.0f);
  EXPECT_FLOAT_EQ(artifacts->GetArtifactFullDuration(), 5.0f);
  EXPECT_EQ(artifacts->GetActiveArtifactButtonImage(), "Figurehead");
  EXPECT_FLOAT_EQ(artifacts->GetArtifactCooldownTime(kPowder), 16.0f);
  EXPECT_FLOAT_EQ(artifacts->GetArtifactCooldownTime(kFigurehead), 8.0f);
  EXPECT_FLOAT_EQ(artifacts->GetArtifactCooldownTime(kPotion), -1.0f);

  // A potion replaces the running one; its full duration is the new one's.
  artifacts->ActivatePotion(kPotion, 30.0f, 2.0f);
  artifacts->ActivatePotion(kPotion + 1, 12.0f, 3.0f);
  EXPECT_EQ(artifacts->GetActivePotionId(), kPotion + 1);
  EXPECT_FLOAT_EQ(artifacts->GetPotionFullDuration(), 12.0f);
  EXPECT_FLOAT_EQ(artifacts->GetTimeRemainingPotion(), 12.0f);
  // The attack of the player's hero ends only the invisibility potion.
  artifacts->DisableInvisibility();
  EXPECT_EQ(artifacts->GetActivePotionId(), kPotion + 1);
  artifacts->ActivatePotion(INVISIBILITY_POTION, 12.0f, 3.0f);
  artifacts->DisableInvisibility();
  EXPECT_EQ(artifacts->GetActivePotionId(), ID_NONE);
  ArtifactManager::CleanInstance();
}

TEST(ArtifactManagerTest, CoolDownsRunningOutTogetherEndInSuccessiveFrames) {
  ArtifactManager::CleanInstance();
  ArtifactManager* artifacts = ArtifactManager::GetInstance();
  artifacts->ActivateArtifact(kPowder, 1.0f, 0.5f, "", 2.0f);
  artifacts->ActivateArtifact(kFigurehead, 1.0f, 0.5f, "", 2.0f);
  artifacts->Update(2.0f);  // both at 0
  EXPECT_TRUE(artifacts->IsArtifactInCooldown(kPowder) && artifacts->IsArtifactInCooldown(kFigurehead));
  artifacts->Update(0.01f);
  EXPECT_FALSE(artifacts->IsArtifactInCooldown(kPowder));
  EXPECT_TRUE(artifacts->IsArtifactInCooldown(kFigurehead));
  artifacts->Update(0.01f);
  EXPECT_FALSE(artifacts->IsArtifactInCooldown(kFigurehead));

  // Grog and tool count on below 0 and read as 0 there.
  artifacts->ResetGrogCooldown(1.0f);
  artifacts->Update(3.0f);
  EXPECT_FLOAT_EQ(artifacts->GetGrogCooldown(), 0.0f);
  ArtifactManager::CleanInstance();
}

class ArtifactScriptTest : public ShipTestWorld {};

TEST_F(ArtifactScriptTest, TheScriptTableTakesItsDefaultsAndHandsOutGhosts) {
  ASSERT_EQ(Run("ArtifactManager.ActivateArtifact(11, 5.0, 0.5)\n"
                "ArtifactManager.ResetGrogCooldown()\n"
                "ArtifactManager.ResetToolCooldown(12.5)"),
            "");
  ArtifactManager* artifacts = ArtifactManager::GetInstance();
  EXPECT_TRUE(Bool("ArtifactManager.IsActive(11)"));
  EXPECT_EQ(artifacts->GetActiveArtifactButtonImage(), "");
  EXPECT_FLOAT_EQ(artifacts->GetArtifactCooldownTime(11), 0.0f);
  EXPECT_FLOAT_EQ((float)Number("ArtifactManager.GetGrogCooldown()"), 60.0f);
  EXPECT_FLOAT_EQ((float)Number("ArtifactManager.GetToolCooldown()"), 12.5f);
  EXPECT_NE(Run("ArtifactManager.ActivatePotion(33, 'long', 1.0)").find(ArgError(3, "ActivatePotion", "Expected float")),
            std::string::npos);
  EXPECT_EQ(artifacts->GetActivePotionId(), ID_NONE);

  // 10001 ghosts from 0: 1 to 10000, then 0.
  ASSERT_EQ(Run("ok = true\n"
                "for i = 1, 10000 do if ArtifactManager.AssignGhost() ~= i then ok = false end end\n"
                "last = ArtifactManager.AssignGhost()"),
            "");
  EXPECT_TRUE(Bool("ok"));
  EXPECT_EQ(Number("last"), 0);
  EXPECT_EQ(Number("ArtifactManager.GetCurrentGhost()"), 0);
}

TEST_F(ArtifactScriptTest, TheBlockReadsBackWholeAndADamagedOneKeepsTheRunningEffects) {
  ArtifactManager* artifacts = ArtifactManager::GetInstance();
  artifacts->ActivateArtifact(kFigurehead, 0.0f, 0.25f, "", 0.0f);
  artifacts->ActivateArtifact(kPowder, 10.0f, 0.5f, "set:Buttons_01 image:Skill3Normal", 30.0f);
  artifacts->ActivatePotion(kPotion, 20.0f, 3.0f);
  artifacts->ResetToolCooldown(7.0f);
  artifacts->Update(1.5f);
  const Bytes written = SaveBytes([&](VArchive& ar) { artifacts->SerializeX(ar); });

  ArtifactManager::CleanInstance();
  ArtifactManager* fresh = ArtifactManager::GetInstance();
  ASSERT_TRUE(LoadBytes(written, [&](VArchive& ar) { EXPECT_TRUE(fresh->SerializeX(ar)); }));
  EXPECT_EQ(SaveBytes([&](VArchive& ar) { fresh->SerializeX(ar); }), written);
  EXPECT_FLOAT_EQ(fresh->GetTimeRemaining(), 8.5f);
  EXPECT_TRUE(fresh->IsActive(kFigurehead));
  EXPECT_FLOAT_EQ(fresh->GetPotionFullDuration(), 20.0f);

  // A count beyond the bytes left, a newer version, a cut: the effects stay.
  const struct {
    const char* what;
    size_t at;  // byte to change; 0 cuts the block short
    uint8_t value;
  } damages[] = {{"version", 8, 2}, {"count", 9 + 3, 0x7f}, {"cut", 0, 0}};
  for (const auto& d : damages) {
    SCOPED_TRACE(d.what);
    Bytes bad = written;
    if (d.at == 0)
      bad.resize(bad.size() - 10);
    else
      bad[d.at] = d.value;
    LogCapture log;
    {
      archive_test::ReadArchive ar(bad);
      EXPECT_FALSE(fresh->SerializeX(*ar));
    }
    EXPECT_EQ(SaveBytes([&](VArchive& ar) { fresh->SerializeX(ar); }), written);
  }
}

TEST_F(ArtifactScriptTest, TheMistLiftsFromThePlayersShipsWhenItsPotionRunsOut) {
  ShipEntity* own = MakeSloop("Player", 1, VisVector_cl(0, 0, 0), 0.0f, true);
  ShipEntity* enemy = MakeSloop("Wolf", 2, VisVector_cl(200, 0, 0));
  for (ShipEntity* ship : {own, enemy}) ship->Components<ShipBattleComponent>()->SetGodMode(true);
  ArtifactManager* artifacts = ArtifactManager::GetInstance();
  artifacts->ActivatePotion(MIST_SHIP, 1.0f, 1.0f);
  artifacts->Update(0.5f);
  EXPECT_EQ(own->Components<ShipBattleComponent>()->GetGodMode(), 1);
  artifacts->Update(0.5f);
  EXPECT_EQ(artifacts->GetActivePotionId(), ID_NONE);
  EXPECT_EQ(own->Components<ShipBattleComponent>()->GetGodMode(), 0);
  EXPECT_EQ(enemy->Components<ShipBattleComponent>()->GetGodMode(), 1);

  // The potion itself puts the mist on the ship the player sails.
  own->Components<ShipBattleComponent>()->SetGodMode(false);
  auto* potion = static_cast<CollectableEntity*>(Vision::Game.CreateEntity("CollectableEntity", VisVector_cl()));
  potion->SetCollectableScriptFile("scripts\\Collectables\\MistShip.lua");
  potion->InitCollectableItem();
  EXPECT_EQ(potion->Use(), 1);
  EXPECT_EQ(artifacts->GetActivePotionId(), MIST_SHIP);
  EXPECT_EQ(own->Components<ShipBattleComponent>()->GetGodMode(), 1);
  artifacts->Update(60.0f);
  EXPECT_EQ(own->Components<ShipBattleComponent>()->GetGodMode(), 0);

  // On land the ships keep it; another potion's end leaves it alone.
  own->Components<ShipBattleComponent>()->SetGodMode(true);
  GameManager::GetInstance()->SetLocation(1);
  artifacts->ActivatePotion(MIST_SHIP, 1.0f, 1.0f);
  artifacts->Update(1.0f);
  GameManager::GetInstance()->SetLocation(2);
  artifacts->ActivatePotion(GHOST_POTION, 1.0f, 1.0f);
  artifacts->Update(1.0f);
  EXPECT_EQ(own->Components<ShipBattleComponent>()->GetGodMode(), 1);
}

TEST_F(ArtifactScriptTest, TheSeashellLeavesEnemiesAroundTheHeroDizzyWithEvenOdds) {
  RtsManager::GlobalManager().OneTimeInit();
  GameManager::GetInstance()->SetLocation(1);
  auto* unit = new UnitEntity();
  unit->SetEntityKey("PlayerCharacter");
  unit->SetNation(1);
  BaseEntityDataObject created(&GameManager::Callbacks.OnUnitCreated, unit);
  GameManager::Callbacks.OnUnitCreated.TriggerCallbacks(&created);
  auto soldier = [&](int nation, float x) {
    auto* s = static_cast<SoldierEntity*>(Vision::Game.CreateEntity("SoldierEntity", VisVector_cl(x, 0, 0)));
    s->SetNation(nation);
    s->CreateStateMachine(STATE_IDLE);
    return s;
  };
  SoldierEntity* hero = soldier(1, 0.0f);
  unit->AddSoldier(hero);
  SoldierEntity* nearEnemy = soldier(2, 9.0f);
  SoldierEntity* farEnemy = soldier(2, 11.0f);
  SoldierEntity* neutral = soldier(0, 2.0f);
  SoldierEntity* friendly = soldier(1, 2.0f);
  const auto dizzy = [](SoldierEntity* s) { return s->GetStateMachine()->GetCurrentState() == DizzyState::GetInstance(); };
  ASSERT_NE(nearEnemy->GetStateMachine(), nullptr);

  // The draw decides: below 0.5 dizzy (the lowest outcome), else not (the highest).
  MathTools::SetUseFixedRandom(true);
  MathTools::SetTestRandReturnMax(true);
  ArtifactManager* artifacts = ArtifactManager::GetInstance();
  artifacts->ActivateArtifact(SEASHELL, 5.0f, 10.0f, "", 0.0f);
  EXPECT_FALSE(dizzy(nearEnemy));
  artifacts->Update(6.0f);
  artifacts->Update(0.1f);  // its cool-down of 0 ends
  MathTools::SetTestRandReturnMax(false);
  artifacts->ActivateArtifact(SEASHELL, 5.0f, 10.0f, "", 0.0f);
  EXPECT_TRUE(dizzy(nearEnemy));
  for (SoldierEntity* s : {hero, farEnemy, neutral, friendly}) EXPECT_FALSE(dizzy(s));
  MathTools::SetUseFixedRandom(false);
  Vision::Game.RemoveAllEntities();
  RtsManager::GlobalManager().OneTimeDeInit();
}

}  // namespace
