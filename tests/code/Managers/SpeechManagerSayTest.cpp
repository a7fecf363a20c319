// Bubbles and conversation lines made by the speech manager: ready-text bubbles one
// at a time, keyed bubbles always, voiced lines as long as their voice, stacked
// lines, skipping, the hot keys and the script table.
#include "code/gui/GuiFrameTesting.h"

#include "Managers/LocalizationTable.h"
#include "Managers/SpeechManager.h"
#include "Managers/TutorialManager.h"
#include "core/ScriptBindings.h"
#include "entities/ShipEntity.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameSpeechBubble.h"
#include "gui/FrameSpeechWindow.h"

#include "engine/sound/VSoundManager.h"
#include "engine/sound/VSoundObject.h"

#include <gmock/gmock.h>

#include <string>

namespace {

class SpeechSayTest : public GuiFrameTest {
 protected:
  void SetUp() override {
    GuiFrameTest::SetUp();
    VSoundManager::GlobalManager().SetInitialized(true);
    speaker = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(50, 0, 0));
  }
  void TearDown() override {
    TutorialManager::CleanInstance();
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
    VSoundManager::GlobalManager().SetInitialized(false);
    GuiFrameTest::TearDown();
  }
  SpeechManager* Speech() { return SpeechManager::GetInstance(); }
  FrameSpeechBubble* Bubble(int number) {
    for (FrameSpeechBubble* bubble : gui->GetSpeechBubbles())
      if (bubble->GetNumber() == number) return bubble;
    return nullptr;
  }
  static std::string TextOf(CEGUI::Window* window) { return window ? CeguiCompat::ToUtf8(window->getText()) : ""; }
  static std::string Text(const char* key) { return CeguiCompat::ToUtf8(LocalizationTable::GetInstance()->GetText(key)); }
  // Whether a hot key acts: F1 switches the fast tutorials on.
  static bool HotKeysAct() {
    TutorialManager::GetInstance()->SetFastTutorial(false);
    Vision::Key.InjectKey(-1, 59, true);
    GameManager::GetInstance()->ProcessKeys();
    Vision::Key.Reset();
    return TutorialManager::GetInstance()->IsFastTutorial();
  }
  // The newest live sound instance.
  static VSoundObject* LastSound() {
    VSoundManager& plugin = VSoundManager::GlobalManager();
    return plugin.GetInstanceCount() ? plugin.GetInstance(plugin.GetInstanceCount() - 1) : nullptr;
  }

  VisBaseEntity_cl* speaker = nullptr;
};

TEST_F(SpeechSayTest, AReadyTextBubbleIsRefusedWhileOneIsUpAndHoldsTheHotKeysUntilItGoes) {
  const int first = Speech()->Say(speaker, CEGUI::String("Over the border!"), 0.25f);
  ASSERT_GT(first, 0);
  ASSERT_NE(Bubble(first), nullptr);
  EXPECT_EQ(TextOf(Bubble(first)->GetTextWindow()), "Over the border!");
  EXPECT_EQ(Bubble(first)->GetEntity(), speaker);
  EXPECT_TRUE(Speech()->HasBubble());
  EXPECT_EQ(Speech()->Say(speaker, CEGUI::String("Again"), 1.0f), -1);
  EXPECT_EQ(gui->GetSpeechBubbles().size(), 1u);
  EXPECT_FALSE(HotKeysAct());

  // A keyed bubble is never refused, and neither it nor a line holds the keys.
  const int keyed = Speech()->Say(speaker, "str_WRECK_BUBBLE", "", 5.0f);
  EXPECT_EQ(keyed, first + 1);
  EXPECT_EQ(TextOf(Bubble(keyed)->GetTextWindow()), "A wreck, ho!");

  for (int i = 0; i < 4; ++i) env.Frame();
  EXPECT_EQ(Bubble(first), nullptr);
  EXPECT_FALSE(Speech()->HasBubble());
  EXPECT_TRUE(HotKeysAct());
  ASSERT_GT(Speech()->Talk("str_WRECK_BOSUN", "str_WRECK_TALK_3", "", "", 5.0f, true, false), 0);
  EXPECT_TRUE(HotKeysAct());
  EXPECT_GT(Speech()->Say(speaker, CEGUI::String("Next"), 1.0f), keyed);
}

TEST_F(SpeechSayTest, AKeyedBubbleFillsItsInsertAndOnlyTheNewestCountsAsVisible) {
  const int line = Speech()->Say(speaker, "str_WRECK_TALK_2", "str_WRECK_TALK_2_INSERT", 5.0f);
  ASSERT_GT(line, 0);
  EXPECT_EQ(TextOf(Bubble(line)->GetTextWindow()),
            "Then mark it on the chart, Grimsby. We'll be back for it with a diving bell.");
  EXPECT_TRUE(gui->IsSpeechBubbleVisible(line));
  const int newer = Speech()->Say(speaker, "str_WRECK_BUBBLE", "", 5.0f);
  EXPECT_FALSE(gui->IsSpeechBubbleVisible(line));
  EXPECT_TRUE(gui->IsSpeechBubbleVisible(newer));
  EXPECT_FALSE(gui->IsSpeechBubbleVisible(-1));
  EXPECT_FALSE(Speech()->HasBubble());
}

