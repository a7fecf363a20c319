// The binary archive: little-endian primitives, counted strings and object references.
#include "engine/base/VArchive.h"

#include "engine/base/VStrDictionary.h"
#include "engine/base/VisError.h"
#include "engine/base/VisMath.h"

#include <bit>

namespace {
constexpr int kNullTag = -1;
constexpr int kNewObjectTag = -2;

template <class U>
void EncodeLE(U v, uint8_t* out) {
  for (size_t i = 0; i < sizeof(U); ++i) out[i] = (uint8_t)(v >> (8 * i));
}

// Typed reads: a short read gives 0, not a half-filled value.
void ReadFixed(VArchive& ar, void* buffer, size_t size) {
  if (ar.Read(buffer, size) != size) memset(buffer, 0, size);
}

template <class U>
U DecodeLE(const uint8_t* in) {
  U v = 0;
  for (size_t i = 0; i < sizeof(U); ++i) v |= (U)in[i] << (8 * i);
  return v;
}
}  // namespace

namespace Vision {
int GetArchiveVersion() { return 1; }
bool IsValidArchive(int version) { return version >= 1 && version <= GetArchiveVersion(); }
}  // namespace Vision

VArchive::VArchive(const char* name, IVFileInStream* in, IVFileStreamManager* manager, int)
    : m_mode(load), m_name(name), m_in(in), m_manager(manager) {
  if (!in) m_failed = true;
}

VArchive::VArchive(const char* name, IVFileOutStream* out, IVFileStreamManager* manager, int)
    : m_mode(store), m_name(name), m_out(out), m_manager(manager) {
  if (!out) m_failed = true;
}

VArchive::~VArchive() { Close(); }

void VArchive::Close() {
  if (m_out) m_out->Flush();
  m_in = nullptr;
  m_out = nullptr;
}

size_t VArchive::Read(void* buffer, size_t size, const char*) {
  if (!buffer || size == 0) return 0;
  size_t n = 0;
  if (!m_failed && m_in) n = m_in->Read(buffer, size);
  if (n < size) {
    memset(static_cast<uint8_t*>(buffer) + n, 0, size - n);
    m_failed = true;
  }
  return n;
}

void VArchive::Write(const void* buffer, size_t size, const char*) {
  if (size == 0) return;
  if (!buffer || !m_out || m_out->Write(buffer, size) != size) m_failed = true;
}

int64_t VArchive::GetRemaining() {
  if (!m_in) return 0;
  int64_t left = m_in->GetSize() - m_in->GetPos();
  return left > 0 ? left : 0;
}

// Primitives -----------------------------------------------------------------

VArchive& VArchive::operator<<(char v) {
  Write(&v, 1);
  return *this;
}

VArchive& VArchive::operator<<(bool v) {
  uint8_t b = v ? 1 : 0;
  Write(&b, 1);
  return *this;
}

VArchive& VArchive::operator<<(int v) { return *this << (unsigned int)v; }

VArchive& VArchive::operator<<(unsigned int v) {
  uint8_t b[4];
  EncodeLE<uint32_t>(v, b);
  Write(b, 4);
  return *this;
}

VArchive& VArchive::operator<<(int64_t v) { return *this << (uint64_t)v; }

VArchive& VArchive::operator<<(uint64_t v) {
  uint8_t b[8];
  EncodeLE<uint64_t>(v, b);
  Write(b, 8);
  return *this;
}

VArchive& VArchive::operator<<(float v) { return *this << std::bit_cast<uint32_t>(v); }
VArchive& VArchive::operator<<(double v) { return *this << std::bit_cast<uint64_t>(v); }

VArchive& VArchive::operator>>(char& v) {
  ReadFixed(*this, &v, 1);
  return *this;
}

VArchive& VArchive::operator>>(bool& v) {
  uint8_t b = 0;
  ReadFixed(*this, &b, 1);
  v = b != 0;
  return *this;
}

VArchive& VArchive::operator>>(int& v) {
  unsigned int u = 0;
  *this >> u;
  v = (int)u;
  return *this;
}

VArchive& VArchive::operator>>(unsigned int& v) {
  uint8_t b[4];
  ReadFixed(*this, b, 4);
  v = DecodeLE<uint32_t>(b);
  return *this;
}

VArchive& VArchive::operator>>(int64_t& v) {
  uint64_t u = 0;
  *this >> u;
  v = (int64_t)u;
  return *this;
}

VArchive& VArchive::operator>>(uint64_t& v) {
  uint8_t b[8];
  ReadFixed(*this, b, 8);
  v = DecodeLE<uint64_t>(b);
  return *this;
}

VArchive& VArchive::operator>>(float& v) {
  uint32_t u = 0;
  *this >> u;
  v = std::bit_cast<float>(u);
  return *this;
}

VArchive& VArchive::operator>>(double& v) {
  uint64_t u = 0;
  *this >> u;
  v = std::bit_cast<double>(u);
  return *this;
}

// Strings --------------------------------------------------------------------

