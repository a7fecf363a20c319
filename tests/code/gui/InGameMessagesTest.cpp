// In-game messages: queueing and refreshing on two lines, the fade timing, the
// markup in front of every text, and frozen lines while the frame is hidden.
#include "code/gui/GuiFrameTesting.h"

#include "Managers/LocalizationTable.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameInGameMessages.h"

namespace {

class InGameMessagesTest : public GuiFrameTest {
 protected:
  // An eighth of a second is exact in binary, so the timings below are exact too.
  InGameMessagesTest() { timeStep = 0.125f; }

  FrameInGameMessages* Messages() { return Get<FrameInGameMessages>(WT_INGAME_MESSAGES); }
  static CEGUI::String Text(const char* text) { return CeguiCompat::ToGui(text); }
  static std::string Marked(const std::string& text) { return FrameInGameMessages::kPrefix + text; }
  static std::vector<std::string> Texts(const std::deque<InGameMessage>& queue) {
    std::vector<std::string> out;
    for (const InGameMessage& m : queue) out.push_back(m.text.c_str());
    return out;
  }
  static std::string LineText(CEGUI::Window* line) { return line->getText().c_str(); }
};

TEST_F(InGameMessagesTest, ShowMessageOpensTheFrameOnTopOfTheRootSheet) {
  gui->ShowMessage("str_LEVEL_UP", 5.0f, 2.0f);
  gui->ShowAdditionalMessage(Text("Centre"), 5.0f, 2.0f);
  FrameInGameMessages* frame = Messages();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->GetRootWindow()->getParent(), gui->GetBaseFrame());
  // A key goes through the localisation table; a missing key shows itself.
  const std::string levelUp = LocalizationTable::GetInstance()->GetText("str_LEVEL_UP").c_str();
  EXPECT_EQ(Texts(frame->GetUpperQueue()), (std::vector<std::string>{Marked(levelUp)}));
  EXPECT_EQ(Texts(frame->GetCenterQueue()), (std::vector<std::string>{Marked("Centre")}));
  EXPECT_EQ(frame->GetUpperQueue().front().displayTime, 5.0f);

  // The markup parses and its font exists: rendering fails on an unknown font.
  env.Frame();
  env.RenderGui();
  EXPECT_EQ(LineText(frame->GetUpperLine()), Marked(levelUp));
  EXPECT_FALSE(frame->GetUpperLine()->inheritsAlpha());
  EXPECT_TRUE(frame->GetUpperLine()->isMousePassThroughEnabled());
  EXPECT_TRUE(frame->GetRootWindow()->isMousePassThroughEnabled());
  ExpectNoCeguiFailure();
}

TEST_F(InGameMessagesTest, RepeatsRefreshInsteadOfQueueing) {
  struct Case {
    std::vector<const char*> queued;
    std::vector<const char*> records;
  };
  const Case cases[] = {
      {{"A", "A", "A"}, {"A"}},
      {{"A", "B", "B"}, {"A", "B"}},
      // The last A equals the front and refreshes it: two records, not three.
      {{"A", "B", "A"}, {"A", "B"}},
      {{"A", "B", "C", "B"}, {"A", "B", "C", "B"}},
      {{"", ""}, {""}},
  };
  for (const Case& c : cases) {
    FrameInGameMessages* frame = Messages();
    frame->ClearMessageData();
    float time = 1.0f;
    for (const char* text : c.queued) frame->AddCenterMessage(Text(text), time++, 2.0f);
    std::vector<std::string> expected;
    for (const char* text : c.records) expected.push_back(Marked(text));
    EXPECT_EQ(Texts(frame->GetCenterQueue()), expected) << c.queued.size();
    EXPECT_TRUE(frame->GetUpperQueue().empty());
  }
  // The refreshed record carries the newest times.
  FrameInGameMessages* frame = Messages();
  frame->ClearMessageData();
  frame->AddUpperMessage(Text("A"), 5.0f, 2.0f);
  frame->AddUpperMessage(Text("B"), 5.0f, 2.0f);
  frame->AddUpperMessage(Text("B"), 0.75f, 4.0f);
  EXPECT_EQ(frame->GetUpperQueue().back().displayTime, 0.75f);
  EXPECT_EQ(frame->GetUpperQueue().back().fadeSpeed, 4.0f);
}

