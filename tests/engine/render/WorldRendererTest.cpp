// The world pass: what the draw list holds (what, where, which colour), visibility
// from the main camera's view volume, the terrain as a traceable type-2 instance,
// and outlines drawn with shader techniques.
#include "engine/Vision.h"
#include "engine/base/VarTable.h"
#include "engine/core/VisVisibilityCollector.h"
#include "engine/render/VShaderLibrary.h"
#include "engine/render/VisWorldRenderer.h"
#include "engine/render/VGLDevice.h"
#include "support/LogCapture.h"
#include "support/ScopedEnv.h"
#include "support/XvfbDisplay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

// An entity class with a nation, as the game's entities have one.
class NationProbeEntity : public VisBaseEntity_cl {
  V_DECLARE_DYNCREATE(NationProbeEntity)
 public:
  int m_iNation = 0;
};

namespace {
void BuildNationProbeVars(VARTABLE& t) {
  V_DEFINE_VAR(t, NationProbeEntity, m_iNation, VULPTYPE_INT, "Nation", "0", nullptr);
}
}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(NationProbeEntity, VisBaseEntity_cl, &BuildNationProbeVars)

namespace {

class WorldPassTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Vision::World.UnloadWorld();
    Vision::Message.ClearFrame();
    VVideoConfig cfg;
    cfg.m_iXRes = 1280;
    cfg.m_iYRes = 720;
    VVideo::Initialize(cfg);
    m_context = VisRenderContext_cl::GetMainRenderContext();
    m_context->GetFOV(m_fov[0], m_fov[1]);
    m_context->GetClipPlanes(m_clip[0], m_clip[1]);
    m_context->SetFOV(90.0f, 0.0f);
    m_context->SetClipPlanes(1.0f, 1000.0f);
    LookFrom(VisVector_cl(0, 0, 10), 0.0f, 0.0f);
  }
  void TearDown() override {
    Vision::World.UnloadWorld();
    Vision::Message.ClearFrame();
    Vision::Renderer.GetDrawList().Clear();
    m_context->GetVisibilityCollector()->Clear();
    m_context->SetFOV(m_fov[0], m_fov[1]);
    m_context->SetClipPlanes(m_clip[0], m_clip[1]);
    m_context->SetCameraPosition(VisVector_cl(0, 0, 0));
    m_context->SetCameraRotation(VisMatrix3x3_cl());
    VVideo::DeInitialize();
  }

  void LookFrom(const VisVector_cl& position, float yaw, float pitch) {
    VisMatrix3x3_cl rot;
    rot.SetEulerAngles(yaw, pitch, 0.0f);
    m_context->SetCameraPosition(position);
    m_context->SetCameraRotation(rot);
  }

  static void Frame() { VisWorldRenderer_cl::GetInstance().BuildFrame(); }

  static VDynamicMesh* Model(const char* xml) {
    auto* mesh = new VDynamicMesh("probe.model");
    EXPECT_TRUE(mesh->LoadFromXml(xml));
    return mesh;
  }

  template <class T = VisBaseEntity_cl>
  static T* Boxed(const VisVector_cl& position, const char* xml = R"(<model><bbox min="-1/-2/0" max="1/2/3"/></model>)") {
    T* e = new T();
    e->SetMesh(Model(xml));
    e->SetPosition(position);
    return e;
  }

  static void ExpectColour(const float got[4], const float want[4]) {
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(got[i], want[i], 1e-4f) << "channel " << i;
  }

  VisRenderContext_cl* m_context = nullptr;
  float m_fov[2] = {0, 0}, m_clip[2] = {0, 0};
};

