#include "engine/base/VisInput.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
// The input map reads the global devices: every test starts from a quiet keyboard, mouse and pad.
class InputTest : public ::testing::Test {
 protected:
  void SetUp() override { Quiet(); }
  void TearDown() override { Quiet(); }
  static void Quiet() {
    Vision::Key.Reset();
    for (int b = 0; b < 3; ++b) Vision::Mouse.InjectButton(b, false);
    Vision::Mouse.Poll();
    Vision::Mouse.Poll();  // no wheel turn left over
    for (int c = 0; c < 256; ++c) VSetPadControl(c, 0.0f);
  }
  static void Press(int key, int scan = -1) { Vision::Key.InjectKey(key, scan, true); }
  static void Release(int key, int scan = -1) { Vision::Key.InjectKey(key, scan, false); }
};

struct EventRecorder : IVisCallbackHandler_cl {
  struct Event {
    VCallback* sender;
    int key, scan, button;
  };
  std::vector<Event> events;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override {
    auto* d = static_cast<VInputCallbackDataObject*>(data);
    events.push_back({d->m_pSender, d->m_iKey, d->m_iScanCode, d->m_iButton});
  }
};
}  // namespace

TEST_F(InputTest, KeysAreHeldByKeyCodeAndByScanCodeSeparately) {
  VisKey_cl keys;
  keys.InjectKey('w', 0x11, true);
  EXPECT_TRUE(keys.IsPressed('w'));
  EXPECT_TRUE(keys.IsPressed_SC(0x11));
  EXPECT_FALSE(keys.IsPressed(0x11));
  EXPECT_FALSE(keys.IsPressed_SC('w'));
  EXPECT_FALSE(keys.IsPressed(-1));
  EXPECT_FALSE(keys.IsPressed(256));
  keys.Reset();
  EXPECT_FALSE(keys.IsPressed('w'));
  EXPECT_FALSE(keys.IsPressed_SC(0x11));
}

TEST_F(InputTest, SingleHitKeyReportsOncePerPress) {
  VisKey_cl keys;
  keys.SetSingleHitMode_SC(25, true);
  keys.SetSingleHitMode(VGLK_NAMETAG, true);
  keys.InjectKey(VGLK_NAMETAG, 25, true);
  EXPECT_TRUE(keys.IsPressed_SC(25));
  EXPECT_FALSE(keys.IsPressed_SC(25));
  EXPECT_TRUE(keys.IsPressed(VGLK_NAMETAG));
  EXPECT_FALSE(keys.IsPressed(VGLK_NAMETAG));
  EXPECT_TRUE(keys.IsHeld_SC(25)) << "the raw state stays held";
  keys.Poll();
  EXPECT_FALSE(keys.IsPressed_SC(25)) << "still the same press";
  keys.InjectKey(VGLK_NAMETAG, 25, false);
  keys.InjectKey(VGLK_NAMETAG, 25, true);
  EXPECT_TRUE(keys.IsPressed_SC(25));
  // Switching the mode off makes it a plain held key again.
  keys.SetSingleHitMode_SC(25, false);
  EXPECT_TRUE(keys.IsPressed_SC(25));
  EXPECT_TRUE(keys.IsPressed_SC(25));
}

TEST_F(InputTest, InjectedEventsFireTheInputCallbacks) {
  EventRecorder rec;
  VInputCallbacks::OnKeyDown.RegisterCallback(&rec);
  VInputCallbacks::OnKeyUp.RegisterCallback(&rec);
  VInputCallbacks::OnMouseButtonDown.RegisterCallback(&rec);
  VInputCallbacks::OnMouseButtonUp.RegisterCallback(&rec);
  Vision::Key.InjectKey(VGLK_ENTER, 0x1C, true);
  Vision::Key.InjectKey(VGLK_ENTER, 0x1C, false);
  Vision::Mouse.InjectButton(VisMouse_cl::RIGHT, true);
  Vision::Mouse.InjectButton(VisMouse_cl::RIGHT, false);
  Vision::Mouse.InjectButton(7, true);  // no such button
  VInputCallbacks::OnKeyDown.DeregisterCallback(&rec);
  VInputCallbacks::OnKeyUp.DeregisterCallback(&rec);
  VInputCallbacks::OnMouseButtonDown.DeregisterCallback(&rec);
  VInputCallbacks::OnMouseButtonUp.DeregisterCallback(&rec);

  ASSERT_EQ(rec.events.size(), 4u);
  EXPECT_EQ(rec.events[0].sender, &VInputCallbacks::OnKeyDown);
  EXPECT_EQ(rec.events[0].key, VGLK_ENTER);
  EXPECT_EQ(rec.events[0].scan, 0x1C);
  EXPECT_EQ(rec.events[1].sender, &VInputCallbacks::OnKeyUp);
  EXPECT_EQ(rec.events[2].sender, &VInputCallbacks::OnMouseButtonDown);
  EXPECT_EQ(rec.events[2].button, VisMouse_cl::RIGHT);
  EXPECT_EQ(rec.events[3].sender, &VInputCallbacks::OnMouseButtonUp);
}

