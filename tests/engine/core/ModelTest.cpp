// Models read from our XML format, shared through Vision::Game.LoadDynamicMesh, and
// resource snapshots loading a resource list one file per step.
#include "engine/base/VisError.h"
#include "engine/base/VisFile.h"
#include "engine/core/VDynamicMesh.h"
#include "engine/core/VResourceSnapshot.h"
#include "engine/core/VisGame.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const char* kShipModel = R"(<model>
  <bbox min="-1/-2/0" max="1/2/3.5"/>
  <bone name="Bip01 Head" parent="Bip01" position="0/0/1.8"/>
  <bone name="Bip01" position="0/0/1"/>
  <bone name="weapon01" parent="Bip01 Head" position="0.2/0/1.7"/>
  <surface name="hull"/>
  <surface name="sailsVariation"/>
</model>)";

// A scratch folder added as the only data folder.
class ModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/entities_models_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_dir = pattern;
    fs::create_directories(m_dir / "Models");
    Vision::File.RemoveAllDataDirectories();
    ASSERT_TRUE(Vision::File.AddDataDirectory(m_dir.c_str()));
    Vision::Error.SetLogListener([this](const std::string& line) { m_log.push_back(line); });
  }
  void TearDown() override {
    Vision::Error.SetLogListener(nullptr);
    Vision::Game.RemoveAllEntities();
    Vision::File.RemoveAllDataDirectories();
    VFileHelper::ClearFolderCache();
    fs::remove_all(m_dir);
  }
  void Write(const std::string& name, const std::string& text) {
    std::ofstream(m_dir / name) << text;
    VFileHelper::ClearFolderCache();
  }
  bool Logged(const std::string& part) const {
    for (const std::string& line : m_log)
      if (line.find(part) != std::string::npos) return true;
    return false;
  }
  fs::path m_dir;
  std::vector<std::string> m_log;
};

TEST_F(ModelTest, ReadsBoxBonesAndSurfaces) {
  VDynamicMesh mesh("ship.model");
  ASSERT_TRUE(mesh.LoadFromXml(kShipModel));
  EXPECT_TRUE(mesh.GetBoundingBox().m_vMin == VisVector_cl(-1, -2, 0));
  EXPECT_TRUE(mesh.GetBoundingBox().m_vMax == VisVector_cl(1, 2, 3.5f));

  ASSERT_EQ(mesh.GetBoneCount(), 3);
  const int head = mesh.GetBoneIndexByName("Bip01 Head");
  const int root = mesh.GetBoneIndexByName("bip01");
  EXPECT_EQ(head, 0);
  EXPECT_EQ(root, 1);
  EXPECT_EQ(mesh.GetBone(head).parent, root) << "a parent listed after its child";
  EXPECT_EQ(mesh.GetBone(root).parent, -1);
  EXPECT_EQ(mesh.GetBone(mesh.GetBoneIndexByName("weapon01")).parent, head);
  EXPECT_TRUE(mesh.GetBone(head).restPosition == VisVector_cl(0, 0, 1.8f));
  EXPECT_EQ(mesh.GetBoneIndexByName("Bip01 Pelvis"), -1);
  EXPECT_EQ(mesh.GetBoneIndexByName(nullptr), -1);

  ASSERT_EQ(mesh.GetSurfaceCount(), 2);
  EXPECT_STREQ(mesh.GetSurfaceName(1), "sailsVariation");
  EXPECT_EQ(mesh.GetSurfaceIndexByName("hull"), 0);
  EXPECT_EQ(mesh.GetSurfaceIndexByName("deck"), -1);
}

TEST_F(ModelTest, FaultyModelTextIsRefusedOrRepairedWithAWarning) {
  struct Case {
    const char* text;
    bool loads;
    const char* logged;
  } cases[] = {
      {"not xml at all <", false, "XML error"},
      {"<scene/>", false, "not <model>"},
      {"", false, "XML error"},
      {R"(<model><bbox min="1/2" max="3/4/5"/></model>)", true, "<bbox>"},
      {R"(<model><bone name="a" parent="ghost"/></model>)", true, "unknown parent"},
      {R"(<model><bone name="a" parent="b"/><bone name="b" parent="a"/></model>)", true, "parent loop"},
      {R"(<model><bone name="a" parent="a"/></model>)", true, "unknown parent"},
      {R"(<model><bone position="0/0/1"/></model>)", true, "without a name"},
  };
  for (const Case& c : cases) {
    m_log.clear();
    VDynamicMesh mesh("faulty.model");
    EXPECT_EQ(mesh.LoadFromXml(c.text), c.loads) << c.text;
    EXPECT_TRUE(Logged(c.logged)) << c.text;
    for (int i = 0; i < mesh.GetBoneCount(); ++i) {
      // Walking up from any bone ends.
      int steps = 0;
      for (int p = mesh.GetBone(i).parent; p >= 0 && steps <= mesh.GetBoneCount(); p = mesh.GetBone(p).parent) ++steps;
      EXPECT_LE(steps, mesh.GetBoneCount() - 1) << c.text;
    }
  }
  VDynamicMesh noBox;
  ASSERT_TRUE(noBox.LoadFromXml("<model/>"));
  EXPECT_FALSE(noBox.GetBoundingBox().IsValid());
}

