// The save-game manager: documents folder and saved-block checks.
#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"
#include "engine/base/VisError.h"
#include "engine/os/VOs.h"

#include "engine/base/VarTable.h"
#include "engine/core/VisBaseEntity.h"

#include <algorithm>
#include <cstring>

VCallback SaveGameManagerProto::OnBeforeSave;
VCallback SaveGameManagerProto::OnAfterLoad;

SaveGameManagerProto::~SaveGameManagerProto() = default;

int SaveGameManagerProto::GetMyDocumentFolder(char* out) { return VGetMyDocumentFolder(out); }

namespace {

int CheckTag(VArchive& ar, const char* tag) {
  uint8_t raw[4];
  if (ar.Read(raw, 4, "i") < 4) return 0;
  const int count = (int)((uint32_t)raw[0] | (uint32_t)raw[1] << 8 | (uint32_t)raw[2] << 16 | (uint32_t)raw[3] << 24);
  if (count < 0) return 0;
  if ((int64_t)count > ar.GetRemaining()) {
    ar.MarkFailed();
    return 0;
  }
  // The text is compared as a C string, so only its head matters; the rest is
  // skipped rather than held.
  char head[8];
  const int keep = std::min(count, (int)sizeof(head) - 1);
  ar.Read(head, (size_t)keep);
  head[keep] = '\0';
  char skip[256];
  for (int left = count - keep; left > 0 && ar.IsOK(); left -= (int)sizeof(skip))
    ar.Read(skip, (size_t)std::min(left, (int)sizeof(skip)));
  return ar.IsOK() && strcmp(head, tag) == 0 ? 1 : 0;
}

}  // namespace

int SaveGameManagerProto::CheckArchiveStartTag(VArchive& ar) { return CheckTag(ar, "ARCH"); }

int SaveGameManagerProto::CheckArchiveEndTag(VArchive& ar) { return CheckTag(ar, "EOA"); }

VString SaveGameManagerProto::GetEntityParameters(VisBaseEntity_cl* entity) {
  if (!entity) return VString();
  VARTABLE* vars = entity->GetTypeId()->GetVarTable();
  return vars ? vars->GetParameterString(entity) : VString();
}

bool SaveGameManagerProto::SaveGame(int slot) {
  Vision::Error.Warning("SaveGame(%d): saving is not available yet", slot);
  return false;
}

bool SaveGameManagerProto::LoadGame(int slot) {
  Vision::Error.Warning("LoadGame(%d): loading is not available yet", slot);
  return false;
}

int SaveGameManagerProto::GetNewestSlot() const { return -1; }
