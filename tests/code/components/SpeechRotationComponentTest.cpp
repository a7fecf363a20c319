// The NPC speech component (proximity and click, one-off and looped speeches) and the
// rotation component (axis, direction, pause, physics-driven owners).
#include "components/RotationComponent.h"
#include "components/SpeechComponent.h"

#include "core/GameManager.h"
#include "core/Player.h"
#include "core/RtsManager.h"
#include "entities/Nation.h"
#include "entities/UnitEntity.h"
#include "Managers/PauseManager.h"

#include "support/ScratchScriptFixture.h"

#include "engine/Vision.h"
#include "engine/core/VScriptManager.h"
#include "engine/physics/vPhysXModule.h"
#include "engine/physics/vPhysXRigidBody.h"

#include <gtest/gtest.h>

namespace {

const float kDt = 0.5f;

// The speech script counts its calls in a master global table, which outlives the
// instance a one-off speech drops; "Update" reports the speech over after 1 s.
const char* const kSpeech =
    "function Init() Said.inits = Said.inits + 1; elapsed = 0 end\n"
    "function Update(dt) Said.updates = Said.updates + 1; elapsed = elapsed + dt\n"
    "  if elapsed >= 1.0 then return 1 end\n"
    "  return 0\n"
    "end\n";

class SpeechRotationTest : public ScratchScriptFixture {
 protected:
  SpeechRotationTest() : ScratchScriptFixture("speechrot_") {}

  void SetUp() override {
    ScratchScriptFixture::SetUp();
    GameManager* game = GameManager::GetInstance();
    game->ResetNations();
    game->AddNation(new Nation(0, "None"));
    game->AddNation(new Nation(1, "Player"));
    game->SetLocation(1);
    RtsManager::GlobalManager().OneTimeInit();
    // Other tests may leave a small frame-time cap behind.
    m_maxDt = Vision::Timer.GetMaxTimeDifference();
    Vision::Timer.SetMaxTimeDifference(1.0f);
    Vision::Timer.SetFixedTimeStep(kDt);
    Vision::Timer.Update();
    Write("scripts/Speech.lua", kSpeech);
    ASSERT_EQ(Run("Said = { inits = 0, updates = 0 }"), "");
  }
  void TearDown() override {
    RtsManager::GlobalManager().OneTimeDeInit();
    Vision::Timer.SetFixedTimeStep(0.0f);
    Vision::Timer.SetMaxTimeDifference(m_maxDt);
    PauseManager::GetInstance()->SetFullPause(false);
    PauseManager::GetInstance()->SetGamePause(false);
    ScratchScriptFixture::TearDown();
    Vision::Game.FreeRemovedEntities();
    GameManager::CleanInstance();
  }

  // The player's character, standing at x on the x axis.
  UnitEntity* MakePlayer(float x) {
    auto* hero = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(x, 0, 0), nullptr,
                                                                    "m_iNation=\"1\",m_iNumSoldiers=\"1\""));
    hero->SetEntityKey("PlayerCharacter");
    Player* player = RtsManager::GlobalManager().GetPlayer();
    player->UnitRemoved(hero);
    player->AddPlayerUnit(hero);
    EXPECT_EQ(GameManager::GetInstance()->GetPlayerEntity(), hero);
    return hero;
  }
  SpeechComponent* MakeNpc(bool looped, bool activationOnly) {
    npc = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));
    auto* speech = new SpeechComponent();
    speech->SetScriptFile("scripts/Speech.lua");
    speech->SetReactRange(10.0f);
    speech->SetSpeechDelay(2.0f);
    speech->SetLooped(looped);
    speech->SetActivationOnly(activationOnly);
    EXPECT_TRUE(npc->AddComponent(speech));
    return speech;
  }
  static void Frames(int n) {
    for (int i = 0; i < n; ++i) Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
  }
  int Said(const char* what) {
    Run(std::string("said_count = Said.") + what);
    lua_getglobal(L, "said_count");
    const int n = (int)lua_tointeger(L, -1);
    lua_pop(L, 1);
    return n;
  }

  VisBaseEntity_cl* npc = nullptr;
  float m_maxDt = 0.0f;
};

TEST_F(SpeechRotationTest, SpeechAttachesToEntitiesOnlyAndMakesItsOwnerClickable) {
  VString reason;
  SpeechComponent speech;
  VisObject3D_cl plain;
  EXPECT_EQ(speech.CanAttachToObject(&plain, reason), 0);
  EXPECT_STREQ(reason.AsChar(), "Component can only be added to instances of VisBaseEntity_cl or derived classes.");
  // Placed with the property defaults.
  EXPECT_FLOAT_EQ(speech.GetReactRange(), 10.0f);
  EXPECT_FLOAT_EQ(speech.GetSpeechDelay(), 10.0f);
  EXPECT_FALSE(speech.IsActivationOnly());
  EXPECT_FALSE(speech.IsLooped());

  SpeechComponent* attached = MakeNpc(false, false);
  EXPECT_EQ(npc->GetTraceAccuracy(), VIS_TRACEACC_OBOX);
  EXPECT_NE(attached->GetScript(), nullptr);
}

