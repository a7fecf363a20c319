// Engine variables: text forms of typed members, and the per-class variable table.
#include "engine/base/VarTable.h"

#include "engine/base/VType.h"
#include "engine/base/VisError.h"
#include "engine/base/VisMath.h"

#include <charconv>
#include <string>
#include <vector>

bool VULPTypeIsText(int type) {
  switch (type) {
    case VULPTYPE_STRING:
    case VULPTYPE_VSTRING:
    case VULPTYPE_MANAGED_STRING:
    case VULPTYPE_ENTITY_KEY:
    case VULPTYPE_MODEL:
    case VULPTYPE_PSTRING:
    case VULPTYPE_TEXTURE_FILE:
    case VULPTYPE_SOUND_FILE:
    case VULPTYPE_SCRIPT_FILE:
    case VULPTYPE_FILE:
      return true;
    default:
      return false;
  }
}

namespace {
// Member size a variable of this type expects when its builder gave none.
int NaturalSize(int type) {
  switch (type) {
    case VULPTYPE_INT:
    case VULPTYPE_ENUM:
    case VULPTYPE_FLOAT:
    case VULPTYPE_COLOR:
      return 4;
    case VULPTYPE_DOUBLE:
      return 8;
    case VULPTYPE_BOOL:
      return (int)sizeof(bool);
    case VULPTYPE_VECTOR_INT:
    case VULPTYPE_VECTOR_FLOAT:
      return 12;
    case VULPTYPE_VECTOR_DOUBLE:
      return 24;
    default:
      return VULPTypeIsText(type) ? (int)sizeof(VString) : 0;
  }
}

// Whether the member size fits the type; anything else would write past the member.
bool SizeFits(int type, int size) {
  switch (type) {
    case VULPTYPE_INT:
    case VULPTYPE_ENUM:
      return size == 1 || size == 2 || size == 4 || size == 8;
    case VULPTYPE_BOOL:
      return size == 1 || size == 4;
    case VULPTYPE_VECTOR_INT:
    case VULPTYPE_VECTOR_FLOAT:
      return size >= 12;  // three components, a fourth (w) is left alone
    case VULPTYPE_VECTOR_DOUBLE:
      return size >= 24;
    default:
      return size == NaturalSize(type) && size > 0;
  }
}

int64_t ReadInt(const void* p, int size) {
  switch (size) {
    case 1: return *static_cast<const int8_t*>(p);
    case 2: return *static_cast<const int16_t*>(p);
    case 8: return *static_cast<const int64_t*>(p);
    default: return *static_cast<const int32_t*>(p);
  }
}

// False when the value does not fit the member.
bool WriteInt(void* p, int size, int64_t v) {
  switch (size) {
    case 1:
      if (v < INT8_MIN || v > INT8_MAX) return false;
      *static_cast<int8_t*>(p) = (int8_t)v;
      return true;
    case 2:
      if (v < INT16_MIN || v > INT16_MAX) return false;
      *static_cast<int16_t*>(p) = (int16_t)v;
      return true;
    case 8:
      *static_cast<int64_t*>(p) = v;
      return true;
    default:
      if (v < INT32_MIN || v > INT32_MAX) return false;
      *static_cast<int32_t*>(p) = (int32_t)v;
      return true;
  }
}

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return std::string();
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

template <class T>
bool ParseNumber(const std::string& text, T& out) {
  return VString::ParseNumber(text.c_str(), out);
}

// Shortest text that reads back as the same number.
template <class T>
std::string NumberText(T v) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof(buf), v);
  return std::string(buf, r.ptr);
}

std::vector<std::string> Split(const std::string& text, char sep) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t pos = text.find(sep, start);
    parts.push_back(text.substr(start, pos == std::string::npos ? std::string::npos : pos - start));
    if (pos == std::string::npos) break;
    start = pos + 1;
  }
  return parts;
}