TEST_F(WorldPassTest, DrawListHoldsTheSeenWorldWithItsPlacesAndColours) {
  auto* ship = Boxed<NationProbeEntity>(VisVector_cl(50, 5, 0));
  ship->m_iNation = 2;
  ship->SetScaling(VisVector_cl(2, 1, 1));
  ship->SetOrientation(90, 0, 0);
  VisBaseEntity_cl* rock = Boxed(VisVector_cl(80, -10, 0));
  VisBaseEntity_cl* soldier = Boxed(VisVector_cl(30, 0, 0), R"(<model><bbox min="-0.5/-0.5/0" max="0.5/0.5/2"/>
      <bone name="Root" position="0/0/1"/><bone name="Head" parent="Root" position="0/0/1.8"/>
      <bone name="Hand" parent="Root" position="0.4/0/1.2"/></model>)");
  VisBaseEntity_cl* behind = Boxed(VisVector_cl(-50, 0, 0));
  VisBaseEntity_cl* hidden = Boxed(VisVector_cl(40, 0, 0));
  hidden->SetVisibleBitmask(0);
  auto* wall = new VisStaticGeometryInstance_cl(VisVector_cl(60, 20, 2), VisVector_cl(4, 6, 4), VisMatrix3x3_cl());
  Vision::World.AddStaticGeometryInstance(wall);
  Vision::Message.DrawSingleLine(10, 1, 0, 20, -1, 0, 0xffffffffu, 1.0f);
  Frame();

  const VisDrawList_cl& list = Vision::Renderer.GetDrawList();
  // Open sea without a terrain.
  EXPECT_EQ(list.Count(VIS_DRAW_SEA), 1);
  EXPECT_EQ(list.Count(VIS_DRAW_TERRAIN), 0);

  const VisDrawItem_t* box = list.Find(ship, VIS_DRAW_ENTITY_BOX);
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(box->a.IsEqual(VisVector_cl(-2, -2, 0), 1e-5f));
  EXPECT_TRUE(box->b.IsEqual(VisVector_cl(2, 2, 3), 1e-5f));
  EXPECT_TRUE(box->position.IsEqual(VisVector_cl(50, 5, 0), 1e-5f));
  EXPECT_TRUE((box->rotation * VisVector_cl(1, 0, 0)).IsEqual(VisVector_cl(0, 1, 0), 1e-5f));
  float want[4];
  VisWorldRenderer_cl::GetNationColour(2, want);
  ExpectColour(box->colour, want);
  // Kinds without a nation are grey, and differ from a nation's colour.
  VisWorldRenderer_cl::GetNationColour(0, want);
  ASSERT_NE(list.Find(rock, VIS_DRAW_ENTITY_BOX), nullptr);
  ExpectColour(list.Find(rock, VIS_DRAW_ENTITY_BOX)->colour, want);
  EXPECT_NE(box->colour[0], want[0]);

  // One bone line per bone with a parent, from the parent to the bone, in the world.
  std::vector<VisDrawItem_t> bones;
  for (const VisDrawItem_t& item : list.GetItems())
    if (item.kind == VIS_DRAW_BONE && item.object == soldier) bones.push_back(item);
  ASSERT_EQ(bones.size(), 2u);
  EXPECT_TRUE(bones[0].a.IsEqual(VisVector_cl(30, 0, 1), 1e-5f));
  EXPECT_TRUE(bones[0].b.IsEqual(VisVector_cl(30, 0, 1.8f), 1e-5f));
  EXPECT_TRUE(bones[1].b.IsEqual(VisVector_cl(30.4f, 0, 1.2f), 1e-5f));

  EXPECT_EQ(list.Find(behind, VIS_DRAW_ENTITY_BOX), nullptr);
  EXPECT_EQ(list.Find(hidden, VIS_DRAW_ENTITY_BOX), nullptr);
  const VisDrawItem_t* wallItem = list.Find(wall, VIS_DRAW_STATIC_BOX);
  ASSERT_NE(wallItem, nullptr);
  EXPECT_TRUE(wallItem->position.IsEqual(VisVector_cl(60, 20, 2), 1e-5f));
  EXPECT_TRUE(wallItem->b.IsEqual(VisVector_cl(2, 3, 2), 1e-5f));

  ASSERT_EQ(list.Count(VIS_DRAW_LINE), 1);
  const VisDrawItem_t& line = *std::find_if(list.GetItems().begin(), list.GetItems().end(),
                                            [](const VisDrawItem_t& i) { return i.kind == VIS_DRAW_LINE; });
  EXPECT_TRUE(line.a.IsEqual(VisVector_cl(10, 1, 0), 1e-6f));
  EXPECT_TRUE(line.b.IsEqual(VisVector_cl(20, -1, 0), 1e-6f));
  const float white[4] = {1, 1, 1, 1};
  ExpectColour(line.colour, white);

  // The next frame starts a fresh list.
  Vision::Message.ClearFrame();
  Frame();
  EXPECT_EQ(list.Count(VIS_DRAW_LINE), 0);
  EXPECT_EQ(list.Count(VIS_DRAW_ENTITY_BOX), 3);
}

