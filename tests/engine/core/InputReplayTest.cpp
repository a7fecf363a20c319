// ENGINE_INPUT: the file format, its refusals, and the replay through the engine
// frame to the keyboard, the mouse, the input callbacks and the window procedure.
#include "engine/Vision.h"
#include "engine/core/VInputReplay.h"
#include "engine/core/VPlatformInput.h"
#include "support/LogCapture.h"
#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Message {
  unsigned message;
  UINT_PTR wParam;
  INT_PTR lParam;
};
std::vector<Message> g_messages;

long RecordingWndProc(void* hwnd, unsigned message, UINT_PTR wParam, INT_PTR lParam) {
  g_messages.push_back({message, wParam, lParam});
  return VisionWndProc(hwnd, message, wParam, lParam);
}

// Key and button callbacks as "down:key/scan" or "button-up:b".
class InputRecorder : public IVisCallbackHandler_cl {
 public:
  InputRecorder() {
    for (VCallback* cb : Callbacks()) cb->RegisterCallback(this);
  }
  ~InputRecorder() override {
    for (VCallback* cb : Callbacks()) cb->DeregisterCallback(this);
  }
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override {
    auto* in = static_cast<VInputCallbackDataObject*>(data);
    const VCallback* s = data->m_pSender;
    if (s == &VInputCallbacks::OnKeyDown || s == &VInputCallbacks::OnKeyUp)
      events.push_back(std::string(s == &VInputCallbacks::OnKeyDown ? "down:" : "up:") + std::to_string(in->m_iKey) +
                       "/" + std::to_string(in->m_iScanCode));
    else
      events.push_back(std::string(s == &VInputCallbacks::OnMouseButtonDown ? "button-down:" : "button-up:") +
                       std::to_string(in->m_iButton));
  }
  std::vector<std::string> events;

 private:
  static std::vector<VCallback*> Callbacks() {
    return {&VInputCallbacks::OnKeyDown, &VInputCallbacks::OnKeyUp, &VInputCallbacks::OnMouseButtonDown,
            &VInputCallbacks::OnMouseButtonUp};
  }
};

std::string WriteTemp(const std::string& text) {
  char path[] = "/tmp/engine-input-XXXXXX";
  const int fd = mkstemp(path);
  if (fd >= 0) close(fd);
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

}  // namespace

TEST(InputReplay, ParsesEveryEventKindAndOrdersThemByFrame) {
  VInputReplay replay;
  const int refused = replay.Parse(
      "# comment\n"
      "\n"
      "5 key F8 down\r\n"
      "  3 move 640 360\n"
      "3 CLICK right\n"
      "4 press escape\n"
      "9 wheel -2\n"
      "9 button middle up\n"
      "2 focus out\n",
      "test");
  EXPECT_EQ(refused, 0);
  const std::vector<VInputReplay::Event>& e = replay.GetEvents();
  ASSERT_EQ(e.size(), 9u);
  // Frame order; within a frame, the order of the lines (the up of a press or a
  // click falls on the next frame).
  const unsigned frames[] = {2, 3, 3, 4, 4, 5, 5, 9, 9};
  for (size_t i = 0; i < 9; ++i) EXPECT_EQ(e[i].frame, frames[i]) << i;
  EXPECT_EQ(e[0].kind, VInputReplay::FOCUS);
  EXPECT_FALSE(e[0].down);
  EXPECT_EQ(e[1].kind, VInputReplay::MOVE);
  EXPECT_EQ(e[1].a, 640);
  EXPECT_EQ(e[1].b, 360);
  EXPECT_EQ(e[2].kind, VInputReplay::BUTTON);
  EXPECT_EQ(e[2].a, 1);
  EXPECT_TRUE(e[2].down);
  // Frame 4: the right button's release, then Escape down; frame 5 Escape up, F8 down.
  EXPECT_EQ(e[3].kind, VInputReplay::BUTTON);
  EXPECT_FALSE(e[3].down);
  EXPECT_EQ(e[4].kind, VInputReplay::KEY);
  EXPECT_EQ(e[4].a, VGLK_ESC);
  EXPECT_EQ(e[4].b, 1);
  EXPECT_TRUE(e[4].down);
  EXPECT_EQ(e[5].a, VGLK_F8);
  EXPECT_TRUE(e[5].down);
  EXPECT_EQ(e[5].line, 3);
  EXPECT_EQ(e[6].a, VGLK_ESC);
  EXPECT_FALSE(e[6].down);
  EXPECT_EQ(e[7].kind, VInputReplay::WHEEL);
  EXPECT_EQ(e[7].a, -2);
  EXPECT_EQ(e[8].kind, VInputReplay::BUTTON);
  EXPECT_EQ(e[8].a, 2);
  EXPECT_FALSE(e[8].down);
}

