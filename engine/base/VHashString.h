// String with a 32-bit hash of its text, used as a cheap map key.
#pragma once

#include "engine/base/VString.h"

class VBASE_IMPEXP VHashString {
 public:
  VHashString() = default;
  VHashString(const char* s) { SetString(s); }  // NOLINT
  void SetString(const char* s);
  const char* AsChar() const { return m_text.AsChar(); }
  uint32_t GetHash() const { return m_hash; }
  bool IsEmpty() const { return m_text.IsEmpty(); }
  bool operator==(const VHashString& o) const { return m_hash == o.m_hash && m_text == o.m_text; }
  bool operator<(const VHashString& o) const { return m_hash != o.m_hash ? m_hash < o.m_hash : m_text < o.m_text; }

  // The hash of a text (FNV-1a over its bytes).
  static uint32_t Hash(const char* s);

 private:
  VString m_text;
  uint32_t m_hash = 0;
};
