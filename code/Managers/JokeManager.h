// Jokes in bottles: draws a joke the player has not read yet, so that every joke
// comes once before any repeats, and remembers the read ones in jokes.bin.
#pragma once

#include "Managers/SeenJokesTable.h"
#include "util/Singleton.h"

#include <string>
#include <vector>

namespace CEGUI {
class String;
}

class JokeManager : public Singleton<JokeManager> {
 public:
  virtual ~JokeManager();

  // Every joke of the localisation table counts as unread, then jokes.bin says
  // which were read.
  void Initialize();
  // An unread joke, recorded as read and saved; once all are read, any joke.
  // Empty without jokes.
  void GetRandomJoke(CEGUI::String& out);
  // Fills the joke frame with the text and shows it over the current frame.
  void ShowJokeFrame(const CEGUI::String& text);
  // <documents>/Fenwold/Brinemark/jokes.bin; false when it is absent or not valid.
  bool LoadSeenJokes();
  bool SaveSeenJokes();
  // The product folder is made when missing; false without one.
  static bool GetJokesFilePath(std::string& out);

  // Not stored: every start allows bottle jokes again.
  void DisableBottleJokes() { m_bBottleJokesEnabled = false; }
  void EnableBottleJokes() { m_bBottleJokesEnabled = true; }
  bool BottleJokesEnabled() const { return m_bBottleJokesEnabled; }

  // Joke numbers not read yet; the joke frame counts the read ones from it.
  int GetUnseenCount() const { return (int)m_unseen.size(); }
  const std::vector<int>& GetUnseen() const { return m_unseen; }
  const SeenJokesTable& GetSeenTable() const { return m_seen; }

 private:
  friend class Singleton<JokeManager>;
  JokeManager() = default;

  std::vector<int> m_unseen;
  SeenJokesTable m_seen;
  bool m_bBottleJokesEnabled = true;
};
