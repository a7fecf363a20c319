// The slots in a running campaign: the automatic save, the reload after a lost
// campaign, and files of the older save versions that the game still reads.
#include "SaveGameCampaignFixture.h"
#include "support/SaveFileBytes.h"

#include "entities/PlayerStats.h"
#include "gui/CeguiCompat.h"

#include "engine/render/VImageMap.h"

#include <gtest/gtest.h>

namespace {

using archive_test::ByteWriter;
using archive_test::SaveBytes;

TEST_F(SaveGameCampaignTest, TheAutomaticSaveWaitsForTheLoadingScreenThenWritesSlotTwenty) {
  StartCampaign();
  gui->ShowLoadingScreen();
  ASSERT_TRUE(gui->IsLoadingScreenVisible());
  saves->RequestAutoSave(true);
  SettleFrames(3);
  EXPECT_FALSE(std::filesystem::exists(SlotFile(20)));
  EXPECT_TRUE(saves->IsAutoSaveRequested());

  gui->HideLoadingScreen(5.0f, 0.0f);
  for (int i = 0; i < 200 && gui->IsLoadingScreenVisible(); ++i) SceneFrame();
  ASSERT_FALSE(gui->IsLoadingScreenVisible());
  SceneFrame();
  EXPECT_TRUE(std::filesystem::exists(SlotFile(20)));
  EXPECT_FALSE(saves->IsAutoSaveRequested());
  EXPECT_EQ(saves->GetNewestSlot(), 20);

  // AutoSave saves at once and clears the request.
  std::filesystem::remove(SlotFile(20));
  saves->RequestAutoSave(true);
  saves->AutoSave();
  EXPECT_TRUE(std::filesystem::exists(SlotFile(20)));
  EXPECT_FALSE(saves->IsAutoSaveRequested());
  // An automatic save that cannot be written says so (the request is spent).
  EXPECT_FALSE(NoticeShown("str_SAVE_GAME_FAILED"));
  std::filesystem::create_directories(SlotFile(20, ".gam.tmp"));
  saves->RequestAutoSave(true);
  SceneFrame();
  EXPECT_FALSE(saves->IsAutoSaveRequested());
  EXPECT_TRUE(NoticeShown("str_SAVE_GAME_FAILED"));
}

TEST_F(SaveGameCampaignTest, ALostCampaignComesBackFromTheNewestSave) {
  StartCampaign();
  PlayerStats* player = GameSessionManager::GetInstance()->GetPlayer();
  const int start = player->GetMoney();
  player->AddMoney(100);
  ASSERT_EQ(saves->SaveGame(7), 1);
  VLocalTime later;
  later.year = 2011, later.month = 5, later.day = 9, later.hour = 15;
  VSetFixedLocalTime(&later);
  player->AddMoney(100);
  ASSERT_EQ(saves->SaveGame(2), 1);
  GameSessionManager::GetInstance()->GetPlayer()->AddMoney(5000);

  GameManager::GetInstance()->PlayerDiedLoadSave(0.01f);
  SceneFrame();
  EXPECT_TRUE(log.Contains("LoadSlotIntoNewCampaign(2)"));
  EXPECT_EQ(GameSessionManager::GetInstance()->GetPlayer()->GetMoney(), start + 200);

  // A newest save that does not load: the campaign starts afresh.
  std::filesystem::resize_file(SlotFile(2), 100);
  Vision::File.ClearCache();
  GameSessionManager::GetInstance()->GetPlayer()->AddMoney(5000);
  GameManager::GetInstance()->PlayerDiedLoadSave(0.01f);
  SceneFrame();
  EXPECT_EQ(GameSessionManager::GetInstance()->GetPlayer()->GetMoney(), start);
}

// A file of an older save version: the header the version carries, no nations and
// entities, then the blocks of the running managers that the version holds.
struct OldFile {
  int version;
  int badBlock = 0;  // a block written newer than its reader: 23 land radar, 25 tutorials
};

SaveGameCampaignTest::Bytes OldSaveFile(const OldFile& f) {
  save_test::Header h;
  h.saveVersion = f.version;
  ByteWriter w;
  w.Raw(std::string(reinterpret_cast<const char*>(save_test::SaveFile(h).data()), save_test::SaveFile(h).size()));
  w.I32(0).I32(0);
  if (f.version < 5) w.F32(99.0f);
  auto block = [&](int field, const SaveGameCampaignTest::Bytes& bytes) {
    SaveGameCampaignTest::Bytes b = bytes;
    if (field == f.badBlock) b[8] = 99;
    w.Raw(std::string(b.begin(), b.end()));
  };
  block(19, SaveBytes([](VArchive& ar) { TownManager::GetInstance()->SerializeX(ar); }));
  block(20, SaveBytes([](VArchive& ar) { MissionManager::GlobalManager().SerializeX(ar); }));
  block(21, SaveBytes([](VArchive& ar) { GameSessionManager::GetInstance()->SerializeX(ar); }));
  block(22, SaveBytes([](VArchive& ar) { BattleManager::GetInstance()->SerializeX(ar); }));
  if (f.version >= 3) block(23, SaveBytes([](VArchive& ar) { LandRadarManager::GetInstance()->SerializeX(ar); }));
  if (f.version >= 4) block(24, SaveBytes([](VArchive& ar) { GameContentManager::GetInstance()->SerializeX(ar); }));
  if (f.version >= 6) block(25, SaveBytes([](VArchive& ar) { TutorialManager::GetInstance()->SerializeX(ar); }));
  w.Str("EOA");
  return w;
}

TEST_F(SaveGameCampaignTest, OlderSaveVersionsReadTheBlocksTheyHold) {
  StartCampaign();
  struct Case {
    OldFile file;
    int loads;
  } cases[] = {
      // Version 6: no stamp, hero, downloadable level, artifacts or achievements; the
      // tutorials' block is read (a newer one fails the file).
      {{6}, 1},
      {{6, 25}, 0},
      // Version 3: no content or tutorial block, the land radar's block is read, and
      // the float after the object records is dropped.
      {{3}, 1},
      {{3, 23}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "version " << c.file.version << " bad block " << c.file.badBlock);
    WriteFile(SlotFile(6), OldSaveFile(c.file));
    gui->SetSelectedPlayerCharacter(2);
    saves->SetHighestDlcLevelPassed(5);
    EXPECT_EQ(saves->LoadSlotIntoNewCampaign(6), c.loads);
    if (!c.loads) continue;
    EXPECT_EQ(gui->GetSelectedPlayerCharacter(), 2);
    EXPECT_EQ(saves->GetHighestDlcLevelPassed(), 5);
    EXPECT_FLOAT_EQ(GameManager::GetInstance()->GetWorldTime(), 3.0f);
    EXPECT_FLOAT_EQ(Vision::Timer.GetTime(), 12.5f);
  }
}

}  // namespace

