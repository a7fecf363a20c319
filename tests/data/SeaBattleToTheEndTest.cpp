// The bundled sea battle scene played to its end with the physics running: three
// pirate frigates sailing for the colonial town meet three colonial frigates on
// their patrol south of the island. They close in and fire both broadsides until one
// fleet is sunk or has fled; no ship ever stands over land; the faint-hearted
// captains run once their hull is down to a tenth; the winners go back to their
// courses. A siren on a rock off the island sings notes that hurt the ships they
// touch; a whale roped to the colonial flagship lets go when it sinks. The same
// seed plays the same battle.
#include "components/AIShipComponent.h"
#include "components/CannonComponent.h"
#include "components/CannonObserverComponent.h"
#include "components/NoteComponent.h"
#include "components/ShipBattleComponent.h"
#include "components/ShipPathComponent.h"
#include "core/ComponentMessages.h"
#include "entities/ProjectileEntity.h"
#include "entities/ShipStats.h"
#include "entities/WhaleEntity.h"
#include "Managers/MusicManager.h"
#include "util/MathTools.h"
#include "support/LogCapture.h"
#include "support/ShipTestWorld.h"

#include "engine/Vision.h"
#include "engine/core/VisParticleGroupManager.h"
#include "engine/physics/vPhysXModule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kPirates[] = {"Pirate1", "Pirate2", "Pirate3"};
const char* const kColonials[] = {"Colonial1", "Colonial2", "Colonial3"};
const float kStep = 0.02f;
// Six simulated minutes at most; the battle takes far less.
const int kMaxFrames = 18000;

const int kMsgSirenNote = 33;

// The fire orders a ship's AI gives and the notes that touch it, into a tally that
// outlives the ship.
class OrderTally : public IVObjectComponent {
 public:
  explicit OrderTally(std::map<int, int>* tally) : m_tally(tally) {}
  void MessageFunction(int id, INT_PTR, INT_PTR) override {
    if (id == VIS_MSG_USER_CANNON_IGNITE_LEFT || id == VIS_MSG_USER_CANNON_IGNITE_RIGHT || id == kMsgSirenNote)
      ++(*m_tally)[id];
  }

 private:
  std::map<int, int>* m_tally;
};

struct ShipRecord {
  std::string key;
  bool coward = false;
  bool sunk = false;
  bool fled = false;
  bool attacked = false;
  int hullMax = 0;
  int hull = 0;
  int hullWhenFled = -1;
  int lowInAttack = 0;     // consecutive frames in attack mode at a tenth of the hull or less
  int longestLowInAttack = 0;
  int mode = -1;
  int sails = -1;
  float highestGround = -1000.0f;  // terrain height under the ship, the highest seen
  float nearestIsland = 1.0e9f;    // closest approach to the island's peak at the origin
  std::map<int, int> orders;
  int noteHits = 0;  // notes that touched the ship
  bool operator==(const ShipRecord& o) const {
    return key == o.key && coward == o.coward && sunk == o.sunk && fled == o.fled && hull == o.hull &&
           hullWhenFled == o.hullWhenFled && mode == o.mode && orders == o.orders;
  }
};

struct Outcome {
  int frames = 0;
  std::vector<ShipRecord> ships;
  int playerHull = 0;
  int scriptErrors = 0;
  int notes = 0;  // notes the siren sang
  // The whale: roped to the colonial flagship after the first frame; whether it
  // let go in the frame after the ship began to sink (or still holds on to a
  // survivor at the end); its height when its ship went down and its lowest after.
  bool whaleRoped = false;
  int whaleLetGoAfter = -1;  // frames from the ship's sinking to the whale letting go
  bool whaleHeldAtEnd = false;
  float whaleHeightAtSinking = 0.0f;
  float whaleLowest = 1.0e9f;
  bool whaleGone = false;
  bool operator==(const Outcome& o) const {
    return frames == o.frames && ships == o.ships && playerHull == o.playerHull && notes == o.notes &&
           whaleLetGoAfter == o.whaleLetGoAfter;
  }
};

class SeaBattleToTheEndTest : public ShipTestWorld {
 protected:
  void SetUp() override {
    ShipTestWorld::SetUp();
    // The game script's nations: the colonials (5) at war with the player and the
    // pirate factions.
    GameManager* game = GameManager::GetInstance();
    game->GetNation(1)->AddEnemy(2);
    game->AddNation(new Nation(3, "Corsair"));
    game->AddNation(new Nation(4, "Buccaneer"));
    game->AddNation(new Nation(5, "Colonials"));
    for (int nation : {1, 2, 3, 4}) {
      game->GetNation(5)->AddEnemy(nation);
      game->GetNation(nation)->AddEnemy(5);
    }
  }
  void TearDown() override {
    Unload();
    ShipTestWorld::TearDown();
  }

