// The highlighter's passes with the game's shader library and a placed camera: the
// world pass decides what is seen, the render hook adds the outlines to the draw
// list in each entity's colour.
#include "core/VEntityHighlightManager.h"

#include "Managers/FogOfWarManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/SaveGameManager.h"
#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"

#include "engine/Vision.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisVisibilityCollector.h"
#include "engine/render/VisRenderer.h"
#include "engine/render/VisWorldRenderer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr uint32_t kHover = 0xC8FFFF64u;

class HighlightDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Vision::World.UnloadWorld();
    Vision::World.SetFlatTerrain(0.0f);
    Vision::File.RemoveAllDataDirectories();
    ASSERT_TRUE(Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data"));
    Vision::Shaders.UnloadAll();
    VVideoConfig cfg;
    cfg.m_iXRes = 1280;
    cfg.m_iYRes = 720;
    VVideo::Initialize(cfg);
    m_context = VisRenderContext_cl::GetMainRenderContext();
    m_context->Activate();
    m_context->GetFOV(m_fov[0], m_fov[1]);
    m_context->GetClipPlanes(m_clip[0], m_clip[1]);
    m_context->SetFOV(90.0f, 0.0f);
    m_context->SetClipPlanes(1.0f, 1000.0f);
    // At head height, looking along x.
    m_context->SetCameraPosition(VisVector_cl(0, 0, 3));
    m_context->SetCameraRotation(VisMatrix3x3_cl());
    m_highlights = VEntityHighlightManager::GetInstance();
    ASSERT_NE(m_highlights->GetHighlightTechnique(), nullptr) << "the game's shader library";
    ASSERT_NE(m_highlights->GetOcclusionTechnique(), nullptr);
  }
  void TearDown() override {
    VEntityHighlightManager::Shutdown();
    Vision::Game.RemoveAllEntities();
    GameSessionManager::CleanInstance();
    GameManager::CleanInstance();
    SaveGameManagerProto::CleanInstance();
    FogOfWarManager::CleanInstance();
    Vision::World.UnloadWorld();
    Vision::Shaders.UnloadAll();
    Vision::Renderer.GetDrawList().Clear();
    m_context->GetVisibilityCollector()->Clear();
    m_context->SetFOV(m_fov[0], m_fov[1]);
    m_context->SetClipPlanes(m_clip[0], m_clip[1]);
    m_context->SetCameraPosition(VisVector_cl(0, 0, 0));
    m_context->SetCameraRotation(VisMatrix3x3_cl());
    VVideo::DeInitialize();
    Vision::File.RemoveAllDataDirectories();
  }

  // The world pass, then the hook stage the highlights draw in.
  static void Frame() {
    VisWorldRenderer_cl::GetInstance().BuildFrame();
    VisRenderHookDataObject_cl data(&Vision::Callbacks.OnRenderHook, VRH_PRE_SCREENMASKS);
    Vision::Callbacks.OnRenderHook.TriggerCallbacks(&data);
  }

  static VisBaseEntity_cl* Boxed(const VisVector_cl& at) {
    VisBaseEntity_cl* e = Vision::Game.CreateEntity("VisBaseEntity_cl", at);
    auto* mesh = new VDynamicMesh("box.model");
    EXPECT_TRUE(mesh->LoadFromXml(R"(<model><bbox min="-1/-1/0" max="1/1/2"/></model>)"));
    e->SetMesh(mesh);
    return e;
  }

  static UnitEntity* MakeUnit(const VisVector_cl& at, int nation, int soldiers = 2) {
    const std::string params = "m_iNumSoldiers=\"" + std::to_string(soldiers) + "\",m_iUnitWidth=\"" +
                               std::to_string(soldiers) + "\",m_iNation=\"" + std::to_string(nation) + "\"";
    auto* unit = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", at, nullptr, params.c_str()));
    EXPECT_NE(unit, nullptr);
    EXPECT_EQ(unit->GetNumSoldiers(), soldiers);
    return unit;
  }

  static void AddWall(const VisVector_cl& centre, const VisVector_cl& size) {
    Vision::World.AddStaticGeometryInstance(new VisStaticGeometryInstance_cl(centre, size, VisMatrix3x3_cl()));
  }

  // The outlines drawn for the entity this frame.
  static std::vector<VisDrawItem_t> Outlines(const VisBaseEntity_cl* entity) {
    std::vector<VisDrawItem_t> out;
    for (const VisDrawItem_t& item : Vision::Renderer.GetDrawList().GetItems())
      if (item.kind == VIS_DRAW_OUTLINE && item.object == entity) out.push_back(item);
    return out;
  }

  // Exactly one outline, with that technique and the colour word's RGB.
  static void ExpectOutline(const VisBaseEntity_cl* entity, const char* technique, float r, float g, float b,
                            const char* what) {
    const std::vector<VisDrawItem_t> items = Outlines(entity);
    ASSERT_EQ(items.size(), 1u) << what;
    EXPECT_STREQ(items[0].technique, technique) << what;
    EXPECT_NEAR(items[0].colour[0], r, 1e-3f) << what;
    EXPECT_NEAR(items[0].colour[1], g, 1e-3f) << what;
    EXPECT_NEAR(items[0].colour[2], b, 1e-3f) << what;
    EXPECT_FLOAT_EQ(items[0].colour[3], 1.0f) << what;
  }

  VisRenderContext_cl* m_context = nullptr;
  VEntityHighlightManager* m_highlights = nullptr;
  float m_fov[2] = {0, 0}, m_clip[2] = {0, 0};
};

