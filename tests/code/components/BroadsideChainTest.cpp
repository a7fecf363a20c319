// The broadside chain end to end, in engine frames of 1/60 s with the game plug-in
// started on the bundled data and a physics module: in the sea test scene the
// player's sloop fires its left broadside at the enemy sloop beside it; the balls
// fly, strike hull or sails, the hits cost hull points, and once the hull is gone
// the wreck sinks, dies at the sinking depth and leaves the world.
#include "components/AIShipComponent.h"
#include "components/CannonComponent.h"
#include "components/ShipBattleComponent.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "core/Tidework.h"
#include "core/VisMainApp.h"
#include "entities/CannonEntity.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "support/ScopedEnv.h"

#include "engine/Vision.h"
#include "engine/physics/vPhysXModule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Seen {
  int id;
  INT_PTR p1, p2;
  int hull;  // the ship's hull when the message arrived
};

// What a ship heard, with its hull at each moment; kept by the test, so that it
// outlives the watch component, which leaves with its ship.
struct Heard {
  int Count(int id) const {
    int n = 0;
    for (const Seen& s : seen) n += s.id == id;
    return n;
  }
  std::vector<Seen> seen;
};

class ShipWatch : public IVObjectComponent {
 public:
  explicit ShipWatch(Heard& heard) : m_heard(heard) {}
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override {
    const ShipStats* stats = static_cast<ShipEntity*>(GetOwner())->GetStats();
    m_heard.seen.push_back({id, p1, p2, stats ? stats->GetHull().GetCurrent() : -1});
  }

 private:
  Heard& m_heard;
};

// Remembers the entities the event bus announces as destroyed.
class DestroyedWatch : public IVisCallbackHandler_cl {
 public:
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override {
    gone.push_back(static_cast<BaseEntityDataObject*>(data)->m_pEntity);
  }
  std::vector<VisBaseEntity_cl*> gone;
};

class BroadsideChainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "broadside-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root = pattern;
    docsEnv = std::make_unique<ScopedEnv>("ENGINE_DOCUMENTS_DIR", root.c_str());
    VSeedRandom(7u);
    app = VisMainApp::GetInstance();
    ASSERT_TRUE(app->InitSample("Test", nullptr, 0x8010 | 0x800, 640, 480, 0xD2, 0));
    // The data folders in the program's order (models before the data root).
    Vision::File.RemoveAllDataDirectories();
    for (const char* dir : {"/data/models", "/data/sounds", "/data", "/data/music", "/data/scenes"}) {
      if (fs::is_directory(std::string(BRINEMARK_SOURCE_DIR) + dir)) {
        ASSERT_TRUE(Vision::File.AddDataDirectory((std::string(BRINEMARK_SOURCE_DIR) + dir).c_str()));
      }
    }
    Vision::Timer.SetFixedTimeStep(1.0f / 60.0f);
    vPhysXModule::SetInstance(&physics);
    plugin = GetEnginePlugin_Tidework();
    plugin->OnPluginStart();
    GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(&destroyed);
  }
  void TearDown() override {
    GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(&destroyed);
    if (app->IsInitialized()) app->DeInitSample();
    plugin->OnPluginStop();
    VisMainApp::CleanInstance();
    vPhysXModule::SetInstance(nullptr);
    Vision::Timer.SetFixedTimeStep(0.0f);
    Vision::File.RemoveAllDataDirectories();
    fs::remove_all(root);
  }

  static ShipEntity* Ship(const char* key) {
    VisBaseEntity_cl* e = Vision::Game.SearchEntity(key);
    return e && e->IsOfType(ShipEntity::GetClassTypeId()) ? static_cast<ShipEntity*>(e) : nullptr;
  }
  static std::vector<CannonComponent*> Cannons(ShipEntity* ship, CannonGroup group) {
    std::vector<CannonComponent*> out;
    for (int i = 0; i < ship->GetNumChildren(); ++i) {
      VisObject3D_cl* child = ship->GetChild(i);
      if (!child->IsOfType(CannonEntity::GetClassTypeId())) continue;
      for (int c = 0; c < child->GetComponentCount(); ++c)
        if (auto* cannon = dynamic_cast<CannonComponent*>(child->GetComponent(c)))
          if (cannon->GetCannonGroup() == group) out.push_back(cannon);
    }
    return out;
  }
  static bool Alive(const VisBaseEntity_cl* e) {
    for (VisBaseEntity_cl* x : Vision::Game.GetEntities())
      if (x == e && !x->IsMarkedRemoved()) return true;
    return false;
  }
  // Runs engine frames until the condition holds; false when it never did.
  template <class Pred>
  bool RunUntil(Pred pred, int maxFrames) {
    for (int i = 0; i < maxFrames; ++i) {
      if (pred()) return true;
      if (!app->Run()) return false;
    }
    return pred();
  }

  std::string root;
  std::unique_ptr<ScopedEnv> docsEnv;
  VisMainApp* app = nullptr;
  IVisPlugin_cl* plugin = nullptr;
  vPhysXModule physics;
  DestroyedWatch destroyed;
};

