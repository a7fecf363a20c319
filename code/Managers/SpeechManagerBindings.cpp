// The "SpeechManager" script table: scripts put bubbles over speakers, speak
// conversation lines, start and end conversations and play spoken files.
#include "Managers/SpeechManager.h"
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"
#include "gui/GUIManager.h"

#include "engine/Vision.h"

using namespace ScriptArgs;

namespace {

const char* const kExpectText = "Expected const char*";

// The speaker of argument idx: nil is none; anything but an engine object raises.
// An engine object that is no entity has no place to speak from.
VisBaseEntity_cl* CheckSpeaker(lua_State* L, int idx) {
  if (lua_isnoneornil(L, idx)) return nullptr;
  VisTypedEngineObject_cl* object = CheckEngineObject(L, idx);
  return object->IsOfType(VisBaseEntity_cl::GetClassTypeId()) ? static_cast<VisBaseEntity_cl*>(object) : nullptr;
}

// A refused bubble or line is nil to the script.
int PushId(lua_State* L, int id) {
  if (id < 0) {
    lua_pushnil(L);
    return 1;
  }
  return PushInt(L, id);
}

int Say(lua_State* L) {
  VisBaseEntity_cl* entity = CheckSpeaker(L, 1);
  const char* textKey = CheckString(L, 2, kExpectText);
  const float duration = CheckFloat(L, 3);
  const char* insertKey = OptString(L, 4, "");
  return PushId(L, SpeechManager::GetInstance()->Say(entity, textKey, insertKey, duration));
}

int IsBubbleVisible(lua_State* L) {
  const int number = CheckInt(L, 1);
  return PushBool(L, GUIManager::HasInstance() && GUIManager::GetInstance()->IsSpeechBubbleVisible(number));
}

int Talk(lua_State* L) {
  const char* speakerKey = CheckString(L, 1, kExpectText);
  const char* textKey = CheckString(L, 2, kExpectText);
  const char* insertKey = CheckString(L, 3, kExpectText);
  const char* image = CheckString(L, 4, kExpectText);
  const float duration = CheckFloat(L, 5);
  const bool leftSide = CheckBool(L, 6);
  const bool lastLine = CheckBool(L, 7);
  return PushId(L, SpeechManager::GetInstance()->Talk(speakerKey, textKey, insertKey, image, duration, leftSide,
                                                      lastLine));
}

int IsSpeechWindowVisible(lua_State* L) {
  const int id = CheckInt(L, 1);
  return PushBool(L, GUIManager::HasInstance() && GUIManager::GetInstance()->IsSpeechWindowVisible(id));
}

int PlaySound2D(lua_State* L) {
  const char* file = CheckString(L, 1, kExpectText);
  SpeechManager::GetInstance()->PlaySound2D(file);
  return 0;
}

int PlaySound3D(lua_State* L) {
  VisBaseEntity_cl* entity = CheckSpeaker(L, 1);
  const char* file = CheckString(L, 2, kExpectText);
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

// Facing along the speaker's own orientation; only its pause is the script's choice.
int StartHLConversation(lua_State* L) {
  VisBaseEntity_cl* entity = CheckSpeaker(L, 1);
  const bool pauseGame = OptBool(L, 4, true);
  if (!entity) return 0;
  const VisVector_cl zero(0, 0, 0);
  SpeechManager::GetInstance()->StartConversation(entity, zero, zero, pauseGame);
  return 0;
}

int EndConversation(lua_State*) {
  SpeechManager::GetInstance()->EndConversation();
  return 0;
}

int IsInConversation(lua_State* L) { return PushBool(L, SpeechManager::GetInstance()->IsInConversation()); }

}  // namespace

const luaL_Reg SpeechManager_methods[] = {
    {"Say", Say},
    {"PlaySound2D", PlaySound2D},
    {"PlaySound3D", PlaySound3D},
    {"IsBubbleVisible", IsBubbleVisible},
    {"Talk", Talk},
    {"IsSpeechWindowVisible", IsSpeechWindowVisible},
    {"StartConversation", StartConversation},
    {"StartHLConversation", StartHLConversation},
    {"EndConversation", EndConversation},
    {"IsInConversation", IsInConversation},
    {nullptr, nullptr},
};

void RegisterSpeechManagerWrapper(lua_State* L) {
  luaL_register(L, "SpeechManager", SpeechManager_methods);
  lua_pop(L, 1);
}
