// Speech bubbles of ready texts: one at a time, numbered, gone when their time ends.
#include "Managers/SpeechManager.h"

#include "engine/Vision.h"

#include <CEGUI/String.h>
#include <gtest/gtest.h>

namespace {

TEST(SpeechManagerSayTest, OneBubbleAtATimeUntilItsTimeRunsOut) {
  SpeechManager::CleanInstance();
  SpeechManager* speech = SpeechManager::GetInstance();
  VisBaseEntity_cl* ship = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));
  Vision::Timer.Reset();
  Vision::Timer.SetFixedTimeStep(0.5f);
  // A scene loaded by an earlier test may have capped the frame time.
  Vision::Timer.SetMaxTimeDifference(0.0f);

  const int first = speech->Say(ship, CEGUI::String("Over the border!"), 1.0f);
  EXPECT_GT(first, 0);
  EXPECT_TRUE(speech->HasBubble());
  EXPECT_FALSE(speech->IsBubbleVisible());  // kept, not drawn
  EXPECT_EQ(speech->GetBubbleText(), "Over the border!");
  EXPECT_EQ(speech->GetBubbleEntity(), ship);
  EXPECT_EQ(speech->Say(ship, CEGUI::String("Again"), 1.0f), -1);
  EXPECT_EQ(speech->GetBubbleText(), "Over the border!");

  for (int frame = 0; frame < 2; ++frame) {
    EXPECT_TRUE(speech->HasBubble()) << frame;
    Vision::Timer.Update();
    Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
  }
  EXPECT_FALSE(speech->HasBubble());
  EXPECT_EQ(speech->Say(ship, CEGUI::String("Next"), 1.0f), first + 1);
  // The bubble's frame may also end it early.
  speech->SetSpeechBubbleIsGone();
  EXPECT_FALSE(speech->HasBubble());

  SpeechManager::CleanInstance();
  Vision::Timer.SetFixedTimeStep(0.0f);
  Vision::Game.RemoveAllEntities();
}

TEST(SpeechManagerSayTest, ABubbleGoesWithItsSpeaker) {
  SpeechManager::CleanInstance();
  SpeechManager* speech = SpeechManager::GetInstance();
  VisBaseEntity_cl* speaker = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));
  ASSERT_GT(speech->Say(speaker, CEGUI::String("Ahoy"), 5.0f), 0);
  speaker->Remove();
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(speech->GetBubbleEntity(), nullptr);
  EXPECT_FALSE(speech->IsBubbleVisible());
  SpeechManager::CleanInstance();
}

}  // namespace
