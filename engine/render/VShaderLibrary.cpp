// Shader libraries and techniques.
#include "engine/render/VShaderLibrary.h"

#include "engine/base/VisError.h"
#include "engine/base/VisFile.h"
#include "engine/core/VXmlRoot.h"

#include <tinyxml.h>

#include <cstdio>
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

namespace {

// "r/g/b/a": one to four numbers; the ones left out keep 'out'.
bool ParseFloats(const char* text, float out[4]) {
  float v[4];
  int n = std::sscanf(text, "%f/%f/%f/%f", &v[0], &v[1], &v[2], &v[3]);
  if (n < 1) return false;
  for (int i = 0; i < n; ++i) out[i] = v[i];
  return true;
}

// Reads the library text into 'lib'; false with the reason in 'error'.
bool ReadLibrary(const char* text, VShaderEffectLib& lib, std::string& error) {
  TiXmlDocument doc;
  const TiXmlElement* root = VParseXmlRoot(doc, text, "shaderlib", error);
  if (!root) return false;
  for (const TiXmlElement* t = root->FirstChildElement("technique"); t; t = t->NextSiblingElement("technique")) {
    const char* name = t->Attribute("name");
    if (!name || !*name) {
      error = "a technique without a name";
      return false;
    }
    VShaderEffectLib::TechniqueDef def;
    def.name = name;
    for (const TiXmlElement* p = t->FirstChildElement("pass"); p; p = p->NextSiblingElement("pass")) {
      VCompiledShaderPass pass;
      for (const TiXmlElement* c = p->FirstChildElement("constant"); c; c = c->NextSiblingElement("constant")) {
        VCompiledShaderPass::Constant constant;
        const char* cname = c->Attribute("name");
        if (!cname || !*cname) {
          error = std::string("technique ") + name + ": a constant without a name";
          return false;
        }
        constant.name = cname;
        for (float& f : constant.value) f = 1.0f;
        const char* value = c->Attribute("value");
        if (value && !ParseFloats(value, constant.value)) {
          error = std::string("technique ") + name + ": constant " + cname + " has no numbers in '" + value + "'";
          return false;
        }
        pass.m_constants.push_back(constant);
      }
      def.passes.push_back(pass);
    }
    if (def.passes.empty()) {
      error = std::string("technique ") + name + " has no pass";
      return false;
    }
    lib.m_techniques.push_back(def);
  }
  if (lib.m_techniques.empty()) {
    error = "no technique";
    return false;
  }
  return true;
}

}  // namespace

VShaderEffectLib* VisShaderSet_cl::LoadShaderLibrary(const char* file) {
  if (!file || !*file) return nullptr;
  const std::string key = VFileHelper::GetCacheKey(file);
  for (const VSmartPtr<VShaderEffectLib>& lib : m_libs)
    if (VFileHelper::GetCacheKey(lib->GetFilename()) == key) return lib.GetPtr();
  std::string text;
  if (!Vision::File.ReadTextFile(file, text)) {
    Vision::Error.Warning("Shader library %s not found", file);
    return nullptr;
  }
  VSmartPtr<VShaderEffectLib> lib = new VShaderEffectLib();
  lib->m_sFile = file;
  std::string error;
  if (!ReadLibrary(text.c_str(), *lib, error)) {
    Vision::Error.Warning("Shader library %s not loaded: %s", file, error.c_str());
    return nullptr;
  }
  m_libs.push_back(lib);
  return lib.GetPtr();
}

VCompiledTechnique* VisShaderSet_cl::CreateTechnique(const char* name) {
  if (!name || !*name) return nullptr;
  for (const VSmartPtr<VShaderEffectLib>& lib : m_libs)
    for (const VShaderEffectLib::TechniqueDef& def : lib->m_techniques)
      if (def.name == name) {
        auto* technique = new VCompiledTechnique();
        technique->m_sName = name;
        technique->m_passes = def.passes;
        return technique;
      }
  // Without any library the loader has warned already.
  if (!m_libs.empty()) Vision::Error.Warning("Shader technique %s is in no loaded library", name);
  return nullptr;
}

void VisShaderSet_cl::UnloadAll() { m_libs.clear(); }
