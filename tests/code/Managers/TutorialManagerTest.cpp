// Tutorial pages from the tutorial script, the queue of pages shown, and the saved
// record of the pages seen.
#include "Managers/TutorialManager.h"

#include "support/ArchiveRoundTrip.h"
#include "support/LogCapture.h"
#include "support/ScratchDataFolder.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

namespace {

using archive_test::ByteWriter;
using archive_test::Bytes;
using archive_test::LoadBytes;
using archive_test::ReadArchive;
using archive_test::SaveBytes;

class TutorialManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Three pages in the script's order, one id twice (the first wins).
    data.Write("scripts/Tutorials.lua", R"(
local pages = {{"sailing", "str_TUT_SAIL", "tut_sail"}, {"cannons", "str_TUT_CANNONS", "tut_cannons"},
               {"sailing", "str_TUT_DUPLICATE", ""}, {"boarding", "str_TUT_BOARD", "tut_board"}}
function GetTutorialAmount() return #pages end
function GetTutorialAt(i) return pages[i][1], pages[i][2], pages[i][3] end
)");
    tutorials = TutorialManager::GetInstance();
  }
  void TearDown() override { TutorialManager::CleanInstance(); }

  std::vector<VString> Enabled() {
    std::vector<VString> out;
    for (const char* id : {"boarding", "cannons", "sailing"})
      if (tutorials->GetTutorial(id).enabled) out.push_back(id);
    return out;
  }
  Bytes Block() {
    return SaveBytes([&](VArchive& ar) { tutorials->SerializeX(ar); });
  }

  ScratchDataFolder data;
  TutorialManager* tutorials = nullptr;
};

TEST_F(TutorialManagerTest, EachPageIsQueuedOnceUntilTheSeenOnesAreShownAgain) {
  EXPECT_EQ(tutorials->GetTutorialCount(), 3);
  EXPECT_EQ(tutorials->GetTutorial("sailing").text, "str_TUT_SAIL");
  tutorials->ShowTutorial("sailing");
  tutorials->ShowTutorial("sailing");
  tutorials->ShowTutorial("unknown");
  tutorials->ShowTutorial("");
  EXPECT_EQ(tutorials->GetQueue(), (std::vector<VString>{"sailing"}));
  tutorials->ReleaseQueue();
  tutorials->ShowTutorial("sailing");
  EXPECT_TRUE(tutorials->GetQueue().empty());

  tutorials->ShowTutorial("cannons");
  tutorials->ReleaseQueue();
  tutorials->ShowAllSeenTutorials();
  EXPECT_EQ(tutorials->GetQueue(), (std::vector<VString>{"cannons", "sailing"}));

  // After a campaign's end every seen page may be shown again, and the ended
  // campaign's window, closing late, marks nothing seen.
  tutorials->Reset();
  EXPECT_TRUE(tutorials->GetQueue().empty());
  tutorials->ReleaseQueue();
  EXPECT_EQ(Enabled(), (std::vector<VString>{"boarding", "cannons", "sailing"}));

  // Switched off, nothing shows until the next reset.
  tutorials->Disable();
  tutorials->ShowTutorial("boarding");
  EXPECT_TRUE(tutorials->GetQueue().empty());
  tutorials->SetTutorialState("boarding", true);
  tutorials->SetTutorialState("", true);
  tutorials->ShowTutorial("boarding");
  EXPECT_EQ(tutorials->GetQueue(), (std::vector<VString>{"boarding"}));
}

