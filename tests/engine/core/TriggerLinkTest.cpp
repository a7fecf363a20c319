// Trigger links: sources and targets of any name, linked and unlinked; boxes that
// fire their sources when a watched entity comes in or goes out; scenes that place
// boxes under other entities and link them.
#include "engine/Vision.h"
#include "engine/core/TriggerBoxEntity.h"
#include "engine/core/VisTriggerSourceComponent.h"
#include "engine/core/VisTriggerTargetComponent.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Records every trigger message its owner gets, with the source's trigger object.
class TriggerRecorder : public IVObjectComponent {
 public:
  struct Hit {
    VisTriggerSourceComponent_cl* source;
    VisTriggerTargetComponent_cl* target;
    VisBaseEntity_cl* cause;
  };
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override {
    if (id != VIS_MSG_TRIGGER) return;
    auto* source = reinterpret_cast<VisTriggerSourceComponent_cl*>(p1);
    hits.push_back({source, reinterpret_cast<VisTriggerTargetComponent_cl*>(p2), source->GetTriggerObject()});
  }
  std::vector<Hit> hits;
};

class TriggerLinkTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (VisBaseEntity_cl* e : std::vector<VisBaseEntity_cl*>(TriggerBoxEntity_cl::GetObservedEntities()))
      TriggerBoxEntity_cl::RemoveObservedEntity(e);
    Vision::Game.RemoveAllEntities();
  }
  template <class T>
  static T* Named(VisTypedEngineObject_cl* owner, const char* name) {
    auto* c = new T(name);
    EXPECT_TRUE(owner->AddComponent(c));
    return c;
  }
};

TEST_F(TriggerLinkTest, LinksAreMadeOnceAndEitherEndGoingUnlinksThem) {
  auto* a = new VisBaseEntity_cl();
  auto* b = new VisBaseEntity_cl();
  auto* recorder = new TriggerRecorder();
  ASSERT_TRUE(b->AddComponent(recorder));
  auto* source = Named<VisTriggerSourceComponent_cl>(a, "Anything");
  auto* target = Named<VisTriggerTargetComponent_cl>(b, "AtAll");

  EXPECT_TRUE(VisTriggerSourceComponent_cl::Link(source, target));
  EXPECT_FALSE(VisTriggerSourceComponent_cl::Link(source, target)) << "a second link of the same pair";
  EXPECT_FALSE(VisTriggerSourceComponent_cl::Link(source, nullptr));
  source->TriggerAllTargets(a);
  ASSERT_EQ(recorder->hits.size(), 1u);
  EXPECT_EQ(recorder->hits[0].source, source);
  EXPECT_EQ(recorder->hits[0].target, target);
  EXPECT_EQ(recorder->hits[0].cause, a);
  EXPECT_EQ(source->GetTriggerObject(), nullptr) << "only while the targets hear it";

  EXPECT_TRUE(VisTriggerSourceComponent_cl::Unlink(source, target));
  EXPECT_FALSE(VisTriggerSourceComponent_cl::Unlink(source, target));
  source->TriggerAllTargets(a);
  EXPECT_EQ(recorder->hits.size(), 1u);

  // A target that goes leaves no link behind; nor does a source.
  VisTriggerSourceComponent_cl::Link(source, target);
  target->DisposeObject();
  EXPECT_TRUE(source->GetTargets().empty());
  auto* second = Named<VisTriggerTargetComponent_cl>(b, "AtAll");
  VisTriggerSourceComponent_cl::Link(source, second);
  source->DisposeObject();
  EXPECT_TRUE(second->GetSources().empty());
}

