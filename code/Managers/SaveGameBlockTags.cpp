// The start and end tags that frame every saved block ("ARCH" ... "EOA"), kept apart
// from the save-game files so the framing can be used (and fuzzed) on its own.
#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"

#include <algorithm>
#include <cstring>

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

void SaveGameManagerProto::BeginBlock(VArchive& ar, char version) { ar << "ARCH" << version; }

void SaveGameManagerProto::EndBlock(VArchive& ar) { ar << "EOA"; }

bool SaveGameManagerProto::ReadBlockStart(VArchive& ar, char& version) {
  version = 0;
  if (!CheckArchiveStartTag(ar)) return false;
  ar >> version;
  return true;
}

bool SaveGameManagerProto::ReadBlockEnd(VArchive& ar) { return CheckArchiveEndTag(ar) != 0; }
