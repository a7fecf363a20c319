// The special-weapon choice: offers from the game script, clicks and hovering, the
// per-frame looks and colours, and a page without "GetSW".
#include "code/gui/GuiFrameTesting.h"

#include "Managers/LocalizationTable.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameSpecialWeapon.h"

#include <fstream>
#include <sstream>
#include <string>

namespace {

const char* const kTestOffers = R"lua(
  function GetSW(offer)
    return "set:SpecialWeapons_01 image:Mortar", "key_topic_" .. offer, "key_desc_" .. offer,
           "key_bottom_" .. offer, "weapon_" .. offer
  end
)lua";

class SpecialWeaponTest : public GuiFrameTest {
 protected:
  void TearDown() override {
    Vision::GetScriptManager()->SetGameScript(nullptr);
    GuiFrameTest::TearDown();
  }
  void UseGameScript(const std::string& text) {
    VScriptResourceManager* scripts = Vision::GetScriptManager();
    IVScriptInstance* script = scripts->CreateScriptInstanceFromText("GameScript.lua", text.c_str(), text.size());
    ASSERT_NE(script, nullptr);
    scripts->SetGameScript(script);
  }
  FrameSpecialWeapon* Open() {
    MoveMouse(nullptr);
    gui->ShowFrame(WT_FADE_OUT);
    gui->ShowWindow(WT_SPECIAL_WEAPON, nullptr);
    auto* frame = dynamic_cast<FrameSpecialWeapon*>(gui->FindWindowA(WT_SPECIAL_WEAPON));
    EXPECT_NE(frame, nullptr);
    if (frame) {
      EXPECT_EQ(frame->GetOffers().size(), 3u);
    }
    return frame;
  }
  // The mouse over the middle of a window, or off every offer.
  static void MoveMouse(CEGUI::Window* window) {
    CEGUI::Vector2f at(1.0f, 1.0f);
    if (window) {
      const CEGUI::Rectf area = window->getUnclippedOuterRect().get();
      at = area.getPosition() + CEGUI::Vector2f(area.getWidth(), area.getHeight()) * 0.5f;
    }
    VSetCursorPos((int)at.d_x, (int)at.d_y);
    CEGUI::System::getSingleton().getDefaultGUIContext().injectMousePosition(at.d_x, at.d_y);
  }
  static std::string Property(CEGUI::Window* window, const char* name) {
    std::string value;
    CeguiCompat::GetProperty(window, name, value);
    return value;
  }
  static std::string Text(CEGUI::Window* window) { return window ? CeguiCompat::ToUtf8(window->getText()) : "(none)"; }
  static std::string Localized(const char* key) {
    return CeguiCompat::ToUtf8(LocalizationTable::GetInstance()->GetText(key));
  }
};

TEST_F(SpecialWeaponTest, OffersComeFromTheScriptAndOnlyAClickChoosesTheWeapon) {
  UseGameScript(kTestOffers);
  gui->SetSelectedSpecialWeapon(0);
  FrameSpecialWeapon* frame = Open();
  ASSERT_NE(frame, nullptr);
  const auto& offers = frame->GetOffers();
  for (int i = 0; i < 3; ++i) {
    const SpecialWeaponOffer& offer = offers[(size_t)i];
    const std::string n = std::to_string(i + 1);
    ASSERT_NE(offer.button, nullptr);
    EXPECT_EQ(offer.button->getID(), (CEGUI::uint)i);
    EXPECT_EQ(Text(offer.topic), "key_topic_" + n);
    EXPECT_EQ(Text(offer.description), "key_desc_" + n);
    EXPECT_EQ(Text(offer.bottom), "key_bottom_" + n);
    EXPECT_EQ(offer.extra, ("weapon_" + n).c_str());
    EXPECT_EQ(Property(offer.weaponImage, "Image"), "SpecialWeapons_01/Mortar");
    EXPECT_EQ(offer.selected, i == 0);
  }
  EXPECT_EQ(Text(frame->GetComponent("SpecialWeaponSelection/Title")),
            "[colour='FFFED38E'][font='SketchHeavyRegular-26-scaling']" + Localized("str_SWSELECT_TITLE"));
  // Accepting without a click gives the first weapon.
  EXPECT_EQ(gui->GetSelectedSpecialWeapon(), 1);
  EXPECT_EQ(frame->GetSelectedSlot(), 0);

  // Hovering marks the offer and moves the slot, nothing in the GUI manager.
  SceneFrame();
  MoveMouse(offers[1].button);
  SceneFrame();
  EXPECT_TRUE(offers[1].hovered);
  EXPECT_EQ(frame->GetSelectedSlot(), 1);
  EXPECT_EQ(gui->GetSelectedSpecialWeapon(), 1);
  MoveMouse(offers[2].button);
  SceneFrame();
  EXPECT_FALSE(offers[1].hovered);
  EXPECT_TRUE(offers[2].hovered);
  EXPECT_EQ(gui->GetSelectedSpecialWeapon(), 1);

  Click(offers[2].button);
  SceneFrame();
  EXPECT_EQ(gui->GetSelectedSpecialWeapon(), 3);
  EXPECT_EQ(frame->GetSelectedSlot(), 2);
  EXPECT_FALSE(offers[0].selected);
  EXPECT_TRUE(offers[2].selected);
  // A click on an offer's picture or text reaches the offer.
  Click(offers[1].weaponImage);
  SceneFrame();
  EXPECT_EQ(gui->GetSelectedSpecialWeapon(), 2);
  ExpectNoCeguiFailure();
}

