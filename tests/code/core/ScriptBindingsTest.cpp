// The script interface frame: registration of the tables and classes, the
// argument conventions of the shared helpers, and the enumeration tables.
#include "support/ScriptBindingFixture.h"

#include "support/ScopedEnv.h"

#include "Managers/JokeManager.h"
#include "core/BaseComponent.h"
#include "core/BaseEntity.h"
#include "core/ScriptArgs.h"
#include "core/Tidework.h"

#include <gmock/gmock.h>

#include <memory>
#include <string>
#include <vector>

using ::testing::HasSubstr;

namespace {

class ScriptBindingsTest : public ScriptBindingFixture {};

TEST_F(ScriptBindingsTest, TablesAreGlobalTablesOfTheirFunctions) {
  struct Case {
    const char* table;
    const luaL_Reg* methods;
  };
  const Case cases[] = {{"GameManager", GameManager_methods},
                        {"PauseManager", PauseManager_methods},
                        {"GameSessionManager", GameSessionManager_methods}};
  for (const Case& c : cases) {
    int count = 0;
    for (const luaL_Reg* m = c.methods; m->name; ++m) {
      ++count;
      EXPECT_TRUE(Bool("type(" + std::string(c.table) + "." + m->name + ") == 'function'")) << m->name;
    }
    EXPECT_EQ(Number("(function() local n = 0; for _ in pairs(" + std::string(c.table) +
                     ") do n = n + 1 end; return n end)()"),
              count)
        << c.table;
  }
  EXPECT_EQ(Number("(function() local n = 0; for _ in pairs(PauseManager) do n = n + 1 end; return n end)()"), 5);
}

TEST_F(ScriptBindingsTest, OtherHostsRegisterSingleTablesOnTheirOwnState) {
  lua_State* other = luaL_newstate();
  RegisterGameManagerWrapper(other);
  RegisterPauseManagerWrapper(other);
  EXPECT_EQ(lua_gettop(other), 0);
  ASSERT_EQ(luaL_dostring(other, "return GameManager.GetCollectableTypes().PICKUP, PauseManager.IsGamePaused ~= nil"), 0)
      << lua_tostring(other, -1);
  EXPECT_EQ(lua_tonumber(other, 1), 4);
  EXPECT_TRUE(lua_toboolean(other, 2));
  lua_close(other);
}

// A game binding in the shape of the table functions: an optional int first, a
// native entity second, a required float third.
int ProbeBinding(lua_State* L) {
  int count = ScriptArgs::OptInt(L, 1, 3);
  auto* entity = ScriptArgs::CheckNativeObject<VisBaseEntity_cl>(L, 2, &VisBaseEntity_info,
                                                                 "Expected native object of type VisBaseEntity_cl*");
  float scale = ScriptArgs::CheckFloat(L, 3);
  lua_pushinteger(L, count);
  lua_pushnumber(L, scale);
  ScriptArgs::PushObject(L, entity);
  return 3;
}

TEST_F(ScriptBindingsTest, HelpersNumberArgumentsAsTheGameDoes) {
  lua_register(L, "Probe", ProbeBinding);
  VisBaseEntity_cl* entity = new VisBaseEntity_cl();
  SetGlobalObject("e", entity);

  // An optional argument of the wrong kind keeps its default; numbers convert to
  // the binding's types (int truncates, float rounds to float).
  EXPECT_EQ(Run("a, b, c = Probe('x', e, 0.1)"), "");
  EXPECT_EQ(Number("a"), 3);
  EXPECT_EQ(Number("b"), (double)0.1f);
  EXPECT_TRUE(Bool("c == e"));  // an object goes back as its one proxy
  EXPECT_EQ(Run("a = Probe(-2.9, e, 1)"), "");
  EXPECT_EQ(Number("a"), -2);

  // A native object reports argument 1 wherever it stands; the others their
  // position plus one.
  struct Case {
    const char* call;
    std::string error;
  };
  const Case cases[] = {
      {"Probe(1, 5, 1.0)", ArgError(1, "Probe", "Expected native object of type VisBaseEntity_cl*")},
      {"Probe(1)", ArgError(1, "Probe", "Expected native object of type VisBaseEntity_cl*")},
      {"Probe(1, e)", ArgError(4, "Probe", "Expected float")},
      {"Probe(1, e, '2.5')", ArgError(4, "Probe", "Expected float")},
  };
  for (const Case& c : cases) EXPECT_THAT(Run(c.call), HasSubstr(c.error)) << c.call;

  // A removed entity's proxy no longer names an object.
  entity->Remove();
  Vision::Game.FreeRemovedEntities();
  EXPECT_THAT(Run("Probe(1, e, 1.0)"), HasSubstr(ArgError(1, "Probe", "Expected native object of type VisBaseEntity_cl*")));
}

TEST_F(ScriptBindingsTest, EnumerationTablesNameTheNativeNumbers) {
  struct Table {
    const char* function;
    int entries;
    std::vector<std::pair<const char*, int>> samples;
  };
  const Table tables[] = {
      {"GetUnitTypes",
       32,
       {{"UNIT_NONE", 0}, {"PLAYER_HERO_BUCCANEER", 3}, {"PIRATE_HERO", 6}, {"PIRATE_SCALLYWAG", 15},
        {"BRINEMARK_LIUTENANT", 20}, {"GHOST_SOLDIER", 26}, {"WEAPON", 27}, {"GHOST_CAPTAIN", 31}}},
      {"GetCollectableIds",
       38,
       {{"ID_NONE", 0}, {"MONEY", 3}, {"EYEPATCH", 20}, {"WINDCHARM_PITRATE", 21}, {"WINDCHARM_CORSAIR", 23},
        {"INVISIBILITY_POTION", 33}, {"MESSAGE_BOTTLE", 37}}},
      {"GetCollectableTypes", 5, {{"TYPE_NONE", 0}, {"CONSUMABLE", 1}, {"INGREDIENT", 3}, {"PICKUP", 4}}},
      {"GetProjectileTypes",
       14,
       {{"PROJECTILE_NONE", 0}, {"PROJECTILE_HUMANCANNONBALL", 8}, {"PROJECTILE_MONKEYCANNONBALL", 11},
        {"PROJECTILE_STINKBOMB", 13}}},
  };
  for (const Table& t : tables) {
    const std::string call = std::string("GameManager.") + t.function + "()";
    // Every entry is a name with a number, and the numbers are exactly 0 to n-1.
    EXPECT_TRUE(Bool("(function() local seen, n = {}, 0; for k, v in pairs(" + call +
                     ") do if type(k) ~= 'string' or type(v) ~= 'number' or seen[v] then return false end; "
                     "seen[v] = true; n = n + 1 end; for i = 0, n - 1 do if not seen[i] then return false end end; "
                     "return true end)()"))
        << t.function;
    EXPECT_EQ(Number("(function() local n = 0; for _ in pairs(" + call + ") do n = n + 1 end; return n end)()"),
              t.entries)
        << t.function;
    for (const auto& [name, value] : t.samples) EXPECT_EQ(Number(call + "." + name), value) << name;
  }

  // Each call builds a new table: changing one leaves the next untouched.
  EXPECT_TRUE(Bool("(function() local a = GameManager.GetUnitTypes(); a.PIRATE_HERO = 99; "
                   "local b = GameManager.GetUnitTypes(); return a ~= b and b.PIRATE_HERO == 6 end)()"));
}

// The plug-in start registers everything before the game script's first run.
class ScriptRegistrationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = std::filesystem::temp_directory_path() / ("script_registration_" + std::to_string(::getpid()));
    std::filesystem::create_directories(m_dir / "scripts");
    std::filesystem::create_directories(m_dir / "documents");
    docsEnv = std::make_unique<ScopedEnv>("ENGINE_DOCUMENTS_DIR", (m_dir / "documents").c_str());
    Vision::File.RemoveAllDataDirectories();
    ASSERT_TRUE(Vision::File.AddDataDirectory(m_dir.c_str()));
  }
  void TearDown() override {
    GetEnginePlugin_Tidework()->OnPluginStop();
    JokeManager::CleanInstance();
    Vision::Game.RemoveAllEntities();
    Vision::GetScriptManager()->Reset();
    Vision::File.RemoveAllDataDirectories();
    std::filesystem::remove_all(m_dir);
  }

  std::filesystem::path m_dir;
  std::unique_ptr<ScopedEnv> docsEnv;
};

