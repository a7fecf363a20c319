// Enterable buildings: the entering range, entering and leaving the building's
// screen, and the name tag.
#include "components/SpecialBuildingComponent.h"

#include "components/BuildableBuildingComponent.h"
#include "components/BuildingRangeTools.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "core/Player.h"
#include "core/RtsManager.h"
#include "entities/BuildingBaseEntity.h"
#include "entities/Nation.h"
#include "entities/UnitEntity.h"
#include "gui/BaseWindow.h"
#include "gui/FrameBuildingInfo.h"
#include "gui/GUIManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/TownManager.h"
#include "Missions/MissionManager.h"
#include "util/MathTools.h"

#include "engine/base/VArchive.h"
#include "engine/base/VarTable.h"
#include "engine/base/VisInput.h"
#include "engine/core/VisBaseEntity.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisRenderContext.h"
#include "engine/core/VisVisibilityCollector.h"
#include "engine/core/VisWorld.h"

#include <CEGUI/Window.h>

#include <vector>

namespace {

const char kBlockVersion = 2;
const int kMessageEnterBuilding = 158;
// The editor's choices, in their numeric order.
const char* const kWindowTypes =
    "WT_NONE,WT_PIRATE_MANSION,WT_TRADING_POST,WT_BASIC_UNIT_BUILDING,WT_ADVANCED_UNIT_BUILDING,"
    "WT_SPECIAL_UNIT_BUILDING,WT_TAVERN,WT_SHIPYARD,WT_ALCHEMIST";

bool IsUnitBuilding(int type) {
  return type == WT_BASIC_UNIT_BUILDING || type == WT_ADVANCED_UNIT_BUILDING || type == WT_SPECIAL_UNIT_BUILDING;
}

GUIManager* RunningGui() {
  if (!GUIManager::HasInstance()) return nullptr;
  GUIManager* gui = GUIManager::GetInstance();
  return gui->IsInitialized() ? gui : nullptr;
}

}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(SpecialBuildingComponent, BaseComponent, &SpecialBuildingComponent::BuildVarList)

void SpecialBuildingComponent::BuildVarList(VARTABLE& t) {
  VAR_ENUM(t, SpecialBuildingComponent, m_eWindowType, "Which GUI frame to open", "WT_NONE", kWindowTypes);
  VAR_FLOAT(t, SpecialBuildingComponent, m_fEnteringDistance, "Distance where player can 'enter' building", "2.0");
}

SpecialBuildingComponent::SpecialBuildingComponent() = default;

SpecialBuildingComponent::~SpecialBuildingComponent() {
  Listen(false);
  delete m_pNameTag;
}

int SpecialBuildingComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  return BuildingRange::CanAttachToBuilding(object, reason);
}

void SpecialBuildingComponent::Listen(bool on) {
  if (on == m_bListening) return;
  m_bListening = on;
  if (on)
    Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  else
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
}

VisBaseEntity_cl* SpecialBuildingComponent::GetOwnerEntity() const {
  return BuildingRange::AsEntity(m_pOwner);
}

void SpecialBuildingComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  if (!owner && m_pOwner) DeInitFunction();
  BaseComponent::SetOwner(owner);
  if (owner) InitFunction();
}

void SpecialBuildingComponent::InitFunction() {
  Listen(true);
  if (VisBaseEntity_cl* owner = GetOwnerEntity()) owner->SetTraceAccuracy(VIS_TRACEACC_POLYGONS);
  if (Vision::Editor.IsInEditor() || m_pNameTag) return;
  m_pNameTag = new FrameBuildingInfo();
  if (!m_pNameTag->Init()) {
    delete m_pNameTag;
    m_pNameTag = nullptr;
  }
  AddToCurrentFrame();
}

void SpecialBuildingComponent::DeInitFunction() {
  Listen(false);
  if (VisBaseEntity_cl* owner = GetOwnerEntity()) owner->SetTraceAccuracy(VIS_TRACEACC_OBOX);
  if (Vision::Editor.IsInEditor()) return;
  RemoveFromCurrentFrame();
  delete m_pNameTag;
  m_pNameTag = nullptr;
}

void SpecialBuildingComponent::AddToCurrentFrame() {
  GUIManager* gui = RunningGui();
  if (!gui || !gui->GetBaseFrame() || !m_pNameTag || !m_pNameTag->GetRootWindow() ||
      !gui->AddToTheBaseFrame(m_pNameTag->GetRootWindow()))
    Vision::Error.Warning("Failed to ADD Name tag");
}

void SpecialBuildingComponent::RemoveFromCurrentFrame() {
  GUIManager* gui = RunningGui();
  if (!gui || !gui->GetBaseFrame() || !m_pNameTag || !m_pNameTag->GetRootWindow() ||
      !gui->RemoveFromTheBaseFrame(m_pNameTag->GetRootWindow()))
    Vision::Error.Warning("Failed to REMOVE health bar!");
}

void SpecialBuildingComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) Update();
}

void SpecialBuildingComponent::MessageFunction(int id, INT_PTR p1, INT_PTR p2) {
  if (id == kMessageEnterBuilding) EnterBuilding();
}

