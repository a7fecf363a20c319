// The game's singleton pattern: created on first use, deleted by CleanInstance,
// and testable for existence without creating it.
#pragma once

template <class T>
class Singleton {
 public:
  static T* GetInstance() {
    if (!s_pInstance) s_pInstance = new T();
    return s_pInstance;
  }
  // Deletes the instance when it exists; safe to call from every shutdown path.
  static void CleanInstance() {
    if (s_pInstance) delete s_pInstance;
    s_pInstance = nullptr;
  }
  static bool HasInstance() { return s_pInstance != nullptr; }

 protected:
  Singleton() = default;
  static inline T* s_pInstance = nullptr;
};
