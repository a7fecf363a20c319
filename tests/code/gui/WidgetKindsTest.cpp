// The CorallineLook widget kinds the screens build on: each one creates and draws,
// its look has every state its window renderer asks for, and it answers the player
// as the screens expect (toggle, exclusive radio groups, stepped scrolling, list
// selection, close button, tabs, label colours, run-time look switches). Also the
// menu animations the screens start by name.
#include "GuiFrameTesting.h"

#include "gui/CeguiCompat.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct KindCase {
  const char* kind;
  const char* renderer;
};

// Every kind the scheme maps, with its window renderer.
const KindCase kKinds[] = {
    {"CorallineLook/StaticImage", "Core/StaticImage"},
    {"CorallineLook/Label", "Core/Default"},
    {"CorallineLook/Button", "Core/Button"},
    {"CorallineLook/Tooltip", "Core/Tooltip"},
    {"CorallineLook/Checkbox", "Core/ToggleButton"},
    {"CorallineLook/RadioButton", "Core/ToggleButton"},
    {"CorallineLook/ImageButton", "Core/Button"},
    {"CorallineLook/HorizontalScrollbarThumb", "Core/Button"},
    {"CorallineLook/VerticalScrollbarThumb", "Core/Button"},
    {"CorallineLook/HorizontalScrollbar", "Core/Scrollbar"},
    {"CorallineLook/VerticalScrollbar", "Core/Scrollbar"},
    {"CorallineLook/Listbox", "Core/Listbox"},
    {"CorallineLook/FrameWindow", "Core/FrameWindow"},
    {"CorallineLook/Titlebar", "Core/Titlebar"},
    {"CorallineLook/CloseButton", "Core/Button"},
    {"CorallineLook/TabControl", "Core/TabControl"},
    {"CorallineLook/TabButton", "Core/TabButton"},
    {"CorallineLook/TabContentPane", "Core/Default"},
    {"CorallineLook/TabButtonPane", "Core/Default"},
    {"CorallineLook/BlueWindow2", "Core/StaticImage"},
    {"CorallineLook/RedWindow2", "Core/StaticImage"},
    {"CorallineLook/YellowFrame", "Core/StaticImage"},
    {"CorallineLook/RedFrame", "Core/StaticImage"},
};

// The states each window renderer draws (CEGUI throws while drawing a missing one).
std::vector<std::string> StatesOf(const std::string& renderer) {
  if (renderer == "Core/Button") return {"Normal", "Hover", "Pushed", "PushedOff", "Disabled"};
  if (renderer == "Core/ToggleButton")
    return {"Normal",         "Hover",         "Pushed",         "PushedOff",         "Disabled",
            "SelectedNormal", "SelectedHover", "SelectedPushed", "SelectedPushedOff", "SelectedDisabled"};
  if (renderer == "Core/TabButton") return {"Normal", "Hover", "Selected", "Disabled"};
  if (renderer == "Core/Titlebar") return {"Active", "Inactive", "Disabled"};
  if (renderer == "Core/StaticImage")
    return {"Enabled",       "Disabled",      "EnabledFrame", "DisabledFrame", "WithFrameEnabledBackground",
            "WithFrameDisabledBackground", "NoFrameEnabledBackground", "NoFrameDisabledBackground",
            "WithFrameImage"};
  if (renderer == "Core/FrameWindow") {
    std::vector<std::string> states;
    for (const char* title : {"WithTitle", "NoTitle"})
      for (const char* frame : {"WithFrame", "NoFrame"})
        for (const char* mode : {"Active", "Inactive", "Disabled"}) states.push_back(std::string(mode) + title + frame);
    return states;
  }
  return {"Enabled", "Disabled"};
}

std::vector<std::string> NamedAreasOf(const std::string& renderer) {
  if (renderer == "Core/Scrollbar") return {"ThumbTrackArea"};
  if (renderer == "Core/Listbox")
    return {"ItemRenderingArea", "ItemRenderingAreaHScroll", "ItemRenderingAreaVScroll", "ItemRenderingAreaHVScroll"};
  if (renderer == "Core/FrameWindow")
    return {"ClientWithTitleWithFrame", "ClientWithTitleNoFrame", "ClientNoTitleWithFrame", "ClientNoTitleNoFrame"};
  return {};
}

std::string Text(const CEGUI::String& s) { return CeguiCompat::ToUtf8(s); }

