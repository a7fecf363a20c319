// Jokes in bottles.
#include "Managers/JokeManager.h"

JokeManager::~JokeManager() = default;

void JokeManager::Initialize() {
  m_jokes.clear();
  m_iShownCount = 0;
  m_iRound = 1;
}
