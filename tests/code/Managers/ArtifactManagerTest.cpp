// Artifact and potion effects: permanent and timed artifacts, cool-downs, potions and
// the neutral effect of what is not active.
#include "Managers/ArtifactManager.h"
#include "Managers/PauseManager.h"

#include <gtest/gtest.h>

namespace {

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

}  // namespace