TEST_F(WorldPassTest, VisibilityFollowsTheCameraAndNeedsAVisibleMask) {
  VisBaseEntity_cl* ahead = Boxed(VisVector_cl(100, 0, 0));
  auto* noModel = new VisBaseEntity_cl();
  noModel->SetPosition(VisVector_cl(100, 30, 5));
  // Not yet looked at: not seen.
  EXPECT_FALSE(ahead->WasVisibleInAnyLastFrame());

  struct Case {
    const char* what;
    VisVector_cl camera;
    float yaw, pitch;
    bool seen;
  };
  const Case cases[] = {
      {"looking at it", {0, 0, 10}, 0, 0, true},
      {"turned away", {0, 0, 10}, 180, 0, false},
      {"turned aside past the edge of the view", {0, 0, 10}, 60, 0, false},
      {"beyond the far clip plane", {-2000, 0, 10}, 0, 0, false},
      {"looking up at the sky", {0, 0, 10}, 0, -80, false},
      {"looking down at it", {100, 0, 200}, 0, 89, true},
  };
  VisEntityCollection_cl both;
  both.Append(ahead);
  both.Append(noModel);
  for (const Case& c : cases) {
    LookFrom(c.camera, c.yaw, c.pitch);
    Frame();
    EXPECT_EQ(ahead->WasVisibleInAnyLastFrame(), c.seen) << c.what;
    EXPECT_EQ(m_context->GetVisibilityCollector()->IsEntityVisible(ahead), c.seen) << c.what;
  }
  // An entity without a model counts by its position.
  LookFrom(VisVector_cl(0, 0, 10), 0, 0);
  Frame();
  EXPECT_TRUE(noModel->WasVisibleInAnyLastFrame());
  VisEntityCollection_cl filtered = both;
  filtered.FilterNonVisibleEntities();
  EXPECT_EQ(filtered.GetNumEntries(), 2);

  // Mask 0 is never seen, whatever the camera sees; a new entity waits for a frame.
  ahead->SetVisibleBitmask(0);
  EXPECT_FALSE(ahead->WasVisibleInAnyLastFrame());
  Frame();
  EXPECT_FALSE(m_context->GetVisibilityCollector()->IsEntityVisible(ahead));
  ahead->SetVisibleBitmask(1);
  EXPECT_TRUE(ahead->WasVisibleInAnyLastFrame());
  VisBaseEntity_cl* late = Boxed(VisVector_cl(100, 0, 0));
  EXPECT_FALSE(late->WasVisibleInAnyLastFrame());
  Frame();
  EXPECT_TRUE(late->WasVisibleInAnyLastFrame());

  LookFrom(VisVector_cl(0, 0, 10), 180, 0);
  Frame();
  filtered = both;
  filtered.FilterNonVisibleEntities();
  EXPECT_EQ(filtered.GetNumEntries(), 0);
}

