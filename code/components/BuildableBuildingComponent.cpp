// Construction of stronghold buildings: the plot's range and highlight, the
// construction dialog, the stage models over the build time and the rise out of
// the ground.
#include "components/BuildableBuildingComponent.h"

#include "components/BuildingRangeTools.h"
#include "components/SpecialBuildingComponent.h"
#include "core/BaseEntity.h"
#include "core/GameManager.h"
#include "core/Player.h"
#include "core/RtsManager.h"
#include "entities/BuildingBaseEntity.h"
#include "entities/UnitEntity.h"
#include "gui/FrameConstruct.h"
#include "gui/GUIManager.h"
#include "Managers/AchievementManager.h"
#include "Managers/LocalizationTable.h"
#include "Managers/SaveGameManager.h"
#include "Managers/TutorialManager.h"
#include "util/ArchiveLimits.h"
#include "util/MathTools.h"

#include "engine/base/VArchive.h"
#include "engine/base/VarTable.h"
#include "engine/base/VisFile.h"
#include "engine/core/VDynamicMesh.h"
#include "engine/core/VMeshManager.h"
#include "engine/core/VisBaseEntity.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisGame.h"
#include "engine/core/VisLightSource.h"
#include "engine/core/VisParticleEffect.h"
#include "engine/core/VisParticleEffectFile.h"
#include "engine/core/VisParticleGroupManager.h"
#include "engine/core/VisWorld.h"
#include "engine/physics/vPhysXRigidBody.h"
#include "engine/sound/VSoundManager.h"
#include "engine/sound/VSoundObject.h"

#include <CEGUI/CEGUI.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

const char kBlockVersion = 2;
const int kMessageBeginConstruction = 203;
const int kMaxPathLength = 1024;
const unsigned kAllBits = 0xffffffffu;
const int kDefaultPrice = 100;
const float kRiseStiffness = 128.0f;
const float kRiseDamping = 8.0f;
const float kRiseSettledSpeed = 0.01f;
// A start time of 0 means "not begun": a construction begun at clock 0 starts just after it.
const float kEarliestStart = 1e-6f;

// The localised name of the kind of building a window type stands for.
std::wstring BuildingKindText(int windowType) {
  const char* key = nullptr;
  switch (windowType) {
    case WT_TRADING_POST: key = "str_TRADING_POST"; break;
    case WT_BASIC_UNIT_BUILDING: key = "str_BASIC_UNIT_BUILDING"; break;
    case WT_ADVANCED_UNIT_BUILDING: key = "str_ADVANCED_UNIT_BUILDING"; break;
    case WT_SPECIAL_UNIT_BUILDING: key = "str_SPECIAL_UNIT_BUILDING"; break;
    case WT_TAVERN: key = "str_TAVERN"; break;
    case WT_SHIPYARD: key = "str_SHIPYARD"; break;
    default: return L"building";
  }
  return LocalizationTable::GetInstance()->GetWideText(key);
}

// The model file as the owner keeps it, without one leading separator (a network
// path's "\\" stays).
VString OwnModelFile(const VisBaseEntity_cl* owner) {
  const char* model = owner->GetMeshFileName();
  if (!model) return VString();
  if ((model[0] == '\\' || model[0] == '/') && !(model[0] == '\\' && model[1] == '\\')) ++model;
  return VString(model);
}

}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(BuildableBuildingComponent, BaseComponent, &BuildableBuildingComponent::BuildVarList)

void BuildableBuildingComponent::BuildVarList(VARTABLE& t) {
  VAR_FLOAT(t, BuildableBuildingComponent, m_fUpdateInterval, "Update interval", "5.0");
  VAR_FLOAT(t, BuildableBuildingComponent, m_fBuildTime, "Build time (in seconds) (0.0 builds immediately)", "0.0");
  VAR_FLOAT(t, BuildableBuildingComponent, m_fConstructionDistance, "Distance where player can construct building",
            "2.0");
  VAR_STRING(t, BuildableBuildingComponent, m_sConstructionMeshFile,
             "Building construction mesh (prefix _2-9.model are loaded automatically", "");
  VAR_BOOL(t, BuildableBuildingComponent, m_bUseWorldTime, "Use World map time, instead of Vision time", "FALSE");
}

BuildableBuildingComponent::BuildableBuildingComponent() = default;