TEST_F(SpeechRotationTest, AOneOffSpeechStartsInRangeRunsUntilUpdateEndsItAndNeverAgain) {
  UnitEntity* hero = MakePlayer(10.0f);  // exactly at the range: not in it
  SpeechComponent* speech = MakeNpc(false, false);
  Frames(3);
  EXPECT_EQ(Said("inits"), 0);
  EXPECT_FALSE(speech->IsActive());

  hero->SetPosition(VisVector_cl(6, 6, 50));  // 2-D distance 8.5; height does not count
  Frames(1);
  EXPECT_EQ(Said("inits"), 1);
  EXPECT_EQ(Said("updates"), 1);  // "Init" and the first "Update" in the same frame
  EXPECT_EQ(speech->GetSpeechState(), 0);
  Frames(1);
  EXPECT_EQ(Said("updates"), 2);
  EXPECT_EQ(speech->GetSpeechState(), 1);
  Frames(1);
  EXPECT_EQ(speech->GetScript(), nullptr);  // done: the script is dropped

  hero->SetPosition(VisVector_cl(50, 0, 0));
  Frames(2);
  hero->SetPosition(VisVector_cl(1, 0, 0));
  Frames(10);
  speech->Poked();
  EXPECT_EQ(Said("inits"), 1);
  EXPECT_EQ(Said("updates"), 2);
}

TEST_F(SpeechRotationTest, ALoopedSpeechWaitsItsDelayAndRestartsOnlyWithThePlayerInRange) {
  UnitEntity* hero = MakePlayer(3.0f);
  SpeechComponent* speech = MakeNpc(true, false);
  Frames(2);  // Init + Update, Update (finished after 1 s)
  ASSERT_EQ(speech->GetSpeechState(), 1);
  ASSERT_EQ(Said("inits"), 1);
  // The first pause is as long as every later one: 2 s at 0.5 s a frame.
  Frames(3);
  EXPECT_TRUE(speech->IsActive());
  hero->SetPosition(VisVector_cl(40, 0, 0));
  Frames(1);
  EXPECT_FALSE(speech->IsActive());
  EXPECT_EQ(speech->GetSpeechState(), 0);
  Frames(10);
  EXPECT_EQ(Said("inits"), 1);  // idle while the player is away

  hero->SetPosition(VisVector_cl(3, 0, 0));
  Frames(1);
  EXPECT_EQ(Said("inits"), 2);
  EXPECT_NE(speech->GetScript(), nullptr);
}

TEST_F(SpeechRotationTest, AnActivationOnlyNpcSpeaksOnlyWhenClickedWithThePlayerInRange) {
  UnitEntity* hero = MakePlayer(20.0f);
  SpeechComponent* speech = MakeNpc(false, true);
  speech->Poked();  // out of range
  hero->SetPosition(VisVector_cl(2, 0, 0));
  Frames(4);  // in range, but not clicked
  EXPECT_EQ(Said("inits"), 0);

  // The player's click on the NPC pokes it.
  VisTraceLineInfo_t click;
  click.detected = true;
  click.distance = 30.0f;
  click.touchPoint = npc->GetPosition();
  click.colliderEntity = npc;
  click.hitType = VisTraceLineInfo_t::HIT_ENTITY;
  RtsManager::GlobalManager().GetPlayer()->GiveTarget(click, VisTraceLineInfo_t(), false);
  EXPECT_EQ(Said("inits"), 1);
  EXPECT_TRUE(speech->IsActive());
  speech->Poked();  // already speaking
  EXPECT_EQ(Said("inits"), 1);
  Frames(2);
  EXPECT_EQ(Said("updates"), 2);
  EXPECT_EQ(speech->GetSpeechState(), 1);
}

TEST_F(SpeechRotationTest, WithoutAPlayerOrScriptNothingIsSaid) {
  SpeechComponent* speech = MakeNpc(true, false);  // no player character
  Frames(3);
  speech->Poked();
  EXPECT_EQ(Said("inits"), 0);

  // A script file that does not exist leaves the NPC silent.
  VisBaseEntity_cl* other = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));
  auto* mute = new SpeechComponent();
  mute->SetScriptFile("scripts/Missing.lua");
  ASSERT_TRUE(other->AddComponent(mute));
  MakePlayer(1.0f);
  Frames(1);
  EXPECT_FALSE(mute->IsActive());
  EXPECT_EQ(Said("inits"), 1);  // the first NPC's
}

