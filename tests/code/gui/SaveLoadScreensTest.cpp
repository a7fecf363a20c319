// The in-game save and load screen opened from the in-game menu (its two modes,
// the slot details it shows, what Save, Load and Back do), the older slot screen,
// and the mission load bar.
#include "code/gui/GuiFrameTesting.h"
#include "support/ScratchSaveFolder.h"

#include "Managers/LocalizationTable.h"
#include "Managers/SaveGameManager.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameMissionLoadBar.h"
#include "gui/FrameSaveGame.h"
#include "gui/FrameSaveLoad.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kGold = "tl:FFF9BC66 tr:FFF9BC66 bl:FFF9BC66 br:FFF9BC66";
const char* const kEmptyPreview = "GUI_Window_01/LoadEmptyWindow";
const char* const kPreview = "PreviewScreenShot/full_image";

std::string Utf8(const CEGUI::String& text) { return CeguiCompat::ToUtf8(text); }
std::string Text(const char* key) { return Utf8(LocalizationTable::GetInstance()->GetText(key)); }
std::string Text(const char* key, int number) { return Utf8(LocalizationTable::GetInstance()->GetText(key, number)); }

std::string Property(CEGUI::Window* window, const char* name) {
  std::string value;
  CeguiCompat::GetProperty(window, name, value);
  return value;
}

class SaveLoadScreensTest : public GuiFrameTest {
 protected:
  void SetUp() override {
    GuiFrameTest::SetUp();
    saves = std::make_unique<ScratchSaveFolder>();
    GameManager::GetInstance()->SetLocation(0);
    // The game's screen under the menus.
    gui->ShowFrame(WT_FADE_OUT);
  }
  void TearDown() override {
    GameManager::GetInstance()->SetLocation(0);
    GuiFrameTest::TearDown();
    SaveGameManagerProto::CleanInstance();
    saves.reset();
  }

  // The in-game menu, then its Save or Load button.
  FrameSaveLoad* Open(bool save) {
    gui->ShowWindow(WT_INGAME_MENU, nullptr);
    BaseWindow* menu = gui->FindWindowA(WT_INGAME_MENU);
    EXPECT_NE(menu, nullptr);
    if (!menu) return nullptr;
    Click(menu->GetComponent(save ? "IngameMenu/ButtonSave" : "IngameMenu/ButtonLoad"));
    auto* screen = dynamic_cast<FrameSaveLoad*>(gui->FindWindowA(WT_SAVE_LOAD));
    EXPECT_NE(screen, nullptr);
    EXPECT_TRUE(gui->IsWindowVisible(WT_SAVE_LOAD));
    return screen;
  }
  CEGUI::Window* Widget(const char* name) {
    BaseWindow* screen = gui->FindWindowA(WT_SAVE_LOAD);
    CEGUI::Window* window = screen ? screen->GetComponent(name) : nullptr;
    EXPECT_NE(window, nullptr) << name;
    return window;
  }
  static std::vector<unsigned> Ids(CEGUI::Listbox* list) {
    std::vector<unsigned> ids;
    for (size_t i = 0; i < list->getItemCount(); ++i) ids.push_back(list->getListboxItemFromIndex(i)->getID());
    return ids;
  }
  static CEGUI::ListboxItem* Item(CEGUI::Listbox* list, unsigned slot) {
    for (size_t i = 0; i < list->getItemCount(); ++i)
      if (list->getListboxItemFromIndex(i)->getID() == slot) return list->getListboxItemFromIndex(i);
    ADD_FAILURE() << "no item for slot " << slot;
    return nullptr;
  }
  // As the player's click does: the one selected item.
  static void Select(CEGUI::Listbox* list, unsigned slot) {
    if (CEGUI::ListboxItem* item = Item(list, slot)) list->setItemSelectState(item, true);
  }
  // A picture for the slot's preview (CEGUI reads pictures by their content).
  void WritePreview(int slot) {
    std::filesystem::copy_file(BRINEMARK_SOURCE_DIR "/data/gui/imagesets/UnitFaces_01.png",
                               saves->SlotFile(slot, ".jpg"));
  }

