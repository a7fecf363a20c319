// The frames that float over the sea: the enemy and player ship panels, the town
// tag and the speech bubble. Their texts are read back from their CEGUI windows.
#include "code/gui/GuiFrameTesting.h"

#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/TownEntity.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameEnemyShipInfo.h"
#include "gui/FramePlayerShipInfo.h"
#include "gui/FrameSpeechBubble.h"
#include "gui/FrameTownInfo.h"
#include "Managers/SpeechManager.h"
#include "support/NavalScenario.h"

#include "engine/core/VisRenderContext.h"

#include <cmath>
#include <memory>
#include <string>

namespace {

std::string TextOf(CEGUI::Window* window) { return window ? CeguiCompat::ToUtf8(window->getText()) : "(none)"; }

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
  return n;
}

class ShipPanelsTest : public GuiFrameTest {
 protected:
  void SetUp() override {
    GuiFrameTest::SetUp();
    naval_scenario::AddWarringNations("Neutral", "Enemy");
  }
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
    naval_scenario::CleanBattleManagers();
    GuiFrameTest::TearDown();
  }

  ShipEntity* MakeShip(int nation, const VisVector_cl& at = VisVector_cl(50, 0, 0)) {
    auto* ship = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", at));
    record.SetShipName("Gull");
    record.SetShipNation(nation);
    record.SetLevel(3);
    record.SetDamageRating(2.4f);
    record.SetSpeedRating(2.5f);
    record.SetManeuveringRating(5.0f);
    record.SetToughnessRating(0.0f);
    record.GetHull().SetMaximum(100);
    record.GetHull().SetCurrent(25);
    ship->SetNation(nation);
    ship->SetStats(&record);
    return ship;
  }

  ShipStats record;
};

struct BallCase {
  float rating;
  int blue, half, empty;
};

TEST_F(ShipPanelsTest, RatingsAreRowsOfFiveBalls) {
  const BallCase cases[] = {{2.4f, 2, 0, 3}, {2.5f, 2, 1, 2}, {5.0f, 5, 0, 0}, {0.0f, 0, 0, 5}, {4.6f, 4, 1, 0},
                            {0.5f, 0, 1, 4}};
  for (const BallCase& c : cases) {
    const std::string row = FrameEnemyShipInfo::PowerBallText(c.rating);
    EXPECT_EQ(Count(row, "image:PowerBallBlue"), c.blue) << c.rating;
    EXPECT_EQ(Count(row, "image:PowerBallHalf"), c.half) << c.rating;
    EXPECT_EQ(Count(row, "image:PowerBallNone"), c.empty) << c.rating;
  }
}

TEST_F(ShipPanelsTest, TheEnemyPanelShowsNameNationLevelRatingsAndHull) {
  FrameEnemyShipInfo first, second;
  ASSERT_TRUE(first.Init());
  ASSERT_TRUE(second.Init());
  // Numbered copies: the same widgets under different names.
  EXPECT_NE(first.GetRootWindow()->getName(), second.GetRootWindow()->getName());
  const CEGUI::String root = first.GetRootWindow()->getName();

  first.SetData(MakeShip(2));
  EXPECT_EQ(TextOf(first.GetComponent(root + "/ShipName")), "str_GULL");
  EXPECT_EQ(TextOf(first.GetComponent(root + "/ShipLevel")), "Enemy - Level 3");
  const std::string damage = TextOf(first.GetComponent(root + "/ShipIcon/DamagePoints"));
  EXPECT_EQ(Count(damage, "GUI_Window_01/PowerBallBlue"), 2);
  EXPECT_EQ(Count(damage, "GUI_Window_01/PowerBallNone"), 3);
  EXPECT_EQ(Count(TextOf(first.GetComponent(root + "/ShipIcon/SpeedPoints")), "GUI_Window_01/PowerBallHalf"), 1);
  EXPECT_EQ(Count(TextOf(first.GetComponent(root + "/ShipIcon/DexterityPoints")), "GUI_Window_01/PowerBallBlue"), 5);
  EXPECT_EQ(Count(TextOf(first.GetComponent(root + "/ShipIcon/ToughnessPoints")), "GUI_Window_01/PowerBallNone"), 5);
  CEGUI::Window* bar = first.GetComponent(root + "/Hitpoints/Bar");
  ASSERT_NE(bar, nullptr);
  EXPECT_FLOAT_EQ(bar->getWidth().d_scale, 0.25f);
  EXPECT_FLOAT_EQ(bar->getWidth().d_offset, 0.0f);

  // Nothing without a record.
  auto* bare = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", VisVector_cl(0, 0, 0)));
  first.SetData(bare);
  EXPECT_EQ(TextOf(first.GetComponent(root + "/ShipName")), "str_GULL");
  env.RenderGui();
  ExpectNoCeguiFailure();
}

