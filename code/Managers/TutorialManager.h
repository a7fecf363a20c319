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
  VString text;   // localisation key of the page's title
  VString voice;  // localisation key of the page's text; with "_VO" that of its spoken line
  bool enabled = true;
  int index = -1;  // 1-based position in the script's list; -1 for a page the script does not define
};

class TutorialManager : public Singleton<TutorialManager> {
 public:
  virtual ~TutorialManager();

  // Reads the pages from the tutorial script; a missing script leaves none.
  void Initialize();
  // A campaign ends or a level starts: every page may be shown again.
  void Reset();
  // The player switched tutorials off: no page is shown until the next Reset.
  void Disable();
  // Queues an enabled page that is not queued yet and shows it in the tutorial window.
  void ShowTutorial(const char* id);
  // Nothing for an unknown or empty id.
  void SetTutorialState(const VString& id, bool enabled);
  // Every disabled page is enabled again and queued, in id order.
  void ShowAllSeenTutorials();
  // The window closed: the queued pages count as seen.
  void ReleaseQueue();

  // The queued page after / before id; the page of id itself when there is none
  // (a default page when id is not stored).
  Tutorial GetNextFromQueue(const char* id) const;
  Tutorial GetPrevFromQueue(const char* id) const;
  // 1-based position in the queue, -1 when not queued.
  int GetQueueIndex(const char* id) const;
  // The page's position in the script's list, -1 when not stored.
  int GetFullIndex(const char* id) const;
  int GetTutorialCount() const { return (int)m_tutorials.size(); }
  // The stored page; an unknown id is stored as a default page.
  Tutorial& GetTutorial(const VString& id);
  // Copies by position in the script's list; a default page (index -1) when none.
  Tutorial GetFirstTutorial() const;
  Tutorial GetNextTutorial(const VString& id) const;
  Tutorial GetPrevTutorial(const VString& id) const;
  const std::vector<VString>& GetQueue() const { return m_queue; }

  // The F1 key: the window opens fast and does not page on by itself.
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

  const Tutorial* Find(const char* id) const;
  Tutorial ByIndex(int index) const;
  // Fills the window with the page (when it does not show a queued page yet) and
  // brings it to the front.
  void ShowInWindow(const Tutorial& page);

  std::map<VString, Tutorial> m_tutorials;
  std::vector<VString> m_queue;
  bool m_bFastTutorial = false;
  bool m_bReplayTutorials = false;
};
