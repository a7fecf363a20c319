// The spawner: triggering, the spawn clock, units with room, placing and sending
// the soldiers, and its saved block.
#include "components/SpawnerBaseComponent.h"

#include "Managers/GameSessionManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/TownManager.h"
#include "components/NoiseListenerComponent.h"
#include "core/BaseEntity.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "core/Player.h"
#include "core/RtsManager.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"
#include "entities/UnitEntityTemplate.h"
#include "util/ArchiveLimits.h"
#include "util/MathTools.h"

#include "engine/Vision.h"
#include "engine/base/VArchive.h"
#include "engine/core/IVisPhysicsObject.h"
#include "engine/core/VScriptManager.h"
#include "engine/core/VisCallbacks.h"

#include <memory>

namespace {

const char kSpawnerVersion = 3;
// The key that shows the debug text.
const int kDebugKey = 78;
// A saved template holds at least its tags, its version and a few fields.
const int kMinTemplateBytes = 8;

// The nation of a soldier, unit or building; -1 for anything else.
int NationOf(const VisTypedEngineObject_cl* object) {
  if (!object) return -1;
  const bool known = object->IsOfType(SoldierEntity::GetClassTypeId()) ||
                     object->IsOfType(UnitEntity::GetClassTypeId()) || object->IsOfType("BuildingBaseEntity");
  const auto* entity = known ? dynamic_cast<const BaseEntity*>(object) : nullptr;
  return entity ? entity->GetNation() : -1;
}

}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(SpawnerBaseComponent, BaseComponent, &SpawnerBaseComponent::BuildVarList)

void SpawnerBaseComponent::BuildVarList(VARTABLE& t) {
  VAR_VECTOR(t, SpawnerBaseComponent, m_vSpawnOffset, "Spawn offset from owner pivot", "0/0/0");
  VAR_VECTOR(t, SpawnerBaseComponent, m_vWalkTargetOffset, "Walk target offset from owner pivot", "0/0/0");
  VAR_INT(t, SpawnerBaseComponent, m_iSoldierCount, "Soldier count (-1 = infinite)", "4");
  VAR_STRING(t, SpawnerBaseComponent, m_sScriptFile, "Script to use for this spawner (NOT Unit script!)", "");
  VAR_FLOAT(t, SpawnerBaseComponent, m_fSpawnWaitTime, "Spawning rate", "4.0");
  VAR_FLOAT(t, SpawnerBaseComponent, m_fSpawnWaitTimeRandom, "Spawning rate random +/-", "1.0");
  VAR_BOOL(t, SpawnerBaseComponent, m_bEnabled, "Disable/Enable spawning", "FALSE");
  VAR_BOOL(t, SpawnerBaseComponent, m_bDebugPrint, "Debug print", "FALSE");
}

SpawnerBaseComponent::SpawnerBaseComponent() = default;

SpawnerBaseComponent::~SpawnerBaseComponent() {
  DeInitFunction();
  ClearUnits();
  ClearSpawnedUnits();
}

int SpawnerBaseComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  if (object->IsOfType(VisBaseEntity_cl::GetClassTypeId())) return 1;
  reason = "Component can only be added to instances of VisBaseEntity_cl or derived classes.";
  return 0;
}

void SpawnerBaseComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  BaseComponent::SetOwner(owner);
  if (owner)
    InitFunction();
  else
    DeInitFunction();
}

bool SpawnerBaseComponent::IsGameRunning() const {
  return !Vision::Editor.IsInEditor() || Vision::Editor.GetMode() == VisEditorManager_cl::EDITORMODE_PLAYING_IN_GAME;
}

void SpawnerBaseComponent::InitFunction() {
  if (!m_bListening) {
    m_bListening = true;
    Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
    GameManager::Callbacks.OnUnitRemoved.RegisterCallback(this);
    GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
  }
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  if (m_sScriptFile.IsEmpty() || !IsGameRunning() || !scripts || scripts->GetScriptInstance(this)) return;
  IVScriptInstance* script = scripts->CreateScriptInstanceFromFile(m_sScriptFile.AsChar());
  if (!script) return;
  scripts->SetScriptInstance(this, script);
  // The script fills the templates as it starts.
  if (script->HasFunction("OnCreate")) script->ExecuteFunctionArg("OnCreate", "*");
}

