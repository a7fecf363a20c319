// The sequence sets of one model, searched in order.
#pragma once

#include "engine/core/VisAnimSequenceSet.h"

class VBASE_IMPEXP VisAnimSequenceSetCollection_cl {
 public:
  // Adds a set once (false when null or already in); the collection holds a reference.
  bool Add(VisAnimSequenceSet_cl* set);
  bool Remove(VisAnimSequenceSet_cl* set);
  // Releases every set.
  void Clear() { m_sets.clear(); }
  int GetSequenceSetCount() const { return (int)m_sets.size(); }
  VisAnimSequenceSet_cl* GetSequenceSet(int i) const { return m_sets[i]; }
  bool Contains(const VisAnimSequenceSet_cl* set) const;
  // The first sequence of that name and kind over the sets in order; null when none.
  VisAnimSequence_cl* GetSequence(const char* name, VisModelAnimType_e type = VIS_MODELANIM_UNKNOWN) const;

 private:
  std::vector<VSmartPtr<VisAnimSequenceSet_cl>> m_sets;
};
