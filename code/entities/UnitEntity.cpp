// Land units: the soldier list, the formation grid, the per-frame run of the
// soldiers' state machines, the saved block and the unit's engine callbacks.
#include "entities/UnitEntity.h"
#include "entities/CollectableEntity.h"
#include "components/CarryComponent.h"

#include "components/AIUnitComponent.h"
#include "components/InfantryPathComponent.h"
#include "components/NPCUnitComponent.h"
#include "components/UnitPathComponent.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "core/VEntityHighlightManager.h"
#include "entities/SoldierEntity.h"
#include "entities/SoldierEntityTemplate.h"
#include "entities/SoldierStats.h"
#include "entities/UnitEntityTemplate.h"
#include "entities/FSM/DieState.h"
#include "entities/FSM/State_Idle.h"
#include "entities/FSM/State_Walk.h"
#include "entities/FSM/WalkState.h"
#include "gui/FrameUnitInfo.h"
#include "gui/GUIManager.h"
#include "Managers/FogOfWarManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/NoiseManagerProto.h"
#include "Managers/PauseManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SpeechManager.h"
#include "util/ArchiveLimits.h"
#include "util/ComponentSetup.h"
#include "util/MathTools.h"

#include "engine/base/VArchive.h"
#include "engine/base/VarTable.h"
#include "engine/base/VisError.h"
#include "engine/base/VisInput.h"
#include "engine/base/VisTimer.h"
#include "engine/core/IVisPhysicsObject.h"
#include "engine/core/VScriptManager.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisCollisionToolkit.h"
#include "engine/core/VisPath.h"
#include "engine/core/VisRenderContext.h"
#include "engine/core/VisWorld.h"
#include "engine/physics/vPhysXCharacterController.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

const char kUnitVersion = 3;
// Smallest saved forms: a soldier (reference, position, orientation), a slot, an
// assignment entry.
const int kSavedSoldierBytes = 4 + 16 + 16;
const int kSavedSlotBytes = 16;
const int kSavedAssignmentBytes = 4;

// Messages a unit hands on to every soldier: move, the two walk-to orders and the
// direct control of the player's hero.
bool IsForwardedToSoldiers(int id) {
  return id == VIS_MSG_USER_UNIT_MOVE || id == VIS_MSG_USER_UNIT_WALK_TO || id == VIS_MSG_USER_UNIT_WALK_TO_USE ||
         (id >= 401 && id <= 409);
}

// Occlusion colours (0xAARRGGBB) of own and other soldiers.
const uint32_t kOwnSoldierColour = 0xC800C800;
const uint32_t kOtherSoldierColour = 0xC80000C8;

int LocalPlayerNation() { return RtsManager::GlobalManager().GetPlayerNation(); }

// Loads the unit's script and attaches it; the engine starts a script it attaches
// with its "OnCreate".
void AttachScript(UnitEntity* unit, VScriptResourceManager* scripts, const VString& file) {
  IVScriptInstance* script = scripts->CreateScriptInstanceFromFile(file.AsChar());
  if (!script) return;
  scripts->SetScriptInstance(unit, script);
  if (script->HasFunction("OnCreate")) script->ExecuteFunctionArg("OnCreate", "*");
}

bool Contains(const std::vector<SoldierEntity*>& list, const SoldierEntity* soldier) {
  return std::find(list.begin(), list.end(), soldier) != list.end();
}

}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(UnitEntity, BaseEntity, &UnitEntity::BuildVarList)

void UnitEntity::BuildVarList(VARTABLE& t) {
  VAR_INT(t, UnitEntity, m_iNumSoldiers, "Number of soldiers", "0");
  VAR_INT(t, UnitEntity, m_iMaxNumSoldiers, "Max Number of soldiers (0 = infinite)", "0");
  VAR_INT(t, UnitEntity, m_iUnitWidth, "Width of unit", "1");
  VAR_TEXT(t, UnitEntity, m_sUnitScript, VULPTYPE_SCRIPT_FILE, "Script to use for this unit", "");
  VAR_TEXT(t, UnitEntity, m_sSoldierScriptFile, VULPTYPE_SCRIPT_FILE, "Script to use for this unit's soldier", "");
  VAR_STRING(t, UnitEntity, m_sImageSet, "Imageset to use", "UnitFaces_01");
  VAR_STRING(t, UnitEntity, m_sTypeImage, "Image Key to use", "");
  // Scenes name the path their AI and NPC units follow.
  VAR_STRING(t, UnitEntity, m_sPathName, "Scene path the unit's AI follows", "");
}

UnitEntity::UnitEntity() {
  m_sImageSet = "UnitFaces_01";
  // Scene loaded; the scene unloading (clean-up); a scene set up again; the engine's end.
  Vision::Callbacks.OnAfterSceneLoaded.RegisterCallback(this);
  Vision::Callbacks.OnWorldDeInit.RegisterCallback(this);
  Vision::Callbacks.OnWorldReInit.RegisterCallback(this);
  Vision::Callbacks.OnEngineDeInit.RegisterCallback(this);
  // Soldiers freed by anyone else must not stay behind in the lists.
  GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
}

UnitEntity::~UnitEntity() {
  Vision::Callbacks.OnAfterSceneLoaded.DeregisterCallback(this);
  Vision::Callbacks.OnWorldDeInit.DeregisterCallback(this);
  Vision::Callbacks.OnWorldReInit.DeregisterCallback(this);
  Vision::Callbacks.OnEngineDeInit.DeregisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
  // Soldiers that outlive the unit must not keep naming it.
  for (SoldierEntity* soldier : m_soldiers) ReleaseSoldier(soldier);
  for (SoldierEntity* soldier : m_removed) ReleaseSoldier(soldier);
  delete m_pUnitInfo;
  m_pUnitInfo = nullptr;
}

// ---- set-up and engine hooks ---------------------------------------------------------

void UnitEntity::InitFunction() {
  BaseEntity::InitFunction();
  SetUpUnit(false);
}

void UnitEntity::OnDeserializationCallback(void* context) {
  BaseEntity::OnDeserializationCallback(context);
  SetUpUnit(true);
}

