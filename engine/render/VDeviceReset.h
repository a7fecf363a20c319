// A lost and restored video device, as the game knows it from Direct3D: the
// engine raises Vision::Callbacks.OnVideoDeviceLost and OnVideoDeviceRestored
// around a rebuild of the GL context, so the owners of GPU objects can keep what
// they need and make it again.
#pragma once

#include "engine/base/VBase.h"

namespace Vision {
// The renderer is marked lost and OnVideoDeviceLost fires while the old GL context
// is still current (GPU data can be read back); with a window the context is then
// replaced, so nothing made on the old one survives; then the mark goes and
// OnVideoDeviceRestored fires. Headless only the callbacks fire (tests raise the
// pair this way). False before the video starts, or when no new context could be
// made (the old one is kept; restored is raised all the same).
VBASE_IMPEXP bool ResetVideoDevice();
}  // namespace Vision
