// Engine containers: a growable array with null empty slots, and a pointer list.
#pragma once

#include "engine/base/VBase.h"

#include <vector>

// Growable array; reading past the end grows it with default (null/zero) values.
template <class T>
class DynArray_cl {
 public:
  DynArray_cl() = default;
  explicit DynArray_cl(unsigned size, const T& def = T()) : m_def(def), m_data(size, def) {}

  unsigned GetSize() const { return (unsigned)m_data.size(); }
  void Resize(unsigned size) { m_data.resize(size, m_def); }
  void EnsureSize(unsigned size) { if (size > m_data.size()) m_data.resize(size, m_def); }
  // Index access that grows the array on demand.
  T& operator[](unsigned i) { EnsureSize(i + 1); return m_data[i]; }
  const T& Get(unsigned i) const { return i < m_data.size() ? m_data[i] : m_def; }
  T* GetDataPtr() { return m_data.data(); }
  // Index of the last slot that differs from the default value + 1.
  unsigned GetValidSize() const {
    for (size_t i = m_data.size(); i > 0; --i)
      if (!(m_data[i - 1] == m_def)) return (unsigned)i;
    return 0;
  }
  // Stores the value in the first slot equal to the default; returns the index.
  unsigned GetFreePos() const {
    for (size_t i = 0; i < m_data.size(); ++i)
      if (m_data[i] == m_def) return (unsigned)i;
    return (unsigned)m_data.size();
  }
  unsigned Insert(const T& v) { unsigned i = GetFreePos(); (*this)[i] = v; return i; }
  void Reset() { m_data.clear(); }
  void SetDefaultValue(const T& def) { m_def = def; }

 private:
  T m_def{};
  std::vector<T> m_data;
};

// List of pointers with a count (the engine's pointer list).
template <class T>
class VPList {
 public:
  int GetLength() const { return (int)m_data.size(); }
  T* Get(int i) const { return m_data[i]; }
  T*& operator[](int i) { return m_data[i]; }
  void Append(T* p) { m_data.push_back(p); }
  void Insert(T* p, int index) { m_data.insert(m_data.begin() + index, p); }
  int Find(const T* p) const {
    for (size_t i = 0; i < m_data.size(); ++i) if (m_data[i] == p) return (int)i;
    return -1;
  }
  bool Remove(const T* p) { int i = Find(p); if (i < 0) return false; RemoveAt(i); return true; }
  void RemoveAt(int i) { m_data.erase(m_data.begin() + i); }
  void Truncate(int length) { if (length < GetLength()) m_data.resize(length); }
  void Clear() { m_data.clear(); }
  void Reserve(int capacity) { m_data.reserve(capacity); }
  int GetCapacity() const { return (int)m_data.capacity(); }
  typename std::vector<T*>::iterator begin() { return m_data.begin(); }
  typename std::vector<T*>::iterator end() { return m_data.end(); }

 private:
  std::vector<T*> m_data;
};
