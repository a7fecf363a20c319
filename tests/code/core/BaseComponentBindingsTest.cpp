// The "BaseComponent" script class: component properties by name, by the
// variable's type, and the errors that leave a property as it was.
#include "support/ScriptBindingFixture.h"

#include "core/BaseComponent.h"

#include <gmock/gmock.h>

#include <string>

using ::testing::HasSubstr;

namespace {

// One variable of every type a script can reach, and one it cannot.
class PropertyProbe : public BaseComponent {
  V_DECLARE_DYNCREATE(PropertyProbe)
 public:
  int m_iCount = 0;
  int m_eMode = 0;
  float m_fSpeed = 0.0f;
  double m_dRange = 0.0;
  bool m_bFlag = false;
  int m_bIntFlag = 0;  // an int used as a bool
  int m_vCell[3] = {0, 0, 0};
  VisVector_cl m_vPos;
  double m_vFar[3] = {0, 0, 0};
  VColorRef m_cTint;
  VString m_sName;
  VString m_sModel;
  int m_iHidden = 5;  // of a type scripts cannot hold
};

void BuildProbeVars(VARTABLE& t) {
  VAR_INT(t, PropertyProbe, m_iCount, "", "0");
  VAR_ENUM(t, PropertyProbe, m_eMode, "", "A", "A,B,C");
  VAR_FLOAT(t, PropertyProbe, m_fSpeed, "", "0");
  VAR_DOUBLE(t, PropertyProbe, m_dRange, "", "0");
  VAR_BOOL(t, PropertyProbe, m_bFlag, "", "FALSE");
  VAR_BOOL(t, PropertyProbe, m_bIntFlag, "", "FALSE");
  V_DEFINE_VAR(t, PropertyProbe, m_vCell, VULPTYPE_VECTOR_INT, "", "0/0/0", nullptr);
  VAR_VECTOR(t, PropertyProbe, m_vPos, "", "0/0/0");
  V_DEFINE_VAR(t, PropertyProbe, m_vFar, VULPTYPE_VECTOR_DOUBLE, "", "0/0/0", nullptr);
  VAR_COLOR(t, PropertyProbe, m_cTint, "", "0/0/0/255");
  VAR_STRING(t, PropertyProbe, m_sName, "", "");
  VAR_TEXT(t, PropertyProbe, m_sModel, VULPTYPE_MODEL, "", "");
  V_DEFINE_VAR(t, PropertyProbe, m_iHidden, 1, "", "5", nullptr);
}

V_IMPLEMENT_DYNCREATE_VARS(PropertyProbe, BaseComponent, BuildProbeVars)

class BaseComponentBindingsTest : public ScriptBindingFixture {
 protected:
  void SetUp() override {
    ScriptBindingFixture::SetUp();
    probe = new PropertyProbe();
    SetGlobalObject("c", static_cast<IVObjectComponent*>(probe));
  }
  void TearDown() override {
    probe->DisposeObject();
    ScriptBindingFixture::TearDown();
  }

  // Every variable of the probe as text.
  std::string Snapshot() {
    std::string all = probe->GetTypeId()->GetVarTable()->GetParameterString(probe).AsChar();
    return all;
  }