  std::unique_ptr<ScratchSaveFolder> saves;
};

TEST_F(SaveLoadScreensTest, SaveModeListsEverySlotFreeOnesTooAndAFreeSlotCanBeChosen) {
  save_test::Header saved;
  saved.hero = 2;
  saves->WriteSlot(2, saved);
  FrameSaveLoad* screen = Open(true);
  ASSERT_NE(screen, nullptr);
  EXPECT_TRUE(screen->IsSaveMode());
  EXPECT_EQ(Utf8(Widget("MenuLoad/Window/LoadGame")->getText()), Text("str_SAVE_GAME"));
  EXPECT_EQ(Utf8(Widget("MenuLoad/Window/BtnLoad/text")->getText()), Text("str_SAVE"));
  EXPECT_EQ(Utf8(Widget("MenuLoad/Window/BtnLoad/text2")->getText()), Text("str_SAVE"));

  CEGUI::Listbox* list = screen->GetSlotList();
  std::vector<unsigned> all;
  for (unsigned slot = 1; slot <= 20; ++slot) all.push_back(slot);
  EXPECT_EQ(Ids(list), all);
  // Slot 1 is free and chosen first: the selected head, its free text, the free tail.
  EXPECT_TRUE(Item(list, 1)->isSelected());
  EXPECT_EQ(Utf8(Item(list, 1)->getText()), "[colour='FFA56613'][font='SketchHeavyRegular-15']" +
                                                Text("str_FREE_SAVE_SLOT", 1) + "[font='SketchHeavyRegular-19']  ");
  EXPECT_EQ(Utf8(Item(list, 2)->getText()), "[colour='FFFDD08F'][font='SketchHeavyRegular-15']" +
                                                Text("str_OCCUPIED_SAVE_SLOT_SLOT", 2) +
                                                "[font='SketchHeavyRegular-19']  [colour='FF87D5EC'][font='Kronika-10']" +
                                                saved.date);
  // A free slot can be saved into.
  EXPECT_FALSE(Widget("MenuLoad/Window/BtnLoad")->isDisabled());
  EXPECT_EQ(Property(Widget("MenuLoad/Window/BtnLoad/text"), "TextColours"), kGold);
  EXPECT_EQ(Property(Widget("MenuLoad/Window/SaveImage"), "Image"), kEmptyPreview);
  EXPECT_FALSE(Widget("MenuLoad/Window/SaveInfo")->isVisible());

  Select(list, 2);
  EXPECT_TRUE(Widget("MenuLoad/Window/SaveInfo")->isVisible());
  EXPECT_EQ(Property(Widget("MenuLoad/Window/Character"), "Image"), "UnitFaces_01/Player3Normal");
  // The selection re-texts the list: slot 2 selected, slot 1 back to normal.
  EXPECT_EQ(Utf8(Item(list, 1)->getText()).rfind("[colour='FFFDD08F']", 0), 0u);
  EXPECT_EQ(Utf8(Item(list, 2)->getText()).rfind("[colour='FFA56613']", 0), 0u);

  Select(list, 5);
  EXPECT_FALSE(Widget("MenuLoad/Window/BtnLoad")->isDisabled());
  EXPECT_FALSE(Widget("MenuLoad/Window/SaveInfo")->isVisible());
  EXPECT_EQ(Property(Widget("MenuLoad/Window/Character"), "Image"), "");
  env.RenderGui();
  ExpectNoCeguiFailure();
}