TEST_F(TriggerLinkTest, BoxesFireEnterAndLeaveForWatchedEntitiesOnly) {
  auto* box = new TriggerBoxEntity_cl();
  box->SetBox(VisVector_cl(2, 2, 2));
  auto* listener = new VisBaseEntity_cl();
  auto* recorder = new TriggerRecorder();
  listener->AddComponent(recorder);
  auto* enter = Named<VisTriggerSourceComponent_cl>(box, "OnObjectEnter");
  auto* leave = Named<VisTriggerSourceComponent_cl>(box, "OnObjectLeave");
  auto* in = Named<VisTriggerTargetComponent_cl>(listener, "In");
  auto* out = Named<VisTriggerTargetComponent_cl>(listener, "Out");
  VisTriggerSourceComponent_cl::Link(enter, in);
  VisTriggerSourceComponent_cl::Link(leave, out);

  auto* walker = new VisBaseEntity_cl();
  auto* stranger = new VisBaseEntity_cl();
  walker->SetPosition(10, 0, 0);
  TriggerBoxEntity_cl::AddObservedEntity(walker);
  TriggerBoxEntity_cl::AddObservedEntity(walker);
  EXPECT_EQ(TriggerBoxEntity_cl::GetObservedEntities().size(), 1u);

  Vision::Game.RunThinkFunctions();
  EXPECT_TRUE(recorder->hits.empty());
  walker->SetPosition(1, 1, 0);
  stranger->SetPosition(0, 0, 0);  // inside, but nobody watches it
  Vision::Game.RunThinkFunctions();
  Vision::Game.RunThinkFunctions();
  ASSERT_EQ(recorder->hits.size(), 1u) << "once on the way in";
  EXPECT_EQ(recorder->hits[0].target, in);
  EXPECT_EQ(recorder->hits[0].cause, walker);
  EXPECT_TRUE(box->IsEntityInside(walker));

  walker->SetPosition(5, 0, 0);
  Vision::Game.RunThinkFunctions();
  ASSERT_EQ(recorder->hits.size(), 2u);
  EXPECT_EQ(recorder->hits[1].target, out);
  EXPECT_EQ(recorder->hits[1].source, leave);

  // A destroyed entity is forgotten by the list and the box, without a leave.
  walker->SetPosition(0, 0, 0);
  Vision::Game.RunThinkFunctions();
  ASSERT_EQ(recorder->hits.size(), 3u);
  walker->Remove();
  Vision::Game.FreeRemovedEntities();
  EXPECT_TRUE(TriggerBoxEntity_cl::GetObservedEntities().empty());
  EXPECT_FALSE(box->IsEntityInside(walker));
  Vision::Game.RunThinkFunctions();
  EXPECT_EQ(recorder->hits.size(), 3u);
}

TEST_F(TriggerLinkTest, ScenesAttachEntitiesToParentsAndLinkTheirComponents) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("trigger_links_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "links.vscene") << R"(<scene>
  <entity class="TriggerBoxEntity_cl" key="Gate" position="12/0/0" parent="Post"/>
  <entity key="Post" position="10/0/0"/>
  <link from="Gate" source="OnObjectEnter" to="Post" target="ToggleOn"/>
  <link from="Gate" source="OnObjectEnter" to="Nobody" target="ToggleOn"/>
</scene>)";
  std::ofstream(dir / "badlink.vscene") << R"(<scene><link from="Gate" source="OnObjectEnter"/></scene>)";
  Vision::File.ClearCache();
  ASSERT_TRUE(Vision::File.AddDataDirectory(dir.c_str()));
  VSceneLoader loader;
  EXPECT_FALSE(loader.LoadScene("badlink.vscene")) << "a link needs both ends named";
  ASSERT_TRUE(loader.LoadScene("links.vscene")) << loader.GetLastError();

  VisBaseEntity_cl* gate = Vision::Game.SearchEntity("Gate");
  VisBaseEntity_cl* post = Vision::Game.SearchEntity("Post");
  ASSERT_TRUE(gate && post);
  EXPECT_EQ(gate->GetParent(), post);
  auto* source = dynamic_cast<VisTriggerSourceComponent_cl*>(gate->GetComponentByName("OnObjectEnter"));
  auto* target = dynamic_cast<VisTriggerTargetComponent_cl*>(post->GetComponentByName("ToggleOn"));
  ASSERT_TRUE(source && target);
  EXPECT_TRUE(source->IsLinkedTo(target));
  EXPECT_EQ(source->GetTargets().size(), 1u) << "the link to a missing entity is skipped";

  Vision::World.UnloadWorld();
  Vision::File.RemoveAllDataDirectories();
  std::filesystem::remove_all(dir);
}

}  // namespace
