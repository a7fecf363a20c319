#include "engine/base/VarTable.h"

#include "engine/base/VType.h"
#include "engine/base/VisError.h"
#include "engine/base/VisMath.h"

#include <gtest/gtest.h>

namespace {

// One member of every kind, with guard bytes after the narrow ones.
class VarTestObject : public VTypedObject {
  V_DECLARE_DYNCREATE(VarTestObject)
 public:
  int m_iCount = 0;
  short m_sSmall = 0;
  float m_fSpeed = 0;
  double m_dTime = 0;
  bool m_bFlag = false;
  char m_guard1 = 'G';
  BOOL m_bWide = FALSE;
  int m_eKind = 0;
  VisVector_cl m_vPos{0, 0, 0, 7.0f};
  int m_iGrid[3] = {0, 0, 0};
  VString m_sName;
  VString m_sModel;
  VColorRef m_cTint;
  double m_dWrongSize = 0;  // declared as a float variable below: refused

  std::vector<std::pair<std::string, std::string>> changes;
  void OnVariableValueChanged(VisVariable_cl* var, const char* value) override {
    // The new value is in place when the object hears of it.
    VString now;
    GetVariableValue(var->name, now);
    changes.emplace_back(var->name, std::string(value) + "|" + now.AsChar());
  }
};

void VarTestObject_BuildVarList(VARTABLE& t) {
  VAR_INT(t, VarTestObject, m_iCount, "Count", "3");
  VAR_INT(t, VarTestObject, m_sSmall, "Small", "-2");
  VAR_FLOAT(t, VarTestObject, m_fSpeed, "Speed", "1.5");
  VAR_DOUBLE(t, VarTestObject, m_dTime, "Time", "0.25");
  VAR_BOOL(t, VarTestObject, m_bFlag, "Flag", "TRUE");
  VAR_BOOL(t, VarTestObject, m_bWide, "Wide flag", "FALSE");
  VAR_ENUM(t, VarTestObject, m_eKind, "Kind", "PROJECTILE_BALL", "PROJECTILE_CANNON, PROJECTILE_BALL ,PROJECTILE_GRAPE");
  VAR_VECTOR(t, VarTestObject, m_vPos, "Position", "120/120/120");
  V_DEFINE_VAR(t, VarTestObject, m_iGrid, VULPTYPE_VECTOR_INT, "Grid", "1/2/3", nullptr);
  VAR_STRING(t, VarTestObject, m_sName, "Name", "Unnamed");
  VAR_TEXT(t, VarTestObject, m_sModel, VULPTYPE_MODEL, "Model", "Models\\Ship.model");
  VAR_COLOR(t, VarTestObject, m_cTint, "Tint", "255/128/0/255");
}

class VarTestBroken : public VTypedObject {
  V_DECLARE_DYNCREATE(VarTestBroken)
 public:
  double m_dValue = 0;
  char m_guard = 'G';
};
void VarTestBroken_BuildVarList(VARTABLE& t) { VAR_FLOAT(t, VarTestBroken, m_dValue, "Mismatched", "1"); }

V_IMPLEMENT_DYNCREATE_VARS(VarTestObject, VTypedObject, &VarTestObject_BuildVarList)
V_IMPLEMENT_DYNCREATE_VARS(VarTestBroken, VTypedObject, &VarTestBroken_BuildVarList)

std::string Text(const VTypedObject& o, const char* name) {
  VString s;
  EXPECT_TRUE(o.GetVariableValue(name, s)) << name;
  return s.AsChar();
}

}  // namespace

