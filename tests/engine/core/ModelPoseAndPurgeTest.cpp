// Bones in their rest pose placed with the entity, and dropping shared models that
// nobody uses any more.
#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

TEST(BonePoseTest, RestPoseFollowsTheEntityPose) {
  VDynamicMesh* mesh = new VDynamicMesh("pirate.model");
  ASSERT_TRUE(mesh->LoadFromXml("<model><bone name=\"Bip01\" position=\"0/0/1\"/>"
                                "<bone name=\"weapon01\" parent=\"Bip01\" position=\"1/0.5/2\"/></model>"));
  VisBaseEntity_cl e;
  VisVector_cl p;
  VisQuaternion_cl q;
  EXPECT_FALSE(e.GetBoneCurrentWorldSpaceTransformation(0, p, q)) << "no model";
  e.SetMesh(mesh);
  EXPECT_FALSE(e.GetBoneCurrentWorldSpaceTransformation(2, p, q));
  EXPECT_FALSE(e.GetBoneCurrentWorldSpaceTransformation(-1, p, q));

  e.SetPosition(VisVector_cl(10, 20, 30));
  e.SetOrientation(90, 0, 0);
  e.SetScaling(2.0f);
  ASSERT_TRUE(e.GetBoneCurrentWorldSpaceTransformation(1, p, q));
  EXPECT_TRUE(p.IsEqual(VisVector_cl(9, 22, 34), 1e-4f)) << p.x << " " << p.y << " " << p.z;
  const VisMatrix3x3_cl m = q.ToMatrix();
  for (int c = 0; c < 3; ++c)
    EXPECT_TRUE(m.GetColumn(c).IsEqual(e.GetRotationMatrix().GetColumn(c), 1e-5f)) << "column " << c;
}

TEST(MeshPurgeTest, OnlyModelsWithoutUsersAreDropped) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("engine_purge_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "a.model") << "<model/>";
  std::ofstream(dir / "b.model") << "<model/>";
  Vision::File.RemoveAllDataDirectories();
  ASSERT_TRUE(Vision::File.AddDataDirectory(dir.c_str()));
  Vision::Game.PurgeUnusedMeshes();

  VisBaseEntity_cl user;
  ASSERT_TRUE(user.SetMesh("a.model"));
  VSmartPtr<VDynamicMesh> held = Vision::Game.LoadDynamicMesh("b.model");
  VDynamicMesh* a = user.GetMesh();
  EXPECT_EQ(Vision::Game.PurgeUnusedMeshes(), 0);
  EXPECT_EQ(Vision::Game.LoadDynamicMesh("A.MODEL"), a) << "still shared";

  held = nullptr;
  EXPECT_EQ(Vision::Game.PurgeUnusedMeshes(), 1);
  user.SetMesh((VDynamicMesh*)nullptr);
  EXPECT_EQ(Vision::Game.PurgeUnusedMeshes(), 1);
  EXPECT_EQ(Vision::Game.PurgeUnusedMeshes(), 0);
  EXPECT_NE(Vision::Game.LoadDynamicMesh("a.model"), nullptr) << "read again on demand";
  Vision::Game.PurgeUnusedMeshes();

  Vision::File.RemoveAllDataDirectories();
  std::filesystem::remove_all(dir);
}

}  // namespace
