// The entity highlighter: its sets, the per-entity data kept by entity number, the
// callbacks that empty or size them, and the render passes with and without the
// shader library.
#include "core/VEntityHighlightManager.h"

#include "core/CallbackManager.h"
#include "core/GameManager.h"

#include "engine/Vision.h"
#include "engine/core/VisCallbacks.h"
#include "engine/render/VisRenderer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace {

class HighlightTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // An empty data folder: no shader library.
    m_dir = std::filesystem::temp_directory_path() / ("highlight_" + std::to_string(::getpid()));
    std::filesystem::create_directories(m_dir);
    Vision::File.RemoveAllDataDirectories();
    ASSERT_TRUE(Vision::File.AddDataDirectory(m_dir.c_str()));
    Vision::Shaders.UnloadAll();
    Vision::Renderer.GetDrawList().Clear();
  }
  void TearDown() override {
    VEntityHighlightManager::Shutdown();
    Vision::Game.RemoveAllEntities();
    Vision::Shaders.UnloadAll();
    Vision::Renderer.GetDrawList().Clear();
    Vision::File.RemoveAllDataDirectories();
    std::filesystem::remove_all(m_dir);
  }
  static VisBaseEntity_cl* Make() { return Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0)); }
  static void RenderHook(unsigned stage = VRH_PRE_SCREENMASKS) {
    VisRenderHookDataObject_cl data(&Vision::Callbacks.OnRenderHook, stage);
    Vision::Callbacks.OnRenderHook.TriggerCallbacks(&data);
  }
  static void Fire(VCallback& callback, VisBaseEntity_cl* entity) {
    BaseEntityDataObject data(&callback, entity);
    callback.TriggerCallbacks(&data);
  }

  std::filesystem::path m_dir;
};

TEST_F(HighlightTest, AddingTwiceKeepsOneEntryWithTheLastColourInEachSet) {
  VEntityHighlightManager* h = VEntityHighlightManager::GetInstance();
  VisBaseEntity_cl* e = Make();

  h->AddHighlight(e, 0xff112233u);
  h->AddHighlight(e, 0xff445566u);
  h->AddOcclusionHighlight(e, 0xff000001u);
  h->AddOcclusionHighlight(e, 0xff000002u);
  EXPECT_EQ(h->GetHighlightCount(), 1);
  EXPECT_EQ(h->GetOcclusionCount(), 1);
  EXPECT_EQ(h->GetOcclusionColour(e), 0xff000002u);

  VisBaseEntity_cl* soldier = Make();
  h->AddUnitHighlight(soldier, 0xff00ff00u);
  h->AddUnitHighlight(soldier, 0xff0000ffu);
  EXPECT_EQ(h->GetRegisteredUnitCount(), 1);
  EXPECT_EQ(h->GetActiveUnitCount(), 1);
  EXPECT_EQ(h->GetHighlightColour(soldier), 0xff0000ffu);
  EXPECT_EQ(h->GetHighlightColour(e), 0xff445566u) << "each entity its own slot";
  EXPECT_EQ(h->GetUnitState(soldier), VEntityHighlightManager::UNIT_STATE_ON);

  h->AddHighlight(nullptr, 1u);
  h->AddOcclusionHighlight(nullptr, 1u);
  h->AddUnitHighlight(nullptr, 1u);
  EXPECT_EQ(h->GetHighlightCount(), 1);
  EXPECT_EQ(h->GetOcclusionCount(), 1);
  EXPECT_EQ(h->GetRegisteredUnitCount(), 1);

  // Removing one that is not there changes nothing.
  VisBaseEntity_cl* other = Make();
  h->RemoveHighlight(other);
  h->RemoveUnitHighlight(other);
  EXPECT_TRUE(h->IsHighlighted(e));
  EXPECT_EQ(h->GetUnitState(other), VEntityHighlightManager::UNIT_STATE_NONE);
  h->RemoveHighlight(e);
  EXPECT_FALSE(h->IsHighlighted(e));
  EXPECT_EQ(h->GetHighlightTimer(e), VEntityHighlightManager::kNoTimer);
}

TEST_F(HighlightTest, SwitchedOffUnitsStayRegisteredWithStateThree) {
  VEntityHighlightManager* h = VEntityHighlightManager::GetInstance();
  VisBaseEntity_cl* a = Make();
  VisBaseEntity_cl* b = Make();
  VisBaseEntity_cl* c = Make();
  for (VisBaseEntity_cl* s : {a, b, c}) h->AddUnitHighlight(s, 0xffffffffu);

  h->RemoveUnitHighlight(a);
  EXPECT_EQ(h->GetUnitState(a), VEntityHighlightManager::UNIT_STATE_OFF);
  EXPECT_TRUE(h->IsUnitRegistered(a));
  EXPECT_FALSE(h->IsUnitActive(a));

  h->ClearUnitHighlights();
  EXPECT_EQ(h->GetActiveUnitCount(), 0);
  EXPECT_EQ(h->GetRegisteredUnitCount(), 3);
  EXPECT_EQ(h->GetUnitState(b), VEntityHighlightManager::UNIT_STATE_OFF);
  EXPECT_EQ(h->GetUnitState(c), VEntityHighlightManager::UNIT_STATE_OFF);
}

