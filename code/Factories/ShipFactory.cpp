// Ship creation, the component archive of a ship's record and the shared effects.
#include "Factories/ShipFactory.h"

#include "components/AIShipComponent.h"
#include "components/DamageTextureComponent.h"
#include "components/NoiseListenerComponent.h"
#include "components/PlayerInputComponent.h"
#include "components/ShipBattleComponent.h"
#include "components/ShipFXComponent.h"
#include "components/ShipMovementComponent.h"
#include "components/ShipPathComponent.h"
#include "components/ShipSailComponent.h"
#include "components/StorageComponentProto.h"
#include "core/GameManager.h"
#include "entities/ClothEntity.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "Managers/GameContentManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SerializableStream.h"
#include "util/ArchiveLimits.h"
#include "util/ComponentSetup.h"

#include "engine/base/VArchive.h"
#include "engine/base/VHashString.h"
#include "engine/base/VProfiling.h"
#include "engine/base/VisError.h"
#include "engine/core/VScriptManager.h"
#include "engine/core/VisGame.h"
#include "engine/core/VisParticleGroupManager.h"
#include "engine/core/VisPath.h"
#include "engine/sound/VSoundManager.h"

#include <cstdio>

namespace {

const char* const kShipStream = "<ShipStream>";
const char* const kShipArchive = "<ShipArchive>";
// Message to a ship made from a record: the record (p1) it was made from.
const int kMsgCreatedFromStats = 34;
// Sound resources of the preload set.
const int kSoundResourceFlags = 0x100;

// The profiling elements, registered once per process.
struct ProfilingIds {
  int createShip, createShipEntity, createDamageTextures, loadScript;
  ProfilingIds() {
    createShip = VProfiling::RegisterElement("Create ship", "Shipfactory");
    createShipEntity = VProfiling::RegisterElement("Create ship entity", "Shipfactory", createShip);
    createDamageTextures = VProfiling::RegisterElement("Create damagetextures", "Shipfactory", createShip);
    loadScript = VProfiling::RegisterElement("Load script", "Shipfactory", createShip);
  }
};

const ProfilingIds& Profiling() {
  static const ProfilingIds ids;
  return ids;
}

class ProfiledScope {
 public:
  explicit ProfiledScope(int id) : m_id(id) { VProfiling::StartElement(id); }
  ~ProfiledScope() { VProfiling::StopElement(m_id); }

 private:
  int m_id;
};

// Presence, then the component's block when present.
template <class T>
void WriteComponent(VArchive& ar, T* component) {
  ar << (component ? 1 : 0);
  if (component) component->SerializeX(ar);
}

// Presence; when present, the ship's component (made when missing) reads its block.
// False when the archive cannot go on.
template <class T>
bool ReadComponent(VArchive& ar, ShipEntity* ship) {
  int present = 0;
  ar >> present;
  if (!ar.IsOK()) return false;
  if (present != 1) return true;
  T* component = ComponentSetup::TakeOrAdd<T>(ship);
  if (!component) {
    Vision::Error.Warning("ShipFactory: %s could not take its saved %s", ship->GetObjectKey(),
                          T::GetClassTypeId()->GetClassName());
    return false;
  }
  return component->SerializeX(ar);
}

}  // namespace

ShipFactory::ShipFactory() {
  Profiling();
  Preload();
}

ShipFactory::~ShipFactory() = default;

// ---- the shared effects ----------------------------------------------------------------

void ShipFactory::Preload() {
  if (m_bLoaded) return;
  m_bLoaded = true;
  struct Effect {
    int slot;
    const char* file;
  };
  // Loaded in this order.
  const Effect effects[] = {
      {PRELOAD_HIT_HULL, "Particles\\hit_hull.xml"},
      {PRELOAD_CANNON_FIRE, "Particles\\cannon_fire_01.xml"},
      {PRELOAD_DAMAGE_SMOKE, "Particles\\ship_damage_smoke_01.xml"},
      {PRELOAD_CRITICAL_HIT, "Particles\\critical_hit.xml"},
      {PRELOAD_COLLISION, "Particles\\collision.xml"},
      {PRELOAD_STERN_WAKE, "Particles\\ShipSternWake_01.xml"},
      {PRELOAD_MIST, "Particles\\brinemark_ship_mist2.xml"},
  };
  for (const Effect& effect : effects)
    m_preload[effect.slot] = VisParticleGroupManager_cl::GlobalManager().LoadFromFile(effect.file);
  VSoundManager& sounds = VSoundManager::GlobalManager();
  m_preload[PRELOAD_SOUND_HIT_HULL] = sounds.LoadSoundResource("Sounds\\FX\\fx_cannon_hit_hull_01.wav", kSoundResourceFlags);
  m_preload[PRELOAD_SOUND_HIT_HULL_CRITICAL] =
      sounds.LoadSoundResource("Sounds\\FX\\fx_cannon_hit_hull_critical_01.wav", kSoundResourceFlags);
  for (int i = 0; i < 6; ++i) {
    char file[64];
    snprintf(file, sizeof(file), "Sounds\\FX\\fx_cannon0%d.wav", i);
    m_preload[PRELOAD_SOUND_CANNON_FIRST + i] = sounds.LoadSoundResource(file, kSoundResourceFlags);
  }
}

