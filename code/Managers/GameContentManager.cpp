// The NPC ships and the random collectables of the world map.
#include "Managers/GameContentManager.h"

#include "Managers/BattleManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/JokeManager.h"
#include "Managers/PauseManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SpeechManager.h"
#include "Managers/TownManager.h"
#include "components/AIShipComponent.h"
#include "core/GameManager.h"
#include "entities/CollectableEntity.h"
#include "entities/CollectableEntityTemplate.h"
#include "entities/CollectableId.h"
#include "entities/ShipEntity.h"
#include "entities/TownEntity.h"
#include "util/ArchiveLimits.h"
#include "util/MathTools.h"
#include "util/Navigation.h"

#include "engine/Vision.h"
#include "engine/base/VArchive.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VScriptManager.h"
#include "engine/core/VisCallbacks.h"

#include <algorithm>

namespace {

const char* const kContentScript = "scripts\\ContentScript.lua";
const char* const kMessageBottleKey = "MessageBottle";
const int kReservedSlots = 150;
const int kPlacementTries = 1000;
const float kNearestTownRange = 2000.0f;
// The least a stored collectable's block can take: tags, version and its fixed fields.
const int kMinSavedTemplateBytes = 64;

// The sea of the world map where random collectables may float.
bool InsideWorldArea(const VisVector_cl& p) {
  if (p.x < -2900.0f || p.x > 2900.0f || p.y < -1300.0f || p.y > 2400.0f) return false;
  return p.y >= -0.65f * p.x - 1400.0f;
}

IVScriptInstance* GameScript() {
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  return scripts ? scripts->GetGameScript() : nullptr;
}

bool IsPaused() {
  return PauseManager::HasInstance() && PauseManager::GetInstance()->IsAnyPaused();
}

}  // namespace

GameContentManager::GameContentManager() {
  m_randomCollectables.reserve(kReservedSlots);
  if (JokeManager::HasInstance()) m_iMessageBottlesLeft = JokeManager::GetInstance()->GetSeenTable().GetCount();
  GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
  Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  Initialize();
}

GameContentManager::~GameContentManager() {
  Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
  ResetRandomCollectables();
}

void GameContentManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data) return;
  if (data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) {
    Tick(Vision::Timer.GetTimeDifference());
    return;
  }
  if (data->m_pSender != &GameManager::Callbacks.OnEntityDestroyed) return;
  const VisBaseEntity_cl* gone = static_cast<BaseEntityDataObject*>(data)->m_pEntity;
  m_npcShips.erase(gone);
  for (RandomCollectable& slot : m_randomCollectables)
    if (static_cast<const VisBaseEntity_cl*>(slot.entity) == gone) slot.entity = nullptr;
}

void GameContentManager::AddNPCShip(ShipEntity* ship) {
  if (!ship) return;
  if (AIShipComponent* ai = ship->Components<AIShipComponent>()) ai->SetCanRemove(1);
  m_npcShips.insert(ship);
}

void GameContentManager::RemoveNPCShip(ShipEntity* ship) { m_npcShips.erase(ship); }

bool GameContentManager::HasNPCShip(const ShipEntity* ship) const { return m_npcShips.count(ship) != 0; }

void GameContentManager::Initialize() {
  // A script manager that was reset has closed the old instance's state.
  if (m_spContentScript && !m_spContentScript->IsValid()) m_spContentScript = nullptr;
  // A game without a content script simply spawns nothing.
  if (!m_spContentScript && Vision::File.Exists(kContentScript)) {
    if (VScriptResourceManager* scripts = Vision::GetScriptManager())
      m_spContentScript = scripts->CreateScriptInstanceFromFile(kContentScript);
  }
  if (!GameManager::HasInstance()) return;
  if (GameManager::GetInstance()->GetLocation() != 0) {
    // The entities go with the scene; the stored forms stay.
    for (RandomCollectable& slot : m_randomCollectables) slot.entity = nullptr;
    return;
  }
  for (RandomCollectable& slot : m_randomCollectables)
    if (slot.templ && !slot.entity) slot.entity = CreateRandomEntity(slot.templ);
}

