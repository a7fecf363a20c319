// The "HeroStats" script class: a hero's units and skills for scripts.
#include "entities/HeroStats.h"

#include "core/GameManager.h"
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"
#include "entities/UnitEntity.h"
#include "entities/UnitEntityTemplate.h"

#include "engine/Vision.h"

using namespace ScriptArgs;

namespace {

const char* const kExpectString = "Expected const char *";

HeroStats* CheckHero(lua_State* L) {
  return CheckNativeObject<HeroStats>(L, 1, &HeroStats_info, "Expected native object of type HeroStats*");
}

// The hero's own unit and the units of its records: index 0 is the hero.
int GetUnitCount(lua_State* L) { return PushInt(L, CheckHero(L)->GetUnitRecordCount() + 1); }

int GetUnit(lua_State* L) {
  HeroStats* hero = CheckHero(L);
  int i = CheckInt(L, 2);
  UnitEntity* unit = nullptr;
  if (i == 0) {
    UnitEntityTemplate* own = hero->GetCharacterTemplate();
    VisBaseEntity_cl* entity = own ? GameManager::GetInstance()->FindEntityByUniqueID(own->m_iUniqueID) : nullptr;
    if (entity && entity->IsOfType(UnitEntity::GetClassTypeId())) unit = static_cast<UnitEntity*>(entity);
  } else {
    unit = hero->GetUnitByIndex(i - 1);
  }
  return PushObject(L, unit);
}

int AddSkill(lua_State* L) {
  HeroStats* hero = CheckHero(L);
  hero->AddSkill(CheckString(L, 2, kExpectString));
  return 0;
}

int HasSkill(lua_State* L) {
  HeroStats* hero = CheckHero(L);
  return PushBool(L, hero->HasSkill(CheckString(L, 2, kExpectString)));
}

const luaL_Reg HeroStats_methods[] = {
    {"GetUnitCount", GetUnitCount},
    {"GetUnit", GetUnit},
    {"AddSkill", AddSkill},
    {"HasSkill", HasSkill},
    {nullptr, nullptr},
};

}  // namespace

NativeClassInfo HeroStats_info = {"HeroStats", &VisTypedEngineObject_info, HeroStats_methods};
