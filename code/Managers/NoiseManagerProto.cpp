// Gameplay noises that land units can hear.
#include "Managers/NoiseManagerProto.h"

NoiseManagerProto::~NoiseManagerProto() = default;
