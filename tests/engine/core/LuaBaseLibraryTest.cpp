// The engine's base script library: print, entity methods, components by class
// name and SendMsg.
#include "ScriptTest.h"

#include <string>
#include <vector>

namespace {

struct Received {
  int id;
  INT_PTR p1, p2;
};

// Records its messages; counts live instances to see disposal.
class LuaProbeComponent : public IVObjectComponent {
  V_DECLARE_DYNCREATE(LuaProbeComponent)
 public:
  static int live;
  LuaProbeComponent() { ++live; }
  ~LuaProbeComponent() override { --live; }
  void Initialize() override { initialized = true; }
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override { received.push_back({id, p1, p2}); }
  bool initialized = false;
  std::vector<Received> received;
};
int LuaProbeComponent::live = 0;
V_IMPLEMENT_DYNCREATE(LuaProbeComponent, IVObjectComponent)

// Accepts only owners whose key is "dock".
class LuaPickyComponent : public LuaProbeComponent {
  V_DECLARE_DYNCREATE(LuaPickyComponent)
 public:
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override {
    if (!IVObjectComponent::CanAttachToObject(object, reason)) return 0;
    if (object->HasObjectKey("dock")) return 1;
    reason = "Component can only be added to the dock.";
    return 0;
  }
};
V_IMPLEMENT_DYNCREATE(LuaPickyComponent, LuaProbeComponent)

class LuaBaseLibraryTest : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    ship = new VisBaseEntity_cl();
    ship->SetEntityKey("Ship1");
    LUA_PushObjectProxy(L, ship);
    lua_setglobal(L, "ship");
  }
  VisBaseEntity_cl* ship = nullptr;
};

TEST_F(LuaBaseLibraryTest, PrintWritesOneLogLine) {
  ASSERT_EQ(Run("print('ahoy', 3, nil, true, Vector(1, 2, 3))"), "");
  EXPECT_EQ(log.Matching("Lua: "), std::vector<std::string>{"Lua: ahoy\t3\tnil\ttrue\tVector(1, 2, 3)"});
}

