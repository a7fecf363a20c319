// The "ArtifactManager" script table: scripts activate artifacts and potions, give
// items, hand out ghost numbers and drive the grog and tool cool-downs.
#include "Managers/ArtifactManager.h"
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"
#include "Managers/RadarManager.h"

using namespace ScriptArgs;

namespace {

const float kDefaultCooldownReset = 60.0f;

int ActivateArtifact(lua_State* L) {
  const int id = CheckInt(L, 1);
  const float duration = CheckFloat(L, 2);
  const float effect = CheckFloat(L, 3);
  const float cooldown = OptFloat(L, 4, 0.0f);
  const char* image = OptString(L, 5, "");
  ArtifactManager::GetInstance()->ActivateArtifact(id, duration, effect, image, cooldown);
  return 0;
}

int ActivatePotion(lua_State* L) {
  const int id = CheckInt(L, 1);
  const float duration = CheckFloat(L, 2);
  const float effect = CheckFloat(L, 3);
  ArtifactManager::GetInstance()->ActivatePotion(id, duration, effect);
  return 0;
}

int IsActive(lua_State* L) { return PushBool(L, ArtifactManager::GetInstance()->IsActive(CheckInt(L, 1))); }

int GiveArtifact(lua_State* L) {
  const int id = CheckInt(L, 1);
  const int first = OptInt(L, 2, -1);
  const int second = OptInt(L, 3, -1);
  ArtifactManager::GetInstance()->GiveArtifact(id, first, second);
  return 0;
}

int AssignGhost(lua_State* L) { return PushInt(L, ArtifactManager::GetInstance()->AssignGhost()); }

int GetCurrentGhost(lua_State* L) { return PushInt(L, ArtifactManager::GetInstance()->GetCurrentGhost()); }

int GetGrogCooldown(lua_State* L) { return PushFloat(L, ArtifactManager::GetInstance()->GetGrogCooldown()); }

int GetToolCooldown(lua_State* L) { return PushFloat(L, ArtifactManager::GetInstance()->GetToolCooldown()); }

int ResetGrogCooldown(lua_State* L) {
  ArtifactManager::GetInstance()->ResetGrogCooldown(OptFloat(L, 1, kDefaultCooldownReset));
  return 0;
}

int ResetToolCooldown(lua_State* L) {
  ArtifactManager::GetInstance()->ResetToolCooldown(OptFloat(L, 1, kDefaultCooldownReset));
  return 0;
}

int BlueprintCollected(lua_State*) {
  ArtifactManager::GetInstance();
  RadarManager::GetInstance()->ResetNearestBlueprint();
  return 0;
}

}  // namespace

const luaL_Reg ArtifactManager_methods[] = {
    {"ActivateArtifact", ActivateArtifact},
    {"ActivatePotion", ActivatePotion},
    {"IsActive", IsActive},
    {"GiveArtifact", GiveArtifact},
    {"AssignGhost", AssignGhost},
    {"GetCurrentGhost", GetCurrentGhost},
    {"GetGrogCooldown", GetGrogCooldown},
    {"GetToolCooldown", GetToolCooldown},
    {"ResetGrogCooldown", ResetGrogCooldown},
    {"ResetToolCooldown", ResetToolCooldown},
    {"BlueprintCollected", BlueprintCollected},
    {nullptr, nullptr},
};

void RegisterArtifactManagerWrapper(lua_State* L) {
  luaL_register(L, "ArtifactManager", ArtifactManager_methods);
  lua_pop(L, 1);
}
