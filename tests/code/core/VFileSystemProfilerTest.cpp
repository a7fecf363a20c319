// The file-system profiler: records of opened files and their dump to the log.
#include "core/VFileSystemProfiler.h"

#include "support/LogCapture.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {
double g_clock = 0.0;

class VFileSystemProfilerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "profiler-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir = pattern;
    Write("a.txt", "hello");
    Write("b.dat", "0123456789");
    Write("README", "read me please");
    Vision::File.RemoveAllDataDirectories();
    ASSERT_TRUE(Vision::File.AddDataDirectory(dir.c_str()));
    dataDir = Vision::File.GetDataDirectory(0);
    original = Vision::File.GetManager();
    // Tick counts in milliseconds from the first reading.
    g_clock = 0.0;
    Vision::Timer.SetClockSource([] { return g_clock; });
    Vision::Timer.GetTickCount();
  }
  void TearDown() override {
    VFileSystemProfiler::Uninstall();
    Vision::Timer.SetClockSource(nullptr);
    Vision::File.RemoveAllDataDirectories();
    fs::remove_all(dir);
  }
  void Write(const char* name, const char* text) { std::ofstream(dir + "/" + name) << text; }
  // The dumped record lines (after the banner and the header).
  std::vector<std::string> Records() const {
    std::vector<std::string> out;
    const std::vector<std::string>& lines = log.Lines();
    for (size_t i = 0; i < lines.size(); ++i)
      if (lines[i].rfind("StackDepth;", 0) == 0) out.assign(lines.begin() + i + 1, lines.end());
    return out;
  }

  std::string dir;
  std::string dataDir;
  IVFileStreamManager* original = nullptr;
  LogCapture log;
};

TEST_F(VFileSystemProfilerTest, InstallWrapsTheManagerOnceAndUninstallGivesItBack) {
  VFileSystemProfiler::Install();
  VFileSystemProfiler* profiler = VFileSystemProfiler::GetInstalled();
  ASSERT_NE(profiler, nullptr);
  VFileSystemProfiler::Install();
  EXPECT_EQ(VFileSystemProfiler::GetInstalled(), profiler);
  EXPECT_EQ(Vision::File.GetManager(), profiler);
  EXPECT_STREQ(Vision::File.GetManager()->GetName(), "VFileSystemProfiler");
  EXPECT_TRUE(Vision::File.Exists("a.txt"));

  VFileSystemProfiler::Uninstall();
  EXPECT_EQ(VFileSystemProfiler::GetInstalled(), nullptr);
  EXPECT_EQ(Vision::File.GetManager(), original);
  ASSERT_GE(log.Lines().size(), 2u);
  EXPECT_EQ(log.Lines()[0], "=========================== VFileSystemProfiler Results ===============================");
  EXPECT_EQ(log.Lines()[1],
            "StackDepth;Filename;Extension;Data Directory;LoadedSuccess;Time when Opened; Time when Closed; Life Time; "
            "Num Read Calls; Total Read Bytes;HasBeenClosed");
}

TEST_F(VFileSystemProfilerTest, NestedOpensAreIndentedByStackDepth) {
  VFileSystemProfiler::Install();
  g_clock = 0.010;
  IVFileInStream* a = Vision::File.Open("a.txt");
  g_clock = 0.020;
  IVFileInStream* b = Vision::File.Open("b.dat");
  g_clock = 0.030;
  IVFileInStream* readme = Vision::File.Open("README");
  ASSERT_TRUE(a && b && readme);
  char buffer[64];
  EXPECT_EQ(readme->Read(buffer, 4), 4u);
  EXPECT_EQ(readme->Read(buffer, sizeof(buffer)), 10u);
  g_clock = 0.050;
  readme->Close();
  a->Close();
  // b stays open past the dump: its record keeps zero times and counts.
  b->AddRef();
  VFileSystemProfiler::Uninstall();
  EXPECT_EQ(VFileSystemProfiler::GetOpenStreamCount(), 1);

  const std::vector<std::string> records = Records();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0], "1;a.txt;txt;" + dataDir + ";1;10.000000;50.000000;40.000000;0;0;1");
  EXPECT_EQ(records[1], "2;      b.dat;dat;" + dataDir + ";1;20.000000;0.000000;0.000000;0;0;0");
  EXPECT_EQ(records[2], "3;            README;<none>;" + dataDir + ";1;30.000000;50.000000;20.000000;2;14;1");

  // The stream outlives the profiler's installation and closes cleanly.
  b->Close();
  EXPECT_EQ(VFileSystemProfiler::GetOpenStreamCount(), 0);
  b->Release();
}

TEST_F(VFileSystemProfilerTest, FailedOpenIsListedUnloadedWithDepthZero) {
  VFileSystemProfiler::Install();
  g_clock = 0.007;
  EXPECT_EQ(Vision::File.Open("missing.txt"), nullptr);
  // A second Close of a stream counts once.
  IVFileInStream* a = Vision::File.Open("a.txt");
  ASSERT_NE(a, nullptr);
  a->AddRef();
  a->Close();
  a->Close();
  a->Release();
  EXPECT_EQ(VFileSystemProfiler::GetOpenStreamCount(), 0);
  VFileSystemProfiler::Uninstall();

  const std::vector<std::string> records = Records();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0], "0;missing.txt;txt;" + dataDir + ";0;7.000000;0.000000;0.000000;0;0;0");
  EXPECT_EQ(records[1], "1;a.txt;txt;" + dataDir + ";1;7.000000;7.000000;0.000000;0;0;1");
}
}  // namespace
