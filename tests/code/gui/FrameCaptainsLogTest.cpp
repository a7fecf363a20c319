// The captain's log: six rows of the ongoing missions and their scrolling, the
// details of the selected one, the track radios and the map button.
#include "code/Missions/MissionFixture.h"

#include "Managers/LocalizationTable.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameCaptainsLog.h"
#include "gui/FrameMap.h"

namespace {

// Story missions 1 to 7 and faction mission 10, all open.
const char* const kEightMissions = R"lua(
function GetStoryMissionCount() return 7 end
function GetStoryMission(i)
  return i, 1, 1, "str_M" .. i, "str_M" .. i .. "_DESC", "scripts/Missions/m" .. i .. ".lua", 0
end
function GetFactionMissionCount() return 1 end
function GetFactionMission(i)
  return 10, 1, 1, "str_M10", "str_M10_DESC", "scripts/Missions/m10.lua", 0.1
end
)lua";

class FrameCaptainsLogTest : public MissionTest {
 protected:
  void SetUp() override {
    MissionTest::SetUp();
    for (int id = 4; id <= 7; ++id) WriteProbe(id);
    Write("scripts/Missions/MissionsScript.lua", kEightMissions);
  }
  void TearDown() override {
    gui->CloseWindow(WT_MAP, true);
    gui->CloseWindow(WT_CAPTAINS_LOG, true);
    MissionTest::TearDown();
  }
  void Start(const std::vector<int>& ids) {
    LoadCatalogues();
    for (int id : ids) Missions().OpenNextMission(id);
  }
  FrameCaptainsLog* Open() {
    gui->ShowFrame(WT_CAPTAINS_LOG);
    auto* log = dynamic_cast<FrameCaptainsLog*>(gui->FindWindowA(WT_CAPTAINS_LOG));
    // Past the slide-in (its steps are at most a thirtieth of a second), so clicks
    // land where the widgets are.
    for (int i = 0; i < 15; ++i) SceneFrame();
    return log;
  }
  CEGUI::Window* W(FrameCaptainsLog* log, const std::string& name) {
    CEGUI::Window* w = log->GetComponent(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  static CEGUI::String Name(int id) {
    return LocalizationTable::GetInstance()->GetText((std::string("str_M") + std::to_string(id)).c_str());
  }
  // The texts of the visible rows, as mission ids.
  std::vector<int> ShownRows(FrameCaptainsLog* log) {
    std::vector<int> ids;
    for (int r = 0; r < FrameCaptainsLog::kRows; ++r) {
      CEGUI::Window* row = W(log, std::string("CaptainsLog/SubMenu/Button") + std::to_string(r));
      if (!row || !row->isVisible()) continue;
      for (int id : {1, 2, 3, 4, 5, 6, 7, 10})
        if (row->getText() == Name(id)) ids.push_back(id);
    }
    return ids;
  }
  static bool Selected(CEGUI::Window* w) {
    auto* radio = dynamic_cast<CEGUI::ToggleButton*>(w);
    return radio && radio->isSelected();
  }
};

TEST_F(FrameCaptainsLogTest, EightMissionsScrollFromTheFirstSixToTheLastSix) {
  Start({1, 2, 3, 4, 5, 6, 7, 10});
  gui->SetExclamationForButton(3, true);
  FrameCaptainsLog* log = Open();
  ASSERT_NE(log, nullptr);
  EXPECT_FALSE(gui->GetExclamationForButton(3));
  EXPECT_TRUE(log->IsRequestingPause());
  EXPECT_EQ(log->GetSelected(), 0);
  EXPECT_EQ(log->GetTracked(), 0);  // none tracked yet: the first
  CEGUI::Window* up = W(log, "CaptainsLog/SubMenu/ButtonUp");
  CEGUI::Window* down = W(log, "CaptainsLog/SubMenu/ButtonDown");

  EXPECT_EQ(ShownRows(log), (std::vector<int>{1, 2, 3, 4, 5, 6}));
  EXPECT_TRUE(up->isDisabled());
  EXPECT_FALSE(down->isDisabled());
  EXPECT_TRUE(Selected(W(log, "CaptainsLog/SubMenu/Button0/Track")));

  Click(down);
  Click(down);
  EXPECT_EQ(log->GetFirst(), 2);
  EXPECT_EQ(ShownRows(log), (std::vector<int>{3, 4, 5, 6, 7, 10}));
  EXPECT_TRUE(down->isDisabled());
  EXPECT_FALSE(up->isDisabled());
  EXPECT_FALSE(Selected(W(log, "CaptainsLog/SubMenu/Button0/Track")));
  std::string image;
  CeguiCompat::GetProperty(W(log, "CaptainsLog/SubMenu/Button5/Icon"), "Image", image);
  EXPECT_EQ(image, "ShipIcons_01/MissionFaction");
  CeguiCompat::GetProperty(W(log, "CaptainsLog/SubMenu/Button4/Icon"), "Image", image);
  EXPECT_EQ(image, "ShipIcons_01/MissionStory");

  Click(up);
  EXPECT_EQ(ShownRows(log), (std::vector<int>{2, 3, 4, 5, 6, 7}));
  ExpectNoCeguiFailure();
}

TEST_F(FrameCaptainsLogTest, ATrackRadioTracksItsMissionAndTellsEveryMission) {
  Start({1, 2, 10});
  Missions().Update();  // tracks mission 1
  FrameCaptainsLog* log = Open();
  ASSERT_NE(log, nullptr);
  CEGUI::Window* isCurrent = W(log, "CaptainsLog/Window/IsCurrent");
  EXPECT_TRUE(isCurrent->isVisible());

  Click(W(log, "CaptainsLog/SubMenu/Button1"));
  EXPECT_EQ(log->GetSelected(), 1);
  EXPECT_EQ(W(log, "CaptainsLog/Window/SubHeader")->getText(), Name(2));
  EXPECT_FALSE(isCurrent->isVisible());

  this->log.Clear();
  Click(W(log, "CaptainsLog/SubMenu/Button2/Track"));
  EXPECT_EQ(log->GetTracked(), 2);
  EXPECT_EQ(log->GetSelected(), 2);
  EXPECT_EQ(TrackedIds(), std::vector<int>{10});
  EXPECT_EQ(this->log.Matching("UpdateTracking"),
            (std::vector<std::string>{"Lua: m1 UpdateTracking", "Lua: m2 UpdateTracking",
                                      "Lua: m10 UpdateTracking"}));
  EXPECT_TRUE(isCurrent->isVisible());
  EXPECT_EQ(W(log, "CaptainsLog/Window/MissionTypeDesc")->getText(),
            LocalizationTable::GetInstance()->GetText("str_LOG_FACTION_MISSION"));
  for (int r = 0; r < 3; ++r) {
    EXPECT_EQ(Selected(W(log, std::string("CaptainsLog/SubMenu/Button") + std::to_string(r) + "/Track")), r == 2) << r;
    EXPECT_EQ(Selected(W(log, std::string("CaptainsLog/SubMenu/Button") + std::to_string(r))), r == 2) << r;
  }

  // A mission added while the log is open shows only when it is opened again; one
  // that ended stays listed, without details.
  Missions().OpenNextMission(3);
  Ongoing(2)->SetCompleted(1);
  Missions().Update();
  EXPECT_EQ(log->GetMissions().size(), 3u);
  EXPECT_EQ(ShownRows(log), (std::vector<int>{1, 2, 10}));
  W(log, "CaptainsLog/Window/SubHeader")->setText("");
  Click(W(log, "CaptainsLog/SubMenu/Button1"));
  EXPECT_EQ(log->GetSelected(), 1);
  EXPECT_EQ(W(log, "CaptainsLog/Window/SubHeader")->getText(), "");
  EXPECT_FALSE(isCurrent->isVisible());
}

TEST_F(FrameCaptainsLogTest, MapTracksTheSelectionAndTogglesTheWorldMap) {
  Start({1, 2});
  Missions().Update();
  FrameCaptainsLog* log = Open();
  ASSERT_NE(log, nullptr);
  Click(W(log, "CaptainsLog/SubMenu/Button1"));
  Click(W(log, "CaptainsLog/Window/Map"));
  EXPECT_EQ(TrackedIds(), std::vector<int>{2});
  auto* map = dynamic_cast<FrameMap*>(gui->FindWindowA(WT_MAP));
  ASSERT_NE(map, nullptr);
  EXPECT_TRUE(map->IsOpen());

  // Closing the map tracks the log's tracked mission again.
  map->ToggleMap();
  EXPECT_EQ(TrackedIds(), std::vector<int>{1});
}

TEST_F(FrameCaptainsLogTest, WithoutMissionsNoRowShowsAndTheMapStaysShut) {
  LoadCatalogues();
  FrameCaptainsLog* log = Open();
  ASSERT_NE(log, nullptr);
  EXPECT_TRUE(ShownRows(log).empty());
  EXPECT_FALSE(W(log, "CaptainsLog/Window/IsCurrent")->isVisible());
  EXPECT_TRUE(W(log, "CaptainsLog/SubMenu/ButtonUp")->isDisabled());
  EXPECT_TRUE(W(log, "CaptainsLog/SubMenu/ButtonDown")->isDisabled());
  Click(W(log, "CaptainsLog/Window/Map"));
  EXPECT_EQ(gui->FindWindowA(WT_MAP), nullptr);
  EXPECT_FALSE(log->ResumeTrackedMission());

  Click(W(log, "CaptainsLog/Window/Close"));
  EXPECT_TRUE(log->isRequestingRemove());
  EXPECT_NE(gui->GetCurrentFrame(), log);
  ExpectNoCeguiFailure();
}

}  // namespace
