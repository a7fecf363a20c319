// Shader libraries and compiled techniques (Vision::Shaders). The stand-in's
// library file names techniques, their passes and the colour constants each pass
// takes (format in data/README.md); drawing with a technique draws an outline of
// the entity in the pass's "HighlightColor".
#pragma once

#include "engine/base/VRefCounter.h"
#include "engine/base/VString.h"
#include "engine/base/VisMath.h"

#include <string>
#include <vector>

// One pass of a technique with its named constants (four floats each).
class VBASE_IMPEXP VCompiledShaderPass {
 public:
  bool HasConstant(const char* name) const;
  // False when the pass has no constant of that name.
  bool SetConstant(const char* name, const float value[4]);
  bool GetConstant(const char* name, float out[4]) const;

  struct Constant {
    std::string name;
    float value[4] = {0, 0, 0, 0};
  };
  std::vector<Constant> m_constants;
};

class VBASE_IMPEXP VCompiledTechnique : public VRefCounter {
 public:
  const char* GetName() const { return m_sName.AsChar(); }
  int GetShaderCount() const { return (int)m_passes.size(); }
  VCompiledShaderPass* GetShader(int i) { return i >= 0 && i < (int)m_passes.size() ? &m_passes[i] : nullptr; }

  VString m_sName;
  std::vector<VCompiledShaderPass> m_passes;
};
typedef VSmartPtr<VCompiledTechnique> VCompiledTechniquePtr;

class VBASE_IMPEXP VShaderEffectLib : public VRefCounter {
 public:
  const char* GetFilename() const { return m_sFile.AsChar(); }
  VString m_sFile;
  struct TechniqueDef {
    std::string name;
    std::vector<VCompiledShaderPass> passes;  // each with its constants' default values
  };
  std::vector<TechniqueDef> m_techniques;
};

class VBASE_IMPEXP VisShaderSet_cl {
 public:
  // Loads (once per name) a library file; null, with a warning, when missing or bad.
  VShaderEffectLib* LoadShaderLibrary(const char* file);
  // A new technique of that name from the loaded libraries (the first that has it),
  // its passes with their constants' default values; null when none has it.
  VCompiledTechnique* CreateTechnique(const char* name);
  // Forgets every loaded library (engine de-init).
  void UnloadAll();

 private:
  std::vector<VSmartPtr<VShaderEffectLib>> m_libs;
};

namespace Vision {
VBASE_IMPEXP extern VisShaderSet_cl Shaders;
}  // namespace Vision
