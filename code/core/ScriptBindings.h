// Registration of the game's script tables and wrapper classes with the engine's
// script manager, done once by the plug-in start before the game script runs.
#pragma once

void RegisterLuaBindings();
