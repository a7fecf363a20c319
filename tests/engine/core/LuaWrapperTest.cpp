// Wrapper classes and proxies: record chains, native-object checks, invalidation,
// the typed readers, argument errors, and the Vector and Color values.
#include "ScriptTest.h"

#include <string>

namespace {

class LuaTestBase : public VisBaseEntity_cl {
  V_DECLARE_DYNCREATE(LuaTestBase)
};
V_IMPLEMENT_DYNCREATE(LuaTestBase, VisBaseEntity_cl)

class LuaTestShip : public LuaTestBase {
  V_DECLARE_DYNCREATE(LuaTestShip)
 public:
  int fired = 0;
};
V_IMPLEMENT_DYNCREATE(LuaTestShip, LuaTestBase)

// No record of its own: its proxies take the ship's.
class LuaTestFrigate : public LuaTestShip {
  V_DECLARE_DYNCREATE(LuaTestFrigate)
};
V_IMPLEMENT_DYNCREATE(LuaTestFrigate, LuaTestShip)

// Derives from the base natively, but its record hangs off the engine's entity record.
class LuaTestUnit : public LuaTestBase {
  V_DECLARE_DYNCREATE(LuaTestUnit)
};
V_IMPLEMENT_DYNCREATE(LuaTestUnit, LuaTestBase)

extern NativeClassInfo LuaTestShip_info;

int BaseName(lua_State* L) {
  lua_pushstring(L, "base");
  return 1;
}

int BaseOnly(lua_State* L) {
  lua_pushboolean(L, 1);
  return 1;
}

int ShipName(lua_State* L) {
  lua_pushstring(L, "ship");
  return 1;
}

// Written the way the game writes its bindings: a native object reports
// argument 1, any other argument its position plus one.
int ShipFire(lua_State* L) {
  auto* ship = static_cast<LuaTestShip*>(LUA_GetNativeObject(L, 1, &LuaTestShip_info));
  if (!ship) return luaL_argerror(L, 1, "Expected native object of type LuaTestShip*");
  int power = 0;
  if (!LUA_GetValue(L, 2, power)) return luaL_argerror(L, 3, "Expected int");
  ship->fired += power;
  return 0;
}

const luaL_Reg kBaseMethods[] = {{"GetName", BaseName}, {"BaseOnly", BaseOnly}, {nullptr, nullptr}};
const luaL_Reg kShipMethods[] = {{"GetName", ShipName}, {"Fire", ShipFire}, {nullptr, nullptr}};
const luaL_Reg kNoMethods[] = {{nullptr, nullptr}};

NativeClassInfo LuaTestBase_info = {"LuaTestBase", &VisBaseEntity_info, kBaseMethods};
NativeClassInfo LuaTestShip_info = {"LuaTestShip", &LuaTestBase_info, kShipMethods};
NativeClassInfo LuaTestUnit_info = {"LuaTestUnit", &VisBaseEntity_info, kNoMethods};

class LuaWrapperTest : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    // The derived class first, as the game registers them.
    LUA_CreateWrapperClass(L, &LuaTestShip_info);
    LUA_CreateWrapperClass(L, &LuaTestUnit_info);
    LUA_CreateWrapperClass(L, &LuaTestBase_info);
    base = new LuaTestBase();
    ship = new LuaTestShip();
    frigate = new LuaTestFrigate();
    unit = new LuaTestUnit();
    plain = new VisBaseEntity_cl();
    SetGlobal("base", base);
    SetGlobal("ship", ship);
    SetGlobal("frigate", frigate);
    SetGlobal("unit", unit);
    SetGlobal("plain", plain);
  }
  void SetGlobal(const char* name, VisTypedEngineObject_cl* obj) {
    LUA_PushObjectProxy(L, obj);
    lua_setglobal(L, name);
  }
  // Pushes the value of a Lua expression.
  void Push(const std::string& expr) {
    ASSERT_EQ(luaL_loadstring(L, ("return " + expr).c_str()), 0) << expr;
    ASSERT_EQ(lua_pcall(L, 0, 1, 0), 0) << lua_tostring(L, -1);
  }
  template <class T>
  bool Read(const std::string& expr, T& out) {
    Push(expr);
    bool ok = LUA_GetValue(L, -1, out);
    lua_pop(L, 1);
    return ok;
  }
  void* Native(const std::string& expr, NativeClassInfo* info) {
    Push(expr);
    void* p = LUA_GetNativeObject(L, -1, info);
    lua_pop(L, 1);
    return p;
  }

  LuaTestBase* base = nullptr;
  LuaTestShip* ship = nullptr;
  LuaTestFrigate* frigate = nullptr;
  LuaTestUnit* unit = nullptr;
  VisBaseEntity_cl* plain = nullptr;
};

