// The save-game file through a campaign of the bundled data: what a save writes, read
// into a fresh campaign (end, start, load) and written again to the same bytes.
#include "SaveGameCampaignFixture.h"

#include <gtest/gtest.h>

namespace {

TEST_F(SaveGameCampaignTest, RoundTrip) {
  StartCampaign();
  ASSERT_EQ(saves->SaveGame(3), 1);
  const Bytes first = ReadFile(SlotFile(3));
  ASSERT_GT(first.size(), 100u);
  ASSERT_EQ(saves->LoadSlotIntoNewCampaign(3), 1);
  const Bytes second = saves->WriteSaveGameBytes();
  EXPECT_TRUE(SameBytes(first, second));
  for (const std::string& line : log.Lines()) printf("%s\n", line.c_str());
}

}  // namespace
