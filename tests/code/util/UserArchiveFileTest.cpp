// UserArchiveFile: versioned reads, and whole-file replacement that leaves the old
// file in place when the disk fills up half-way.
#include "util/UserArchiveFile.h"

#include "engine/base/VArchive.h"
#include "engine/base/VString.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>

namespace {

namespace fs = std::filesystem;

class UserArchiveFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("brinemark_userfile_" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    path = (folder / "data.bin").string();
  }
  void TearDown() override { fs::remove_all(folder); }

  std::string Contents() const {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  int FileCount() const { return (int)std::distance(fs::directory_iterator(folder), fs::directory_iterator()); }

  fs::path folder;
  std::string path;
};

TEST_F(UserArchiveFileTest, WritesVersionAndBodyAndReadsThemBack) {
  ASSERT_TRUE(UserArchiveFile::Write(path.c_str(), [](VArchive& ar) { ar << 7 << "seven"; }));
  EXPECT_EQ(Contents(), std::string("\x01\0\0\0\x07\0\0\0\x05\0\0\0seven", 17));
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
  int number = 0, loadingVersion = 0;
  VString text;
  ASSERT_TRUE(UserArchiveFile::Read(path.c_str(), [&](VArchive& ar) {
    loadingVersion = ar.GetLoadingVersion();
    ar >> number >> text;
  }));
  EXPECT_EQ(loadingVersion, 1);
  EXPECT_EQ(number, 7);
  EXPECT_STREQ(text.AsChar(), "seven");

  // A body that reads past the end, a wrong version and a missing file all fail.
  EXPECT_FALSE(UserArchiveFile::Read(path.c_str(), [&](VArchive& ar) { ar >> number >> text >> number; }));
  std::ofstream(path, std::ios::binary) << std::string("\x02\0\0\0", 4);
  bool bodyRan = false;
  EXPECT_FALSE(UserArchiveFile::Read(path.c_str(), [&](VArchive&) { bodyRan = true; }));
  EXPECT_FALSE(bodyRan);
  EXPECT_FALSE(UserArchiveFile::Read((folder / "none.bin").c_str(), [&](VArchive&) { bodyRan = true; }));
  EXPECT_FALSE(bodyRan);
}

TEST_F(UserArchiveFileTest, AFullDiskKeepsTheOldFileWhole) {
  ASSERT_TRUE(UserArchiveFile::Write(path.c_str(), [](VArchive& ar) { ar << "old"; }));
  const std::string old = Contents();

  // The file size limit stands for a full disk: writes beyond it fail (the signal
  // that would end the process is ignored).
  const std::string big(64 * 1024, 'x');
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  void (*previous)(int) = signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 1000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = UserArchiveFile::Write(path.c_str(), [&](VArchive& ar) { ar << big.c_str(); });
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, previous);

  EXPECT_FALSE(written);
  EXPECT_EQ(Contents(), old);
  EXPECT_EQ(FileCount(), 1);  // no temporary file left behind

  // Into a folder that does not exist: nothing is made.
  EXPECT_FALSE(UserArchiveFile::ReplaceFile((folder / "missing/data.bin").c_str(), "x", 1));
  EXPECT_FALSE(fs::exists(folder / "missing"));
}

}  // namespace
