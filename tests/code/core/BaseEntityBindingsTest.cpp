// The "BaseEntity" script class: its methods, the list positions of the trace
// accuracies, and argument errors that leave the entity as it was.
#include "support/ScriptBindingFixture.h"

#include "core/BaseEntity.h"

#include "engine/render/VisWorldRenderer.h"

#include <gmock/gmock.h>

#include <string>

using ::testing::HasSubstr;

namespace {

class BaseEntityBindingsTest : public ScriptBindingFixture {
 protected:
  void SetUp() override {
    ScriptBindingFixture::SetUp();
    entity = new BaseEntity();
    SetGlobalObject("e", entity);
  }

  BaseEntity* entity = nullptr;
};

TEST_F(BaseEntityBindingsTest, TraceAccuraciesArriveAsListPositions) {
  struct Case {
    int position;
    VisTraceAccuracy_e stored;
  };
  const Case cases[] = {{0, VIS_TRACEACC_NOCOLLISION}, {3, VIS_TRACEACC_SPHERE}, {4, VIS_TRACEACC_POLYGONS},
                        {5, (VisTraceAccuracy_e)5},    {6, (VisTraceAccuracy_e)6}, {7, VIS_TRACEACC_POLYGONS}};
  for (const Case& c : cases) {
    const std::string p = std::to_string(c.position);
    ASSERT_EQ(Run("e:SetCollisionTraceAccuracy(" + p + ")\ne:SetClickTraceAccuracy(" + p + ")"), "");
    EXPECT_EQ(entity->GetCollisionTraceAccuracy(), c.stored) << c.position;
    EXPECT_EQ(entity->GetClickTraceAccuracy(), c.stored) << c.position;
  }
}

TEST_F(BaseEntityBindingsTest, MethodsReadAndWriteTheEntity) {
  entity->SetNation(3);
  const int64_t id = (int64_t(1) << 40) + 3;  // beyond a float's exact integers
  entity->SetUniqueID(id);
  EXPECT_EQ(Number("e:GetNation()"), 3);
  EXPECT_EQ(Number("e:GetUniqueID()"), (double)id);

  ASSERT_EQ(Run("e:SetSave(true)"), "");
  EXPECT_EQ(entity->GetSave(), 1);
  EXPECT_TRUE(Bool("e:GetSave()"));
  ASSERT_EQ(Run("e:SetSave(false)"), "");
  EXPECT_FALSE(Bool("e:GetSave()"));

  ASSERT_EQ(Run("e:SetMeshFile('models/sloop.model')"), "");
  EXPECT_STREQ(entity->GetMeshFilename(), "models/sloop.model");

  // Seen once a frame finds it in the main camera's view, unless its mask is 0.
  VisRenderContext_cl* main = VisRenderContext_cl::GetMainRenderContext();
  main->SetCameraPosition(VisVector_cl(0, 0, 0));
  main->SetCameraRotation(VisMatrix3x3_cl());
  entity->SetPosition(VisVector_cl(60, 0, 0));
  EXPECT_FALSE(Bool("e:WasVisibleLastFrame()"));
  VisWorldRenderer_cl::GetInstance().BuildFrame(main);
  EXPECT_TRUE(Bool("e:WasVisibleLastFrame()"));
  entity->SetVisibleBitmask(0);
  EXPECT_FALSE(Bool("e:WasVisibleLastFrame()"));

  // Methods of the engine's entity class stay reachable through the game's class.
  EXPECT_TRUE(Bool("type(e.GetKey) == 'function' and tostring(e):sub(1, 11) == 'BaseEntity:'"));
}

TEST_F(BaseEntityBindingsTest, AWrongArgumentRaisesTheErrorAndChangesNothing) {
  entity->SetSave(1);
  entity->SetCollisionTraceAccuracy(VIS_TRACEACC_AABOX);
  VisBaseEntity_cl* plain = new VisBaseEntity_cl();
  SetGlobalObject("plain", plain);
  const char* const wrongObject = "Expected native object of type BaseEntity*";

  struct Case {
    const char* call;
    std::string error;
  };
  const Case cases[] = {
      {"e.GetNation(plain)", ArgError(1, "GetNation", wrongObject)},
      {"e.SetSave(5, true)", ArgError(1, "SetSave", wrongObject)},
      {"e.SetSave(e)", ArgError(3, "SetSave", "Expected bool")},
      {"e.SetSave(e, 0)", ArgError(3, "SetSave", "Expected bool")},
      {"e.SetMeshFile(e)", ArgError(3, "SetMeshFile", "Expected const char*")},
      {"e.SetCollisionTraceAccuracy(e, 'POLYGONS')", ArgError(3, "SetCollisionTraceAccuracy", "Expected int")},
      {"e.SetClickTraceAccuracy(plain, 4)", ArgError(1, "SetClickTraceAccuracy", wrongObject)},
  };
  for (const Case& c : cases) {
    EXPECT_THAT(Run(c.call), HasSubstr(c.error)) << c.call;
    EXPECT_EQ(entity->GetSave(), 1) << c.call;
    EXPECT_STREQ(entity->GetMeshFilename(), "") << c.call;
    EXPECT_EQ(entity->GetCollisionTraceAccuracy(), VIS_TRACEACC_AABOX) << c.call;
    EXPECT_EQ(entity->GetClickTraceAccuracy(), VIS_TRACEACC_NOCOLLISION) << c.call;
  }
}

}  // namespace
