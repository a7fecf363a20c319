// The launcher's window procedure and the binding of the plug-in's exports.
#include "TideworkImports.h"
#include "WindowProc.h"

#include "engine/base/VisInput.h"
#include "engine/core/VisionApp.h"
#include "engine/os/VOs.h"

#include <gtest/gtest.h>

namespace {
// What the fake plug-in exports were called with.
struct Calls {
  std::vector<bool> focus;
  std::vector<bool> showCursor;
  std::vector<std::pair<int, int>> cursorPositions;
} g_calls;

class WindowProcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_calls = Calls();
    saved = TideworkImports::Get();
    TideworkImports& t = TideworkImports::Get();
    t.VisMainApp_SetFocus = [](bool f) { g_calls.focus.push_back(f); };
    t.MouseCursorManager_ShowD3DCursor = [](bool s) { g_calls.showCursor.push_back(s); };
    t.MouseCursorManager_SetD3DCursorPosition = [](int x, int y) { g_calls.cursorPositions.push_back({x, y}); };
  }
  void TearDown() override { TideworkImports::Get() = saved; }
  TideworkImports saved;
};

TEST_F(WindowProcTest, FocusMessagesSetTheApplicationsFocusFlag) {
  EXPECT_EQ(WindowProc(nullptr, WM_KILLFOCUS, 0, 0), 1);
  EXPECT_EQ(WindowProc(nullptr, WM_SETFOCUS, 0, 0), 1);
  EXPECT_EQ(g_calls.focus, (std::vector<bool>{false, true}));
}

TEST_F(WindowProcTest, SetCursorHidesTheSystemImageAndShowsTheGameCursor) {
  int image = 0;
  VSetSystemCursorImage(&image);
  EXPECT_EQ(WindowProc(nullptr, WM_SETCURSOR, 0, 0), 1);
  EXPECT_EQ(VGetSystemCursorImage(), nullptr);
  EXPECT_EQ(g_calls.showCursor, std::vector<bool>{true});
}

TEST_F(WindowProcTest, MouseMoveHandsTheScreenPositionOnAndPassesTheMessage) {
  VSetCursorPos(200, 150);
  const INT_PTR lParam = (150 << 16) | 200;
  WindowProc(nullptr, WM_MOUSEMOVE, 0, lParam);
  ASSERT_EQ(g_calls.cursorPositions.size(), 1u);
  EXPECT_EQ(g_calls.cursorPositions[0], std::make_pair(200, 150));
  // The engine's own procedure saw the move too.
  EXPECT_EQ(Vision::Mouse.GetX(), 200.0f);
  EXPECT_EQ(Vision::Mouse.GetY(), 150.0f);
  EXPECT_TRUE(g_calls.focus.empty());
}

TEST(TideworkImportsTest, MissingLibraryIsNotBound) {
  EXPECT_FALSE(TideworkImports::Bind("/nonexistent/libTidework.so"));
}
}  // namespace
