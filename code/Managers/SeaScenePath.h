// Where the campaign's scenes lie.
#pragma once

#include "engine/base/VString.h"

// The world map.
inline constexpr char kWorldScenePath[] = "scenes\\world01\\World.vscene";

// A sea scene named by its folder: "<N>" is the file N.vscene in the scene folder
// N; a name that is a scene file already stays as it is.
VString SeaScenePath(const char* scene);