void GameContentManager::DeInitialize() {
  // Taken out first: removing a ship's record may destroy the ship, which would
  // otherwise change the set while it is walked.
  std::set<const VisBaseEntity_cl*> ships;
  ships.swap(m_npcShips);
  if (!GameSessionManager::HasInstance()) return;
  for (const VisBaseEntity_cl* ship : ships)
    GameSessionManager::GetInstance()->RemoveShip(static_cast<ShipEntity*>(const_cast<VisBaseEntity_cl*>(ship)), true);
}

void GameContentManager::Tick(float dt) {
  if (IsPaused() || !m_iShipUpdateEnabled) return;
  if (!GameManager::HasInstance() || GameManager::GetInstance()->GetLocation() != 0) return;
  UpdateShips(dt);
}

void GameContentManager::UpdateShips(float dt) {
  if (SpeechManager::HasInstance() && SpeechManager::GetInstance()->IsInConversation()) return;
  const bool inBattle = BattleManager::HasInstance() && BattleManager::GetInstance()->IsBattleActive();
  m_fShipUpdateTimer += dt;
  if (m_fShipUpdateTimer < (inBattle ? 5.0f : 1.0f) * m_fShipUpdateInterval) return;
  m_fShipUpdateTimer = 0.0f;
  int count = MathTools::RandomInt(std::min(m_iShipSpawnCount + 1, m_iMaxShipCount - GetNPCShipCount()));
  if (inBattle) count = std::min(count, 1);
  for (int i = 0; i < count; ++i) SpawnNPCShip();
}

void GameContentManager::SpawnNPCShip() {
  if (m_spContentScript && m_spContentScript->HasFunction("SpawnNPCShip"))
    m_spContentScript->ExecuteFunctionArg("SpawnNPCShip", "");
}

VisVector_cl GameContentManager::GetAccessibleRandomPosition(bool allowNearPlayer) const {
  Navigation* navigation = GameManager::HasInstance() ? GameManager::GetInstance()->GetNavigation() : nullptr;
  return navigation ? navigation->GetAccessibleRandomPosition(allowNearPlayer) : VisVector_cl(0, 0, 0);
}

bool GameContentManager::IsTooCloseToOthers(const VisVector_cl& position, float minDistance) const {
  if (minDistance <= 0.0f) return false;
  return std::any_of(m_randomCollectables.begin(), m_randomCollectables.end(), [&](const RandomCollectable& slot) {
    const VisVector_cl other = slot.entity ? slot.entity->GetPosition() : slot.templ->m_vPosition;
    return MathTools::DistanceBetweenVectors(position, other) < minDistance;
  });
}

CollectableEntity* GameContentManager::CreateRandomEntity(CollectableEntityTemplate* templ) {
  auto* entity = dynamic_cast<CollectableEntity*>(Vision::Game.CreateEntity(*templ));
  if (!entity) return nullptr;
  entity->SetCollisionTraceAccuracy(VIS_TRACEACC_NOCOLLISION);
  entity->SetRandomCollectable(1);
  return entity;
}

CollectableEntity* GameContentManager::AddRandomCollectable(float minDistance, bool bottle) {
  VisVector_cl position(0, 0, 0);
  int nation = 0;
  for (int i = 0; i < kPlacementTries; ++i) {
    position = GetAccessibleRandomPosition(false);
    if (TownManager::HasInstance()) {
      if (TownEntity* town = TownManager::GetInstance()->GetNearestTown(position, kNearestTownRange))
        nation = town->GetNation();
    }
    if (!IsTooCloseToOthers(position, minDistance) && InsideWorldArea(position)) break;
  }

  IVScriptInstance* game = GameScript();
  VString script;
  if (!bottle) {
    if (game && game->HasFunction("GetRandomSeaCollectableScript")) {
      const float r = (float)MathTools::RandomInt(32768) / 32767.0f;
      const int rarity = r < 0.14f ? 3 : r < 0.29f ? 2 : 1;
      game->ExecuteFunctionArg("GetRandomSeaCollectableScript", "ii>s", nation, rarity, &script);
    }
  } else if (game && game->HasFunction("GetCollectableScript") && JokeManager::HasInstance() &&
             JokeManager::GetInstance()->GetSeenTable().GetCount() > 0 && m_iMessageBottlesLeft > 0) {
    --m_iMessageBottlesLeft;
    game->ExecuteFunctionArg("GetCollectableScript", "i>s", (int)MESSAGE_BOTTLE, &script);
  }
  if (script.IsEmpty()) return nullptr;

  auto* templ = new CollectableEntityTemplate();
  templ->m_sCollectableScriptFile = script;
  templ->m_vPosition = position;
  templ->m_vOrientation = VisVector_cl((float)MathTools::RandomInt(32768) / 32767.0f * 360.0f, 0.0f, 0.0f);
  CollectableEntity* entity = CreateRandomEntity(templ);
  if (!entity) {
    delete templ;
    return nullptr;
  }
  m_randomCollectables.push_back({templ, entity});
  return entity;
}

