// Game components: typed property access by variable name, the debug component's
// message names with repeats collapsed, and the message name table.
#include "core/BaseComponent.h"
#include "core/ComponentMessages.h"
#include "core/DebugComponent.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// A component with a variable of every kind the scripts can reach.
class CtProbeComponent : public BaseComponent {
  V_DECLARE_DYNCREATE(CtProbeComponent)
 public:
  int m_iCount = 5;
  int m_eMode = 1;
  float m_fSpeed = 1.5f;
  double m_dPrecise = 0.25;
  bool m_bOn = false;
  int m_bLegacy = 0;  // an int used as a bool
  int m_viCell[3] = {1, 2, 3};
  VisVector_cl m_vTarget{1, 2, 3, 7};
  double m_vdPoint[3] = {0, 0, 0};
  VString m_sName = "start";
  VString m_sModel;
  VColorRef m_cTint{10, 20, 30, 40};
  static void BuildVars(VARTABLE& t);
};
V_IMPLEMENT_DYNCREATE_VARS(CtProbeComponent, BaseComponent, &CtProbeComponent::BuildVars)

void CtProbeComponent::BuildVars(VARTABLE& t) {
  VAR_INT(t, CtProbeComponent, m_iCount, "", "5");
  VAR_ENUM(t, CtProbeComponent, m_eMode, "", "B", "A,B,C");
  VAR_FLOAT(t, CtProbeComponent, m_fSpeed, "", "1.5");
  VAR_DOUBLE(t, CtProbeComponent, m_dPrecise, "", "0.25");
  VAR_BOOL(t, CtProbeComponent, m_bOn, "", "FALSE");
  V_DEFINE_VAR(t, CtProbeComponent, m_bLegacy, VULPTYPE_BOOL, "", "0", nullptr);
  V_DEFINE_VAR(t, CtProbeComponent, m_viCell, VULPTYPE_VECTOR_INT, "", "1/2/3", nullptr);
  VAR_VECTOR(t, CtProbeComponent, m_vTarget, "", "1/2/3");
  V_DEFINE_VAR(t, CtProbeComponent, m_vdPoint, VULPTYPE_VECTOR_DOUBLE, "", "0/0/0", nullptr);
  VAR_STRING(t, CtProbeComponent, m_sName, "", "start");
  VAR_TEXT(t, CtProbeComponent, m_sModel, VULPTYPE_MODEL, "", "");
  VAR_COLOR(t, CtProbeComponent, m_cTint, "", "10/20/30/40");
}

TEST(BaseComponentTest, TypeRecordCreatesABareComponent) {
  VTypedObject* obj = VType::CreateObject("BaseComponent");
  ASSERT_NE(obj, nullptr);
  EXPECT_TRUE(obj->IsOfType(IVObjectComponent::GetClassTypeId()));
  EXPECT_EQ(static_cast<BaseComponent*>(obj)->GetComponentID(), 0);
  delete obj;
}

