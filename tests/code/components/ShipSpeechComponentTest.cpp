// A computer ship's lines: the attack and sinking lines in a speech bubble over the
// ship (one bubble at a time), keys by nation, the taunt roll when the player's ship
// comes near and then once per speech delay, silence once sunk, and the saved block.
#include "components/ShipSpeechComponent.h"

#include "code/gui/GuiFrameTesting.h"
#include "components/AIShipComponent.h"
#include "core/ComponentMessages.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameSpeechBubble.h"
#include "Managers/LocalizationTable.h"
#include "Managers/SpeechManager.h"
#include "support/ArchiveRoundTrip.h"
#include "support/NavalScenario.h"

#include <memory>
#include <string>
#include <vector>

namespace {

// An AI that keeps the mode it is given: its steering is not under test.
class StillAI : public AIShipComponent {
 public:
  void SetOwner(VisTypedEngineObject_cl* owner) override { BaseComponent::SetOwner(owner); }
  void OnHandleCallback(IVisCallbackDataObject_cl*) override {}
};

class ShipSpeechTest : public GuiFrameTest {
 protected:
  void SetUp() override {
    timeStep = 0.1f;
    GuiFrameTest::SetUp();
    naval_scenario::AddWarringNations("Neutral", "Enemy");
    VSeedRandom(1234u);
  }
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
    records.clear();
    naval_scenario::CleanBattleManagers();
    GuiFrameTest::TearDown();
  }

  ShipEntity* MakeShip(const char* key, int nation, const VisVector_cl& at, bool player = false) {
    auto* ship = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", at));
    ship->SetEntityKey(key);
    ship->SetNation(nation);
    records.push_back(std::make_unique<ShipStats>());
    records.back()->SetShipNation(nation);
    records.back()->SetPlayerShip(player);
    ship->SetStats(records.back().get());
    if (Nation* owner = GameManager::GetInstance()->GetNation(nation)) owner->AddShip(ship);
    return ship;
  }
  // A computer ship with its speech (and an attacking AI when asked).
  ShipSpeechComponent* Speaker(ShipEntity* ship, bool attacking = true) {
    if (attacking) {
      auto* ai = new StillAI();
      ship->AddComponent(ai);
      ai->SetAIMode(AIShipComponent::AIMODE_ATTACK);
    }
    auto* speech = new ShipSpeechComponent();
    EXPECT_TRUE(ship->AddComponent(speech));
    return speech;
  }
  std::string Text(const std::string& key) {
    return CeguiCompat::ToUtf8(LocalizationTable::GetInstance()->GetText(key.c_str()));
  }
  const std::list<FrameSpeechBubble*>& Bubbles() const { return gui->GetSpeechBubbles(); }
  static std::string BubbleText(FrameSpeechBubble* bubble) {
    return bubble && bubble->GetTextWindow() ? CeguiCompat::ToUtf8(bubble->GetTextWindow()->getText()) : "";
  }
  SpeechManager* Speech() { return SpeechManager::GetInstance(); }

  std::vector<std::unique_ptr<ShipStats>> records;
};

TEST_F(ShipSpeechTest, OnlyShipsTakeIt) {
  ShipSpeechComponent speech;
  VString reason;
  EXPECT_EQ(speech.CanAttachToObject(MakeShip("Gull", 2, VisVector_cl(0, 0, 0)), reason), 1);
  EXPECT_EQ(speech.CanAttachToObject(Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0)), reason), 0);
  EXPECT_STREQ(reason.AsChar(), "Component can only be added to instances of ShipEntity or derived classes.");
}

struct KeyCase {
  int nation;
  ShipSpeechComponent::Line line;
  const char* key;
};

