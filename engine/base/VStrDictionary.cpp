// The option dictionary: ordered key/value entries, keys without regard to case.
#include "engine/base/VStrDictionary.h"

#include "engine/base/VArchive.h"
#include "engine/base/VisError.h"

VStrDictionary::~VStrDictionary() { DeleteAll(); }

void VStrDictionary::Set(const char* key, const char* value) {
  if (VStrDictionaryEntry* e = Find(key)) {
    e->m_value = value;
    return;
  }
  m_entries.push_back(new VStrDictionaryEntry(key, value));
}

VStrDictionaryEntry* VStrDictionary::Find(const char* key) const {
  for (VStrDictionaryEntry* e : m_entries)
    if (e->m_key.CompareNoCase(key) == 0) return e;
  return nullptr;
}

const char* VStrDictionary::Get(const char* key) const {
  VStrDictionaryEntry* e = Find(key);
  return e ? e->m_value.AsChar() : nullptr;
}

// An unparsable value keeps the default as well: a broken settings file must
// not turn a resolution or a volume into 0.
int VStrDictionary::GetInt(const char* key, int def) const {
  VStrDictionaryEntry* e = Find(key);
  int v = def;
  if (e && !e->m_value.IsEmpty() && VString::ParseInt(e->m_value, v)) return v;
  return def;
}

float VStrDictionary::GetFloat(const char* key, float def) const {
  VStrDictionaryEntry* e = Find(key);
  float v = def;
  if (e && !e->m_value.IsEmpty() && VString::ParseFloat(e->m_value, v)) return v;
  return def;
}

bool VStrDictionary::GetBool(const char* key, bool def) const {
  VStrDictionaryEntry* e = Find(key);
  bool v = def;
  if (e && !e->m_value.IsEmpty() && VString::ParseBool(e->m_value, v)) return v;
  return def;
}

void VStrDictionary::DeleteAll() {
  for (VStrDictionaryEntry* e : m_entries) delete e;
  m_entries.clear();
}

void VStrDictionary::Dump() const {
  for (VStrDictionaryEntry* e : m_entries)
    Vision::Error.SystemMessage("%s = %s", e->m_key.AsChar(), e->m_value.IsEmpty() ? "NULL" : e->m_value.AsChar());
}

void VStrDictionary::Serialize(VArchive& ar) {
  if (ar.IsSaving()) {
    ar << (int)m_entries.size();
    for (VStrDictionaryEntry* e : m_entries) ar << e->m_key << e->m_value;
    return;
  }
  // Reading merges: every stored key takes its stored value, other keys stay.
  int count = 0;
  ar >> count;
  // Each entry holds at least two string counts: a larger count is a broken file.
  if (count < 0 || (int64_t)count * 8 > ar.GetRemaining()) {
    Vision::Error.Warning("Dictionary in archive '%s' has an invalid entry count %d", ar.GetName(), count);
    ar.MarkFailed();
    return;
  }
  for (int i = 0; i < count && ar.IsOK(); ++i) {
    VString key, value;
    ar >> key >> value;
    if (ar.IsOK()) Set(key, value);
  }
}
