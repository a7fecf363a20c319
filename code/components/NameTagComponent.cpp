// Name tags of ships and towns: which panel, and where it floats.
#include "components/NameTagComponent.h"

#include "core/GameManager.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/TownEntity.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameEnemyShipInfo.h"
#include "gui/FramePlayerShipInfo.h"
#include "gui/FrameTownInfo.h"
#include "gui/GUIManager.h"

#include "engine/base/VisInput.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisRenderContext.h"
#include "engine/render/VisWorldRenderer.h"

#include <CEGUI/Window.h>

namespace {

const char* const kPlayerPanelName = "ShipInfoPlayer";

GUIManager* RunningGui() {
  return GUIManager::HasInstance() && GUIManager::GetInstance()->IsInitialized() ? GUIManager::GetInstance() : nullptr;
}

bool IsPlayerNation(int nation) {
  const Nation* player = GameManager::HasInstance() ? GameManager::GetInstance()->GetPlayerNation() : nullptr;
  return player && player->GetNationId() == nation;
}

// The owner's box in the main camera's view volume (its position when it has none).
bool IsInView(VisBaseEntity_cl* entity, const VisRenderContext_cl& context) {
  const VisFrustum_cl frustum(context);
  VisBoundingBox_cl box;
  entity->GetLocalVisBoundingBox(box);
  return box.IsValid() ? frustum.IsBoxInside(box, entity->GetPosition(), entity->GetRotationMatrix())
                       : frustum.IsPointInside(entity->GetPosition());
}

}  // namespace

V_IMPLEMENT_DYNCREATE(NameTagComponent, BaseComponent)

NameTagComponent::NameTagComponent() { Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this); }

NameTagComponent::~NameTagComponent() {
  Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  DestroyPanel();
}

int NameTagComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  if (object->IsOfType(ShipEntity::GetClassTypeId()) || object->IsOfType(TownEntity::GetClassTypeId())) return 1;
  reason = "Component can only be added to instances of ShipEntity/TownEntity or derived classes.";
  return 0;
}

void NameTagComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  BaseComponent::SetOwner(owner);
  if (owner)
    CommonInit();
  else
    DeInit();
}

void NameTagComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) Update();
}

void NameTagComponent::CommonInit() {
  if (m_pPanel || !m_pOwner) return;
  BaseWindow* panel = nullptr;
  if (m_pOwner->IsOfType(ShipEntity::GetClassTypeId())) {
    ShipEntity* ship = static_cast<ShipEntity*>(m_pOwner);
    const ShipStats* stats = ship->GetStats();
    if (IsPlayerNation(ship->GetNation()) && (!stats || stats->IsPlayerShip())) {
      // One player panel at a time: its window's name is not numbered.
      GUIManager* gui = RunningGui();
      if (gui && gui->GetBaseFrame() && gui->GetBaseFrame()->isChild(kPlayerPanelName)) return;
      panel = new FramePlayerShipInfo();
    } else {
      panel = new FrameEnemyShipInfo();
    }
  } else if (m_pOwner->IsOfType(TownEntity::GetClassTypeId())) {
    panel = new FrameTownInfo();
  }
  if (!panel) return;
  if (!panel->Init() || !panel->GetRootWindow()) {
    CeguiCompat::DestroyWindow(panel->GetRootWindow());
    delete panel;
    return;
  }
  m_pPanel = panel;
  CEGUI::Window* root = m_pPanel->GetRootWindow();
  CeguiCompat::Try("name tag", [&] {
    root->moveToBack();
    root->setAlwaysOnTop(false);
  });
  GUIManager* gui = RunningGui();
  if (!gui || !gui->AddToTheBaseFrame(root)) Vision::Error.Warning("Failed to ADD nametag!");
}

void NameTagComponent::DeInit() {
  if (!m_pPanel || !m_pPanel->GetRootWindow()) return;
  // A GUI already shut down took the window with it.
  GUIManager* gui = RunningGui();
  if (gui && !gui->RemoveFromTheBaseFrame(m_pPanel->GetRootWindow())) Vision::Error.Warning("Failed to REMOVE nametag!");
}

void NameTagComponent::DestroyPanel() {
  if (!m_pPanel) return;
  // A GUI already shut down took the window with it: the panel just goes.
  if (RunningGui() && m_pPanel->GetRootWindow() && m_pPanel->GetRootWindow()->getParent())
    RunningGui()->RemoveFromTheBaseFrame(m_pPanel->GetRootWindow());
  delete m_pPanel;
  m_pPanel = nullptr;
}

void NameTagComponent::Update() {
  if (!m_pPanel || !m_pOwner || !m_pOwner->IsOfType(VisBaseEntity_cl::GetClassTypeId())) return;
  // A GUI shut down took the panel's window with it.
  if (!RunningGui()) return;
  CEGUI::Window* root = m_pPanel->GetRootWindow();
  if (!root) return;
  VisBaseEntity_cl* owner = static_cast<VisBaseEntity_cl*>(m_pOwner);
  m_iHidden = !Vision::Key.IsPressed_SC(NAME_TAG_SCAN_CODE) || owner->GetVisibleBitmask() == 0 ? 1 : 0;
  if (m_iHidden) {
    if (root->isVisible()) root->hide();
    return;
  }

  VisBoundingBox_cl box;
  owner->GetCurrentVisBoundingBox(box);
  VisVector_cl top = owner->GetPosition();
  if (box.IsValid()) top.z = box.m_vMax.z;
  VisRenderContext_cl* context = VisRenderContext_cl::GetMainRenderContext();
  float x = 0.0f, y = 0.0f;
  if (!context || !context->Project2D(top, x, y) || !IsInView(owner, *context)) return;

  if (owner->IsOfType(TownEntity::GetClassTypeId())) {
    auto* tag = static_cast<FrameTownInfo*>(m_pPanel);
    root->show();
    tag->SetData(static_cast<TownEntity*>(owner));
    tag->SetPosition(x, y);
    return;
  }
  ShipEntity* ship = static_cast<ShipEntity*>(owner);
  if (!ship->GetStats()) return;
  root->show();
  // The panel is the kind made for the ship; a ship that changed sides keeps it.
  if (auto* own = dynamic_cast<FramePlayerShipInfo*>(m_pPanel)) {
    own->SetData(ship);
    own->SetPosition(x, y);
  } else if (auto* other = dynamic_cast<FrameEnemyShipInfo*>(m_pPanel)) {
    other->SetData(ship);
    other->SetPosition(x, y);
  }
}
