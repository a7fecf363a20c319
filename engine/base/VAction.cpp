// Console actions: argument lists, the action manager and its line source.
#include "engine/base/VAction.h"

#include "engine/base/VisError.h"

#include <cstdarg>
#include <strings.h>
#include <utility>

namespace Vision {
VActionManager Actions;
}  // namespace Vision

// VArgList ----------------------------------------------------------------------

VArgList::VArgList(const char* line) {
  if (!line) return;
  const char* p = line;
  while (*p) {
    while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n') ++p;
    if (!*p) break;
    std::string word;
    bool quoted = false;
    // A word ends at a blank outside quotes; quotes may sit anywhere inside it.
    while (*p && (quoted || !(*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n'))) {
      if (*p == '"') {
        quoted = !quoted;
      } else {
        word += *p;
      }
      ++p;
    }
    m_args.push_back(std::move(word));
  }
}

bool VArgList::CompareArgument(int i, const char* text) const {
  const char* a = GetArgument(i);
  return a && text && strcasecmp(a, text) == 0;
}

bool VArgList::IsInt(int i) const {
  int v = 0;
  return VString::ParseInt(GetArgument(i), v);
}

bool VArgList::IsFloat(int i) const {
  float v = 0.0f;
  return VString::ParseFloat(GetArgument(i), v);
}

int VArgList::AsInt(int i) const {
  int v = 0;
  VString::ParseInt(GetArgument(i), v);
  return v;
}

float VArgList::AsFloat(int i) const {
  float v = 0.0f;
  VString::ParseFloat(GetArgument(i), v);
  return v;
}

VArgList VArgList::Skip(int n) const {
  VArgList out;
  for (int i = n < 0 ? 0 : n; i < GetArgCount(); ++i) out.m_args.push_back(m_args[i]);
  return out;
}

// VAction -----------------------------------------------------------------------

void VAction::Print(const char* fmt, ...) {
  if (!fmt) return;
  VString text;
  va_list args;
  va_start(args, fmt);
  text.FormatArgList(fmt, args);
  va_end(args);
  (m_pManager ? *m_pManager : Vision::Actions).AddOutput(text.Str());
}

// VActionManager ----------------------------------------------------------------

namespace {
struct ModuleFactory {
  const void* module;
  VActionManager::ActionFactory factory;
};
// Function-local, so modules may list their actions from static initialisers.
std::vector<ModuleFactory>& ModuleFactories() {
  static std::vector<ModuleFactory> list;
  return list;
}
}  // namespace

VActionManager::~VActionManager() {
  for (Entry& e : m_actions) delete e.action;
  m_actions.clear();
}

void VActionManager::AddModuleAction(const void* module, ActionFactory factory) {
  if (!factory) return;
  for (const ModuleFactory& f : ModuleFactories())
    if (f.module == module && f.factory == factory) return;
  ModuleFactories().push_back({module, factory});
}

void VActionManager::RegisterAction(VAction* action, const void* module) {
  if (!action) return;
  for (size_t i = 0; i < m_actions.size(); ++i) {
    if (m_actions[i].action == action) {
      m_actions[i].module = module;
      return;
    }
    if (strcasecmp(m_actions[i].action->GetName(), action->GetName()) == 0) {
      delete m_actions[i].action;
      m_actions.erase(m_actions.begin() + i);
      break;
    }
  }
  action->m_pManager = this;
  m_actions.push_back({action, module});
}

void VActionManager::RegisterModule(const void* module) {
  if (!module) return;
  for (const ModuleFactory& f : ModuleFactories())
    if (f.module == module) RegisterAction(f.factory(), module);
}

void VActionManager::UnregisterModule(const void* module) {
  if (!module) return;
  for (size_t i = 0; i < m_actions.size();) {
    if (m_actions[i].module == module) {
      delete m_actions[i].action;
      m_actions.erase(m_actions.begin() + i);
    } else {
      ++i;
    }
  }
}

VAction* VActionManager::FindAction(const char* name) const {
  if (!name) return nullptr;
  for (const Entry& e : m_actions)
    if (strcasecmp(e.action->GetName(), name) == 0) return e.action;
  return nullptr;
}

bool VActionManager::Execute(const char* line) {
  VArgList words(line);
  if (words.GetArgCount() == 0) return false;
  VAction* action = FindAction(words.GetArgument(0));
  if (!action) {
    AddOutput(std::string("Unknown command: ") + words.GetArgument(0));
    return false;
  }
  return action->Do(words.Skip(1)) != 0;
}

void VActionManager::AddOutput(const std::string& line) {
  m_output.push_back(line);
  Vision::Error.SystemMessage("%s", line.c_str());
}

void VActionManager::ProcessLineSource() {
  std::vector<std::string> lines;
  lines.swap(m_pending);
  for (const std::string& l : lines) Execute(l.c_str());
}
