// The sequence sets of a model.
#include "engine/core/VisAnimSequenceSetCollection.h"

#include <algorithm>

bool VisAnimSequenceSetCollection_cl::Add(VisAnimSequenceSet_cl* set) {
  if (!set || Contains(set)) return false;
  m_sets.push_back(set);
  return true;
}

bool VisAnimSequenceSetCollection_cl::Remove(VisAnimSequenceSet_cl* set) {
  auto it = std::find_if(m_sets.begin(), m_sets.end(), [set](const auto& s) { return s.GetPtr() == set; });
  if (it == m_sets.end()) return false;
  m_sets.erase(it);
  return true;
}

bool VisAnimSequenceSetCollection_cl::Contains(const VisAnimSequenceSet_cl* set) const {
  return std::any_of(m_sets.begin(), m_sets.end(), [set](const auto& s) { return s.GetPtr() == set; });
}

VisAnimSequence_cl* VisAnimSequenceSetCollection_cl::GetSequence(const char* name, VisModelAnimType_e type) const {
  for (const auto& set : m_sets)
    if (VisAnimSequence_cl* s = set->GetSequence(name, type)) return s;
  return nullptr;
}
