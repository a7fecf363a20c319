// Every saved-block owner through one table: a block newer than the owner knows, or
// with a wrong start or end tag, fails the archive and leaves a fresh object as it
// was; the block as written reads back whole.
#include "support/ArchiveRoundTrip.h"
#include "support/LogCapture.h"
#include "support/ShipTestWorld.h"

#include "components/AIShipComponent.h"
#include "components/AIUnitComponent.h"
#include "components/NPCUnitComponent.h"
#include "components/BuildableBuildingComponent.h"
#include "components/SpecialBuildingComponent.h"
#include "entities/BuildingBaseEntity.h"
#include "components/AttackComponent.h"
#include "components/BattleCameraComponent.h"
#include "components/FreeCameraComponent.h"
#include "components/ShipBattleCameraComponent.h"
#include "components/ShipCameraComponent.h"
#include "components/SpaceCameraComponent.h"
#include "components/CannonBallComponent.h"
#include "components/CannonComponent.h"
#include "components/SirenComponent.h"
#include "components/CarryComponent.h"
#include "components/DamageTextureComponent.h"
#include "components/DestructableBuildingComponent.h"
#include "components/InfantryMovementComponent.h"
#include "components/LandCannonComponent.h"
#include "components/MonkeyCannonComponent.h"
#include "components/NoiseListenerComponent.h"
#include "components/RotationComponent.h"
#include "components/SpeechComponent.h"
#include "components/PrisonComponent.h"
#include "components/SoldierSpawner.h"
#include "components/SpawnerBaseComponent.h"
#include "components/ShipBattleComponent.h"
#include "components/ShipMovementComponent.h"
#include "components/ShipPathComponent.h"
#include "components/ShipSpeechComponent.h"
#include "components/StorageComponentProto.h"
#include "engine/core/VisPath.h"
#include "core/BaseEntity.h"
#include "core/SelectionBox.h"
#include "entities/AreaEffectProjectileEntity.h"
#include "entities/CannonEntity.h"
#include "entities/ClothEntity.h"
#include "entities/CombatSkills.h"
#include "entities/HeroSkills.h"
#include "entities/HeroStats.h"
#include "entities/Hitpoints.h"
#include "entities/NPCStats.h"
#include "entities/Nation.h"
#include "entities/PlayerStats.h"
#include "entities/ProjectileEntity.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/Skill.h"
#include "entities/SoldierEntity.h"
#include "entities/SoldierEntityTemplate.h"
#include "entities/SoldierStats.h"
#include "entities/StatsIncrease.h"
#include "entities/UnitEntity.h"
#include "entities/UnitEntityTemplate.h"
#include "entities/UpgradeEntityTemplate.h"
#include "entities/CollectableEntity.h"
#include "entities/CollectableEntityTemplate.h"
#include "entities/FartBombEntity.h"
#include "entities/MineEntity.h"
#include "entities/UpgradeEntity.h"
#include "entities/WhaleEntity.h"
#include "Managers/ArtifactManager.h"
#include "Managers/GameContentManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SerializableStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using archive_test::Bytes;
using archive_test::LoadBytes;
using archive_test::ReadArchive;
using archive_test::SaveBytes;

// One object of an owner: its reader and writer (Serialize or SerializeX, the
// archive's mode decides), and whatever keeps it alive for the test.
struct Subject {
  std::function<void(VArchive&)> write;
  std::function<void(VArchive&)> read;
  std::shared_ptr<void> keep;
};

template <class T>
Subject Held(T* object, void (*io)(T&, VArchive&)) {
  return {[object, io](VArchive& ar) { io(*object, ar); }, [object, io](VArchive& ar) { io(*object, ar); },
          std::shared_ptr<void>(object, [](void* p) { delete static_cast<T*>(p); })};
}

// Entities belong to the world, which the fixture empties.
template <class T>
Subject InWorld(const char* className, void (*fill)(T&)) {
  T* entity = static_cast<T*>(Vision::Game.CreateEntity(className, VisVector_cl(0, 0, 0)));
  if (fill) fill(*entity);
  auto io = [entity](VArchive& ar) { entity->Serialize(ar); };
  return {io, io, nullptr};
}