void UnitEntity::SetUpUnit(bool keepSoldiers) {
  ResetLastPosition();
  // Soldiers just read from a saved game are the unit's, with their slots; only a
  // fresh set-up starts without any.
  if (!keepSoldiers) {
    m_slotAssignment.clear();
    ClearSoldiers(true);
  }

  VScriptResourceManager* scripts = Vision::GetScriptManager();
  if (!m_sUnitScript.IsEmpty() && scripts) {
    IVScriptInstance* script = scripts->GetScriptInstance(this);
    if (!script) {
      AttachScript(this, scripts, m_sUnitScript);
    } else if (!Vision::Editor.IsInEditor() && script->HasFunction("OnCreate")) {
      script->ExecuteFunctionArg("OnCreate", "*");
    }
  }

  CreateSoldiers();
  UpdateBounding();
  SetTraceAccuracy(VIS_TRACEACC_OBOX);
  BaseEntityDataObject data(&GameManager::Callbacks.OnUnitCreated, this);
  GameManager::Callbacks.OnUnitCreated.TriggerCallbacks(&data);
}

void UnitEntity::DeInitFunction() {
  BaseEntity::DeInitFunction();
  if (VEntityHighlightManager::HasInstance()) VEntityHighlightManager::GetInstance()->RemoveFromAllSets(this);
  m_slotAssignment.clear();
  ClearSoldiers(true);
  if (m_pUnitInfo) {
    CEGUI::Window* window = m_pUnitInfo->GetRootWindow();
    // Without a running GUI there is nothing left to take the window out of.
    const bool gui = GUIManager::HasInstance() && GUIManager::GetInstance()->IsInitialized();
    if (gui && !GUIManager::GetInstance()->RemoveFromTheBaseFrame(window))
      Vision::Error.Warning("Failed to REMOVE Unit Info!");
    m_pUnitInfo->DestroyWindow();
    delete m_pUnitInfo;
    m_pUnitInfo = nullptr;
  }
}

void UnitEntity::ThinkFunction() {
  std::vector<SoldierEntity*> removed;
  removed.swap(m_removed);
  for (SoldierEntity* soldier : removed) {
    if (GameSessionManager::HasInstance()) GameSessionManager::GetInstance()->RemoveSoldierFromUnit(this, soldier);
    RemoveSoldier(soldier);
  }

  if (!m_soldiers.empty()) {
    UpdateBounding();
    ShowUnitInfo(Vision::Key.IsPressed(VGLK_NAMETAG));
    return;
  }
  BaseEntityDataObject data(&GameManager::Callbacks.OnUnitRemoved, this);
  GameManager::Callbacks.OnUnitRemoved.TriggerCallbacks(&data);
  if (!IsMarkedRemoved()) Remove();
}

void UnitEntity::EditorThinkFunction() {
  // The game runs outside the editor; the editor's placement update is kept for it.
  if (!Vision::Editor.IsInEditor()) return;
  const int mode = Vision::Editor.GetMode();
  if (mode == 1 || mode == 2 || mode == 3 || m_soldiers.empty()) return;
  if (GetPosition() != m_vLastPosition) ResetSoldierPositions();
  UpdateBounding();
  ResetLastPosition();
}

void UnitEntity::UpdateBounding() {
  const float dt = Vision::Timer.GetTimeDifference();
  const bool paused = PauseManager::HasInstance() && PauseManager::GetInstance()->IsAnyPaused();
  const bool talking = SpeechManager::HasInstance() && SpeechManager::GetInstance()->IsInConversation();
  VisBoundingBox_cl box;
  box.SetInvalid();
  // A state may take its soldier out of the list (dying): walk a copy.
  const std::vector<SoldierEntity*> soldiers = m_soldiers;
  for (SoldierEntity* soldier : soldiers) {
    if (IsSoldierMarkedRemoved(soldier) || !Contains(m_soldiers, soldier)) continue;
    if (StateMachine<SoldierEntity>* machine = soldier->GetStateMachine()) {
      machine->Update(dt);
      if (soldier->GetStateType() != STATE_IDLE && talking && paused)
        machine->ChangeState(State_Idle::GetInstance());
    }
    box.ExpandToInclude(soldier->GetPosition());
    if (m_pHeroStats && soldier->GetStateMachine() &&
        soldier->GetStateMachine()->GetCurrentState() == State_Walk::GetInstance() && NoiseManagerProto::HasInstance())
      NoiseManagerProto::GetInstance()->MakeNoise(soldier, 1, 1.0f, 10.0f, NOISE_FALLOFF_LINEAR);
  }
  // Without a soldier to measure the unit keeps its place.
  if (!box.IsValid()) return;
  m_boundingBox = box;
  VisVector_cl centre = box.GetCenter();
  centre.w = 1.0f;
  SetPosition(centre);
}

void UnitEntity::MessageFunction(int id, INT_PTR p1, INT_PTR p2) {
  if (id == VIS_MSG_USER_UNIT_NEW_TARGET) SetTarget(reinterpret_cast<VisBaseEntity_cl*>(p1));
  if (IsForwardedToSoldiers(id)) {
    const std::vector<SoldierEntity*> soldiers = m_soldiers;
    for (SoldierEntity* soldier : soldiers) {
      ComponentSetup::TakeOrAdd<InfantryPathComponent>(soldier);
      soldier->SendMsg(id, p1, p2);
    }
    return;
  }
  if (id == VIS_MSG_EDITOR_PROPERTYCHANGED) {
    const char* name = reinterpret_cast<const char*>(p1);
    const char* value = reinterpret_cast<const char*>(p2);
    if (name && (std::strstr(name, "m_iNumSoldiers") || std::strstr(name, "m_iUnitWidth") ||
                 std::strstr(name, "m_sUnitScript") || std::strstr(name, "m_sSoldierScriptFile"))) {
      Vision::Error.EngineMessage("UnitEntity property changed %s: %s", name, value ? value : "");
      ClearSoldiers(true);
      VScriptResourceManager* scripts = Vision::GetScriptManager();
      if (!m_sUnitScript.IsEmpty() && scripts && !scripts->GetScriptInstance(this))
        AttachScript(this, scripts, m_sUnitScript);
      m_formation.clear();
      ResetLastPosition();
      CreateSoldiers();
      UpdateBounding();
    }
  }
  BaseEntity::MessageFunction(id, p1, p2);
}

