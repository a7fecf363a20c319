// Tutorial pages, their queue and the saved record of the pages seen.
#include "Managers/TutorialManager.h"

#include "Managers/SaveGameManager.h"
#include "engine/Vision.h"
#include "engine/base/VArchive.h"
#include "gui/FrameTutorial.h"
#include "gui/GUIManager.h"
#include "util/ArchiveLimits.h"

#include <algorithm>

namespace {

const char* const kTutorialScript = "scripts\\Tutorials.lua";
const int kBlockVersion = 1;
// Ids are localisation keys; anything longer is damage.
const int kMaxIdLength = 1024;

}  // namespace

TutorialManager::TutorialManager() { Initialize(); }

TutorialManager::~TutorialManager() = default;

void TutorialManager::Initialize() {
  // A missing script is not reported: the game simply has no tutorials.
  if (Vision::File.Exists(kTutorialScript)) {
    VScriptResourceManager* scripts = Vision::GetScriptManager();
    VSmartPtr<IVScriptInstance> script = scripts ? scripts->CreateScriptInstanceFromFile(kTutorialScript) : nullptr;
    if (script && script->HasFunction("GetTutorialAmount") && script->HasFunction("GetTutorialAt")) {
      int count = 0;
      script->ExecuteFunctionArg("GetTutorialAmount", "*>i", &count);
      for (int i = 1; i <= count; ++i) {
        VString id, text, voice;
        script->ExecuteFunctionArg("GetTutorialAt", "i>sss", i, &id, &text, &voice);
        // The first page with an id wins.
        if (id.IsEmpty() || m_tutorials.count(id)) continue;
        Tutorial& page = m_tutorials[id];
        page.id = id;
        page.text = text;
        page.voice = voice;
        page.index = i;
      }
    }
  }
  m_queue.clear();
}

const Tutorial* TutorialManager::Find(const char* id) const {
  if (!id || !*id) return nullptr;
  auto it = m_tutorials.find(VString(id));
  return it == m_tutorials.end() ? nullptr : &it->second;
}

void TutorialManager::ShowTutorial(const char* id) {
  const Tutorial* page = Find(id);
  if (!page || !page->enabled || GetQueueIndex(id) > 0) return;
  // A window the player has just closed waits only for the end of the frame to go;
  // it goes now (releasing what it showed), so that this page opens a new one.
  if (GUIManager::HasInstance()) {
    GUIManager* gui = GUIManager::GetInstance();
    BaseWindow* closing = gui->FindWindowA(WT_TUTORIAL);
    if (closing && closing->isRequestingRemove()) gui->CloseWindow(WT_TUTORIAL, true);
  }
  m_queue.push_back(page->id);
  ShowInWindow(*page);
}

void TutorialManager::ShowInWindow(const Tutorial& page) {
  if (!GUIManager::HasInstance()) return;
  GUIManager* gui = GUIManager::GetInstance();
  auto* frame = dynamic_cast<FrameTutorial*>(gui->GetWindow(WT_TUTORIAL));
  if (!frame) return;
  // A page asked for while the window shows another joins the end of the queue:
  // the window stays on its page, which would otherwise be cut off, and the
  // automatic paging reaches the new one in turn.
  if (GetQueueIndex(frame->GetCurrentIdentifier().AsChar()) > 0)
    frame->UpdatePageCount();
  else
    frame->InitWindow(page.id, page.text, page.voice, GetQueueIndex(page.id.AsChar()));
  gui->ShowTutorialWindow();
}

void TutorialManager::SetTutorialState(const VString& id, bool enabled) {
  if (id.IsEmpty()) return;
  auto it = m_tutorials.find(id);
  if (it != m_tutorials.end()) it->second.enabled = enabled;
}

void TutorialManager::ShowAllSeenTutorials() {
  for (auto& [id, page] : m_tutorials) {
    if (page.enabled) continue;
    page.enabled = true;
    ShowTutorial(id.AsChar());
  }
}

void TutorialManager::ReleaseQueue() {
  for (const VString& id : m_queue) {
    auto it = m_tutorials.find(id);
    if (it != m_tutorials.end()) it->second.enabled = false;
  }
  m_queue.clear();
}

void TutorialManager::Reset() {
  for (auto& entry : m_tutorials) entry.second.enabled = true;
  // The ended campaign's window may still close after this; what it showed must
  // not count as seen in the next campaign.
  m_queue.clear();
}

void TutorialManager::Disable() {
  for (auto& entry : m_tutorials) entry.second.enabled = false;
}

Tutorial TutorialManager::GetNextFromQueue(const char* id) const {
  const int at = GetQueueIndex(id);
  if (at > 0 && at < (int)m_queue.size()) {
    if (const Tutorial* next = Find(m_queue[at].AsChar())) return *next;
  }
  const Tutorial* self = Find(id);
  return self ? *self : Tutorial();
}

Tutorial TutorialManager::GetPrevFromQueue(const char* id) const {
  const int at = GetQueueIndex(id);
  if (at > 1) {
    if (const Tutorial* prev = Find(m_queue[at - 2].AsChar())) return *prev;
  }
  const Tutorial* self = Find(id);
  return self ? *self : Tutorial();
}

int TutorialManager::GetQueueIndex(const char* id) const {
  if (!id || !*id) return -1;
  for (size_t i = 0; i < m_queue.size(); ++i)
    if (m_queue[i] == id) return (int)i + 1;
  return -1;
}

int TutorialManager::GetFullIndex(const char* id) const {
  const Tutorial* page = Find(id);
  return page ? page->index : -1;
}

Tutorial& TutorialManager::GetTutorial(const VString& id) {
  Tutorial& page = m_tutorials[id];
  page.id = id;
  return page;
}

Tutorial TutorialManager::ByIndex(int index) const {
  if (index < 1) return Tutorial();
  for (const auto& entry : m_tutorials)
    if (entry.second.index == index) return entry.second;
  return Tutorial();
}

Tutorial TutorialManager::GetFirstTutorial() const { return ByIndex(1); }

Tutorial TutorialManager::GetNextTutorial(const VString& id) const {
  const int index = GetFullIndex(id.AsChar());
  return index < 1 ? Tutorial() : ByIndex(index + 1);
}

Tutorial TutorialManager::GetPrevTutorial(const VString& id) const {
  const int index = GetFullIndex(id.AsChar());
  return index < 1 ? Tutorial() : ByIndex(index - 1);
}

bool TutorialManager::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kBlockVersion);
    ar << (int)m_tutorials.size();
    for (const auto& [id, page] : m_tutorials) ar << id << page.enabled;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "TutorialManager", kBlockVersion);
  if (!block.IsOpen()) return false;
  std::vector<std::pair<VString, bool>> flags;
  if (block.Has(1)) {
    int count = 0;
    // An entry is at least an empty string's length and the flag.
    if (!ArchiveLimits::ReadCount(ar, count, 5)) return block.Fail("the number of tutorial pages");
    flags.resize((size_t)count);
    for (auto& [id, enabled] : flags) {
      if (!ArchiveLimits::ReadString(ar, id, kMaxIdLength)) return block.Fail("a tutorial page's id");
      ar >> enabled;
    }
  }
  if (!block.End()) return false;
  // A page the script no longer defines is kept as an empty page under its id.
  for (const auto& [id, enabled] : flags) GetTutorial(id).enabled = enabled;
  return true;
}