  PropertyProbe* probe = nullptr;
};

TEST_F(BaseComponentBindingsTest, EachTypeTakesAndGivesItsScriptForm) {
  ASSERT_EQ(Run("c:SetProperty('m_iCount', -7.9)\n"
                "c:SetProperty('m_eMode', 2.6)\n"
                "c:SetProperty('m_fSpeed', 0.1)\n"
                "c:SetProperty('m_dRange', 0.1)\n"
                "c:SetProperty('m_bFlag', true)\n"
                "c:SetProperty('m_bIntFlag', true)\n"
                "c:SetProperty('m_vCell', Vector(1.9, -2.9, 3))\n"
                "c:SetProperty('m_vPos', Vector(1.5, 2, -3))\n"
                "c:SetProperty('m_vFar', Vector(4, 5, 6))\n"
                "c:SetProperty('m_cTint', Color(1, 2, 3, 4))\n"
                "c:SetProperty('m_sName', 'Sloop')\n"
                "c:SetProperty('m_sModel', 'models/sloop.model')\n"
                "c:SetProperty('m_iHidden', 9)"),
            "");
  EXPECT_EQ(probe->m_iCount, -7);
  EXPECT_EQ(probe->m_eMode, 2);
  EXPECT_EQ(probe->m_fSpeed, 0.1f);
  EXPECT_EQ(probe->m_dRange, 0.1);
  EXPECT_TRUE(probe->m_bFlag);
  EXPECT_EQ(probe->m_bIntFlag, 1);
  EXPECT_EQ(probe->m_vCell[0], 1);
  EXPECT_EQ(probe->m_vCell[1], -2);
  EXPECT_EQ(probe->m_vCell[2], 3);
  EXPECT_EQ(probe->m_vPos, VisVector_cl(1.5f, 2.0f, -3.0f));
  EXPECT_EQ(probe->m_vFar[2], 6.0);
  EXPECT_EQ(probe->m_cTint, VColorRef(1, 2, 3, 4));
  EXPECT_EQ(probe->m_sName, "Sloop");
  EXPECT_EQ(probe->m_sModel, "models/sloop.model");
  EXPECT_EQ(probe->m_iHidden, 5);  // another type is left alone

  EXPECT_EQ(Number("c:GetProperty('m_iCount')"), -7);
  EXPECT_EQ(Number("c:GetProperty('m_eMode')"), 2);
  EXPECT_EQ(Number("c:GetProperty('m_fSpeed')"), (double)0.1f);  // the float the component keeps
  EXPECT_EQ(Number("c:GetProperty('m_dRange')"), 0.1);
  EXPECT_TRUE(Bool("c:GetProperty('m_bFlag') == true and c:GetProperty('m_bIntFlag') == true"));
  EXPECT_EQ(String("tostring(c:GetProperty('m_vCell'))"), "Vector(1, -2, 3)");
  EXPECT_EQ(String("tostring(c:GetProperty('m_vPos'))"), "Vector(1.5, 2, -3)");
  EXPECT_EQ(String("tostring(c:GetProperty('m_vFar'))"), "Vector(4, 5, 6)");
  EXPECT_EQ(String("tostring(c:GetProperty('m_cTint'))"), "Color(1, 2, 3, 4)");
  EXPECT_EQ(String("c:GetProperty('m_sName')"), "Sloop");
  // Read results are new values: changing one leaves the component alone.
  EXPECT_EQ(Run("local v = c:GetProperty('m_vPos'); v.x = 99"), "");
  EXPECT_EQ(probe->m_vPos.x, 1.5f);
}

TEST_F(BaseComponentBindingsTest, UnknownOrUnreachableNamesGiveNilOrTheScriptError) {
  EXPECT_TRUE(Bool("c:GetProperty('m_iNoSuch') == nil"));
  EXPECT_TRUE(Bool("c:GetProperty('m_iHidden') == nil"));
  EXPECT_EQ(String("c:GetProperty('m_sName')"), "");  // a text without text
  EXPECT_THAT(Run("c:SetProperty('m_iNoSuch', 1)"),
              HasSubstr("Attempted to assign a value to non-existent component property 'm_iNoSuch'."));
}

TEST_F(BaseComponentBindingsTest, AWrongValueRaisesTheArgumentErrorAndLeavesThePropertyAlone) {
  ASSERT_EQ(Run("c:SetProperty('m_iCount', 3)\nc:SetProperty('m_sName', 'Brig')\nc:SetProperty('m_bFlag', true)"), "");
  VisBaseEntity_cl* entity = new VisBaseEntity_cl();
  SetGlobalObject("e", entity);
  const std::string before = Snapshot();

  // Called as plain functions, so the numbers are the bindings' own.
  struct Case {
    const char* call;
    std::string error;
  };
  const Case cases[] = {
      {"c.SetProperty(c, 'm_iCount', '4')", ArgError(4, "SetProperty", "Expected lua_Number")},
      {"c.SetProperty(c, 'm_eMode')", ArgError(4, "SetProperty", "Expected lua_Number")},
      {"c.SetProperty(c, 'm_fSpeed', true)", ArgError(4, "SetProperty", "Expected lua_Number")},
      {"c.SetProperty(c, 'm_dRange', Vector(1, 2, 3))", ArgError(4, "SetProperty", "Expected lua_Number")},
      {"c.SetProperty(c, 'm_bFlag', 0)", ArgError(4, "SetProperty", "Expected bool")},
      {"c.SetProperty(c, 'm_bIntFlag', nil)", ArgError(4, "SetProperty", "Expected bool")},
      {"c.SetProperty(c, 'm_vPos', 1)", ArgError(4, "SetProperty", "Expected lua_Number*")},
      {"c.SetProperty(c, 'm_vCell', Color(1, 2, 3))", ArgError(4, "SetProperty", "Expected lua_Number*")},
      {"c.SetProperty(c, 'm_cTint', Vector(1, 2, 3))", ArgError(4, "SetProperty", "Expected VColorRef")},
      {"c.SetProperty(c, 'm_sName', 5)", ArgError(4, "SetProperty", "Expected const char *")},
      {"c.SetProperty(c)", ArgError(3, "SetProperty", "Expected const char *")},
      {"c.GetProperty(c, 1)", ArgError(3, "GetProperty", "Expected const char *")},
      {"c.SetProperty(e, 'm_iCount', 4)", ArgError(1, "SetProperty", "Expected native object of type BaseComponent*")},
      {"c.GetProperty(nil, 'm_iCount')", ArgError(1, "GetProperty", "Expected native object of type BaseComponent*")},
  };
  for (const Case& c : cases) {
    EXPECT_THAT(Run(c.call), HasSubstr(c.error)) << c.call;
    EXPECT_EQ(Snapshot(), before) << c.call;
  }
}

}  // namespace
