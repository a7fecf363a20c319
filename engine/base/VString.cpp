#include "engine/base/VString.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <strings.h>

int VStringICompare(const char* a, const char* b) { return strcasecmp(a ? a : "", b ? b : ""); }
int VStringICompareN(const char* a, const char* b, size_t n) { return strncasecmp(a ? a : "", b ? b : "", n); }

int VString::Compare(const char* s) const { return strcmp(m_s.c_str(), s ? s : ""); }
int VString::CompareNoCase(const char* s) const { return VStringICompare(m_s.c_str(), s); }

int VString::NumericParse(const char* s) {
  if (!s) return 0;
  return (int)strtol(s, nullptr, 10);
}
