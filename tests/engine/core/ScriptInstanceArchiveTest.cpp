// Script instances in archives: the file and the plain globals, re-attached to an
// entity written as an object; old entity blocks without a script; damaged blocks.
#include "ScriptTest.h"

#include "support/ArchiveRoundTrip.h"

#include <algorithm>

namespace {

using archive_test::Bytes;
using archive_test::ByteWriter;

class ScriptInstanceArchiveTest : public ScriptTest {};

TEST_F(ScriptInstanceArchiveTest, AnInstanceRoundTripsAsAFreshInstanceOfItsFile) {
  Write("scripts/Battle1.lua", "iWave = 1\nsName = 'start'\nfunction Init() end\n");
  VSmartPtr<IVScriptInstance> original = Mgr()->CreateScriptInstanceFromFile("scripts\\Battle1.lua");
  ASSERT_NE(original, nullptr);
  ASSERT_TRUE(original->SetGlobal("iWave", 3));
  ASSERT_TRUE(original->SetGlobal("sName", "ambush"));

  VSmartPtr<IVScriptInstance> fresh;
  auto save = [](VSmartPtr<IVScriptInstance>& s, VArchive& ar) { Mgr()->WriteScriptInstance(ar, s); };
  auto load = [](VSmartPtr<IVScriptInstance>& s, VArchive& ar) { s = Mgr()->ReadScriptInstance(ar, nullptr); };
  Bytes written;
  ASSERT_TRUE(archive_test::RoundTrip(original, fresh, save, load, &written));
  ASSERT_NE(fresh, nullptr);
  EXPECT_NE(fresh.GetPtr(), original.GetPtr());
  EXPECT_STREQ(fresh->GetFileName(), "scripts\\Battle1.lua");
  EXPECT_TRUE(fresh->HasFunction("Init")) << "the file ran again";
  int wave = 0;
  VString name;
  EXPECT_TRUE(fresh->GetGlobal("iWave", wave));
  EXPECT_EQ(wave, 3);
  EXPECT_TRUE(fresh->GetGlobal("sName", name));
  EXPECT_EQ(name, "ambush");
  const Bytes fileBytes = ByteWriter().Str("scripts\\Battle1.lua");
  ASSERT_GT(written.size(), fileBytes.size());
  EXPECT_TRUE(std::equal(fileBytes.begin(), fileBytes.end(), written.begin())) << "the file name first";

  // No instance: an empty name and nothing else.
  const Bytes none = archive_test::SaveBytes([](VArchive& ar) { Mgr()->WriteScriptInstance(ar, nullptr); });
  EXPECT_EQ(none, ByteWriter().Str("").Get());
  IVScriptInstance* read = reinterpret_cast<IVScriptInstance*>(1);
  ASSERT_TRUE(archive_test::LoadBytes(none, [&](VArchive& ar) { read = Mgr()->ReadScriptInstance(ar, nullptr); }));
  EXPECT_EQ(read, nullptr);
}

TEST_F(ScriptInstanceArchiveTest, AMissingFileOrDamagedStateFailsTheArchiveAndGivesNull) {
  Write("scripts/town.lua", "bFound = false\n");
  struct Case {
    const char* name;
    Bytes bytes;
    const char* logged;
  };
  const Case cases[] = {
      {"missing file", ByteWriter().Str("scripts\\gone.lua").U8(1).I32(0), "could not be loaded"},
      {"script that does not run", ByteWriter().Str("scripts\\broken.lua").U8(1).I32(0), "could not be loaded"},
      {"unknown state version", ByteWriter().Str("scripts\\town.lua").U8(9).I32(0), "damaged"},
      {"hostile count", ByteWriter().Str("scripts\\town.lua").U8(1).I32(0x7fffffff).Str("bFound").U8('b'), "damaged"},
      {"bad value kind", ByteWriter().Str("scripts\\town.lua").U8(1).I32(1).Str("bFound").U8('x'), "damaged"},
      {"cut short", ByteWriter().Str("scripts\\town.lua").U8(1).I32(1).Str("bFound"), "damaged"},
      {"name longer than the data", ByteWriter().I32(1 << 30).I32(0), ""},  // the archive itself refuses it
  };
  Write("scripts/broken.lua", "this is not lua");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    log.Clear();
    archive_test::ReadArchive ar(c.bytes);
    EXPECT_EQ(Mgr()->ReadScriptInstance(*ar, nullptr), nullptr);
    EXPECT_FALSE(ar->IsOK());
    if (*c.logged) {
      EXPECT_TRUE(log.Contains(c.logged));
    }
  }
}

