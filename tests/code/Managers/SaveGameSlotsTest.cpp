// The save slots' read side: paths, the local-time texts, headers of the save
// versions that differ in what they carry, the newest slot and damaged files.
#include "support/ArchiveRoundTrip.h"
#include "support/SaveFileBytes.h"
#include "support/ScopedEnv.h"

#include "Managers/SaveGameManager.h"
#include "engine/Vision.h"
#include "engine/base/VArchive.h"
#include "engine/os/VOs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;
using archive_test::ByteWriter;
using archive_test::Bytes;
using save_test::Header;
using save_test::SaveFile;

class SaveSlotsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    documents = fs::temp_directory_path() / ("brinemark_slots_" + std::to_string(getpid()));
    fs::remove_all(documents);
    fs::create_directories(documents);
    docsEnv = std::make_unique<ScopedEnv>("ENGINE_DOCUMENTS_DIR", documents.c_str());
    manager = SaveGameManagerProto::GetInstance();
  }
  void TearDown() override {
    SaveGameManagerProto::CleanInstance();
    VSetFixedLocalTime(nullptr);
    docsEnv.reset();
    fs::remove_all(documents);
  }

  fs::path Folder() const { return documents / "Fenwold" / "Brinemark" / "SaveGames"; }
  void WriteSlot(int slot, const Bytes& bytes, const char* ext = ".gam") {
    fs::create_directories(Folder());
    std::ofstream out(Folder() / ("save" + std::to_string(slot) + ext), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), (std::streamsize)bytes.size());
    Vision::File.ClearCache();
  }

  fs::path documents;
  std::unique_ptr<ScopedEnv> docsEnv;
  SaveGameManagerProto* manager = nullptr;
};

TEST_F(SaveSlotsTest, SlotPathsLieInTheSaveFolderWhichIsMade) {
  char path[V_DOCUMENT_FOLDER_SIZE];
  ASSERT_EQ(manager->GetSaveGameFile(path, 7), 1);
  EXPECT_EQ(fs::path(path), Folder() / "save7");
  EXPECT_TRUE(fs::is_directory(Folder()));
  ASSERT_EQ(manager->GetSaveGameFile(path, 20), 1);
  EXPECT_EQ(fs::path(path), Folder() / "save20");
  for (int slot : {0, 21, -1}) {
    EXPECT_EQ(manager->GetSaveGameFile(path, slot), 0) << slot;
    EXPECT_STREQ(path, "");
  }

  // The preview beside the save is found with the record.
  WriteSlot(7, SaveFile(Header{}));
  WriteSlot(7, Bytes{0xFF, 0xD8}, ".jpg");
  SaveSlotInfo& seven = manager->GetSlotInfo(6);
  manager->RefreshSlotInfo(seven);
  EXPECT_EQ(fs::path(seven.m_sThumbnailPath.AsChar()), Folder() / "save7.jpg");
  manager->ClearSlots();
  EXPECT_TRUE(seven.m_sThumbnailPath.IsEmpty());
  EXPECT_EQ(seven.m_sDateText, "5.9.2011 - 14:07");

  // Without a documents folder there is no path.
  ScopedEnv none("ENGINE_DOCUMENTS_DIR", nullptr);
  ScopedEnv noXdg("XDG_DOCUMENTS_DIR", nullptr);
  ScopedEnv noHome("HOME", nullptr);
  EXPECT_EQ(manager->GetSaveGameFile(path, 7), 0);
}

TEST_F(SaveSlotsTest, DateTextAndInfoStampFollowTheLocalTime) {
  VLocalTime t;
  t.year = 2011, t.month = 5, t.day = 9, t.hour = 14, t.minute = 7, t.second = 3, t.milliseconds = 45;
  VSetFixedLocalTime(&t);
  EXPECT_EQ(manager->GetDateString(), "5.9.2011 - 14:07");
  EXPECT_EQ(manager->GetSaveInfoString(), "201105091407030045");
  t.month = 12, t.day = 31, t.hour = 0, t.minute = 0, t.second = 59, t.milliseconds = 999;
  VSetFixedLocalTime(&t);
  EXPECT_EQ(manager->GetDateString(), "12.31.2011 - 00:00");
  EXPECT_EQ(manager->GetSaveInfoString(), "201112310000590999");

  // The real clock gives a stamp of 18 digits that is not going backwards.
  VSetFixedLocalTime(nullptr);
  const std::string a = manager->GetSaveInfoString().AsChar();
  const std::string b = manager->GetSaveInfoString().AsChar();
  EXPECT_EQ(a.size(), 18u);
  EXPECT_LE(a, b);
}