TEST_F(SaveLoadScreensTest, AFailedSaveKeepsTheScreenAndSaysSoWhileSlot20IsNeverWritten) {
  // The save folder cannot be made: any save fails.
  std::filesystem::create_directories(saves->SlotFolder().parent_path());
  std::ofstream(saves->SlotFolder()) << "in the way";
  FrameSaveLoad* screen = Open(true);
  ASSERT_NE(screen, nullptr);

  Select(screen->GetSlotList(), 5);
  Click(Widget("MenuLoad/Window/BtnLoad"));
  ASSERT_TRUE(gui->IsWindowVisible(WT_YES_NO_POPUP));
  BaseWindow* popup = gui->FindWindowA(WT_YES_NO_POPUP);
  EXPECT_EQ(Utf8(popup->GetComponent("YesNoPopUp/Window/Message")->getText()), Text("str_SAVE_GAME_FAILED"));
  EXPECT_FALSE(popup->GetComponent("YesNoPopUp/Window/BtnNo")->isVisible());
  EXPECT_TRUE(gui->IsWindowVisible(WT_SAVE_LOAD));
  EXPECT_TRUE(gui->IsWindowVisible(WT_INGAME_MENU));
  Click(popup->GetComponent("YesNoPopUp/Window/BtnYes"));
  env.Frame();
  EXPECT_EQ(gui->FindWindowA(WT_YES_NO_POPUP), nullptr);
  EXPECT_EQ(gui->FindWindowA(WT_SAVE_LOAD), screen);

  // Slot 20 is the automatic save's: Save writes nothing (no failure to tell of)
  // and closes the screen and the menu.
  Select(screen->GetSlotList(), 20);
  Click(Widget("MenuLoad/Window/BtnLoad"));
  EXPECT_FALSE(gui->IsWindowVisible(WT_YES_NO_POPUP));
  EXPECT_FALSE(gui->IsWindowVisible(WT_SAVE_LOAD));
  EXPECT_FALSE(gui->IsWindowVisible(WT_INGAME_MENU));
  env.Frame();
  EXPECT_EQ(gui->FindWindowA(WT_SAVE_LOAD), nullptr);
  EXPECT_EQ(gui->FindWindowA(WT_INGAME_MENU), nullptr);
  EXPECT_EQ(gui->GetCurrentFrame(), gui->FindWindowA(WT_BATTLE_HUD));
  ExpectNoCeguiFailure();
}

TEST_F(SaveLoadScreensTest, LoadModeListsTheSavesWithTheirHeroMissionDateAndPreview) {
  struct Slot {
    int slot;
    int hero;
    const char* mission;
    bool preview;
    const char* portrait;
  };
  const Slot slots[] = {
      {2, 2, "str_MAP_TITLE", true, "UnitFaces_01/Player3Normal"},
      {4, 3, "str_NO_SUCH_MISSION", false, "UnitFaces_01/Player2Normal"},
      {7, 1, "", false, "UnitFaces_01/Player1Normal"},
      {9, 0, "str_MAP_TITLE", false, ""},
  };
  for (const Slot& s : slots) {
    save_test::Header header;
    header.hero = s.hero;
    header.mission = s.mission;
    header.date = "1.2.2011 - 10:0" + std::to_string(s.slot);
    saves->WriteSlot(s.slot, header);
    if (s.preview) WritePreview(s.slot);
  }
  FrameSaveLoad* screen = Open(false);
  ASSERT_NE(screen, nullptr);
  EXPECT_FALSE(screen->IsSaveMode());
  EXPECT_EQ(Utf8(Widget("MenuLoad/Window/LoadGame")->getText()), Text("str_LOAD_GAME"));
  EXPECT_EQ(Utf8(Widget("MenuLoad/Window/BtnLoad/text")->getText()), Text("str_LOAD"));
  CEGUI::Listbox* list = screen->GetSlotList();
  EXPECT_EQ(Ids(list), (std::vector<unsigned>{2, 4, 7, 9}));

  // In list order, as the player goes down it: a slot without a picture keeps the
  // one shown before.
  for (const Slot& s : slots) {
    SCOPED_TRACE(s.slot);
    Select(list, (unsigned)s.slot);
    EXPECT_EQ(screen->GetSelectedSlot(), s.slot);
    EXPECT_EQ(Property(Widget("MenuLoad/Window/SaveImage"), "Image"), kPreview);
    EXPECT_EQ(Property(Widget("MenuLoad/Window/Character"), "Image"), s.portrait);
    EXPECT_FALSE(Widget("MenuLoad/Window/BtnLoad")->isDisabled());
    const std::string info = Utf8(Widget("MenuLoad/Window/SaveInfo")->getText());
    EXPECT_EQ(info, "[colour='FFFDD08F'][font='SketchHeavyRegular-15']" + Text("str_OCCUPIED_SAVE_SLOT_SLOT", s.slot) +
                        "\n[colour='FF87D5EC'][font='Kronika-10']1.2.2011 - 10:0" + std::to_string(s.slot));
    const std::string mission = Utf8(Widget("MenuLoad/Window/CurrentMission")->getText());
    EXPECT_EQ(mission, "[colour='FFFDD08F'][font='SketchHeavyRegular-13']" + Text("str_SAVED_MISSION") +
                           "\n[colour='FF87D5EC'][font='Kronika-10']" + (*s.mission ? Text(s.mission) : ""));
  }
  env.RenderGui();
  ExpectNoCeguiFailure();
}