// A windmill and a speaker placed in a scene get their settings from the scene's
// variables before they start.
TEST_F(SpeechRotationTest, PlacedComponentsTakeTheirSettingsFromTheScene) {
  Write("mill.vscene",
        "<scene>\n"
        "  <entity key=\"Windmill\" position=\"0/0/0\">\n"
        "    <component class=\"RotationComponent\">\n"
        "      <var name=\"m_fRotationSpeed\" value=\"20\"/>\n"
        "      <var name=\"m_iRotationDirection\" value=\"-1\"/>\n"
        "      <var name=\"m_iRotationAxis\" value=\"3\"/>\n"
        "    </component>\n"
        "  </entity>\n"
        "  <entity key=\"Speaker\" position=\"4/0/0\">\n"
        "    <component class=\"SpeechComponent\">\n"
        "      <var name=\"m_fNPCReactRange\" value=\"6.5\"/>\n"
        "      <var name=\"m_fSpeechDelay\" value=\"3\"/>\n"
        "      <var name=\"m_bActivationOnly\" value=\"TRUE\"/>\n"
        "      <var name=\"m_bLooped\" value=\"TRUE\"/>\n"
        "      <var name=\"m_szScriptFile\" value=\"scripts/Speech.lua\"/>\n"
        "    </component>\n"
        "  </entity>\n"
        "</scene>\n");
  ASSERT_TRUE(Vision::World.LoadWorld("mill.vscene"));
  VisBaseEntity_cl* mill = Vision::Game.SearchEntity("Windmill");
  VisBaseEntity_cl* speaker = Vision::Game.SearchEntity("Speaker");
  ASSERT_NE(mill, nullptr);
  ASSERT_NE(speaker, nullptr);
  auto* speech = speaker->Components<SpeechComponent>();
  ASSERT_NE(speech, nullptr);
  EXPECT_FLOAT_EQ(speech->GetReactRange(), 6.5f);
  EXPECT_FLOAT_EQ(speech->GetSpeechDelay(), 3.0f);
  EXPECT_TRUE(speech->IsActivationOnly());
  EXPECT_TRUE(speech->IsLooped());
  EXPECT_NE(speech->GetScript(), nullptr);

  Frames(2);
  EXPECT_TRUE(mill->GetOrientation().IsEqual(VisVector_cl(0, 0, -20), 1e-3f));
  Vision::World.UnloadWorld();
}

struct Turn {
  int axis;
  int direction;
  VisVector_cl change;  // after one 0.5 s frame at 30 degrees a second
};

TEST_F(SpeechRotationTest, RotationTurnsTheChosenAngleOnlyForAxes1To3AndANonZeroDirection) {
  const Turn turns[] = {
      {1, 1, VisVector_cl(15, 0, 0)}, {2, -1, VisVector_cl(0, -15, 0)}, {3, 1, VisVector_cl(0, 0, 15)},
      {4, 1, VisVector_cl(0, 0, 0)},  {0, 1, VisVector_cl(0, 0, 0)},    {1, 0, VisVector_cl(0, 0, 0)},
  };
  for (const Turn& turn : turns) {
    SCOPED_TRACE(testing::Message() << "axis " << turn.axis << ", direction " << turn.direction);
    VisBaseEntity_cl* mill = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));
    mill->SetOrientation(10, 20, 30);
    auto* rotation = new RotationComponent();
    rotation->SetRotationSpeed(30.0f);
    rotation->SetRotationAxis(turn.axis);
    rotation->SetRotationDirection(turn.direction);
    ASSERT_TRUE(mill->AddComponent(rotation));
    rotation->Update();
    EXPECT_TRUE(mill->GetOrientation().IsEqual(VisVector_cl(10, 20, 30) + turn.change, 1e-3f));
    mill->Remove();
  }
}

TEST_F(SpeechRotationTest, RotationStopsWhileEitherPauseIsOnAndTurnsAPhysicsBody) {
  VisBaseEntity_cl* mill = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));
  auto* rotation = new RotationComponent();
  ASSERT_TRUE(mill->AddComponent(rotation));
  EXPECT_FLOAT_EQ(rotation->GetRotationSpeed(), 1.0f);
  EXPECT_EQ(rotation->GetRotationDirection(), 1);
  EXPECT_EQ(rotation->GetRotationAxis(), 1);
  rotation->SetRotationSpeed(10.0f);

  PauseManager* pause = PauseManager::GetInstance();
  pause->SetFullPause(true);
  Frames(2);
  pause->SetFullPause(false);
  pause->SetGamePause(true);
  Frames(2);
  pause->SetGamePause(false);
  EXPECT_TRUE(mill->GetOrientation().IsEqual(VisVector_cl(0, 0, 0), 1e-4f));
  Frames(2);
  EXPECT_TRUE(mill->GetOrientation().IsEqual(VisVector_cl(10, 0, 0), 1e-3f));

  // The body decides where its owner is: the turn must reach it, or the physics
  // write-back undoes it.
  vPhysXModule physics;
  vPhysXModule::SetInstance(&physics);
  auto* body = new vPhysXRigidBody();
  body->SetPhysicsMode(VPHYSX_MODE_KINEMATIC);
  ASSERT_TRUE(mill->AddComponent(body));
  ASSERT_EQ(mill->GetPhysicsObject(), body);
  Frames(1);
  physics.OnRunPhysics(kDt);
  physics.FetchPhysicsResults();
  EXPECT_NEAR(mill->GetOrientation().x, 15.0f, 1e-2f);
  body->DisposeObject();
  vPhysXModule::SetInstance(nullptr);
}

}  // namespace
