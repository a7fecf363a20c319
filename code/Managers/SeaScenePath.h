// Where a sea scene named by its folder lies: "<N>" is the file N.vscene in the
// scene folder N; a name that is a scene file already stays as it is.
#pragma once

#include "engine/base/VString.h"

VString SeaScenePath(const char* scene);
