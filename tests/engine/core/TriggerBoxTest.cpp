// Trigger volumes and placed camera poses: the inside test (turned box, sphere,
// borders) and both classes placed by a scene file with their variables.
#include "engine/Vision.h"
#include "engine/core/CameraPositionEntity.h"
#include "engine/core/TriggerBoxEntity.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

TEST(TriggerBox, InsideTestFollowsTheTurnedBoxAndTheSphere) {
  auto* box = new TriggerBoxEntity_cl();
  box->SetPosition(VisVector_cl(10, 20, 0));
  box->SetBox(VisVector_cl(4, 1, 2));
  box->SetOrientation(90, 0, 0);  // the long side now runs along y
  struct Case {
    VisVector_cl point;
    bool inside;
  };
  const Case boxCases[] = {
      {{10, 20, 0}, true},  {{10, 23.5f, 1}, true}, {{10, 24, 2}, true} /* border */, {{13, 20, 0}, false},
      {{10, 24.1f, 0}, false}, {{10, 20, -2.5f}, false}, {{10.5f, 17, -1}, true},
  };
  for (const Case& c : boxCases)
    EXPECT_EQ(box->IsInside(c.point), c.inside) << c.point.x << "/" << c.point.y << "/" << c.point.z;

  box->SetSphere(3.0f);
  EXPECT_TRUE(box->IsSphere());
  const Case sphereCases[] = {
      {{10, 23, 0}, true}, {{12, 22, 0}, true}, {{12.2f, 22.2f, 0}, false}, {{10, 20, -3.01f}, false},
  };
  for (const Case& c : sphereCases)
    EXPECT_EQ(box->IsInside(c.point), c.inside) << c.point.x << "/" << c.point.y << "/" << c.point.z;
  box->Remove();
  Vision::Game.FreeRemovedEntities();
}

TEST(TriggerBox, SceneFilesPlaceTriggerBoxesAndCameraPositions) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("trigger_scenes_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "triggers.vscene") << R"(<scene>
  <entity class="TriggerBoxEntity_cl" key="EscapeArea" position="5/0/0" orientation="0/0/0">
    <var name="m_vHalfExtents" value="2/3/4"/>
  </entity>
  <entity class="TriggerBoxEntity_cl" key="Pool" position="0/0/0">
    <var name="m_bSphere" value="TRUE"/>
    <var name="m_fRadius" value="6"/>
  </entity>
  <entity class="CameraPositionEntity" key="Shot1" position="1/2/30" orientation="45/20/0">
    <var name="m_fNearClip" value="10"/>
    <var name="m_fFarClip" value="5"/>
    <var name="m_fFOV" value="70"/>
  </entity>
</scene>)";
  Vision::File.ClearCache();
  ASSERT_TRUE(Vision::File.AddDataDirectory(dir.c_str()));
  VSceneLoader loader;
  ASSERT_TRUE(loader.LoadScene("triggers.vscene")) << loader.GetLastError();

  auto* area = dynamic_cast<TriggerBoxEntity_cl*>(Vision::Game.SearchEntity("EscapeArea"));
  auto* pool = dynamic_cast<TriggerBoxEntity_cl*>(Vision::Game.SearchEntity("Pool"));
  auto* shot = dynamic_cast<CameraPositionEntity*>(Vision::Game.SearchEntity("Shot1"));
  ASSERT_TRUE(area && pool && shot);
  EXPECT_FALSE(area->IsSphere());
  EXPECT_TRUE(area->IsInside(VisVector_cl(6.5f, -2.5f, 3.5f)));
  EXPECT_FALSE(area->IsInside(VisVector_cl(7.5f, 0, 0)));
  EXPECT_TRUE(pool->IsSphere());
  EXPECT_TRUE(pool->IsInside(VisVector_cl(0, 5.9f, 0)));
  EXPECT_EQ(shot->GetNearClipDistance(), 10.0f);
  EXPECT_EQ(shot->GetFarClipDistance(), 5.0f);
  EXPECT_EQ(shot->GetFOV(), 70.0f);
  EXPECT_TRUE(shot->GetPosition().IsEqual(VisVector_cl(1, 2, 30), 1e-5f));

  Vision::World.UnloadWorld();
  Vision::File.RemoveAllDataDirectories();
  std::filesystem::remove_all(dir);
}

}  // namespace
