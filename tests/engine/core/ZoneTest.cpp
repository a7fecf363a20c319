// Zones: entities streamed in beside the scene, kept across world unloads with their
// ids and script values until the zone is unloaded; refused files.
#include "support/ScratchScriptFixture.h"

#include "engine/core/VisZone.h"

#include <algorithm>
#include <cfloat>

namespace {

// Loads its script in InitFunction, as the game's towns do.
class ZoneProbeEntity : public VisBaseEntity_cl {
  V_DECLARE_DYNCREATE(ZoneProbeEntity)
 public:
  VString m_sScript;
  int m_iSize = 0;
  int sizeAtInit = -1;
  bool zoneAtInit = false;
  void InitFunction() override {
    sizeAtInit = m_iSize;
    zoneAtInit = GetParentZone() != nullptr;
    if (m_sScript.IsEmpty()) return;
    VScriptResourceManager* scripts = Vision::GetScriptManager();
    scripts->SetScriptInstance(this, scripts->CreateScriptInstanceFromFile(m_sScript.AsChar(), this));
  }
};

void ZoneProbeEntity_BuildVars(VARTABLE& t) {
  VAR_STRING(t, ZoneProbeEntity, m_sScript, "Script", "");
  VAR_INT(t, ZoneProbeEntity, m_iSize, "Size", "0");
}
V_IMPLEMENT_DYNCREATE_VARS(ZoneProbeEntity, VisBaseEntity_cl, ZoneProbeEntity_BuildVars)

const char* const kZoneFile = "scenes\\world01\\World.vscene_data\\Towns.vzone";

class ZoneTest : public ScratchScriptFixture {
 protected:
  ZoneTest() : ScratchScriptFixture("zones_") {}

  void TearDown() override {
    Vision::World.UnloadWorld();
    ScratchScriptFixture::TearDown();
  }

  void WriteFile(const std::string& name, const std::string& text) {
    std::filesystem::create_directories((m_dir / name).parent_path());
    Write(name, text);
  }
  void WriteTowns() {
    WriteFile("scripts/towns/port.lua", "bFound = false\niVisits = 0\n");
    WriteFile("scenes/world01/World.vscene_data/Towns.vzone", R"(<zone>
  <entity class="ZoneProbeEntity" key="PortRoyal" id="501" position="100/200/0">
    <var name="m_sScript" value="scripts\towns\port.lua"/>
    <var name="m_iSize" value="3"/>
  </entity>
  <entity class="ZoneProbeEntity" key="Cove" id="502" position="-50/10/0"/>
</zone>)");
  }