class WidgetKindsTest : public GuiFrameTest {
 protected:
  void TearDown() override {
    for (CEGUI::Window* w : made) CEGUI::WindowManager::getSingleton().destroyWindow(w);
    GuiFrameTest::TearDown();
  }

  // A window of the kind on the GUI sheet at the given pixel area.
  CEGUI::Window* Make(const char* kind, float x, float y, float w, float h, CEGUI::Window* parent = nullptr) {
    CEGUI::Window* window = CEGUI::WindowManager::getSingleton().createWindow(kind);
    window->setArea(CEGUI::URect(cegui_absdim(x), cegui_absdim(y), cegui_absdim(x + w), cegui_absdim(y + h)));
    if (parent) {
      parent->addChild(window);
    } else {
      gui->GetBaseFrame()->addChild(window);
      made.push_back(window);
    }
    return window;
  }

  CEGUI::GUIContext& Context() { return CEGUI::System::getSingleton().getDefaultGUIContext(); }

  // Press at one point, move to another, release (a drag; a click when they are equal).
  void Drag(const CEGUI::Vector2f& from, const CEGUI::Vector2f& to) {
    Context().injectMousePosition(from.d_x, from.d_y);
    Context().injectMouseButtonDown(CEGUI::LeftButton);
    Context().injectMousePosition(to.d_x, to.d_y);
    Context().injectMouseButtonUp(CEGUI::LeftButton);
  }

  static CEGUI::Vector2f Centre(const CEGUI::Window* window) {
    const CEGUI::Rectf area = window->getUnclippedOuterRect().get();
    return area.getPosition() + CEGUI::Vector2f(area.getWidth(), area.getHeight()) * 0.5f;
  }

  std::vector<CEGUI::Window*> made;
};

TEST_F(WidgetKindsTest, EveryLookHasTheStatesAndAreasItsRendererNeeds) {
  CEGUI::WidgetLookManager& looks = CEGUI::WidgetLookManager::getSingleton();
  for (const KindCase& c : kKinds) {
    ASSERT_TRUE(looks.isWidgetLookAvailable(c.kind)) << c.kind;
    const CEGUI::WidgetLookFeel& look = looks.getWidgetLook(c.kind);
    for (const std::string& state : StatesOf(c.renderer))
      EXPECT_TRUE(look.isStateImageryPresent(state)) << c.kind << " lacks state " << state;
    for (const std::string& area : NamedAreasOf(c.renderer))
      EXPECT_TRUE(look.isNamedAreaDefined(area)) << c.kind << " lacks area " << area;
  }
}

TEST_F(WidgetKindsTest, EveryKindCreatesAndDrawsInEachState) {
  for (const KindCase& c : kKinds) {
    CEGUI::Window* window = Make(c.kind, 100, 100, 200, 40);
    EXPECT_EQ(Text(window->getLookNFeel()), c.kind);
    EXPECT_EQ(Text(window->getWindowRendererName()), c.renderer);
    window->setText("Text");
  }
  // Drawn enabled, disabled, and for the toggles also selected.
  env.RenderGui();
  for (CEGUI::Window* w : made)
    if (auto* toggle = dynamic_cast<CEGUI::ToggleButton*>(w)) toggle->setSelected(true);
  env.RenderGui();
  for (CEGUI::Window* w : made) w->disable();
  env.RenderGui();
  ExpectNoCeguiFailure();
}

TEST_F(WidgetKindsTest, CheckboxTogglesOnEachClick) {
  auto* box = static_cast<CEGUI::ToggleButton*>(Make("CorallineLook/Checkbox", 100, 100, 160, 24));
  EXPECT_TRUE(box->isPropertyPresent("SelectedImage"));
  EXPECT_TRUE(CeguiCompat::SetProperty(box, "SelectedImage", "set:CorallineLook image:RadioSelected"));
  EXPECT_EQ(Text(box->getProperty("SelectedImage")), "CorallineLook/RadioSelected");
  EXPECT_FALSE(box->isSelected());
  Click(box);
  EXPECT_TRUE(box->isSelected());
  Click(box);
  EXPECT_FALSE(box->isSelected());
  SceneFrame();
  ExpectNoCeguiFailure();
}

