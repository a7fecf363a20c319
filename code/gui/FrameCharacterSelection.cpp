#include "gui/FrameCharacterSelection.h"

#include "gui/GUIManager.h"

FrameCharacterSelection::FrameCharacterSelection() : BaseWindow(WT_CHARACTER_SELECTION, "CharacterSelection.layout") {}

FrameCharacterSelection::~FrameCharacterSelection() {}

float FrameCharacterSelection::StartFadeInAnimation() { return 0.0f; }

float FrameCharacterSelection::StartFadeOutAnimation() { return 0.0f; }