TEST_F(SaveLoadScreensTest, ASlotThatDoesNotLoadLeavesTheGameAndTheScreens) {
  saves->WriteSlot(6, save_test::Header{});
  FrameSaveLoad* screen = Open(false);
  ASSERT_NE(screen, nullptr);
  ASSERT_EQ(screen->GetSelectedSlot(), 6);
  // The slot file holds a header only: it cannot load.
  Click(Widget("MenuLoad/Window/BtnLoad"));
  env.Frame();
  EXPECT_EQ(gui->FindWindowA(WT_SAVE_LOAD), screen);
  EXPECT_TRUE(gui->IsWindowVisible(WT_SAVE_LOAD));
  EXPECT_TRUE(gui->IsWindowVisible(WT_INGAME_MENU));
}

TEST_F(SaveLoadScreensTest, BackShowsTheHeadUpFrameOfThePlayersLocation) {
  const std::pair<int, WINDOW_TYPES> cases[] = {{0, WT_BATTLE_HUD}, {1, WT_LAND_BATTLE_HUD}, {2, WT_BATTLE_HUD}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    GameManager::GetInstance()->SetLocation(c.first);
    gui->ShowFrame(WT_FADE_OUT);
    gui->ShowWindow(WT_SAVE_LOAD, nullptr);
    Click(Widget("MenuLoad/Window/BtnBack"));
    EXPECT_FALSE(gui->IsWindowVisible(WT_SAVE_LOAD));
    ASSERT_NE(gui->GetCurrentFrame(), nullptr);
    EXPECT_EQ(gui->GetCurrentFrame()->GetWindowType(), c.second);
    env.Frame();
    EXPECT_EQ(gui->FindWindowA(WT_SAVE_LOAD), nullptr);
  }
}

TEST_F(SaveLoadScreensTest, TextsFromASaveFileAreShownNotReadAsMarkup) {
  save_test::Header hostile;
  hostile.date = "[font='NoSuchFont']5.9.2011";
  hostile.mission = "[image='set:None image:Nothing']Lost";
  saves->WriteSlot(1, hostile);
  FrameSaveLoad* screen = Open(false);
  ASSERT_NE(screen, nullptr);
  const std::string item = Utf8(screen->GetSlotList()->getListboxItemFromIndex(0)->getText());
  EXPECT_NE(item.find("\\[font='NoSuchFont']5.9.2011"), std::string::npos) << item;
  // Drawn without a failure: the brackets are text.
  env.RenderGui();
  env.Frame();
  env.RenderGui();
  ExpectNoCeguiFailure();
}