BuildableBuildingComponent::~BuildableBuildingComponent() {
  Listen(false);
  // An open construction dialog must not call into a plot that is gone.
  if (GUIManager::HasInstance())
    if (auto* frame = static_cast<FrameConstruct*>(GUIManager::GetInstance()->FindWindowA(WT_CONSTRUCT)))
      frame->OnPlotGone(this);
}

int BuildableBuildingComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  return BuildingRange::CanAttachToBuilding(object, reason);
}

void BuildableBuildingComponent::Listen(bool on) {
  if (on == m_bListening) return;
  m_bListening = on;
  if (on)
    Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  else
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
}

VisBaseEntity_cl* BuildableBuildingComponent::GetOwnerEntity() const {
  return BuildingRange::AsEntity(m_pOwner);
}

void BuildableBuildingComponent::RemoveHighlight() {
  BuildingRange::RemoveHighlight(GetOwnerEntity());
}

void BuildableBuildingComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  if (!owner && m_pOwner) DeInitFunction();
  BaseComponent::SetOwner(owner);
  if (owner) InitFunction();
}

void BuildableBuildingComponent::DeInitFunction() {
  Listen(false);
  RemoveHighlight();
  if (GUIManager::HasInstance())
    if (auto* frame = static_cast<FrameConstruct*>(GUIManager::GetInstance()->FindWindowA(WT_CONSTRUCT)))
      frame->OnPlotGone(this);
}

void BuildableBuildingComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data || data->m_pSender != &Vision::Callbacks.OnUpdateSceneBegin || m_bCompleted) return;
  if (m_fBuildTime > 0.0f) {
    UpdateConstructionMeshes();
  } else {
    Update();
  }
  if (!m_bCompleted) CheckDistance();
}

void BuildableBuildingComponent::MessageFunction(int id, INT_PTR p1, INT_PTR p2) {
  if (id == kMessageBeginConstruction) BeginConstruction();
}

float BuildableBuildingComponent::GetNow() const {
  if (m_bUseWorldTime) return GameManager::HasInstance() ? GameManager::GetInstance()->GetWorldTime() : 0.0f;
  return Vision::Timer.GetTime();
}

float BuildableBuildingComponent::GetProgress() const {
  if (!IsContructing()) return 0.0f;
  if (m_fBuildTime <= 0.0f) return 1.0f;
  const float progress = (GetNow() - m_fStartTime) / m_fBuildTime;
  return progress < 0.0f ? 0.0f : (progress > 1.0f ? 1.0f : progress);
}

void BuildableBuildingComponent::InitFunction() {
  if (Vision::Editor.IsInEditor()) return;
  VisBaseEntity_cl* owner = GetOwnerEntity();
  if (!owner) return;
  if (m_sFinalModelFile.IsEmpty()) m_sFinalModelFile = OwnModelFile(owner);
  Listen(true);
  if (m_fBuildTime > 0.0f) {
    InitConstructionMeshes();
    return;
  }
  VisBoundingBox_cl box;
  owner->GetBoundingBox(box);
  const float height = box.IsValid() ? box.m_vMax.z - box.m_vMin.z : 0.0f;
  m_fRiseTarget = owner->GetPosition().z;
  m_fRiseCurrent = m_fRiseTarget - height;
  m_fRiseSpeed = 0.0f;
  m_bRising = true;
  m_bStopAtTarget = false;
  m_fRiseStiffness = kRiseStiffness;
  m_fRiseDamping = kRiseDamping;
  if (!m_sConstructionMeshFile.IsEmpty()) {
    owner->SetAnimConfig(nullptr);
    owner->SetCustomTextureSet(nullptr);
    owner->SetMesh(m_sConstructionMeshFile.AsChar());
  }
}

void BuildableBuildingComponent::InitConstructionMeshes() {
  VisBaseEntity_cl* owner = GetOwnerEntity();
  if (!owner) return;
  const float progress = GetProgress();
  if (!m_sFinalModelFile.IsEmpty()) owner->SetMesh(m_sFinalModelFile.AsChar());
  if (progress >= 1.0f) {
    Complete(false);
    return;
  }
  for (auto& mesh : m_meshes) mesh = nullptr;
  m_iStageCount = 0;
  m_iCurrentStage = -1;
  if (m_sConstructionMeshFile.IsEmpty()) return;
  std::string base = m_sConstructionMeshFile.AsChar();
  const char* extension = VFileHelper::GetExtension(base.c_str());
  if (*extension) base.resize(base.size() - strlen(extension) - 1);
  m_meshes[0] = Vision::Game.LoadDynamicMesh(m_sConstructionMeshFile.AsChar());
  for (int n = 2; n <= 9 && m_iStageCount + 1 < kMaxMeshes; ++n) {
    char stage[1100];
    std::snprintf(stage, sizeof(stage), "%s_%d.model", base.c_str(), n);
    if (!Vision::File.Exists(stage)) continue;
    if (VDynamicMesh* mesh = Vision::Game.LoadDynamicMesh(stage)) m_meshes[(size_t)(++m_iStageCount)] = mesh;
  }
}