TEST_F(ModelTest, ModelsAreLoadedOnceAndSharedWhateverTheSpelling) {
  Write("Models/Sloop.model", kShipModel);
  VDynamicMesh* mesh = Vision::Game.LoadDynamicMesh("models\\sloop.MODEL", true, true);
  ASSERT_NE(mesh, nullptr);
  EXPECT_STREQ(mesh->GetFilename(), "models\\sloop.MODEL") << "the name as given";
  EXPECT_EQ(Vision::Game.LoadDynamicMesh("\\Models/Sloop.model"), mesh);

  VisBaseEntity_cl* a = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(), "Models/SLOOP.model");
  VisBaseEntity_cl* b = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(), "models\\sloop.MODEL");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->GetMesh(), mesh);
  EXPECT_EQ(b->GetMesh(), mesh);
  EXPECT_EQ(mesh->GetRefCount(), 3) << "the world and the two entities";
  VisBoundingBox_cl box;
  a->GetBoundingBox(box);
  EXPECT_TRUE(box.m_vMax == VisVector_cl(1, 2, 3.5f));

  a->SetMesh((VDynamicMesh*)nullptr);
  EXPECT_FALSE(a->HasMesh());
  EXPECT_STREQ(a->GetMeshFileName(), "");
  EXPECT_EQ(mesh->GetRefCount(), 2);
}

TEST_F(ModelTest, AMissingOrBadModelGivesNullAndAWarning) {
  Write("Models/Broken.model", "<model><bbox");
  EXPECT_EQ(Vision::Game.LoadDynamicMesh("models\\absent.model"), nullptr);
  EXPECT_TRUE(Logged("absent.model"));
  EXPECT_EQ(Vision::Game.LoadDynamicMesh("models\\broken.model"), nullptr);
  EXPECT_EQ(Vision::Game.LoadDynamicMesh(nullptr), nullptr);
  EXPECT_EQ(Vision::Game.LoadDynamicMesh(""), nullptr);

  // Written later, the model is found: failures are not remembered.
  Write("Models/Absent.model", "<model/>");
  EXPECT_NE(Vision::Game.LoadDynamicMesh("models\\absent.model"), nullptr);
}

// ---- resource snapshots -----------------------------------------------------

class CountingSnapshot : public VResourceSnapshot {
 public:
  void OnSnapshotFinished() override {
    ++finished;
    loadedAtFinish = GetLoadedCount();
  }
  int finished = 0;
  int loadedAtFinish = -1;
};

bool ReadList(VResourceSnapshot& snap, const char* file) {
  IVFileInStream* in = Vision::File.Open(file);
  if (!in) return false;
  const bool ok = snap.LoadSnapshot(in);
  in->Close();
  return ok;
}

TEST_F(ModelTest, SnapshotLoadsOneResourcePerStepAndFinishesOnce) {
  Write("Models/a.dds", "x");
  Write("Models/b.dds", "x");
  Write("Models/Sloop.model_data.xml", R"(<resources>
      <resource file="Models\A.dds"/>
      <resource file="models/missing.dds"/>
      <resource/>
      <resource file="models\b.dds"/>
    </resources>)");
  CountingSnapshot snap;
  EXPECT_FALSE(snap.ScheduleSnapshot()) << "nothing read yet";
  ASSERT_TRUE(ReadList(snap, "models\\sloop.model_data.xml"));
  EXPECT_EQ(snap.GetResourceCount(), 3);
  EXPECT_EQ(snap.GetProgress(), -1.0f);
  snap.TickFunction(0.1f);
  EXPECT_EQ(snap.GetLoadedCount(), 0) << "not scheduled yet";

  ASSERT_TRUE(snap.ScheduleSnapshot());
  EXPECT_EQ(snap.GetProgress(), 0.0f);
  snap.TickFunction(0.1f);
  snap.TickFunction(0.0f);
  EXPECT_EQ(snap.GetLoadedCount(), 2);
  EXPECT_EQ(snap.finished, 0);
  EXPECT_TRUE(Logged("missing.dds"));
  snap.TickFunction(0.1f);
  EXPECT_EQ(snap.finished, 1);
  EXPECT_EQ(snap.loadedAtFinish, 3);
  EXPECT_EQ(snap.GetMissingCount(), 1);
  EXPECT_EQ(snap.GetProgress(), 1.0f);
  snap.TickFunction(0.1f);
  EXPECT_EQ(snap.finished, 1);
}

TEST_F(ModelTest, SnapshotOfAnEmptyOrFaultyList) {
  Write("empty.xml", "<resources/>");
  Write("wrong.xml", "<model/>");
  CountingSnapshot empty;
  ASSERT_TRUE(ReadList(empty, "empty.xml"));
  ASSERT_TRUE(empty.ScheduleSnapshot());
  empty.TickFunction(0.0f);
  EXPECT_EQ(empty.finished, 1);

  CountingSnapshot wrong;
  EXPECT_FALSE(ReadList(wrong, "wrong.xml"));
  EXPECT_FALSE(wrong.ScheduleSnapshot());
  EXPECT_FALSE(wrong.LoadSnapshot(nullptr));
}

}  // namespace
