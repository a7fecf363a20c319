// Type record of the engine's physics-object interface.
#include "engine/core/IVisPhysicsObject.h"

V_IMPLEMENT_DYNAMIC(IVisPhysicsObject_cl, IVObjectComponent)