TEST_F(LuaWrapperTest, ProxiesTakeTheMostDerivedRecordAndItsParentsMethods) {
  EXPECT_EQ(Run(R"lua(
    assert(ship:GetName() == "ship" and base:GetName() == "base")
    assert(frigate:GetName() == "ship" and frigate:BaseOnly())
    assert(frigate.Fire ~= nil and base.Fire == nil)
    assert(unit.GetName == nil and unit.GetKey ~= nil)
    assert(plain.GetKey ~= nil and plain.GetName == nil)
    assert(tostring(plain):find("^VisBaseEntity_cl: ") and tostring(frigate):find("^LuaTestShip: "))
  )lua"), "");

  // One proxy per object; nil for null.
  LUA_PushObjectProxy(L, frigate);
  lua_getglobal(L, "frigate");
  EXPECT_TRUE(lua_rawequal(L, -1, -2));
  LUA_PushObjectProxy(L, (VisTypedEngineObject_cl*)nullptr);
  EXPECT_TRUE(lua_isnil(L, -1));
  LUA_PushObjectProxy(L, nullptr);
  EXPECT_TRUE(lua_isnil(L, -1));
  lua_settop(L, 0);
}

TEST_F(LuaWrapperTest, NativeObjectsAreCheckedAgainstTheRecordChain) {
  struct Case {
    const char* expr;
    NativeClassInfo* info;
    void* expected;
  };
  const Case cases[] = {
      {"ship", &LuaTestShip_info, ship},
      {"frigate", &LuaTestShip_info, frigate},
      {"frigate", &LuaTestBase_info, frigate},
      {"frigate", &VisBaseEntity_info, frigate},
      {"frigate", &VisTypedEngineObject_info, frigate},
      {"base", &LuaTestShip_info, nullptr},
      {"unit", &LuaTestBase_info, nullptr},  // the record chain decides, not the native class
      {"unit", &VisBaseEntity_info, unit},
      {"plain", &LuaTestBase_info, nullptr},
      {"plain", &IVObjectComponent_info, nullptr},
      {"Vector(1, 2, 3)", &VisBaseEntity_info, nullptr},
      {"7", &VisBaseEntity_info, nullptr},
      {"nil", &VisBaseEntity_info, nullptr},
      {"{}", &VisBaseEntity_info, nullptr},
      {"io.stdout", nullptr, nullptr},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Native(c.expr, c.info), c.expected) << c.expr << " as " << (c.info ? c.info->className : "any");
  }
}

TEST_F(LuaWrapperTest, ArgumentErrorsCarryTheBindingsTextAndNumberAndChangeNothing) {
  struct Case {
    const char* code;
    const char* error;  // empty: succeeds
  };
  const Case cases[] = {
      {"ship:Fire(2)", ""},
      {"ship:Fire('2')", "bad argument #2 to 'Fire' (Expected int)"},
      {"ship.Fire(ship)", "bad argument #3 to 'Fire' (Expected int)"},
      {"ship.Fire(base, 1)", "bad argument #1 to 'Fire' (Expected native object of type LuaTestShip*)"},
      {"ship.Fire(unit, 1)", "bad argument #1 to 'Fire' (Expected native object of type LuaTestShip*)"},
      {"ship.Fire(Vector(), 1)", "bad argument #1 to 'Fire' (Expected native object of type LuaTestShip*)"},
      {"base:Fire(1)", "attempt to call method 'Fire' (a nil value)"},
  };
  for (const Case& c : cases) {
    std::string error = Run(c.code);
    if (!*c.error) {
      EXPECT_EQ(error, "") << c.code;
    } else {
      EXPECT_NE(error.find(c.error), std::string::npos) << c.code << " gave: " << error;
    }
  }
  EXPECT_EQ(ship->fired, 2);
}

