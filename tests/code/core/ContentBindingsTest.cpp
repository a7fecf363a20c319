// The "GameContentManager", "AchievementManager" and "JokeManager" script tables:
// argument errors, the stored settings, achievement progress, jokes and the
// message in a bottle.
#include "support/GuiTestEnvironment.h"
#include "support/ScopedEnv.h"
#include "support/ScriptBindingFixture.h"

#include "Managers/AchievementManager.h"
#include "Managers/GameContentManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/JokeManager.h"
#include "Managers/LocalizationTable.h"
#include "entities/CollectableEntityTemplate.h"
#include "gui/FrameJokeInBottle.h"
#include "gui/FrameMissionLoadBar.h"
#include "util/MathTools.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <memory>
#include <sstream>

namespace {

namespace fs = std::filesystem;

class ContentBindingsTest : public ScriptBindingFixture {
 protected:
  void SetUp() override {
    ScriptBindingFixture::SetUp();
    documents = fs::temp_directory_path() / ("brinemark_content_" + std::to_string(getpid()));
    fs::remove_all(documents);
    docsEnv = std::make_unique<ScopedEnv>("ENGINE_DOCUMENTS_DIR", documents.c_str());
  }
  void ReleaseAfterEntities() override {
    MathTools::SetUseFixedRandom(false);
    JokeManager::CleanInstance();
    AchievementManager::CleanInstance();
    GameContentManager::CleanInstance();
    GameSessionManager::CleanInstance();
    LocalizationTable::CleanInstance();
    ScriptBindingFixture::ReleaseAfterEntities();
    docsEnv.reset();
    fs::remove_all(documents);
  }
  static void SetJokes(const char* lines) {
    std::istringstream in(lines);
    LocalizationTable::GetInstance()->ReadJokes(in);
    JokeManager::GetInstance()->Initialize();
  }

  fs::path documents;
  std::unique_ptr<ScopedEnv> docsEnv;
};

TEST_F(ContentBindingsTest, ShipSettingsAreStoredAndWrongArgumentsRaiseTheirText) {
  GameContentManager* content = GameContentManager::GetInstance();
  EXPECT_EQ(content->GetShipUpdateEnabled(), 0);
  EXPECT_EQ(content->GetMaxShipCount(), 10);
  EXPECT_EQ(content->GetShipSpawnCount(), 1);
  EXPECT_FLOAT_EQ(content->GetShipUpdateInterval(), 60.0f);

  EXPECT_EQ(Run("GameContentManager.SetShipUpdateEnabled(1)\n"
                "GameContentManager.SetShipUpdateInterval(12.5)\n"
                "GameContentManager.SetMaxShipCount(4)\n"
                "GameContentManager.SetShipSpawnCount(3)"),
            "");
  EXPECT_EQ(content->GetShipUpdateEnabled(), 1);
  EXPECT_FLOAT_EQ(content->GetShipUpdateInterval(), 12.5f);
  EXPECT_EQ(content->GetMaxShipCount(), 4);
  EXPECT_EQ(content->GetShipSpawnCount(), 3);

  struct Case {
    const char* call;
    const char* function;
    int argument;
    const char* message;
  } cases[] = {
      // The flag is a number: the script's own booleans are refused.
      {"SetShipUpdateEnabled(true)", "SetShipUpdateEnabled", 2, "Expected BOOL"},
      {"SetShipUpdateInterval('x')", "SetShipUpdateInterval", 2, "Expected float"},
      {"SetMaxShipCount()", "SetMaxShipCount", 2, "Expected int"},
      {"SetShipSpawnCount(nil)", "SetShipSpawnCount", 2, "Expected int"},
      {"AddNPCShip(5)", "AddNPCShip", 1, "Expected native object of type ShipEntity*"},
      {"AddCollectable(3, Vector(0, 0, 0))", "AddCollectable", 2, "Expected const char *"},
      {"AddCollectable('scripts\\\\Coin.lua')", "AddCollectable", 3, "Expected VisVector_cl"},
      {"AdjustPositionToAccessibleArea()", "AdjustPositionToAccessibleArea", 2, "Expected VisVector_cl"},
      {"GetCollectableAmount(1)", "GetCollectableAmount", 2, "Expected const char*"},
  };
  for (const Case& c : cases) {
    EXPECT_THAT(Run(std::string("GameContentManager.") + c.call),
                ::testing::HasSubstr(ArgError(c.argument, c.function, c.message)))
        << c.call;
  }
  EXPECT_EQ(content->GetShipUpdateEnabled(), 1);
  EXPECT_EQ(content->GetMaxShipCount(), 4);
}

TEST_F(ContentBindingsTest, AchievementFunctionsTakeDefaultsAndCountOnce) {
  AchievementManager* achievements = AchievementManager::GetInstance();
  EXPECT_EQ(Run("AchievementManager.IncValue(5, 2)\nAchievementManager.IncValue(5, 2)"), "");
  float value = 0.0f;
  ASSERT_TRUE(achievements->GetValue(5, value));
  EXPECT_FLOAT_EQ(value, 4.0f);
  EXPECT_EQ(Run("AchievementManager.SetValue(5, 1)"), "");
  achievements->GetValue(5, value);
  EXPECT_FLOAT_EQ(value, 1.0f);

  // Nothing is checked: no arguments, or wrong ones, act on id -1 and amount 0.
  EXPECT_EQ(Run("AchievementManager.IncValue()\nAchievementManager.SetValue('a', 'b', 3)"), "");
  ASSERT_TRUE(achievements->GetValue(-1, value));
  EXPECT_FLOAT_EQ(value, 0.0f);

  EXPECT_EQ(Run("AchievementManager.SetAchievement(7)"), "");
  EXPECT_TRUE(achievements->IsUnlocked(7));
  EXPECT_TRUE(achievements->HasChanged());
  EXPECT_EQ(Run("AchievementManager.CheckAchievements()"), "");
  EXPECT_FALSE(achievements->HasChanged());
  EXPECT_EQ(Run("AchievementManager.SetAchievement(7)"), "");
  EXPECT_TRUE(achievements->IsUnlocked(7));
  EXPECT_FALSE(achievements->HasChanged());
}

TEST_F(ContentBindingsTest, JokesComeAsTextAndNothingWithoutOne) {
  SetJokes("");
  EXPECT_EQ(Number("select('#', JokeManager.GetRandomJoke())"), 0);
  SetJokes("First\nSecond\n");
  const std::string a = String("JokeManager.GetRandomJoke()");
  const std::string b = String("JokeManager.GetRandomJoke()");
  EXPECT_NE(a, b);
  EXPECT_TRUE((a == "First" || a == "Second") && (b == "First" || b == "Second")) << a << " " << b;
  EXPECT_EQ(JokeManager::GetInstance()->GetUnseenCount(), 0);
}

TEST_F(ContentBindingsTest, CollectableAmountIsThePlayerCountUnderBothNames) {
  auto* rum = new CollectableEntityTemplate();
  rum->m_sKey = "RumPotion";
  rum->m_iCount = 3;
  GameSessionManager::GetInstance()->AddCollectable(rum);
  EXPECT_EQ(Number("GameContentManager.GetCollectableAmount('RumPotion')"), 3);
  EXPECT_EQ(Number("GameManager.GetPlayerCollectableCountByName('RumPotion')"), 3);
  EXPECT_EQ(Number("GameContentManager.GetCollectableAmount('Toolbox')"), 0);
}

TEST_F(ContentBindingsTest, PositionsWithoutTheLandPathFinderAreTheOrigin) {
  ASSERT_EQ(GameManager::GetInstance()->GetNavigation(), nullptr);
  EXPECT_TRUE(Bool("(function() local p = GameContentManager.GetAccessibleRandomPosition(true)\n"
                   "return p.x == 0 and p.y == 0 and p.z == 0 end)()"));
  EXPECT_TRUE(Bool("(function() local p = GameContentManager.AdjustPositionToAccessibleArea(Vector(5, 6, -3))\n"
                   "return p.x == 5 and p.y == 6 and p.z == -3 end)()"));
}

TEST_F(ContentBindingsTest, ABottleShowsAnUnreadJokeUntilBottleJokesAreSwitchedOff) {
  GuiTestEnvironment env;
  env.Start();
  GUIManager* gui = env.StartGui();
  gui->ShowFrame(WT_WELCOME);
  ASSERT_NE(gui->GetCurrentFrame(), nullptr);
  RegisterLuaBindings();
  SetJokes("Only joke\nSecond joke\nThird joke\n");
  MathTools::SetUseFixedRandom(true);  // the first unread joke

  EXPECT_TRUE(Bool("(function() local p = GameContentManager.AddMessageInABottle()\n"
                   "return p.x == 0 and p.y == 0 and p.z == 0 end)()"));
  auto* frame = dynamic_cast<FrameJokeInBottle*>(gui->FindWindowA(WT_JOKE_IN_BOTTLE));
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->GetJokeText(), "Only joke");
  EXPECT_EQ(JokeManager::GetInstance()->GetUnseenCount(), 2);
  EXPECT_TRUE(AchievementManager::GetInstance()->IsUnlocked(43));