void SpecialBuildingComponent::CheckDistance() {
  m_bInRange = false;
  VisBaseEntity_cl* owner = GetOwnerEntity();
  if (!owner) return;
  if (Player* player = RtsManager::GlobalManager().GetPlayer()) {
    std::vector<UnitEntity*> counting;
    if (UnitEntity* character = player->GetPlayerCharacter()) counting.push_back(character);
    if (IsUnitBuilding(m_eWindowType)) {
      for (int i = 0; i < player->GetPlayerUnitCount(); ++i) {
        UnitEntity* unit = player->GetPlayerUnit((unsigned)i);
        if (unit && unit != player->GetPlayerCharacter() && unit->IsHero()) counting.push_back(unit);
      }
    }
    for (UnitEntity* unit : counting) {
      if (MathTools::DistanceToEntityBoundingBox(unit->GetPosition(), owner) < m_fEnteringDistance) {
        m_bInRange = true;
        break;
      }
    }
  }
  BuildingRange::ShowInRange(owner, m_bInRange, kHighlightColour);
}

bool SpecialBuildingComponent::IsEntityVisible(VisBaseEntity_cl* entity) {
  if (!entity) return true;
  VisRenderContext_cl* context = VisRenderContext_cl::GetMainRenderContext();
  VisVisibilityCollector_cl* seen = context ? context->GetVisibilityCollector() : nullptr;
  return seen && seen->IsEntityVisible(entity);
}

void SpecialBuildingComponent::Update() {
  CheckDistance();
  VisBaseEntity_cl* owner = GetOwnerEntity();
  m_iHidden = (!Vision::Key.IsPressed(kNameTagKey) || !owner || owner->GetVisibleBitmask() == 0) ? 1 : 0;
  if (m_iHidden) {
    if (m_pNameTag) m_pNameTag->SetVisible(false);
    return;
  }
  VisBoundingBox_cl box;
  owner->GetCurrentVisBoundingBox(box);
  VisVector_cl top = owner->GetPosition();
  if (box.IsValid()) top.z = box.m_vMax.z;
  VisRenderContext_cl* context = VisRenderContext_cl::GetMainRenderContext();
  float x = 0.0f, y = 0.0f;
  int width = 0, height = 0;
  if (context) context->GetSize(width, height);
  const bool onScreen = context && context->Project2D(top, x, y) && x >= 0.0f && y >= 0.0f && x <= (float)width &&
                        y <= (float)height;
  if (!m_pNameTag) return;
  // A tag whose building left the screen goes too, rather than stay where it last stood.
  if (!onScreen || !IsEntityVisible(owner)) {
    m_pNameTag->SetVisible(false);
    return;
  }
  m_pNameTag->SetVisible(true);
  VString name;
  static_cast<BaseEntity*>(owner)->GetScriptValue("sName", name);
  m_pNameTag->SetData(name.AsChar());
  m_pNameTag->SetPosition(x, y);
}

bool SpecialBuildingComponent::EnterBuilding() {
  if (!m_bInRange) return false;
  if (m_eWindowType == WT_PIRATE_MANSION) {
    const int nationIndex = TownManager::GetInstance()->GetCurrentTownInfo().sceneType;
    Nation* nation = nationIndex >= 0 ? GameManager::GetInstance()->GetNation((unsigned)nationIndex) : nullptr;
    if (!nation || !nation->GetMansionAccessible()) return false;
    if (MissionManager::GlobalManager().GetOpenAndOngoingFactionMissions(nationIndex).empty()) return false;
  }
  if (m_pOwner) {
    if (auto* buildable = m_pOwner->Components<BuildableBuildingComponent>()) {
      if (buildable->CanConstruct() && buildable->GetProgress() == 0.0f) buildable->ShowFrame();
      return true;
    }
  }
  GUIManager* gui = RunningGui();
  if (gui && gui->GetBaseFrame()) {
    if (BaseWindow* frame = gui->GetWindow(GetWindowType())) gui->ShowWindow(frame, nullptr);
  }
  return true;
}

void SpecialBuildingComponent::ExitBuilding() {
  GUIManager* gui = RunningGui();
  if (!gui) return;
  BaseWindow* current = gui->GetCurrentFrame();
  if (current && current->GetWindowType() == GetWindowType()) gui->SetCurrentFrame(nullptr);
  BaseWindow* frame = gui->FindWindowA(GetWindowType());
  if (frame && frame->GetRootWindow() && frame->GetRootWindow() != gui->GetBaseFrame()) frame->RequestRemove();
}

void SpecialBuildingComponent::Serialize(VArchive& ar) {
  BaseComponent::Serialize(ar);
  SerializeX(ar);
}

bool SpecialBuildingComponent::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kBlockVersion);
    ar << m_eWindowType << m_fEnteringDistance;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "SpecialBuildingComponent", kBlockVersion);
  if (!block.IsOpen()) return false;
  int type = m_eWindowType;
  float distance = m_fEnteringDistance;
  if (block.Has(2)) ar >> type >> distance;
  if (!block.End()) return false;
  m_eWindowType = type;
  m_fEnteringDistance = distance;
  return true;
}