TEST(BaseComponentTest, PropertiesAreSetAndReadByTheirVariableKind) {
  CtProbeComponent c;
  // Numbers: integers and enumerations truncate.
  EXPECT_TRUE(c.SetPropertyNumber("m_iCount", -7.9));
  EXPECT_EQ(c.m_iCount, -7);
  EXPECT_TRUE(c.SetPropertyNumber("m_eMode", 2.7));
  EXPECT_EQ(c.m_eMode, 2);
  EXPECT_TRUE(c.SetPropertyNumber("m_iCount", 1e300));
  EXPECT_EQ(c.m_iCount, INT32_MAX) << "clamped, not undefined";
  EXPECT_TRUE(c.SetPropertyNumber("m_fSpeed", 0.1));
  EXPECT_FLOAT_EQ(c.m_fSpeed, 0.1f);
  EXPECT_TRUE(c.SetPropertyNumber("m_dPrecise", 0.1));
  EXPECT_EQ(c.m_dPrecise, 0.1);
  double d = 0;
  ASSERT_TRUE(c.GetPropertyNumber("m_eMode", d));
  EXPECT_EQ(d, 2.0);
  ASSERT_TRUE(c.GetPropertyNumber("m_fSpeed", d));
  EXPECT_EQ(d, (double)0.1f);

  EXPECT_TRUE(c.SetPropertyBool("m_bOn", true));
  EXPECT_TRUE(c.m_bOn);
  EXPECT_TRUE(c.SetPropertyBool("m_bLegacy", true));
  EXPECT_EQ(c.m_bLegacy, 1);
  bool b = false;
  ASSERT_TRUE(c.GetPropertyBool("m_bLegacy", b));
  EXPECT_TRUE(b);

  // Vectors: integer vectors truncate each component; w is left alone.
  EXPECT_TRUE(c.SetPropertyVector("m_viCell", 4.9, -5.9, 6.0));
  EXPECT_EQ(c.m_viCell[0], 4);
  EXPECT_EQ(c.m_viCell[1], -5);
  EXPECT_TRUE(c.SetPropertyVector("m_vTarget", 7, 8, 9));
  EXPECT_TRUE(c.m_vTarget == VisVector_cl(7, 8, 9));
  EXPECT_EQ(c.m_vTarget.w, 7.0f);
  EXPECT_TRUE(c.SetPropertyVector("m_vdPoint", 0.1, 0.2, 0.3));
  double x, y, z;
  ASSERT_TRUE(c.GetPropertyVector("m_vdPoint", x, y, z));
  EXPECT_EQ(z, 0.3);

  EXPECT_TRUE(c.SetPropertyText("m_sName", "Jolly"));
  EXPECT_STREQ(c.m_sName.AsChar(), "Jolly");
  VString text("old");
  ASSERT_TRUE(c.GetPropertyText("m_sModel", text));
  EXPECT_STREQ(text.AsChar(), "") << "a text without text reads empty";

  EXPECT_TRUE(c.SetPropertyColor("m_cTint", VColorRef(1, 2, 3, 4)));
  VColorRef colour;
  ASSERT_TRUE(c.GetPropertyColor("m_cTint", colour));
  EXPECT_TRUE(colour == VColorRef(1, 2, 3, 4));
}

TEST(BaseComponentTest, UnknownNamesAndWrongKindsChangeNothing) {
  CtProbeComponent c;
  EXPECT_EQ(c.GetPropertyKind("m_nothing"), BaseComponent::PROPERTY_UNSUPPORTED);
  EXPECT_EQ(c.GetPropertyKind("m_sModel"), BaseComponent::PROPERTY_TEXT);
  EXPECT_EQ(c.GetPropertyKind("m_viCell"), BaseComponent::PROPERTY_VECTOR);
  EXPECT_FALSE(c.SetPropertyNumber("m_nothing", 1));
  EXPECT_FALSE(c.SetPropertyNumber(nullptr, 1));
  EXPECT_FALSE(c.SetPropertyNumber("m_sName", 1));
  EXPECT_FALSE(c.SetPropertyBool("m_iCount", true));
  EXPECT_FALSE(c.SetPropertyText("m_fSpeed", "3"));
  EXPECT_FALSE(c.SetPropertyColor("m_vTarget", VColorRef()));
  EXPECT_FALSE(c.SetPropertyVector("m_cTint", 1, 2, 3));
  EXPECT_EQ(c.m_iCount, 5);
  EXPECT_FLOAT_EQ(c.m_fSpeed, 1.5f);
  EXPECT_STREQ(c.m_sName.AsChar(), "start");
  double d = 99;
  EXPECT_FALSE(c.GetPropertyNumber("m_bOn", d));
  EXPECT_EQ(d, 99);
}

// ---- debug component --------------------------------------------------------------

class DebugComponentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Vision::Message.ClearAll();
    Vision::Message.SetMaxNum(100);
    m_savedStep = Vision::Timer.GetFixedTimeStep();
    Vision::Timer.SetFixedTimeStep(0.25f);
  }
  void TearDown() override {
    Vision::Timer.SetFixedTimeStep(m_savedStep);
    Vision::Message.SetMaxNum(8);
    Vision::Message.ClearAll();
  }
  // One frame of a quarter second.
  static void Frame() {
    Vision::Timer.Update();
    Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
  }
  static std::vector<std::string> Shown() { return Vision::Message.GetMessages(); }
  float m_savedStep = 0;
};