TEST_F(WidgetKindsTest, RadioButtonsOfOneGroupExcludeEachOther) {
  CEGUI::Window* panel = Make("CorallineLook/StaticImage", 0, 0, 600, 200);
  std::vector<CEGUI::RadioButton*> heroes;
  for (int i = 0; i < 3; ++i)
    heroes.push_back(static_cast<CEGUI::RadioButton*>(Make("CorallineLook/RadioButton", 10 + 110.0f * i, 10, 100, 100, panel)));
  // Another group under the same parent keeps its own choice.
  auto* other = static_cast<CEGUI::RadioButton*>(Make("CorallineLook/RadioButton", 400, 10, 100, 100, panel));
  other->setGroupID(4);
  other->setSelected(true);

  for (const char* property : {"NormalImage", "HoverImage", "SelectedImage", "DisabledImage"})
    EXPECT_TRUE(CeguiCompat::SetProperty(heroes[0], property, "set:CorallineLook image:BlueWindow")) << property;

  heroes[0]->setSelected(true);
  Click(heroes[2]);
  EXPECT_FALSE(heroes[0]->isSelected());
  EXPECT_FALSE(heroes[1]->isSelected());
  EXPECT_TRUE(heroes[2]->isSelected());
  EXPECT_TRUE(other->isSelected());
  Click(heroes[1]);
  EXPECT_TRUE(heroes[1]->isSelected());
  EXPECT_FALSE(heroes[2]->isSelected());
  SceneFrame();
  ExpectNoCeguiFailure();
}

TEST_F(WidgetKindsTest, HorizontalScrollbarStepsAsASlider) {
  auto* slider = static_cast<CEGUI::Scrollbar*>(Make("CorallineLook/HorizontalScrollbar", 100, 300, 300, 20));
  // The options screen's set-up for a five-step choice.
  slider->setDocumentSize(5);
  slider->setPageSize(1);
  slider->setStepSize(1);
  slider->setOverlapSize(0);
  slider->setScrollPosition(0.1f);
  int changes = 0;
  slider->subscribeEvent(CEGUI::Scrollbar::EventScrollPositionChanged, [&](const CEGUI::EventArgs&) {
    ++changes;
    return true;
  });

  Click(slider->getIncreaseButton());
  EXPECT_FLOAT_EQ(slider->getScrollPosition(), 1.1f);
  Click(slider->getIncreaseButton());
  EXPECT_FLOAT_EQ(slider->getScrollPosition(), 2.1f);
  Click(slider->getDecreaseButton());
  EXPECT_FLOAT_EQ(slider->getScrollPosition(), 1.1f);
  EXPECT_EQ(changes, 3);

  // The thumb moves along the track only, and dragged to the end gives the last step.
  const CEGUI::Vector2f start = Centre(slider->getThumb());
  Drag(start, CEGUI::Vector2f(395, start.d_y + 40));
  EXPECT_NEAR(slider->getScrollPosition(), 4.0f, 1e-3f);
  EXPECT_FLOAT_EQ(Centre(slider->getThumb()).d_y, start.d_y);
  Click(slider->getIncreaseButton());
  EXPECT_NEAR(slider->getScrollPosition(), 4.0f, 1e-3f);

  auto* vertical = static_cast<CEGUI::Scrollbar*>(Make("CorallineLook/VerticalScrollbar", 500, 100, 20, 300));
  vertical->setDocumentSize(10);
  vertical->setPageSize(1);
  vertical->setStepSize(1);
  Click(vertical->getIncreaseButton());
  EXPECT_FLOAT_EQ(vertical->getScrollPosition(), 1.0f);
  const CEGUI::Vector2f top = Centre(vertical->getThumb());
  Drag(top, CEGUI::Vector2f(top.d_x + 40, 395));
  EXPECT_NEAR(vertical->getScrollPosition(), 9.0f, 1e-3f);
  SceneFrame();
  ExpectNoCeguiFailure();
}