// A static box between the camera and an entity's centre hides it: not in the
// collector, not seen, yet still drawn (the depth test hides what the box covers).
TEST_F(WorldPassTest, AStaticBoxBetweenTheCameraAndAnEntityHidesIt) {
  // A wall 4 wide (y -2..2) and 6 high at x = 30, the camera at height 2 looking along x.
  auto* wall = new VisStaticGeometryInstance_cl(VisVector_cl(30, 0, 3), VisVector_cl(2, 4, 6), VisMatrix3x3_cl());
  Vision::World.AddStaticGeometryInstance(wall);
  LookFrom(VisVector_cl(0, 0, 2), 0, 0);
  const char* small = R"(<model><bbox min="-0.5/-0.5/0" max="0.5/0.5/2"/></model>)";
  struct Case {
    const char* what;
    VisVector_cl at;
    bool seen;
  };
  const Case cases[] = {
      {"right behind the wall", {60, 0, 0}, false},
      {"behind the wall's edge, its centre in sight", {60, 4.5f, 0}, true},
      {"in front of the wall", {20, 0, 0}, true},
      {"beside the wall", {60, 20, 0}, true},
      {"above the wall's top as seen from the camera", {60, 0, 14}, true},
  };
  std::vector<VisBaseEntity_cl*> entities;
  for (const Case& c : cases) entities.push_back(Boxed(c.at, small));
  Frame();
  const VisVisibilityCollector_cl& seen = *m_context->GetVisibilityCollector();
  for (size_t i = 0; i < entities.size(); ++i) {
    EXPECT_EQ(seen.IsEntityVisible(entities[i]), cases[i].seen) << cases[i].what;
    EXPECT_EQ(entities[i]->WasVisibleInAnyLastFrame(), cases[i].seen) << cases[i].what;
    EXPECT_NE(Vision::Renderer.GetDrawList().Find(entities[i], VIS_DRAW_ENTITY_BOX), nullptr) << cases[i].what;
  }
  VisEntityCollection_cl all;
  for (VisBaseEntity_cl* e : entities) all.Append(e);
  all.FilterNonVisibleEntities();
  EXPECT_FALSE(all.Contains(entities[0]));
  EXPECT_EQ(all.GetNumEntries(), 4);

  // Seen from the side the wall hides nothing.
  LookFrom(VisVector_cl(60, -40, 2), 90, 0);
  Frame();
  EXPECT_TRUE(entities[0]->WasVisibleInAnyLastFrame());
  // A box is tested in its own frame: 1 x 6 it would cross the sight line to the
  // entity beside the wall; turned a quarter it lies beside that line.
  LookFrom(VisVector_cl(0, 0, 2), 0, 0);
  VisMatrix3x3_cl turned;
  turned.SetEulerAngles(90, 0, 0);
  Vision::World.AddStaticGeometryInstance(
      new VisStaticGeometryInstance_cl(VisVector_cl(45, 13, 1), VisVector_cl(1, 6, 6), turned));
  Frame();
  EXPECT_TRUE(entities[3]->WasVisibleInAnyLastFrame());
  Vision::World.AddStaticGeometryInstance(
      new VisStaticGeometryInstance_cl(VisVector_cl(45, 13, 1), VisVector_cl(1, 6, 6), VisMatrix3x3_cl()));
  Frame();
  EXPECT_FALSE(entities[3]->WasVisibleInAnyLastFrame());

  // A camera inside a box looks out of it: the box it stands in hides nothing.
  auto* room = new VisStaticGeometryInstance_cl(VisVector_cl(0, 0, 2), VisVector_cl(10, 10, 10), VisMatrix3x3_cl());
  Vision::World.AddStaticGeometryInstance(room);
  Frame();
  EXPECT_TRUE(entities[2]->WasVisibleInAnyLastFrame());
  EXPECT_FALSE(entities[0]->WasVisibleInAnyLastFrame());
}