TEST_F(ShipPanelsTest, AHiddenEnemyPanelStaysWhereItIsAndAHiddenTownTagMoves) {
  FrameEnemyShipInfo panel;
  FrameTownInfo tag;
  ASSERT_TRUE(panel.Init());
  ASSERT_TRUE(tag.Init());
  panel.GetRootWindow()->hide();
  tag.GetRootWindow()->hide();
  const CEGUI::UVector2 before = panel.GetRootWindow()->getPosition();
  panel.SetPosition(300, 200);
  tag.SetPosition(300, 200);
  EXPECT_EQ(panel.GetRootWindow()->getPosition(), before);
  EXPECT_EQ(tag.GetRootWindow()->getPosition(), CEGUI::UVector2(CEGUI::UDim(0, 208), CEGUI::UDim(0, 138)));
  panel.GetRootWindow()->show();
  panel.SetPosition(300, 200);
  EXPECT_EQ(panel.GetRootWindow()->getPosition(), CEGUI::UVector2(CEGUI::UDim(0, 268), CEGUI::UDim(0, 168)));
}

TEST_F(ShipPanelsTest, ThePlayerPanelHasOneUnnumberedCopyAtAFixedPoint) {
  FramePlayerShipInfo panel;
  ASSERT_TRUE(panel.Init());
  EXPECT_STREQ(panel.GetRootWindow()->getName().c_str(), "ShipInfoPlayer");
  panel.SetData(MakeShip(1));
  EXPECT_EQ(TextOf(panel.GetComponent("ShipInfoPlayer/BGTop/NameBG/Name")), "str_GULL");
  EXPECT_EQ(Count(TextOf(panel.GetComponent("ShipInfoPlayer/Content/SpeedPoints")), "GUI_Window_01/PowerBallBlue"), 2);
  panel.GetRootWindow()->show();
  panel.SetPosition(17, 900);
  EXPECT_EQ(panel.GetRootWindow()->getPosition(), CEGUI::UVector2(CEGUI::UDim(0.5f, 40), CEGUI::UDim(0.5f, -100)));
}

TEST_F(ShipPanelsTest, ATownTagShowsItsNameAndItsWealthOnlyWhenItHasSome) {
  auto* town = static_cast<TownEntity*>(Vision::Game.CreateEntity("TownEntity", VisVector_cl(0, 0, 0)));
  town->SetScript("scripts\\towns\\saltmarsh.lua");
  town->CommonInit();
  FrameTownInfo tag;
  ASSERT_TRUE(tag.Init());
  const CEGUI::String root = tag.GetRootWindow()->getName();
  tag.SetData(town);
  EXPECT_EQ(TextOf(tag.GetComponent(root + "/TownName")), "[font='Woodstamp-23']Saltmarsh");
  for (const char* wealth : {"/WealthPoints", "/WealthPointsBG", "/WealthLabel"})
    EXPECT_FALSE(tag.GetComponent(root + wealth)->isVisible()) << wealth;

  town->SetScriptValue("iCurrentItemsInBuilding", 3);
  tag.SetData(town);
  for (const char* wealth : {"/WealthPoints", "/WealthPointsBG", "/WealthLabel"})
    EXPECT_TRUE(tag.GetComponent(root + wealth)->isVisible()) << wealth;
  EXPECT_EQ(Count(TextOf(tag.GetComponent(root + "/WealthPoints")), "ShipIcons_01/PowerBallYellow"), 3);
  env.RenderGui();
  ExpectNoCeguiFailure();
}

