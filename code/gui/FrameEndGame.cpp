#include "gui/FrameEndGame.h"

#include "gui/GUIManager.h"

FrameEndGame::FrameEndGame() : BaseWindow(WT_END_GAME, "EndGame.layout") {}

FrameEndGame::~FrameEndGame() {}

bool FrameEndGame::SetBattleEndText(unsigned int, unsigned int) { return true; }