class ScriptedEntity : public VisBaseEntity_cl {
  V_DECLARE_DYNCREATE(ScriptedEntity)
};
V_IMPLEMENT_DYNCREATE(ScriptedEntity, VisBaseEntity_cl)

TEST_F(ScriptInstanceArchiveTest, AnEntityCarriesItsScriptAndOldBlocksStillRead) {
  Write("scripts/town.lua", "bFound = false\nfunction Me() return self end\n");
  auto* original = new ScriptedEntity();
  original->SetEntityKey("Town");
  original->SetUniqueID(77);
  Mgr()->SetScriptInstance(original, Mgr()->CreateScriptInstanceFromFile("scripts\\town.lua", original));
  ASSERT_TRUE(Mgr()->GetScriptInstance(original)->SetGlobal("bFound", true));

  const Bytes bytes = archive_test::SaveBytes([&](VArchive& ar) { ar.WriteObject(original); });
  original->Remove();
  Vision::Game.FreeRemovedEntities();

  VisBaseEntity_cl* loaded = nullptr;
  ASSERT_TRUE(archive_test::LoadBytes(bytes, [&](VArchive& ar) { ar >> loaded; }));
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(Vision::Game.FindEntityByUniqueID(77), loaded);
  IVScriptInstance* script = Mgr()->GetScriptInstance(loaded);
  ASSERT_NE(script, nullptr);
  EXPECT_EQ(script->GetOwner(), loaded);
  bool found = false;
  EXPECT_TRUE(script->GetGlobal("bFound", found) && found);
  // Written again, the same bytes (the round trip through one fresh entity).
  auto* fresh = new ScriptedEntity();
  EXPECT_TRUE(archive_test::RoundTripSerialize(*static_cast<ScriptedEntity*>(loaded), *fresh));
  EXPECT_NE(Mgr()->GetScriptInstance(fresh), nullptr);

  // An entity block of version 1 ends before the script: it reads whole and leaves
  // the entity's script alone.
  auto* plain = new ScriptedEntity();
  plain->SetUniqueID(78);
  const size_t prefix = archive_test::SaveBytes([&](VArchive& ar) { plain->VisObject3D_cl::Serialize(ar); }).size();
  Bytes v1 = archive_test::SaveBytes([&](VArchive& ar) { plain->Serialize(ar); });
  ASSERT_EQ(v1[prefix], 2);
  const Bytes empty = ByteWriter().Str("");
  ASSERT_GT(v1.size(), prefix + empty.size());
  EXPECT_TRUE(std::equal(empty.begin(), empty.end(), v1.end() - (long)empty.size())) << "no script: an empty name";
  v1[prefix] = 1;
  v1.erase(v1.end() - (long)empty.size(), v1.end());
  IVScriptInstance* kept = Mgr()->GetScriptInstance(fresh);
  ASSERT_TRUE(archive_test::LoadBytes(v1, [&](VArchive& ar) { fresh->Serialize(ar); }));
  EXPECT_EQ(fresh->GetUniqueID(), 78);
  EXPECT_EQ(Mgr()->GetScriptInstance(fresh), kept);

  // A version 2 block whose script does not load fails the archive and changes nothing.
  Bytes gone = archive_test::SaveBytes([&](VArchive& ar) { loaded->Serialize(ar); });
  Write("scripts/town.lua", "this is not lua");
  archive_test::ReadArchive ar(gone);
  plain->Serialize(*ar);
  EXPECT_FALSE(ar->IsOK());
  EXPECT_EQ(plain->GetUniqueID(), 78);
  EXPECT_EQ(Mgr()->GetScriptInstance(plain), nullptr);
}

}  // namespace