TEST_F(ShipSpeechTest, LinesAreKeyedByTheShipsNation) {
  const KeyCase cases[] = {
      {5, ShipSpeechComponent::LINE_ATTACKS, "str_SHIP_SPEECH_ATTACKS_5_0"},
      {3, ShipSpeechComponent::LINE_DESTROYED, "str_SHIP_SPEECH_DESTROYED_3_0"},
      {2, ShipSpeechComponent::LINE_IN_BATTLE, "str_SHIP_SPEECH_IN_BATTLE_2_0"},
      {0, ShipSpeechComponent::LINE_ATTACKS, "str_SHIP_SPEECH_ATTACKS_-1_0"},
      {0, ShipSpeechComponent::LINE_DESTROYED, "str_SHIP_SPEECH_DESTROYED_-1_0"},
  };
  for (const KeyCase& c : cases) {
    ShipSpeechComponent* speech = Speaker(MakeShip("Gull", c.nation, VisVector_cl(0, 0, 0)), false);
    EXPECT_EQ(speech->GetLineKey(c.line), c.key) << c.nation;
  }
}

// Every nation of the game script has its three lines in the bundled texts.
TEST_F(ShipSpeechTest, TheBundledTextsHaveEveryNationsLines) {
  const LocalizationTable::TextMap& texts = LocalizationTable::GetInstance()->GetTexts();
  for (int nation : {-1, 0, 1, 2, 3, 4, 5})
    for (const char* kind : {"ATTACKS", "DESTROYED", "IN_BATTLE"}) {
      const std::string key = "str_SHIP_SPEECH_" + std::string(kind) + "_" + std::to_string(nation) + "_0";
      EXPECT_TRUE(texts.count(key)) << key;
    }
}

TEST_F(ShipSpeechTest, SinkingShowsTheLineInABubbleOverTheShipOneBubbleAtATime) {
  ShipEntity* ship = MakeShip("Gull", 5, VisVector_cl(0, 0, 0));
  ShipSpeechComponent* speech = Speaker(ship);
  ship->SendMsg(VIS_MSG_USER_SHIP_SINK);
  EXPECT_TRUE(speech->IsDestroyed());
  ASSERT_EQ(Bubbles().size(), 1u);
  FrameSpeechBubble* bubble = Bubbles().front();
  EXPECT_EQ(BubbleText(bubble), Text("str_SHIP_SPEECH_DESTROYED_5_0"));
  EXPECT_EQ(BubbleText(bubble), "The Crown's ship is lost!");
  EXPECT_EQ(bubble->GetEntity(), ship);
  EXPECT_FLOAT_EQ(bubble->GetDisplayTime(), 3.0f);
  EXPECT_EQ(bubble->GetRootWindow()->getParent(), gui->GetBaseFrame());
  EXPECT_TRUE(Speech()->HasBubble());

  // A second line while the bubble shows is not shown.
  ship->SendMsg(37);
  EXPECT_EQ(Bubbles().size(), 1u);

  env.Frame();
  EXPECT_TRUE(bubble->GetRootWindow()->isVisible());
  for (int i = 0; i < 40 && !Bubbles().empty(); ++i) env.Frame();
  EXPECT_TRUE(Bubbles().empty());
  EXPECT_FALSE(Speech()->HasBubble());
  ship->SendMsg(37);
  ASSERT_EQ(Bubbles().size(), 1u);
  EXPECT_EQ(BubbleText(Bubbles().front()), Text("str_SHIP_SPEECH_ATTACKS_5_0"));
}

TEST_F(ShipSpeechTest, TheFirstTauntRollComesAtOnceThenOncePerDelay) {
  ShipEntity* player = MakeShip("Player", 1, VisVector_cl(0, 0, 0), true);
  ASSERT_EQ(GameManager::GetInstance()->GetPlayerEntity(), player);
  ShipEntity* ship = MakeShip("Gull", 2, VisVector_cl(100, 0, 0));
  ShipSpeechComponent* speech = Speaker(ship);
  speech->SetSpeechDelay(1.0f);
  env.Frame();
  SceneFrame();
  EXPECT_FALSE(speech->HasSpoken());  // out of range

  ship->SetPosition(VisVector_cl(20, 0, 50));  // the height does not count
  SceneFrame();
  EXPECT_TRUE(speech->HasSpoken());
  EXPECT_FLOAT_EQ(speech->GetDelayTimer(), 1.0f);
  // Rolls are the frames where it turns from silent to spoken.
  int rolls = 1;
  bool spoke = true;
  for (int i = 0; i < 50; ++i) {
    SceneFrame();
    rolls += !spoke && speech->HasSpoken();
    spoke = speech->HasSpoken();
  }
  // 5 s at 0.1 s a frame: a roll each 1 s and the frame after it.
  EXPECT_GE(rolls, 4);
  EXPECT_LE(rolls, 6);
}