TEST_F(WorldPassTest, PickRayThroughAPixelFindsTheTerrainThroughTheVisibleGeometry) {
  // A slope rising along x: height = x / 10 over 200 x 200 units.
  std::vector<float> heights;
  for (int j = 0; j < 21; ++j)
    for (int i = 0; i < 21; ++i) heights.push_back((float)i);
  ASSERT_TRUE(Vision::World.SetHeightFieldTerrain(VisVector_cl(0, -100, 0), 200, 200, 21, 21, heights));
  LookFrom(VisVector_cl(-20, 0, 60), 0, 30);
  Frame();

  VisStaticGeometryInstance_cl* ground = Vision::World.GetTerrainSurfaceInstance();
  ASSERT_NE(ground, nullptr);
  EXPECT_EQ(ground->GetGeometryType(), 2);
  const auto& visible = m_context->GetVisibilityCollector()->GetVisibleStaticGeometryInstances();
  ASSERT_NE(std::find(visible.begin(), visible.end(), ground), visible.end());
  const VisDrawList_cl& list = Vision::Renderer.GetDrawList();
  ASSERT_NE(list.Find(ground, VIS_DRAW_TERRAIN), nullptr);
  EXPECT_TRUE(list.Find(ground, VIS_DRAW_TERRAIN)->b.IsEqual(VisVector_cl(200, 200, 0), 1e-5f));
  EXPECT_EQ(list.Count(VIS_DRAW_SEA), 0) << "the field never dips below the sea";

  // The centre's ray is the camera's forward axis.
  const VisVector_cl start = m_context->GetCameraPosition();
  const VisVector_cl centreDir = Vision::Game.GetTraceDirFromScreenPos(640, 360, 1000);
  EXPECT_TRUE(centreDir.IsEqual(m_context->GetCameraDirection() * 1000.0f, 1e-2f));

  // A ray through the pixel where a ground point shows comes back to that point.
  const VisVector_cl groundPoint(90, 25, 9);
  float x = 0, y = 0;
  ASSERT_TRUE(m_context->Project2D(groundPoint, x, y));
  std::vector<VisStaticGeometryInstance_cl*> type2;
  for (VisStaticGeometryInstance_cl* g : visible)
    if (g->GetGeometryType() == 2) type2.push_back(g);
  VisTraceLineInfo_t hit;
  ASSERT_TRUE(Vision::CollisionToolkit.TraceLineStaticGeometry(
      start, start + Vision::Game.GetTraceDirFromScreenPos(x, y, 1000), type2, &hit));
  EXPECT_TRUE(hit.detected);
  EXPECT_TRUE(hit.touchPoint.IsEqual(groundPoint, 0.05f)) << hit.touchPoint.x << " " << hit.touchPoint.y << " "
                                                          << hit.touchPoint.z;

  // Flat ground too; looking at the sky the ground is not visible and nothing is hit.
  Vision::World.SetFlatTerrain(2.0f);
  Frame();
  ASSERT_EQ(visible.size(), 1u);
  ASSERT_TRUE(Vision::CollisionToolkit.TraceLineStaticGeometry(start, start + centreDir, visible, &hit));
  EXPECT_NEAR(hit.touchPoint.z, 2.0f, 1e-3f);
  LookFrom(VisVector_cl(0, 0, 60), 0, -30);
  Frame();
  EXPECT_TRUE(visible.empty());
  EXPECT_FALSE(Vision::CollisionToolkit.TraceLineStaticGeometry(start, start + centreDir, visible, &hit));
  EXPECT_FALSE(hit.detected);
}

// The engine frame runs the pass before the highlight hook, which sees this frame's
// visibility and adds its outlines to the same list.
TEST_F(WorldPassTest, EngineFrameRunsThePassBeforeTheHighlightHook) {
  VisBaseEntity_cl* ahead = Boxed(VisVector_cl(50, 0, 0));
  struct Hook : IVisCallbackHandler_cl {
    VisBaseEntity_cl* entity = nullptr;
    bool sawBox = false, sawVisible = false;
    void OnHandleCallback(IVisCallbackDataObject_cl* data) override {
      if (static_cast<VisRenderHookDataObject_cl*>(data)->m_iEntry != VRH_PRE_SCREENMASKS) return;
      sawBox = Vision::Renderer.GetDrawList().Find(entity, VIS_DRAW_ENTITY_BOX) != nullptr;
      sawVisible = entity->WasVisibleInAnyLastFrame();
      VisCompiledTechniqueProbe();
    }
    void VisCompiledTechniqueProbe() {
      VCompiledTechniquePtr t = new VCompiledTechnique();
      t->m_sName = "Probe";
      t->m_passes.resize(1);
      VisEntityCollection_cl one;
      one.Append(entity);
      VisRenderLoopHelper_cl::RenderEntityWithShaders(one, t);
    }
  } hook;
  hook.entity = ahead;
  VisionApp_cl app;
  app.m_videoConfig.m_iXRes = 1280;
  app.m_videoConfig.m_iYRes = 720;
  Vision::SetApplication(&app);
  ASSERT_TRUE(app.InitEngine());
  Vision::Callbacks.OnRenderHook.RegisterCallback(&hook);
  LookFrom(VisVector_cl(0, 0, 10), 0, 0);
  app.Run();
  Vision::Callbacks.OnRenderHook.DeregisterCallback(&hook);
  app.DeInitEngine();
  Vision::SetApplication(nullptr);
  EXPECT_TRUE(hook.sawBox);
  EXPECT_TRUE(hook.sawVisible);
  const VisDrawItem_t* outline = Vision::Renderer.GetDrawList().Find(ahead, VIS_DRAW_OUTLINE);
  ASSERT_NE(outline, nullptr);
  EXPECT_STREQ(outline->technique, "Probe");
  const float white[4] = {1, 1, 1, 1};
  ExpectColour(outline->colour, white);
}

