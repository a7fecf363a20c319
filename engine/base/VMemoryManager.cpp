// The installed engine memory manager: recorded only, allocation stays with new/delete.
#include "engine/base/VMemoryManager.h"

namespace {
IVMemoryManager* g_memoryManager = nullptr;
}  // namespace

void SetVMemoryManager(IVMemoryManager* manager) { g_memoryManager = manager; }

IVMemoryManager* GetVMemoryManager() { return g_memoryManager; }