TEST_F(DebugComponentTest, RepeatsCollapseUntilADifferentMessage) {
  VisTypedEngineObject_cl owner;
  auto* debug = new DebugComponent();
  ASSERT_TRUE(owner.AddComponent(debug));
  for (int i = 0; i < 5; ++i) owner.SendMsg(VIS_MSG_USR_SHIP_HIT_HULL);
  EXPECT_EQ(Shown(), std::vector<std::string>{"VIS_MSG_USR_SHIP_HIT_HULL "});
  EXPECT_EQ(debug->GetRepeatCount(), 4);
  owner.SendMsg(VIS_MSG_USER_CANNON_FIRED);
  owner.SendMsg(999);
  EXPECT_EQ(Shown(), (std::vector<std::string>{"VIS_MSG_USR_SHIP_HIT_HULL ", "VIS_MSG_USR_SHIP_HIT_HULL  : (4)",
                                               "VIS_MSG_USER_CANNON_FIRED ", "Undefined Message "}));
  EXPECT_STREQ(debug->GetLastMessage(), "Undefined Message ");
}

TEST_F(DebugComponentTest, RepeatsAreReportedOnceASecond) {
  VisTypedEngineObject_cl owner;
  auto* debug = new DebugComponent();
  ASSERT_TRUE(owner.AddComponent(debug));
  EXPECT_TRUE(Vision::Callbacks.OnUpdateSceneBegin.IsRegistered(debug));
  owner.SendMsg(VIS_MSG_USER_SHIP_SINK);
  Frame();
  Frame();  // nothing counted: no time is gathered
  for (int i = 0; i < 3; ++i) owner.SendMsg(VIS_MSG_USER_SHIP_SINK);
  Frame();
  Frame();
  Frame();
  EXPECT_EQ(Shown().size(), 1u) << "three quarters of a second";
  Frame();
  EXPECT_EQ(Shown(), (std::vector<std::string>{"VIS_MSG_USER_SHIP_SINK ", "VIS_MSG_USER_SHIP_SINK  : (3)"}));
  EXPECT_EQ(debug->GetRepeatCount(), 0);

  // Detached, it leaves the per-frame callback.
  ASSERT_TRUE(owner.RemoveComponent(debug));
  EXPECT_FALSE(Vision::Callbacks.OnUpdateSceneBegin.IsRegistered(debug));
  delete debug;
}

TEST(ComponentMessagesTest, NamedIdentifiersCarryTheirDebugNames) {
  struct Case {
    int id;
    const char* name;
  } cases[] = {{2, "VIS_MSG_USER_SHIP_INCSAILMODE "},       {10, "VIS_MSG_USER_SHIP_SETTARGETHEADING "},
               {11, "VIS_MSG_USR_SHIP_HIT_HULL "},          {12, "VIS_MSG_USR_SHIP_HIT_SAILS "},
               {19, "VIS_MSG_USER_SHIP_HIT_HULL_CRITICAL "}, {51, "VIS_MSG_USER_CANNON_IGNITE_LEFT "},
               {55, "VIS_MSG_USER_CANNON_IGNITE "},         {59, "VIS_MSG_USER_CANNON_FIRED "},
               {1, nullptr},  {20, nullptr},  {53, nullptr},  {127, nullptr},  {500, nullptr}};
  for (const Case& c : cases) {
    const char* name = GetComponentMessageName(c.id);
    if (c.name)
      EXPECT_STREQ(name, c.name) << c.id;
    else
      EXPECT_EQ(name, nullptr) << c.id;
  }
  EXPECT_EQ(VIS_MSG_USER_CAMERA_FOLLOW_START, 127);
  EXPECT_EQ(VIS_MSG_USER_CAMERA_CONVERSATION_END, 130);
}

}  // namespace