void UnitEntity::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  BaseEntity::OnHandleCallback(data);
  if (!data) return;
  if (data->m_pSender == &GameManager::Callbacks.OnEntityDestroyed) {
    const VisBaseEntity_cl* gone = static_cast<BaseEntityDataObject*>(data)->m_pEntity;
    auto isGone = [gone](const SoldierEntity* s) { return s && static_cast<const VisBaseEntity_cl*>(s) == gone; };
    m_soldiers.erase(std::remove_if(m_soldiers.begin(), m_soldiers.end(), isGone), m_soldiers.end());
    m_removed.erase(std::remove_if(m_removed.begin(), m_removed.end(), isGone), m_removed.end());
    std::replace_if(m_slotAssignment.begin(), m_slotAssignment.end(), isGone, nullptr);
  } else if (data->m_pSender == &Vision::Callbacks.OnAfterSceneLoaded) {
    if (m_sPathName.IsEmpty()) return;
    VisPath_cl* path = Vision::Game.SearchPath(m_sPathName.AsChar());
    if (!path) return;
    if (auto* ai = static_cast<AIUnitComponent*>(GetComponentOfType(AIUnitComponent::GetClassTypeId())))
      ai->SetFollowPath(path);
    if (auto* npc = static_cast<NPCUnitComponent*>(GetComponentOfType(NPCUnitComponent::GetClassTypeId())))
      npc->SetFollowPath(path);
  } else if (data->m_pSender == &Vision::Callbacks.OnWorldDeInit) {
    m_slotAssignment.clear();
    for (SoldierEntity* soldier : m_soldiers) {
      ReleaseSoldier(soldier);
      soldier->DisposeObject();
    }
    m_soldiers.clear();
    for (SoldierEntity* soldier : m_removed) ReleaseSoldier(soldier);
    m_removed.clear();
    if (IVObjectComponent* ai = GetComponentOfType(AIUnitComponent::GetClassTypeId())) {
      RemoveComponent(ai);
      ai->DisposeObject();
    }
    if (IVObjectComponent* npc = GetComponentOfType(NPCUnitComponent::GetClassTypeId())) {
      RemoveComponent(npc);
      npc->DisposeObject();
    }
    if (IVObjectComponent* controller = GetComponentOfType(vPhysXCharacterController::GetClassTypeId())) {
      RemoveComponent(controller);
      controller->DisposeObject();
      SetPhysicsObject(nullptr);
    }
  } else if (data->m_pSender == &Vision::Callbacks.OnWorldReInit) {
    SetUpUnit(false);
  } else if (data->m_pSender == &Vision::Callbacks.OnEngineDeInit) {
    DeInitFunction();
  }
}

// ---- soldier list ----------------------------------------------------------------------

SoldierEntity* UnitEntity::AddSoldier(SoldierStats* stats) {
  SoldierEntity* soldier = nullptr;
  if (stats && stats->GetTemplate()) {
    VisBaseEntity_cl* entity = Vision::Game.CreateEntity(*stats->GetTemplate());
    if (entity && entity->IsOfType(SoldierEntity::GetClassTypeId())) soldier = static_cast<SoldierEntity*>(entity);
    if (!soldier) {
      if (entity) entity->Remove();
      return nullptr;
    }
    soldier->SetStats(stats);
  } else {
    VisBaseEntity_cl* entity = Vision::Game.CreateEntity("SoldierEntity", VisVector_cl(0, 0, 0));
    if (!entity || !entity->IsOfType(SoldierEntity::GetClassTypeId())) {
      if (entity) entity->Remove();
      return nullptr;
    }
    soldier = static_cast<SoldierEntity*>(entity);
    soldier->SetNation(GetNation());
    GameSessionManager::GetInstance()->AddSoldierToUnit(m_pHeroStats, this, soldier);
  }

  soldier->SetOrientation(GetOrientation());
  PlaceSoldier(soldier, GetPosition() + VisVector_cl(0.0f, 0.0f, 0.75f), nullptr);
  soldier->SetParentUnit(this);
  soldier->InitParticleEffects();
  soldier->SetCastShadows(GetCastShadows());
  soldier->SetVisibleBitmask(GetVisibleBitmask());
  soldier->SetLightInfluenceBitMask(GetLightInfluenceBitMask());
  if (!m_sSoldierScriptFile.IsEmpty()) soldier->SetAIScript(m_sSoldierScriptFile.AsChar());
  soldier->SetTraceAccuracy(VIS_TRACEACC_AABOX);
  if (soldier->HasObjectKey("PlayerCharacter")) soldier->MarkAsPlayerHero(true);
  if (!Vision::Editor.IsInEditor() || Vision::Editor.GetMode() == VisEditorManager_cl::EDITORMODE_PLAYING_IN_GAME)
    soldier->InitCharacterController();
  m_soldiers.push_back(soldier);
  if (!stats && soldier->GetStats()) {
    Hitpoints& hp = soldier->GetStats()->m_Hitpoints;
    hp.SetHitpoints(hp.GetMaximum(), hp.GetMaximum());
  }
  RegisterSoldier(soldier);
  return soldier;
}

void UnitEntity::RegisterSoldier(SoldierEntity* soldier) {
  const bool own = GetNation() == LocalPlayerNation();
  const uint32_t colour = own ? kOwnSoldierColour : kOtherSoldierColour;
  VEntityHighlightManager* highlights = VEntityHighlightManager::GetInstance();
  highlights->AddOcclusionHighlight(soldier, colour);
  if (highlights->IsUnitRegistered(soldier)) highlights->AddUnitHighlight(soldier, colour);
  if (own) {
    FogOfWarManager* fog = FogOfWarManager::GetInstance();
    if (!fog->IsEntityTracked(soldier)) fog->AddTrackedEntity(soldier);
  }
}

