// What plays the sound manager's instances aloud. The manager's state (play
// position, volume, fades, pause) stays the truth; a back end mirrors it once per
// frame after the cameras took their pose. Without one (the null back end)
// nothing is heard and every value is still kept.
#pragma once

#include "engine/base/VisMath.h"

#include <vector>

class VSoundObject;
class VSoundResource;

class VSoundBackend {
 public:
  virtual ~VSoundBackend() = default;
  virtual const char* GetName() const = 0;
  // The listener's pose (forward = local x, up = local z), the master volume and
  // every live instance: sources follow them and streams are refilled.
  virtual void Sync(const VisVector_cl& listenerPos, const VisMatrix3x3_cl& listenerRot, float masterVolume,
                    const std::vector<VSoundObject*>& live) = 0;
  // The instance or resource is about to be deleted: whatever plays it goes.
  virtual void Forget(VSoundObject* obj) = 0;
  virtual void Forget(VSoundResource* res) = 0;
};
