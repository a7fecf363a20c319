// The engine's free camera entity; the game creates it by class name and keeps it.
#pragma once

#include "engine/core/VisBaseEntity.h"

class VBASE_IMPEXP VisMouseCamera_cl : public VisBaseEntity_cl {
  V_DECLARE_DYNCREATE(VisMouseCamera_cl)
 public:
  VisMouseCamera_cl() = default;
};
