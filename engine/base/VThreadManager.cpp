// The one thread manager.
#include "engine/base/VThreadManager.h"

namespace Vision {
VThreadManager& GetThreadManager() {
  static VThreadManager s_manager;
  return s_manager;
}
}  // namespace Vision