TEST_F(SaveSlotsTest, HeadersReadWhatTheirVersionCarries) {
  struct Case {
    int version;
    bool stamp, hero;
  } cases[] = {{6, false, false}, {7, true, false}, {11, true, true}};
  for (const Case& c : cases) {
    Header h;
    h.saveVersion = c.version;
    WriteSlot(3, SaveFile(h));
    SaveSlotInfo info(2);
    info.m_iHero = 9;
    info.m_sInfoStamp = "stale";
    ASSERT_EQ(manager->ReadSlotHeader(info, 3), 1) << c.version;
    EXPECT_EQ(info.m_iIndex, 2);
    EXPECT_EQ(info.m_sDateText, "5.9.2011 - 14:07") << c.version;
    EXPECT_EQ(info.m_sMissionName, "str_MISSION_1") << c.version;
    EXPECT_EQ(info.m_sInfoStamp, c.stamp ? "201105091407030045" : "") << c.version;
    EXPECT_EQ(info.m_iHero, c.hero ? 3 : 0) << c.version;
  }

  // Outside 1..20 nothing is read and nothing changes.
  SaveSlotInfo kept(4);
  kept.m_sDateText = "keep";
  kept.m_iHero = 2;
  for (int slot : {0, 21}) {
    EXPECT_EQ(manager->ReadSlotHeader(kept, slot), 0);
    EXPECT_EQ(kept.m_sDateText, "keep");
    EXPECT_EQ(kept.m_iHero, 2);
    EXPECT_EQ(kept.m_iIndex, 4);
  }
  EXPECT_EQ(manager->ReadSlotHeader(kept, 5), 0);  // no file
  EXPECT_EQ(kept.m_sDateText, "keep");
}

TEST_F(SaveSlotsTest, DamagedOrForeignFilesLeaveAnEmptyRecord) {
  const Bytes whole = SaveFile(Header{});
  Bytes truncated(whole.begin(), whole.begin() + 30);  // inside the date text
  Bytes cutStamp(whole.begin(), whole.begin() + 60);   // inside the info stamp
  ByteWriter foreign;
  foreign.Raw("\x89PNG\r\n\x1a\n").U32(13).Raw("IHDR");
  ByteWriter badVersion;
  badVersion.Str("ARCH").I32(Vision::GetArchiveVersion() + 1).U8(11).Str("5.9.2011 - 14:07").Str("m");
  ByteWriter hugeText;
  hugeText.Str("ARCH").I32(Vision::GetArchiveVersion()).U8(11).I32(0x7FFFFFF0);

  const Bytes* files[] = {&truncated, &cutStamp, &foreign.Get(), &badVersion.Get(), &hugeText.Get(), nullptr};
  for (const Bytes* file : files) {
    Bytes empty;
    WriteSlot(1, file ? *file : empty);
    SaveSlotInfo& info = manager->GetSlotInfo(0);
    info.m_sDateText = "old";
    info.m_sInfoStamp = "20110101000000000";
    manager->RefreshSlotInfo(info);
    EXPECT_TRUE(info.m_sDateText.IsEmpty());
    EXPECT_TRUE(info.m_sMissionName.IsEmpty());
    EXPECT_TRUE(info.m_sInfoStamp.IsEmpty());
    EXPECT_EQ(info.m_iHero, 0);
    EXPECT_EQ(manager->GetNewestSlot(), -1);
  }
}

TEST_F(SaveSlotsTest, NewestSlotHasTheLargestStampAndTheLowerOneOnATie) {
  EXPECT_EQ(manager->GetNewestSlot(), -1);  // no saves

  // Saves of version 6 carry no stamp: they never count as the newest.
  Header old;
  old.saveVersion = 6;
  WriteSlot(2, SaveFile(old));
  EXPECT_EQ(manager->GetNewestSlot(), -1);

  Header h;
  h.stamp = "201105091407030045";
  WriteSlot(9, SaveFile(h));
  WriteSlot(4, SaveFile(h));
  h.stamp = "201105091407030044";
  WriteSlot(1, SaveFile(h));
  EXPECT_EQ(manager->GetNewestSlot(), 4);
  h.stamp = "201105091407030046";
  WriteSlot(20, SaveFile(h));
  EXPECT_EQ(manager->GetNewestSlot(), 20);

  // Every record was refreshed on the way.
  EXPECT_EQ(manager->GetSlotInfo(8).m_sInfoStamp, "201105091407030045");
  EXPECT_EQ(manager->GetSlotInfo(1).m_sDateText, "5.9.2011 - 14:07");
  EXPECT_TRUE(manager->GetSlotInfo(2).m_sDateText.IsEmpty());
  fs::remove(Folder() / "save20.gam");
  Vision::File.ClearCache();
  manager->RefreshAllSlots();
  EXPECT_TRUE(manager->GetSlotInfo(19).m_sInfoStamp.IsEmpty());
  EXPECT_FALSE(manager->SlotExists(manager->GetSlotInfo(19)));
  EXPECT_TRUE(manager->SlotExists(manager->GetSlotInfo(3)));
}

}  // namespace
