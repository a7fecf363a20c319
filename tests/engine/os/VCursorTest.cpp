// The emulated system cursor: visibility, image, position, clip and client area.
#include "engine/os/VOs.h"

#include <gtest/gtest.h>

namespace {

class VCursorTest : public testing::Test {
 protected:
  void TearDown() override {
    VClipCursor(nullptr);
    VSetCursorPos(0, 0);
    VShowSystemCursor(true);
    VSetSystemCursorImage(nullptr);
    VSetClientSize(1280, 720);
  }
  static VPoint Pos() {
    VPoint p;
    EXPECT_TRUE(VGetCursorPos(p));
    return p;
  }
};

TEST_F(VCursorTest, VisibilityAndImageAreKept) {
  EXPECT_TRUE(VIsSystemCursorShown());
  VShowSystemCursor(false);
  EXPECT_FALSE(VIsSystemCursorShown());
  int image = 0;
  VSetSystemCursorImage(&image);
  EXPECT_EQ(&image, VGetSystemCursorImage());
  VSetSystemCursorImage(nullptr);
  EXPECT_EQ(nullptr, VGetSystemCursorImage());
}

TEST_F(VCursorTest, ClipKeepsThePositionInsideUntilReleased) {
  VSetCursorPos(500, 400);
  EXPECT_EQ(500, Pos().x);
  VRect clip;
  EXPECT_FALSE(VGetCursorClip(clip));

  VRect rect{100, 50, 300, 200};
  VClipCursor(&rect);
  ASSERT_TRUE(VGetCursorClip(clip));
  EXPECT_EQ(300, clip.right);
  // Clipping moves the cursor in; right and bottom are outside the rectangle.
  EXPECT_EQ(299, Pos().x);
  EXPECT_EQ(199, Pos().y);

  struct Move {
    int x, y, ex, ey;
  };
  for (const Move& m : {Move{150, 60, 150, 60}, Move{-20, 1000, 100, 199}, Move{100, 50, 100, 50}}) {
    VSetCursorPos(m.x, m.y);
    EXPECT_EQ(m.ex, Pos().x);
    EXPECT_EQ(m.ey, Pos().y);
  }

  VClipCursor(nullptr);
  EXPECT_FALSE(VGetCursorClip(clip));
  EXPECT_EQ(100, Pos().x);  // released: the cursor stays where the clip left it
  VSetCursorPos(-20, 1000);
  EXPECT_EQ(-20, Pos().x);
  EXPECT_EQ(1000, Pos().y);
}

TEST_F(VCursorTest, ClientAreaIsTheVideoModeAtTheOrigin) {
  VRect r;
  ASSERT_TRUE(VGetClientRect(nullptr, r));
  EXPECT_EQ(0, r.left);
  EXPECT_EQ(0, r.top);
  EXPECT_EQ(1280, r.right);
  EXPECT_EQ(720, r.bottom);

  VSetClientSize(1024, 768);
  ASSERT_TRUE(VGetClientRect(nullptr, r));
  EXPECT_EQ(1024, r.right);
  EXPECT_EQ(768, r.bottom);
  ASSERT_TRUE(VMapWindowPointsToScreen(nullptr, r));
  EXPECT_EQ(0, r.left);
  EXPECT_EQ(1024, r.right);

  VPoint p{33, 44};
  ASSERT_TRUE(VScreenToClient(nullptr, p));
  EXPECT_EQ(33, p.x);
  EXPECT_EQ(44, p.y);
}

}  // namespace