void UnitEntity::AddSoldier(SoldierEntity* soldier) {
  if (!soldier) return;
  // A soldier belongs to one unit: it leaves the one it names, and joins this one once.
  UnitEntity* old = soldier->GetParentUnit();
  if (old && old != this) old->RemoveSoldier(soldier);
  soldier->SetParentUnit(this);
  // Added back before its removal came due: it stays.
  m_removed.erase(std::remove(m_removed.begin(), m_removed.end(), soldier), m_removed.end());
  if (!Contains(m_soldiers, soldier)) m_soldiers.push_back(soldier);
}

void UnitEntity::ReleaseSoldier(SoldierEntity* soldier) {
  if (soldier && soldier->GetParentUnit() == this) soldier->SetParentUnit(nullptr);
}

void UnitEntity::RemoveSoldier(SoldierEntity* soldier) {
  auto it = std::find(m_soldiers.begin(), m_soldiers.end(), soldier);
  if (it == m_soldiers.end()) return;
  m_soldiers.erase(it);
  ReleaseSoldier(soldier);
}

void UnitEntity::RemoveSoldier(int index) {
  if (index >= 0 && index < (int)m_soldiers.size()) RemoveSoldier(m_soldiers[index]);
}

void UnitEntity::MarkRemoved(SoldierEntity* soldier) {
  if (!soldier) return;
  if (!Contains(m_removed, soldier)) m_removed.push_back(soldier);
  ReleaseSoldier(soldier);
  soldier->RemoveEffects();
}

bool UnitEntity::IsSoldierMarkedRemoved(const SoldierEntity* soldier) const { return Contains(m_removed, soldier); }

void UnitEntity::ClearSoldiers(bool removeEntities) {
  for (SoldierEntity* soldier : m_soldiers) {
    ReleaseSoldier(soldier);
    if (removeEntities) soldier->Remove();
  }
  m_soldiers.clear();
}

void UnitEntity::CreateSoldiers() {
  const int missing = std::max(0, m_iNumSoldiers - (int)m_soldiers.size());
  int added = 0;
  for (int i = 0; i < missing; ++i)
    if (AddSoldier(nullptr)) ++added;
  if (added > 0) ResetSoldierPositions();
}

int UnitEntity::GetSoldierIndex(const SoldierEntity* soldier) const {
  auto it = std::find(m_soldiers.begin(), m_soldiers.end(), soldier);
  return it == m_soldiers.end() ? -1 : (int)(it - m_soldiers.begin());
}

SoldierEntity* UnitEntity::GetSoldierAtIndex(int index) const {
  return index >= 0 && index < (int)m_soldiers.size() ? m_soldiers[index] : nullptr;
}

SoldierEntity* UnitEntity::SetCarryTargetForSoldier(CollectableEntity* collectable) {
  if (!collectable) return nullptr;
  for (SoldierEntity* soldier : m_soldiers) {
    if (!soldier) continue;
    auto* carry = static_cast<CarryComponent*>(soldier->GetComponentOfType(CarryComponent::GetClassTypeId()));
    if (!carry || carry->GetCarryTarget() || carry->IsCarrying()) continue;
    if (MathTools::DistanceBetweenVectors(soldier->GetPosition(), collectable->GetPosition()) >
        collectable->GetPickDistanceLand())
      continue;
    carry->SetCarryTarget(collectable);
    return soldier;
  }
  return nullptr;
}

int UnitEntity::GetSoldiersTotalHp() const {
  int total = 0;
  for (SoldierEntity* soldier : m_soldiers)
    if (soldier->GetStats()) total += soldier->GetStats()->m_Hitpoints.GetCurrent();
  return total;
}

int UnitEntity::GetSoldiersTotalMaximumHp() const {
  int total = 0;
  for (SoldierEntity* soldier : m_soldiers)
    if (soldier->GetStats()) total += soldier->GetStats()->m_Hitpoints.GetMaximum();
  return total;
}

SoldierEntity* UnitEntity::GetNearestSoldierTo(const VisVector_cl& p, const std::vector<SoldierEntity*>& excluded) const {
  SoldierEntity* nearest = nullptr;
  float best = 1.0e13f;
  for (SoldierEntity* soldier : m_soldiers) {
    StateMachine<SoldierEntity>* machine = soldier->GetStateMachine();
    if (machine && machine->GetCurrentState() == DieState::GetInstance()) continue;
    if (Contains(excluded, soldier)) continue;
    const float d = soldier->GetPosition().GetDistanceSqr(p);
    if (d < best) {
      best = d;
      nearest = soldier;
    }
  }
  return nearest;
}

SoldierEntity* UnitEntity::GetNearestSoldierTo(const VisVector_cl& p) const { return GetNearestSoldierTo(p, {}); }

void UnitEntity::InitSelectionEffect() {
  for (SoldierEntity* soldier : m_soldiers) soldier->ShowSelectionEffect();
}

void UnitEntity::RemoveSelectionEffect() {
  for (SoldierEntity* soldier : m_soldiers) soldier->HideSelectionEffect();
}

// ---- formation ------------------------------------------------------------------------

bool UnitEntity::SetFormation(int rows, int columns, int distance) {
  m_formation.clear();
  const int n = (int)m_soldiers.size();
  if (rows * columns < n) rows = columns > 0 ? n / columns + 1 : n;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      const float x = (float)((rows - 1) * distance) * 0.5f - (float)(r * distance);
      const float y = (float)((columns - 1) * distance) * 0.5f - (float)(c * distance);
      m_formation.push_back(VisVector_cl(x, y, 0.0f, 1.0f));
    }
  }
  m_iFormationRows = rows;
  m_iFormationColumns = columns;
  m_iFormationDistance = distance;
  return true;
}

const VisVector_cl& UnitEntity::GetFormationPositionAt(unsigned int i) const {
  return i < m_formation.size() ? m_formation[i] : GetPosition();
}