void SpawnerBaseComponent::DeInitFunction() {
  if (!m_bListening) return;
  m_bListening = false;
  Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  GameManager::Callbacks.OnUnitRemoved.DeregisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
}

void SpawnerBaseComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data) return;
  if (data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) {
    Update();
    return;
  }
  const bool destroyed = data->m_pSender == &GameManager::Callbacks.OnEntityDestroyed;
  if (!destroyed && data->m_pSender != &GameManager::Callbacks.OnUnitRemoved) return;
  VisBaseEntity_cl* gone = static_cast<BaseEntityDataObject*>(data)->m_pEntity;
  if (!gone) return;
  if (destroyed) {
    // Addresses only: the entity is half destroyed.
    if ((VisBaseEntity_cl*)m_pLastSpawned == gone) m_pLastSpawned = nullptr;
    return;
  }
  const int64_t id = gone->GetUniqueID();
  for (auto it = m_spawned.begin(); it != m_spawned.end(); ++it) {
    if ((*it)->m_iUniqueID != id) continue;
    delete *it;
    m_spawned.erase(it);
    return;
  }
}

void SpawnerBaseComponent::MessageFunction(int id, INT_PTR p1, INT_PTR) {
  if (id != MSG_NOISE_HEARD || !p1) return;
  const auto* noise = reinterpret_cast<const NoiseListenerComponent::HeardNoise*>(p1);
  if (!(noise->volume > 0.0f) || !noise->source) return;
  const int source = NationOf(noise->source);
  const int own = NationOf(m_pOwner);
  // Either side of another kind counts as a stranger.
  if (source >= 0 && own >= 0 && source == own) return;
  TriggerSpawning(noise->source->GetPosition());
}

// Per frame -------------------------------------------------------------------------------

void SpawnerBaseComponent::Update() {
  if (m_bDebugPrint && (Vision::Key.IsPressed(kDebugKey) || Vision::Editor.IsInEditor())) DebugPrint();
  if (!IsGameRunning()) return;
  if (!m_bEnabled || !m_bSpawnRequested || m_iSoldierCount == 0) return;
  m_fSpawnTimer -= Vision::Timer.GetTimeDifference();
  if (m_fSpawnTimer >= 0.0f) return;
  m_bSpawnRequested = 0;
  Spawn();
  if (m_iSoldierCount > 0) --m_iSoldierCount;
  m_fSpawnTimer = m_fSpawnWaitTime + Uniform(-m_fSpawnWaitTimeRandom, m_fSpawnWaitTimeRandom);
}

void SpawnerBaseComponent::DebugPrint() {
  auto* owner = static_cast<VisBaseEntity_cl*>(m_pOwner);
  if (!owner) return;
  const VisVector_cl& p = owner->GetPosition();
  Vision::Message.Print3D(p.x, p.y, p.z, 0xffffffffu, "Enabled: %s \nTriggered: %s \nSoldiers inside: %d",
                          m_bEnabled ? "true" : "false", m_bSpawnRequested ? "true" : "false", m_iSoldierCount);
}

// Triggers and templates -------------------------------------------------------------------

void SpawnerBaseComponent::TriggerSpawning(const VisVector_cl& p) {
  m_bSpawnRequested = 1;
  m_bEnabled = 1;
  m_vTriggerPosition = p;
}

void SpawnerBaseComponent::TriggerSpawning() { TriggerSpawning(VisVector_cl(0, 0, 0)); }

bool SpawnerBaseComponent::HasTriggerPosition() const {
  return m_vTriggerPosition.x != 0.0f || m_vTriggerPosition.y != 0.0f || m_vTriggerPosition.z != 0.0f;
}

void SpawnerBaseComponent::AddUnit(UnitEntityTemplate* templ) {
  if (templ) m_templates.push_back(templ);
}

UnitEntityTemplate* SpawnerBaseComponent::GetTemplate(unsigned index) const {
  return index < m_templates.size() ? m_templates[index] : nullptr;
}

void SpawnerBaseComponent::ClearUnits() {
  for (UnitEntityTemplate* t : m_templates) delete t;
  m_templates.clear();
}

void SpawnerBaseComponent::ClearSpawnedUnits() {
  for (UnitEntityTemplate* t : m_spawned) delete t;
  m_spawned.clear();
}

