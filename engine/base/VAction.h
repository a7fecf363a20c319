// Console actions: commands typed into the engine console.
#pragma once

#include "engine/base/VString.h"
#include "engine/base/VType.h"

#include <string>
#include <vector>

// The words of a console line: split at blanks and tabs; double quotes group words
// (the quotes are dropped; an unclosed quote runs to the end of the line).
class VBASE_IMPEXP VArgList {
 public:
  VArgList() = default;
  explicit VArgList(const char* line);
  int GetArgCount() const { return (int)m_args.size(); }
  // Null past the end.
  const char* GetArgument(int i) const { return i >= 0 && i < (int)m_args.size() ? m_args[i].c_str() : nullptr; }
  bool CompareArgument(int i, const char* text) const;  // without regard to case
  // The whole word is a decimal integer / a number.
  bool IsInt(int i) const;
  bool IsFloat(int i) const;
  // 0 for a word that is no number or past the end.
  int AsInt(int i) const;
  float AsFloat(int i) const;
  // The list without its first n words (an action gets the words after its name).
  VArgList Skip(int n) const;

 private:
  std::vector<std::string> m_args;
};

class VBASE_IMPEXP VAction : public VTypedObject {
 public:
  explicit VAction(const char* name, const char* help = "") : m_name(name), m_help(help) {}
  const char* GetName() const { return m_name.AsChar(); }
  const char* GetHelp() const { return m_help.AsChar(); }
  // Runs the command with the words typed after its name (index 0 is the first of
  // them); 1 on success, 0 on failure.
  virtual int Do(const VArgList& args) = 0;
  // Prints to the console output of the manager it is registered with and to the log.
  void Print(const char* fmt, ...) __attribute__((format(printf, 2, 3)));

 private:
  friend class VActionManager;
  VString m_name;
  VString m_help;
  class VActionManager* m_pManager = nullptr;  // where Print goes; Vision::Actions when unregistered
};

// A module's action list, registered as a whole.
struct VModuleActions;

class VBASE_IMPEXP VActionManager {
 public:
  VActionManager() = default;
  // Deletes the actions still registered.
  ~VActionManager();
  VActionManager(const VActionManager&) = delete;
  VActionManager& operator=(const VActionManager&) = delete;

  // Registers an action; the manager owns it. A later action of the same name
  // (without regard to case) replaces and deletes the earlier one.
  void RegisterAction(VAction* action, const void* module = nullptr);
  // Creates and registers one action from every factory listed for the module with
  // AddModuleAction (see below); registering again replaces them.
  void RegisterModule(const void* module);
  // Deletes the actions registered for the module (null does nothing).
  void UnregisterModule(const void* module);
  VAction* FindAction(const char* name) const;
  int GetActionCount() const { return (int)m_actions.size(); }
  // Runs one console line (the first word names the action, without regard to
  // case); false for an empty line, an unknown command ("Unknown command: %s" is
  // printed) or an action that returns 0.
  bool Execute(const char* line);
  // The console's own open state (keys and ToggleWindow are ignored while open).
  bool IsConsoleOpen() const { return m_consoleOpen; }
  void SetConsoleOpen(bool open) { m_consoleOpen = open; }
  // The switch that the application and the plug-in start set.
  void SetConsoleManagerEnabled(bool on) { m_enabled = on; }
  bool IsConsoleManagerEnabled() const { return m_enabled; }
  // Output lines printed by actions.
  const std::vector<std::string>& GetOutput() const { return m_output; }
  void AddOutput(const std::string& line);
  void ClearOutput() { m_output.clear(); }
  // The line source: lines given here wait until ProcessLineSource runs them in
  // order (lines given while it runs wait for the next call).
  void ProcessLineSource();
  void SetLineSource(std::vector<std::string> lines) { m_pending = std::move(lines); }

  // Action factories listed by modules.
  typedef VAction* (*ActionFactory)();
  static void AddModuleAction(const void* module, ActionFactory factory);

 private:
  struct Entry { VAction* action; const void* module; };
  std::vector<Entry> m_actions;
  std::vector<std::string> m_output;
  std::vector<std::string> m_pending;
  bool m_consoleOpen = false;
  bool m_enabled = false;
};

namespace Vision {
VBASE_IMPEXP extern VActionManager Actions;
}  // namespace Vision
