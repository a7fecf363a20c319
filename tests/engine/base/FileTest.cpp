#include "engine/base/VisFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {
// A scratch tree with mixed-case names under /tmp, removed afterwards; the
// current folder is restored too.
class FileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
    m_oldCwd = cwd;
    char tmpl[] = "/tmp/filetest-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    m_root = tmpl;
    for (const char* d : {"Data", "Data/Scripts", "Data/Models", "Extra", "Extra/scripts", "Extra/Only", "Out"})
      mkdir(Path(d).c_str(), 0777);
    Write("Data/Scripts/SoldierStats.lua", "first");
    Write("Data/Models/Ship.MODEL", "model");
    Write("Extra/scripts/soldierstats.LUA", "second");
    Write("Extra/Only/Here.txt", "only here");
    Write("pkg.zip", "not a folder");
  }
  void TearDown() override {
    ASSERT_EQ(chdir(m_oldCwd.c_str()), 0);
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
    VFileHelper::ClearFolderCache();
  }
  std::string Path(const std::string& rel) const { return m_root + "/" + rel; }
  void Write(const std::string& rel, const std::string& text) const {
    FILE* f = fopen(Path(rel).c_str(), "wb");
    ASSERT_NE(f, nullptr) << rel;
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
  }
  static std::string ReadAll(VisFile_cl& files, const char* name) {
    std::string text;
    if (!files.ReadTextFile(name, text)) return "<missing>";
    return text;
  }
  // Data and Extra as data folders, Out as the output folder.
  void AddBoth(VisFile_cl& files) const {
    ASSERT_TRUE(files.AddDataDirectory(Path("Data").c_str()));
    ASSERT_TRUE(files.AddDataDirectory(Path("Extra").c_str()));
    ASSERT_TRUE(files.SetOutputDirectory(Path("Out").c_str()));
  }

  std::string m_root, m_oldCwd;
};
}  // namespace

TEST_F(FileTest, NamesAreFoundWithoutCaseWithEitherSeparatorInDataFolderOrder) {
  VisFile_cl files;
  AddBoth(files);
  const struct {
    const char* name;
    const char* text;
  } cases[] = {
      {"\\Scripts\\SoldierStats.lua", "first"},
      {"scripts\\soldierSTATS.LUA", "first"},
      {"/SCRIPTS//SoldierStats.lua", "first"},
      {"models\\ship.model", "model"},
      {"only/here.TXT", "only here"},
      {"\\Scripts\\Missing.lua", "<missing>"},
      {"", "<missing>"},
      {"Scripts", "<missing>"},  // a folder is no file
  };
  for (const auto& c : cases) EXPECT_EQ(ReadAll(files, c.name), c.text) << c.name;

  IVFileInStream* in = files.Open("ONLY\\here.txt");
  ASSERT_NE(in, nullptr);
  EXPECT_EQ(std::string(in->GetInitialSearchPath()), files.GetDataDirectory(1));
  in->Close();
  EXPECT_TRUE(files.Exists("\\models\\SHIP.model"));
  EXPECT_FALSE(files.Exists("models/boat.model"));
  EXPECT_TRUE(files.PrecacheFile("\\Scripts\\SoldierStats.lua"));
  EXPECT_FALSE(files.PrecacheFile("\\Scripts\\Nope.lua"));
  VFileTime stamp;
  EXPECT_TRUE(files.GetManager()->GetTimeStamp("only/here.txt", stamp));
  EXPECT_GT(stamp.seconds, 0);
}

TEST_F(FileTest, AbsoluteNamesAreUsedAsTheyAre) {
  VisFile_cl files;  // no data folders at all
  EXPECT_EQ(ReadAll(files, Path("extra/ONLY/here.txt").c_str()), "only here");
  std::string resolved;
  ASSERT_TRUE(files.ResolvePath(Path("Data/scripts/soldierstats.lua").c_str(), resolved));
  EXPECT_EQ(resolved, Path("Data/Scripts/SoldierStats.lua"));
  EXPECT_FALSE(files.Exists("Scripts/SoldierStats.lua"));
}

