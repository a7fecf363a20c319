// Tutorial pages and their queue. The tutorial frame that shows the queue comes
// with the campaign screens; until then a page asked for is only queued.
#include "Managers/TutorialManager.h"

#include "Managers/SaveGameManager.h"
#include "engine/base/VArchive.h"

#include "engine/Vision.h"

#include <algorithm>

namespace {
const char* const kTutorialScript = "scripts\\Tutorials.lua";
}  // namespace

TutorialManager::TutorialManager() { Initialize(); }

TutorialManager::~TutorialManager() = default;

void TutorialManager::Initialize() {
  // A missing script is not reported: the game simply has no tutorials.
  if (!Vision::File.Exists(kTutorialScript)) return;
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
  m_queue.clear();
}

void TutorialManager::ShowTutorial(const char* id) {
  if (!id || !*id) return;
  auto it = m_tutorials.find(id);
  if (it == m_tutorials.end() || !it->second.enabled) return;
  if (std::find(m_queue.begin(), m_queue.end(), it->first) != m_queue.end()) return;
  m_queue.push_back(it->first);
}

void TutorialManager::ShowAllSeenTutorials() {
  for (auto& [id, page] : m_tutorials) {
    if (page.enabled) continue;
    page.enabled = true;
    ShowTutorial(id);
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
}

bool TutorialManager::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, 1);
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "TutorialManager", 1);
  if (!block.IsOpen()) return false;
  return block.End();
}