struct Owner {
  const char* name;
  // Which of the archive's outermost blocks is the owner's own: the others belong to
  // base classes, whose blocks are whole and may be read.
  int ownBlock;  // 0 the first, -1 the last
  // An object with values apart from the defaults (true) or a fresh one (false).
  std::function<Subject(bool)> make;
};

template <class T>
void Io(T& t, VArchive& ar) {
  t.SerializeX(ar);
}
template <class T>
void IoSerialize(T& t, VArchive& ar) {
  t.Serialize(ar);
}

template <class T>
Owner Record(const char* name, void (*fill)(T&), void (*io)(T&, VArchive&) = &Io<T>) {
  return {name, 0, [fill, io](bool filled) {
            T* t = new T();
            if (filled) fill(*t);
            return Held(t, io);
          }};
}

template <class T>
Owner Entity(const char* name, int ownBlock, void (*fill)(T&)) {
  return {name, ownBlock, [name, fill](bool filled) { return InWorld<T>(name, filled ? fill : nullptr); }};
}

std::vector<Owner> Owners() {
  return {
      Record<Hitpoints>("Hitpoints", [](Hitpoints& h) {
        h.SetMaximum(80);
        h.SetCurrent(40);
      }),
      Record<HeroSkills>("HeroSkills", [](HeroSkills& s) { s.m_iExperience = 1234; }),
      Record<StatsIncrease>("StatsIncrease", [](StatsIncrease& s) { s.m_iHitPoints = 17; }),
      Record<CombatSkills>("CombatSkills", [](CombatSkills& c) { c.m_iSecondRangedMaxDamage = 33; }),
      Record<Skill>("Skill", [](Skill& s) { s.m_sImage = "SkillFire"; }),
      Record<NPCStats>("NPCStats", [](NPCStats& n) { n.m_Hitpoints.SetMaximum(70); }),
      Record<SoldierStats>("SoldierStats", [](SoldierStats& s) { s.GetTemplate()->m_sModelFile = "pirate.model"; }),
      Record<SoldierEntityTemplate>("SoldierEntityTemplate", [](SoldierEntityTemplate& t) { t.m_weaponIds = {3, 4}; }),
      Record<UnitEntityTemplate>("UnitEntityTemplate", [](UnitEntityTemplate& t) { t.m_iUnitWidth = 2; }),
      Record<UpgradeEntityTemplate>("UpgradeEntityTemplate", [](UpgradeEntityTemplate& t) { t.m_sIcon = "icon"; }),
      Record<HeroStats>("HeroStats", [](HeroStats& h) {
        h.GetHeroSkills().m_iLevel = 4;
        h.GetSoldierStats()->m_Hitpoints.SetMaximum(90);
      }),
      // The player's block follows the hero's: either may fail.
      {"PlayerStats (hero part)", 0,
       [](bool filled) {
         auto* p = new PlayerStats();
         if (filled) p->GetHeroSkills().m_iLevel = 6;
         return Held<PlayerStats>(p, &Io<PlayerStats>);
       }},
      {"PlayerStats", -1,
       [](bool filled) {
         auto* p = new PlayerStats();
         if (filled) {
           p->AddMoney(500);
           p->AddPlayerShip(new ShipStats());
         }
         return Held<PlayerStats>(p, &Io<PlayerStats>);
       }},
      Record<ShipStats>("ShipStats", [](ShipStats& s) {
        s.SetShipName("Gull");
        s.GetHull().SetMaximum(300);
        s.AddSpecialWeapon(2);
      }),
      {"Nation", 0,
       [](bool filled) {
         auto* n = new Nation(filled ? 3 : 1, filled ? "Pirate" : "Neutral");
         if (filled) {
           n->AddEnemy(1);
           n->SetType(2);
         }
         return Held<Nation>(n, &Io<Nation>);
       }},
      Record<SelectionBox>("SelectionBox", [](SelectionBox& b) { b.SetFlag(1); }),
      {"SerializableStream", 0,
       [](bool filled) {
         VSmartPtr<SerializableStream> stream = new SerializableStream(filled ? "<Saved>" : "<Fresh>");
         if (filled) {
           IVFileOutStream* out = stream->Create("<Saved>");
           out->Write("data", 4);
           out->Close();
         }
         auto io = [stream](VArchive& ar) { stream->SerializeX(ar); };
         return Subject{io, io, std::make_shared<VSmartPtr<SerializableStream>>(stream)};
       }},
      Record<DamageTextureComponent>("DamageTextureComponent", [](DamageTextureComponent& d) {
        d.AddMark("hull.dds", VisVector_cl(1, 2, 3));
      }),
      Record<ShipPathComponent>("ShipPathComponent",
                                [](ShipPathComponent& p) {
                                  // A read gives the component a path of its own, which
                                  // then reads back as it is written.
                                  const Bytes own = SaveBytes([&](VArchive& ar) { p.SerializeX(ar); });
                                  EXPECT_TRUE(LoadBytes(own, [&](VArchive& ar) { p.SerializeX(ar); }));
                                  p.SetLooping(false);
                                }),
      Record<NoiseListenerComponent>("NoiseListenerComponent", [](NoiseListenerComponent& n) { n.SetEnabled(0); }),
      Record<SpeechComponent>("SpeechComponent", [](SpeechComponent& s) {
        s.SetReactRange(4.5f);
        s.SetSpeechDelay(2.5f);
        s.SetActivationOnly(true);
        s.SetLooped(true);
        s.SetScriptFile("scripts/NPC/Greeting.lua");
      }),
      Record<RotationComponent>("RotationComponent", [](RotationComponent& r) {
        r.SetRotationSpeed(-7.5f);
        r.SetRotationDirection(-1);
        r.SetRotationAxis(3);
      }),
      Record<ShipMovementComponent>("ShipMovementComponent", [](ShipMovementComponent& m) {
        m.SetSpeedFullSails(12.0f);
        m.SetTurnFactor(0.5f);
      }),
      Record<AIShipComponent>("AIShipComponent", [](AIShipComponent& a) {
        a.SetCoward(false);
        a.SetAttackTargetNation(2);
      }),
      Record<ShipBattleComponent>("ShipBattleComponent", [](ShipBattleComponent& b) { b.SetArmor(7); }),
      // Base data first, then the block.
      {"CannonComponent", -1,
       [](bool filled) {
         auto* c = new CannonComponent();
         if (filled) c->SetAutoFire(true);
         return Held<CannonComponent>(c, &IoSerialize<CannonComponent>);
       }},
      {"AttackComponent", -1,
       [](bool filled) {
         auto* a = new AttackComponent();
         if (filled) {
           a->SetRange(3.5f);
           a->SetNewTargetTimer(0.75f);
         }
         return Held<AttackComponent>(a, &IoSerialize<AttackComponent>);
       }},
      {"InfantryMovementComponent", -1,
       [](bool filled) {
         auto* m = new InfantryMovementComponent();
         if (filled) m->SetVariable("m_fFrontHitTurnSpeed", "2.5");
         return Held<InfantryMovementComponent>(m, &IoSerialize<InfantryMovementComponent>);
       }},
      // The block first, then the base data (read only after a whole block).
      {"CannonBallComponent", 0,
       [](bool filled) {
         auto* c = new CannonBallComponent();
         if (filled) c->SetVelocity(VisVector_cl(1, 2, 3));
         return Held<CannonBallComponent>(c, &IoSerialize<CannonBallComponent>);
       }},
      // Cameras: the component's base data, then the block.
      {"ShipBattleCameraComponent", -1,
       [](bool filled) {
         auto* c = new ShipBattleCameraComponent();
         if (filled) c->SetForceCameraPosition(VisVector_cl(1, 2, 3));
         return Held<ShipBattleCameraComponent>(c, &IoSerialize<ShipBattleCameraComponent>);
       }},
      {"ShipCameraComponent", -1,
       [](bool filled) {
         auto* c = new ShipCameraComponent();
         if (filled) c->SetOffset(VisVector_cl(0, -20, 30));
         return Held<ShipCameraComponent>(c, &IoSerialize<ShipCameraComponent>);
       }},
      {"BattleCameraComponent", -1,
       [](bool filled) {
         auto* c = new BattleCameraComponent();
         if (filled) c->Init();
         return Held<BattleCameraComponent>(c, &IoSerialize<BattleCameraComponent>);
       }},
      {"FreeCameraComponent", -1,
       [](bool filled) {
         auto* c = new FreeCameraComponent();
         if (filled) c->SetSteps(2.0f, 3.0f);
         return Held<FreeCameraComponent>(c, &IoSerialize<FreeCameraComponent>);
       }},
      {"SpaceCameraComponent", -1,
       [](bool filled) {
         auto* c = new SpaceCameraComponent();
         if (filled) c->Init();
         return Held<SpaceCameraComponent>(c, &IoSerialize<SpaceCameraComponent>);
       }},
      Entity<BaseEntity>("BaseEntity", -1, [](BaseEntity& e) { e.SetNation(2); }),
      Entity<SoldierEntity>("SoldierEntity", -1, [](SoldierEntity& s) { s.SetTargetPosition(VisVector_cl(4, 5, 6)); }),
      Entity<ProjectileEntity>("ProjectileEntity", -1,
                               [](ProjectileEntity& p) { p.SetParentOffset(VisVector_cl(1, -2, 3)); }),
      Entity<ClothEntity>("ClothEntity", -1, [](ClothEntity& c) { c.SetConfigFile("cloths\\sail.xml"); }),
      Entity<CannonEntity>("CannonEntity", -1, [](CannonEntity& c) { c.SetSpecialCannon(true); }),
      Entity<ShipEntity>("ShipEntity", 0, [](ShipEntity& s) { s.SetConfigFile("Ships\\TestSloop.bin"); }),
      Record<CollectableEntityTemplate>("CollectableEntityTemplate",
                                        [](CollectableEntityTemplate& t) { t.m_sLargeImage = "GemLarge"; }),
      Entity<CollectableEntity>("CollectableEntity", -1, [](CollectableEntity& c) {
        c.m_iPrice = 25;
        c.m_sLargeImage = "GemLarge";
      }),
      Entity<UpgradeEntity>("UpgradeEntity", -1, [](UpgradeEntity& u) { u.m_sIcon = "icon_hull"; }),
      {"CarryComponent", -1,
       [](bool filled) {
         auto* c = new CarryComponent();
         if (filled) {
           auto* loot = static_cast<CollectableEntity*>(Vision::Game.CreateEntity("CollectableEntity", VisVector_cl()));
           loot->m_sType = "Loot";
           c->SetCarryItem(loot);
         }
         return Held<CarryComponent>(c, &IoSerialize<CarryComponent>);
       }},
      // Managers: one instance, made afresh for each subject.
      {"ArtifactManager", 0,
       [](bool filled) {
         ArtifactManager::CleanInstance();
         ArtifactManager* artifacts = ArtifactManager::GetInstance();
         if (filled) {
           artifacts->ActivateArtifact(14, 0.0f, 0.25f, "", 0.0f);
           artifacts->ActivateArtifact(11, 10.0f, 0.5f, "Powder", 30.0f);
           artifacts->ActivatePotion(33, 20.0f, 1.0f);
         }
         auto io = [](VArchive& ar) { ArtifactManager::GetInstance()->SerializeX(ar); };
         return Subject{io, io, nullptr};
       }},
      {"GameContentManager", 0,
       [](bool filled) {
         GameContentManager::CleanInstance();
         GameContentManager* content = GameContentManager::GetInstance();
         if (filled) {
           content->SetMaxShipCount(4);
           auto* stored = new CollectableEntityTemplate();
           stored->m_vPosition = VisVector_cl(30, 40, 0);
           content->LoadRandomCollectable(stored);
         }
         auto io = [](VArchive& ar) { GameContentManager::GetInstance()->SerializeX(ar); };
         return Subject{io, io, nullptr};
       }},
      {"UnitEntity", -1,
       [](bool filled) {
         auto* unit = new UnitEntity();
         if (filled) {
           unit->SetUnitWidth(2);
           unit->SetUnitType(12);
         }
         return Subject{[unit](VArchive& ar) { unit->Serialize(ar); }, [unit](VArchive& ar) { unit->Serialize(ar); },
                        nullptr};
       }},
      Entity<AreaEffectProjectileEntity>("AreaEffectProjectileEntity", -1, [](AreaEffectProjectileEntity& p) {
        p.SetSpareVector(VisVector_cl(4, -5, 6));
      }),
      {"LandCannonComponent", -1,
       [](bool filled) {
         auto* c = new LandCannonComponent();
         if (filled) {
           c->m_fShootingRange = 22.0f;
           c->m_fAreaDamage = 35;
         }
         return Held<LandCannonComponent>(c, &IoSerialize<LandCannonComponent>);
       }},
      {"MonkeyCannonComponent", -1,
       [](bool filled) {
         auto* c = new MonkeyCannonComponent();
         if (filled) c->m_iLoadingTime_Max = 9.5f;
         return Held<MonkeyCannonComponent>(c, &IoSerialize<MonkeyCannonComponent>);
       }},
      {"AIUnitComponent", -1,
       [](bool filled) {
         auto* a = new AIUnitComponent();
         if (filled) {
           a->SetAttackRange(7.5f);
           a->SetState(3);
         }
         return Held<AIUnitComponent>(a, &IoSerialize<AIUnitComponent>);
       }},
      Record<NPCUnitComponent>("NPCUnitComponent", [](NPCUnitComponent& n) { n.SetReactRange(4.5f); },
                               &IoSerialize<NPCUnitComponent>),
      Entity<BuildingBaseEntity>("BuildingBaseEntity", -1,
                                 [](BuildingBaseEntity& b) { b.SetBuildingScript("scripts\\buildings\\tavern.lua"); }),
      {"SpecialBuildingComponent", -1,
       [](bool filled) {
         auto* special = new SpecialBuildingComponent();
         if (filled) {
           special->SetWindowType(WT_TAVERN);
           special->SetEnteringDistance(3.5f);
         }
         return Held<SpecialBuildingComponent>(special, &IoSerialize<SpecialBuildingComponent>);
       }},
      // The block first, then the base data.
      {"BuildableBuildingComponent", 0,
       [](bool filled) {
         auto* buildable = new BuildableBuildingComponent();
         if (filled) {
           buildable->SetBuildTime(45.0f);
           buildable->SetConstructionMeshFile("models\\buildings\\construction_site.model");
         }
         return Held<BuildableBuildingComponent>(buildable, &IoSerialize<BuildableBuildingComponent>);
       }},
      Record<StorageComponentProto>("StorageComponentProto", [](StorageComponentProto& s) {
        auto* barrel = new CollectableEntityTemplate();
        barrel->m_sCollectableScriptFile = "/Scripts/Collectables/BarrelScript.lua";
        s.AddCollectable(barrel);
        s.SetCollectableSource("scripts/Loot.lua");
      }),
      {"DestructableBuildingComponent", -1,
       [](bool filled) {
         auto* d = new DestructableBuildingComponent();
         if (filled) {
           d->SetDamageLevelCount(4);
           d->SetHitPointsMax(250);
           d->SetHitPoints(90);
           d->SetArmorValue(3);
         }
         return Held<DestructableBuildingComponent>(d, &IoSerialize<DestructableBuildingComponent>);
       }},
      Record<SpawnerBaseComponent>("SpawnerBaseComponent", [](SpawnerBaseComponent& s) {
        s.SetSoldierCount(-1);
        s.SetSpawnerName("str_GUARDS");
        auto* t = new UnitEntityTemplate("UnitEntity");
        t->m_iNation = 2;
        s.AddUnit(t);
      }),
      {"SoldierSpawner", -1,
       [](bool filled) {
         auto* s = new SoldierSpawner();
         if (filled) s->GetPositions().push_back(VisVector_cl(1, 2, 3));
         return Held<SoldierSpawner>(s, &IoSerialize<SoldierSpawner>);
       }},
      {"PrisonComponent", -1,
       [](bool filled) {
         auto* p = new PrisonComponent();
         if (filled) p->SetPropertyNumber("m_iInitialHitPoints", 350);
         return Held<PrisonComponent>(p, &IoSerialize<PrisonComponent>);
       }},
      Entity<MineEntity>("MineEntity", -1, [](MineEntity& m) {
        m.SetExploded(true);
        m.DecExplosionTimer(1.5f);
      }),
      Entity<FartBombEntity>("FartBombEntity", -1, [](FartBombEntity& b) {
        b.SetExploded(true);
        b.DecExplosionTimer(-2.5f);
      }),
      Record<ShipSpeechComponent>("ShipSpeechComponent", [](ShipSpeechComponent& s) {
        s.SetReactRange(45.0f);
        s.SetSpeechDelay(2.5f);
      }),
      Entity<WhaleEntity>("WhaleEntity", -1, [](WhaleEntity& w) { w.SetNation(3); }),
      {"SirenComponent", -1,
       [](bool filled) {
         auto* s = new SirenComponent();
         if (filled) {
           s->SetReloadDelay(3.5f);
           s->m_fDamageMax = 9.0f;
         }
         return Held<SirenComponent>(s, &IoSerialize<SirenComponent>);
       }},
  };
}

