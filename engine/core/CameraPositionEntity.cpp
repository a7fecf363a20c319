// Placed camera poses.
#include "engine/core/CameraPositionEntity.h"

#include "engine/base/VarTable.h"

namespace {
void BuildCameraPositionVars(VARTABLE& t) {
  V_DEFINE_VAR(t, CameraPositionEntity, m_fNearClip, VULPTYPE_FLOAT, "Near clip distance (0: keep)", "0", nullptr);
  V_DEFINE_VAR(t, CameraPositionEntity, m_fFarClip, VULPTYPE_FLOAT, "Far clip distance (0: keep)", "0", nullptr);
  V_DEFINE_VAR(t, CameraPositionEntity, m_fFOV, VULPTYPE_FLOAT, "Horizontal field of view (0: keep)", "0", nullptr);
}
}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(CameraPositionEntity, VisBaseEntity_cl, &BuildCameraPositionVars)

CameraPositionEntity::CameraPositionEntity() = default;