TEST_F(WidgetKindsTest, ListboxSelectsAClickedItemAndScrollsALongList) {
  auto* list = static_cast<CEGUI::Listbox*>(Make("CorallineLook/Listbox", 100, 100, 300, 120));
  ASSERT_TRUE(list->isPropertyPresent("SelectionBrushImage"));
  const CEGUI::Image& brush = CEGUI::ImageManager::getSingleton().get(list->getProperty("SelectionBrushImage"));
  for (int i = 0; i < 30; ++i) {
    auto* item = new CEGUI::ListboxTextItem("Save " + CEGUI::PropertyHelper<int>::toString(i), i);
    item->setSelectionBrushImage(&brush);
    list->addItem(item);
  }
  SceneFrame();
  CEGUI::Scrollbar* bar = list->getVertScrollbar();
  EXPECT_EQ(Text(bar->getType()), "CorallineLook/VerticalScrollbar");
  EXPECT_TRUE(bar->isVisible());
  EXPECT_FALSE(list->getHorzScrollbar()->isVisible());

  // A click on the second row selects that item.
  const float rowHeight = list->getListboxItemFromIndex(0)->getPixelSize().d_height;
  const CEGUI::Vector2f row(list->getUnclippedOuterRect().get().left() + 40,
                            list->getUnclippedOuterRect().get().top() + 2 + rowHeight * 1.5f);
  Drag(row, row);
  ASSERT_NE(list->getFirstSelectedItem(), nullptr);
  EXPECT_EQ(list->getFirstSelectedItem()->getID(), 1u);

  Click(bar->getIncreaseButton());
  EXPECT_GT(bar->getScrollPosition(), 0.0f);
  SceneFrame();
  ExpectNoCeguiFailure();
}

TEST_F(WidgetKindsTest, FrameWindowReportsItsCloseButton) {
  auto* frame = static_cast<CEGUI::FrameWindow*>(Make("CorallineLook/FrameWindow", 200, 100, 400, 300));
  frame->setText("Options");
  EXPECT_EQ(Text(frame->getTitlebar()->getType()), "CorallineLook/Titlebar");
  EXPECT_EQ(Text(frame->getTitlebar()->getText()), "Options");
  EXPECT_EQ(Text(frame->getCloseButton()->getType()), "CorallineLook/CloseButton");
  int closes = 0;
  frame->subscribeEvent(CEGUI::FrameWindow::EventCloseClicked, [&](const CEGUI::EventArgs&) {
    ++closes;
    return true;
  });
  Click(frame->getCloseButton());
  EXPECT_EQ(closes, 1);
  // A click in the client area is not a close.
  Click(frame);
  EXPECT_EQ(closes, 1);
  SceneFrame();
  ExpectNoCeguiFailure();
}

TEST_F(WidgetKindsTest, TabControlAddsTabsAndSelectsByItsButtons) {
  auto* tabs = static_cast<CEGUI::TabControl*>(Make("CorallineLook/TabControl", 100, 100, 500, 300));
  CEGUI::Window* basic = CEGUI::WindowManager::getSingleton().createWindow("CorallineLook/StaticImage", "Basic");
  basic->setText("Basic");
  CEGUI::Window* advanced = CEGUI::WindowManager::getSingleton().createWindow("CorallineLook/StaticImage", "Advanced");
  advanced->setText("Advanced");
  tabs->addTab(basic);
  tabs->addTab(advanced);
  ASSERT_EQ(tabs->getTabCount(), 2u);
  EXPECT_EQ(tabs->getSelectedTabIndex(), 0u);
  EXPECT_TRUE(basic->isVisible());
  EXPECT_FALSE(advanced->isVisible());

  CEGUI::Window* buttons = tabs->getChild("__auto_TabPane__Buttons");
  CEGUI::Window* advancedButton = nullptr;
  for (size_t i = 0; i < buttons->getChildCount(); ++i)
    if (buttons->getChildAtIdx(i)->getText() == "Advanced") advancedButton = buttons->getChildAtIdx(i);
  ASSERT_NE(advancedButton, nullptr);
  EXPECT_EQ(Text(advancedButton->getType()), "CorallineLook/TabButton");
  Click(advancedButton);
  EXPECT_EQ(tabs->getSelectedTabIndex(), 1u);
  EXPECT_TRUE(advanced->isVisible());
  EXPECT_FALSE(basic->isVisible());
  SceneFrame();
  ExpectNoCeguiFailure();
}

