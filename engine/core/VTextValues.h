// Strict readers for the numbers and vectors of our XML data files.
#pragma once

#include "engine/base/VisMath.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>

// A whole finite number; false for empty text, trailing characters or overflow.
inline bool VParseFloat(const char* text, float& out) {
  if (!text || !*text) return false;
  char* end = nullptr;
  errno = 0;
  const float v = std::strtof(text, &end);
  if (errno != 0 || end == text || *end != '\0' || !std::isfinite(v)) return false;
  out = v;
  return true;
}

// "x/y/z" with three whole numbers.
inline bool VParseVector3(const char* text, VisVector_cl& out) {
  if (!text) return false;
  std::string parts[3];
  int n = 0;
  for (const char* p = text; *p; ++p) {
    if (*p == '/') {
      if (++n > 2) return false;
    } else {
      parts[n] += *p;
    }
  }
  float v[3];
  if (n != 2) return false;
  for (int i = 0; i < 3; ++i)
    if (!VParseFloat(parts[i].c_str(), v[i])) return false;
  out = VisVector_cl(v[0], v[1], v[2]);
  return true;
}