TEST_F(FileTest, DataFolderSlotsPackagesAndRelativeFolders) {
  VisFile_cl files;
  EXPECT_FALSE(files.AddDataDirectory(Path("pkg.zip").c_str())) << "packages are not supported";
  EXPECT_FALSE(files.AddDataDirectory(Path("data.v").c_str()));
  EXPECT_FALSE(files.AddDataDirectory(Path("NoSuchFolder").c_str()));
  EXPECT_FALSE(files.AddDataDirectory(""));
  EXPECT_FALSE(files.AddDataDirectory(nullptr));

  // Relative to the current folder when added, written either way.
  ASSERT_EQ(chdir(Path("Out").c_str()), 0);
  ASSERT_TRUE(files.AddDataDirectory("..\\EXTRA\\..\\data"));
  ASSERT_TRUE(files.AddDataDirectory("../Data/"));  // the same folder again
  ASSERT_EQ(chdir("/"), 0);
  EXPECT_STREQ(files.GetDataDirectory(0), Path("Data").c_str());
  EXPECT_EQ(files.GetDataDirectory(1), nullptr);
  EXPECT_EQ(files.GetDataDirectory(-1), nullptr);
  EXPECT_EQ(files.GetDataDirectory(files.GetMaxDataDirectoryCount()), nullptr);
  EXPECT_EQ(ReadAll(files, "scripts\\soldierstats.lua"), "first");

  files.RemoveAllDataDirectories();
  EXPECT_EQ(files.GetDataDirectory(0), nullptr);
  EXPECT_FALSE(files.Exists("scripts\\soldierstats.lua"));
  EXPECT_FALSE(files.SetOutputDirectory(Path("Nowhere").c_str()));
  EXPECT_STREQ(files.GetOutputDirectory(), "");
}

TEST_F(FileTest, CreateWritesIntoTheOutputFolderAndIsFoundAtOnce) {
  VisFile_cl files;
  AddBoth(files);
  ASSERT_TRUE(files.AddDataDirectory(Path("Out").c_str()));
  // List the output folder first, so a stale listing would hide the new file.
  EXPECT_FALSE(files.Exists("SAVE.BIN"));
  IVFileOutStream* out = files.Create("\\Save.bin");
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(out->Write("abc", 3), 3u);
  out->Close();
  EXPECT_EQ(ReadAll(files, "save.BIN"), "abc");
  struct stat st;
  EXPECT_EQ(stat(Path("Out/Save.bin").c_str(), &st), 0);

  // An existing file in another case is overwritten, not doubled.
  out = files.Create("save.bin");
  ASSERT_NE(out, nullptr);
  out->Write("xy", 2);
  out->Close();
  EXPECT_EQ(ReadAll(files, "SAVE.bin"), "xy");
  EXPECT_NE(stat(Path("Out/save.bin").c_str(), &st), 0);

  EXPECT_EQ(files.Create("NoFolder\\x.bin"), nullptr);
  EXPECT_EQ(files.Create(""), nullptr);
  // Absolute names go where they say.
  out = files.Create(Path("extra/New.txt").c_str());
  ASSERT_NE(out, nullptr);
  out->Close();
  EXPECT_EQ(stat(Path("Extra/New.txt").c_str(), &st), 0);
}

TEST_F(FileTest, ListingsAreCachedUntilClearCache) {
  VisFile_cl files;
  AddBoth(files);
  EXPECT_FALSE(files.Exists("only\\LATER.txt"));
  Write("Extra/Only/Later.txt", "late");  // behind the engine's back
  EXPECT_TRUE(files.Exists("only\\Later.txt")) << "the exact name needs no listing";
  EXPECT_FALSE(files.Exists("only\\LATER.txt"));
  files.ClearCache();
  EXPECT_TRUE(files.Exists("only\\LATER.txt"));
}