TEST_F(HighlightDrawTest, VisibleHighlightMembersAreOutlinedInTheirOwnColours) {
  VisBaseEntity_cl* hovered = Boxed(VisVector_cl(50, -5, 0));
  VisBaseEntity_cl* town = Boxed(VisVector_cl(50, 5, 0));
  VisBaseEntity_cl* behindCamera = Boxed(VisVector_cl(-50, 0, 0));
  VisBaseEntity_cl* beside = Boxed(VisVector_cl(10, 60, 0));
  m_highlights->AddHighlight(hovered, kHover);
  m_highlights->AddHighlight(town, 0xFF336699u);
  m_highlights->AddHighlight(behindCamera, kHover);
  m_highlights->AddHighlight(beside, kHover);
  Frame();

  ExpectOutline(hovered, "EntityHighlight", 1.0f, 1.0f, 0.392f, "the hover colour");
  ExpectOutline(town, "EntityHighlight", 0x33 / 255.0f, 0x66 / 255.0f, 0x99 / 255.0f, "a colour of its own");
  EXPECT_TRUE(Outlines(behindCamera).empty());
  EXPECT_TRUE(Outlines(beside).empty());
  EXPECT_TRUE(m_highlights->IsHighlighted(behindCamera)) << "out of view is not out of the set";
  // The outline sits on the entity's box.
  const VisDrawItem_t outline = Outlines(hovered)[0];
  EXPECT_TRUE(outline.position.IsEqual(VisVector_cl(50, -5, 0), 1e-5f));
  EXPECT_TRUE(outline.b.IsEqual(VisVector_cl(1, 1, 2), 1e-5f));

  // The next frame follows the set and the camera.
  m_highlights->RemoveHighlight(town);
  m_context->SetCameraPosition(VisVector_cl(100, 0, 3));
  m_context->SetCameraRotation([] {
    VisMatrix3x3_cl back;
    back.SetEulerAngles(180, 0, 0);
    return back;
  }());
  Frame();
  EXPECT_TRUE(Outlines(town).empty());
  EXPECT_EQ(Outlines(hovered).size(), 1u);
  EXPECT_EQ(Outlines(behindCamera).size(), 1u) << "in view now";
  EXPECT_EQ(Outlines(beside).size(), 1u) << "in view now";
  EXPECT_EQ(Vision::Renderer.GetDrawList().Count(VIS_DRAW_OUTLINE), 3);
}