TEST(InputReplay, RefusesLinesThatDoNotParseWithTheirLineNumber) {
  struct Case {
    const char* line;
    const char* reason;
  };
  const Case cases[] = {
      {"0 key A down", "frame is not a positive number"},
      {"-3 key A down", "frame is not a positive number"},
      {"x key A down", "frame is not a positive number"},
      {"99999999999 key A down", "frame is not a positive number"},
      {"4", "event missing"},
      {"4 jump", "unknown event"},
      {"4 key Hyper down", "unknown key"},
      {"4 key A", "expected: key <key> down|up"},
      {"4 key A sideways", "expected: key <key> down|up"},
      {"4 press A now", "expected: press <key>"},
      {"4 move 10", "expected: move <x> <y>"},
      {"4 move -1 10", "expected: move <x> <y>"},
      {"4 move 10 40000", "expected: move <x> <y>"},
      {"4 move 1.5 2", "expected: move <x> <y>"},
      {"4 button fourth down", "expected: button left|right|middle down|up"},
      {"4 click", "expected: click left|right|middle"},
      {"4 wheel 0", "expected: wheel <notches>"},
      {"4 wheel up", "expected: wheel <notches>"},
      {"4 focus maybe", "expected: focus in|out"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    LogCapture log;
    VInputReplay replay;
    EXPECT_EQ(replay.Parse(std::string("1 key A down\n") + c.line + "\n2 key A up\n", "in.txt"), 1);
    EXPECT_EQ(replay.GetEvents().size(), 2u);
    EXPECT_TRUE(log.Contains(std::string("ENGINE_INPUT in.txt:2: ") + c.reason)) << (log.Lines().empty() ? "" : log.Lines().back());
  }
}

class ReplayFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_messages.clear();
    Vision::Key.Reset();
    for (int b = 0; b < 3; ++b) Vision::Mouse.InjectButton(b, false);
    VClipCursor(nullptr);
    VSetCursorPos(0, 0);
  }
  void TearDown() override {
    app.DeInitEngine();
    if (!file.empty()) remove(file.c_str());
  }
  bool Start(const std::string& text) {
    file = WriteTemp(text);
    ScopedEnv input("ENGINE_INPUT", file.c_str());
    ScopedEnv video("ENGINE_VIDEO", nullptr);
    app.m_windowConfig.SetWindowProc(&RecordingWndProc);
    Vision::SetApplication(&app);
    return app.InitEngine();
  }
  VisionApp_cl app;
  std::string file;
};

