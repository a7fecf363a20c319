// The game's script tables and wrapper classes.
#include "core/ScriptBindings.h"

// The game registers no native table of its own yet; the engine's base library
// is registered by the engine plug-in.
void RegisterLuaBindings() {}