// Three components "x/y/z" of the given number type.
template <class T>
bool ParseVector(const std::string& text, T out[3]) {
  std::vector<std::string> parts = Split(text, '/');
  if (parts.size() != 3) return false;
  T v[3];
  for (int i = 0; i < 3; ++i)
    if (!ParseNumber(parts[(size_t)i], v[i])) return false;
  for (int i = 0; i < 3; ++i) out[i] = v[i];
  return true;
}

template <class T>
std::string VectorText(const T v[3]) {
  return NumberText(v[0]) + "/" + NumberText(v[1]) + "/" + NumberText(v[2]);
}
}  // namespace

int VisVariable_cl::GetEnumIndex(const char* text) const {
  if (!enumList || !text) return -1;
  std::string wanted = Trim(text);
  std::vector<std::string> names = Split(enumList, ',');
  for (size_t i = 0; i < names.size(); ++i)
    if (VStringICompare(Trim(names[i]).c_str(), wanted.c_str()) == 0) return (int)i;
  return -1;
}

VString VisVariable_cl::GetEnumName(int index) const {
  if (!enumList || index < 0) return VString();
  std::vector<std::string> names = Split(enumList, ',');
  return index < (int)names.size() ? VString(Trim(names[(size_t)index])) : VString();
}

bool VisVariable_cl::SetValueFromText(VTypedObject* obj, const char* text) const {
  if (!obj || !accessor) return false;
  int size = storageSize > 0 ? storageSize : NaturalSize(type);
  if (!SizeFits(type, size)) {
    VASSERT_MSG(false, "engine variable with a member size that does not fit its type");
    return false;
  }
  void* p = GetValuePtr(obj);
  const std::string t = text ? text : "";

  if (VULPTypeIsText(type)) {
    VString& s = *static_cast<VString*>(p);
    s = t.c_str();
    if (maxLength > 0 && s.GetLength() > maxLength) s.Str().resize((size_t)maxLength);
    return true;
  }

  switch (type) {
    case VULPTYPE_INT: {
      int64_t v = 0;
      return ParseNumber(t, v) && WriteInt(p, size, v);
    }
    case VULPTYPE_ENUM: {
      int index = GetEnumIndex(t.c_str());
      if (index < 0) {
        // The index itself is accepted too, as long as it names an entry.
        int n = -1;
        if (!ParseNumber(t, n) || GetEnumName(n).IsEmpty()) return false;
        index = n;
      }
      return WriteInt(p, size, index);
    }
    case VULPTYPE_FLOAT:
      return ParseNumber(t, *static_cast<float*>(p));
    case VULPTYPE_DOUBLE:
      return ParseNumber(t, *static_cast<double*>(p));
    case VULPTYPE_BOOL: {
      bool b = false;
      if (!VString::ParseBool(t.c_str(), b)) return false;
      if (size == 1)
        *static_cast<bool*>(p) = b;
      else
        *static_cast<int32_t*>(p) = b ? 1 : 0;
      return true;
    }
    case VULPTYPE_VECTOR_INT:
      return ParseVector(t, static_cast<int32_t*>(p));
    case VULPTYPE_VECTOR_FLOAT:
      return ParseVector(t, static_cast<float*>(p));
    case VULPTYPE_VECTOR_DOUBLE:
      return ParseVector(t, static_cast<double*>(p));
    case VULPTYPE_COLOR: {
      // "r/g/b/a", each 0..255; "r/g/b" leaves the colour opaque.
      std::vector<std::string> parts = Split(t, '/');
      if (parts.size() != 3 && parts.size() != 4) return false;
      int c[4] = {0, 0, 0, 255};
      for (size_t i = 0; i < parts.size(); ++i)
        if (!ParseNumber(parts[i], c[i]) || c[i] < 0 || c[i] > 255) return false;
      VColorRef& col = *static_cast<VColorRef*>(p);
      col = VColorRef((UBYTE)c[0], (UBYTE)c[1], (UBYTE)c[2], (UBYTE)c[3]);
      return true;
    }
    default:
      return false;
  }
}