TEST_F(FileTest, TextLinesDropLineEndsAndSplitLongLines) {
  const std::string longLine(1500, 'x');
  Write("Data/Lines.txt", "one\r\n\r\ntwo\n" + longLine + "\nlast\r");
  Write("Data/Empty.txt", "");
  VisFile_cl files;
  AddBoth(files);
  std::vector<std::string> lines;
  ASSERT_TRUE(files.ReadTextLines("lines.txt", lines));
  const std::vector<std::string> expected = {"one", "", "two", longLine.substr(0, 1024), longLine.substr(1024), "last"};
  EXPECT_EQ(lines, expected);
  ASSERT_TRUE(files.ReadTextLines("empty.txt", lines));
  EXPECT_TRUE(lines.empty());
  EXPECT_FALSE(files.ReadTextLines("none.txt", lines));
}

TEST_F(FileTest, StreamsSeekReadAndGiveUpTheirReferenceOnceOnClose) {
  Write("Data/Bytes.bin", "0123456789");
  VisFile_cl files;
  AddBoth(files);
  IVFileInStream* raw = files.Open("bytes.bin");
  ASSERT_NE(raw, nullptr);
  VSmartPtr<IVFileInStream> held(raw);  // as an archive holds its stream
  EXPECT_EQ(held->GetSize(), 10);
  char buf[8] = {};
  ASSERT_TRUE(held->SetPos(-3, 2));
  EXPECT_EQ(held->Read(buf, sizeof(buf)), 3u);
  EXPECT_EQ(std::string(buf, 3), "789");
  EXPECT_TRUE(held->IsEOF());
  ASSERT_TRUE(held->SetPos(2));
  EXPECT_EQ(held->GetPos(), 2);
  EXPECT_EQ(held->Read(buf, 2), 2u);
  EXPECT_EQ(std::string(buf, 2), "23");
  EXPECT_EQ(held->GetRefCount(), 2);
  held->Close();
  held->Close();
  EXPECT_EQ(held->GetRefCount(), 1);
  EXPECT_EQ(held->Read(buf, 2), 0u);
}

namespace {
// A wrapper that counts opens and passes everything on, as a profiler does.
class CountingManager : public IVFileStreamManager {
 public:
  explicit CountingManager(IVFileStreamManager* inner) : m_inner(inner) {}
  const char* GetName() override { return "Counting"; }
  IVFileInStream* Open(const char* name, int flags) override {
    ++opens;
    return m_inner->Open(name, flags);
  }
  IVFileOutStream* Create(const char* name, int flags) override { return m_inner->Create(name, flags); }
  bool Exists(const char* name, int flags) override { return m_inner->Exists(name, flags); }
  bool GetTimeStamp(const char* name, VFileTime& out) override { return m_inner->GetTimeStamp(name, out); }
  int GetNumDataDirectories() override { return m_inner->GetNumDataDirectories(); }
  bool SetDataDirectory(int i, const char* dir) override {
    ++dirSets;
    return m_inner->SetDataDirectory(i, dir);
  }
  const char* GetDataDirectory(int i) override { return m_inner->GetDataDirectory(i); }
  int opens = 0, dirSets = 0;

 private:
  VSmartPtr<IVFileStreamManager> m_inner;
};
}  // namespace

TEST_F(FileTest, OpensAndDataFoldersGoThroughTheCurrentManager) {
  VisFile_cl files;
  VSmartPtr<CountingManager> counting(new CountingManager(files.GetManager()));
  files.SetManager(counting);
  EXPECT_EQ(files.GetManager(), counting.GetPtr());
  ASSERT_TRUE(files.AddDataDirectory(Path("Data").c_str()));
  EXPECT_EQ(counting->dirSets, 1);
  EXPECT_EQ(ReadAll(files, "scripts/soldierstats.lua"), "first");
  std::vector<std::string> lines;
  files.ReadTextLines("scripts/soldierstats.lua", lines);
  EXPECT_EQ(counting->opens, 2);
  files.SetManager(nullptr);
  EXPECT_EQ(files.GetManager(), files.GetBaseManager());
  EXPECT_EQ(ReadAll(files, "scripts/soldierstats.lua"), "first") << "the data folders stay with the base";
  EXPECT_EQ(counting->opens, 2);
}

