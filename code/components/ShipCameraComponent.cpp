// Camera framing every ship.
#include "components/ShipCameraComponent.h"

#include "components/AIShipComponent.h"
#include "components/ShipBattleCameraComponent.h"
#include "core/GameManager.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"

#include <algorithm>

V_IMPLEMENT_DYNCREATE(ShipCameraComponent, CameraBaseComponent_cl)

namespace {
const char kBlockVersion = 2;
const float kNone = -9999.0f;
const float kWaterLevel = -5.0f;

// The box of the ships to frame: the player's nation always, the others while
// they attack.
VisBoundingBox_cl ShipsBox() {
  VisBoundingBox_cl box;
  GameManager* game = GameManager::GetInstance();
  for (unsigned n = 0; n < game->GetNationCount(); ++n) {
    const Nation* nation = game->GetNation(n);
    if (!nation) continue;
    const DynArray_cl<ShipEntity*>& ships = nation->GetShips();
    for (unsigned i = 0; i < ships.GetSize(); ++i) {
      ShipEntity* ship = ships.Get(i);
      if (!ship || ship->IsMarkedRemoved()) continue;
      if (n != 1) {
        const AIShipComponent* ai = ship->Components<AIShipComponent>();
        if (!ai || ai->GetAIMode() != 0) continue;
      }
      VisBoundingBox_cl shipBox;
      ship->GetCurrentVisBoundingBox(shipBox);
      if (!shipBox.IsValid()) {
        box.ExpandToInclude(ship->GetPosition());
        continue;
      }
      box.ExpandToInclude(shipBox.m_vMin);
      box.ExpandToInclude(shipBox.m_vMax);
    }
  }
  return box;
}
}  // namespace

ShipCameraComponent::ShipCameraComponent() = default;

void ShipCameraComponent::SetForceCameraPosition(const VisVector_cl& position) {
  m_vForcedPosition = position;
  m_bJump = true;
}

void ShipCameraComponent::Update() {
  if (!m_pOwner) return;
  const VisBoundingBox_cl box = ShipsBox();
  // Nothing to frame: the camera stays where it is.
  if (!box.IsValid()) return;
  VisObject3D_cl* owner = static_cast<VisObject3D_cl*>(m_pOwner);

  const VisVector_cl mid = box.GetCenter();
  const VisVector_cl extent = box.GetExtent();
  const float cx = mid.x, cy = mid.y + 10.0f;
  m_fZoom = std::clamp(std::max(extent.x, extent.y) * 0.02f, m_fMinZoom, m_fMaxZoom);

  const VisVector_cl wanted(m_vOffset.x * m_fZoom + cx, m_vOffset.y * m_fZoom + cy, m_vOffset.z * m_fZoom + kWaterLevel);
  const VisVector_cl eased = ShipBattleCameraComponent::CalculateFixedPosition(owner->GetPosition(), wanted, 1.0f);

  const VisVector_cl look(cx, cy, kWaterLevel);
  if (m_vLookAt.x == kNone && m_vLookAt.y == kNone && m_vLookAt.z == kNone)
    m_vLookAt = look;
  else
    m_vLookAt = ShipBattleCameraComponent::CalculateFixedPosition(m_vLookAt, look, 1.0f);

  const VisVector_cl position = m_bJump ? wanted : eased;
  m_bJump = false;
  owner->SetPosition(position);
  ShipBattleCameraComponent::CalculateRotationMatrix(owner, position, m_vLookAt);
}

void ShipCameraComponent::Serialize(VArchive& ar) {
  CameraBaseComponent_cl::Serialize(ar);
  if (!ar.IsOK()) return;
  SerializeX(ar);
}

bool ShipCameraComponent::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kBlockVersion);
    ar << m_bJump << m_vForcedPosition << m_vOffset << m_vLookAt << m_fMinZoom << m_fMaxZoom << m_fZoom;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "ShipCameraComponent", kBlockVersion);
  if (!block.IsOpen()) return false;
  bool jump = m_bJump;
  VisVector_cl forced = m_vForcedPosition, offset = m_vOffset, lookAt = m_vLookAt;
  float minimum = m_fMinZoom, maximum = m_fMaxZoom, zoom = m_fZoom;
  if (block.Has(2)) ar >> jump >> forced >> offset >> lookAt >> minimum >> maximum >> zoom;
  if (!block.End()) return false;
  m_bJump = jump;
  m_vForcedPosition = forced;
  m_vOffset = offset;
  m_vLookAt = lookAt;
  m_fMinZoom = minimum;
  m_fMaxZoom = maximum;
  m_fZoom = zoom;
  return true;
}