TEST(VarTable, TextFormsReadBackAsTheyWereSet) {
  // Set from the first text, read back as the second.
  struct Case { const char* var; const char* in; const char* out; };
  const Case cases[] = {
      {"m_iCount", "42", "42"},
      {"m_iCount", " -7 ", "-7"},
      {"m_sSmall", "-300", "-300"},
      {"m_fSpeed", "0.1", "0.1"},
      {"m_fSpeed", "16", "16"},
      {"m_dTime", "1e-7", "1e-07"},
      {"m_bFlag", "TRUE", "TRUE"},
      {"m_bFlag", "false", "FALSE"},
      {"m_bFlag", "1", "TRUE"},
      {"m_bWide", "True", "TRUE"},
      {"m_bWide", "0", "FALSE"},
      {"m_eKind", "PROJECTILE_GRAPE", "PROJECTILE_GRAPE"},
      {"m_eKind", "projectile_ball", "PROJECTILE_BALL"},
      {"m_eKind", "0", "PROJECTILE_CANNON"},
      {"m_vPos", "120/120/120", "120/120/120"},
      {"m_vPos", "-1.5/0.25/3", "-1.5/0.25/3"},
      {"m_iGrid", "4/-5/6", "4/-5/6"},
      {"m_sName", "Black Pearl", "Black Pearl"},
      {"m_sName", "", ""},
      {"m_sModel", "Models\\Brig.MODEL", "Models\\Brig.MODEL"},
      {"m_cTint", "10/20/30/40", "10/20/30/40"},
      {"m_cTint", "1/2/3", "1/2/3/255"},
  };
  for (const Case& c : cases) {
    VarTestObject o;
    EXPECT_TRUE(o.SetVariable(c.var, c.in)) << c.var << " = " << c.in;
    EXPECT_EQ(Text(o, c.var), c.out) << c.var << " = " << c.in;
  }
}

TEST(VarTable, TextOfTheWrongKindLeavesTheMemberAlone) {
  struct Case { const char* var; const char* in; };
  const Case cases[] = {
      {"m_iCount", "abc"}, {"m_iCount", "1.5"}, {"m_iCount", ""}, {"m_iCount", "99999999999"},
      {"m_sSmall", "40000"}, {"m_fSpeed", "fast"}, {"m_fSpeed", "nan"}, {"m_bFlag", "yes"},
      {"m_eKind", "PROJECTILE_LASER"}, {"m_eKind", "3"}, {"m_eKind", "-1"}, {"m_vPos", "1/2"},
      {"m_vPos", "1/2/3/4"}, {"m_vPos", "1/x/3"}, {"m_cTint", "256/0/0/0"}, {"m_cTint", "1/2"},
      {"m_cTint", "-1/0/0/0"},
  };
  for (const Case& c : cases) {
    VarTestObject o;
    VARTABLE* t = o.GetTypeId()->GetVarTable();
    t->ApplyDefaults(&o);
    const std::string before = Text(o, c.var);
    EXPECT_FALSE(o.SetVariable(c.var, c.in)) << c.var << " = " << c.in;
    EXPECT_EQ(Text(o, c.var), before) << c.var << " = " << c.in;
    EXPECT_TRUE(o.changes.empty()) << c.var << " = " << c.in;
  }
}

TEST(VarTable, MembersAreWrittenAtTheirOwnSize) {
  VarTestObject o;
  ASSERT_EQ(o.GetVariable("m_bFlag")->storageSize, 1);
  ASSERT_EQ(o.GetVariable("m_bWide")->storageSize, 4);
  o.m_bWide = 0x7f7f7f7f;  // a 4-byte bool is rewritten whole
  ASSERT_TRUE(o.SetVariable("m_bFlag", "TRUE"));
  ASSERT_TRUE(o.SetVariable("m_bWide", "TRUE"));
  EXPECT_TRUE(o.m_bFlag);
  EXPECT_EQ(o.m_guard1, 'G');
  EXPECT_EQ(o.m_bWide, 1);
  ASSERT_TRUE(o.SetVariable("m_vPos", "1/2/3"));
  EXPECT_EQ(o.m_vPos.w, 7.0f);  // only x, y and z are the variable's
}

TEST(VarTable, AMemberOfTheWrongSizeIsRefused) {
  VarTestBroken o;
  Vision::Error.ResetAssertCount();
  EXPECT_FALSE(o.SetVariable("m_dValue", "2"));
  EXPECT_EQ(o.m_dValue, 0.0);
  EXPECT_EQ(o.m_guard, 'G');
  EXPECT_GE(Vision::Error.GetAssertCount(), 1);
}

TEST(VarTable, TextKindsAreCutToTheirMaximumLength) {
  VarTestObject o;
  const std::string longName(300, 'n');
  ASSERT_TRUE(o.SetVariable("m_sName", longName.c_str()));
  EXPECT_EQ(o.m_sName.GetLength(), 128);
  VisVariable_cl var = *o.GetVariable("m_sName");
  var.maxLength = 4;
  ASSERT_TRUE(var.SetValueFromText(&o, "Frigate"));
  EXPECT_EQ(o.m_sName, "Frig");
}

