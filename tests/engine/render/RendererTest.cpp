// The null renderer: overlay brackets, the screenshot that cannot be taken headless,
// and the reloads of changed resource files.
#include "engine/Vision.h"
#include "support/LogCapture.h"
#include "support/ScratchDataFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

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

TEST(Renderer, ReloadsCountTheTexturesAndSurfaceAssignmentsWhoseFilesChanged) {
  ScratchDataFolder data;
  data.Write("textures/hull.dds", "old");
  data.Write("textures/sails.dds", "old");
  data.Write("ship.model", "<model><surface name=\"hull\" texture=\"textures\\hull.dds\"/></model>");
  VSmartPtr<VTextureObject> hull = Vision::TextureManager.Load2DTextureFromFile("textures\\hull.dds");
  VSmartPtr<VTextureObject> sails = Vision::TextureManager.Load2DTextureFromFile("textures\\sails.dds");
  VSmartPtr<VTextureObject> unknown = Vision::TextureManager.Load2DTextureFromFile("textures\\none.dds");
  VSmartPtr<VDynamicMesh> ship = Vision::Game.LoadDynamicMesh("ship.model");
  ASSERT_TRUE(ship);
  EXPECT_EQ(Vision::Renderer.ResetEffectCaches(), 0);
  EXPECT_EQ(Vision::Renderer.ReloadShaderAssignments(), 0);

  // A changed file, a removed one and one that appeared: each reloaded once.
  data.Write("textures/hull.dds", "newer and longer");
  std::filesystem::remove(data.Path() / "textures" / "sails.dds");
  Vision::File.ClearCache();
  data.Write("textures/none.dds", "here now");
  EXPECT_EQ(Vision::Renderer.ResetEffectCaches(), 3);
  EXPECT_EQ(Vision::Renderer.ResetEffectCaches(), 0);

  // The model's surface keeps its name and takes its new texture.
  data.Write("ship.model", "<model><surface name=\"hull\" texture=\"textures\\hull2.dds\"/></model>");
  EXPECT_EQ(Vision::Renderer.ReloadShaderAssignments(), 1);
  EXPECT_STREQ(ship->GetSurfaceTexture(0), "textures\\hull2.dds");
  EXPECT_EQ(Vision::Renderer.ReloadShaderAssignments(), 0);
  // Other surfaces cannot be taken while entities use the model.
  LogCapture log;
  data.Write("ship.model", "<model><surface name=\"deck\" texture=\"textures\\deck.dds\"/></model>");
  EXPECT_EQ(Vision::Renderer.ReloadShaderAssignments(), 0);
  EXPECT_TRUE(log.Contains("Model ship.model: surfaces changed"));
  EXPECT_STREQ(ship->GetSurfaceName(0), "hull");

  hull = sails = unknown = nullptr;
  ship = nullptr;
  Vision::TextureManager.PurgeUnused();
  Vision::Game.PurgeUnusedMeshes();
}