  static VScriptResourceManager* Mgr() { return Vision::GetScriptManager(); }
  static int LiveEntities() {
    const auto& all = Vision::Game.GetEntities();
    return (int)std::count_if(all.begin(), all.end(), [](VisBaseEntity_cl* e) { return e && !e->IsMarkedRemoved(); });
  }
};

TEST_F(ZoneTest, EntitiesAreMadeLikeSceneEntitiesAndOutliveWorldUnloadsWithTheirScripts) {
  WriteTowns();
  WriteFile("scenes/town/town.vscene", R"(<scene><entity key="Harbour"/></scene>)");
  ASSERT_TRUE(Vision::LoadWorld("scenes\\town\\town.vscene"));
  EXPECT_TRUE(Vision::File.Exists(kZoneFile)) << "Windows-style names relative to the data folders";

  VSmartPtr<VisZoneResource_cl> zone = new VisZoneResource_cl(kZoneFile, VisVector_cl(FLT_MAX, FLT_MAX, FLT_MAX),
                                                               VisVector_cl(-FLT_MAX, -FLT_MAX, -FLT_MAX));
  EXPECT_FALSE(zone->IsLoaded());
  ASSERT_TRUE(zone->EnsureLoaded());
  EXPECT_TRUE(zone->IsLoaded());
  EXPECT_TRUE(log.Contains("Zone \"scenes\\world01\\World.vscene_data\\Towns.vzone\" loaded: 2 entities"));

  const std::vector<VisBaseEntity_cl*> towns = zone->GetEntities();
  ASSERT_EQ(towns.size(), 2u);
  auto* port = static_cast<ZoneProbeEntity*>(towns[0]);
  EXPECT_EQ(port, Vision::Game.SearchEntity("PortRoyal"));
  EXPECT_EQ(Vision::Game.FindEntityByUniqueID(501), port);
  EXPECT_EQ(port->sizeAtInit, 3);
  EXPECT_TRUE(port->zoneAtInit);
  EXPECT_EQ(port->GetParentZone(), zone.GetPtr());
  EXPECT_EQ(port->GetPosition().y, 200.0f);
  IVScriptInstance* script = Mgr()->GetScriptInstance(port);
  ASSERT_NE(script, nullptr);
  ASSERT_TRUE(script->SetGlobal("bFound", true));
  ASSERT_TRUE(script->SetGlobal("iVisits", 4));

  ASSERT_TRUE(zone->EnsureLoaded()) << "loading a loaded zone does nothing";
  EXPECT_EQ(zone->GetEntities().size(), 2u);

  // A scene change and an empty world take the scene's entities, not the zone's.
  WriteFile("scenes/sea/sea.vscene", R"(<scene><entity key="Buoy"/><entity key="Taken" id="502"/></scene>)");
  ASSERT_TRUE(Vision::LoadWorld("scenes\\sea\\sea.vscene"));
  Vision::World.UnloadWorld();
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(Vision::Game.SearchEntity("Harbour"), nullptr);
  EXPECT_EQ(Vision::Game.SearchEntity("Buoy"), nullptr);
  EXPECT_EQ(LiveEntities(), 2);
  EXPECT_TRUE(log.Contains("entity id 502 is taken")) << "the zone's ids stay taken";
  EXPECT_EQ(Vision::Game.FindEntityByUniqueID(501), port);
  EXPECT_EQ(Mgr()->GetScriptInstance(port), script);
  bool found = false;
  int visits = 0;
  EXPECT_TRUE(script->GetGlobal("bFound", found) && found);
  EXPECT_TRUE(script->GetGlobal("iVisits", visits));
  EXPECT_EQ(visits, 4);
  EXPECT_EQ(zone->GetEntities(), towns);

  zone->EnsureUnloaded();
  EXPECT_FALSE(zone->IsLoaded());
  EXPECT_TRUE(zone->GetEntities().empty());
  EXPECT_EQ(Vision::Game.FindEntityByUniqueID(501), nullptr);
  EXPECT_EQ(Vision::Game.SearchEntity("Cove"), nullptr);
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(LiveEntities(), 0);

  // Loaded again, the file makes new entities under the same ids.
  ASSERT_TRUE(zone->EnsureLoaded());
  ASSERT_EQ(zone->GetEntities().size(), 2u);
  EXPECT_EQ(Vision::Game.FindEntityByUniqueID(502), zone->GetEntities()[1]);
  zone->EnsureUnloaded();
}

TEST_F(ZoneTest, ReleasingOrRemovingKeepsNoDeadEntityAndUnloadedEntitiesGoWithTheWorld) {
  WriteTowns();
  VSmartPtr<VisZoneResource_cl> zone = new VisZoneResource_cl(kZoneFile, VisVector_cl(), VisVector_cl());
  ASSERT_TRUE(zone->EnsureLoaded());
  VisBaseEntity_cl* cove = Vision::Game.SearchEntity("Cove");
  ASSERT_NE(cove, nullptr);
  cove->Remove();
  EXPECT_EQ(zone->GetEntities().size(), 1u);
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(zone->GetEntities().size(), 1u);

  // Released while loaded: its entities go, and none points at the dead zone.
  VisBaseEntity_cl* port = Vision::Game.SearchEntity("PortRoyal");
  ASSERT_NE(port, nullptr);
  zone = nullptr;
  EXPECT_TRUE(port->IsMarkedRemoved());
  EXPECT_EQ(port->GetParentZone(), nullptr);
  Vision::World.UnloadWorld();
  EXPECT_EQ(LiveEntities(), 0);
  EXPECT_EQ(Vision::Game.GetEntityCount(), 0);
}

TEST_F(ZoneTest, RefusedFilesCreateNothingAndSayWhy) {
  struct Case {
    const char* name;
    const char* text;  // null: no file
    const char* logged;
  };
  const Case cases[] = {
      {"missing", nullptr, "not found"},
      {"not XML", "<zone><entity key=\"A\">", "line "},
      {"scene root", "<scene><entity key=\"A\"/></scene>", "root element is not <zone>"},
      {"bad value after a good entity", "<zone><entity key=\"A\"/><entity key=\"B\" position=\"1/2\"/></zone>",
       "position \"1/2\" is not x/y/z"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    log.Clear();
    const std::string file = std::string("zones/") + c.name + ".vzone";
    if (c.text) WriteFile(file, c.text);
    VSmartPtr<VisZoneResource_cl> zone = new VisZoneResource_cl(file.c_str(), VisVector_cl(), VisVector_cl());
    EXPECT_FALSE(zone->EnsureLoaded());
    EXPECT_FALSE(zone->IsLoaded());
    EXPECT_EQ(LiveEntities(), 0);
    EXPECT_TRUE(log.Contains("Zone \"" + file + "\": ")) << "logged with the file name";
    EXPECT_TRUE(log.Contains(c.logged));
  }
}

}  // namespace
