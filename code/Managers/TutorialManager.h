// The tutorial pages read from "scripts\Tutorials.lua" and the queue of pages the
// tutorial window shows; each page is shown once until the pages are reset.
#pragma once

class VArchive;

#include "util/Singleton.h"

#include "engine/base/VString.h"

#include <map>
#include <vector>

// One tutorial page.
struct Tutorial {
  VString id;
  VString text;   // localisation key
  VString voice;  // base name of the spoken line
  bool enabled = true;
  int index = -1;  // 1-based position in the script's list
};

class TutorialManager : public Singleton<TutorialManager> {
 public:
  virtual ~TutorialManager();

  // Reads the pages from the tutorial script; a missing script leaves none.
  void Initialize();
  // A campaign ends or a level starts: every page may be shown again.
  void Reset();
  // Queues an enabled page that is not queued yet.
  void ShowTutorial(const char* id);
  // Every disabled page is enabled again and queued, in id order.
  void ShowAllSeenTutorials();
  void ReleaseQueue();
  int GetTutorialCount() const { return (int)m_tutorials.size(); }
  const std::vector<VString>& GetQueue() const { return m_queue; }
  // The F1 key: the player asked to see every tutorial again at once.
  void SetFastTutorial(bool fast) { m_bFastTutorial = fast; }
  bool IsFastTutorial() const { return m_bFastTutorial; }
  // Set by the in-game menu's tutorials button before it shows the seen pages again.
  void SetReplayTutorials(bool replay) { m_bReplayTutorials = replay; }
  bool IsReplayingTutorials() const { return m_bReplayTutorials; }

  // The block of the saved game; both directions, the archive's mode decides. A
  // failed block keeps what the manager held.
  bool SerializeX(VArchive& ar);

 private:
  friend class Singleton<TutorialManager>;
  TutorialManager();

  std::map<VString, Tutorial> m_tutorials;
  std::vector<VString> m_queue;
  bool m_bFastTutorial = false;
  bool m_bReplayTutorials = false;
};
