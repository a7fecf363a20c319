#include "engine/base/VType.h"

#include "engine/base/VarTable.h"

#include <gtest/gtest.h>

namespace {

// The derived record is defined before its parent's: static records of different
// files come up in any order, and the registry must not care.
class TypeTestBase : public VTypedObject {
  V_DECLARE_DYNCREATE(TypeTestBase)
 public:
  int m_iBase = 0;
};

class TypeTestDerived : public TypeTestBase {
  V_DECLARE_DYNCREATE(TypeTestDerived)
 public:
  float m_fOwn = 0;
};

class TypeTestAbstract : public VTypedObject {
  V_DECLARE_DYNAMIC(TypeTestAbstract)
};

int g_derivedBuilds = 0;
void TypeTestBase_BuildVarList(VARTABLE& t) { VAR_INT(t, TypeTestBase, m_iBase, "Base value", "3"); }
void TypeTestDerived_BuildVarList(VARTABLE& t) {
  ++g_derivedBuilds;
  VAR_FLOAT(t, TypeTestDerived, m_fOwn, "Own value", "0.5");
}

V_IMPLEMENT_DYNCREATE_VARS(TypeTestDerived, TypeTestBase, &TypeTestDerived_BuildVarList)
V_IMPLEMENT_DYNCREATE_VARS(TypeTestBase, VTypedObject, &TypeTestBase_BuildVarList)
V_IMPLEMENT_DYNAMIC(TypeTestAbstract, VTypedObject)

}  // namespace

TEST(VType, FindsTypesByNameWithoutRegardToCase) {
  EXPECT_EQ(VType::FindType("TypeTestDerived"), V_RUNTIME_CLASS(TypeTestDerived));
  EXPECT_EQ(VType::FindType("typetestDERIVED"), V_RUNTIME_CLASS(TypeTestDerived));
  EXPECT_EQ(VType::FindType("VTypedObject"), VTypedObject::GetClassTypeId());
  EXPECT_EQ(VType::FindType("NoSuchType"), nullptr);
  EXPECT_EQ(VType::FindType(nullptr), nullptr);

  bool listed = false;
  for (int i = 0; i < VType::GetTypeCount(); ++i) listed |= VType::GetTypeAt(i) == V_RUNTIME_CLASS(TypeTestBase);
  EXPECT_TRUE(listed);
  EXPECT_EQ(VType::GetTypeAt(-1), nullptr);
  EXPECT_EQ(VType::GetTypeAt(VType::GetTypeCount()), nullptr);
}

TEST(VType, CreatesOnlyCreatableClasses) {
  std::unique_ptr<VTypedObject> obj(VType::CreateObject("typetestderived"));
  ASSERT_NE(obj, nullptr);
  EXPECT_TRUE(obj->IsExactType(V_RUNTIME_CLASS(TypeTestDerived)));
  EXPECT_STREQ(obj->GetClassTypeName(), "TypeTestDerived");
  EXPECT_EQ(VType::CreateObject("TypeTestAbstract"), nullptr);
  EXPECT_EQ(VType::CreateObject("VTypedObject"), nullptr);
  EXPECT_EQ(VType::CreateObject("NoSuchType"), nullptr);
  EXPECT_FALSE(V_RUNTIME_CLASS(TypeTestAbstract)->CanCreate());
}

TEST(VType, DerivedClassesMatchTheirBases) {
  TypeTestDerived d;
  TypeTestBase b;
  EXPECT_TRUE(d.IsOfType(V_RUNTIME_CLASS(TypeTestBase)));
  EXPECT_TRUE(d.IsOfType(VTypedObject::GetClassTypeId()));
  EXPECT_FALSE(b.IsOfType(V_RUNTIME_CLASS(TypeTestDerived)));
  EXPECT_FALSE(d.IsOfType(V_RUNTIME_CLASS(TypeTestAbstract)));
  EXPECT_FALSE(d.IsOfType((const VType*)nullptr));
  EXPECT_TRUE(d.IsOfType("typetestbase"));
  EXPECT_FALSE(b.IsOfType("TypeTestDerived"));
  EXPECT_FALSE(d.IsExactType(V_RUNTIME_CLASS(TypeTestBase)));
  EXPECT_EQ(V_RUNTIME_CLASS(TypeTestDerived)->GetParent(), V_RUNTIME_CLASS(TypeTestBase));
}

TEST(VType, DisplayNameDefaultsToTheClassName) {
  VType t("TypeTestFog", VTypedObject::GetClassTypeId(), nullptr, 4);
  EXPECT_STREQ(t.GetDisplayName(), "TypeTestFog");
  t.SetDisplayName("Volumetric Fog");
  EXPECT_STREQ(t.GetDisplayName(), "Volumetric Fog");
}

TEST(VType, ARecordLeavesTheRegistryWithItsLibrary) {
  {
    VType temp("TypeTestTemporary", VTypedObject::GetClassTypeId(), nullptr, 4);
    EXPECT_EQ(VType::FindType("TypeTestTemporary"), &temp);
  }
  EXPECT_EQ(VType::FindType("TypeTestTemporary"), nullptr);
}

TEST(VType, VariableTableHasInheritedVariablesFirstAndIsBuiltOnce) {
  VARTABLE* t = V_RUNTIME_CLASS(TypeTestDerived)->GetVarTable();
  ASSERT_NE(t, nullptr);
  ASSERT_EQ(t->GetCount(), 2);
  EXPECT_STREQ(t->Get(0).name, "m_iBase");
  EXPECT_STREQ(t->Get(1).name, "m_fOwn");
  EXPECT_EQ(V_RUNTIME_CLASS(TypeTestDerived)->GetVarTable(), t);
  EXPECT_EQ(g_derivedBuilds, 1);
  EXPECT_EQ(V_RUNTIME_CLASS(TypeTestBase)->GetVarTable()->GetCount(), 1);
  EXPECT_EQ(V_RUNTIME_CLASS(TypeTestAbstract)->GetVarTable()->GetCount(), 0);

  // Inherited accessors reach the base part of a derived object.
  TypeTestDerived d;
  ASSERT_TRUE(d.SetVariable("m_iBase", "12"));
  EXPECT_EQ(d.m_iBase, 12);
  VString text;
  EXPECT_TRUE(d.GetVariableValue("m_fOwn", text));
  EXPECT_EQ(text, "0");
  EXPECT_EQ(d.GetVariable("m_ibase"), nullptr);  // variable names keep their case
}
