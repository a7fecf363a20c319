// The start and end tags that frame every saved block ("ARCH" ... "EOA"), kept apart
// from the save-game files so the framing can be used (and fuzzed) on its own.
#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"
#include "engine/base/VisError.h"

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

SavedBlockReader::SavedBlockReader(VArchive& ar, const char* owner, int newestVersion) : m_ar(ar), m_szOwner(owner) {
  if (!ar.IsOK()) return;
  char version = 0;
  if (!SaveGameManagerProto::CheckArchiveStartTag(ar)) {
    Vision::Error.Warning("%s: the saved block does not start with ARCH", m_szOwner);
  } else if (ar >> version, !ar.IsOK()) {
    Vision::Error.Warning("%s: the saved block ends before its version", m_szOwner);
  } else if (version < 0 || version > newestVersion) {
    Vision::Error.Warning("%s: the saved block has version %d, this game reads versions up to %d", m_szOwner,
                          (int)version, newestVersion);
  } else {
    m_iVersion = version;
    m_bOpen = true;
    return;
  }
  ar.MarkFailed();
}

bool SavedBlockReader::End() {
  if (!m_bOpen) return false;
  m_bOpen = false;
  // A field or nested block that failed has been reported where it failed.
  if (!m_ar.IsOK()) return false;
  if (SaveGameManagerProto::CheckArchiveEndTag(m_ar)) return true;
  Vision::Error.Warning("%s: the saved block (version %d) does not end with EOA", m_szOwner, m_iVersion);
  m_ar.MarkFailed();
  return false;
}

bool SavedBlockReader::Fail(const char* why) {
  if (why && m_ar.IsOK()) Vision::Error.Warning("%s: the saved block (version %d) %s", m_szOwner, m_iVersion, why);
  m_ar.MarkFailed();
  m_bOpen = false;
  return false;
}
