// Type record of the free camera entity (creatable by name).
#include "engine/core/VisMouseCamera.h"

V_IMPLEMENT_DYNCREATE(VisMouseCamera_cl, VisBaseEntity_cl)