TEST_F(SpeechSayTest, AVoicedLineLastsItsVoiceAndAHeroSpeaksWithTheHerosVoice) {
  struct Case {
    const char* speaker;
    const char* text;
    const char* file;  // empty: no voice
    float seconds;
  } cases[] = {
      {"str_WRECK_BOSUN", "str_WRECK_TALK_1", "wreck_bosun_1.wav", 1.5f + 0.4f},
      {"str_MAIN_CHARACTER_CORSAIR", "str_WRECK_TALK_2", "wreck_captain_2.wav", 1.25f + 0.4f},
      {"Longshot Jack", "str_WRECK_TALK_2", "wreck_captain_2.wav", 1.25f + 0.4f},
      {"str_WRECK_BOSUN", "str_WRECK_TALK_2", "", 7.0f},  // no suffix, no voice entry
      {"str_WRECK_BOSUN", "str_WRECK_TALK_3", "", 7.0f},
  };
  for (const Case& c : cases) {
    const int id = Speech()->Talk(c.speaker, c.text, "", "SpeechPortraits_01/Bosun", 7.0f, false, false);
    FrameSpeechWindow* window = gui->GetSpeechWindow(id);
    ASSERT_NE(window, nullptr) << c.speaker;
    EXPECT_NEAR(window->GetDisplayTime(), c.seconds, 1e-3f) << c.speaker << " " << c.text;
    VSoundObject* voice = window->GetVoice();
    if (*c.file) {
      ASSERT_NE(voice, nullptr) << c.speaker;
      EXPECT_NE(std::string(voice->GetResource()->GetFileName()).find(c.file), std::string::npos);
      EXPECT_TRUE(voice->IsPlaying());
    } else {
      EXPECT_EQ(voice, nullptr) << c.speaker;
    }
    // The right side speaks: its panel, label, words and portrait.
    EXPECT_FALSE(window->GetLeftPanel()->isVisible());
    EXPECT_TRUE(window->GetRightPanel()->isVisible());
    EXPECT_EQ(TextOf(window->GetSpeakerLabel()), Text(c.speaker));
    // No insert: a "%s" of the text takes nothing.
    EXPECT_EQ(TextOf(window->GetSpeechWidget()),
              CeguiCompat::ToUtf8(LocalizationTable::GetInstance()->GetText(c.text, std::wstring())));
    EXPECT_EQ(window->GetImageWidget()->getProperty("Image"), "SpeechPortraits_01/Bosun");
  }
}

TEST_F(SpeechSayTest, TheLineBeforeStaysBelowForTheNewLinesTimeAndItsVoiceFadesAndStops) {
  EXPECT_EQ(Speech()->GetCurrentLineId(), -1);
  Speech()->SkipSpeak();  // before any line: nothing
  const int first = Speech()->Talk("str_WRECK_BOSUN", "str_WRECK_TALK_1", "", "", 1.0f, true, false);
  FrameSpeechWindow* before = gui->GetSpeechWindow(first);
  ASSERT_NE(before, nullptr);
  VSmartPtr<VSoundObject> voice = before->GetVoice();
  ASSERT_TRUE(voice);
  EXPECT_TRUE(before->GetLeftPanel()->isVisible());
  EXPECT_FALSE(before->GetRightPanel()->isVisible());
  const int second = Speech()->Talk("str_WRECK_BOSUN", "str_WRECK_TALK_3", "", "", 2.5f, false, true);
  EXPECT_EQ(Speech()->GetCurrentLineId(), second);
  EXPECT_FLOAT_EQ(before->GetBelowHoldTime(), 2.5f);
  EXPECT_FLOAT_EQ(before->GetDisplayTime(), 1.9f);  // its voice's length + 0.4 s

  // Skipping ends both holds; the first slides down, its voice fading to nothing.
  Speech()->SkipSpeak();
  EXPECT_FLOAT_EQ(before->GetDisplayTime(), 0.0f);
  EXPECT_FLOAT_EQ(gui->GetSpeechWindow(second)->GetDisplayTime(), 0.0f);
  for (int i = 0; i < 4; ++i) env.Frame();
  EXPECT_EQ(before->GetState(), FrameSpeechWindow::STATE_HOLD_LOWER);
  EXPECT_FLOAT_EQ(voice->GetVolume(), 0.0f);
  for (int i = 0; i < 30 && gui->GetSpeechWindow(first); ++i) env.Frame();
  EXPECT_EQ(gui->GetSpeechWindow(first), nullptr);
  EXPECT_FALSE(voice->IsPlaying());
}