TEST_F(LuaWrapperTest, ADestroyedObjectsProxyGivesNullToEveryReader) {
  ASSERT_EQ(Run("ship:Fire(1)"), "");
  ship->Remove();
  Vision::Game.FreeRemovedEntities();
  ship = nullptr;

  EXPECT_EQ(Native("ship", nullptr), nullptr);
  VisTypedEngineObject_cl* obj = frigate;
  EXPECT_FALSE(Read("ship", obj));
  EXPECT_EQ(obj, frigate);
  EXPECT_NE(Run("ship:Fire(1)").find("Expected native object of type LuaTestShip*"), std::string::npos);
  EXPECT_NE(Run("ship:GetKey()").find("Expected native object of type VisBaseEntity_cl*"), std::string::npos);
  EXPECT_EQ(Run("assert(tostring(ship) == 'LuaTestShip: destroyed')"), "");

  // Engine objects that are no entities die unannounced: their destructor tells.
  auto* mission = new VisTypedEngineObject_cl();
  SetGlobal("mission", mission);
  EXPECT_EQ(Native("mission", &VisTypedEngineObject_info), mission);
  delete mission;
  EXPECT_EQ(Native("mission", nullptr), nullptr);
}

TEST_F(LuaWrapperTest, ComponentProxiesAreNoEngineObjects) {
  auto* comp = new IVObjectComponent();
  ASSERT_TRUE(plain->AddComponent(comp));
  LUA_PushObjectProxy(L, comp);
  lua_setglobal(L, "comp");
  EXPECT_EQ(Native("comp", &IVObjectComponent_info), comp);
  EXPECT_EQ(Native("comp", &VisTypedEngineObject_info), nullptr);
  VisTypedEngineObject_cl* obj = plain;
  EXPECT_FALSE(Read("comp", obj));
  EXPECT_TRUE(Read("plain", obj));
  EXPECT_EQ(obj, plain);

  comp->DisposeObject();
  EXPECT_EQ(Native("comp", &IVObjectComponent_info), nullptr);
}