void VisVariable_cl::GetValueAsText(VTypedObject* obj, VString& out) const {
  out.Reset();
  if (!obj || !accessor) return;
  int size = storageSize > 0 ? storageSize : NaturalSize(type);
  if (!SizeFits(type, size)) return;
  const void* p = GetValuePtr(obj);

  if (VULPTypeIsText(type)) {
    out = *static_cast<const VString*>(p);
    return;
  }
  switch (type) {
    case VULPTYPE_INT:
      out = NumberText(ReadInt(p, size));
      break;
    case VULPTYPE_ENUM: {
      int64_t index = ReadInt(p, size);
      VString name = index >= 0 && index <= INT32_MAX ? GetEnumName((int)index) : VString();
      out = name.IsEmpty() ? VString(NumberText(index)) : name;
      break;
    }
    case VULPTYPE_FLOAT:
      out = NumberText(*static_cast<const float*>(p));
      break;
    case VULPTYPE_DOUBLE:
      out = NumberText(*static_cast<const double*>(p));
      break;
    case VULPTYPE_BOOL: {
      bool b = size == 1 ? *static_cast<const bool*>(p) : *static_cast<const int32_t*>(p) != 0;
      out = b ? "TRUE" : "FALSE";
      break;
    }
    case VULPTYPE_VECTOR_INT:
      out = VectorText(static_cast<const int32_t*>(p));
      break;
    case VULPTYPE_VECTOR_FLOAT:
      out = VectorText(static_cast<const float*>(p));
      break;
    case VULPTYPE_VECTOR_DOUBLE:
      out = VectorText(static_cast<const double*>(p));
      break;
    case VULPTYPE_COLOR: {
      const VColorRef& c = *static_cast<const VColorRef*>(p);
      out.Format("%d/%d/%d/%d", c.r, c.g, c.b, c.a);
      break;
    }
    default:
      break;
  }
}

// The table ----------------------------------------------------------------------

VisVariable_cl* VARTABLE::Find(const char* name) {
  if (!name) return nullptr;
  for (VisVariable_cl& v : m_vars)
    if (strcmp(v.name, name) == 0) return &v;
  return nullptr;
}

VString VARTABLE::GetParameterString(VTypedObject* obj) {
  VString out;
  for (const VisVariable_cl& v : m_vars) {
    VString value;
    v.GetValueAsText(obj, value);
    if (!out.IsEmpty()) out += ",";
    out += v.name;
    out += "=\"";
    out += value;
    out += "\"";
  }
  return out;
}

int VARTABLE::ApplyParameterString(VTypedObject* obj, const char* params) {
  if (!obj || !params) return 0;
  const std::string s = params;
  int applied = 0;
  size_t pos = 0;
  for (;;) {
    pos = s.find_first_not_of(" \t\r\n,", pos);
    if (pos == std::string::npos) break;
    size_t eq = s.find('=', pos);
    size_t open = eq == std::string::npos ? eq : s.find_first_not_of(" \t", eq + 1);
    if (open == std::string::npos || s[open] != '"') {
      Vision::Error.Warning("Malformed parameter string at '%s'", s.c_str() + pos);
      break;
    }
    // A value may hold quotes: it ends at the quote that a comma or the end follows.
    size_t close = std::string::npos;
    for (size_t q = s.find('"', open + 1); q != std::string::npos; q = s.find('"', q + 1)) {
      size_t next = s.find_first_not_of(" \t\r\n", q + 1);
      if (next == std::string::npos || s[next] == ',') {
        close = q;
        break;
      }
    }
    if (close == std::string::npos) {
      Vision::Error.Warning("Malformed parameter string at '%s'", s.c_str() + pos);
      break;
    }
    const std::string name = Trim(s.substr(pos, eq - pos));
    const std::string value = s.substr(open + 1, close - open - 1);
    // Through the object, so that it hears of every change.
    if (Find(name.c_str()) && obj->SetVariable(name.c_str(), value.c_str())) ++applied;
    pos = close + 1;
  }
  return applied;
}

void VARTABLE::ApplyDefaults(VTypedObject* obj) {
  for (const VisVariable_cl& v : m_vars) v.SetValueFromText(obj, v.defaultValue);
}