UnitEntityTemplate* SpawnerBaseComponent::ChooseTemplate() const {
  if (m_templates.empty()) return nullptr;
  return m_templates[(size_t)MathTools::RandomInt((int)m_templates.size())];
}

// Spawning -----------------------------------------------------------------------------------

int SpawnerBaseComponent::GetPlayerNationNumber() {
  Player* player = RtsManager::GlobalManager().GetPlayer();
  return player ? player->GetPlayerNation() : 1;
}

UnitEntity* SpawnerBaseComponent::FindUnit(int64_t uniqueId) {
  if (uniqueId == 0) return nullptr;
  VisBaseEntity_cl* entity = GameManager::GetInstance()->FindEntityByUniqueID(uniqueId);
  if (!entity || entity->IsMarkedRemoved() || !entity->IsOfType(UnitEntity::GetClassTypeId())) return nullptr;
  return static_cast<UnitEntity*>(entity);
}

bool SpawnerBaseComponent::HasRoom(const UnitEntity* unit) {
  return unit && (unit->GetMaxNumSoldiers() == 0 || unit->GetNumSoldiers() < unit->GetMaxNumSoldiers());
}

float SpawnerBaseComponent::Uniform(float lo, float hi) { return MathTools::RandomFloat(lo, hi); }

VisVector_cl SpawnerBaseComponent::OwnerPoint(const VisVector_cl& local) const {
  const auto* owner = static_cast<const VisBaseEntity_cl*>(m_pOwner);
  VisVector_cl p = owner->GetPosition() + owner->GetRotationMatrix() * local;
  p.w = 1.0f;
  return p;
}

UnitEntity* SpawnerBaseComponent::CreateUnit(const UnitEntityTemplate& templ, const VisVector_cl& position) {
  // A copy: every unit gets an id of its own, and only the spawns fill it.
  UnitEntityTemplate made(templ);
  made.m_iUniqueID = GameManager::GetInstance()->GetNextUniqueID();
  made.m_iNumSoldiers = 0;
  made.m_vPosition = position;
  VisBaseEntity_cl* entity = Vision::Game.CreateEntity(made);
  if (!entity || !entity->IsOfType(UnitEntity::GetClassTypeId())) {
    if (entity) entity->Remove();
    Vision::Error.Warning("SpawnerBaseComponent: could not create a unit of class %s", templ.m_sClassName.AsChar());
    return nullptr;
  }
  auto* unit = static_cast<UnitEntity*>(entity);
  auto* record = new UnitEntityTemplate("UnitEntity");
  unit->SaveToTemplate(record);
  m_spawned.push_back(record);
  unit->SetSave(true);
  return unit;
}

void SpawnerBaseComponent::PlaceSoldier(SoldierEntity* soldier, const VisVector_cl& position) {
  const VisVector_cl turn(5.0f * MathTools::GaussianRandom(), 0.0f, 0.0f);
  soldier->SetPosition(position);
  soldier->SetOrientation(turn);
  if (IVisPhysicsObject_cl* physics = soldier->GetPhysicsObject()) {
    physics->SetPosition(position);
    physics->SetRotation(turn);
  }
}

void SpawnerBaseComponent::Spawn() {
  m_pLastSpawned = nullptr;
  UnitEntityTemplate* templ = ChooseTemplate();
  if (!templ || !m_pOwner) return;

  UnitEntity* unit = nullptr;
  for (UnitEntityTemplate* record : m_spawned)
    if (UnitEntity* candidate = FindUnit(record->m_iUniqueID); candidate && HasRoom(candidate)) unit = candidate;
  if (!unit) {
    unit = CreateUnit(*templ, static_cast<VisBaseEntity_cl*>(m_pOwner)->GetPosition());
    if (!unit) return;
    // In a town of the player's nation the new unit follows the player's hero.
    if (TownManager::GetInstance()->GetCurrentTownInfo().sceneType == GetPlayerNationNumber()) {
      Player* player = RtsManager::GlobalManager().GetPlayer();
      UnitEntity* character = player ? player->GetPlayerCharacter() : nullptr;
      if (character && GameSessionManager::HasInstance())
        GameSessionManager::GetInstance()->AddUnitToHero(character->GetHeroStats(), unit);
    }
  }
  SoldierEntity* soldier = unit->AddSoldier(nullptr);
  if (!soldier) return;

  VisVector_cl offset = m_vSpawnOffset;
  offset.x += Uniform(-0.5f, 0.5f);
  offset.y += Uniform(-0.5f, 0.5f);
  const VisVector_cl spawnAt = OwnerPoint(offset);
  const auto* owner = static_cast<const VisBaseEntity_cl*>(m_pOwner);
  VisVector_cl walkLocal = m_vWalkTargetOffset + owner->GetRotationMatrix() * offset;
  walkLocal.x += Uniform(0.0f, 5.0f);
  const VisVector_cl walkTarget = OwnerPoint(walkLocal);

  PlaceSoldier(soldier, spawnAt);
  VisVector_cl destination = walkTarget;
  if (HasTriggerPosition()) {
    destination = m_vTriggerPosition;
    destination.x += MathTools::GaussianRandom();
    destination.y += MathTools::GaussianRandom();
  }
  destination.w = 1.0f;
  soldier->SendMsg(VIS_MSG_USER_UNIT_MOVE, (INT_PTR)&destination, 0);
  m_pLastSpawned = soldier;
}