TEST_F(LuaBaseLibraryTest, EntityKeyPlaceAndIdentity) {
  ship->SetUniqueID(((int64_t)1 << 40) + 3);
  ASSERT_EQ(Run(R"lua(
    assert(ship:GetKey() == "Ship1")
    ship:SetKey("Flagship")
    ship:SetPosition(Vector(1, 2, 3))
    assert(ship:GetPosition() == Vector(1, 2, 3))
    ship:SetPosition(4, 5, 6)
    assert(ship:GetPosition() == Vector(4, 5, 6))
    ship:SetOrientation({x = 90, y = 0, z = 0})
    assert(math.abs(ship:GetOrientation().x - 90) < 1e-3)
    assert(ship:GetUniqueID() == 2^40 + 3)
  )lua"), "");
  EXPECT_STREQ(ship->GetEntityKey(), "Flagship");
  EXPECT_EQ(ship->GetPosition(), VisVector_cl(4, 5, 6));
  EXPECT_EQ(Vision::Game.SearchEntity("Flagship"), ship);

  ASSERT_EQ(Run("ship:Remove()"), "");
  EXPECT_TRUE(ship->IsMarkedRemoved());
}

TEST_F(LuaBaseLibraryTest, EntityMethodArgumentErrorsChangeNothing) {
  struct Case {
    const char* code;
    const char* error;
  };
  const Case cases[] = {
      {"ship:SetKey(5)", "bad argument #1 to 'SetKey' (Expected const char *)"},
      {"ship:SetPosition('x')", "bad argument #1 to 'SetPosition' (Expected VisVector_cl)"},
      {"ship:SetPosition(1, 2)", "bad argument #3 to 'SetPosition' (Expected float)"},
      {"ship.GetKey(Vector())", "bad argument #1 to 'GetKey' (Expected native object of type VisBaseEntity_cl*)"},
      {"ship:AddComponentOfType()", "bad argument #1 to 'AddComponentOfType' (Expected const char *)"},
      {"ship:AddComponentOfType('LuaProbeComponent', 3)",
       "bad argument #2 to 'AddComponentOfType' (Expected const char *)"},
      {"ship:RemoveComponent(ship)",
       "bad argument #1 to 'RemoveComponent' (Expected native object of type IVObjectComponent*)"},
  };
  ship->SetPosition(VisVector_cl(7, 8, 9));
  for (const Case& c : cases) {
    std::string error = Run(c.code);
    EXPECT_NE(error.find(c.error), std::string::npos) << c.code << " gave: " << error;
  }
  EXPECT_STREQ(ship->GetEntityKey(), "Ship1");
  EXPECT_EQ(ship->GetPosition(), VisVector_cl(7, 8, 9));
  EXPECT_EQ(ship->GetComponentCount(), 0);
}

TEST_F(LuaBaseLibraryTest, ComponentsByClassName) {
  const int entitiesBefore = Vision::Game.GetEntityCount();
  const int liveBefore = LuaProbeComponent::live;
  ASSERT_EQ(Run(R"lua(
    probe = ship:AddComponentOfType("luaprobecomponent", "sonar")
    assert(probe ~= nil and ship:GetComponentOfType("LuaProbeComponent") == probe)
    assert(ship:AddComponentOfType("VisBaseEntity_cl") == nil)
    assert(ship:AddComponentOfType("NoSuchClass") == nil)
    assert(ship:AddComponentOfType("LuaPickyComponent") == nil)
    assert(ship:GetComponentOfType("LuaPickyComponent") == nil)
  )lua"), "");
  auto* probe = static_cast<LuaProbeComponent*>(ship->GetComponentByName("sonar"));
  ASSERT_NE(probe, nullptr);
  EXPECT_TRUE(probe->initialized);
  EXPECT_EQ(ship->GetComponentCount(), 1);
  EXPECT_EQ(LuaProbeComponent::live, liveBefore + 1);  // the refused one was disposed
  EXPECT_EQ(Vision::Game.GetEntityCount(), entitiesBefore);  // no entity made by the component call
  EXPECT_TRUE(log.Contains("'VisBaseEntity_cl' is not a component class"));
  EXPECT_TRUE(log.Contains("Component can only be added to the dock."));

  // The dock accepts the picky one.
  auto* dock = new VisBaseEntity_cl();
  dock->SetEntityKey("dock");
  LUA_PushObjectProxy(L, dock);
  lua_setglobal(L, "dock");
  ASSERT_EQ(Run("picky = dock:AddComponentOfType('LuaPickyComponent') assert(picky ~= nil)"), "");

  // Removing: only the owner can, the component is disposed, its proxy dies.
  ASSERT_EQ(Run(R"lua(
    assert(dock:RemoveComponent(probe) == false)
    assert(ship:RemoveComponent(probe) == true)
    assert(ship:GetComponentOfType("LuaProbeComponent") == nil)
  )lua"), "");
  EXPECT_EQ(ship->GetComponentCount(), 0);
  EXPECT_EQ(LuaProbeComponent::live, liveBefore + 1);
  EXPECT_NE(Run("ship:RemoveComponent(probe)").find("Expected native object of type IVObjectComponent*"),
            std::string::npos);
}

TEST_F(LuaBaseLibraryTest, SendMsgReachesComponentsWithPointerSizedParameters) {
  auto* a = new LuaProbeComponent();
  auto* b = new LuaProbeComponent();
  ASSERT_TRUE(ship->AddComponent(a));
  ASSERT_TRUE(ship->AddComponent(b));
  LUA_PushObjectProxy(L, b);
  lua_setglobal(L, "b");
  ASSERT_EQ(Run("SendMsg(ship, 151, 2^40, -3) SendMsg(b, 52) SendMsg(ship, 7.9, nil, 1)"), "");
  ASSERT_EQ(a->received.size(), 2u);
  EXPECT_EQ(a->received[0].id, 151);
  EXPECT_EQ(a->received[0].p1, (INT_PTR)1 << 40);
  EXPECT_EQ(a->received[0].p2, -3);
  EXPECT_EQ(a->received[1].id, 7);
  EXPECT_EQ(a->received[1].p1, 0);
  EXPECT_EQ(a->received[1].p2, 1);
  ASSERT_EQ(b->received.size(), 3u);
  EXPECT_EQ(b->received[1].id, 52);

  struct Case {
    const char* code;
    const char* error;
  };
  const Case cases[] = {
      {"SendMsg(5, 1)", "bad argument #1 to 'SendMsg' (Expected native object of type VisTypedEngineObject_cl*)"},
      {"SendMsg(Vector(), 1)", "bad argument #1 to 'SendMsg' (Expected native object of type VisTypedEngineObject_cl*)"},
      {"SendMsg(ship)", "bad argument #2 to 'SendMsg' (Expected int)"},
      {"SendMsg(ship, 1, 'x')", "bad argument #3 to 'SendMsg' (Expected int)"},
  };
  for (const Case& c : cases) {
    std::string error = Run(c.code);
    EXPECT_NE(error.find(c.error), std::string::npos) << c.code << " gave: " << error;
  }
  EXPECT_EQ(a->received.size(), 2u);
}

// Scripts find entities by key, with either call form; a removed entity or an
// unknown key gives nil.
TEST_F(LuaBaseLibraryTest, GameGetEntityFindsLiveEntitiesByKey) {
  auto* other = new VisBaseEntity_cl();
  other->SetEntityKey("Whale");
  ASSERT_EQ(Run(R"lua(
    assert(Game.GetEntity("Ship1") == ship)
    assert(Game:GetEntity("Whale"):GetKey() == "Whale")
    assert(Game.GetEntity("Nobody") == nil)
  )lua"), "");
  other->Remove();
  ASSERT_EQ(Run("assert(Game.GetEntity('Whale') == nil)"), "");
  const std::string error = Run("Game.GetEntity(3 < 4)");
  EXPECT_NE(error.find("Expected const char *"), std::string::npos) << error;
}

}  // namespace
