// The save-game manager: documents folder and saved-block checks.
#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"
#include "engine/base/VString.h"
#include "engine/os/VOs.h"

SaveGameManagerProto::~SaveGameManagerProto() = default;

int SaveGameManagerProto::GetMyDocumentFolder(char* out) { return VGetMyDocumentFolder(out); }

static int CheckTag(VArchive& ar, const char* tag) {
  VString text;
  ar >> text;
  return ar.IsOK() && text == tag ? 1 : 0;
}

int SaveGameManagerProto::CheckArchiveStartTag(VArchive& ar) { return CheckTag(ar, "ARCH"); }

int SaveGameManagerProto::CheckArchiveEndTag(VArchive& ar) { return CheckTag(ar, "EOA"); }
