// The "UnitEntity" script class: the soldiers of a unit from a script, and the
// argument errors that leave the unit as it was.
#include "support/ScriptBindingFixture.h"

#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"
#include "Managers/GameSessionManager.h"

#include <gmock/gmock.h>

using ::testing::HasSubstr;

namespace {

class UnitEntityBindingsTest : public ScriptBindingFixture {
 protected:
  void SetUp() override {
    ScriptBindingFixture::SetUp();
    unit = static_cast<UnitEntity*>(
        Vision::Game.CreateEntity("UnitEntity", VisVector_cl(0, 0, 0), nullptr, "m_iNumSoldiers=\"2\""));
    ASSERT_NE(unit, nullptr);
    SetGlobalObject("u", unit);
  }
  void TearDown() override {
    ScriptBindingFixture::TearDown();
    GameSessionManager::CleanInstance();
  }

  UnitEntity* unit = nullptr;
};

TEST_F(UnitEntityBindingsTest, ScriptsCountFetchAddAndTypeSoldiers) {
  EXPECT_EQ(Number("u:GetSoldierCount()"), 2);
  ASSERT_EQ(Run("s = u:GetSoldier(1)"), "");
  EXPECT_TRUE(Bool("s ~= nil"));
  EXPECT_TRUE(Bool("u:GetSoldier(2) == nil"));

  // A new soldier, then an existing one appended.
  ASSERT_EQ(Run("made = u:AddSoldier()"), "");
  EXPECT_EQ(unit->GetNumSoldiers(), 3);
  SoldierEntity* loose = static_cast<SoldierEntity*>(Vision::Game.CreateEntity("SoldierEntity", VisVector_cl(0, 0, 0)));
  SetGlobalObject("loose", loose);
  ASSERT_EQ(Run("added = u:AddSoldier(loose)"), "");
  EXPECT_EQ(unit->GetSoldierIndex(loose), 3);
  EXPECT_TRUE(Bool("added == loose"));

  ASSERT_EQ(Run("u:SetUnitType(12)"), "");
  EXPECT_EQ(unit->GetUnitType(), 12);
  ASSERT_EQ(Run("u:CreateSoldiers() u:ResetSoldierPositions()"), "");
  EXPECT_EQ(unit->GetNumSoldiers(), 4);
}

TEST_F(UnitEntityBindingsTest, AUnitInheritsTheEngineEntityMethodsNotBaseEntitys) {
  EXPECT_TRUE(Bool("u.GetPosition ~= nil and u.GetSoldierCount ~= nil"));
  EXPECT_TRUE(Bool("u.GetNation == nil and u.SetSave == nil"));
  ASSERT_EQ(Run("u:SetKey('Landing party')"), "");
  EXPECT_STREQ(unit->GetEntityKey(), "Landing party");
}

TEST_F(UnitEntityBindingsTest, WrongArgumentsRaiseTheirErrorsAndChangeNothing) {
  EXPECT_THAT(Run("u.GetSoldierCount(nil)"),
              HasSubstr("Expected native object of type UnitEntity*"));
  EXPECT_THAT(Run("u:SetUnitType('twelve')"), HasSubstr("Expected int"));
  EXPECT_THAT(Run("u:GetSoldier()"), HasSubstr("Expected int"));
  EXPECT_EQ(unit->GetUnitType(), 0);
}

}  // namespace