TEST_F(SpecialWeaponTest, AnOfferIndexBeyondTheThreeIsIgnored) {
  UseGameScript(kTestOffers);
  FrameSpecialWeapon* frame = Open();
  ASSERT_NE(frame, nullptr);
  CEGUI::Window* button = frame->GetOffers()[1].button;
  frame->OfferClicked(CEGUI::WindowEventArgs(button));
  ASSERT_EQ(gui->GetSelectedSpecialWeapon(), 2);
  for (CEGUI::uint id : {3u, 7u, 0xFFFFFFFFu}) {
    button->setID(id);
    const CEGUI::WindowEventArgs args(button);
    EXPECT_TRUE(frame->OfferClicked(args));
    EXPECT_TRUE(frame->OfferEntered(args));
    EXPECT_TRUE(frame->OfferLeft(args));
    EXPECT_EQ(gui->GetSelectedSpecialWeapon(), 2) << id;
    EXPECT_EQ(frame->GetSelectedSlot(), 1) << id;
  }
  frame->SelectOffer(-1);
  frame->HoverOffer(3, true);
  EXPECT_EQ(gui->GetSelectedSpecialWeapon(), 2);
  EXPECT_TRUE(frame->GetOffers()[1].selected);
}

TEST_F(SpecialWeaponTest, LooksChangeOnlyWhenTheyDifferAndColoursFollowTheSelectionEveryFrame) {
  UseGameScript(kTestOffers);
  FrameSpecialWeapon* frame = Open();
  ASSERT_NE(frame, nullptr);
  const auto& offers = frame->GetOffers();
  SceneFrame();

  auto expectMarks = [&](int selected, int hovered) {
    for (int i = 0; i < 3; ++i) {
      SCOPED_TRACE(i);
      const SpecialWeaponOffer& offer = offers[(size_t)i];
      const bool chosen = i == selected;
      EXPECT_EQ(CeguiCompat::ToUtf8(offer.button->getLookNFeel()),
                chosen ? "CorallineLook/BlueWindow2" : "CorallineLook/RedWindow2");
      EXPECT_EQ(offer.selection->isVisible(), chosen || i == hovered);
      if (chosen || i == hovered) {
        EXPECT_EQ(CeguiCompat::ToUtf8(offer.selection->getLookNFeel()),
                  chosen ? "CorallineLook/YellowFrame" : "CorallineLook/RedFrame");
      }
      EXPECT_EQ(Property(offer.topic, "TextColours"),
                chosen ? "tl:FFF29C2B tr:FFF29C2B bl:FFF29C2B br:FFF29C2B"
                       : "tl:FF9D1C17 tr:FF9D1C17 bl:FF9D1C17 br:FF9D1C17");
      EXPECT_EQ(Property(offer.description, "TextColours"),
                chosen ? "tl:FFFFF1CC tr:FFFFF1CC bl:FFFFF1CC br:FFFFF1CC"
                       : "tl:FFDC6374 tr:FFDC6374 bl:FFDC6374 br:FFDC6374");
      EXPECT_EQ(Property(offer.bottom, "TextColours"),
                chosen ? "tl:FF4E6875 tr:FF4E6875 bl:FF4E6875 br:FF4E6875"
                       : "tl:FF8C1920 tr:FF8C1920 bl:FF8C1920 br:FF8C1920");
    }
  };
  expectMarks(0, -1);

  // Steady frames write no look: a new look would redraw the offer.
  int redraws = 0;
  std::vector<CEGUI::Event::Connection> connections;
  for (const SpecialWeaponOffer& offer : offers)
    for (CEGUI::Window* window : {offer.button, offer.selection})
      connections.push_back(window->subscribeEvent(CEGUI::Window::EventInvalidated, [&redraws] { ++redraws; }));
  for (int i = 0; i < 3; ++i) SceneFrame();
  EXPECT_EQ(redraws, 0);

  // Colours are put back every frame.
  CeguiCompat::SetProperty(offers[0].topic, "TextColours", "tl:FF000000 tr:FF000000 bl:FF000000 br:FF000000");
  SceneFrame();
  expectMarks(0, -1);

  // Hovering an unchosen offer frames it in red; leaving hides the frame.
  MoveMouse(offers[1].button);
  SceneFrame();
  expectMarks(0, 1);
  Click(offers[1].button);
  SceneFrame();
  expectMarks(1, -1);
  MoveMouse(nullptr);
  SceneFrame();
  expectMarks(1, -1);
  redraws = 0;
  SceneFrame();
  EXPECT_EQ(redraws, 0);
  for (auto& connection : connections) connection->disconnect();
  ExpectNoCeguiFailure();
}

