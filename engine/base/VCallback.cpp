// Engine callbacks: handlers kept sorted by (sort key, registration order).
#include "engine/base/VCallback.h"

#include <algorithm>

namespace {
// Position of the first entry that sorts after (key, order).
template <class Vec>
size_t NextAfter(const Vec& entries, int key, uint64_t order) {
  auto it = std::upper_bound(entries.begin(), entries.end(), std::make_pair(key, order),
                             [](const std::pair<int, uint64_t>& k, const auto& e) {
                               return k.first < e.key || (k.first == e.key && k.second < e.order);
                             });
  return (size_t)(it - entries.begin());
}
}  // namespace

void VCallback::RegisterCallback(IVisCallbackHandler_cl* handler) {
  if (!handler || IsRegistered(handler)) return;
  int key = handler->GetCallbackSortingKey(this);
  Entry e{handler, key, m_nextOrder++};
  // Orders only grow, so the new entry goes behind every entry of the same key.
  m_entries.insert(m_entries.begin() + NextAfter(m_entries, key, e.order), e);
  if (!m_index) m_index = std::make_unique<Index>();
  m_index->emplace(handler, std::make_pair(key, e.order));
}

void VCallback::DeregisterCallback(IVisCallbackHandler_cl* handler) {
  if (!handler) return;
  if (!m_index) return;
  auto found = m_index->find(handler);
  if (found == m_index->end()) return;
  const auto [key, order] = found->second;
  m_index->erase(found);
  // Emptied slots keep their key and order, so the list stays sorted by both and
  // the entry is the last one that does not sort after (key, order).
  const size_t i = NextAfter(m_entries, key, order) - 1;
  if (m_triggerDepth > 0) {
    // A running trigger still walks the list; the slot is dropped when it ends.
    m_entries[i].handler = nullptr;
    m_hasRemoved = true;
  } else {
    m_entries.erase(m_entries.begin() + (std::ptrdiff_t)i);
  }
}

bool VCallback::IsRegistered(const IVisCallbackHandler_cl* handler) const {
  return handler && m_index && m_index->count(handler) != 0;
}

int VCallback::GetCallbackCount() const {
  int n = 0;
  for (const Entry& e : m_entries)
    if (e.handler) ++n;
  return n;
}

void VCallback::TriggerCallbacks(IVisCallbackDataObject_cl* data) {
  // Handlers test the sender, so they always get a data object.
  IVisCallbackDataObject_cl fallback(this);
  if (!data) data = &fallback;

  // Entries registered from here on belong to the next trigger.
  const uint64_t limit = m_nextOrder;
  ++m_triggerDepth;
  size_t i = 0;
  while (i < m_entries.size()) {
    Entry e = m_entries[i];
    if (!e.handler || e.order >= limit) {
      ++i;
      continue;
    }
    const uint64_t registered = m_nextOrder;
    e.handler->OnHandleCallback(data);
    // Removals during a trigger only empty slots, so the list shifts only when the
    // handler registered someone: then continue behind this entry by its key.
    i = m_nextOrder == registered ? i + 1 : NextAfter(m_entries, e.key, e.order);
  }
  if (--m_triggerDepth == 0 && m_hasRemoved) {
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(), [](const Entry& e) { return !e.handler; }),
                    m_entries.end());
    m_hasRemoved = false;
  }
}