  void Unload() {
    Vision::World.UnloadWorld();
    Vision::Game.RemoveAllEntities();
    VisParticleGroupManager_cl::GlobalManager().RemoveAllEffects();
    module.reset();
    vPhysXModule::SetInstance(nullptr);
  }

  // An engine frame as the program runs it, without drawing.
  void Frame() {
    Vision::Timer.Update();
    Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
    Vision::Game.RunThinkFunctions();
    Vision::Callbacks.OnScriptThink.TriggerCallbacks();
    Vision::GetScriptManager()->Think();
    module->OnRunPhysics(kStep);
    module->FetchPhysicsResults();
    Vision::Callbacks.OnPhysicsSimulationFinished.TriggerCallbacks();
    Vision::Callbacks.OnUpdateSceneFinished.TriggerCallbacks();
    Vision::Callbacks.OnFrameUpdateLate.TriggerCallbacks();
    Vision::Game.FreeRemovedEntities();
  }

  static ShipEntity* Find(const std::string& key) {
    VisBaseEntity_cl* e = Vision::Game.SearchEntity(key.c_str());
    return e && !e->IsMarkedRemoved() && e->IsOfType(ShipEntity::GetClassTypeId()) ? static_cast<ShipEntity*>(e)
                                                                                    : nullptr;
  }

  // A fleet is beaten when none of its ships is afloat and willing to fight.
  static bool Beaten(const std::vector<ShipRecord>& ships, bool pirates) {
    for (const ShipRecord& s : ships)
      if ((s.key[0] == 'P') == pirates && !s.sunk && !s.fled) return false;
    return true;
  }

  Outcome Play(unsigned seed) {
    LogCapture log;
    naval_scenario::StartFixedStep(seed, kStep);
    MathTools::SetGaussianRandomState(seed);
    module = std::make_unique<vPhysXModule>();
    vPhysXModule::SetInstance(module.get());
    EXPECT_TRUE(Vision::LoadWorld("scenes\\seabattletest\\SeaBattleTest.vscene"));

    Outcome out;
    for (const char* key : kPirates) out.ships.emplace_back().key = key;
    for (const char* key : kColonials) out.ships.emplace_back().key = key;
    for (ShipRecord& record : out.ships) {
      ShipEntity* ship = Find(record.key);
      EXPECT_NE(ship, nullptr) << record.key;
      if (!ship) return out;
      record.coward = ship->Components<AIShipComponent>()->IsCoward();
      record.hullMax = ship->GetStats()->GetHull().GetMaximum();
      ship->AddComponent(new OrderTally(&record.orders));
    }
    BattleManager* battle = BattleManager::GetInstance();
    auto* whale = static_cast<WhaleEntity*>(Vision::Game.SearchEntity("Whale"));
    EXPECT_NE(whale, nullptr);
    if (!whale) return out;
    ShipEntity* flagship = Find("Colonial1");
    int flagshipSankAt = -1;
    // Notes by their entity and last flight time: a note that reads younger than
    // last frame is a new note in a reused place.
    std::map<const void*, float> notesSeen;
    auto watchWhale = [&](int frame) {
      if (out.whaleGone) return;
      if (Vision::Game.SearchEntity("Whale") != whale) {
        out.whaleGone = true;
      } else if (flagshipSankAt >= 0) {
        if (out.whaleLetGoAfter < 0 && !whale->GetShip()) out.whaleLetGoAfter = frame - flagshipSankAt;
        out.whaleLowest = std::min(out.whaleLowest, whale->GetPosition().z);
      }
    };
    bool over = false;
    for (; out.frames < kMaxFrames && !over; ++out.frames) {
      Frame();
      if (out.frames == 0) out.whaleRoped = whale->GetShip() == flagship && whale->GetRope() != nullptr;
      std::map<const void*, float> notesNow;
      for (VisBaseEntity_cl* e : Vision::Game.GetEntities()) {
        const NoteComponent* note = e && !e->IsMarkedRemoved() ? e->Components<NoteComponent>() : nullptr;
        if (!note) continue;
        auto seen = notesSeen.find(e);
        if (seen == notesSeen.end() || note->GetFlightTime() < seen->second) ++out.notes;
        notesNow[e] = note->GetFlightTime();
      }
      notesSeen.swap(notesNow);
      watchWhale(out.frames);
      bool anyAttacking = false;
      for (ShipRecord& record : out.ships) {
        ShipEntity* ship = record.sunk ? nullptr : Find(record.key);
        const ShipBattleComponent* fight = ship ? ship->Components<ShipBattleComponent>() : nullptr;
        if (!ship || !fight || fight->IsSinking()) {
          if (record.key == "Colonial1" && !record.sunk) {
            flagshipSankAt = out.frames;
            out.whaleHeightAtSinking = out.whaleGone ? 0.0f : whale->GetPosition().z;
          }
          record.sunk = true;
          record.hull = 0;
          continue;
        }
        const AIShipComponent* ai = ship->Components<AIShipComponent>();
        record.hull = ship->GetStats()->GetHull().GetCurrent();
        record.noteHits = record.orders[kMsgSirenNote];
        record.mode = ai->GetAIMode();
        record.sails = ai->GetSailMode();
        record.attacked |= record.mode == AIShipComponent::AIMODE_ATTACK;
        anyAttacking |= record.mode == AIShipComponent::AIMODE_ATTACK;
        const bool low = record.hull > 0 && record.hull <= record.hullMax / 10;
        record.lowInAttack = low && record.mode == AIShipComponent::AIMODE_ATTACK ? record.lowInAttack + 1 : 0;
        record.longestLowInAttack = std::max(record.longestLowInAttack, record.lowInAttack);
        if (record.mode == AIShipComponent::AIMODE_FLEE && !record.fled) {
          record.fled = true;
          record.hullWhenFled = record.hull;
        }
        record.highestGround = std::max(record.highestGround, battle->GetTerrainHeight(ship->GetPosition(), true));
        record.nearestIsland = std::min(record.nearestIsland, ship->GetPosition().GetDistance2D(VisVector_cl(0, 0, 0)));
      }
      over = (Beaten(out.ships, true) || Beaten(out.ships, false)) && !anyAttacking;
    }
    out.whaleHeldAtEnd = !out.whaleGone && flagshipSankAt < 0 && whale->GetShip() == flagship;
    // A whale let go near the end is followed on until it is gone (it dives at 5 a
    // second from the surface to 20 below).
    for (int frame = out.frames; flagshipSankAt >= 0 && !out.whaleGone && frame < flagshipSankAt + 400; ++frame) {
      Frame();
      watchWhale(frame);
    }
    out.scriptErrors = (int)log.Matching("Lua error").size();
    ShipEntity* player = Find("PlayerShip");
    out.playerHull = player ? player->GetStats()->GetHull().GetCurrent() : -1;
    Unload();
    naval_scenario::EndFixedStep();
    return out;
  }

