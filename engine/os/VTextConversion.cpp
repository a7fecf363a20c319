// Text conversions between 8-bit and wide text. The "ANSI code page" of the game's
// Windows origin is UTF-8 here, read with a Latin-1 fallback so no byte is lost.
#include "engine/os/VOs.h"

#include <utf8.h>

#include <cstring>
#include <string>

namespace {

const wchar_t kReplacement = 0xFFFD;

bool IsScalarValue(uint32_t c) { return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

// Decodes UTF-8; each byte that starts no valid sequence goes through onInvalid,
// which appends its replacement and returns where decoding resumes.
template <class OnInvalid>
std::wstring DecodeUTF8(const char* text, OnInvalid onInvalid) {
  std::wstring out;
  if (!text) return out;
  const char* p = text;
  const char* end = text + strlen(text);
  while (p < end) {
    const char* bad = utf8::find_invalid(p, end);
    utf8::unchecked::utf8to32(p, bad, std::back_inserter(out));
    if (bad == end) break;
    p = onInvalid(bad, end, out);
  }
  return out;
}

}  // namespace

bool VIsValidUTF8(const char* text, size_t length) {
  if (!text) return length == 0;
  return utf8::is_valid(text, text + length);
}

std::wstring VNarrowToWide(const char* text) {
  return DecodeUTF8(text, [](const char* bad, const char*, std::wstring& out) {
    // The byte that starts no valid sequence is taken as Latin-1.
    out += (wchar_t)(unsigned char)*bad;
    return bad + 1;
  });
}

std::string VWideToNarrow(const wchar_t* text) {
  std::string out;
  if (!text) return out;
  for (const wchar_t* p = text; *p; ++p) {
    uint32_t c = (uint32_t)*p;
    out += c > 255 ? ' ' : (char)(unsigned char)c;
  }
  return out;
}

std::string VWideToUTF8(const wchar_t* text) {
  std::string out;
  if (!text) return out;
  for (const wchar_t* p = text; *p; ++p) {
    uint32_t c = (uint32_t)*p;
    utf8::unchecked::append(IsScalarValue(c) ? c : (uint32_t)kReplacement, std::back_inserter(out));
  }
  return out;
}

std::wstring VUTF8ToWide(const char* text) {
  return DecodeUTF8(text, [](const char* bad, const char* end, std::wstring& out) {
    out += kReplacement;
    // Skip the whole broken sequence: its lead byte and any continuation bytes.
    const char* p = bad + 1;
    while (p < end && ((unsigned char)*p & 0xC0) == 0x80) ++p;
    return p;
  });
}
