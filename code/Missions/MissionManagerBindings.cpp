// The "MissionManager" script table: scripts start missions, ask about them and
// add to the campaign's summary of mission reputation.
#include "Missions/MissionManager.h"
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"

using namespace ScriptArgs;

namespace {

MissionManager& Missions() { return MissionManager::GlobalManager(); }

// Every int argument of the table reports a wrong type the same way: "Expected
// int", and the call acts on nothing.
int AddMission(lua_State* L) {
  const int id = CheckInt(L, 1);
  Missions().OpenNextMission(id);
  return 0;
}

int IsCompleted(lua_State* L) {
  const int id = CheckInt(L, 1);
  return PushBool(L, Missions().IsMissionCompleted(id));
}

int IsAccepted(lua_State* L) {
  const int id = CheckInt(L, 1);
  return PushBool(L, Missions().IsMissionOngoing(id));
}

int GetSummaryOfMissionReputation(lua_State* L) { return PushInt(L, Missions().GetSummaryOfMissionReputation()); }

int AddSummaryOfMissionReputation(lua_State* L) {
  const int amount = CheckInt(L, 1);
  Missions().AddSummaryOfMissionReputation(amount);
  return 0;
}

int OpenFactionMissionById(lua_State* L) {
  const int id = CheckInt(L, 1);
  Missions().OpenFactionMissionById(id);
  return 0;
}

int IsAnyMissionInConversation(lua_State* L) {
  const int id = OptInt(L, 1, -1);
  return PushBool(L, Missions().HasMissionStartedConversation(id));
}

int UpdateSelectedMissionTracking(lua_State*) {
  Missions().UpdateMissionTracking();
  return 0;
}

int EndCampaign(lua_State* L) {
  const bool showMainMenu = OptBool(L, 1, true);
  const bool rollCredits = OptBool(L, 2, false);
  Missions().EndCampaign(showMainMenu, rollCredits);
  return 0;
}

}  // namespace

const luaL_Reg MissionManager_methods[] = {
    {"AddMission", AddMission},
    {"IsCompleted", IsCompleted},
    {"IsAccepted", IsAccepted},
    {"GetSummaryOfMissionReputation", GetSummaryOfMissionReputation},
    {"AddSummaryOfMissionReputation", AddSummaryOfMissionReputation},
    {"IsMissionOngoing", IsAccepted},
    {"OpenFactionMissionById", OpenFactionMissionById},
    {"IsAnyMissionInConversation", IsAnyMissionInConversation},
    {"UpdateSelectedMissionTracking", UpdateSelectedMissionTracking},
    {"EndCampaign", EndCampaign},
    {nullptr, nullptr},
};

void RegisterMissionManagerWrapper(lua_State* L) {
  luaL_register(L, "MissionManager", MissionManager_methods);
  lua_pop(L, 1);
}