TEST_F(BroadsideChainTest, ABroadsideStrikesTheEnemyUntilItSinksDiesAndIsGone) {
  app->LoadScene("scenes\\SeaTest.vscene");
  GameManager::GetInstance()->SetLocation(2);
  ShipEntity* player = Ship("PlayerShip");
  ShipEntity* enemy = Ship("EnemyShip");
  ASSERT_NE(player, nullptr);
  ASSERT_NE(enemy, nullptr);
  ASSERT_EQ(GameManager::GetInstance()->GetPlayerEntity(), player);
  // A target without a captain: it neither sails off nor fires back.
  if (AIShipComponent* captain = enemy->Components<AIShipComponent>()) captain->DisposeObject();
  const std::vector<CannonComponent*> left = Cannons(player, CANNON_GROUP_LEFT);
  ASSERT_EQ(left.size(), 2u);
  ShipBattleComponent* enemyBattle = enemy->Components<ShipBattleComponent>();
  ASSERT_NE(enemyBattle, nullptr);
  enemyBattle->SetArmor(2);
  Heard playerHeard, enemyHeard;
  Heard* playerWatch = &playerHeard;
  Heard* enemyWatch = &enemyHeard;
  player->AddComponent(new ShipWatch(playerHeard));
  enemy->AddComponent(new ShipWatch(enemyHeard));
  const int fullHull = enemy->GetStats()->GetHull().GetCurrent();
  ASSERT_GT(fullHull, 0);

  // The order ignites both left cannons (56), each fires within half a second (59)
  // and starts loading (57); the right side stays silent.
  player->SendMsg(VIS_MSG_USER_CANNON_IGNITE_LEFT, PROJECTILE_BALL, 0);
  EXPECT_EQ(playerWatch->Count(VIS_MSG_USER_CANNON_STATE_FIRING), 2);
  for (int i = 0; i < 31; ++i) ASSERT_TRUE(app->Run());
  EXPECT_EQ(playerWatch->Count(VIS_MSG_USER_CANNON_FIRED), 2);
  EXPECT_EQ(playerWatch->Count(VIS_MSG_USER_CANNON_STATE_LOADING), 2);
  EXPECT_EQ(playerWatch->Count(VIS_MSG_USER_CANNON_STATE_READY), 0);
  for (CannonComponent* c : Cannons(player, CANNON_GROUP_RIGHT)) EXPECT_EQ(c->GetReloadDelay(), 0.0f);

  // A second order while reloading fires nothing new; the reload ends with 58.
  player->SendMsg(VIS_MSG_USER_CANNON_IGNITE_LEFT, PROJECTILE_BALL, 0);
  EXPECT_EQ(playerWatch->Count(VIS_MSG_USER_CANNON_STATE_FIRING), 2);
  ASSERT_TRUE(RunUntil([&] { return playerWatch->Count(VIS_MSG_USER_CANNON_STATE_READY) == 2; }, 6 * 60));
  EXPECT_GE(enemyWatch->Count(VIS_MSG_USR_SHIP_HIT_HULL) + enemyWatch->Count(VIS_MSG_USR_SHIP_HIT_SAILS), 1);

  // Broadside after broadside until the enemy's hull is gone.
  ASSERT_TRUE(RunUntil(
      [&] {
        if (enemyBattle->IsSinking()) return true;
        player->SendMsg(VIS_MSG_USER_CANNON_IGNITE_LEFT, PROJECTILE_BALL, 0);
        return false;
      },
      120 * 60));

  // Each hit of the floating ship cost the hull its damage less the armour 2 (twice
  // the damage on a critical hit, reported by 19 first) and was followed by a
  // half-hull report (18), sent before the hit message reached this watch. A hull
  // hit deals the cannon-ball damage 12; a sail hit 12 x 0.5 + 0.5 = 6.5.
  int previousHull = fullHull, hits = 0, lastHit = -1;
  for (int i = 0; i < (int)enemyWatch->seen.size(); ++i) {
    const int id = enemyWatch->seen[i].id;
    if (id != VIS_MSG_USR_SHIP_HIT_HULL && id != VIS_MSG_USR_SHIP_HIT_SAILS) continue;
    int report = -1;
    for (int j = lastHit + 1; j < i; ++j)
      if (enemyWatch->seen[j].id == VIS_MSG_USER_SHIP_UNDER_50_HULL) report = j;
    lastHit = i;
    if (report < 0) continue;  // a hit on the sinking wreck
    const bool critical = report > 0 && enemyWatch->seen[report - 1].id == VIS_MSG_USER_SHIP_HIT_HULL_CRITICAL;
    const float damage = id == VIS_MSG_USR_SHIP_HIT_HULL ? 12.0f : 6.5f;
    const int expected = (int)(critical ? damage * 2.0f : damage) - 2;
    const int hull = enemyWatch->seen[report].hull;
    EXPECT_EQ(previousHull - hull, std::min(expected, previousHull)) << "hit " << hits << (critical ? " (critical)" : "");
    previousHull = hull;
    ++hits;
  }
  EXPECT_GE(hits, 2);
  EXPECT_EQ(previousHull, 0);
  EXPECT_EQ(enemyWatch->Count(VIS_MSG_USER_SHIP_UNDER_50_HULL), hits);
  EXPECT_EQ(enemyWatch->Count(VIS_MSG_USER_SHIP_SINK), 1);

  // The wreck goes down to -12 (at the sinking speed of a cannon-ball hit, 1 per
  // second), dies (17) and is removed; the event bus announces it.
  ASSERT_TRUE(RunUntil([&] { return !Alive(enemy); }, 14 * 60));
  EXPECT_EQ(enemyWatch->Count(VIS_MSG_USER_SHIP_DIES), 1);
  ASSERT_TRUE(app->Run());
  EXPECT_EQ(std::count(destroyed.gone.begin(), destroyed.gone.end(), enemy), 1);
  EXPECT_TRUE(Alive(player));
}

}  // namespace
