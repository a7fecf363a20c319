// The script manager and its instances: calls by signature, instance globals,
// load and call errors, attachment to objects, think tick, saved state, reset.
#include "ScriptTest.h"

#include "support/ArchiveRoundTrip.h"

#include <climits>

namespace {

using archive_test::ByteWriter;

TEST_F(ScriptTest, SignatureInputsReachTheScriptAndOutputsComeBack) {
  VSmartPtr<IVScriptInstance> s = Load(R"lua(
    function Echo(i, f, b, s, v) return i, f, b, s, v end
    function Kinds(i, f, b, s, v) return type(i) .. type(f) .. type(b) .. type(s) .. tostring(v) end
  )lua");
  ASSERT_NE(s, nullptr);
  VisVector_cl in(1.5f, -2.0f, 3.25f);
  int i = 0;
  float f = 0;
  bool b = false;
  VString str;
  VisVector_cl v;
  ASSERT_TRUE(s->ExecuteFunctionArg("Echo", "ifbsv>ifbsv", -7, 2.5f, true, "brine", &in, &i, &f, &b, &str, &v));
  EXPECT_EQ(i, -7);
  EXPECT_EQ(f, 2.5f);
  EXPECT_TRUE(b);
  EXPECT_EQ(str, "brine");
  EXPECT_EQ(v, in);

  VString kinds;
  ASSERT_TRUE(s->ExecuteFunctionArg("Kinds", "ifbsv>s", 1, 1.0, false, "x", &in, &kinds));
  EXPECT_EQ(kinds, "numbernumberbooleanstringVector(1.5, -2, 3.25)");
}

TEST_F(ScriptTest, OutputsTheScriptDoesNotReturnKeepTheCallersValues) {
  VSmartPtr<IVScriptInstance> s = Load(R"lua(
    function Partial() return 5 end
    function WrongKinds() return "7", 1, {1, 2}, 3, "no" end
    function Nothing() end
  )lua");
  ASSERT_NE(s, nullptr);
  struct Outputs {
    int i;
    bool b;
    VString str;
    VisVector_cl v;
    float f;
  };
  const VisVector_cl before(9, 9, 9);
  Outputs partial{0, true, "keep", before, 4.5f};
  ASSERT_TRUE(s->ExecuteFunctionArg("Partial", ">ibsvf", &partial.i, &partial.b, &partial.str, &partial.v, &partial.f));
  EXPECT_EQ(partial.i, 5);
  EXPECT_TRUE(partial.b);
  EXPECT_EQ(partial.str, "keep");
  EXPECT_EQ(partial.v, before);
  EXPECT_EQ(partial.f, 4.5f);

  // A numeric string is not a number, a number not a bool, a list not a vector.
  Outputs wrong{11, true, "keep", before, 4.5f};
  ASSERT_TRUE(s->ExecuteFunctionArg("WrongKinds", ">ibvsf", &wrong.i, &wrong.b, &wrong.v, &wrong.str, &wrong.f));
  EXPECT_EQ(wrong.i, 11);
  EXPECT_TRUE(wrong.b);
  EXPECT_EQ(wrong.v, before);
  EXPECT_EQ(wrong.str, "keep");
  EXPECT_EQ(wrong.f, 4.5f);

  int n = 3;
  ASSERT_TRUE(s->ExecuteFunctionArg("Nothing", ">i", &n));
  EXPECT_EQ(n, 3);
}

TEST_F(ScriptTest, NumbersConvertToTheCallersTypes) {
  VSmartPtr<IVScriptInstance> s = Load("function Get(x) return x, x end");
  ASSERT_NE(s, nullptr);
  struct Case {
    double value;
    int asInt;
    float asFloat;
  };
  const Case cases[] = {
      {2.9, 2, 2.9f}, {-2.9, -2, -2.9f}, {0.1, 0, 0.1f}, {1e12, INT_MAX, 1e12f}, {-1e12, INT_MIN, -1e12f},
  };
  for (const Case& c : cases) {
    int i = 0;
    float f = 0;
    ASSERT_TRUE(s->ExecuteFunctionArg("Get", "f>if", c.value, &i, &f));
    EXPECT_EQ(i, c.asInt) << c.value;
    EXPECT_EQ(f, c.asFloat) << c.value;
  }
}

TEST_F(ScriptTest, StarPassesTheOwnerAsSelfAndObjectsTravelAsProxies) {
  VisBaseEntity_cl* owner = new VisBaseEntity_cl();
  VisBaseEntity_cl* other = new VisBaseEntity_cl();
  VSmartPtr<IVScriptInstance> s = Load(R"lua(
    function Who(self, o) return self, o, self == o end
  )lua", owner);
  ASSERT_NE(s, nullptr);
  VisTypedEngineObject_cl* gotSelf = nullptr;
  VisTypedEngineObject_cl* gotOther = nullptr;
  bool same = true;
  ASSERT_TRUE(s->ExecuteFunctionArg("Who", "*o>oob", other, &gotSelf, &gotOther, &same));
  EXPECT_EQ(gotSelf, owner);
  EXPECT_EQ(gotOther, other);
  EXPECT_FALSE(same);

  // Without an owner, self is nil and the object output keeps its value.
  s->SetOwner(nullptr);
  gotSelf = other;
  ASSERT_TRUE(s->ExecuteFunctionArg("Who", "*o>o", nullptr, &gotSelf));
  EXPECT_EQ(gotSelf, other);
}

TEST_F(ScriptTest, MissingFunctionsFailQuietlyAndFailingOnesAreLogged) {
  VSmartPtr<IVScriptInstance> s = Load(R"lua(
    NotAFunction = 5
    function Broken() local t = nil; return t.field end
  )lua");
  ASSERT_NE(s, nullptr);
  EXPECT_FALSE(s->HasFunction("Absent"));
  EXPECT_FALSE(s->HasFunction("NotAFunction"));
  EXPECT_TRUE(s->HasFunction("Broken"));
  EXPECT_FALSE(s->ExecuteFunctionArg("Absent", ""));
  EXPECT_FALSE(s->ExecuteFunctionArg("NotAFunction", ""));
  EXPECT_TRUE(log.Lines().empty());

  int out = 4;
  EXPECT_FALSE(s->ExecuteFunctionArg("Broken", ">i", &out));
  EXPECT_EQ(out, 4);
  EXPECT_TRUE(log.Contains("Lua error: scripts/test.lua:3: attempt to index local 't'")) << log.Lines().size();
  EXPECT_TRUE(log.Contains("stack traceback"));

  log.Clear();
  EXPECT_FALSE(s->ExecuteFunctionArg("Broken", "q"));
  EXPECT_TRUE(log.Contains("Invalid script call signature \"q\" for Broken"));
  EXPECT_EQ(lua_gettop(s->GetLuaState()), 0);
}

TEST_F(ScriptTest, LoadFailuresGiveNullAndALogLine) {
  struct Case {
    const char* text;
    const char* logged;
  };
  const Case cases[] = {
      {"function (", "Lua error: scripts/test.lua:1:"},
      {"error('refused at load')", "refused at load"},
  };
  for (const Case& c : cases) {
    log.Clear();
    EXPECT_EQ(Load(c.text), nullptr) << c.text;
    EXPECT_TRUE(log.Contains(c.logged)) << c.text;
  }
  log.Clear();
  EXPECT_EQ(Mgr()->CreateScriptInstanceFromFile("scripts\\Missing.lua"), nullptr);
  EXPECT_TRUE(log.Contains("Script file scripts\\Missing.lua not found"));
  EXPECT_FALSE(Mgr()->RunScriptFile("scripts\\Missing.lua"));
}

TEST_F(ScriptTest, InstancesHaveTheirOwnGlobalsOverTheMasterGlobals) {
  Write("scripts/Counter.lua", R"lua(
    counter = 0
    function Inc() counter = counter + 1; bFound = true; return counter, Shared end
  )lua");
  ASSERT_EQ(Run("Shared = 'harbour'"), "");
  // Found through the data folders, with either separator and in any case.
  VSmartPtr<IVScriptInstance> a = Mgr()->CreateScriptInstanceFromFile("\\Scripts\\counter.LUA");
  VSmartPtr<IVScriptInstance> b = Mgr()->CreateScriptInstanceFromFile("scripts/Counter.lua");
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  int n = 0;
  VString shared;
  ASSERT_TRUE(a->ExecuteFunctionArg("Inc", ">is", &n, &shared));
  ASSERT_TRUE(a->ExecuteFunctionArg("Inc", ">i", &n));
  EXPECT_EQ(n, 2);
  EXPECT_EQ(shared, "harbour");
  ASSERT_TRUE(b->ExecuteFunctionArg("Inc", ">i", &n));
  EXPECT_EQ(n, 1);
  EXPECT_EQ(Run("assert(bFound == nil and counter == nil and Inc == nil)"), "");
}

TEST_F(ScriptTest, RunScriptFileDefinesMasterGlobalsThatInstancesSee) {
  Write("scripts/Stats.lua", "function GetSkillCount(group) return group * 2 end");
  VSmartPtr<IVScriptInstance> game = Load("function Init() end");
  ASSERT_NE(game, nullptr);
  EXPECT_FALSE(game->HasFunction("GetSkillCount"));
  ASSERT_TRUE(Mgr()->RunScriptFile("Scripts\\stats.lua"));
  int count = 0;
  ASSERT_TRUE(game->ExecuteFunctionArg("GetSkillCount", "i>i", 4, &count));
  EXPECT_EQ(count, 8);

  Write("scripts/Bad.lua", "error('bad stats')");
  EXPECT_FALSE(Mgr()->RunScriptFile("scripts/Bad.lua"));
  EXPECT_TRUE(log.Contains("bad stats"));
  EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(ScriptTest, NamedGlobalsByType) {
  VSmartPtr<IVScriptInstance> s = Load(R"lua(
    iMax = 3.7; fRange = 0.1; bFound = false; sName = "Port Royal"; vAt = Vector(1, 2, 3)
    tAt = {x = 4, y = 5, z = 6}
  )lua");
  ASSERT_NE(s, nullptr);
  int i = 0;
  float f = 0;
  bool b = true;
  VString str;
  VisVector_cl v;
  EXPECT_TRUE(s->GetGlobal("iMax", i));
  EXPECT_EQ(i, 3);
  EXPECT_TRUE(s->GetGlobal("fRange", f));
  EXPECT_EQ(f, 0.1f);
  EXPECT_TRUE(s->GetGlobal("bFound", b));
  EXPECT_FALSE(b);
  EXPECT_TRUE(s->GetGlobal("sName", str));
  EXPECT_EQ(str, "Port Royal");
  EXPECT_TRUE(s->GetGlobal("vAt", v));
  EXPECT_EQ(v, VisVector_cl(1, 2, 3));
  EXPECT_TRUE(s->GetGlobal("tAt", v));
  EXPECT_EQ(v, VisVector_cl(4, 5, 6));

  // Absent or of another kind: false, the value untouched.
  i = 42;
  EXPECT_FALSE(s->GetGlobal("sName", i));
  EXPECT_FALSE(s->GetGlobal("nothing", i));
  EXPECT_EQ(i, 42);
  str = "keep";
  EXPECT_FALSE(s->GetGlobal("iMax", str));
  EXPECT_EQ(str, "keep");

  EXPECT_TRUE(s->SetGlobal("iMax", 9));
  EXPECT_TRUE(s->SetGlobal("fRange", 2.5f));
  EXPECT_TRUE(s->SetGlobal("bFound", true));
  EXPECT_TRUE(s->SetGlobal("sName", "Tortuga"));
  EXPECT_TRUE(s->SetGlobal("vAt", VisVector_cl(7, 8, 9)));
  EXPECT_FALSE(s->SetGlobal("sName", (const char*)nullptr));
  // The values land in the instance's globals, as the game reads them.
  s->PushEnvironment();
  lua_State* S = s->GetLuaState();
  lua_getfield(S, -1, "sName");
  EXPECT_STREQ(lua_tostring(S, -1), "Tortuga");
  lua_getfield(S, -2, "vAt");
  ASSERT_TRUE(LUA_GetValue(S, -1, v));
  EXPECT_EQ(v, VisVector_cl(7, 8, 9));
  lua_getfield(S, -3, "iMax");
  EXPECT_EQ(lua_tonumber(S, -1), 9.0);
  lua_settop(S, 0);
  EXPECT_TRUE(s->GetGlobal("bFound", b));
  EXPECT_TRUE(b);
}

TEST_F(ScriptTest, AttachedInstancesAreHeldAndReleasedWithTheirObject) {
  VisBaseEntity_cl* e = new VisBaseEntity_cl();
  VSmartPtr<IVScriptInstance> first = Load("function OnCreate(self) created = self end");
  VSmartPtr<IVScriptInstance> second = Load("x = 1", nullptr, "scripts/second.lua");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);

  Mgr()->SetScriptInstance(e, first);
  EXPECT_EQ(Mgr()->GetScriptInstance(e), first.GetPtr());
  EXPECT_EQ(first->GetOwner(), e);
  EXPECT_EQ(first->GetRefCount(), 2);
  EXPECT_TRUE(first->ExecuteFunctionArg("OnCreate", "*"));

  // Replacing releases the old instance and frees it from the object.
  Mgr()->SetScriptInstance(e, second);
  EXPECT_EQ(first->GetRefCount(), 1);
  EXPECT_EQ(first->GetOwner(), nullptr);
  EXPECT_EQ(second->GetOwner(), e);

  // A destroyed entity takes its script with it; the script's own globals
  // still hold the proxy, which no longer gives the entity.
  e->Remove();
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(second->GetRefCount(), 1);
  EXPECT_EQ(second->GetOwner(), nullptr);
  first->PushEnvironment();
  lua_getfield(L, -1, "created");
  VisTypedEngineObject_cl* obj = nullptr;
  EXPECT_EQ(lua_type(L, -1), LUA_TUSERDATA);
  EXPECT_FALSE(LUA_GetValue(L, -1, obj));
  lua_settop(L, 0);
}

TEST_F(ScriptTest, ComponentsCanOwnScripts) {
  IVObjectComponent* comp = new IVObjectComponent();
  VSmartPtr<IVScriptInstance> s = Load("function Me(self) return self end");
  ASSERT_NE(s, nullptr);
  Mgr()->SetScriptInstance(comp, s);
  EXPECT_EQ(s->GetOwnerObject(), comp);
  EXPECT_EQ(s->GetOwner(), nullptr);
  ASSERT_TRUE(s->ExecuteFunctionArg("Me", "*"));
  delete comp;
  EXPECT_EQ(Mgr()->GetScriptInstance(comp), nullptr);
  EXPECT_EQ(s->GetOwnerObject(), nullptr);
  EXPECT_EQ(s->GetRefCount(), 1);
}

TEST_F(ScriptTest, ThinkRunsTheSceneScriptUnlessSuspended) {
  VSmartPtr<IVScriptInstance> scene = Load("ticks = 0 function OnThink() ticks = ticks + 1 end");
  VSmartPtr<IVScriptInstance> game = Load("ticks = 0 function OnThink() ticks = ticks + 1 end", nullptr,
                                          "scripts/game.lua");
  ASSERT_NE(scene, nullptr);
  ASSERT_NE(game, nullptr);
  Mgr()->SetSceneScript(scene);
  Mgr()->SetGameScript(game);
  Mgr()->Think();
  Mgr()->Think();
  Mgr()->SetSuspended(true);
  Mgr()->Think();
  int ticks = -1;
  ASSERT_TRUE(scene->GetGlobal("ticks", ticks));
  EXPECT_EQ(ticks, 2);
  // The game script's "OnThink" is the game's to call on the think tick.
  ASSERT_TRUE(game->GetGlobal("ticks", ticks));
  EXPECT_EQ(ticks, 0);

  Mgr()->SetSceneScript(nullptr);
  Mgr()->SetGameScript(nullptr);
  EXPECT_EQ(scene->GetRefCount(), 1);
  EXPECT_EQ(game->GetRefCount(), 1);
}

TEST_F(ScriptTest, SavedStateRoundTripsPlainGlobalsSortedByName) {
  const char* text = R"lua(
    zeta = "a\0b"; alpha = 1.5; bFound = true; id = 2^40 + 1
    t = {1}; f = function() end; v = Vector(1, 2, 3)
  )lua";
  VSmartPtr<IVScriptInstance> original = Load(text);
  VSmartPtr<IVScriptInstance> fresh = Load("", nullptr, "scripts/empty.lua");
  ASSERT_NE(original, nullptr);
  ASSERT_NE(fresh, nullptr);
  archive_test::Bytes written;
  auto io = [](VSmartPtr<IVScriptInstance>& s, VArchive& ar) { s->SerializeState(ar); };
  ASSERT_TRUE(archive_test::RoundTrip(original, fresh, io, io, &written));