  std::unique_ptr<vPhysXModule> module;
};

// The scene as it loads: frigates of five cannons a side, the player's with mines
// ready, the computer fleets on their courses.
TEST_F(SeaBattleToTheEndTest, TheFleetsSetOutAndThePlayersFrigateCarriesMines) {
  module = std::make_unique<vPhysXModule>();
  vPhysXModule::SetInstance(module.get());
  ASSERT_TRUE(Vision::LoadWorld("scenes\\seabattletest\\SeaBattleTest.vscene"));
  Frame();
  ShipEntity* player = Find("PlayerShip");
  ASSERT_NE(player, nullptr);
  EXPECT_EQ(GameManager::GetInstance()->GetPlayerEntity(), player);
  EXPECT_EQ(player->GetStats()->GetCurrentSpecialWeapon(), PROJECTILE_MINE);
  EXPECT_EQ(player->GetStats()->GetSpecialWeapons(), std::vector<int>{PROJECTILE_MINE});
  EXPECT_FLOAT_EQ(player->GetStats()->GetMineDamage(), 60.0f);
  EXPECT_EQ(player->Components<AIShipComponent>(), nullptr);
  for (const char* key : {"Pirate1", "Pirate2", "Pirate3", "Colonial1", "Colonial2", "Colonial3"}) {
    SCOPED_TRACE(key);
    ShipEntity* ship = Find(key);
    ASSERT_NE(ship, nullptr);
    const auto* observer = ship->Components<CannonObserverComponent>();
    ASSERT_NE(observer, nullptr);
    EXPECT_EQ(observer->GetCannonCount(CANNON_GROUP_LEFT), 5);
    EXPECT_EQ(observer->GetCannonCount(CANNON_GROUP_RIGHT), 5);
    EXPECT_EQ(ship->GetStats()->GetCurrentSpecialWeapon(), 0);
    const AIShipComponent* ai = ship->Components<AIShipComponent>();
    ASSERT_NE(ai, nullptr);
    EXPECT_EQ(ai->IsCoward(), std::string(key).back() == '2');
    EXPECT_STREQ(ai->GetScript(), ai->IsCoward() ? "scripts\\Ships\\AI\\Coward.lua" : "scripts\\Ships\\AI\\Warship.lua");
    // The pirates make for the town on a course of their own, the colonials sail
    // the patrol loop.
    const bool pirate = key[0] == 'P';
    EXPECT_EQ(ai->GetAIMode(), pirate ? AIShipComponent::AIMODE_GOTO_TOWN : AIShipComponent::AIMODE_SAILING);
    EXPECT_EQ(ai->IsOnManualPath(), pirate);
    EXPECT_TRUE(ship->Components<ShipPathComponent>()->IsFollowingPath());
  }
}

