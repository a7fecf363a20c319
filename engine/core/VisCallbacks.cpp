// The engine's callbacks; the frame, the world and the engine start and stop fire them.
#include "engine/core/VisCallbacks.h"

namespace Vision {
VisCallbackManager_cl Callbacks;
}  // namespace Vision
