// Ordered list of 8-bit key/value entries: the engine game's option dictionary.
// Keys match without regard to case; the first match wins.
#pragma once

#include "engine/base/VString.h"

#include <vector>

class VArchive;

class VBASE_IMPEXP VStrDictionaryEntry {
 public:
  VStrDictionaryEntry(const char* key, const char* value) : m_key(key), m_value(value) {}
  virtual ~VStrDictionaryEntry() = default;
  VString m_key;
  VString m_value;
};

class VBASE_IMPEXP VStrDictionary {
 public:
  VStrDictionary() = default;
  ~VStrDictionary();
  VStrDictionary(const VStrDictionary&) = delete;
  VStrDictionary& operator=(const VStrDictionary&) = delete;

  // Replaces the value of an existing key (any case) or appends a new entry.
  void Set(const char* key, const char* value);
  // The first entry whose key matches, or null.
  VStrDictionaryEntry* Find(const char* key) const;
  bool Exists(const char* key) const { return Find(key) != nullptr; }
  // Value text, or null when the key is absent.
  const char* Get(const char* key) const;
  // Typed reads: an absent key or an empty value keeps the caller's default.
  int GetInt(const char* key, int def) const;
  float GetFloat(const char* key, float def) const;
  bool GetBool(const char* key, bool def) const;

  int GetCount() const { return (int)m_entries.size(); }
  VStrDictionaryEntry* GetEntry(int i) const { return m_entries[i]; }
  // Entries are deleted through their virtual destructor, then the list is emptied.
  void DeleteAll();
  // Logs every entry as "%s = %s", "NULL" standing for an empty value.
  void Dump() const;

  // Archive form: int32 count, then key and value as archive strings.
  void Serialize(VArchive& ar);

 private:
  std::vector<VStrDictionaryEntry*> m_entries;
};
