// A static list of every live object of a class: an object takes the first free
// slot when constructed and clears it when destroyed; the list then shrinks past
// trailing empty slots. Walks go in slot order and skip empty (null) slots.
#pragma once

#include <vector>

template <class T>
class ElementManager {
 public:
  // Number of slots, empty ones included.
  static unsigned ElementManagerGetSize() { return (unsigned)s_elements.size(); }
  // The element in slot i, or null for an empty slot or one beyond the list.
  static T ElementManagerGet(unsigned i) { return i < s_elements.size() ? s_elements[i] : nullptr; }
  // Slot of this element, -1 when unlisted.
  int GetListIndex() const { return m_iListIndex; }

 protected:
  explicit ElementManager(T self) {
    for (size_t i = 0; i < s_elements.size(); ++i) {
      if (!s_elements[i]) {
        s_elements[i] = self;
        m_iListIndex = (int)i;
        return;
      }
    }
    s_elements.push_back(self);
    m_iListIndex = (int)s_elements.size() - 1;
  }
  ~ElementManager() {
    if (m_iListIndex >= 0 && (size_t)m_iListIndex < s_elements.size()) s_elements[m_iListIndex] = nullptr;
    while (!s_elements.empty() && !s_elements.back()) s_elements.pop_back();
    m_iListIndex = -1;
  }
  ElementManager(const ElementManager&) = delete;
  ElementManager& operator=(const ElementManager&) = delete;

 private:
  static inline std::vector<T> s_elements;
  int m_iListIndex = -1;
};
