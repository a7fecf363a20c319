// Jokes in bottles: draws a joke the player has not seen yet and remembers the
// ones already shown.
#pragma once

#include "util/Singleton.h"

#include <string>
#include <vector>

class JokeManager : public Singleton<JokeManager> {
 public:
  virtual ~JokeManager();
  // Reads the jokes of the player's language. The jokes file is not read yet, so
  // the list stays empty.
  void Initialize();
  int GetJokeCount() const { return (int)m_jokes.size(); }

 private:
  friend class Singleton<JokeManager>;
  JokeManager() = default;
  std::vector<std::wstring> m_jokes;
  int m_iShownCount = 0;
  int m_iRound = 1;
};