CollectableEntity* GameContentManager::LoadRandomCollectable(CollectableEntityTemplate* templ) {
  if (!templ) return nullptr;
  CollectableEntity* entity = CreateRandomEntity(templ);
  m_randomCollectables.push_back({templ, entity});
  return entity;
}

void GameContentManager::RelocateRandomCollectable(CollectableEntity* collectable) {
  if (!collectable) return;
  const bool bottle = VString(collectable->GetObjectKey()) == kMessageBottleKey;
  auto slot = std::find_if(m_randomCollectables.begin(), m_randomCollectables.end(),
                           [&](const RandomCollectable& s) { return s.entity == collectable; });
  if (slot == m_randomCollectables.end()) return;
  delete slot->templ;
  m_randomCollectables.erase(slot);
  // Left where it was, the item would be picked up again in the next frame.
  if (!collectable->IsMarkedRemoved()) collectable->Remove();
  AddRandomCollectable(0.0f, bottle);
}

void GameContentManager::ResetRandomCollectables() {
  std::vector<RandomCollectable> slots;
  slots.swap(m_randomCollectables);
  for (RandomCollectable& slot : slots) {
    if (slot.entity && !slot.entity->IsMarkedRemoved()) slot.entity->Remove();
    delete slot.templ;
  }
}

CollectableEntityTemplate* GameContentManager::GetRandomCollectableTemplate(int i) const {
  return i >= 0 && i < (int)m_randomCollectables.size() ? m_randomCollectables[i].templ : nullptr;
}

CollectableEntity* GameContentManager::GetRandomCollectableEntity(int i) const {
  return i >= 0 && i < (int)m_randomCollectables.size() ? m_randomCollectables[i].entity : nullptr;
}

bool GameContentManager::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, 2);
    ar << m_iShipUpdateEnabled << m_fShipUpdateInterval << m_fShipUpdateTimer << m_iMaxShipCount << m_iShipSpawnCount;
    ar << (int)m_randomCollectables.size();
    for (RandomCollectable& slot : m_randomCollectables) slot.templ->SerializeX(ar);
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "GameContentManager", 2);
  if (!block.IsOpen()) return false;
  int enabled = m_iShipUpdateEnabled, maxShips = m_iMaxShipCount, spawnCount = m_iShipSpawnCount;
  float interval = m_fShipUpdateInterval, timer = m_fShipUpdateTimer;
  std::vector<CollectableEntityTemplate*> read;
  auto dropRead = [&]() {
    for (CollectableEntityTemplate* templ : read) delete templ;
    read.clear();
  };
  if (block.Has(2)) {
    ar >> enabled >> interval >> timer >> maxShips >> spawnCount;
    int count = 0;
    if (!ArchiveLimits::ReadCount(ar, count, kMinSavedTemplateBytes)) return block.Fail();
    for (int i = 0; i < count; ++i) {
      auto* templ = new CollectableEntityTemplate();
      read.push_back(templ);
      if (!templ->SerializeX(ar)) {
        dropRead();
        return block.Fail();
      }
    }
  }
  if (!block.End()) {
    dropRead();
    return false;
  }
  if (!block.Has(2)) return true;
  m_iShipUpdateEnabled = enabled;
  m_fShipUpdateInterval = interval;
  m_fShipUpdateTimer = timer;
  m_iMaxShipCount = maxShips;
  m_iShipSpawnCount = spawnCount;
  ResetRandomCollectables();
  for (CollectableEntityTemplate* templ : read) LoadRandomCollectable(templ);
  return true;
}
