// Shared fixture of the script tests: a scratch data folder for script files,
// a fresh master state per test and the captured log.
#pragma once

#include "support/ScratchScriptFixture.h"

#include <string>

class ScriptTest : public ScratchScriptFixture {
 protected:
  ScriptTest() : ScratchScriptFixture("lua_scripts_") {}

  void ReleaseAfterEntities() override { Mgr()->SetSuspended(false); }

  static VScriptResourceManager* Mgr() { return Vision::GetScriptManager(); }

  // An instance of a script written for the test (null when it fails to load).
  IVScriptInstance* Load(const std::string& text, VisTypedEngineObject_cl* owner = nullptr,
                         const std::string& name = "scripts/test.lua") {
    Write(name, text);
    return Mgr()->CreateScriptInstanceFromFile(name.c_str(), owner);
  }
};