void BuildableBuildingComponent::UpdateConstructionMeshes() {
  m_fTimeSinceUpdate += Vision::Timer.GetTimeDifference();
  if (m_fTimeSinceUpdate < m_fUpdateInterval) return;
  m_fTimeSinceUpdate = 0.0f;
  const float progress = GetProgress();
  if (IsContructing() && progress >= 1.0f) {
    Complete(true);
    return;
  }
  const int stage = (int)((float)m_iStageCount * progress + 0.5f);
  if (stage == m_iCurrentStage) return;
  m_iCurrentStage = stage;
  VDynamicMesh* parts[kMaxMeshes] = {};
  for (int i = 0; i <= stage && i < kMaxMeshes; ++i) parts[i] = m_meshes[(size_t)i].GetPtr();
  VDynamicMesh* merged = VMeshManager::MergeDynamicMeshes(kMergedModelName, parts, stage + 1);
  VisBaseEntity_cl* owner = GetOwnerEntity();
  if (merged && owner) owner->SetMesh(merged);
}

void BuildableBuildingComponent::Complete(bool takeFinalModel) {
  VisBaseEntity_cl* owner = GetOwnerEntity();
  if (!owner || m_bCompleted) return;
  m_bCompleted = true;
  m_bRising = false;
  if (takeFinalModel && !m_sFinalModelFile.IsEmpty()) owner->SetMesh(m_sFinalModelFile.AsChar());
  owner->SetVisibleBitmask(kAllBits);
  RemoveHighlight();
  static_cast<BaseEntity*>(owner)->RemoveComponentDeferred(this);
}

void BuildableBuildingComponent::CheckDistance() {
  VisBaseEntity_cl* owner = GetOwnerEntity();
  if (!owner) return;
  m_bInRange = false;
  if (!IsContructing()) {
    Player* player = RtsManager::GlobalManager().GetPlayer();
    UnitEntity* character = player ? player->GetPlayerCharacter() : nullptr;
    m_bInRange = character &&
                 MathTools::DistanceToEntityBoundingBox(character->GetPosition(), owner) < m_fConstructionDistance;
  }
  BuildingRange::ShowInRange(owner, m_bInRange, kHighlightColour);
  if (!m_bInRange) return;
  if (!m_bTutorialShown) {
    m_bTutorialShown = true;
    TutorialManager::GetInstance()->ShowTutorial(kTutorial);
  }
}

void BuildableBuildingComponent::BeginConstruction() {
  VisBaseEntity_cl* owner = GetOwnerEntity();
  if (!owner || !CanConstruct()) return;
  const float now = GetNow();
  m_fStartTime = now > 0.0f ? now : kEarliestStart;
  m_bInRange = false;
  owner->SetVisibleBitmask(kAllBits);
  RemoveHighlight();
  if (VisParticleEffectFile_cl* effect = VisParticleGroupManager_cl::GlobalManager().LoadFromFile(kConstructionEffect))
    effect->CreateParticleEffectInstance(owner->GetPosition(), VisVector_cl(0, 0, 0));
  if (m_fBuildTime <= 0.0f && !m_sFinalModelFile.IsEmpty()) {
    owner->SetMesh(m_sFinalModelFile.AsChar());
    if (auto* body = owner->Components<vPhysXRigidBody>()) body->RebuildActor();
  }
  if (VSoundObject* sound = VSoundManager::GlobalManager().CreateSoundInstance(kConstructionSound, 0, 0))
    sound->SetPosition(owner->GetPosition());
}

bool BuildableBuildingComponent::OnConstructClicked(const CEGUI::EventArgs&) {
  BeginConstruction();
  return true;
}