TEST_F(WidgetKindsTest, LabelColoursAndLabelsOnButtons) {
  CEGUI::Window* label = Make("CorallineLook/Label", 100, 100, 200, 30);
  const std::string enabled = "tl:FFF9BC66 tr:FFF9BC66 bl:FFF9BC66 br:FFF9BC66";
  EXPECT_TRUE(CeguiCompat::SetProperty(label, "TextColours", enabled));
  std::string value;
  ASSERT_TRUE(CeguiCompat::GetProperty(label, "NormalTextColour", value));
  EXPECT_EQ(value, enabled);
  // The older name writes the same colour.
  EXPECT_TRUE(CeguiCompat::SetProperty(label, "NormalTextColour", "FF6B6B6B"));
  ASSERT_TRUE(CeguiCompat::GetProperty(label, "TextColours", value));
  EXPECT_EQ(value, "tl:FF6B6B6B tr:FF6B6B6B bl:FF6B6B6B br:FF6B6B6B");

  // A button whose text is a child label, restyled as the screens do: the button
  // still takes the clicks and the hover.
  auto* button = static_cast<CEGUI::PushButton*>(Make("CorallineLook/Button", 100, 200, 200, 50));
  CEGUI::Window* text = Make("CorallineLook/Label", 0, 0, 200, 50, button);
  text->setText("Start");
  EXPECT_TRUE(CeguiCompat::SetProperty(text, "Font", "Woodstamp-18"));
  EXPECT_TRUE(CeguiCompat::SetProperty(text, "TextColours", enabled));
  int clicks = 0;
  button->subscribeEvent(CEGUI::PushButton::EventClicked, [&](const CEGUI::EventArgs&) {
    ++clicks;
    return true;
  });
  Click(text);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(button->isHovering());
  SceneFrame();
  ExpectNoCeguiFailure();
}

TEST_F(WidgetKindsTest, OfferWindowsSwitchBetweenTheFourLooks) {
  const char* looks[] = {"CorallineLook/RedWindow2", "CorallineLook/BlueWindow2", "CorallineLook/YellowFrame",
                         "CorallineLook/RedFrame", "CorallineLook/BlueWindow2"};
  for (const char* kind : {"CorallineLook/StaticImage", "CorallineLook/RedWindow2"}) {
    CEGUI::Window* offer = Make(kind, 100, 100, 300, 200);
    EXPECT_TRUE(CeguiCompat::SetProperty(offer, "Image", "set:CorallineLook image:TabPane"));
    for (const char* look : looks) {
      EXPECT_TRUE(CeguiCompat::SetProperty(offer, "LookNFeel", look)) << look;
      EXPECT_EQ(Text(offer->getLookNFeel()), look);
      EXPECT_EQ(Text(offer->getProperty("Image")), "CorallineLook/TabPane") << look;
      SceneFrame();
    }
  }
  ExpectNoCeguiFailure();
}

// Every animation the title screen and its pages start by name, present and with a
// length (the screens wait for that length before their next step).
TEST_F(WidgetKindsTest, MenuAnimationsExistWithALength) {
  std::vector<std::string> names = {"FadeIn", "FadeOut", "MainMenu_BGFadeIn", "MainMenu_BGFadeOut",
                                    "MainMenu_CurtainUpDown", "MainMenu_CurtainUpUp", "MainMenu_CurtainDownUp",
                                    "MainMenu_CurtainDownDown"};
  for (const char* n : {"1st", "2nd", "3rd", "4th", "5th", "6th", "facebook", "twitter", "www"}) {
    names.push_back(std::string("MainMenu_ButtonFadeIn_") + n);
    names.push_back(std::string("MainMenu_ButtonFadeOut_") + n);
  }
  for (int i = 1; i <= 10; ++i) names.push_back((i < 10 ? "MainMenu_CreditsRoll_0" : "MainMenu_CreditsRoll_") + std::to_string(i));
  for (int i = 1; i <= 4; ++i) names.push_back("MainMenu_CreditsImage0" + std::to_string(i) + "Fade");
  for (const char* n : {"1st", "2nd", "3rd", "4th", "5th", "1stChar", "2ndChar", "3rdChar"})
    names.push_back(std::string("MainMenu_CH_ButtonFadeIn_") + n);
  for (const char* n : {"1st", "3rd", "4th", "5th", "6th"}) names.push_back(std::string("MainMenu_SW_ButtonFadeIn_") + n);

  CEGUI::AnimationManager& manager = CEGUI::AnimationManager::getSingleton();
  for (const std::string& name : names) {
    ASSERT_TRUE(manager.isAnimationPresent(name)) << name;
    EXPECT_GT(manager.getAnimation(name)->getDuration(), 0.0f) << name;
  }
}

float Duration(const std::string& name) { return CEGUI::AnimationManager::getSingleton().getAnimation(name)->getDuration(); }