TEST_F(TutorialManagerTest, PagesAreFoundInTheQueueAndInTheScriptsOrder) {
  for (const char* id : {"boarding", "sailing", "cannons"}) tutorials->ShowTutorial(id);
  EXPECT_EQ(tutorials->GetQueueIndex("boarding"), 1);
  EXPECT_EQ(tutorials->GetQueueIndex("cannons"), 3);
  EXPECT_EQ(tutorials->GetQueueIndex("unknown"), -1);
  EXPECT_EQ(tutorials->GetNextFromQueue("boarding").id, "sailing");
  EXPECT_EQ(tutorials->GetPrevFromQueue("sailing").id, "boarding");
  // At either end, the page itself.
  EXPECT_EQ(tutorials->GetNextFromQueue("cannons").id, "cannons");
  EXPECT_EQ(tutorials->GetPrevFromQueue("boarding").id, "boarding");
  EXPECT_EQ(tutorials->GetNextFromQueue("unknown").index, -1);

  EXPECT_EQ(tutorials->GetFullIndex("boarding"), 4);
  EXPECT_EQ(tutorials->GetFullIndex("unknown"), -1);
  EXPECT_EQ(tutorials->GetFirstTutorial().id, "sailing");
  EXPECT_EQ(tutorials->GetNextTutorial("sailing").id, "cannons");
  // Index 3 was the duplicate: no page there.
  EXPECT_EQ(tutorials->GetNextTutorial("cannons").index, -1);
  EXPECT_EQ(tutorials->GetPrevTutorial("sailing").index, -1);
  EXPECT_EQ(tutorials->GetTutorialCount(), 3) << "look-ups add no pages";
}

TEST_F(TutorialManagerTest, TheSavedBlockHoldsEveryPagesFlagAndReadsBackByteEqual) {
  tutorials->ShowTutorial("cannons");
  tutorials->ReleaseQueue();
  const Bytes saved = Block();
  ByteWriter expected;
  expected.Str("ARCH").U8(1).I32(3).Str("boarding").U8(1).Str("cannons").U8(0).Str("sailing").U8(1).Str("EOA");
  EXPECT_EQ(saved, expected.Get());

  tutorials->Reset();
  tutorials->ShowTutorial("sailing");
  EXPECT_TRUE(LoadBytes(saved, [&](VArchive& ar) { EXPECT_TRUE(tutorials->SerializeX(ar)); }));
  EXPECT_EQ(Enabled(), (std::vector<VString>{"boarding", "sailing"}));
  EXPECT_EQ(tutorials->GetQueue(), (std::vector<VString>{"sailing"})) << "the queue is not saved";
  EXPECT_EQ(Block(), saved);

  // A page the script no longer has comes back as an empty page under its id.
  ByteWriter old;
  old.Str("ARCH").U8(1).I32(1).Str("retired").U8(0).Str("EOA");
  EXPECT_TRUE(LoadBytes(old, [&](VArchive& ar) { EXPECT_TRUE(tutorials->SerializeX(ar)); }));
  EXPECT_EQ(tutorials->GetTutorialCount(), 4);
  EXPECT_FALSE(tutorials->GetTutorial("retired").enabled);
  EXPECT_EQ(tutorials->GetFullIndex("retired"), -1);
  EXPECT_TRUE(tutorials->GetTutorial("retired").text.IsEmpty());
}

TEST_F(TutorialManagerTest, ADamagedSavedBlockKeepsTheFlags) {
  tutorials->ShowTutorial("cannons");
  tutorials->ReleaseQueue();
  Bytes saved = Block();
  tutorials->Reset();
  const Bytes running = Block();
  const struct {
    const char* what;
    size_t at;
    uint8_t value;
  } damages[] = {
      {"newer block", 8, 2},
      {"wrong start tag", 7, 'X'},
      {"count beyond the block", 12, 0x10},
      {"id longer than the block", 16, 0x7f},
      {"wrong end tag", saved.size() - 1, 'X'},
  };
  for (const auto& d : damages) {
    SCOPED_TRACE(d.what);
    Bytes bad = saved;
    bad[d.at] = d.value;
    LogCapture log;
    ReadArchive ar(bad);
    EXPECT_FALSE(tutorials->SerializeX(*ar));
    EXPECT_FALSE(ar->IsOK());
    EXPECT_EQ(Block(), running);
  }
}

TEST(TutorialManagerWithoutScript, HasNoPages) {
  ScratchDataFolder empty;
  TutorialManager* tutorials = TutorialManager::GetInstance();
  EXPECT_EQ(tutorials->GetTutorialCount(), 0);
  tutorials->ShowAllSeenTutorials();
  tutorials->ShowTutorial("sailing");
  EXPECT_TRUE(tutorials->GetQueue().empty());
  TutorialManager::CleanInstance();
}

}  // namespace