  // The player unticked the box and closed the frame: no bottle shows a joke any
  // more, and none is used up unread.
  JokeManager::GetInstance()->DisableBottleJokes();
  gui->CloseWindow(WT_JOKE_IN_BOTTLE, true);
  EXPECT_EQ(Run("GameContentManager.AddMessageInABottle()"), "");
  EXPECT_EQ(gui->FindWindowA(WT_JOKE_IN_BOTTLE), nullptr);
  EXPECT_EQ(JokeManager::GetInstance()->GetUnseenCount(), 2);

  JokeManager::CleanInstance();
  env.Stop();
}

TEST_F(ContentBindingsTest, TheLoadBarShowsItsProgressAtMostFullAndClosesWithoutOne) {
  GuiTestEnvironment env;
  env.Start();
  GUIManager* gui = env.StartGui();
  gui->ShowFrame(WT_WELCOME);
  RegisterLuaBindings();
  // Without a running campaign nothing shows.
  ASSERT_EQ(Run("GameContentManager.ShowLoadBar(0.5, 'str_MAP_TITLE')"), "");
  EXPECT_FALSE(gui->IsWindowVisible(WT_MISSION_LOAD_BAR));

  GameSessionManager::GetInstance();
  ASSERT_EQ(Run("GameContentManager.ShowLoadBar(1.7, 'str_MAP_TITLE')"), "");
  ASSERT_TRUE(gui->IsWindowVisible(WT_MISSION_LOAD_BAR));
  auto* bar = dynamic_cast<FrameMissionLoadBar*>(gui->FindWindowA(WT_MISSION_LOAD_BAR));
  ASSERT_NE(bar, nullptr);
  EXPECT_FLOAT_EQ(bar->GetFraction(), 1.0f);
  ASSERT_EQ(Run("GameContentManager.ShowLoadBar()"), "");
  EXPECT_FALSE(gui->IsWindowVisible(WT_MISSION_LOAD_BAR));
  env.Stop();
}

}  // namespace
