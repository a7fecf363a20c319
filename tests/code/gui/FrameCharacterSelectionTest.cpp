// The hero choice: what each opening starts with, what a hero click stores and
// shows, and the power-ball rows.
#include "code/gui/GuiFrameTesting.h"

#include "Managers/LocalizationTable.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameCharacterSelection.h"

#include <string>

namespace {

class CharacterSelectionTest : public GuiFrameTest {
 protected:
  FrameCharacterSelection* Open() {
    gui->ShowFrame(WT_FADE_OUT);
    gui->ShowWindow(WT_CHARACTER_SELECTION, nullptr);
    auto* frame = dynamic_cast<FrameCharacterSelection*>(gui->FindWindowA(WT_CHARACTER_SELECTION));
    EXPECT_NE(frame, nullptr);
    return frame;
  }
  CEGUI::Window* Widget(FrameCharacterSelection* frame, const std::string& path) {
    CEGUI::Window* window = frame->GetComponent("CharacterSelection/" + path);
    EXPECT_NE(window, nullptr) << path;
    return window;
  }
  static std::string Property(CEGUI::Window* window, const char* name) {
    std::string value;
    CeguiCompat::GetProperty(window, name, value);
    return value;
  }
  static int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
  }
  static std::string Text(const char* key) { return CeguiCompat::ToUtf8(LocalizationTable::GetInstance()->GetText(key)); }
};

TEST_F(CharacterSelectionTest, EveryOpeningStartsWithWalkerAndAHeroClickStoresAndShowsTheHero) {
  for (int opening = 0; opening < 2; ++opening) {
    SCOPED_TRACE(opening);
    gui->SetSelectedPlayerCharacter(3);
    FrameCharacterSelection* frame = Open();
    ASSERT_NE(frame, nullptr);
    auto* walker = dynamic_cast<CEGUI::ToggleButton*>(Widget(frame, "CharactersBG/Walker"));
    auto* jack = dynamic_cast<CEGUI::ToggleButton*>(Widget(frame, "CharactersBG/Jack"));
    ASSERT_TRUE(walker && jack);
    EXPECT_EQ(gui->GetSelectedPlayerCharacter(), 1);
    EXPECT_TRUE(walker->isSelected());
    CEGUI::Window* name = Widget(frame, "CharacterSelectionBG/Name");
    EXPECT_EQ(CeguiCompat::ToUtf8(name->getText()),
              "[colour='FF96D6F2'][font='SketchHeavyRegular-18-scaling']" + Text("str_MAIN_CHARACTER_PIRATE"));
    EXPECT_EQ(CeguiCompat::ToUtf8(Widget(frame, "Choose")->getText()),
              "[colour='FFFED38E'][font='SketchHeavyRegular-26-scaling']" + Text("str_SELECT_CHARACTER"));
    EXPECT_EQ(CeguiCompat::ToUtf8(Widget(frame, "CharacterSelectionBG/DescTopic")->getText()),
              "[colour='FF96D6F2'][font='SketchHeavyRegular-18-scaling']" +
                  Text("str_TOOLTIP_CHARACTER_SCREEN_BACKGROUND"));
    EXPECT_EQ(Property(Widget(frame, "CharacterSelectionBG/CharacterImage"), "Image"), "CharacterImages_01/Walker");

    SceneFrame();
    Click(jack);
    SceneFrame();
    EXPECT_EQ(gui->GetSelectedPlayerCharacter(), 3);
    EXPECT_TRUE(jack->isSelected());
    EXPECT_FALSE(walker->isSelected());
    EXPECT_EQ(CeguiCompat::ToUtf8(name->getText()),
              "[colour='FF96D6F2'][font='SketchHeavyRegular-18-scaling']" + Text("str_MAIN_CHARACTER_BUCCANEER"));
    EXPECT_EQ(CeguiCompat::ToUtf8(Widget(frame, "CharacterSelectionBG/Story")->getText()),
              Text("str_MAIN_CHARACTER_BUCCANEER_DESCRIPTION"));
    EXPECT_EQ(Property(Widget(frame, "CharacterSelectionBG/CharacterImage"), "Image"), "CharacterImages_01/Jack");
    EXPECT_EQ(Property(Widget(frame, "CharacterSelectionBG/PerkGroup/PerkImage"), "Image"), "Buttons_01/Skill0Normal");
    EXPECT_EQ(CeguiCompat::ToUtf8(Widget(frame, "CharacterSelectionBG/PerkGroup/Description")->getText()),
              Text("str_SKILL_RABBIT_FINGER") + "\n" + Text("str_SKILL_RABBIT_FINGER_DESCRIPTION"));

    // The main menu removes the page after its fade-out; the next visit builds it anew.
    gui->CloseWindow(WT_CHARACTER_SELECTION, true);
  }
  ExpectNoCeguiFailure();
}