TEST_F(ScriptRegistrationTest, TheGameScriptFindsEveryTableAndClassOnItsFirstRun) {
  std::ofstream(m_dir / "scripts" / "GameScript.lua") << R"lua(
    SeenAtLoad = type(GameManager) .. "," .. type(PauseManager)
    function InitNations()
      GameManager.AddNation(0, "Neutral", 0)
      GameManager.AddNation(1, "Player", 0)
    end
    function InitWeapons()
      GameManager.AddWeapon(1, "Cutlass", true, false, "", 1.0, "", 0, "", 0, 0)
    end
  )lua";
  Vision::File.ClearCache();
  GetEnginePlugin_Tidework()->OnPluginStart();

  IVScriptInstance* game = Vision::GetScriptManager()->GetGameScript();
  ASSERT_NE(game, nullptr);
  VString seen;
  ASSERT_TRUE(game->GetGlobal("SeenAtLoad", seen));
  EXPECT_EQ(seen, "table,table");
  EXPECT_EQ(GameManager::GetInstance()->GetNationCount(), 2u);
  EXPECT_EQ(GameManager::GetInstance()->GetWeaponCount(), 1);

  // The game's classes give proxies their methods.
  lua_State* L = Vision::GetScriptManager()->GetMasterState();
  BaseEntity* entity = new BaseEntity();
  BaseComponent* component = new BaseComponent();
  LUA_PushObjectProxy(L, entity);
  lua_setglobal(L, "e");
  LUA_PushObjectProxy(L, static_cast<IVObjectComponent*>(component));
  lua_setglobal(L, "c");
  ASSERT_EQ(luaL_dostring(L, "return type(e.SetClickTraceAccuracy) .. type(c.GetProperty)"), 0);
  EXPECT_STREQ(lua_tostring(L, -1), "functionfunction");
  lua_settop(L, 0);
  component->DisposeObject();
}

}  // namespace