// The outermost blocks of an archive, as [start, end) byte ranges, found by their tags.
struct Range {
  size_t start, end;
};

bool At(const Bytes& b, size_t at, const char* tagged, size_t length) {
  return at + length <= b.size() && std::memcmp(b.data() + at, tagged, length) == 0;
}

std::vector<Range> OuterBlocks(const Bytes& b) {
  static const char kStart[] = {4, 0, 0, 0, 'A', 'R', 'C', 'H'};
  static const char kEnd[] = {3, 0, 0, 0, 'E', 'O', 'A'};
  std::vector<Range> blocks;
  int depth = 0;
  size_t start = 0;
  for (size_t at = 0; at < b.size();) {
    if (At(b, at, kStart, sizeof(kStart))) {
      if (depth++ == 0) start = at;
      at += sizeof(kStart) + 1;  // and the version
    } else if (depth > 0 && At(b, at, kEnd, sizeof(kEnd))) {
      at += sizeof(kEnd);
      if (--depth == 0) blocks.push_back({start, at});
    } else {
      ++at;
    }
  }
  return blocks;
}

Range OwnBlock(const Bytes& b, int which) {
  std::vector<Range> blocks = OuterBlocks(b);
  if (blocks.empty()) return {0, 0};
  return which < 0 ? blocks.back() : blocks[(size_t)which];
}