void BuildableBuildingComponent::Update() {
  VisBaseEntity_cl* owner = GetOwnerEntity();
  if (!owner || !IsContructing() || !m_bRising) return;
  const float dt = Vision::Timer.GetTimeDifference();
  const float d = m_fRiseCurrent - m_fRiseTarget;
  m_fRiseSpeed += (-m_fRiseStiffness * d - m_fRiseDamping * m_fRiseSpeed) * dt;
  const float step = m_fRiseSpeed * dt;
  if (m_bStopAtTarget && std::fabs(step) > std::fabs(d)) {
    m_fRiseCurrent = m_fRiseTarget;
    m_fRiseSpeed = 0.0f;
  } else {
    m_fRiseCurrent += step;
  }
  const VisVector_cl& at = owner->GetPosition();
  owner->SetPosition(VisVector_cl(at.x, at.y, m_fRiseCurrent));
  if (std::fabs(m_fRiseSpeed) >= kRiseSettledSpeed) return;
  for (int i = 0; i < owner->GetNumChildren(); ++i) {
    VisObject3D_cl* child = owner->GetChild(i);
    if (child && child->IsOfType(VisParticleEffect_cl::GetClassTypeId())) {
      auto* effect = static_cast<VisParticleEffect_cl*>(child);
      if (effect->IsPaused()) effect->SetPause(false);
    } else if (child && child->IsOfType(VisLightSource_cl::GetClassTypeId())) {
      static_cast<VisLightSource_cl*>(child)->SetEnabled(true);
    }
  }
  Complete(false);
  AchievementManager::GetInstance()->IncValue(kRiseAchievement, 1.0f, true);
}

void BuildableBuildingComponent::ShowFrame() {
  GUIManager* gui = GUIManager::HasInstance() ? GUIManager::GetInstance() : nullptr;
  auto* frame = gui ? static_cast<FrameConstruct*>(gui->GetWindow(WT_CONSTRUCT)) : nullptr;
  auto* owner = static_cast<BaseEntity*>(GetOwnerEntity());
  if (!frame || !owner) return;
  const auto* special = owner->Components<SpecialBuildingComponent>();
  const std::wstring kind = BuildingKindText(special ? (int)special->GetWindowType() : WT_NONE);
  int price = kDefaultPrice;
  VString name, provides;
  owner->GetScriptValue("iPrice", price);
  owner->GetScriptValue("sName", name);
  owner->GetScriptValue("sProvides", provides);
  LocalizationTable* texts = LocalizationTable::GetInstance();
  // A plot without a name of its own is named by its kind.
  const std::wstring nameText = name.IsEmpty() ? kind : texts->GetWideText(name.AsChar());
  const std::wstring providesText = texts->GetWideText(provides.AsChar());
  frame->SetDescription(texts->GetText("str_CONSTRUCT_BUILDING_DESC", nameText.c_str(), providesText.c_str(), price));
  frame->UpdateYesButton(price);
  frame->SetPlot(this);
  frame->SetYesButtonFunction(CEGUI::Event::Subscriber(&BuildableBuildingComponent::OnConstructClicked, this));
  gui->ShowWindow(frame, nullptr);
}

void BuildableBuildingComponent::Serialize(VArchive& ar) {
  if (!SerializeX(ar) && ar.IsLoading()) return;
  BaseComponent::Serialize(ar);
}

bool BuildableBuildingComponent::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kBlockVersion);
    ar << m_fUpdateInterval << m_fStartTime << m_fBuildTime << m_fConstructionDistance;
    ar << m_sConstructionMeshFile << m_sFinalModelFile;
    ar << m_bUseWorldTime;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "BuildableBuildingComponent", kBlockVersion);
  if (!block.IsOpen()) return false;
  float interval = m_fUpdateInterval, start = m_fStartTime, buildTime = m_fBuildTime,
        distance = m_fConstructionDistance;
  VString mesh = m_sConstructionMeshFile, finalModel = m_sFinalModelFile;
  int worldTime = m_bUseWorldTime;
  if (block.Has(2)) {
    ar >> interval >> start >> buildTime >> distance;
    if (!ArchiveLimits::ReadString(ar, mesh, kMaxPathLength) || !ArchiveLimits::ReadString(ar, finalModel, kMaxPathLength))
      return block.Fail();
    ar >> worldTime;
  }
  if (!block.End()) return false;
  m_fUpdateInterval = interval;
  m_fStartTime = start;
  m_fBuildTime = buildTime;
  m_fConstructionDistance = distance;
  m_sConstructionMeshFile = mesh;
  m_sFinalModelFile = finalModel;
  m_bUseWorldTime = worldTime;
  return true;
}