TEST_F(ShipSpeechTest, AnAttackingShipTauntsThePlayerAndASunkOneNeverDoes) {
  MakeShip("Player", 1, VisVector_cl(0, 0, 0), true);
  ShipEntity* ship = MakeShip("Gull", 3, VisVector_cl(10, 0, 0));
  ShipSpeechComponent* speech = Speaker(ship);
  speech->SetSpeechDelay(0.1f);
  for (int i = 0; i < 100 && Bubbles().empty(); ++i) SceneFrame();
  ASSERT_FALSE(Bubbles().empty());
  EXPECT_EQ(BubbleText(Bubbles().back()), Text("str_SHIP_SPEECH_IN_BATTLE_3_0"));
  EXPECT_EQ(Bubbles().back()->GetEntity(), ship);
  Speech()->SetSpeechBubbleIsGone();

  ship->SendMsg(VIS_MSG_USER_SHIP_SINK);
  Speech()->SetSpeechBubbleIsGone();
  const int number = Bubbles().back()->GetNumber();
  for (int i = 0; i < 100; ++i) SceneFrame();
  EXPECT_TRUE(Bubbles().empty() || Bubbles().back()->GetNumber() == number);
}

TEST_F(ShipSpeechTest, OnlyAttackingShipsOfARealNationTaunt) {
  MakeShip("Player", 1, VisVector_cl(0, 0, 0), true);
  ShipSpeechComponent* idle = Speaker(MakeShip("Idle", 2, VisVector_cl(10, 0, 0)));
  static_cast<ShipEntity*>(idle->GetOwner())->Components<AIShipComponent>()->SetAIMode(AIShipComponent::AIMODE_FLEE);
  ShipSpeechComponent* stateless = Speaker(MakeShip("Stateless", 0, VisVector_cl(-10, 0, 0)));
  ShipSpeechComponent* crewless = Speaker(MakeShip("Crewless", 2, VisVector_cl(0, 10, 0)), false);
  for (ShipSpeechComponent* speech : {idle, stateless, crewless}) speech->SetSpeechDelay(0.1f);
  for (int i = 0; i < 100; ++i) SceneFrame();
  EXPECT_TRUE(Bubbles().empty());
}

TEST_F(ShipSpeechTest, TheSavedBlockKeepsRangeAndDelayAndReloadsTheTimer) {
  ShipSpeechComponent original, fresh;
  original.SetReactRange(45.0f);
  original.SetSpeechDelay(4.5f);
  archive_test::Bytes written;
  ASSERT_TRUE(archive_test::RoundTrip(
      original, fresh, [](ShipSpeechComponent& c, VArchive& ar) { c.SerializeX(ar); },
      [](ShipSpeechComponent& c, VArchive& ar) { c.SerializeX(ar); }, &written));
  EXPECT_FLOAT_EQ(fresh.GetReactRange(), 45.0f);
  EXPECT_FLOAT_EQ(fresh.GetSpeechDelay(), 4.5f);
  EXPECT_FLOAT_EQ(fresh.GetDelayTimer(), 4.5f);

  const archive_test::Bytes fixture =
      archive_test::ByteWriter().Str("ARCH").U8(2).F32(12.0f).F32(2.5f).Str("EOA");
  EXPECT_EQ(written.size(), fixture.size());
  ShipSpeechComponent loaded;
  ASSERT_TRUE(archive_test::LoadBytes(fixture, [&](VArchive& ar) { EXPECT_TRUE(loaded.SerializeX(ar)); }));
  EXPECT_FLOAT_EQ(loaded.GetReactRange(), 12.0f);
  EXPECT_FLOAT_EQ(loaded.GetSpeechDelay(), 2.5f);
  EXPECT_FLOAT_EQ(loaded.GetDelayTimer(), 2.5f);
}

}  // namespace