VRefCounter* ShipFactory::GetPreloaded(int slot) const {
  return slot >= 0 && slot < PRELOAD_COUNT ? m_preload[slot].GetPtr() : nullptr;
}

// ---- creation ------------------------------------------------------------------------------

ShipEntity* ShipFactory::CreateShipEntity(const char* name, const char* script, const VisVector_cl& position,
                                          const VisVector_cl& orientation, int nation, int64_t uniqueId) {
  std::lock_guard<std::recursive_mutex> lock(m_createLock);
  ProfiledScope profile(Profiling().createShipEntity);

  VisBaseEntity_cl* entity = Vision::Game.CreateEntity("ShipEntity", position);
  if (!entity || !entity->IsOfType(ShipEntity::GetClassTypeId())) {
    if (entity) entity->DisposeObject();
    return nullptr;
  }
  ShipEntity* ship = static_cast<ShipEntity*>(entity);
  ship->SetEntityKey(name);
  ship->SetOrientation(orientation);
  ship->SetNation(nation);
  ship->SetCastShadows(true);
  ship->SetScriptFile(script);
  ship->SetUniqueID(uniqueId);

  // The nation is checked before the campaign hears of the ship, so that a refused
  // ship leaves no record behind.
  Nation* owner = nation >= 0 ? GameManager::GetInstance()->GetNation((unsigned)nation) : nullptr;
  if (!owner) {
    ship->DisposeObject();
    return nullptr;
  }
  GameSessionManager::GetInstance()->AddShip(ship);

  VASSERT_MSG(script, "szScriptfile");
  if (script) {
    ProfiledScope scriptProfile(Profiling().loadScript);
    const unsigned hash = VHashString(script).GetHash();
    VSmartPtr<VScriptResource>& cached = m_scripts[hash];
    if (!cached) cached = Vision::GetScriptManager()->LoadScriptResource(script);
    if (cached)
      if (IVScriptInstance* instance = cached->CreateScriptInstance(ship))
        Vision::GetScriptManager()->SetScriptInstance(ship, instance);
  }

  owner->AddShip(ship);
  ComponentSetup::AddNew<ShipSailComponent>(ship);
  const int location = GameManager::GetInstance()->GetLocation();
  if (location == 0 || location == 2) {
    ComponentSetup::AddNew<NoiseListenerComponent>(ship);
    ComponentSetup::AddNew<ShipFXComponent>(ship);
  }
  return ship;
}

ShipEntity* ShipFactory::CreateShip(const char* name, const char* script, const VisVector_cl& position,
                                    const VisVector_cl& orientation, int nation, int64_t uniqueId,
                                    bool playerControllable) {
  ProfiledScope profile(Profiling().createShip);
  ShipEntity* ship = CreateShipEntity(name, script, position, orientation, nation, uniqueId);
  if (!ship) return nullptr;
  // The engine starts an entity's script with its "OnCreate": the ship script adds
  // the ship's own components and configuration before the control and collision
  // set-up below.
  if (IVScriptInstance* instance = Vision::GetScriptManager()->GetScriptInstance(ship))
    if (instance->HasFunction("OnCreate")) instance->ExecuteFunctionArg("OnCreate", "*");
  // The script only names the hull's model; a new ship shows it (and can be clicked
  // on) from its first frame, not once streaming gets round to it.
  ship->EnsureMeshLoaded();

  Nation* player = GameManager::GetInstance()->GetPlayerNation();
  unsigned group = ShipEntity::COLLISION_GROUP_OTHER;
  if (player && nation == player->GetNationId() && playerControllable) {
    ComponentSetup::AddNew<PlayerInputComponent>(ship);
    group = ShipEntity::COLLISION_GROUP_PLAYER;
  } else if (nation != 0 && !playerControllable) {
    if (AIShipComponent* ai = ComponentSetup::AddNew<AIShipComponent>(ship)) {
      ai->SetAIMode(AIShipComponent::AIMODE_IDLE);
      ai->SetAttackTargetNation(-1);
    }
    group = ShipEntity::COLLISION_GROUP_AI;
  }
  {
    ProfiledScope damageProfile(Profiling().createDamageTextures);
    ComponentSetup::TakeOrAdd<DamageTextureComponent>(ship);
  }
  ship->ApplyCollisionGroup(group);
  return ship;
}

