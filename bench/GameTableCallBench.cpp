// A call from Lua into a function of the game's "GameManager" table with one int
// argument (GetMansionAccessible, read and checked through the shared binding
// helpers) beside a bare lua_CFunction doing the same work, in the same run.
// The per-call time is the "time_per_call" counter; compare the two.
#include "core/GameManager.h"
#include "core/ScriptBindings.h"
#include "entities/Nation.h"

#include "bench/LuaCallLoop.h"
#include "engine/Vision.h"

#include <cstdio>

namespace {

// The same work as the table function, without the helpers.
int BareMansionAccessible(lua_State* L) {
  int slot = (int)luaL_checkinteger(L, 1);
  Nation* nation = slot < 0 ? nullptr : GameManager::GetInstance()->GetNation((unsigned)slot);
  lua_pushboolean(L, nation && nation->GetMansionAccessible());
  return 1;
}

lua_State* PrepareState() {
  static lua_State* L = nullptr;
  if (L) return L;
  L = Vision::GetScriptManager()->GetMasterState();
  RegisterLuaBindings();
  // In a table of its own, so both calls look their function up the same way.
  static const luaL_Reg bare[] = {{"GetMansionAccessible", BareMansionAccessible}, {nullptr, nullptr}};
  luaL_register(L, "Bare", bare);
  lua_pop(L, 1);
  GameManager* gm = GameManager::GetInstance();
  gm->AddNation(new Nation(0, "Neutral"));
  gm->AddNation(new Nation(1, "Player"));
  return L;
}

// Each pass calls with i = 1.
void RunLoop(benchmark::State& state, const char* call) {
  char body[128];
  snprintf(body, sizeof(body), "local i = 1; for _ = 1, n do %s end", call);
  lua_bench::RunCallLoop(state, PrepareState(), body);
}

void BM_BareFunction(benchmark::State& state) { RunLoop(state, "Bare.GetMansionAccessible(i)"); }
void BM_GameTableFunction(benchmark::State& state) { RunLoop(state, "GameManager.GetMansionAccessible(i)"); }

BENCHMARK(BM_BareFunction);
BENCHMARK(BM_GameTableFunction);

}  // namespace

BENCHMARK_MAIN();