void UnitEntity::ResetSoldierPositions() {
  const int n = (int)m_soldiers.size();
  if (n >= 1 && (int)m_formation.size() != n) {
    m_iUnitWidth = std::clamp(m_iUnitWidth, 1, n);
    SetFormation(m_iUnitWidth, (n + m_iUnitWidth - 1) / m_iUnitWidth, DEFAULT_SOLDIER_DISTANCE);
  }
  const VisMatrix3x3_cl& rotation = GetRotationMatrix();
  for (int i = 0; i < n && i < (int)m_formation.size(); ++i) {
    SoldierEntity* soldier = m_soldiers[i];
    VisVector_cl p = GetPosition() + rotation * m_formation[i];
    p.w = 1.0f;
    float z;
    if (GroundHeightAt(p, soldier, z)) p.z = z;
    PlaceSoldier(soldier, p, &rotation);
  }
}

bool UnitEntity::GroundHeightAt(const VisVector_cl& p, const SoldierEntity* soldier, float& z) const {
  if (Vision::World.HasTerrain()) {
    z = Vision::World.GetHeightAtWorldPos(p.x, p.y) + 1.0f;
    return true;
  }
  VisTraceLineInfo_t hit;
  if (!Vision::CollisionToolkit.TraceLine(p, p + VisVector_cl(0.0f, 0.0f, 5.0f), 0xffffffff, VIS_TRACE_ALL, soldier,
                                          nullptr, &hit) ||
      !hit.detected)
    return false;
  z = hit.touchPoint.z;
  return true;
}

void UnitEntity::PlaceSoldier(SoldierEntity* soldier, const VisVector_cl& position, const VisMatrix3x3_cl* rotation) {
  if (rotation) soldier->SetRotationMatrix(*rotation);
  soldier->SetPosition(position);
  if (IVisPhysicsObject_cl* physics = soldier->GetPhysicsObject()) {
    physics->SetPosition(position);
    if (rotation) physics->SetRotationMatrix(*rotation);
  }
}

void UnitEntity::SetSoldierTargets(const VisVector_cl& target, const VisMatrix3x3_cl& rotation, unsigned int message,
                                   int parameter, bool keepAssignment) {
  auto slotPoint = [&](const VisVector_cl& slot, float jitterX, float jitterY) {
    const VisVector_cl local(slot.x + jitterX, slot.y + jitterY, slot.z);
    VisVector_cl world = target + rotation * local;
    world.w = 1.0f;
    return world;
  };

  if (keepAssignment && !m_slotAssignment.empty()) {
    for (size_t i = 0; i < m_slotAssignment.size() && i < m_formation.size(); ++i) {
      SoldierEntity* soldier = m_slotAssignment[i];
      if (!soldier || soldier->GetParentUnit() != this) continue;
      const float jx = MathTools::GaussianRandom() * 0.3f;
      const float jy = MathTools::GaussianRandom() * 0.3f;
      const VisVector_cl point = slotPoint(m_formation[i], jx, jy);
      soldier->SendMsg((int)message, (INT_PTR)&point, parameter);
    }
    return;
  }

  m_slotAssignment.clear();
  std::vector<SoldierEntity*> unplaced = m_soldiers;
  for (const VisVector_cl& slot : m_formation) {
    const VisVector_cl exact = slotPoint(slot, 0.0f, 0.0f);
    SoldierEntity* nearest = nullptr;
    float best = 1.0e9f;
    for (SoldierEntity* soldier : unplaced) {
      const float d = soldier->GetPosition().GetDistanceSqr(exact);
      if (d < best) {
        best = d;
        nearest = soldier;
      }
    }
    if (!nearest) continue;
    const float jx = MathTools::GaussianRandom() * 0.1f;
    const float jy = MathTools::GaussianRandom() * 0.1f;
    const VisVector_cl point = slotPoint(slot, jx, jy);
    nearest->SendMsg((int)message, (INT_PTR)&point, parameter);
    m_slotAssignment.push_back(nearest);
    unplaced.erase(std::find(unplaced.begin(), unplaced.end(), nearest));
  }
}

void UnitEntity::SetTarget(const VisVector_cl& target, unsigned int message, int parameter, bool keepOrientation) {
  // Level with the unit, so that the unit only turns about z. An order on the unit's
  // own spot gives no direction: the unit keeps its facing.
  const VisVector_cl level(target.x, target.y, GetPosition().z);
  if (!keepOrientation && level.GetDistanceSqr(GetPosition()) > 0.0f) {
    VisMatrix3x3_cl look;
    VisMath_cl::MatrixLookAt(look, GetPosition(), level, VisVector_cl(0, 0, 1));
    SetRotationMatrix(look);
  }
  const VisMatrix3x3_cl rotation = GetRotationMatrix();
  const int n = (int)m_soldiers.size();
  if ((int)m_formation.size() != n) SetFormation(n / 2, 2, 2);
  if (GetComponentOfType(BasePathComponent::GetClassTypeId()))
    SetSoldierPaths(target, rotation);
  else
    SetSoldierTargets(target, rotation, message, parameter, false);
  GenerateTargetBox(target, rotation);
}

void UnitEntity::SetTarget(const VisVector_cl& target, float yaw, unsigned int message, int parameter) {
  VisMatrix3x3_cl rotation;
  rotation.SetEulerAngles(yaw, 0.0f, 0.0f);
  SetRotationMatrix(rotation);
  SetSoldierTargets(target, rotation, message, parameter, false);
}