ShipEntity* ShipFactory::CreateShip(ShipStats* stats) {
  if (!stats) return nullptr;
  ShipEntity* ship = CreateShip(stats->GetShipName().AsChar(), stats->GetScript().AsChar(), stats->GetSavedPosition(),
                                stats->GetSavedOrientation(), stats->GetNation(), stats->GetUniqueID(),
                                stats->IsPlayerShip());
  if (!ship) return nullptr;
  Nation* player = GameManager::GetInstance()->GetPlayerNation();
  const bool playerNation = player && stats->GetNation() == player->GetNationId();
  if (playerNation) ship->ChangeColorScheme(stats->GetColorScheme());
  ship->MessageFunction(kMsgCreatedFromStats, (INT_PTR)stats, 0);
  if (ShipStats* own = ship->GetStats()) own->SetComponentStream(stats->GetComponentStream());
  LoadShipComponents(ship);

  if (AIShipComponent* ai = ship->Components<AIShipComponent>()) {
    if (playerNation)
      ai->DisposeObject();
    else if (ai->CanRemove())
      GameContentManager::GetInstance()->AddNPCShip(ship);
  }
  if (playerNation)
    if (ShipPathComponent* path = ship->Components<ShipPathComponent>()) path->DisposeObject();
  return ship;
}

// ---- the component archive ---------------------------------------------------------------

void ShipFactory::SaveShipComponents(ShipEntity* ship) {
  ShipStats* stats = ship ? ship->GetStats() : nullptr;
  if (!stats) return;
  if (!stats->GetComponentStream()) stats->SetComponentStream(new SerializableStream(kShipStream));
  IVFileOutStream* out = stats->GetComponentStream()->Create(kShipArchive);
  if (!out) return;
  {
    VArchive ar(kShipArchive, out);
    ar << "ARCH" << Vision::GetArchiveVersion();
    WriteComponent(ar, ship->Components<ShipMovementComponent>());
    WriteComponent(ar, ship->Components<ShipBattleComponent>());
    WriteComponent(ar, ship->Components<AIShipComponent>());
    WriteComponent(ar, ship->Components<StorageComponentProto>());
    WriteComponent(ar, ship->Components<ShipPathComponent>());
    WriteComponent(ar, ship->Components<DamageTextureComponent>());
    DynArray_cl<ClothEntity*>& sails = ship->GetSails();
    const unsigned count = sails.GetValidSize();
    ar << (int)count;
    for (unsigned i = 0; i < count; ++i)
      WriteComponent(ar, sails[i] ? sails[i]->Components<DamageTextureComponent>() : nullptr);
    ar << "EOA";
    ar.Close();
  }
  out->Close();
}

bool ShipFactory::LoadShipComponents(ShipEntity* ship) {
  ShipStats* stats = ship ? ship->GetStats() : nullptr;
  // A ship never saved has nothing to read; its record stays without a stream.
  if (!stats || !stats->GetComponentStream()) return true;
  IVFileInStream* in = stats->GetComponentStream()->Open(kShipArchive);
  if (!in) return true;
  bool whole = false;
  // The archive and the reader are closed on every way out.
  {
    VArchive ar(kShipArchive, in);
    auto read = [&]() {
      if (!SaveGameManagerProto::CheckArchiveStartTag(ar)) {
        Vision::Error.Warning("ShipFactory: the component archive of %s does not start with ARCH",
                              ship->GetObjectKey());
        return false;
      }
      int version = 0;
      ar >> version;
      ar.SetLoadingVersion(version);
      if (!ar.IsOK() || !Vision::IsValidArchive(version)) {
        VASSERT_MSG(false, "Archive error");
        return false;
      }
      if (!ReadComponent<ShipMovementComponent>(ar, ship) || !ReadComponent<ShipBattleComponent>(ar, ship) ||
          !ReadComponent<AIShipComponent>(ar, ship) || !ReadComponent<StorageComponentProto>(ar, ship))
        return false;
      if (!ReadComponent<ShipPathComponent>(ar, ship) || !ReadComponent<DamageTextureComponent>(ar, ship))
        return false;

      int saved = 0;
      if (!ArchiveLimits::ReadCount(ar, saved, 4)) return false;
      DynArray_cl<ClothEntity*>& sails = ship->GetSails();
      for (int i = 0; i < saved; ++i) {
        int present = 0;
        ar >> present;
        if (!ar.IsOK()) return false;
        if (present != 1) continue;
        ClothEntity* sail = sails.Get((unsigned)i);
        DamageTextureComponent* damage = sail ? ComponentSetup::TakeOrAdd<DamageTextureComponent>(sail) : nullptr;
        // A sail the ship no longer has: its block is read and dropped.
        DamageTextureComponent discarded;
        if (!(damage ? damage : &discarded)->SerializeX(ar)) return false;
      }
      if (!SaveGameManagerProto::CheckArchiveEndTag(ar)) {
        Vision::Error.Warning("ShipFactory: the component archive of %s does not end with EOA", ship->GetObjectKey());
        return false;
      }
      return true;
    };
    whole = read();
    VisPath_cl::DeleteUnreferenced(ar);
    ar.Close();
  }
  in->Close();
  return whole;
}
