// Merged models: parts in order, the box spanning them, their surfaces one after
// another, and what no part leaves.
#include "engine/base/VRefCounter.h"
#include "engine/core/VDynamicMesh.h"
#include "engine/core/VMeshManager.h"

#include <gtest/gtest.h>

#include <string>

namespace {

VSmartPtr<VDynamicMesh> Model(const char* name, const char* text) {
  VSmartPtr<VDynamicMesh> mesh = new VDynamicMesh(name);
  EXPECT_TRUE(mesh->LoadFromXml(text));
  return mesh;
}

TEST(MeshManagerTest, AMergedModelHoldsItsPartsTheirBoxAndTheirSurfaces) {
  VSmartPtr<VDynamicMesh> ground = Model("ground.model", R"(<model><bbox min="-6/-5/0" max="6/5/1"/>
    <surface name="ground" texture="textures\dirt.dds"/></model>)");
  VSmartPtr<VDynamicMesh> frame = Model("frame.model", R"(<model><bbox min="-4/-7/0" max="4/3/5"/>
    <surface name="beams"/><surface name="ropes"/></model>)");
  VSmartPtr<VDynamicMesh> boxless = Model("boxless.model", "<model><surface name=\"flag\"/></model>");
  VDynamicMesh* parts[] = {ground.GetPtr(), nullptr, frame.GetPtr(), boxless.GetPtr()};

  VSmartPtr<VDynamicMesh> merged = VMeshManager::MergeDynamicMeshes("MergedModel", parts, 4);
  ASSERT_NE(merged.GetPtr(), nullptr);
  EXPECT_STREQ(merged->GetFilename(), "MergedModel");
  ASSERT_EQ(VMeshManager::GetMergedPartCount(merged), 3) << "the null part is skipped";
  EXPECT_EQ(VMeshManager::GetMergedPart(merged, 0), ground.GetPtr());
  EXPECT_EQ(VMeshManager::GetMergedPart(merged, 1), frame.GetPtr());
  EXPECT_EQ(VMeshManager::GetMergedPart(merged, 3), nullptr);
  const VisBoundingBox_cl& box = merged->GetBoundingBox();
  EXPECT_TRUE(box.m_vMin.IsEqual(VisVector_cl(-6, -7, 0), 1e-5f));
  EXPECT_TRUE(box.m_vMax.IsEqual(VisVector_cl(6, 5, 5), 1e-5f));
  ASSERT_EQ(merged->GetSurfaceCount(), 4);
  EXPECT_STREQ(merged->GetSurfaceName(0), "ground");
  EXPECT_STREQ(merged->GetSurfaceTexture(0), "textures\\dirt.dds");
  EXPECT_STREQ(merged->GetSurfaceName(3), "flag");

  // Plain models have no parts; nothing to merge gives no model.
  EXPECT_EQ(VMeshManager::GetMergedPartCount(ground), 0);
  VDynamicMesh* none[] = {nullptr};
  EXPECT_EQ(VMeshManager::MergeDynamicMeshes("MergedModel", none, 1), nullptr);
  EXPECT_EQ(VMeshManager::MergeDynamicMeshes("MergedModel", nullptr, 0), nullptr);
}

}  // namespace
