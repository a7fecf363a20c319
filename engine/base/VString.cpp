// The engine's 8-bit string: search, replace, formatting and the number parses.
#include "engine/base/VString.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <strings.h>
#include <type_traits>

int VStringICompare(const char* a, const char* b) { return strcasecmp(a ? a : "", b ? b : ""); }
int VStringICompareN(const char* a, const char* b, size_t n) { return strncasecmp(a ? a : "", b ? b : "", n); }

int VString::Compare(const char* s) const { return strcmp(m_s.c_str(), s ? s : ""); }
int VString::CompareNoCase(const char* s) const { return VStringICompare(m_s.c_str(), s); }

namespace {
char LowerAscii(char c) { return (char)tolower((unsigned char)c); }

bool IsSpace(char c) { return isspace((unsigned char)c) != 0; }

// The text without leading and trailing white space.
std::string Trimmed(const char* s) {
  if (!s) return std::string();
  const char* b = s;
  while (*b && IsSpace(*b)) ++b;
  const char* e = b + strlen(b);
  while (e > b && IsSpace(e[-1])) --e;
  return std::string(b, e);
}
}  // namespace

int VString::Find(const char* sub, int start) const {
  if (!sub) return -1;
  if (start < 0) start = 0;
  if (start > GetLength()) return -1;
  size_t pos = m_s.find(sub, (size_t)start);
  return pos == std::string::npos ? -1 : (int)pos;
}

int VString::FindNoCase(const char* sub, int start) const {
  if (!sub) return -1;
  if (start < 0) start = 0;
  if (start > GetLength()) return -1;
  auto it = std::search(m_s.begin() + start, m_s.end(), sub, sub + strlen(sub),
                        [](char a, char b) { return LowerAscii(a) == LowerAscii(b); });
  if (it == m_s.end() && *sub) return -1;
  return (int)(it - m_s.begin());
}

bool VString::StartsWith(const char* prefix) const {
  if (!prefix) return true;
  size_t n = strlen(prefix);
  return m_s.size() >= n && m_s.compare(0, n, prefix) == 0;
}

bool VString::EndsWith(const char* suffix) const {
  if (!suffix) return true;
  size_t n = strlen(suffix);
  return m_s.size() >= n && m_s.compare(m_s.size() - n, n, suffix) == 0;
}

int VString::ReplaceAll(const char* what, const char* with) {
  // An empty pattern would match everywhere forever.
  if (!what || !*what) return 0;
  const std::string from(what);
  const std::string to(with ? with : "");
  int count = 0;
  std::string out;
  size_t pos = 0;
  for (;;) {
    size_t hit = m_s.find(from, pos);
    if (hit == std::string::npos) break;
    out.append(m_s, pos, hit - pos);
    out += to;
    pos = hit + from.size();
    ++count;
  }
  if (count == 0) return 0;
  out.append(m_s, pos, std::string::npos);
  m_s.swap(out);
  return count;
}

void VString::ToLower() {
  for (char& c : m_s) c = LowerAscii(c);
}

void VString::ToUpper() {
  for (char& c : m_s) c = (char)toupper((unsigned char)c);
}

void VString::TrimWhitespace() { m_s = Trimmed(m_s.c_str()); }

VString VString::Left(int count) const {
  if (count <= 0) return VString();
  return VString(m_s.substr(0, (size_t)count));
}

VString VString::Mid(int start, int count) const {
  if (start < 0) start = 0;
  if (start >= GetLength()) return VString();
  if (count < 0) return VString(m_s.substr((size_t)start));
  return VString(m_s.substr((size_t)start, (size_t)count));
}

int VString::Format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  int n = FormatArgList(fmt, args);
  va_end(args);
  return n;
}

int VString::FormatArgList(const char* fmt, va_list args) {
  // Formats into a fresh buffer: the arguments may point into this string.
  std::string out;
  if (fmt) {
    va_list copy;
    va_copy(copy, args);
    int n = vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    if (n > 0) {
      out.resize((size_t)n);
      vsnprintf(out.data(), (size_t)n + 1, fmt, args);
    }
  }
  m_s.swap(out);
  return GetLength();
}

int VString::NumericParse(const char* s) {
  if (!s) return 0;
  // Saturate instead of wrapping: long is wider than int here.
  long v = strtol(s, nullptr, 10);
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return (int)v;
}

// The typed parses ignore surrounding white space; anything else makes them fail
// and leave 'out' untouched.
bool VString::ParseBool(const char* s, bool& out) {
  std::string t = Trimmed(s);
  if (t == "1" || strcasecmp(t.c_str(), "TRUE") == 0) {
    out = true;
    return true;
  }
  if (t == "0" || strcasecmp(t.c_str(), "FALSE") == 0) {
    out = false;
    return true;
  }
  return false;
}

template <class T>
bool VString::ParseNumber(const char* s, T& out) {
  if (!s) return false;
  const char* b = s;
  while (*b && IsSpace(*b)) ++b;
  const char* e = b + strlen(b);
  while (e > b && IsSpace(e[-1])) --e;
  if (b != e && *b == '+' && b + 1 != e && b[1] != '-') ++b;
  // from_chars: the same text gives the same number whatever the C locale says.
  T v{};
  auto r = std::from_chars(b, e, v);
  if (b == e || r.ec != std::errc() || r.ptr != e) return false;
  // Infinities and NaN would poison every computation that reads the value.
  if constexpr (std::is_floating_point_v<T>)
    if (!std::isfinite(v)) return false;
  out = v;
  return true;
}

template bool VString::ParseNumber<int>(const char*, int&);
template bool VString::ParseNumber<long>(const char*, long&);
template bool VString::ParseNumber<long long>(const char*, long long&);
template bool VString::ParseNumber<float>(const char*, float&);
template bool VString::ParseNumber<double>(const char*, double&);