// A null text is written with count -1, which reads back as an empty string.
VArchive& VArchive::operator<<(const char* s) {
  if (!s) return *this << kNullTag;
  int n = (int)strlen(s);
  *this << n;
  Write(s, (size_t)n);
  return *this;
}

VArchive& VArchive::operator<<(const VString& s) {
  *this << s.GetLength();
  Write(s.AsChar(), (size_t)s.GetLength());
  return *this;
}

VArchive& VArchive::operator>>(VString& s) {
  s.Reset();
  int n = 0;
  *this >> n;
  if (n <= 0) return *this;
  // Checked before allocating: a hostile count must not reserve gigabytes.
  if ((int64_t)n > GetRemaining()) {
    m_failed = true;
    return *this;
  }
  std::string& text = s.Str();
  text.resize((size_t)n);
  if (Read(text.data(), (size_t)n) != (size_t)n) s.Reset();
  return *this;
}

int VArchive::ReadStringBinary(char* buffer, int bufferSize) {
  if (buffer && bufferSize > 0) buffer[0] = '\0';
  int n = 0;
  *this >> n;
  if (n < 0 || m_failed) return -1;
  if ((int64_t)n > GetRemaining()) {
    m_failed = true;
    return -1;
  }
  // Keep what fits (with its terminator), skip the rest.
  int keep = buffer && bufferSize > 0 ? std::min(n, bufferSize - 1) : 0;
  if (keep > 0) Read(buffer, (size_t)keep);
  if (buffer && bufferSize > 0) buffer[keep] = '\0';
  char skip[256];
  for (int left = n - keep; left > 0 && !m_failed;) {
    int chunk = std::min(left, (int)sizeof(skip));
    Read(skip, (size_t)chunk);
    left -= chunk;
  }
  if (m_failed) {
    if (buffer && bufferSize > 0) buffer[0] = '\0';
    return -1;
  }
  return n;
}

// Vectors and dictionaries ----------------------------------------------------

VArchive& VArchive::operator<<(const VisVector_cl& v) { return *this << v.x << v.y << v.z << v.w; }
VArchive& VArchive::operator>>(VisVector_cl& v) { return *this >> v.x >> v.y >> v.z >> v.w; }

VArchive& VArchive::operator<<(VStrDictionary& d) {
  d.Serialize(*this);
  return *this;
}

VArchive& VArchive::operator>>(VStrDictionary& d) {
  d.Serialize(*this);
  return *this;
}

// Object references ------------------------------------------------------------

void VArchive::WriteObject(VTypedObject* obj) {
  if (!obj) {
    *this << kNullTag;
    return;
  }
  auto it = m_writeTable.find(obj);
  if (it != m_writeTable.end()) {
    *this << it->second;
    return;
  }
  // Listed before its data, so references back to it inside Serialize become indices.
  m_writeTable.emplace(obj, (int)m_writeTable.size());
  *this << kNewObjectTag;
  *this << obj->GetClassTypeName();
  obj->Serialize(*this);
}

VTypedObject* VArchive::ReadObject(const VType* expected) {
  int tag = 0;
  *this >> tag;
  if (m_failed || tag == kNullTag) return nullptr;

  if (tag >= 0) {
    if (tag >= (int)m_readTable.size()) {
      Vision::Error.Warning("Archive '%s': object reference %d out of range", GetName(), tag);
      m_failed = true;
      return nullptr;
    }
    VTypedObject* obj = m_readTable[(size_t)tag];
    if (expected && !obj->IsOfType(expected)) {
      Vision::Error.Warning("Archive '%s': object of class %s where %s was expected", GetName(),
                            obj->GetClassTypeName(), expected->GetClassName());
      return nullptr;
    }
    return obj;
  }

  if (tag != kNewObjectTag) {
    Vision::Error.Warning("Archive '%s': invalid object tag %d", GetName(), tag);
    m_failed = true;
    return nullptr;
  }

  char className[256];
  if (ReadStringBinary(className, (int)sizeof(className)) < 0) {
    m_failed = true;
    return nullptr;
  }
  // Only classes registered as creatable can come out of a file.
  VType* type = VType::FindType(className);
  if (!type || !type->CanCreate()) {
    Vision::Error.Warning("Archive '%s': cannot create an object of class '%s'", GetName(), className);
    m_failed = true;
    return nullptr;
  }
  if (expected && !type->IsDerivedFrom(expected)) {
    Vision::Error.Warning("Archive '%s': object of class %s where %s was expected", GetName(),
                          type->GetClassName(), expected->GetClassName());
    m_failed = true;
    return nullptr;
  }
  if (m_objectDepth >= MaxObjectDepth) {
    Vision::Error.Warning("Archive '%s': objects nested too deeply", GetName());
    m_failed = true;
    return nullptr;
  }
  VTypedObject* obj = type->CreateInstance();
  if (!obj) {
    m_failed = true;
    return nullptr;
  }
  m_readTable.push_back(obj);
  ++m_objectDepth;
  obj->Serialize(*this);
  --m_objectDepth;
  return obj;
}