// Saved block ---------------------------------------------------------------------------------

void SpawnerBaseComponent::Serialize(VArchive& ar) {
  if (!SerializeX(ar) && ar.IsLoading()) return;
  BaseComponent::Serialize(ar);
}

bool SpawnerBaseComponent::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kSpawnerVersion);
    ar << m_vSpawnOffset << m_vWalkTargetOffset << m_sScriptFile << m_iSoldierCount;
    ar << m_fSpawnTimer << m_fSpawnWaitTime << m_fSpawnWaitTimeRandom << m_bEnabled << m_bSpawnRequested;
    ar << (int)m_templates.size();
    for (UnitEntityTemplate* t : m_templates) t->SerializeX(ar);
    ar << (int)m_spawned.size();
    for (UnitEntityTemplate* t : m_spawned) t->SerializeX(ar);
    ar << m_vTriggerPosition << m_sSpawnerName;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }

  SavedBlockReader block(ar, "SpawnerBaseComponent", kSpawnerVersion);
  if (!block.IsOpen()) return false;
  VisVector_cl spawnOffset = m_vSpawnOffset, walkOffset = m_vWalkTargetOffset, trigger = m_vTriggerPosition;
  VString script = m_sScriptFile, name = m_sSpawnerName;
  int count = m_iSoldierCount, enabled = m_bEnabled, requested = m_bSpawnRequested;
  float timer = m_fSpawnTimer, wait = m_fSpawnWaitTime, waitRandom = m_fSpawnWaitTimeRandom;
  std::vector<std::unique_ptr<UnitEntityTemplate>> templates, spawned;
  if (block.Has(2)) {
    ar >> spawnOffset >> walkOffset;
    if (!ArchiveLimits::ReadString(ar, script, MAX_NAME_LENGTH)) return block.Fail();
    ar >> count >> timer >> wait >> waitRandom >> enabled >> requested;
    for (auto* list : {&templates, &spawned}) {
      int n = 0;
      if (!ArchiveLimits::ReadCount(ar, n, kMinTemplateBytes, MAX_SAVED_RECORDS)) return block.Fail("a count beyond the block");
      for (int i = 0; i < n; ++i) {
        list->push_back(std::make_unique<UnitEntityTemplate>("UnitEntity"));
        if (!list->back()->SerializeX(ar)) return block.Fail();
      }
    }
    ar >> trigger;
  }
  if (block.Has(3) && !ArchiveLimits::ReadString(ar, name, MAX_NAME_LENGTH)) return block.Fail();
  if (!block.End()) return false;
  m_vSpawnOffset = spawnOffset;
  m_vWalkTargetOffset = walkOffset;
  m_sScriptFile = script;
  m_iSoldierCount = count;
  m_fSpawnTimer = timer;
  m_fSpawnWaitTime = wait;
  m_fSpawnWaitTimeRandom = waitRandom;
  m_bEnabled = enabled;
  m_bSpawnRequested = requested;
  m_vTriggerPosition = trigger;
  m_sSpawnerName = name;
  if (block.Has(2)) {
    ClearUnits();
    ClearSpawnedUnits();
    for (auto& t : templates) m_templates.push_back(t.release());
    for (auto& t : spawned) m_spawned.push_back(t.release());
  }
  return true;
}
