// Reference counting for engine resources and a smart pointer over it.
#pragma once

#include "engine/base/VBase.h"

#include <utility>

class VBASE_IMPEXP VRefCounter {
 public:
  VRefCounter() = default;
  VRefCounter(const VRefCounter&) : m_iRefCount(0) {}
  VRefCounter& operator=(const VRefCounter&) { return *this; }
  virtual ~VRefCounter() = default;

  void AddRef() { ++m_iRefCount; }
  // Deletes the object through DeleteThis when the count reaches 0.
  void Release() { if (--m_iRefCount <= 0) DeleteThis(); }
  int GetRefCount() const { return m_iRefCount; }
  virtual void DeleteThis() { delete this; }

 protected:
  int m_iRefCount = 0;
};

template <class T>
class VSmartPtr {
 public:
  VSmartPtr() = default;
  VSmartPtr(T* p) : m_p(p) { if (m_p) m_p->AddRef(); }  // NOLINT
  VSmartPtr(const VSmartPtr& o) : VSmartPtr(o.m_p) {}
  VSmartPtr(VSmartPtr&& o) noexcept : m_p(o.m_p) { o.m_p = nullptr; }
  ~VSmartPtr() { if (m_p) m_p->Release(); }
  VSmartPtr& operator=(T* p) {
    if (p) p->AddRef();
    T* old = m_p; m_p = p;
    if (old) old->Release();
    return *this;
  }
  VSmartPtr& operator=(const VSmartPtr& o) { return *this = o.m_p; }
  VSmartPtr& operator=(VSmartPtr&& o) noexcept { std::swap(m_p, o.m_p); return *this; }
  T* operator->() const { return m_p; }
  T& operator*() const { return *m_p; }
  operator T*() const { return m_p; }  // NOLINT
  T* GetPtr() const { return m_p; }

 private:
  T* m_p = nullptr;
};
