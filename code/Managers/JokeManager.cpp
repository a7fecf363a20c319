// Jokes in bottles: the unread list, the seen record and jokes.bin.
#include "Managers/JokeManager.h"

#include "Managers/LocalizationTable.h"
#include "engine/Vision.h"
#include "gui/FrameJokeInBottle.h"
#include "gui/GUIManager.h"
#include "util/MathTools.h"
#include "util/UserArchiveFile.h"

#include <algorithm>

JokeManager::~JokeManager() = default;

void JokeManager::Initialize() {
  const int count = LocalizationTable::GetInstance()->GetJokeCount();
  m_unseen.clear();
  for (int i = 0; i < count; ++i) {
    if (SeenJokesTable::Entry* e = m_seen.Find(i))
      e->m_iShown = 0;
    else
      m_seen.Append(i, 0);
    m_unseen.push_back(i);
  }
  LoadSeenJokes();
}

bool JokeManager::GetJokesFilePath(std::string& out) {
  return UserArchiveFile::GetUserFilePath("jokes.bin", out);
}

bool JokeManager::LoadSeenJokes() {
  std::string path;
  if (!GetJokesFilePath(path)) return false;
  SeenJokesTable loaded;
  if (!UserArchiveFile::Read(path.c_str(), [&](VArchive& ar) { loaded.Serialize(ar); })) return false;
  m_seen = loaded;
  // Jokes are found by their number: the file may come from a longer or shorter
  // jokes file than the one read now.
  m_unseen.erase(std::remove_if(m_unseen.begin(), m_unseen.end(), [&](int joke) { return m_seen.IsShown(joke); }),
                 m_unseen.end());
  return true;
}

bool JokeManager::SaveSeenJokes() {
  std::string path;
  if (!GetJokesFilePath(path)) return false;
  return UserArchiveFile::Write(path.c_str(), [&](VArchive& ar) { m_seen.Serialize(ar); });
}

void JokeManager::GetRandomJoke(CEGUI::String& out) {
  LocalizationTable* table = LocalizationTable::GetInstance();
  int joke = -1;
  if (!m_unseen.empty()) {
    const int index = MathTools::RandomInt((int)m_unseen.size());
    if (index >= 0 && index < (int)m_unseen.size()) {
      joke = m_unseen[index];
      if (SeenJokesTable::Entry* e = m_seen.Find(joke))
        e->m_iShown = 1;
      else
        m_seen.Append(joke, 1);
      m_unseen.erase(m_unseen.begin() + index);
      SaveSeenJokes();
    }
  } else if (table->GetJokeCount() > 0) {
    // Every joke has been read: any joke of the current file, nothing recorded.
    joke = MathTools::RandomInt(table->GetJokeCount());
  }
  out = joke >= 0 && joke < table->GetJokeCount() ? table->GetJoke(joke) : CEGUI::String();
}

void JokeManager::ShowJokeFrame(const CEGUI::String& text) {
  GUIManager* gui = GUIManager::GetInstance();
  auto* frame = dynamic_cast<FrameJokeInBottle*>(gui->GetWindow(WT_JOKE_IN_BOTTLE));
  if (!frame) return;
  frame->InitWindow(text, true);
  BaseWindow* current = gui->GetCurrentFrame();
  if (gui->IsInitialized() && current && current->GetRootWindow()) gui->ShowWindow(frame, nullptr);
}
