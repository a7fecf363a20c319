// A call from Lua into a native table function with one int argument: read
// through the engine's argument reader versus a bare lua_CFunction doing the
// same work. The per-call time is the "time_per_call" counter.
#include "bench/LuaCallLoop.h"

namespace {

volatile int g_sink = 0;

// As the game's bindings read a required int.
int ThroughReader(lua_State* L) {
  int value = 0;
  if (!LUA_GetValue(L, 1, value)) return luaL_argerror(L, 2, "Expected int");
  g_sink = g_sink + value;
  return 0;
}

int Bare(lua_State* L) {
  g_sink = g_sink + (int)luaL_checkinteger(L, 1);
  return 0;
}

const luaL_Reg kBenchFunctions[] = {{"ThroughReader", ThroughReader}, {"Bare", Bare}, {nullptr, nullptr}};

// The table is registered once, in the engine's master state.
void RunLoop(benchmark::State& state, const char* body) {
  lua_State* L = Vision::GetScriptManager()->GetMasterState();
  lua_getglobal(L, "Bench");
  if (!lua_istable(L, -1)) {
    lua_pop(L, 1);
    luaL_register(L, "Bench", kBenchFunctions);
  }
  lua_pop(L, 1);
  lua_bench::RunCallLoop(state, L, body);
}

void BM_CallThroughReader(benchmark::State& state) { RunLoop(state, "for i = 1, n do Bench.ThroughReader(i) end"); }
void BM_CallBare(benchmark::State& state) { RunLoop(state, "for i = 1, n do Bench.Bare(i) end"); }

BENCHMARK(BM_CallBare);
BENCHMARK(BM_CallThroughReader);

}  // namespace

BENCHMARK_MAIN();