TEST_F(SpeechSayTest, ABubbleGoesWithItsShipAndNeverReachesForItAgain) {
  // A game entity: its end is announced on the game's bus and by the engine.
  auto* ship = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", VisVector_cl(40, 0, 0)));
  const int number = Speech()->Say(ship, CEGUI::String("Ahoy"), 5.0f);
  ASSERT_GT(number, 0);
  env.Frame();
  ship->Remove();
  Vision::Game.FreeRemovedEntities();
  ASSERT_NE(Bubble(number), nullptr);
  EXPECT_EQ(Bubble(number)->GetEntity(), nullptr);
  EXPECT_FALSE(Speech()->HasBubble() && Bubble(number)->GetDisplayTime() > 0.0f);
  env.Frame();
  EXPECT_EQ(Bubble(number), nullptr);
  EXPECT_FALSE(Speech()->HasBubble());
}

TEST_F(SpeechSayTest, ScriptsSayTalkAndAskAndBadArgumentsAreRefused) {
  lua_State* L = luaL_newstate();
  RegisterSpeechManagerWrapper(L);
  LUA_PushObjectProxy(L, speaker);
  lua_setglobal(L, "speaker");
  auto run = [&](const char* code) {
    std::string error;
    if (luaL_dostring(L, code) != 0) error = lua_tostring(L, -1);
    lua_settop(L, 0);
    return error;
  };
  auto value = [&](const char* code) {
    std::string result = "error";
    if (luaL_dostring(L, code) == 0) {
      if (lua_isnil(L, -1))
        result = "nil";
      else if (lua_isboolean(L, -1))
        result = lua_toboolean(L, -1) ? "true" : "false";
      else if (lua_isnumber(L, -1))
        result = std::to_string((int)lua_tointeger(L, -1));
    }
    lua_settop(L, 0);
    return result;
  };
  const std::string bubble = value("return SpeechManager.Say(speaker, 'str_WRECK_BUBBLE', 2.0)");
  ASSERT_NE(bubble, "nil");
  EXPECT_EQ(value(("return SpeechManager.IsBubbleVisible(" + bubble + ")").c_str()), "true");
  EXPECT_EQ(value(("return SpeechManager.IsBubbleVisible(" + bubble + " - 1)").c_str()), "false");
  const std::string line =
      value("return SpeechManager.Talk('str_WRECK_BOSUN', 'str_WRECK_TALK_3', '', '', 2.0, true, true)");
  ASSERT_NE(line, "nil");
  EXPECT_EQ(value(("return SpeechManager.IsSpeechWindowVisible(" + line + ")").c_str()), "true");
  EXPECT_EQ(value("return SpeechManager.IsSpeechWindowVisible(-1)"), "false");

  struct Bad {
    const char* code;
    const char* message;
  } bad[] = {
      {"SpeechManager.Say(5, 'k', 1.0)", "bad argument #2 to 'Say' (Expected VisTypedEngineObject_cl*)"},
      {"SpeechManager.Say(speaker, nil, 1.0)", "bad argument #3 to 'Say' (Expected const char*)"},
      {"SpeechManager.Say(speaker, 'k', 'x')", "bad argument #4 to 'Say' (Expected float)"},
      {"SpeechManager.IsBubbleVisible('x')", "bad argument #2 to 'IsBubbleVisible' (Expected int)"},
      {"SpeechManager.Talk('a', 'b', 'c', 'd', 1.0, true)", "bad argument #8 to 'Talk' (Expected bool)"},
      {"SpeechManager.Talk('a', 'b', 'c', 'd', 'e', true, true)", "bad argument #6 to 'Talk' (Expected float)"},
      {"SpeechManager.Talk('a', 'b', nil, 'd', 1.0, true, true)", "bad argument #4 to 'Talk' (Expected const char*)"},
      {"SpeechManager.IsSpeechWindowVisible()", "bad argument #2 to 'IsSpeechWindowVisible' (Expected int)"},
      {"SpeechManager.StartHLConversation(5)",
       "bad argument #2 to 'StartHLConversation' (Expected VisTypedEngineObject_cl*)"},
  };
  const size_t windows = gui->GetSpeechWindows().size();
  for (const Bad& b : bad) EXPECT_THAT(run(b.code), ::testing::HasSubstr(b.message)) << b.code;
  EXPECT_EQ(gui->GetSpeechWindows().size(), windows);

  // Nil starts nothing; an entity starts a conversation with the pause by default.
  EXPECT_EQ(run("SpeechManager.StartHLConversation(nil)"), "");
  EXPECT_FALSE(Speech()->IsInConversation());
  EXPECT_EQ(run("SpeechManager.StartHLConversation(speaker, 1, 2, false)"), "");
  EXPECT_TRUE(Speech()->IsInConversation());
  EXPECT_FALSE(Speech()->WantsPause());
  EXPECT_EQ(run("SpeechManager.EndConversation()"), "");
  EXPECT_EQ(run("SpeechManager.StartHLConversation(speaker)"), "");
  EXPECT_TRUE(Speech()->WantsPause());
  EXPECT_EQ(run("SpeechManager.EndConversation()"), "");
  lua_close(L);
}

}  // namespace