TEST_F(FileTest, MkDirRecursiveCreatesParentsAndReusesExistingOnesInAnyCase) {
  ASSERT_TRUE(VFileHelper::MkDirRecursive(Path("extra\\ONLY\\New\\Deeper").c_str()));
  EXPECT_TRUE(VFileHelper::ExistsDir(Path("Extra/Only/New/Deeper").c_str()));
  struct stat st;
  EXPECT_NE(stat(Path("extra").c_str(), &st), 0) << "no second folder differing only in case";
  EXPECT_TRUE(VFileHelper::MkDirRecursive(Path("Extra").c_str()));
  EXPECT_FALSE(VFileHelper::MkDirRecursive(Path("pkg.zip/sub").c_str()));
  EXPECT_TRUE(VFileHelper::ExistsFile(Path("DATA/models/SHIP.model").c_str()));
  EXPECT_FALSE(VFileHelper::ExistsFile(Path("Data/Models").c_str()));
  EXPECT_FALSE(VFileHelper::ExistsDir(Path("Data/Models/Ship.MODEL").c_str()));

  ASSERT_TRUE(VFileHelper::SetCurrentDirectory(Path("data\\SCRIPTS").c_str()));
  char cwd[4096];
  ASSERT_TRUE(VFileHelper::GetCurrentDirectory(cwd, sizeof(cwd)));
  EXPECT_EQ(std::string(cwd), Path("Data/Scripts"));
  EXPECT_FALSE(VFileHelper::GetCurrentDirectory(cwd, 2));
}

TEST(VFileHelper, SplitsAndJoinsPaths) {
  const struct {
    const char* path;
    const char* extension;
    const char* directory;
  } cases[] = {
      {"Particles\\smoke.XML", "XML", "Particles"},
      {"a.b/file", "", "a.b"},
      {"archive.tar.gz", "gz", ""},
      {"/root.txt", "txt", "/"},
      {"dir\\sub/name.", "", "dir\\sub"},
      {"", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_STREQ(VFileHelper::GetExtension(c.path), c.extension) << c.path;
    EXPECT_EQ(VFileHelper::GetDirectory(c.path), c.directory) << c.path;
  }
  EXPECT_EQ(VFileHelper::NormalizePath("..\\..\\\\data//x"), "../../data/x");
  EXPECT_TRUE(VFileHelper::IsAbsolutePath("/tmp"));
  EXPECT_FALSE(VFileHelper::IsAbsolutePath("\\Scripts\\X.lua"));

  const struct {
    const char* dir;
    const char* file;
    const char* combined;
  } joins[] = {{"data", "x.lua", "data/x.lua"}, {"data/", "\\x.lua", "data/x.lua"},
               {"", "x.lua", "x.lua"},          {"data", "", "data"},
               {"/", "x", "/x"},                {nullptr, nullptr, ""}};
  for (const auto& j : joins) EXPECT_EQ(VPathHelper::CombineDirAndFile(j.dir, j.file), j.combined);
}

TEST(VisionAppHelpers, ProgramFolderComesFromTheRunningExecutable) {
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
  ASSERT_GT(n, 0);
  const std::string exe(buf, (size_t)n);
  EXPECT_EQ(VisionAppHelpers::GetEXEPath(), exe);
  EXPECT_EQ(VisionAppHelpers::GetEXEDirectory(), exe.substr(0, exe.rfind('/')));

  char old[4096];
  ASSERT_NE(getcwd(old, sizeof(old)), nullptr);
  ASSERT_EQ(chdir("/"), 0);
  ASSERT_TRUE(VisionAppHelpers::MakeEXEDirCurrent());
  char now[4096];
  ASSERT_NE(getcwd(now, sizeof(now)), nullptr);
  EXPECT_EQ(std::string(now), VisionAppHelpers::GetEXEDirectory());
  ASSERT_EQ(chdir(old), 0);
}
