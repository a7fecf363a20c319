// Bounded reads for saved blocks: counts and strings are checked against what the
// rest of the archive can still hold (and against the field's own limit), so that a
// damaged or hostile file fails its block cleanly instead of being trusted.
#pragma once

#include "engine/base/VArchive.h"
#include "engine/base/VString.h"

#include <climits>
#include <cstdint>
#include <string>

namespace ArchiveLimits {

// Reads an int32 count. False, with the archive marked failed, when the archive has
// already failed, the count is negative or above maxCount, or count items of at least
// minItemBytes each cannot fit into the bytes left.
inline bool ReadCount(VArchive& ar, int& count, int minItemBytes, int maxCount = INT_MAX) {
  count = 0;
  int n = 0;
  ar >> n;
  if (!ar.IsOK() || n < 0 || n > maxCount || (int64_t)n * (minItemBytes > 0 ? minItemBytes : 1) > ar.GetRemaining()) {
    ar.MarkFailed();
    return false;
  }
  count = n;
  return true;
}

// Reads an archive string of at most maxLength bytes (a negative length is the empty
// string). False, with the archive marked failed, for a longer or truncated string.
inline bool ReadString(VArchive& ar, VString& out, int maxLength) {
  out.Reset();
  int n = 0;
  ar >> n;
  if (!ar.IsOK()) return false;
  if (n <= 0) return true;
  if (n > maxLength || (int64_t)n > ar.GetRemaining()) {
    ar.MarkFailed();
    return false;
  }
  std::string text((size_t)n, '\0');
  if (ar.Read(text.data(), (size_t)n) != (size_t)n) {
    ar.MarkFailed();
    return false;
  }
  out.Str() = std::move(text);
  return true;
}

}  // namespace ArchiveLimits
