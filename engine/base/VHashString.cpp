// String with a precomputed 32-bit hash of its text.
#include "engine/base/VHashString.h"

void VHashString::SetString(const char* s) {
  m_text = s;
  m_hash = Hash(s);
}

uint32_t VHashString::Hash(const char* s) {
  uint32_t h = 2166136261u;
  if (s)
    for (const unsigned char* p = (const unsigned char*)s; *p; ++p) {
      h ^= *p;
      h *= 16777619u;
    }
  return h;
}
