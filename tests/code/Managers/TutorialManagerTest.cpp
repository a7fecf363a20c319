// Tutorial pages from the tutorial script and the queue of pages shown.
#include "Managers/TutorialManager.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

TEST(TutorialManagerTest, EachPageIsQueuedOnceUntilTheSeenOnesAreShownAgain) {
  std::string dir = (fs::temp_directory_path() / "tutorials-XXXXXX").string();
  ASSERT_NE(mkdtemp(dir.data()), nullptr);
  fs::create_directories(fs::path(dir) / "scripts");
  std::ofstream(fs::path(dir) / "scripts" / "Tutorials.lua") << R"(
local pages = {{"sailing", "str_TUT_SAIL", "tut_sail"}, {"cannons", "str_TUT_CANNONS", ""},
               {"sailing", "str_TUT_DUPLICATE", ""}}
function GetTutorialAmount() return #pages end
function GetTutorialAt(i) return pages[i][1], pages[i][2], pages[i][3] end
)";
  ASSERT_TRUE(Vision::File.AddDataDirectory(dir.c_str()));

  TutorialManager* tutorials = TutorialManager::GetInstance();
  EXPECT_EQ(tutorials->GetTutorialCount(), 2);
  tutorials->ShowTutorial("sailing");
  tutorials->ShowTutorial("sailing");
  tutorials->ShowTutorial("unknown");
  EXPECT_EQ(tutorials->GetQueue(), (std::vector<VString>{"sailing"}));
  tutorials->ReleaseQueue();
  tutorials->ShowTutorial("sailing");
  EXPECT_TRUE(tutorials->GetQueue().empty());

  tutorials->ShowTutorial("cannons");
  tutorials->ReleaseQueue();
  tutorials->ShowAllSeenTutorials();
  EXPECT_EQ(tutorials->GetQueue(), (std::vector<VString>{"cannons", "sailing"}));

  // After a campaign's end every seen page may be shown again.
  tutorials->ReleaseQueue();
  tutorials->Reset();
  tutorials->ShowTutorial("cannons");
  EXPECT_EQ(tutorials->GetQueue(), (std::vector<VString>{"cannons"}));

  TutorialManager::CleanInstance();
  Vision::File.RemoveAllDataDirectories();
  fs::remove_all(dir);
}

TEST(TutorialManagerTest, WithoutTheScriptThereAreNoPages) {
  TutorialManager* tutorials = TutorialManager::GetInstance();
  EXPECT_EQ(tutorials->GetTutorialCount(), 0);
  tutorials->ShowAllSeenTutorials();
  EXPECT_TRUE(tutorials->GetQueue().empty());
  TutorialManager::CleanInstance();
}

}  // namespace