TEST_F(SaveLoadScreensTest, TheOlderSlotScreenListsAllSlotsPlainly) {
  saves->WriteSlot(3, save_test::Header{});
  WritePreview(3);
  auto frame = std::make_unique<FrameSaveGame>();
  ASSERT_TRUE(frame->Init());
  EXPECT_EQ(frame->GetWindowType(), WT_SAVE_LOAD);
  gui->ShowWindow(frame.get(), nullptr);
  CEGUI::Listbox* list = frame->GetSlotList();
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(Ids(list).size(), 20u);
  EXPECT_EQ(Utf8(Item(list, 3)->getText()), save_test::Header{}.date);
  EXPECT_EQ(Utf8(Item(list, 1)->getText()), "[Free slot: 1]");
  EXPECT_FALSE(static_cast<CEGUI::ListboxTextItem*>(Item(list, 1))->isTextParsingEnabled());

  CEGUI::Window* description = frame->GetComponent("SaveGame/Window/SaveDescription");
  CEGUI::Window* preview = frame->GetComponent("SaveGame/Window/SaveImage");
  Select(list, 3);
  EXPECT_EQ(Utf8(description->getText()), "Saved Game");
  EXPECT_EQ(Property(preview, "Image"), kPreview);
  Select(list, 1);
  EXPECT_EQ(Utf8(description->getText()), "");
  EXPECT_EQ(Property(preview, "Image"), "");

  // Save on the automatic slot writes nothing and closes.
  Select(list, 20);
  Click(frame->GetComponent("SaveGame/Window/SaveButton"));
  EXPECT_FALSE(frame->GetRootWindow()->isVisible());
  EXPECT_FALSE(gui->IsWindowVisible(WT_YES_NO_POPUP));
  env.RenderGui();
  frame.reset();
  env.Frame();
  ExpectNoCeguiFailure();
}

TEST_F(SaveLoadScreensTest, TheMissionLoadBarShowsItsFractionAsAWidthOf300Pixels) {
  // Without a screen under it, nothing shows.
  gui->CloseWindow(WT_FADE_OUT, true);
  gui->ShowMissionLoadBar(0.5f, "str_MAP_TITLE", true);
  EXPECT_EQ(gui->FindWindowA(WT_MISSION_LOAD_BAR), nullptr);
  gui->ShowFrame(WT_FADE_OUT);

  const std::pair<float, float> cases[] = {{0.0f, 0.0f}, {0.5f, 150.0f}, {1.0f, 300.0f}};
  for (const auto& c : cases) {
    gui->ShowMissionLoadBar(c.first, "str_MAP_TITLE", true);
    ASSERT_TRUE(gui->IsWindowVisible(WT_MISSION_LOAD_BAR));
    env.Frame();
    auto* bar = dynamic_cast<FrameMissionLoadBar*>(gui->FindWindowA(WT_MISSION_LOAD_BAR));
    ASSERT_NE(bar, nullptr);
    CEGUI::Window* fill = bar->GetComponent("MissionLoadBar/Window/Bar");
    EXPECT_EQ(fill->getWidth(), CEGUI::UDim(0.0f, c.second)) << c.first;
    EXPECT_FLOAT_EQ(fill->getPixelSize().d_width, c.second);
    EXPECT_EQ(Utf8(bar->GetComponent("MissionLoadBar/Window/Label")->getText()), Text("str_MAP_TITLE"));
  }

  // Closed and asked for again before the frame ends: it stays.
  gui->ShowMissionLoadBar(0.0f, "", false);
  EXPECT_FALSE(gui->IsWindowVisible(WT_MISSION_LOAD_BAR));
  gui->ShowMissionLoadBar(0.25f, "str_MAP_TITLE", true);
  env.Frame();
  EXPECT_TRUE(gui->IsWindowVisible(WT_MISSION_LOAD_BAR));

  gui->CloseAllWindows();
  env.Frame();
  EXPECT_EQ(gui->FindWindowA(WT_MISSION_LOAD_BAR), nullptr);
  ExpectNoCeguiFailure();
}

}  // namespace