void UnitEntity::SetSoldierPaths(const VisVector_cl& target, const VisMatrix3x3_cl& rotation) {
  auto* unitPath = static_cast<UnitPathComponent*>(GetComponentOfType(UnitPathComponent::GetClassTypeId()));
  if (!unitPath) return;
  unitPath->MakePathTo(target, true);
  VisPath_cl* path = unitPath->GetPath();
  VScriptResourceManager* scripts = Vision::GetScriptManager();

  m_slotAssignment.clear();
  std::vector<SoldierEntity*> unplaced = m_soldiers;
  for (size_t i = 0; i < m_formation.size(); ++i) {
    // The first slot takes the path itself; every later one, filled or not, draws the
    // jitter of its copy.
    VisVector_cl offset(0.0f, 0.0f, 0.0f);
    if (i > 0) {
      const VisVector_cl& slot = m_formation[i];
      const float g1 = MathTools::GaussianRandom();
      const float g2 = MathTools::GaussianRandom();
      offset = rotation * VisVector_cl(slot.x + g1, slot.y + g2, slot.z);
    }
    VisVector_cl p = target + offset;
    p.w = 1.0f;
    SoldierEntity* soldier = nullptr;
    float best = 1.0e9f;
    for (SoldierEntity* candidate : unplaced) {
      const float d = candidate->GetPosition().GetDistanceSqr(p);
      if (d < best) {
        best = d;
        soldier = candidate;
      }
    }
    // Nobody left, or every soldier beyond the search bound: the slot stays empty.
    if (!soldier) continue;

    auto* soldierPath =
        static_cast<InfantryPathComponent*>(soldier->GetComponentOfType(InfantryPathComponent::GetClassTypeId(), true));
    if (!soldierPath) soldierPath = ComponentSetup::AddNew<InfantryPathComponent>(soldier);
    if (soldierPath) {
      soldierPath->CopyPath(path, offset, false);
      VisPath_cl* copy = soldierPath->GetPath();
      if (copy && copy->GetPathNodeCount() > 1)
        if (VisPathNode_cl* next = copy->GetPathNode(1, 0)) soldier->TurnFaceTo(next->GetPosition());
    }

    if (StateMachine<SoldierEntity>* machine = soldier->GetStateMachine()) {
      State<SoldierEntity>* current = machine->GetCurrentState();
      const bool walkAllowed = current && current->HasTransition(State_Walk::GetInstance());
      if (walkAllowed || current == State_Walk::GetInstance()) {
        IVScriptInstance* script = scripts ? scripts->GetScriptInstance(soldier) : nullptr;
        if (script && script->HasFunction("ClearTarget")) script->ExecuteFunctionArg("ClearTarget", "*");
        if (script && script->HasFunction("SetLastPositionGiven")) {
          const VisVector_cl end = soldierPath ? soldierPath->GetEndPosition() : VisVector_cl(0.0f, 0.0f, 0.0f);
          script->ExecuteFunctionArg("SetLastPositionGiven", "*v", &end);
        }
        if (walkAllowed) machine->ChangeState(State_Walk::GetInstance());
      } else if (current && current->HasTransition(WalkState::GetInstance())) {
        machine->ChangeState(WalkState::GetInstance());
      }
    }
    // Already on his slot the copy is walked before he sets off: he arrives at once
    // rather than walk on the spot for good.
    if (soldierPath && (!soldierPath->GetPath() || soldierPath->GetPath()->GetPathNodeCount() < 2))
      soldierPath->UpdateOwner();

    m_slotAssignment.push_back(soldier);
    unplaced.erase(std::find(unplaced.begin(), unplaced.end(), soldier));
  }
  // Only the soldiers' copies move.
  unitPath->ClearPath();
}

namespace {
// One soldier sent at a target: through its script's "AttackEntity" when it has one,
// else by the attack message with the target's position and the named entity.
void OrderAttack(SoldierEntity* soldier, BaseEntity* target, VisBaseEntity_cl* named) {
  if (!soldier || !target) return;
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  IVScriptInstance* script = scripts ? scripts->GetScriptInstance(soldier) : nullptr;
  if (script && script->HasFunction("AttackEntity")) {
    script->ExecuteFunctionArg("AttackEntity", "*ob", (VisTypedEngineObject_cl*)target, true);
    return;
  }
  soldier->SendMsg(VIS_MSG_USER_UNIT_ATTACK_ORDER, (INT_PTR)&target->GetPosition(), (INT_PTR)named);
}

// A fresh draw among the enemy's soldiers; null for a bad index or an empty entry.
SoldierEntity* RandomSoldierOf(const UnitEntity* enemy) {
  const std::vector<SoldierEntity*>& soldiers = enemy->GetSoldiers();
  const int index = MathTools::RandomInt((int)soldiers.size());
  return index >= 0 && index < (int)soldiers.size() ? soldiers[index] : nullptr;
}
}  // namespace

void UnitEntity::SetTarget(VisBaseEntity_cl* entity) {
  if (!entity) return;
  if (entity->IsExactType(UnitEntity::GetClassTypeId())) {
    UnitEntity* enemy = static_cast<UnitEntity*>(entity);
    if (enemy->GetNation() != GetNation()) SetRandomAttackTargets(enemy);
    return;
  }
  if (entity->IsExactType(SoldierEntity::GetClassTypeId())) {
    SoldierEntity* soldier = static_cast<SoldierEntity*>(entity);
    UnitEntity* unit = soldier->GetParentUnit();
    if (unit && unit->GetNation() != GetNation()) SetCarefullySelectedAttackTargets(soldier);
    return;
  }
  if (entity->IsExactType(CollectableEntity::GetClassTypeId())) {
    CollectableEntity* collectable = static_cast<CollectableEntity*>(entity);
    if (!collectable->HasCarrier()) {
      SetCollectingTargetsForSoldiers(collectable);
      return;
    }
    // Ordered onto an item someone carries: he lets it go and it shows again.
    VisBaseEntity_cl* carrier = collectable->GetCarrier();
    auto* carry = static_cast<CarryComponent*>(carrier->GetComponentOfType(CarryComponent::GetClassTypeId()));
    if (!carry) return;
    carry->EndCarry();
    collectable->StartHighlightEffect();
    return;
  }
  if (entity->IsOfType("BuildingBaseEntity")) SetBuildingAttackTargets(static_cast<BaseEntity*>(entity));
}

void UnitEntity::SetRandomAttackTargets(UnitEntity* enemy) {
  if (!enemy) return;
  const std::vector<SoldierEntity*> soldiers = m_soldiers;
  for (SoldierEntity* soldier : soldiers) {
    if (SoldierEntity* target = RandomSoldierOf(enemy)) OrderAttack(soldier, target, enemy);
  }
}