// With a window the list is drawn under the GUI: the sea below the horizon, the
// entity's box in its nation's colour (shaded), the sky left clear.
TEST_F(WorldPassTest, AWindowShowsTheSeaAndTheEntityBoxInItsNationColour) {
  if (!XvfbDisplay::IsInstalled()) GTEST_SKIP() << "Xvfb is not installed: no window can be tested";
  XvfbDisplay display(400, 300);
  ASSERT_TRUE(display.IsRunning()) << display.Error();
  VisionApp_cl app;
  app.m_videoConfig.m_iXRes = 320;
  app.m_videoConfig.m_iYRes = 240;
  {
    ScopedEnv name("DISPLAY", display.Name().c_str());
    ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    ScopedEnv video("ENGINE_VIDEO", "gl");
    ASSERT_TRUE(app.InitEngine());
  }
  auto* ship = Boxed<NationProbeEntity>(VisVector_cl(40, 0, -5), R"(<model><bbox min="-5/-5/0" max="5/5/10"/></model>)");
  ship->m_iNation = 2;
  LookFrom(VisVector_cl(0, 0, 10), 0, 10);
  app.BeginRendering();
  app.RenderScene();
  app.EndRendering();
  app.UpdateScreen();
  VImage frame;
  ASSERT_TRUE(VGLDevice::GetInstance().ReadFrame(frame));
  app.DeInitEngine();
  auto rgb = [&](int x, int y) {
    const uint8_t* p = &frame.rgba[((size_t)y * frame.width + x) * 4];
    return std::vector<int>{p[0], p[1], p[2]};
  };
  const std::vector<int> centre = rgb(160, 120), sea = rgb(20, 230), sky = rgb(20, 5);
  EXPECT_GT(centre[0], 2 * centre[1]) << "red nation box in the middle";
  EXPECT_GT(centre[0], 2 * centre[2]);
  EXPECT_GT(sea[2], sea[0]) << "blue sea below";
  EXPECT_EQ(sky, (std::vector<int>{0, 0, 0})) << "nothing drawn above the horizon";
}

class ShaderTest : public WorldPassTest {
 protected:
  void SetUp() override {
    WorldPassTest::SetUp();
    Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data");
    Vision::Shaders.UnloadAll();
  }
  void TearDown() override {
    Vision::Shaders.UnloadAll();
    WorldPassTest::TearDown();
  }
};

