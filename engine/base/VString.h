// Owned 8-bit string of the engine, with the helpers the game uses on it.
#pragma once

#include "engine/base/VBase.h"

#include <cstdarg>
#include <string>

class VArchive;

class VBASE_IMPEXP VString {
 public:
  VString() = default;
  VString(const char* s) { if (s) m_s = s; }  // NOLINT: implicit like the engine's
  VString(const std::string& s) : m_s(s) {}   // NOLINT
  VString(const VString&) = default;
  VString(VString&&) noexcept = default;
  VString& operator=(const VString&) = default;
  VString& operator=(VString&&) noexcept = default;
  VString& operator=(const char* s) { m_s = s ? s : ""; return *this; }

  // Never null: an empty string gives "".
  const char* AsChar() const { return m_s.c_str(); }
  operator const char*() const { return m_s.c_str(); }  // NOLINT
  const std::string& Str() const { return m_s; }
  std::string& Str() { return m_s; }

  int GetLength() const { return (int)m_s.size(); }
  bool IsEmpty() const { return m_s.empty(); }
  void Reset() { m_s.clear(); }

  bool operator==(const VString& o) const { return m_s == o.m_s; }
  bool operator==(const char* o) const { return m_s == (o ? o : ""); }
  bool operator!=(const VString& o) const { return m_s != o.m_s; }
  bool operator!=(const char* o) const { return !(*this == o); }
  // Strict weak order, so the string can key ordered maps.
  bool operator<(const VString& o) const { return m_s < o.m_s; }

  VString& operator+=(const char* s) { if (s) m_s += s; return *this; }
  VString& operator+=(const VString& s) { m_s += s.m_s; return *this; }
  VString& operator+=(char c) { m_s += c; return *this; }
  VString operator+(const char* s) const { VString r(*this); r += s; return r; }
  VString operator+(const VString& s) const { VString r(*this); r += s; return r; }

  int Compare(const char* s) const;         // like strcmp
  int CompareNoCase(const char* s) const;   // like _stricmp
  // Position of the first occurrence, or -1.
  int Find(const char* sub, int start = 0) const;
  int FindNoCase(const char* sub, int start = 0) const;
  bool Contains(const char* sub) const { return Find(sub) >= 0; }
  bool StartsWith(const char* prefix) const;
  bool EndsWith(const char* suffix) const;
  // Replaces every occurrence; returns the count.
  int ReplaceAll(const char* what, const char* with);
  void ToLower();
  void ToUpper();
  void TrimWhitespace();
  VString Left(int count) const;
  VString Mid(int start, int count = -1) const;

  // printf into this string; returns the new length.
  int Format(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
  int FormatArgList(const char* fmt, va_list args);

  // Decimal integer from the start of the text; a non-number gives 0.
  static int NumericParse(const char* s);
  // Typed parses used by settings: false when the text is not of that kind.
  static bool ParseBool(const char* s, bool& out);
  static bool ParseInt(const char* s, int& out) { return ParseNumber(s, out); }
  static bool ParseFloat(const char* s, float& out) { return ParseNumber(s, out); }
  // The whole text as a number of type T (int, long, long long, float, double):
  // white space around it and a leading "+" are allowed, the C locale plays no
  // part. False, leaving 'out' untouched, for anything else, for a value out of
  // the type's range and for an infinite or NaN float.
  template <class T>
  static bool ParseNumber(const char* s, T& out);

 private:
  std::string m_s;
};

inline VString operator+(const char* a, const VString& b) { VString r(a); r += b; return r; }

// Case-insensitive compare of two 8-bit texts; a null text equals "".
VBASE_IMPEXP int VStringICompare(const char* a, const char* b);
VBASE_IMPEXP int VStringICompareN(const char* a, const char* b, size_t n);
