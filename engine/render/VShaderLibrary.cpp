// Shader libraries and techniques.
#include "engine/render/VShaderLibrary.h"

#include <cstring>

namespace Vision {
VisShaderSet_cl Shaders;
}  // namespace Vision

bool VCompiledShaderPass::HasConstant(const char* name) const {
  for (const Constant& c : m_constants)
    if (c.name == name) return true;
  return false;
}

bool VCompiledShaderPass::SetConstant(const char* name, const float value[4]) {
  for (Constant& c : m_constants)
    if (c.name == name) {
      std::memcpy(c.value, value, sizeof(c.value));
      return true;
    }
  return false;
}

bool VCompiledShaderPass::GetConstant(const char* name, float out[4]) const {
  for (const Constant& c : m_constants)
    if (c.name == name) {
      std::memcpy(out, c.value, sizeof(c.value));
      return true;
    }
  return false;
}

// The library file reader comes with the world renderer.
VShaderEffectLib* VisShaderSet_cl::LoadShaderLibrary(const char* file) { return nullptr; }

VCompiledTechnique* VisShaderSet_cl::CreateTechnique(const char* name) { return nullptr; }

void VisShaderSet_cl::UnloadAll() { m_libs.clear(); }