TEST_F(ShaderTest, TechniquesOfTheLibraryDrawOutlinesInTheirPassColour) {
  VShaderEffectLib* lib = Vision::Shaders.LoadShaderLibrary("shaders\\EntityHighlight.ShaderLib");
  ASSERT_NE(lib, nullptr);
  EXPECT_EQ(Vision::Shaders.LoadShaderLibrary("Shaders/entityhighlight.shaderlib"), lib) << "loaded once";

  VCompiledTechniquePtr highlight = Vision::Shaders.CreateTechnique("EntityHighlight");
  VCompiledTechniquePtr occlusion = Vision::Shaders.CreateTechnique("EntityOcclusionHighlight");
  ASSERT_TRUE(highlight && occlusion);
  ASSERT_EQ(highlight->GetShaderCount(), 1);
  EXPECT_TRUE(highlight->GetShader(0)->HasConstant("HighlightColor"));

  VisBaseEntity_cl* a = Boxed(VisVector_cl(50, 0, 0));
  VisBaseEntity_cl* b = Boxed(VisVector_cl(60, 10, 0));
  Frame();
  // The hover colour 0xC8FFFF64 reaches the shader as (1.0, 1.0, 0.392, 1.0).
  const float hover[4] = {1.0f, 1.0f, 100.0f / 255.0f, 1.0f};
  const float green[4] = {0.0f, 200.0f / 255.0f, 0.0f, 1.0f};
  ASSERT_TRUE(highlight->GetShader(0)->SetConstant("HighlightColor", hover));
  VisEntityCollection_cl one;
  one.Append(a);
  VisRenderLoopHelper_cl::RenderEntityWithShaders(one, highlight);
  ASSERT_TRUE(occlusion->GetShader(0)->SetConstant("HighlightColor", green));
  VisEntityCollection_cl other;
  other.Append(b);
  VisRenderLoopHelper_cl::RenderEntityWithShaders(other, occlusion);

  const VisDrawList_cl& list = Vision::Renderer.GetDrawList();
  ASSERT_EQ(list.Count(VIS_DRAW_OUTLINE), 2);
  const VisDrawItem_t* outline = list.Find(a, VIS_DRAW_OUTLINE);
  ASSERT_NE(outline, nullptr);
  ExpectColour(outline->colour, hover);
  EXPECT_STREQ(outline->technique, "EntityHighlight");
  EXPECT_TRUE(outline->position.IsEqual(VisVector_cl(50, 0, 0), 1e-5f));
  EXPECT_TRUE(outline->b.IsEqual(VisVector_cl(1, 2, 3), 1e-5f));
  ExpectColour(list.Find(b, VIS_DRAW_OUTLINE)->colour, green);
  // The name stays readable after the technique is gone.
  occlusion = nullptr;
  EXPECT_STREQ(list.Find(b, VIS_DRAW_OUTLINE)->technique, "EntityOcclusionHighlight");
}

TEST_F(ShaderTest, MissingOrFaultyLibraryGivesNoTechniqueAWarningAndNoOutline) {
  LogCapture log;
  EXPECT_EQ(Vision::Shaders.LoadShaderLibrary("shaders\\Missing.ShaderLib"), nullptr);
  EXPECT_TRUE(log.Contains("Shader library shaders\\Missing.ShaderLib not found"));
  EXPECT_EQ(Vision::Shaders.CreateTechnique("EntityHighlight"), nullptr);

  VisBaseEntity_cl* a = Boxed(VisVector_cl(50, 0, 0));
  Frame();
  const int before = (int)Vision::Renderer.GetDrawList().GetItems().size();
  VisEntityCollection_cl one;
  one.Append(a);
  VisRenderLoopHelper_cl::RenderEntityWithShaders(one, nullptr);
  EXPECT_EQ((int)Vision::Renderer.GetDrawList().GetItems().size(), before);

  // Faulty texts: nothing of them loads.
  const char* faulty[] = {
      "<shaderlib><technique><pass/></technique></shaderlib>",
      "<shaderlib><technique name=\"T\"/></shaderlib>",
      "<shaderlib><technique name=\"T\"><pass><constant name=\"C\" value=\"red\"/></pass></technique></shaderlib>",
      "<shaders/>",
      "<shaderlib><technique name=\"T\">",
  };
  const std::string dir = ::testing::TempDir() + "shaderlib_test";
  ASSERT_TRUE(VFileHelper::MkDirRecursive(dir.c_str()));
  for (const char* text : faulty) {
    const std::string file = dir + "/Faulty.ShaderLib";
    FILE* f = std::fopen(file.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs(text, f);
    std::fclose(f);
    log.Clear();
    EXPECT_EQ(Vision::Shaders.LoadShaderLibrary(file.c_str()), nullptr) << text;
    EXPECT_TRUE(log.Contains("not loaded")) << text;
  }
}

}  // namespace
