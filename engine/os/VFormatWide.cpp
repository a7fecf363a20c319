// Wide printf with typed arguments. glibc's swprintf reads "%s" as narrow text and
// fails on a short buffer; this one knows each argument's type and always grows.
#include "engine/os/VOs.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

const int kMaxField = 4096;  // a width or precision beyond this is a broken format

struct Field {
  std::string flags;
  int width = -1;
  int precision = -1;
  wchar_t conversion = 0;
};

bool IsFlag(wchar_t c) { return c == L'-' || c == L'+' || c == L' ' || c == L'0' || c == L'#'; }

bool IsConversion(wchar_t c) {
  return c == L's' || c == L'd' || c == L'i' || c == L'u' || c == L'x' || c == L'f' || c == L'c';
}

int ReadNumber(const wchar_t*& p) {
  int n = 0;
  while (*p >= L'0' && *p <= L'9') {
    if (n <= kMaxField) n = n * 10 + (*p - L'0');
    ++p;
  }
  return n > kMaxField ? kMaxField : n;
}

// Reads flags, width, precision and length modifiers; p ends on the conversion.
Field ParseField(const wchar_t*& p) {
  Field field;
  while (IsFlag(*p)) field.flags += (char)*p++;
  if (*p >= L'0' && *p <= L'9') field.width = ReadNumber(p);
  if (*p == L'.') {
    ++p;
    field.precision = ReadNumber(p);
  }
  // The argument types are known, so size prefixes (l, ll, h, hh, L, I64...) carry nothing.
  for (;;) {
    if (*p == L'l' || *p == L'h' || *p == L'L' || *p == L'z' || *p == L'j' || *p == L't') {
      ++p;
    } else if (*p == L'I' && p[1] == L'6' && p[2] == L'4') {
      p += 3;
    } else if (*p == L'I' && p[1] == L'3' && p[2] == L'2') {
      p += 3;
    } else {
      break;
    }
  }
  field.conversion = *p;
  return field;
}

std::string PrintfFormat(const Field& field, const char* conversion) {
  std::string f = "%";
  f += field.flags;
  if (field.width >= 0) f += std::to_string(field.width);
  if (field.precision >= 0) {
    f += '.';
    f += std::to_string(field.precision);
  }
  f += conversion;
  return f;
}

template <class T>
void AppendPrintf(std::wstring& out, const std::string& format, T value) {
  int n = snprintf(nullptr, 0, format.c_str(), value);
  if (n <= 0) return;
  std::string text((size_t)n + 1, '\0');
  snprintf(text.data(), text.size(), format.c_str(), value);
  text.resize((size_t)n);
  for (char c : text) out += (wchar_t)(unsigned char)c;
}

void AppendPadded(std::wstring& out, const Field& field, std::wstring text) {
  if (field.precision >= 0 && field.conversion == L's' && (int)text.size() > field.precision) {
    text.resize((size_t)field.precision);
  }
  size_t pad = field.width > (int)text.size() ? (size_t)field.width - text.size() : 0;
  bool left = field.flags.find('-') != std::string::npos;
  if (!left) out.append(pad, L' ');
  out += text;
  if (left) out.append(pad, L' ');
}

long long ToInteger(const VFormatArg& arg) {
  if (arg.kind == VFormatArg::Int) return arg.i;
  // Out-of-range doubles (and NaN) have no integer value; 0 avoids undefined casts.
  if (std::isfinite(arg.d) && std::fabs(arg.d) < 9.2e18) return (long long)arg.d;
  return 0;
}

// Unsigned forms read a negative int as its 32-bit pattern, as a 32-bit printf would.
unsigned long long ToUnsigned(const VFormatArg& arg) {
  long long v = ToInteger(arg);
  if (v < 0 && v >= -2147483648LL) return (unsigned long long)(uint32_t)(int32_t)v;
  return (unsigned long long)v;
}

// False when the argument does not fit the conversion; the conversion then stays text.
bool Format(std::wstring& out, const Field& field, const VFormatArg& arg) {
  bool isText = arg.kind == VFormatArg::WideText || arg.kind == VFormatArg::NarrowText;
  switch (field.conversion) {
    case L's':
      if (arg.kind == VFormatArg::WideText) {
        AppendPadded(out, field, arg.ws ? std::wstring(arg.ws) : std::wstring(L"(null)"));
      } else if (arg.kind == VFormatArg::NarrowText) {
        AppendPadded(out, field, arg.s ? VNarrowToWide(arg.s) : std::wstring(L"(null)"));
      } else {
        std::wstring number;
        if (arg.kind == VFormatArg::Int) {
          AppendPrintf(number, "%lld", arg.i);
        } else {
          AppendPrintf(number, "%g", arg.d);
        }
        AppendPadded(out, field, number);
      }
      return true;
    case L'c':
      if (isText) return false;
      AppendPadded(out, field, std::wstring(1, (wchar_t)ToInteger(arg)));
      return true;
    case L'd':
    case L'i':
      if (isText) return false;
      AppendPrintf(out, PrintfFormat(field, "lld"), ToInteger(arg));
      return true;
    case L'u':
      if (isText) return false;
      AppendPrintf(out, PrintfFormat(field, "llu"), ToUnsigned(arg));
      return true;
    case L'x':
      if (isText) return false;
      AppendPrintf(out, PrintfFormat(field, "llx"), ToUnsigned(arg));
      return true;
    case L'f':
      if (isText) return false;
      AppendPrintf(out, PrintfFormat(field, "f"), arg.kind == VFormatArg::Int ? (double)arg.i : arg.d);
      return true;
    default:
      return false;
  }
}

}  // namespace

std::wstring VFormatWide(const wchar_t* fmt, const VFormatArg* args, int count) {
  std::wstring out;
  if (!fmt) return out;
  if (!args) count = 0;
  int next = 0;
  const wchar_t* p = fmt;
  while (*p) {
    if (*p != L'%') {
      out += *p++;
      continue;
    }
    if (p[1] == L'%') {
      out += L'%';
      p += 2;
      continue;
    }
    // Without arguments the text is never a format: a lone "%" is a character.
    if (count <= 0) {
      out += *p++;
      continue;
    }
    const wchar_t* start = p;
    const wchar_t* q = p + 1;
    Field field = ParseField(q);
    if (field.conversion == 0) {
      out.append(start, q);
      break;
    }
    const wchar_t* after = q + 1;
    if (!IsConversion(field.conversion) || next >= count) {
      out.append(start, after);
    } else if (!Format(out, field, args[next++])) {
      out.append(start, after);
    }
    p = after;
  }
  return out;
}
