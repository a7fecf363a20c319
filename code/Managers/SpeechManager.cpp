// Speech: volume and conversation state.
#include "Managers/SpeechManager.h"

SpeechManager::~SpeechManager() = default;