TEST_F(LuaWrapperTest, ReadersTakeOnlyTheirOwnKindAndLeaveTheDestinationOtherwise) {
  struct IntCase {
    const char* expr;
    bool ok;
    int value;
  };
  const IntCase ints[] = {{"3.9", true, 3},   {"-3.9", true, -3},  {"2^31", true, INT_MAX},
                          {"'5'", false, 0},  {"true", false, 0},  {"nil", false, 0},
                          {"{}", false, 0},   {"0/0", true, 0}};
  for (const IntCase& c : ints) {
    int v = 77;
    EXPECT_EQ(Read(c.expr, v), c.ok) << c.expr;
    EXPECT_EQ(v, c.ok ? c.value : 77) << c.expr;
  }
  int none = 5;
  EXPECT_FALSE(LUA_GetValue(L, lua_gettop(L) + 1, none));  // a missing argument
  EXPECT_EQ(none, 5);

  float f = 9;
  EXPECT_TRUE(Read("0.1", f));
  EXPECT_EQ(f, 0.1f);
  EXPECT_FALSE(Read("'0.1'", f));
  EXPECT_EQ(f, 0.1f);
  double d = 0;
  EXPECT_TRUE(Read("2^53 + 0", d));
  EXPECT_EQ(d, 9007199254740992.0);

  bool b = true;
  EXPECT_TRUE(Read("false", b));
  EXPECT_FALSE(b);
  EXPECT_FALSE(Read("1", b));
  EXPECT_FALSE(Read("nil", b));
  EXPECT_FALSE(b);

  const char* s = "keep";
  EXPECT_FALSE(Read("5", s));
  EXPECT_STREQ(s, "keep");
  Push("'abc'");
  EXPECT_TRUE(LUA_GetValue(L, -1, s));
  EXPECT_STREQ(s, "abc");
  lua_pop(L, 1);

  struct VectorCase {
    const char* expr;
    bool ok;
  };
  const VectorCase vectors[] = {
      {"Vector(1, 2, 3)", true},
      {"{x = 1, y = 2, z = 3}", true},
      {"{x = 1, y = 2}", false},
      {"{1, 2, 3}", false},
      {"{x = 1, y = 2, z = '3'}", false},
      {"setmetatable({}, {__index = function() error('no') end})", false},
      {"Color(1, 2, 3)", false},
  };
  for (const VectorCase& c : vectors) {
    VisVector_cl v(7, 7, 7);
    EXPECT_EQ(Read(c.expr, v), c.ok) << c.expr;
    EXPECT_EQ(v, c.ok ? VisVector_cl(1, 2, 3) : VisVector_cl(7, 7, 7)) << c.expr;
  }

  VColorRef colour(9, 9, 9, 9);
  EXPECT_FALSE(Read("{r = 1, g = 2, b = 3}", colour));
  EXPECT_TRUE(Read("Color(1, 2, 3, 4)", colour));
  EXPECT_EQ(colour, VColorRef(1, 2, 3, 4));
  EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(LuaWrapperTest, VectorValues) {
  EXPECT_EQ(Run(R"lua(
    local a, b = Vector(1, 2, 3), Vector(0.5, 0, -1)
    assert(a.x == 1 and a.y == 2 and a.z == 3 and a.w == nil)
    assert(a + b == Vector(1.5, 2, 2) and a - b == Vector(0.5, 2, 4))
    assert(a * 2 == Vector(2, 4, 6) and 2 * a == a * 2 and -a == Vector(-1, -2, -3))
    assert(a ~= b and a ~= 1)
    assert(tostring(Vector(1.5, -2, 0)) == "Vector(1.5, -2, 0)")
    assert(Vector() == Vector(0, 0, 0) and Vector(4) == Vector(4, 0, 0))
    a.x = 10
    assert(a.x == 10)
  )lua"), "");

  struct Case {
    const char* code;
    const char* error;
  };
  const Case errors[] = {
      {"Vector('a')", "bad argument #1 to 'Vector' (Expected float)"},
      {"local v = Vector(); v.w = 1", "Vector has no field 'w'"},
      {"local v = Vector(); v.x = 'a'", "Expected lua_Number"},
      {"local v = Vector() + 1", "Expected VisVector_cl"},
      {"local v = Vector() * Vector()", "Expected lua_Number"},
  };
  for (const Case& c : errors) {
    std::string error = Run(c.code);
    EXPECT_NE(error.find(c.error), std::string::npos) << c.code << " gave: " << error;
  }

  LUA_CreateVector3(L, VisVector_cl(0.25f, -1, 1e6f, 5));
  VisVector_cl v;
  ASSERT_TRUE(LUA_GetValue(L, -1, v));
  EXPECT_EQ(v, VisVector_cl(0.25f, -1, 1e6f));
  EXPECT_EQ(v.w, 1.0f);
  lua_pop(L, 1);
}

TEST_F(LuaWrapperTest, ColorValues) {
  EXPECT_EQ(Run(R"lua(
    local c = Color(10, 20, 30)
    assert(c.r == 10 and c.g == 20 and c.b == 30 and c.a == 255)
    c.g = 300; c.b = -5
    assert(tostring(c) == "Color(10, 255, 0, 255)")
    assert(c == Color(10, 255, 0) and c ~= Color())
  )lua"), "");
  EXPECT_NE(Run("Color(1, 2, 3, 'x')").find("bad argument #4 to 'Color' (Expected int)"), std::string::npos);

  LUA_PushColor(L, VColorRef(1, 2, 3, 4));
  VColorRef c;
  ASSERT_TRUE(LUA_GetValue(L, -1, c));
  EXPECT_EQ(c, VColorRef(1, 2, 3, 4));
  lua_pop(L, 1);
}

}  // namespace
