// Land scenes with area-effect shells: the soldier fixture plus nations 1 (the
// player's) and 2 at war, a Player for the enemy units, and shells made and thought
// frame by frame.
#pragma once

#include "code/entities/SoldierFixture.h"

#include "core/Player.h"
#include "core/RtsManager.h"
#include "entities/AreaEffectProjectileEntity.h"
#include "entities/Nation.h"
#include "entities/UnitEntity.h"

class AreaEffectFixture : public SoldierFixture {
 protected:
  void SetUp() override {
    SoldierFixture::SetUp();
    Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data");
    GameManager* game = GameManager::GetInstance();
    game->ResetNations();
    for (int id = 0; id < 3; ++id) game->AddNation(new Nation(id, id == 1 ? "Player" : "Other"));
    game->GetNation(1)->AddEnemy(2);
    game->GetNation(2)->AddEnemy(1);
    game->SetLocation(1);
    RtsManager::GlobalManager().OneTimeInit();
    RtsManager::GlobalManager().SetPlayerNation(1);
  }
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    RtsManager::GlobalManager().OneTimeDeInit();
    SoldierFixture::TearDown();
  }

  static Player* ThePlayer() { return RtsManager::GlobalManager().GetPlayer(); }

  SoldierEntity* Soldier(int nation, const VisVector_cl& at, int hitPoints = 100) {
    SoldierEntity* soldier = MakeSoldier(at);
    soldier->SetNation(nation);
    soldier->GetStats()->m_Hitpoints.SetCurrent(hitPoints);
    if (!soldier->GetStateMachine()) soldier->CreateStateMachine(STATE_IDLE);
    return soldier;
  }
  // An enemy unit the player knows, standing at the first point, with soldiers at the points.
  UnitEntity* EnemyUnit(int nation, const std::vector<VisVector_cl>& points) {
    const VisVector_cl at = points.empty() ? VisVector_cl(0, 0, 0) : points[0];
    auto* unit = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", at));
    unit->SetNation(nation);
    for (const VisVector_cl& p : points) unit->AddSoldier(Soldier(nation, p));
    Player* player = ThePlayer();
    bool known = false;
    for (int i = 0; i < player->GetEnemyUnitCount(); ++i) known |= player->GetEnemyUnit((unsigned)i) == unit;
    if (!known) player->AddEnemyUnit(unit);
    return unit;
  }

  static AreaEffectProjectileEntity* Shell(const VisVector_cl& from, const VisVector_cl& to,
                                           ProjectileType type = PROJECTILE_BALL, BaseEntity* shooter = nullptr,
                                           int damage = 50, float speed = 10.0f, float arc = 1.0f) {
    auto* shell = static_cast<AreaEffectProjectileEntity*>(
        Vision::Game.CreateEntity("AreaEffectProjectileEntity", from, "models\\props\\cannon_ball\\cannon_ball.MODEL"));
    shell->SetDamage(damage);
    shell->SetProjectileType(type);
    shell->SetSpeed(speed);
    shell->SetMaxHeight(arc);
    shell->SetShooter(shooter);
    shell->SetTarget(to);
    return shell;
  }
  static void Think(VisBaseEntity_cl* e, int frames = 1) {
    for (int i = 0; i < frames && !e->IsMarkedRemoved(); ++i) {
      Vision::Timer.Update();
      e->ThinkFunction();
    }
  }
  static int HitPoints(SoldierEntity* s) { return s->GetStats()->m_Hitpoints.GetCurrent(); }
};