  double idBits = 1099511627777.0;
  uint64_t idRaw, alphaRaw;
  double alpha = 1.5;
  memcpy(&idRaw, &idBits, 8);
  memcpy(&alphaRaw, &alpha, 8);
  ByteWriter expected;
  expected.U8(1).I32(4);
  expected.Str("alpha").U8('n').I64((int64_t)alphaRaw);
  expected.Str("bFound").U8('b').U8(1);
  expected.Str("id").U8('n').I64((int64_t)idRaw);
  expected.Str("zeta").U8('s').Str(std::string("a\0b", 3));
  EXPECT_EQ(written, expected.Get());

  VString zeta;
  ASSERT_TRUE(fresh->GetGlobal("zeta", zeta));
  EXPECT_EQ(zeta.GetLength(), 3);
  fresh->PushEnvironment();
  lua_getfield(L, -1, "id");
  EXPECT_EQ(lua_tonumber(L, -1), idBits);
  lua_settop(L, 0);
}

TEST_F(ScriptTest, SavedStateOfAnUnknownVersionFailsTheArchive) {
  VSmartPtr<IVScriptInstance> s = Load("x = 1");
  ASSERT_NE(s, nullptr);
  ByteWriter bytes;
  bytes.U8(2).I32(0);
  EXPECT_FALSE(archive_test::LoadBytes(bytes.Get(), [&](VArchive& ar) { s->SerializeState(ar); }));
  EXPECT_TRUE(log.Contains("unknown version 2"));
}

TEST_F(ScriptTest, ResetClosesTheStateAndHeldInstancesTurnInert) {
  VSmartPtr<IVScriptInstance> s = Load("function F() return 1 end");
  ASSERT_NE(s, nullptr);
  VisBaseEntity_cl* e = new VisBaseEntity_cl();
  Mgr()->SetScriptInstance(e, s);
  ASSERT_EQ(Run("Leftover = 1"), "");

  Mgr()->Reset();
  EXPECT_FALSE(s->IsValid());
  EXPECT_EQ(s->GetLuaState(), nullptr);
  EXPECT_EQ(Mgr()->GetScriptInstance(e), nullptr);
  EXPECT_EQ(s->GetRefCount(), 1);
  int n = 0;
  EXPECT_FALSE(s->HasFunction("F"));
  EXPECT_FALSE(s->ExecuteFunctionArg("F", ">i", &n));
  EXPECT_FALSE(s->SetGlobal("x", 1));

  L = Mgr()->GetMasterState();
  ASSERT_NE(L, nullptr);
  EXPECT_EQ(Run("assert(Leftover == nil and Vector ~= nil)"), "");
}

}  // namespace