// A group of fades started together ends with the one whose length the screen
// keeps: the last one started must be the longest.
TEST_F(WidgetKindsTest, TheLastFadeOfAGroupIsTheLongest) {
  const struct {
    const char* prefix;
    std::vector<const char*> group;
    const char* last;
  } groups[] = {
      {"MainMenu_ButtonFadeOut_", {"1st", "2nd", "3rd", "4th", "5th", "facebook", "6th", "twitter"}, "www"},
      {"MainMenu_ButtonFadeIn_", {"1st", "2nd", "3rd", "4th", "5th", "6th", "facebook", "twitter"}, "www"},
      {"MainMenu_ButtonFadeIn_", {"1st", "2nd", "3rd", "4th", "5th"}, "6th"},
      {"MainMenu_CH_ButtonFadeIn_", {"1st", "1stChar", "2ndChar", "3rdChar", "2nd", "3rd", "4th"}, "5th"},
      {"MainMenu_SW_ButtonFadeIn_", {"1st", "3rd", "4th", "5th"}, "6th"},
      {"MainMenu_Curtain", {"UpDown"}, "DownUp"},
  };
  for (const auto& g : groups)
    for (const char* other : g.group)
      EXPECT_GE(Duration(std::string(g.prefix) + g.last), Duration(std::string(g.prefix) + other)) << g.prefix << other;
}

// What each kind of animation does to its window once it has run to its end.
TEST_F(WidgetKindsTest, AnimationsFadeAndMoveTheirWindows) {
  const struct {
    const char* name;
    const char* property;
    float start;  // value before, set on the window
    float end;    // value after, as alpha or relative y (x stays 0)
    bool waits;   // holds its start value for a while first
  } cases[] = {
      {"MainMenu_ButtonFadeIn_3rd", "Alpha", 0.0f, 1.0f, false},
      {"MainMenu_ButtonFadeOut_www", "Alpha", 1.0f, 0.0f, false},
      {"MainMenu_BGFadeIn", "Alpha", 0.0f, 1.0f, false},
      {"MainMenu_BGFadeOut", "Alpha", 1.0f, 0.0f, false},
      {"MainMenu_CH_ButtonFadeIn_2ndChar", "Alpha", 0.0f, 1.0f, false},
      {"MainMenu_SW_ButtonFadeIn_6th", "Alpha", 0.0f, 1.0f, false},
      // Curtains: closed, the upper stands at 0 and the lower at 0.5; opening moves
      // them out of view, up and down.
      {"MainMenu_CurtainUpUp", "Position", 0.0f, -0.6f, false},
      {"MainMenu_CurtainUpDown", "Position", -0.6f, 0.0f, false},
      {"MainMenu_CurtainDownDown", "Position", 0.5f, 1.1f, false},
      {"MainMenu_CurtainDownUp", "Position", 1.1f, 0.5f, false},
      // Credits texts roll from below the screen out over its top.
      {"MainMenu_CreditsRoll_01", "Position", 1.05f, -0.4f, false},
      {"MainMenu_CreditsRoll_10", "Position", 1.05f, -0.4f, true},
  };
  CEGUI::AnimationManager& manager = CEGUI::AnimationManager::getSingleton();
  for (const auto& c : cases) {
    CEGUI::Window* window = Make("CorallineLook/StaticImage", 0, 0, 1280, 360);
    const bool alpha = std::string(c.property) == "Alpha";
    if (alpha)
      window->setAlpha(c.start);
    else
      window->setPosition(CEGUI::UVector2(cegui_absdim(0), cegui_reldim(c.start)));
    CEGUI::AnimationInstance* instance = manager.instantiateAnimation(c.name);
    instance->setTargetWindow(window);
    instance->start(false);
    const float duration = instance->getDefinition()->getDuration();
    // Half-way the value lies between its ends.
    instance->step(duration * 0.5f);
    const float middle = alpha ? window->getAlpha() : window->getPosition().d_y.d_scale;
    if (c.waits) {
      EXPECT_FLOAT_EQ(middle, c.start) << c.name;
    } else {
      EXPECT_GT(middle, std::min(c.start, c.end)) << c.name;
      EXPECT_LT(middle, std::max(c.start, c.end)) << c.name;
    }
    instance->step(duration * 0.5f + 0.01f);
    EXPECT_FALSE(instance->isRunning()) << c.name;
    EXPECT_NEAR(alpha ? window->getAlpha() : window->getPosition().d_y.d_scale, c.end, 1e-4f) << c.name;
    EXPECT_EQ(window->getPosition().d_x, cegui_absdim(0)) << c.name;
    manager.destroyAnimationInstance(instance);
  }
}

}  // namespace