void UnitEntity::SetCarefullySelectedAttackTargets(SoldierEntity* clicked) {
  if (!clicked || !clicked->GetParentUnit()) return;
  UnitEntity* enemy = clicked->GetParentUnit();
  const std::vector<SoldierEntity*> soldiers = m_soldiers;
  for (size_t i = 0; i < soldiers.size(); ++i) {
    SoldierEntity* target = i < 2 ? clicked : RandomSoldierOf(enemy);
    if (target) OrderAttack(soldiers[i], target, enemy);
  }
}

void UnitEntity::SetBuildingAttackTargets(BaseEntity* building) {
  if (!building) return;
  const std::vector<SoldierEntity*> soldiers = m_soldiers;
  for (SoldierEntity* soldier : soldiers) OrderAttack(soldier, building, building);
}

void UnitEntity::SetCollectingTargetsForSoldiers(CollectableEntity* collectable) {
  if (!collectable) return;
  VisEntityCollection_cl found;
  const char* key = collectable->GetObjectKey();
  if (Vision::Game.SearchEntity(key ? key : "", found) == 0) return;
  // The clicked item first, then the free ones that share its key; only collectables
  // can be picked up, so nothing else may stand in the queue.
  std::vector<CollectableEntity*> queue{collectable};
  for (VisBaseEntity_cl* e : found) {
    if (e == collectable || !e->IsOfType(CollectableEntity::GetClassTypeId())) continue;
    auto* other = static_cast<CollectableEntity*>(e);
    if (!other->HasCarrier()) queue.push_back(other);
  }
  size_t head = 0;
  const std::vector<SoldierEntity*> soldiers = m_soldiers;
  for (SoldierEntity* soldier : soldiers) {
    if (head >= queue.size()) break;
    if (!soldier) continue;
    auto* carry = static_cast<CarryComponent*>(soldier->GetComponentOfType(CarryComponent::GetClassTypeId()));
    if (!carry || carry->IsCarrying()) continue;
    CollectableEntity* item = queue[head++];
    soldier->SendMsg(VIS_MSG_USER_UNIT_COLLECT, (INT_PTR)&item->GetPosition(), (INT_PTR)item);
    carry->SetCarryTarget(item);
  }
}

void UnitEntity::GenerateTargetBox(const VisVector_cl& target, const VisMatrix3x3_cl& rotation) {
  const float d = (float)(m_iFormationRows - 1) * 0.5f * (float)m_iFormationDistance;
  const float w = (float)(m_iFormationColumns - 1) * 0.5f * (float)m_iFormationDistance;
  const VisVector_cl corners[4] = {{-d, w, 0.0f}, {d, w, 0.0f}, {d, -w, 0.0f}, {-d, -w, 0.0f}};
  m_targetBox.SetFlag(0);
  for (int i = 0; i < 4; ++i) {
    VisVector_cl p = target + rotation * corners[i];
    p.w = 1.0f;
    m_targetBox.SetPoint(i, p);
  }
  m_targetBox.SetFlag(1);
}

// ---- records -----------------------------------------------------------------------------

void UnitEntity::Disband() {
  SetNation(0);
  SetSave(0);
  UnitEntityTemplate templ("UnitEntity");
  templ.m_vPosition = GetPosition();
  templ.m_iNation = 0;
  templ.m_iNumSoldiers = 0;
  templ.m_iMaxNumSoldiers = 1;
  templ.m_iUnitType = UNIT_TYPE_DISBANDED;
  templ.m_sSoldierScriptFile = "scripts/LandUnits/Characters/DisbandedScript.lua";
  VisBaseEntity_cl* entity = Vision::Game.CreateEntity(templ);
  if (!entity || !entity->IsOfType(UnitEntity::GetClassTypeId())) return;
  UnitEntity* disbanded = static_cast<UnitEntity*>(entity);
  disbanded->SetCastShadows(true);
  disbanded->ResetSoldierPositions();

  VScriptResourceManager* scripts = Vision::GetScriptManager();
  const std::vector<SoldierEntity*> soldiers = m_soldiers;
  for (SoldierEntity* soldier : soldiers) {
    if (VEntityHighlightManager::HasInstance() && VEntityHighlightManager::GetInstance()->IsUnitRegistered(soldier))
      VEntityHighlightManager::GetInstance()->RemoveUnitHighlight(soldier);
    if (scripts) soldier->SetAIScript("scripts/LandUnits/Characters/AI/DisbandedUnit.lua");
    soldier->SetSave(0);
    RemoveSoldier(soldier);
    disbanded->AddSoldier(soldier);
    soldier->SetParentUnit(disbanded);
    soldier->SetNation(0);
  }
}

void UnitEntity::ShowUnitInfo(bool show) {
  if (!GameManager::HasInstance() || GameManager::GetInstance()->GetLocation() != 1 || m_iUnitType == 0) return;
  if (!m_pUnitInfo) {
    m_pUnitInfo = new FrameUnitInfo();
    if (!m_pUnitInfo->Init()) {
      delete m_pUnitInfo;
      m_pUnitInfo = nullptr;
      return;
    }
    m_pUnitInfo->SetData(this);
    if (!GUIManager::GetInstance()->AddToTheBaseFrame(m_pUnitInfo->GetRootWindow()))
      Vision::Error.Warning("Failed to ADD Unit Info!");
  }
  bool visible = false;
  if (show) {
    VisVector_cl top = GetPosition();
    top.z = m_boundingBox.IsValid() ? m_boundingBox.m_vMax.z : top.z;
    float x = 0.0f, y = 0.0f;
    VisRenderContext_cl* context = VisRenderContext_cl::GetMainRenderContext();
    const bool inFront = context && context->Project2D(top, x, y);
    const bool soldierSeen = m_soldiers.empty() || m_soldiers[0]->WasVisibleInAnyLastFrame();
    if (inFront && soldierSeen) {
      m_pUnitInfo->SetVisible(true);
      m_pUnitInfo->SetPosition(x, y);
      visible = true;
    }
  }
  if (!visible && m_pUnitInfo->IsVisible()) m_pUnitInfo->SetVisible(false);
}

