// The seen-jokes record and its archive form.
#include "Managers/SeenJokesTable.h"

#include "engine/base/VArchive.h"

#include <algorithm>

SeenJokesTable::Entry* SeenJokesTable::Find(int joke) {
  for (Entry& e : m_entries)
    if (e.m_iJoke == joke) return &e;
  return nullptr;
}

const SeenJokesTable::Entry* SeenJokesTable::Find(int joke) const {
  return const_cast<SeenJokesTable*>(this)->Find(joke);
}

bool SeenJokesTable::IsShown(int joke) const {
  const Entry* e = Find(joke);
  return e && e->m_iShown == 1;
}

bool SeenJokesTable::Append(int joke, int shown) {
  if (IsFull()) return false;
  m_entries.push_back(Entry{joke, shown});
  return true;
}

void SeenJokesTable::Serialize(VArchive& ar) {
  if (ar.IsSaving()) {
    ar << (int)m_entries.size();
    for (const Entry& e : m_entries) ar << e.m_iJoke << e.m_iShown;
    return;
  }
  int count = 0;
  ar >> count;
  if (!ar.IsOK()) return;
  const int64_t held = ar.GetRemaining() / 8;
  count = (int)std::clamp<int64_t>(count, 0, held);
  std::vector<Entry> entries;
  entries.reserve(std::min(count, MaxEntries));
  for (int i = 0; i < count && ar.IsOK(); ++i) {
    Entry e{0, 0};
    ar >> e.m_iJoke >> e.m_iShown;
    if (ar.IsOK() && i < MaxEntries) entries.push_back(e);
  }
  if (ar.IsOK()) m_entries.swap(entries);
}