namespace {

// Headless the screen cannot be read: a save keeps the slot's old preview. A preview
// as a save writes it is the picture the load screens show.
TEST_F(SaveGameCampaignTest, PreviewsKeepTheirOldPictureHeadlessAndLoadAsTheLoadScreensImage) {
  StartCampaign();
  VImageMap picture(320, 200, std::vector<uint8_t>(320 * 200 * 3, 90));
  std::vector<uint8_t> jpeg;
  ASSERT_TRUE(picture.EncodeJpeg(70, jpeg));
  WriteFile(SlotFile(7, ".jpg"), jpeg);
  ASSERT_EQ(saves->SaveGame(7), 1);
  EXPECT_EQ(ReadFile(SlotFile(7, ".jpg")), jpeg);
  EXPECT_EQ(saves->SaveGame(8), 1);
  EXPECT_FALSE(std::filesystem::exists(SlotFile(8, ".jpg")));

  saves->RefreshAllSlots();
  const std::string path = saves->GetSlotInfo(6).m_sThumbnailPath.AsChar();
  ASSERT_FALSE(path.empty());
  ASSERT_TRUE(CeguiCompat::CreateImagesetFromFile("PreviewScreenShot", path, "absolute"));
  const CEGUI::Image& image = CEGUI::ImageManager::getSingleton().get("PreviewScreenShot/full_image");
  EXPECT_FLOAT_EQ(image.getRenderedSize().d_width, 320.0f);
  EXPECT_FLOAT_EQ(image.getRenderedSize().d_height, 200.0f);
  CeguiCompat::DestroyImageset("PreviewScreenShot");
  ExpectNoCeguiFailure();
}

}  // namespace