// The table makes the panels by kind too; the player panel without its layout.
TEST_F(ShipPanelsTest, TheFrameTableOpensAndClosesThePanelsByKind) {
  for (WINDOW_TYPES type : {WT_ENEMY_SHIP_INFO, WT_TOWN_INFO}) {
    BaseWindow* frame = gui->GetWindow(type);
    ASSERT_NE(frame, nullptr) << type;
    ASSERT_NE(frame->GetRootWindow(), nullptr) << type;
    gui->ShowFrame(type);
    EXPECT_TRUE(gui->IsWindowVisible(type));
    gui->CloseWindow(type, true);
    EXPECT_EQ(gui->FindWindowA(type), nullptr);
  }
  BaseWindow* player = gui->GetWindow(WT_PLAYER_SHIP_INFO);
  ASSERT_NE(dynamic_cast<FramePlayerShipInfo*>(player), nullptr);
  EXPECT_EQ(player->GetRootWindow(), nullptr);
  gui->CloseWindow(WT_PLAYER_SHIP_INFO, true);
  env.Frame();
  ExpectNoCeguiFailure();
}

// ---- speech bubbles -----------------------------------------------------------------------

class SpeechBubbleTest : public ShipPanelsTest {
 protected:
  FrameSpeechBubble* Say(const std::string& text, VisBaseEntity_cl* over, float seconds = 3.0f) {
    FrameSpeechBubble* bubble = gui->ShowSpeechBubble(seconds);
    EXPECT_NE(bubble, nullptr);
    if (!bubble) return nullptr;
    bubble->GetTextWindow()->setText(CeguiCompat::ToGui(text));
    bubble->SetEntity(over);
    return bubble;
  }
  float Extent(FrameSpeechBubble* bubble) {
    return bubble->GetTextWindow()->getFont()->getTextExtent(bubble->GetTextWindow()->getText(), 1.0f);
  }
  VisBaseEntity_cl* Speaker(const VisVector_cl& at) { return Vision::Game.CreateEntity("VisBaseEntity_cl", at); }
};

TEST_F(SpeechBubbleTest, BubblesAreNumberedCopiesBehindTheOtherWindowsAndHiddenAtFirst) {
  VisBaseEntity_cl* speaker = Speaker(VisVector_cl(50, 0, 0));
  FrameSpeechBubble* first = Say("Ahoy", speaker);
  FrameSpeechBubble* second = Say("Avast", speaker);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(second->GetNumber(), first->GetNumber() + 1);
  EXPECT_EQ(std::string(first->GetTextWindow()->getName().c_str()), "Text");
  EXPECT_EQ(std::string(first->GetRootWindow()->getName().c_str()), std::to_string(first->GetNumber()) + "SpeechBubble");
  EXPECT_NE(first->GetRootWindow()->getName(), second->GetRootWindow()->getName());
  EXPECT_FALSE(first->GetRootWindow()->isVisible());
  EXPECT_EQ(first->GetRootWindow()->getParent(), gui->GetBaseFrame());
  EXPECT_EQ(gui->GetSpeechBubbles().size(), 2u);
  env.Frame();
  EXPECT_TRUE(first->GetRootWindow()->isVisible());
  env.RenderGui();
  ExpectNoCeguiFailure();
}

