// The null renderer: overlay brackets and the screenshot that cannot be taken headless.
#include "engine/render/VisRenderer.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

namespace {

TEST(RenderLoopHelper, OverlayBracketsNestAndAnUnmatchedEndIsReported) {
  LogCapture log;
  EXPECT_FALSE(VisRenderLoopHelper_cl::IsInOverlay());
  VisRenderLoopHelper_cl::BeginOverlayRendering();
  VisRenderLoopHelper_cl::BeginOverlayRendering();
  VisRenderLoopHelper_cl::EndOverlayRendering();
  EXPECT_TRUE(VisRenderLoopHelper_cl::IsInOverlay());
  VisRenderLoopHelper_cl::EndOverlayRendering();
  EXPECT_FALSE(VisRenderLoopHelper_cl::IsInOverlay());

  VisRenderLoopHelper_cl::EndOverlayRendering();
  EXPECT_TRUE(log.Contains("EndOverlayRendering without BeginOverlayRendering"));
  // The stray end did not leave a debt: one begin opens the overlay again.
  VisRenderLoopHelper_cl::BeginOverlayRendering();
  EXPECT_TRUE(VisRenderLoopHelper_cl::IsInOverlay());
  VisRenderLoopHelper_cl::EndOverlayRendering();
}

TEST(Renderer, ScreenshotFailsHeadlessAndNamesNoFile) {
  std::string file = "stale.png";
  EXPECT_FALSE(Vision::Renderer.SaveScreenShot(&file));
  EXPECT_TRUE(file.empty());
}

}  // namespace
