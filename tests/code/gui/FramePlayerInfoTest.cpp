// The player information: the missions tab (story mission, faction missions and
// side quests, choosing one tracks it), the inventory lines of the player tab and
// the shared close handler.
#include "code/Missions/MissionFixture.h"

#include "Managers/GameSessionManager.h"
#include "entities/CollectableEntityTemplate.h"
#include "gui/CeguiCompat.h"
#include "gui/FramePlayerInfo.h"

#include <CEGUI/CEGUI.h>

namespace {

class FramePlayerInfoTest : public MissionTest {
 protected:
  void TearDown() override {
    gui->CloseWindow(WT_PLAYER_INFO, true);
    GameSessionManager::CleanInstance();
    MissionTest::TearDown();
  }
  FramePlayerInfo* Open() {
    gui->ShowFrame(WT_PLAYER_INFO);
    return dynamic_cast<FramePlayerInfo*>(gui->FindWindowA(WT_PLAYER_INFO));
  }
  static std::string Text(FramePlayerInfo* frame, const char* widget) {
    CEGUI::Window* window = frame->GetComponent(std::string("PlayerInformation/Window/Tabs/") + widget);
    return window ? CeguiCompat::ToUtf8(window->getText()) : std::string("<none>");
  }
  static std::vector<int> ItemIds(CEGUI::Listbox* list) {
    std::vector<int> ids;
    for (size_t i = 0; i < list->getItemCount(); ++i) ids.push_back((int)list->getListboxItemFromIndex(i)->getID());
    return ids;
  }
  static int SelectedId(CEGUI::Listbox* list) {
    const CEGUI::ListboxItem* item = list->getFirstSelectedItem();
    return item ? (int)item->getID() : -1;
  }
  static CollectableEntityTemplate* Item(const char* name, int count) {
    auto* item = new CollectableEntityTemplate();
    item->m_sKey = name;
    item->m_iCount = count;
    GameSessionManager::GetInstance()->AddCollectable(item);
    return item;
  }
};

TEST_F(FramePlayerInfoTest, OpensOnTheMissionsAndTracksTheFirstFactionMission) {
  LoadCatalogues();
  for (int id : {1, 10, 11, 20}) Missions().OpenNextMission(id);
  FramePlayerInfo* frame = Open();
  ASSERT_NE(frame, nullptr);
  ASSERT_NE(frame->GetFactionMissionList(), nullptr);
  ASSERT_NE(frame->GetSideQuestList(), nullptr);
  auto* tabs = dynamic_cast<CEGUI::TabControl*>(frame->GetComponent("PlayerInformation/Window/Tabs"));
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(tabs->getSelectedTabIndex(), 0u);
  ASSERT_NE(frame->GetComponent("PlayerInformation/Window/Tabs/Log/LogText"), nullptr);

  EXPECT_EQ(Text(frame, "Missions/StoryTitle"), "str_M1");
  EXPECT_EQ(Text(frame, "Missions/StoryDesc"), "str_M1_DESC");
  EXPECT_EQ(ItemIds(frame->GetFactionMissionList()), (std::vector<int>{10, 11}));
  EXPECT_EQ(ItemIds(frame->GetSideQuestList()), std::vector<int>{20});
  EXPECT_EQ(SelectedId(frame->GetFactionMissionList()), 10);
  EXPECT_EQ(TrackedIds(), std::vector<int>{10});
  EXPECT_EQ(Text(frame, "Missions/FactionDesc"), "str_M10_DESC");
  EXPECT_EQ(Text(frame, "Missions/SideQuestDesc"), "");

  // A side quest is described by its own record, not by the faction-mission lookup.
  frame->GetSideQuestList()->setItemSelectState((size_t)0, true);
  EXPECT_EQ(TrackedIds(), std::vector<int>{20});
  EXPECT_EQ(Text(frame, "Missions/SideQuestDesc"), "str_M20_DESC");
  frame->GetFactionMissionList()->setItemSelectState((size_t)1, true);
  EXPECT_EQ(TrackedIds(), std::vector<int>{11});
  EXPECT_EQ(Text(frame, "Missions/FactionDesc"), "str_M11_DESC");

  // A cleared selection picks the first mission again.
  frame->GetFactionMissionList()->clearAllSelections();
  EXPECT_EQ(SelectedId(frame->GetFactionMissionList()), 10);
  EXPECT_EQ(TrackedIds(), std::vector<int>{10});
  env.Frame();
  ExpectNoCeguiFailure();
}

TEST_F(FramePlayerInfoTest, WithoutMissionsTheTextsStayEmpty) {
  FramePlayerInfo* frame = Open();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(Text(frame, "Missions/StoryTitle"), "");
  EXPECT_EQ(Text(frame, "Missions/StoryDesc"), "");
  EXPECT_EQ(frame->GetFactionMissionList()->getItemCount(), 0u);
  EXPECT_TRUE(TrackedIds().empty());

  // The selection of the empty side-quest list changes: its description empties.
  CEGUI::Window* description = frame->GetComponent("PlayerInformation/Window/Tabs/Missions/SideQuestDesc");
  ASSERT_NE(description, nullptr);
  description->setText("old");
  CEGUI::WindowEventArgs args(frame->GetSideQuestList());
  frame->GetSideQuestList()->fireEvent(CEGUI::Listbox::EventSelectionChanged, args, CEGUI::Listbox::EventNamespace);
  EXPECT_EQ(Text(frame, "Missions/SideQuestDesc"), "");
}

TEST_F(FramePlayerInfoTest, ThePlayerTabListsTheInventoryByNameWithTheLaterCount) {
  FramePlayerInfo* frame = Open();
  ASSERT_NE(frame, nullptr);
  env.Frame();
  EXPECT_EQ(Text(frame, "Player/Stats"), "") << "no items: the text is left alone";

  Item("Rum", 3);
  Item("Blueprint", 2);
  // A second entry of the same name (the inventory merges same-named items as they
  // come; here one was renamed after): its count wins.
  Item("Gold", 5)->m_sKey = "Rum";
  env.Frame();
  EXPECT_EQ(Text(frame, "Player/Stats"), "Blueprint (2)\nRum (5)\n");

  // Hidden, the tab is not rebuilt.
  Item("Amulet", 1);
  gui->CloseWindow(WT_PLAYER_INFO, false);
  BaseEntityDataObject pre(&GameManager::Callbacks.OnPreFrame, nullptr);
  GameManager::Callbacks.OnPreFrame.TriggerCallbacks(&pre);
  EXPECT_EQ(Text(frame, "Player/Stats"), "Blueprint (2)\nRum (5)\n");
}

TEST_F(FramePlayerInfoTest, TheCloseButtonClosesTheFrameItIsBoundTo) {
  FramePlayerInfo* frame = Open();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(gui->GetCurrentFrame(), frame);
  auto* window = dynamic_cast<CEGUI::FrameWindow*>(frame->GetComponent("PlayerInformation/Window"));
  ASSERT_NE(window, nullptr);
  env.RenderGui();
  Click(window->getCloseButton());
  EXPECT_TRUE(frame->isRequestingRemove());
  EXPECT_FALSE(gui->IsWindowVisible(WT_PLAYER_INFO));
  EXPECT_EQ(gui->GetCurrentFrame(), nullptr);
  env.Frame();
  EXPECT_EQ(gui->FindWindowA(WT_PLAYER_INFO), nullptr);
  ExpectNoCeguiFailure();
}

}  // namespace
