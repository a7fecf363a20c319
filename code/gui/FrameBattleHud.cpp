// The sea head-up frame.
#include "gui/FrameBattleHud.h"

FrameBattleHud::FrameBattleHud() : BaseWindow(WT_BATTLE_HUD, "BattleHud.layout") {}
