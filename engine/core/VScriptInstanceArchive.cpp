// Script instances inside archives: the file and the plain globals.
#include "engine/base/VArchive.h"
#include "engine/base/VisError.h"
#include "engine/core/VScriptManager.h"

void VScriptResourceManager::WriteScriptInstance(VArchive& ar, IVScriptInstance* instance) {
  ar << VString(instance ? instance->GetFileName() : "");
  if (instance) instance->SerializeState(ar);
}

IVScriptInstance* VScriptResourceManager::ReadScriptInstance(VArchive& ar, VisTypedEngineObject_cl* owner) {
  VString file;
  ar >> file;
  if (!ar.IsOK() || file.IsEmpty()) return nullptr;
  IVScriptInstance* instance = CreateScriptInstanceFromFile(file.AsChar(), owner);
  if (!instance) {
    // Its saved globals cannot be skipped without the script to read them into.
    Vision::Error.Warning("Archive '%s': script %s could not be loaded", ar.GetName(), file.AsChar());
    ar.MarkFailed();
    return nullptr;
  }
  instance->SerializeState(ar);
  if (!ar.IsOK()) {
    Vision::Error.Warning("Archive '%s': the saved state of script %s is damaged", ar.GetName(), file.AsChar());
    delete instance;
    return nullptr;
  }
  return instance;
}
