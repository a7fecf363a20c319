// The "SpeechManager" script table: scripts start and end conversations and play
// spoken files.
#include "Managers/SpeechManager.h"
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"

#include "engine/Vision.h"

using namespace ScriptArgs;

namespace {

const char* const kExpectFile = "Expected const char*";

// The speaker of argument idx: nil is none; anything but an engine object raises.
// An engine object that is no entity has no place to speak from.
VisBaseEntity_cl* CheckSpeaker(lua_State* L, int idx) {
  if (lua_isnoneornil(L, idx)) return nullptr;
  VisTypedEngineObject_cl* object = CheckEngineObject(L, idx);
  return object->IsOfType(VisBaseEntity_cl::GetClassTypeId()) ? static_cast<VisBaseEntity_cl*>(object) : nullptr;
}

int PlaySound2D(lua_State* L) {
  const char* file = CheckString(L, 1, kExpectFile);
  SpeechManager::GetInstance()->PlaySound2D(file);
  return 0;
}

int PlaySound3D(lua_State* L) {
  VisBaseEntity_cl* entity = CheckSpeaker(L, 1);
  const char* file = CheckString(L, 2, kExpectFile);
  SpeechManager::GetInstance()->PlaySound3D(entity, file);
  return 0;
}

int StartConversation(lua_State* L) {
  VisBaseEntity_cl* entity = CheckSpeaker(L, 1);
  const VisVector_cl offset = OptVector(L, 2, VisVector_cl(0, 0, 0));
  const VisVector_cl direction = OptVector(L, 3, VisVector_cl(0, 0, 0));
  const bool pauseGame = OptBool(L, 4, true);
  SpeechManager::GetInstance()->StartConversation(entity, offset, direction, pauseGame);
  return 0;
}

int EndConversation(lua_State*) {
  SpeechManager::GetInstance()->EndConversation();
  return 0;
}

int IsInConversation(lua_State* L) { return PushBool(L, SpeechManager::GetInstance()->IsInConversation()); }

}  // namespace

const luaL_Reg SpeechManager_methods[] = {
    {"PlaySound2D", PlaySound2D},
    {"PlaySound3D", PlaySound3D},
    {"StartConversation", StartConversation},
    {"EndConversation", EndConversation},
    {"IsInConversation", IsInConversation},
    {nullptr, nullptr},
};

void RegisterSpeechManagerWrapper(lua_State* L) {
  luaL_register(L, "SpeechManager", SpeechManager_methods);
  lua_pop(L, 1);
}