TEST_F(CharacterSelectionTest, EveryPowerBallRowHoldsFifteenBallsBlueFirst) {
  FrameCharacterSelection* frame = Open();
  ASSERT_NE(frame, nullptr);
  const char* const heroes[] = {"Walker", "Jolie", "Jack"};
  const char* const rows[] = {"DamagePoints", "SpeedPoints", "ToughnessPoints"};
  for (int h = 0; h < 3; ++h) {
    Click(Widget(frame, std::string("CharactersBG/") + heroes[h]));
    SceneFrame();
    const FrameCharacterSelection::Hero& hero = FrameCharacterSelection::kHeroes[h];
    EXPECT_EQ(gui->GetSelectedPlayerCharacter(), hero.character) << heroes[h];
    for (int r = 0; r < 3; ++r) {
      const std::string text =
          CeguiCompat::ToUtf8(Widget(frame, std::string("CharacterSelectionBG/SkillsGroup/") + rows[r])->getText());
      const std::string blue = "[image='GUI_Window_01/PowerBallBlue']";
      const std::string none = "[image='GUI_Window_01/PowerBallNone']";
      EXPECT_EQ(Count(text, blue), hero.balls[r]) << heroes[h] << " " << rows[r];
      EXPECT_EQ(Count(text, none), 15 - hero.balls[r]) << heroes[h] << " " << rows[r];
      // Blue balls come first.
      EXPECT_EQ(text.rfind(blue) == std::string::npos ? 0u : text.rfind(blue) / blue.size() + 1, (size_t)hero.balls[r]);
    }
  }
  // Out-of-range counts still give a row of fifteen.
  EXPECT_EQ(Count(CeguiCompat::ToUtf8(FrameCharacterSelection::BallRowText(20)), "PowerBallBlue"), 15);
  EXPECT_EQ(Count(CeguiCompat::ToUtf8(FrameCharacterSelection::BallRowText(-1)), "PowerBallNone"), 15);
  ExpectNoCeguiFailure();
}

TEST_F(CharacterSelectionTest, BackdropStaysBehindThePanelAndFadesReturnTheLastLength) {
  FrameCharacterSelection* frame = Open();
  ASSERT_NE(frame, nullptr);
  CEGUI::Window* backdrop = Widget(frame, "BGImage");
  CEGUI::Window* panel = Widget(frame, "CharacterSelectionBG");
  backdrop->moveToFront();
  ASSERT_FALSE(backdrop->isBehind(*panel));
  SceneFrame();
  EXPECT_TRUE(backdrop->isBehind(*panel));

  CEGUI::AnimationManager& animations = CEGUI::AnimationManager::getSingleton();
  EXPECT_FLOAT_EQ(frame->StartFadeInAnimation(),
                  animations.getAnimation("MainMenu_CH_ButtonFadeIn_5th")->getDuration());
  EXPECT_FLOAT_EQ(frame->StartFadeOutAnimation(), animations.getAnimation("MainMenu_ButtonFadeOut_6th")->getDuration());
  EXPECT_EQ(frame->GetAnimationCount(), 13 + 11);
  ExpectNoCeguiFailure();
}

TEST_F(CharacterSelectionTest, BackAndForwardWithoutAMainMenuDoNothing) {
  FrameCharacterSelection* frame = Open();
  ASSERT_NE(frame, nullptr);
  EXPECT_FALSE(frame->BackClicked(CEGUI::EventArgs()));
  EXPECT_FALSE(frame->ForwardClicked(CEGUI::EventArgs()));
  // No menu is made by asking.
  EXPECT_EQ(gui->FindWindowA(WT_MAIN_MENU), nullptr);
}

}  // namespace
