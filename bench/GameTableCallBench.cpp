// A call from Lua into a function of the game's "GameManager" table with one int
// argument (GetMansionAccessible, read and checked through the shared binding
// helpers) beside a bare lua_CFunction doing the same work, in the same run.
// The per-call time is the "time_per_call" counter; compare the two.
#include "core/GameManager.h"
#include "core/ScriptBindings.h"
#include "entities/Nation.h"

#include "engine/Vision.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int kCallsPerRun = 1000;

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

// A script function that makes kCallsPerRun calls of the given expression with i = 1.
int MakeLoop(lua_State* L, const char* call) {
  char code[256];
  snprintf(code, sizeof(code), "return function(n) local i = 1; for _ = 1, n do %s end end", call);
  if (luaL_loadstring(L, code) != 0 || lua_pcall(L, 0, 1, 0) != 0) return LUA_NOREF;
  return luaL_ref(L, LUA_REGISTRYINDEX);
}

void RunLoop(benchmark::State& state, const char* call) {
  lua_State* L = PrepareState();
  int loop = MakeLoop(L, call);
  if (loop == LUA_NOREF) {
    state.SkipWithError("could not build the loop");
    return;
  }
  for (auto _ : state) {
    lua_rawgeti(L, LUA_REGISTRYINDEX, loop);
    lua_pushinteger(L, kCallsPerRun);
    if (lua_pcall(L, 1, 0, 0) != 0) {
      state.SkipWithError(lua_tostring(L, -1));
      lua_pop(L, 1);
      break;
    }
  }
  luaL_unref(L, LUA_REGISTRYINDEX, loop);
  state.counters["time_per_call"] = benchmark::Counter(
      (double)state.iterations() * kCallsPerRun, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_BareFunction(benchmark::State& state) { RunLoop(state, "Bare.GetMansionAccessible(i)"); }
void BM_GameTableFunction(benchmark::State& state) { RunLoop(state, "GameManager.GetMansionAccessible(i)"); }

BENCHMARK(BM_BareFunction);
BENCHMARK(BM_GameTableFunction);

}  // namespace

BENCHMARK_MAIN();