TEST_F(SpecialWeaponTest, WithoutGetSWThePageStillWorks) {
  UseGameScript("function StartGame() end");
  FrameSpecialWeapon* frame = Open();
  ASSERT_NE(frame, nullptr);
  for (const SpecialWeaponOffer& offer : frame->GetOffers()) {
    EXPECT_EQ(Text(offer.topic), "");
    EXPECT_TRUE(offer.image.IsEmpty());
    EXPECT_EQ(Property(offer.weaponImage, "Image"), "");
  }
  EXPECT_EQ(gui->GetSelectedSpecialWeapon(), 1);
  SceneFrame();
  Click(frame->GetOffers()[2].button);
  SceneFrame();
  EXPECT_EQ(gui->GetSelectedSpecialWeapon(), 3);
  EXPECT_FALSE(frame->AcceptClicked(CEGUI::EventArgs()));
  EXPECT_FALSE(frame->BackClicked(CEGUI::EventArgs()));
  EXPECT_EQ(gui->FindWindowA(WT_MAIN_MENU), nullptr);

  CEGUI::AnimationManager& animations = CEGUI::AnimationManager::getSingleton();
  EXPECT_FLOAT_EQ(frame->StartFadeInAnimation(), animations.getAnimation("MainMenu_SW_ButtonFadeIn_6th")->getDuration());
  EXPECT_FLOAT_EQ(frame->StartFadeOutAnimation(), animations.getAnimation("MainMenu_ButtonFadeOut_1st")->getDuration());
  EXPECT_EQ(frame->GetAnimationCount(), 6 + 6);
  ExpectNoCeguiFailure();
}

// The game's own offers: every key has a text and every picture exists.
TEST_F(SpecialWeaponTest, TheGameScriptOffersThreeWeaponsWithTextsAndPictures) {
  std::ifstream file(BRINEMARK_SOURCE_DIR "/data/scripts/GameScript.lua");
  std::stringstream text;
  // Loading the sound scripts is not this page's business.
  text << "local GameManager = {LoadScript = function() end}\n" << file.rdbuf();
  UseGameScript(text.str());
  FrameSpecialWeapon* frame = Open();
  ASSERT_NE(frame, nullptr);
  for (const SpecialWeaponOffer& offer : frame->GetOffers()) {
    for (const VString* key : {&offer.topicKey, &offer.descriptionKey, &offer.bottomKey}) {
      EXPECT_FALSE(key->IsEmpty());
      EXPECT_NE(Localized(key->AsChar()), key->AsChar()) << "no text for " << key->AsChar();
    }
    EXPECT_FALSE(offer.extra.IsEmpty());
    EXPECT_NE(Property(offer.weaponImage, "Image"), "") << offer.image.AsChar();
  }
  SceneFrame();
  ExpectNoCeguiFailure();
}

}  // namespace
