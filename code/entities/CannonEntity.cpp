// Cannon mount points: the muzzle offset, the special-cannon switch, the debug
// cross, and the relay of every message up to the ship.
#include "entities/CannonEntity.h"

#include "components/CannonComponent.h"
#include "entities/ShipEntity.h"
#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"
#include "engine/base/VarTable.h"
#include "engine/base/VisError.h"
#include "engine/os/VOs.h"

#include <cstring>

namespace {
const char kCannonEntityVersion = 2;
const float kDebugCrossHalf = 1.0f;
const uint32_t kDebugLineColour = 0xffd000ff;  // amber
}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(CannonEntity, VisBaseEntity_cl, &CannonEntity::BuildVarList)

void CannonEntity::BuildVarList(VARTABLE& t) {
  VAR_VECTOR(t, CannonEntity, m_vOffset, "Cannonball offset", "0/0/0");
  V_DEFINE_VAR(t, CannonEntity, m_bSpecialCannon, VULPTYPE_BOOL, "Treat as special cannon for special weapons", "FALSE",
               nullptr);
  V_DEFINE_VAR(t, CannonEntity, m_bDebugDraw, VULPTYPE_BOOL, "debug drawing", "FALSE", nullptr);
}

CannonEntity::CannonEntity() { SetUseEulerAngles(false); }

CannonEntity::~CannonEntity() { LeaveShipsSpecialCannon(); }

void CannonEntity::DeInitFunction() {
  LeaveShipsSpecialCannon();
  VisBaseEntity_cl::DeInitFunction();
}

void CannonEntity::LeaveShipsSpecialCannon() {
  VisObject3D_cl* parent = GetParent();
  if (!parent || !parent->IsOfType(ShipEntity::GetClassTypeId())) return;
  ShipEntity* ship = static_cast<ShipEntity*>(parent);
  if (CannonComponent* special = ship->GetSpecialCannon(); special && special->GetOwner() == this)
    ship->SetSpecialCannon(nullptr);
}

void CannonEntity::MessageFunction(int id, INT_PTR p1, INT_PTR p2) {
  if (id == VIS_MSG_EDITOR_PROPERTYCHANGED) {
    const char* name = reinterpret_cast<const char*>(p1);
    const char* value = reinterpret_cast<const char*>(p2);
    if (name && _stricmp(name, "m_bDebugDraw") == 0) m_bDebugDraw = value && std::strcmp(value, "TRUE") == 0 ? 1 : 0;
    return;
  }
  if (id == VIS_MSG_PHYSICS_CONTACT) return;
  VisObject3D_cl* parent = GetParent();
  if (parent && reinterpret_cast<INT_PTR>(parent) != p2)
    parent->MessageFunction(id, p1, reinterpret_cast<INT_PTR>(this));
  VisBaseEntity_cl::MessageFunction(id, p1, p2);
}

void CannonEntity::EditorThinkFunction() {
  if (m_bDebugDraw && GetVisibleBitmask() == 0xffffffffu) DebugDraw();
}

void CannonEntity::DebugDraw() {
  const VisVector_cl muzzle = GetPosition() + GetRotationMatrix() * m_vOffset;
  for (int axis = 0; axis < 3; ++axis) {
    VisVector_cl a = muzzle, b = muzzle;
    a[axis] -= kDebugCrossHalf;
    b[axis] += kDebugCrossHalf;
    Vision::Message.DrawSingleLine(a.x, a.y, a.z, b.x, b.y, b.z, kDebugLineColour, 1.0f);
  }
}

void CannonEntity::Serialize(VArchive& ar) {
  VisBaseEntity_cl::Serialize(ar);
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kCannonEntityVersion);
    ar << m_vOffset << m_bDebugDraw << m_bSpecialCannon;
    SaveGameManagerProto::EndBlock(ar);
    m_bDebugDraw = 0;
    return;
  }
  SavedBlockReader block(ar, "CannonEntity", kCannonEntityVersion);
  if (!block.IsOpen()) return;
  VisVector_cl offset;
  int debugDraw = 0, special = 0;
  if (block.Has(2)) ar >> offset >> debugDraw >> special;
  if (!block.End() || !block.Has(2)) return;
  m_vOffset = offset;
  m_bDebugDraw = debugDraw;
  m_bSpecialCannon = special;
}