TEST_F(ReplayFrameTest, EventsArriveAtTheStartOfTheirFrameThroughDevicesCallbacksAndWindowProcedure) {
  ASSERT_TRUE(Start("2 move 300 200\n2 button left down\n3 button left up\n3 key F8 down\n4 key F8 up\n"
                    "5 wheel 3\n6 focus out\n"));
  InputRecorder recorder;

  ASSERT_TRUE(app.Run());  // frame 1: nothing yet
  EXPECT_TRUE(recorder.events.empty());
  EXPECT_TRUE(g_messages.empty());

  ASSERT_TRUE(app.Run());  // frame 2
  EXPECT_EQ(recorder.events, std::vector<std::string>{"button-down:0"});
  EXPECT_TRUE(Vision::Mouse.IsLeftButtonPressed());
  EXPECT_EQ(Vision::Mouse.GetX(), 300.0f);
  EXPECT_EQ(Vision::Mouse.GetY(), 200.0f);
  VPoint cursor;
  VGetCursorPos(cursor);
  EXPECT_EQ(cursor.x, 300);
  EXPECT_EQ(cursor.y, 200);
  ASSERT_EQ(g_messages.size(), 2u);
  EXPECT_EQ(g_messages[0].message, (unsigned)WM_SETCURSOR);
  EXPECT_EQ(g_messages[0].lParam, (INT_PTR)(HTCLIENT | (WM_MOUSEMOVE << 16)));
  EXPECT_EQ(g_messages[1].message, (unsigned)WM_MOUSEMOVE);
  EXPECT_EQ(g_messages[1].lParam, (INT_PTR)(300 | (200 << 16)));

  ASSERT_TRUE(app.Run());  // frame 3
  EXPECT_FALSE(Vision::Mouse.IsLeftButtonPressed());
  EXPECT_TRUE(Vision::Key.IsHeld(VGLK_F8));
  EXPECT_TRUE(Vision::Key.IsHeld_SC(0x42));
  ASSERT_TRUE(app.Run());  // frame 4
  EXPECT_FALSE(Vision::Key.IsHeld(VGLK_F8));
  EXPECT_EQ(recorder.events, (std::vector<std::string>{"button-down:0", "button-up:0", "down:119/66", "up:119/66"}));

  ASSERT_TRUE(app.Run());  // frame 5: the wheel is read by this frame's poll
  EXPECT_EQ(Vision::Mouse.GetWheelValue() - Vision::Mouse.GetPreviousWheelValue(), 3);

  Vision::Key.InjectKey('W', 0x11, true);
  g_messages.clear();
  ASSERT_TRUE(app.Run());  // frame 6: losing the focus releases the keys
  ASSERT_EQ(g_messages.size(), 1u);
  EXPECT_EQ(g_messages[0].message, (unsigned)WM_KILLFOCUS);
  EXPECT_FALSE(Vision::Key.IsHeld('W'));
}

TEST_F(ReplayFrameTest, MouseMessagesCarryTheClippedPositionAndHeldButtons) {
  ASSERT_TRUE(Start("1 button right down\n1 move 900 50\n"));
  const VRect clip{100, 100, 500, 400};
  VClipCursor(&clip);
  ASSERT_TRUE(app.Run());
  ASSERT_EQ(g_messages.size(), 2u);
  EXPECT_EQ(g_messages[1].wParam, (UINT_PTR)MK_RBUTTON);
  EXPECT_EQ(g_messages[1].lParam, (INT_PTR)(499 | (100 << 16)));
  EXPECT_EQ(Vision::Mouse.GetX(), 499.0f);
}

TEST_F(ReplayFrameTest, AMissingFileReplaysNothingAndTheEngineStillStarts) {
  LogCapture log;
  ScopedEnv input("ENGINE_INPUT", "/nonexistent/input.txt");
  Vision::SetApplication(&app);
  ASSERT_TRUE(app.InitEngine());
  EXPECT_TRUE(log.Contains("ENGINE_INPUT: cannot read \"/nonexistent/input.txt\""));
  EXPECT_TRUE(app.Run());
}

TEST_F(ReplayFrameTest, AnEngineRestartForgetsTheReplay) {
  ASSERT_TRUE(Start("3 key A down\n"));
  app.DeInitEngine();
  ScopedEnv input("ENGINE_INPUT", nullptr);
  ASSERT_TRUE(app.InitEngine());
  for (int i = 0; i < 4; ++i) app.Run();
  EXPECT_FALSE(Vision::Key.IsHeld('A'));
}
