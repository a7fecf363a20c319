// Reading our particle effect XML and making running effects from it.
#include "engine/core/VisParticleEffectFile.h"

#include "engine/base/VisError.h"
#include "engine/core/VTextValues.h"
#include "engine/core/VXmlRoot.h"
#include "engine/core/VisParticleEffect.h"
#include "engine/core/VisParticleGroupManager.h"

#include <tinyxml.h>

#include <string>

namespace {

bool ReadLayer(const TiXmlElement* el, VisParticleEffectFile_cl::LayerDesc& d, std::string& error) {
  const std::string where = "line " + std::to_string(el->Row()) + ": layer ";
  if (const char* name = el->Attribute("name")) d.name = name;
  auto number = [&](const char* attr, float& out, float min, bool minInclusive) {
    const char* text = el->Attribute(attr);
    if (!text) return true;
    if (!VParseFloat(text, out) || (minInclusive ? out < min : out <= min)) {
      error = where + attr + " \"" + text + "\" is not a number " + (minInclusive ? ">= " : "> ") +
              std::to_string((int)min);
      return false;
    }
    return true;
  };
  float maxParticles = (float)d.maxParticles;
  if (!number("rate", d.rate, 0.0f, true) || !number("lifetime", d.lifetime, 0.0f, false) ||
      !number("max", maxParticles, 0.0f, true))
    return false;
  if (maxParticles > 1000000.0f) {
    error = where + "max is above 1000000";
    return false;
  }
  d.maxParticles = (int)maxParticles;
  if (const char* text = el->Attribute("duration")) {
    if (!VParseFloat(text, d.duration)) {
      error = where + "duration \"" + text + "\" is not a number";
      return false;
    }
  }
  if (const char* text = el->Attribute("start")) {
    const std::string v = text;
    if (v != "0" && v != "1") {
      error = where + "start \"" + v + "\" is not 0 or 1";
      return false;
    }
    d.startRunning = v == "1";
  }
  return true;
}

}  // namespace

bool VisParticleEffectFile_cl::LoadFromXml(const char* text) {
  m_layers.clear();
  TiXmlDocument doc;
  std::string error;
  const TiXmlElement* root = VParseXmlRoot(doc, text, "particles", error);
  std::vector<LayerDesc> layers;
  if (root) {
    for (const TiXmlElement* el = root->FirstChildElement(); el; el = el->NextSiblingElement()) {
      if (el->ValueStr() != "layer") {
        Vision::Error.Warning("Particle effect %s: line %d: unknown element <%s> ignored", GetFilename(), el->Row(),
                              el->Value());
        continue;
      }
      LayerDesc d;
      if (!ReadLayer(el, d, error)) break;
      layers.push_back(d);
    }
  }
  if (!error.empty()) {
    Vision::Error.Warning("Particle effect %s: %s", GetFilename(), error.c_str());
    return false;
  }
  m_layers = std::move(layers);
  return true;
}

VisParticleEffect_cl* VisParticleEffectFile_cl::CreateParticleEffectInstance(const VisVector_cl& position,
                                                                             const VisVector_cl& orientation,
                                                                             float scale) {
  VisParticleEffect_cl* effect = new VisParticleEffect_cl(this, position, orientation, scale);
  VisParticleGroupManager_cl::GlobalManager().AddEffect(effect);
  return effect;
}
