// A call from Lua into a native table function with one int argument: read
// through the engine's argument reader versus a bare lua_CFunction doing the
// same work. The per-call time is the "time_per_call" counter.
#include "engine/core/VScriptManager.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int kCallsPerRun = 1000;
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

// A script function that calls Bench.<name>(i) kCallsPerRun times.
int MakeLoop(lua_State* L, const char* name) {
  lua_getglobal(L, "Bench");
  if (!lua_istable(L, -1)) {
    lua_pop(L, 1);
    luaL_register(L, "Bench", kBenchFunctions);
  }
  lua_pop(L, 1);
  char code[256];
  snprintf(code, sizeof(code), "return function(n) for i = 1, n do Bench.%s(i) end end", name);
  if (luaL_loadstring(L, code) != 0 || lua_pcall(L, 0, 1, 0) != 0) return LUA_NOREF;
  return luaL_ref(L, LUA_REGISTRYINDEX);
}

void RunLoop(benchmark::State& state, const char* name) {
  lua_State* L = Vision::GetScriptManager()->GetMasterState();
  int loop = MakeLoop(L, name);
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

void BM_CallThroughReader(benchmark::State& state) { RunLoop(state, "ThroughReader"); }
void BM_CallBare(benchmark::State& state) { RunLoop(state, "Bare"); }

BENCHMARK(BM_CallBare);
BENCHMARK(BM_CallThroughReader);

}  // namespace

BENCHMARK_MAIN();