TEST_F(SpeechBubbleTest, ABubbleFitsItsTextAndFloatsAboveItsSpeaker) {
  VisBaseEntity_cl* speaker = Speaker(VisVector_cl(50, 5, 2));
  FrameSpeechBubble* word = Say("Ahoy!", speaker);
  const std::string longText(150, 'w');
  FrameSpeechBubble* speech = Say(longText, speaker);
  FrameSpeechBubble* middle = Say(std::string(60, 'w'), speaker);
  env.Frame();
  EXPECT_FLOAT_EQ(word->GetWidth(), Extent(word) + 20.0f);
  EXPECT_FLOAT_EQ(word->GetHeight(), 40.0f);
  // Measured in the bubble's FreeType font, not guessed from the letters.
  EXPECT_FLOAT_EQ(word->GetWidth(), 46.0f + 20.0f);
  const float wide = Extent(speech);
  ASSERT_GT(wide, 300.0f);
  EXPECT_FLOAT_EQ(speech->GetWidth(), 300.0f);
  EXPECT_FLOAT_EQ(speech->GetHeight(), std::ceil(wide / 300.0f) * 14.0f + 60.0f);
  const float mid = Extent(middle);
  ASSERT_GT(mid, 200.0f);
  EXPECT_FLOAT_EQ(middle->GetWidth(), 200.0f);
  EXPECT_FLOAT_EQ(middle->GetHeight(), std::ceil(mid * 0.005f) * 14.0f + 60.0f);

  // Centred over the speaker, its bottom edge 100 pixels above it, every update.
  for (const VisVector_cl& at : {VisVector_cl(50, 5, 2), VisVector_cl(40, -8, 0)}) {
    speaker->SetPosition(at);
    env.Frame();
    float x = 0, y = 0;
    ASSERT_TRUE(VisRenderContext_cl::GetMainRenderContext()->Project2D(at, x, y));
    const CEGUI::UVector2 position = word->GetRootWindow()->getPosition();
    EXPECT_NEAR(position.d_x.d_offset + word->GetWidth() / 2, x, 1e-3f);
    EXPECT_NEAR(position.d_y.d_offset + word->GetHeight(), y - 100.0f, 1e-3f);
  }
}

TEST_F(SpeechBubbleTest, ABubbleEndsWithItsTimeItsCloseButtonOrItsSpeaker) {
  SpeechManager::GetInstance()->SetSpeechBubbleBusy();
  VisBaseEntity_cl* speaker = Speaker(VisVector_cl(50, 0, 0));
  FrameSpeechBubble* timed = Say("Ahoy", speaker, 0.25f);
  CEGUI::Window* timedRoot = timed->GetRootWindow();
  env.Frame();
  env.Frame();
  EXPECT_EQ(gui->GetSpeechBubbles().size(), 1u);
  env.Frame();
  EXPECT_TRUE(gui->GetSpeechBubbles().empty());
  EXPECT_FALSE(CEGUI::WindowManager::getSingleton().isAlive(timedRoot));
  // Its end frees the speech manager for the next line.
  EXPECT_FALSE(SpeechManager::GetInstance()->HasBubble());

  FrameSpeechBubble* closed = Say("Ahoy", speaker);
  env.Frame();
  env.RenderGui();
  CEGUI::Window* close = closed->GetComponent(closed->GetRootWindow()->getName() + "/Close");
  Click(close);
  EXPECT_FLOAT_EQ(closed->GetDisplayTime(), 0.0f);
  env.Frame();
  EXPECT_TRUE(gui->GetSpeechBubbles().empty());

  Say("Ahoy", speaker);
  speaker->Remove();
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(gui->GetSpeechBubbles().front()->GetEntity(), nullptr);
  env.Frame();
  EXPECT_TRUE(gui->GetSpeechBubbles().empty());
}

TEST_F(SpeechBubbleTest, NoBubbleWithoutARunningGui) {
  GUIManager::CleanInstance();
  EXPECT_EQ(GUIManager::GetInstance()->ShowSpeechBubble(3.0f), nullptr);
}

}  // namespace
