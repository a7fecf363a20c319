// Scene collision data: the terrain (flat or a height field) and entities' collision
// boxes, read from our scene format and kept by the world until it is unloaded.
#include "engine/Vision.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

class SceneCollisionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = std::filesystem::temp_directory_path() / ("physics_scenes_" + std::to_string(::getpid()));
    std::filesystem::create_directories(m_dir / "scenes");
    Vision::File.RemoveAllDataDirectories();
    ASSERT_TRUE(Vision::File.AddDataDirectory(m_dir.c_str()));
  }
  void TearDown() override {
    Vision::World.UnloadWorld();
    Vision::File.RemoveAllDataDirectories();
    std::filesystem::remove_all(m_dir);
  }
  bool Load(const std::string& body) {
    std::ofstream(m_dir / "scenes/test.vscene") << "<scene>" << body << "</scene>";
    Vision::File.ClearCache();
    return Vision::LoadWorld("scenes\\test.vscene");
  }
  std::filesystem::path m_dir;
};

}  // namespace

TEST_F(SceneCollisionTest, HeightFieldAndCollisionBoxesAreRead) {
  ASSERT_TRUE(Load(R"(
    <terrain origin="-10/-20/1" size="20/40" samples="2/3" heights="0 2
                                                                     4 6
                                                                     8 10"/>
    <entity key="Rock" position="5/5/0" orientation="90/0/0">
      <collision box="4/2/3" offset="1/0/1.5"/>
      <collision box="1/1/1"/>
    </entity>)"));
  const VisWorld_cl& w = Vision::World;
  ASSERT_TRUE(w.IsHeightFieldTerrain());
  EXPECT_TRUE(w.GetTerrainOrigin().IsEqual(VisVector_cl(-10, -20, 1), 0));
  EXPECT_FLOAT_EQ(w.GetTerrainSizeX(), 20.0f);
  EXPECT_FLOAT_EQ(w.GetTerrainSizeY(), 40.0f);
  EXPECT_EQ(w.GetTerrainSamplesX(), 2);
  EXPECT_EQ(w.GetTerrainSamplesY(), 3);
  EXPECT_FLOAT_EQ(w.GetHeightAtWorldPos(10, 20), 11.0f);
  EXPECT_FLOAT_EQ(w.GetHeightAtWorldPos(-10, 0), 5.0f);

  ASSERT_EQ(w.GetStaticGeometryInstanceCount(), 2);
  const VisStaticGeometryInstance_cl* box = w.GetStaticGeometryInstance(0);
  EXPECT_STREQ(box->GetSourceKey(), "Rock");
  EXPECT_TRUE(box->GetSize().IsEqual(VisVector_cl(4, 2, 3), 0));
  EXPECT_TRUE(box->GetCenter().IsEqual(VisVector_cl(5, 6, 1.5f), 1e-5f));  // offset turned with the entity
  VisBoundingBox_cl bounds;
  box->GetBoundingBox(bounds);
  EXPECT_TRUE(bounds.m_vMin.IsEqual(VisVector_cl(4, 4, 0), 1e-5f));
  EXPECT_TRUE(bounds.m_vMax.IsEqual(VisVector_cl(6, 8, 3), 1e-5f));

  // A size alone gives a flat field with an extent; a height alone an endless plane.
  ASSERT_TRUE(Load(R"(<terrain origin="0/0/2" size="100/50"/>)"));
  EXPECT_TRUE(w.IsHeightFieldTerrain());
  EXPECT_FLOAT_EQ(w.GetHeightAtWorldPos(30, 30), 2.0f);
  EXPECT_EQ(w.GetStaticGeometryInstanceCount(), 0);
  ASSERT_TRUE(Load(R"(<terrain height="-3"/>)"));
  EXPECT_TRUE(w.HasTerrain());
  EXPECT_FALSE(w.IsHeightFieldTerrain());
  EXPECT_FLOAT_EQ(w.GetHeightAtWorldPos(1e6f, -1e6f), -3.0f);

  const unsigned revision = w.GetCollisionRevision();
  Vision::World.UnloadWorld();
  EXPECT_FALSE(w.HasTerrain());
  EXPECT_NE(w.GetCollisionRevision(), revision);
}

TEST_F(SceneCollisionTest, BadTerrainOrCollisionValuesRefuseTheScene) {
  const char* bad[] = {
      R"(<terrain size="10"/>)",
      R"(<terrain size="10/-1"/>)",
      R"(<terrain origin="0/0" size="10/10"/>)",
      R"(<terrain size="10/10" samples="1/2" heights="0 0"/>)",
      R"(<terrain size="10/10" samples="2.5/2"/>)",
      R"(<terrain size="10/10" samples="2/2" heights="0 0 0"/>)",
      R"(<terrain size="10/10" samples="2/2" heights="0 0 0 0 0"/>)",
      R"(<terrain size="10/10" samples="2/2" heights="0 0 x 0"/>)",
      R"(<terrain samples="2/2" heights="0 0 0 0"/>)",
      R"(<entity><collision box="1/0/1"/></entity>)",
      R"(<entity><collision/></entity>)",
      R"(<entity><collision box="1/1/1" offset="a/b/c"/></entity>)",
  };
  ASSERT_TRUE(Load(R"(<terrain height="7"/>)"));
  for (const char* scene : bad) {
    LogCapture log;
    EXPECT_FALSE(Load(scene)) << scene;
    EXPECT_EQ(log.Lines().size(), 1u) << scene;
    // The world is left as it was.
    EXPECT_FLOAT_EQ(Vision::World.GetHeightAtWorldPos(0, 0), 7.0f) << scene;
  }
  EXPECT_FALSE(Vision::World.SetHeightFieldTerrain(VisVector_cl(0, 0, 0), 10, 10, 2, 2, {0, 0, 0}));
  EXPECT_FALSE(Vision::World.SetHeightFieldTerrain(VisVector_cl(0, 0, 0), 10, 10, 2, 2, {0, 0, 0, NAN}));
  EXPECT_FLOAT_EQ(Vision::World.GetHeightAtWorldPos(0, 0), 7.0f);
}