TEST_F(HighlightDrawTest, RegisteredSoldiersAreOutlinedWhileAUnitHighlightIsActive) {
  VisBaseEntity_cl* first = Boxed(VisVector_cl(40, -3, 0));
  VisBaseEntity_cl* second = Boxed(VisVector_cl(40, 3, 0));
  VisBaseEntity_cl* away = Boxed(VisVector_cl(-40, 0, 0));
  m_highlights->AddUnitHighlight(first, 0xC800C800u);
  m_highlights->AddUnitHighlight(second, 0xC80000C8u);
  m_highlights->AddUnitHighlight(away, 0xC800C800u);
  Frame();
  ExpectOutline(first, "EntityHighlight", 0.0f, 0.784f, 0.0f, "active");
  ExpectOutline(second, "EntityHighlight", 0.0f, 0.0f, 0.784f, "active");
  EXPECT_TRUE(Outlines(away).empty()) << "off screen";

  // Switched off but registered: drawn as long as another soldier's highlight is on.
  m_highlights->RemoveUnitHighlight(second);
  Frame();
  EXPECT_EQ(Outlines(first).size(), 1u);
  ExpectOutline(second, "EntityHighlight", 0.0f, 0.0f, 0.784f, "registered, switched off");

  // None active: nothing drawn, though both stay registered.
  m_highlights->ClearUnitHighlights();
  Frame();
  EXPECT_EQ(Vision::Renderer.GetDrawList().Count(VIS_DRAW_OUTLINE), 0);
  EXPECT_EQ(m_highlights->GetRegisteredUnitCount(), 3);
  m_highlights->AddUnitHighlight(second, 0xC80000C8u);
  Frame();
  EXPECT_EQ(Outlines(first).size(), 1u);
  EXPECT_EQ(Outlines(second).size(), 1u);
}

// Soldiers of units register for the occlusion pass in their nation's colour: green
// for the player's, blue for others. Only those on screen that the world pass found
// hidden are drawn, with the occlusion technique.
TEST_F(HighlightDrawTest, SoldiersHiddenBehindAWallButOnScreenShowThroughInTheirOcclusionColour) {
  AddWall(VisVector_cl(30, 0, 3), VisVector_cl(2, 12, 6));
  const int player = RtsManager::GlobalManager().GetPlayerNation();
  UnitEntity* ownHidden = MakeUnit(VisVector_cl(60, 0, 0), player);
  UnitEntity* otherHidden = MakeUnit(VisVector_cl(80, 0, 0), player + 2);
  UnitEntity* ownInSight = MakeUnit(VisVector_cl(60, 40, 0), player);
  UnitEntity* ownBehindCamera = MakeUnit(VisVector_cl(-60, 0, 0), player);
  UnitEntity* ownBesideTheView = MakeUnit(VisVector_cl(10, 60, 0), player);
  Frame();

  for (SoldierEntity* s : ownHidden->GetSoldiers()) {
    EXPECT_FALSE(m_context->GetVisibilityCollector()->IsEntityVisible(s));
    ExpectOutline(s, "EntityOcclusionHighlight", 0.0f, 0.784f, 0.0f, "the player's nation, hidden");
  }
  for (SoldierEntity* s : otherHidden->GetSoldiers())
    ExpectOutline(s, "EntityOcclusionHighlight", 0.0f, 0.0f, 0.784f, "another nation, hidden");
  for (UnitEntity* unit : {ownInSight, ownBehindCamera, ownBesideTheView})
    for (SoldierEntity* s : unit->GetSoldiers()) EXPECT_TRUE(Outlines(s).empty()) << unit->GetPosition().x;

  // A hidden soldier that is highlighted too keeps its highlight colour; a hidden
  // soldier with its unit highlight on shows only through the wall.
  SoldierEntity* hovered = ownHidden->GetSoldiers()[0];
  SoldierEntity* selected = ownHidden->GetSoldiers()[1];
  m_highlights->AddHighlight(hovered, kHover);
  m_highlights->AddUnitHighlight(selected, 0xC800C800u);
  SoldierEntity* selectedInSight = ownInSight->GetSoldiers()[0];
  m_highlights->AddUnitHighlight(selectedInSight, 0xC8FF0000u);
  Frame();
  ExpectOutline(hovered, "EntityOcclusionHighlight", 1.0f, 1.0f, 0.392f, "hidden and highlighted");
  ExpectOutline(selected, "EntityOcclusionHighlight", 0.0f, 0.784f, 0.0f, "hidden and selected");
  ExpectOutline(selectedInSight, "EntityHighlight", 1.0f, 0.0f, 0.0f, "selected in sight");

  // Once the wall is out of the way nothing is hidden.
  Vision::World.RemoveAllStaticGeometry();
  Frame();
  EXPECT_EQ(Vision::Renderer.GetDrawList().Count(VIS_DRAW_OUTLINE), 3) << "the two selected and the hovered";
  for (const VisDrawItem_t& item : Vision::Renderer.GetDrawList().GetItems())
    if (item.kind == VIS_DRAW_OUTLINE) {
      EXPECT_STREQ(item.technique, "EntityHighlight");
    }
}

}  // namespace
