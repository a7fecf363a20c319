// A set of animation sequences loaded from one file: a model file's own
// <sequence> elements, or an animation file of ours (".anim", see data/README.md).
#pragma once

#include "engine/base/VRefCounter.h"
#include "engine/base/VString.h"
#include "engine/core/VisAnimSequence.h"

#include <vector>

class VBASE_IMPEXP VisAnimSequenceSet_cl : public VRefCounter {
 public:
  explicit VisAnimSequenceSet_cl(const char* file = nullptr) : m_sFile(file) {}

  // Reads the <sequence> elements of an <animation> or <model> root. False (logged)
  // when the text is not such a file or a sequence is malformed; the set is then empty.
  bool LoadFromXml(const char* text);

  const char* GetFilename() const { return m_sFile.AsChar(); }
  int GetSequenceCount() const { return (int)m_sequences.size(); }
  VisAnimSequence_cl* GetSequence(int i) const { return m_sequences[i]; }
  // By name (without regard to case) and kind (VIS_MODELANIM_UNKNOWN: any); null when absent.
  VisAnimSequence_cl* GetSequence(const char* name, VisModelAnimType_e type = VIS_MODELANIM_UNKNOWN) const;
  void AddSequence(VisAnimSequence_cl* sequence);

 private:
  VString m_sFile;
  std::vector<VSmartPtr<VisAnimSequence_cl>> m_sequences;
};
