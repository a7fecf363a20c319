// Script instances inside archives: the file and the plain globals.
#include "engine/base/VArchive.h"
#include "engine/core/VScriptManager.h"

void VScriptResourceManager::WriteScriptInstance(VArchive& ar, IVScriptInstance* instance) {}

IVScriptInstance* VScriptResourceManager::ReadScriptInstance(VArchive& ar, VisTypedEngineObject_cl* owner) {
  return nullptr;
}