TEST_F(HighlightTest, ARemovedUnitLeavesThreeSetsAndADestroyedEntityLeavesAllFourAndItsData) {
  VEntityHighlightManager* h = VEntityHighlightManager::GetInstance();
  VisBaseEntity_cl* unit = Make();
  h->AddUnitHighlight(unit, 0xff010203u);
  h->AddHighlight(unit, 0xff010203u);
  h->AddOcclusionHighlight(unit, 0xff040506u);

  Fire(GameManager::Callbacks.OnUnitRemoved, unit);
  EXPECT_FALSE(h->IsUnitActive(unit));
  EXPECT_FALSE(h->IsUnitRegistered(unit));
  EXPECT_FALSE(h->IsHighlighted(unit));
  EXPECT_EQ(h->GetUnitState(unit), VEntityHighlightManager::UNIT_STATE_OFF);
  EXPECT_TRUE(h->IsOcclusionHighlighted(unit)) << "the occlusion set is not the unit's";

  // Leaving the world: out of every set, and its number's data cleared for the next
  // entity that gets the number.
  VisBaseEntity_cl* soldier = Make();
  h->AddUnitHighlight(soldier, 0xff070809u);
  h->AddOcclusionHighlight(soldier, 0xff0a0b0cu);
  const int number = soldier->GetNumber();
  soldier->Remove();
  unit->Remove();
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(h->GetRegisteredUnitCount(), 0);
  EXPECT_EQ(h->GetOcclusionCount(), 0);
  VisBaseEntity_cl* next = Make();
  if (next->GetNumber() == number) {
    EXPECT_EQ(h->GetUnitState(next), VEntityHighlightManager::UNIT_STATE_NONE);
    EXPECT_EQ(h->GetHighlightColour(next), 0u);
    EXPECT_EQ(h->GetOcclusionColour(next), 0u);
  }
}

TEST_F(HighlightTest, ColourWordsBecomeRgbConstantsWithFullAlpha) {
  struct Case {
    uint32_t word;
    float r, g, b;
  };
  for (const Case& c : {Case{0xC8FFFF64u, 1.0f, 1.0f, 100.0f / 255.0f}, Case{0x00000000u, 0, 0, 0},
                        Case{0x7F00C800u, 0.0f, 200.0f / 255.0f, 0.0f}, Case{0xFF800001u, 128.0f / 255.0f, 0, 1.0f / 255.0f}}) {
    float v[4] = {-1, -1, -1, -1};
    VEntityHighlightManager::ColourToConstant(c.word, v);
    EXPECT_FLOAT_EQ(v[0], c.r) << std::hex << c.word;
    EXPECT_FLOAT_EQ(v[1], c.g) << std::hex << c.word;
    EXPECT_FLOAT_EQ(v[2], c.b) << std::hex << c.word;
    EXPECT_FLOAT_EQ(v[3], 1.0f) << "alpha ignored";
  }
}

TEST_F(HighlightTest, WithoutTheShaderLibraryNothingIsDrawnAndNothingFails) {
  VEntityHighlightManager* h = VEntityHighlightManager::GetInstance();
  EXPECT_EQ(h->GetHighlightTechnique(), nullptr);
  EXPECT_EQ(h->GetOcclusionTechnique(), nullptr);
  VisBaseEntity_cl* e = Make();
  h->AddHighlight(e, 0xffffffffu);
  h->AddOcclusionHighlight(e, 0xffffffffu);
  h->AddUnitHighlight(e, 0xffffffffu);

  RenderHook();
  EXPECT_EQ(Vision::Renderer.GetDrawList().Count(VIS_DRAW_OUTLINE), 0);
  EXPECT_EQ(h->GetCycleTime(), 0.0f);
  EXPECT_TRUE(h->IsHighlighted(e)) << "the sets stay as they are";
}

TEST_F(HighlightTest, EngineCallbacksEmptyTheSetsOrSizeTheUnitStates) {
  VEntityHighlightManager* h = VEntityHighlightManager::GetInstance();
  auto fill = [&](VisBaseEntity_cl* e) {
    h->AddHighlight(e, 1u);
    h->AddOcclusionHighlight(e, 1u);
    h->AddUnitHighlight(e, 1u);
  };
  auto empty = [&] {
    return h->GetHighlightCount() + h->GetOcclusionCount() + h->GetRegisteredUnitCount() + h->GetActiveUnitCount() ==
           0;
  };
  VisBaseEntity_cl* e = Make();

  fill(e);
  Vision::Callbacks.OnVideoDeviceRestored.TriggerCallbacks();
  EXPECT_TRUE(empty()) << "device restored";
  fill(e);
  Vision::Callbacks.OnEngineDeInit.TriggerCallbacks();
  EXPECT_TRUE(empty()) << "engine de-init";

  // Past the 256 slots the states start with: the scene-loaded callback makes room
  // for the highest registered number.
  VisBaseEntity_cl* last = nullptr;
  while (!last || last->GetNumber() < 300) last = Make();
  h->AddUnitHighlight(last, 1u);
  Vision::Callbacks.OnAfterSceneLoaded.TriggerCallbacks();
  EXPECT_GE(h->GetUnitStateSlots(), (unsigned)last->GetNumber() + 1);
  EXPECT_EQ(h->GetUnitState(last), VEntityHighlightManager::UNIT_STATE_ON);

  // After the shutdown no callback reaches the manager.
  VEntityHighlightManager::Shutdown();
  RenderHook();
  Vision::Callbacks.OnVideoDeviceRestored.TriggerCallbacks();
  Fire(GameManager::Callbacks.OnUnitRemoved, e);
  EXPECT_FALSE(VEntityHighlightManager::HasInstance());
}

}  // namespace
