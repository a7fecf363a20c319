// Conversations and spoken sounds: the pause, the lowered volumes, the camera
// messages and the covered GUI frame, and speech files at the speech volume.
#include "support/GuiTestEnvironment.h"
#include "support/MessageRecorder.h"

#include "Managers/MusicManager.h"
#include "Managers/PauseManager.h"
#include "Managers/SoundManager.h"
#include "Managers/SpeechManager.h"
#include "core/ComponentMessages.h"
#include "core/ScriptBindings.h"
#include "gui/BaseWindow.h"
#include "gui/FrameToolBar.h"

#include <CEGUI/Window.h>

#include "engine/Vision.h"
#include "engine/sound/VSoundManager.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace {

class SpeechConversationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env.Start(0.25f);
    VSoundManager::GlobalManager().SetInitialized(true);
    gui = env.StartGui();
    camera = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 50));
    camera->SetEntityKey("CameraEntity");
    camera->AddComponent(recorder = new MessageRecorder());
  }
  void TearDown() override {
    SpeechManager::CleanInstance();
    Vision::Game.RemoveAllEntities();
    VSoundManager::GlobalManager().SetInitialized(false);
    env.Stop();
  }
  // Engine frames: the sounds advance their fades.
  void Seconds(float seconds) {
    for (float t = 0; t < seconds; t += 0.25f) {
      Vision::Timer.Update();
      Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
    }
  }

  GuiTestEnvironment env;
  GUIManager* gui = nullptr;
  VisBaseEntity_cl* camera = nullptr;
  MessageRecorder* recorder = nullptr;
};

TEST_F(SpeechConversationTest, AConversationPausesLowersAndFramesAndItsEndGivesItAllBack) {
  SoundManager* sound = SoundManager::GetInstance();
  sound->AddSFXSound(SOUND_SFX_EXPLOSION, "sounds\\cannon_02.wav", true, true, 0.0f);
  VSoundObject* effect = sound->PlaySFXSound(SOUND_SFX_EXPLOSION, 0.8f, VisVector_cl(0, 0, 0), 0.0f, 400.0f, false);
  ASSERT_NE(effect, nullptr);
  const float before = effect->GetVolume();
  gui->ShowFrame(WT_WELCOME);
  BaseWindow* covered = gui->GetCurrentFrame();
  ASSERT_NE(covered, nullptr);

  VisBaseEntity_cl* speaker = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(10, 20, 0));
  speaker->SetOrientation(90.0f, 0.0f, 0.0f);
  SpeechManager* speech = SpeechManager::GetInstance();
  speech->StartConversation(speaker, VisVector_cl(0, 0, 5), VisVector_cl(0, 0, 0), true);
  EXPECT_TRUE(speech->IsInConversation());
  EXPECT_TRUE(PauseManager::GetInstance()->IsGamePaused());
  EXPECT_FLOAT_EQ(sound->GetConversationFactor(), 0.25f);
  EXPECT_FLOAT_EQ(MusicManager::GetInstance()->GetLoweringFactor(), 0.25f);
  Seconds(2.5f);
  EXPECT_NEAR(effect->GetVolume(), before * 0.25f, 1e-4f);
  EXPECT_EQ(MusicManager::GetInstance()->GetMusicType(), MusicManager::MUSIC_CONVERSATION);
  // The banners take the covered frame's place and the tool bar goes.
  ASSERT_NE(gui->GetCurrentFrame(), nullptr);
  EXPECT_EQ(gui->GetCurrentFrame()->GetWindowType(), WT_SPEECH_FRAME);
  EXPECT_FALSE(gui->GetToolbar() && gui->GetToolbar()->GetRootWindow()->isVisible());
  ASSERT_EQ(recorder->Count(VIS_MSG_USER_CAMERA_CONVERSATION_START), 1);

  // A second start changes nothing; the pause holds against a script's unpause.
  speech->StartConversation(nullptr, VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0), false);
  EXPECT_TRUE(speech->WantsPause());
  PauseManager::GetInstance()->SetGamePause(false);
  EXPECT_TRUE(PauseManager::GetInstance()->IsGamePaused());
  EXPECT_EQ(recorder->Count(VIS_MSG_USER_CAMERA_CONVERSATION_START), 1);

  speech->EndConversation();
  EXPECT_FALSE(speech->IsInConversation());
  EXPECT_FALSE(speech->WantsPause());
  EXPECT_FALSE(PauseManager::GetInstance()->IsGamePaused());
  EXPECT_FLOAT_EQ(sound->GetConversationFactor(), 1.0f);
  EXPECT_FLOAT_EQ(MusicManager::GetInstance()->GetLoweringFactor(), 1.0f);
  EXPECT_TRUE(gui->WaitAfterConversation());
  EXPECT_EQ(gui->GetCurrentFrame(), covered);
  ASSERT_NE(gui->FindWindowA(WT_SPEECH_FRAME), nullptr);
  EXPECT_TRUE(gui->FindWindowA(WT_SPEECH_FRAME)->isRequestingRemove());
  ASSERT_NE(gui->GetToolbar(), nullptr);
  EXPECT_TRUE(gui->GetToolbar()->GetRootWindow()->isVisible());
  EXPECT_EQ(MusicManager::GetInstance()->GetMusicType(), MusicManager::MUSIC_PLAYLIST);
  EXPECT_EQ(recorder->Count(VIS_MSG_USER_CAMERA_CONVERSATION_END), 1);
  Seconds(2.5f);
  EXPECT_NEAR(effect->GetVolume(), before, 1e-4f);

  // Ending twice does nothing more.
  speech->EndConversation();
  EXPECT_EQ(recorder->Count(VIS_MSG_USER_CAMERA_CONVERSATION_END), 1);
  speaker->Remove();
}