TEST_F(SeaBattleToTheEndTest, TheFleetsFightUntilOneIsBeatenAndTheSameSeedPlaysTheSameBattle) {
  const Outcome first = Play(1234u);
  ASSERT_EQ(first.ships.size(), 6u);
  ASSERT_LT(first.frames, kMaxFrames) << "the battle never ended";
  // One fleet is beaten (both may be, when the last ships sink each other).
  const bool piratesBeaten = Beaten(first.ships, true), colonialsBeaten = Beaten(first.ships, false);
  ASSERT_TRUE(piratesBeaten || colonialsBeaten);

  float nearestIsland = 1.0e9f;
  int noteHits = 0;
  std::map<int, int> piratesFired, colonialsFired;
  for (const ShipRecord& s : first.ships) {
    SCOPED_TRACE(s.key);
    EXPECT_TRUE(s.attacked) << "every ship joined the fight";
    EXPECT_LE(s.highestGround, 0.0f) << "never over land";
    nearestIsland = std::min(nearestIsland, s.nearestIsland);
    for (const auto& [side, count] : s.orders)
      if (side != kMsgSirenNote) (s.key[0] == 'P' ? piratesFired : colonialsFired)[side] += count;
    noteHits += s.noteHits;
    if (s.fled) {
      EXPECT_TRUE(s.coward) << "only the faint-hearted run";
      EXPECT_LE(s.hullWhenFled, s.hullMax / 10);
      EXPECT_GT(s.hullWhenFled, 0);
    }
    // A faint-hearted captain fighting on at a tenth of his hull runs at his next
    // decision (every 0.04 s: two or three frames); the others fight on.
    if (s.coward)
      EXPECT_LE(s.longestLowInAttack, 3);
    else
      EXPECT_FALSE(s.fled);
    if (!s.sunk && !s.fled) {
      // A winner is back on its course under full sails: the pirates make for the
      // town, the colonials sail their patrol.
      const bool pirate = s.key[0] == 'P';
      EXPECT_TRUE(pirate ? colonialsBeaten : piratesBeaten);
      EXPECT_EQ(s.mode, pirate ? AIShipComponent::AIMODE_GOTO_TOWN : AIShipComponent::AIMODE_SAILING);
      EXPECT_EQ(s.sails, 2);
    }
  }
  // Both fleets fired, and the battle saw both broadsides.
  int left = 0, right = 0;
  for (const auto* fleet : {&piratesFired, &colonialsFired}) {
    int shots = 0;
    for (const auto& [side, count] : *fleet) {
      shots += count;
      (side == VIS_MSG_USER_CANNON_IGNITE_LEFT ? left : right) += count;
    }
    EXPECT_GT(shots, 0);
  }
  EXPECT_GT(left, 0);
  EXPECT_GT(right, 0);
  EXPECT_EQ(first.playerHull, 150) << "the player's frigate stayed out of it";
  EXPECT_EQ(first.scriptErrors, 0);
  // The island's shore lies 45 from its peak: the fight went close by it.
  EXPECT_LT(nearestIsland, 75.0f);

  // The siren sang over the fight. Its notes touch only the player's ships: the
  // computer's frigates sail through them unhurt.
  EXPECT_GT(first.notes, 10);
  EXPECT_EQ(noteHits, 0);

  // The whale was roped at the start. A sinking flagship lets it go the next frame
  // and it dives off; a flagship that holds out keeps it roped to the end.
  EXPECT_TRUE(first.whaleRoped);
  const bool flagshipSank = first.ships[3].sunk;
  if (flagshipSank) {
    EXPECT_EQ(first.whaleLetGoAfter, 1);
    EXPECT_LT(first.whaleLowest, first.whaleHeightAtSinking - 10.0f) << "it dived";
    EXPECT_TRUE(first.whaleGone);
  } else {
    EXPECT_TRUE(first.whaleHeldAtEnd);
  }

  // The same seed plays the same battle, also with the game's music playing and its
  // effect sounds (several variants of a cannon shot) loaded, as they stay after
  // the game script ran in an earlier world.
  ASSERT_EQ(Run(R"lua(
    GameManager.LoadScript("\\Scripts\\SoundScript.lua")
    GameManager.LoadScript("\\Scripts\\SFXSoundInitScript.lua")
  )lua"), "");
  MusicManager::GetInstance()->StartRandomMusic(true);
  ASSERT_EQ(MusicManager::GetInstance()->GetMusicType(), MusicManager::MUSIC_PLAYLIST);
  const Outcome second = Play(1234u);
  EXPECT_TRUE(second == first) << "the same seed plays the same battle";
}

}  // namespace
