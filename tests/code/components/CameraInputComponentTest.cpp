// The camera input component: the messages it sends each frame, and which of them
// the console, a conversation and the GUI's delay after it hold off.
#include "CameraFixture.h"

#include "components/CameraInputComponent.h"
#include "gui/GUIManager.h"
#include "Managers/SpeechManager.h"
#include "support/MessageRecorder.h"

#include "engine/base/VAction.h"

#include <gmock/gmock.h>

#include <utility>
#include <vector>

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

class CameraInputComponentTest : public CameraFixture {
 protected:
  void SetUp() override {
    CameraFixture::SetUp();
    camera->AddComponent(input = new CameraInputComponent());
    camera->AddComponent(recorder = new MessageRecorder());
  }
  void TearDown() override {
    Vision::Actions.SetConsoleOpen(false);
    SpeechManager::CleanInstance();
    GUIManager::CleanInstance();
    CameraFixture::TearDown();
  }
  // One frame's messages as (id, first parameter).
  std::vector<std::pair<int, INT_PTR>> FrameMessages() {
    recorder->ids.clear();
    recorder->firstParameters.clear();
    Frame();
    std::vector<std::pair<int, INT_PTR>> out;
    for (size_t i = 0; i < recorder->ids.size(); ++i) out.emplace_back(recorder->ids[i], recorder->firstParameters[i]);
    return out;
  }
  INT_PTR ParameterOf(int id) const {
    for (size_t i = 0; i < recorder->ids.size(); ++i)
      if (recorder->ids[i] == id) return recorder->firstParameters[i];
    return -1;
  }
  static void Key(int code, bool down) { Vision::Key.InjectKey(code, -1, down); }
  static void ScanKey(int scanCode, bool down) { Vision::Key.InjectKey(-1, scanCode, down); }

  CameraInputComponent* input = nullptr;
  MessageRecorder* recorder = nullptr;
};

TEST_F(CameraInputComponentTest, EveryFrameSendsTheHeldStatesInOrder) {
  std::vector<std::pair<int, INT_PTR>> idle = {{107, 0}, {108, 0}, {109, 0}, {110, 0}, {101, 0}, {102, 0}, {103, 0},
                                               {104, 0}, {105, 0}, {106, 0}, {133, 0}, {111, 0}, {112, 0}};
  EXPECT_THAT(FrameMessages(), ElementsAreArray(idle));

  // W and numeric pad 8 together are one forward message; the single-hit trigger 0
  // (control 123) sends 113 once per press; the boost (76) and turn (155) follow.
  ScanKey(0x11, true);
  ScanKey(0x48, true);
  Key(123, true);
  Key(76, true);
  Key(155, true);
  std::vector<std::pair<int, INT_PTR>> held = {{113, 0}, {107, 0}, {108, 0}, {109, 1}, {110, 0}, {101, 1}, {102, 0},
                                               {103, 0}, {104, 0}, {105, 0}, {106, 0}, {133, 1}, {111, 0}, {112, 0}};
  EXPECT_THAT(FrameMessages(), ElementsAreArray(held));
  FrameMessages();
  EXPECT_EQ(recorder->Count(113), 0);
  EXPECT_EQ(recorder->Count(101), 1);
  Key(123, false);
  FrameMessages();
  Key(123, true);
  FrameMessages();
  EXPECT_EQ(recorder->Count(113), 1);
}

TEST_F(CameraInputComponentTest, TheWheelSends111TowardsTheUserAnd112Away) {
  Vision::Mouse.InjectWheel(-1);
  FrameMessages();
  EXPECT_EQ(ParameterOf(111), 1);
  EXPECT_EQ(ParameterOf(112), 0);
  Vision::Mouse.InjectWheel(1);  // one notch away
  FrameMessages();
  EXPECT_EQ(ParameterOf(111), 0);
  EXPECT_EQ(ParameterOf(112), 1);
  FrameMessages();
  EXPECT_EQ(ParameterOf(112), 0);
}

TEST_F(CameraInputComponentTest, ConversationAndItsDelayHoldTheMovementKeysOnly) {
  ScanKey(0x1E, true);     // A
  ScanKey(0xC8, true);     // cursor up
  Key(124, true);          // trigger 1: 114
  Key(143, true);          // trigger 28: 110
  Key(76, true);           // boost
  const struct {
    const char* what;
    void (*set)();
    void (*clear)();
  } holds[] = {
      {"conversation",
       [] { SpeechManager::GetInstance()->StartConversation(nullptr, VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0), false); },
       [] {
         SpeechManager::CleanInstance();
         GUIManager::CleanInstance();  // its end starts the GUI's delay
       }},
      {"delay after a conversation", [] { GUIManager::GetInstance()->SetDelayAfterConversation(); },
       [] { GUIManager::CleanInstance(); }},
  };
  for (const auto& hold : holds) {
    SCOPED_TRACE(hold.what);
    Key(124, false);
    FrameMessages();
    hold.set();
    Key(124, true);
    Vision::Mouse.InjectWheel(-1);
    FrameMessages();
    for (int id = 101; id <= 106; ++id) EXPECT_EQ(ParameterOf(id), 0) << id;
    EXPECT_EQ(recorder->Count(114), 1);
    EXPECT_EQ(ParameterOf(110), 1);
    EXPECT_EQ(ParameterOf(133), 1);
    EXPECT_EQ(ParameterOf(111), 1);
    hold.clear();
    FrameMessages();
    EXPECT_EQ(ParameterOf(103), 1);
    EXPECT_EQ(ParameterOf(105), 1);
  }
}

TEST_F(CameraInputComponentTest, WithTheConsoleOpenOrWithoutOwnerNothingIsSent) {
  ScanKey(0x11, true);
  Key(123, true);
  Vision::Actions.SetConsoleOpen(true);
  EXPECT_TRUE(FrameMessages().empty());
  Vision::Actions.SetConsoleOpen(false);
  EXPECT_FALSE(FrameMessages().empty());

  camera->RemoveComponent(input);
  EXPECT_TRUE(FrameMessages().empty());
  input->Update();
  EXPECT_TRUE(recorder->ids.empty());
  // Attached again, the map is built afresh, not doubled.
  ASSERT_TRUE(camera->AddComponent(input));
  Key(123, false);
  FrameMessages();
  Key(123, true);
  FrameMessages();
  EXPECT_EQ(recorder->Count(113), 1);
}

}  // namespace