TEST_F(SpeechConversationTest, TheCameraLooksAlongTheSpeakerUnlessADirectionIsGiven) {
  VisBaseEntity_cl* speaker = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(10, 20, 0));
  speaker->SetOrientation(90.0f, 0.0f, 0.0f);
  // The camera handler reads the vectors while the message is sent.
  struct Shot : MessageRecorder {
    void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override {
      if (id != VIS_MSG_USER_CAMERA_CONVERSATION_START) return;
      target = *reinterpret_cast<const VisVector_cl*>(p1);
      direction = *reinterpret_cast<const VisVector_cl*>(p2);
    }
    VisVector_cl target, direction;
  };
  auto* shot = new Shot();
  camera->AddComponent(shot);
  SpeechManager* speech = SpeechManager::GetInstance();
  struct Case {
    VisVector_cl direction, expected;
  } cases[] = {{VisVector_cl(0, 0, 0), VisVector_cl(90, 0, 0)}, {VisVector_cl(0, 0, 1), VisVector_cl(0, 0, 1)}};
  for (const Case& c : cases) {
    speech->StartConversation(speaker, VisVector_cl(1, 2, 3), c.direction, false);
    EXPECT_FLOAT_EQ(shot->target.x, 11.0f);
    EXPECT_FLOAT_EQ(shot->target.y, 22.0f);
    EXPECT_FLOAT_EQ(shot->target.z, 3.0f);
    EXPECT_FLOAT_EQ(shot->direction.x, c.expected.x);
    EXPECT_FLOAT_EQ(shot->direction.z, c.expected.z);
    speech->EndConversation();
  }
  speaker->Remove();
}

TEST_F(SpeechConversationTest, WithoutAFrameOrACameraTheConversationStillEndsCleanly) {
  // No current frame, no pause, no speaker: as the new game's first conversation.
  camera->Remove();
  Vision::Game.FreeRemovedEntities();
  gui->SetCurrentFrame(nullptr);
  SpeechManager* speech = SpeechManager::GetInstance();
  speech->StartConversation(nullptr, VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0), false);
  EXPECT_TRUE(speech->IsInConversation());
  EXPECT_FALSE(PauseManager::GetInstance()->IsGamePaused());
  EXPECT_FLOAT_EQ(SoundManager::GetInstance()->GetConversationFactor(), 0.25f);
  // Another frame stacked before the conversation is not taken off the stack.
  gui->ShowFrame(WT_WELCOME);
  ASSERT_TRUE(gui->PushFrame());
  gui->SetCurrentFrame(nullptr);
  speech->EndConversation();
  EXPECT_FALSE(speech->IsInConversation());
  EXPECT_FLOAT_EQ(SoundManager::GetInstance()->GetConversationFactor(), 1.0f);
  EXPECT_EQ(gui->GetCurrentFrame(), nullptr);
  EXPECT_TRUE(gui->PopFrame());
}

