// Attack orders through a soldier's script: a script with "AttackEntity" is called
// with the target and true instead of the attack message; one without gets the message.
#include "SoldierFixture.h"

#include "core/ComponentMessages.h"
#include "entities/UnitEntity.h"

#include "support/MessageRecorder.h"

#include <gtest/gtest.h>

namespace {

class UnitAttackScriptTest : public SoldierFixture {
 protected:
  UnitEntity* MakeUnitOf(int nation, std::initializer_list<SoldierEntity*> soldiers) {
    auto* unit = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(0, 0, 0)));
    unit->SetNation(nation);
    for (SoldierEntity* s : soldiers) unit->AddSoldier(s);
    return unit;
  }
  static int ScriptInt(SoldierEntity* soldier, const char* name) {
    int v = -1;
    soldier->GetScriptValue(name, v);
    return v;
  }
};

TEST_F(UnitAttackScriptTest, ScriptedSoldiersAreCalledAndTheOthersGetTheMessage) {
  SoldierEntity* scripted = MakeSoldier(VisVector_cl(0, 0, 0));
  SoldierEntity* plain = MakeSoldier(VisVector_cl(2, 0, 0));
  GiveScript(scripted,
             "attacks = 0\nforced = 0\n"
             "function AttackEntity(self, target, force)\n"
             "  if target ~= nil then attacks = attacks + 1 end\n"
             "  if force then forced = forced + 1 end\n"
             "end\n");
  UnitEntity* own = MakeUnitOf(1, {scripted, plain});
  SoldierEntity* foe = MakeSoldier(VisVector_cl(30, 0, 0));
  UnitEntity* enemy = MakeUnitOf(2, {foe});
  auto* scriptedLog = new MessageRecorder();
  scripted->AddComponent(scriptedLog);
  auto* plainLog = new MessageRecorder();
  plain->AddComponent(plainLog);

  own->SetTarget(foe);
  EXPECT_EQ(ScriptInt(scripted, "attacks"), 1);
  EXPECT_EQ(ScriptInt(scripted, "forced"), 1);
  EXPECT_EQ(scriptedLog->Count(VIS_MSG_USER_UNIT_ATTACK_ORDER), 0);
  ASSERT_EQ(plainLog->Count(VIS_MSG_USER_UNIT_ATTACK_ORDER), 1);
  EXPECT_EQ(plainLog->firstParameters.back(), (INT_PTR)&foe->GetPosition());

  own->SetTarget(enemy);
  EXPECT_EQ(ScriptInt(scripted, "attacks"), 2);
  EXPECT_EQ(plainLog->Count(VIS_MSG_USER_UNIT_ATTACK_ORDER), 2);
}

}  // namespace
