// The vertex-animation result of an animation configuration. Our models carry no
// vertex animation, so only a configuration given one by its user has it.
#pragma once

#include "engine/base/VRefCounter.h"

class VBASE_IMPEXP VisVertexAnimResult_cl : public VRefCounter {};