TEST_F(InGameMessagesTest, FadesInHoldsFadesOutThenTakesTheNext) {
  FrameInGameMessages* frame = Messages();
  ASSERT_NE(frame, nullptr);
  frame->AddUpperMessage(Text("A"), 1.0f, 2.0f);
  frame->AddUpperMessage(Text("B"), 1.0f, 2.0f);
  CEGUI::Window* line = frame->GetUpperLine();

  // Fade speed 2: in by 0.75 per step (3 x 2 x 1/8), out by 0.25 per step.
  struct Step {
    int state;
    float alpha;
  };
  std::vector<Step> expected = {{1, 0.75f}, {2, 1.0f}};
  for (int i = 0; i < 7; ++i) expected.push_back({2, 1.0f});
  expected.push_back({3, 1.0f});  // the hold of 1 s ends on its 8th step
  for (float alpha : {0.75f, 0.5f, 0.25f, 0.0f}) expected.push_back({3, alpha});
  expected.push_back({4, 0.0f});  // below 0: the record leaves the queue
  for (size_t i = 0; i < expected.size(); ++i) {
    env.Frame();
    EXPECT_EQ(frame->GetUpperState(), expected[i].state) << "update " << i + 1;
    EXPECT_FLOAT_EQ(line->getAlpha(), expected[i].alpha) << "update " << i + 1;
  }
  EXPECT_EQ(LineText(line), "");
  EXPECT_EQ(Texts(frame->GetUpperQueue()), (std::vector<std::string>{Marked("B")}));
  env.Frame();
  EXPECT_EQ(LineText(line), Marked("B"));
  EXPECT_EQ(frame->GetUpperState(), 1);
}

TEST_F(InGameMessagesTest, ARepeatWhileFadingOutFadesBackIn) {
  FrameInGameMessages* frame = Messages();
  frame->AddUpperMessage(Text("A"), 0.125f, 2.0f);
  for (int i = 0; i < 4; ++i) env.Frame();
  ASSERT_EQ(frame->GetUpperState(), 3);
  const float alpha = frame->GetUpperLine()->getAlpha();
  ASSERT_LT(alpha, 1.0f);
  frame->AddUpperMessage(Text("A"), 1.0f, 2.0f);
  EXPECT_EQ(frame->GetUpperState(), 1);
  env.Frame();
  EXPECT_EQ(frame->GetUpperState(), 2);
  EXPECT_EQ(frame->GetUpperQueue().size(), 1u);
  // Holding, a repeat only renews the time.
  frame->AddUpperMessage(Text("A"), 1.0f, 2.0f);
  EXPECT_EQ(frame->GetUpperState(), 2);
  EXPECT_EQ(frame->GetUpperQueue().front().displayTime, 1.0f);
}

TEST_F(InGameMessagesTest, LinesRunIndependentlyAndFreezeWhileHidden) {
  FrameInGameMessages* frame = Messages();
  frame->AddUpperMessage(Text("long"), 100.0f, 2.0f);
  frame->AddCenterMessage(Text("short"), 0.125f, 8.0f);
  for (int i = 0; i < 4; ++i) env.Frame();
  // At speed 8: in within one step, held one, out to exactly 0 in one, then gone.
  EXPECT_TRUE(frame->GetCenterQueue().empty());
  EXPECT_EQ(frame->GetCenterState(), 4);
  EXPECT_EQ(frame->GetUpperState(), 2);

  frame->AddCenterMessage(Text("next"), 1.0f, 2.0f);
  env.Frame();
  const float held = frame->GetUpperQueue().front().displayTime;
  const float alpha = frame->GetCenterLine()->getAlpha();
  frame->GetRootWindow()->hide();
  for (int i = 0; i < 10; ++i) env.Frame();
  EXPECT_EQ(frame->GetUpperQueue().front().displayTime, held);
  EXPECT_EQ(frame->GetCenterLine()->getAlpha(), alpha);
  EXPECT_EQ(frame->GetCenterState(), 1);
  frame->GetRootWindow()->show();
  env.Frame();
  EXPECT_EQ(frame->GetCenterState(), 2);
}

TEST(InGameMessagesWithoutGuiTest, MessagesNeedTheRootSheet) {
  GuiTestEnvironment env;
  env.Start();
  GUIManager::GetInstance()->ShowMessage("str_LEVEL_UP", 5.0f, 2.0f);
  EXPECT_EQ(GUIManager::GetInstance()->FindWindowA(WT_INGAME_MESSAGES), nullptr);
  env.Stop();
}

}  // namespace