void UnitEntity::SaveToTemplate(UnitEntityTemplate* templ) {
  if (!templ) return;
  templ->TakeFieldsFrom(*this);
  templ->m_vPosition = GetPosition();
  templ->m_vOrientation = GetOrientation();
  const char* model = GetMeshFileName();
  if (model && (model[0] == '\\' || model[0] == '/') && model[1] != '\\') ++model;
  templ->m_sModelFile = model ? model : "";
  templ->m_sKey = GetObjectKey();
  templ->m_sEntityParams = SaveGameManagerProto::GetInstance()->GetEntityParameters(this);
  if (GetUniqueID() == 0) SetUniqueID(GameManager::GetInstance()->GetNextUniqueID());
  templ->m_iUniqueID = GetUniqueID();
  templ->m_iReserved1 = 0;
  templ->m_iReserved2 = 0;
}

// ---- saved block ---------------------------------------------------------------------

void UnitEntity::Serialize(VArchive& ar) {
  BaseEntity::Serialize(ar);
  if (ar.IsLoading()) {
    ReadBlock(ar);
    return;
  }
  const bool editor = Vision::Editor.IsInEditor();
  SaveGameManagerProto::BeginBlock(ar, kUnitVersion);
  ar << m_fBillboardDistance << m_iNumSoldiers << m_iMaxNumSoldiers << m_iUnitWidth;
  ar << m_iFormationRows << m_iFormationColumns << m_iFormationDistance;
  ar << m_sSoldierScriptFile << m_sPathName;
  m_targetBox.SerializeX(ar);
  ar << (editor ? 0 : (int)m_soldiers.size());
  if (!editor) {
    for (SoldierEntity* soldier : m_soldiers) {
      ar.WriteObject(soldier);
      ar << soldier->GetPosition() << soldier->GetOrientation();
    }
  }
  ar << (editor ? 0u : (unsigned int)m_formation.size());
  if (!editor)
    for (const VisVector_cl& slot : m_formation) ar << slot;
  ar << (editor ? 0 : (int)m_slotAssignment.size());
  if (!editor)
    for (SoldierEntity* soldier : m_slotAssignment) ar.WriteObject(soldier);
  ar << m_sUnitScript << m_iUnitType;
  SaveGameManagerProto::EndBlock(ar);
}

bool UnitEntity::ReadBlock(VArchive& ar) {
  SavedBlockReader block(ar, "UnitEntity", kUnitVersion);
  if (!block.IsOpen()) return false;
  float billboard = 0.0f;
  int numSoldiers = 0, maxSoldiers = 0, width = 0, rows = 0, columns = 0, distance = 0;
  VString soldierScript, pathName, unitScript;
  SelectionBox box = m_targetBox;
  std::vector<SoldierEntity*> soldiers;
  std::vector<VisVector_cl> slots;
  std::vector<SoldierEntity*> assignment;
  int unitType = m_iUnitType;
  // Soldiers made while reading go again when the block turns out bad.
  auto fail = [&]() {
    for (SoldierEntity* soldier : soldiers)
      if (soldier && !soldier->IsMarkedRemoved()) soldier->Remove();
    return block.Fail();
  };
  if (block.Has(2)) {
    ar >> billboard >> numSoldiers >> maxSoldiers >> width >> rows >> columns >> distance;
    if (numSoldiers > MAX_SOLDIERS_TO_CREATE) return block.Fail("asks for more soldiers than a unit holds");
    int count = 0;
    if (!ArchiveLimits::ReadString(ar, soldierScript, MAX_SCRIPT_NAME_LENGTH) ||
        !ArchiveLimits::ReadString(ar, pathName, MAX_NAME_LENGTH) || !box.SerializeX(ar) ||
        !ArchiveLimits::ReadCount(ar, count, kSavedSoldierBytes))
      return fail();
    for (int i = 0; i < count; ++i) {
      SoldierEntity* soldier = nullptr;
      VisVector_cl position, orientation;
      ar >> soldier >> position >> orientation;
      if (!ar.IsOK()) return fail();
      if (!soldier) continue;
      soldier->SetParentUnit(this);
      soldier->SetOrientation(orientation);
      PlaceSoldier(soldier, position, nullptr);
      soldiers.push_back(soldier);
    }
    if (!ArchiveLimits::ReadCount(ar, count, kSavedSlotBytes)) return fail();
    slots.resize((size_t)count);
    for (VisVector_cl& slot : slots) ar >> slot;
    if (!ArchiveLimits::ReadCount(ar, count, kSavedAssignmentBytes)) return fail();
    for (int i = 0; i < count; ++i) {
      SoldierEntity* soldier = nullptr;
      ar >> soldier;
      assignment.push_back(soldier);
    }
    if (!ArchiveLimits::ReadString(ar, unitScript, MAX_NAME_LENGTH)) return fail();
  }
  if (block.Has(3)) ar >> unitType;
  if (!block.End()) {
    fail();
    return false;
  }
  if (block.Has(2)) {
    m_fBillboardDistance = billboard;
    m_iNumSoldiers = numSoldiers;
    m_iMaxNumSoldiers = maxSoldiers;
    m_iUnitWidth = width;
    m_iFormationRows = rows;
    m_iFormationColumns = columns;
    m_iFormationDistance = distance;
    m_sSoldierScriptFile = soldierScript;
    m_sPathName = pathName;
    m_targetBox = box;
    m_formation = std::move(slots);
    m_slotAssignment = std::move(assignment);
    m_sUnitScript = unitScript;
    m_iUnitType = unitType;
    for (SoldierEntity* soldier : soldiers) {
      soldier->SetTraceAccuracy(VIS_TRACEACC_AABOX);
      m_soldiers.push_back(soldier);
      RegisterSoldier(soldier);
    }
  }
  if (GameManager::HasInstance()) GameManager::GetInstance()->AddUniqueID(GetUniqueID());
  return true;
}