Bytes Slice(const Bytes& b, Range r) { return Bytes(b.begin() + (long)r.start, b.begin() + (long)r.end); }

// The owner's own block as the subject writes it now.
Bytes OwnState(Subject& s, int which) {
  Bytes b = SaveBytes(s.write);
  return Slice(b, OwnBlock(b, which));
}

class SavedBlockOwnersTest : public ShipTestWorld {};

TEST_F(SavedBlockOwnersTest, EveryOwnerRefusesABadBlockAndKeepsItsValues) {
  struct Damage {
    const char* what;
    void (*apply)(Bytes&, Range);
  } damages[] = {
      {"newer version", [](Bytes& b, Range r) { ++b[r.start + 8]; }},
      {"wrong start tag", [](Bytes& b, Range r) { b[r.start + 7] = 'X'; }},
      {"wrong end tag", [](Bytes& b, Range r) { b[r.end - 1] = 'X'; }},
  };
  for (const Owner& owner : Owners()) {
    SCOPED_TRACE(owner.name);
    Subject original = owner.make(true);
    const Bytes bytes = SaveBytes(original.write);
    const Range own = OwnBlock(bytes, owner.ownBlock);
    ASSERT_GT(own.end, own.start) << "no block found";

    // The block as written reads back whole and gives the same block again.
    {
      Subject fresh = owner.make(false);
      EXPECT_NE(OwnState(fresh, owner.ownBlock), Slice(bytes, own)) << "the original must differ from a fresh one";
      EXPECT_TRUE(LoadBytes(bytes, fresh.read));
      EXPECT_EQ(OwnState(fresh, owner.ownBlock), Slice(bytes, own));
    }
    for (const Damage& damage : damages) {
      SCOPED_TRACE(damage.what);
      Bytes bad = bytes;
      damage.apply(bad, own);
      Subject fresh = owner.make(false);
      const Bytes before = OwnState(fresh, owner.ownBlock);
      LogCapture log;
      {
        ReadArchive ar(bad);
        fresh.read(*ar);
        EXPECT_FALSE(ar->IsOK());
        // The loader frees what a failed block left to the archive.
        VisPath_cl::DeleteUnreferenced(*ar);
      }
      EXPECT_EQ(OwnState(fresh, owner.ownBlock), before);
      EXPECT_FALSE(log.Matching("the saved block").empty());
    }
  }
}

}  // namespace
