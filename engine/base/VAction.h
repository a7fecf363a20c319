// Console actions: commands typed into the engine console.
#pragma once

#include "engine/base/VString.h"
#include "engine/base/VType.h"

#include <string>
#include <vector>

class VBASE_IMPEXP VArgList {
 public:
  VArgList() = default;
  explicit VArgList(const char* line);
  int GetArgCount() const { return (int)m_args.size(); }
  // Null past the end.
  const char* GetArgument(int i) const { return i >= 0 && i < (int)m_args.size() ? m_args[i].c_str() : nullptr; }
  bool CompareArgument(int i, const char* text) const;  // without regard to case
  bool IsInt(int i) const;
  bool IsFloat(int i) const;
  int AsInt(int i) const;
  float AsFloat(int i) const;

 private:
  std::vector<std::string> m_args;
};

class VBASE_IMPEXP VAction : public VTypedObject {
 public:
  explicit VAction(const char* name, const char* help = "") : m_name(name), m_help(help) {}
  const char* GetName() const { return m_name.AsChar(); }
  const char* GetHelp() const { return m_help.AsChar(); }
  // Runs the command; 1 on success, 0 on failure.
  virtual int Do(const VArgList& args) = 0;
  // Prints to the console output (and the log).
  void Print(const char* fmt, ...) __attribute__((format(printf, 2, 3)));

 private:
  VString m_name;
  VString m_help;
};

// A module's action list, registered as a whole.
struct VModuleActions;

class VBASE_IMPEXP VActionManager {
 public:
  // Registers an action; the manager owns it. A later action of the same name replaces it.
  void RegisterAction(VAction* action, const void* module = nullptr);
  // Registers the actions a module lists with V_REGISTER_ACTION (see below).
  void RegisterModule(const void* module);
  void UnregisterModule(const void* module);
  VAction* FindAction(const char* name) const;
  // Runs one console line; false for an unknown command or a failed action.
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
  // Runs every line a line source has ready (standard input, a test harness).
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
