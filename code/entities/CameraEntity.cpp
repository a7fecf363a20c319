// The scene's camera entity.
#include "entities/CameraEntity.h"

V_IMPLEMENT_DYNCREATE(CameraEntity_cl, VisBaseEntity_cl)

CameraEntity_cl::CameraEntity_cl() = default;