TEST_F(SpeechConversationTest, SpokenFilesPlayAtTheSpeechVolume) {
  SpeechManager* speech = SpeechManager::GetInstance();
  speech->SetSpeechVolume(0.6f);
  VSoundManager& plugin = VSoundManager::GlobalManager();
  const int before = plugin.GetInstanceCount();
  speech->PlaySound2D(nullptr);
  speech->PlaySound2D("");
  speech->PlaySound2D("sounds\\missing.wav");
  speech->PlaySound3D(nullptr, "sounds\\order_01.wav");
  EXPECT_EQ(plugin.GetInstanceCount(), before);

  speech->PlaySound2D("sounds\\order_01.wav");
  ASSERT_EQ(plugin.GetInstanceCount(), before + 1);
  VSoundObject* flat = plugin.GetInstance(before);
  EXPECT_FLOAT_EQ(flat->GetVolume(), 0.6f);
  EXPECT_TRUE(flat->IsPlaying());
  EXPECT_FLOAT_EQ(flat->GetPlayPosition(), 0.0f);
  EXPECT_FALSE(flat->Is3D());

  VisBaseEntity_cl* speaker = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(5, 6, 7));
  speech->PlaySound3D(speaker, "sounds\\order_02.wav");
  ASSERT_EQ(plugin.GetInstanceCount(), before + 2);
  VSoundObject* placed = plugin.GetInstance(before + 1);
  EXPECT_FLOAT_EQ(placed->GetVolume(), 0.6f);
  EXPECT_TRUE(placed->Is3D());
  EXPECT_FLOAT_EQ(placed->GetPosition().x, 5.0f);
  EXPECT_FLOAT_EQ(placed->GetPosition().z, 7.0f);
  EXPECT_FLOAT_EQ(placed->Get3DFadeNear(), 10.0f);
  EXPECT_FLOAT_EQ(placed->Get3DFadeFar(), 80.0f);
  speaker->Remove();
}

TEST_F(SpeechConversationTest, ScriptsStartAndEndConversations) {
  lua_State* L = luaL_newstate();
  RegisterSpeechManagerWrapper(L);
  auto run = [&](const char* code) {
    std::string error;
    if (luaL_dostring(L, code) != 0) error = lua_tostring(L, -1);
    lua_settop(L, 0);
    return error;
  };
  // Without a speaker and, by its own choice, without the pause.
  ASSERT_EQ(luaL_dostring(L, "SpeechManager.StartConversation(nil, nil, nil, false)\n"
                            "return SpeechManager.IsInConversation()"),
            0);
  EXPECT_TRUE(lua_toboolean(L, -1));
  lua_settop(L, 0);
  EXPECT_FALSE(PauseManager::GetInstance()->IsGamePaused());
  EXPECT_EQ(run("SpeechManager.EndConversation()"), "");
  EXPECT_FALSE(SpeechManager::GetInstance()->IsInConversation());
  // The pause is the default.
  EXPECT_EQ(run("SpeechManager.StartConversation()"), "");
  EXPECT_TRUE(PauseManager::GetInstance()->IsGamePaused());
  EXPECT_EQ(run("SpeechManager.EndConversation()"), "");
  EXPECT_FALSE(PauseManager::GetInstance()->IsGamePaused());

  EXPECT_THAT(run("SpeechManager.StartConversation(5)"),
              ::testing::HasSubstr("bad argument #2 to 'StartConversation' (Expected VisTypedEngineObject_cl*)"));
  EXPECT_THAT(run("SpeechManager.PlaySound2D()"),
              ::testing::HasSubstr("bad argument #2 to 'PlaySound2D' (Expected const char*)"));
  EXPECT_THAT(run("SpeechManager.PlaySound3D(nil, 4)"),
              ::testing::HasSubstr("bad argument #3 to 'PlaySound3D' (Expected const char*)"));
  EXPECT_FALSE(SpeechManager::GetInstance()->IsInConversation());
  lua_close(L);
}

}  // namespace