TEST_F(InputTest, SingleHitTriggerFiresOncePerPressOnAnyAlternative) {
  VInputMap map(4, 2);
  EXPECT_EQ(map.MapTrigger(1, V_KEYBOARD, 101), 0);
  EXPECT_EQ(map.MapTrigger(1, V_PAD0, 3), 1);
  EXPECT_EQ(map.MapTrigger(1, V_KEYBOARD, 102), -1) << "both alternatives taken";
  EXPECT_EQ(map.MapTrigger(4, V_KEYBOARD, 102), -1) << "no such trigger";
  EXPECT_EQ(map.MapTrigger(2, 9, 102), -1) << "no such device";

  EXPECT_EQ(map.GetTrigger(1), 0.0f);
  Press(101);
  EXPECT_EQ(map.GetTrigger(1), 1.0f);
  EXPECT_EQ(map.GetTrigger(1), 0.0f) << "held, already reported";
  Release(101);
  EXPECT_EQ(map.GetTrigger(1), 0.0f);
  VSetPadControl(3, 1.0f);
  EXPECT_EQ(map.GetTrigger(1), 1.0f);
  EXPECT_EQ(map.GetTrigger(1), 0.0f);
  // Binding a key never consumes the keyboard's own single-hit report.
  Vision::Key.SetSingleHitMode(101, true);
  Press(101);
  EXPECT_EQ(map.GetTrigger(1), 1.0f);
  EXPECT_TRUE(Vision::Key.IsPressed(101));
  Vision::Key.SetSingleHitMode(101, false);
}

TEST_F(InputTest, ValueAndAxisBindingsApplyTheirDeadZone) {
  VInputMap map(32, 4);
  map.MapTriggerValue(16, V_PAD0, 10, 0.2f);
  map.MapTriggerValue(25, V_KEYBOARD, 78, 0.2f);
  map.MapTriggerAxis(31, V_MOUSE, VMOUSE_WHEEL_DOWN, VMOUSE_WHEEL_UP, 0.0f);

  const struct {
    float pad;
    float expected;
  } pad[] = {{0.1f, 0.0f}, {0.2f, 0.0f}, {0.5f, 0.5f}, {-0.7f, -0.7f}};
  for (const auto& c : pad) {
    VSetPadControl(10, c.pad);
    EXPECT_FLOAT_EQ(map.GetTrigger(16), c.expected) << c.pad;
  }

  Press(78);
  EXPECT_EQ(map.GetTrigger(25), 1.0f);
  EXPECT_EQ(map.GetTrigger(25), 1.0f) << "a value binding reads every time";
  Release(78);
  EXPECT_EQ(map.GetTrigger(25), 0.0f);

  // The frame pumps events, then polls; the turns show for that one frame.
  Vision::Mouse.InjectWheel(1);
  Vision::Mouse.InjectWheel(1);
  EXPECT_EQ(map.GetTrigger(31), 0.0f) << "not read before the poll";
  Vision::Mouse.Poll();
  EXPECT_FLOAT_EQ(map.GetTrigger(31), 2.0f);
  Vision::Mouse.Poll();
  EXPECT_EQ(map.GetTrigger(31), 0.0f);
  Vision::Mouse.InjectWheel(-1);
  Vision::Mouse.Poll();
  EXPECT_FLOAT_EQ(map.GetTrigger(31), -1.0f);
}

TEST_F(InputTest, LargeKeyboardControlsFollowTheTableAndUnknownOnesNeverTrigger) {
  VInputMap map(12, 4);
  const unsigned assign = 0x4007B, recall = 0x400007B;
  map.MapTrigger(0, V_KEYBOARD, assign, false);
  map.MapTrigger(1, V_KEYBOARD, recall, false);
  map.MapTrigger(2, V_KEYBOARD, 0xFF0000B9, false);
  map.MapTrigger(3, V_KEYBOARD, 0xFF0000BF, false);
  map.MapTrigger(4, V_KEYBOARD, 0xFF00009A, false);
  map.MapTrigger(5, V_KEYBOARD, 0x12345678, false);
  map.MapTrigger(6, V_KEYBOARD, 0x4007E, false);

  Press('1');
  EXPECT_EQ(map.GetTrigger(0), 0.0f);
  EXPECT_EQ(map.GetTrigger(1), 1.0f);
  Press(VGLK_MODIFIER_B);
  EXPECT_EQ(map.GetTrigger(0), 1.0f);
  EXPECT_EQ(map.GetTrigger(1), 0.0f) << "Ctrl+1 assigns, it does not also recall";
  EXPECT_EQ(map.GetTrigger(6), 0.0f);
  Press('4');
  EXPECT_EQ(map.GetTrigger(6), 1.0f);

  Press(VGLK_F2);
  Press(VGLK_F8);
  EXPECT_EQ(map.GetTrigger(2), 1.0f);
  EXPECT_EQ(map.GetTrigger(3), 1.0f);
  for (int k = 0; k < 256; ++k) Press(k);
  EXPECT_EQ(map.GetTrigger(4), 0.0f);
  EXPECT_EQ(map.GetTrigger(5), 0.0f);
}
