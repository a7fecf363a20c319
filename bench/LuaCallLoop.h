// Timing calls from Lua into native functions: a script loop makes kCallsPerRun
// calls per benchmark iteration, and the "time_per_call" counter gives one call.
#pragma once

#include "engine/core/VScriptManager.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace lua_bench {

constexpr int kCallsPerRun = 1000;

// Runs the script function "function(n) <body> end", whose body must make n calls,
// with n = kCallsPerRun in every iteration.
inline void RunCallLoop(benchmark::State& state, lua_State* L, const char* body) {
  char code[256];
  snprintf(code, sizeof(code), "return function(n) %s end", body);
  if (luaL_loadstring(L, code) != 0 || lua_pcall(L, 0, 1, 0) != 0) {
    state.SkipWithError("could not build the loop");
    return;
  }
  const int function = luaL_ref(L, LUA_REGISTRYINDEX);
  for (auto _ : state) {
    lua_rawgeti(L, LUA_REGISTRYINDEX, function);
    lua_pushinteger(L, kCallsPerRun);
    if (lua_pcall(L, 1, 0, 0) != 0) {
      state.SkipWithError(lua_tostring(L, -1));
      lua_pop(L, 1);
      break;
    }
  }
  luaL_unref(L, LUA_REGISTRYINDEX, function);
  state.counters["time_per_call"] = benchmark::Counter(
      (double)state.iterations() * kCallsPerRun, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace lua_bench
