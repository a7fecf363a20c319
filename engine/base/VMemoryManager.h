// Engine memory manager: the game's objects use plain new/delete; installing a
// manager only records it.
#pragma once

#include "engine/base/VBase.h"

class VBASE_IMPEXP IVMemoryManager {
 public:
  virtual ~IVMemoryManager() = default;
};

class VBASE_IMPEXP VSmallBlockMemoryManager : public IVMemoryManager {
 public:
  explicit VSmallBlockMemoryManager(bool debug = false) {}
};

VBASE_IMPEXP void SetVMemoryManager(IVMemoryManager* manager);
VBASE_IMPEXP IVMemoryManager* GetVMemoryManager();