TEST(VarTable, SetVariableNotifiesAfterTheChangeOnlyWhenItSucceeds) {
  VarTestObject o;
  EXPECT_TRUE(o.SetVariable("m_iCount", "5"));
  EXPECT_FALSE(o.SetVariable("m_iUnknown", "5"));
  EXPECT_FALSE(o.SetVariable("m_iCount", "five"));
  ASSERT_EQ(o.changes.size(), 1u);
  EXPECT_EQ(o.changes[0].first, "m_iCount");
  EXPECT_EQ(o.changes[0].second, "5|5");
  VString s;
  EXPECT_FALSE(o.GetVariableValue("m_iUnknown", s));
}

TEST(VarTable, DefaultsApplyEveryVariable) {
  VarTestObject o;
  o.GetTypeId()->GetVarTable()->ApplyDefaults(&o);
  EXPECT_EQ(o.m_iCount, 3);
  EXPECT_EQ(o.m_sSmall, -2);
  EXPECT_EQ(o.m_fSpeed, 1.5f);
  EXPECT_TRUE(o.m_bFlag);
  EXPECT_EQ(o.m_eKind, 1);
  EXPECT_EQ(o.m_vPos.x, 120.0f);
  EXPECT_EQ(o.m_iGrid[2], 3);
  EXPECT_EQ(o.m_sName, "Unnamed");
  EXPECT_EQ(o.m_cTint, VColorRef(255, 128, 0, 255));
  EXPECT_TRUE(o.changes.empty());
}

TEST(VarTable, ParameterStringListsEveryVariableAndAppliesAgain) {
  VarTestObject a;
  VARTABLE* t = a.GetTypeId()->GetVarTable();
  t->ApplyDefaults(&a);
  a.m_sName = "Say \"hi\" and go";
  const VString params = t->GetParameterString(&a);
  EXPECT_EQ(params,
            "m_iCount=\"3\",m_sSmall=\"-2\",m_fSpeed=\"1.5\",m_dTime=\"0.25\",m_bFlag=\"TRUE\","
            "m_bWide=\"FALSE\",m_eKind=\"PROJECTILE_BALL\",m_vPos=\"120/120/120\",m_iGrid=\"1/2/3\","
            "m_sName=\"Say \"hi\" and go\",m_sModel=\"Models\\Ship.model\",m_cTint=\"255/128/0/255\"");

  VarTestObject b;
  EXPECT_EQ(t->ApplyParameterString(&b, params), t->GetCount());
  EXPECT_EQ(t->GetParameterString(&b), params);
  EXPECT_EQ(b.changes.size(), (size_t)t->GetCount());  // applied through SetVariable
}

TEST(VarTable, ParameterStringSkipsUnknownNamesAndStopsWhenMalformed) {
  VARTABLE* t = V_RUNTIME_CLASS(VarTestObject)->GetVarTable();
  VarTestObject o;
  EXPECT_EQ(t->ApplyParameterString(&o, " m_iCount = \"9\" , m_iNope=\"1\",m_fSpeed=\"2\""), 2);
  EXPECT_EQ(o.m_iCount, 9);
  EXPECT_EQ(o.m_fSpeed, 2.0f);
  VarTestObject p;
  EXPECT_EQ(t->ApplyParameterString(&p, "m_iCount=\"4\",m_fSpeed=2,m_sName=\"x\""), 1);
  EXPECT_EQ(p.m_sName, "");
  EXPECT_EQ(t->ApplyParameterString(&p, "m_sName=\"unterminated"), 0);
  EXPECT_EQ(t->ApplyParameterString(&p, ""), 0);
  EXPECT_EQ(t->ApplyParameterString(&p, nullptr), 0);
}

TEST(VarTable, TextTypeCodes) {
  for (int type : {9, 10, 11, 12, 64, 65, 67, 68, 69, 70}) EXPECT_TRUE(VULPTypeIsText(type)) << type;
  for (int type : {0, 2, 3, 4, 5, 6, 7, 8, 13, 66, 132}) EXPECT_FALSE(VULPTypeIsText(type)) << type;
}
